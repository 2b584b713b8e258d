#pragma once

// Guards that put a device context's background mode, text colour or
// background colour back when they end. An empty guard does nothing.

#include <windows.h>

class BkModeGuard
{
public:
    BkModeGuard() = default;
    BkModeGuard(HDC dc, int mode) : m_dc(dc), m_saved(::SetBkMode(dc, mode)) {}
    ~BkModeGuard()
    {
        if (m_dc)
            ::SetBkMode(m_dc, m_saved);
    }
    BkModeGuard(const BkModeGuard&) = delete;
    BkModeGuard& operator=(const BkModeGuard&) = delete;

private:
    HDC m_dc = nullptr;
    int m_saved = 0;
};

class TextColorGuard
{
public:
    TextColorGuard() = default;
    TextColorGuard(HDC dc, COLORREF color) : m_dc(dc), m_saved(::SetTextColor(dc, color)) {}
    ~TextColorGuard()
    {
        if (m_dc)
            ::SetTextColor(m_dc, m_saved);
    }
    TextColorGuard(const TextColorGuard&) = delete;
    TextColorGuard& operator=(const TextColorGuard&) = delete;

private:
    HDC m_dc = nullptr;
    COLORREF m_saved = 0;
};

class BkColorGuard
{
public:
    BkColorGuard() = default;
    BkColorGuard(HDC dc, COLORREF color) : m_dc(dc), m_saved(::SetBkColor(dc, color)) {}
    ~BkColorGuard()
    {
        if (m_dc)
            ::SetBkColor(m_dc, m_saved);
    }
    BkColorGuard(const BkColorGuard&) = delete;
    BkColorGuard& operator=(const BkColorGuard&) = delete;

private:
    HDC m_dc = nullptr;
    COLORREF m_saved = 0;
};
