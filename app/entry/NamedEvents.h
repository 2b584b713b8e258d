#pragma once

// The named events of the main program: their names, the signals other starts
// and programs send through them, the delayed start with Windows, the hand-over
// to an elevated instance and the copy events around the program's own
// clipboard writes. The single-instance event itself is reached through
// CAppObjects (app/AppObjects.h); the relay threads are in app/entry/EventRelays.h.
//
// Events are created with the open security attributes (everyone may open
// them), falling back to default security when those cannot be built. "Set"
// and "signal" functions only open existing events: they never create one.

#include <windows.h>

#include "common/NamedEvent.h"
#include "platform/CString.h"

// --- Names ------------------------------------------------------------------
LPCWSTR GetAutomodeEventName();    // "9DDB575E-846B-4600-880F-98319D699612"
LPCWSTR GetEditRequestEventName(); // "BD9F528F-8997-48c7-897C-F437765F93D2"
LPCWSTR GetShowMenuEventName();    // "{84F81BCD-0FC6-4782-B39F-C638F539FA14}"
LPCWSTR GetExitEventName();        // "Local\Scrivolanter_Exit"
LPCWSTR GetExitAllEventName();     // "Global\Scrivolanter_Exit_ALL"
LPCWSTR GetAlreadyWorkEventName(); // "Local\Scrivolanter_AlreadyWork"
LPCWSTR GetHandOverEventName();    // "55517695-4FD6-40eb-9E52-997024E979DE"
LPCWSTR GetStartCopyEventName();   // "Local\Scrivolanter_StartCopy"
LPCWSTR GetEndCopyEventName();     // "Local\Scrivolanter_EndCopy"

// The registered message "SCV_7B11E8E0-A712-4caa-A06B-01BEA4F7DFC4" that the
// instance relays send to the tray window: wParam 1 asks the instance to end,
// wParam 0 tells that another start was attempted.
UINT GetInstanceSignalMessage();

// --- Creating and setting ----------------------------------------------------
// CreateOpenNamedEvent is in common/NamedEvent.h.
// Opens the existing event and sets it; false when it does not exist or
// cannot be set. (Pulsing is PulseNamedEvent of common/WellKnownNames.h.)
bool SetNamedEvent(LPCWSTR name);
// Opens the event with SYNCHRONIZE only to see whether it exists.
bool NamedEventExists(LPCWSTR name);

// --- Requests of other starts --------------------------------------------------
// Sets the edit request event of a running instance; false when none listens.
bool SignalEditRequest();
// Sets the show-menu event of a running instance; false when none listens.
bool SignalShowMenuEvent();
// Sets "Local\Scrivolanter_CheckForUpdates" (auto reset) for a running
// instance; false when none listens. The event stays set until the instance's
// relay takes it, so a request is not lost while the relay is busy (a pulse
// would be).
bool SignalCheckForUpdatesRequest();
// Sets "Local\Scrivolanter_AlreadyWork"; false when no instance listens.
bool SignalAlreadyWork();
// Sets "Local\Scrivolanter_Exit" and "Global\Scrivolanter_Exit_ALL"; true when
// either existed and was set.
bool SignalExitEvents();

// --- Delayed start with Windows ------------------------------------------------
// Creates the automode event (auto-reset, not set). Null on failure.
// `alreadyExisted` (may be null) tells whether another start had made it.
HANDLE CreateAutomodeEvent(bool* alreadyExisted = nullptr);
// Sets the automode event when it exists (a delayed start is waiting on it).
bool SignalAutomodeEvent();

// --- Hand-over to the elevated instance -----------------------------------------
// Creates the hand-over event (manual reset, not set, default security) and
// keeps it for the process; false when it cannot be created.
bool CreateHandOverEvent();
// Sets and closes the hand-over event this process created; false when it has
// none (or SetEvent failed).
bool SignalHandOverEvent();
// Opens the hand-over event of the first instance and waits for it up to
// `milliseconds`. True when it was set. When it cannot be opened the wait
// ends at once: false, `error` = GetLastError; after a time-out: false, `error` 0.
bool WaitHandOverEvent(DWORD milliseconds, DWORD& error);

// --- Copy events around the program's own clipboard writes ----------------------
// Creates "Local\Scrivolanter_StartCopy" and "Local\Scrivolanter_EndCopy"
// (auto reset; open security, again with default security when that fails)
// and keeps them; true when the second exists.
bool CreateCopyEvents();
HANDLE GetStartCopyEvent();
HANDLE GetEndCopyEvent();
// Closes both and forgets them.
void CloseCopyEvents();
// Pulse the events by name; false when they do not exist.
bool SignalStartCopy();
bool SignalEndCopy();
