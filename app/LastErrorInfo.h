#pragma once

// The caller's last-error value kept across a launch, and the system text of
// the error the launch met.

#include <windows.h>

struct LastErrorInfo
{
    wchar_t text[1024] = {};  // system message of the current error
    wchar_t number[100] = {}; // the error number as "%d"
    DWORD savedError = 0;     // the caller's value, given back by Restore

    // Saves GetLastError, clears both texts and calls SetLastError(0).
    void Reset();
    // The system message of the current GetLastError into `text` (at most
    // 1023 characters) and its number into `number`.
    void FormatSystemMessage();
    // SetLastError(savedError).
    void Restore() const;
};
