#pragma once

// The clipboard watcher started again later: when the watcher cannot start at
// the program's start (the clipboard spy refused, another program holds the
// chain), a thread asks the tray window every couple of seconds to try again
// until one try succeeds, the attempts run out or the stop event is set.

#include <windows.h>

struct DelayedWatcherStartParams
{
    HANDLE stopEvent = nullptr; // duplicated for the thread; ends it at once
    HWND window = nullptr;      // gets `message` with wParam 1; non-zero answers end the retries
    UINT message = 0;
    DWORD intervalMs = 2000;
    int attempts = 200;
};

// Logs "Start Delayed ClipboardHistory" and starts the thread. False when the
// thread cannot be started (or the stop event cannot be duplicated).
bool StartDelayedWatcherStart(const DelayedWatcherStartParams& params);
