#pragma once
// The page of the update window: whether a newer version exists, its
// download links, the settings of the automatic check and the latest news.
// Every text that came from the network is escaped, and only web and mail
// addresses become links.

#include "online/UpdateInfo.h"
#include "online/VersionNumbers.h"
#include "platform/CString.h"

#include <windows.h>

// What the page shows beside the check's result.
struct UpdatePageContext
{
    COLORREF windowColor = RGB(255, 255, 255);
    CString buildStamp;
    CString lastCheckText;
    bool autoCheck = true;
    int days = 7;
    bool testMode = false; // the update test-mode marker is present
    bool russian = false;  // community link texts in Russian
    CString updateImageUrl;
    CString noUpdateImageUrl;
    // The images of the community links, in the row's order: forum, Facebook,
    // Telegram, VKontakte (an empty address leaves the link without one).
    CString communityImageUrls[4];
};

// The context of this program: window colour, build stamp, the last check
// time and the settings, the test-mode marker, the regional flag.
UpdatePageContext CurrentUpdatePageContext();

// A four-part version a.b.c.d as "a.bc build d"; other lengths joined by
// "."; no parts: "Unavailable" (string 159).
CString FormatVersionForPage(const CVersionNumbers& version);

// The whole page.
CString BuildUpdatePageHtml(const CUpdateInfo& info, const UpdatePageContext& context);

// Element ids the update window reads back.
inline constexpr wchar_t kAutoCheckElementId[] = L"CFUAutoCheck";
inline constexpr wchar_t kDaysNumberElementId[] = L"CFUDaysNumber";
inline constexpr wchar_t kDaysTextElementId[] = L"cfu_days_text";
inline constexpr wchar_t kLatestNewsAnchor[] = L"latest_news";
// The id of the news block's heading.
inline constexpr wchar_t kLatestNewsHeadingId[] = L"latest_news_heading";
// The link of a failed check's "Try again": the window closes and asks the
// program for a new check.
inline constexpr wchar_t kCheckAgainLink[] = L"scrivolanter:check-again";
