// test-locks: appevents desktop clipboard
// test-sources: ../../../app/Scrivolanter.rc
// The tray window in this process: its start-up notes, the start-up commands
// it posts to itself, the tray icon coming back on "TaskbarCreated", the
// bounds of what it reads from and writes to other callers' memory, session
// changes, the instance signal and the exit command. The program's resources
// are linked in, so texts and icons are the program's own.

#include <windows.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/AppObjects.h"
#include "app/entry/CommandLineArgs.h"
#include "common/HandedOutAddresses.h"
#include "app/entry/NamedEvents.h"
#include "app/tray/SCVTrayWnd.h"
#include "app/tray/TrayMenuRes.h"
#include "app/entry/StartupNotes.h"
#include "common/AppListeners.h"
#include "common/PathFunctions.h"
#include "tests/app/FolderSettings.h"
#include "tests/app/tray/TrayWindowHarness.h"
#include "common/Settings.h"
#include "engine/CSCVWndClipboardHandler.h"
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardSpy.h"
#include "engine/OwnClipboardChange.h"
#include "menus/floatpane/FloatPaneToolBar.h"
#include "menus/tips/MenuToolTipSCVClient.h"
#include "support/ClipboardFill.h"
#include "support/DialogWatchdog.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

constexpr DWORD kTimeoutMs = 10000;

using scvtest::SettingsFolder;

class TrayWindowEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        scvtest::UseQuietSettingsFolder();
        SettingsFolder().WriteUtf8(L"Phrases\\One.scrivolanter",
                                   L"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n"
                                   L"<SCVCommand UsageCount=\"0\" SortID=\"1\">\r\n"
                                   L"    <MenuName>One</MenuName>\r\n    <DataType>TEXT</DataType>\r\n"
                                   L"    <Cmd>one</Cmd>\r\n</SCVCommand>\r\n");
    }
};

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new TrayWindowEnvironment);

bool HasNote(const wchar_t* part)
{
    const std::vector<CString> notes = GetStartupNotes();
    return std::any_of(notes.begin(), notes.end(), [&](const CString& note) { return note.Find(part) >= 0; });
}

int CountNotes(const wchar_t* part)
{
    const std::vector<CString> notes = GetStartupNotes();
    return static_cast<int>(
        std::count_if(notes.begin(), notes.end(), [&](const CString& note) { return note.Find(part) >= 0; }));
}

// Whether the shell shows the window's tray icon: only an icon that exists can be changed.
bool TrayIconExists(HWND window)
{
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = window;
    record.uID = kTrayIconId;
    record.uFlags = NIF_TIP;
    ::lstrcpynW(record.szTip, L"Scrivolanter", ARRAYSIZE(record.szTip));
    return ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

// Records what is posted to one window on this thread and keeps it from
// being run (the editor start, for instance, would open message boxes).
class PostedMessageRecorder
{
public:
    explicit PostedMessageRecorder(HWND window)
    {
        s_window = window;
        s_seen.clear();
        m_hook = ::SetWindowsHookExW(WH_GETMESSAGE, HookProc, nullptr, ::GetCurrentThreadId());
    }
    ~PostedMessageRecorder()
    {
        if (m_hook)
            ::UnhookWindowsHookEx(m_hook);
        s_window = nullptr;
    }
    bool IsHooked() const { return m_hook != nullptr; }
    // Message and wParam of each message taken from the queue for the window.
    static std::vector<std::pair<UINT, WPARAM>> s_seen;

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam)
    {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && msg->hwnd == s_window && s_window &&
            (msg->message == WM_COMMAND || msg->message >= WM_APP)) {
            s_seen.emplace_back(msg->message, msg->wParam);
            msg->message = WM_NULL;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static HWND s_window;
    HHOOK m_hook = nullptr;
};
std::vector<std::pair<UINT, WPARAM>> PostedMessageRecorder::s_seen;
HWND PostedMessageRecorder::s_window = nullptr;

class SessionEventListener : public IAppEventListener
{
public:
    void OnAppEvent(int code, LPARAM value) override { events.emplace_back(code, value); }
    std::vector<std::pair<int, LPARAM>> events;
};

class TrayWindowTest : public testing::Test, protected scvtest::TrayWindowHarness
{
protected:
    void TearDown() override { DestroyTrayWindow(); }

    CSCVTrayWnd& Create(const wchar_t* commandLine, bool noInstall = false)
    {
        EXPECT_TRUE(CreateTrayWindow(commandLine, noInstall));
        return *m_window;
    }

    HWND Window() const { return m_window->m_hWnd; }
};

TEST_F(TrayWindowTest, NoInstallRunsWithoutTheCoreAndNotesIt)
{
    ClearStartupNotes();
    CSCVTrayWnd& window = Create(L"/noinstall", true);
    EXPECT_TRUE(HasNote(L"No install on launch. Flag specifided"));
    EXPECT_FALSE(HasNote(L"Cannot DLL install"));
    EXPECT_FALSE(window.IsCoreInstalled());
    EXPECT_EQ(CAppObjects::GetMainWnd(), Window());
    EXPECT_FALSE(::IsWindowVisible(Window()));
    RECT rect{};
    ::GetWindowRect(Window(), &rect);
    EXPECT_EQ(rect.left, -100);
    EXPECT_EQ(rect.top, -100);
}

TEST_F(TrayWindowTest, CoreStartWithoutTheHookDllIsNotedAndTheIconShowsIt)
{
    // The test executable's folder holds no "Scrivolanter.dll": the start
    // stops at the install and takes the hot key and the interchange area down.
    ClearStartupNotes();
    CSCVTrayWnd& window = Create(L"");
    EXPECT_TRUE(HasNote(L"ERROR: Cannot DLL install\nCore DLL not found: "));
    EXPECT_TRUE(HasNote(L"\nCant load DLL, Error code: 4"));
    EXPECT_FALSE(window.IsCoreInstalled());
    EXPECT_FALSE(window.IsHotKeyRegistered());
    EXPECT_FALSE(window.IsQueryThreadAlive());
    EXPECT_FALSE(window.GetWaitObjects().IsCreated());
    ASSERT_TRUE(scvtest::PumpUntil([&] { return window.GetTrayIconRecord().hIcon != nullptr; }, kTimeoutMs));
    // The tip: version (elevation mark under Wine), state "OFF", the status lines.
    const std::wstring tip = window.GetTrayIconRecord().szTip;
    EXPECT_NE(tip.find(L" - OFF\r\n"), std::wstring::npos) << testing::PrintToString(tip);
    EXPECT_NE(tip.find(L"Hot key: "), std::wstring::npos);
    EXPECT_NE(tip.find(L" [1/1]"), std::wstring::npos) << "one phrase in the test folder";
    EXPECT_LE(tip.size(), 126u);
    EXPECT_EQ(tip.find(L'^') != std::wstring::npos, CAppObjects::IsElevated());
}

TEST_F(TrayWindowTest, TitleCarriesElevationMarkAndHint)
{
    Create(L"", true);
    wchar_t title[200] = {};
    ::GetWindowTextW(Window(), title, ARRAYSIZE(title));
    EXPECT_STREQ(title, CAppObjects::IsElevated() ? L"Scrivolanter^ Press enter to activate"
                                                  : L"Scrivolanter Press enter to activate");
}

TEST_F(TrayWindowTest, StartUpCommandsArePostedForTheirSwitches)
{
    struct Case
    {
        const wchar_t* commandLine;
        std::vector<std::pair<UINT, WPARAM>> expected;
    };
    const std::vector<Case> cases = {
        {L"/edit /cfu /showmenu",
         {{WM_COMMAND, ID_SCV_EDIT_PHRASES},
          {WM_COMMAND, ID_SCV_CHECK_FOR_UPDATES},
          {WM_SCV_SHOW_TRAY_MENU, 0}}},
        {L"/showmenu", {{WM_SCV_SHOW_TRAY_MENU, 0}}},
        {L"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.commandLine)));
        // The window posts while it is created; the posts wait in the queue until pumped.
        Create(c.commandLine, true);
        PostedMessageRecorder recorder(Window());
        ASSERT_TRUE(recorder.IsHooked());
        scvtest::PumpFor(300);
        std::vector<std::pair<UINT, WPARAM>> seen;
        for (const auto& message : PostedMessageRecorder::s_seen) {
            if (message.first == WM_COMMAND || message.first == WM_SCV_SHOW_TRAY_MENU)
                seen.push_back(message);
        }
        EXPECT_EQ(seen, c.expected);
        m_window.reset();
    }
}

TEST_F(TrayWindowTest, TaskbarCreatedBringsTheIconBack)
{
    Create(L"", true);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return TrayIconExists(Window()); }, kTimeoutMs));

    // As after a restart of the shell: the icon is gone.
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = Window();
    record.uID = kTrayIconId;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &record));
    ASSERT_FALSE(TrayIconExists(Window()));

    EXPECT_EQ(::SendMessageW(Window(), CSCVTrayWnd::GetTaskbarCreatedMessage(), 0, 0), 1);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return TrayIconExists(Window()); }, kTimeoutMs));
}

TEST_F(TrayWindowTest, CopyDataIsTakenOnlyWhenItHoldsBothFields)
{
    Create(L"", true);
    std::vector<BYTE> block(4096, 0);
    const INT32 command = -1;
    std::memcpy(block.data(), &command, sizeof(command));
    struct Case
    {
        const void* data;
        DWORD size;
        LRESULT expected;
    };
    const Case cases[] = {
        {nullptr, 4096, 0},     // no data
        {block.data(), 4, 0},   // the command id alone
        {block.data(), 137, 0}, // one byte short of the window field
        {block.data(), 138, 1}, // exactly both fields
        {block.data(), 4096, 1},
    };
    for (const Case& c : cases) {
        COPYDATASTRUCT copy{0, c.size, const_cast<void*>(c.data)};
        EXPECT_EQ(::SendMessageW(Window(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), c.expected)
            << "size " << c.size;
    }
    EXPECT_EQ(::SendMessageW(Window(), WM_COPYDATA, 0, 0), 0);
}

TEST_F(TrayWindowTest, HistoryCaptionIsCutToTheCallersBuffer)
{
    Create(L"", true);
    const std::wstring full = L"Scrivolanter - Clipboard History [0]";

    wchar_t big[100];
    std::fill(std::begin(big), std::end(big), L'#');
    {
        const CHandOverScope handOver(HandOverKind::Buffer, big, sizeof(big));
        EXPECT_EQ(::SendMessageW(Window(), WM_SCV_GET_HISTORY_CAPTION, ARRAYSIZE(big),
                                 reinterpret_cast<LPARAM>(big)),
                  static_cast<LRESULT>(full.size()));
    }
    EXPECT_EQ(std::wstring(big), full);

    wchar_t small[8];
    std::fill(std::begin(small), std::end(small), L'#');
    const CHandOverScope handOver(HandOverKind::Buffer, small, sizeof(small));
    EXPECT_EQ(::SendMessageW(Window(), WM_SCV_GET_HISTORY_CAPTION, 5, reinterpret_cast<LPARAM>(small)),
              static_cast<LRESULT>(full.size()));
    EXPECT_EQ(std::wstring(small), L"Scri");
    EXPECT_EQ(small[5], L'#') << "nothing written beyond the given size";

    std::fill(std::begin(small), std::end(small), L'#');
    ::SendMessageW(Window(), WM_SCV_GET_HISTORY_CAPTION, 0, reinterpret_cast<LPARAM>(small));
    EXPECT_EQ(small[0], L'#') << "a size of 0 writes nothing";
    ::SendMessageW(Window(), WM_SCV_GET_HISTORY_CAPTION, ARRAYSIZE(small) + 1,
                   reinterpret_cast<LPARAM>(small));
    EXPECT_EQ(small[0], L'#') << "a size beyond the handed-out buffer writes nothing";
}

// Any process can post the buffer messages with an address of its choice: the window writes only
// into buffers this process has handed out and not yet taken back.
TEST_F(TrayWindowTest, ForgedBufferAddressesAreIgnored)
{
    Create(L"", true);
    const UINT messages[] = {WM_SCV_GET_HISTORY_CAPTION, WM_SCV_GET_CURRENT_ITEM_URL};
    for (const UINT message : messages) {
        SCOPED_TRACE(message);
        // Writable memory of this process that was never handed out.
        std::vector<wchar_t> forged(64, L'#');
        // A buffer that was handed out for an earlier send and taken back since.
        std::vector<wchar_t> earlier(64, L'#');
        {
            const CHandOverScope handOver(HandOverKind::Buffer, earlier.data(),
                                          earlier.size() * sizeof(wchar_t));
        }
        for (std::vector<wchar_t>* buffer : {&forged, &earlier}) {
            ASSERT_TRUE(
                ::PostMessageW(Window(), message, buffer->size(), reinterpret_cast<LPARAM>(buffer->data())));
        }
        // Nor is a handed-out query taken for a buffer.
        std::vector<wchar_t> query(64, L'#');
        const CHandOverScope queryScope(HandOverKind::Query, query.data(), query.size() * sizeof(wchar_t));
        ASSERT_TRUE(::PostMessageW(Window(), message, query.size(), reinterpret_cast<LPARAM>(query.data())));
        ASSERT_TRUE(::PostMessageW(Window(), message, 100, 0x10));
        scvtest::PumpFor(200);
        for (const std::vector<wchar_t>* buffer : {&forged, &earlier, &query})
            EXPECT_EQ(std::count(buffer->begin(), buffer->end(), L'#'), 64) << "a forged buffer was written";
    }
}

TEST_F(TrayWindowTest, CurrentItemUrlIsEmptyWithoutAFloatingPane)
{
    Create(L"", true);
    wchar_t buffer[16] = L"previous";
    const CHandOverScope handOver(HandOverKind::Buffer, buffer, sizeof(buffer));
    EXPECT_EQ(::SendMessageW(Window(), WM_SCV_GET_CURRENT_ITEM_URL, ARRAYSIZE(buffer),
                             reinterpret_cast<LPARAM>(buffer)),
              0);
    EXPECT_STREQ(buffer, L"");
}

TEST_F(TrayWindowTest, SessionChangesReachTheApplicationListeners)
{
    Create(L"", true);
    SessionEventListener listener;
    AddAppEventListener(&listener);
    for (int reason : {WTS_SESSION_LOCK, WTS_SESSION_UNLOCK, 10})
        EXPECT_EQ(::SendMessageW(Window(), WM_WTSSESSION_CHANGE, reason, 1), 1);
    RemoveAppEventListener(&listener);
    const std::vector<std::pair<int, LPARAM>> expected = {{AppEventSessionChange, WTS_SESSION_LOCK},
                                                          {AppEventSessionChange, WTS_SESSION_UNLOCK},
                                                          {AppEventSessionChange, 10}};
    EXPECT_EQ(listener.events, expected);
}

TEST_F(TrayWindowTest, NotesComeFromTheRegisteredMessageOnlyWithReadableText)
{
    Create(L"", true);
    const UINT message = CAppObjects::GetMainWndListMessage();
    const int before = GetStartupNoteCount();
    // A text this process did not hand out is not read: a made-up address, as another program sends it.
    EXPECT_EQ(::SendMessageW(Window(), message, 0, reinterpret_cast<LPARAM>(L"A note from elsewhere")), 1);
    EXPECT_FALSE(HasNote(L"A note from elsewhere"));
    EXPECT_EQ(::SendMessageW(Window(), message, 0, 0x10), 1);
    EXPECT_EQ(::SendMessageW(Window(), message, 0, 0), 1);
    EXPECT_EQ(GetStartupNoteCount(), before);
    {
        const wchar_t text[] = L"A note handed out";
        const CTextHandOverScope handOver(text);
        EXPECT_EQ(::SendMessageW(Window(), message, 0, reinterpret_cast<LPARAM>(text + 2)), 1);
    }
    EXPECT_TRUE(HasNote(L"note handed out"));
    EXPECT_EQ(CAppObjects::SendTextToMainWndList(L"Through the service"), 1);
    EXPECT_TRUE(HasNote(L"Through the service"));
}

TEST_F(TrayWindowTest, AnotherStartRetriesTheCoreStart)
{
    Create(L"");
    const int before = CountNotes(L"Cannot DLL install");
    EXPECT_EQ(::SendMessageW(Window(), GetInstanceSignalMessage(), 0, 0), 1);
    EXPECT_EQ(CountNotes(L"Cannot DLL install"), before + 1);
    EXPECT_TRUE(::IsWindow(Window()));
}

TEST_F(TrayWindowTest, EveryCoreStartAlsoStartsTheHistoryWhenItIsWanted)
{
    CSettings& settings = GetSettings();
    const int wanted = settings.ClipboardHistory;
    settings.ClipboardHistory = 1;
    CSCVTrayWnd& window = Create(L"/noinstall", true);
    const struct
    {
        const char* what;
        UINT message;
        WPARAM wParam;
    } starts[] = {
        {"the tray command that starts the core", WM_COMMAND, ID_TRAY_ENABLE_PHRASE_MENU},
        {"another start of the program", GetInstanceSignalMessage(), 0},
    };
    // The core cannot start here (no hook DLL beside the tests): the command's error box is closed.
    scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit quick(300);
    for (const auto& start : starts) {
        window.GetHistory().Stop();
        ASSERT_FALSE(window.GetHistory().IsCapturing());
        ::SendMessageW(Window(), start.message, start.wParam, 0);
        EXPECT_TRUE(window.GetHistory().IsCapturing()) << start.what;
    }
    window.GetHistory().Stop();
    settings.ClipboardHistory = wanted;
}

TEST_F(TrayWindowTest, ExitRequestEndsTheWindowAndTheLoop)
{
    Create(L"", true);
    const HWND window = Window();
    EXPECT_EQ(::SendMessageW(window, GetInstanceSignalMessage(), 1, 0), 1);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !::IsWindow(window); }, kTimeoutMs));
    EXPECT_EQ(::WaitForSingleObject(m_stopEvent, 0), WAIT_OBJECT_0)
        << "the stop event ends the worker threads";
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(CAppObjects::GetMainWnd(), nullptr);
}

TEST_F(TrayWindowTest, AltTabEntryFollowsTheSettingAndGoesWithTheWindow)
{
    CSettings& settings = GetSettings();
    settings.ShowIconInAltTab_ForFP = 1;
    CSCVTrayWnd& window = Create(L"", true);
    settings.ShowIconInAltTab_ForFP = 0;
    ASSERT_TRUE(window.GetAltTabHolder().IsShown());
    const HWND proxy = window.GetAltTabHolder().GetProxy()->GetHandle();
    EXPECT_EQ(reinterpret_cast<HWND>(::GetWindowLongPtrW(proxy, GWLP_HWNDPARENT)), Window());

    // The proxy's ALT+TAB notification reaches the tray window as WM_APP+8.
    ::SendMessageW(proxy, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(::IsWindow(window.GetFloatPane().m_hWnd)) << "Enter in the proxy opens the pane";

    window.SyncAltTabProxy(); // the setting is now off
    EXPECT_FALSE(window.GetAltTabHolder().IsShown());
    EXPECT_FALSE(::IsWindow(proxy));
    settings.ShowIconInAltTab_ForFP = 1;
    window.SyncAltTabProxy();
    settings.ShowIconInAltTab_ForFP = 0;
    ASSERT_TRUE(window.GetAltTabHolder().IsShown());
    const HWND second = window.GetAltTabHolder().GetProxy()->GetHandle();
    m_window->DestroyWindow();
    EXPECT_FALSE(::IsWindow(second)) << "the proxy goes with the tray window";
}

TEST_F(TrayWindowTest, TrayIconTurnsUntilTheUpdateCheckAnswers)
{
    CSCVTrayWnd& window = Create(L"", true);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return window.GetTrayIconRecord().hIcon != nullptr; }, kTimeoutMs));
    const auto smallIcon = [&] { return ::SendMessageW(Window(), WM_GETICON, ICON_SMALL, 0); };
    const LRESULT before = smallIcon();
    ASSERT_NE(before, 0);

    ASSERT_TRUE(window.StartTrayAnimation());
    EXPECT_FALSE(window.StartTrayAnimation()) << "one animation at a time";
    const CTrayIconAnimator& animation = window.GetTrayAnimation();
    EXPECT_EQ(animation.GetParams().trayWindow, Window());
    EXPECT_EQ(animation.GetParams().iconId, 10u);
    EXPECT_EQ(animation.GetParams().delayMs, 250u);
    EXPECT_EQ(animation.GetParams().iconWindow, Window());
    EXPECT_TRUE(scvtest::PumpUntil([&] { return smallIcon() != before; }, kTimeoutMs))
        << "the window icon follows the frames";

    // The update check's result (no record: nothing to report) ends it.
    ::SendMessageW(Window(), WM_SCV_UPDATE_CHECK_RESULT, 0, 0);
    EXPECT_FALSE(animation.IsRunning());
    EXPECT_EQ(smallIcon(), before);
}

TEST_F(TrayWindowTest, PaneTextAndItemContentComeOnlyFromAnOpenPane)
{
    CSCVTrayWnd& window = Create(L"", true);
    CString content = L"unchanged";
    EXPECT_EQ(::SendMessageW(Window(), WM_SCV_GET_FLOAT_PANE_TEXT, 0, 0), 0);
    EXPECT_EQ(
        ::SendMessageW(Window(), WM_SCV_GET_SELECTED_ITEM_CONTENT, 0, reinterpret_cast<LPARAM>(&content)), 0);
    EXPECT_EQ(content, L"unchanged");

    ASSERT_TRUE(window.ShowFloatPane());
    EXPECT_EQ(::SendMessageW(Window(), WM_SCV_GET_FLOAT_PANE_TEXT, 0, 0),
              reinterpret_cast<LRESULT>(&window.GetFloatPane().GetTextHolder()));
    // A string this process did not hand out is not touched, nor is a made-up address.
    EXPECT_EQ(
        ::SendMessageW(Window(), WM_SCV_GET_SELECTED_ITEM_CONTENT, 0, reinterpret_cast<LPARAM>(&content)), 0);
    EXPECT_EQ(content, L"unchanged");
    EXPECT_EQ(::SendMessageW(Window(), WM_SCV_GET_SELECTED_ITEM_CONTENT, 0, 0x10), 0);
    // No history is kept in these tests: no selected item, an empty text.
    {
        const CHandOverScope handOver(HandOverKind::StringObject, &content, sizeof(content));
        EXPECT_EQ(
            ::SendMessageW(Window(), WM_SCV_GET_SELECTED_ITEM_CONTENT, 0, reinterpret_cast<LPARAM>(&content)),
            0);
    }
    EXPECT_TRUE(content.IsEmpty());
    window.GetFloatPane().ShowWindow(SW_HIDE);
    EXPECT_EQ(::SendMessageW(Window(), WM_SCV_GET_FLOAT_PANE_TEXT, 0, 0), 0) << "a hidden pane gives none";
}

// The application services' requests reach the real tray window and get its own answers.
TEST_F(TrayWindowTest, AppObjectRequestsReachTheRealTrayWindow)
{
    CSCVTrayWnd& window = Create(L"", true);
    ASSERT_EQ(CAppObjects::GetMainWnd(), Window());
    EXPECT_EQ(CAppObjects::QueryAllowWaitAnswerFromExeAgent(), 0) << "the menu never waits for an answer";
    EXPECT_EQ(CAppObjects::HideMenuToolTipViaMainWnd(), 1);
    EXPECT_EQ(CAppObjects::HideTrayBalloonViaMainWnd(), 1);
    EXPECT_FALSE(CAppObjects::BlockClipboardCaptureViaMainWnd()) << "no watcher runs";

    EXPECT_EQ(CAppObjects::SendTextToMainWndList(L"Hook not installed (request test)"), 1);
    EXPECT_TRUE(HasNote(L"Hook not installed (request test)"));

    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"first");
    const int count = CAppObjects::FillLanguageMenu(menu);
    // The first item, a separator, English and one item per language file of the program folder.
    const int languageFiles = scvtest::CountFiles(std::wstring(GetProgramFolderNoSlash().GetString()) + L"\\*.lng");
    EXPECT_EQ(count, 3 + languageFiles);
    EXPECT_EQ(::GetMenuItemID(menu, 2), 33000u) << "English first";
    EXPECT_EQ(window.GetLanguageList().size(), static_cast<size_t>(1 + languageFiles));
    ::DestroyMenu(menu);

    ASSERT_TRUE(CAppObjects::PostShowFloatPane());
    EXPECT_TRUE(scvtest::PumpUntil([&] { return window.GetFloatPane().m_hWnd != nullptr; }, kTimeoutMs))
        << "the posted request did not open the pane";
}

namespace
{
struct CountingSpyObserver : IClipboardSpyObserver
{
    int changes = 0;
    void OnClipboardChanged(HWND&, int) override { ++changes; }
    void OnSpyStateChanged(int) override {}
};
} // namespace

// The selection copy by Ctrl+C asks the tray window for the block: the copy of the window asked
// stays out of the running history whenever it lands (no time window), and once the request has
// ended a copy from that same window is captured.
TEST_F(TrayWindowTest, TheOwnCopyBlockKeepsTheSelectionCopyOutOfTheHistory)
{
    CSCVTrayWnd& window = Create(L"", true);
    ASSERT_TRUE(window.StartClipboardWatcher(0)) << window.GetHistory().GetErrorText().GetString();
    CTrayClipboardHistory& history = window.GetClipboardHistory();
    const auto newestIs = [&](const wchar_t* text) {
        const CCHItem* item = history.GetQueue().GetItem(0);
        return item && item->GetWideText() == text;
    };
    ASSERT_TRUE(scvtest::SetClipboardText(L"copied before the block"));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return newestIs(L"copied before the block"); }, kTimeoutMs));
    const int before = history.GetCount();
    CountingSpyObserver observer;
    CClipboardSpy::GetInstance().AddClipboardObserver(&observer, 1);

    ASSERT_TRUE(CAppObjects::BlockClipboardCaptureViaMainWnd());
    COwnClipboardChange::GetInstance().ExpectCopyBy(Window());
    const int changes = observer.changes;
    ASSERT_TRUE(scvtest::SetClipboardText(L"the selection copied by Ctrl+C", Window()));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return observer.changes > changes; }, kTimeoutMs));
    EXPECT_EQ(history.GetCount(), before);
    EXPECT_TRUE(newestIs(L"copied before the block"));
    EXPECT_EQ(GetMyCopyCounter(), 0) << "no time window is opened";

    COwnClipboardChange::GetInstance().EndExpectedCopy();
    ASSERT_TRUE(scvtest::SetClipboardText(L"copied after the block", Window()));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return newestIs(L"copied after the block"); }, kTimeoutMs));
    EXPECT_EQ(history.GetCount(), before + 1);
    CClipboardSpy::GetInstance().RemoveClipboardObserver(&observer);
    history.Stop();
}

// The pane opened by the tray window lists the watcher's history from its first opening, follows
// every capture while open, keeps the history when closed and opened again, and its commands
// change the real history.
TEST_F(TrayWindowTest, TheFloatingPaneShowsAndChangesTheRealHistory)
{
    CSCVTrayWnd& window = Create(L"", true);
    ASSERT_TRUE(window.StartClipboardWatcher(0)) << window.GetHistory().GetErrorText().GetString();
    CTrayClipboardHistory& history = window.GetClipboardHistory();
    history.Clear();
    ASSERT_TRUE(PutClipboardUnicodeText(L"first pane text"));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return history.GetCount() == 1; }, kTimeoutMs));

    ASSERT_TRUE(window.ShowFloatPane());
    CSCVFloatPane& pane = window.GetFloatPane();
    EXPECT_EQ(pane.GetRowCount(), 1);
    EXPECT_EQ(pane.GetRowText(0), L"first pane text");
    ASSERT_TRUE(PutClipboardUnicodeText(L"second pane text"));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return pane.GetRowCount() == 2; }, kTimeoutMs))
        << "no capture shows";
    EXPECT_EQ(pane.GetRowText(0), L"second pane text") << "the newest first";
    EXPECT_EQ(pane.GetRowText(1), L"first pane text");

    pane.DestroyWindow();
    ASSERT_TRUE(window.ShowFloatPane());
    ASSERT_EQ(pane.GetRowCount(), 2) << "a pane opened again lost the history";

    pane.SendMessageW(CSCVFloatPane::WM_PANE_SELECT, 0, 0);
    pane.SendMessageW(WM_COMMAND, MAKEWPARAM(kPaneCmdDelete, 0), 0);
    EXPECT_EQ(history.GetCount(), 1);
    EXPECT_EQ(pane.GetRowCount(), 1);
    EXPECT_EQ(history.GetQueue().GetItem(0)->GetWideText(), L"first pane text");
    pane.SendMessageW(WM_COMMAND, MAKEWPARAM(kPaneCmdUndo, 0), 0);
    EXPECT_EQ(history.GetCount(), 2);
    EXPECT_EQ(pane.GetRowCount(), 2);
    pane.DestroyWindow();
    history.Stop();
}

// A history item's tip shows the head of a long text but the whole text's length.
TEST_F(TrayWindowTest, HistoryItemInfoCarriesTheWholeLengthAndTheTipShowsIt)
{
    CSCVTrayWnd& window = Create(L"", true);
    ASSERT_TRUE(window.StartClipboardWatcher(0)) << window.GetHistory().GetErrorText().GetString();
    CTrayClipboardHistory& history = window.GetClipboardHistory();
    const CString longText = CString(L'x', 5000) + L"end";
    ASSERT_TRUE(PutClipboardUnicodeText(longText));
    ASSERT_TRUE(scvtest::PumpUntil(
        [&] {
            const CCHItem* item = history.GetQueue().GetItem(0);
            return item && item->GetWideText() == longText;
        },
        kTimeoutMs));

    TrayHistoryItemInfo info;
    ASSERT_TRUE(history.GetItemInfo(0, info));
    EXPECT_EQ(info.textLength, 5003);
    EXPECT_EQ(info.text.GetLength(), 4000) << "the tip takes only the head of the text";
    EXPECT_FALSE(history.GetItemInfo(history.GetCount(), info));

    ASSERT_NE(window.GetMenuToolTip(), nullptr);
    CString title;
    const CString tip = window.GetMenuToolTip()->GetTipStringForClipboardHistory(kTrayHistoryFirstId, title);
    EXPECT_GE(tip.Find(L"[5003]"), 0) << "the tip shows the cap as the length";
    EXPECT_LT(tip.Find(L"[4000]"), 0);
    history.Stop();
}

} // namespace
