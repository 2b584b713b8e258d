// test-sources: GermanStringsFixture.rc
#include "common/LocaleInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const LCID kEnglishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}
} // namespace

TEST(LocaleInfo, NamesDaysFromSunday)
{
    struct Case
    {
        int day;
        bool abbreviated;
        const wchar_t* name;
    };
    const Case cases[] = {
        {0, false, L"Sunday"},   {1, false, L"Monday"}, {3, false, L"Wednesday"},
        {6, false, L"Saturday"}, {0, true, L"Sun"},     {6, true, L"Sat"},
        {7, false, L""},         {-1, false, L""},      {7, true, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(GetLocaleDayName(c.day, kEnglishUs, c.abbreviated)), c.name) << c.day;
}

TEST(LocaleInfo, NamesMonthsFromJanuary)
{
    EXPECT_EQ(Text(GetLocaleMonthName(1, kEnglishUs, false)), L"January");
    EXPECT_EQ(Text(GetLocaleMonthName(12, kEnglishUs, false)), L"December");
    EXPECT_EQ(Text(GetLocaleMonthName(9, kEnglishUs, true)), L"Sep");
    EXPECT_EQ(Text(GetLocaleMonthName(0, kEnglishUs, false)), L"");
    EXPECT_EQ(Text(GetLocaleMonthName(13, kEnglishUs, true)), L"");
    EXPECT_EQ(Text(GetLocaleString(kEnglishUs, LOCALE_SISO639LANGNAME)), L"en");
}

TEST(LocaleInfo, FindsAKeyboardLayoutByItsLanguageAbbreviation)
{
    HKL layouts[100] = {};
    const int count = GetKeyboardLayoutList(100, layouts);
    ASSERT_GT(count, 0);
    const LANGID first = LOWORD(reinterpret_cast<ULONG_PTR>(layouts[0]));
    const CString abbreviation = GetLocaleString(MAKELCID(first, SORT_DEFAULT), LOCALE_SABBREVLANGNAME);
    ASSERT_GE(abbreviation.GetLength(), 2);

    CString lower = abbreviation;
    lower.MakeLower();
    EXPECT_EQ(FindKeyboardLayoutByLangAbbrev(abbreviation), first);
    EXPECT_EQ(FindKeyboardLayoutByLangAbbrev(lower), first);           // case does not count
    EXPECT_EQ(FindKeyboardLayoutByLangAbbrev(lower.Left(2)), first);   // a prefix matches
    EXPECT_EQ(FindKeyboardLayoutByLangAbbrev(abbreviation + L"X"), 0); // a longer text does not
    EXPECT_EQ(FindKeyboardLayoutByLangAbbrev(L"QQ"), 0);
    EXPECT_EQ(FindKeyboardLayoutByLangAbbrev(L""), 0);
    EXPECT_EQ(FindKeyboardLayoutByLangAbbrev(nullptr), 0);
}

TEST(LocaleInfo, UserCountryCodesHaveTheirLength)
{
    // Country names may be empty on some systems; the codes are read through the same path.
    const CString two = GetUserCountryIsoCode(true);
    const CString three = GetUserCountryIsoCode(false);
    if (!two.IsEmpty()) {
        EXPECT_EQ(two.GetLength(), 2) << two.GetString();
    }
    if (!three.IsEmpty()) {
        EXPECT_EQ(three.GetLength(), 3) << three.GetString();
    }
    EXPECT_EQ(GetUserCountryName(), GetUserGeoInfoText(GEO_FRIENDLYNAME));
}

TEST(LocaleInfo, OwnResourceLanguageIsThatOfTheFirstStringTable)
{
    CString english;
    CString localized;
    EXPECT_EQ(GetOwnResourceLanguage(nullptr, &english, &localized), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    EXPECT_EQ(Text(english),
              Text(GetLocaleString(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT),
                                   LOCALE_SENGLANGUAGE)));
    EXPECT_NE(english.Find(L"German"), -1) << english.GetString();
    EXPECT_FALSE(localized.IsEmpty());
    EXPECT_EQ(GetOwnResourceLanguage(GetModuleHandleW(nullptr)), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
}
