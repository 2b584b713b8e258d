// test-locks: desktop
// The ALT+TAB proxy window: one window per holder, off screen; its switch
// detection (WinEvents fired with NotifyWinEvent, the time from a clock the
// test sets), Enter in it, the close command it refuses, and its window
// class gone once it is hidden.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/tray/AltTabIcon.h"
#include "support/MessagePump.h"

namespace
{
constexpr UINT kNotify = WM_APP + 8;
DWORD g_now = 100000;
std::vector<WPARAM> g_notified;

DWORD WINAPI TestClock()
{
    return g_now;
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kNotify)
        g_notified.push_back(wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

class AltTabProxy : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &OwnerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ScvTestAltTabOwner";
        RegisterClassW(&windowClass);
        owner = CreateWindowExW(0, L"ScvTestAltTabOwner", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
        g_notified.clear();
        CWndAltTabIcon::SetTickSource(&TestClock);
    }
    void TearDown() override
    {
        CWndAltTabIcon::SetTickSource(nullptr);
        DestroyWindow(owner);
    }
    // One ALT+TAB: the switch starts, ends, and after `ms` the focus reaches the window.
    void Switch(HWND focus, DWORD ms)
    {
        NotifyWinEvent(EVENT_SYSTEM_SWITCHSTART, focus, OBJID_WINDOW, CHILDID_SELF);
        scvtest::PumpUntil([] { return CWndAltTabIcon::GetSwitchState() == 1; }, 2000);
        NotifyWinEvent(EVENT_SYSTEM_SWITCHEND, focus, OBJID_WINDOW, CHILDID_SELF);
        scvtest::PumpUntil([] { return CWndAltTabIcon::GetSwitchState() == 2; }, 2000);
        g_now += ms;
        NotifyWinEvent(EVENT_OBJECT_FOCUS, focus, OBJID_CLIENT, CHILDID_SELF);
        scvtest::PumpUntil([] { return CWndAltTabIcon::GetSwitchState() == 0; }, 2000);
        scvtest::PumpFor(50);
    }

    HWND owner = nullptr;
};
} // namespace

TEST_F(AltTabProxy, ShowsOneWindowOffScreenAndHidesItForGood)
{
    CAltTabIconHolder holder;
    ASSERT_TRUE(holder.Show(owner, kNotify));
    HWND proxy = holder.GetProxy()->GetHandle();
    ASSERT_NE(proxy, nullptr);
    EXPECT_TRUE(holder.Show(owner, kNotify)) << "a second Show changes nothing";
    EXPECT_EQ(holder.GetProxy()->GetHandle(), proxy);
    RECT rect = {};
    GetWindowRect(proxy, &rect);
    EXPECT_EQ(rect.left, -400);
    EXPECT_EQ(rect.top, -400);
    EXPECT_EQ(GetWindow(proxy, GW_OWNER), owner);

    // the close command is refused
    SendMessageW(proxy, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(proxy));
    EXPECT_TRUE(holder.IsShown());

    const CString className = holder.GetProxy()->GetClassName();
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), className.GetString(), &info));
    EXPECT_TRUE(holder.Hide());
    EXPECT_FALSE(IsWindow(proxy));
    EXPECT_FALSE(GetClassInfoExW(GetModuleHandleW(nullptr), className.GetString(), &info))
        << "the class of a hidden proxy is unregistered";
    EXPECT_FALSE(holder.Hide());
}

TEST_F(AltTabProxy, TellsTheOwnerAboutASwitchToItWithinHalfASecond)
{
    CAltTabIconHolder holder;
    ASSERT_TRUE(holder.Show(owner, kNotify));
    HWND proxy = holder.GetProxy()->GetHandle();

    Switch(proxy, 100);
    ASSERT_EQ(g_notified.size(), 1u);
    EXPECT_EQ(g_notified[0], 0u);

    Switch(proxy, 600);
    EXPECT_EQ(g_notified.size(), 1u) << "the focus came 600 ms after the switch ended";

    Switch(owner, 100);
    EXPECT_EQ(g_notified.size(), 1u) << "the switch went elsewhere";

    // the focus reaching the proxy long after that switch ended
    g_now += 1000;
    NotifyWinEvent(EVENT_OBJECT_FOCUS, proxy, OBJID_CLIENT, CHILDID_SELF);
    scvtest::PumpFor(100);
    EXPECT_EQ(g_notified.size(), 1u);

    SendMessageW(proxy, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_EQ(g_notified.size(), 2u);
    EXPECT_EQ(g_notified[1], 1u) << "Enter";
}
