// CSCVTrayWnd: the hot key, the request for the target window's description
// and the running of the command chosen in the phrase menu.

#include "app/tray/SCVTrayWnd.h"
#include "common/WellKnownNames.h"

#include <vector>

#include "app/AppObjects.h"
#include "app/AppTexts.h"
#include "app/ProgramLauncher.h"
#include "app/history/ClipboardItemFiles.h"
#include "app/tray/WebSearch.h"
#include "common/LocalizedString.h"
#include "common/NumberTexts.h"
#include "common/RichEditConversion.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/WindowHelpers.h"
#include "common/SystemInfo.h"
#include "common/TimingMarks.h"
#include "common/TextUtilities.h"
#include "engine/ClipboardAccess.h"
#include "engine/KeyboardLayoutMacros.h"
#include "engine/KeyboardLayoutSwitch.h"
#include "engine/SCVActionContext.h"
#include "menus/tips/DataNeededHander_MenuSelf.h"
#include "menus/phrasemenu/MenuCommandLookup.h"
#include "menus/tips/MenuHistorySource.h"
#include "menus/tips/MenuTrackerWindow.h"
#include "online/CommandRunners.h"
#include "online/LocalizedStringParts.h"
#include "online/SharedSettingsArea.h"

#include "resources/ScrivolanterRes.h"

namespace
{

constexpr UINT kHotKeyBalloonMs = 3500;

// Whether the input desktop is the one this thread works on: false on a
// locked workstation or a secure desktop.
bool IsInputDesktopActive()
{
    HDESK input = ::OpenInputDesktop(0, FALSE, MAXIMUM_ALLOWED);
    const bool active = DesktopCheck(::GetThreadDesktop(::GetCurrentThreadId()), input);
    if (input)
        ::CloseDesktop(input);
    return active;
}

CString BuildHotKeyBalloonText(bool fromHotKey)
{
    CString text = CString(kProductName) + L"\n";
    CString indent = L"   ";
    if (fromHotKey) {
        text +=
            indent + LoadLocalizedString(IDS_SCV_HOT_KEY_DETECTED) + L" - " + GetHotKeyDisplayText() + L"\n";
        indent = L"      ";
    }
    text += indent + LoadLocalizedString(IDS_SCV_SHOWING_MENU) + L"\u2026";
    return text;
}

// Switches the target window's thread to the installed layout of the language.
void SwitchTargetLayout(HWND target, LANGID language)
{
    const int count = ::GetKeyboardLayoutList(0, nullptr);
    if (count <= 0)
        return;
    std::vector<HKL> layouts(static_cast<size_t>(count));
    const int read = ::GetKeyboardLayoutList(count, layouts.data());
    for (int i = 0; i < read; ++i) {
        if (LOWORD(reinterpret_cast<UINT_PTR>(layouts[i])) == language) {
            SwitchToKeyboardLayout(layouts[i], ::GetWindowThreadProcessId(target, nullptr), target);
            return;
        }
    }
}

// The command runner the command phrases use: starts the command (with the
// launch sound) and tells the user when it could not be started.
bool RunPhraseCommandLine(HWND owner, const CString& command)
{
    return ExecuteCommandWithReport(1, command, command, owner, [] { CAppObjects::PlayLaunchSound(); });
}

// Sets a flag for the lifetime of the scope.
class CFlagScope
{
public:
    explicit CFlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~CFlagScope() { m_flag = false; }
    CFlagScope(const CFlagScope&) = delete;
    CFlagScope& operator=(const CFlagScope&) = delete;

private:
    bool& m_flag;
};

// Builds the actions of a text as the insertion would, without a target.
CString BuildCommandText(IDataNeededHander_MenuSelf& builder, const CString& text, int dataType)
{
    CSCVActionList actions;
    CSCVActionContext context(nullptr, builder.GetTargetLangId(), builder.GetClipboardText(),
                              builder.GetSelectedText(), dataType);
    context.SetCommandRunner(&RunPhraseCommandLine);
    context.BuildActions(actions, text);
    const CString joined = CSCVActionContext::JoinActionTexts(actions);
    DeleteActionObjects(actions);
    return joined;
}

} // namespace

// --- Hot key -------------------------------------------------------------------------------------------

bool CSCVTrayWnd::RegisterPhraseHotKey(CString* accumulator)
{
    if (m_hotKeyRegistered)
        return false;
    CSettings& settings = GetSettings();
    if (settings.HotkeyVirtualKey == 0) {
        settings.HotkeyVirtualKey = VK_RETURN;
        if (settings.HotkeyModifiers == 0)
            settings.HotkeyModifiers = MOD_ALT | MOD_CONTROL;
    }
    const UINT key = settings.HotkeyVirtualKey;
    const UINT modifiers = settings.HotkeyModifiers;
    m_hotKeyRegistered = ::RegisterHotKey(m_hWnd, kPhraseHotKeyId, modifiers, key) ? 1 : 0;
    if (m_hotKeyRegistered) {
        WriteSharedSettingsArea(key, modifiers, settings.Hotkey_Doubled != 0, L"");
        MarkTiming(TimingMark::HotKeyPublished);
        return true;
    }
    CString text;
    text.Format(L"Cannot register hotkey. Error: %d", static_cast<int>(::GetLastError()));
    ReportStartupError(accumulator, text);
    return false;
}

bool CSCVTrayWnd::UnregisterPhraseHotKey()
{
    if (!m_hotKeyRegistered)
        return false;
    if (!::UnregisterHotKey(m_hWnd, kPhraseHotKeyId))
        return false;
    m_hotKeyRegistered = 0;
    return true;
}

LRESULT CSCVTrayWnd::OnHotKey(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (static_cast<int>(wParam) != kPhraseHotKeyId)
        return 1;
    MarkTiming(TimingMark::HotKeyReceived);
    if (!IsInputDesktopActive()) {
        WriteLogLine(L"SKIP HOTKEY. Input desktop is INACTIVE");
        return 1;
    }
    WriteLogLine(L"Input desktop is active");
    OnHotKeyShowMenu();
    return 1;
}

void CSCVTrayWnd::OnHotKeyShowMenu()
{
    // A press while a phrase is being inserted (the quick input dialog may be
    // open) would save the clipboard over the first request's saved content.
    if (m_insertingPhrase) {
        WriteLogLine(L"CSCVTrayWnd::OnHotKeyShowMenu: a phrase is being inserted, the hot key is ignored");
        return;
    }
    if (!m_hotKeyGate.OnPress(GetSettings().Hotkey_Doubled != 0, ::GetTickCount()))
        return;
    if (!m_dllService.IsInstalled()) {
        LogError(L"CSCVTrayWnd::OnHotKeyShowMenu but NOT CSCVDLLService::IsInstalled");
        return;
    }
    // A press while the menu is open (its loop dispatches the hot key) would
    // start a second request over the first one.
    if (m_menuBuilder && m_menuBuilder->IsMenuAlive()) {
        WriteLogLine(L"CSCVTrayWnd::OnHotKeyShowMenu: the phrase menu is open already");
        return;
    }
    ShowPhraseMenuForTarget(true);
}

void CSCVTrayWnd::ShowPhraseMenuForTarget(bool fromHotKey)
{
    IDataNeededHander_MenuSelf& builder = EnsureMenuBuilder();
    if (GetSettings().ShowTrayBallonOnHotkey != 0)
        ShowTrayBalloon(BuildHotKeyBalloonText(fromHotKey), kHotKeyBalloonMs);
    CAppObjects::PlayMenuSound();

    // The save ends the previous request first (its phrase may still be on the clipboard):
    // %CLIPBOARD_TEXT% is read after it.
    KillTimer(kTimerUnansweredRequest);
    m_clipboardSaver.Save();
    CString clipboardText;
    GetClipboardUnicodeText(clipboardText);
    builder.SetClipboardText(clipboardText);

    SVQuery query;
    const int result = m_dllService.SendMessageToTargetWindow(fromHotKey ? 0 : 1, query);
    MarkTiming(TimingMark::QuerySent);
    switch (result) {
    case CSCVDLLService::kTargetRequestPosted:
        // The hook answers through the interchange area and the query thread; a target
        // that never answers ends the request after a bound.
        SetTimer(kTimerUnansweredRequest, kUnansweredRequestMs, nullptr);
        break;
    case CSCVDLLService::kNoTarget:
        // No menu follows: the kept clipboard has nothing to be put back over.
        m_clipboardSaver.Dismiss();
        break;
    case CSCVDLLService::kQueryFilledLocally: {
        SVAnswer answer;
        builder.OnDataNeeded(query, answer);
        PostDeferredMenuMessages();
        break;
    }
    default:
        ::MessageBeep(MB_ICONHAND);
        break;
    }
}

LRESULT CSCVTrayWnd::OnWaitQueryComplete(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    MarkTiming(TimingMark::OwnerAnswered);
    // The query thread's records may go away while the menu is open: work on a copy.
    bool known = false;
    SVQuery query = CWaitQuery::CopyQueryOfMessage(wParam, &known);
    if (!known)
        return 0;
    KillTimer(kTimerUnansweredRequest);
    IDataNeededHander_MenuSelf& builder = EnsureMenuBuilder();
    if (builder.IsMenuAlive()) {
        WriteLogLine(L"CSCVTrayWnd::OnWaitQueryComplete: the phrase menu is open already, query skipped");
        return 0;
    }
    SVAnswer answer;
    builder.OnDataNeeded(query, answer);
    PostDeferredMenuMessages();
    return 1;
}

LRESULT CSCVTrayWnd::OnWaitQueryCompleteError(UINT, WPARAM, LPARAM, BOOL&)
{
    LogError(L"Reveived message WM_WAIT_QUERY_COMPLETE_ERROR, wait of query complete with error");
    // Restarted only for a running service and when no thread is left.
    if (IsCoreInstalled() && !m_waitQuery.IsThreadAlive() && !StartQueryThread())
        LogError(L"Cannot start wait thread for query");
    return 1;
}

LRESULT CSCVTrayWnd::OnCommandShowPhraseMenuDelayed(WORD, WORD, HWND, BOOL&)
{
    return SetTimer(kTimerShowPhraseMenu, 500, nullptr) != 0;
}

LRESULT CSCVTrayWnd::OnCommandRunAsAdmin(WORD, WORD, HWND, BOOL&)
{
    // The elevated program's consent prompt comes up over the pane when it is open.
    RestoreAndActivateWindow(m_floatPane.m_hWnd ? m_floatPane.m_hWnd : m_hWnd);
    if (m_elevatedStarter)
        m_elevatedStarter(m_hWnd);
    else
        CAppObjects::RunAsAdmin(m_hWnd);
    return 0;
}

// --- The chosen command --------------------------------------------------------------------------------

void CSCVTrayWnd::ExecuteCommandFromSelf(WPARAM commandId, LPARAM targetWindow)
{
    const int id = static_cast<int>(static_cast<INT_PTR>(commandId));
    const HWND target = reinterpret_cast<HWND>(targetWindow);
    if (id == kCommandCleanUp) {
        RestoreClipboardAndUnblock();
        return;
    }
    if (RunPhraseCommand(id, target) == 2)
        EnsureMenuBuilder().SetLastID(id);
}

int CSCVTrayWnd::RunPhraseCommand(int commandId, HWND target)
{
    if (RunSpecialCommand(commandId, target))
        return 0;

    IDataNeededHander_MenuSelf& builder = EnsureMenuBuilder();
    CString text;
    int dataType = 0;
    const int found = LookupCommand(commandId, &m_phrases, builder.GetHistory(), text, dataType);
    if (found == 0) {
        RestoreClipboardAndUnblock();
        return 3;
    }

    const LANGID wantedLanguage = RemoveActivateKlMacros(text);
    const LANGID targetLanguage = builder.GetTargetLangId();
    CSCVActionList actions;
    CSCVActionContext context(target, targetLanguage, builder.GetClipboardText(), builder.GetSelectedText(),
                              dataType);
    context.SetCommandRunner(&RunPhraseCommandLine);
    if (found == 2)
        context.SetPasteClipboard(&m_clipboardSaver);
    context.BuildActions(actions, text);

    if (wantedLanguage != 0 && wantedLanguage != targetLanguage && target)
        SwitchTargetLayout(target, wantedLanguage);

    if (!actions.empty()) {
        if (dataType == MenuItemRecord::kTypeExec)
            CAppObjects::PlayLaunchSound();
        else
            CAppObjects::PlayKbdSound();
        const CFlagScope inserting(m_insertingPhrase);
        const CAutoPulseMyCopy ownCopy;
        const bool ran = context.ExecuteActions(actions);
        if (ran && found == 2)
            m_phrases.RecordUsageById(commandId);
    }
    DeleteActionObjects(actions);

    if (found == 1) {
        // A history item stays on the clipboard as the newest content.
        CSCVAction_TextCommon::MutiCopy_Impl(dataType == MenuItemRecord::kTypeText, text, 0, wantedLanguage,
                                             false);
        m_clipboardSaver.Dismiss();
        return 1;
    }
    // The clipboard carried a pasted phrase, or the selection was copied by
    // Ctrl+C: the user's own content comes back (after the target has read a
    // pasted phrase). Nothing is put back when nothing changed it. The paste's
    // own clipboard change is not captured; nor is the restore (see OnCreate).
    m_clipboardHistory.BlockCaptureForAWhile();
    m_clipboardSaver.RestoreAfterInsertion();
    return 2;
}

bool CSCVTrayWnd::RunSpecialCommand(int commandId, HWND)
{
    switch (commandId) {
    case kCommandSupport:
        RestoreClipboardAndUnblock();
        PostMessage(WM_COMMAND, ID_SCV_SUPPORT_PAGE, 0);
        return true;
    case kCommandAddSelection: {
        RestoreClipboardAndUnblock();
        const CString selected = m_menuBuilder ? m_menuBuilder->GetSelectedText() : CString();
        StartEditor(false, selected);
        return true;
    }
    case kCommandShowFloatPane:
        RestoreClipboardAndUnblock();
        SendMessage(WM_COMMAND, ID_SCV_FLOAT_PANE, 0);
        return true;
    case kCommandEditSettings:
        RestoreClipboardAndUnblock();
        StartEditor(false, CString());
        return true;
    default:
        return false;
    }
}

void CSCVTrayWnd::EndUnansweredRequest()
{
    KillTimer(kTimerUnansweredRequest);
    if (!m_clipboardSaver.IsSaved() || m_clipboardSaver.IsRestoreWaiting() ||
        (m_menuBuilder && m_menuBuilder->IsMenuAlive()))
        return;
    WriteLogLine(L"CSCVTrayWnd: the target did not answer the phrase request in time, the request ends");
    RestoreClipboardAndUnblock();
}

void CSCVTrayWnd::RestoreClipboardAndUnblock()
{
    // A restore is blocked from capture as it happens (see OnCreate): a copy the user makes
    // right after a menu that changed nothing is still captured.
    m_clipboardSaver.RestoreIfSaved();
}

bool CSCVTrayWnd::PreSetLastID_CallBack(int commandId)
{
    const PhraseItemRecord* record = m_phrases.FindItemById(commandId);
    if (!record) {
        LogError(L"CSCVTrayWnd::PreSetLastID_CallBack command is NULL");
        return false;
    }
    return true;
}

// --- The right-click pop-up of the phrase menu ---------------------------------------------------------

LRESULT CSCVTrayWnd::OnPhraseMenuRightClick(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // A right-click choice comes from the open phrase menu for one of its items; another
    // program's message copies nothing and opens nothing.
    const int commandId = static_cast<int>(lParam);
    if (!m_menuBuilder || !m_menuBuilder->IsCommandShown(commandId)) {
        WriteLogLine(L"CSCVTrayWnd::OnPhraseMenuRightClick: no open phrase menu shows the item, ignored");
        return 0;
    }
    RunRightMenuCommand(static_cast<int>(wParam), commandId);
    return 1;
}

bool CSCVTrayWnd::GetCommandTextForCopy(int commandId, CString& text, int& dataType)
{
    IDataNeededHander_MenuSelf& builder = EnsureMenuBuilder();
    const MenuCommandTarget command = LookupMenuCommand(commandId, &m_phrases, builder.GetHistory());
    dataType = command.dataType;
    switch (command.kind) {
    case MenuCommandKind::Phrase: {
        CString body = command.text;
        RemoveActivateKlMacros(body);
        text = BuildCommandText(builder, body, command.dataType);
        return true;
    }
    case MenuCommandKind::History:
        text = command.text;
        return true;
    default:
        return false;
    }
}

bool CSCVTrayWnd::CopyHistoryItemWithoutText(int commandId)
{
    IMenuHistory* history = EnsureMenuBuilder().GetHistory();
    const int index = HistoryIndexOfCommand(commandId, history);
    if (index < 0 || LookupMenuCommand(commandId, nullptr, history).kind == MenuCommandKind::History)
        return false;
    if (m_clipboardHistory.GetWatcher().PutItemOnClipboard(index))
        m_clipboardSaver.Dismiss();
    else
        ::MessageBeep(0xFFFFFFFF);
    return true;
}

void CSCVTrayWnd::OpenHistoryItemFromMenu(int commandId, bool withAssociatedProgram)
{
    if (commandId < kHistoryMenuFirstId) {
        ::MessageBoxW(m_hWnd, L"nIndex < 0", kProductName, MB_ICONERROR);
        return;
    }
    const int index = HistoryIndexOfCommand(commandId, EnsureMenuBuilder().GetHistory());
    if (index >= 0 &&
        OpenClipboardItemInTempFile(m_clipboardHistory.GetQueue(), index, m_hWnd, withAssociatedProgram))
        ::EndMenu();
    else
        ::MessageBeep(0xFFFFFFFF);
}

void CSCVTrayWnd::RunRightMenuCommand(int kind, int commandId)
{
    CString line;
    line.Format(L"CSCVTrayWnd::RunRightMenuCommand kind=%d id=%d", kind, commandId);
    WriteLogLine(line);

    switch (kind) {
    case kRightMenuCopy:
    case kRightMenuCopyExcludeSymbols: {
        // Pictures, clips and pages have no text to copy: the item goes to the clipboard as it is.
        if (kind == kRightMenuCopy && CopyHistoryItemWithoutText(commandId))
            break;
        CString text;
        int dataType = 0;
        if (!GetCommandTextForCopy(commandId, text, dataType)) {
            ::MessageBeep(0xFFFFFFFF);
            break;
        }
        // File-name-safe characters are a plain-text matter: rich text is
        // copied as its plain text then, so the RTF source stays intact.
        if (kind == kRightMenuCopyExcludeSymbols) {
            if (dataType == MenuItemRecord::kTypeRtf) {
                text = RtfToPlainText(text);
                dataType = MenuItemRecord::kTypeText;
            }
            if (ReplaceFileNameForbiddenChars(text) == 0) {
                ::MessageBeep(0xFFFFFFFF);
                break;
            }
        }
        const bool copied = dataType == MenuItemRecord::kTypeRtf
                                ? CSCVAction_TextCommon::MutiCopy_Impl(false, text, 0, 0, false)
                                : PutClipboardUnicodeText(text);
        // What was copied is to stay: the clipboard kept for the menu is not put back.
        if (copied)
            m_clipboardSaver.Dismiss();
        break;
    }
    case kRightMenuOpenAsUrl: {
        const MenuCommandTarget command =
            LookupMenuCommand(commandId, &m_phrases, EnsureMenuBuilder().GetHistory());
        if (command.kind != MenuCommandKind::Phrase && command.kind != MenuCommandKind::History) {
            if (commandId < kHistoryMenuFirstId)
                ::MessageBoxW(m_hWnd, L"nIndex < 0", kProductName, MB_ICONERROR);
            else
                ::MessageBeep(0xFFFFFFFF);
            break;
        }
        CString text = command.text;
        if (command.dataType == MenuItemRecord::kTypeRtf)
            text = RtfToPlainText(text);
        text.Trim();
        if (text.IsEmpty()) {
            ::MessageBeep(0xFFFFFFFF);
            break;
        }
        OpenUrl(m_hWnd, text, false);
        break;
    }
    case kRightMenuEdit:
    case kRightMenuOpenWith:
        OpenHistoryItemFromMenu(commandId, kind == kRightMenuEdit);
        break;
    default:
        if (kind >= kRightMenuSearchFirst && kind <= kRightMenuSearchEncyclopedia) {
            CString text;
            int dataType = 0;
            if (!GetCommandTextForCopy(commandId, text, dataType)) {
                ::MessageBeep(0xFFFFFFFF);
                break;
            }
            if (dataType == MenuItemRecord::kTypeRtf)
                text = RtfToPlainText(text);
            SearchWebForText(text, kind);
        }
        break;
    }
    if (kind >= kRightMenuCopy && kind <= kRightMenuSearchEncyclopedia)
        EnsureMenuBuilder().SetLastID(commandId);
}

// --- What the menu builder asks of the program ---------------------------------------------------------

bool CSCVTrayWnd::IsElevated()
{
    return CAppObjects::IsElevated();
}

void CSCVTrayWnd::CloseOwnDialogs()
{
    CAppObjects::CloseOwnDialogs();
}

CString CSCVTrayWnd::GetTargetWindowTitle(const SVQuery& query)
{
    return query.GetTargetWindowTitle();
}

CString CSCVTrayWnd::FormatCharsCountText(int count)
{
    return ::FormatCharsCountText(count);
}

CString CSCVTrayWnd::LocalizedTextBefore(UINT stringId)
{
    return GetLocalizedStringFirstLine(stringId);
}

CString CSCVTrayWnd::LocalizedTextAfter(UINT stringId)
{
    return GetLocalizedStringRest(stringId);
}
