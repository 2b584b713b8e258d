// A resizable bar docked at the left of a real frame: its layout width, edge hit-testing, an edge drag
// driven by mouse messages with its limits, the close button and WM_CLOSE.
// test-locks: desktop

#include "editor/controls/ResizableBar.h"
#include "platform/docview/FrameWnd.h"

#include <gtest/gtest.h>

namespace
{

class ResizableBarFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = new CFrameWnd; // deletes itself with its window
        ASSERT_TRUE(frame->LoadFrame(0, WS_OVERLAPPEDWINDOW));
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 640, 420, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(bar.Create(L"Phrases", frame->m_hWnd, SIZE{200, 300}, TRUE, 0,
                               WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT));
        ::ShowWindow(frame->m_hWnd, SW_SHOWNOACTIVATE);
        frame->RecalcLayout();
    }
    void TearDown() override
    {
        if (bar.m_hWnd)
            ::DestroyWindow(bar.m_hWnd);
        if (::IsWindow(frame->m_hWnd))
            ::DestroyWindow(frame->m_hWnd);
    }

    RECT BarRect()
    {
        RECT r = {};
        ::GetWindowRect(bar.m_hWnd, &r);
        return r;
    }
    LPARAM ScreenPoint(int x, int y) { return MAKELPARAM(x, y); }
    LPARAM ClientPoint(int screenX, int screenY)
    {
        POINT pt = {screenX, screenY};
        ::ScreenToClient(bar.m_hWnd, &pt);
        return MAKELPARAM(pt.x, pt.y);
    }

    CFrameWnd* frame = nullptr;
    CResizableBarCF bar;
};

} // namespace

TEST_F(ResizableBarFrameTest, DockedBarTakesItsWidthAndOnlyItsInnerEdgeIsDraggable)
{
    const RECT r = BarRect();
    EXPECT_EQ(200, r.right - r.left);
    EXPECT_EQ(2, bar.GetEdgeFlags()); // docked left: the right edge
    const int midY = (r.top + r.bottom) / 2;
    EXPECT_EQ(HTRIGHT, ::SendMessageW(bar.m_hWnd, WM_NCHITTEST, 0, ScreenPoint(r.right - 2, midY)));
    EXPECT_EQ(HTCLIENT, ::SendMessageW(bar.m_hWnd, WM_NCHITTEST, 0, ScreenPoint(r.left + 1, midY)));
    EXPECT_EQ(HTCLIENT, ::SendMessageW(bar.m_hWnd, WM_NCHITTEST, 0, ScreenPoint(r.left + 100, midY)));
    // WM_CLOSE does nothing; the close button hides the bar through the frame.
    ::SendMessageW(bar.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindowVisible(bar.m_hWnd));
    const POINT close = bar.GetCloseButtonOrigin();
    EXPECT_EQ(HTCLOSE, ::SendMessageW(bar.m_hWnd, WM_NCHITTEST, 0,
                                      ScreenPoint(r.left + close.x + 5, r.top + close.y + 5)));
    ::SendMessageW(bar.m_hWnd, WM_NCLBUTTONUP, HTCLOSE, 0);
    EXPECT_FALSE(::IsWindowVisible(bar.m_hWnd));
    EXPECT_TRUE(::IsWindow(bar.m_hWnd));
}

TEST_F(ResizableBarFrameTest, EdgeDragResizesBetweenTheMinimumAndTheFreeSpace)
{
    bar.SetDragShowContent(true);
    const RECT r = BarRect();
    const int y = (r.top + r.bottom) / 2;
    const int edgeX = r.right - 2;
    ::SendMessageW(bar.m_hWnd, WM_NCLBUTTONDOWN, HTRIGHT, ScreenPoint(edgeX, y));
    ASSERT_TRUE(bar.IsTracking());
    struct Step
    {
        int dx;
        int width;
    };
    RECT client = {};
    ::GetClientRect(frame->m_hWnd, &client);
    const Step steps[] = {
        {50, 250},                // follows the mouse, the frame lays out at once
        {-30, 170},               // back
        {-1000, 33},              // never below the minimum
        {5000, client.right - 2}, // never beyond the frame's free area
    };
    for (const Step& s : steps) {
        ::SendMessageW(bar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(edgeX + s.dx, y));
        EXPECT_EQ(s.width, bar.GetVertSize().cx) << s.dx;
        const RECT now = BarRect();
        EXPECT_EQ(s.width, now.right - now.left) << s.dx;
    }
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONUP, 0, ClientPoint(edgeX, y));
    EXPECT_FALSE(bar.IsTracking());
    EXPECT_NE(bar.m_hWnd, ::GetCapture());
}

TEST_F(ResizableBarFrameTest, CaptionFaceIsTahomaOrArial)
{
    const CString face = bar.GetCaptionFontFace();
    EXPECT_TRUE(face == L"Tahoma" || face == L"Arial");
    ::SetWindowTextW(bar.m_hWnd, L"Phrases [3/4]");
    wchar_t text[64] = {};
    ::GetWindowTextW(bar.m_hWnd, text, 64);
    EXPECT_STREQ(L"Phrases [3/4]", text);
}

TEST_F(ResizableBarFrameTest, WithoutContentsWhileDraggingTheEdgeMovesAnOutlineUntilRelease)
{
    bar.SetDragShowContent(false);
    const RECT r = BarRect();
    const int y = (r.top + r.bottom) / 2;
    const int edgeX = r.right - 2;
    ::SendMessageW(bar.m_hWnd, WM_NCLBUTTONDOWN, HTRIGHT, ScreenPoint(edgeX, y));
    ASSERT_TRUE(bar.IsTracking());
    ::SendMessageW(bar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(edgeX + 50, y));
    ::SendMessageW(bar.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(edgeX + 40, y));
    EXPECT_EQ(240, bar.GetVertSize().cx) << "the size follows the mouse";
    EXPECT_EQ(200, BarRect().right - BarRect().left) << "the pane itself waits for the release";
    ::SendMessageW(bar.m_hWnd, WM_LBUTTONUP, 0, ClientPoint(edgeX + 40, y));
    EXPECT_FALSE(bar.IsTracking());
    frame->RecalcLayout();
    EXPECT_EQ(240, BarRect().right - BarRect().left);
}
