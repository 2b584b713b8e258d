// test-locks: desktop coopevent appevents
// test-sources: ../../../../editor/app/frame/ScrivolanterEditor.rc
// test-timeout: 90
// The editor's main frame built from resource set 128 over a temp phrase store and temp settings: the
// settings pane docked at the bottom (hidden with the hide flag, toggled by its command and the system
// menu), the enabling of Export and ZIP Log File, the update check request through a real named event,
// the system and view menus, status prompts, the menu tooltip's texts, and menu and accelerator
// table 128 against the commands the frame answers.

#include "tests/editor/app/EditorFrameHarness.h"
#include "editor/app/frame/EditorMessages.h"
#include "editor/app/frame/MenuToolTipEditorClient.h"

#include "support/Dialogs.h"
#include "support/MessagePump.h"
#include "support/TestFiles.h"
#include "support/ZipEntries.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace
{

constexpr wchar_t kFrameTestRunKey[] = L"Software\\ScrivolanterTests\\MainFrameRun";
constexpr LPCWSTR kUpdateEventName = L"Local\\Scrivolanter_CommandCheckForUpdates";

struct RecordedBox
{
    std::wstring text;
    UINT type;
};

std::vector<RecordedBox> g_boxes;

std::vector<UINT> MenuIds(HMENU menu)
{
    std::vector<UINT> ids;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        ids.push_back(::GetMenuItemID(menu, i));
    return ids;
}

// Every command id of the menu and its submenus.
void CollectMenuIds(HMENU menu, std::set<UINT>& ids)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i))
            CollectMenuIds(sub, ids);
        else if (const UINT id = ::GetMenuItemID(menu, i); id != 0)
            ids.insert(id);
    }
}

// The submenu (at any depth) that holds the command.
HMENU FindPopupHolding(HMENU menu, UINT command)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = ::GetSubMenu(menu, i)) {
            if (HMENU found = FindPopupHolding(sub, command))
                return found;
        } else if (::GetMenuItemID(menu, i) == command) {
            return menu;
        }
    }
    return nullptr;
}

class MainFrameCommandsTest : public ::testing::Test, protected scvtest::EditorFrameHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(UseSettingsPaneOnKey<kFrameTestRunKey>());
        a = store.AddPhrase(L"A", L"alpha", 0, -1);
        ASSERT_GE(a, 0);
        LoadSettings();
        g_boxes.clear();
        CMainFrame::SetReportBox([](HWND, const CString& text, const CString&, UINT type) {
            g_boxes.push_back({text.GetString(), type});
        });
    }
    void Open(bool hideSettings)
    {
        CMainFrame::SetHideSettingsOnCreate(hideSettings);
        ASSERT_TRUE(OpenFrame(128, nullptr));
        ::ShowWindow(frame->m_hWnd, SW_SHOW);
    }
    void Command(UINT id) { ::SendMessageW(frame->m_hWnd, WM_COMMAND, id, 0); }
    // The item's state after the frame prepared the popup that holds it.
    bool IsEnabled(UINT command)
    {
        HMENU popup = FindPopupHolding(::GetMenu(frame->m_hWnd), command);
        EXPECT_NE(nullptr, popup) << command;
        ::SendMessageW(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
        return (::GetMenuState(popup, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
    }
    bool SettingsVisible() { return frame->GetSettingsPane()->IsVisible() != FALSE; }
    // Runs ZIP Log File as a user would: the save dialog gets `target` typed in and OK (and Yes when
    // it asks whether to replace a file). The name the dialog proposed.
    std::wstring ZipLogTo(const std::wstring& target)
    {
        std::wstring proposed;
        std::thread user([&proposed, target] {
            HWND dialog = scvtest::WaitForDialog(L"Pack the log file", 10000, ::GetCurrentProcessId(), true);
            if (!dialog)
                return;
            ::Sleep(200); // the dialog finishes its initialisation
            proposed = scvtest::FileDialogName(dialog);
            scvtest::SetFileDialogName(dialog, target);
            scvtest::PressDialogButton(dialog, IDOK);
            for (int i = 0; i < 40 && !scvtest::IsDialogGone(dialog); ++i) {
                for (HWND box : scvtest::FindDialogs()) {
                    const std::vector<int> buttons = scvtest::DialogButtons(box);
                    if (box != dialog && std::count(buttons.begin(), buttons.end(), IDYES))
                        scvtest::PressDialogButton(box, IDYES);
                }
                ::Sleep(100);
            }
        });
        Command(EditorFileCommands::kCmdZipLog);
        user.join();
        return proposed;
    }

    int a = -1;
};

} // namespace

TEST_F(MainFrameCommandsTest, SettingsPaneIsDockedAtTheBottomAndItsCommandTogglesIt)
{
    Open(false);
    SettingsPane* pane = frame->GetSettingsPane();
    ASSERT_NE(nullptr, pane);
    ASSERT_TRUE(::IsWindow(pane->m_hWnd));
    EXPECT_TRUE(pane->IsHorzDocked());
    EXPECT_EQ(SettingsPane::kHeight, pane->GetHorzSize().cy);
    EXPECT_TRUE(SettingsVisible());
    ASSERT_TRUE(::IsWindow(pane->GetContent().m_hWnd)) << "the pages live in the bar";
    RECT paneRect{}, statusRect{}, phrasesRect{};
    ::GetWindowRect(pane->m_hWnd, &paneRect);
    ::GetWindowRect(frame->GetStatusBar().m_hWnd, &statusRect);
    ::GetWindowRect(frame->GetPhrasesPane().m_hWnd, &phrasesRect);
    EXPECT_LE(paneRect.bottom, statusRect.top) << "above the status bar";
    EXPECT_GE(paneRect.top, phrasesRect.top) << "below the top of the phrases pane";

    Command(CMainFrame::kSettingsCommand);
    EXPECT_FALSE(SettingsVisible());
    ::SendMessageW(frame->m_hWnd, WM_SYSCOMMAND, CMainFrame::kSettingsCommand, 0);
    EXPECT_TRUE(SettingsVisible()) << "the system menu's item is the same command";
}

TEST_F(MainFrameCommandsTest, HideSettingsStartDocksThePaneHidden)
{
    Open(true);
    SettingsPane* pane = frame->GetSettingsPane();
    ASSERT_NE(nullptr, pane);
    EXPECT_TRUE(::IsWindow(pane->m_hWnd));
    EXPECT_FALSE(SettingsVisible());
    EXPECT_TRUE(pane->IsHorzDocked());
    Command(CMainFrame::kSettingsCommand);
    EXPECT_TRUE(SettingsVisible());
}

TEST_F(MainFrameCommandsTest, ExportNeedsASelectionAndZipLogNeedsTheLogFile)
{
    Open(false);
    const CString log = frame->GetLogPath();
    EXPECT_EQ(0, log.Find(environment.programFolder)) << "the log of the settings' program folder";
    ::DeleteFileW(log);
    TreeView_SelectItem(frame->GetPhrasesPane().GetTree().m_hWnd, nullptr);
    EXPECT_FALSE(IsEnabled(EditorFileCommands::kCmdExport));
    EXPECT_FALSE(IsEnabled(EditorFileCommands::kCmdZipLog));

    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(a));
    HANDLE file = ::CreateFileW(log, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ::CloseHandle(file);
    EXPECT_TRUE(IsEnabled(EditorFileCommands::kCmdExport));
    EXPECT_TRUE(IsEnabled(EditorFileCommands::kCmdZipLog));
    EXPECT_TRUE(IsEnabled(CMainFrame::kCheckForUpdatesCommand)) << "the frame's own commands stay enabled";
}

TEST_F(MainFrameCommandsTest, ZipLogFilePacksSettingsAndLogUnderTheDefaultNameAndSelectsIt)
{
    Open(false);
    const std::string log = "editor log line\r\n";
    const std::string settingsText = "[Settings]\r\nHotkey=1\r\n";
    const std::wstring logPath = frame->GetLogPath().GetString();
    const std::wstring settingsPath = settings.GetFiles().GetSettingsFilePath().GetString();
    ASSERT_TRUE(scvtest::WriteFileBytes(logPath, log));
    ASSERT_TRUE(scvtest::WriteFileBytes(settingsPath, settingsText));
    const std::wstring zipPath = temp.PathOf(L"out\\support.zip");
    ASSERT_TRUE(scvtest::WriteFileBytes(zipPath, "an older archive"));
    std::vector<std::pair<HWND, std::wstring>> selected;
    CMainFrame::SetExplorerOpener([&selected](HWND owner, const CString& parameters) {
        selected.emplace_back(owner, parameters.GetString());
    });

    const std::wstring proposed = ZipLogTo(zipPath);
    EXPECT_EQ(0u, proposed.find(L"LogReport_Scrivolanter_")) << proposed;
    EXPECT_NE(std::wstring::npos, proposed.find(L"_version_")) << proposed;
    EXPECT_EQ(proposed.size() - 5, proposed.rfind(L"_.zip")) << proposed;
    const auto entries = scvtest::ReadZipEntries(zipPath);
    ASSERT_EQ(2u, entries.size()) << "no report entry: the editor has no report";
    EXPECT_EQ((scvtest::ZipEntry{"Settings.ini", settingsText}), entries[0]);
    EXPECT_EQ((scvtest::ZipEntry{"LogReport.txt", log}), entries[1]);
    ASSERT_EQ(1u, selected.size());
    EXPECT_EQ(frame->m_hWnd, selected[0].first);
    EXPECT_EQ(L"/select, \"" + zipPath + L"\"", selected[0].second);
    EXPECT_TRUE(g_boxes.empty());

    // A log another program holds shut: a warning over the frame that lists the files, no archive.
    selected.clear();
    const auto made = scvtest::ReadZipEntries(zipPath);
    HANDLE locked = ::CreateFileW(logPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    ZipLogTo(zipPath);
    ::CloseHandle(locked);
    EXPECT_TRUE(selected.empty());
    EXPECT_EQ(made, scvtest::ReadZipEntries(zipPath)) << "the archive already there stays as it was";
    EXPECT_EQ(1, scvtest::CountFiles(temp.PathOf(L"out\\*"))) << "no partial archive is left";
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), g_boxes[0].type);
    EXPECT_EQ(L"Cannot create ZIP-archive " + zipPath + L"\n\nFollows Files:\n" + settingsPath + L"\n" +
                  logPath + L"\n",
              g_boxes[0].text);
}

TEST_F(MainFrameCommandsTest, CheckForUpdatesSetsTheNamedEventOrSaysFail)
{
    Open(false);
    Command(CMainFrame::kCheckForUpdatesCommand);
    ASSERT_EQ(1u, g_boxes.size()) << "no main program: nobody made the event";
    EXPECT_EQ(L"FAIL", g_boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), g_boxes[0].type);

    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, kUpdateEventName);
    ASSERT_NE(nullptr, event);
    ASSERT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), ::GetLastError()) << "a main program runs";
    g_boxes.clear();
    Command(CMainFrame::kCheckForUpdatesCommand);
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), ::WaitForSingleObject(event, 0));
    EXPECT_TRUE(g_boxes.empty());
    ::CloseHandle(event);
}

TEST_F(MainFrameCommandsTest, MoveFolderSaysItIsNotThereYet)
{
    Open(false);
    Command(CMainFrame::kMoveFolderCommand);
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(L"Sorry, not implemented in this version", g_boxes[0].text);
}

TEST_F(MainFrameCommandsTest, SystemAndViewMenusCarryTheFrameItemsInOrder)
{
    Open(false);
    const std::vector<UINT> system = MenuIds(::GetSystemMenu(frame->m_hWnd, FALSE));
    const auto choose = std::find(system.begin(), system.end(), CMainFrame::kChooseFolderCommand);
    ASSERT_NE(system.end(), choose);
    ASSERT_LT(choose + 2, system.end());
    EXPECT_EQ(CMainFrame::kMoveFolderCommand, *(choose + 1));
    EXPECT_EQ(0u, *(choose + 2)) << "in front of the first separator";
    EXPECT_EQ(0u, static_cast<UINT>(std::count(system.begin(), choose, 0u))) << "before any separator";
    const std::vector<UINT> tail = {0, 59392, 59393, 32771, 32777, 32841};
    ASSERT_GE(system.size(), tail.size());
    EXPECT_EQ(tail, std::vector<UINT>(system.end() - static_cast<std::ptrdiff_t>(tail.size()), system.end()));
    wchar_t text[64] = {};
    ::GetMenuStringW(::GetSystemMenu(frame->m_hWnd, FALSE), 32777, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(L"Settings\tAlt+2"), text) << "the text of menu 128";

    HMENU view = frame->BuildViewMenu();
    ASSERT_NE(nullptr, view);
    EXPECT_EQ((std::vector<UINT>{59392, 59393, 32771, 32777, 32841, 0, 32846}), MenuIds(view));
    const bool barVisible = frame->GetReBar().m_hWnd && frame->GetReBar().IsVisible();
    EXPECT_EQ(barVisible, (::GetMenuState(view, 59392, MF_BYCOMMAND) & MF_CHECKED) != 0);
    ::DestroyMenu(view);
}

TEST_F(MainFrameCommandsTest, StatusPromptIsTheFirstLineOfTheCommandText)
{
    Open(false);
    CString prompt;
    frame->GetMessageString(CMainFrame::kCheckForUpdatesCommand, prompt);
    EXPECT_EQ(std::wstring(L"Check for a new version of Scrivolanter"), prompt.GetString());
    frame->GetMessageString(41234, prompt);
    EXPECT_TRUE(prompt.IsEmpty()) << "a command without text";

    HMENU popup = FindPopupHolding(::GetMenu(frame->m_hWnd), EditorFileCommands::kCmdBackup);
    ::SendMessageW(frame->m_hWnd, WM_MENUSELECT, MAKEWPARAM(EditorFileCommands::kCmdBackup, MF_STRING),
                   reinterpret_cast<LPARAM>(popup));
    wchar_t text[128] = {};
    ::SendMessageW(frame->GetStatusBar().m_hWnd, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(L"Save the phrases and the settings into a zip archive"), text);
}

TEST_F(MainFrameCommandsTest, MenuTooltipTextsCarryTheirLiveFacts)
{
    Open(false);
    CMenuToolTipEditorClient* tip = frame->GetMenuToolTip();
    ASSERT_NE(nullptr, tip);
    EXPECT_TRUE(::IsWindow(tip->GetTipWindow()));
    EXPECT_EQ(std::wstring(L"Check for a new version of Scrivolanter"),
              tip->GetTipString(CMainFrame::kCheckForUpdatesCommand).GetString());
    const std::wstring zip = tip->GetTipString(EditorFileCommands::kCmdZipLog).GetString();
    EXPECT_EQ(std::wstring(L"Pack the log file into a zip archive\r\n \x00BB ") +
                  frame->GetLogPath().GetString(),
              zip);
    const std::wstring recent = tip->GetTipString(30159).GetString();
    EXPECT_EQ(std::wstring(L"Choose the phrases folder\n[]"), recent) << "an index beyond the list";

    // A language file without "LangPrefix".
    const CString file = L"Test.lng";
    const CString path = environment.programFolder + file;
    ::WritePrivateProfileStringW(L"Main", L"LangLocalized", L"Testish", path);
    frame->GetLanguageList() = {file};
    const std::wstring language = tip->GetTipString(30000).GetString();
    EXPECT_NE(std::wstring::npos, language.find(L"Testish\r\nTest.lng, [Lang prefix not defined]"))
        << language;
    EXPECT_NE(std::wstring::npos, language.find(std::wstring(30, L'\x2014'))) << language;
}

TEST_F(MainFrameCommandsTest, MenuAndAcceleratorTable128HoldTheFrameCommands)
{
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
    ASSERT_NE(nullptr, menu);
    std::set<UINT> ids;
    CollectMenuIds(menu, ids);
    const UINT listed[] = {32813, 32807, 32833, 32839, 32838, 32796, 32829, 32826, 32776, 32823, 32834, 59392,
                           59393, 32771, 32777, 32781, 32827, 32783, 32819, 32795, 32782, 32806, 32812, 32840,
                           32845, 32847, 32825, 32848, 32842, 32800, 32786, 32787, 32803, 32804, 32808, 32809,
                           32810, 32815, 32816, 32820, 32830, 32843, 32844, 32841, 32846, 57603, 57664};
    for (UINT id : listed)
        EXPECT_EQ(1u, ids.count(id)) << id;
    // The submenus the frame fills at run time keep their fixed items first.
    EXPECT_EQ((std::vector<UINT>{32833, 32838, 32839}), MenuIds(FindPopupHolding(menu, 32833)));
    EXPECT_EQ((std::vector<UINT>{32776, 32823}), MenuIds(FindPopupHolding(menu, 32776)));
    ::DestroyMenu(menu);

    HACCEL table = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128));
    ASSERT_NE(nullptr, table);
    std::vector<ACCEL> entries(static_cast<size_t>(::CopyAcceleratorTableW(table, nullptr, 0)));
    ::CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
    using Key = std::tuple<BYTE, WORD, WORD>;
    std::set<Key> actual;
    for (const ACCEL& entry : entries)
        actual.insert({static_cast<BYTE>(entry.fVirt & ~FNOINVERT), entry.key, entry.cmd});
    const BYTE v = FVIRTKEY, c = FVIRTKEY | FCONTROL, al = FVIRTKEY | FALT, s = FVIRTKEY | FSHIFT,
               ca = FVIRTKEY | FCONTROL | FALT;
    const std::set<Key> expected = {
        {al, '0', 32771},      {al, '2', 32777},   {c, 'B', 32788},       {c, 'C', 57634},
        {c, VK_INSERT, 57634}, {c, 'D', 32775},    {ca, 'D', 32772},      {c, 'G', 32774},
        {c, 'I', 32789},       {ca, 'K', 32814},   {al, 'R', 32800},      {c, 'S', 57603},
        {c, 'U', 32790},       {c, 'V', 57637},    {s, VK_INSERT, 57637}, {c, 'Z', 57643},
        {al, VK_BACK, 57643},  {c, 'X', 57635},    {s, VK_DELETE, 57635}, {al, VK_UP, 32831},
        {al, VK_DOWN, 32832},  {ca, VK_F1, 57664}, {v, VK_F3, 32841},     {v, VK_F5, 32804},
        {v, VK_F6, 57680},     {s, VK_F6, 57681},
    };
    EXPECT_EQ(expected, actual);
    EXPECT_EQ(expected.size(), entries.size());
    ::DestroyAcceleratorTable(table);
}

TEST_F(MainFrameCommandsTest, SelectedTextStartFlagPostsTheAddMessageToTheFrame)
{
    Open(false);
    MSG msg;
    const UINT message = GetEditorAddSelectedTextMessage();
    while (::PeekMessageW(&msg, frame->m_hWnd, message, message, PM_REMOVE)) {
    }
    frame->SetStartFlags(static_cast<int>(CMainFrame::kSelectedTextStartFlag));
    EXPECT_TRUE(::PeekMessageW(&msg, frame->m_hWnd, message, message, PM_REMOVE));
    EXPECT_EQ(static_cast<int>(CMainFrame::kSelectedTextStartFlag), frame->GetStartFlags());
    frame->SetStartFlags(0);
    EXPECT_FALSE(::PeekMessageW(&msg, frame->m_hWnd, message, message, PM_REMOVE));

    // A second editor started with "/addseltext" hands its flags over with the instance question.
    EXPECT_EQ(1, ::SendMessageW(frame->m_hWnd, GetEditorInstanceMessage(), 0, 0));
    EXPECT_FALSE(::PeekMessageW(&msg, frame->m_hWnd, message, message, PM_REMOVE)) << "no flags, no action";
    EXPECT_EQ(
        1, ::SendMessageW(frame->m_hWnd, GetEditorInstanceMessage(), CMainFrame::kSelectedTextStartFlag, 0));
    EXPECT_TRUE(::PeekMessageW(&msg, frame->m_hWnd, message, message, PM_REMOVE));
}

TEST_F(MainFrameCommandsTest, OptionsChangedReloadsTheShownSettingsPage)
{
    Open(false);
    SettingsPane* pane = frame->GetSettingsPane();
    ASSERT_NE(nullptr, pane);
    SettingsPage* page = pane->GetContent().GetPage(pane->GetContent().GetCurrentPage());
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(::IsWindow(page->m_hWnd));
    EXPECT_EQ(0, pane->GetContent().GetCurrentPage()) << "a new settings file opens on Miscellaneous";
    // Another program writes the settings file; the frame hears the options-changed message.
    CSettings other(environment);
    other.Load();
    other.ClipboardHistoryMax = 47;
    other.Save();
    EXPECT_EQ(30, settings.ClipboardHistoryMax) << "the object is stale until the reload";
    ::SendMessageW(frame->m_hWnd, GetEditorOptionsChangedMessage(), 0, 0);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return settings.ClipboardHistoryMax == 47; }, 5000));
    wchar_t text[16] = {};
    ::GetDlgItemTextW(page->m_hWnd, IDC_MISC_CLIP_HISTORY_MAX, text, 16);
    EXPECT_EQ(std::wstring(L"47"), text) << "the shown page shows the reloaded value";
}

TEST_F(MainFrameCommandsTest, OptionsChangedKeepsWhatTheUserTypesAndReloadsTheRest)
{
    Open(false);
    SettingsPane* pane = frame->GetSettingsPane();
    ASSERT_NE(nullptr, pane);
    SettingsPage* page = pane->GetContent().GetPage(pane->GetContent().GetCurrentPage());
    ASSERT_TRUE(page && ::IsWindow(page->m_hWnd));
    auto boxText = [&](int id) {
        wchar_t text[16] = {};
        ::GetDlgItemTextW(page->m_hWnd, id, text, 16);
        return std::wstring(text);
    };
    auto fileValue = [&](int CSettings::*field) {
        CSettings disk(environment);
        disk.Load();
        return disk.*field;
    };
    // The user types 77 into the history size (caret after the 7s) and applies nothing.
    HWND typedBox = ::GetDlgItem(page->m_hWnd, IDC_MISC_CLIP_HISTORY_MAX);
    ::SetFocus(typedBox);
    ::SetWindowTextW(typedBox, L"77");
    ::SendMessageW(typedBox, EM_SETSEL, 1, 2);
    struct Case
    {
        const char* name;
        int otherHistoryMax; // what the other program writes for the typed box's value
        int otherPrintChars;
    };
    const Case cases[] = {
        {"another value changes", 30, 123},
        {"the typed value changes too", 47, 124},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSettings other(environment);
        other.Load();
        other.ClipboardHistoryMax = c.otherHistoryMax;
        other.PrintLTChars = c.otherPrintChars;
        other.Save();
        // A burst of the message is one change.
        for (int i = 0; i < 12; ++i)
            ::PostMessageW(frame->m_hWnd, GetEditorOptionsChangedMessage(), 0, 0);
        EXPECT_TRUE(scvtest::PumpUntil([&] { return settings.PrintLTChars == c.otherPrintChars; }, 5000));
        scvtest::PumpFor(100);
        EXPECT_EQ(std::to_wstring(c.otherPrintChars), boxText(IDC_MISC_PRINT_CHARS)) << "the rest reloads";
        EXPECT_EQ(L"77", boxText(IDC_MISC_CLIP_HISTORY_MAX)) << "what the user types stays";
        DWORD start = 0;
        DWORD end = 0;
        ::SendMessageW(typedBox, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(1u, start);
        EXPECT_EQ(2u, end);
        EXPECT_EQ(c.otherHistoryMax, fileValue(&CSettings::ClipboardHistoryMax)) << "nothing applied";
    }
    // Applying the page writes what the user typed beside the other program's values.
    page->SaveToSettings();
    EXPECT_EQ(77, fileValue(&CSettings::ClipboardHistoryMax));
    EXPECT_EQ(124, fileValue(&CSettings::PrintLTChars));
}
