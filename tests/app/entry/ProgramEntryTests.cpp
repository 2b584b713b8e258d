// test-run-serial
// test-depends: Scrivolanter
// test-locks: appevents desktop sharedlog
// test-timeout: 90
// Runs alone: while the program starts and ends, other new processes of the
// same Wine session were seen to wait for it.
// The main program as a whole: single instance, relays to the running
// instance, "/exit", the delayed start with Windows, "/?", the start-up
// commands of the tray window and the log of a run. Each test copies the
// built program into a temporary program folder with its own Settings.ini, so
// the program's settings, log and phrases are the test's.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "app/AppObjects.h"
#include "tests/app/MainProgramWindows.h"
#include "app/TrayMessages.h"
#include "support/ChildProcess.h"
#include "support/Dialogs.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kEndTimeoutMs = 30000;

using scvtest::CountOf;
using scvtest::FindTrayWindow;

class ProgramEntryTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(CAppObjects::IsInstanceRunning()) << "another Scrivolanter runs in this session";
        m_exe = m_folder.PathOf(L"Scrivolanter.exe");
        ASSERT_TRUE(::CopyFileW(scvtest::ProgramPath(L"Scrivolanter.exe").c_str(), m_exe.c_str(), FALSE));
        m_folder.CreateSubfolder(L"Phrases");
        WriteSettings({});
    }

    void TearDown() override
    {
        // Whatever a test left running ends here, so the next test starts alone.
        for (auto& child : m_children) {
            if (child.IsRunning())
                EndInstance(child);
        }
    }

    // Settings.ini beside the program: log on; sounds, update checks, the
    // welcome program, the history and the start delay off; `changes` replace
    // or add keys.
    void WriteSettings(const std::vector<std::pair<std::wstring, std::wstring>>& changes)
    {
        std::vector<std::pair<std::wstring, std::wstring>> keys = {
            {L"SCVVersion", L"SCV_150"},
            {L"WriteLog", L"1"},
            {L"SoundOnEventsV094", L"0"},
            {L"AutoCheckForUpdates", L"0"},
            {L"ShowHistoryPaneOnStart", L"0"},
            {L"ShowIconInAltTab_ForFP", L"0"},
            {L"ClipboardHistory", L"0"},
            {L"Welcome_Already_Started_V2_60", L"1"},
            {L"DelayAutoLoadSeconds_NextRelease", L"0"},
            {L"PhrasesDirectory", L"Phrases"},
            {L"SiteRoot", L"http://127.0.0.1:9"},
        };
        for (const auto& change : changes) {
            auto it = std::find_if(keys.begin(), keys.end(),
                                   [&](const auto& key) { return key.first == change.first; });
            if (it != keys.end())
                it->second = change.second;
            else
                keys.push_back(change);
        }
        std::wstring text = L"[Settings]\r\n";
        for (const auto& key : keys)
            text += key.first + L"=" + key.second + L"\r\n";
        ASSERT_FALSE(m_folder.WriteUtf16(L"Settings.ini", text).empty());
    }

    scvtest::ChildProcess& Start(const std::vector<std::wstring>& args)
    {
        scvtest::ChildOptions options;
        options.workingDirectory = m_folder.Path();
        m_children.push_back(scvtest::ChildProcess::Run(m_exe, args, options));
        EXPECT_TRUE(m_children.back().Started()) << "error " << m_children.back().StartError();
        return m_children.back();
    }

    // Runs a start that is expected to end by itself; its exit code.
    std::optional<DWORD> RunToEnd(const std::vector<std::wstring>& args)
    {
        return Start(args).Wait(kEndTimeoutMs);
    }

    // Starts the running instance and waits until its tray window exists.
    scvtest::ChildProcess& StartInstance(const std::vector<std::wstring>& args = {})
    {
        scvtest::ChildProcess& child = Start(args);
        EXPECT_TRUE(
            scvtest::WaitUntil([&] { return FindTrayWindow(child.Pid()) != nullptr; }, kStartTimeoutMs))
            << "no tray window";
        return child;
    }

    void EndInstance(scvtest::ChildProcess& instance)
    {
        RunToEnd({L"/exit"});
        if (!instance.Wait(kEndTimeoutMs))
            instance.Terminate();
    }

    std::wstring Log() const { return m_folder.ReadText(L"LogReport.txt").value_or(L""); }

    bool WaitForLog(const std::wstring& part, size_t count = 1) const
    {
        return scvtest::WaitUntil([&] { return CountOf(Log(), part) >= count; }, kStartTimeoutMs);
    }

    scvtest::TempFolder m_folder;
    std::wstring m_exe;
    std::list<scvtest::ChildProcess> m_children; // stable references
};

TEST_F(ProgramEntryTest, SecondStartIsRelayedToTheRunningInstanceAndExitsOne)
{
    scvtest::ChildProcess& first = StartInstance();
    ASSERT_TRUE(WaitForLog(L"===Start Scrivolanter"));

    EXPECT_EQ(RunToEnd({}), 1u);
    EXPECT_TRUE(WaitForLog(L"WM_SCV_INSTANCE_SIGNAL wParam=0")) << Log();
    EXPECT_TRUE(first.IsRunning());
    // The relayed start wrote its own start lines, but never became an instance.
    EXPECT_EQ(CountOf(Log(), L"Command Line: ["), 2u);
    EXPECT_EQ(CountOf(Log(), L"===Start Scrivolanter"), 1u);
}

TEST_F(ProgramEntryTest, ExitEndsTheRunningInstance)
{
    scvtest::ChildProcess& first = StartInstance();

    EXPECT_EQ(RunToEnd({L"/exit"}), 1u);
    EXPECT_EQ(first.Wait(kEndTimeoutMs), 0u);
    const std::wstring log = Log();
    EXPECT_NE(log.find(L"WM_SCV_INSTANCE_SIGNAL wParam=1"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"===End Scrivo Lanter==="), std::wstring::npos) << log;
    EXPECT_FALSE(CAppObjects::IsInstanceRunning());
}

TEST_F(ProgramEntryTest, ExitOrUaWithoutRunningInstanceExitsOneWithoutBecomingOne)
{
    for (const wchar_t* exitSwitch : {L"/exit", L"-EXIT", L"/ua"}) {
        SCOPED_TRACE(testing::Message() << "switch " << scvtest::WideToUtf8(exitSwitch));
        EXPECT_EQ(RunToEnd({exitSwitch}), 1u);
        EXPECT_FALSE(CAppObjects::IsInstanceRunning());
    }
    EXPECT_EQ(Log().find(L"===Start Scrivolanter"), std::wstring::npos);
}

TEST_F(ProgramEntryTest, UaDeletesTheStartWithWindowsValue)
{
    // The Run key of this Wine prefix; a value that was there before comes back at the end.
    const wchar_t* runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    wchar_t previous[1024] = {};
    DWORD size = sizeof(previous);
    const bool hadValue = ::RegGetValueW(HKEY_CURRENT_USER, runKey, L"Scrivolanter", RRF_RT_REG_SZ, nullptr,
                                         previous, &size) == ERROR_SUCCESS;
    const std::wstring value = L"\"" + m_exe + L"\" /autoload";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, runKey, L"Scrivolanter", REG_SZ, value.c_str(),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);

    EXPECT_EQ(RunToEnd({L"/ua"}), 1u);
    const LSTATUS after =
        ::RegGetValueW(HKEY_CURRENT_USER, runKey, L"Scrivolanter", RRF_RT_ANY, nullptr, nullptr, nullptr);
    EXPECT_EQ(after, ERROR_FILE_NOT_FOUND);

    if (hadValue)
        ::RegSetKeyValueW(HKEY_CURRENT_USER, runKey, L"Scrivolanter", REG_SZ, previous,
                          static_cast<DWORD>((wcslen(previous) + 1) * sizeof(wchar_t)));
    else
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, runKey, L"Scrivolanter");
}

TEST_F(ProgramEntryTest, StartsAtTheSameMomentMakeExactlyOneInstance)
{
    scvtest::ChildProcess& a = Start({});
    scvtest::ChildProcess& b = Start({});
    // One of the two ends with 1 (relayed), the other one stays as the instance.
    ASSERT_TRUE(scvtest::WaitUntil([&] { return !a.IsRunning() || !b.IsRunning(); }, kStartTimeoutMs));
    scvtest::ChildProcess& ended = a.IsRunning() ? b : a;
    scvtest::ChildProcess& instance = a.IsRunning() ? a : b;
    EXPECT_EQ(ended.ExitCode(), 1u);
    EXPECT_TRUE(
        scvtest::WaitUntil([&] { return FindTrayWindow(instance.Pid()) != nullptr; }, kStartTimeoutMs));
    EXPECT_TRUE(instance.IsRunning());
    EXPECT_EQ(CountOf(Log(), L"===Start Scrivolanter"), 1u);
}

TEST_F(ProgramEntryTest, StartWithoutAutoloadCutsTheDelayedStartShortAndExitsTwelve)
{
    WriteSettings({{L"DelayAutoLoadSeconds_NextRelease", L"120"}});
    scvtest::ChildProcess& delayed = Start({L"/autoload"});
    ASSERT_TRUE(WaitForLog(L"Starting waiting for automode...")) << Log();
    EXPECT_EQ(FindTrayWindow(delayed.Pid()), nullptr);

    EXPECT_EQ(RunToEnd({}), 12u);
    EXPECT_TRUE(WaitForLog(L"Signal for automode. Exit"));
    // The waiting start goes on at once and becomes the instance.
    EXPECT_TRUE(WaitForLog(L"INFO: automode disabled WAIT_OBJECT_0")) << Log();
    EXPECT_TRUE(
        scvtest::WaitUntil([&] { return FindTrayWindow(delayed.Pid()) != nullptr; }, kStartTimeoutMs));
}

TEST_F(ProgramEntryTest, AutoloadWithoutDelayStartsAtOnce)
{
    scvtest::ChildProcess& instance = StartInstance({L"/autoload"});
    EXPECT_TRUE(instance.IsRunning());
    EXPECT_EQ(Log().find(L"Starting waiting for automode..."), std::wstring::npos);
}

TEST_F(ProgramEntryTest, HelpShowsTheSwitchesAndEndsWithZero)
{
    scvtest::ChildProcess& help = Start({L"/?"});
    const HWND box = scvtest::WaitForDialog(L"Command Line Keys", kStartTimeoutMs, help.Pid(), true);
    ASSERT_NE(box, nullptr);
    const std::wstring text = scvtest::ReadDialogText(box);
    for (const wchar_t* name : {L"/exit", L"/autoload", L"/noinstall", L"/showmenu", L"/cfu"})
        EXPECT_NE(text.find(name), std::wstring::npos) << scvtest::WideToUtf8(name);
    EXPECT_TRUE(scvtest::CloseDialog(box));
    EXPECT_EQ(help.Wait(kEndTimeoutMs), 0u);
    EXPECT_FALSE(CAppObjects::IsInstanceRunning());
}

TEST_F(ProgramEntryTest, StartLinesAndBannerDescribeTheRun)
{
    scvtest::ChildProcess& instance = StartInstance({L"/noinstall"});
    EndInstance(instance);
    const std::wstring log = Log();
    EXPECT_NE(log.find(L"Command Line: [/noinstall]"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"Windows Session Username ["), std::wstring::npos);
    // Wine reports the user as an administrator; the log says what the process is.
    EXPECT_NE(log.find(CAppObjects::IsElevated() ? L"Has Admin priveliegies: [YES]"
                                                 : L"Has Admin priveliegies: [no]"),
              std::wstring::npos);
    EXPECT_NE(log.find(L"TEMP PREFIX TEXT: ["), std::wstring::npos) << "banner under its own tag";
    EXPECT_NE(log.find(L"WTS_Notify successfully installed"), std::wstring::npos);
    EXPECT_EQ(log.find(L"All wait objects successfully created"), std::wstring::npos)
        << "noinstall starts no core services";
}

TEST_F(ProgramEntryTest, WithoutWriteLogNothingIsLogged)
{
    WriteSettings({{L"WriteLog", L"0"}});
    scvtest::ChildProcess& instance = StartInstance();
    EndInstance(instance);
    EXPECT_FALSE(m_folder.Exists(L"LogReport.txt"));
}

TEST_F(ProgramEntryTest, StartUpCommandsAreRunByTheNewInstance)
{
    scvtest::ChildProcess& instance = StartInstance({L"/cfu", L"/showmenu"});
    // The check asks the site of the test run's environment, where nobody answers.
    EXPECT_TRUE(WaitForLog(L"Update check (manual): ERROR: Cannot load information from official web-site"))
        << Log();
    // A manual check shows its result, the failure too, in the update window.
    const HWND updateWindow =
        scvtest::WaitForDialog(L"Check For Updates", kStartTimeoutMs, instance.Pid(), true);
    EXPECT_NE(updateWindow, nullptr);
    if (updateWindow)
        ::PostMessageW(updateWindow, WM_CLOSE, 0, 0);
    // "/showmenu" opens the tray menu; Escape closes it without a command.
    HWND menu = nullptr;
    EXPECT_TRUE(scvtest::WaitUntil(
        [&] {
            while ((menu = ::FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr) {
                DWORD pid = 0;
                ::GetWindowThreadProcessId(menu, &pid);
                if (pid == instance.Pid() && ::IsWindowVisible(menu))
                    return true;
            }
            return false;
        },
        kStartTimeoutMs));
    if (menu)
        ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(WaitForLog(L"bPOPUP=0")) << Log();
    // The program folder holds no core hook DLL: the core start-up says so.
    EXPECT_TRUE(WaitForLog(L"Cannot DLL install\nCore DLL not found: ")) << Log();
}

TEST_F(ProgramEntryTest, EditStartTellsWhenTheEditorCannotStart)
{
    scvtest::ChildProcess& instance = StartInstance({L"/edit"});
    // The editor is not in the program folder: the tray window says so, then
    // tries the plain start once more, which reports the missing file.
    const HWND first = scvtest::WaitForDialog(L"Scrivolanter", kStartTimeoutMs, instance.Pid());
    ASSERT_NE(first, nullptr);
    EXPECT_NE(scvtest::ReadDialogText(first).find(L"Cannot start settings module"), std::wstring::npos);
    EXPECT_TRUE(scvtest::CloseDialog(first));
    const HWND second = scvtest::WaitForDialog(L"Scrivolanter", kStartTimeoutMs, instance.Pid());
    ASSERT_NE(second, nullptr);
    EXPECT_NE(scvtest::ReadDialogText(second).find(L"Cannot find file"), std::wstring::npos);
    EXPECT_TRUE(scvtest::CloseDialog(second));
    EXPECT_TRUE(instance.IsRunning());
}

TEST_F(ProgramEntryTest, EditWithARunningInstanceIsDeliveredAndEndsWithZero)
{
    scvtest::ChildProcess& instance = StartInstance();
    EXPECT_EQ(RunToEnd({L"/edit"}), 0u);
    // The running instance got the request: its editor start fails as above.
    const HWND box = scvtest::WaitForDialog(L"Scrivolanter", kStartTimeoutMs, instance.Pid());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(scvtest::ReadDialogText(box).find(L"Cannot start settings module"), std::wstring::npos);
    EXPECT_TRUE(scvtest::CloseDialog(box));
    if (const HWND second = scvtest::WaitForDialog(L"Scrivolanter", kStartTimeoutMs, instance.Pid()))
        scvtest::CloseDialog(second);
}

} // namespace
