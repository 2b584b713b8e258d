#pragma once

// The two named events between the main program and the editor, both
// auto-reset and created by the main program with open security attributes:
//  - "Local\Scrivolanter_OptionsChanged": the main program changed the
//    settings file; the editor re-reads it.
//  - "Local\Scrivolanter_Event_RedodeZovuvaAgentCoop_Ended": the editor has
//    ended; the main program reloads.

#include <windows.h>

#include "platform/CString.h"

// "Local\Scrivolanter_OptionsChanged".
LPCWSTR GetOptionsChangedEventName();
// "Local\Scrivolanter_Event_RedodeZovuvaAgentCoop" + "_Ended".
CString GetEditorCoopEndedEventName();

// The options-changed event, created on the first call and kept for the life
// of the process (or until CloseOptionsChangedEvent); null when it cannot be
// created (a later call tries again).
HANDLE GetOptionsChangedEvent();
// Closes the kept event (at shutdown).
void CloseOptionsChangedEvent();

// Starts a short thread that sets the options-changed event and resets it at
// once, waking an editor that waits on it. True when the thread started.
bool SignalOptionsChangedAsync();

// Where the editor-ended watcher reports.
struct EditorCoopWatcherParams
{
    HANDLE stopEvent = nullptr; // the watcher ends when it is set
    HWND window = nullptr;
    UINT message = 0; // posted with wParam 0, lParam 0
};

// Starts the thread that creates the editor-ended event and posts the message
// to the window each time the event is set, until the stop event is set or a
// wait fails. The values are copied; the stop event must stay open while the
// thread runs. True when the thread started.
bool StartEditorCoopEndedWatcher(const EditorCoopWatcherParams& params);
