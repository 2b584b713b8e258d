#pragma once

// A small 8-bit palette image filled pixel by pixel and blitted: one memory
// block holding the header, 256 palette entries and the bottom-up pixel rows
// (each padded to 4 bytes). The DIB section and memory DC it is drawn through
// are made on the first Draw and freed with the object. Only 8 bits per pixel
// are accepted: every pixel is one byte.

#include <windows.h>

#include <vector>

class PaletteBitmap
{
public:
    PaletteBitmap() = default;
    ~PaletteBitmap();
    PaletteBitmap(const PaletteBitmap&) = delete;
    PaletteBitmap& operator=(const PaletteBitmap&) = delete;

    // Frees the old image and makes a new one; null for a depth other than 8
    // or a size that is not positive.
    BITMAPINFOHEADER* Create(int width, int height, int bitsPerPixel);
    void SetPaletteColor(int index, BYTE red, BYTE green, BYTE blue);
    // Every palette entry moves `percent` (at most 100) towards the colour.
    void BlendPalette(COLORREF color, int percent);
    void Fill(BYTE index);
    // Ignored outside the image.
    void SetPixel(int x, int y, BYTE index);
    BYTE GetPixel(int x, int y) const;
    RGBQUAD GetPaletteColor(int index) const;
    void Draw(HDC dc, int x, int y);
    void Reset();

    int Width() const { return Header() ? Header()->biWidth : 0; }
    int Height() const { return Header() ? Header()->biHeight : 0; }
    int PaletteSize() const { return m_paletteSize; }
    int RowSize() const { return m_rowSize; }

private:
    const BITMAPINFOHEADER* Header() const;
    RGBQUAD* Palette();
    BYTE* Pixels();

    std::vector<BYTE> m_block;
    int m_paletteSize = 0;
    int m_rowSize = 0;
    HBITMAP m_section = nullptr;
    void* m_sectionBits = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_previousBitmap = nullptr;
};
