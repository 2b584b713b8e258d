// test-sources: GermanStringsFixture.rc
// The fixture's German string table makes German the program's language.
#include "common/DateTimeHelpers.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <oleauto.h>

#include <string>

namespace
{
constexpr LCID kEnglishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
constexpr LCID kGerman = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
constexpr LCID kRussian = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_RUSSIAN_RUSSIA), SORT_DEFAULT);

std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

SYSTEMTIME Make(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = ms;
    // Fill in the day of week the way the system computes it.
    FILETIME file = {};
    ::SystemTimeToFileTime(&time, &file);
    SYSTEMTIME normalised = {};
    ::FileTimeToSystemTime(&file, &normalised);
    return normalised;
}

std::wstring SystemTime24(WORD hour, WORD minute, WORD second, LCID locale)
{
    SYSTEMTIME time = Make(2023, 5, 5, hour, minute, second);
    wchar_t buffer[100] = {};
    ::GetTimeFormatW(locale, TIME_NOTIMEMARKER | TIME_FORCE24HOURFORMAT, &time, nullptr, buffer, 100);
    return buffer;
}

std::wstring LongDate(const SYSTEMTIME& time, LCID locale)
{
    wchar_t buffer[100] = {};
    ::GetDateFormatW(locale, DATE_LONGDATE, &time, nullptr, buffer, 100);
    return buffer;
}

std::wstring DayName(LCTYPE type, LCID locale)
{
    wchar_t buffer[100] = {};
    ::GetLocaleInfoW(locale, type, buffer, 100);
    return buffer;
}

double OleDate(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME time = Make(year, month, day, hour, minute, second);
    double date = 0;
    ::SystemTimeToVariantTime(&time, &date);
    return date;
}

void ExpectSameMoment(const SYSTEMTIME& actual, const SYSTEMTIME& expected)
{
    EXPECT_EQ(actual.wYear, expected.wYear);
    EXPECT_EQ(actual.wMonth, expected.wMonth);
    EXPECT_EQ(actual.wDay, expected.wDay);
    EXPECT_EQ(actual.wHour, expected.wHour);
    EXPECT_EQ(actual.wMinute, expected.wMinute);
    EXPECT_EQ(actual.wSecond, expected.wSecond);
    EXPECT_EQ(actual.wMilliseconds, expected.wMilliseconds);
}
} // namespace

TEST(FormatDurationMs, WholeSecondsAsTimeOfDay)
{
    struct Case
    {
        DWORD ms;
        WORD hour, minute, second;
    } cases[] = {
        {0, 0, 0, 0},       {999, 0, 0, 0},     {1000, 0, 0, 1},        {60000, 0, 1, 0},
        {330000, 0, 5, 30}, {3723999, 1, 2, 3}, {86399000, 23, 59, 59},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(FormatDurationMs(c.ms, kEnglishUs)), SystemTime24(c.hour, c.minute, c.second, kEnglishUs))
            << c.ms << " ms";

    EXPECT_EQ(W(FormatDurationMs(330000, kEnglishUs)), L"0:05:30");
    EXPECT_EQ(W(FormatDurationMs(86400000, kEnglishUs)), L"") << "a day does not fit a time of day";
}

TEST(FormatDateTime, OrdersAndDayNamesInEnglish)
{
    SYSTEMTIME friday = Make(2023, 5, 5, 13, 14, 15);
    if (LongDate(friday, kEnglishUs) != L"Friday, May 5, 2023")
        GTEST_SKIP() << "this system's long US date differs: "
                     << testing::PrintToString(LongDate(friday, kEnglishUs));

    EXPECT_EQ(W(FormatDateTime(friday, DateThenTime, DayNameLong, kEnglishUs)),
              L"Friday, May 5, 2023, 13:14:15");
    EXPECT_EQ(W(FormatDateTime(friday, TimeThenDate, DayNameShort, kEnglishUs)),
              L"13:14:15, Fri, May 5, 2023");
    EXPECT_EQ(W(FormatDateTime(friday, DateOnly, DayNameNone, kEnglishUs)), L"May 5, 2023");
    EXPECT_EQ(W(FormatDateTime(friday, TimeOnly, DayNameLong, kEnglishUs)), L"13:14:15, Friday");
    EXPECT_EQ(W(FormatDateTime(friday, TimeOnly, DayNameShort, kEnglishUs)), L"13:14:15, Fri");
    EXPECT_EQ(W(FormatDateTime(friday, TimeOnly, DayNameNone, kEnglishUs)), L"13:14:15");
}

TEST(FormatDateTime, DayNameAddedWhenTheDateLacksIt)
{
    SYSTEMTIME friday = Make(2023, 5, 5, 8, 0, 0);
    std::wstring date = LongDate(friday, kRussian);
    std::wstring longName = DayName(LOCALE_SDAYNAME5, kRussian);
    if (date.empty() || longName.empty() || date.find(longName) != std::wstring::npos)
        GTEST_SKIP() << "needs a locale whose long date has no day name";

    EXPECT_EQ(W(FormatDateTime(friday, DateOnly, DayNameLong, kRussian)), date + L" " + longName);
}

TEST(FormatDateTime, LocaleZeroUsesTheProgramLanguage)
{
    const SYSTEMTIME friday = Make(2023, 5, 5, 9, 8, 7);
    const std::wstring german = W(FormatDateTime(friday, DateThenTime, DayNameLong, kGerman));
    const std::wstring english = W(FormatDateTime(friday, DateThenTime, DayNameLong, kEnglishUs));
    ASSERT_NE(german, english) << "this system formats German dates as English ones";

    EXPECT_EQ(W(FormatDateTime(friday, DateThenTime, DayNameLong, 0)), german);
    EXPECT_NE(german.find(L"Freitag"), std::wstring::npos) << scvtest::WideToUtf8(german);
}

TEST(VariantTimeToSystemTimeMs, KeepsMillisecondsWithoutRoundingTheSecond)
{
    const double noon = OleDate(2023, 5, 5, 12, 0, 0);
    const double msDay = 1.0 / 86400000.0;
    struct Case
    {
        double date;
        SYSTEMTIME expected;
    } cases[] = {
        {noon + 750 * msDay, Make(2023, 5, 5, 12, 0, 0, 750)},
        {noon + 250 * msDay, Make(2023, 5, 5, 12, 0, 0, 250)},
        {noon + 1 * msDay, Make(2023, 5, 5, 12, 0, 0, 1)},
        {noon + 999 * msDay, Make(2023, 5, 5, 12, 0, 0, 999)},
        {noon, Make(2023, 5, 5, 12, 0, 0, 0)},
        {OleDate(2023, 12, 31, 23, 59, 59) + 500 * msDay, Make(2023, 12, 31, 23, 59, 59, 500)},
    };
    for (const Case& c : cases) {
        SYSTEMTIME actual = {};
        ASSERT_TRUE(VariantTimeToSystemTimeMs(c.date, &actual));
        ExpectSameMoment(actual, c.expected);
    }
}

TEST(SystemTimeToVariantTimeMs, RoundTripKeepsMilliseconds)
{
    for (WORD ms : {0, 1, 250, 500, 750, 999}) {
        SYSTEMTIME time = Make(2021, 2, 28, 23, 59, 59, ms);
        double date = 0;
        ASSERT_TRUE(SystemTimeToVariantTimeMs(time, &date));
        SYSTEMTIME back = {};
        ASSERT_TRUE(VariantTimeToSystemTimeMs(date, &back));
        ExpectSameMoment(back, time);
    }
}

TEST(AddDaysToSystemTime, MovesWholeDaysKeepingTheTime)
{
    SYSTEMTIME time = Make(2023, 2, 27, 13, 14, 15, 678);
    ASSERT_TRUE(AddDaysToSystemTime(time, 2));
    ExpectSameMoment(time, Make(2023, 3, 1, 13, 14, 15, 678));

    ASSERT_TRUE(AddDaysToSystemTime(time, -60));
    ExpectSameMoment(time, Make(2022, 12, 31, 13, 14, 15, 678));

    SYSTEMTIME invalid = {};
    invalid.wYear = 2023;
    invalid.wMonth = 13;
    invalid.wDay = 40;
    SYSTEMTIME copy = invalid;
    EXPECT_FALSE(AddDaysToSystemTime(invalid, 1));
    ExpectSameMoment(invalid, copy);
}
