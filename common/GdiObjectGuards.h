#pragma once

// Owners of GDI and icon handles that free them on every path.

#include <windows.h>

#include <utility>

// Owner of one handle, freed by `Free` when the owner goes away.
template <typename Handle, typename Free>
class ScopedGdiHandle
{
public:
    ScopedGdiHandle() = default;
    explicit ScopedGdiHandle(Handle handle) : m_handle(handle) {}
    ~ScopedGdiHandle() { Reset(); }
    ScopedGdiHandle(ScopedGdiHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedGdiHandle& operator=(ScopedGdiHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ScopedGdiHandle(const ScopedGdiHandle&) = delete;
    ScopedGdiHandle& operator=(const ScopedGdiHandle&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    // Gives up ownership.
    Handle Release() { return std::exchange(m_handle, nullptr); }
    void Reset(Handle handle = nullptr)
    {
        if (m_handle)
            Free{}(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

struct DeleteGdiObject
{
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};

struct DestroyIconHandle
{
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};

// A GDI object (bitmap, brush, font, pen, region) deleted with DeleteObject.
template <typename Handle>
using GdiObject = ScopedGdiHandle<Handle, DeleteGdiObject>;

// An icon destroyed with DestroyIcon.
using IconHandle = ScopedGdiHandle<HICON, DestroyIconHandle>;

// The device context of a window (the screen for null), released on destruction.
class WindowDC
{
public:
    explicit WindowDC(HWND window = nullptr) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDC()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// A memory device context compatible with another one, deleted on destruction.
class MemoryDC
{
public:
    explicit MemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (m_dc)
            ::DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// An object selected into a device context for the guard's lifetime.
class SelectedObject
{
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(object ? ::SelectObject(dc, object) : nullptr)
    {}
    ~SelectedObject()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            ::SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The result of GetIconInfo; its two bitmaps are deleted on destruction.
class IconInfo
{
public:
    explicit IconInfo(HICON icon) : m_valid(icon && ::GetIconInfo(icon, &m_info)) {}
    ~IconInfo()
    {
        if (m_info.hbmColor)
            ::DeleteObject(m_info.hbmColor);
        if (m_info.hbmMask)
            ::DeleteObject(m_info.hbmMask);
    }
    IconInfo(const IconInfo&) = delete;
    IconInfo& operator=(const IconInfo&) = delete;

    bool IsValid() const { return m_valid; }
    const ICONINFO& get() const { return m_info; }

private:
    ICONINFO m_info = {};
    bool m_valid;
};
