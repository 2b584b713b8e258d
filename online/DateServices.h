#pragma once

// Calendar services of the online services, on top of the common date functions.

#include "common/WellKnownNames.h"

// The weekday of a Gregorian date, 0 = Sunday to 6 = Saturday.
inline int DayOfWeek(int day, int month, int year)
{
    return DayOfWeekFromDate(day, month, year);
}
