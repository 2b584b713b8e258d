// test-locks: clipboard appevents desktop
// test-sources: ../../../app/Scrivolanter.rc
// The later start of the clipboard watcher: the retry thread asks the window
// until an answer is non-zero or the stop event is set; and the tray window
// that cannot start its watcher at first (a spy method the watcher refuses)
// keeps the history once the method can be had.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "app/history/DelayedWatcherStart.h"
#include "app/tray/SCVTrayWnd.h"
#include "tests/app/FolderSettings.h"
#include "common/Settings.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"

namespace
{
constexpr UINT kAskMessage = WM_APP + 10;

// A window that counts the retries and answers 1 from the `succeedAt`-th on.
class RetryTarget
{
public:
    explicit RetryTarget(int succeedAt) : m_succeedAt(succeedAt)
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &RetryTarget::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScvDelayedWatcherTestTarget";
        ::RegisterClassW(&wc);
        m_window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     wc.hInstance, nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~RetryTarget() { ::DestroyWindow(m_window); }

    HWND Window() const { return m_window; }
    int Calls() const { return m_calls; }
    WPARAM LastWParam() const { return m_lastWParam; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<RetryTarget*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != kAskMessage || !self)
            return ::DefWindowProcW(window, message, wParam, lParam);
        self->m_lastWParam = wParam;
        return ++self->m_calls >= self->m_succeedAt ? 1 : 0;
    }

    HWND m_window = nullptr;
    int m_succeedAt;
    std::atomic<int> m_calls{0};
    WPARAM m_lastWParam = 0;
};

struct StopEvent
{
    HANDLE handle = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~StopEvent() { ::CloseHandle(handle); }
};

TEST(DelayedWatcherStart, AsksUntilAnAnswerIsNonZeroAndNoMore)
{
    RetryTarget target(3);
    StopEvent stop;
    ASSERT_TRUE(StartDelayedWatcherStart({stop.handle, target.Window(), kAskMessage, 20, 200}));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return target.Calls() >= 3; }, 10000));
    scvtest::PumpFor(200);
    EXPECT_EQ(target.Calls(), 3) << "a non-zero answer ends the retries";
    EXPECT_EQ(target.LastWParam(), 1u) << "a delayed start reads the saved history";
}

TEST(DelayedWatcherStart, StopsAfterItsAttemptsOrAtTheStopEvent)
{
    RetryTarget never(1000);
    StopEvent stop;
    ASSERT_TRUE(StartDelayedWatcherStart({stop.handle, never.Window(), kAskMessage, 10, 4}));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return never.Calls() >= 4; }, 10000));
    scvtest::PumpFor(200);
    EXPECT_EQ(never.Calls(), 4);

    RetryTarget stopped(1000);
    ASSERT_TRUE(StartDelayedWatcherStart({stop.handle, stopped.Window(), kAskMessage, 20, 200}));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return stopped.Calls() >= 1; }, 10000));
    ::SetEvent(stop.handle);
    scvtest::PumpFor(200);
    const int atStop = stopped.Calls();
    scvtest::PumpFor(300);
    EXPECT_EQ(stopped.Calls(), atStop) << "no try after the stop event";

    EXPECT_FALSE(StartDelayedWatcherStart({nullptr, stopped.Window(), kAskMessage, 20, 1}))
        << "no stop event: no thread that could never end early";
}

TEST(DelayedWatcherStart, TrayWindowKeepsTheHistoryOnceTheWatcherCanStart)
{
    CSettings& settings = scvtest::UseQuietSettingsFolder();
    settings.ClipboardHistory = 1;
    settings.SaveClipboardHistory_v198 = 0;
    settings.ClipboardSpyMethod_v2_22 = 7; // no such method: the watcher cannot start

    StopEvent stop;
    {
        CSCVTrayWnd window(TrayWindowStartRecord{stop.handle, nullptr, true});
        ASSERT_TRUE(window.Create(nullptr));
        EXPECT_FALSE(window.GetHistory().IsCapturing());
        settings.ClipboardSpyMethod_v2_22 = -1;
        EXPECT_TRUE(scvtest::PumpUntil([&] { return window.GetHistory().IsCapturing(); }, 10000))
            << "the retry two seconds later starts it";
        window.DestroyWindow();
    }
    settings.ClipboardHistory = 0;
}
} // namespace
