#include "editor/app/settings/MiscSettingsPage.h"

#include "editor/app/document/Doc.h"
#include "editor/controls/DialogTextFit.h"
#include "platform/docview/App.h"
#include "platform/docview/FrameWnd.h"

#include <commctrl.h>
#include <commdlg.h>

#include "common/AutoStartValue.h"
#include "common/BlinkEffects.h"
#include "common/BoldCheckBox.h"
#include "common/ClipboardListenerCheck.h"
#include "common/DateTimeTexts.h"
#include "common/DialogLocalizer.h"
#include "common/IconHelpers.h"
#include "common/LocalizedString.h"
#include "common/RegistryValue.h"
#include "common/WellKnownNames.h"
#include "editor/app/frame/EditorCoopSignals.h"
#include "editor/app/frame/EditorWindowServices.h"
#include "editor/app/settings/ExtMenuCommandsChoice.h"
#include "editor/app/settings/HotkeyPresets.h"
#include "editor/app/settings/MiscSettingsPageTexts.h"
#include "editor/controls/EditorLook.h"

namespace
{
// Check boxes drawn bold while checked.
const int kMiscBoldCheckBoxIds[] = {IDC_MISC_HISTORY_IN_MENU, IDC_MISC_LAST_USED,    IDC_MISC_AUTO_UPDATES,
                                    IDC_MISC_SOUNDS,          IDC_MISC_CLIP_HISTORY, IDC_MISC_AUTOSTART};

constexpr LPCWSTR kRunValueName = L"Scrivolanter";
constexpr int kFormatRows = CSettings::ClipboardFormatCount;

struct FormatRow
{
    LPCWSTR extension;
    UINT kind;
};

const FormatRow kFormats[kFormatRows] = {
    {L".txt", IDS_SET_FORMAT_TEXT},     {L".rtf", IDS_SET_FORMAT_RTF},   {L".bmp", IDS_SET_FORMAT_BITMAP},
    {L".ovl", IDS_SET_FORMAT_OVELLINE}, {L".html", IDS_SET_FORMAT_HTML},
};

struct SpinRange
{
    int spin;
    int buddy;
    int lower;
    int upper;
};

const SpinRange kSpins[MiscSettingsPage::kSpinCount] = {
    {IDC_MISC_DELAY_SPIN, IDC_MISC_DELAY_SECONDS, 1, 600},
    {IDC_MISC_PRINT_CHARS_SPIN, IDC_MISC_PRINT_CHARS, 1, 1000},
    {IDC_MISC_LAST_USED_SPIN, IDC_MISC_LAST_USED_COUNT, 1, 5},
    {IDC_MISC_CLIP_HISTORY_MAX_SPIN, IDC_MISC_CLIP_HISTORY_MAX, 1, 100},
    {IDC_MISC_UPDATE_DAYS_SPIN, IDC_MISC_UPDATE_DAYS, 1, 30},
    {IDC_MISC_HISTORY_LIMIT_SPIN, IDC_MISC_HISTORY_LIMIT_COUNT, 1, 1000},
};

// Plain check boxes bound to one int of the settings object.
struct BoxBinding
{
    int id;
    int CSettings::*field;
};

const BoxBinding kBoxes[] = {
    {IDC_MISC_SOUNDS, &CSettings::SoundOnEventsV094},
    {IDC_MISC_AUTO_UPDATES, &CSettings::AutoCheckForUpdates},
    {IDC_MISC_WRITE_LOG, &CSettings::WriteLog},
    {IDC_MISC_HISTORY_IN_MENU, &CSettings::InsertCHIntoMenu},
    {IDC_MISC_HISTORY_SUBMENU, &CSettings::AppendCHAsSubMenu_ForV140},
    {IDC_MISC_MENU_TIPS, &CSettings::MenuToolTips_V0_94_A22},
    {IDC_MISC_LAST_USED, &CSettings::AddLastUsedMenuToBegin},
    {IDC_MISC_TRAY_BALLOON, &CSettings::ShowTrayBallonOnHotkey},
    {IDC_MISC_CLIP_HISTORY, &CSettings::ClipboardHistory},
    {IDC_MISC_SAVE_HISTORY, &CSettings::SaveClipboardHistory_v198},
};

// Labels that head a part of a group: bold, followed by an etched line.
const int kSectionLabelIds[] = {IDC_MISC_PASTE_LABEL, IDC_MISC_TRACKING_LABEL, IDC_MISC_FORMATS_LABEL};

// Controls whose tip is one plain string.
struct PlainTip
{
    int id;
    UINT text;
};

const PlainTip kPlainTips[] = {
    {IDC_MISC_DELAY_START, IDS_SET_DELAY_TIP},           {IDC_MISC_DELAY_SECONDS, IDS_SET_DELAY_TIP},
    {IDC_MISC_HISTORY_LIMIT, IDS_SET_HISTORY_LIMIT_TIP}, {IDC_MISC_MENU_FONT, IDS_SET_MENU_FONT_TIP},
    {IDC_MISC_PRINT_CHARS, IDS_SET_CHARACTERS},          {IDC_MISC_PRINT_CHARS_SPIN, IDS_SET_CHARACTERS},
};

// The hot-key control's children: the key field, the preset button and the "Double" box.
constexpr int kHotkeyFieldId = 1;
constexpr int kHotkeyDoubleBoxId = 3;
constexpr int kHotkeyArrowId = 4;

// The row's text in the current language.
CString FormatRowTextAt(int row)
{
    // The HTML row names no file type: its kind says it all.
    const CString description =
        row < kFormatRows - 1 ? GetFileTypeDescription(kFormats[row].extension) : CString();
    return FormatRowText(description, LoadLocalizedString(kFormats[row].kind), kFormats[row].extension);
}

const int kHistoryChildren[] = {IDC_MISC_CLIP_HISTORY_MAX_LABEL,
                                IDC_MISC_CLIP_HISTORY_MAX,
                                IDC_MISC_CLIP_HISTORY_MAX_SPIN,
                                IDC_MISC_HISTORY_IN_MENU,
                                IDC_MISC_SAVE_HISTORY,
                                IDC_MISC_HISTORY_LIMIT,
                                IDC_MISC_HISTORY_LIMIT_COUNT,
                                IDC_MISC_HISTORY_LIMIT_SPIN,
                                IDC_MISC_HISTORY_SUBMENU,
                                IDC_MISC_TRACKING_LABEL,
                                IDC_MISC_TRACKING_METHOD,
                                IDC_MISC_FORMATS_LABEL,
                                IDC_MISC_FORMATS};

} // namespace

MiscSettingsPage::MiscSettingsPage(CEditorSettings& settings, LPCWSTR runKeyPath, LPCWSTR programPath)
    : SettingsPage(IDD_SETTINGS_MISC, settings), m_runKeyPath(runKeyPath), m_programPath(programPath),
      m_stopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_checkUpdatesLink(L"")
{}

MiscSettingsPage::MiscSettingsPage(CEditorSettings& settings)
    : MiscSettingsPage(settings, GetAutoStartRunKeyPath(), GetProgramFolderFile(L"Scrivolanter.exe"))
{}

MiscSettingsPage::~MiscSettingsPage()
{
    if (m_stopEvent)
        ::SetEvent(m_stopEvent.Get());
    if (m_watcher)
        ::WaitForSingleObject(m_watcher.Get(), 5000);
    if (m_strikeOutFont)
        ::DeleteObject(m_strikeOutFont);
    if (m_images)
        ImageList_Destroy(m_images);
}

HWND MiscSettingsPage::MainWindow() const
{
    return m_mainWindow ? m_mainWindow : ::GetAncestor(m_hWnd, GA_ROOT);
}

CString MiscSettingsPage::GetAutostartCommand() const
{
    return m_programPath + L" /autoload";
}

bool MiscSettingsPage::IsAutostartRegistered() const
{
    CString command;
    return ReadRegistryString(HKEY_CURRENT_USER, m_runKeyPath, kRunValueName, command) &&
           RunCommandNamesProgram(command, m_programPath);
}

bool MiscSettingsPage::WriteAutostart(bool enable) const
{
    if (!enable) {
        CString existing;
        if (!ReadRegistryString(HKEY_CURRENT_USER, m_runKeyPath, kRunValueName, existing))
            return true;
    }
    return SetAutoStartValue(enable, kRunValueName, GetAutostartCommand(), m_runKeyPath);
}

void MiscSettingsPage::CreateHotkeyControl()
{
    HWND placeholder = ::GetDlgItem(m_hWnd, IDC_MISC_HOTKEY);
    RECT rect{0, 0, 200, 50};
    if (placeholder) {
        ::GetWindowRect(placeholder, &rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        ::DestroyWindow(placeholder);
    }
    if (!m_hotkey.Create(m_hWnd, rect, IDC_MISC_HOTKEY, WS_CHILD | WS_TABSTOP))
        return;
    ::SendMessageW(m_hotkey, WM_SETFONT, ::SendMessageW(m_hWnd, WM_GETFONT, 0, 0), FALSE);
    m_hotkey.SetDoubleCaption(L"x2");
    ::ShowWindow(m_hotkey, SW_SHOW);
}

void MiscSettingsPage::AttachSpinsAndLabels()
{
    for (size_t i = 0; i < m_spins.size(); ++i)
        m_spins[i].Attach(::GetDlgItem(m_hWnd, kSpins[i].spin));
    HWND first = ::GetDlgItem(m_hWnd, kSectionLabelIds[0]);
    m_sectionFont.Reset(CreateBoldWindowFont(first));
    for (size_t i = 0; i < m_sectionLabels.size(); ++i) {
        HWND label = ::GetDlgItem(m_hWnd, kSectionLabelIds[i]);
        if (m_sectionFont)
            ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(m_sectionFont.get()), FALSE);
        m_sectionLabels[i].SubclassWindow(label);
    }
    m_fontSample.SubclassWindow(::GetDlgItem(m_hWnd, IDC_MISC_MENU_FONT_SAMPLE));
}

void MiscSettingsPage::SetupSpins()
{
    for (const SpinRange& spin : kSpins) {
        HWND control = ::GetDlgItem(m_hWnd, spin.spin);
        ::SendMessageW(control, UDM_SETBUDDY, reinterpret_cast<WPARAM>(::GetDlgItem(m_hWnd, spin.buddy)), 0);
        ::SendMessageW(control, UDM_SETRANGE, 0, MAKELONG(spin.upper, spin.lower));
    }
    ::SendMessageW(::GetDlgItem(m_hWnd, IDC_MISC_LAST_USED_COUNT), EM_SETLIMITTEXT, 1, 0);
}

void MiscSettingsPage::FillCombos()
{
    HWND paste = ::GetDlgItem(m_hWnd, IDC_MISC_PASTE_METHOD);
    HWND tracking = ::GetDlgItem(m_hWnd, IDC_MISC_TRACKING_METHOD);
    ::SendMessageW(paste, CB_RESETCONTENT, 0, 0);
    ::SendMessageW(tracking, CB_RESETCONTENT, 0, 0);
    const CString recommended = LoadLocalizedString(IDS_SET_RECOMMENDED);
    auto add = [](HWND combo, const CString& text, int data) {
        const LRESULT index =
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.GetString()));
        ::SendMessageW(combo, CB_SETITEMDATA, index, static_cast<LPARAM>(data));
    };
    add(paste, LoadLocalizedString(IDS_SET_PASTE_KEYS), 0);
    add(paste, LoadLocalizedString(IDS_SET_PASTE_CLIPBOARD), 1);
    add(paste, LoadLocalizedString(IDS_SET_PASTE_SHORT_KEYS) + L" (" + recommended + L")", 2);
    add(tracking, LoadLocalizedString(IDS_SET_TRACK_AUTO) + L" [" + recommended + L"]", -1);
    add(tracking, LoadLocalizedString(IDS_SET_TRACK_OLD) + L" [SetClipboardViewer]", 0);
    if (IsClipboardFormatListenerAvailable())
        add(tracking, LoadLocalizedString(IDS_SET_TRACK_NEW) + L" [AddClipboardListener]", 1);
}

void MiscSettingsPage::FillFormatsList()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_MISC_FORMATS);
    ListView_DeleteAllItems(list);
    if (m_images)
        ImageList_RemoveAll(m_images);
    for (int i = 0; i < kFormatRows; ++i) {
        CString text = FormatRowTextAt(i);
        int image = -1;
        // Formatted text shows the editor's own icon, the others the shell's icon of their type.
        HICON icon = i == 1 ? LoadIconSmall(::GetModuleHandleW(nullptr), IDI_SET_FORMATTED_TEXT)
                            : LoadFileTypeIcon(kFormats[i].extension, false);
        if (icon) {
            image = ImageList_AddIcon(m_images, icon);
            ::DestroyIcon(icon);
        }
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.iImage = image;
        item.pszText = const_cast<LPWSTR>(text.GetString());
        ListView_InsertItem(list, &item);
        ListView_SetCheckState(list, i, Settings().ClipboardFormats[i] != 0);
    }
    RECT client;
    ::GetClientRect(list, &client);
    ListView_SetColumnWidth(list, 0, client.right);
}

void MiscSettingsPage::RetextFormatsList()
{
    HWND list = ::GetDlgItem(m_hWnd, IDC_MISC_FORMATS);
    if (ListView_GetItemCount(list) != kFormatRows)
        return;
    for (int i = 0; i < kFormatRows; ++i) {
        CString text = FormatRowTextAt(i);
        ListView_SetItemText(list, i, 0, const_cast<LPWSTR>(text.GetString()));
    }
}

void MiscSettingsPage::SelectComboData(int comboId, int data)
{
    HWND combo = ::GetDlgItem(m_hWnd, comboId);
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    int found = -1;
    for (int i = 0; i < count && found < 0; ++i)
        if (static_cast<int>(::SendMessageW(combo, CB_GETITEMDATA, i, 0)) == data)
            found = i;
    ::SendMessageW(combo, CB_SETCURSEL, found, 0);
}

int MiscSettingsPage::GetComboData(int comboId, int fallback) const
{
    HWND combo = ::GetDlgItem(m_hWnd, comboId);
    const LRESULT selected = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return fallback;
    return static_cast<int>(::SendMessageW(combo, CB_GETITEMDATA, selected, 0));
}

void MiscSettingsPage::ApplyHistoryLimitRule()
{
    const bool on =
        IsChecked(IDC_MISC_HISTORY_LIMIT) && ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_MISC_HISTORY_LIMIT));
    EnableItem(IDC_MISC_HISTORY_LIMIT_COUNT, on);
    EnableItem(IDC_MISC_HISTORY_LIMIT_SPIN, on);
}

void MiscSettingsPage::ApplyHistoryInMenuRule()
{
    const bool on = IsChecked(IDC_MISC_HISTORY_IN_MENU) &&
                    ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_MISC_HISTORY_IN_MENU));
    for (int id : {IDC_MISC_HISTORY_LIMIT, IDC_MISC_HISTORY_LIMIT_COUNT, IDC_MISC_HISTORY_LIMIT_SPIN,
                   IDC_MISC_HISTORY_SUBMENU})
        EnableItem(id, on);
    ApplyHistoryLimitRule();
}

void MiscSettingsPage::ApplyPasteMethodRule()
{
    const bool shortKeys = GetComboData(IDC_MISC_PASTE_METHOD, -1) == 2;
    EnableItem(IDC_MISC_PRINT_CHARS, shortKeys);
    EnableItem(IDC_MISC_PRINT_CHARS_SPIN, shortKeys);
}

void MiscSettingsPage::ApplyEnableRules()
{
    const bool updates = IsChecked(IDC_MISC_AUTO_UPDATES);
    EnableItem(IDC_MISC_UPDATE_DAYS, updates);
    EnableItem(IDC_MISC_UPDATE_DAYS_SPIN, updates);
    const bool delay = IsChecked(IDC_MISC_DELAY_START);
    EnableItem(IDC_MISC_DELAY_SECONDS, delay);
    EnableItem(IDC_MISC_DELAY_SPIN, delay);
    const bool lastUsed = IsChecked(IDC_MISC_LAST_USED);
    EnableItem(IDC_MISC_LAST_USED_COUNT, lastUsed);
    EnableItem(IDC_MISC_LAST_USED_SPIN, lastUsed);
    const bool history = IsChecked(IDC_MISC_CLIP_HISTORY);
    for (int id : kHistoryChildren)
        EnableItem(id, history);
    ApplyHistoryInMenuRule();
    ApplyPasteMethodRule();
}

void MiscSettingsPage::SetMenuFont(const LOGFONTW& font)
{
    m_fontSample.SetBackColor(::GetSysColor(COLOR_MENU), false);
    m_fontSample.SetFontAndTextColor(font, ::GetSysColor(COLOR_MENUTEXT), false);
    RefreshFontSampleText();
}

void MiscSettingsPage::RefreshFontSampleText()
{
    LOGFONTW font{};
    if (!m_fontSample.LabelFont() || !::GetObjectW(m_fontSample.LabelFont(), sizeof(font), &font))
        return;
    HWND sample = ::GetDlgItem(m_hWnd, IDC_MISC_MENU_FONT_SAMPLE);
    HDC screen = ::CreateCompatibleDC(nullptr);
    const int points =
        ::MulDiv(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight, 72, ::GetDeviceCaps(screen, LOGPIXELSY));
    ::DeleteDC(screen);
    CString text;
    text.Format(L"%s: %s, %d", LoadLocalizedString(IDS_SET_FONT_FOR_MENU).GetString(), font.lfFaceName,
                points);
    ::SetWindowTextW(sample, text);
}

void MiscSettingsPage::BuildTips()
{
    for (const PlainTip& tip : kPlainTips)
        SetControlTip(tip.id, LoadLocalizedString(tip.text));
    SYSTEMTIME lastCheck{};
    Settings().GetLastCheckForUpdatesLocal(lastCheck);
    const CString updates = AutoUpdatesTip(DateTimeToText(lastCheck));
    SetControlTip(IDC_MISC_AUTO_UPDATES, updates);
    SetControlTip(IDC_MISC_UPDATE_DAYS, updates);
    SetControlTip(IDC_MISC_WRITE_LOG,
                  WriteLogTip(GetLogReportPath(Settings().GetFiles().GetEnvironment(), GetAppDataFolder())));
    SetControlTip(IDC_MISC_SOUNDS, SoundsTip());
    // The pointer rests on the hot-key control's children, so they carry its tips.
    const CString hotkey = LoadLocalizedString(IDS_SET_HOTKEY_TIP);
    SetWindowTip(m_hotkey, hotkey);
    SetWindowTip(::GetDlgItem(m_hotkey, kHotkeyFieldId), hotkey);
    SetWindowTip(::GetDlgItem(m_hotkey, kHotkeyArrowId), hotkey);
    SetWindowTip(::GetDlgItem(m_hotkey, kHotkeyDoubleBoxId), LoadLocalizedString(IDS_SET_DOUBLE_TIP));
}

void MiscSettingsPage::BuildMethodTips()
{
    SetControlTip(IDC_MISC_PASTE_METHOD, SelectedComboItemTip(::GetDlgItem(m_hWnd, IDC_MISC_PASTE_METHOD)));
    SetControlTip(IDC_MISC_TRACKING_METHOD, ComboChoicesTip(::GetDlgItem(m_hWnd, IDC_MISC_TRACKING_METHOD)));
}

void MiscSettingsPage::LoadFromSettings()
{
    CEditorSettings& s = Settings();
    BuildTips();
    m_hotkey.SetHotkey(s.HotkeyVirtualKey, s.HotkeyModifiers & ~MOD_WIN, (s.HotkeyModifiers & MOD_WIN) != 0,
                       s.Hotkey_Doubled != 0);
    for (const BoxBinding& box : kBoxes)
        SetChecked(box.id, s.*box.field != 0);
    const bool registered = IsAutostartRegistered();
    SetChecked(IDC_MISC_AUTOSTART, registered);
    SetChecked(IDC_MISC_DELAY_START, s.DelayAutoLoadSeconds_NextRelease != 0);
    if (s.DelayAutoLoadSeconds_NextRelease != 0)
        WriteNumber(IDC_MISC_DELAY_SECONDS, s.DelayAutoLoadSeconds_NextRelease);
    WriteNumber(IDC_MISC_UPDATE_DAYS, s.GetDaysCheckForUpdates());
    WriteNumber(IDC_MISC_LAST_USED_COUNT, s.GetAddLastUsedMenuToBeginCount());
    WriteNumber(IDC_MISC_CLIP_HISTORY_MAX, s.ClipboardHistoryMax);
    WriteNumber(IDC_MISC_PRINT_CHARS, s.PrintLTChars);
    SetChecked(IDC_MISC_HISTORY_LIMIT, s.HasMaxHistoryItemsInMenu());
    if (s.HasMaxHistoryItemsInMenu())
        WriteNumber(IDC_MISC_HISTORY_LIMIT_COUNT, s.MaxHistoryItemsInMenu);
    else
        ::SetDlgItemTextW(m_hWnd, IDC_MISC_HISTORY_LIMIT_COUNT, L"15");
    SelectComboData(IDC_MISC_PASTE_METHOD, s.TextPasteMethod_v150);
    SelectComboData(IDC_MISC_TRACKING_METHOD, s.ClipboardSpyMethod_v2_22);
    BuildMethodTips();
    ApplyEnableRules();
    FillFormatsList();
    SetMenuFont(s.FontForMenu);
    RememberShownValues();
}

int MiscSettingsPage::SaveToSettings()
{
    // The Run value is the user's choice in the box: it is written only when the box says otherwise than
    // the registry, so a value of another copy of the program stays as it is.
    const bool wanted = IsChecked(IDC_MISC_AUTOSTART);
    if (wanted != IsAutostartRegistered())
        WriteAutostart(wanted);
    TakeEditedValues();
    return Settings().SaveEditor();
}

void MiscSettingsPage::ReadControls(CEditorSettings& s)
{
    HotkeyInfo key;
    m_hotkey.GetHotkeyInfo(key);
    s.HotkeyVirtualKey = key.virtualKey;
    s.HotkeyModifiers = key.modifiers;
    s.Hotkey_Doubled = key.IsDouble() ? 1 : 0;
    for (const BoxBinding& box : kBoxes)
        s.*box.field = IsChecked(box.id) ? 1 : 0;
    s.DelayAutoLoadSeconds_NextRelease =
        IsChecked(IDC_MISC_DELAY_START) ? ReadNumber(IDC_MISC_DELAY_SECONDS) : 0;
    const int days = ReadNumber(IDC_MISC_UPDATE_DAYS);
    s.SetDaysCheckForUpdates(days == 0 ? 7 : days);
    const int lastUsed = ReadNumber(IDC_MISC_LAST_USED_COUNT);
    s.AddLastUsedMenuToBegin_Count = lastUsed < 1 || lastUsed > 5 ? 3 : lastUsed;
    s.ClipboardHistoryMax = ReadNumber(IDC_MISC_CLIP_HISTORY_MAX);
    s.PrintLTChars = ReadNumber(IDC_MISC_PRINT_CHARS);
    if (!IsChecked(IDC_MISC_HISTORY_LIMIT))
        s.MaxHistoryItemsInMenu = 0;
    else if (const int limit = ReadNumber(IDC_MISC_HISTORY_LIMIT_COUNT))
        s.MaxHistoryItemsInMenu = limit;
    s.TextPasteMethod_v150 = GetComboData(IDC_MISC_PASTE_METHOD, s.TextPasteMethod_v150);
    s.ClipboardSpyMethod_v2_22 = GetComboData(IDC_MISC_TRACKING_METHOD, 0);
    HWND list = ::GetDlgItem(m_hWnd, IDC_MISC_FORMATS);
    for (int i = 0; i < kFormatRows && ListView_GetItemCount(list) == kFormatRows; ++i)
        s.ClipboardFormats[i] = ListView_GetCheckState(list, i) ? 1 : 0;
    LOGFONTW font{};
    if (m_fontSample.LabelFont() && ::GetObjectW(m_fontSample.LabelFont(), sizeof(font), &font))
        s.FontForMenu = font;
}

void MiscSettingsPage::Localize()
{
    CDialogLocalizer localizer(&m_hWnd, IDD_SETTINGS_MISC, L"_Editor");
    localizer.Translate();
    BuildTips();
    const int paste = GetComboData(IDC_MISC_PASTE_METHOD, Settings().TextPasteMethod_v150);
    const int tracking = GetComboData(IDC_MISC_TRACKING_METHOD, Settings().ClipboardSpyMethod_v2_22);
    FillCombos();
    SelectComboData(IDC_MISC_PASTE_METHOD, paste);
    SelectComboData(IDC_MISC_TRACKING_METHOD, tracking);
    BuildMethodTips();
    RetextFormatsList(); // the boxes keep what the user checked
    RefreshFontSampleText();
    ::SetDlgItemTextW(m_hWnd, IDC_MISC_CHECK_UPDATES_NOW, LoadLocalizedString(IDS_SET_CHECK_UPDATES_NOW));
    UpdateExtCommandsButton();
    // After a language change the hot-key status speaks the new language (the first time the page
    // tests the key itself once its settings are loaded).
    if (m_localizedOnce)
        TestHotkey(false);
    m_localizedOnce = true;
    // The texts of this language decide the widths: labels and check boxes show whole.
    FitDialogTextsToColumns(m_hWnd,
                            std::set<int>(std::begin(kMiscBoldCheckBoxIds), std::end(kMiscBoldCheckBoxIds)));
}

void MiscSettingsPage::UpdateExtCommandsButton()
{
    HWND button = ::GetDlgItem(m_hWnd, IDC_MISC_EXT_COMMANDS);
    if (!button)
        return;
    wchar_t text[256] = {};
    ::GetWindowTextW(button, text, 256);
    ::SetWindowTextW(button, ExtMenuCommandsButtonText(text, Settings()));
    SetControlTip(IDC_MISC_EXT_COMMANDS, ExtMenuCommandsTip(Settings()));
}

LRESULT MiscSettingsPage::OnExtCommands(WORD, WORD, HWND, BOOL&)
{
    wchar_t text[256] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_MISC_EXT_COMMANDS, text, 256);
    if (ChooseExtMenuCommands(m_hWnd, text, Settings()))
        UpdateExtCommandsButton();
    return 0;
}

HotkeyCheckResult MiscSettingsPage::TestHotkey(bool blink)
{
    HotkeyInfo key;
    m_hotkey.GetHotkeyInfo(key);
    HWND status = ::GetDlgItem(m_hWnd, IDC_MISC_HOTKEY_STATUS);
    if (key.virtualKey != 0)
        ::ShowWindow(status, SW_SHOW);
    const HotkeyCheckResult result = CheckHotkey(MainWindow(), key);
    m_hotkeyState = result.state;
    m_lastTestResult = result.passed ? 1 : 0;
    const CString text = BuildHotkeyStatusText(result);
    ::SetWindowTextW(status, text);
    SetControlTip(IDC_MISC_HOTKEY_STATUS, text);
    // The status text blinks between the normal and the italic dialog font (250 ms each, three times).
    if (blink)
        BlinkControlFont(status, GetNormalDialogFont(), GetItalicDialogFont(), nullptr, 0);
    return result;
}

void MiscSettingsPage::ApplyPreset(const HotkeyInfo& key)
{
    m_hotkey.SetHotkeyInfo(key);
    TestHotkey(true);
}

void MiscSettingsPage::ShowPresetMenu(POINT screenPoint)
{
    HotkeyInfo current;
    m_hotkey.GetHotkeyInfo(current);
    AddUserHotkey(GetUserHotkeys(), current);
    const std::vector<HotkeyMenuRow> rows =
        BuildHotkeyMenuRows(GetHotkeyPresets(), GetUserHotkeys(), current);
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return;
    for (const HotkeyMenuRow& row : rows) {
        if (row.separator) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        ::AppendMenuW(menu, MF_STRING | (row.checked ? MF_CHECKED : 0), row.commandId, row.text);
        if (row.checked)
            ::SetMenuDefaultItem(menu, row.commandId, FALSE);
    }
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN, screenPoint.x,
                                                           screenPoint.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    for (const HotkeyMenuRow& row : rows)
        if (chosen != 0 && row.commandId == chosen)
            ApplyPreset(row.key);
}

LRESULT MiscSettingsPage::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    for (int id : {IDC_MISC_GROUP, IDC_MISC_MENU_GROUP, IDC_MISC_HISTORY_GROUP, IDC_MISC_HOTKEY_GROUP})
        ::SendMessageW(::GetDlgItem(m_hWnd, id), WM_SETFONT, reinterpret_cast<WPARAM>(GetBoldDialogFont()),
                       FALSE);
    for (int id : kMiscBoldCheckBoxIds)
        SubclassBoldCheckBox(::GetDlgItem(m_hWnd, id));
    CreateHotkeyControl();
    AttachSpinsAndLabels();
    HWND list = ::GetDlgItem(m_hWnd, IDC_MISC_FORMATS);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                                        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    m_writeLogButton.Attach(::GetDlgItem(m_hWnd, IDC_MISC_WRITE_LOG));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<LPWSTR>(L"");
    column.cx = 100;
    ListView_InsertColumn(list, 0, &column);
    m_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 5, 1);
    if (m_images) {
        ImageList_SetBkColor(m_images, ::GetSysColor(COLOR_WINDOW));
        ListView_SetImageList(list, m_images, LVSIL_SMALL);
    }
    FillCombos();
    SetupSpins();
    ::SendMessageW(::GetDlgItem(m_hWnd, IDC_MISC_HOTKEY_STATUS), WM_SETFONT,
                   reinterpret_cast<WPARAM>(GetNormalDialogFont()), FALSE);
    Localize();
    LoadFromSettings();
    m_watcher.Reset(StartRunKeyWatcher({m_stopEvent.Get(), m_hWnd, m_runKeyPath}));
    TestHotkey(false);
    m_checkUpdatesLink.SetLink(MakeMessageLink(static_cast<int>(kCheckUpdatesNowMessage)));
    m_checkUpdatesLink.Attach(::GetDlgItem(m_hWnd, IDC_MISC_CHECK_UPDATES_NOW));
    return TRUE;
}

LRESULT MiscSettingsPage::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (m_stopEvent)
        ::SetEvent(m_stopEvent.Get());
    SaveToSettings();
    handled = FALSE;
    return 0;
}

LRESULT MiscSettingsPage::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    if (reinterpret_cast<HWND>(lParam) != ::GetDlgItem(m_hWnd, IDC_MISC_HOTKEY_STATUS)) {
        handled = FALSE;
        return 0;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, HotkeyStateColor(m_hotkeyState));
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT MiscSettingsPage::OnRunKeyChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    SetChecked(IDC_MISC_AUTOSTART, IsAutostartRegistered());
    return 0;
}

LRESULT MiscSettingsPage::OnCheckUpdatesNow(UINT, WPARAM, LPARAM, BOOL&)
{
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
    // The event the main program's command watcher waits on (the same one the frame's Check For Updates
    // sets); it stays set until the watcher takes it, so the request is not lost between two waits.
    const bool requested = RequestUpdateCheck();
    ::SetCursor(previous);
    if (!requested)
        ::MessageBoxW(m_hWnd, L"FAIL", nullptr, MB_ICONEXCLAMATION);
    return 0;
}

LRESULT MiscSettingsPage::OnLButtonDblClk(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    RECT rect;
    ::GetWindowRect(::GetDlgItem(m_hWnd, IDC_MISC_MENU_FONT_SAMPLE), &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (::PtInRect(&rect, point))
        ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_MISC_MENU_FONT, BN_CLICKED), 0);
    return 0;
}

LRESULT MiscSettingsPage::OnAutostart(WORD, WORD, HWND, BOOL&)
{
    WriteAutostart(IsChecked(IDC_MISC_AUTOSTART));
    return 0;
}

LRESULT MiscSettingsPage::OnDelayStart(WORD, WORD, HWND, BOOL&)
{
    ApplyEnableRules();
    if (IsChecked(IDC_MISC_DELAY_START)) {
        if (ReadNumber(IDC_MISC_DELAY_SECONDS) == 0)
            ::SetDlgItemTextW(m_hWnd, IDC_MISC_DELAY_SECONDS, L"30");
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_MISC_DELAY_SECONDS));
    }
    return 0;
}

LRESULT MiscSettingsPage::OnAutoUpdates(WORD, WORD, HWND, BOOL&)
{
    ApplyEnableRules();
    if (IsChecked(IDC_MISC_AUTO_UPDATES))
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_MISC_UPDATE_DAYS));
    return 0;
}

LRESULT MiscSettingsPage::OnSounds(WORD, WORD, HWND, BOOL&)
{
    if (IsChecked(IDC_MISC_SOUNDS))
        ::MessageBeep(static_cast<UINT>(-1));
    return 0;
}

LRESULT MiscSettingsPage::OnClipHistory(WORD, WORD, HWND, BOOL&)
{
    ApplyEnableRules();
    return 0;
}

LRESULT MiscSettingsPage::OnHistoryInMenu(WORD, WORD, HWND, BOOL&)
{
    ApplyHistoryInMenuRule();
    return 0;
}

LRESULT MiscSettingsPage::OnHistoryLimit(WORD, WORD, HWND, BOOL&)
{
    ApplyHistoryLimitRule();
    if (IsChecked(IDC_MISC_HISTORY_LIMIT) &&
        ::GetWindowTextLengthW(::GetDlgItem(m_hWnd, IDC_MISC_HISTORY_LIMIT_COUNT)) == 0) {
        ::SetDlgItemTextW(m_hWnd, IDC_MISC_HISTORY_LIMIT_COUNT, L"15");
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_MISC_HISTORY_LIMIT_COUNT));
    }
    return 0;
}

LRESULT MiscSettingsPage::OnLastUsed(WORD, WORD, HWND, BOOL&)
{
    ApplyEnableRules();
    if (IsChecked(IDC_MISC_LAST_USED))
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_MISC_LAST_USED_COUNT));
    return 0;
}

LRESULT MiscSettingsPage::OnPasteMethod(WORD, WORD, HWND, BOOL&)
{
    ApplyPasteMethodRule();
    BuildMethodTips();
    return 0;
}

LRESULT MiscSettingsPage::OnTrackingMethod(WORD, WORD, HWND, BOOL&)
{
    BuildMethodTips();
    return 0;
}

LRESULT MiscSettingsPage::OnDropDown(WORD, WORD, HWND control, BOOL&)
{
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::SendMessageW(control, CB_SETDROPPEDWIDTH, (rect.right - rect.left) * 3 / 2, 0);
    return 0;
}

LRESULT MiscSettingsPage::OnMenuFont(WORD, WORD, HWND, BOOL&)
{
    LOGFONTW font = Settings().FontForMenu;
    if (m_fontSample.LabelFont())
        ::GetObjectW(m_fontSample.LabelFont(), sizeof(font), &font);
    CHOOSEFONTW choose{sizeof(choose)};
    choose.hwndOwner = m_hWnd;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!::ChooseFontW(&choose))
        return 0;
    Settings().FontForMenu = font;
    SetMenuFont(font);
    // The phrase tree shows the new menu font at once.
    CWinApp* app = CWinApp::GetApp();
    auto* frame = app ? dynamic_cast<CFrameWnd*>(app->GetMainWnd()) : nullptr;
    if (auto* doc = frame ? dynamic_cast<CDoc*>(frame->GetActiveDocument()) : nullptr)
        doc->UpdateViewsForItem(nullptr, kHintTreeFont, nullptr);
    return 0;
}

LRESULT MiscSettingsPage::OnHotkeyChanged(int, LPNMHDR, BOOL&)
{
    TestHotkey(true);
    return 0;
}

LRESULT MiscSettingsPage::OnHotkeyMenu(int, LPNMHDR header, BOOL&)
{
    POINT point{};
    if (header->code == kEditorNotifyArrowClicked) {
        const auto* record = reinterpret_cast<const NMHOTKEYARROW*>(header);
        point = {record->buttonRect.left, record->buttonRect.top};
    } else
        point = reinterpret_cast<const POINT*>(header + 1)[0];
    ShowPresetMenu(point);
    return 0;
}

LRESULT MiscSettingsPage::OnWriteLogLink(int, LPNMHDR, BOOL&)
{
    ::SendMessageW(MainWindow(), WM_COMMAND, kOpenLogFileCommand, 0);
    return 0;
}

LRESULT MiscSettingsPage::OnFormatsCustomDraw(int, LPNMHDR header, BOOL&)
{
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    HWND list = header->hwndFrom;
    const bool checked = ListView_GetCheckState(list, static_cast<int>(draw->nmcd.dwItemSpec)) != 0;
    if (!::IsWindowEnabled(list))
        draw->clrText = ::GetSysColor(COLOR_GRAYTEXT);
    else
        draw->clrText = checked ? RGB(0, 128, 0) : RGB(255, 0, 0);
    if (!checked) {
        if (!m_strikeOutFont)
            m_strikeOutFont =
                CreateStrikeOutFont(reinterpret_cast<HFONT>(::SendMessageW(list, WM_GETFONT, 0, 0)));
        if (m_strikeOutFont)
            ::SelectObject(draw->nmcd.hdc, m_strikeOutFont);
    }
    return CDRF_NEWFONT;
}
