// test-locks: desktop
#include "editor/controls/CueTextPainter.h"

#include <gtest/gtest.h>

namespace
{

class TestPainter : public CCueTextPainter
{
public:
    explicit TestPainter(const HWND* host) : CCueTextPainter(host) {}
    bool ShouldShow() override { return due; }
    CString GetText() override { return text; }
    bool due = true;
    CString text = L"Type here";
};

class TestResourcePainter : public CResourceCueTextPainter
{
public:
    explicit TestResourcePainter(const HWND* host) : CResourceCueTextPainter(host, 61210) {}
    bool ShouldShow() override { return true; }
};

bool HasUpdate(HWND window)
{
    RECT update = {};
    return ::GetUpdateRect(window, &update, FALSE) != FALSE;
}

void Validate(HWND window)
{
    ::ValidateRect(window, nullptr);
}

COLORREF CentrePixelAfterPaint(TestPainter& painter, HWND window)
{
    HDC screen = ::GetDC(window);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 200, 100);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT all = {0, 0, 200, 100};
    ::FillRect(memory, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    painter.Paint(memory);
    const COLORREF corner = ::GetPixel(memory, 2, 2);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, screen);
    return corner;
}

TEST(CueTextPainter, WaitsForItsHostAndPaintsOnlyWithAText)
{
    HWND host = nullptr;
    TestPainter painter(&host);
    painter.SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))); // no window yet: nothing
    painter.Refresh();

    host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_TRUE(host);
    Validate(host);
    painter.Refresh();
    EXPECT_TRUE(HasUpdate(host));

    // Painting fills the client area with the background colour.
    EXPECT_EQ(CentrePixelAfterPaint(painter, host), ::GetSysColor(COLOR_WINDOW));
    // Without a text nothing is painted, the host's own painting stays.
    painter.text.Empty();
    EXPECT_EQ(CentrePixelAfterPaint(painter, host), RGB(0, 0, 0));

    Validate(host);
    painter.due = false;
    painter.Refresh();
    EXPECT_FALSE(HasUpdate(host));
    ::DestroyWindow(host);
}

TEST(CueTextPainter, SettingTheSameTextIdAgainDoesNotRedraw)
{
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    TestResourcePainter painter(&host);
    EXPECT_TRUE(painter.GetFont());
    Validate(host);
    painter.SetTextId(61210);
    EXPECT_FALSE(HasUpdate(host));
    painter.SetTextId(136);
    EXPECT_TRUE(HasUpdate(host));
    EXPECT_EQ(painter.GetTextId(), 136u);
    ::DestroyWindow(host);
}

} // namespace
