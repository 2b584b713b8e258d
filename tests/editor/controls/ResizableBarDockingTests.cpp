// test-locks: desktop
// A resizable bar docked in the left dock bar of a real frame: floating and docking back by double click,
// by a mouse drag through the dock context's own loop and by its steps; the floating frame's caption,
// closing and showing, and its resize through the bar's floating size.

#include "editor/controls/ResizableBar.h"
#include "platform/docview/DockBar.h"
#include "platform/docview/DockContext.h"
#include "platform/docview/FrameWnd.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

void PumpPending()
{
    MSG msg = {};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::wstring TextOf(HWND hWnd)
{
    wchar_t text[128] = {};
    ::GetWindowTextW(hWnd, text, 128);
    return text;
}

RECT WindowRectOf(HWND hWnd)
{
    RECT r = {};
    ::GetWindowRect(hWnd, &r);
    return r;
}

POINT Centre(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class DockingBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = new CFrameWnd; // deletes itself with its window; one that cannot be made stays ours
        if (!frame->LoadFrame(0, WS_OVERLAPPEDWINDOW)) {
            delete frame;
            frame = nullptr;
            FAIL() << "the frame could not be made";
        }
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 640, 420, SWP_NOZORDER | SWP_NOACTIVATE);
        frame->EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(bar.Create(L"Phrases", frame->m_hWnd, SIZE{200, 300}, TRUE, 0,
                               WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
        ::ShowWindow(frame->m_hWnd, SW_SHOWNOACTIVATE);
        frame->RecalcLayout();
        PumpPending();
    }
    void TearDown() override
    {
        if (bar.m_hWnd)
            ::DestroyWindow(bar.m_hWnd);
        if (frame && ::IsWindow(frame->m_hWnd))
            ::DestroyWindow(frame->m_hWnd);
        PumpPending();
    }

    HWND LeftDockBar() const { return frame->GetDockBar(AFX_IDW_DOCKBAR_LEFT)->m_hWnd; }
    // The floating frame around the bar, or null while it is docked.
    HWND FloatingFrame() const { return bar.IsFloating() ? ::GetParent(bar.GetDockBar()->m_hWnd) : nullptr; }
    LPARAM ClientPoint(POINT screen) const
    {
        ::ScreenToClient(bar.m_hWnd, &screen);
        return MAKELPARAM(screen.x, screen.y);
    }
    RECT FrameClient() const
    {
        RECT client = {};
        ::GetClientRect(frame->m_hWnd, &client);
        ::MapWindowPoints(frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
        return client;
    }
    // In the frame's view area, away from every dock side.
    POINT OverTheView() const
    {
        const RECT client = FrameClient();
        return POINT{client.left + 250, client.top + 60};
    }
    // A point near the top-left corner of the bar.
    POINT GrabPoint() const
    {
        const RECT r = WindowRectOf(bar.m_hWnd);
        return POINT{r.left + 10, r.top + 10};
    }
    // Just inside the left dock area.
    POINT OverTheLeftSide() const
    {
        const RECT dock = WindowRectOf(LeftDockBar());
        return POINT{dock.right + 4, (dock.top + dock.bottom) / 2};
    }
    void ExpectDockedLeftAtItsWidth()
    {
        EXPECT_FALSE(bar.IsFloating());
        EXPECT_EQ(LeftDockBar(), ::GetParent(bar.m_hWnd));
        EXPECT_EQ(CResizableBar::kDockLeft, bar.GetDockBarId());
        EXPECT_TRUE(bar.HasGripper());
        EXPECT_EQ(2, bar.GetEdgeFlags()); // the right edge faces the view
        const RECT r = WindowRectOf(bar.m_hWnd);
        EXPECT_EQ(200, r.right - r.left);
        RECT dockClient = {};
        ::GetClientRect(LeftDockBar(), &dockClient);
        EXPECT_EQ(dockClient.bottom, r.bottom - r.top);
    }

    CFrameWnd* frame = nullptr;
    CResizableBarCF bar;
};

} // namespace

TEST_F(DockingBarTest, DoubleClickFloatsTheBarInAFloatingFrameAndDocksItBack)
{
    ExpectDockedLeftAtItsWidth();
    const RECT docked = WindowRectOf(bar.m_hWnd);

    ::SendMessageW(bar.m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20));
    ASSERT_TRUE(bar.IsFloating());
    HWND floating = FloatingFrame();
    EXPECT_EQ(CResizableBar::kFloating, static_cast<UINT>(::GetDlgCtrlID(::GetParent(bar.m_hWnd))));
    EXPECT_EQ(CResizableBar::kFloating, bar.GetDockBarId());
    EXPECT_EQ(frame->m_hWnd, ::GetWindow(floating, GW_OWNER));
    EXPECT_TRUE(::GetWindowLongPtrW(floating, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(::IsWindowVisible(floating));
    EXPECT_EQ(L"Phrases", TextOf(floating));
    // floats over its docked place at its floating size, without gripper or draggable edges
    const RECT r = WindowRectOf(floating);
    EXPECT_EQ(docked.left, r.left);
    EXPECT_EQ(docked.top, r.top);
    const RECT barRect = WindowRectOf(bar.m_hWnd);
    EXPECT_EQ(200, barRect.right - barRect.left);
    EXPECT_EQ(300, barRect.bottom - barRect.top);
    EXPECT_FALSE(bar.HasGripper());
    EXPECT_EQ(0, bar.GetEdgeFlags());
    for (POINT pt : {POINT{barRect.left + 1, barRect.top + 50}, POINT{barRect.right - 2, barRect.top + 50},
                     POINT{barRect.left + 50, barRect.top + 1}, Centre(barRect)})
        EXPECT_EQ(HTCLIENT, ::SendMessageW(bar.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)));

    // the caption follows the bar's text
    ::SetWindowTextW(bar.m_hWnd, L"Phrases [3/4]");
    EXPECT_EQ(L"Phrases [3/4]", TextOf(floating));

    ::SendMessageW(bar.m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(20, 20));
    ExpectDockedLeftAtItsWidth();
    PumpPending();
    EXPECT_FALSE(::IsWindow(floating));
}

TEST_F(DockingBarTest, ClosingTheFloatingFrameHidesTheBarAndShowingTheBarBringsItBack)
{
    frame->FloatControlBar(&bar, POINT{300, 200});
    HWND floating = FloatingFrame();
    ASSERT_NE(nullptr, floating);
    EXPECT_EQ(300, WindowRectOf(floating).left);
    EXPECT_EQ(200, WindowRectOf(floating).top);

    ::SendMessageW(floating, WM_CLOSE, 0, 0);
    EXPECT_FALSE(bar.IsVisible());
    EXPECT_FALSE(::IsWindowVisible(floating));
    EXPECT_TRUE(::IsWindow(bar.m_hWnd));

    frame->ShowControlBar(&bar, TRUE, FALSE);
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_TRUE(::IsWindowVisible(floating));
    EXPECT_EQ(floating, FloatingFrame());
    EXPECT_EQ(300, WindowRectOf(floating).left);

    // docked, the close button hides the bar through the frame it docks in
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    ExpectDockedLeftAtItsWidth();
    const RECT r = WindowRectOf(bar.m_hWnd);
    const POINT close = bar.GetCloseButtonOrigin();
    EXPECT_EQ(HTCLOSE, ::SendMessageW(bar.m_hWnd, WM_NCHITTEST, 0,
                                      MAKELPARAM(r.left + close.x + 5, r.top + close.y + 5)));
    ::SendMessageW(bar.m_hWnd, WM_NCLBUTTONUP, HTCLOSE, 0);
    EXPECT_FALSE(bar.IsVisible());
    RECT dockClient = {};
    ::GetClientRect(LeftDockBar(), &dockClient);
    EXPECT_EQ(0, dockClient.right); // the empty side takes no room
}

TEST_F(DockingBarTest, MouseDragFloatsWhereReleasedAndEscapeCancels)
{
    const RECT docked = WindowRectOf(bar.m_hWnd);
    const POINT grab = {docked.left + 40, docked.top + 40};
    const POINT drop = OverTheView();

    // Esc ends the drag without a change
    ::PostMessageW(bar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(drop));
    ::PostMessageW(bar.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(grab));
    EXPECT_NE(bar.m_hWnd, ::GetCapture());
    ExpectDockedLeftAtItsWidth();

    // released over the view: floats with the outline's top-left corner
    ::PostMessageW(bar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(POINT{grab.x + 100, grab.y + 10}));
    ::PostMessageW(bar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(drop));
    ::PostMessageW(bar.m_hWnd, WM_LBUTTONUP, 0, ClientPoint(drop));
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(grab));
    EXPECT_NE(bar.m_hWnd, ::GetCapture());
    ASSERT_TRUE(bar.IsFloating());
    const RECT r = WindowRectOf(FloatingFrame());
    EXPECT_EQ(docked.left + drop.x - grab.x, r.left);
    EXPECT_EQ(docked.top + drop.y - grab.y, r.top);
}

TEST_F(DockingBarTest, DragEndingOverADockSideTheBarAllowsDocksItThere)
{
    CDockContext* context = bar.GetDockContext();
    ASSERT_NE(nullptr, context);
    frame->FloatControlBar(&bar, OverTheView());
    ASSERT_TRUE(bar.IsFloating());

    // a drag over the view moves the floating frame
    const POINT grab = GrabPoint();
    context->BeginDrag(grab);
    context->EndDrag(POINT{grab.x - 30, grab.y + 20});
    ASSERT_TRUE(bar.IsFloating());
    EXPECT_EQ(OverTheView().x - 30, WindowRectOf(FloatingFrame()).left);
    EXPECT_EQ(OverTheView().y + 20, WindowRectOf(FloatingFrame()).top);

    // over the (empty) left side
    const POINT from = GrabPoint();
    HWND floating = FloatingFrame();
    context->BeginDrag(from);
    context->MoveDrag(POINT{from.x - 50, from.y});
    context->EndDrag(OverTheLeftSide());
    ExpectDockedLeftAtItsWidth();
    PumpPending();
    EXPECT_FALSE(::IsWindow(floating));

    // the sides the bar allows decide: only left and right
    const RECT dock = WindowRectOf(LeftDockBar());
    const RECT client = FrameClient();
    struct Case
    {
        DWORD allowed;
        POINT at;
        UINT expected;
    };
    const POINT top = {(client.left + client.right) / 2, client.top + 3};
    const POINT right = {client.right - 3, (client.top + client.bottom) / 2};
    const POINT left = {dock.left + 3, (dock.top + dock.bottom) / 2};
    const Case cases[] = {
        {CBRS_ALIGN_ANY, top, AFX_IDW_DOCKBAR_TOP},
        {CBRS_ALIGN_ANY, right, AFX_IDW_DOCKBAR_RIGHT},
        {CBRS_ALIGN_ANY, left, AFX_IDW_DOCKBAR_LEFT},
        {CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT, top, 0},
        {CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT, right, AFX_IDW_DOCKBAR_RIGHT},
        {CBRS_ALIGN_ANY, OverTheView(), 0},
    };
    for (const Case& c : cases) {
        bar.EnableDocking(c.allowed);
        EXPECT_EQ(c.expected, context->DockTargetAt(c.at)) << c.at.x << "," << c.at.y;
    }

    // dropped at the top while only the sides are allowed: it floats there
    bar.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    context->BeginDrag(GrabPoint());
    context->EndDrag(top);
    EXPECT_TRUE(bar.IsFloating());
    // dropped at the right: docks at the right, its inner (left) edge draggable
    const POINT again = GrabPoint();
    context->BeginDrag(again);
    context->EndDrag(right);
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(CResizableBar::kDockRight, bar.GetDockBarId());
    EXPECT_EQ(frame->GetDockBar(AFX_IDW_DOCKBAR_RIGHT)->m_hWnd, ::GetParent(bar.m_hWnd));
    EXPECT_EQ(1, bar.GetEdgeFlags());
    EXPECT_EQ(200, WindowRectOf(bar.m_hWnd).right - WindowRectOf(bar.m_hWnd).left);
}

TEST_F(DockingBarTest, ResizingTheFloatingFrameSetsTheFloatingSize)
{
    frame->FloatControlBar(&bar, POINT{200, 100});
    HWND floating = FloatingFrame();
    ASSERT_NE(nullptr, floating);
    const RECT start = WindowRectOf(floating);
    const RECT barStart = WindowRectOf(bar.m_hWnd);
    const int frameCx = (start.right - start.left) - (barStart.right - barStart.left);
    const int frameCy = (start.bottom - start.top) - (barStart.bottom - barStart.top);
    struct Case
    {
        WPARAM edge;
        RECT delta; // added to the frame's rectangle
        SIZE floatSize;
    };
    const Case cases[] = {
        {WMSZ_RIGHT, {0, 0, 50, 0}, {250, 300}},
        {WMSZ_BOTTOM, {0, 0, 0, -1000}, {200, 32}}, // never below the floating minimum
        {WMSZ_LEFT, {-1000, 0, 0, 0}, {1200, 300}},
        {WMSZ_BOTTOMRIGHT, {0, 0, 30, 40}, {230, 340}},
        {WMSZ_TOPLEFT, {-20, -10, 0, 0}, {220, 310}},
        {WMSZ_TOPLEFT, {500, 500, 0, 0}, {37, 32}},
    };
    for (const Case& c : cases) {
        // each case starts from the 200 x 300 frame and floating size
        ::SetWindowPos(floating, nullptr, start.left, start.top, start.right - start.left,
                       start.bottom - start.top, SWP_NOZORDER | SWP_NOACTIVATE);
        for (WPARAM edge : {WMSZ_RIGHT, WMSZ_BOTTOM}) {
            RECT reset = start;
            ::SendMessageW(floating, WM_SIZING, edge, reinterpret_cast<LPARAM>(&reset));
        }
        ASSERT_EQ(200, bar.GetFloatSize().cx);
        ASSERT_EQ(300, bar.GetFloatSize().cy);
        RECT rect = {start.left + c.delta.left, start.top + c.delta.top, start.right + c.delta.right,
                     start.bottom + c.delta.bottom};
        ::SendMessageW(floating, WM_SIZING, c.edge, reinterpret_cast<LPARAM>(&rect));
        EXPECT_EQ(c.floatSize.cx, bar.GetFloatSize().cx) << c.edge;
        EXPECT_EQ(c.floatSize.cy, bar.GetFloatSize().cy) << c.edge;
        // the rectangle fits the bar, the side opposite the dragged one stays
        EXPECT_EQ(c.floatSize.cx + frameCx, rect.right - rect.left) << c.edge;
        EXPECT_EQ(c.floatSize.cy + frameCy, rect.bottom - rect.top) << c.edge;
        const bool left = c.edge == WMSZ_LEFT || c.edge == WMSZ_TOPLEFT || c.edge == WMSZ_BOTTOMLEFT;
        const bool top = c.edge == WMSZ_TOP || c.edge == WMSZ_TOPLEFT || c.edge == WMSZ_TOPRIGHT;
        EXPECT_EQ(left ? start.right : start.left, left ? rect.right : rect.left) << c.edge;
        EXPECT_EQ(top ? start.bottom : start.top, top ? rect.bottom : rect.top) << c.edge;
        ::SetWindowPos(floating, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        const RECT now = WindowRectOf(bar.m_hWnd);
        EXPECT_EQ(c.floatSize.cx, now.right - now.left) << c.edge;
        EXPECT_EQ(c.floatSize.cy, now.bottom - now.top) << c.edge;
    }
}

TEST_F(DockingBarTest, TwoBarsInOneRowShareItsLengthAndTheEdgeBetweenThemMovesPixels)
{
    CResizableBarCF second;
    struct DestroyWith
    {
        CResizableBarCF& bar;
        ~DestroyWith()
        {
            if (bar.m_hWnd)
                ::DestroyWindow(bar.m_hWnd);
        }
    } guard{second};
    ASSERT_TRUE(second.Create(L"Settings", frame->m_hWnd, SIZE{200, 100}, TRUE, 0,
                              WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT));
    second.EnableDocking(CBRS_ALIGN_ANY);
    // dropped over the lower part of the first bar: the same row, after it
    RECT drop = WindowRectOf(bar.m_hWnd);
    ::OffsetRect(&drop, 0, 50);
    frame->DockControlBar(&second, AFX_IDW_DOCKBAR_LEFT, &drop);
    frame->RecalcLayout();
    ASSERT_EQ(LeftDockBar(), ::GetParent(second.m_hWnd));
    ASSERT_EQ(4u, frame->GetDockBar(AFX_IDW_DOCKBAR_LEFT)->GetBarList().size()); // null, bar, second, null

    RECT dockClient = {};
    ::GetClientRect(LeftDockBar(), &dockClient);
    const int length = dockClient.bottom;
    EXPECT_EQ(length, bar.GetVertSize().cy + second.GetVertSize().cy);
    RECT first = WindowRectOf(bar.m_hWnd);
    RECT next = WindowRectOf(second.m_hWnd);
    EXPECT_EQ(first.bottom, next.top);
    EXPECT_EQ(200, first.right - first.left);
    EXPECT_EQ(200, next.right - next.left);
    EXPECT_EQ(2 | 8, bar.GetEdgeFlags());    // the view side and the edge to the next bar
    EXPECT_EQ(2 | 4, second.GetEdgeFlags()); // the view side and the edge to the bar before

    bar.SetDragShowContent(true); // the panes follow the mouse, whatever the system's setting
    const int x = (first.left + first.right) / 2;
    const int edgeY = first.bottom - 2;
    ASSERT_EQ(HTBOTTOM, ::SendMessageW(bar.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(x, edgeY)));
    ::SendMessageW(bar.m_hWnd, WM_NCLBUTTONDOWN, HTBOTTOM, MAKELPARAM(x, edgeY));
    ASSERT_TRUE(bar.IsTracking());
    const int firstHeight = first.bottom - first.top;
    struct Step
    {
        int dy;
        int firstHeight;
    };
    const Step steps[] = {
        {40, firstHeight + 40},
        {-1000, 32},         // the bar stops at its minimum
        {5000, length - 32}, // the other one does
    };
    for (const Step& s : steps) {
        ::SendMessageW(bar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(POINT{x, edgeY + s.dy}));
        first = WindowRectOf(bar.m_hWnd);
        next = WindowRectOf(second.m_hWnd);
        EXPECT_EQ(s.firstHeight, first.bottom - first.top) << s.dy;
        EXPECT_EQ(length, (first.bottom - first.top) + (next.bottom - next.top)) << s.dy;
    }
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(bar.IsTracking());
}
