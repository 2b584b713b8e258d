#include "support/Screenshot.h"

#include <memory>

namespace scvtest
{

namespace
{

struct ScreenDcRelease
{
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDelete
{
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GdiObjectDelete
{
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using ScreenDc = std::unique_ptr<HDC__, ScreenDcRelease>;
using MemoryDc = std::unique_ptr<HDC__, DcDelete>;
using GdiObject = std::unique_ptr<void, GdiObjectDelete>;

class SelectedObject
{
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace

RECT VirtualScreenRect()
{
    RECT rect;
    rect.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    rect.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    rect.right = rect.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    rect.bottom = rect.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return rect;
}

std::optional<RgbImage> CaptureScreenRect(const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return std::nullopt;

    ScreenDc screen(GetDC(nullptr));
    if (!screen)
        return std::nullopt;
    MemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!memory)
        return std::nullopt;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap.get() || !bits)
        return std::nullopt;
    {
        SelectedObject selected(memory.get(), bitmap.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top,
                    SRCCOPY | CAPTUREBLT))
            return std::nullopt;
    }
    GdiFlush();

    RgbImage image(width, height);
    const auto* source = static_cast<const std::uint8_t*>(bits); // B, G, R, unused
    std::uint8_t* target = image.pixels.data();
    for (size_t i = 0, count = static_cast<size_t>(width) * height; i < count;
         ++i, source += 4, target += 3) {
        target[0] = source[2];
        target[1] = source[1];
        target[2] = source[0];
    }
    return image;
}

std::optional<RgbImage> CaptureScreen()
{
    return CaptureScreenRect(VirtualScreenRect());
}

std::optional<RgbImage> CaptureWindow(HWND window)
{
    RECT rect;
    if (!IsWindow(window) || !GetWindowRect(window, &rect))
        return std::nullopt;
    return CaptureScreenRect(rect);
}

bool SaveScreenshotPng(const std::wstring& path)
{
    std::optional<RgbImage> image = CaptureScreen();
    return image && WritePng(path, *image);
}

bool SaveWindowPng(HWND window, const std::wstring& path)
{
    std::optional<RgbImage> image = CaptureWindow(window);
    return image && WritePng(path, *image);
}

} // namespace scvtest
