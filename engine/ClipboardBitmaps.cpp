#include "engine/ClipboardBitmaps.h"
#include "common/FileBytes.h"

#include <cstring>
#include <vector>

#include "common/GdiObjectGuards.h"
#include "common/KernelHandle.h"
#include "engine/ClipboardAccess.h"

namespace
{
// A BITMAPINFOHEADER with room for the largest colour table (or the masks).
struct DibInfo
{
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];

    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// Planes x bits per pixel, rounded up to a depth a .bmp file can have.
WORD FileColourBits(const BITMAP& bitmap)
{
    const int bits = bitmap.bmPlanes * bitmap.bmBitsPixel;
    if (bits <= 1)
        return 1;
    if (bits <= 4)
        return 4;
    if (bits <= 8)
        return 8;
    if (bits <= 16)
        return 16;
    if (bits <= 24)
        return 24;
    return 32;
}

DWORD ImageSize(LONG width, LONG height, WORD bits)
{
    const DWORD stride = ((static_cast<DWORD>(width) * bits + 31) & ~31u) / 8;
    return stride * static_cast<DWORD>(height < 0 ? -height : height);
}

// The header of a bitmap's DIB as GetDIBits reports it; false on failure.
bool QueryDibHeader(HDC dc, HBITMAP bitmap, DibInfo& info)
{
    std::memset(&info, 0, sizeof(info));
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    return ::GetDIBits(dc, bitmap, 0, 0, nullptr, info.get(), DIB_RGB_COLORS) != 0;
}

// The pixels of a bitmap in the format of `info` (whose colour table is filled too).
bool ReadDibBits(HDC dc, HBITMAP bitmap, DibInfo& info, std::vector<BYTE>& bits)
{
    const LONG height = info.header.biHeight < 0 ? -info.header.biHeight : info.header.biHeight;
    const DWORD size = ImageSize(info.header.biWidth, height, info.header.biBitCount);
    bits.assign(size > info.header.biSizeImage ? size : info.header.biSizeImage, 0);
    return ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), bits.data(), info.get(), DIB_RGB_COLORS) !=
           0;
}
} // namespace

namespace
{
// A .bmp file's headers for pixels of `bits` per pixel (a colour table of `coloursUsed` entries follows
// the info header).
BITMAPFILEHEADER FileHeaderFor(DWORD infoSize, DWORD imageSize)
{
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfOffBits = sizeof(BITMAPFILEHEADER) + infoSize;
    fileHeader.bfSize = fileHeader.bfOffBits + imageSize;
    return fileHeader;
}

// Whether the section's memory holds its rows bottom-up, as a .bmp file does. GDI reports the height
// of a top-down section as positive too: the bottom row read through GetDIBits tells which end of
// the memory it is at. False when the first and last rows are alike (the order cannot be told).
bool RowsAreBottomUp(HBITMAP bitmap, const DIBSECTION& section)
{
    const LONG height = section.dsBm.bmHeight;
    if (height < 2)
        return true;
    const WORD bits = section.dsBmih.biBitCount;
    const size_t stride = ImageSize(section.dsBm.bmWidth, 1, bits);
    const size_t rowBytes = static_cast<size_t>(section.dsBm.bmWidth) * (bits / 8);
    const auto* first = static_cast<const BYTE*>(section.dsBm.bmBits);
    const BYTE* last = first + stride * static_cast<size_t>(height - 1);
    if (std::memcmp(first, last, rowBytes) == 0)
        return false;
    WindowDC screen;
    if (!screen)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = section.dsBm.bmWidth;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bits;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> bottom(stride);
    return ::GetDIBits(screen.get(), bitmap, 0, 1, bottom.data(), &info, DIB_RGB_COLORS) == 1 &&
           std::memcmp(bottom.data(), first, rowBytes) == 0;
}

// A bottom-up DIB section of 24 or 32 bits without masks: its pixels are the file's pixels as they are.
bool IsPlainDibSection(HBITMAP bitmap, DIBSECTION& section)
{
    if (::GetObjectW(bitmap, sizeof(section), &section) != sizeof(section))
        return false;
    const BITMAPINFOHEADER& own = section.dsBmih;
    if (!section.dsBm.bmBits || own.biCompression != BI_RGB || (own.biBitCount != 24 && own.biBitCount != 32) ||
        section.dsBm.bmWidth <= 0 || section.dsBm.bmHeight <= 0 || own.biWidth != section.dsBm.bmWidth)
        return false;
    ::GdiFlush(); // drawing still queued for the section lands in its memory first
    return RowsAreBottomUp(bitmap, section);
}

// The file straight from the DIB section's memory: no device context, no copy of the pixels.
bool WriteDibSectionFile(HANDLE file, const DIBSECTION& section)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = section.dsBm.bmWidth;
    header.biHeight = section.dsBm.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = section.dsBmih.biBitCount;
    header.biCompression = BI_RGB;
    header.biSizeImage = ImageSize(header.biWidth, header.biHeight, header.biBitCount);
    BYTE headers[sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)];
    const BITMAPFILEHEADER fileHeader = FileHeaderFor(sizeof(header), header.biSizeImage);
    std::memcpy(headers, &fileHeader, sizeof(fileHeader));
    std::memcpy(headers + sizeof(fileHeader), &header, sizeof(header));
    return WriteAllBytes(file, headers, sizeof(headers)) &&
           WriteAllBytes(file, section.dsBm.bmBits, header.biSizeImage);
}

// Any other bitmap: its pixels read through GetDIBits in the file's depth.
bool WriteBitmapFileThroughGdi(HANDLE file, HBITMAP bitmap)
{
    WindowDC screen;
    if (!screen)
        return false;
    MemoryDC dc(screen.get());
    if (!dc)
        return false;

    BITMAP object{};
    if (!::GetObjectW(bitmap, sizeof(object), &object))
        return false;
    const WORD bits = FileColourBits(object);
    const DWORD coloursUsed = bits < 24 ? (1u << bits) : 0;
    // The colour table, and room for the masks GetDIBits may write for 32 bits.
    const size_t tableRoom = bits == 32 ? 4 : (bits <= 16 ? 4u * (1u << bits) : 0);
    std::vector<BYTE> infoBytes(sizeof(BITMAPINFOHEADER) + tableRoom + 3 * sizeof(DWORD), 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    BITMAPINFOHEADER& header = info->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = object.bmWidth;
    header.biHeight = object.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = bits;
    header.biCompression = BI_RGB;
    header.biSizeImage = ImageSize(object.bmWidth, object.bmHeight, bits);
    header.biClrUsed = coloursUsed;
    header.biClrImportant = 0;
    const DWORD imageSize = header.biSizeImage;

    std::vector<BYTE> pixels(imageSize);
    if (imageSize == 0 || !::GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(object.bmHeight), pixels.data(),
                                       info, DIB_RGB_COLORS))
        return false;
    // GetDIBits may rewrite these; the file states what it holds.
    header.biSizeImage = imageSize;
    header.biClrUsed = coloursUsed;

    const DWORD infoSize = sizeof(BITMAPINFOHEADER) + 4 * coloursUsed;
    const BITMAPFILEHEADER fileHeader = FileHeaderFor(infoSize, imageSize);
    return WriteAllBytes(file, &fileHeader, sizeof(fileHeader)) && WriteAllBytes(file, info, infoSize) &&
           WriteAllBytes(file, pixels.data(), imageSize);
}
} // namespace

bool WriteBitmapFile(HANDLE file, HBITMAP bitmap)
{
    if (!file || file == INVALID_HANDLE_VALUE || !bitmap)
        return false;
    DIBSECTION section{};
    if (IsPlainDibSection(bitmap, section))
        return WriteDibSectionFile(file, section);
    return WriteBitmapFileThroughGdi(file, bitmap);
}

bool SaveBitmapToFile(LPCWSTR path, HBITMAP bitmap)
{
    if (!path || !bitmap)
        return false;
    CKernelHandle file(::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const bool written = WriteBitmapFile(file.Get(), bitmap);
    const bool closed = ::CloseHandle(file.Release()) != FALSE;
    if (!written || !closed) {
        ::DeleteFileW(path); // no half-written picture is left behind
        return false;
    }
    return true;
}

HBITMAP BitmapFromFileBytes(const void* bytes, size_t size)
{
    BITMAPFILEHEADER fileHeader{};
    BITMAPINFO info{};
    if (!bytes || size < sizeof(fileHeader) + sizeof(BITMAPINFOHEADER))
        return nullptr;
    const auto* data = static_cast<const BYTE*>(bytes);
    std::memcpy(&fileHeader, data, sizeof(fileHeader));
    std::memcpy(&info.bmiHeader, data + sizeof(fileHeader), sizeof(BITMAPINFOHEADER));
    const BITMAPINFOHEADER& header = info.bmiHeader;
    if (fileHeader.bfType != 0x4D42 || header.biSize != sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
        (header.biBitCount != 24 && header.biBitCount != 32) || header.biCompression != BI_RGB ||
        header.biClrUsed != 0 || header.biWidth <= 0 || header.biHeight <= 0)
        return nullptr;
    const unsigned long long stride = (static_cast<unsigned long long>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    const unsigned long long imageSize = stride * static_cast<unsigned long long>(header.biHeight);
    const size_t offset = fileHeader.bfOffBits;
    if (offset < sizeof(fileHeader) + sizeof(BITMAPINFOHEADER) || offset > size || imageSize > size - offset)
        return nullptr;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap || !pixels) {
        if (bitmap)
            ::DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(pixels, data + offset, static_cast<size_t>(imageSize));
    return bitmap;
}

bool PutBitmapToClipboard(HBITMAP bitmap)
{
    BITMAP object{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(object), &object) != sizeof(object))
        return false;
    HANDLE copy = ::CopyImage(bitmap, IMAGE_BITMAP, object.bmWidth, object.bmHeight, 0);
    if (!copy)
        return false;
    if (!::OpenClipboard(::GetDesktopWindow())) {
        ::DeleteObject(copy);
        return false;
    }
    CAutoCloseClipboard close(kOwnClipboardChange);
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_BITMAP, copy)) {
        ::DeleteObject(copy);
        return false;
    }
    return true;
}

bool BitmapsEqual(HBITMAP a, HBITMAP b)
{
    if (a == b)
        return true;
    if (!a || !b)
        return false;
    WindowDC screen;
    if (!screen)
        return false;

    DibInfo infoA{};
    DibInfo infoB{};
    if (!QueryDibHeader(screen.get(), a, infoA) || !QueryDibHeader(screen.get(), b, infoB) ||
        std::memcmp(&infoA.header, &infoB.header, sizeof(BITMAPINFOHEADER)) != 0)
        return false;

    std::vector<BYTE> bitsA;
    std::vector<BYTE> bitsB;
    if (!ReadDibBits(screen.get(), a, infoA, bitsA) || !ReadDibBits(screen.get(), b, infoB, bitsB))
        return false;
    // Palette bitmaps: equal indexes into different colours are different pictures.
    const WORD depth = infoA.header.biBitCount;
    const size_t tableSize = depth <= 8 ? (sizeof(RGBQUAD) << depth) : 0;
    return bitsA == bitsB && std::memcmp(infoA.colours, infoB.colours, tableSize) == 0;
}

unsigned long long HashBytes(const void* bytes, size_t size, unsigned long long hash)
{
    const auto* p = static_cast<const BYTE*>(bytes);
    for (size_t i = 0; i < size; ++i) {
        hash ^= p[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

bool GetBitmapFingerprint(HBITMAP bitmap, unsigned long long& fingerprint)
{
    if (!bitmap)
        return false;
    WindowDC screen;
    if (!screen)
        return false;
    DibInfo info{};
    std::vector<BYTE> bits;
    if (!QueryDibHeader(screen.get(), bitmap, info))
        return false;
    // The header as QueryDibHeader gave it: the one BitmapsEqual compares.
    const BITMAPINFOHEADER header = info.header;
    if (!ReadDibBits(screen.get(), bitmap, info, bits))
        return false;
    unsigned long long hash = HashBytes(&header, sizeof(header), kFingerprintSeed);
    hash = HashBytes(bits.data(), bits.size(), hash);
    const WORD depth = header.biBitCount;
    if (depth <= 8)
        hash = HashBytes(info.colours, sizeof(RGBQUAD) << depth, hash);
    fingerprint = hash;
    return true;
}
