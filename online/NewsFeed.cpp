#include "online/NewsFeed.h"

#include "online/DateServices.h"

#include "common/DateParsing.h"
#include "common/FileBytes.h"
#include "common/DateTimeTexts.h"
#include "common/KernelHandle.h"
#include "common/TextConversion.h"
#include "common/PathFunctions.h"
#include "common/SharedLog.h"
#include "online/CSCVUrl.h"
#include "online/HtmlTexts.h"
#include "online/UpdateRequest.h"
#include "online/WebDownload.h"
#include "common/XmlInputChecks.h"

#include <tinyxml.h>
#include <wininet.h>
#include <windows.h>

namespace
{
CString ChildText(const TiXmlElement& item, const char* name)
{
    const TiXmlElement* child = item.FirstChildElement(name);
    const char* text = child ? child->GetText() : nullptr;
    if (!text)
        return CString();
    CString result = Utf8ToWide(text);
    if (result.GetLength() > kMaxNewsFieldLength)
        result = result.Left(kMaxNewsFieldLength);
    return result;
}

bool UtcToLocal(const SYSTEMTIME& utc, SYSTEMTIME& local)
{
    return ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) || SystemTimeToLocalTime(utc, local);
}

// Some WinInet versions answer text they cannot read with the current time or
// with fields out of range: a reading counts only when it is a valid time and
// its year is written in the text.
bool IsPlausibleReading(const CString& text, const SYSTEMTIME& time)
{
    FILETIME file{};
    if (time.wYear == 0 || !::SystemTimeToFileTime(&time, &file))
        return false;
    wchar_t year[8] = {};
    _snwprintf_s(year, _countof(year), _TRUNCATE, L"%u", time.wYear);
    return text.Find(year) >= 0;
}

bool ReadInternetTime(const CString& text, SYSTEMTIME& utc)
{
    SYSTEMTIME reading{};
    if (text.IsEmpty() || !::InternetTimeToSystemTimeW(text, &reading, 0) ||
        !IsPlausibleReading(text, reading))
        return false;
    utc = reading;
    return true;
}

bool ReadFeedDate(const CString& pubDate, SYSTEMTIME& utc)
{
    if (ReadInternetTime(pubDate, utc))
        return true;
    CString withoutZone = pubDate;
    withoutZone.Replace(L"GMT", L"");
    withoutZone.Trim();
    if (ReadInternetTime(withoutZone, utc))
        return true;
    SYSTEMTIME reading{};
    if (!ParseHttpDate(pubDate, reading) || !IsPlausibleReading(pubDate, reading))
        return false;
    utc = reading;
    return true;
}

NewsItem ReadItem(const TiXmlElement& element)
{
    NewsItem item;
    item.title = ChildText(element, "title");
    item.description = ChildText(element, "description");
    item.link = ChildText(element, "link");
    item.date = NewsDateText(ChildText(element, "pubDate"));
    item.author = ChildText(element, "author");
    return item;
}

CString Span(int kind, const CString& text)
{
    return L"<SPAN id=\"" + GetNewsItemElementId(kind) + L"\">" + EscapeHtmlText(text) + L"</SPAN>";
}

CString ItemBlock(const NewsItem& item)
{
    const CString title = EscapeHtmlText(item.title);
    const CString link = CheckedLinkAttribute(item.link);
    CString html =
        L"<DIV id=\"" + GetNewsItemElementId(1) + L"\">\n<H3 id=\"" + GetNewsItemElementId(0) + L"\">";
    html += link.IsEmpty() ? title : L"<A href=\"" + link + L"\">" + title + L"</A>";
    html += L"<BR>" + Span(3, item.date) + L"</H3>\n";
    html += EscapeHtmlText(StripHtmlTags(item.description));
    html += L"\n<BR>\n" + Span(2, item.author) + L"\n</DIV>";
    return html;
}
} // namespace

CString NewsDateText(const CString& pubDate)
{
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!ReadFeedDate(pubDate, utc) || !UtcToLocal(utc, local))
        return pubDate;
    const CString text = DateTimeToText(local);
    return text.IsEmpty() ? pubDate : text;
}

// A feed is rss, channel, item and its fields: anything much deeper is damage.
constexpr int kMaxFeedNesting = 64;

bool ParseRssText(std::vector<NewsItem>& list, int maxItems, const std::string& bytes)
{
    if (bytes.size() > kMaxNewsFeedBytes || !IsXmlNestingWithin(bytes.c_str(), bytes.size(), kMaxFeedNesting))
        return false;
    TiXmlDocument document;
    std::string guarded;
    document.Parse(GuardParserTail(bytes.c_str(), guarded), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error())
        return false;
    const TiXmlElement* rss = document.FirstChildElement("rss");
    const TiXmlElement* channel = rss ? rss->FirstChildElement("channel") : nullptr;
    const TiXmlElement* element = channel ? channel->FirstChildElement("item") : nullptr;
    if (!element)
        return false;
    for (int count = 0; element && count < maxItems; ++count) {
        list.push_back(ReadItem(*element));
        element = element->NextSiblingElement("item");
    }
    return true;
}

CString DownloadNewsFeedFrom(const CString& url, const DownloadLimits& limits)
{
    WriteLogLine(L"Download RSS: " + url);
    wchar_t tick[16] = {};
    _snwprintf_s(tick, _countof(tick), _TRUNCATE, L"%lu", ::GetTickCount());
    const CString address = url + L"?utm=" + tick;
    const CString path = MakeTempFilePath(L"xml");
    if (path.IsEmpty())
        return CString();
    if (!DownloadUrlToFile(address, path, GetUpdaterAgentName(), limits)) {
        ::DeleteFileW(path);
        return CString();
    }
    return path;
}

CString DownloadNewsFeed(const DownloadLimits& limits)
{
    return DownloadNewsFeedFrom(CSCVUrl::NewsFeedUrl(), limits);
}

bool LoadNewsFrom(const CString& url, std::vector<NewsItem>& list, int maxItems, const DownloadLimits& limits)
{
    const CString path = DownloadNewsFeedFrom(url, limits);
    if (path.IsEmpty())
        return false;
    WriteLogLine(L"Downloaded RSS: " + path);
    std::vector<NewsItem> items;
    const bool read = ParseRssItems(items, maxItems, path);
    ::DeleteFileW(path);
    if (read)
        list.insert(list.end(), items.begin(), items.end());
    return read && !items.empty();
}

bool LoadNews(std::vector<NewsItem>& list, int maxItems, const DownloadLimits& limits)
{
    return LoadNewsFrom(CSCVUrl::NewsFeedUrl(), list, maxItems, limits);
}

bool ParseRssItems(std::vector<NewsItem>& list, int maxItems, const CString& path)
{
    std::string bytes;
    if (!ReadFileBytesBounded(path, kMaxNewsFeedBytes, bytes))
        return false;
    return ParseRssText(list, maxItems, bytes);
}

CString GetNewsItemElementId(int kind)
{
    switch (kind) {
    case 0:
        return L"id_item_title";
    case 1:
        return L"id_item_desc";
    case 2:
        return L"id_item_author";
    case 3:
        return L"id_item_date";
    default:
        return CString();
    }
}

CString BuildNewsBlock(const std::vector<NewsItem>& items)
{
    CString html;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            html += L"\n<BR>\n";
        html += ItemBlock(items[i]);
    }
    return html;
}

CString NewsStyleBlock()
{
    return L"<STYLE>\n"
           L"#id_item_title { color: green; font-size: 12pt; font-family: Verdana; background-color: "
           L"#FFFACD; "
           L"border: 1px solid #A9A9A9; border-radius: 15px; }\n"
           L"#id_item_date, #id_item_author { color: #A9A9A9; font-size: 8pt; font-style: italic; }\n"
           L"</STYLE>\n";
}
