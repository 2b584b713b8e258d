#pragma once

// Reading dates written as text: the program's build stamp ("Mar  7 2012
// 14:05:09", as the compiler writes date and time) and the day-month-year-time
// form of HTTP and feed dates ("07 Mar 2012 14:05:09 GMT").

#include "platform/CString.h"

#include <windows.h>

// 1 to 12 for "Jan" .. "Dec" (letter case ignored); `fallback` for any other name.
int MonthFromName(const wchar_t* name, int fallback);

// Month name, day, year and "hh:mm:ss" separated by blanks. False only for an
// empty text; fields that are missing stay 0. The day of week is computed.
bool ParseBuildDate(const CString& text, SYSTEMTIME& result);
// ParseBuildDate of this program's build stamp.
bool ParseProgramBuildDate(SYSTEMTIME& result);
// The build date as DateTimeToText writes it; the raw build stamp when it
// cannot be read.
CString GetBuildDateText();

// Day, month name, year and "hh:mm:ss"; every "GMT" is ignored. Each number is
// read with a bounded width (day, hour, minute, second 2 digits, year 4), so
// no field can overflow. False for an empty text, or when the month name is
// missing or not one of "Jan" .. "Dec" (so a leading weekday makes it fail).
bool ParseHttpDate(const CString& text, SYSTEMTIME& result);
