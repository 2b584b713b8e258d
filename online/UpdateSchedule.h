#pragma once

// When the next automatic update check is due, and how long to wait for it.

#include <windows.h>

#include "platform/CString.h"

struct UpdateCheckSchedule
{
    SYSTEMTIME due{}; // last check + days (UTC)
    DWORD delayMs = 0;
};

// The wait before an automatic check: the last check (UTC) + `days` is the
// due time; when `now` (UTC) is past it the check runs 10 minutes (600000 ms)
// after now, else at the due time, in whole seconds. The wait is never
// longer than `days` days (a last check in the future counts as one made
// now); a date that cannot be computed counts as overdue.
UpdateCheckSchedule ComputeUpdateCheckSchedule(const SYSTEMTIME& lastCheck, int days, const SYSTEMTIME& now);

// "Next update date: dd-mm-yyyy hh:mm:ss, wait for checkupdates ms=%u
// sec=%u minutes=%u hour=%u days=%u" (the wait divided, truncating).
CString FormatUpdateScheduleLogLine(const UpdateCheckSchedule& schedule);
