#include "online/SCVUrl.h"

#include <shellapi.h>

#include "common/SharedLog.h"

namespace
{

volatile LONG g_useRuUrls = 0;

constexpr wchar_t kSiteEn[] = L"https://www.scrivolanter.com/";
constexpr wchar_t kSiteRu[] = L"https://www.scrivolanter.com/ru/";

CString Page(LPCWSTR path)
{
    return CString(CSCVUrl::IsUsingRuUrls() ? kSiteRu : kSiteEn) + path;
}

} // namespace

void CSCVUrl::_Set_Use_RU_Urls(bool russian)
{
    ::InterlockedExchange(&g_useRuUrls, russian ? 1 : 0);
}

bool CSCVUrl::IsUsingRuUrls()
{
    return ::InterlockedCompareExchange(&g_useRuUrls, 0, 0) != 0;
}

CString CSCVUrl::HomePageUrl()
{
    return Page(L"");
}

CString CSCVUrl::SupportPageUrl()
{
    return Page(L"support/");
}

CString CSCVUrl::ForumPageUrl()
{
    return Page(L"forum/");
}

CString CSCVUrl::NewsFeedUrl()
{
    return Page(L"news.rss");
}

CString CSCVUrl::VideoPageUrl()
{
    return Page(L"video/");
}

CString CSCVUrl::QuickStartUrl()
{
    return Page(L"quick-start/");
}

CString CSCVUrl::QuickStartUrlWithVersion(const CString& version)
{
    return QuickStartUrl() + L"?v=" + version;
}

CString CSCVUrl::FaqPageUrl()
{
    return Page(L"faq/");
}

CString CSCVUrl::FacebookPageUrl()
{
    return L"https://www.facebook.com/groups/scrivolanter/";
}

CString CSCVUrl::SubscribePageUrl()
{
    return Page(L"subscribe/");
}

CString CSCVUrl::TelegramChannelUrl()
{
    return L"https://t.me/scrivolanter";
}

CString CSCVUrl::VkPageUrl()
{
    return L"https://vk.com/scrivolanter";
}

CString CSCVUrl::TranslationHowToUrl()
{
    return Page(L"translate/");
}

CString CSCVUrl::SupportEmail()
{
    return L"support@scrivolanter.com";
}

bool CSCVUrl::OpenUrl(HWND owner, const CString& address)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(owner, L"open", address, nullptr, nullptr, SW_SHOWMAXIMIZED));
    if (result <= 32) {
        CString line;
        line.Format(L"CSCVUrl::OpenUrl failed (%d): %s", static_cast<int>(result), address.GetString());
        LogError(line);
    }
    return result > 32;
}

CString CSCVUrl::SupportMailtoAddress()
{
    return L"mailto:" + SupportEmail() + L"?subject=Scrivolanter";
}

bool CSCVUrl::SendEmailToSupport(HWND owner)
{
    return OpenUrl(owner, SupportMailtoAddress());
}
