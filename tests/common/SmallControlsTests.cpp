// test-locks: desktop
#include "common/ArrowButton.h"
#include "common/HintEdit.h"
#include "common/ResizeNoBorderSubclasser.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "platform/CWindow.h"
#include "tests/support/MessagePump.h"

namespace
{
const int kButtonId = 501;

// A top-level parent that records, for each BN_CLICKED of the arrow button,
// whether the button said the arrow was pressed.
class ControlsFixture : public ::testing::Test
{
protected:
    static ControlsFixture*& Current()
    {
        static ControlsFixture* current = nullptr;
        return current;
    }

    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COMMAND && LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED &&
            Current()) {
            Current()->m_clicks.push_back(Current()->m_button.IsArrowPressed());
            return 0;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    void SetUp() override
    {
        static ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &ControlsFixture::ParentProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ScvControlsParent";
            wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            return ::RegisterClassW(&wc);
        }();
        ASSERT_NE(atom, 0);
        Current() = this;
        m_parent =
            ::CreateWindowExW(WS_EX_TOPMOST, L"ScvControlsParent", L"Controls", WS_POPUP | WS_VISIBLE, 50, 50,
                              300, 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
        ::SetForegroundWindow(m_parent);
    }

    void TearDown() override
    {
        if (m_parent)
            ::DestroyWindow(m_parent);
        Current() = nullptr;
    }

    HWND CreateChild(LPCWSTR className, LPCWSTR text, DWORD style, int id, RECT r)
    {
        return ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, m_parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    }

    void Paint(HWND window)
    {
        ::InvalidateRect(window, nullptr, TRUE);
        ::UpdateWindow(window);
        scvtest::PumpFor(30);
    }

    // Presses and releases the left button on the client point by messages,
    // with the cursor put there first.
    void Click(HWND window, POINT point)
    {
        POINT screen = point;
        ::ClientToScreen(window, &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        ::SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    }

    HWND m_parent = nullptr;
    CArrowButton m_button;
    std::vector<bool> m_clicks;
};

// Counts the pixels of a colour in a window's client area as it is on screen.
int CountPixels(HWND window, COLORREF colour)
{
    RECT client = {};
    ::GetClientRect(window, &client);
    HDC dc = ::GetDC(window);
    int count = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            count += ::GetPixel(dc, x, y) == colour ? 1 : 0;
    ::ReleaseDC(window, dc);
    return count;
}
} // namespace

TEST_F(ControlsFixture, HintEditShowsItsHintOnlyWhileEmptyAndUnfocused)
{
    HWND edit = CreateChild(L"EDIT", L"", ES_AUTOHSCROLL, 502, {10, 10, 280, 40});
    HWND other = CreateChild(L"BUTTON", L"x", BS_PUSHBUTTON, 503, {10, 100, 60, 130});
    ASSERT_NE(edit, nullptr);
    ::SetFocus(other);
    CHintEdit hintEdit;
    ASSERT_TRUE(hintEdit.SubclassWindow(edit));
    EXPECT_FALSE(hintEdit.ShowsHint());
    hintEdit.SetHintText(L"Type a search word here");
    EXPECT_STREQ(hintEdit.GetHintText().GetString(), L"Type a search word here");
    ASSERT_TRUE(hintEdit.ShowsHint());
    const COLORREF gray = ::GetSysColor(COLOR_GRAYTEXT);
    const int before = CountPixels(edit, gray);
    Paint(edit);
    EXPECT_GT(CountPixels(edit, gray), before);

    ::SetWindowTextW(edit, L"typed");
    EXPECT_FALSE(hintEdit.ShowsHint());
    ::SetWindowTextW(edit, L"");
    ::SetFocus(edit);
    EXPECT_FALSE(hintEdit.ShowsHint());
    Paint(edit);
    hintEdit.SetHintText(nullptr);
    EXPECT_TRUE(hintEdit.GetHintText().IsEmpty());
}

TEST_F(ControlsFixture, ArrowButtonDrawsItsArrowAndTellsArrowClicks)
{
    HWND button = CreateChild(L"BUTTON", L"Options", BS_PUSHBUTTON, kButtonId, {10, 10, 160, 40});
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(m_button.SubclassWindow(button));
    EXPECT_TRUE(::IsRectEmpty(&m_button.GetPaintedArrowRect()));
    Paint(button);

    RECT client = {};
    ::GetClientRect(button, &client);
    const RECT painted = m_button.GetPaintedArrowRect();
    EXPECT_EQ(painted.right, client.right - 2);
    EXPECT_EQ(painted.right - painted.left, CArrowButton::ARROW_WIDTH + 4);
    EXPECT_EQ(painted.top, 2);
    EXPECT_EQ(painted.bottom, client.bottom - 2);

    // A click on the text part.
    Click(button, POINT{20, 15});
    ASSERT_EQ(m_clicks.size(), 1u);
    EXPECT_FALSE(m_clicks[0]);
    EXPECT_FALSE(m_button.IsArrowPressed());

    // A click on the arrow: set while the parent handles the click, cleared after.
    Click(button, POINT{painted.right - 6, (painted.top + painted.bottom) / 2});
    ASSERT_EQ(m_clicks.size(), 2u);
    EXPECT_TRUE(m_clicks[1]);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !m_button.IsArrowPressed(); }, 1000));

    // The hover state of the arrow follows the mouse; text changes redraw.
    ::SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(painted.right - 6, 15));
    EXPECT_FALSE(m_button.IsCursorOutsideArrow());
    Paint(button);
    ::SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(m_button.IsCursorOutsideArrow());
    ::SetWindowTextW(button, L"Other text");
    Paint(button);
}

TEST(ResizeNoBorderEdgeCodes, TableOfBands)
{
    const RECT window = {100, 100, 300, 200};
    struct Case
    {
        POINT point;
        LRESULT code;
    };
    const Case cases[] = {
        {{100, 100}, HTTOPLEFT},  {{101, 150}, HTLEFT},   {{100, 199}, HTBOTTOMLEFT},
        {{200, 101}, HTTOP},      {{200, 150}, HTCLIENT}, {{200, 198}, HTBOTTOM},
        {{299, 100}, HTTOPRIGHT}, {{298, 150}, HTRIGHT},  {{299, 199}, HTBOTTOMRIGHT},
        {{103, 150}, HTCLIENT},   {{50, 50}, HTCLIENT},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CResizeNoBorderSubclasser::EdgeHitCode(window, c.point, 2, 2), c.code)
            << c.point.x << "," << c.point.y;
}

TEST_F(ControlsFixture, ResizeNoBorderEdgeModeAnswersSizingCodes)
{
    CWindow window(m_parent);
    CResizeNoBorderSubclasser subclasser(&window);
    EXPECT_EQ(subclasser.Install(7), 0);
    EXPECT_EQ(::GetPropW(m_parent, CResizeNoBorderSubclasser::PROPERTY_NAME), nullptr);
    ASSERT_EQ(subclasser.Install(CResizeNoBorderSubclasser::ModeEdgeHitTest), 1);
    EXPECT_EQ(subclasser.Install(CResizeNoBorderSubclasser::ModeEdgeHitTest), 0);

    RECT rect = {};
    ::GetWindowRect(m_parent, &rect);
    auto hit = [&](int x, int y) { return ::SendMessageW(m_parent, WM_NCHITTEST, 0, MAKELPARAM(x, y)); };
    EXPECT_EQ(hit(rect.left, rect.top), HTTOPLEFT);
    EXPECT_EQ(hit(rect.right - 1, rect.bottom - 1), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(rect.left + 1, (rect.top + rect.bottom) / 2), HTLEFT);
    EXPECT_EQ(hit((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2), HTCLIENT);

    EXPECT_EQ(subclasser.Remove(), 1);
    EXPECT_EQ(hit(rect.left, rect.top), HTCLIENT);
    EXPECT_EQ(subclasser.Remove(), 0);
}

TEST_F(ControlsFixture, ResizeNoBorderFrameModeAddsAndDropsTheFrame)
{
    CWindow window(m_parent);
    CResizeNoBorderSubclasser subclasser(&window);
    ASSERT_EQ(subclasser.Install(CResizeNoBorderSubclasser::ModeThickFrame), 1);
    RECT rect = {};
    ::GetWindowRect(m_parent, &rect);
    ::SetCursorPos(rect.right + 100, rect.bottom + 100);

    const LRESULT code =
        ::SendMessageW(m_parent, WM_NCHITTEST, 0, MAKELPARAM(rect.left, (rect.top + rect.bottom) / 2));
    EXPECT_EQ(code, HTLEFT);
    EXPECT_NE(::GetWindowLongPtrW(m_parent, GWL_STYLE) & WS_THICKFRAME, 0);
    // The cursor is elsewhere: the watcher takes the frame away.
    EXPECT_TRUE(scvtest::PumpUntil(
        [&] { return (::GetWindowLongPtrW(m_parent, GWL_STYLE) & WS_THICKFRAME) == 0; }, 3000));

    // Destroying the window removes the subclass on the way.
    ::DestroyWindow(m_parent);
    m_parent = nullptr;
    EXPECT_FALSE(subclasser.IsInstalled());
}
