#include "common/GdiHelpers.h"

#include "common/GdiObjectGuards.h"

namespace
{
constexpr int kDarkenStep = 20;

BYTE Darker(BYTE channel)
{
    return static_cast<BYTE>(channel > kDarkenStep ? channel - kDarkenStep : 0);
}
} // namespace

COLORREF DarkenColor(COLORREF colour)
{
    BYTE red = GetRValue(colour);
    BYTE green = GetGValue(colour);
    BYTE blue = GetBValue(colour);
    if (red == 0 && green == 0 && blue == 0)
        return RGB(kDarkenStep, kDarkenStep, kDarkenStep);
    return RGB(Darker(red), Darker(green), Darker(blue));
}

BOOL FrameRoundRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    GdiObject<HRGN> region(::CreateRoundRectRgn(left, top, right, bottom + 1, 4, 4));
    if (!region)
        return FALSE;
    GdiObject<HBRUSH> brush(::CreateSolidBrush(colour));
    if (!brush)
        return FALSE;
    return ::FrameRgn(dc, region.get(), brush.get(), 2, 2);
}

BOOL FrameRoundRect(HDC dc, const RECT& rect, COLORREF colour)
{
    return FrameRoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, colour);
}

BITMAPINFO MakeTopDown32BitInfo(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HFONT GetDefaultGuiFont()
{
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

HBRUSH GetInfoOrHighlightBrush(bool info)
{
    return ::GetSysColorBrush(info ? COLOR_INFOBK : COLOR_HIGHLIGHT);
}

HFONT CreateAdjustedFont(HFONT font, int delta)
{
    return CreateAdjustedFont(font, delta, true);
}

HFONT CreateAdjustedFont(HFONT font, int delta, bool grow)
{
    LOGFONTW logFont = {};
    if (!font || ::GetObjectW(font, sizeof(logFont), &logFont) != static_cast<int>(sizeof(logFont)))
        return nullptr;
    int step = grow ? delta : -delta;
    logFont.lfHeight += logFont.lfHeight >= 0 ? step : -step;
    return ::CreateFontIndirectW(&logFont);
}
