#include "common/DateTimeHelpers.h"

#include "common/LocaleInfo.h"

#include <oleauto.h>

#include <cmath>
#include <iterator>

namespace
{
constexpr int kFormatBufferLength = 100;
constexpr double kMsPerDay = 86400000.0;
constexpr double kHalfSecondInDays = 0.5 / 86400.0;

LCID ResolveLocale(LCID locale)
{
    if (locale != 0)
        return locale;
    return MAKELCID(GetOwnResourceLanguage(nullptr), SORT_DEFAULT);
}

CString DateText(const SYSTEMTIME& dateTime, LCID locale)
{
    wchar_t buffer[kFormatBufferLength + 1] = {};
    if (::GetDateFormatW(locale, DATE_LONGDATE, &dateTime, nullptr, buffer, kFormatBufferLength) == 0)
        return CString();
    return buffer;
}

CString TimeText(const SYSTEMTIME& dateTime, LCID locale)
{
    wchar_t buffer[kFormatBufferLength + 1] = {};
    if (::GetTimeFormatW(locale, TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT, &dateTime, nullptr, buffer,
                         kFormatBufferLength) == 0)
        return CString();
    return buffer;
}

bool Contains(const CString& text, const CString& part)
{
    return !part.IsEmpty() && text.Find(part) >= 0;
}

// Makes the date text show `wanted` instead of `other` (the other form of the
// same day name), adding it when the text holds neither.
void ShowDayName(CString& date, const CString& wanted, const CString& other)
{
    if (wanted.IsEmpty())
        return;
    // One name may hold the other ("Friday" holds "Fri"): look for the longer first.
    const bool wantedIsLonger = wanted.GetLength() >= other.GetLength();
    const CString& longer = wantedIsLonger ? wanted : other;
    if (Contains(date, longer)) {
        if (!wantedIsLonger)
            date.Replace(longer, wanted);
        return;
    }
    if (Contains(date, wanted))
        return;
    if (Contains(date, other))
        date.Replace(other, wanted);
    else
        date += L" " + wanted;
}

void RemoveDayNames(CString& text, const CString& longName, const CString& shortName)
{
    if (!longName.IsEmpty())
        text.Replace(longName, L"");
    if (!shortName.IsEmpty())
        text.Replace(shortName, L"");
}

CString JoinParts(const CString& first, const CString& second)
{
    if (first.IsEmpty())
        return second;
    if (second.IsEmpty())
        return first;
    return first + L", " + second;
}
} // namespace

CString FormatDateTime(const SYSTEMTIME& dateTime, int order, int dayMode, LCID locale)
{
    locale = ResolveLocale(locale);

    CString date = order == TimeOnly ? CString() : DateText(dateTime, locale);
    CString time = TimeText(dateTime, locale);
    CString longName = GetLocaleDayName(dateTime.wDayOfWeek, locale, false);
    CString shortName = GetLocaleDayName(dateTime.wDayOfWeek, locale, true);

    if (dayMode == DayNameLong)
        ShowDayName(date, longName, shortName);
    else if (dayMode == DayNameShort)
        ShowDayName(date, shortName, longName);
    else if (dayMode == DayNameNone)
        RemoveDayNames(date, longName, shortName);

    CString result;
    switch (order) {
    case DateThenTime:
        result = JoinParts(date, time);
        break;
    case TimeThenDate:
        result = JoinParts(time, date);
        break;
    case DateOnly:
        result = date;
        break;
    case TimeOnly:
        result = time;
        break;
    default:
        break;
    }

    const CString& dayName = dayMode == DayNameShort ? shortName : longName;
    if ((dayMode == DayNameLong || dayMode == DayNameShort) && !dayName.IsEmpty() &&
        !Contains(result, dayName))
        result += L", " + dayName;
    else if (dayMode == DayNameNone)
        RemoveDayNames(result, longName, shortName);

    result.Trim(L" ,");
    return result;
}

CString FormatDurationMs(DWORD milliseconds, LCID locale)
{
    SYSTEMTIME moment = {};
    ::GetSystemTime(&moment);
    moment.wHour = 0;
    moment.wMinute = 0;
    moment.wSecond = 0;
    moment.wMilliseconds = 0;

    DWORD rest = milliseconds;
    if (rest >= 3600000) {
        DWORD hours = rest / 3600000;
        if (hours > 23)
            return CString();
        moment.wHour = static_cast<WORD>(hours);
        rest %= 3600000;
    }
    if (rest >= 60000) {
        moment.wMinute = static_cast<WORD>(rest / 60000);
        rest %= 60000;
    }
    if (rest >= 1000)
        moment.wSecond = static_cast<WORD>(rest / 1000);

    return FormatDateTime(moment, TimeOnly, DayNameNone, locale);
}

INT VariantTimeToSystemTimeMs(double oleDate, SYSTEMTIME* dateTime)
{
    // The time of day is the fraction's magnitude, also for dates before 1899-12-30.
    double dayFraction = std::fabs(oleDate - std::trunc(oleDate));
    double hours = dayFraction * 24.0;
    double minutes = (hours - std::floor(hours)) * 60.0;
    double seconds = (minutes - std::floor(minutes)) * 60.0;
    int ms = static_cast<int>((seconds - std::floor(seconds)) * 1000.0 + 0.5);

    if (ms < 1 || ms > 999)
        return ::VariantTimeToSystemTime(oleDate, dateTime);

    // The system rounds to whole seconds: half a second earlier rounds to the
    // second the date lies in.
    double earlier = oleDate < 0 ? oleDate + kHalfSecondInDays : oleDate - kHalfSecondInDays;
    INT result = ::VariantTimeToSystemTime(earlier, dateTime);
    if (result)
        dateTime->wMilliseconds = static_cast<WORD>(ms);
    return result;
}

INT SystemTimeToVariantTimeMs(const SYSTEMTIME& dateTime, double* oleDate)
{
    SYSTEMTIME wholeSeconds = dateTime;
    wholeSeconds.wMilliseconds = 0;
    INT result = ::SystemTimeToVariantTime(&wholeSeconds, oleDate);
    if (result) {
        double fraction = dateTime.wMilliseconds / kMsPerDay;
        *oleDate += *oleDate < 0 ? -fraction : fraction;
    }
    return result;
}

bool AddDaysToSystemTime(SYSTEMTIME& dateTime, int days)
{
    double oleDate = 0;
    if (!SystemTimeToVariantTimeMs(dateTime, &oleDate))
        return false;
    SYSTEMTIME moved = {};
    if (!VariantTimeToSystemTimeMs(oleDate + days, &moved))
        return false;
    dateTime = moved;
    return true;
}
