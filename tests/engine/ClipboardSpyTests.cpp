// test-locks: clipboard
// test-run-serial
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardSpy.h"
#include "common/WinEventHookDispatcher.h"

#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct RecordingObserver : IClipboardSpyObserver
{
    int changes = 0;
    HWND lastWindow = nullptr;
    std::vector<int> states;
    void OnClipboardChanged(HWND& window, int) override
    {
        ++changes;
        lastWindow = window;
        EXPECT_NE(window, nullptr);
    }
    void OnSpyStateChanged(int value) override { states.push_back(value); }
};

using ListenerFunction = BOOL(WINAPI*)(HWND);

ListenerFunction User32(const char* name)
{
    return reinterpret_cast<ListenerFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

class ClipboardSpy : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        parent = ::CreateWindowExW(0, L"STATIC", L"spy parent", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_TRUE(parent);
        spy.ClearClipboardObservers();
        spy.AddClipboardObserver(&observer, 5);
        ASSERT_TRUE(spy.InstallClipboardSpy(GetParam(), ::GetModuleHandleW(nullptr), parent));
        // Joining the viewer chain brings one notification of its own.
        scvtest::PumpFor(100);
        observer.changes = 0;
    }
    void TearDown() override
    {
        spy.UninstallClipboardSpy();
        spy.ClearClipboardObservers();
        ::DestroyWindow(parent);
    }

    bool CopyAndWait(const wchar_t* text)
    {
        const int before = observer.changes;
        return PutClipboardUnicodeText(text) &&
               scvtest::PumpUntil([&] { return observer.changes > before; }, 10000);
    }

    CClipboardSpy& spy = CClipboardSpy::GetInstance();
    RecordingObserver observer;
    HWND parent = nullptr;
};
} // namespace

TEST_P(ClipboardSpy, PassesChangesOnAndItsWatchdogReinstallsAfterAMissedChange)
{
    const int method = GetParam() == 1 ? 1 : 0;
    EXPECT_EQ(spy.GetClipboardSpyMethodState(), method);
    EXPECT_EQ(spy.GetWatchdogTimer().period, method == 1 ? 300000u : 5000u);
    EXPECT_FALSE(spy.InstallClipboardSpy(GetParam(), ::GetModuleHandleW(nullptr), parent));

    ASSERT_TRUE(CopyAndWait(L"first"));
    EXPECT_EQ(observer.changes, 1);
    // Nothing moved since: the watchdog does nothing.
    spy.RunWatchdog();
    EXPECT_TRUE(spy.IsClipboardSpyInstalled());

    // The spy loses its place behind its back; the next change goes unnoticed.
    if (method == 1)
        User32("RemoveClipboardFormatListener")(spy.GetSpyWindow());
    else
        ::ChangeClipboardChain(spy.GetSpyWindow(), nullptr);
    ASSERT_TRUE(PutClipboardUnicodeText(L"missed"));
    scvtest::PumpFor(200);
    EXPECT_EQ(observer.changes, 1);

    spy.RunWatchdog();
    ASSERT_TRUE(spy.IsClipboardSpyInstalled());
    scvtest::PumpFor(100);
    const int afterReinstall = observer.changes;
    ASSERT_TRUE(CopyAndWait(L"noticed again"));
    EXPECT_EQ(observer.changes, afterReinstall + 1);
    EXPECT_TRUE(observer.states.empty());

    EXPECT_TRUE(spy.UninstallClipboardSpy());
    EXPECT_FALSE(spy.IsClipboardSpyInstalled());
    EXPECT_EQ(spy.GetWatchdogTimer().timerId, 0u);
}

// A copy with no clipboard owner while no window is in front (the one in front has just closed, as
// between two programs on a busy machine): the observers still get a window, the spy's own, which
// says that the change has no known source.
TEST_P(ClipboardSpy, AChangeWithNoOwnerAndNothingInFrontStillNamesAWindow)
{
    HWND front = ::CreateWindowExW(0, L"STATIC", L"spy test front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50,
                                   50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(front);
    ::SetForegroundWindow(front);
    ::DestroyWindow(front);
    scvtest::PumpFor(50);
    if (::GetForegroundWindow() != nullptr)
        GTEST_SKIP() << "another window came to the front";
    ASSERT_TRUE(CopyAndWait(L"no owner, nothing in front"));
    EXPECT_EQ(observer.lastWindow, spy.GetSpyWindow());
}

TEST_P(ClipboardSpy, FollowsForegroundAndFocusThroughTheSharedWinEventHookWhileInstalled)
{
    CWinEventHookDispatcher& events = CWinEventHookDispatcher::GetInstance();
    EXPECT_TRUE(events.IsSubscribed(&spy, EVENT_SYSTEM_FOREGROUND));
    EXPECT_TRUE(events.IsSubscribed(&spy, EVENT_OBJECT_FOCUS));
    EXPECT_TRUE(events.IsHooked());
    EXPECT_TRUE(spy.UninstallClipboardSpy());
    EXPECT_FALSE(events.IsSubscribed(&spy, EVENT_SYSTEM_FOREGROUND));
    EXPECT_FALSE(events.IsSubscribed(&spy, EVENT_OBJECT_FOCUS));
}

INSTANTIATE_TEST_SUITE_P(Methods, ClipboardSpy, ::testing::Values(1, 0));
