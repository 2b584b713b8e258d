// test-sources: ../../online/UpdateWindow.rc ../common/FileVersionFixture.rc
// test-locks: desktop
// The update window on the result of a real check answered by a local HTTP
// server (version answer and news feed): the page's settings block follows
// its check box, closing stores the settings, in-page links scroll and open
// nothing, web links go to the opener. A screenshot of the window is saved
// beside the build's programs ("update-window.png").
#include "online/UpdateCheckWindow.h"

#include "common/Settings.h"
#include "common/html/HtmlView.h"
#include "online/CSCVUrl.h"
#include "online/UpdateCheckThreads.h"

#include "support/ChildProcess.h"
#include "support/LocalHttpServer.h"
#include "support/MessagePump.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"
#include "support/TempSettingsEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
const UINT kResultMessage = WM_APP + 5;

std::string Item(int n)
{
    return "<item><title>Release note " + std::to_string(n) +
           " &lt;b&gt;</title><description>Details &lt;script&gt;x&lt;/script&gt; " + std::to_string(n) +
           "</description><link>http://example.test/news/" + std::to_string(n) +
           "</link><pubDate>Tue, 03 Mar 2026 10:20:30 GMT</pubDate><author>Team</author></item>";
}

BOOL CALLBACK KeepFirst(HELEMENT he, LPVOID param)
{
    *static_cast<HELEMENT*>(param) = he;
    return TRUE;
}

BOOL CALLBACK CountElement(HELEMENT, LPVOID count)
{
    ++*static_cast<int*>(count);
    return FALSE;
}

// Keeps a copy of the result a check sends.
class ResultWindow
{
public:
    ResultWindow()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ResultWindow::Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ScvTestUpdateWindowResult";
        ::RegisterClassW(&windowClass);
        window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ResultWindow() { ::DestroyWindow(window); }

    HWND window = nullptr;
    std::vector<CUpdateInfo> results;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<ResultWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == kResultMessage && lParam)
            self->results.push_back(*reinterpret_cast<const CUpdateInfo*>(lParam));
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
};

class UpdateWindow : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        static scvtest::TempFolder folder;
        static scvtest::TempSettingsEnvironment environment(folder);
        s_environment = &environment;
        SetSettingsFactory([]() -> CSettings* { return new CSettings(*s_environment); });
    }

    void SetUp() override
    {
        CSCVUrl::SetSiteRoot(server.Root().c_str());
        scvtest::HttpResponse answer;
        answer.body = "<?xml version=\"1.0\"?><ScrivolanterVersionInfo><Version>6.0.1.512</Version>"
                      "<Status>Stable</Status><DownloadURL>http://example.test/setup.exe</DownloadURL>"
                      "<DownloadURL_PE>http://example.test/portable.zip</DownloadURL_PE>"
                      "<ReleaseDate>2026-03-03</ReleaseDate></ScrivolanterVersionInfo>";
        server.SetResponse("/Source/update_scv.php", answer);
        scvtest::HttpResponse feed;
        feed.body =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>News</title>" +
            Item(1) + Item(2) + Item(3) + "</channel></rss>";
        server.SetResponse("/news_en.xml", feed);

        UpdateCheckThreadParams params;
        params.notifyWindow = results.window;
        params.notifyMessage = kResultMessage;
        params.limits.timeoutMs = 3000;
        RunUpdateCheck(params, 0);
        scvtest::PumpFor(20);
        ASSERT_EQ(results.results.size(), 1u);
        info = results.results.front();

        CSettings& settings = GetSettings();
        settings.AutoCheckForUpdates = 1;
        settings.SetDaysCheckForUpdates(7);
    }
    void TearDown() override
    {
        if (dialog && ::IsWindow(dialog->m_hWnd))
            ::DestroyWindow(dialog->m_hWnd);
        CSCVUrl::SetSiteRoot(nullptr);
    }

    HWND Open()
    {
        CUpdateWindowServices services;
        services.openLink = [this](HWND, const CString& address) { opened.push_back(address.GetString()); };
        dialog = std::make_unique<CUpdateCheckWindow>(info, services);
        HWND window = dialog->Create(nullptr);
        ::ShowWindow(window, SW_SHOW);
        scvtest::PumpFor(100);
        return window;
    }
    HELEMENT Find(LPCWSTR id) const
    {
        HELEMENT root = nullptr;
        HELEMENT found = nullptr;
        HTMLayoutGetRootElement(dialog->HtmlView(), &root);
        HTMLayoutGetElementById(root, id, &found);
        return found;
    }
    // The first link with that address.
    HELEMENT Link(LPCWSTR href) const
    {
        HELEMENT root = nullptr;
        HELEMENT found = nullptr;
        HTMLayoutGetRootElement(dialog->HtmlView(), &root);
        HTMLayoutVisitElements(root, "a", "href", href, KeepFirst, &found);
        return found;
    }
    void Click(HELEMENT element)
    {
        RECT rect{};
        HTMLayoutGetElementLocation(element, &rect);
        LPARAM where = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::SendMessageW(dialog->HtmlView(), WM_LBUTTONDOWN, MK_LBUTTON, where);
        ::SendMessageW(dialog->HtmlView(), WM_LBUTTONUP, 0, where);
        scvtest::PumpFor(30);
    }
    std::wstring Style(HELEMENT element, LPCSTR name)
    {
        LPCWSTR value = nullptr;
        HTMLayoutGetStyleAttribute(element, name, &value);
        return value ? value : L"";
    }
    int SavedInt(LPCWSTR key)
    {
        return static_cast<int>(
            ::GetPrivateProfileIntW(L"Settings", key, -1, GetSettings().GetFiles().GetSettingsFilePath()));
    }

    static scvtest::TempSettingsEnvironment* s_environment;
    scvtest::LocalHttpServer server;
    ResultWindow results;
    CUpdateInfo info{0};
    std::unique_ptr<CUpdateCheckWindow> dialog;
    std::vector<std::wstring> opened;
};

scvtest::TempSettingsEnvironment* UpdateWindow::s_environment = nullptr;
} // namespace

TEST_F(UpdateWindow, ShowsTheNewVersionAndTheNews)
{
    ASSERT_EQ(info.news.size(), 3u);
    HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CUpdateCheckWindow::GetOpenUpdateCheckWindow(), window);
    wchar_t title[128] = {};
    ::GetWindowTextW(window, title, 128);
    EXPECT_STREQ(title, L"Scrivolanter : Check For Updates");
    ASSERT_TRUE(dialog->PageLoaded());
    EXPECT_EQ(::GetDlgItem(window, IDC_UPDATE_HTML), dialog->HtmlView());
    EXPECT_NE(Link(L"http://example.test/setup.exe"), nullptr);
    EXPECT_NE(Link(L"http://example.test/news/3"), nullptr);
    // Feed markup arrives as text, never as elements.
    HELEMENT root = nullptr;
    HTMLayoutGetRootElement(dialog->HtmlView(), &root);
    int scripts = 0;
    HTMLayoutVisitElements(root, "script", nullptr, nullptr, CountElement, &scripts);
    EXPECT_EQ(scripts, 0);
    // The ticked check box is green, the days field enabled.
    HELEMENT check = Find(L"CFUAutoCheck");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(Style(check, "color"), L"green");
    EXPECT_TRUE(::IsWindowEnabled(HTMLayoutGetControlWindow(Find(L"CFUDaysNumber"))));

    ::ShowWindow(window, SW_SHOW);
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    scvtest::PumpFor(200);
    EXPECT_TRUE(scvtest::SaveWindowPng(window, scvtest::ProgramPath(L"..\\update-window.png")));
}

TEST_F(UpdateWindow, UntickingRestylesAndClosingStoresTheSettings)
{
    HWND window = Open();
    HELEMENT check = Find(L"CFUAutoCheck");
    ASSERT_NE(check, nullptr);
    HWND box = HTMLayoutGetControlWindow(check);
    ::SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(Style(check, "color"), L"red");
    UINT state = 0;
    HTMLayoutGetElementState(Find(L"CFUDaysNumber"), &state);
    EXPECT_NE(state & STATE_DISABLED, 0u);
    HWND days = HTMLayoutGetControlWindow(Find(L"CFUDaysNumber"));
    EXPECT_FALSE(::IsWindowEnabled(days));
    EXPECT_EQ(Style(Find(L"cfu_days_text"), "text-decoration"), L"line-through");

    ::SetWindowTextW(days, L"12");
    ::SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(CUpdateCheckWindow::GetOpenUpdateCheckWindow(), nullptr);
    EXPECT_EQ(GetSettings().AutoCheckForUpdates, 0);
    EXPECT_EQ(GetSettings().GetDaysCheckForUpdates(), 12);
    EXPECT_EQ(SavedInt(L"AutoCheckForUpdates"), 0);
    EXPECT_EQ(SavedInt(L"DaysCheckForUpdates"), 12);
}

TEST_F(UpdateWindow, TheDaysTextStandsBesideItsNumberAboveTheNews)
{
    HWND window = Open();
    HELEMENT heading = Find(kLatestNewsHeadingId);
    ASSERT_NE(heading, nullptr) << "the news heading";
    HWND days = HTMLayoutGetControlWindow(Find(L"CFUDaysNumber"));
    ASSERT_NE(days, nullptr);
    for (bool automatic : {true, false}) {
        if (!automatic) // unticked: the text is struck through
            ::SendMessageW(HTMLayoutGetControlWindow(Find(L"CFUAutoCheck")), BM_CLICK, 0, 0);
        RECT text{};
        RECT news{};
        HTMLayoutGetElementLocation(Find(L"cfu_days_text"), &text);
        HTMLayoutGetElementLocation(heading, &news);
        RECT number{};
        ::GetWindowRect(days, &number);
        ::MapWindowPoints(nullptr, dialog->HtmlView(), reinterpret_cast<POINT*>(&number), 2);
        ASSERT_LT(text.left, text.right) << automatic;
        EXPECT_LE(text.right, number.left) << "left of the number box";
        // Centred on the number box, not sitting on its bottom edge.
        const int textMiddle = (text.top + text.bottom) / 2;
        const int numberMiddle = (number.top + number.bottom) / 2;
        EXPECT_LE(std::abs(textMiddle - numberMiddle), 3) << textMiddle << " " << numberMiddle;
        // A struck-through text stays clear of the heading below: at least half a line between.
        const int lowest = std::max(text.bottom, number.bottom);
        EXPECT_GE(news.top - lowest, (text.bottom - text.top) / 2) << news.top << " " << lowest;
    }
    ::SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(UpdateWindow, AnEmptyDaysFieldKeepsTheStoredDays)
{
    HWND window = Open();
    ::SetWindowTextW(HTMLayoutGetControlWindow(Find(L"CFUDaysNumber")), L"");
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !::IsWindow(window); }, 3000));
    EXPECT_EQ(GetSettings().GetDaysCheckForUpdates(), 7);
    EXPECT_EQ(GetSettings().AutoCheckForUpdates, 1);
}

TEST_F(UpdateWindow, DaysOutsideTheRangeAreClampedNotDropped)
{
    const struct
    {
        const wchar_t* typed;
        int stored;
    } cases[] = {{L"45", 30}, {L"0", 1}, {L"30", 30}};
    for (const auto& c : cases) {
        GetSettings().SetDaysCheckForUpdates(7);
        HWND window = Open();
        ::SetWindowTextW(HTMLayoutGetControlWindow(Find(L"CFUDaysNumber")), c.typed);
        ::SendMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(scvtest::PumpUntil([&] { return !::IsWindow(window); }, 3000));
        EXPECT_EQ(GetSettings().GetDaysCheckForUpdates(), c.stored) << c.typed;
        EXPECT_EQ(SavedInt(L"DaysCheckForUpdates"), c.stored) << c.typed;
    }
}

TEST_F(UpdateWindow, InPageLinksScrollAndWebLinksGoToTheOpener)
{
    Open();
    // A short view, so that the news lie below it.
    ::SetWindowPos(dialog->HtmlView(), nullptr, 0, 0, 500, 120, SWP_NOMOVE | SWP_NOZORDER);
    HELEMENT latest = Link(L"#latest_news");
    ASSERT_NE(latest, nullptr);
    SCROLLINFO scroll{};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_POS;
    Click(latest);
    ::GetScrollInfo(dialog->HtmlView(), SB_VERT, &scroll);
    EXPECT_GT(scroll.nPos, 0);
    EXPECT_TRUE(opened.empty());

    ::SendMessageW(dialog->HtmlView(), WM_VSCROLL, SB_TOP, 0);
    Click(Link(L"http://example.test/portable.zip"));
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"http://example.test/portable.zip"}));
}
