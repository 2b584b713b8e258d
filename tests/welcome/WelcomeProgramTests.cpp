// test-depends: Scrivolanter_Welcome
// test-locks: desktop welcome
// The welcome program started for real from a program folder of its own: its
// window with the HTML page, the single instance (a second start ends with 1
// and brings the first forward), "/auto" dropping the language list down,
// the first-start mark and the log line; closed by its Cancel command. A
// screenshot of the window is saved beside the build's programs
// ("welcome-window.png"). The page's links are run in-process with a
// recording launcher.
#include "welcome/WelcomeDialog.h"
#include "welcome/WelcomeProgram.h"

#include "common/PathFunctions.h"
#include "common/WellKnownNames.h"

#include "support/ChildProcess.h"
#include "support/MessagePump.h"
#include "support/Screenshot.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
const DWORD kStartTimeoutMs = 20000;

struct WindowSearch
{
    DWORD pid = 0;
    HWND found = nullptr;
};

BOOL CALLBACK NoteDialogOf(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    if (owner == search->pid && std::wstring(name) == L"#32770" && ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialogOf(DWORD pid)
{
    WindowSearch search{pid, nullptr};
    ::EnumWindows(NoteDialogOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ReadAll(const std::wstring& path)
{
    return scvtest::ReadFileText(path).value_or(std::wstring());
}

class WelcomeProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        exe = folder.Path() + L"\\Scrivolanter_Welcome.exe";
        ASSERT_TRUE(
            ::CopyFileW(scvtest::ProgramPath(L"Scrivolanter_Welcome.exe").c_str(), exe.c_str(), FALSE));
        ASSERT_TRUE(
            scvtest::WriteFileBytes(folder.Path() + L"\\Settings.ini", "[Settings]\r\nWriteLog=1\r\n"));
    }

    scvtest::ChildProcess Start(const std::vector<std::wstring>& args = {})
    {
        scvtest::ChildOptions options;
        options.workingDirectory = folder.Path();
        return scvtest::ChildProcess::Run(exe, args, options);
    }

    HWND WaitForWindow(const scvtest::ChildProcess& child)
    {
        HWND window = nullptr;
        scvtest::WaitUntil([&] { return (window = FindDialogOf(child.Pid())) != nullptr; }, kStartTimeoutMs);
        return window;
    }

    scvtest::TempFolder folder;
    std::wstring exe;
};

BOOL CALLBACK NoteHtmlView(HWND window, LPARAM param)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (std::wstring(name) == L"ScvHtmlLayoutView")
        *reinterpret_cast<HWND*>(param) = window;
    return TRUE;
}
} // namespace

TEST_F(WelcomeProgram, StartsOnceShowsThePageAndEndsByItsButton)
{
    scvtest::ChildProcess first = Start();
    ASSERT_TRUE(first.Started());
    HWND window = WaitForWindow(first);
    ASSERT_NE(window, nullptr);
    wchar_t title[128] = {};
    ::GetWindowTextW(window, title, 128);
    EXPECT_EQ(std::wstring(title).rfind(L"Welcome to Scrivolanter", 0), 0u) << title;
    HWND view = nullptr;
    ::EnumChildWindows(window, NoteHtmlView, reinterpret_cast<LPARAM>(&view));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(view), IDC_WELCOME_HTML);
    EXPECT_TRUE(::IsWindowVisible(view));
    EXPECT_GT(::SendMessageW(::GetDlgItem(window, IDC_WELCOME_LANGUAGE), CB_GETCOUNT, 0, 0), 0);

    // A second start hands over to the first and ends with 1.
    scvtest::ChildProcess second = Start();
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.Wait(kStartTimeoutMs), std::optional<DWORD>(1));
    EXPECT_TRUE(first.IsRunning());

    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 900, 640, SWP_NOMOVE);
    scvtest::PumpFor(500);
    EXPECT_TRUE(scvtest::SaveWindowPng(window, scvtest::ProgramPath(L"..\\welcome-window.png")));

    ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(first.Wait(kStartTimeoutMs), std::optional<DWORD>(IDCANCEL));
    EXPECT_NE(ReadAll(folder.Path() + L"\\Settings.ini").find(L"Welcome_Already_Started_V2_60=1"),
              std::wstring::npos);
    const std::wstring log = ReadAll(folder.Path() + L"\\LogReport.txt");
    EXPECT_NE(log.find(L"\"Scrivolanter : Welcome\" started: cmdline: ["), std::wstring::npos) << log;
}

TEST_F(WelcomeProgram, AutoDropsTheLanguageListDown)
{
    scvtest::ChildProcess child = Start({L"/auto"});
    HWND window = WaitForWindow(child);
    ASSERT_NE(window, nullptr);
    HWND combo = ::GetDlgItem(window, IDC_WELCOME_LANGUAGE);
    EXPECT_TRUE(
        scvtest::WaitUntil([&] { return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 6000));
    ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(child.Wait(kStartTimeoutMs), std::optional<DWORD>(IDOK));
}

TEST(WelcomeLinks, CommandsStartTheProgramsAndOnlySafeAddressesOpen)
{
    struct Started
    {
        std::wstring file;
        std::wstring parameters;
    };
    std::vector<Started> started;
    CWelcomeDialog dialog(false, nullptr,
                          [&](HWND, const CString& file, const CString& parameters) -> INT_PTR {
                              started.push_back({file.GetString(), parameters.GetString()});
                              return 42;
                          });
    const std::wstring main = GetProgramFolderFile(L"Scrivolanter.exe").GetString();
    const std::wstring editor = GetEditorExePath().GetString();
    struct Case
    {
        const wchar_t* href;
        bool opened;
        std::wstring file;
        std::wstring parameters;
    } cases[] = {
        {L"%CMD_START_EDITOR%", true, editor, L""},
        {L"%cmd_show_tray_menu%", true, main, L"/showmenu"},
        {L"%CMD_SHOW_CMD_LINE%", true, main, L"/?"},
        {L"%CMD_CHECK_FOR_UPDATES%", true, main, L"/cfu"},
        {L"https://example.test/page", true, L"https://example.test/page", L""},
        {L"mailto:team@example.test", true, L"mailto:team@example.test", L""},
        {L"javascript:alert(1)", false, L"", L""},
        {L"file:///C:/Windows/notepad.exe", false, L"", L""},
        {L"C:\\Windows\\notepad.exe", false, L"", L""},
        {L"%CMD_UNKNOWN%", false, L"", L""},
    };
    for (const Case& c : cases) {
        started.clear();
        EXPECT_EQ(dialog.RunLink(c.href), c.opened) << c.href;
        if (!c.opened) {
            EXPECT_TRUE(started.empty()) << c.href;
            continue;
        }
        ASSERT_EQ(started.size(), 1u) << c.href;
        EXPECT_EQ(started[0].file, c.file) << c.href;
        EXPECT_EQ(started[0].parameters, c.parameters) << c.href;
    }
}

TEST(WelcomeLinks, TheFirstFloatPaneLinkBlinksThePaneAndOtherLinksAreLeftToTheView)
{
    int launched = 0;
    CWelcomeDialog dialog(false, nullptr, [&](HWND, const CString&, const CString&) -> INT_PTR {
        ++launched;
        return 42;
    });
    HANDLE blink = ::CreateEventW(nullptr, TRUE, FALSE, GetFloatPaneBlinkEventName());
    ASSERT_NE(blink, nullptr);
    // A pulse sets and resets at once: a thread already waiting on the event sees it.
    auto pulsedBy = [&](const wchar_t* href, bool namesFloatPane) {
        struct Waiter
        {
            HANDLE event;
            volatile LONG waiting = 0;
            static DWORD WINAPI Run(void* data)
            {
                auto* self = static_cast<Waiter*>(data);
                ::InterlockedExchange(&self->waiting, 1);
                return ::WaitForSingleObject(self->event, 1500) == WAIT_OBJECT_0 ? 1 : 0;
            }
        } waiter{blink};
        HANDLE thread = ::CreateThread(nullptr, 0, Waiter::Run, &waiter, 0, nullptr);
        scvtest::WaitUntil([&] { return waiter.waiting != 0; }, 5000);
        dialog.OnLinkClicked(href, namesFloatPane);
        ::WaitForSingleObject(thread, 5000);
        DWORD code = 0;
        ::GetExitCodeThread(thread, &code);
        ::CloseHandle(thread);
        return code == 1;
    };
    EXPECT_FALSE(pulsedBy(L"https://example.test/other.png", false));
    EXPECT_TRUE(pulsedBy(L"https://example.test/floatpane.png", true));
    EXPECT_FALSE(pulsedBy(L"https://example.test/floatpane.png", true)) << "only the first such click";
    EXPECT_EQ(3, launched);
    ::CloseHandle(blink);

    EXPECT_FALSE(dialog.OnLinkClicked(L"%CMD_UNKNOWN%", false)) << "left to the view";
    EXPECT_TRUE(dialog.OnLinkClicked(L"%CMD_START_EDITOR%", false));
}
