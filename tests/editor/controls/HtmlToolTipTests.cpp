// test-locks: desktop
#include "editor/controls/HtmlToolTip.h"

#include "FakeToolTipClock.h"

#include "common/GdiObjectGuards.h"
#include "platform/docview/DocView.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A visible host window with two child windows (not statics: those are
// transparent to WindowFromPoint) at a known place on the screen.
struct Host
{
    HWND window = nullptr;
    HWND child = nullptr;
    HWND other = nullptr;
    Host()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"HtmlToolTipTestsHost";
        ::RegisterClassW(&wc);
        window = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"host", WS_POPUP | WS_VISIBLE, 200, 200,
                                   300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        child = ::CreateWindowExW(0, wc.lpszClassName, L"tool", WS_CHILD | WS_VISIBLE, 10, 10, 100, 50,
                                  window, nullptr, wc.hInstance, nullptr);
        other = ::CreateWindowExW(0, wc.lpszClassName, L"other", WS_CHILD | WS_VISIBLE, 150, 100, 100, 50,
                                  window, nullptr, wc.hInstance, nullptr);
        ::UpdateWindow(window);
    }
    ~Host() { ::DestroyWindow(window); }
};

// A screen point inside the first tool (x from 0 to 99) and inside the second.
POINT InTool(int dx = 0)
{
    return POINT{220 + dx, 250};
}
POINT InOther()
{
    return POINT{400, 320};
}

MSG Message(HWND window, UINT id, POINT screen)
{
    MSG message = {};
    message.hwnd = window;
    message.message = id;
    message.pt = screen;
    return message;
}

struct TipFixture : ::testing::Test
{
    Host host;
    FakeClock clock;
    CHtmlToolTip tip;

    void SetUp() override
    {
        tip.SetClock(&clock);
        ASSERT_TRUE(tip.Create(host.window, TRUE));
        tip.AddTool(host.child, L"<b>Tool</b> tip");
        tip.AddTool(host.other, L"Other tip");
    }
    void TearDown() override { tip.DestroyWindow(); }

    void MoveTo(POINT point)
    {
        clock.cursor = point;
        MSG message = Message(host.child, WM_MOUSEMOVE, point);
        tip.RelayEvent(&message);
    }
    bool Visible() const { return ::IsWindowVisible(tip.m_hWnd) != FALSE; }
};

} // namespace

TEST_F(TipFixture, ShowsAfterTheInitialDelayAndPopsAfterAutoPop)
{
    MoveTo(InTool());
    EXPECT_TRUE(clock.Running(CHtmlToolTip::kTimerShow));
    clock.Advance(tip, 499);
    EXPECT_EQ(tip.State(), 0);
    EXPECT_FALSE(Visible());
    clock.Advance(tip, 1);
    EXPECT_EQ(tip.State(), 2);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(tip.CurrentToolWindow(), host.child);
    EXPECT_TRUE(clock.Running(CHtmlToolTip::kTimerHide));
    clock.Advance(tip, 4999);
    EXPECT_TRUE(Visible());
    clock.Advance(tip, 1);
    EXPECT_EQ(tip.State(), 0);
    EXPECT_FALSE(Visible());
}

TEST_F(TipFixture, StillCursorNeverReschedules)
{
    MoveTo(InTool());
    MoveTo(InTool());
    MoveTo(InTool());
    EXPECT_EQ(clock.starts[CHtmlToolTip::kTimerShow], 1);
}

TEST_F(TipFixture, CursorMovedBeforeTheDelayEndsShowsNothing)
{
    MoveTo(InTool());
    clock.cursor = InTool(5); // moved, but no move message reached the tooltip
    clock.Advance(tip, 500);
    EXPECT_EQ(tip.State(), 0);
    EXPECT_FALSE(Visible());
}

TEST_F(TipFixture, MovingToAnotherToolOrAwayHides)
{
    MoveTo(InTool());
    clock.Advance(tip, 500);
    ASSERT_EQ(tip.State(), 2);
    MoveTo(InTool(3)); // same tool, no behaviour flags: hides
    EXPECT_EQ(tip.State(), 0);
    MoveTo(InOther());
    clock.Advance(tip, 500);
    EXPECT_EQ(tip.State(), 2);
    EXPECT_EQ(tip.CurrentToolWindow(), host.other);
    MoveTo(POINT{205, 380}); // the host itself has no tool
    EXPECT_EQ(tip.State(), 0);
    EXPECT_EQ(tip.CurrentToolWindow(), nullptr);
}

TEST_F(TipFixture, StayAndMultipleShowBehaviours)
{
    tip.SetBehaviour(kTipStay);
    MoveTo(InTool());
    clock.Advance(tip, 500);
    clock.Advance(tip, 4000);
    MoveTo(InTool(2)); // restarts the auto-pop timer
    clock.Advance(tip, 4000);
    EXPECT_EQ(tip.State(), 2);
    clock.Advance(tip, 1000);
    EXPECT_EQ(tip.State(), 0);

    tip.SetBehaviour(kTipMultipleShow);
    MoveTo(InOther());
    clock.Advance(tip, 500 + 5000);
    EXPECT_EQ(tip.State(), 0);
    EXPECT_EQ(tip.CurrentToolWindow(), nullptr) << "forgotten, so it can show again";
    MoveTo(POINT{401, 320});
    clock.Advance(tip, 500);
    EXPECT_EQ(tip.State(), 2);
}

TEST_F(TipFixture, TipShownAtAPointIgnoresMovesAndNeverPops)
{
    struct Case
    {
        UINT message;
    } closers[] = {{WM_KEYDOWN}, {WM_MOUSEWHEEL}, {WM_RBUTTONDOWN}, {WM_NCLBUTTONDOWN},
                   {0},          {WM_ACTIVATEAPP}};
    for (const Case& c : closers) {
        tip.ShowTipAt(POINT{300, 300}, L"At a <i>point</i>");
        ASSERT_EQ(tip.State(), 2) << c.message;
        EXPECT_TRUE(Visible());
        EXPECT_FALSE(clock.Running(CHtmlToolTip::kTimerHide));
        MoveTo(InOther());
        EXPECT_FALSE(clock.Running(CHtmlToolTip::kTimerShow));
        clock.Advance(tip, 60000);
        EXPECT_EQ(tip.State(), 2);
        if (c.message == 0) {
            tip.HideTip();
        } else if (c.message == WM_ACTIVATEAPP) {
            ::SendMessageW(tip.m_hWnd, WM_ACTIVATEAPP, FALSE, 0);
        } else {
            MSG message = Message(host.child, c.message, InOther());
            tip.RelayEvent(&message);
        }
        EXPECT_EQ(tip.State(), 0) << c.message;
        EXPECT_FALSE(Visible()) << c.message;
    }
}

TEST_F(TipFixture, AClickOnTheTipWindowItselfHidesIt)
{
    // The click goes to the tip window, which no host relays: the window handles it itself.
    tip.ShowTipAt(POINT{300, 300}, L"A tip with <b>text</b>");
    ASSERT_TRUE(Visible());
    ::SendMessageW(tip.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_FALSE(Visible());
    EXPECT_EQ(tip.State(), 0);
}

TEST_F(TipFixture, IconHandleIsWrittenAtPointerWidth)
{
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    tip.ShowTipAt(POINT{300, 300}, L"with icon", icon);
    wchar_t expected[64] = {};
    swprintf(expected, 64, L"<icon handle=0x%llX>",
             static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(icon)));
    EXPECT_NE(tip.CurrentTool().text.find(expected), std::wstring::npos);
    EXPECT_GT(tip.Placement().window.cx, 32);
}

TEST_F(TipFixture, LongTipWrapsAtHalfTheScreenWidth)
{
    std::wstring text;
    for (int i = 0; i < 400; ++i)
        text += L"phrase <b>text</b> ";
    tip.ShowTipAt(POINT{300, 300}, text);
    ASSERT_EQ(tip.State(), 2);
    const RECT& rect = tip.TextRect();
    const int half = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    EXPECT_LE(rect.right - rect.left, half + 1); // the renderer adds one pixel
    EXPECT_GT(rect.right - rect.left, half - 100);
    EXPECT_GT(rect.bottom - rect.top, 5 * (rect.right - rect.left) / 10) << "the text wraps into many lines";
    EXPECT_LE(tip.Placement().window.cx, ::GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(TipFixture, EmptyTextShowsNoWindowButRunsTheStates)
{
    tip.RemoveAllTools();
    tip.AddTool(host.child);
    MoveTo(InTool());
    clock.Advance(tip, 500);
    EXPECT_EQ(tip.State(), 2);
    EXPECT_FALSE(Visible());
    clock.Advance(tip, 5000);
    EXPECT_EQ(tip.State(), 0);
}

TEST_F(TipFixture, FadesInAndOutAndAShowWaitsForTheFadeOut)
{
    tip.SetDelayTime(4, 30);
    tip.SetDelayTime(5, 40);
    MoveTo(InTool());
    clock.Advance(tip, 500);
    EXPECT_EQ(tip.State(), 1);
    EXPECT_EQ(tip.Transparency(), 100);
    clock.Advance(tip, 30);
    EXPECT_EQ(tip.Transparency(), 80);
    clock.Advance(tip, 4 * 30);
    EXPECT_EQ(tip.State(), 2);
    EXPECT_EQ(tip.Transparency(), 0);
    EXPECT_FALSE(clock.Running(CHtmlToolTip::kTimerFadeIn));

    tip.HideTip();
    EXPECT_EQ(tip.State(), 3);
    clock.Advance(tip, 40);
    EXPECT_EQ(tip.Transparency(), 20);
    MoveTo(InOther()); // waits until the fade-out ends
    EXPECT_EQ(tip.State(), 3);
    clock.Advance(tip, 4 * 40);
    EXPECT_EQ(tip.State(), 0);
    EXPECT_TRUE(clock.Running(CHtmlToolTip::kTimerShow));
    clock.Advance(tip, 500);
    EXPECT_EQ(tip.State(), 1);
    EXPECT_EQ(tip.CurrentToolWindow(), host.other);
}

TEST_F(TipFixture, AddToolReplacesARecordWithTheSameRectangle)
{
    RECT left = {0, 0, 50, 50};
    RECT right = {50, 0, 100, 50};
    tip.AddTool(host.other, L"a", &left);
    tip.AddTool(host.other, L"b", &right);
    tip.AddTool(host.other, L"c", &left);
    const auto& list = tip.Tools().at(host.other);
    ASSERT_EQ(list.size(), 3u); // the whole-window record, then left and right
    EXPECT_EQ(list[1].text, L"c");
    EXPECT_EQ(list[2].text, L"b");
}

TEST_F(TipFixture, ToolsOfAScrolledViewAreFoundAtTheirPlaceInTheContent)
{
    // A view of 140 x 95 pixels right of the first tool, over content 600 pixels high; the host
    // destroys it (and the view deletes itself).
    auto* view = new CScrollView;
    ASSERT_TRUE(view->Create(host.window, 100, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                             RECT{150, 0, 290, 95}));
    SCROLLINFO range = {sizeof(range), SIF_RANGE | SIF_PAGE, 0, 600, 90};
    ::SetScrollInfo(view->m_hWnd, SB_VERT, &range, TRUE);
    RECT upper = {0, 0, 100, 40};
    RECT lower = {0, 300, 100, 340};
    tip.AddTool(view->m_hWnd, L"upper", &upper);
    tip.AddTool(view->m_hWnd, L"lower", &lower);

    struct Case
    {
        int scroll;
        const wchar_t* tool;
    };
    const Case cases[] = {{0, L"upper"}, {290, L"lower"}, {20, nullptr}};
    for (const Case& c : cases) {
        MoveTo(POINT{205, 380}); // off every tool
        ::SetScrollPos(view->m_hWnd, SB_VERT, c.scroll, TRUE);
        ASSERT_EQ(c.scroll, view->GetDeviceScrollPosition().y);
        POINT point = {20, 20};
        ::ClientToScreen(view->m_hWnd, &point);
        MoveTo(point);
        clock.Advance(tip, 500);
        if (!c.tool) {
            EXPECT_EQ(tip.State(), 0) << c.scroll; // content 40: between the two tools
            continue;
        }
        ASSERT_EQ(tip.State(), 2) << c.scroll;
        EXPECT_EQ(tip.CurrentToolWindow(), view->m_hWnd);
        EXPECT_EQ(tip.CurrentTool().text, c.tool) << c.scroll;
    }
}

TEST_F(TipFixture, DrawsBodyColourOverTheBackdrop)
{
    tip.SetColor(RGB(255, 0, 0));
    tip.SetShadow(0, 0, 50, false, 0, 0);
    tip.ShowTipAt(POINT{300, 300}, L"x");
    const ToolTipPlacement& placement = tip.Placement();
    WindowDC screen;
    MemoryDC dc(screen.get());
    GdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.get(), 400, 400));
    SelectedObject selected(dc.get(), bitmap.get());
    POINT inBody = {(placement.body.left + placement.body.right) / 2, placement.body.top + 3};
    tip.DrawTip(dc.get(), 0);
    EXPECT_EQ(::GetPixel(dc.get(), inBody.x, inBody.y), RGB(255, 0, 0));
    RECT all = {0, 0, 400, 400};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    tip.DrawTip(dc.get(), 100);
    EXPECT_NE(::GetPixel(dc.get(), inBody.x, inBody.y), RGB(255, 0, 0))
        << "fully transparent shows the backdrop";
}

TEST(ToolTipPlacement, FlipsAndSlidesNearTheScreenEdges)
{
    const RECT screen = {0, 0, 800, 600};
    const SIZE body = {100, 50};
    ToolTipSizes sizes = BalloonSizes(true); // anchor margin 16, strip 16
    struct Case
    {
        int direction;
        POINT point;
        int expectedDirection;
        POINT expectedTopLeft;
    } cases[] = {
        {16, {400, 300}, 16, {384, 234}}, // above, anchor 16 from the left
        {16, {400, 30}, 0, {384, 30}},    // no room above: below
        {0, {400, 580}, 16, {384, 514}},  // no room below: above
        {16, {790, 300}, 17, {700, 234}}, // near the right edge: anchor near the right corner, kept on screen
        {16, {5, 300}, 16, {0, 234}},     // near the left edge: the anchor slides
        {18, {30, 300}, 18, {0, 234}},    // centred anchor slides too
        {32, {750, 300}, 48, {634, 284}}, // no room to the right: left of the point
        {48, {20, 300}, 32, {20, 284}},   // no room to the left: right of the point
        {33, {400, 590}, 33, {400, 550}}, // near the bottom: anchor near the bottom corner, kept on screen
    };
    for (const Case& c : cases) {
        ToolTipPlacement placement = PlaceToolTip(c.direction, c.point, body, sizes, screen);
        POINT topLeft = {c.point.x - placement.anchor.x, c.point.y - placement.anchor.y};
        EXPECT_EQ(placement.direction, c.expectedDirection)
            << c.direction << " at " << c.point.x << "," << c.point.y;
        EXPECT_EQ(topLeft.x, c.expectedTopLeft.x) << c.direction << " at " << c.point.x << "," << c.point.y;
        EXPECT_EQ(topLeft.y, c.expectedTopLeft.y) << c.direction << " at " << c.point.x << "," << c.point.y;
        EXPECT_GE(topLeft.x, screen.left);
        EXPECT_LE(topLeft.x + placement.window.cx, screen.right);
        EXPECT_GE(topLeft.y, screen.top);
        EXPECT_LE(topLeft.y + placement.window.cy, screen.bottom);
    }

    ToolTipPlacement below = PlaceToolTip(0, POINT{400, 100}, body, sizes, screen);
    EXPECT_EQ(below.body.top, 16) << "the anchor strip lies before the body";
    ToolTipPlacement rectangle = PlaceToolTip(16, POINT{400, 300}, body, BalloonSizes(false), screen);
    EXPECT_EQ(rectangle.window.cy, 50);
}
