#include "common/HotKeyText.h"
#include "common/NumberTexts.h"
#include "common/TextUtilities.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

// A shortening function: text in and out, a flag out.
using Shortener = bool (*)(CString&, int);

struct ShortenCase
{
    const wchar_t* text;
    int maxLength;
    const wchar_t* expected;
    bool changed;
};

void RunShortenCases(Shortener shorten, const std::vector<ShortenCase>& cases)
{
    for (const ShortenCase& c : cases) {
        CString text = c.text;
        const bool result = shorten(text, c.maxLength);
        EXPECT_EQ(W(text), c.expected)
            << testing::PrintToString(std::wstring(c.text)) << " max " << c.maxLength;
        EXPECT_EQ(result, c.changed) << testing::PrintToString(std::wstring(c.text)) << " max "
                                     << c.maxLength;
    }
}
} // namespace

TEST(ShortenTextMiddle, NormalisesAndCutsTheMiddle)
{
    RunShortenCases(ShortenTextMiddle,
                    {
                        {L"abcdefghij", 4, L"ab\x2026   \x2026ij", true},
                        {L"abcdefghij", 10, L"abcdefghij", false},
                        {L"abcdefghij", -1, L"abcdefghij", false}, // -1 is the largest unsigned limit
                        {L"  a\r\n\r\nb\t", -1, L"a b", true}, // trimmed, breaks made blanks, runs shortened
                        {L"line one\rline two\nthree", 100, L"line one line two three", true},
                        {L"  abcdefgh  ", 6,
                         L"abc\x2026   \x2026"
                         L"fgh",
                         true}, // measured after normalising
                    });
}

TEST(ShortenLineForMenu, CutsAtWordBreaks)
{
    RunShortenCases(
        ShortenLineForMenu,
        {
            {L"one two three four five six seven", 16, L"one two\x2026seven", true},
            {L"short", 16, L"short", false},
            {L"a\r\nb\x00B6", 16, L"a b", true},
            {L"a    b", 4, L"a b", false}, // fits once normalised: no cut, still normalised
            {L"abcdefghijklmnopqrstuvwxyz", 10, L"abcde\x2026vwxyz", true}, // no break: cut at max / 2
            {L"path\\to\\some\\very\\deep\\file name.txt", 20, L"path\\to\x2026name.txt", true},
        });
}

TEST(ShortenUrlForDisplay, KeepsHostAndEnd)
{
    RunShortenCases(
        ShortenUrlForDisplay,
        {
            {L"https://host/dir/sub/page.html?id=77", 30, L"https://host/ \x2026 id=77", true},
            {L"HTTPS://host/a/b/c/verylongname", 20, L"HTTPS://host/ \x2026 ongname", true},
            {L"http://averyveryverylonghostname.example.com/x", 20, L"http://ave \x2026 x", true},
            {L"ftp://x", 30, L"ftp://x", true}, // fits: nothing to do
            {L"not a url at all but a long text", 10, L"not a url at all but a long text", false},
            {L"mailto:someone@example.com/long/path", 10, L"mailto:someone@example.com/long/path", false},
        });
}

TEST(TrimAndShortenForMenu, UrlFirstThenMenuLine)
{
    struct Case
    {
        const wchar_t* text;
        int maxLength;
        const wchar_t* expected;
    } cases[] = {
        {L"  https://host/dir/sub/page.html?id=77\r\n", 30, L"https://host/ \x2026 id=77"},
        {L"\t one two three four five six seven \v", 16, L"one two\x2026seven"},
        {L" \b short \r\n", 16, L"short"},
    };
    for (const Case& c : cases) {
        CString text = c.text;
        TrimAndShortenForMenu(text, c.maxLength);
        EXPECT_EQ(W(text), c.expected);
    }
}

TEST(TruncateAtWordWithEllipsis, CutsAtTheLastBreakBeforeTheLimit)
{
    RunShortenCases(TruncateAtWordWithEllipsis, {
                                                    {L"Hello wonderful world", 12, L"Hello\x2026", true},
                                                    {L"short", 12, L"short", false},
                                                    {L"  padded\ttext ", 20, L"padded text", true},
                                                    {L"abcdefghijklmnop", 5, L"abcde\x2026", true},
                                                    {L"one,two.three", 9, L"one,two\x2026", true},
                                                    {L"", 5, L"", false},
                                                });
}

TEST(TrimRightChar, RemovesTheTrailingRunOnly)
{
    CString text = L"..a..b...";
    TrimRightChar(text, L'.');
    EXPECT_EQ(W(text), L"..a..b");
    CString none = L"abc";
    TrimRightChar(none, L'.');
    EXPECT_EQ(W(none), L"abc");
}

TEST(CountLines, LineFeedsPlusOneFromTwoCharacters)
{
    struct Case
    {
        const char* text;
        int expected;
    } cases[] = {{"a\nb", 2}, {"a", 0}, {"ab", 1}, {"", 0}, {"a\n\nb", 3}, {"a\r\nb\r\n", 3}};
    for (const Case& c : cases) {
        const int length = static_cast<int>(strlen(c.text));
        EXPECT_EQ(CountLinesA(c.text, length), c.expected) << c.text;
        const std::wstring wide(c.text, c.text + length);
        EXPECT_EQ(CountLinesW(wide.c_str(), length), c.expected) << c.text;
    }
    // Only the given length counts.
    EXPECT_EQ(CountLinesW(L"a\nb\nc", 3), 2);
}

TEST(ShortenToFirstAndLastLines, KeepsThreeLinesAtEachEnd)
{
    EXPECT_EQ(W(ShortenToFirstAndLastLines(L"1\n2\n3\n4\n5", 5)),
              L"1\n2\n3\n\n\t\x2026\x2026\x2026\n3\n4\n5");
    EXPECT_EQ(W(ShortenToFirstAndLastLines(L"1\n2\n3\n4\n5\n6\n7", 7)),
              L"1\n2\n3\n\n\t\x2026\x2026\x2026\n5\n6\n7");
    EXPECT_EQ(W(ShortenToFirstAndLastLines(L"1\n2\n3\n4", 4)), L"1\n2\n3\n4");
    // A line count that does not match the text never duplicates it.
    EXPECT_EQ(W(ShortenToFirstAndLastLines(L"1\n2", 9)), L"1\n2");
}

TEST(FileNameCharMap, ReplacesEveryForbiddenCharacter)
{
    CString text = L"a:b?c*";
    EXPECT_EQ(ReplaceFileNameForbiddenChars(text), 3);
    EXPECT_EQ(W(text), L"a-b c\x2022");

    CString all = L"\"*/:<>?\\|\x00AB";
    EXPECT_EQ(ReplaceFileNameForbiddenChars(all), 10);
    EXPECT_EQ(W(all), L"'\x2022_-[] __[");
    EXPECT_FALSE(HasFileNameForbiddenChars(all));
    EXPECT_TRUE(HasFileNameForbiddenChars(L"a|b"));
    EXPECT_FALSE(HasFileNameForbiddenChars(L"plain name.txt"));
}

TEST(FileNameCharMap, TextListsThePairsInKeyOrder)
{
    const std::wstring text = W(GetFileNameCharMapText());
    const std::wstring space = W(GetKeyNameForVk(VK_SPACE, false));
    ASSERT_FALSE(space.empty());
    const std::wstring expected = L"   (\")  \x203A\x203A  (')\r\n"
                                  L"   (*)  \x203A\x203A  (\x2022)\r\n"
                                  L"   (/)  \x203A\x203A  (_)\r\n"
                                  L"   (:)  \x203A\x203A  (-)\r\n"
                                  L"   (<)  \x203A\x203A  ([)\r\n"
                                  L"   (>)  \x203A\x203A  (])\r\n"
                                  L"   (?)  \x203A\x203A  (" +
                                  space +
                                  L")\r\n"
                                  L"   (\\)  \x203A\x203A  (_)\r\n"
                                  L"   (|)  \x203A\x203A  (_)\r\n"
                                  L"   (\x00AB)  \x203A\x203A  ([)";
    EXPECT_EQ(text, expected);
}

TEST(MakeLinesCountText, GroupsTheCount)
{
    const std::wstring text = W(MakeLinesCountText(1234567));
    EXPECT_EQ(text.substr(text.size() - 11), L": 1 234 567");
}

TEST(TextUtilities, WrapTextAtWidthBreaksAtTheLastBlankWithinTheWidth)
{
    const struct
    {
        const wchar_t* text;
        int width;
        const wchar_t* wrapped;
    } cases[] = {
        {L"Check For Updates", 20, L"Check For Updates"},
        {L"Search for updates of the program", 20, L"Search for updates\nof the program"},
        {L"Averyveryverylongwordwithoutblanks", 20, L"Averyveryverylongwor\ndwithoutblanks"},
        {L"short\nline two is much longer than that", 20, L"short\nline two is much\nlonger than that"},
        {L"exactly twenty chars", 20, L"exactly twenty chars"},
        {L"", 20, L""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(WrapTextAtWidth(c.text, c.width).GetString(), c.wrapped) << testing::PrintToString(std::wstring(c.text));
}
