#pragma once

// A small palette image of 1, 4 or 8 bits per pixel, filled pixel by pixel
// and blitted: one memory block (a packed DIB) holding the header, the colour
// table (2, 16 or 256 entries) and the bottom-up pixel rows (each padded to 4
// bytes; pixels of 1 and 4 bits packed from the high bits of each byte). The
// DIB section and memory DC it is drawn through are made on the first Draw
// and freed with the object.

#include <windows.h>

#include <vector>

class PaletteBitmap
{
public:
    PaletteBitmap() = default;
    ~PaletteBitmap();
    PaletteBitmap(const PaletteBitmap&) = delete;
    PaletteBitmap& operator=(const PaletteBitmap&) = delete;

    // Frees the old image and makes a new one; null for a depth other than 1,
    // 4 or 8 or a size that is not positive.
    BITMAPINFOHEADER* Create(int width, int height, int bitsPerPixel);
    void SetPaletteColor(int index, BYTE red, BYTE green, BYTE blue);
    // Every palette entry moves `percent` (at most 100) towards the colour.
    void BlendPalette(COLORREF color, int percent);
    // Every pixel takes the index (cut to the depth: 0-1, 0-15, 0-255).
    void Fill(BYTE index);
    // Ignored outside the image; the index is cut to the depth.
    void SetPixel(int x, int y, BYTE index);
    BYTE GetPixel(int x, int y) const;
    RGBQUAD GetPaletteColor(int index) const;
    void Draw(HDC dc, int x, int y);
    void Reset();

    int Width() const { return Header() ? Header()->biWidth : 0; }
    int Height() const { return Header() ? Header()->biHeight : 0; }
    int BitsPerPixel() const { return Header() ? Header()->biBitCount : 0; }
    int PaletteSize() const { return m_paletteSize; }
    int RowSize() const { return m_rowSize; }

private:
    const BITMAPINFOHEADER* Header() const;
    RGBQUAD* Palette();
    BYTE* Pixels();
    const BYTE* Pixels() const;
    // The byte that holds pixel (x, y), the shift of its bits in it and their mask.
    size_t PixelOffset(int x, int y, int& shift, BYTE& mask) const;

    std::vector<BYTE> m_block;
    int m_paletteSize = 0;
    int m_rowSize = 0;
    HBITMAP m_section = nullptr;
    void* m_sectionBits = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_previousBitmap = nullptr;
};
