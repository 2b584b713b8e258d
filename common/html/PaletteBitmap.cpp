#include "common/html/PaletteBitmap.h"

#include <algorithm>
#include <cstring>

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

BITMAPINFOHEADER* PaletteBitmap::Create(int width, int height, int bitsPerPixel)
{
    Reset();
    if (bitsPerPixel != 8 || width <= 0 || height <= 0 || width > 32768 || height > 32768)
        return nullptr;
    m_paletteSize = 256;
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
    std::memset(Pixels(), index, static_cast<size_t>(m_rowSize) * Height());
}

void PaletteBitmap::SetPixel(int x, int y, BYTE index)
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    Pixels()[static_cast<size_t>(Height() - y - 1) * m_rowSize + x] = index;
}

BYTE PaletteBitmap::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0;
    const BYTE* pixels = m_block.data() + sizeof(BITMAPINFOHEADER) + m_paletteSize * sizeof(RGBQUAD);
    return pixels[static_cast<size_t>(Height() - y - 1) * m_rowSize + x];
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
