#include "common/UrlQueryParams.h"

#include "common/OsVersionInfo.h"
#include "common/SystemTexts.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace
{
const wchar_t kBase[] = L"http://updates.example/check.php";

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

std::wstring QueryOf(const CUrlQueryParams& query)
{
    const std::wstring url = Text(query.BuildUrl());
    const std::wstring prefix = std::wstring(kBase) + L"?";
    if (url.compare(0, prefix.size(), prefix) != 0)
        return L"<no base>" + url;
    return url.substr(prefix.size());
}

// The value of the one pair of a query.
std::wstring OnlyValue(const CUrlQueryParams& query)
{
    const std::wstring q = QueryOf(query);
    const size_t equals = q.find(L'=');
    return equals == std::wstring::npos ? L"<no pair>" : q.substr(equals + 1);
}
} // namespace

TEST(UrlQueryParams, WithoutPairsTheUrlIsEmpty)
{
    CUrlQueryParams query(kBase);
    EXPECT_TRUE(query.BuildUrl().IsEmpty());
}

TEST(UrlQueryParams, JoinsPairsInOrderWithNamesAndBrackets)
{
    CUrlQueryParams query(kBase);
    query.AddParamText(L"scv version", L"6.0.1");
    query.AddParam(L"domain", L"corp.example", true);
    query.AddParamInt(L"count", -42);
    query.AddParam(L"empty", L"", true);
    query.AddParamText(L"last", L"");
    EXPECT_EQ(QueryOf(query), L"scv_version=6.0.1&domain=[corp.example]&count=-42&empty=[]&last=");
    ASSERT_EQ(query.GetParams().size(), 5u);
    EXPECT_EQ(Text(query.GetParams()[0].first), L"scv_version"); // stored with the blank replaced
    EXPECT_EQ(Text(query.GetParams()[1].second), L"[corp.example]");
}

TEST(UrlQueryParams, ReplacesBlanksAndPlusAndEncodesWhatWouldBreakTheQuery)
{
    struct Case
    {
        const wchar_t* value;
        bool bracketed;
        const wchar_t* sent;
    };
    const Case cases[] = {
        {L"Windows 10 64x build 19045 ", false, L"Windows_10_64x_build_19045_"},
        {L"en+ru+de", false, L"en_ru_de"},
        {L"a b", true, L"[a_b]"},
        {L"R&D", true, L"[R%26D]"},
        {L"x=1", false, L"x%3D1"},
        {L"50%", false, L"50%25"},
        {L"#top", false, L"%23top"},
        {L"line\r\nbreak\t", false, L"line%0D%0Abreak%09"},
        {L"Espa\u00F1a", true, L"[Espa%C3%B1a]"},
        {L"\u0420\u043E\u0441\u0441\u0438\u044F", false, L"%D0%A0%D0%BE%D1%81%D1%81%D0%B8%D1%8F"},
        {L"\U0001F600", false, L"%F0%9F%98%80"},
        {L"path/to?q:1;[ok]~_-.", false, L"path/to?q:1;[ok]~_-."},
    };
    for (const Case& c : cases) {
        CUrlQueryParams query(kBase);
        query.AddParam(L"v", c.value, c.bracketed);
        EXPECT_EQ(OnlyValue(query), c.sent) << c.value;
    }
}

TEST(UrlQueryParams, EncodesNamesLikeValues)
{
    CUrlQueryParams query(kBase);
    query.AddParamText(L"a&b c", L"1");
    EXPECT_EQ(QueryOf(query), L"a%26b_c=1");
}

TEST(UrlQueryParams, AddsTheMachineFacts)
{
    CUrlQueryParams query(kBase);
    query.AddWinVer();
    query.AddDomain();
    query.AddCountry();
    query.AddLanguages();
    query.AddRam();
    query.AddScreen();
    const auto& params = query.GetParams();
    ASSERT_EQ(params.size(), 6u);

    EXPECT_EQ(Text(params[0].first), L"winver");
    EXPECT_EQ(Text(params[0].second), Text(COsVersionInfo::GetOsDescription()));
    EXPECT_EQ(Text(params[1].first), L"domain");
    EXPECT_TRUE(std::regex_match(Text(params[1].second), std::wregex(L"\\[.*\\]")));
    EXPECT_EQ(Text(params[2].first), L"country");
    EXPECT_TRUE(std::regex_match(Text(params[2].second), std::wregex(L"\\[.*\\]")));
    EXPECT_EQ(Text(params[3].first), L"languages");
    EXPECT_EQ(Text(params[3].second), Text(GetKeyboardLanguagesText()));
    EXPECT_EQ(Text(params[4].first), L"RAM");
    EXPECT_TRUE(std::regex_match(Text(params[4].second), std::wregex(L"[0-9][0-9.,]*(bytes|KB|MB|GB|TB)")))
        << Text(params[4].second);
    CString screen;
    screen.Format(L"[%dx%d]", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(Text(params[5].first), L"screen");
    EXPECT_EQ(Text(params[5].second), Text(screen));

    // The languages joined by "+" arrive joined by "_".
    const std::wstring url = Text(query.BuildUrl());
    CString languages = GetKeyboardLanguagesText();
    languages.Replace(L'+', L'_');
    EXPECT_NE(url.find(L"&languages=" + Text(languages) + L"&"), std::wstring::npos) << url;
}

TEST(UrlQueryParams, NoProgramVersionWithoutAVersionResource)
{
    // This test program carries no version resource.
    CUrlQueryParams query(kBase);
    EXPECT_FALSE(query.AddProgramVersion(L"scv_version"));
    EXPECT_TRUE(query.GetParams().empty());
}
