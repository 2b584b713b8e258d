#pragma once

// The main program's side of the update check. The tray window starts a
// check when the user asks (command 32791, which the tray menu, "/cfu", the
// "Local\Scrivolanter_CheckForUpdates" relay and the
// "Local\Scrivolanter_CommandCheckForUpdates" watcher all send) and keeps an
// automatic check scheduled while automatic checks are on. Each check
// reports its result with WM_APP+5 (a CUpdateInfo, sent) and then posts the
// update-check-done message, on which the window completes it here.

#include <windows.h>

#include "online/UpdateInfo.h"
#include "online/UpdateRequest.h"

// The registered message a finished check posts to the tray window
// (wParam 1 for a scheduled check, 0 for a manual one).
UINT GetUpdateCheckDoneMessage();

// The query values of the settings, with the path of "Mfc42.DLL".
UpdateQueryValues CaptureTrayUpdateQueryValues();

// Starts a check at once; its result goes to `window` as WM_APP+5.
bool StartManualUpdateCheck(HWND window, HANDLE stopEvent);
// When automatic checks are on ("AutoCheckForUpdates"): schedules the next
// check from the last check time and the days of the settings. False when
// they are off or the thread could not start.
bool ScheduleAutomaticUpdateCheck(HWND window, HANDLE stopEvent);
// The end of a check, on the window's thread: stores the current UTC time as
// the last check, schedules the next check after a scheduled one (`data` 1),
// and pulses the options-changed event so that the editor re-reads the
// settings. True when a next check was scheduled.
bool CompleteUpdateCheck(HWND window, HANDLE stopEvent, int data);

// What the tray window does with a result: writes it to the log and shows it
// in the update window (unless it came from a scheduled check while automatic
// checks are off); an open update window is brought forward instead.
void ReportUpdateCheckResult(HWND window, const CUpdateInfo& info);
// The log line of a result.
CString DescribeUpdateCheckResult(const CUpdateInfo& info);

// Creates (or opens) the manual-reset event
// "Local\Scrivolanter_CommandCheckForUpdates" that other programs set to ask
// for a check, and starts its watcher: each signal sends WM_COMMAND
// `commandId` (lParam 0) to the window and resets the event; the stop event
// ends it. False when the event or the thread cannot be made.
bool StartCheckForUpdatesCommandWatcher(HWND window, UINT commandId, HANDLE stopEvent);
