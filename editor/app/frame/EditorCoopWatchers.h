#pragma once

// The editor's watchers of the main program: two threads that turn named
// events set by other processes into one message each to a window of the
// editor (its main frame). They touch no window but by that message.
//  - Options changed: the main program pulses "Local\Scrivolanter_OptionsChanged"
//    after it changed the settings file; the watcher sends the message (and
//    waits until the window has reloaded). The event belongs to the main
//    program: when it does not exist when the watcher starts, the watcher ends
//    at once and the editor does not hear of changes until it restarts.
//  - Add from clipboard: a second editor started to add the clipboard's text
//    as a phrase sets "Local\Scrivolanter_AddPhraseFromCB" (auto reset,
//    created by this watcher); the watcher posts the message.
// Both end when the stop event is set or a wait fails.

#include <windows.h>

// Where a watcher reports and what ends it.
struct EditorWatcherParams
{
    HANDLE stopEvent = nullptr; // the watcher keeps its own handle to it
    HWND window = nullptr;
    UINT message = 0; // wParam 0, lParam 0
};

// "Local\Scrivolanter_AddPhraseFromCB".
LPCWSTR GetAddPhraseFromClipboardEventName();

// Start the watcher threads (their handles are closed at once). False when
// the stop event cannot be duplicated or the thread cannot start.
bool StartOptionsChangedWatcher(HWND window, UINT message, HANDLE stopEvent);
bool StartAddPhraseFromClipboardWatcher(HWND window, UINT message, HANDLE stopEvent);

// The watchers' work on the calling thread, until the stop event or the end.
// The options watcher returns 1 when the options event does not exist, else
// 0; the add-from-clipboard watcher returns 1 when its event cannot be
// created, else 0.
DWORD WatchOptionsChanged(const EditorWatcherParams& params);
DWORD WatchAddPhraseFromClipboard(const EditorWatcherParams& params);
