// test-locks: desktop
#include "common/RedrawOnScrollWindow.h"
#include "common/SubclassedWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const UINT kProbe = WM_APP + 51;
const UINT kNested = WM_APP + 52;
const UINT kUnsubclassNow = WM_APP + 53;
const UINT kUnhandled = WM_APP + 54;

std::vector<UINT> g_seenByTarget;
bool g_replaceProcAtNcDestroy = false;
LRESULT CALLBACK StrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= kProbe && message <= kUnhandled) {
        g_seenByTarget.push_back(message);
        return 100;
    }
    if (message == WM_NCDESTROY && g_replaceProcAtNcDestroy)
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StrayProc));
    if (message == WM_HSCROLL) {
        g_seenByTarget.push_back(message);
        return 55;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateTarget(HWND parent = nullptr)
{
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &TargetProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScvSubclassedTarget";
        return ::RegisterClassW(&wc);
    }();
    EXPECT_NE(atom, 0);
    g_seenByTarget.clear();
    return ::CreateWindowExW(0, L"ScvSubclassedTarget", L"", WS_POPUP | WS_VISIBLE, 20, 20, 200, 100, parent,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

WNDPROC ProcOf(HWND hwnd)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

class CProbeControl : public CSubclassedWindow
{
public:
    BEGIN_MSG_MAP(CProbeControl)
    MESSAGE_HANDLER(kProbe, OnProbe)
    MESSAGE_HANDLER(kNested, OnNested)
    MESSAGE_HANDLER(kUnsubclassNow, OnUnsubclassNow)
    END_MSG_MAP()

    std::vector<UINT> handled;
    HWND finalHandle = nullptr;
    WNDPROC procAtFinal = nullptr;
    int finalCalls = 0;

    void OnFinalMessage(HWND hwnd) override
    {
        ++finalCalls;
        finalHandle = hwnd;
        procAtFinal = ProcOf(hwnd);
    }

private:
    LRESULT OnProbe(UINT message, WPARAM, LPARAM, BOOL&)
    {
        handled.push_back(message);
        return DefWindowProc() + 1;
    }
    LRESULT OnNested(UINT message, WPARAM, LPARAM, BOOL&)
    {
        handled.push_back(message);
        ::SendMessageW(m_hWnd, kProbe, 0, 0);
        // Still the outer message, not the nested one.
        return DefWindowProc() + 2;
    }
    LRESULT OnUnsubclassNow(UINT message, WPARAM, LPARAM, BOOL&)
    {
        handled.push_back(message);
        const LRESULT result = DefWindowProc();
        EXPECT_NE(UnsubclassWindow(), nullptr);
        return result + 3;
    }
};

// What the window's own procedure installs at WM_NCDESTROY when asked to.
LRESULT CALLBACK StrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}
} // namespace

TEST(SubclassedWindow, RoutesHandledAndUnhandledMessages)
{
    HWND target = CreateTarget();
    CProbeControl control;
    ASSERT_TRUE(control.SubclassWindow(target));
    EXPECT_EQ(control.m_hWnd, target);
    EXPECT_FALSE(control.SubclassWindow(target)) << "one window per object";

    EXPECT_EQ(::SendMessageW(target, kProbe, 0, 0), 101);
    EXPECT_EQ(::SendMessageW(target, kUnhandled, 0, 0), 100);
    EXPECT_EQ(::SendMessageW(target, kNested, 0, 0), 102);
    EXPECT_EQ(control.handled, (std::vector<UINT>{kProbe, kNested, kProbe}));
    EXPECT_EQ(g_seenByTarget, (std::vector<UINT>{kProbe, kUnhandled, kProbe, kNested}));
    EXPECT_EQ(control.GetCurrentMessage(), nullptr);
    ::DestroyWindow(target);
}

TEST(SubclassedWindow, UnsubclassInsideAMessage)
{
    HWND target = CreateTarget();
    CProbeControl control;
    ASSERT_TRUE(control.SubclassWindow(target));
    EXPECT_EQ(::SendMessageW(target, kUnsubclassNow, 0, 0), 103);
    EXPECT_EQ(ProcOf(target), &TargetProc);
    EXPECT_EQ(control.m_hWnd, nullptr);
    ::SendMessageW(target, kProbe, 0, 0);
    EXPECT_EQ(control.handled, std::vector<UINT>{kUnsubclassNow});
    ::DestroyWindow(target);
    EXPECT_EQ(control.finalCalls, 0);
}

TEST(SubclassedWindow, FinalMessagePutsThePreviousProcedureBack)
{
    HWND target = CreateTarget();
    CProbeControl control;
    ASSERT_TRUE(control.SubclassWindow(target));
    ::DestroyWindow(target);
    EXPECT_EQ(control.finalCalls, 1);
    EXPECT_EQ(control.finalHandle, target);
    EXPECT_EQ(control.procAtFinal, &TargetProc);
    EXPECT_EQ(control.m_hWnd, nullptr);
}

TEST(SubclassedWindow, FinalMessageKeepsAProcedureSetDuringTheLastMessage)
{
    HWND target = CreateTarget();
    CProbeControl control;
    ASSERT_TRUE(control.SubclassWindow(target));
    g_replaceProcAtNcDestroy = true;
    ::DestroyWindow(target);
    g_replaceProcAtNcDestroy = false;
    EXPECT_EQ(control.finalCalls, 1);
    EXPECT_EQ(control.procAtFinal, &StrayProc);
}

TEST(SubclassedWindow, TwoObjectsOnOneWindow)
{
    HWND target = CreateTarget();
    CProbeControl lower;
    CProbeControl upper;
    ASSERT_TRUE(lower.SubclassWindow(target));
    ASSERT_TRUE(upper.SubclassWindow(target));
    // upper adds 1 to what lower returns, which adds 1 to the window's own 100
    EXPECT_EQ(::SendMessageW(target, kProbe, 0, 0), 102);
    EXPECT_EQ(lower.handled, std::vector<UINT>{kProbe});
    EXPECT_EQ(upper.handled, std::vector<UINT>{kProbe});
    ::DestroyWindow(target);
    EXPECT_EQ(lower.finalCalls, 1);
    EXPECT_EQ(upper.finalCalls, 1);
}

TEST(RedrawOnScrollWindow, HorizontalScrollRepaintsTheWholeClientArea)
{
    HWND target = CreateTarget();
    ::UpdateWindow(target);
    ::ValidateRect(target, nullptr);
    CRedrawOnScrollWindow redraw;
    ASSERT_TRUE(redraw.SubclassWindow(target));

    EXPECT_EQ(::SendMessageW(target, WM_HSCROLL, SB_LINERIGHT, 0), 55);
    EXPECT_EQ(g_seenByTarget, std::vector<UINT>{WM_HSCROLL});
    RECT update = {};
    RECT client = {};
    ASSERT_TRUE(::GetUpdateRect(target, &update, FALSE));
    ::GetClientRect(target, &client);
    EXPECT_TRUE(::EqualRect(&update, &client));

    ::ValidateRect(target, nullptr);
    ::SendMessageW(target, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_FALSE(::GetUpdateRect(target, &update, FALSE));
    ::DestroyWindow(target);
}
