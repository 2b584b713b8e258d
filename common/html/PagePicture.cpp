#include "common/html/PagePicture.h"

#include "common/ComPtr.h"
#include "common/GdiHelpers.h"

#include <objbase.h>
#include <wincodec.h>

#include <vector>

namespace html
{

namespace
{

constexpr int kLargestPictureSide = 4096;

SIZE TargetSize(UINT ownWidth, UINT ownHeight, int width, int height)
{
    if (width <= 0 && height <= 0)
        return SIZE{static_cast<LONG>(ownWidth), static_cast<LONG>(ownHeight)};
    if (width <= 0)
        width = static_cast<int>(static_cast<long long>(ownWidth) * height / ownHeight);
    if (height <= 0)
        height = static_cast<int>(static_cast<long long>(ownHeight) * width / ownWidth);
    return SIZE{width, height};
}

// Premultiplied BGRA pixels over the background colour, as an opaque top-down DIB section.
HBITMAP OpaqueBitmap(const std::vector<BYTE>& pixels, int width, int height, COLORREF background)
{
    BITMAPINFO info = MakeTopDown32BitInfo(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
        return bitmap;
    auto* out = static_cast<BYTE*>(bits);
    const BYTE back[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        const int alpha = pixels[i + 3];
        for (int c = 0; c < 3; ++c)
            out[i + c] = static_cast<BYTE>(pixels[i + c] + back[c] * (255 - alpha) / 255);
        out[i + 3] = 255;
    }
    return bitmap;
}

} // namespace

std::wstring LocalPicturePath(const std::wstring& address)
{
    static const std::wstring kFile = L"file:";
    if (address.compare(0, kFile.size(), kFile) == 0) {
        std::wstring path = address.substr(kFile.size());
        size_t slashes = 0;
        while (slashes < path.size() && path[slashes] == L'/')
            ++slashes;
        // "file:///C:/x" and "file://C:/x" name a drive path; "file://server/share" a network one.
        path = path.size() > slashes + 1 && path[slashes + 1] == L':' ? path.substr(slashes)
                                                                      : L"\\\\" + path.substr(slashes);
        for (wchar_t& ch : path)
            if (ch == L'/')
                ch = L'\\';
        return path;
    }
    if (address.find(L"://") != std::wstring::npos || address.compare(0, 4, L"res:") == 0)
        return std::wstring();
    return address;
}

HBITMAP LoadPagePicture(const std::wstring& path, int width, int height, COLORREF background)
{
    if (path.empty() || width > kLargestPictureSide || height > kLargestPictureSide)
        return nullptr;
    ComApartment com;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, factory.OutVoid())))
        return nullptr;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())))
        return nullptr;
    UINT ownWidth = 0;
    UINT ownHeight = 0;
    if (FAILED(frame->GetSize(&ownWidth, &ownHeight)) || ownWidth == 0 || ownHeight == 0)
        return nullptr;
    const SIZE size = TargetSize(ownWidth, ownHeight, width, height);
    if (size.cx <= 0 || size.cy <= 0 || size.cx > kLargestPictureSide || size.cy > kLargestPictureSide)
        return nullptr;
    ComPtr<IWICBitmapScaler> scaler;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateBitmapScaler(scaler.Out())) ||
        FAILED(scaler->Initialize(frame.Get(), static_cast<UINT>(size.cx), static_cast<UINT>(size.cy),
                                  WICBitmapInterpolationModeFant)) ||
        FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(scaler.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return nullptr;
    const UINT stride = static_cast<UINT>(size.cx) * 4;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * static_cast<size_t>(size.cy));
    if (FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data())))
        return nullptr;
    return OpaqueBitmap(pixels, size.cx, size.cy, background);
}

} // namespace html
