#pragma once

// Layered-window attributes reached through a user32 handle the object holds
// for its lifetime, so the calls degrade quietly where they do not exist.

#include <windows.h>

class CLayeredWindowApi
{
public:
    CLayeredWindowApi();
    virtual ~CLayeredWindowApi();
    CLayeredWindowApi(const CLayeredWindowApi&) = delete;
    CLayeredWindowApi& operator=(const CLayeredWindowApi&) = delete;

    // SetLayeredWindowAttributes; 1 when the object holds no module, 0 when the
    // function is missing.
    BOOL SetLayeredWindowAttributesDyn(HWND window, COLORREF colourKey, BYTE alpha, DWORD flags) const;
    // Alpha = min(percent, 100) * 255 / 100 with LWA_ALPHA.
    BOOL SetOpacityPercent(HWND window, BYTE percent) const;

    // Adds WS_EX_LAYERED to the window's extended style.
    static void SetLayeredStyle(HWND window);
    // Removes WS_EX_LAYERED: 1 when it was set, else 0.
    static int ClearLayeredStyle(HWND window);

private:
    HMODULE m_user32;
};
