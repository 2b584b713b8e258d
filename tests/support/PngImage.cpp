#include "support/PngImage.h"

#include "support/TestFiles.h"

#include <zlib.h>

#include <cstdlib>

namespace scvtest
{

namespace
{

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr size_t kSignatureSize = 8;
constexpr std::uint8_t kColourGrey = 0, kColourRgb = 2, kColourGreyAlpha = 4, kColourRgba = 6;

void AppendBigEndian(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t ReadBigEndian(std::string_view bytes, size_t at)
{
    std::uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
}

std::uint32_t Crc(std::string_view type, std::string_view data)
{
    uLong crc = crc32(0, nullptr, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(type.data()), static_cast<uInt>(type.size()));
    if (!data.empty()) // zlib answers 0 for a null buffer, whatever crc was
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    return static_cast<std::uint32_t>(crc);
}

void AppendChunk(std::string& out, std::string_view type, std::string_view data)
{
    AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    out.append(type);
    out.append(data);
    AppendBigEndian(out, Crc(type, data));
}

int ChannelsOf(std::uint8_t colourType)
{
    switch (colourType) {
    case kColourGrey:
        return 1;
    case kColourGreyAlpha:
        return 2;
    case kColourRgb:
        return 3;
    case kColourRgba:
        return 4;
    default:
        return 0;
    }
}

int Paeth(int a, int b, int c)
{
    int p = a + b - c;
    int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Reverses the per-row filters in place; false for an unknown filter type.
bool Unfilter(std::vector<std::uint8_t>& raw, size_t rowBytes, int height, int pixelBytes)
{
    std::vector<std::uint8_t> previous(rowBytes, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = raw.data() + static_cast<size_t>(y) * (rowBytes + 1);
        std::uint8_t filter = row[0];
        std::uint8_t* line = row + 1;
        for (size_t i = 0; i < rowBytes; ++i) {
            int left = i >= static_cast<size_t>(pixelBytes) ? line[i - pixelBytes] : 0;
            int up = previous[i];
            int upLeft = i >= static_cast<size_t>(pixelBytes) ? previous[i - pixelBytes] : 0;
            int predictor = 0;
            switch (filter) {
            case 0:
                predictor = 0;
                break;
            case 1:
                predictor = left;
                break;
            case 2:
                predictor = up;
                break;
            case 3:
                predictor = (left + up) / 2;
                break;
            case 4:
                predictor = Paeth(left, up, upLeft);
                break;
            default:
                return false;
            }
            line[i] = static_cast<std::uint8_t>(line[i] + predictor);
        }
        previous.assign(line, line + rowBytes);
    }
    return true;
}

} // namespace

COLORREF RgbImage::At(int x, int y) const
{
    const std::uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
    return RGB(p[0], p[1], p[2]);
}

void RgbImage::Set(int x, int y, COLORREF color)
{
    std::uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
    p[0] = GetRValue(color);
    p[1] = GetGValue(color);
    p[2] = GetBValue(color);
}

std::string EncodePng(const RgbImage& image)
{
    if (image.Empty() || image.pixels.size() != static_cast<size_t>(image.width) * image.height * 3)
        return {};
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    std::string raw;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw.push_back('\0'); // filter type None
        raw.append(reinterpret_cast<const char*>(image.pixels.data()) + y * rowBytes, rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::string header;
    AppendBigEndian(header, static_cast<std::uint32_t>(image.width));
    AppendBigEndian(header, static_cast<std::uint32_t>(image.height));
    // bit depth, colour type, compression, filter method, interlace method
    const char layout[] = {8, static_cast<char>(kColourRgb), 0, 0, 0};
    header.append(layout, sizeof(layout));

    std::string png(kSignature, kSignatureSize);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", {});
    return png;
}

bool WritePng(const std::wstring& path, const RgbImage& image)
{
    std::string png = EncodePng(image);
    return !png.empty() && WriteFileBytes(path, png);
}

std::optional<RgbImage> DecodePng(std::string_view bytes)
{
    if (bytes.size() < kSignatureSize ||
        bytes.substr(0, kSignatureSize) != std::string_view(kSignature, kSignatureSize))
        return std::nullopt;
    std::uint32_t width = 0, height = 0;
    int channels = 0;
    std::string packed;
    bool ended = false;
    for (size_t at = kSignatureSize; at + 12 <= bytes.size() && !ended;) {
        std::uint32_t length = ReadBigEndian(bytes, at);
        if (length > bytes.size() - at - 12)
            return std::nullopt;
        std::string_view type = bytes.substr(at + 4, 4);
        std::string_view data = bytes.substr(at + 8, length);
        if (ReadBigEndian(bytes, at + 8 + length) != Crc(type, data))
            return std::nullopt;
        if (type == "IHDR") {
            if (length != 13)
                return std::nullopt;
            width = ReadBigEndian(data, 0);
            height = ReadBigEndian(data, 4);
            channels = ChannelsOf(static_cast<std::uint8_t>(data[9]));
            bool supported = data[8] == 8 && channels != 0 && data[10] == 0 && data[11] == 0 && data[12] == 0;
            if (!supported || width == 0 || height == 0 || width > 1u << 15 || height > 1u << 15)
                return std::nullopt;
        } else if (type == "IDAT") {
            packed.append(data);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (!ended || channels == 0)
        return std::nullopt;

    const size_t rowBytes = static_cast<size_t>(width) * channels;
    std::vector<std::uint8_t> raw((rowBytes + 1) * height);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(packed.data()),
                   static_cast<uLong>(packed.size())) != Z_OK ||
        rawSize != raw.size())
        return std::nullopt;
    if (!Unfilter(raw, rowBytes, static_cast<int>(height), channels))
        return std::nullopt;

    RgbImage image(static_cast<int>(width), static_cast<int>(height));
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* line = raw.data() + y * (rowBytes + 1) + 1;
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t* source = line + x * channels;
            bool grey = channels <= 2;
            image.Set(static_cast<int>(x), static_cast<int>(y),
                      grey ? RGB(source[0], source[0], source[0]) : RGB(source[0], source[1], source[2]));
        }
    }
    return image;
}

std::optional<RgbImage> ReadPng(const std::wstring& path)
{
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes)
        return std::nullopt;
    return DecodePng(*bytes);
}

} // namespace scvtest
