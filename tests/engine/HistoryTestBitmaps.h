#pragma once

// Small 32-bit DIB sections for clipboard-history tests.

#include <windows.h>

// A width x height bitmap whose pixels alternate between `even` and `odd`.
inline HBITMAP MakeTestDib(int width, int height, DWORD even, DWORD odd)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        for (int i = 0; i < width * height; ++i)
            static_cast<DWORD*>(bits)[i] = i % 2 ? odd : even;
    }
    return bitmap;
}
