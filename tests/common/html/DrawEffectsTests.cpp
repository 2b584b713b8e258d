// test-locks: desktop
#include "common/html/DrawEffects.h"
#include "common/html/PaletteBitmap.h"

#include "common/GdiHelpers.h"
#include "common/GdiObjectGuards.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// A top-down 32-bit DIB section in a memory DC, with direct pixel access.
struct Canvas
{
    int width;
    int height;
    DWORD* bits = nullptr;
    WindowDC screen;
    MemoryDC dc{screen.get()};
    GdiObject<HBITMAP> bitmap;
    HGDIOBJ previous = nullptr;

    Canvas(int w, int h, DWORD fill) : width(w), height(h)
    {
        BITMAPINFO info = MakeTopDown32BitInfo(w, h);
        void* raw = nullptr;
        bitmap.Reset(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &raw, nullptr, 0));
        bits = static_cast<DWORD*>(raw);
        previous = ::SelectObject(dc.get(), bitmap.get());
        std::fill(bits, bits + w * h, fill);
    }
    ~Canvas() { Unselect(); }
    // Takes the bitmap out of the DC, so that it can be a source of the effects.
    HBITMAP Unselect()
    {
        if (previous)
            ::SelectObject(dc.get(), previous);
        previous = nullptr;
        return bitmap.get();
    }
    DWORD At(int x, int y) const
    {
        ::GdiFlush();
        return bits[y * width + x] & 0x00FFFFFF;
    }
};

DWORD Rgb(int r, int g, int b)
{
    return (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) | static_cast<DWORD>(b);
}

} // namespace

TEST(DrawEffects, PixelFunctions)
{
    struct Case
    {
        DWORD result;
        DWORD expected;
    } cases[] = {
        {DrawEffects::Grey(Rgb(200, 0, 0)), Rgb(59, 59, 59)},
        {DrawEffects::Grey(Rgb(0, 255, 0)), Rgb(149, 149, 149)},
        {DrawEffects::Invert(Rgb(0, 100, 255)), Rgb(255, 155, 0)},
        {DrawEffects::Darken(Rgb(100, 200, 50), 0.5), Rgb(50, 100, 25)},
        {DrawEffects::Darken(Rgb(100, 200, 50), 1.0), Rgb(100, 200, 50)},
        {DrawEffects::Darken(Rgb(100, 200, 50), 0.0), Rgb(0, 0, 0)},
        {DrawEffects::Lighten(Rgb(100, 200, 50), 0.0), Rgb(100, 200, 50)},
        {DrawEffects::Lighten(Rgb(100, 200, 50), 0.5), Rgb(150, 255, 75)},
        {DrawEffects::Mix(Rgb(200, 0, 100), 0.25, Rgb(0, 200, 100), 0.75), Rgb(50, 150, 100)},
        {DrawEffects::Darken(0x7F000000 | Rgb(10, 10, 10), 0.5) & 0xFF000000, 0x7F000000u},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].result, cases[i].expected) << "case " << i;
    EXPECT_EQ(DrawEffects::OddBlurSize(6), 7);
    EXPECT_EQ(DrawEffects::OddBlurSize(7), 7);
    EXPECT_EQ(DrawEffects::OddBlurSize(0), 1);
}

TEST(DrawEffects, OpacityBlend)
{
    struct Case
    {
        int opacity;
        DWORD expected;
    } cases[] = {
        {100, Rgb(200, 100, 0)}, {150, Rgb(200, 100, 0)}, {0, Rgb(0, 0, 200)}, {50, Rgb(100, 50, 100)}};
    for (const Case& c : cases) {
        Canvas dest(8, 8, Rgb(0, 0, 200));
        Canvas source(8, 8, Rgb(200, 100, 0));
        DrawEffects::BlendOpacity(dest.dc.get(), 2, 2, 4, 4, source.dc.get(), 0, 0, c.opacity);
        EXPECT_EQ(dest.At(3, 3), c.expected) << c.opacity;
        EXPECT_EQ(dest.At(0, 0), Rgb(0, 0, 200)) << "outside the rectangle, opacity " << c.opacity;
        EXPECT_EQ(dest.At(6, 6), Rgb(0, 0, 200)) << c.opacity;
    }

    Canvas dest(2, 1, Rgb(0, 0, 0));
    Canvas source(2, 1, 0);
    source.bits[0] = 0xFF000000 | Rgb(200, 200, 200);
    source.bits[1] = 0x80000000 | Rgb(200, 200, 200);
    DrawEffects::BlendAlpha(dest.dc.get(), 0, 0, 2, 1, source.dc.get(), 0, 0);
    EXPECT_EQ(dest.At(0, 0), Rgb(200, 200, 200));
    EXPECT_EQ(dest.At(1, 0), Rgb(100, 100, 100));
}

TEST(DrawEffects, ShadowDarkensThroughTheMask)
{
    Canvas mask(10, 10, Rgb(128, 128, 128));
    Canvas dest(10, 10, Rgb(200, 200, 200));
    DrawEffects::DrawShadow(dest.dc.get(), 0, 0, 10, 10, mask.Unselect(), false, 0, 0);
    EXPECT_EQ(dest.At(5, 5), Rgb(100, 100, 100));

    // Blurred: a black square in the middle darkens most at its centre and
    // fades towards white at the edges.
    Canvas square(21, 21, Rgb(255, 255, 255));
    for (int y = 7; y < 14; ++y)
        for (int x = 7; x < 14; ++x)
            square.bits[y * 21 + x] = 0;
    Canvas blurred(21, 21, Rgb(200, 200, 200));
    DrawEffects::DrawShadow(blurred.dc.get(), 0, 0, 21, 21, square.Unselect(), true, 6, 6);
    DWORD centre = blurred.At(10, 10) & 0xFF;
    DWORD edge = blurred.At(10, 7) & 0xFF;
    DWORD corner = blurred.At(0, 0) & 0xFF;
    EXPECT_LT(centre, edge);
    EXPECT_LT(edge, corner);
    EXPECT_EQ(corner, 200u);
}

TEST(DrawEffects, FilterBitmapKeepsTheMaskColour)
{
    Canvas image(3, 1, 0);
    image.bits[0] = Rgb(255, 0, 255);
    image.bits[1] = Rgb(0, 255, 0);
    image.bits[2] = Rgb(0, 0, 200);
    image.Unselect();
    struct Case
    {
        UINT flags;
        DWORD second;
        DWORD third;
    } cases[] = {
        {DrawEffects::kFilterGrey, Rgb(149, 149, 149), Rgb(22, 22, 22)},
        {DrawEffects::kFilterDarken, Rgb(0, 191, 0), Rgb(0, 0, 150)},
        {DrawEffects::kFilterLighten, Rgb(0, 255, 0), Rgb(0, 0, 250)},
        {DrawEffects::kFilterFill, Rgb(0, 0, 255), Rgb(0, 0, 255)},
        {DrawEffects::kFilterInvert, Rgb(255, 0, 255), Rgb(255, 255, 55)},
    };
    for (const Case& c : cases) {
        bool alpha = true;
        GdiObject<HBITMAP> filtered(DrawEffects::FilterBitmap(image.bitmap.get(), 3, 1, c.flags, true,
                                                              RGB(255, 0, 255), RGB(0, 0, 255), &alpha));
        ASSERT_TRUE(filtered);
        EXPECT_FALSE(alpha);
        Canvas read(3, 1, 0);
        BITMAPINFO info = MakeTopDown32BitInfo(3, 1);
        ASSERT_TRUE(::GetDIBits(read.dc.get(), filtered.get(), 0, 1, read.bits, &info, DIB_RGB_COLORS));
        EXPECT_EQ(read.At(0, 0), 0u) << c.flags;
        EXPECT_EQ(read.At(1, 0), c.second) << c.flags;
        EXPECT_EQ(read.At(2, 0), c.third) << c.flags;
    }
}

TEST(DrawEffects, MaskedBitmapLeavesTheBackground)
{
    Canvas image(2, 1, 0);
    image.bits[0] = Rgb(255, 0, 255);
    image.bits[1] = Rgb(10, 20, 30);
    image.Unselect();
    Canvas dest(4, 1, Rgb(1, 2, 3));
    DrawEffects::DrawBitmap(dest.dc.get(), 1, 0, 2, 1, image.bitmap.get(), true, RGB(255, 0, 255), 0);
    EXPECT_EQ(dest.At(1, 0), Rgb(1, 2, 3));
    EXPECT_EQ(dest.At(2, 0), Rgb(10, 20, 30));

    Canvas frames(4, 2, Rgb(9, 9, 9));
    frames.bits[3] = Rgb(50, 60, 70); // frame 1 of a 2 x 1 grid of 2 x 2 frames
    frames.Unselect();
    Canvas target(2, 2, 0);
    DrawEffects::DrawImageListFrame(target.dc.get(), 0, 0, 2, 2, frames.bitmap.get(), 1, 2, 2, false, 0, 0);
    EXPECT_EQ(target.At(1, 0), Rgb(50, 60, 70));
    Canvas untouched(2, 2, Rgb(1, 1, 1));
    DrawEffects::DrawImageListFrame(untouched.dc.get(), 0, 0, 2, 2, frames.bitmap.get(), 2, 2, 2, false, 0,
                                    0);
    DrawEffects::DrawImageListFrame(untouched.dc.get(), 0, 0, 2, 2, frames.bitmap.get(), 0, 0, 2, false, 0,
                                    0);
    EXPECT_EQ(untouched.At(0, 0), Rgb(1, 1, 1));
}

TEST(DrawEffects, GradientsAndFills)
{
    Canvas wide(128, 2, 0);
    RECT all = {0, 0, 128, 2};
    DrawEffects::Fill(wide.dc.get(), 1, all, RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 255), 0, 0);
    EXPECT_EQ(wide.At(0, 0), Rgb(0, 0, 0));
    EXPECT_EQ(wide.At(127, 0), Rgb(0, 0, 251)); // band 63: 255 * 63 / 64
    EXPECT_EQ(wide.At(64, 1), Rgb(0, 0, 127));

    // Narrower than 64 pixels: only the non-empty bands are drawn, each with its own colour.
    Canvas narrow(10, 1, Rgb(7, 7, 7));
    RECT strip = {0, 0, 10, 1};
    DrawEffects::Gradient(narrow.dc.get(), strip, RGB(0, 0, 0), RGB(0, 0, 64), true);
    EXPECT_EQ(narrow.At(0, 0), Rgb(0, 0, 6)); // band 6 is the first non-empty one
    EXPECT_EQ(narrow.At(9, 0), Rgb(0, 0, 63));

    Canvas solid(4, 4, 0);
    RECT box = {0, 0, 4, 4};
    DrawEffects::Fill(solid.dc.get(), 0, box, RGB(10, 20, 30), 0, 0, 0, 0);
    EXPECT_EQ(solid.At(3, 3), Rgb(10, 20, 30));

    // A texture stays within the palette built from its three colours.
    Canvas texture(20, 20, Rgb(255, 255, 255));
    RECT area = {0, 0, 20, 20};
    DrawEffects::Fill(texture.dc.get(), 7, area, RGB(0, 0, 100), RGB(0, 0, 50), RGB(0, 0, 0), 3, 0);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            DWORD pixel = texture.At(x, y);
            EXPECT_EQ(pixel & 0xFFFF00, 0u);
            EXPECT_LE(pixel & 0xFF, 100u);
        }
    }
}

TEST(DrawEffects, LinesAndBorders)
{
    Canvas canvas(10, 10, Rgb(255, 255, 255));
    DrawEffects::DrawLine(canvas.dc.get(), 0, 5, 9, 5, RGB(0, 0, 0), 0, 1);
    DrawEffects::DrawBorder(canvas.dc.get(), RECT{0, 0, 10, 10}, RGB(0, 0, 0), RGB(0, 0, 0), 1, 0);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(canvas.At(x, 5), Rgb(255, 255, 255));
    DrawEffects::DrawBorder(canvas.dc.get(), RECT{0, 0, 10, 10}, RGB(255, 0, 0), RGB(0, 0, 255), 1, 1);
    EXPECT_EQ(canvas.At(0, 5), Rgb(255, 0, 0));
    EXPECT_EQ(canvas.At(5, 0), Rgb(255, 0, 0));
    EXPECT_EQ(canvas.At(9, 5), Rgb(0, 0, 255));
    EXPECT_EQ(canvas.At(5, 9), Rgb(0, 0, 255));
    EXPECT_EQ(canvas.At(5, 5), Rgb(255, 255, 255));
}

TEST(PaletteBitmap, PixelsPaletteAndDraw)
{
    PaletteBitmap image;
    EXPECT_EQ(image.Create(5, 3, 24), nullptr);
    EXPECT_EQ(image.Create(5, 3, 2), nullptr);
    EXPECT_EQ(image.Create(0, 3, 8), nullptr);
    BITMAPINFOHEADER* header = image.Create(5, 3, 8);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biBitCount, 8);
    EXPECT_EQ(image.RowSize(), 8);
    EXPECT_EQ(header->biSizeImage, 24u);
    image.Fill(1);
    image.SetPixel(4, 2, 2);
    image.SetPixel(5, 0, 3);
    image.SetPixel(-1, 0, 3);
    image.SetPixel(0, 3, 3);
    EXPECT_EQ(image.GetPixel(4, 2), 2);
    EXPECT_EQ(image.GetPixel(0, 0), 1);
    image.SetPaletteColor(1, 200, 100, 0);
    image.SetPaletteColor(2, 0, 0, 100);
    image.SetPaletteColor(256, 1, 1, 1);
    Canvas canvas(7, 5, 0);
    image.Draw(canvas.dc.get(), 1, 1);
    EXPECT_EQ(canvas.At(1, 1), Rgb(200, 100, 0));
    EXPECT_EQ(canvas.At(5, 3), Rgb(0, 0, 100));
    EXPECT_EQ(canvas.At(6, 4), 0u);

    image.BlendPalette(RGB(0, 0, 0), 150);
    RGBQUAD entry = image.GetPaletteColor(1);
    EXPECT_EQ(entry.rgbRed, 0);
    EXPECT_EQ(entry.rgbGreen, 0);
    image.SetPaletteColor(1, 200, 100, 0);
    image.BlendPalette(RGB(0, 0, 0), 50);
    EXPECT_EQ(image.GetPaletteColor(1).rgbRed, 100);
    image.Reset();
    EXPECT_EQ(image.Width(), 0);
}

namespace
{

// The image's block as a ".bmp" file: the file header, then the header, the colour table and the rows.
std::string BmpFileOf(const BITMAPINFOHEADER* header, int paletteSize)
{
    const size_t infoBytes = sizeof(BITMAPINFOHEADER) + paletteSize * sizeof(RGBQUAD);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = static_cast<DWORD>(sizeof(file) + infoBytes);
    file.bfSize = file.bfOffBits + header->biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(header), infoBytes + header->biSizeImage);
    return bytes;
}

} // namespace

TEST(PaletteBitmap, EachDepthPacksItsPixelsAsTheSystemReadsThem)
{
    struct Depth
    {
        int bits;
        int paletteSize;
        int rowSize; // for 13 pixels
    };
    const Depth depths[] = {{1, 2, 4}, {4, 16, 8}, {8, 256, 16}};
    scvtest::TempFolder folder;
    for (const Depth& depth : depths) {
        SCOPED_TRACE(depth.bits);
        constexpr int kWidth = 13;
        constexpr int kHeight = 3;
        PaletteBitmap image;
        const BITMAPINFOHEADER* header = image.Create(kWidth, kHeight, depth.bits);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(image.PaletteSize(), depth.paletteSize);
        EXPECT_EQ(image.RowSize(), depth.rowSize);
        EXPECT_EQ(header->biSizeImage, static_cast<DWORD>(depth.rowSize * kHeight));
        // Entries far apart even in the 2-entry table.
        auto red = [](int i) { return static_cast<BYTE>(i == 1 ? 255 : i); };
        for (int i = 0; i < depth.paletteSize; ++i)
            image.SetPaletteColor(i, red(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 16));
        image.Fill(0xFF);
        EXPECT_EQ(image.GetPixel(kWidth - 1, kHeight - 1), depth.paletteSize - 1) << "cut to the depth";
        auto indexAt = [&](int x, int y) { return (x * 3 + y) % depth.paletteSize; };
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                image.SetPixel(x, y, static_cast<BYTE>(indexAt(x, y)));
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(image.GetPixel(x, y), indexAt(x, y)) << x << "," << y << ": neighbours kept";

        Canvas drawn(kWidth, kHeight, 0);
        image.Draw(drawn.dc.get(), 0, 0);
        const std::wstring path = folder.WriteBytes(L"depth" + std::to_wstring(depth.bits) + L".bmp",
                                                    BmpFileOf(header, depth.paletteSize));
        GdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
            ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
        ASSERT_TRUE(loaded) << "the block is a bitmap the system reads";
        Canvas read(kWidth, kHeight, 0);
        MemoryDC source(read.screen.get());
        {
            SelectedObject selected(source.get(), loaded.get());
            ::BitBlt(read.dc.get(), 0, 0, kWidth, kHeight, source.get(), 0, 0, SRCCOPY);
        }
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int i = indexAt(x, y);
                ASSERT_EQ(drawn.At(x, y), Rgb(red(i), 255 - i, (i * 16) & 0xFF)) << x << "," << y;
                ASSERT_EQ(read.At(x, y), drawn.At(x, y)) << x << "," << y;
            }
    }
}
