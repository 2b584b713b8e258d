#pragma once

// Terminal-services session change notifications (WM_WTSSESSION_CHANGE) for
// windows of the program, without a link-time dependency on Wtsapi32.dll: the
// library is loaded on first use and its two functions are found by name.

#include <windows.h>

#include <set>

#include "platform/CString.h"

class WtsSessionNotifier
{
public:
    WtsSessionNotifier() = default;
    // Unregisters every window still registered and frees the library.
    virtual ~WtsSessionNotifier();
    WtsSessionNotifier(const WtsSessionNotifier&) = delete;
    WtsSessionNotifier& operator=(const WtsSessionNotifier&) = delete;

    // WTSRegisterSessionNotification for this session only or for all
    // sessions; its result (non-zero on success). 0 without calling anything
    // when the window does not exist or is registered already, or when the
    // library or the function is missing.
    BOOL Register(HWND window, bool thisSessionOnly);
    // WTSUnRegisterSessionNotification; the window leaves the set on success.
    // 0 when the library or the function is missing.
    BOOL Unregister(HWND window);
    bool IsRegistered(HWND window) const;
    // Whether any window is registered.
    bool HasWindows() const { return !m_windows.empty(); }

private:
    HMODULE Library();

    std::set<HWND> m_windows;
    HMODULE m_library = nullptr;
};

// The name of a WM_WTSSESSION_CHANGE reason ("WTS_SESSION_LOCK" ...); a text
// naming the number for reasons outside 1 to 9.
CString WTSSessionChangeReason_2_Str(int reason);
