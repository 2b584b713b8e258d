// A resizable bar docked at the left of a real frame: its layout width, edge hit-testing, an edge drag
// driven by mouse messages with its limits, the close button (its hot and pushed states) and WM_CLOSE,
// and the caption strip's colours while the focus is inside the bar or not, with and without gradient
// captions.
// test-locks: desktop

#include "editor/controls/ResizableBar.h"
#include "platform/docview/FrameWnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace
{

class ResizableBarFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = new CFrameWnd; // deletes itself with its window, or when it cannot be made
        if (!frame->LoadFrame(0, WS_OVERLAPPEDWINDOW)) {
            frame = nullptr;
            FAIL() << "the frame could not be made";
        }
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
        if (frame && ::IsWindow(frame->m_hWnd))
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

    // The close button's middle, in screen coordinates.
    POINT CloseButtonMiddle()
    {
        const RECT r = BarRect();
        const POINT origin = bar.GetCloseButtonOrigin();
        return POINT{r.left + origin.x + 5, r.top + origin.y + 5};
    }
    // A pixel of the bar's window (window coordinates) as it was painted.
    COLORREF WindowPixel(int x, int y)
    {
        HDC dc = ::GetWindowDC(bar.m_hWnd);
        const COLORREF color = ::GetPixel(dc, x, y);
        ::ReleaseDC(bar.m_hWnd, dc);
        return color;
    }
    // The close button's 11 x 11 pixels as they are painted now.
    std::vector<COLORREF> CloseButtonPixels()
    {
        const POINT origin = bar.GetCloseButtonOrigin();
        HDC dc = ::GetWindowDC(bar.m_hWnd);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 11; ++x)
                pixels.push_back(::GetPixel(dc, origin.x + x, origin.y + y));
        ::ReleaseDC(bar.m_hWnd, dc);
        return pixels;
    }

    // The first and last pixel of the caption strip, in the middle of its height (the strip runs along
    // the top of the bar, up to the close button).
    std::pair<COLORREF, COLORREF> CaptionEnds()
    {
        ::SendMessageW(bar.m_hWnd, WM_NCPAINT, 1, 0);
        RECT client = {};
        ::GetClientRect(bar.m_hWnd, &client);
        ::MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
        const RECT r = BarRect();
        const POINT origin = bar.GetCloseButtonOrigin();
        const int y = origin.y + 5;
        return {WindowPixel(client.left - r.left + 1, y), WindowPixel(origin.x - 5, y)};
    }

    CFrameWnd* frame = nullptr;
    CResizableBarCF bar;
};

// Sets the system's gradient-caption setting for this session and puts the old one back.
class GradientCaptionsScope
{
public:
    explicit GradientCaptionsScope(bool on)
    {
        ::SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &m_old, 0);
        ::SystemParametersInfoW(SPI_SETGRADIENTCAPTIONS, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(on)),
                                0);
    }
    ~GradientCaptionsScope()
    {
        ::SystemParametersInfoW(SPI_SETGRADIENTCAPTIONS, 0,
                                reinterpret_cast<void*>(static_cast<INT_PTR>(m_old)), 0);
    }
    static bool IsOn()
    {
        BOOL on = FALSE;
        ::SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &on, 0);
        return on != FALSE;
    }

private:
    BOOL m_old = FALSE;
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

TEST_F(ResizableBarFrameTest, CloseButtonIsHotUnderTheMouseAndPushedWhileTheButtonIsDown)
{
    const POINT middle = CloseButtonMiddle();
    const LPARAM at = ScreenPoint(middle.x, middle.y);
    const std::vector<COLORREF> plain = CloseButtonPixels();
    ::SendMessageW(bar.m_hWnd, WM_NCMOUSEMOVE, HTCLOSE, at);
    const std::vector<COLORREF> hot = CloseButtonPixels();
    EXPECT_NE(hot, plain) << "the button shows hot under the mouse";
    ::SendMessageW(bar.m_hWnd, WM_NCMOUSEMOVE, HTCLIENT, ScreenPoint(middle.x + 40, middle.y + 40));
    EXPECT_EQ(CloseButtonPixels(), plain) << "the mouse left the button";
    ::SendMessageW(bar.m_hWnd, WM_NCLBUTTONDOWN, HTCLOSE, at);
    const std::vector<COLORREF> pushed = CloseButtonPixels();
    EXPECT_NE(pushed, plain) << "the button shows pushed while the button is down";
    EXPECT_NE(pushed, hot);
    EXPECT_TRUE(::IsWindowVisible(bar.m_hWnd)) << "only the release closes";
    ::SendMessageW(bar.m_hWnd, WM_NCLBUTTONUP, HTCLOSE, at);
    EXPECT_FALSE(::IsWindowVisible(bar.m_hWnd));
}

TEST_F(ResizableBarFrameTest, TheFramesIdleUpdateReadsTheCloseButtonStateFromTheCursor)
{
    const POINT middle = CloseButtonMiddle();
    ::SetCursorPos(middle.x + 100, middle.y + 100);
    frame->OnIdleUpdateCmdUI();
    const std::vector<COLORREF> plain = CloseButtonPixels();
    POINT now = {};
    ASSERT_TRUE(::SetCursorPos(middle.x, middle.y) && ::GetCursorPos(&now));
    ASSERT_EQ(now.x, middle.x) << "the cursor is placed on the button";
    ASSERT_EQ(now.y, middle.y);
    frame->OnIdleUpdateCmdUI();
    EXPECT_NE(CloseButtonPixels(), plain) << "the button under the cursor shows hot";
    ::SetCursorPos(middle.x + 100, middle.y + 100);
    frame->OnIdleUpdateCmdUI();
    EXPECT_EQ(CloseButtonPixels(), plain);
}

TEST_F(ResizableBarFrameTest, CaptionKeepsTheButtonFaceWhetherTheFocusIsInsideTheBarOrNot)
{
    ::SetWindowTextW(bar.m_hWnd, L""); // the strip's pixels are all background
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, bar.m_hWnd,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, edit);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (const bool active : {true, false}) {
        const auto colors = bar.GetCaptionColors(active);
        EXPECT_EQ(face, colors.first) << active;
        EXPECT_EQ(face, colors.gradient) << active;
        EXPECT_EQ(::GetSysColor(COLOR_BTNTEXT), colors.text) << active;
    }
    for (const bool gradient : {false, true}) {
        GradientCaptionsScope scope(gradient);
        ASSERT_EQ(GradientCaptionsScope::IsOn(), gradient) << "the gradient-caption setting cannot be changed";
        SCOPED_TRACE(gradient ? "gradient" : "solid");
        ::SetFocus(edit);
        frame->OnIdleUpdateCmdUI();
        EXPECT_TRUE(bar.IsActive());
        const auto [start, end] = CaptionEnds();
        EXPECT_EQ(face, start);
        EXPECT_EQ(face, end);

        ::SetFocus(frame->m_hWnd);
        frame->OnIdleUpdateCmdUI();
        EXPECT_FALSE(bar.IsActive());
        const auto [inactiveStart, inactiveEnd] = CaptionEnds();
        EXPECT_EQ(face, inactiveStart);
        EXPECT_EQ(face, inactiveEnd);
    }
}

TEST_F(ResizableBarFrameTest, SizeStateRoundTripsThroughTheProfileAndKeepsTheMinimums)
{
    constexpr wchar_t kProfile[] = L"ScrivolanterTestsSizeState";
    wchar_t keyPath[300] = {};
    _snwprintf(keyPath, 299, L"Software\\Scrivolanter\\%ls-SCBar-%d", kProfile, ::GetDlgCtrlID(bar.m_hWnd));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, keyPath);
    const SIZE horz = bar.GetHorzSize();
    const SIZE vert = bar.GetVertSize();
    const SIZE floating = bar.GetFloatSize();
    EXPECT_FALSE(bar.LoadSizeState(kProfile)) << "nothing stored yet";
    ASSERT_TRUE(bar.SaveSizeState(kProfile));

    // Stored values come back; one below its minimum is raised to it.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key));
    const DWORD wide = static_cast<DWORD>(horz.cx + 40);
    const DWORD tiny = 1;
    ::RegSetValueExW(key, L"sizeHorzCX", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&wide), sizeof(wide));
    ::RegSetValueExW(key, L"sizeFloatCY", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&tiny), sizeof(tiny));
    ::RegCloseKey(key);
    EXPECT_TRUE(bar.LoadSizeState(kProfile));
    EXPECT_EQ(horz.cx + 40, bar.GetHorzSize().cx);
    EXPECT_EQ(horz.cy, bar.GetHorzSize().cy);
    EXPECT_EQ(vert.cx, bar.GetVertSize().cx);
    EXPECT_EQ(vert.cy, bar.GetVertSize().cy);
    EXPECT_EQ(floating.cx, bar.GetFloatSize().cx);
    EXPECT_GT(bar.GetFloatSize().cy, 1) << "raised to the floating minimum height";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, keyPath);
}
