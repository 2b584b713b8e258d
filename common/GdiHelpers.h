#pragma once

// Small GDI functions: colour darkening, a rounded frame, fonts made larger or
// smaller, stock font and system brushes.

#include <windows.h>

// Each channel 20 darker, stopping at 0; black is made 20 lighter instead.
COLORREF DarkenColor(COLORREF colour);

// Frames the rectangle (the bottom one pixel lower) with rounded 4 x 4 corners,
// 2 pixels wide, in the colour. FALSE when nothing could be drawn.
BOOL FrameRoundRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
BOOL FrameRoundRect(HDC dc, const RECT& rect, COLORREF colour);

// The header of a 32-bit top-down BI_RGB bitmap of that size (pixels 0xAARRGGBB,
// top row first), as GetDIBits and CreateDIBSection take it.
BITMAPINFO MakeTopDown32BitInfo(int width, int height);

// The stock DEFAULT_GUI_FONT.
HFONT GetDefaultGuiFont();
// The system brush of COLOR_INFOBK when the flag is set, else of COLOR_HIGHLIGHT.
HBRUSH GetInfoOrHighlightBrush(bool info);

// A new font like the given one whose height is delta units larger (grow) or
// smaller in magnitude, keeping the sign of the height. Null when the font
// cannot be read. The caller deletes the new font.
HFONT CreateAdjustedFont(HFONT font, int delta);
HFONT CreateAdjustedFont(HFONT font, int delta, bool grow);
