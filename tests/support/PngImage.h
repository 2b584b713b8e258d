#pragma once
// A plain RGB image and its PNG form (8-bit, not interlaced), for screenshots
// and for tests that look at pixels.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scvtest
{

struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // R, G, B for each pixel, rows top to bottom

    RgbImage() = default;
    RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 3) {}
    bool Empty() const { return width <= 0 || height <= 0; }
    // The pixel as a COLORREF (RGB(r, g, b)); (x, y) must be inside.
    COLORREF At(int x, int y) const;
    void Set(int x, int y, COLORREF color);
};

// The PNG file bytes (colour type 2, 8 bits, zlib-compressed IDAT).
std::string EncodePng(const RgbImage& image);
bool WritePng(const std::wstring& path, const RgbImage& image);

// Decodes 8-bit grey, grey+alpha, RGB and RGBA PNGs that are not interlaced
// (alpha is dropped), checking the signature and every chunk's CRC. nullopt
// for anything else or any damage.
std::optional<RgbImage> DecodePng(std::string_view bytes);
std::optional<RgbImage> ReadPng(const std::wstring& path);

} // namespace scvtest
