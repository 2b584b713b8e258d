#include "common/DateTimeTexts.h"
#include "common/LocaleInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

const LCID kEnglishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    return t; // day of week left 0 on purpose: the texts compute it
}

bool Contains(const std::wstring& text, const std::wstring& part)
{
    return text.find(part) != std::wstring::npos;
}
} // namespace

TEST(DateTimeTextByMode, EnglishModes)
{
    const SYSTEMTIME t = MakeTime(2026, 12, 9, 14, 5, 9); // a Wednesday
    const std::wstring longDate = W(DateTimeTextByMode(DateTimeTextLongDate, kEnglishUs, t));
    ASSERT_TRUE(Contains(longDate, L"December 9, 2026")) << longDate;

    EXPECT_EQ(W(DateTimeTextByMode(DateTimeTextDateNoWeekday, kEnglishUs, t)), L"December 9, 2026");
    EXPECT_EQ(W(DateTimeTextByMode(DateTimeTextTime, kEnglishUs, t)), L"14:05:09");
    EXPECT_EQ(W(DateTimeTextByMode(DateTimeTextDateTimeNoWeekday, kEnglishUs, t)),
              L"December 9, 2026 14:05:09");
    EXPECT_EQ(W(DateTimeTextByMode(DateTimeTextLongDateTime, kEnglishUs, t)), longDate + L" 14:05:09");
    EXPECT_EQ(W(DateTimeTextByMode(9, kEnglishUs, t)), L"");
}

TEST(DateTimeTextParts, DateWeekdayTimeInOrder)
{
    const SYSTEMTIME t = MakeTime(2026, 12, 9, 14, 5, 9);
    const std::wstring date = W(DateTimeTextByMode(DateTimeTextDateNoWeekday, LOCALE_USER_DEFAULT, t));
    const std::wstring time = W(DateTimeTextByMode(DateTimeTextTime, LOCALE_USER_DEFAULT, t));
    const std::wstring weekday = W(GetLocaleDayName(3, LOCALE_USER_DEFAULT, false));
    ASSERT_FALSE(date.empty());
    ASSERT_FALSE(weekday.empty());

    EXPECT_EQ(W(DateTimeToText(t)), date + L", " + weekday + L", " + time);
    EXPECT_EQ(W(DateToText(t, false)), date);
    EXPECT_EQ(W(DateToText(t, true)), date + L", " + weekday);
    EXPECT_EQ(W(DateTimeToTextOptWeekday(t, false)), date + L", " + time);
    EXPECT_EQ(W(DateTimeTextParts(t, false, false)), date);
}

TEST(DateTimeToCompactText, YearLeftOutOnlyInTheCurrentYear)
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const SYSTEMTIME thisYear = MakeTime(now.wYear, 2, 3, 4, 5, 6);
    const SYSTEMTIME past = MakeTime(2001, 2, 3, 4, 5, 6);
    const std::wstring year = std::to_wstring(now.wYear);

    const std::wstring current = W(DateTimeToCompactText(thisYear, L"saved"));
    EXPECT_FALSE(Contains(current, year)) << current;
    EXPECT_TRUE(Contains(current, L",\t")) << current;
    EXPECT_EQ(current.substr(current.size() - 8), L" \x2014 saved");

    const std::wstring older = W(DateTimeToCompactText(past, L"saved"));
    EXPECT_TRUE(Contains(older, L"2001")) << older;

    const std::wstring plain = W(DateTimeToCompactText(past, L""));
    EXPECT_EQ(plain, W(DateTimeTextByMode(DateTimeTextTime, LOCALE_USER_DEFAULT, past)) + L" " +
                         W(DateTimeTextParts(past, false, true)));
}
