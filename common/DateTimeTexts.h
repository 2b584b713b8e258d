#pragma once

// Display texts of dates and times as the program shows them: the long date of
// a locale with or without the weekday, the 24-hour time, and the compact
// forms of lists and tooltips. Built on FormatDateTime.

#include "platform/CString.h"

#include <windows.h>

// Modes of DateTimeTextByMode.
enum DateTimeTextMode : int
{
    DateTimeTextLongDateTime = 0,      // long date + " " + time
    DateTimeTextLongDate = 1,          // long date as the locale writes it
    DateTimeTextTime = 2,              // "HH:mm:ss" style 24-hour time
    DateTimeTextDateTimeNoWeekday = 3, // long date without weekday + " " + time
    DateTimeTextDateNoWeekday = 4,     // long date without weekday
};

// The text of one mode in the locale (0: the user's default); empty for other modes.
CString DateTimeTextByMode(int mode, LCID locale, const SYSTEMTIME& time);

// In the user's default locale: the long date without weekday, then ", " and
// the full weekday name when asked, then ", " and the time when asked. An
// empty part is skipped; no separator is doubled.
CString DateTimeTextParts(const SYSTEMTIME& time, bool withTime, bool withWeekday);

// Date, weekday and time.
CString DateTimeToText(const SYSTEMTIME& time);
// Date and, when asked, the weekday.
CString DateToText(const SYSTEMTIME& time, bool withWeekday);
// Date, the weekday when asked, and time.
CString DateTimeToTextOptWeekday(const SYSTEMTIME& time, bool withWeekday);

// Without a suffix: time + " " + date with weekday. With one: time + ",\t" +
// the long date (its year left out when `time` lies in the current year) +
// ", " + weekday + " — " + suffix.
CString DateTimeToCompactText(const SYSTEMTIME& time, const wchar_t* suffix);
