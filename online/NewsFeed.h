#pragma once
// The maker's news feed (RSS): its items read from a downloaded file, and the
// news block of the update page built from them.

#include "online/InternetSession.h"
#include "online/NewsItem.h"
#include "platform/CString.h"

#include <cstddef>
#include <string>
#include <vector>

// The largest feed file that is read; a larger one is refused.
inline constexpr size_t kMaxNewsFeedBytes = 512 * 1024;
// Texts of one item longer than this are cut.
inline constexpr int kMaxNewsFieldLength = 4000;

// Download limits of the feed: the update check's time-outs, the feed's size.
inline DownloadLimits NewsFeedLimits()
{
    DownloadLimits limits;
    limits.maxBytes = static_cast<DWORD>(kMaxNewsFeedBytes);
    return limits;
}

// The news kept by an update check.
inline constexpr int kUpdateNewsItems = 6;

// Downloads the feed (CSCVUrl::NewsFeedUrl + "?utm=" + the tick count) into a
// temporary ".xml" file with the updater's agent name; its path, or an empty
// text on failure (nothing is left behind then).
CString DownloadNewsFeed(const DownloadLimits& limits = NewsFeedLimits());
// Downloads the feed of `url` (the query is appended), as above.
CString DownloadNewsFeedFrom(const CString& url, const DownloadLimits& limits = NewsFeedLimits());
// Downloads, parses and deletes the feed; true when it had a channel with at
// least one item. A missing or broken feed leaves `list` as it was.
bool LoadNews(std::vector<NewsItem>& list, int maxItems, const DownloadLimits& limits = NewsFeedLimits());
bool LoadNewsFrom(const CString& url, std::vector<NewsItem>& list, int maxItems,
                  const DownloadLimits& limits = NewsFeedLimits());

// Reads the UTF-8 feed file and appends at most `maxItems` of its items
// ("rss" / "channel" / "item"). False when the file cannot be read, is larger
// than kMaxNewsFeedBytes, is nested too deeply, does not parse or lacks one
// of those levels.
bool ParseRssItems(std::vector<NewsItem>& list, int maxItems, const CString& path);
// The same for feed bytes already in memory.
bool ParseRssText(std::vector<NewsItem>& list, int maxItems, const std::string& bytes);

// A feed date as the program shows dates: an internet date (also with "GMT"
// removed) or the program's own reading of it, in local time. The text as it
// stands when no reading succeeds.
CString NewsDateText(const CString& pubDate);

// Element id of a news field in the page: 0 "id_item_title", 1 "id_item_desc",
// 2 "id_item_author", 3 "id_item_date"; empty for other kinds.
CString GetNewsItemElementId(int kind);

// The news of the update page, items joined with "\n<BR>\n". Every feed text
// is escaped; the description is stripped of its markup first; a link that is
// not http, https or mailto leaves the title plain.
CString BuildNewsBlock(const std::vector<NewsItem>& items);
// The style rules of the news block.
CString NewsStyleBlock();
