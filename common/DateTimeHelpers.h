#pragma once

// Date and time texts in a locale, durations, and OLE dates that keep their
// milliseconds.

#include "platform/CString.h"

#include <windows.h>

// Which parts FormatDateTime joins, and in which order.
enum DateTimeOrder : int
{
    DateThenTime = 0,
    TimeThenDate = 1,
    DateOnly = 2,
    TimeOnly = 3,
};

// How FormatDateTime treats the name of the day of week.
enum DayNameMode : int
{
    DayNameLong = 0,  // the long name is shown (added when the date lacks it)
    DayNameShort = 1, // the abbreviated name is shown
    DayNameNone = 2,  // both names are removed
};

// The long date (GetDateFormatW DATE_LONGDATE) and the 24-hour time without
// time marker (GetTimeFormatW), in the given order, joined by ", ", with the
// day name as the mode says; blanks and commas trimmed at both ends. Locale 0
// stands for the language of the program's own resources.
CString FormatDateTime(const SYSTEMTIME& dateTime, int order, int dayMode, LCID locale);

// A duration as a 24-hour time text of the locale (for example 0:05:30);
// whole seconds. Empty for a day or more (the time format has no days).
CString FormatDurationMs(DWORD milliseconds, LCID locale);

// VariantTimeToSystemTime that keeps the milliseconds of the OLE date instead
// of rounding them into the seconds. Returns the system call's result.
INT VariantTimeToSystemTimeMs(double oleDate, SYSTEMTIME* dateTime);
// SystemTimeToVariantTime that keeps the milliseconds. Returns the system
// call's result.
INT SystemTimeToVariantTimeMs(const SYSTEMTIME& dateTime, double* oleDate);

// Adds whole days (negative: goes back), keeping the time and milliseconds;
// false (the date-time unchanged) when a conversion fails.
bool AddDaysToSystemTime(SYSTEMTIME& dateTime, int days);
