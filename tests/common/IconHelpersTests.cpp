#include "common/GdiHelpers.h"
#include "common/GdiObjectGuards.h"
#include "common/IconHelpers.h"
#include "common/ImageListCache.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Top-down 32-bit pixels (0xAARRGGBB) of a bitmap.
std::vector<DWORD> PixelsOf(HBITMAP bitmap, int width, int height)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height, 0);
    BITMAPINFO info = MakeTopDown32BitInfo(width, height);
    WindowDC screen;
    EXPECT_EQ(::GetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS), height);
    return pixels;
}

struct IconImage
{
    int size = 0;
    std::vector<DWORD> color; // empty for a monochrome icon
    std::vector<DWORD> mask;  // 0 or 0xFFFFFF per pixel (both halves for a monochrome icon)
};

IconImage ReadIcon(HICON icon)
{
    IconImage image;
    IconInfo info(icon);
    EXPECT_TRUE(info.IsValid());
    if (!info.IsValid())
        return image;
    BITMAP mask = {};
    ::GetObjectW(info.get().hbmMask, sizeof(mask), &mask);
    image.size = mask.bmWidth;
    image.mask = PixelsOf(info.get().hbmMask, mask.bmWidth, mask.bmHeight);
    for (DWORD& pixel : image.mask)
        pixel &= 0xFFFFFF;
    if (info.get().hbmColor)
        image.color = PixelsOf(info.get().hbmColor, mask.bmWidth, mask.bmWidth);
    return image;
}

// A square 32-bit icon with alpha made from pixels and a mask (true = transparent).
HICON MakeIcon(int size, const std::vector<DWORD>& pixels, const std::vector<bool>& transparent)
{
    BITMAPINFO info = MakeTopDown32BitInfo(size, size);
    void* bits = nullptr;
    GdiObject<HBITMAP> color(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    memcpy(bits, pixels.data(), pixels.size() * sizeof(DWORD));

    const int stride = ((size + 15) / 16) * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(stride) * size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (transparent[static_cast<size_t>(y) * size + x])
                maskBits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    GdiObject<HBITMAP> mask(::CreateBitmap(size, size, 1, 1, maskBits.data()));

    ICONINFO iconInfo = {TRUE, 0, 0, mask.get(), color.get()};
    return ::CreateIconIndirect(&iconInfo);
}

// An icon whose every pixel differs: red = x, green = y, blue 7, alpha varies.
HICON MakePatternIcon(int size, std::vector<DWORD>& pixels, std::vector<bool>& transparent)
{
    pixels.assign(static_cast<size_t>(size) * size, 0);
    transparent.assign(pixels.size(), false);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            DWORD alpha = (x + y) % 2 ? 0xFF : 0x80;
            pixels[static_cast<size_t>(y) * size + x] = (alpha << 24) | (x * 8u << 16) | (y * 8u << 8) | 7u;
            transparent[static_cast<size_t>(y) * size + x] = (x == 0); // left column transparent
        }
    return MakeIcon(size, pixels, transparent);
}

DWORD At(const std::vector<DWORD>& pixels, int size, int x, int y)
{
    return pixels[static_cast<size_t>(y) * size + x];
}
} // namespace

TEST(CreateRotatedIcon, TurnsColourAlphaAndMask)
{
    const int size = 16;
    std::vector<DWORD> pixels;
    std::vector<bool> transparent;
    IconHandle source(MakePatternIcon(size, pixels, transparent));
    ASSERT_TRUE(source);

    IconHandle rotated(CreateRotatedIcon(source.get()));
    ASSERT_TRUE(rotated);
    IconImage image = ReadIcon(rotated.get());
    ASSERT_EQ(image.size, size);
    ASSERT_EQ(image.color.size(), pixels.size());

    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // (x, y) goes to (y, size - 1 - x)
            ASSERT_EQ(At(image.color, size, y, size - 1 - x), At(pixels, size, x, y)) << x << "," << y;
            DWORD expectedMask = transparent[static_cast<size_t>(y) * size + x] ? 0xFFFFFF : 0;
            ASSERT_EQ(At(image.mask, size, y, size - 1 - x), expectedMask) << x << "," << y;
        }

    // Four turns give the picture back.
    IconHandle turned(CreateRotatedIcon(rotated.get()));
    turned.Reset(CreateRotatedIcon(IconHandle(CreateRotatedIcon(turned.get())).get()));
    ASSERT_TRUE(turned);
    EXPECT_EQ(ReadIcon(turned.get()).color, pixels);

    EXPECT_EQ(CreateRotatedIcon(nullptr), nullptr);
}

TEST(CreateRotatedIcon, MonochromeIconTurnsBothMasks)
{
    // 16 x 16: AND mask with only the top-left pixel set, XOR mask with the top-right one.
    BYTE andBits[32] = {};
    BYTE xorBits[32] = {};
    andBits[0] = 0x80;
    xorBits[1] = 0x01;
    IconHandle mono(::CreateIcon(::GetModuleHandleW(nullptr), 16, 16, 1, 1, andBits, xorBits));
    ASSERT_TRUE(mono);
    SIZE size = GetIconSize(mono.get());
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 16);

    IconHandle rotated(CreateRotatedIcon(mono.get()));
    ASSERT_TRUE(rotated);
    IconImage image = ReadIcon(rotated.get());
    ASSERT_TRUE(image.color.empty());
    ASSERT_EQ(image.mask.size(), 16u * 32u);
    // AND (0, 0) -> (0, 15); XOR (15, 0) -> (0, 0) of the lower half.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 16; ++x) {
            bool set = (x == 0 && y == 15) || (x == 0 && y == 16);
            EXPECT_EQ(At(image.mask, 16, x, y), set ? 0xFFFFFFu : 0u) << x << "," << y;
        }
}

TEST(RecolorIcon, GreyCopyKeepsTransparentBlackAlphaAndMask)
{
    const int size = 4;
    std::vector<DWORD> pixels = {
        0x00000000, 0xFFFF0000, 0xFFFFFFFF, 0x80336699, // transparent black, red, white, half-transparent
        0x00FF0000, 0xFF000000, 0xFF102030, 0xFF808080, 0, 0, 0, 0, 0, 0, 0, 0,
    };
    std::vector<bool> transparent(pixels.size(), false);
    transparent[0] = true;
    transparent[4] = true;
    IconHandle source(MakeIcon(size, pixels, transparent));
    ASSERT_TRUE(source);

    IconHandle grey(CreateGrayscaleIcon(source.get()));
    ASSERT_TRUE(grey);
    IconImage image = ReadIcon(grey.get());
    ASSERT_EQ(image.color.size(), pixels.size());

    auto greyPixel = [](DWORD alpha, DWORD level) {
        return (alpha << 24) | (level << 16) | (level << 8) | level;
    };
    EXPECT_EQ(image.color[0], 0x00000000u) << "transparent black stays";
    EXPECT_EQ(image.color[1], greyPixel(0xFF, 85));
    EXPECT_EQ(image.color[2], greyPixel(0xFF, 254)) << "white turns 254";
    EXPECT_EQ(image.color[3], greyPixel(0x80, (0x33 + 0x66 + 0x99) / 3));
    EXPECT_EQ(image.color[4], greyPixel(0x00, 85)) << "only black keeps itself when transparent";
    EXPECT_EQ(image.color[5], greyPixel(0xFF, 0)) << "opaque black stays black";
    EXPECT_EQ(image.color[6], greyPixel(0xFF, (0x10 + 0x20 + 0x30) / 3));
    EXPECT_EQ(image.color[7], greyPixel(0xFF, 0x80));

    IconImage original = ReadIcon(source.get());
    EXPECT_EQ(image.mask, original.mask);
}

TEST(RecolorIcon, TableIsIndexedByInvertedBrightness)
{
    COLORREF table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = RGB(i, 0, 255 - i); // COLORREF order: red in the low byte
    const int size = 2;
    std::vector<DWORD> pixels = {0xFF000000, 0xFF303030, 0xFFFFFFFF, 0xFF0000FF};
    IconHandle source(MakeIcon(size, pixels, std::vector<bool>(4, false)));
    IconHandle recolored(RecolorIcon(source.get(), table));
    ASSERT_TRUE(recolored);
    IconImage image = ReadIcon(recolored.get());
    auto pixelOf = [](int f) { return 0xFF000000u | (DWORD(f) << 16) | DWORD(255 - f); };
    EXPECT_EQ(image.color[0], pixelOf(255));
    EXPECT_EQ(image.color[1], pixelOf(255 - 0x30));
    EXPECT_EQ(image.color[2], pixelOf(1)) << "f = 0 takes entry 1";
    EXPECT_EQ(image.color[3], pixelOf(255 - 85));

    EXPECT_EQ(RecolorIcon(source.get(), nullptr), nullptr);
    EXPECT_EQ(RecolorIcon(nullptr, table), nullptr);
    BYTE andBits[32] = {};
    BYTE xorBits[32] = {};
    IconHandle mono(::CreateIcon(::GetModuleHandleW(nullptr), 16, 16, 1, 1, andBits, xorBits));
    EXPECT_EQ(RecolorIcon(mono.get(), table), nullptr) << "no colour bitmap";
}

TEST(IconHelpers, ValiditySizeAndResourceIcons)
{
    std::vector<DWORD> pixels;
    std::vector<bool> transparent;
    IconHandle icon(MakePatternIcon(24, pixels, transparent));
    EXPECT_TRUE(IsValidIcon(icon.get()));
    SIZE size = GetIconSize(icon.get());
    EXPECT_EQ(size.cx, 24);
    EXPECT_EQ(size.cy, 24);

    EXPECT_FALSE(IsValidIcon(nullptr));
    size = GetIconSize(nullptr);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);

    // The shell's open-folder icon (resource 4).
    HMODULE shell = ::LoadLibraryW(L"shell32.dll");
    IconHandle small(LoadIconSmall(shell, 4));
    ASSERT_TRUE(small);
    EXPECT_EQ(GetIconSize(small.get()).cx, 16);
    IconHandle large(LoadIconSized(shell, 4, 48));
    ASSERT_TRUE(large);
    EXPECT_EQ(GetIconSize(large.get()).cx, 48);
    EXPECT_EQ(LoadIconSized(shell, 0x7FF0, 16), nullptr);
}

TEST(IconHelpers, ShellIcons)
{
    scvtest::TempFolder folder;
    std::wstring file = folder.WriteBytes(L"note.txt", "x");
    ASSERT_FALSE(file.empty());

    IconHandle pathIcon(GetPathIcon(file.c_str(), false));
    EXPECT_TRUE(pathIcon);
    EXPECT_EQ(GetPathIcon(file.c_str(), true), nullptr);

    IconHandle smallType(GetFileTypeIcon(L".txt", false));
    ASSERT_TRUE(smallType);
    EXPECT_EQ(GetIconSize(smallType.get()).cx, ::GetSystemMetrics(SM_CXSMICON));
    IconHandle largeType(LoadFileTypeIcon(L"C:\\does\\not\\exist.txt", true));
    ASSERT_TRUE(largeType);
    EXPECT_EQ(GetIconSize(largeType.get()).cx, ::GetSystemMetrics(SM_CXICON));

    for (bool open : {false, true})
        for (bool large : {false, true}) {
            IconHandle folderIcon(GetStockFolderIcon(open, large));
            ASSERT_TRUE(folderIcon) << "open " << open << " large " << large;
            EXPECT_EQ(GetIconSize(folderIcon.get()).cx, ::GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON));
        }
    IconHandle compat(GetStockIconCompat(1, false));
    EXPECT_TRUE(compat);
}

TEST(CImageListCache, OneImagePerName)
{
    std::vector<DWORD> pixels;
    std::vector<bool> transparent;
    IconHandle first(MakePatternIcon(16, pixels, transparent));
    IconHandle second(MakePatternIcon(16, pixels, transparent));

    CImageListCache cache;
    EXPECT_EQ(cache.AddIcon(first.get(), L"a"), -1) << "no image list yet";
    EXPECT_EQ(cache.GetIndex(L"a"), -1);

    cache.SetImageList(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 1));
    ASSERT_NE(cache.GetImageList(), nullptr);
    EXPECT_EQ(cache.AddIcon(first.get(), L"a"), 0);
    EXPECT_EQ(cache.AddIcon(second.get(), L"a"), 0) << "same name, same index";
    EXPECT_EQ(::ImageList_GetImageCount(cache.GetImageList()), 1);
    EXPECT_EQ(cache.AddIcon(second.get(), L"A"), 1) << "names compare by exact characters";
    EXPECT_EQ(cache.GetIndex(L"A"), 1);
    EXPECT_EQ(cache.GetIndex(L"b"), -1);
    EXPECT_EQ(cache.GetIndex(nullptr), -1);
    EXPECT_EQ(cache.AddIcon(first.get(), nullptr), -1);
    EXPECT_EQ(cache.AddIcon(nullptr, L"broken"), -1);
    EXPECT_EQ(cache.GetIndex(L"broken"), -1);

    EXPECT_TRUE(cache.Destroy());
    EXPECT_EQ(cache.GetImageList(), nullptr);
    EXPECT_EQ(cache.GetIndex(L"a"), -1);
    EXPECT_FALSE(cache.Destroy());
}
