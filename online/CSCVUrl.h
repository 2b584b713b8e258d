#pragma once

// The web links of the system: the one place that knows the addresses of the
// maker's pages (home, support, forum, news feed, video, questions and
// answers, quick start, subscription, translation guide), the community
// pages and the support mailbox. Callers ask for an address by role and open
// it in the default browser.
//
// Two process-wide values: the regional flag (non-zero selects the Russian
// pages), set at start-up from the language file, and the site root, the
// scheme and host (and port) of the maker's web server. The site root is
// configuration: "http://www.scrivolanter.com" unless the optional key
// "SiteRoot" of section "Settings" of the program's Settings.ini names another
// http or https root (tests point their programs at 127.0.0.1 that way), or
// SetSiteRoot sets one for the process. The key is read, never written, so
// no user's file gains it. The paths below
// the root are fixed.

#include <windows.h>

#include "platform/CString.h"

class CSCVUrl
{
public:
    // Logs "CSCVUrl::_Set_Use_RU_Urls =%d" and stores the flag.
    static void _Set_Use_RU_Urls(int flag);
    static int UseRussianUrls();

    // The scheme and host (and port) of the maker's web server, without a
    // trailing "/". Null or empty restores the configured root (read anew).
    static void SetSiteRoot(LPCWSTR root);
    static CString SiteRoot();
    // The root a "SiteRoot" value names: an http or https address with a host
    // and no path (blanks and trailing "/" trimmed); the built-in root for
    // an empty or any other value.
    static CString SiteRootFromSetting(const CString& value);
    // The site root followed by `path` (which begins with "/").
    static CString SiteUrl(LPCWSTR path);

    static CString HomePageUrl();
    static CString SupportEmail(); // the mailbox address, no scheme
    static CString SupportPageUrl();
    static CString VersionHistoryUrl();
    static CString ForumPageUrl();
    static CString NewsFeedUrl();
    static CString VideoPageUrl();
    static CString ProblemReportFaqUrl();
    static CString QuickStartUrl();
    // QuickStartUrl + "?ver=" + the program's product version (blanks at both
    // ends trimmed, inner blanks as "_") + "&from_app=" + the product name.
    static CString QuickStartUrlWithVersion();
    static CString FaqPageUrl();
    static CString PortableFaqUrl();
    static CString FacebookPageUrl();
    static CString SubscribePageUrl();
    static CString TelegramChannelUrl();
    static CString VkPageUrl();
    static CString TranslationHowToUrl();

    // The home page address cut before the first "/" after "://" (scheme and
    // host only); the whole address when there is no such "/".
    static CString HomeSiteRoot();

    // The quick-start address for a version text (see QuickStartUrlWithVersion).
    static CString BuildQuickStartUrl(const CString& version);

    // ShellExecuteW(window, "open", address, ..., SW_SHOWMAXIMIZED); its result.
    static HINSTANCE OpenUrl(HWND window, LPCWSTR address);
    // "mailto:" + the support address + "?subject=Scrivolanter".
    static CString SupportMailtoAddress();
    // Opens SupportMailtoAddress().
    static HINSTANCE SendEmailToSupport(HWND window);
};
