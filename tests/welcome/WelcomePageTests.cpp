// The welcome page as text: markers replaced (table), the version and hot-key
// texts, the "Uses:" line, page selection over a temp HTML tree and "/auto".
#include "welcome/WelcomePage.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(static_cast<LPCWSTR>(text));
}

WelcomeMarkerValues Values()
{
    return {L"HOTKEY", L"http://example.test/news_en.xml", L"v.6.01 (today)", L"USES",
            L"http://example.test/sub"};
}
} // namespace

TEST(WelcomePageTests, MarkersAreReplacedAtTheirFirstOccurrence)
{
    struct Case
    {
        const wchar_t* page;
        const wchar_t* result;
        bool replaced;
    } cases[] = {
        {L"<p>plain page</p>", L"<p>plain page</p>", false},
        {L"a<!-- HOTKEY_START -->old key<!-- HOTKEY_END -->b", L"aHOTKEYb", true},
        {L"a<!-- HOTKEY_START -->no end", L"aHOTKEYno end", true},
        {L"<!-- RSS_URL --> <!-- RSS_URL -->", L"http://example.test/news_en.xml <!-- RSS_URL -->", true},
        {L"[<!-- VERSION_WELCOME_INFO -->][<!-- LOCALIZE_PATH -->][<!-- SUBSCRIBE_URL -->]",
         L"[v.6.01 (today)][USES][http://example.test/sub]", true},
        {L"<!-- HOTKEY_END --><!-- HOTKEY_START -->x<!-- HOTKEY_END -->", L"<!-- HOTKEY_END -->HOTKEY", true},
    };
    for (const Case& c : cases) {
        CString page = c.page;
        EXPECT_EQ(ReplaceWelcomeMarkers(page, Values()), c.replaced) << Text(c.page);
        EXPECT_EQ(Text(page), c.result) << Text(c.page);
    }
}

TEST(WelcomePageTests, VersionHotKeyAndUsesTexts)
{
    EXPECT_EQ(Text(FormatWelcomeVersion(L"6.0.1.512", L"512", L"Mar 7 2026")),
              L"v.6.01512 build 512 (Mar 7 2026)");
    EXPECT_EQ(Text(FormatWelcomeVersion(L"6.0", L"", L"d")), L"v.6.0 (d)");
    EXPECT_EQ(Text(WelcomeHotKeyBlock(true, L"Ctrl+Alt+Enter", false)), L"Current Hotkey: Ctrl+Alt+Enter");
    EXPECT_EQ(Text(WelcomeHotKeyBlock(true, L"Ctrl", true)), L"Current Hotkey: Ctrl <B>x 2</B> \x2014 twice");
    EXPECT_EQ(Text(WelcomeHotKeyBlock(false, L"", false)),
              L"Current Hotkey: I unknow<BR>Cannot get info from MMF");
    EXPECT_EQ(Text(WelcomeUsesLine(L"Embedded (en)", false)),
              L"<BR><FONT COLOR=red>Uses: Embedded (en)</FONT>");
    EXPECT_EQ(Text(WelcomeUsesLine(L"C:\\P\\HTML\\Ru\\welcome.html", true)),
              L"<BR><FONT COLOR=green>Uses: <A HREF=\"C:\\P\\HTML\\Ru\\welcome.html\" TARGET=_blank>"
              L"C:\\P\\HTML\\Ru\\welcome.html</A></FONT>");
}

TEST(WelcomePageTests, PageIsChosenFromTheLanguageThenItsParent)
{
    scvtest::TempFolder folder;
    folder.WriteUtf8(L"HTML\\Deutsch\\welcome.html", L"<p>de</p>");
    folder.WriteUtf8(L"HTML\\Russian\\welcome.html", L"<p>ru</p>");
    folder.CreateSubfolder(L"HTML\\Empty");
    const CString html = (folder.PathOf(L"HTML") + L"\\").c_str();
    struct Case
    {
        const wchar_t* language;
        const wchar_t* parent;
        std::wstring page;
    } cases[] = {
        {L"Deutsch", L"", folder.PathOf(L"HTML\\Deutsch\\welcome.html")},
        {L"Ukrainian", L"Russian", folder.PathOf(L"HTML\\Russian\\welcome.html")},
        {L"Empty", L"Deutsch", folder.PathOf(L"HTML\\Deutsch\\welcome.html")},
        {L"Empty", L"", L""},
        {L"", L"", L""},
        {L"..\\HTML\\Deutsch", L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(SelectWelcomePage(html, c.language, c.parent)), c.page) << Text(c.language);
}

TEST(WelcomePageTests, ParentLanguageComesFromTheLanguageFile)
{
    scvtest::TempFolder folder;
    struct Case
    {
        const wchar_t* file;
        const wchar_t* text;
        const wchar_t* parent;
    } cases[] = {
        {L"Ukrainian.lng", L"[Main]\r\nLangPrefix=Ua\r\nParentLanguage= Russian \r\n", L"Russian"},
        {L"Deutsch.lng", L"[Main]\r\nLangPrefix=De\r\n", L""},
        {L"missing.lng", nullptr, L""},
    };
    for (const Case& c : cases) {
        if (c.text)
            folder.WriteUtf16(c.file, c.text);
        EXPECT_EQ(Text(WelcomeParentLanguage(folder.PathOf(c.file).c_str())), std::wstring(c.parent))
            << Text(c.file);
    }
    EXPECT_EQ(Text(WelcomeParentLanguage(CString())), L"");
}

TEST(WelcomePageTests, AutoFlagIsFoundAnywhereWithItsCase)
{
    EXPECT_TRUE(HasAutoFlag(L"/auto"));
    EXPECT_TRUE(HasAutoFlag(L"\"C:\\P\\Scrivolanter_Welcome.exe\" /x /auto"));
    EXPECT_FALSE(HasAutoFlag(L"/AUTO"));
    EXPECT_FALSE(HasAutoFlag(L""));
    EXPECT_FALSE(HasAutoFlag(nullptr));
}
