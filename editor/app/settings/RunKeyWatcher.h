#pragma once

// The thread that watches the HKCU Run key for the Miscellaneous page and
// posts the page WM_APP+1 (0x8001) whenever a value of the key changes, so the
// "start with Windows" box follows changes made elsewhere.

#include <windows.h>

#include "platform/CString.h"

inline constexpr UINT kRunKeyChangedMessage = WM_APP + 1;

struct RunKeyWatcherParams
{
    HANDLE stopEvent = nullptr; // duplicated for the thread; the watcher ends when it is set
    HWND page = nullptr;
    CString keyPath; // below HKEY_CURRENT_USER
};

// Starts the watcher; the returned thread handle (null on failure) is the
// caller's to wait on or close. Exit codes: 0 stopped, 1 no event, 2 the key
// cannot be opened.
HANDLE StartRunKeyWatcher(const RunKeyWatcherParams& params);
