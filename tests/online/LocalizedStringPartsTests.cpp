// Localised strings split into a first line and the rest.

#include "online/LocalizedStringParts.h"

#include <gtest/gtest.h>

#include <string>

TEST(LocalizedStringParts, SplitAtTheFirstLineBreakAfterTheFirstCharacter)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* first;
        const wchar_t* rest;
    };
    const Case cases[] = {
        {L"Title\nline one\nline two", L"Title", L"line one\nline two"},
        {L"no break", L"no break", L"no break"},
        {L"\nleading break", L"\nleading break", L"\nleading break"},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(SplitAtFirstLineBreak(c.text, true), c.first)
            << testing::PrintToString(std::wstring(c.text));
        EXPECT_STREQ(SplitAtFirstLineBreak(c.text, false), c.rest)
            << testing::PrintToString(std::wstring(c.text));
    }
    EXPECT_TRUE(GetLocalizedStringRest(65000).IsEmpty()); // an id without text
}
