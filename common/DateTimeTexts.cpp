#include "common/DateTimeTexts.h"

#include "common/DateTimeHelpers.h"
#include "common/LocaleInfo.h"
#include "common/WellKnownNames.h"

namespace
{
LCID ConcreteLocale(LCID locale)
{
    return locale == 0 ? LOCALE_USER_DEFAULT : locale;
}

// The time with its day of week computed from its date: the names looked up
// and removed below must be those of the date the locale writes.
SYSTEMTIME WithWeekday(SYSTEMTIME time)
{
    time.wDayOfWeek = static_cast<WORD>(DayOfWeekFromDate(time.wDay, time.wMonth, time.wYear));
    return time;
}

// The long date exactly as the locale writes it (its weekday, if any, kept).
CString LongDate(const SYSTEMTIME& time, LCID locale)
{
    wchar_t buffer[101] = {};
    const bool ok = ::GetDateFormatW(locale, DATE_LONGDATE, &time, nullptr, buffer, 100) != 0;
    return ok ? CString(buffer) : CString();
}

CString LongDateWithoutWeekday(const SYSTEMTIME& time, LCID locale)
{
    return FormatDateTime(time, DateOnly, DayNameNone, locale);
}

CString TimeOfDay(const SYSTEMTIME& time, LCID locale)
{
    return FormatDateTime(time, TimeOnly, DayNameNone, locale);
}

CString WeekdayName(const SYSTEMTIME& time, LCID locale)
{
    return GetLocaleDayName(time.wDayOfWeek, locale, false);
}

// Appends ", " + part unless the part is empty; the separator is left out
// where the text is empty or already ends with it.
void AppendPart(CString& text, const CString& part)
{
    if (part.IsEmpty())
        return;
    if (!text.IsEmpty() && text.Right(2) != L", ")
        text += L", ";
    text += part;
}

// The long date with the year left out when the date lies in the current year.
CString LongDateForCompactText(const SYSTEMTIME& time)
{
    CString date = DateTimeTextByMode(DateTimeTextLongDate, LOCALE_USER_DEFAULT, time);
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    if (now.wYear != time.wYear)
        return date;
    CString year;
    year.Format(L"%d", static_cast<int>(time.wYear));
    const int at = date.Find(year);
    if (at > 0) {
        date.Truncate(at);
        date.TrimRight(L' ');
    }
    return date;
}
} // namespace

CString DateTimeTextByMode(int mode, LCID locale, const SYSTEMTIME& givenTime)
{
    locale = ConcreteLocale(locale);
    const SYSTEMTIME time = WithWeekday(givenTime);
    switch (mode) {
    case DateTimeTextLongDateTime:
        return LongDate(time, locale) + L" " + TimeOfDay(time, locale);
    case DateTimeTextLongDate:
        return LongDate(time, locale);
    case DateTimeTextTime:
        return TimeOfDay(time, locale);
    case DateTimeTextDateTimeNoWeekday:
        return LongDateWithoutWeekday(time, locale) + L" " + TimeOfDay(time, locale);
    case DateTimeTextDateNoWeekday:
        return LongDateWithoutWeekday(time, locale);
    default:
        return CString();
    }
}

CString DateTimeTextParts(const SYSTEMTIME& givenTime, bool withTime, bool withWeekday)
{
    const SYSTEMTIME time = WithWeekday(givenTime);
    CString text = LongDateWithoutWeekday(time, LOCALE_USER_DEFAULT);
    if (withWeekday)
        AppendPart(text, WeekdayName(time, LOCALE_USER_DEFAULT));
    if (withTime)
        AppendPart(text, TimeOfDay(time, LOCALE_USER_DEFAULT));
    return text;
}

CString DateTimeToText(const SYSTEMTIME& time)
{
    return DateTimeTextParts(time, true, true);
}

CString DateToText(const SYSTEMTIME& time, bool withWeekday)
{
    return DateTimeTextParts(time, false, withWeekday);
}

CString DateTimeToTextOptWeekday(const SYSTEMTIME& time, bool withWeekday)
{
    return DateTimeTextParts(time, true, withWeekday);
}

CString DateTimeToCompactText(const SYSTEMTIME& givenTime, const wchar_t* suffix)
{
    const SYSTEMTIME time = WithWeekday(givenTime);
    const CString timeText = TimeOfDay(time, LOCALE_USER_DEFAULT);
    if (suffix == nullptr || *suffix == L'\0')
        return timeText + L" " + DateTimeTextParts(time, false, true);
    return timeText + L",\t" + LongDateForCompactText(time) + L", " + WeekdayName(time, LOCALE_USER_DEFAULT) +
           L" \x2014 " + suffix;
}
