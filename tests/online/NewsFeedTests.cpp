// The news feed reader on real feed files and texts, the news block of the
// update page, and a seeded mutation run over damaged feeds.
#include "online/HtmlTexts.h"
#include "online/NewsFeed.h"

#include "common/DateTimeTexts.h"

#include "support/LocalHttpServer.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(static_cast<LPCWSTR>(text));
}

std::string Item(int n, bool withLink = true)
{
    std::string item = "<item><title>Title " + std::to_string(n) + "</title>";
    item += "<description>Text " + std::to_string(n) + "</description>";
    if (withLink)
        item += "<link>http://example.test/news/" + std::to_string(n) + "</link>";
    item += "<pubDate>Tue, 03 Mar 2026 10:20:30 GMT</pubDate><author>Author " + std::to_string(n) +
            "</author></item>";
    return item;
}

std::string Feed(const std::string& items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel><title>News</title>" +
           items + "</channel></rss>";
}

std::string TenItems()
{
    std::string items;
    for (int n = 1; n <= 10; ++n)
        items += Item(n, n != 3);
    return Feed(items);
}

std::string Deep()
{
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<a>";
    return deep;
}

CString LocalText(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME utc{year, month, 0, day, hour, minute, second, 0};
    SYSTEMTIME local{};
    EXPECT_TRUE(::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
    return DateTimeToText(local);
}
} // namespace

TEST(NewsFeedTests, TenItemsFromAFileKeepTheFirstSixInFeedOrder)
{
    scvtest::TempFolder folder;
    const std::wstring path = folder.WriteBytes(L"feed.xml", TenItems());
    std::vector<NewsItem> items;
    ASSERT_TRUE(ParseRssItems(items, 6, path.c_str()));
    ASSERT_EQ(items.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Text(items[i].title), L"Title " + std::to_wstring(i + 1));
        EXPECT_EQ(Text(items[i].description), L"Text " + std::to_wstring(i + 1));
        EXPECT_EQ(Text(items[i].author), L"Author " + std::to_wstring(i + 1));
        EXPECT_EQ(Text(items[i].date), Text(LocalText(2026, 3, 3, 10, 20, 30)));
    }
    EXPECT_EQ(Text(items[0].link), L"http://example.test/news/1");
    EXPECT_EQ(Text(items[2].link), L"");
}

TEST(NewsFeedTests, LoadNewsDownloadsTheFeedFromTheServer)
{
    scvtest::LocalHttpServer server;
    server.SetResponse("/news_en.xml", {200, TenItems()});
    std::vector<NewsItem> items;
    ASSERT_TRUE(LoadNewsFrom(server.Url("/news_en.xml").c_str(), items, kUpdateNewsItems));
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(Text(items[5].title), L"Title 6");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target.rfind("/news_en.xml?utm=", 0), 0u);
    EXPECT_EQ(requests[0].userAgent, "Scrivolanter_Updater");

    server.SetResponse("/broken.xml", {200, "<rss><channel><item>"});
    for (const char* path : {"/missing.xml", "/broken.xml"}) {
        std::vector<NewsItem> kept(1);
        EXPECT_FALSE(LoadNewsFrom(server.Url(path).c_str(), kept, kUpdateNewsItems)) << path;
        EXPECT_EQ(kept.size(), 1u);
    }
}

TEST(NewsFeedTests, FeedsWithoutItemsOrThatDoNotParseGiveNothing)
{
    const std::string cases[] = {
        "",
        "<rss><channel><item><title>x</title></item>", // unclosed
        "<rss><channel></channel></rss>",              // no item
        "<rss><item><title>x</title></item></rss>",    // no channel
        "<feed><channel><item/></channel></feed>",     // not rss
        Feed(std::string(200, '<')),                   // garbage
        Feed(Deep()),                                  // nested far too deep
    };
    for (const std::string& feed : cases) {
        std::vector<NewsItem> items;
        EXPECT_FALSE(ParseRssText(items, 6, feed)) << feed.substr(0, 80);
        EXPECT_TRUE(items.empty());
    }
    scvtest::TempFolder folder;
    std::vector<NewsItem> items;
    EXPECT_FALSE(ParseRssItems(items, 6, folder.PathOf(L"missing.xml").c_str()));
    std::string big = Feed(Item(1) + "<!--" + std::string(kMaxNewsFeedBytes, 'x') + "-->");
    EXPECT_FALSE(ParseRssItems(items, 6, folder.WriteBytes(L"big.xml", big).c_str()));
    EXPECT_TRUE(items.empty());
}

TEST(NewsFeedTests, FieldsAreReadAsUtf8AndMissingChildrenAreEmpty)
{
    const std::string feed = Feed("<item><title>\xD0\x9D\xD0\xBE\xD0\xB2\xD0\xBE\xD1\x81\xD1\x82\xD0\xB8 "
                                  "\xE2\x80\x94 caf\xC3\xA9</title></item>");
    std::vector<NewsItem> items;
    ASSERT_TRUE(ParseRssText(items, 6, feed));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(Text(items[0].title), L"\x041D\x043E\x0432\x043E\x0441\x0442\x0438 \x2014 caf\x00E9");
    EXPECT_EQ(Text(items[0].description), L"");
    EXPECT_EQ(Text(items[0].link), L"");
    EXPECT_EQ(Text(items[0].date), L"");
}

TEST(NewsFeedTests, DatesAreShownAsTheProgramsLocalTextOrKeptAsWritten)
{
    const CString expected = LocalText(2026, 3, 3, 10, 20, 30);
    struct Case
    {
        const wchar_t* pubDate;
        CString shown;
    } cases[] = {
        {L"Tue, 03 Mar 2026 10:20:30 GMT", expected},
        {L"03 Mar 2026 10:20:30 GMT", expected},
        {L"  Tue, 03 Mar 2026 10:20:30 GMT  ", expected},
        {L"yesterday evening", L"yesterday evening"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(NewsDateText(c.pubDate)), Text(c.shown)) << Text(c.pubDate);
}

TEST(NewsFeedTests, NewsBlockHoldsEachItemInOrderWithItsIds)
{
    std::vector<NewsItem> items(2);
    items[0] = {L"First", L"One", L"http://example.test/1", L"today", L"Ann"};
    items[1] = {L"Second", L"Two", L"", L"tomorrow", L"Bob"};
    const std::wstring block = Text(BuildNewsBlock(items));
    EXPECT_EQ(
        block,
        L"<DIV id=\"id_item_desc\">\n<H3 id=\"id_item_title\"><A href=\"http://example.test/1\">First</A>"
        L"<BR><SPAN id=\"id_item_date\">today</SPAN></H3>\nOne\n<BR>\n<SPAN id=\"id_item_author\">Ann"
        L"</SPAN>\n</DIV>\n<BR>\n<DIV id=\"id_item_desc\">\n<H3 id=\"id_item_title\">Second<BR>"
        L"<SPAN id=\"id_item_date\">tomorrow</SPAN></H3>\nTwo\n<BR>\n<SPAN id=\"id_item_author\">Bob"
        L"</SPAN>\n</DIV>");
    EXPECT_EQ(Text(BuildNewsBlock({})), L"");
    const wchar_t* ids[] = {L"id_item_title", L"id_item_desc", L"id_item_author", L"id_item_date", L"", L""};
    for (int kind = 0; kind < 6; ++kind)
        EXPECT_EQ(Text(GetNewsItemElementId(kind == 5 ? -1 : kind)), ids[kind]);
}

TEST(NewsFeedTests, FeedTextsCannotInjectMarkupOrUnsafeLinks)
{
    std::vector<NewsItem> items(1);
    items[0] = {L"<script>x</script>", L"<p onclick=\"x\">Bold &amp; <b>new</b></p>", L"javascript:alert(1)",
                L"<i>d</i>", L"a\" onmouseover=\"x"};
    const std::wstring block = Text(BuildNewsBlock(items));
    EXPECT_EQ(block.find(L"<script>"), std::wstring::npos);
    EXPECT_EQ(block.find(L"<A "), std::wstring::npos);
    EXPECT_EQ(block.find(L"<p"), std::wstring::npos);
    EXPECT_EQ(block.find(L"<i>"), std::wstring::npos);
    EXPECT_NE(block.find(L"&lt;script&gt;x&lt;/script&gt;"), std::wstring::npos);
    EXPECT_NE(block.find(L"\nBold &amp; new\n"), std::wstring::npos);
    EXPECT_NE(block.find(L"a&quot; onmouseover=&quot;x"), std::wstring::npos);

    items[0].link = L"http://example.test/?a=1&b=\"2\"";
    EXPECT_NE(Text(BuildNewsBlock(items)).find(L"<A href=\"http://example.test/?a=1&amp;b=&quot;2&quot;\">"),
              std::wstring::npos);
}

TEST(NewsFeedTests, OnlyWebAndMailLinksAreOpenable)
{
    struct Case
    {
        const wchar_t* address;
        bool openable;
    } cases[] = {
        {L"http://example.test/", true},
        {L"HTTPS://example.test/a#b", true},
        {L" mailto:a@example.test ", true},
        {L"http://", false},
        {L"file:///c:/windows", false},
        {L"javascript:alert(1)", false},
        {L"#anchor", false},
        {L"C:\\Windows\\notepad.exe", false},
        {L"", false},
        {L"http://a\nb", false},
        {L"ftp://example.test/", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsOpenableLink(c.address), c.openable) << Text(c.address);
}

// Bytes of valid feeds flipped, cut and repeated: the reader returns for every
// case and whatever it reads can be put into a page.
TEST(NewsFeedTests, DamagedFeedsNeverCrashOrHangTheReader)
{
    const std::string fixtures[] = {
        TenItems(),
        Feed("<item><title><![CDATA[A <b>cdata</b> title]]></title><description>&lt;p&gt;x&amp;y"
             "</description><link>https://example.test/?q=1&amp;r=2</link><!-- note --></item>" +
             Item(2)),
    };
    uint32_t state = 0x2545F491u;
    auto next = [&state](uint32_t bound) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return bound ? state % bound : 0u;
    };
    int parsed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string feed = fixtures[round % 2];
        const int mutations = 1 + static_cast<int>(next(4));
        for (int m = 0; m < mutations && !feed.empty(); ++m) {
            const size_t at = next(static_cast<uint32_t>(feed.size()));
            switch (next(3)) {
            case 0: // flip bits of a few bytes
                for (size_t i = at; i < feed.size() && i < at + 1 + next(4); ++i)
                    feed[i] = static_cast<char>(feed[i] ^ (1 << next(8)));
                break;
            case 1: // cut a piece out
                feed.erase(at, 1 + next(64));
                break;
            default: { // repeat a piece many times
                const std::string piece = feed.substr(at, 1 + next(24));
                std::string repeated;
                for (uint32_t i = 0, n = 2 + next(400); i < n; ++i)
                    repeated += piece;
                feed.insert(at, repeated);
            }
            }
        }
        std::vector<NewsItem> items;
        if (ParseRssText(items, 6, feed))
            ++parsed;
        ASSERT_LE(items.size(), 6u);
        const CString block = BuildNewsBlock(items);
        for (const NewsItem& item : items)
            ASSERT_LE(item.description.GetLength(), kMaxNewsFieldLength);
        ASSERT_EQ(Text(block).find(L"<script"), std::wstring::npos);
    }
    EXPECT_GT(parsed, 0); // some damage leaves the feed readable
}
