#pragma once

// Bringing the target window forward for a while.

#include <windows.h>

// Brings `target` to the foreground for as long as the guard lives (attached to
// the foreground window's input for the switch) and puts the previous
// foreground window back at its end. Nothing is switched when the previous
// foreground window is missing or belongs to this process. Logs both windows
// under the tag "CAutoForegroundWindow".
class CAutoForegroundWindow
{
public:
    explicit CAutoForegroundWindow(HWND target);
    ~CAutoForegroundWindow();
    CAutoForegroundWindow(const CAutoForegroundWindow&) = delete;
    CAutoForegroundWindow& operator=(const CAutoForegroundWindow&) = delete;

    // Puts the remembered window back (once); 0 when already done.
    BOOL Restore();

private:
    HWND m_previous = nullptr;
    HWND m_target = nullptr;
    bool m_done = false;
};
