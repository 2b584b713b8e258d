// test-sources: ../common/FileVersionFixture.rc
// The update check against a local HTTP server on 127.0.0.1: the download
// routes, the header query, whole checks and the check thread. The
// fixture's version resource makes this program version 5.1.2.345.
#include "common/HotKeyText.h"
#include "online/CSCVUrl.h"
#include "online/UpdateCheckThreads.h"
#include "online/UpdateInfo.h"
#include "online/UpdateRequest.h"
#include "online/UrlHeaderQuery.h"
#include "online/WebDownload.h"

#include "support/LocalHttpServer.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using scvtest::HttpResponse;
using scvtest::LocalHttpServer;

const UINT kResultMessage = WM_APP + 5;
const UINT kDoneMessage = WM_APP + 40;
const char kScriptPath[] = "/Source/update_scv.php";

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end()); // addresses are ASCII
}

CString Wide(const std::wstring& text)
{
    return CString(text.c_str());
}

std::string Answer(const std::string& version, const std::string& more = "")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<ScrivolanterVersionInfo>\r\n<Version>" + version +
           "</Version>\r\n<Status>Stable</Status>\r\n" + more + "</ScrivolanterVersionInfo>\r\n";
}

// A message-only window that keeps a copy of every result and counts the
// completions it is posted.
class CResultWindow
{
public:
    CResultWindow()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &CResultWindow::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ScvTestUpdateResults";
        ::RegisterClassW(&windowClass);
        m_window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     windowClass.hInstance, this);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CResultWindow() { ::DestroyWindow(m_window); }
    HWND Get() const { return m_window; }

    std::vector<CUpdateInfo> results;
    std::vector<WPARAM> completions;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CResultWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == kResultMessage && lParam)
            self->results.push_back(*reinterpret_cast<const CUpdateInfo*>(lParam));
        if (self && message == kDoneMessage)
            self->completions.push_back(wParam);
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
};

// A request to a server that never answers ends by the limits' time-out: not
// before it (then something else failed), and long before WinInet's own
// default of 30 s (then the limit was not applied). The upper bound leaves
// room for a loaded machine.
void ExpectEndedByTheTimeOut(ULONGLONG elapsedMs, DWORD timeoutMs)
{
    EXPECT_GE(elapsedMs + 50, timeoutMs) << "ended before the time-out";
    EXPECT_LT(elapsedMs, timeoutMs + 10000) << "the time-out was not applied";
}

class UpdateCheckServer : public ::testing::Test
{
protected:
    void SetUp() override { CSCVUrl::SetSiteRoot(server.Root().c_str()); }
    void TearDown() override { CSCVUrl::SetSiteRoot(nullptr); }

    UpdateCheckThreadParams Params(int silent) const
    {
        UpdateCheckThreadParams params;
        params.notifyWindow = window.Get();
        params.notifyMessage = kResultMessage;
        params.completionMessage = kDoneMessage;
        params.silent = silent;
        params.callbackData = silent;
        params.limits.timeoutMs = 2000;
        return params;
    }

    // One whole check on this thread; its completion is taken from the queue.
    void RunCheck(int silent)
    {
        RunUpdateCheck(Params(silent), 0);
        scvtest::PumpUntil([&] { return !window.completions.empty(); }, 5000);
    }

    LocalHttpServer server;
    CResultWindow window;
    scvtest::TempFolder folder;
};
} // namespace

TEST_F(UpdateCheckServer, DownloadKeepsOnlyWholeSuccessfulBodies)
{
    HttpResponse ok;
    ok.body = std::string(50000, 'x');
    server.SetResponse("/ok", ok);
    HttpResponse big;
    big.body = std::string(4096, 'b');
    server.SetResponse("/big", big);
    HttpResponse bigUnannounced = big;
    bigUnannounced.sendContentLength = false;
    server.SetResponse("/big-unannounced", bigUnannounced);
    HttpResponse error;
    error.status = 500;
    error.body = "broken";
    server.SetResponse("/error", error);
    HttpResponse slow;
    slow.hang = true;
    server.SetResponse("/slow", slow);

    struct Case
    {
        const char* path;
        bool downloaded;
        DownloadFailure failure;
    };
    const Case cases[] = {
        {"/ok", true, DownloadFailure::None},
        {"/missing", false, DownloadFailure::Failed}, // 404
        {"/error", false, DownloadFailure::Failed},
        {"/big", false, DownloadFailure::Failed}, // announced length over the bound
        {"/big-unannounced", false, DownloadFailure::Failed},
        {"/slow", false, DownloadFailure::Failed}, // time-out: no second route
    };
    DownloadLimits limits;
    limits.timeoutMs = 500;
    limits.maxBytes = 60000;
    for (const Case& c : cases) {
        DownloadLimits caseLimits = limits;
        if (std::string(c.path).rfind("/big", 0) == 0)
            caseLimits.maxBytes = 4000;
        const std::wstring file = folder.PathOf(L"download.bin");
        DownloadFailure failure = DownloadFailure::RouteUnavailable;
        EXPECT_EQ(DownloadUrlToFile(Wide(server.Url(c.path)), Wide(file), L"Tester", caseLimits, &failure),
                  c.downloaded)
            << c.path;
        EXPECT_EQ(failure, c.failure) << c.path;
        if (c.downloaded) {
            EXPECT_EQ(folder.ReadBytes(L"download.bin").value_or(""), ok.body);
        }
    }

    // Nobody listens: WinInet cannot reach the server, another route may be tried.
    std::wstring closedUrl;
    {
        LocalHttpServer closed;
        closedUrl = closed.Url("/ok");
    }
    DownloadFailure failure = DownloadFailure::None;
    EXPECT_FALSE(
        DownloadUrlToFile(Wide(closedUrl), Wide(folder.PathOf(L"refused.bin")), nullptr, limits, &failure));
    EXPECT_EQ(failure, DownloadFailure::RouteUnavailable);
}

TEST_F(UpdateCheckServer, HeaderQueryReadsSizeDateAndCharset)
{
    HttpResponse file;
    file.body = std::string(12345, 'z');
    file.headers = {{"Last-Modified", "Tue, 03 Nov 2026 10:20:30 GMT"},
                    {"Content-Type", "application/octet-stream; charset=\"utf-8\""}};
    server.SetResponse("/files/setup.exe", file);
    HttpResponse unannounced;
    unannounced.body = "abc";
    unannounced.sendContentLength = false;
    unannounced.headers = {{"Content-Type", "text/plain"}};
    server.SetResponse("/files/stream", unannounced);

    CUrlHeaderQuery query(Wide(server.Url("/files/setup.exe?x=1#part")));
    ASSERT_TRUE(query.Query(L"Scrivolanter_Update"));
    EXPECT_EQ(query.GetContentLength(), 12345);
    EXPECT_EQ(Text(query.GetLastModifiedText()), L"Tue, 03 Nov 2026 10:20:30 GMT");
    EXPECT_EQ(query.GetLastModifiedUtc().wYear, 2026);
    EXPECT_EQ(query.GetLastModifiedUtc().wHour, 10);
    EXPECT_EQ(Text(query.GetCharset()), L"utf-8");
    SYSTEMTIME local = {};
    EXPECT_TRUE(query.GetLastModifiedLocal(local));
    const std::vector<scvtest::HttpRequestRecord> requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().target, "/files/setup.exe?x=1");
    EXPECT_EQ(requests.back().userAgent, "Scrivolanter_Update");

    CUrlHeaderQuery noLength(Wide(server.Url("/files/stream")));
    EXPECT_TRUE(noLength.QueryAsBrowser());
    EXPECT_EQ(noLength.GetContentLength(), -1);

    CUrlHeaderQuery missing(Wide(server.Url("/files/none")));
    EXPECT_FALSE(missing.QueryAsBrowser()); // 404 is no answer
    CUrlHeaderQuery notWeb(L"file:///C:/Windows/win.ini");
    EXPECT_FALSE(notWeb.QueryAsBrowser());
}

TEST_F(UpdateCheckServer, NewerVersionIsReportedWithItsDownloads)
{
    HttpResponse setup;
    setup.body = std::string(2000, 's');
    setup.headers = {{"Last-Modified", "Tue, 03 Nov 2026 10:20:30 GMT"}};
    server.SetResponse("/files/setup.exe", setup);
    HttpResponse answer;
    answer.body =
        Answer("5.2.0.1", "<DownloadURL>" + Narrow(server.Url("/files/setup.exe")) +
                              "</DownloadURL>\r\n<DownloadURL_PE>" + Narrow(server.Url("/files/gone.zip")) +
                              "</DownloadURL_PE>\r\n<WhatNewsURL>http://site.test/news</WhatNewsURL>\r\n");
    server.SetResponse(kScriptPath, answer);

    RunCheck(1); // even a silent check reports a newer version
    ASSERT_EQ(window.results.size(), 1u);
    const CUpdateInfo& info = window.results[0];
    EXPECT_TRUE(info.error.IsEmpty());
    EXPECT_EQ(Text(info.newVersion), L"5.2.0.1");
    EXPECT_EQ(Text(info.offeredVersion.ToText()), L"5.2.0.1");
    EXPECT_EQ(Text(info.ownVersion.ToText()), L"5.1.2.345");
    EXPECT_EQ(Text(info.status), L"Stable");
    EXPECT_EQ(info.automatic, 1);
    EXPECT_EQ(info.downloadSize, 2000);
    EXPECT_EQ(info.releaseTime.wYear, 2026);
    EXPECT_FALSE(info.releaseDate.IsEmpty());
    EXPECT_EQ(info.portableDownloadSize, -1); // its header query failed (404)
    EXPECT_EQ(Text(info.whatsNewUrl), L"http://site.test/news");
    EXPECT_EQ(window.completions, (std::vector<WPARAM>{1}));

    // The request describes the program in the agreed order.
    std::string target;
    for (const scvtest::HttpRequestRecord& request : server.Requests()) {
        if (request.path == kScriptPath) {
            target = request.target;
            EXPECT_EQ(request.userAgent, "Scrivolanter_Updater");
        }
    }
    const char* fields[] = {"?scv_version=5.1.2.345&",
                            "&winver=",
                            "&sounds=",
                            "&version_installed=",
                            "&hotkey=",
                            "&au=",
                            "&LangFile=[",
                            "&languages=",
                            "&country=[",
                            "&domain=[",
                            "&RAM=",
                            "&screen=[",
                            "&MFC="};
    size_t at = 0;
    for (const char* field : fields) {
        const size_t found = target.find(field, at);
        EXPECT_NE(found, std::string::npos) << field << " in " << target;
        if (found != std::string::npos)
            at = found;
    }
}

TEST_F(UpdateCheckServer, FailuresAndTheSameVersionAreReportedOnlyToTheUser)
{
    struct Case
    {
        const char* name;
        int status;
        std::string body;
        const wchar_t* error;
    };
    const Case cases[] = {
        {"same version", 200, Answer("5.1.2.345"), L""},
        {"404", 404, "no such script", L"ERROR: Cannot load information from official web-site"},
        {"oversize answer", 200, Answer("9.0", "<Status>" + std::string(1100 * 1024, 'o') + "</Status>"),
         L"ERROR: Cannot load information from official web-site"},
        {"not an answer", 200, "<html><body>maintenance</body></html>",
         L"ERROR: Cannot parse information file"},
    };
    for (const Case& c : cases) {
        HttpResponse response;
        response.status = c.status;
        response.body = c.body;
        server.SetResponse(kScriptPath, response);
        for (int silent = 0; silent <= 1; ++silent) {
            window.results.clear();
            window.completions.clear();
            RunCheck(silent);
            EXPECT_EQ(window.completions.size(), 1u) << c.name; // completed in every case
            if (silent) {
                EXPECT_TRUE(window.results.empty()) << c.name;
                continue;
            }
            ASSERT_EQ(window.results.size(), 1u) << c.name;
            EXPECT_EQ(Text(window.results[0].error), c.error) << c.name;
            EXPECT_TRUE(window.results[0].newVersion.IsEmpty()) << c.name;
            EXPECT_EQ(window.results[0].automatic, 0) << c.name;
        }
    }
}

TEST_F(UpdateCheckServer, SlowServerEndsTheHeaderQuery)
{
    HttpResponse slow;
    slow.hang = true;
    server.SetResponse("/files/slow", slow);
    DownloadLimits limits;
    limits.timeoutMs = 500;
    CUrlHeaderQuery query(Wide(server.Url("/files/slow")), limits);
    const ULONGLONG started = ::GetTickCount64();
    EXPECT_FALSE(query.QueryAsBrowser());
    ExpectEndedByTheTimeOut(::GetTickCount64() - started, limits.timeoutMs);
    EXPECT_GE(server.CountRequests("/files/slow"), 1) << "the query never reached the server";
}

TEST_F(UpdateCheckServer, SlowServerEndsTheCheckWithAnError)
{
    HttpResponse slow;
    slow.hang = true;
    server.SetResponse(kScriptPath, slow);
    UpdateCheckThreadParams params = Params(0);
    params.limits.timeoutMs = 500;
    const ULONGLONG started = ::GetTickCount64();
    RunUpdateCheck(params, 0);
    ExpectEndedByTheTimeOut(::GetTickCount64() - started, params.limits.timeoutMs);
    EXPECT_GE(server.CountRequests(kScriptPath), 1) << "the check never reached the server";
    ASSERT_EQ(window.results.size(), 1u);
    EXPECT_EQ(Text(window.results[0].error), L"ERROR: Cannot load information from official web-site");
}

TEST_F(UpdateCheckServer, ThreadRunsTheCheckOrEndsWhenStopped)
{
    server.SetResponse(kScriptPath, HttpResponse{200, Answer("6.0")});
    HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);

    // No delay: the check runs and reports to the window's thread.
    HANDLE thread = nullptr;
    UpdateCheckThreadParams now = Params(0);
    now.stopEvent = stop;
    ASSERT_TRUE(StartUpdateCheckThread(now, &thread));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !window.completions.empty(); }, 20000));
    ASSERT_EQ(window.results.size(), 1u);
    EXPECT_EQ(Text(window.results[0].newVersion), L"6.0");
    EXPECT_TRUE(scvtest::PumpUntilSignaled(thread, 5000));
    DWORD exitCode = 99;
    ::GetExitCodeThread(thread, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    ::CloseHandle(thread);

    // An hour's delay, stopped during the wait: no request, no report.
    const int requestsBefore = server.CountRequests(kScriptPath);
    UpdateCheckThreadParams waiting = Params(1);
    waiting.delay = 3600000;
    waiting.stopEvent = stop;
    ASSERT_TRUE(StartUpdateCheckThread(waiting, &thread));
    ::SetEvent(stop);
    EXPECT_TRUE(scvtest::PumpUntilSignaled(thread, 10000));
    ::GetExitCodeThread(thread, &exitCode);
    EXPECT_EQ(exitCode, 1u);
    ::CloseHandle(thread);
    scvtest::PumpFor(50);
    EXPECT_EQ(server.CountRequests(kScriptPath), requestsBefore);
    EXPECT_EQ(window.results.size(), 1u);
    EXPECT_EQ(window.completions.size(), 1u);
    ::CloseHandle(stop);
}

TEST(UpdateRequest, QueryValuesFollowTheSettings)
{
    UpdateQueryValues values;
    values.autoCheck = false;
    values.days = 5;
    values.hotKey = 'Q';
    values.hotKeyModifiers = MOD_CONTROL | MOD_SHIFT;
    values.doublePress = true;
    values.languageFile = L"German.lng";
    CSCVUrl::SetSiteRoot(L"http://127.0.0.1:1");
    const std::wstring url = Text(GetUpdateCheckUrl(values));
    EXPECT_EQ(url.rfind(L"http://127.0.0.1:1/Source/update_scv.php?", 0), 0u);
    EXPECT_NE(url.find(L"&au=disabled&"), std::wstring::npos);
    EXPECT_NE(url.find(L"&LangFile=[German.lng]&"), std::wstring::npos);
    EXPECT_NE(url.find(L"&MFC=Not_found"), std::wstring::npos);
    values.autoCheck = true;
    EXPECT_NE(Text(GetUpdateCheckUrl(values)).find(L"&au=5&"), std::wstring::npos);

    CString expected = HotKeyToText('Q', MOD_CONTROL | MOD_SHIFT);
    expected.MakeUpper();
    EXPECT_EQ(Text(BuildHotKeyQueryValue('Q', MOD_CONTROL | MOD_SHIFT, true)), Text(expected) + L"x2");
    EXPECT_EQ(Text(BuildHotKeyQueryValue('Q', MOD_CONTROL | MOD_SHIFT, false)), Text(expected));
    EXPECT_EQ(Text(GetUpdaterAgentName()), L"Scrivolanter_Updater");
    CSCVUrl::SetSiteRoot(nullptr);
}
