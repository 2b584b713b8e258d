#include "common/TextDecoration.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const std::wstring kDash = L"\x2014";

std::wstring Dashes(int n)
{
    std::wstring text;
    for (int i = 0; i < n; ++i)
        text += kDash;
    return text;
}

std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}
} // namespace

TEST(TextDecoration, RepeatedCharacters)
{
    struct Case
    {
        CString actual;
        std::wstring expected;
    } cases[] = {
        {RepeatChar(L'x', 3), L"xxx"},
        {RepeatChar(L'x', 0), L""},
        {RepeatChar(L'x', -4), L""},
        {MakeSpaces(2), L"  "},
        {MakeOneSpace(), L" "},
        {MakeDashes(4), Dashes(4)},
        {MakeBullet(2), L"\x2022\x2022"},
        {MakeBullet(), L"\x2022"},
        {MakeBulletItem(L"item"), L"\x2022 item"},
        {MakeBulletPrefix(), L"\x2022  "},
        {MakeGuillemet(3), L"\x00BB\x00BB\x00BB"},
        {MakeEllipsis(), L"\x2026"},
        {MakeEllipsis(2), L"\x2026\x2026"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(c.actual), c.expected);
}

TEST(TextDecoration, EnclosingAndLabels)
{
    EXPECT_EQ(W(EncloseIn(L"a", L"<", L">")), L"<a>");
    EXPECT_EQ(W(EncloseInSquareBrackets(L"a")), L"[a]");
    EXPECT_EQ(W(EncloseInBraces(L"a")), L"{a}");
    EXPECT_EQ(W(EncloseInParentheses(L"a")), L"(a)");
    EXPECT_EQ(W(EncloseInGuillemets(L"a")), L"\x00AB"
                                            L"a\x00BB");

    EXPECT_EQ(W(EncloseByKind(L"v", 0)), L"[v]");
    EXPECT_EQ(W(EncloseByKind(L"v", 1)), L"(v)");
    EXPECT_EQ(W(EncloseByKind(L"v", 2)), L"{v}");
    EXPECT_EQ(W(EncloseByKind(L"v", 3)), L"");
    EXPECT_EQ(W(EncloseByKind(L"v", -1)), L"");

    EXPECT_EQ(W(LabelWithValue(L"Size", L"12", L": ", 1)), L"Size: (12)");
    EXPECT_EQ(W(LabelWithValue(L"Size", L"12", L"=", 7)), L"Size=");
    EXPECT_EQ(W(LabelWithBracketedValue(L"Path", L"C:\\x")), L"Path [C:\\x]");

    EXPECT_EQ(W(MakeGuillemetItem(L"t")), L"\x00BB t");
    EXPECT_EQ(W(MakeGuillemetItem(L"t", 0)), L"\x00BB t"); // 0 counts as one
    EXPECT_EQ(W(MakeGuillemetItem(L"t", 2)), L"\x00BB\x00BB t");
}

TEST(TextDecoration, TitledDashLine)
{
    EXPECT_EQ(W(MakeTitledDashLine(10, L"Log", 3)), Dashes(3) + L" Log " + Dashes(7));
    // More on the left than the width: the right run takes the whole width.
    EXPECT_EQ(W(MakeTitledDashLine(10, L"Log", 12)), Dashes(12) + L" Log " + Dashes(10));
    EXPECT_EQ(W(MakeTitledDashLine(10, L"Log", 10)), Dashes(10) + L" Log ");
    EXPECT_EQ(W(MakeTitledDashLine(5, L"Log", 0)), L" Log " + Dashes(5));
    EXPECT_EQ(W(MakeTitledDashLine(0, L"Log", 2)), Dashes(2) + L" Log ");
}

TEST(TextDecoration, AppendedLines)
{
    CString text;
    AppendDashLine(text, 3, false);
    EXPECT_EQ(W(text), Dashes(3)) << "no leading line break on an empty text";
    AppendDashLine(text, 2, true);
    EXPECT_EQ(W(text), Dashes(3) + L"\n" + Dashes(2) + L"\n");

    CString pieces = L"head";
    AppendRepeatedLine(pieces, L"ab", 3, true);
    EXPECT_EQ(W(pieces), L"head\nababab\n");
    CString none;
    AppendRepeatedLine(none, L"ab", 0, false);
    EXPECT_EQ(W(none), L"");

    int* indent = GetIndentWidthPtr();
    ASSERT_NE(indent, nullptr);
    EXPECT_EQ(indent, GetIndentWidthPtr());
    const int saved = *indent;
    *indent = 4;
    CString indented = L"x";
    AppendIndentLine(indented, false);
    EXPECT_EQ(W(indented), L"x\n    ");
    *indent = saved;
}
