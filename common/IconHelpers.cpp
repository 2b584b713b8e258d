#include "common/IconHelpers.h"

#include "common/GdiHelpers.h"
#include "common/GdiObjectGuards.h"
#include "common/OsVersionInfo.h"
#include "common/PathFunctions.h"
#include "common/RuntimeBinding.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

namespace
{
// 32-bit pixels of a bitmap, top row first, each 0xAARRGGBB.
struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<DWORD> data;

    DWORD& at(int x, int y) { return data[static_cast<size_t>(y) * width + x]; }
    DWORD at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

bool ReadPixels(HBITMAP bitmap, Pixels& pixels)
{
    BITMAP header = {};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(header), &header) != static_cast<int>(sizeof(header)))
        return false;
    if (header.bmWidth <= 0 || header.bmHeight <= 0)
        return false;
    pixels.width = header.bmWidth;
    pixels.height = header.bmHeight;
    pixels.data.assign(static_cast<size_t>(pixels.width) * pixels.height, 0);

    WindowDC screen;
    if (!screen)
        return false;
    BITMAPINFO info = MakeTopDown32BitInfo(pixels.width, pixels.height);
    int lines = ::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(pixels.height), pixels.data.data(),
                            &info, DIB_RGB_COLORS);
    return lines == pixels.height;
}

// A 32-bit colour bitmap (alpha kept) holding the pixels.
GdiObject<HBITMAP> MakeColorBitmap(const Pixels& pixels)
{
    BITMAPINFO info = MakeTopDown32BitInfo(pixels.width, pixels.height);
    void* bits = nullptr;
    GdiObject<HBITMAP> bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) {
        std::memcpy(bits, pixels.data.data(), pixels.data.size() * sizeof(DWORD));
        ::GdiFlush();
    }
    return bitmap;
}

// A monochrome bitmap: white (bit 1) where a pixel is not black.
GdiObject<HBITMAP> MakeMaskBitmap(const Pixels& pixels)
{
    const int stride = ((pixels.width + 15) / 16) * 2; // rows of CreateBitmap are WORD-aligned
    std::vector<BYTE> bits(static_cast<size_t>(stride) * pixels.height, 0);
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            if (pixels.at(x, y) & 0x00FFFFFF)
                bits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    return GdiObject<HBITMAP>(::CreateBitmap(pixels.width, pixels.height, 1, 1, bits.data()));
}

// Rows [top, top + rows) of the source turned counter-clockwise, placed from
// row `destTop` of the destination (whose width is `rows`).
void RotateBlock(const Pixels& source, int top, int rows, Pixels& dest, int destTop)
{
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < source.width; ++x)
            dest.at(y, destTop + source.width - 1 - x) = source.at(x, top + y);
    }
}

Pixels Rotated(const Pixels& source, int blocks)
{
    const int rows = source.height / blocks;
    Pixels dest;
    dest.width = rows;
    dest.height = source.width * blocks;
    dest.data.assign(static_cast<size_t>(dest.width) * dest.height, 0);
    for (int block = 0; block < blocks; ++block)
        RotateBlock(source, block * rows, rows, dest, block * source.width);
    return dest;
}

HICON MakeIcon(HBITMAP color, HBITMAP mask)
{
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = color;
    info.hbmMask = mask;
    return ::CreateIconIndirect(&info);
}

DWORD PixelFromColorRef(COLORREF colour, DWORD alpha)
{
    return (alpha << 24) | (static_cast<DWORD>(GetRValue(colour)) << 16) |
           (static_cast<DWORD>(GetGValue(colour)) << 8) | GetBValue(colour);
}

using SHGetStockIconInfoFn = HRESULT(WINAPI*)(SHSTOCKICONID, UINT, SHSTOCKICONINFO*);

constexpr SHSTOCKICONID kStockFolderOpen = static_cast<SHSTOCKICONID>(4);
constexpr SHSTOCKICONID kStockFolderClosed = static_cast<SHSTOCKICONID>(75);

HICON StockIcon(SHSTOCKICONID id, bool large)
{
    CLoadedModule shell(L"shell32.dll");
    auto getStockIconInfo = shell.Find<SHGetStockIconInfoFn>("SHGetStockIconInfo");
    if (!getStockIconInfo)
        return nullptr;
    SHSTOCKICONINFO info = {};
    info.cbSize = sizeof(info);
    UINT flags = SHGSI_ICON | (large ? 0 : SHGSI_SMALLICON);
    if (FAILED(getStockIconInfo(id, flags, &info)))
        return nullptr;
    return info.hIcon; // may be null although the call succeeded
}

HICON ShellFolderIcon(LPCWSTR folder, bool open, bool large)
{
    SHFILEINFOW info = {};
    UINT flags =
        SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0) | (large ? 0 : SHGFI_SMALLICON);
    if (!::SHGetFileInfoW(folder, FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info), flags))
        return nullptr;
    return info.hIcon;
}
} // namespace

HICON CreateRotatedIcon(HICON icon)
{
    IconInfo info(icon);
    if (!info.IsValid())
        return nullptr;

    Pixels mask;
    if (!ReadPixels(info.get().hbmMask, mask))
        return nullptr;

    if (!info.get().hbmColor) {
        // A monochrome icon keeps its AND and XOR masks one above the other.
        if (mask.height % 2 != 0)
            return nullptr;
        GdiObject<HBITMAP> turnedMask = MakeMaskBitmap(Rotated(mask, 2));
        return turnedMask ? MakeIcon(nullptr, turnedMask.get()) : nullptr;
    }

    Pixels color;
    if (!ReadPixels(info.get().hbmColor, color))
        return nullptr;
    GdiObject<HBITMAP> turnedColor = MakeColorBitmap(Rotated(color, 1));
    GdiObject<HBITMAP> turnedMask = MakeMaskBitmap(Rotated(mask, 1));
    if (!turnedColor || !turnedMask)
        return nullptr;
    return MakeIcon(turnedColor.get(), turnedMask.get());
}

HICON RecolorIcon(HICON icon, const COLORREF table[256])
{
    if (!table)
        return nullptr;
    IconInfo info(icon);
    if (!info.IsValid() || !info.get().hbmColor)
        return nullptr;

    Pixels color;
    if (!ReadPixels(info.get().hbmColor, color))
        return nullptr;
    for (DWORD& pixel : color.data) {
        DWORD alpha = pixel >> 24;
        DWORD sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
        DWORD f = 255 - sum / 3;
        if (alpha == 0 && f == 255)
            continue; // transparent black
        pixel = PixelFromColorRef(table[f == 0 ? 1 : f], alpha);
    }

    GdiObject<HBITMAP> recolored = MakeColorBitmap(color);
    if (!recolored)
        return nullptr;
    return MakeIcon(recolored.get(), info.get().hbmMask);
}

HICON CreateGrayscaleIcon(HICON icon)
{
    COLORREF table[256];
    for (int i = 0; i < 256; ++i) {
        BYTE grey = static_cast<BYTE>(255 - i);
        table[i] = RGB(grey, grey, grey);
    }
    return RecolorIcon(icon, table);
}

HICON LoadIconSized(HMODULE module, UINT resourceId, int size)
{
    return static_cast<HICON>(
        ::LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

HICON LoadIconSmall(HMODULE module, UINT resourceId)
{
    return LoadIconSized(module, resourceId, 16);
}

bool IsValidIcon(HICON icon)
{
    return IconInfo(icon).IsValid();
}

SIZE GetIconSize(HICON icon)
{
    SIZE size = {0, 0};
    IconInfo info(icon);
    if (!info.IsValid())
        return size;
    BITMAP header = {};
    HBITMAP image = info.get().hbmColor ? info.get().hbmColor : info.get().hbmMask;
    if (::GetObjectW(image, sizeof(header), &header) != static_cast<int>(sizeof(header)))
        return size;
    size.cx = header.bmWidth;
    // A monochrome icon's mask holds the AND and the XOR image one above the other.
    size.cy = info.get().hbmColor ? header.bmHeight : header.bmHeight / 2;
    return size;
}

HICON GetPathIcon(LPCWSTR path, bool reserved)
{
    if (reserved || !path)
        return nullptr;
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON))
        return nullptr;
    return info.hIcon;
}

HICON GetFileTypeIcon(LPCWSTR pathOrExtension, bool large)
{
    if (!pathOrExtension)
        return nullptr;
    CLoadedModule shell(L"shell32.dll");
    SHFILEINFOW info = {};
    UINT flags = SHGFI_ICON | SHGFI_USEFILEATTRIBUTES | (large ? 0 : SHGFI_SMALLICON);
    if (!::SHGetFileInfoW(pathOrExtension, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags))
        return nullptr;
    return info.hIcon;
}

HICON LoadFileTypeIcon(LPCWSTR pathOrExtension, bool large)
{
    return GetFileTypeIcon(pathOrExtension, large);
}

HICON GetStockFolderIcon(bool open, bool large)
{
    if (COsVersionInfo::IsVistaOrLater()) {
        if (HICON icon = StockIcon(open ? kStockFolderOpen : kStockFolderClosed, large))
            return icon;
    }
    // The shell's icon of a folder; any existing folder will do, the program's own is at hand.
    CString folder = GetProgramFolder();
    return ShellFolderIcon(folder, open, large);
}

HICON GetStockIconCompat(int index, bool large)
{
    return GetStockFolderIcon(index == 1, large);
}
