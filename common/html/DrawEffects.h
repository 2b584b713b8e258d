#pragma once

// Pixel operations on device contexts and bitmaps for the HTML tooltip:
// opacity and alpha blending, shadows with a box blur, colour filters for
// images, transparent drawing of bitmaps, icons and image-list frames,
// background fills (solid, gradients, textures), tiling, lines and borders.
// Pixel work happens on 32-bit DIB sections; nothing is drawn when one cannot
// be made.

#include <windows.h>

namespace DrawEffects
{

// Image filter flags.
enum FilterFlags : UINT
{
    kFilterGrey = 0x01,
    kFilterDarken = 0x02,
    kFilterLighten = 0x04,
    kFilterFill = 0x08,
    kImageShadow = 0x100,
    kImageShadowBlur = 0x200,
    kFilterInvert = 0x8000,
};

// Per-channel pixel functions (pixels are 0xAARRGGBB words).
DWORD Grey(DWORD pixel);
DWORD Invert(DWORD pixel);
DWORD Darken(DWORD pixel, double factor);
DWORD Lighten(DWORD pixel, double factor);
DWORD Mix(DWORD a, double p, DWORD b, double q);

// opacity >= 100 copies the source; below, each pixel is mixed with the
// destination by opacity / 100; 0 leaves the destination as it is.
void BlendOpacity(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int opacity);
// Each pixel mixed with the destination by the source pixel's alpha.
void BlendAlpha(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy);

// A 32-bit copy of the bitmap (w x h) with the filter flags applied to every
// pixel that is not the mask colour; mask-coloured pixels become 0. The
// caller deletes the result. `hadAlpha` (optional) tells whether any source
// pixel had a non-zero alpha byte.
HBITMAP FilterBitmap(HBITMAP bitmap, int w, int h, UINT flags, bool masked, COLORREF maskColor,
                     COLORREF fillColor, bool* hadAlpha = nullptr);

// Darkens the destination rectangle through the mask (its blue byte, 255 =
// unchanged); with blur the mask is shrunk by the blur sizes (even sizes made
// odd), centred and box-blurred first.
void DrawShadow(HDC dest, int x, int y, int w, int h, HBITMAP mask, bool blur, int blurWidth, int blurHeight);

// The odd blur size used for a requested size (6 gives 7).
int OddBlurSize(int size);

struct ImageShadow
{
    bool enabled = false;
    int dx = 4;
    int dy = 4;
    int blurWidth = 7;
    int blurHeight = 7;
};

void DrawBitmap(HDC dest, int x, int y, int w, int h, HBITMAP bitmap, bool masked, COLORREF maskColor,
                UINT styleFlags, const ImageShadow& shadow = ImageShadow());
void DrawIcon(HDC dest, int x, int y, int w, int h, HICON icon, UINT styleFlags,
              const ImageShadow& shadow = ImageShadow());
// Frame n of a grid of frameWidth x frameHeight frames; nothing for a frame
// beyond the grid or a zero size.
void DrawImageListFrame(HDC dest, int x, int y, int w, int h, HBITMAP bitmap, int frame, int frameWidth,
                        int frameHeight, bool masked, COLORREF maskColor, UINT styleFlags,
                        const ImageShadow& shadow = ImageShadow());
// The size of an icon (twice its hot spot).
SIZE IconSize(HICON icon);
SIZE BitmapSize(HBITMAP bitmap);

// Background fill by effect code (0 solid, 1-6 gradients, 7-15 textures).
void Fill(HDC dest, int effect, const RECT& rect, COLORREF begin, COLORREF middle, COLORREF end,
          int granularity, int blendPercent);
// A two-colour gradient in 64 bands (empty bands skipped).
void Gradient(HDC dest, const RECT& rect, COLORREF begin, COLORREF end, bool horizontal);

void Tile(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int tileWidth, int tileHeight);
void DrawLine(HDC dest, int x1, int y1, int x2, int y2, COLORREF color, int style, int width);
void DrawBorder(HDC dest, const RECT& rect, COLORREF light, COLORREF dark, int style, int width);
// A copy of the icon stretched to the size; the caller destroys it.
HICON ScaleIcon(HICON icon, int width, int height);

} // namespace DrawEffects
