#include "common/GdiCache.h"
#include "common/GdiHelpers.h"
#include "common/GdiObjectGuards.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
LOGFONTW FontOf(HFONT font)
{
    LOGFONTW logFont = {};
    ::GetObjectW(font, sizeof(logFont), &logFont);
    return logFont;
}

HFONT MakeFont(LONG height, LONG weight = FW_NORMAL)
{
    LOGFONTW logFont = {};
    logFont.lfHeight = height;
    logFont.lfWeight = weight;
    ::lstrcpyW(logFont.lfFaceName, L"Tahoma");
    return ::CreateFontIndirectW(&logFont);
}

// A 32-bit bitmap selected into a memory DC, filled white.
struct Canvas
{
    WindowDC screen;
    GdiObject<HBITMAP> bitmap; // outlives the DC it is selected into
    MemoryDC dc{screen.get()};
    int width;
    int height;

    Canvas(int w, int h) : width(w), height(h)
    {
        BITMAPINFO info = MakeTopDown32BitInfo(w, h);
        void* bits = nullptr;
        bitmap.Reset(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ::SelectObject(dc.get(), bitmap.get());
        RECT all = {0, 0, w, h};
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    COLORREF At(int x, int y) const { return ::GetPixel(dc.get(), x, y) & 0xFFFFFF; }
};

LRESULT CALLBACK NoFontWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(window, message, wParam, lParam);
}

struct Window
{
    HWND hwnd = nullptr;
    explicit Window(const wchar_t* className)
    {
        hwnd =
            ::CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    }
    ~Window()
    {
        if (hwnd)
            ::DestroyWindow(hwnd);
    }
};
} // namespace

TEST(DarkenColor, ChannelsStopAtZero)
{
    struct Case
    {
        COLORREF colour;
        COLORREF expected;
    } cases[] = {
        {RGB(0, 0, 0), RGB(20, 20, 20)},  {RGB(100, 100, 100), RGB(80, 80, 80)},
        {RGB(255, 0, 0), RGB(235, 0, 0)}, {RGB(10, 50, 200), RGB(0, 30, 180)},
        {RGB(20, 21, 19), RGB(0, 1, 0)},  {RGB(255, 255, 255), RGB(235, 235, 235)},
        {RGB(0, 0, 1), RGB(0, 0, 0)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DarkenColor(c.colour), c.expected) << std::hex << c.colour;
}

TEST(CreateAdjustedFont, GrowsAndShrinksTheHeightMagnitude)
{
    struct Case
    {
        LONG height;
        int delta;
        bool grow;
        LONG expected;
    } cases[] = {
        {-12, 2, true, -14}, {12, 2, true, 14}, {-12, 2, false, -10}, {12, 2, false, 10}, {0, 3, true, 3},
    };
    for (const Case& c : cases) {
        GdiObject<HFONT> source(MakeFont(c.height, FW_BOLD));
        GdiObject<HFONT> adjusted(CreateAdjustedFont(source.get(), c.delta, c.grow));
        ASSERT_TRUE(adjusted);
        LOGFONTW result = FontOf(adjusted.get());
        EXPECT_EQ(result.lfHeight, c.expected) << "height " << c.height;
        EXPECT_EQ(result.lfWeight, FW_BOLD);
        EXPECT_STREQ(result.lfFaceName, L"Tahoma");
    }

    GdiObject<HFONT> source(MakeFont(-11));
    GdiObject<HFONT> larger(CreateAdjustedFont(source.get(), 2));
    EXPECT_EQ(FontOf(larger.get()).lfHeight, -13);

    EXPECT_EQ(CreateAdjustedFont(nullptr, 2), nullptr);
    GdiObject<HBRUSH> notAFont(::CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_EQ(CreateAdjustedFont(reinterpret_cast<HFONT>(notAFont.get()), 2), nullptr);
}

TEST(FrameRoundRect, DrawsATwoPixelRoundedFrame)
{
    Canvas canvas(60, 60);
    const COLORREF red = RGB(255, 0, 0);
    ASSERT_TRUE(FrameRoundRect(canvas.dc.get(), 10, 10, 50, 40, red));

    auto redBetween = [&](int x0, int x1, int y0, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (canvas.At(x, y) == red)
                    return true;
        return false;
    };
    EXPECT_EQ(canvas.At(10, 25), red); // left edge, 2 pixels wide
    EXPECT_EQ(canvas.At(11, 25), red);
    EXPECT_EQ(canvas.At(30, 10), red); // top edge
    EXPECT_EQ(canvas.At(30, 11), red);
    EXPECT_TRUE(redBetween(46, 49, 25, 25)) << "right edge";
    EXPECT_TRUE(redBetween(30, 30, 38, 40)) << "bottom edge, the region reaching one pixel lower";
    EXPECT_FALSE(redBetween(12, 44, 12, 36)) << "inside stays untouched";
    EXPECT_FALSE(redBetween(50, 59, 0, 59)) << "nothing right of the rectangle";
    EXPECT_FALSE(redBetween(0, 59, 41, 59)) << "nothing below the grown bottom";
    EXPECT_EQ(canvas.At(10, 10), RGB(255, 255, 255)); // rounded corner

    RECT rect = {0, 0, 20, 20};
    Canvas other(30, 30);
    EXPECT_TRUE(FrameRoundRect(other.dc.get(), rect, RGB(0, 0, 255)));
    EXPECT_EQ(other.At(0, 10), RGB(0, 0, 255));
}

TEST(GdiCache, FontsFromTheNonClientMetrics)
{
    HFONT bold = GetBoldCaptionFont();
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(bold, GetBoldCaptionFont()) << "made once";
    LOGFONTW boldFont = FontOf(bold);
    EXPECT_EQ(boldFont.lfWeight, FW_BOLD);
    EXPECT_STREQ(boldFont.lfFaceName, L"MS Shell Dlg");

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    EXPECT_EQ(boldFont.lfHeight, metrics.lfCaptionFont.lfHeight);

    LOGFONTW small = FontOf(GetBoldSmallCaptionFont());
    EXPECT_EQ(small.lfWeight, FW_BOLD);
    EXPECT_EQ(small.lfHeight, metrics.lfSmCaptionFont.lfHeight);
    EXPECT_FALSE(small.lfItalic);

    LOGFONTW italic = FontOf(GetItalicSmallCaptionFont());
    EXPECT_EQ(italic.lfWeight, FW_NORMAL);
    EXPECT_TRUE(italic.lfItalic);
    EXPECT_STREQ(italic.lfFaceName, L"MS Shell Dlg");
}

TEST(GdiCache, PensBrushAndColours)
{
    LOGPEN pen = {};
    ASSERT_EQ(::GetObjectW(GetBluePen(), sizeof(pen), &pen), static_cast<int>(sizeof(pen)));
    EXPECT_EQ(pen.lopnWidth.x, 2);
    EXPECT_EQ(pen.lopnColor, RGB(0, 0, 255));
    ASSERT_EQ(::GetObjectW(GetRedPen(), sizeof(pen), &pen), static_cast<int>(sizeof(pen)));
    EXPECT_EQ(pen.lopnColor, RGB(255, 0, 0));
    EXPECT_EQ(GetRedPen(), GetRedPen());

    LOGBRUSH brush = {};
    ASSERT_EQ(::GetObjectW(GetRedBrush(), sizeof(brush), &brush), static_cast<int>(sizeof(brush)));
    EXPECT_EQ(brush.lbColor, RGB(255, 0, 0));

    EXPECT_EQ(GetRedColor(), RGB(255, 0, 0));
    EXPECT_EQ(GetRedColor2(), RGB(255, 0, 0));
    EXPECT_EQ(GetGreenColor(), RGB(0, 128, 0));
    EXPECT_EQ(GetGreenColor2(), RGB(0, 128, 0));
    EXPECT_EQ(GetBlueColor(), RGB(0, 0, 255));
    EXPECT_EQ(GetOrangeColor(), RGB(255, 123, 60));
    EXPECT_EQ(GetStateColor(true), GetOrangeColor());
    EXPECT_EQ(GetStateColor(false), GetRedColor());

    EXPECT_EQ(GetDefaultGuiFont(), ::GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(GetInfoOrHighlightBrush(true), ::GetSysColorBrush(COLOR_INFOBK));
    EXPECT_EQ(GetInfoOrHighlightBrush(false), ::GetSysColorBrush(COLOR_HIGHLIGHT));
}

TEST(GdiCache, WindowFontMadeFromTheFirstWindowWithAFont)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = NoFontWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ScvGdiTestsNoFont";
    ::RegisterClassW(&windowClass);

    Window noFont(L"ScvGdiTestsNoFont");
    ASSERT_NE(noFont.hwnd, nullptr);
    EXPECT_EQ(GetCachedWindowFont(noFont.hwnd), nullptr) << "nothing to copy yet";

    Window withFont(L"STATIC");
    ASSERT_NE(withFont.hwnd, nullptr);
    GdiObject<HFONT> font(MakeFont(-11));
    ::SendMessageW(withFont.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);

    HFONT cached = GetCachedWindowFont(withFont.hwnd);
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(FontOf(cached).lfHeight, -13);
    EXPECT_EQ(GetCachedWindowFont(noFont.hwnd), cached) << "kept for the process";
}
