#include "online/CSCVUrl.h"
#include "common/WellKnownNames.h"

#include <shellapi.h>

#include "common/FileVersionInfo.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "common/SlimLock.h"

namespace
{
const wchar_t kDefaultSiteRoot[] = L"http://www.scrivolanter.com";
const wchar_t kSupportMailbox[] = L"support@scrivolanter.com";
const wchar_t kFacebookPage[] = L"https://www.facebook.com/scrivolanter";
const wchar_t kTelegramChannel[] = L"https://t.me/scrivolanter";
const wchar_t kVkPage[] = L"https://vk.com/scrivolanter";
const wchar_t kSiteRootKey[] = L"SiteRoot";

// The root of the optional key "SiteRoot" of the settings, else the built-in one.
CString ConfiguredSiteRoot()
{
    return CSCVUrl::SiteRootFromSetting(ReadSettingsString(kSiteRootKey, L""));
}

struct UrlState
{
    CSlimLock lock;
    CString siteRoot = ConfiguredSiteRoot();
    int russian = 0;
};

UrlState& State()
{
    static UrlState state;
    return state;
}

// The English or the Russian path of a page, after the regional flag.
CString RegionalUrl(LPCWSTR englishPath, LPCWSTR russianPath)
{
    return CSCVUrl::SiteUrl(CSCVUrl::UseRussianUrls() ? russianPath : englishPath);
}
} // namespace

void CSCVUrl::_Set_Use_RU_Urls(int flag)
{
    CString line;
    line.Format(L"CSCVUrl::_Set_Use_RU_Urls =%d", flag);
    WriteLogLine(line);
    UrlState& state = State();
    CSlimLockGuard guard(state.lock);
    state.russian = flag;
}

int CSCVUrl::UseRussianUrls()
{
    UrlState& state = State();
    CSlimLockGuard guard(state.lock);
    return state.russian;
}

void CSCVUrl::SetSiteRoot(LPCWSTR root)
{
    CString value = (root && *root) ? CString(root) : ConfiguredSiteRoot();
    value.TrimRight(L'/');
    UrlState& state = State();
    CSlimLockGuard guard(state.lock);
    state.siteRoot = value;
}

CString CSCVUrl::SiteRootFromSetting(const CString& value)
{
    CString root = value;
    root.Trim();
    root.TrimRight(L'/');
    for (LPCWSTR scheme : {L"http://", L"https://"}) {
        const int length = static_cast<int>(wcslen(scheme));
        if (root.GetLength() > length && root.Left(length).CompareNoCase(scheme) == 0 &&
            root.Find(L'/', length) < 0)
            return root;
    }
    return kDefaultSiteRoot;
}

CString CSCVUrl::SiteRoot()
{
    UrlState& state = State();
    CSlimLockGuard guard(state.lock);
    return state.siteRoot;
}

CString CSCVUrl::SiteUrl(LPCWSTR path)
{
    return SiteRoot() + path;
}

CString CSCVUrl::HomePageUrl()
{
    return SiteUrl(L"/home_scv.php");
}

CString CSCVUrl::SupportEmail()
{
    return kSupportMailbox;
}

CString CSCVUrl::SupportPageUrl()
{
    return SiteUrl(L"/home_support.php");
}

CString CSCVUrl::VersionHistoryUrl()
{
    return SiteUrl(L"/history_scv.php");
}

CString CSCVUrl::ForumPageUrl()
{
    return SiteUrl(L"/home_forum.php");
}

CString CSCVUrl::NewsFeedUrl()
{
    return RegionalUrl(L"/news_en.xml", L"/Rus/news_ru.xml");
}

CString CSCVUrl::VideoPageUrl()
{
    return SiteUrl(L"/scv_video.shtml");
}

CString CSCVUrl::ProblemReportFaqUrl()
{
    return RegionalUrl(L"/scrivolanter_faq.shtml#bug_report", L"/Rus/scrivolanter_faq.htm#report");
}

CString CSCVUrl::QuickStartUrl()
{
    return SiteUrl(L"/home_scv_qs.php");
}

CString CSCVUrl::QuickStartUrlWithVersion()
{
    CFileVersionInfo info = CFileVersionInfo::CFileVersionInfoFromModule(nullptr);
    info.Read();
    return BuildQuickStartUrl(info.GetField(CFileVersionInfo::FieldProductVersion));
}

CString CSCVUrl::BuildQuickStartUrl(const CString& version)
{
    CString versionValue = version;
    versionValue.Trim(L' ');
    versionValue.Replace(L' ', L'_');
    CString product = kProductName;
    product.Replace(L' ', L'_');
    return QuickStartUrl() + L"?ver=" + versionValue + L"&from_app=" + product;
}

CString CSCVUrl::FaqPageUrl()
{
    return SiteUrl(L"/home_scv_faq.php");
}

CString CSCVUrl::PortableFaqUrl()
{
    return RegionalUrl(L"/scrivolanter_faq.shtml#portable", L"/Rus/scrivolanter_faq.htm#portable");
}

CString CSCVUrl::FacebookPageUrl()
{
    return kFacebookPage;
}

CString CSCVUrl::SubscribePageUrl()
{
    return RegionalUrl(L"/subscribe.shtml", L"/Rus/subscribe.htm");
}

CString CSCVUrl::TelegramChannelUrl()
{
    return kTelegramChannel;
}

CString CSCVUrl::VkPageUrl()
{
    return kVkPage;
}

CString CSCVUrl::TranslationHowToUrl()
{
    CString url = SiteUrl(L"/scrivolanter_faq_translate.shtml");
    if (UseRussianUrls())
        url += L"#howto_loc_ru";
    return url;
}

CString CSCVUrl::HomeSiteRoot()
{
    const CString home = HomePageUrl();
    const int scheme = home.Find(L"://");
    if (scheme < 0)
        return home;
    const int slash = home.Find(L'/', scheme + 3);
    return slash < 0 ? home : home.Left(slash);
}

HINSTANCE CSCVUrl::OpenUrl(HWND window, LPCWSTR address)
{
    return ::ShellExecuteW(window, L"open", address, nullptr, nullptr, SW_SHOWMAXIMIZED);
}

CString CSCVUrl::SupportMailtoAddress()
{
    CString subject = kProductName;
    subject.Replace(L' ', L'_');
    return L"mailto:" + SupportEmail() + L"?subject=" + subject;
}

HINSTANCE CSCVUrl::SendEmailToSupport(HWND window)
{
    return OpenUrl(window, SupportMailtoAddress());
}
