#include "common/RtfTextCoding.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct NarrowCase
{
    const wchar_t* wide;
    const char* narrow;
};

TEST(RtfTextCoding, NarrowsNonAsciiToEscapesWithFallbacksOfTheUcInForce)
{
    const NarrowCase cases[] = {
        // ASCII and escapes already there pass unchanged.
        {L"{\\rtf1\\ansi {\\b x}\\'e9\\u1055?\\\\}", "{\\rtf1\\ansi {\\b x}\\'e9\\u1055?\\\\}"},
        // One '?' per character by default; the blank ends the number.
        {L"{\\rtf1 \u041f\u0440}", "{\\rtf1 \\u1055 ?\\u1088 ?}"},
        // Code units above 32767 are negative; a surrogate pair is two escapes.
        {L"{\\rtf1 \uFB01\U0001F600}", "{\\rtf1 \\u-1279 ?\\u-10179 ?\\u-8704 ?}"},
        // \uc0 in a group: no fall-back there, one again after the group.
        {L"{\\rtf1 {\\uc0 \u00e9}\u00e9}", "{\\rtf1 {\\uc0 \\u233 }\\u233 ?}"},
        {L"{\\rtf1\\uc2 \u00e9}", "{\\rtf1\\uc2 \\u233 ??}"},
        // A digit after the character cannot join the escape's number.
        {L"{\\rtf1\\uc0 \u00e95}", "{\\rtf1\\uc0 \\u233 5}"},
        // Unicode RTF opens as ordinary RTF.
        {L"{\\urtf1 a}", "{\\rtf1 a}"},
        {L"  {\\urtf8\\ansi \u00e9}", "  {\\rtf1\\ansi \\u233 ?}"},
        // Binary data is kept byte for byte.
        {L"{\\rtf1 {\\bin2 \u00ff}}x}", "{\\rtf1 {\\bin2 \xff}}x}"},
    };
    for (const NarrowCase& c : cases)
        EXPECT_EQ(NarrowRtfText(c.wide), std::string(c.narrow))
            << testing::PrintToString(std::wstring(c.wide));
    EXPECT_EQ(NarrowRtfText(nullptr), std::string());
    EXPECT_EQ(NarrowRtfText(L"{\\rtf1 abc}", 7), std::string("{\\rtf1 "));
}

TEST(RtfTextCoding, WidensWithTheDocumentsCodePage)
{
    const std::string cyrillic = "{\\rtf1\\ansi\\ansicpg1251 \xcf\xf0}";
    EXPECT_EQ(WidenRtfText(cyrillic.data(), cyrillic.size()),
              CString(L"{\\rtf1\\ansi\\ansicpg1251 \u041f\u0440}"));
    const std::string western = "{\\rtf1\\ansi\\ansicpg1252 \xe9}";
    EXPECT_EQ(WidenRtfText(western.data(), western.size()), CString(L"{\\rtf1\\ansi\\ansicpg1252 \u00e9}"));
    const std::string ascii = "{\\rtf1 \\u1055?}";
    EXPECT_EQ(WidenRtfText(ascii.data(), ascii.size()), CString(L"{\\rtf1 \\u1055?}"));
    // The text ends at a NUL.
    const std::string withNul("{\\rtf1 a}\0garbage", 17);
    EXPECT_EQ(WidenRtfText(withNul.data(), withNul.size()), CString(L"{\\rtf1 a}"));
    EXPECT_EQ(FindRtfAnsiCodePage(cyrillic.data(), cyrillic.size()), 1251u);
    EXPECT_EQ(FindRtfAnsiCodePage(ascii.data(), ascii.size()), 0u);
}

TEST(RtfTextCoding, TellsRtfFromOtherText)
{
    EXPECT_TRUE(LooksLikeRtf(L"{\\rtf1 a}"));
    EXPECT_TRUE(LooksLikeRtf(L"\r\n {\\RTF1 a}"));
    EXPECT_TRUE(LooksLikeRtf(L"{\\urtf1 a}"));
    EXPECT_FALSE(LooksLikeRtf(L"{\\rt"));
    EXPECT_FALSE(LooksLikeRtf(L"plain {\\rtf1}"));
    EXPECT_FALSE(LooksLikeRtf(static_cast<LPCWSTR>(nullptr)));
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1}", 7));
    EXPECT_FALSE(LooksLikeRtf("{\\rtf1}", 4));
}
} // namespace
