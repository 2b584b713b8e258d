// test-locks: appevents desktop
// test-sources: ../../../../editor/app/settings/EditorSettings.rc
// The settings pane and its pages on real dialogs over a temporary
// Settings.ini: load and save round trips, the hot-key test against the
// shared settings area and a real second registration, the preset list, the
// Run-key watcher on a test key, tab switching and tab tips.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <thread>
#include <vector>

#include "common/WellKnownNames.h"
#include "editor/app/settings/ExtMenuCommandsChoice.h"
#include "editor/app/settings/HotkeyPresets.h"
#include "editor/app/settings/SettingsPaneContent.h"
#include "editor/controls/EditorLook.h"
#include "online/SharedSettingsArea.h"
#include "support/Dialogs.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TempSettingsEnvironment.h"

namespace
{

constexpr LPCWSTR kTestRunKey = L"Software\\ScrivolanterTests\\SettingsPaneRun";

using FolderEnvironment = scvtest::TempSettingsEnvironment;

class SettingsPaneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kTestRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &key, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(key);
        host = ::CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0,
                                 0, 1000, 400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(host, nullptr);
        programPath = environment.programFolder + L"Scrivolanter.exe";
    }
    void TearDown() override
    {
        content.reset();
        if (host)
            ::DestroyWindow(host);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ScrivolanterTests\\SettingsPaneRun");
        CloseSharedSettingsArea();
    }
    void Open()
    {
        content = std::make_unique<SettingsPaneContent>(settings, kTestRunKey, programPath);
        ASSERT_NE(content->CreateContent(host, RECT{0, 0, 1000, 380}), nullptr);
    }
    MiscSettingsPage& Misc() { return *static_cast<MiscSettingsPage*>(content->GetPage(0)); }
    HWND Item(int page, int id) { return ::GetDlgItem(content->GetPage(page)->m_hWnd, id); }
    void SetText(int id, LPCWSTR text) { ::SetWindowTextW(Item(0, id), text); }
    void Check(int page, int id, bool on)
    {
        ::SendMessageW(Item(page, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    void Click(int page, int id) { ::SendMessageW(Item(page, id), BM_CLICK, 0, 0); }
    bool Checked(int page, int id)
    {
        return ::SendMessageW(Item(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    std::wstring Ini(LPCWSTR key, LPCWSTR section = L"Settings")
    {
        wchar_t buffer[256] = {};
        ::GetPrivateProfileStringW(section, key, L"<missing>", buffer, 256, environment.LocalFile());
        return buffer;
    }
    std::wstring RunValue()
    {
        wchar_t buffer[512] = {};
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        if (::RegGetValueW(HKEY_CURRENT_USER, kTestRunKey, L"Scrivolanter", RRF_RT_REG_SZ, nullptr, buffer,
                           &size) != ERROR_SUCCESS)
            return L"<missing>";
        return buffer;
    }

    scvtest::TempFolder temp;
    FolderEnvironment environment{temp};
    CEditorSettings settings{environment};
    CString programPath;
    HWND host = nullptr;
    std::unique_ptr<SettingsPaneContent> content;
};

TEST_F(SettingsPaneTest, MiscellaneousNumbersFollowTheirSaveRules)
{
    Open();
    Check(0, IDC_MISC_AUTO_UPDATES, true);
    Check(0, IDC_MISC_LAST_USED, true);
    struct Case
    {
        LPCWSTR days;
        LPCWSTR daysSaved;
        LPCWSTR lastUsed;
        LPCWSTR lastUsedSaved;
        bool delayOn;
        LPCWSTR delay;
        LPCWSTR delaySaved;
        bool limitOn;
        LPCWSTR limit;
        LPCWSTR limitSaved;
    } cases[] = {
        {L"0", L"7", L"0", L"3", true, L"45", L"45", false, L"20", L"0"},
        {L"45", L"30", L"4", L"4", false, L"45", L"0", true, L"20", L"20"},
        {L"12", L"12", L"9", L"3", true, L"", L"0", true, L"0", L"20"}, // 0 keeps the stored limit
    };
    for (const Case& c : cases) {
        SetText(IDC_MISC_UPDATE_DAYS, c.days);
        SetText(IDC_MISC_LAST_USED_COUNT, c.lastUsed);
        Check(0, IDC_MISC_DELAY_START, c.delayOn);
        SetText(IDC_MISC_DELAY_SECONDS, c.delay);
        Check(0, IDC_MISC_HISTORY_LIMIT, c.limitOn);
        SetText(IDC_MISC_HISTORY_LIMIT_COUNT, c.limit);
        EXPECT_EQ(Misc().SaveToSettings(), 1);
        EXPECT_EQ(Ini(L"DaysCheckForUpdates"), c.daysSaved) << c.days;
        EXPECT_EQ(Ini(L"AddLastUsedMenuToBegin_Count"), c.lastUsedSaved) << c.lastUsed;
        EXPECT_EQ(Ini(L"DelayAutoLoadSeconds_NextRelease"), c.delaySaved) << c.delay;
        EXPECT_EQ(Ini(L"MaxHistoryItemsInMenu"), c.limitSaved) << c.limit;
    }
}

TEST_F(SettingsPaneTest, MiscellaneousLoadShowsWhatTheFileHolds)
{
    settings.MaxHistoryItemsInMenu = 0;
    settings.DelayAutoLoadSeconds_NextRelease = 0;
    settings.TextPasteMethod_v150 = 2;
    settings.SoundOnEventsV094 = 0;
    settings.ClipboardFormats[2] = 1;
    settings.HotkeyVirtualKey = 'K';
    settings.HotkeyModifiers = MOD_CONTROL | MOD_WIN;
    settings.Hotkey_Doubled = 1;
    Open();
    EXPECT_FALSE(Checked(0, IDC_MISC_HISTORY_LIMIT));
    wchar_t text[32] = {};
    ::GetWindowTextW(Item(0, IDC_MISC_HISTORY_LIMIT_COUNT), text, 32);
    EXPECT_STREQ(text, L"15");
    EXPECT_FALSE(Checked(0, IDC_MISC_DELAY_START));
    EXPECT_FALSE(::IsWindowEnabled(Item(0, IDC_MISC_DELAY_SECONDS)));
    EXPECT_FALSE(Checked(0, IDC_MISC_SOUNDS));
    EXPECT_TRUE(::IsWindowEnabled(Item(0, IDC_MISC_PRINT_CHARS))); // paste method 2
    EXPECT_TRUE(ListView_GetCheckState(Item(0, IDC_MISC_FORMATS), 2));
    HotkeyInfo key;
    Misc().HotkeyControl().GetHotkeyInfo(key);
    EXPECT_EQ(key.virtualKey, 'K');
    EXPECT_EQ(key.modifiers, MOD_CONTROL | MOD_WIN);
    EXPECT_TRUE(key.IsDouble());

    // The delay box: checking it with an empty field puts 30; a stored delay stays.
    ::SetWindowTextW(Item(0, IDC_MISC_DELAY_SECONDS), L"");
    Click(0, IDC_MISC_DELAY_START);
    ::GetWindowTextW(Item(0, IDC_MISC_DELAY_SECONDS), text, 32);
    EXPECT_STREQ(text, L"30");
    EXPECT_TRUE(::IsWindowEnabled(Item(0, IDC_MISC_DELAY_SECONDS)));
    Click(0, IDC_MISC_DELAY_START);
    ::SetWindowTextW(Item(0, IDC_MISC_DELAY_SECONDS), L"90");
    Click(0, IDC_MISC_DELAY_START);
    ::GetWindowTextW(Item(0, IDC_MISC_DELAY_SECONDS), text, 32);
    EXPECT_STREQ(text, L"90");

    // Round trip of the rest through the file.
    ListView_SetCheckState(Item(0, IDC_MISC_FORMATS), 0, FALSE);
    Check(0, IDC_MISC_SOUNDS, true);
    Misc().SaveToSettings();
    EXPECT_EQ(Ini(L"ClipboardFormats0"), L"0");
    EXPECT_EQ(Ini(L"ClipboardFormats2"), L"1");
    EXPECT_EQ(Ini(L"SoundOnEventsV094"), L"1");
    EXPECT_EQ(Ini(L"DelayAutoLoadSeconds_NextRelease"), L"90");
    EXPECT_EQ(Ini(L"Hotkey_Doubled"), L"1");
    CEditorSettings reread{environment};
    reread.LoadEditor();
    EXPECT_EQ(reread.HotkeyVirtualKey, 'K');
    EXPECT_EQ(reread.HotkeyModifiers, MOD_CONTROL | MOD_WIN);
    EXPECT_EQ(reread.TextPasteMethod_v150, 2);
}

TEST_F(SettingsPaneTest, FloatPanePageSavesEachBoxAndBlinksForTheFirstTwo)
{
    settings.SetLastSettingsTab(1);
    settings.ShowHistoryPaneOnStart = 1;
    settings.Pinned_FloatPane_On_Start = 0;
    settings.ShowIconInAltTab_ForFP = 1;
    HANDLE blink = ::CreateEventW(nullptr, TRUE, FALSE, GetFloatPaneBlinkEventName());
    ASSERT_NE(blink, nullptr);
    Open();
    EXPECT_EQ(content->GetCurrentPage(), 1); // opened on Float Pane without a pulse
    EXPECT_TRUE(Checked(1, IDC_FP_SHOW_ON_START));
    EXPECT_FALSE(Checked(1, IDC_FP_PIN_ON_START));

    // A pulse sets and resets at once: watch it from a thread that waits on the event.
    struct Waiter
    {
        static DWORD WINAPI Run(void* event)
        {
            return ::WaitForSingleObject(event, 3000) == WAIT_OBJECT_0 ? 1 : 0;
        }
    };
    auto pulsedBy = [&](int id) {
        HANDLE thread = ::CreateThread(nullptr, 0, Waiter::Run, blink, 0, nullptr);
        ::Sleep(100);
        Click(1, id);
        ::WaitForSingleObject(thread, 5000);
        DWORD code = 0;
        ::GetExitCodeThread(thread, &code);
        ::CloseHandle(thread);
        return code == 1;
    };
    EXPECT_TRUE(pulsedBy(IDC_FP_PIN_ON_START));
    EXPECT_EQ(settings.GetPinnedFloatPaneOnStart(), 1);
    EXPECT_FALSE(pulsedBy(IDC_FP_ALT_TAB_ICON));
    EXPECT_EQ(settings.GetShowIconInAltTab(), 0);
    ::CloseHandle(blink);

    // Selecting the current tab again neither saves nor loads.
    settings.Pinned_FloatPane_On_Start = 0;
    EXPECT_TRUE(content->SelectPage(1));
    EXPECT_TRUE(Checked(1, IDC_FP_PIN_ON_START));
    // Leaving it keeps a value changed elsewhere meanwhile (the user did not touch its box); the pane
    // remembers the tab at destruction.
    EXPECT_TRUE(content->SelectPage(0));
    EXPECT_EQ(settings.Pinned_FloatPane_On_Start, 0);
    ::DestroyWindow(content->m_hWnd);
    EXPECT_EQ(settings.GetLastSettingsTab(), 0);
}

TEST_F(SettingsPaneTest, HotkeyStatesAgainstTheMainProgramAndOtherRegistrations)
{
    Open();
    HWND main =
        ::CreateWindowExW(0, L"Static", L"main", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    Misc().SetMainWindow(main);
    HotkeyInfo key;
    key.virtualKey = VK_F9;
    key.modifiers = MOD_CONTROL | MOD_SHIFT;

    ASSERT_TRUE(WriteSharedSettingsArea(VK_F9, MOD_CONTROL | MOD_SHIFT, false, nullptr));
    Misc().HotkeyControl().SetHotkeyInfo(key);
    HotkeyCheckResult result = Misc().TestHotkey(false);
    EXPECT_EQ(result.state, HotkeySameAsMainProgram);
    EXPECT_TRUE(result.passed);
    EXPECT_EQ(HotkeyStateColor(result.state), RGB(0, 128, 0));
    key.flags = 1; // same key, other double flag: validated
    Misc().HotkeyControl().SetHotkeyInfo(key);
    EXPECT_EQ(Misc().TestHotkey(false).state, HotkeyFree);
    CloseSharedSettingsArea();

    // Taken by another registration of this session.
    HWND other =
        ::CreateWindowExW(0, L"Static", L"other", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(::RegisterHotKey(other, 77, MOD_CONTROL | MOD_SHIFT, VK_F9));
    result = Misc().TestHotkey(true);
    EXPECT_EQ(result.state, HotkeyConflict);
    EXPECT_FALSE(result.passed);
    EXPECT_EQ(result.error, 1409u);
    wchar_t status[512] = {};
    ::GetWindowTextW(Item(0, IDC_MISC_HOTKEY_STATUS), status, 512);
    EXPECT_NE(std::wstring(status).find(L"!\r\nError code:1409 "), std::wstring::npos) << status;
    ::UnregisterHotKey(other, 77);

    // Free: registered and released again at once.
    result = Misc().TestHotkey(false);
    EXPECT_EQ(result.state, HotkeyFree);
    ::GetWindowTextW(Item(0, IDC_MISC_HOTKEY_STATUS), status, 512);
    EXPECT_EQ(std::wstring(status).back(), L'\x2026');
    EXPECT_TRUE(::RegisterHotKey(other, 78, MOD_CONTROL | MOD_SHIFT, VK_F9));
    ::UnregisterHotKey(other, 78);
    ::DestroyWindow(other);
    ::DestroyWindow(main);
}

TEST_F(SettingsPaneTest, HotkeyNotificationsRetestAndBlinkTheStatusBetweenNormalAndItalic)
{
    Open();
    HWND status = Item(0, IDC_MISC_HOTKEY_STATUS);
    HWND hotkey = Item(0, IDC_MISC_HOTKEY);
    ASSERT_NE(nullptr, hotkey);
    const HFONT normal = GetNormalDialogFont();
    const HFONT italic = GetItalicDialogFont();
    for (const UINT code : {kEditorNotifyChanged, kHotkeyRetestNotify}) {
        ::SetWindowTextW(status, L"");
        NMHDR header = {hotkey, IDC_MISC_HOTKEY, code};
        ::SendMessageW(content->GetPage(0)->m_hWnd, WM_NOTIFY, IDC_MISC_HOTKEY, reinterpret_cast<LPARAM>(&header));
        EXPECT_NE(L"", scvtest::WindowCaption(status)) << "the test ran for code " << code;
        // The blink thread sets the fonts through this thread's messages: pump while watching them.
        bool sawNormal = false;
        bool sawItalicAfterNormal = false;
        scvtest::PumpUntil(
            [&] {
                const auto font = reinterpret_cast<HFONT>(::SendMessageW(status, WM_GETFONT, 0, 0));
                sawNormal = sawNormal || font == normal;
                sawItalicAfterNormal = sawItalicAfterNormal || (sawNormal && font == italic);
                return sawItalicAfterNormal;
            },
            5000);
        EXPECT_TRUE(sawNormal) << code;
        EXPECT_TRUE(sawItalicAfterNormal) << code;
    }
}

TEST(HotkeyPresets, ListMenuRowsAndUserKeys)
{
    const std::vector<HotkeyInfo> presets = BuildHotkeyPresetList();
    ASSERT_EQ(presets.size(), 25u);
    EXPECT_EQ(presets[0].virtualKey, VK_SCROLL);
    EXPECT_TRUE(presets[1].IsDouble());
    EXPECT_EQ(presets[2].virtualKey, 0); // separator
    EXPECT_EQ(presets[3].virtualKey, '0');
    EXPECT_EQ(presets[3].modifiers, MOD_CONTROL);
    EXPECT_EQ(presets[14].virtualKey, VK_PAUSE);
    EXPECT_EQ(presets[24].modifiers, MOD_ALT | MOD_SHIFT);
    EXPECT_TRUE(presets[24].IsDouble());

    HotkeyInfo current = presets[15]; // Pause double
    std::vector<HotkeyInfo> user;
    AddUserHotkey(user, current);
    HotkeyInfo own;
    own.virtualKey = 'Q';
    own.modifiers = MOD_ALT;
    AddUserHotkey(user, own);
    AddUserHotkey(user, own);
    ASSERT_EQ(user.size(), 2u);

    std::vector<HotkeyMenuRow> rows = BuildHotkeyMenuRows(presets, user, current);
    ASSERT_EQ(rows.size(), 28u);
    int checked = 0;
    for (const HotkeyMenuRow& row : rows)
        checked += row.checked ? 1 : 0;
    EXPECT_EQ(checked, 2); // the preset and the same key among the user's keys
    EXPECT_TRUE(rows[15].checked);
    EXPECT_EQ(rows[15].commandId, 32015u);
    EXPECT_TRUE(rows[25].separator);
    EXPECT_EQ(rows[27].text, HotkeyInfoToText(own));
    // No user keys: no trailing separator.
    rows = BuildHotkeyMenuRows(presets, {}, current);
    EXPECT_EQ(rows.size(), 25u);
    EXPECT_FALSE(rows.back().separator);
}

TEST_F(SettingsPaneTest, AutostartBoxWritesTheRunValueAndFollowsOutsideChanges)
{
    Open();
    EXPECT_FALSE(Checked(0, IDC_MISC_AUTOSTART));
    EXPECT_EQ(RunValue(), L"<missing>");
    Click(0, IDC_MISC_AUTOSTART);
    EXPECT_EQ(RunValue(), std::wstring(programPath.GetString()) + L" /autoload");
    Click(0, IDC_MISC_AUTOSTART);
    EXPECT_EQ(RunValue(), L"<missing>");

    // Another program writes the value: the watcher makes the box follow.
    const std::wstring quoted = L"\"" + std::wstring(programPath.GetString()) + L"\" /autoload";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kTestRunKey, L"Scrivolanter", REG_SZ, quoted.c_str(),
                                static_cast<DWORD>((quoted.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return Checked(0, IDC_MISC_AUTOSTART); }, 5000));
    ASSERT_EQ(::RegDeleteKeyValueW(HKEY_CURRENT_USER, kTestRunKey, L"Scrivolanter"), ERROR_SUCCESS);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !Checked(0, IDC_MISC_AUTOSTART); }, 5000));

    // Opening the page and saving it leave the value as it was written, also one naming another copy of
    // the program: only the user's change of the box writes it.
    const struct
    {
        const char* name;
        std::wstring value;
        bool checked;
    } values[] = {
        {"this program, quoted", quoted, true},
        {"another copy", L"\"C:\\Other copy\\Scrivolanter.exe\" /autoload", false},
    };
    for (const auto& v : values) {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kTestRunKey, L"Scrivolanter", REG_SZ, v.value.c_str(),
                                    static_cast<DWORD>((v.value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
        Misc().Reload();
        EXPECT_EQ(Checked(0, IDC_MISC_AUTOSTART), v.checked) << v.name;
        EXPECT_EQ(RunValue(), v.value) << v.name << ": opened";
        Misc().SaveToSettings();
        EXPECT_EQ(RunValue(), v.value) << v.name << ": saved";
    }
}

TEST_F(SettingsPaneTest, TabTipsAndToolbarFollowTheHouseStyle)
{
    EXPECT_EQ(FormatSettingsTip(L"Title: one,two"),
              CString(L"Title\n") + CString(L'\x2014', 25) + L"\n     \x2022 one\n     \x2022two");
    EXPECT_EQ(FormatSettingsTip(L":no title"), CString(L":no title"));
    EXPECT_EQ(SettingsPaneContent::TabTip(7), CString(L"Settings"));
    const CString misc = SettingsPaneContent::TabTip(0);
    EXPECT_EQ(misc.Find(L"Miscellaneus settings\n"), 0);
    EXPECT_NE(misc.Find(L"\n     \x2022 insertion menu\x2026"), -1);

    Open();
    EXPECT_EQ(content->GetCurrentPage(), 0);
    EXPECT_TRUE(::IsWindowVisible(content->TabControl()) || !::IsWindowVisible(host));
    EXPECT_EQ(::SendMessageW(content->Toolbar(), TB_BUTTONCOUNT, 0, 0), 3);
    RECT tabRect;
    ::SendMessageW(content->TabControl(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tabRect));
    ::SendMessageW(content->TabControl(), WM_MBUTTONUP, 0,
                   MAKELPARAM((tabRect.left + tabRect.right) / 2, (tabRect.top + tabRect.bottom) / 2));
    EXPECT_EQ(content->TabControl().GetTipTab(), 1);

    wchar_t buffer[200] = {};
    NMTBGETINFOTIPW tip{};
    tip.hdr = {content->Toolbar(), kSettingsToolbarId, TBN_GETINFOTIPW};
    tip.pszText = buffer;
    tip.cchTextMax = 200;
    tip.iItem = kSaveAndCloseCommand;
    ::SendMessageW(content->m_hWnd, WM_NOTIFY, kSettingsToolbarId, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(buffer, L"Save settings, phrases and close RedodeZovuva");
}

TEST_F(SettingsPaneTest, SaveAndCloseWritesTheFileAndClosesTheMainWindow)
{
    Open();
    HWND main =
        ::CreateWindowExW(0, L"Static", L"main", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    content->SetMainWindow(main);
    settings.PrintLTChars = 321;
    ::SendMessageW(content->m_hWnd, WM_COMMAND, kSaveAndCloseCommand, 0);
    EXPECT_EQ(Ini(L"PrintLTChars"), L"321");
    EXPECT_TRUE(::IsWindow(main)) << "the close is posted: the button that was pressed is still handling it";
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !::IsWindow(main); }, 5000)); // SC_CLOSE destroyed it
}

} // namespace

TEST_F(SettingsPaneTest, ExtendedMenuCommandsBoxSetsTheFlagsAndTheCounter)
{
    Open();
    HWND button = Item(0, IDC_MISC_EXT_COMMANDS);
    EXPECT_EQ(scvtest::WindowCaption(button), L"Extended Menu Commands [4/4]");

    // Uncheck "Save selected text as new phrase" in the box and answer OK; the box shows icon 161.
    const HICON expectedIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(161));
    ASSERT_NE(nullptr, expectedIcon);
    HICON shownIcon = nullptr;
    std::thread answer([&shownIcon] {
        HWND box = nullptr;
        scvtest::WaitUntil(
            [&] {
                box = scvtest::FindDialogByCaption(L"Scrivolanter : RedodeZovuva : Extended Menu Commands",
                                                   GetCurrentProcessId(), true);
                return box != nullptr;
            },
            10000);
        if (!box)
            return;
        std::vector<HWND> rows;
        scvtest::WaitUntil(
            [&] {
                rows.clear();
                for (HWND child = ::GetWindow(box, GW_CHILD); child;
                     child = ::GetWindow(child, GW_HWNDNEXT)) {
                    wchar_t cls[16] = {};
                    ::GetClassNameW(child, cls, 16);
                    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
                    if (_wcsicmp(cls, L"Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
                        rows.push_back(child);
                    if (_wcsicmp(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON)
                        shownIcon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
                }
                return rows.size() == 4;
            },
            5000);
        if (rows.size() == 4 && ::SendMessageW(rows[1], BM_GETCHECK, 0, 0) == BST_CHECKED)
            ::SendMessageW(rows[1], BM_CLICK, 0, 0);
        scvtest::PressDialogButton(box, IDOK);
    });
    ::SendMessageW(button, BM_CLICK, 0, 0);
    answer.join();
    ASSERT_TRUE(scvtest::FindDialogs().empty());

    EXPECT_EQ(expectedIcon, shownIcon);
    EXPECT_EQ(scvtest::WindowCaption(button), L"Extended Menu Commands [3/4]");
    EXPECT_EQ(settings.GetExtMenuCommand(1), 0);
    EXPECT_EQ(settings.GetExtMenuCommand(0), 1);
    EXPECT_EQ(Misc().SaveToSettings(), 1);
    EXPECT_EQ(Ini(L"ExtMenuCommand__SaveSelAsPhrase"), L"0");
    const CString tip = ExtMenuCommandsTip(settings);
    EXPECT_GT(tip.Find(L"[3/4]"), 0);
    EXPECT_GT(tip.Find(L"Disabled:\n     \x2022 Save selected text as new phrase"), 0) << tip.GetString();
}

TEST_F(SettingsPaneTest, CheckForUpdatesNowLinkSetsTheMainProgramsCommandEvent)
{
    Open();
    HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, L"Local\\Scrivolanter_CommandCheckForUpdates");
    ASSERT_NE(nullptr, event);
    HWND link = Item(0, IDC_MISC_CHECK_UPDATES_NOW);
    RECT client = {};
    ::GetClientRect(link, &client);
    const LPARAM at = MAKELPARAM(3, client.bottom / 2);
    ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(link, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(event, 0)) << "the request stays set for the watcher";
    ::CloseHandle(event);
}

TEST_F(SettingsPaneTest, APageLargerThanItsAreaScrollsSoEveryControlCanBeReached)
{
    ::SetWindowPos(host, nullptr, 0, 0, 1700, 800, SWP_NOZORDER | SWP_NOACTIVATE);
    struct Case
    {
        SIZE area;
        bool scrolls;
    } cases[] = {{{520, 220}, true}, {{1600, 700}, false}};
    for (const Case& c : cases) {
        content = std::make_unique<SettingsPaneContent>(settings, kTestRunKey, programPath);
        ASSERT_NE(content->CreateContent(host, RECT{0, 0, c.area.cx, c.area.cy}), nullptr);
        HWND viewport = content->Viewport().m_hWnd;
        HWND page = Misc().m_hWnd;
        ASSERT_EQ(::GetParent(page), viewport);
        // The page keeps the size of its template, whatever the area.
        RECT needed = {0, 0, 560, 150};
        ::MapDialogRect(page, &needed);
        RECT pageRect = {};
        ::GetWindowRect(page, &pageRect);
        EXPECT_GE(pageRect.right - pageRect.left, needed.right) << c.area.cx;
        EXPECT_GE(pageRect.bottom - pageRect.top, needed.bottom) << c.area.cx;
        const LONG style = ::GetWindowLongW(viewport, GWL_STYLE);
        EXPECT_EQ(c.scrolls, (style & WS_VSCROLL) != 0) << c.area.cx;
        EXPECT_EQ(c.scrolls, (style & WS_HSCROLL) != 0) << c.area.cx;

        // Scrolled to the far end, the page's bottom right corner stands at the area's.
        ::SendMessageW(viewport, WM_VSCROLL, SB_BOTTOM, 0);
        ::SendMessageW(viewport, WM_HSCROLL, SB_BOTTOM, 0);
        RECT visible = {};
        ::GetClientRect(viewport, &visible);
        ::MapWindowPoints(viewport, nullptr, reinterpret_cast<POINT*>(&visible), 2);
        ::GetWindowRect(page, &pageRect);
        EXPECT_EQ(visible.right, pageRect.right) << c.area.cx;
        EXPECT_EQ(visible.bottom, pageRect.bottom) << c.area.cx;
        // Each control the user looks for is brought whole into the area by the scroll bars.
        for (const int id : {IDC_MISC_CLIP_HISTORY_MAX, IDC_MISC_CLIP_HISTORY_MAX_LABEL, IDC_MISC_HOTKEY}) {
            RECT control = {};
            ::GetWindowRect(Item(0, id), &control);
            ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&control), 2);
            ::SendMessageW(viewport, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, control.left), 0);
            ::SendMessageW(viewport, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, control.top), 0);
            ::GetWindowRect(Item(0, id), &control);
            RECT inside = {};
            ::IntersectRect(&inside, &control, &visible);
            EXPECT_TRUE(::EqualRect(&inside, &control)) << "control " << id << ", area " << c.area.cx;
        }
        // Back at the top left, the first group box is whole again.
        ::SendMessageW(viewport, WM_VSCROLL, SB_TOP, 0);
        ::SendMessageW(viewport, WM_HSCROLL, SB_TOP, 0);
        EXPECT_EQ(0, content->Viewport().GetScrollPosition().x);
        EXPECT_EQ(0, content->Viewport().GetScrollPosition().y);
        ::GetWindowRect(page, &pageRect);
        EXPECT_EQ(visible.left, pageRect.left);
        content.reset();
    }
}

TEST(ExtMenuCommandsTexts, TheCounterReplacesAnOldOne)
{
    struct Case
    {
        LPCWSTR text;
        LPCWSTR base;
    } cases[] = {{L"Extended Menu Commands", L"Extended Menu Commands"},
                 {L"Extended Menu Commands [2/4]", L"Extended Menu Commands"},
                 {L"Commands  [", L"Commands"},
                 {L"", L""}};
    for (const Case& c : cases)
        EXPECT_EQ(ExtMenuCommandsBaseText(c.text), CString(c.base)) << c.text;
}
