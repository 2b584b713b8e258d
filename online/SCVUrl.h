#pragma once

// The program's web links: the pages the tray menu's Help commands open, in
// their English or Russian form, the support address, and opening them.

#include <windows.h>

#include "platform/CString.h"

class CSCVUrl
{
public:
    // Chooses the Russian pages (where a page has a Russian form).
    static void _Set_Use_RU_Urls(bool russian);
    static bool IsUsingRuUrls();

    static CString HomePageUrl();
    static CString SupportPageUrl();
    static CString ForumPageUrl();
    static CString NewsFeedUrl();
    static CString VideoPageUrl();
    static CString QuickStartUrl();
    // The quick-start page with "?v=" and the version text.
    static CString QuickStartUrlWithVersion(const CString& version);
    static CString FaqPageUrl();
    static CString FacebookPageUrl();
    static CString SubscribePageUrl();
    static CString TelegramChannelUrl();
    static CString VkPageUrl();
    static CString TranslationHowToUrl();
    static CString SupportEmail();

    // ShellExecuteW "open" with SW_SHOWMAXIMIZED; true when the shell took it.
    static bool OpenUrl(HWND owner, const CString& address);
    // "mailto:" + the support address + "?subject=Scrivolanter".
    static CString SupportMailtoAddress();
    static bool SendEmailToSupport(HWND owner);
};
