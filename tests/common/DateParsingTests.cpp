#include "common/DateParsing.h"
#include "common/SystemInfo.h"

#include <gtest/gtest.h>

namespace
{
struct Expected
{
    int year, month, day, hour, minute, second, weekday;
};

void ExpectTime(const SYSTEMTIME& t, const Expected& e)
{
    EXPECT_EQ(t.wYear, e.year);
    EXPECT_EQ(t.wMonth, e.month);
    EXPECT_EQ(t.wDay, e.day);
    EXPECT_EQ(t.wHour, e.hour);
    EXPECT_EQ(t.wMinute, e.minute);
    EXPECT_EQ(t.wSecond, e.second);
    EXPECT_EQ(t.wDayOfWeek, e.weekday);
    EXPECT_EQ(t.wMilliseconds, 0);
}
} // namespace

TEST(MonthFromName, AbbreviationsWithoutCase)
{
    EXPECT_EQ(MonthFromName(L"Jan", 0), 1);
    EXPECT_EQ(MonthFromName(L"mar", 0), 3);
    EXPECT_EQ(MonthFromName(L"DEC", 0), 12);
    EXPECT_EQ(MonthFromName(L"March", 7), 7);
    EXPECT_EQ(MonthFromName(L"Mrz", -1), -1);
    EXPECT_EQ(MonthFromName(L"", 5), 5);
    EXPECT_EQ(MonthFromName(nullptr, 5), 5);
}

TEST(ParseBuildDate, CompilerStamp)
{
    SYSTEMTIME t{};
    ASSERT_TRUE(ParseBuildDate(L"Mar  7 2012 14:05:09", t));
    ExpectTime(t, {2012, 3, 7, 14, 5, 9, 3}); // a Wednesday
    ASSERT_TRUE(ParseBuildDate(L"Dec 25 2023 00:00:01", t));
    ExpectTime(t, {2023, 12, 25, 0, 0, 1, 1});
    // An unknown month falls back to January; no time leaves it zero.
    ASSERT_TRUE(ParseBuildDate(L"Xyz 2 2000", t));
    ExpectTime(t, {2000, 1, 2, 0, 0, 0, 0});
    EXPECT_FALSE(ParseBuildDate(L"", t));
}

TEST(ParseBuildDate, ProgramStampReadsBack)
{
    SYSTEMTIME t{};
    ASSERT_TRUE(ParseProgramBuildDate(t));
    EXPECT_GE(t.wYear, 2024);
    EXPECT_GE(t.wMonth, 1);
    EXPECT_LE(t.wMonth, 12);
    EXPECT_FALSE(GetBuildDateText().IsEmpty());
    EXPECT_NE(GetBuildDateText(), GetBuildStamp()); // parsed, not the raw stamp
}

TEST(ParseHttpDate, DayMonthYearTime)
{
    SYSTEMTIME t{};
    ASSERT_TRUE(ParseHttpDate(L"07 Mar 2012 14:05:09 GMT", t));
    ExpectTime(t, {2012, 3, 7, 14, 5, 9, 3});
    ASSERT_TRUE(ParseHttpDate(L"  1 jan 2000", t)); // time missing: zero
    ExpectTime(t, {2000, 1, 1, 0, 0, 0, 6});

    struct Rejected
    {
        const wchar_t* text;
    } rejected[] = {
        {L"Wed, 07 Mar 2012 14:05:09 GMT"}, // a weekday first: no day, no month
        {L"07 Mrz 2012 14:05:09"},
        {L"07 March 2012 14:05:09"},
        {L""},
        {L"GMT"},
        {L"07"},
        // Widths are bounded: over-long fields cannot overflow anything.
        {L"99999999999999999999 Mar 2012"},
        {L"07 Maaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaar 2012"},
    };
    for (const Rejected& r : rejected) {
        SYSTEMTIME untouched{};
        untouched.wYear = 1999;
        EXPECT_FALSE(ParseHttpDate(r.text, untouched)) << testing::PrintToString(std::wstring(r.text));
        EXPECT_EQ(untouched.wYear, 1999);
    }
}

TEST(ParseHttpDate, OverlongNumbersAreReadInBoundedWidths)
{
    SYSTEMTIME t{};
    // The year takes four digits; the fifth is read as the hour, then the missing ":" stops reading.
    ASSERT_TRUE(ParseHttpDate(L"07 Mar 20121 14:05:09", t));
    ExpectTime(t, {2012, 3, 7, 1, 0, 0, 3});
}
