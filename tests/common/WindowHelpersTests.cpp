// test-locks: desktop
#include "common/BlinkEffects.h"
#include "common/GdiObjectGuards.h"
#include "common/WindowHelpers.h"

#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{
constexpr UINT kNotifyMessage = WM_APP + 2;
constexpr wchar_t kProbeClass[] = L"ScvWindowHelpersProbe";

struct Event
{
    HWND window;
    UINT message;
    WPARAM wParam;
    LONG weight; // of the font set with WM_SETFONT
};

std::vector<Event> g_events;

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFONT: {
        LOGFONTW font = {};
        ::GetObjectW(reinterpret_cast<HFONT>(wParam), sizeof(font), &font);
        g_events.push_back({window, message, wParam, font.lfWeight});
        return 0;
    }
    case WM_GETMINMAXINFO: {
        // Let a framed window grow beyond the screen so that its client area can cover it.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxTrackSize = POINT{8000, 8000};
        return 0;
    }
    case kNotifyMessage:
    case WM_SHOWWINDOW:
        g_events.push_back({window, message, wParam, 0});
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterProbeClass()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kProbeClass;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::RegisterClassW(&windowClass);
}

struct Window
{
    HWND hwnd = nullptr;
    Window(const wchar_t* className, const wchar_t* title, DWORD style, int x, int y, int w, int h,
           HWND parent = nullptr)
    {
        hwnd = ::CreateWindowExW(0, className, title, style, x, y, w, h, parent, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    }
    ~Window()
    {
        if (::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
    }
};

int Count(UINT message, HWND window)
{
    int count = 0;
    for (const Event& event : g_events)
        count += event.message == message && event.window == window;
    return count;
}

bool MakeForeground(HWND window)
{
    ::SetForegroundWindow(window);
    return scvtest::PumpUntil([&] { return ::GetForegroundWindow() == window; }, 3000);
}

class WindowHelpersTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RegisterProbeClass();
        g_events.clear();
    }
};
} // namespace

TEST_F(WindowHelpersTest, RootParentOfAChain)
{
    Window root(kProbeClass, L"Root Title", WS_POPUP, 0, 0, 200, 100);
    Window child(kProbeClass, L"child", WS_CHILD, 0, 0, 100, 50, root.hwnd);
    Window grandChild(L"STATIC", L"", WS_CHILD, 0, 0, 50, 20, child.hwnd);
    ASSERT_NE(grandChild.hwnd, nullptr);

    EXPECT_EQ(GetRootParent(grandChild.hwnd), root.hwnd);
    EXPECT_EQ(GetRootParentOf(child.hwnd), root.hwnd);
    EXPECT_EQ(GetRootParent(root.hwnd), root.hwnd);
    EXPECT_EQ(GetRootParent(nullptr), nullptr);

    CString text = L"stale";
    EXPECT_EQ(GetTopLevelWindowText(grandChild.hwnd, text), 1);
    EXPECT_STREQ(text, L"Root Title");

    Window untitled(kProbeClass, L"", WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(GetTopLevelWindowText(untitled.hwnd, text), 0);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(GetTopLevelWindowText(nullptr, text), 0);
}

TEST_F(WindowHelpersTest, HungWindowDoesNotHangTheTextQuery)
{
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND hung = nullptr;
    std::thread owner([&] {
        hung = ::CreateWindowExW(0, L"STATIC", L"Hung Window", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                 nullptr, nullptr);
        ::SetEvent(ready);
        ::WaitForSingleObject(release, 20000); // the thread takes no messages meanwhile
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::DestroyWindow(hung);
    });
    ASSERT_EQ(::WaitForSingleObject(ready, 5000), WAIT_OBJECT_0);
    ASSERT_NE(hung, nullptr);

    ULONGLONG start = ::GetTickCount64();
    CString text;
    EXPECT_EQ(GetTopLevelWindowText(hung, text), 0);
    EXPECT_LT(::GetTickCount64() - start, 10000u) << "the query must give up on its own";
    EXPECT_TRUE(text.IsEmpty());

    ::SetEvent(release);
    owner.join();
    ::CloseHandle(ready);
    ::CloseHandle(release);
}

TEST_F(WindowHelpersTest, FullScreenMeansCoveringTheMonitor)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    Window small(kProbeClass, L"small", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80);
    Window full(kProbeClass, L"full", WS_POPUP | WS_VISIBLE, 0, 0, cx, cy);
    ASSERT_NE(full.hwnd, nullptr);

    ASSERT_TRUE(MakeForeground(full.hwnd));
    HWND foreground = nullptr;
    EXPECT_TRUE(IsForegroundWindowFullScreen(small.hwnd, &foreground));
    EXPECT_EQ(foreground, full.hwnd);

    ASSERT_TRUE(MakeForeground(small.hwnd));
    EXPECT_FALSE(IsForegroundWindowFullScreen(small.hwnd, &foreground))
        << "inside the monitor is not covering it";
    EXPECT_EQ(foreground, small.hwnd);

    // A framed window is measured by its client area.
    Window framed(kProbeClass, L"framed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, cx, cy);
    ASSERT_TRUE(MakeForeground(framed.hwnd));
    RECT client = {};
    ::GetClientRect(framed.hwnd, &client);
    if (client.right >= cx && client.bottom >= cy)
        GTEST_SKIP() << "the window frame takes no room here";
    EXPECT_FALSE(IsForegroundWindowFullScreen(small.hwnd, nullptr));

    RECT grown = {0, 0, cx, cy};
    ::AdjustWindowRect(&grown, WS_OVERLAPPEDWINDOW, FALSE);
    ::SetWindowPos(framed.hwnd, nullptr, grown.left, grown.top, grown.right - grown.left,
                   grown.bottom - grown.top, SWP_NOZORDER);
    EXPECT_TRUE(IsForegroundWindowFullScreen(small.hwnd, nullptr));
}

TEST_F(WindowHelpersTest, BringWindowToFront)
{
    Window first(kProbeClass, L"first", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80);
    Window second(kProbeClass, L"second", WS_POPUP | WS_VISIBLE, 50, 50, 100, 80);
    ASSERT_TRUE(MakeForeground(first.hwnd));

    EXPECT_TRUE(BringWindowToFront(second.hwnd));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return ::GetForegroundWindow() == second.hwnd; }, 3000));
    EXPECT_FALSE(BringWindowToFront(nullptr));
}

TEST_F(WindowHelpersTest, MessageFilterIsBoundByName)
{
    using ChangeFilterFn = BOOL(WINAPI*)(UINT, DWORD);
    auto present = reinterpret_cast<ChangeFilterFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter")));
    if (!present) {
        EXPECT_FALSE(ChangeWindowMessageFilterDyn(WM_COPYDATA, MSGFLT_ADD));
        return;
    }
    EXPECT_EQ(ChangeWindowMessageFilterDyn(WM_COPYDATA, MSGFLT_ADD), present(WM_COPYDATA, MSGFLT_ADD));
}

TEST_F(WindowHelpersTest, BlinkControlFontSwapsTheParentWeight)
{
    Window notify(kProbeClass, L"notify", WS_POPUP, 0, 0, 10, 10);
    Window parent(L"STATIC", L"parent", WS_POPUP, 0, 0, 200, 100);
    Window control(kProbeClass, L"control", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, parent.hwnd);
    ASSERT_NE(control.hwnd, nullptr);

    LOGFONTW bold = {};
    bold.lfHeight = -12;
    bold.lfWeight = FW_BOLD;
    ::lstrcpyW(bold.lfFaceName, L"Tahoma");
    GdiObject<HFONT> boldFont(::CreateFontIndirectW(&bold));
    ::SendMessageW(parent.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont.get()), FALSE);

    g_events.clear();
    ASSERT_TRUE(BlinkControlFont(control.hwnd, kNotifyMessage, notify.hwnd));
    auto ended = [] {
        return !g_events.empty() && g_events.back().message == kNotifyMessage && g_events.back().wParam == 0;
    };
    ASSERT_TRUE(scvtest::PumpUntil(ended, 10000));

    std::vector<Event> events = g_events;
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events.front().message, kNotifyMessage);
    EXPECT_EQ(events.front().wParam, 1u);
    EXPECT_EQ(events.front().window, notify.hwnd);
    for (size_t i = 1; i < 7; ++i) {
        EXPECT_EQ(events[i].window, control.hwnd);
        EXPECT_EQ(events[i].message, static_cast<UINT>(WM_SETFONT));
        EXPECT_EQ(events[i].weight, i % 2 ? FW_NORMAL : FW_BOLD) << "blinks normal, then back to bold";
    }
    EXPECT_EQ(events[6].wParam, reinterpret_cast<WPARAM>(boldFont.get()))
        << "ends with the parent's own font";

    EXPECT_FALSE(BlinkControlFont(nullptr, kNotifyMessage, notify.hwnd));
}

TEST_F(WindowHelpersTest, BlinkControlFontBetweenTwoFontsNotifiesOnceAtTheEnd)
{
    Window notify(kProbeClass, L"notify", WS_POPUP, 0, 0, 10, 10);
    Window control(kProbeClass, L"control", WS_POPUP, 0, 0, 100, 20);
    LOGFONTW description = {};
    description.lfHeight = -12;
    description.lfWeight = FW_BOLD;
    GdiObject<HFONT> fontA(::CreateFontIndirectW(&description));
    description.lfWeight = FW_NORMAL;
    GdiObject<HFONT> fontB(::CreateFontIndirectW(&description));

    g_events.clear();
    ASSERT_TRUE(BlinkControlFont(control.hwnd, fontA.get(), fontB.get(), notify.hwnd, kNotifyMessage, 7, 0));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return Count(kNotifyMessage, notify.hwnd) > 0; }, 10000));

    const std::vector<Event> events = g_events;
    ASSERT_EQ(events.size(), 7u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(events[i].window, control.hwnd);
        EXPECT_EQ(events[i].wParam, reinterpret_cast<WPARAM>(i % 2 ? fontB.get() : fontA.get()));
    }
    EXPECT_EQ(events[6].window, notify.hwnd);
    EXPECT_EQ(events[6].wParam, 7u);
    EXPECT_FALSE(BlinkControlFont(nullptr, fontA.get(), fontB.get(), notify.hwnd, kNotifyMessage));
}

TEST_F(WindowHelpersTest, BlinkControlFontWithoutParentFontDoesNothing)
{
    Window notify(kProbeClass, L"notify", WS_POPUP, 0, 0, 10, 10);
    Window parent(kProbeClass, L"parent", WS_POPUP, 0, 0, 200, 100); // answers WM_GETFONT with null
    Window control(kProbeClass, L"control", WS_CHILD, 0, 0, 100, 20, parent.hwnd);
    ASSERT_TRUE(BlinkControlFont(control.hwnd, kNotifyMessage, notify.hwnd));
    scvtest::PumpFor(400);
    EXPECT_EQ(Count(kNotifyMessage, notify.hwnd), 0);
    EXPECT_EQ(Count(WM_SETFONT, control.hwnd), 0);
}

TEST_F(WindowHelpersTest, BlinkWindowHidesAndShowsThreeTimes)
{
    Window window(kProbeClass, L"blink", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    g_events.clear();
    ASSERT_TRUE(BlinkWindow(window.hwnd));
    auto shows = [&](WPARAM shown) {
        int count = 0;
        for (const Event& event : g_events)
            count += event.message == WM_SHOWWINDOW && event.wParam == shown;
        return count;
    };
    EXPECT_TRUE(scvtest::PumpUntil([&] { return shows(TRUE) == 3; }, 10000));
    EXPECT_EQ(shows(FALSE), 3);
    EXPECT_TRUE(::IsWindowVisible(window.hwnd));
    EXPECT_FALSE(BlinkWindow(nullptr));
}
