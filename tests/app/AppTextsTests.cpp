#include "app/AppObjects.h"
#include "app/AppTexts.h"
#include "common/NumberTexts.h"
#include "app/ProgramLauncher.h"
#include "app/VersionTexts.h"
#include "app/tray/WebSearch.h"
#include "online/ProgramStarts.h"

#include "common/LanguageFile.h"
#include "common/LocalizedString.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}
} // namespace

TEST(AppTexts, NumbersAreGroupedByThousands)
{
    const struct
    {
        int value;
        const wchar_t* text;
    } cases[] = {
        {0, L"0"},
        {999, L"999"},
        {1000, L"1 000"},
        {1234567, L"1 234 567"},
        {-1234, L"-1 234"},
        {-999, L"-999"},
        {2147483647, L"2 147 483 647"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(FormatNumberGrouped(c.value)), c.text) << c.value;
    EXPECT_EQ(Text(FormatCharsCountText(12345)), L"Chars: 12 345");
}

TEST(AppTexts, OnlyASingleIntConversionIsAFormat)
{
    const struct
    {
        const wchar_t* format;
        bool accepted;
    } cases[] = {
        {L"and %d more", true}, {L"%d", true},           {L"100%% and %d", true}, {L"", false},
        {L"and more", false},   {L"and %s more", false}, {L"%d of %d", false},    {L"%n%d", false},
        {L"%5d", false},        {L"%ld", false},         {L"trailing %", false},  {L"%d %s", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSingleIntFormat(c.format), c.accepted) << testing::PrintToString(std::wstring(c.format));
}

TEST(AppTexts, AndMoreTextRefusesAnUnsafeTranslation)
{
    EXPECT_EQ(Text(FormatAndMoreText(7)), L"and 7 more");

    scvtest::TempFolder folder;
    const std::wstring file = folder.PathOf(L"Test.lng");
    ASSERT_TRUE(WriteLanguageText(file.c_str(), L"Strings_Client", L"300", L"und %d mehr"));
    SetLanguageFileForStrings(file.c_str(), L"_Client");
    EXPECT_EQ(Text(FormatAndMoreText(3)), L"und 3 mehr");

    for (const wchar_t* unsafe : {L"und %s mehr", L"%d und %d", L"und mehr", L"%n"}) {
        ASSERT_TRUE(WriteLanguageText(file.c_str(), L"Strings_Client", L"300", unsafe));
        EXPECT_EQ(Text(FormatAndMoreText(3)), L"and 3 more") << testing::PrintToString(std::wstring(unsafe));
    }
    SetCurrentLanguageFilePath(L"");
}

TEST(AppTexts, OnOffLabels)
{
    EXPECT_EQ(Text(FormatOnOffLabel(L"Sounds", true)), L"Sounds: on");
    EXPECT_EQ(Text(FormatOnOffLabel(L"Sounds", false)), L"Sounds: OFF");
    EXPECT_EQ(Text(FormatOnOffLabel(L"", true)), L"on");
    EXPECT_EQ(Text(GetTurnOffTextDefault()), L"TURN OFF");
    EXPECT_EQ(Text(GetTurnOnTextDefault()), L"Turn on");
}

TEST(AppTexts, TitleAndIconFollowElevation)
{
    // Wine reports the user as an elevated administrator.
    ASSERT_TRUE(CAppObjects::IsElevated());
    EXPECT_EQ(Text(GetWindowTitleText(true)), L"Scrivolanter^");
    EXPECT_EQ(Text(GetWindowTitleText(false)), L"Scrivolanter");
    EXPECT_EQ(CAppObjects::GetAppIconId(), 249u);
}

TEST(VersionTexts, Table)
{
    const struct
    {
        const wchar_t* head;
        const wchar_t* tail;
        bool hasVersion, product, build;
        const wchar_t* label;
        bool elevationMark, elevated;
        const wchar_t* expected;
    } cases[] = {
        {L"2.6.0", L"123", true, true, true, L"build", true, true, L"Scrivolanter 2.60 build 123^"},
        {L"2.6.0", L"123", true, true, true, L"build", true, false, L"Scrivolanter 2.60 build 123"},
        {L"2.6.0", L"123", true, true, true, L"b", false, false, L"Scrivolanter 2.60 b123"},
        {L"2.6.0", L"123", true, true, false, L"build", false, false, L"Scrivolanter 2.60"},
        {L"2,6,0", L"7", true, false, true, L"build", false, false, L" 2.60 build 7"},
        {L"3", L"3", true, true, false, L"build", true, true, L"Scrivolanter 3^"},
        {L"", L"", false, true, true, L"build", true, true, L"Scrivolanter"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(FormatVersionTextFrom(c.head, c.tail, c.hasVersion, c.product, c.build, c.label, false,
                                             c.elevationMark, c.elevated)),
                  c.expected);
}

TEST(WebSearch, EncodesTheTextAsUtf8)
{
    EXPECT_EQ(Text(PercentEncodeQueryText(L"a-z_0.9~")), L"a-z_0.9~");
    EXPECT_EQ(Text(PercentEncodeQueryText(L"a b&c=d#e+f%")), L"a%20b%26c%3Dd%23e%2Bf%25");
    EXPECT_EQ(Text(PercentEncodeQueryText(L"\x00E9\x20AC")), L"%C3%A9%E2%82%AC");

    EXPECT_EQ(Text(BuildWebSearchUrl(L"two\r\nlines\nx&y", WebSearchEncyclopedia)),
              L"https://en.wikipedia.org/wiki/Special:Search?search=two%20lines%20x%26y");
    EXPECT_EQ(Text(BuildWebSearchUrl(L"q", WebSearchGoogle)), L"https://www.google.com/search?q=q");
    EXPECT_NE(Text(BuildWebSearchUrl(L"q", WebSearchYandex)).find(L"/yandsearch?text=q"), std::wstring::npos);
    EXPECT_NE(Text(BuildWebSearchUrl(L"q", WebSearchDeveloperDocs)).find(L"/Search/en-US?query=q"),
              std::wstring::npos);
    EXPECT_TRUE(BuildWebSearchUrl(L"q", 4).IsEmpty());
    EXPECT_FALSE(SearchWebForText(L"q", 9));
}

TEST(ProgramLauncher, UrlTexts)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* url;
    } cases[] = {
        {L"example.com", L"http://example.com"},
        {L"https://example.com/a", L"https://example.com/a"},
        {L"MAILTO:someone@example.com", L"MAILTO:someone@example.com"},
        {L"File:///C:/x.txt", L"File:///C:/x.txt"},
        {L"ftp://host", L"ftp://host"},
        {L"www.a.com/\r\nb\tc", L"http://www.a.com/ b c"},
        {L"a    b", L"http://a b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(NormalizeUrlText(c.text)), c.url);
}

TEST(ProgramLauncher, CommandLinesOfTheOtherPrograms)
{
    EXPECT_EQ(Text(BuildEditorParameters(false, false, L"")), L"");
    EXPECT_EQ(Text(BuildEditorParameters(true, false, L"")), L" /addfromcb");
    EXPECT_EQ(Text(BuildEditorParameters(true, true, L"sel")), L" /addfromcb /firstrun /addseltext");
    EXPECT_EQ(Text(BuildEditorParameters(false, true, L"")), L" /firstrun");

    EXPECT_EQ(Text(BuildWaiterCommandLine(1234, L"", false)), L" /pid1234");
    EXPECT_EQ(Text(BuildWaiterCommandLine(4000000000u, L"C:\\a b\\Log.txt", true)),
              L" /logfile\"C:\\a b\\Log.txt\" /pid4000000000 /exit");

    EXPECT_EQ(Text(BuildWelcomeParameters(true)), L"/auto");
    EXPECT_EQ(Text(BuildWelcomeParameters(false)), L"");
}
