#pragma once

// The editor's single instance: the instance event that marks a running
// editor (also the stop event of its watcher threads), the hand-over of a
// second start to the running editor, and the "editor ended" signal to the
// main program.

#include <windows.h>

#include "editor/app/frame/EditorCoopSignals.h"
#include "editor/app/frame/EditorCoopWatchers.h"

// "A342649A-EB3E-425a-BB03-0F47CA7A0A9F": manual reset, no "Local\" prefix.
LPCWSTR GetEditorInstanceEventName();

// The instance event can be opened: another editor runs.
bool IsEditorInstanceRunning();
// Creates the instance event once and caches it; later calls give the cached
// handle. Null on failure.
HANDLE CreateEditorInstanceEvent();
// Claims the instance in one step: creates the instance event and keeps it
// (as CreateEditorInstanceEvent) only when no other editor made it first. False
// when another editor holds it (or it cannot be made): this editor hands over.
bool ClaimEditorInstance();
// The cached handle, or null.
HANDLE GetEditorInstanceEvent();
// Watcher threads that wait on the instance event register here; they are
// joined when the event closes.
void RegisterEditorWatcherThread(HANDLE thread);
// Sets the instance event (the watcher threads end), waits at most
// `joinTimeoutMs` for the registered threads, closes their handles and then
// the event. Nothing when there is no event.
void CloseEditorInstanceEvent(DWORD joinTimeoutMs = 3000);

// The raw command line holds "addfromcb" (exact case) after its first character.
bool IsAddFromClipboardInCommandLine(LPCWSTR commandLine);

// Sends `message` (wParam, lParam 0; abort-if-hung, 3000 ms) to every
// top-level window until one answers non-zero. With `activate` that window is
// brought to the foreground (restored when minimised). False when no window
// answered, or when it could not be activated.
bool FindAndActivateWindowByMessage(UINT message, bool activate, WPARAM wParam);

// Opens, sets and resets "Local\Scrivolanter_Event_RedodeZovuvaAgentCoop_Ended";
// false when the event does not exist.
bool SignalEditorEnded();
