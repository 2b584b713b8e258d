#pragma once

// Process-wide GDI objects and fixed colours. Each object is created on first
// use and kept for the life of the process: callers never delete them. A
// creation that fails is tried again on the next call.

#include <windows.h>

// Fonts from the system's non-client metrics with the face "MS Shell Dlg":
// the caption font in bold, the small-caption font in bold, and the
// small-caption font in normal weight and italic. Null when the metrics
// cannot be read.
HFONT GetBoldCaptionFont();
HFONT GetBoldSmallCaptionFont();
HFONT GetItalicSmallCaptionFont();
// The status font of the non-client metrics in normal weight, same face.
HFONT GetStatusFont();

// A font two units larger than the font of the first window passed (its
// WM_GETFONT font, else the font of its list-view tooltip). Null while no
// window passed so far had a font.
HFONT GetCachedWindowFont(HWND window);

// Solid pens 2 pixels wide and a solid brush.
HPEN GetBluePen();
HPEN GetRedPen();
HBRUSH GetRedBrush();

// Fixed colours.
COLORREF GetRedColor();    // 0x0000FF
COLORREF GetRedColor2();   // 0x0000FF
COLORREF GetGreenColor();  // 0x008000
COLORREF GetGreenColor2(); // 0x008000
COLORREF GetBlueColor();   // 0xFF0000
COLORREF GetOrangeColor(); // 0x3C7BFF
// Orange when the flag is set, red when it is clear.
COLORREF GetStateColor(bool flag);
