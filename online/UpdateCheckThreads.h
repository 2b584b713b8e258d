#pragma once

// Update checks on short-lived worker threads, so the window that asks never
// waits for the network. A check is started at once by the user or after a
// delay by the schedule. The thread waits (its delay, longer while offline,
// ended by the stop event), runs one check and reports to the notify window:
//  - the result, a CUpdateInfo, with SendMessageW(window, notifyMessage, 0,
//    address of the record) — sent, so the record lives while it is handled;
//    a silent (scheduled) check sends only the finding of a newer version;
//  - then, after every check that ran, PostMessageW(window,
//    completionMessage, callbackData, 0), so that the window completes the
//    check on its own thread (stores the time of the check, schedules the
//    next one). A check stopped during its wait reports nothing.

#include <windows.h>

#include "online/InternetSession.h"
#include "online/UpdateRequest.h"

struct UpdateCheckThreadParams
{
    HWND notifyWindow = nullptr;
    UINT notifyMessage = 0;     // WM_APP+5 from every caller
    DWORD delay = 0;            // ms before the check
    HANDLE stopEvent = nullptr; // ends the wait; the thread keeps its own handle to it
    int silent = 0;             // 1 for scheduled checks
    UINT completionMessage = 0; // posted after the check; 0: none
    int callbackData = 0;       // 1 scheduled, 0 manual; also the record's automatic flag
    int reserved = 0;
    UpdateQueryValues query;
    DownloadLimits limits;
};

// The check itself (on the calling thread): request, answer, report, completion.
void RunUpdateCheck(const UpdateCheckThreadParams& params, int reserved);

// Starts the thread: it waits (WaitForConnectionAndDelay), runs the check
// and ends with 0, or ends with 1 without a check when stopped. False when
// the stop event cannot be duplicated or the thread cannot start. With
// `thread` the caller receives the thread's handle (and closes it); else it
// is closed at once.
bool StartUpdateCheckThread(const UpdateCheckThreadParams& params, HANDLE* thread = nullptr);

// A manual check: delay 0, not silent, callback data 0.
bool CheckForUpdatesNow(HWND window, UINT message, HANDLE stopEvent, UINT completionMessage,
                        const UpdateQueryValues& query);

// A scheduled check: the delay from the last check (UTC) and the days
// (ComputeUpdateCheckSchedule against the current UTC time, logged), silent,
// callback data 1.
bool ScheduleNextUpdateCheck(HWND window, UINT message, HANDLE stopEvent, const SYSTEMTIME& lastCheck,
                             UINT completionMessage, int days, const UpdateQueryValues& query);

// The error texts of a failed check.
inline constexpr wchar_t kUpdateDownloadErrorText[] =
    L"ERROR: Cannot load information from official web-site";
inline constexpr wchar_t kUpdateParseErrorText[] = L"ERROR: Cannot parse information file";
