#include "common/html/DrawEffects.h"

#include "common/GdiHelpers.h"
#include "common/GdiObjectGuards.h"
#include "common/html/PaletteBitmap.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace DrawEffects
{
namespace
{

// A top-down 32-bit DIB section selected into its own memory DC.
class Dib32
{
public:
    Dib32(int width, int height) : m_width(width), m_height(height)
    {
        if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
            return;
        BITMAPINFO info = MakeTopDown32BitInfo(width, height);
        void* bits = nullptr;
        m_bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!m_bitmap)
            return;
        m_dc = ::CreateCompatibleDC(nullptr);
        if (!m_dc)
            return;
        m_previous = ::SelectObject(m_dc, m_bitmap);
        m_bits = static_cast<DWORD*>(bits);
    }
    ~Dib32()
    {
        if (m_dc) {
            ::SelectObject(m_dc, m_previous);
            ::DeleteDC(m_dc);
        }
        if (m_bitmap)
            ::DeleteObject(m_bitmap);
    }
    Dib32(const Dib32&) = delete;
    Dib32& operator=(const Dib32&) = delete;

    bool Ok() const { return m_bits != nullptr; }
    HDC Dc() const { return m_dc; }
    DWORD* Bits() const { return m_bits; }
    size_t Count() const { return static_cast<size_t>(m_width) * m_height; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void Flush() const { ::GdiFlush(); }
    void FillWith(DWORD value) const { std::fill(m_bits, m_bits + Count(), value); }

private:
    int m_width;
    int m_height;
    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_bits = nullptr;
};

BYTE Channel(DWORD pixel, int shift)
{
    return static_cast<BYTE>((pixel >> shift) & 0xFF);
}

DWORD MakePixel(int red, int green, int blue, DWORD alphaFrom)
{
    auto cut = [](int value) { return static_cast<DWORD>(std::clamp(value, 0, 255)); };
    return (alphaFrom & 0xFF000000) | (cut(red) << 16) | (cut(green) << 8) | cut(blue);
}

DWORD PixelOfColor(COLORREF color)
{
    return (static_cast<DWORD>(GetRValue(color)) << 16) | (static_cast<DWORD>(GetGValue(color)) << 8) |
           GetBValue(color);
}

bool SameRgb(DWORD pixel, COLORREF color)
{
    return (pixel & 0x00FFFFFF) == PixelOfColor(color);
}

DWORD ApplyFilter(DWORD pixel, UINT flags, COLORREF fillColor)
{
    if (flags & kFilterGrey)
        pixel = Grey(pixel);
    if (flags & kFilterDarken)
        pixel = Darken(pixel, 0.75);
    if (flags & kFilterLighten)
        pixel = Lighten(pixel, 0.25);
    if (flags & kFilterFill)
        pixel = (pixel & 0xFF000000) | PixelOfColor(fillColor);
    return pixel;
}

// Copies w x h of the device context into the buffer.
bool Capture(const Dib32& buffer, HDC source, int sx, int sy)
{
    return buffer.Ok() &&
           ::BitBlt(buffer.Dc(), 0, 0, buffer.Width(), buffer.Height(), source, sx, sy, SRCCOPY);
}

void PutBack(const Dib32& buffer, HDC dest, int x, int y)
{
    ::BitBlt(dest, x, y, buffer.Width(), buffer.Height(), buffer.Dc(), 0, 0, SRCCOPY);
}

// The image of a bitmap, w x h, in a 32-bit buffer (stretched when sizes differ).
bool LoadScaled(const Dib32& buffer, HBITMAP bitmap, int sx, int sy, int sw, int sh)
{
    if (!buffer.Ok() || !bitmap)
        return false;
    MemoryDC source(buffer.Dc());
    if (!source)
        return false;
    SelectedObject selected(source.get(), bitmap);
    if (sw == buffer.Width() && sh == buffer.Height())
        return ::BitBlt(buffer.Dc(), 0, 0, sw, sh, source.get(), sx, sy, SRCCOPY) != 0;
    ::SetStretchBltMode(buffer.Dc(), COLORONCOLOR);
    return ::StretchBlt(buffer.Dc(), 0, 0, buffer.Width(), buffer.Height(), source.get(), sx, sy, sw, sh,
                        SRCCOPY) != 0;
}

// Box blur over a window of bw x bh with running sums; pixels outside count as 255.
std::vector<int> BoxBlur(const std::vector<int>& values, int w, int h, int bw, int bh)
{
    int rx = bw / 2;
    int ry = bh / 2;
    std::vector<int> rows(values.size());
    for (int y = 0; y < h; ++y) {
        int sum = 0;
        for (int k = -rx; k <= rx; ++k)
            sum += (k < 0 || k >= w) ? 255 : values[static_cast<size_t>(y) * w + k];
        for (int x = 0; x < w; ++x) {
            rows[static_cast<size_t>(y) * w + x] = sum;
            int out = x - rx;
            int in = x + rx + 1;
            sum -= (out < 0 || out >= w) ? 255 : values[static_cast<size_t>(y) * w + out];
            sum += (in < 0 || in >= w) ? 255 : values[static_cast<size_t>(y) * w + in];
        }
    }
    std::vector<int> result(values.size());
    int outsideRow = 255 * bw;
    for (int x = 0; x < w; ++x) {
        int sum = 0;
        for (int k = -ry; k <= ry; ++k)
            sum += (k < 0 || k >= h) ? outsideRow : rows[static_cast<size_t>(k) * w + x];
        for (int y = 0; y < h; ++y) {
            result[static_cast<size_t>(y) * w + x] = sum / (bw * bh);
            int out = y - ry;
            int in = y + ry + 1;
            sum -= (out < 0 || out >= h) ? outsideRow : rows[static_cast<size_t>(out) * w + x];
            sum += (in < 0 || in >= h) ? outsideRow : rows[static_cast<size_t>(in) * w + x];
        }
    }
    return result;
}

// Darkens the destination through per-pixel levels (255 = unchanged).
void DarkenThrough(HDC dest, int x, int y, int w, int h, const std::vector<int>& levels)
{
    Dib32 target(w, h);
    if (!Capture(target, dest, x, y))
        return;
    target.Flush();
    for (size_t i = 0; i < target.Count(); ++i)
        target.Bits()[i] = Darken(target.Bits()[i], levels[i] / 255.0);
    PutBack(target, dest, x, y);
}

// Composites an image buffer onto the destination: alpha-blended when it
// carries alpha, else through the mask (transparent where `transparent`).
void Composite(HDC dest, int x, int y, const Dib32& image, const std::vector<bool>& transparent, bool alpha)
{
    Dib32 target(image.Width(), image.Height());
    if (!Capture(target, dest, x, y))
        return;
    target.Flush();
    for (size_t i = 0; i < target.Count(); ++i) {
        DWORD pixel = image.Bits()[i];
        if (alpha) {
            double a = Channel(pixel, 24) / 255.0;
            target.Bits()[i] = Mix(pixel, a, target.Bits()[i], 1 - a);
        } else if (!transparent[i]) {
            target.Bits()[i] = pixel;
        }
    }
    PutBack(target, dest, x, y);
}

void DrawImageShadow(HDC dest, int x, int y, const Dib32& image, const std::vector<bool>& transparent,
                     bool alpha, UINT styleFlags, const ImageShadow& shadow)
{
    int w = image.Width();
    int h = image.Height();
    if (styleFlags & (kImageShadow | kImageShadowBlur)) {
        std::vector<int> levels(image.Count(), 255);
        for (size_t i = 0; i < image.Count(); ++i) {
            bool opaque = alpha ? Channel(image.Bits()[i], 24) > 127 : !transparent[i];
            levels[i] = opaque ? 128 : 255;
        }
        if (styleFlags & kImageShadowBlur)
            levels = BoxBlur(levels, w, h, OddBlurSize(shadow.blurWidth), OddBlurSize(shadow.blurHeight));
        DarkenThrough(dest, x + shadow.dx, y + shadow.dy, w, h, levels);
        return;
    }
    Composite(dest, x + shadow.dx, y + shadow.dy, image, transparent, alpha);
}

// Filters the image in place; returns which pixels are transparent and whether it has alpha.
std::vector<bool> PrepareImage(const Dib32& image, bool masked, COLORREF maskColor, UINT flags, bool& alpha)
{
    image.Flush();
    alpha = false;
    std::vector<bool> transparent(image.Count(), false);
    for (size_t i = 0; i < image.Count(); ++i) {
        DWORD& pixel = image.Bits()[i];
        if (pixel & 0xFF000000)
            alpha = true;
        if (masked && SameRgb(pixel, maskColor)) {
            transparent[i] = true;
            pixel = 0;
            continue;
        }
        pixel = ApplyFilter(pixel, flags, 0);
        if (flags & kFilterInvert)
            pixel = Invert(pixel);
    }
    return transparent;
}

void DrawPrepared(HDC dest, int x, int y, const Dib32& image, bool masked, COLORREF maskColor,
                  UINT styleFlags, const ImageShadow& shadow)
{
    bool alpha = false;
    std::vector<bool> transparent = PrepareImage(image, masked, maskColor, styleFlags, alpha);
    if (shadow.enabled)
        DrawImageShadow(dest, x, y, image, transparent, alpha, styleFlags, shadow);
    Composite(dest, x, y, image, transparent, alpha);
}

void FillSolid(HDC dest, const RECT& rect, COLORREF color)
{
    GdiObject<HBRUSH> brush(::CreateSolidBrush(color));
    if (brush)
        ::FillRect(dest, &rect, brush.get());
}

COLORREF MixColors(COLORREF a, COLORREF b, int weightB, int total)
{
    auto channel = [&](BYTE ca, BYTE cb) {
        return static_cast<BYTE>((ca * (total - weightB) + cb * weightB) / total);
    };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

int TextureNoise(int granularity)
{
    int spread = granularity == 0 ? 1 : 2 * granularity;
    return std::rand() % (spread + 1) - spread / 2;
}

int CubicBump(int position, int length, int granularity)
{
    if (length <= 1)
        return 128;
    int n = (position * 256 / (length - 1)) - 128; // -128..128
    return n * n * n / 16384 * (128 - granularity) / 128 + 128;
}

int TextureIndex(int effect, int x, int y, int w, int h, int granularity, std::vector<int>& streaks)
{
    switch (effect) {
    case 8:
        return (x + y) * 255 / std::max(1, w + h - 2);
    case 9:
        return x * 255 / std::max(1, w - 1);
    case 10:
        return y * 255 / std::max(1, h - 1);
    case 11:
        return CubicBump(y, h, granularity);
    case 12:
        return CubicBump(x, w, granularity);
    case 13:
        return (CubicBump(y, h, granularity) + CubicBump(x, w, granularity)) / 2;
    case 14:
        return (CubicBump(y, h, granularity / 2) * 3 - 256) / 2;
    case 15:
        return y * 255 / std::max(1, h - 1) / 2 + streaks[static_cast<size_t>(y)];
    default:
        return 128;
    }
}

void FillTexture(HDC dest, int effect, const RECT& rect, COLORREF begin, COLORREF middle, COLORREF end,
                 int granularity, int blendPercent)
{
    int w = rect.right - rect.left;
    int h = rect.bottom - rect.top;
    PaletteBitmap image;
    if (!image.Create(w, h, 8))
        return;
    for (int j = 0; j <= 128; ++j) {
        COLORREF color = MixColors(end, middle, j, 128);
        image.SetPaletteColor(j, GetRValue(color), GetGValue(color), GetBValue(color));
    }
    for (int k = 1; k <= 128; ++k) {
        COLORREF color = MixColors(middle, begin, k, 128);
        image.SetPaletteColor(127 + k, GetRValue(color), GetGValue(color), GetBValue(color));
    }
    image.BlendPalette(begin, blendPercent);
    std::vector<int> streaks(static_cast<size_t>(h), 0);
    for (int y = 0; y < h; ++y)
        streaks[static_cast<size_t>(y)] =
            (std::rand() % 8 == 0) ? std::rand() % 64 : (y ? streaks[y - 1] / 2 : 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int index = TextureIndex(effect, x, y, w, h, granularity, streaks) + TextureNoise(granularity);
            image.SetPixel(x, y, static_cast<BYTE>(std::clamp(index, 0, 255)));
        }
    }
    image.Draw(dest, rect.left, rect.top);
}

int PenStyleOf(int style)
{
    if (style == 2)
        return PS_DASH;
    if (style == 3)
        return PS_DOT;
    return PS_SOLID;
}

} // namespace

DWORD Grey(DWORD pixel)
{
    int g =
        static_cast<int>(0.299 * Channel(pixel, 16) + 0.587 * Channel(pixel, 8) + 0.114 * Channel(pixel, 0));
    return MakePixel(g, g, g, pixel);
}

DWORD Invert(DWORD pixel)
{
    return MakePixel(255 - Channel(pixel, 16), 255 - Channel(pixel, 8), 255 - Channel(pixel, 0), pixel);
}

DWORD Darken(DWORD pixel, double factor)
{
    if (factor < 0 || factor >= 1)
        return pixel;
    return MakePixel(static_cast<int>(factor * Channel(pixel, 16)),
                     static_cast<int>(factor * Channel(pixel, 8)),
                     static_cast<int>(factor * Channel(pixel, 0)), pixel);
}

DWORD Lighten(DWORD pixel, double factor)
{
    if (factor <= 0 || factor > 1)
        return pixel;
    auto up = [factor](BYTE c) { return std::min(255, static_cast<int>((1 + factor) * c)); };
    return MakePixel(up(Channel(pixel, 16)), up(Channel(pixel, 8)), up(Channel(pixel, 0)), pixel);
}

DWORD Mix(DWORD a, double p, DWORD b, double q)
{
    auto mix = [&](int shift) { return static_cast<int>(p * Channel(a, shift) + q * Channel(b, shift)); };
    return MakePixel(mix(16), mix(8), mix(0), a);
}

int OddBlurSize(int size)
{
    size = std::clamp(size, 1, 255);
    return size % 2 == 0 ? size + 1 : size;
}

void BlendOpacity(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int opacity)
{
    if (opacity >= 100) {
        ::BitBlt(dest, x, y, w, h, source, sx, sy, SRCCOPY);
        return;
    }
    if (opacity <= 0)
        return;
    Dib32 target(w, h);
    Dib32 image(w, h);
    if (!Capture(target, dest, x, y) || !Capture(image, source, sx, sy))
        return;
    target.Flush();
    double p = opacity / 100.0;
    for (size_t i = 0; i < target.Count(); ++i)
        target.Bits()[i] = Mix(image.Bits()[i], p, target.Bits()[i], 1 - p);
    PutBack(target, dest, x, y);
}

void BlendAlpha(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy)
{
    Dib32 target(w, h);
    Dib32 image(w, h);
    if (!Capture(target, dest, x, y) || !Capture(image, source, sx, sy))
        return;
    target.Flush();
    for (size_t i = 0; i < target.Count(); ++i) {
        double a = Channel(image.Bits()[i], 24) / 255.0;
        target.Bits()[i] = Mix(image.Bits()[i], a, target.Bits()[i], 1 - a);
    }
    PutBack(target, dest, x, y);
}

HBITMAP FilterBitmap(HBITMAP bitmap, int w, int h, UINT flags, bool masked, COLORREF maskColor,
                     COLORREF fillColor, bool* hadAlpha)
{
    if (!bitmap || w <= 0 || h <= 0)
        return nullptr;
    MemoryDC dc(nullptr);
    BITMAPINFO info = MakeTopDown32BitInfo(w, h);
    void* bits = nullptr;
    HBITMAP copy = ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!copy)
        return nullptr;
    if (!::GetDIBits(dc.get(), bitmap, 0, h, bits, &info, DIB_RGB_COLORS)) {
        ::DeleteObject(copy);
        return nullptr;
    }
    auto* pixels = static_cast<DWORD*>(bits);
    bool alpha = false;
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
        DWORD& pixel = pixels[i];
        if (pixel & 0xFF000000)
            alpha = true;
        bool isMask = masked && SameRgb(pixel, maskColor);
        if (!isMask)
            pixel = ApplyFilter(pixel, flags, fillColor);
        if (flags & kFilterInvert)
            pixel = Invert(pixel);
        if (isMask)
            pixel = 0;
    }
    if (hadAlpha)
        *hadAlpha = alpha;
    return copy;
}

void DrawShadow(HDC dest, int x, int y, int w, int h, HBITMAP mask, bool blur, int blurWidth, int blurHeight)
{
    if (!mask || w <= 0 || h <= 0)
        return;
    Dib32 levelsImage(w, h);
    if (!levelsImage.Ok())
        return;
    levelsImage.FillWith(0xFFFFFF);
    SIZE maskSize = BitmapSize(mask);
    int bw = blur ? OddBlurSize(blurWidth) : 0;
    int bh = blur ? OddBlurSize(blurHeight) : 0;
    {
        MemoryDC source(levelsImage.Dc());
        SelectedObject selected(source.get(), mask);
        ::SetStretchBltMode(levelsImage.Dc(), COLORONCOLOR);
        ::StretchBlt(levelsImage.Dc(), bw / 2, bh / 2, std::max(1, w - bw), std::max(1, h - bh), source.get(),
                     0, 0, maskSize.cx, maskSize.cy, SRCCOPY);
    }
    levelsImage.Flush();
    std::vector<int> levels(levelsImage.Count());
    for (size_t i = 0; i < levels.size(); ++i)
        levels[i] = Channel(levelsImage.Bits()[i], 0);
    if (blur)
        levels = BoxBlur(levels, w, h, bw, bh);
    DarkenThrough(dest, x, y, w, h, levels);
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, std::abs(info.bmHeight)};
}

SIZE IconSize(HICON icon)
{
    IconInfo info(icon);
    if (!info.IsValid())
        return SIZE{0, 0};
    return SIZE{static_cast<LONG>(info.get().xHotspot * 2), static_cast<LONG>(info.get().yHotspot * 2)};
}

void DrawBitmap(HDC dest, int x, int y, int w, int h, HBITMAP bitmap, bool masked, COLORREF maskColor,
                UINT styleFlags, const ImageShadow& shadow)
{
    SIZE size = BitmapSize(bitmap);
    if (size.cx <= 0 || size.cy <= 0)
        return;
    Dib32 image(w, h);
    if (!LoadScaled(image, bitmap, 0, 0, size.cx, size.cy))
        return;
    DrawPrepared(dest, x, y, image, masked, maskColor, styleFlags, shadow);
}

void DrawIcon(HDC dest, int x, int y, int w, int h, HICON icon, UINT styleFlags, const ImageShadow& shadow)
{
    if (!icon)
        return;
    Dib32 image(w, h);
    Dib32 mask(w, h);
    if (!image.Ok() || !mask.Ok())
        return;
    image.FillWith(0);
    mask.FillWith(0);
    ::DrawIconEx(image.Dc(), 0, 0, icon, w, h, 0, nullptr, DI_IMAGE);
    ::DrawIconEx(mask.Dc(), 0, 0, icon, w, h, 0, nullptr, DI_MASK);
    image.Flush();
    bool alpha = false;
    std::vector<bool> transparent(image.Count(), false);
    for (size_t i = 0; i < image.Count(); ++i) {
        DWORD& pixel = image.Bits()[i];
        if (pixel & 0xFF000000)
            alpha = true;
        transparent[i] = (mask.Bits()[i] & 0x00FFFFFF) != 0;
        pixel = ApplyFilter(pixel, styleFlags, 0);
        if (styleFlags & kFilterInvert)
            pixel = Invert(pixel);
    }
    if (shadow.enabled)
        DrawImageShadow(dest, x, y, image, transparent, alpha, styleFlags, shadow);
    Composite(dest, x, y, image, transparent, alpha);
}

void DrawImageListFrame(HDC dest, int x, int y, int w, int h, HBITMAP bitmap, int frame, int frameWidth,
                        int frameHeight, bool masked, COLORREF maskColor, UINT styleFlags,
                        const ImageShadow& shadow)
{
    SIZE size = BitmapSize(bitmap);
    if (frameWidth <= 0 || frameHeight <= 0 || size.cx <= 0 || frame < 0)
        return;
    int columns = size.cx / frameWidth;
    int rows = size.cy / frameHeight;
    if (columns <= 0 || rows <= 0 || frame >= columns * rows)
        return;
    Dib32 image(w, h);
    if (!LoadScaled(image, bitmap, (frame % columns) * frameWidth, (frame / columns) * frameHeight,
                    frameWidth, frameHeight))
        return;
    DrawPrepared(dest, x, y, image, masked, maskColor, styleFlags, shadow);
}

void Gradient(HDC dest, const RECT& rect, COLORREF begin, COLORREF end, bool horizontal)
{
    int length = horizontal ? rect.right - rect.left : rect.bottom - rect.top;
    for (int k = 0; k < 64; ++k) {
        int from = k * length / 64;
        int to = (k + 1) * length / 64;
        if (to <= from)
            continue;
        RECT band = rect;
        if (horizontal) {
            band.left = rect.left + from;
            band.right = rect.left + to;
        } else {
            band.top = rect.top + from;
            band.bottom = rect.top + to;
        }
        FillSolid(dest, band, MixColors(begin, end, k, 64));
    }
}

void Fill(HDC dest, int effect, const RECT& rect, COLORREF begin, COLORREF middle, COLORREF end,
          int granularity, int blendPercent)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    RECT first = rect;
    RECT second = rect;
    int midX = (rect.left + rect.right) / 2;
    int midY = (rect.top + rect.bottom) / 2;
    switch (effect) {
    case 1:
        Gradient(dest, rect, begin, end, true);
        return;
    case 2:
        Gradient(dest, rect, begin, end, false);
        return;
    case 3:
    case 5:
        first.right = second.left = midX;
        Gradient(dest, first, begin, effect == 3 ? end : middle, true);
        Gradient(dest, second, effect == 3 ? end : middle, effect == 3 ? begin : end, true);
        return;
    case 4:
    case 6:
        first.bottom = second.top = midY;
        Gradient(dest, first, begin, effect == 4 ? end : middle, false);
        Gradient(dest, second, effect == 4 ? end : middle, effect == 4 ? begin : end, false);
        return;
    default:
        break;
    }
    if (effect >= 7 && effect <= 15) {
        FillTexture(dest, effect, rect, begin, middle, end, std::clamp(granularity, 0, 127), blendPercent);
        return;
    }
    FillSolid(dest, rect, begin);
}

void Tile(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int tileWidth, int tileHeight)
{
    if (tileWidth <= 0 || tileHeight <= 0)
        return;
    for (int ty = 0; ty < h; ty += tileHeight) {
        for (int tx = 0; tx < w; tx += tileWidth)
            ::BitBlt(dest, x + tx, y + ty, std::min(tileWidth, w - tx), std::min(tileHeight, h - ty), source,
                     sx, sy, SRCCOPY);
    }
}

void DrawLine(HDC dest, int x1, int y1, int x2, int y2, COLORREF color, int style, int width)
{
    if (style == 0 || width <= 0)
        return;
    GdiObject<HPEN> pen(::CreatePen(PenStyleOf(style), width, color));
    if (!pen)
        return;
    SelectedObject selected(dest, pen.get());
    ::MoveToEx(dest, x1, y1, nullptr);
    ::LineTo(dest, x2, y2);
    if (style == 6) {
        int dx = x1 == x2 ? 2 * width : 0;
        int dy = x1 == x2 ? 0 : 2 * width;
        ::MoveToEx(dest, x1 + dx, y1 + dy, nullptr);
        ::LineTo(dest, x2 + dx, y2 + dy);
    }
}

void DrawBorder(HDC dest, const RECT& rect, COLORREF light, COLORREF dark, int style, int width)
{
    if (style == 0 || width <= 0)
        return;
    int frames = style == 6 ? 2 : 1;
    for (int frame = 0; frame < frames; ++frame) {
        int inset = width / 2 + frame * 2 * width;
        int left = rect.left + inset;
        int top = rect.top + inset;
        int right = rect.right - 1 - inset;
        int bottom = rect.bottom - 1 - inset;
        if (right < left || bottom < top)
            return;
        DrawLine(dest, left, bottom, left, top, light, style == 6 ? 1 : style, width);
        DrawLine(dest, left, top, right, top, light, style == 6 ? 1 : style, width);
        DrawLine(dest, right, top, right, bottom, dark, style == 6 ? 1 : style, width);
        DrawLine(dest, right, bottom, left - 1, bottom, dark, style == 6 ? 1 : style, width);
    }
}

HICON ScaleIcon(HICON icon, int width, int height)
{
    if (!icon || width <= 0 || height <= 0)
        return nullptr;
    return static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, width, height, 0));
}

} // namespace DrawEffects
