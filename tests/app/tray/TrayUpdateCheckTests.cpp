// test-locks: appevents
// test-sources: ../../common/FileVersionFixture.rc
// The main program's side of the update check on a window of the test's
// thread, with the checks answered by a local HTTP server: the command
// event of other programs, the completion of a check and its result.
#include "app/TrayMessages.h"
#include "app/tray/TrayUpdateCheck.h"

#include "common/KernelHandle.h"
#include "common/Settings.h"
#include "online/CSCVUrl.h"
#include "online/EditorCoopEvents.h"

#include "tests/app/FolderSettings.h"
#include "support/LocalHttpServer.h"
#include "support/MessagePump.h"
#include "support/PulseCatcher.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// A hidden window that runs the update check as the tray window does:
// command 32791 starts a check, WM_APP+5 brings its result, the done
// message completes it.
class CUpdateCheckWindow
{
public:
    explicit CUpdateCheckWindow(HANDLE stopEvent) : m_stopEvent(stopEvent)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &CUpdateCheckWindow::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ScvTestTrayUpdateCheck";
        ::RegisterClassW(&windowClass);
        m_window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                     nullptr, windowClass.hInstance, nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CUpdateCheckWindow() { ::DestroyWindow(m_window); }
    HWND Get() const { return m_window; }

    int commands = 0;
    int results = 0;
    int completions = 0;
    CString lastResultText;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CUpdateCheckWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self)
            return ::DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_COMMAND && LOWORD(wParam) == ID_SCV_CHECK_FOR_UPDATES) {
            ++self->commands;
            StartManualUpdateCheck(window, self->m_stopEvent);
            return 0;
        }
        if (message == WM_SCV_UPDATE_CHECK_RESULT && lParam) {
            ++self->results;
            self->lastResultText = DescribeUpdateCheckResult(*reinterpret_cast<const CUpdateInfo*>(lParam));
            return 0;
        }
        if (message == GetUpdateCheckDoneMessage()) {
            ++self->completions;
            CompleteUpdateCheck(window, self->m_stopEvent, static_cast<int>(wParam));
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    HANDLE m_stopEvent = nullptr;
};

class TrayUpdateCheck : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { scvtest::UseQuietFolderSettings(L""); }

    void SetUp() override
    {
        CSCVUrl::SetSiteRoot(server.Root().c_str());
        scvtest::HttpResponse answer;
        answer.body = "<ScrivolanterVersionInfo><Version>5.1.2.345</Version></ScrivolanterVersionInfo>";
        server.SetResponse("/Source/update_scv.php", answer);
    }
    void TearDown() override
    {
        ::SetEvent(stop.Get());
        CSCVUrl::SetSiteRoot(nullptr);
    }

    CKernelHandle stop{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    scvtest::LocalHttpServer server;
    CUpdateCheckWindow window{stop.Get()};
};
} // namespace

TEST_F(TrayUpdateCheck, TwoCommandSignalsGiveTwoChecks)
{
    ASSERT_TRUE(StartCheckForUpdatesCommandWatcher(window.Get(), ID_SCV_CHECK_FOR_UPDATES, stop.Get()));
    // Another program's side: the event exists now and is set by name.
    CKernelHandle command(
        ::OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, L"Local\\Scrivolanter_CommandCheckForUpdates"));
    ASSERT_TRUE(command);
    for (int round = 1; round <= 2; ++round) {
        ASSERT_TRUE(::SetEvent(command.Get()));
        ASSERT_TRUE(scvtest::PumpUntil([&] { return window.completions == round; }, 20000)) << round;
        EXPECT_EQ(window.commands, round);
        EXPECT_EQ(window.results, round); // a manual check reports "no newer version" too
        EXPECT_EQ(::WaitForSingleObject(command.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "reset";
    }
    EXPECT_EQ(server.CountRequests("/Source/update_scv.php"), 2);
    EXPECT_NE(std::wstring(window.lastResultText.GetString()).find(L"no newer version"), std::wstring::npos);
}

TEST_F(TrayUpdateCheck, CompletionStoresTheTimeAndSchedulesAfterScheduledChecks)
{
    CSettings& settings = GetSettings();
    settings.AutoCheckForUpdates = 1;
    SYSTEMTIME before = {};
    ::GetSystemTime(&before);

    // The editor's side of the options-changed event sees the pulse.
    ASSERT_NE(GetOptionsChangedEvent(), nullptr);
    CKernelHandle editorSide(::OpenEventW(SYNCHRONIZE, FALSE, GetOptionsChangedEventName()));
    ASSERT_TRUE(editorSide);

    // A scheduled check schedules the next (it waits for days: the stop event ends it).
    EXPECT_TRUE(CompleteUpdateCheck(window.Get(), stop.Get(), 1));
    SYSTEMTIME stored = {};
    ASSERT_TRUE(settings.GetLastCheckForUpdates(stored));
    EXPECT_EQ(stored.wYear, before.wYear);
    EXPECT_EQ(stored.wMonth, before.wMonth);
    EXPECT_EQ(stored.wDay, before.wDay);

    // A manual check leaves the schedule alone, and so does a scheduled one
    // once automatic checks are off.
    EXPECT_FALSE(CompleteUpdateCheck(window.Get(), stop.Get(), 0));
    settings.AutoCheckForUpdates = 0;
    EXPECT_FALSE(CompleteUpdateCheck(window.Get(), stop.Get(), 1));
    EXPECT_FALSE(ScheduleAutomaticUpdateCheck(window.Get(), stop.Get()));

    // Each completion pulsed the options-changed event for a waiting editor.
    scvtest::PulseCatcher waitingEditor(editorSide.Get());
    ASSERT_TRUE(waitingEditor.Arm());
    CompleteUpdateCheck(window.Get(), stop.Get(), 0);
    EXPECT_TRUE(waitingEditor.Caught(5000));
    CloseOptionsChangedEvent();
}
