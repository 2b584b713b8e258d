#include "common/NumberTexts.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}
} // namespace

TEST(NumberToRussianWords, Table)
{
    struct Case
    {
        unsigned int number;
        const wchar_t* words;
    } cases[] = {
        {0, L"ноль"},
        {7, L"семь"},
        {10, L"десять"},
        {11, L"одиннадцать"},
        {12, L"двенадцать"},
        {14, L"четырнадцать"},
        {19, L"девятнадцать"},
        {21, L"двадцать один"},
        {40, L"сорок"},
        {58, L"пятьдесят восемь"},
        {99, L"девяносто девять"},
        {115, L"сто пятнадцать"},
        {512, L"пятьсот двенадцать"},
        {1000, L"одна тысяча"},
        {1001, L"одна тысяча один"},
        {2000, L"две тысячи"},
        {3000, L"три тысячи"},
        {5000, L"пять тысяч"},
        {11000, L"одиннадцать тысяч"},
        {21000, L"двадцать одна тысяча"},
        {22000, L"двадцать две тысячи"},
        {1000000, L"один миллион"},
        {1000002, L"один миллион два"},
        {2000000, L"два миллиона"},
        {5000000, L"пять миллионов"},
        {2000000000, L"два миллиарда"},
        {4294967295u, L"четыре миллиарда двести девяносто четыре миллиона девятьсот шестьдесят семь тысяч "
                      L"двести девяносто пять"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(NumberToRussianWords(c.number)), c.words) << c.number;
}

TEST(SpellNumbersInText, ReplacesDigitRunsThatFit)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    } cases[] = {
        {L"Total 25 items", L"Total двадцать пять items"},
        {L"no digits here", L"no digits here"},
        {L"", L""},
        {L"a1b2", L"aодинbдва"},
        {L"007", L"семь"},
        {L"max 4294967295",
         L"max четыре миллиарда двести девяносто четыре миллиона девятьсот шестьдесят семь "
         L"тысяч двести девяносто пять"},
        // Runs too long for 32 bits stay digits.
        {L"id 4294967296 and 99999999999999999999999", L"id 4294967296 and 99999999999999999999999"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(SpellNumbersInText(c.text)), c.expected) << testing::PrintToString(std::wstring(c.text));
}

TEST(SplitDigitRuns, MaximalRunsInOrder)
{
    std::vector<TextRun> runs;
    ASSERT_EQ(SplitDigitRuns(L"ab12c3", runs), 4);
    EXPECT_EQ(W(runs[0].text), L"ab");
    EXPECT_FALSE(runs[0].isDigits);
    EXPECT_EQ(W(runs[1].text), L"12");
    EXPECT_TRUE(runs[1].isDigits);
    EXPECT_EQ(W(runs[2].text), L"c");
    EXPECT_EQ(W(runs[3].text), L"3");
    EXPECT_TRUE(runs[3].isDigits);
    EXPECT_EQ(SplitDigitRuns(L"", runs), 0);
    EXPECT_TRUE(runs.empty());
}

TEST(FormatNumberGrouped, BlanksBetweenThousands)
{
    struct Case
    {
        long long number;
        const wchar_t* expected;
    } cases[] = {{0, L"0"},          {999, L"999"},  {1000, L"1 000"}, {1234567, L"1 234 567"},
                 {-1234, L"-1 234"}, {-123, L"-123"}};
    for (const Case& c : cases)
        EXPECT_EQ(W(FormatNumberGrouped(c.number)), c.expected) << c.number;
}
