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

bool SaveBitmapToFile(LPCWSTR path, HBITMAP bitmap)
{
    if (!path || !bitmap)
        return false;
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
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfOffBits = sizeof(BITMAPFILEHEADER) + infoSize;
    fileHeader.bfSize = fileHeader.bfOffBits + imageSize;

    CKernelHandle file(::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const bool written = WriteAllBytes(file.Get(), &fileHeader, sizeof(fileHeader)) &&
                         WriteAllBytes(file.Get(), info, infoSize) &&
                         WriteAllBytes(file.Get(), pixels.data(), imageSize);
    const bool closed = ::CloseHandle(file.Release()) != FALSE;
    if (!written || !closed) {
        ::DeleteFileW(path); // no half-written picture is left behind
        return false;
    }
    return true;
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
