// The update page as text: both forms with their items in order, the
// settings block, the news, escaping of what the server sent, and the
// version display.
#include "online/UpdatePage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(static_cast<LPCWSTR>(text));
}

CVersionNumbers Version(std::vector<int> parts)
{
    CVersionNumbers version;
    version.parts = std::move(parts);
    return version;
}

// Positions of the pieces in the page; every piece must be there, in this order.
void ExpectInOrder(const std::wstring& page, const std::vector<std::wstring>& pieces)
{
    size_t at = 0;
    for (const std::wstring& piece : pieces) {
        const size_t found = page.find(piece, at);
        ASSERT_NE(found, std::wstring::npos)
            << "missing after " << at << ": " << std::string(piece.begin(), piece.end());
        at = found + piece.size();
    }
}

UpdatePageContext Context()
{
    UpdatePageContext context;
    context.windowColor = RGB(0x12, 0xAB, 0xFF);
    context.buildStamp = L"Mar  7 2026";
    context.lastCheckText = L"today";
    context.autoCheck = false;
    context.days = 9;
    context.updateImageUrl = L"http://example.test/new.png";
    context.noUpdateImageUrl = L"http://example.test/none.png";
    return context;
}
} // namespace

TEST(UpdatePageTests, VersionDisplay)
{
    struct Case
    {
        std::vector<int> parts;
        const wchar_t* shown;
    } cases[] = {
        {{6, 0, 1, 512}, L"6.01 build 512"},
        {{5, 1, 2, 345}, L"5.12 build 345"},
        {{6, 0}, L"6.0"},
        {{6, 0, 1}, L"6.0.1"},
        {{1, 2, 3, 4, 5}, L"1.2.3.4.5"},
        {{}, L"Unavailable"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(FormatVersionForPage(Version(c.parts))), c.shown);
}

TEST(UpdatePageTests, NewVersionPageHasItsItemsInOrder)
{
    CUpdateInfo info(0);
    info.newVersion = L"6.1";
    info.offeredVersion = Version({6, 1, 0, 600});
    info.releaseDate = L"1 April 2026";
    info.downloadUrl = L"http://example.test/setup.exe";
    info.downloadSize = 2048;
    info.portableDownloadUrl = L"http://example.test/portable.zip";
    info.portableDownloadSize = 1024;
    info.news = {{L"Item", L"Body", L"http://example.test/n", L"d", L"a"}};
    const std::wstring page = Text(BuildUpdatePageHtml(info, Context()));
    ExpectInOrder(page, {L"<html><head><style>",
                         L"</style>",
                         L"<BASE TARGET=_blank><meta http-equiv=",
                         L"</head>",
                         L"<BODY BGCOLOR=#12ABFF LEFTMARGIN=5 RIGHTMARGIN=5 TOPMARGIN=5 BOTTOMMARGIN=5>",
                         L"<IMG SRC=\"http://example.test/new.png\" BORDER=0",
                         L"Has new version on official web site Scrivolanter 6.10 build 600",
                         L"This version released: <STRONG>1 April 2026</STRONG>",
                         L"&nbsp;&bull;&nbsp;",
                         L"<A HREF=\"http://example.test/setup.exe\">Download version with installer [",
                         L"<A HREF=\"http://example.test/portable.zip\">Download portable version [",
                         L"s news in this version",
                         L"<A HREF=\"#latest_news\">Latest News</A>",
                         L"Also You can use portable version",
                         L"This update is FREE for You",
                         L"<SPAN ID=hint>Last Check For Updates: today</SPAN>",
                         L"<TD ID=settings>",
                         L"<WIDGET TYPE=checkbox ID=CFUAutoCheck TITLE=",
                         L"Check for updates automatically",
                         L"<SPAN ID=cfu_days_text>Check every days</SPAN>",
                         L"<INPUT TYPE=number ID=CFUDaysNumber STEP=1 MINVALUE=1 MAXVALUE=30 SIZE=3 VALUE=9>",
                         L"<A NAME=\"latest_news\"></A><H1 ID=latest_news_heading>Latest News</H1>",
                         L"<A href=\"http://example.test/n\">Item</A>",
                         L"</table></BODY></html>"});
    EXPECT_EQ(page.find(L"Updates not found"), std::wstring::npos);
    EXPECT_EQ(page.find(L"UpdateVersion_Test"), std::wstring::npos);
    EXPECT_EQ(page.find(L" CHECKED"), std::wstring::npos);
}

TEST(UpdatePageTests, NoUpdatePageShowsBothVersions)
{
    CUpdateInfo info(1);
    info.ownVersion = Version({6, 0, 1, 512});
    info.offeredVersion = Version({6, 0, 1, 512});
    info.releaseDate = L"7 March 2026";
    UpdatePageContext context = Context();
    context.autoCheck = true;
    const std::wstring page = Text(BuildUpdatePageHtml(info, context));
    ExpectInOrder(page,
                  {L"<IMG SRC=\"http://example.test/none.png\"", L"Updates not found. ",
                   L"You use the latest version of Scrivolanter 6.01 build 512",
                   L"<FONT COLOR=green>Your version of Scrivolanter: <STRONG>6.01 build 512 (Mar  7 2026)",
                   L"Scrivolanter version on Web Site: <STRONG>6.01 build 512</STRONG>",
                   L"This version released: <STRONG>7 March 2026", L"Also You can use portable version",
                   L"<SPAN ID=hint>", L"ID=CFUAutoCheck CHECKED",
                   L"<H1 ID=latest_news_heading>Latest News</H1>", L"</html>"});
    EXPECT_EQ(page.find(L"Download version with installer"), std::wstring::npos);
}

TEST(UpdatePageTests, FailedCheckShowsItsErrorNotTheLatestVersion)
{
    CUpdateInfo info(0);
    info.ownVersion = Version({6, 0, 1, 512});
    info.error = L"ERROR: Cannot parse information file";
    std::wstring page = Text(BuildUpdatePageHtml(info, Context()));
    ExpectInOrder(page, {L"<FONT COLOR=red><B>ERROR: Cannot parse information file",
                         L"Your version of Scrivolanter: <STRONG>6.01 build 512", L"ID=CFUAutoCheck",
                         L"<H1 ID=latest_news_heading>Latest News</H1>"});
    EXPECT_EQ(page.find(L"Updates not found"), std::wstring::npos);
    EXPECT_EQ(page.find(L"You use the latest version"), std::wstring::npos);

    // Without a connection: plain words and a way to try again.
    info.error = L"ERROR: Cannot load information from official web-site";
    page = Text(BuildUpdatePageHtml(info, Context()));
    ExpectInOrder(page,
                  {L"could not reach its web site", L"<A HREF=\"scrivolanter:check-again\">Try again</A>",
                   L"Your version of Scrivolanter"});
    EXPECT_EQ(page.find(L"ERROR:"), std::wstring::npos);
}

TEST(UpdatePageTests, ServerTextsAreEscapedAndOnlyWebLinksKept)
{
    CUpdateInfo info(0);
    info.newVersion = L"6.1";
    info.releaseDate = L"<script>alert(1)</script>";
    info.downloadUrl = L"javascript:alert(1)";
    info.portableDownloadUrl = L"file:///C:/Windows/system32/calc.exe";
    UpdatePageContext context = Context();
    context.lastCheckText = L"<b>x</b>";
    const std::wstring page = Text(BuildUpdatePageHtml(info, context));
    EXPECT_EQ(page.find(L"<script>"), std::wstring::npos);
    EXPECT_NE(page.find(L"&lt;script&gt;alert(1)&lt;/script&gt;"), std::wstring::npos);
    EXPECT_EQ(page.find(L"javascript:"), std::wstring::npos);
    EXPECT_EQ(page.find(L"file:"), std::wstring::npos);
    EXPECT_NE(page.find(L"Download version with installer [?]"), std::wstring::npos);
    EXPECT_NE(page.find(L"Last Check For Updates: &lt;b&gt;x&lt;/b&gt;"), std::wstring::npos);
}

TEST(UpdatePageTests, CommunityLinksCarryTheirImages)
{
    CUpdateInfo info(1);
    UpdatePageContext context = Context();
    const wchar_t* const images[] = {L"http://example.test/forum.png", L"http://example.test/facebook.png",
                                     L"http://example.test/telegram.png", L"http://example.test/vk.png"};
    for (size_t i = 0; i < 4; ++i)
        context.communityImageUrls[i] = images[i];
    const std::wstring page = Text(BuildUpdatePageHtml(info, context));
    ExpectInOrder(page, {L"<TABLE ALIGN=CENTER><TR><TD><A HREF=\"http",
                         L"\"><IMG SRC=\"http://example.test/forum.png\"",
                         L"HEIGHT=24 WIDTH=24>Official Forum</A></TD>", L"<TD><A HREF=\"http",
                         L"\"><IMG SRC=\"http://example.test/facebook.png\"", L"WIDTH=24>Facebook</A></TD>",
                         L"<IMG SRC=\"http://example.test/telegram.png\"", L"WIDTH=24>Telegram</A></TD>",
                         L"<IMG SRC=\"http://example.test/vk.png\"",
                         L"WIDTH=24>VKontakte</A></TD></TR></TABLE>", L"<SPAN ID=hint>"});

    // The default addresses come from the maker's server.
    const UpdatePageContext current = CurrentUpdatePageContext();
    for (const CString& image : current.communityImageUrls)
        EXPECT_EQ(Text(image).rfind(L"http", 0), 0u) << Text(image).c_str();
}
