#include "common/html/PaletteBitmap.h"

#include <algorithm>
#include <cstring>

namespace
{

int PaletteSizeFor(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

} // namespace

PaletteBitmap::~PaletteBitmap()
{
    Reset();
}

const BITMAPINFOHEADER* PaletteBitmap::Header() const
{
    return m_block.empty() ? nullptr : reinterpret_cast<const BITMAPINFOHEADER*>(m_block.data());
}

RGBQUAD* PaletteBitmap::Palette()
{
    return reinterpret_cast<RGBQUAD*>(m_block.data() + sizeof(BITMAPINFOHEADER));
}

BYTE* PaletteBitmap::Pixels()
{
    return m_block.data() + sizeof(BITMAPINFOHEADER) + m_paletteSize * sizeof(RGBQUAD);
}

const BYTE* PaletteBitmap::Pixels() const
{
    return m_block.data() + sizeof(BITMAPINFOHEADER) + m_paletteSize * sizeof(RGBQUAD);
}

size_t PaletteBitmap::PixelOffset(int x, int y, int& shift, BYTE& mask) const
{
    const int bits = BitsPerPixel();
    const int bitInRow = x * bits;
    shift = 8 - bits - bitInRow % 8;
    mask = static_cast<BYTE>(((1 << bits) - 1) << shift);
    return static_cast<size_t>(Height() - y - 1) * m_rowSize + bitInRow / 8;
}

BITMAPINFOHEADER* PaletteBitmap::Create(int width, int height, int bitsPerPixel)
{
    Reset();
    const int paletteSize = PaletteSizeFor(bitsPerPixel);
    if (paletteSize == 0 || width <= 0 || height <= 0 || width > 32768 || height > 32768)
        return nullptr;
    m_paletteSize = paletteSize;
    m_rowSize = ((width * bitsPerPixel + 31) / 32) * 4;
    size_t imageSize = static_cast<size_t>(m_rowSize) * height;
    m_block.assign(sizeof(BITMAPINFOHEADER) + m_paletteSize * sizeof(RGBQUAD) + imageSize, 0);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(imageSize);
    std::memcpy(m_block.data(), &header, sizeof(header));
    return reinterpret_cast<BITMAPINFOHEADER*>(m_block.data());
}

void PaletteBitmap::SetPaletteColor(int index, BYTE red, BYTE green, BYTE blue)
{
    if (index < 0 || index >= m_paletteSize)
        return;
    Palette()[index] = RGBQUAD{blue, green, red, 0};
}

RGBQUAD PaletteBitmap::GetPaletteColor(int index) const
{
    if (index < 0 || index >= m_paletteSize)
        return RGBQUAD{};
    return reinterpret_cast<const RGBQUAD*>(m_block.data() + sizeof(BITMAPINFOHEADER))[index];
}

void PaletteBitmap::BlendPalette(COLORREF color, int percent)
{
    int p = std::clamp(percent, 0, 100);
    auto mix = [p](BYTE entry, BYTE target) {
        return static_cast<BYTE>(entry * (100 - p) / 100 + target * p / 100);
    };
    for (int i = 0; i < m_paletteSize; ++i) {
        RGBQUAD& entry = Palette()[i];
        entry.rgbRed = mix(entry.rgbRed, GetRValue(color));
        entry.rgbGreen = mix(entry.rgbGreen, GetGValue(color));
        entry.rgbBlue = mix(entry.rgbBlue, GetBValue(color));
    }
}

void PaletteBitmap::Fill(BYTE index)
{
    if (m_block.empty())
        return;
    // The index repeated over every pixel slot of a byte.
    const int bits = BitsPerPixel();
    const BYTE value = static_cast<BYTE>(index & (m_paletteSize - 1));
    BYTE pattern = 0;
    for (int shift = 0; shift < 8; shift += bits)
        pattern = static_cast<BYTE>(pattern | (value << shift));
    std::memset(Pixels(), pattern, static_cast<size_t>(m_rowSize) * Height());
}

void PaletteBitmap::SetPixel(int x, int y, BYTE index)
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    int shift = 0;
    BYTE mask = 0;
    BYTE& pixel = Pixels()[PixelOffset(x, y, shift, mask)];
    pixel = static_cast<BYTE>((pixel & ~mask) | ((index << shift) & mask));
}

BYTE PaletteBitmap::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0;
    int shift = 0;
    BYTE mask = 0;
    const BYTE pixel = Pixels()[PixelOffset(x, y, shift, mask)];
    return static_cast<BYTE>((pixel & mask) >> shift);
}

void PaletteBitmap::Draw(HDC dc, int x, int y)
{
    if (m_block.empty() || !dc)
        return;
    auto* info = reinterpret_cast<BITMAPINFO*>(m_block.data());
    if (!m_section) {
        m_section = ::CreateDIBSection(dc, info, DIB_RGB_COLORS, &m_sectionBits, nullptr, 0);
        if (!m_section)
            return;
    }
    std::memcpy(m_sectionBits, Pixels(), static_cast<size_t>(m_rowSize) * Height());
    // The palette may have changed since the section was made.
    if (!m_dc) {
        m_dc = ::CreateCompatibleDC(dc);
        if (!m_dc)
            return;
        m_previousBitmap = ::SelectObject(m_dc, m_section);
    }
    ::SetDIBColorTable(m_dc, 0, m_paletteSize, Palette());
    ::BitBlt(dc, x, y, Width(), Height(), m_dc, 0, 0, SRCCOPY);
}

void PaletteBitmap::Reset()
{
    if (m_dc) {
        ::SelectObject(m_dc, m_previousBitmap);
        ::DeleteDC(m_dc);
        m_dc = nullptr;
    }
    if (m_section) {
        ::DeleteObject(m_section);
        m_section = nullptr;
    }
    m_sectionBits = nullptr;
    m_block.clear();
    m_paletteSize = 0;
    m_rowSize = 0;
}
