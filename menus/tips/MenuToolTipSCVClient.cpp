#include "menus/tips/MenuToolTipSCVClient.h"

#include <commctrl.h>

#include "common/DateTimeHelpers.h"
#include "common/DateTimeTexts.h"
#include "common/IconHelpers.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/RuntimeBinding.h"
#include "common/Settings.h"
#include "common/WellKnownNames.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "common/TextUtilities.h"
#include "engine/ClipboardAccess.h"
#include "engine/PhraseStore.h"
#include "menus/tips/MenuHistorySource.h"
#include "menus/tips/TrayHistorySource.h"

namespace
{

constexpr int kPreviewChars = 150;

// Commands of the tray menu and of the menus it shares with the floating pane.
enum : UINT
{
    kCmdEnable = 32770,
    kCmdEdit = 32772,
    kCmdStartWithWindows = 32774,
    kCmdReread = 32775,
    kCmdHowToLocalize = 32776,
    kCmdWebSite = 32781,
    kCmdForum = 32782,
    kCmdEmail = 32783,
    kCmdSupport = 32784,
    kCmdSaveFromClipboard = 32785,
    kCmdKeep = 32786,
    kCmdClear = 32789,
    kCmdRss = 32790,
    kCmdCheckForUpdates = 32791,
    kCmdFloatPane = 32792,
    kCmdDeleteItems = 32796,
    kCmdSaveOnExit = 32809,
    kCmdWriteLog = 32815,
    kCmdSounds = 32817,
    kCmdVideo = 32818,
    kCmdReKeep = 32819,
    kCmdQuickStart = 32823,
    kCmdFaq = 32825,
    kCmdFloatPaneOnStart = 32827,
    kCmdRunAsAdmin = 32829,
    kCmdOpenSettings = 32830,
    kCmdFacebook = 32831,
    kCmdVk = 32855,
    kCmdPinnedOnStart = 32862,
    kCmdNewsletter = 32863,
    kCmdTelegram = 32866,
    kCmdMute = 32867,
    kCmdAbout = 57664,
    // The About window's Copy menu.
    kCmdZipLog = 259,
    kCmdCopyReport = 1002,
    // Commands of the floating pane's menus.
    kCmdPaneCopy = 32793,
    kCmdPaneSave = 32795,
    kCmdPaneCopyPlain = 32797,
    kCmdPaneOpenAsUrl = 32806,
    kCmdPaneEmptyClipboard = 32813,
    kCmdPaneEdit = 32828,
    kCmdPaneUndo = 32838,
    kCmdPaneSearchFirst = 32840,
    kCmdPaneSearchLast = 32843,
    kCmdPaneCopySourceUrl = 32847,
    kCmdPaneOpenSourceUrl = 32848,
    kCmdPaneCopyRtf = 32849,
    kCmdPaneCopyHtml = 32851,
    kCmdPaneCopyHtmlCode = 32860,
    kCmdPaneCopyExcludeSymbols = 32864,
};

constexpr UINT kWebCommands[] = {
    kCmdHowToLocalize, kCmdWebSite, kCmdForum,    kCmdEmail, kCmdSupport,    kCmdRss,     kCmdVideo,
    kCmdQuickStart,    kCmdFaq,     kCmdFacebook, kCmdVk,    kCmdNewsletter, kCmdTelegram};

// String ids of the texts the tips are made of.
enum : UINT
{
    kStrHotKey = 132,
    kStrPlainText = 136,
    kStrHistoryPut = 139,
    kStrHistoryItem = 140,
    kStrTextLength = 141,
    kStrDataFormat = 143,
    kStrRtf = 144,
    kStrCopiedFrom = 145,
    kStrUnknownSource = 146,
    kStrContent = 147,
    kStrPhrases = 135,
    kStrAutoStartDelay = 168,
    kStrDocument = 176,
    kStrSaveFromPane = 177,
    kStrFolder = 220,
    kStrTrackingSetting = 221,
    kStrChangeIn = 222,
    kStrPhrasesFolder = 234,
    kStrFormats = 287,
    kStrUndoHint = 294,
    kStrLastCheck = 152,
    kStrAutoCheck = 153,
    kStrCheckEvery = 154,
    kStrNextCheck = 155,
    kStrDays = 156,
    kStrSettingsFileNote = 274,
    kStrUndoPoolHint = 290,
    kStrPaneKeepsData = 314,
    kStrChooseLanguage = 57666,
    kStrRunAsAdmin = 1062,
    kStrZipLog = 1057,
    kStrCopyReport = 1058,
    kStrAgo = 305,
};

CString Dashes(int count)
{
    return CString(L'\x2014', count);
}

CString Text(UINT id, LPCWSTR english)
{
    return LoadLocalizedTextOr(id, english);
}

bool SettingOn(int value)
{
    return value != 0;
}

// The first line of the clipboard's text, "\r\n..." when more lines follow; empty without text.
CString ClipboardFirstLine()
{
    CString text;
    if (!GetClipboardUnicodeText(text) || text.IsEmpty())
        return CString();
    const int lineEnd = text.FindOneOf(L"\r\n");
    if (lineEnd < 0)
        return text;
    return text.Left(lineEnd) + L"\r\n...";
}

CString ClipboardFormatsText()
{
    CString formats;
    if (::IsClipboardFormatAvailable(::RegisterClipboardFormatW(L"Rich Text Format")))
        formats = L"RTF";
    if (::IsClipboardFormatAvailable(CF_UNICODETEXT) || ::IsClipboardFormatAvailable(CF_TEXT)) {
        if (!formats.IsEmpty())
            formats += L", ";
        formats += Text(kStrPlainText, L"Plain Text");
    }
    return formats;
}

CString FormatName(int type)
{
    switch (type) {
    case kHistoryAnsiText:
    case kHistoryUnicodeText:
        return Text(kStrPlainText, L"Plain Text");
    case kHistoryRtf:
        return Text(kStrRtf, L"Formatted Text (RTF)");
    case kHistoryDocument:
        WriteLogLine(L"CMenuToolTipSCVClient::GetTipStringForClipboardHistory case CHDT_OVELLINE");
        return Text(kStrDocument, L"Ovelline Document Data");
    default:
        return L"OOOPS! Unknow format";
    }
}

// The form of the pane's selected item a command's tip previews (WM_APP+27):
// 0 its text, 1 its HTML, 2 its source address; -1 none.
int PanePreviewForm(UINT id)
{
    switch (id) {
    case kCmdPaneCopyPlain:
    case kCmdPaneOpenAsUrl:
    case kCmdPaneCopyRtf:
        return 0;
    case kCmdPaneCopyHtml:
    case kCmdPaneCopyHtmlCode:
        return 1;
    case kCmdPaneCopySourceUrl:
    case kCmdPaneOpenSourceUrl:
        return 2;
    default:
        return -1;
    }
}

// An HTML clipboard block shows only its fragment.
CString HtmlFragment(const CString& html)
{
    const int start = html.Find(L"<!--StartFragment-->");
    const int end = html.Find(L"<!--EndFragment-->");
    if (start < 0 || end <= start)
        return html;
    const int from = start + static_cast<int>(wcslen(L"<!--StartFragment-->"));
    return html.Mid(from, end - from);
}

// The date of a check as the tips show it.
CString CheckDateText(const SYSTEMTIME& time)
{
    return DateTimeToText(time);
}

// The automatic check's next date: the last check plus the days.
SYSTEMTIME AddDays(const SYSTEMTIME& time, int days)
{
    FILETIME file{};
    SYSTEMTIME result = time;
    if (!::SystemTimeToFileTime(&time, &file))
        return result;
    ULARGE_INTEGER ticks{};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart += static_cast<ULONGLONG>(days) * 24ULL * 3600ULL * 10000000ULL;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    ::FileTimeToSystemTime(&file, &result);
    return result;
}

bool IsWebCommand(UINT id)
{
    for (UINT command : kWebCommands) {
        if (command == id)
            return true;
    }
    return false;
}

// The setting a switch command shows behind its text; -1 for other commands.
int SwitchState(UINT id, ITrayTipContext* context)
{
    const CSettings& settings = GetSettings();
    switch (id) {
    case kCmdWriteLog:
        return SettingOn(settings.WriteLog);
    case kCmdSounds:
        return SettingOn(settings.SoundOnEventsV094);
    case kCmdFloatPaneOnStart:
        return SettingOn(settings.ShowHistoryPaneOnStart);
    case kCmdPinnedOnStart:
        return SettingOn(settings.GetPinnedFloatPaneOnStart());
    case kCmdMute:
        return context && context->IsMuteMode() ? 1 : 0;
    default:
        return -1;
    }
}

} // namespace

CMenuToolTipSCVClient::CMenuToolTipSCVClient(CPhraseStore* phrases, const std::vector<CString>* languages,
                                             ITrayHistorySource* history, ITrayTipContext* context)
    : CMenuToolTip(true), m_phrases(phrases), m_languages(languages), m_history(history), m_context(context)
{}

CMenuToolTipSCVClient::~CMenuToolTipSCVClient()
{
    DestroyTip();
    if (m_openWithIcon)
        ::DestroyIcon(m_openWithIcon);
}

void CMenuToolTipSCVClient::SetClipboardTrackingState(int state, const CString& errorText)
{
    m_trackingState = state;
    m_trackingError = errorText;
}

CString CMenuToolTipSCVClient::CommandText(UINT id) const
{
    // String 32793 is the phrase menu's document kind, not the pane's Copy: that one is named by its menu item.
    if (id == kCmdPaneCopy && m_context) {
        CString caption = m_context->GetMenuCommandText(id);
        const int tab = caption.Find(L'\t');
        if (tab >= 0)
            caption = caption.Left(tab);
        if (!caption.IsEmpty())
            return caption;
    }
    CString text = LoadLocalizedString(id);
    const int lineEnd = text.Find(L'\n');
    if (lineEnd >= 0)
        text = text.Left(lineEnd);
    return text;
}

CString CMenuToolTipSCVClient::SpyMethodText() const
{
    switch (m_history ? m_history->GetSpyMethod() : 0) {
    case 1:
        return L"using unknow method";
    case 2:
        return L"using AddClipboardListener";
    case 3:
        return L"using SetClipboardViewer";
    default:
        return L"no try install service of clipboard history";
    }
}

CString CMenuToolTipSCVClient::GetClipboardTrackingReport() const
{
    CString report;
    report.Format(L" [max = %d]", GetSettings().GetClipboardHistoryMax());
    if (m_trackingState == 1) {
        report += L"\nConnection Error!!!";
        if (!m_trackingError.IsEmpty())
            report += L"\n" + m_trackingError;
    } else if (m_trackingState == 2) {
        report += L"\nNo";
    }
    report += L"\nMethod: " + SpyMethodText();
    using SequenceFn = DWORD(WINAPI*)();
    const auto sequence = reinterpret_cast<SequenceFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetClipboardSequenceNumber")));
    CString number;
    number.Format(L"\nGetClipboardSequenceNumber: %d", sequence ? static_cast<int>(sequence()) : 0);
    report += number;
    report +=
        L"\n\n      " + Text(kStrTrackingSetting, L"Clipboard tracking") + L": " + TrackingMethodLines();
    report += L"\n      " + Text(kStrChangeIn, L"You can change it in") + L" \"" +
              (m_context ? m_context->GetMenuCommandText(kCmdEdit) : CString()) + L"\"";
    return report;
}

CString CMenuToolTipSCVClient::TrackingMethodLines() const
{
    switch (GetSettings().GetClipboardSpyMethod()) {
    case 0:
        return L"SetClipboardViewer (for old version of Windows)";
    case 1:
        return L"AddClipboardListener (for Windows Vista or later)";
    default:
        return L"Automatically (AddClipboardListener is available, or SetClipboardViewer in other)";
    }
}

CString CMenuToolTipSCVClient::FormatsLine() const
{
    static const wchar_t* const kNames[] = {L"txt", L"rtf", L"bmp", L"ovl", L"html"};
    const CSettings& settings = GetSettings();
    CString names;
    int count = 0;
    for (int i = 0; i < CSettings::ClipboardFormatCount; ++i) {
        if (!settings.ClipboardFormats[i])
            continue;
        if (count++ > 0)
            names += L", ";
        names += kNames[i];
    }
    CString line;
    line.Format(L"\n%s\n   \x00BB %s [%d]: %s", Dashes(20).GetString(),
                Text(kStrFormats, L"Formats").GetString(), count, names.GetString());
    return line;
}

CString CMenuToolTipSCVClient::GetTipStringForClipboardHistory(UINT id, CString& title) const
{
    title = Text(kStrHistoryItem, L"Clipboard History Item");
    TrayHistoryItemInfo item;
    const int index = static_cast<int>(id) - static_cast<int>(kTrayHistoryFirstId);
    const bool found = m_history && index >= 0 && m_history->GetItemInfo(index, item);
    CString preview;
    CString source;
    if (!found) {
        preview = L"Ooops! \x00ABNolvak\x00BB \x00A9";
    } else {
        preview = item.type <= kHistoryRtf ? item.text : CString(L"Ooops! Other data format");
        if (!item.windowTitle.IsEmpty())
            source = L"[" + item.windowTitle + L"]";
        if (!item.programName.IsEmpty())
            source += (source.IsEmpty() ? L"[" : L", [") + item.programName + L"]";
    }
    const int length = found && item.type <= kHistoryRtf ? item.textLength : preview.GetLength();
    preview.TrimRight(L"\r\n\t");
    if (preview.GetLength() > kPreviewChars)
        preview = preview.Left(kPreviewChars) + L"\r\n...";

    CString text;
    text.Format(L"%s\r\n%s: [%d]\r\n%s: %s\r\n%s: %s",
                Text(kStrHistoryPut, L"Put the history item into clipboard").GetString(),
                Text(kStrTextLength, L"Text Length").GetString(), length,
                Text(kStrDataFormat, L"Data Format").GetString(),
                FormatName(found ? item.type : -1).GetString(),
                Text(kStrCopiedFrom, L"Copied From").GetString(),
                (source.IsEmpty() ? Text(kStrUnknownSource, L"I unknow") : source).GetString());
    if (found)
        text += L"\r\n" + DateTimeToText(item.captureTime);
    if (!preview.IsEmpty())
        text += L"\r\n\r\n" + preview;
    text += L"\n" + Dashes(20) + L"\n   \x00BB " +
            Text(kStrSaveFromPane, L"You can save this item into file from History pane");
    if (found && item.type == kHistoryDocument && !item.ovlMetaInfoLong.IsEmpty())
        text += L"\n" + Dashes(20) + L"\n" + item.ovlMetaInfoLong;
    return text;
}

CString CMenuToolTipSCVClient::GetTipStringForLanguage(UINT id) const
{
    CString text = Text(kStrChooseLanguage, L"Choose this language for user interface of Scrivolanter");
    const size_t index = id - kTrayLanguageFirstId;
    if (!m_languages || id < kTrayLanguageFirstId || index >= m_languages->size())
        return text;
    const CString& entry = (*m_languages)[index];
    const CString path = entry.IsEmpty() || entry.Find(L'\\') >= 0 ? entry : BuildLanguageFilePath(entry);
    LANG_FILE_INFO info;
    GetLangFileInfo(path, info);
    CString prefix = GetLangPrefix(path);
    if (prefix.IsEmpty())
        prefix = L"Lang prefix not defined";
    const CString name = info.LangLocalized.IsEmpty() ? entry : info.LangLocalized;
    text += L"\n" + Dashes(20) + L"\r\n\r\n" + name + L", [" + prefix + L"]";
    return text;
}

CString CMenuToolTipSCVClient::BuildTipText(UINT id, HMENU menu, CString& title)
{
    CString command = CommandText(id);
    if (command.IsEmpty() && ::IsMenu(menu)) {
        // Commands of the pane's menus without a string of their own: the item's text.
        wchar_t caption[260] = {};
        ::GetMenuStringW(menu, id, caption, 259, MF_BYCOMMAND);
        command = caption;
        const int tab = command.Find(L'\t');
        if (tab >= 0)
            command = command.Left(tab);
        command.Remove(L'&');
    }
    CString text;
    if (id >= kTrayHistoryFirstId && id <= kTrayHistoryLastId) {
        text = GetTipStringForClipboardHistory(id, title);
    } else if (id >= kTrayLanguageFirstId && id <= kTrayLanguageLastId) {
        text = GetTipStringForLanguage(id);
    } else {
        switch (id) {
        case kCmdEnable: {
            int included = 0;
            int all = 0;
            if (m_phrases)
                m_phrases->GetPhraseCounts(&included, &all);
            text.Format(L"%s\n%s: [%s]\n%s: [%d/%d]", command.GetString(),
                        Text(kStrHotKey, L"Hot key").GetString(),
                        m_context ? m_context->GetHotKeyText().GetString() : L"",
                        Text(kStrPhrases, L"Phrases").GetString(), included, all);
            break;
        }
        case kCmdEdit: {
            CString max;
            max.Format(L" [max = %d]", GetSettings().GetClipboardHistoryMax());
            text = command + L"\n\nClipboard Tracking Method used: " + SpyMethodText() + max +
                   L"\nClipboard Tracking Method setting: " + TrackingMethodLines() + FormatsLine();
            if (m_context && menu) {
                CString caption = m_context->GetMenuCommandText(kCmdEdit);
                caption.Remove(L'&');
                title = caption + L" - [" + m_context->GetPhrasesFolderText() + L"]";
            }
            break;
        }
        case kCmdStartWithWindows: {
            const bool on = m_context && m_context->IsAutoStartEnabled();
            const int delay = GetSettings().DelayAutoLoadSeconds_NextRelease;
            CString delayText;
            delayText.Format(L"%d sec", delay);
            text = command + L" [" + (m_context ? m_context->GetOnOffText(on) : CString()) + L"]" +
                   Dashes(20) + L"\n   \x2022 " + Text(kStrAutoStartDelay, L"Delay") + L": " +
                   (delay != 0 ? delayText : (m_context ? m_context->GetOnOffText(false) : CString()));
            break;
        }
        case kCmdReread:
            text = command + L"\r\n" + Text(kStrPhrasesFolder, L"Folder with phrases") + L": " +
                   (m_context ? m_context->GetPhrasesFolderText() : CString());
            break;
        case kCmdSaveFromClipboard: {
            const CString line = ClipboardFirstLine();
            text = line.IsEmpty()
                       ? command
                       : command + L"\r\n\r\n" + Text(kStrContent, L"Content") + L": [" + line + L"]";
            text += L"\r\n" + ClipboardFormatsText();
            break;
        }
        case kCmdKeep:
            text = command + GetClipboardTrackingReport() + FormatsLine();
            break;
        case kCmdReKeep:
            text = FormatsLine();
            break;
        case kCmdFloatPane:
            text = Text(kCmdFloatPane, L"Show float panel with clipboard history") + Dashes(20) + L"\x2022 " +
                   Text(kCmdFloatPaneOnStart, L"Show float panel on start") + L": [" +
                   (m_context ? m_context->GetOnOffText(SettingOn(GetSettings().ShowHistoryPaneOnStart))
                              : CString()) +
                   L"]";
            break;
        case kCmdClear:
        case kCmdDeleteItems: {
            CString undo = CommandText(kCmdPaneUndo);
            if (undo.IsEmpty())
                undo = L"Undo";
            text = command + L"\n   " + Dashes(20) + L"\n   \x00BB " +
                   Text(kStrUndoHint, L"You can undo this action by menu command") + L" \"" + undo + L"\"";
            break;
        }
        case kCmdCheckForUpdates: {
            CSettings& settings = GetSettings();
            SYSTEMTIME last{};
            const bool checked = settings.GetLastCheckForUpdatesLocal(last);
            const bool automatic = SettingOn(settings.AutoCheckForUpdates);
            text = command + L"\r\n" + Dashes(23) + L"\r\n   " +
                   Text(kStrLastCheck, L"Last Check For Updates") + L": " +
                   (checked ? CheckDateText(last) : CString(L"never")) + L"\r\n   " +
                   Text(kStrAutoCheck, L"Check for updates automatically") + L": " +
                   (m_context ? m_context->GetOnOffText(automatic) : CString());
            if (automatic) {
                CString days;
                days.Format(L"%d", settings.GetDaysCheckForUpdates());
                text += L"\r\n   " + Text(kStrCheckEvery, L"Check every days") + L": " + days + L" (" +
                        Text(kStrDays, L"days") + L")";
                SYSTEMTIME next = last;
                if (checked) {
                    next = AddDays(last, settings.GetDaysCheckForUpdates());
                } else {
                    ::GetLocalTime(&next);
                }
                text += L"\r\n   " + Text(kStrNextCheck, L"Next Check") + L": " + CheckDateText(next);
            }
            break;
        }
        case kCmdPaneEmptyClipboard:
            text = command + Dashes(20) + L"     \x00BB " +
                   Text(kStrPaneKeepsData, L"But clipboard data will be available in the float pane");
            break;
        case kCmdPaneUndo:
            text = UndoTipText(command);
            break;
        case kCmdZipLog:
            text = ZipLogTipText();
            break;
        case kCmdCopyReport:
            text = Text(kStrCopyReport, L"Copy the whole report to the clipboard as text");
            break;
        case kCmdPaneOpenSourceUrl: {
            text = command;
            const CString program = m_context ? m_context->GetOpenWithProgram() : CString();
            if (!program.IsEmpty())
                text += L"\n\n " + program;
            break;
        }
        case kCmdPaneCopyExcludeSymbols:
            text = GetFileNameCharMapText();
            break;
        case kCmdSaveOnExit:
            text = command + L"\n" + Dashes(20) + L"\n   \x00BB " + Text(kStrFolder, L"Folder") + L": " +
                   GetClipboardHistoryFolder();
            break;
        case kCmdWriteLog:
            text = command + Dashes(20) + L"      \x00BB " +
                   (m_context ? m_context->GetLogFilePath() : CString());
            break;
        case kCmdRunAsAdmin: {
            text = Text(kStrRunAsAdmin, L"Start Scrivolanter with administrator rights");
            const CString full = LoadLocalizedString(id);
            const int lineEnd = full.Find(L'\n');
            if (!command.IsEmpty() && lineEnd >= 0)
                text += Dashes(25) + full.Mid(lineEnd + 1);
            break;
        }
        case kCmdOpenSettings:
            text = command + Text(kStrSettingsFileNote, L"") + L"\r\n\r\n\r\n" +
                   (m_context ? m_context->GetSettingsFilePath() : CString());
            break;
        case kCmdAbout:
            text = m_context ? m_context->GetAboutText() : CString();
            text += GetClipboardTrackingReport();
            break;
        default:
            text = command;
            break;
        }
    }
    const int form = PanePreviewForm(id);
    if (form >= 0 && m_context) {
        const CString data = m_context->GetPaneItemData(form);
        if (!data.IsEmpty())
            text += L"\n" + Dashes(20) + L"\n" + (form == 1 ? HtmlFragment(data) : data);
    }
    if (m_context && ((id >= kCmdPaneSearchFirst && id <= kCmdPaneSearchLast) || id == kCmdPaneCopy ||
                      id == kCmdPaneSave || id == kCmdPaneEdit)) {
        const CString selected = m_context->GetPaneSelectionText();
        if (!selected.IsEmpty())
            text += L"\n" + Dashes(20) + L"\n" + selected;
    }
    const int state = SwitchState(id, m_context);
    if (state >= 0 && m_context)
        text += L", [" + m_context->GetOnOffText(state != 0) + L"]";
    if (IsWebCommand(id) && m_context) {
        const CString url = m_context->GetCommandUrl(id);
        if (!url.IsEmpty())
            text += L"\n" + Dashes(20) + L" \x00BB " + url;
    }
    return text;
}

void CMenuToolTipSCVClient::GetTipText(CString& text, UINT id, HMENU menu, CString& title)
{
    text = BuildTipText(id, menu, title);
}

CString CMenuToolTipSCVClient::UndoTipText(const CString& command) const
{
    CString text = command;
    DWORD ageMs = 0;
    CString recordText;
    int action = 0;
    if (m_context && m_context->GetLatestUndoRecord(ageMs, recordText, action)) {
        CString age = FormatDurationMs(ageMs, 0);
        if (age.IsEmpty())
            age.Format(L"%u %s", static_cast<unsigned>(ageMs / (24u * 3600u * 1000u)),
                       Text(kStrDays, L"days").GetString());
        text += L"\n" + Dashes(20) + L"\n" + age + L" " + Text(kStrAgo, L"ago") + L": " + recordText + L" [" +
                (action == 1 ? L"adds the items back" : L"puts the whole history back") + L"]";
    }
    return text + L"\n" + Dashes(20) + L"\n" +
           Text(kStrUndoPoolHint, L"Right click on this menu item to control of undo pool");
}

CString CMenuToolTipSCVClient::ZipLogTipText() const
{
    CString text = Text(kStrZipLog, L"ZIP The Log File and settings file");
    if (m_context)
        text += L"\n\n  " + m_context->GetLogFilePath() + L"\n  " + m_context->GetSettingsFilePath() + L", [" +
                GetSettingsSectionName() + L"]";
    return text;
}

HICON CMenuToolTipSCVClient::LoadedIcon(const TipIconSource& source)
{
    if (source.kind == TipIconKind::None || !m_context)
        return nullptr;
    if (source.kind == TipIconKind::OpenWithProgram) {
        // The program changes with the pane's item: loaded anew each time.
        if (m_openWithIcon)
            ::DestroyIcon(m_openWithIcon);
        m_openWithIcon = m_context->LoadTipIcon(source);
        return m_openWithIcon;
    }
    ITrayTipContext* context = m_context;
    return m_icons.Get(source, [context](const TipIconSource& wanted) {
        return wanted.kind == TipIconKind::ProgramIcon ? context->LoadProgramIcon()
                                                       : context->LoadTipIcon(wanted);
    });
}

INT_PTR CMenuToolTipSCVClient::GetIconForId(UINT id)
{
    const TipIconChoice choice = TrayTipIconFor(id, GetTipWindow() != nullptr);
    for (const TipIconSource& source :
         {choice.first, choice.second, TipIconSource{TipIconKind::ProgramIcon}}) {
        if (HICON icon = LoadedIcon(source))
            return reinterpret_cast<INT_PTR>(icon);
    }
    return TTI_INFO;
}
