// test-locks: desktop
// The tray icon animation: frames of a real icon, the notification-area icon
// and the window icons they change, and stopping: the saved window icons
// come back, and quick stops and starts (with the worker sending window
// icons to the thread that stops it) never leave two workers.

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <atomic>

#include "app/tray/TrayIconAnimator.h"
#include "support/MessagePump.h"

namespace
{
// Counts workers showing frames at the same moment.
class CountingAnimator : public CTrayIconAnimatorWithWindowIcon
{
public:
    std::atomic<int> inside{0};
    std::atomic<int> most{0};
    std::atomic<int> frames{0};
    std::atomic<HICON> lastNotifyIcon{nullptr};

protected:
    bool SetNotifyIcon(HICON icon) override
    {
        lastNotifyIcon = icon;
        return CTrayIconAnimatorWithWindowIcon::SetNotifyIcon(icon);
    }
    void OnFrameShown(HICON frame, HWND window) override
    {
        const int now = ++inside;
        if (now > most)
            most = now;
        CTrayIconAnimatorWithWindowIcon::OnFrameShown(frame, window);
        ++frames;
        --inside;
    }
};

class TrayIconAnimation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = CreateWindowExW(0, L"STATIC", L"tray", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(window, nullptr);
        source = LoadIconW(nullptr, IDI_INFORMATION);
        big = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
        small = CopyIcon(LoadIconW(nullptr, IDI_WARNING));
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
        NOTIFYICONDATAW record = {};
        record.cbSize = sizeof(record);
        record.hWnd = window;
        record.uID = 10;
        record.uFlags = NIF_ICON;
        record.hIcon = source;
        added = Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
    }
    void TearDown() override
    {
        NOTIFYICONDATAW record = {};
        record.cbSize = sizeof(record);
        record.hWnd = window;
        record.uID = 10;
        Shell_NotifyIconW(NIM_DELETE, &record);
        DestroyWindow(window);
        DestroyIcon(big);
        DestroyIcon(small);
    }
    TrayAnimationParams Params(UINT delay) const { return {window, 10, delay, source, window}; }
    HICON WindowIcon(WPARAM kind) const
    {
        return reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, kind, 0));
    }

    HWND window = nullptr;
    HICON source = nullptr;
    HICON big = nullptr;
    HICON small = nullptr;
    bool added = false;
};
} // namespace

TEST_F(TrayIconAnimation, TurnsTheFramesAndPutsTheIconsBack)
{
    ASSERT_TRUE(added) << "the notification-area icon";
    CountingAnimator animator;
    EXPECT_FALSE(animator.Stop()) << "not running";
    ASSERT_TRUE(animator.Start(Params(20)));
    EXPECT_EQ(animator.GetFrameCount(), 4) << "three rotated frames and the icon";
    EXPECT_FALSE(animator.Start(Params(20))) << "running already";
    ASSERT_TRUE(scvtest::PumpUntil([&] { return animator.frames >= 5; }, 5000)) << "it went round";
    EXPECT_NE(WindowIcon(ICON_SMALL), small);
    EXPECT_NE(animator.lastNotifyIcon.load(), source) << "a turned frame shows";
    EXPECT_TRUE(animator.Stop());
    EXPECT_FALSE(animator.IsRunning());
    EXPECT_EQ(animator.lastNotifyIcon.load(), source) << "the notification area shows the icon itself again";
    EXPECT_EQ(WindowIcon(ICON_BIG), big);
    EXPECT_EQ(WindowIcon(ICON_SMALL), small);
    EXPECT_FALSE(animator.Stop());
}

TEST_F(TrayIconAnimation, QuickStopsAndStartsLeaveOneWorker)
{
    ASSERT_TRUE(added);
    CountingAnimator animator;
    for (int i = 0; i < 25; ++i) {
        ASSERT_TRUE(animator.Start(Params(1))) << i;
        Sleep(i % 3); // the worker may be sending a window icon to this thread right now
        ASSERT_TRUE(animator.Stop()) << i;
    }
    EXPECT_LE(animator.most, 1) << "never two workers at once";
    const int frames = animator.frames;
    scvtest::PumpFor(100);
    EXPECT_EQ(animator.frames, frames) << "no worker is left running";
    EXPECT_EQ(WindowIcon(ICON_SMALL), small);
}

TEST(TrayIconFrames, NoSourceNoFrames)
{
    EXPECT_EQ(CTrayIconAnimator::BuildRotatedIconFrames(nullptr), nullptr);
    CTrayIconAnimator animator;
    EXPECT_FALSE(animator.Start(TrayAnimationParams{}));
    EXPECT_FALSE(animator.IsRunning());
}
