// The web links by role and region.
#include "online/CSCVUrl.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct RoleCase
{
    const char* role;
    CString (*get)();
    const wchar_t* english;
    const wchar_t* russian;
};

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}
} // namespace

TEST(WebLinks, EachRoleHasItsPageInBothRegions)
{
    CSCVUrl::SetSiteRoot(L"http://site.test/");
    const std::wstring root = L"http://site.test";
    const RoleCase cases[] = {
        {"home", &CSCVUrl::HomePageUrl, L"/home_scv.php", L"/home_scv.php"},
        {"support", &CSCVUrl::SupportPageUrl, L"/home_support.php", L"/home_support.php"},
        {"history", &CSCVUrl::VersionHistoryUrl, L"/history_scv.php", L"/history_scv.php"},
        {"forum", &CSCVUrl::ForumPageUrl, L"/home_forum.php", L"/home_forum.php"},
        {"news", &CSCVUrl::NewsFeedUrl, L"/news_en.xml", L"/Rus/news_ru.xml"},
        {"video", &CSCVUrl::VideoPageUrl, L"/scv_video.shtml", L"/scv_video.shtml"},
        {"problem report", &CSCVUrl::ProblemReportFaqUrl, L"/scrivolanter_faq.shtml#bug_report",
         L"/Rus/scrivolanter_faq.htm#report"},
        {"quick start", &CSCVUrl::QuickStartUrl, L"/home_scv_qs.php", L"/home_scv_qs.php"},
        {"faq", &CSCVUrl::FaqPageUrl, L"/home_scv_faq.php", L"/home_scv_faq.php"},
        {"portable", &CSCVUrl::PortableFaqUrl, L"/scrivolanter_faq.shtml#portable",
         L"/Rus/scrivolanter_faq.htm#portable"},
        {"subscribe", &CSCVUrl::SubscribePageUrl, L"/subscribe.shtml", L"/Rus/subscribe.htm"},
        {"translation", &CSCVUrl::TranslationHowToUrl, L"/scrivolanter_faq_translate.shtml",
         L"/scrivolanter_faq_translate.shtml#howto_loc_ru"},
    };
    for (int russian = 0; russian <= 1; ++russian) {
        CSCVUrl::_Set_Use_RU_Urls(russian);
        EXPECT_EQ(CSCVUrl::UseRussianUrls(), russian);
        for (const RoleCase& c : cases)
            EXPECT_EQ(Text(c.get()), root + (russian ? c.russian : c.english))
                << c.role << " russian=" << russian;
        // The community pages and the mailbox are the same in both regions and not on the site.
        for (CString (*get)() :
             {&CSCVUrl::FacebookPageUrl, &CSCVUrl::TelegramChannelUrl, &CSCVUrl::VkPageUrl})
            EXPECT_EQ(Text(get()).rfind(L"https://", 0), 0u);
        EXPECT_EQ(Text(CSCVUrl::SupportEmail()).find(L"://"), std::wstring::npos);
    }
    CSCVUrl::_Set_Use_RU_Urls(0);
    EXPECT_EQ(Text(CSCVUrl::HomeSiteRoot()), root);
    CSCVUrl::SetSiteRoot(nullptr);
    EXPECT_EQ(Text(CSCVUrl::HomeSiteRoot()), Text(CSCVUrl::SiteRoot()));
    EXPECT_EQ(Text(CSCVUrl::HomePageUrl()), Text(CSCVUrl::SiteRoot()) + L"/home_scv.php");
}

TEST(WebLinks, QuickStartCarriesTheVersionWithoutBlanks)
{
    CSCVUrl::SetSiteRoot(L"http://127.0.0.1:8080");
    EXPECT_EQ(Text(CSCVUrl::BuildQuickStartUrl(L"  5.1 beta ")),
              L"http://127.0.0.1:8080/home_scv_qs.php?ver=5.1_beta&from_app=Scrivolanter");
    CSCVUrl::SetSiteRoot(nullptr);
}

TEST(WebLinks, SiteRootComesFromTheSettingsKeyWhenItIsAWebRoot)
{
    const std::wstring builtIn = Text(CSCVUrl::SiteRootFromSetting(L""));
    EXPECT_EQ(builtIn.rfind(L"http://", 0), 0u);
    const struct
    {
        const wchar_t* value;
        const wchar_t* root; // null: the built-in root
    } cases[] = {
        {L"http://127.0.0.1:8080", L"http://127.0.0.1:8080"},
        {L" https://Mirror.example/ ", L"https://Mirror.example"},
        {L"HTTP://host", L"HTTP://host"},
        {L"http://", nullptr},
        {L"ftp://host", nullptr},
        {L"file:///C:/pages", nullptr},
        {L"host.example", nullptr},
        {L"http://host/with/path", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(CSCVUrl::SiteRootFromSetting(c.value)), c.root ? c.root : builtIn)
            << testing::PrintToString(std::wstring(c.value));

    // The test build's Settings.ini beside this executable names a dead local port.
    CSCVUrl::SetSiteRoot(nullptr);
    EXPECT_EQ(Text(CSCVUrl::SiteRoot()), L"http://127.0.0.1:9");
}
