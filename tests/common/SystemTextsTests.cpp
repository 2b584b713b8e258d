#include "common/SystemTexts.h"

#include "common/LocaleInfo.h"
#include "common/ByteSizeText.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}
} // namespace

TEST(SystemTexts, ByteSizesAreShortTexts)
{
    struct Case
    {
        LONGLONG bytes;
        const wchar_t* pattern;
    };
    const Case cases[] = {
        {0, L"0 bytes"},
        {1023, L"1023 bytes"},
        {1536, L"1[.,]50 KB"},
        {3LL << 30, L"3[.,]00 GB"},
        // Beyond 32 bits the size is not cut.
        {5LL << 30, L"5[.,]00 GB"},
        {(1LL << 40) * 2, L"2[.,]00 TB"},
    };
    for (const Case& c : cases) {
        const std::wstring text = Text(FormatByteSize(c.bytes));
        EXPECT_TRUE(std::regex_match(text, std::wregex(c.pattern))) << c.bytes << ": " << text;
        EXPECT_EQ(text, Text(FormatByteSizeText(c.bytes)));
    }
}

TEST(SystemTexts, MemoryTextsAreGigabytesAndPercent)
{
    EXPECT_TRUE(std::regex_match(Text(GetInstalledMemoryText()), std::wregex(L"[0-9]+\\.[0-9]{2} GB")))
        << Text(GetInstalledMemoryText());
    EXPECT_TRUE(std::regex_match(Text(GetAvailableMemoryText()), std::wregex(L"[0-9]+\\.[0-9]{2} GB")))
        << Text(GetAvailableMemoryText());
    EXPECT_TRUE(std::regex_match(Text(GetMemoryUsageText()), std::wregex(L"[0-9]{1,3}%")))
        << Text(GetMemoryUsageText());
}

TEST(SystemTexts, KeyboardLanguagesAreIsoNamesJoinedByPlus)
{
    const std::wstring languages = Text(GetKeyboardLanguagesText());
    EXPECT_TRUE(std::regex_match(languages, std::wregex(L"[a-z]{2,3}(\\+[a-z]{2,3})*"))) << languages;
}

TEST(SystemTexts, BrowserVersionIsAVersionTextOrEmpty)
{
    const std::wstring version = Text(GetInternetExplorerVersion());
    EXPECT_TRUE(std::regex_match(version, std::wregex(L"([0-9]+(\\.[0-9]+)*)?"))) << version;
}
