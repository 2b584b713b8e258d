#pragma once

// Calendar services of the online services, on top of the common date functions.

#include <windows.h>

#include "common/WellKnownNames.h"

// The weekday of a Gregorian date, 0 = Sunday to 6 = Saturday.
inline int DayOfWeek(int day, int month, int year)
{
    return DayOfWeekFromDate(day, month, year);
}

// A UTC time as local time, through FILETIME (the current bias of the time zone); false when a step
// fails (`local` is then not to be used).
bool SystemTimeToLocalTime(const SYSTEMTIME& utc, SYSTEMTIME& local);
