// test-depends: Scrivolanter ScvWaitingFor
// test-locks: appevents clipboard desktop sharedlog
// test-run-serial
// The built program with the clipboard history on: a second process copies,
// items are put back from the tray's history menu, the program exits and
// starts again; and messages other programs forge reach its watcher window.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppObjects.h"
#include "app/TrayMessages.h"
#include "common/KernelHandle.h"
#include "menus/tips/TrayHistorySource.h"
#include "support/BuiltPrograms.h"
#include "support/ClipboardFill.h"
#include "support/ChildMain.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

constexpr DWORD kTimeoutMs = 30000;
constexpr wchar_t kSourceTitle[] = L"ScvHistorySource";

using scvtest::OpenClipboardRetrying;

std::wstring ClipboardText()
{
    return scvtest::ClipboardUnicodeText();
}

std::vector<std::wstring> FileNames(const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW(pattern.c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &found))
        names.push_back(found.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    return names;
}

using scvtest::CountOf;

// A second process that copies each text in turn from a window of its own in
// the foreground, the next one when `next` is set, and stays until `done`.
SCV_CHILD_MAIN(history_source_copies)
{
    // args: the next event, the done event, the texts
    HWND window = ::CreateWindowExW(0, L"STATIC", kSourceTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                    100, nullptr, nullptr, nullptr, nullptr);
    CKernelHandle next(::OpenEventW(SYNCHRONIZE, FALSE, args.at(0).c_str()));
    CKernelHandle done(::OpenEventW(SYNCHRONIZE, FALSE, args.at(1).c_str()));
    if (!window || !next || !done)
        return 2;
    for (size_t i = 2; i < args.size(); ++i) {
        ::SetForegroundWindow(window);
        if (!scvtest::SetClipboardText(args[i], window))
            return 3;
        if (::WaitForSingleObject(i + 1 < args.size() ? next.Get() : done.Get(), kTimeoutMs) != WAIT_OBJECT_0)
            return 4;
    }
    ::DestroyWindow(window);
    return 0;
}

class HistoryProgramTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(CAppObjects::IsInstanceRunning()) << "another Scrivolanter runs in this session";
        ASSERT_TRUE(scvtest::CopyBuiltPrograms(m_folder, {L"Scrivolanter.exe", L"ScvWaitingFor.exe"}));
        m_folder.CreateSubfolder(L"Phrases");
        m_folder.WriteUtf16(
            L"Settings.ini",
            L"[Settings]\r\nSCVVersion=SCV_150\r\nWriteLog=1\r\nSoundOnEventsV094=0\r\n"
            L"AutoCheckForUpdates=0\r\nShowHistoryPaneOnStart=0\r\nShowIconInAltTab_ForFP=0\r\n"
            L"ClipboardHistory=1\r\nSaveClipboardHistory_v198=1\r\nClipboardHistoryMax=30\r\n"
            L"Welcome_Already_Started_V2_60=1\r\nDelayAutoLoadSeconds_NextRelease=0\r\n"
            L"PhrasesDirectory=Phrases\r\nSiteRoot=http://127.0.0.1:9\r\n");
        ASSERT_TRUE(scvtest::ClearClipboard());
    }

    void TearDown() override
    {
        if (m_program.Started() && m_program.IsRunning())
            Exit();
    }

    void StartProgram()
    {
        scvtest::ChildOptions options;
        options.workingDirectory = m_folder.Path();
        m_program =
            scvtest::ChildProcess::Run(m_folder.PathOf(L"Scrivolanter.exe"), {L"/noinstall"}, options);
        ASSERT_TRUE(m_program.Started());
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] {
                return (m_tray = scvtest::FindTopWindowOf(m_program.Pid(), kTrayWindowClassName)) != nullptr;
            },
            kTimeoutMs));
        ASSERT_TRUE(scvtest::WaitUntil([&] { return Watcher() != nullptr; }, kTimeoutMs))
            << "the history runs";
    }

    void Exit() { scvtest::ExitMainProgram(m_folder, m_program, kTimeoutMs); }

    HWND Watcher() const { return ::FindWindowExW(m_tray, nullptr, L"ScvClipboardHistoryWatcher", nullptr); }

    std::wstring History(const wchar_t* pattern) const
    {
        return m_folder.PathOf(L"ClipboardHistory\\") + pattern;
    }

    std::wstring Log() const { return m_folder.ReadText(L"LogReport.txt").value_or(L""); }

    // Chooses history item `index` (0 = newest) in the tray's history menu and
    // waits until the program has put it on the clipboard.
    std::wstring PutBack(int index)
    {
        const size_t skipped = CountOf(Log(), L"My copy process detected");
        const DWORD sequence = ::GetClipboardSequenceNumber();
        ::PostMessageW(m_tray, WM_COMMAND, kTrayHistoryFirstId + static_cast<UINT>(index), 0);
        if (!scvtest::WaitUntil([&] { return ::GetClipboardSequenceNumber() != sequence; }, kTimeoutMs))
            return L"(nothing put back)";
        // The watcher has seen the change and left it alone.
        EXPECT_TRUE(scvtest::WaitUntil([&] { return CountOf(Log(), L"My copy process detected") > skipped; },
                                       kTimeoutMs))
            << "the item put back is not captured again";
        return ClipboardText();
    }

    scvtest::TempFolder m_folder;
    scvtest::ChildProcess m_program;
    HWND m_tray = nullptr;
};

TEST_F(HistoryProgramTest, TheHistoryHoldsEachCopyOnceWithItsSourceAcrossARestart)
{
    StartProgram();
    const std::vector<std::wstring> texts = {L"alpha", L"beta", L"gamma", L"delta"};
    const std::wstring tag = std::to_wstring(::GetCurrentProcessId());
    const std::wstring nextName = L"Local\\ScvHistoryNext" + tag;
    const std::wstring doneName = L"Local\\ScvHistoryDone" + tag;
    CKernelHandle next(::CreateEventW(nullptr, FALSE, FALSE, nextName.c_str()));
    CKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, doneName.c_str()));
    std::vector<std::wstring> args = {nextName, doneName};
    args.insert(args.end(), texts.begin(), texts.end());
    scvtest::ChildProcess source = scvtest::LaunchSelf(L"history_source_copies", args);
    ASSERT_TRUE(source.Started());
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_TRUE(scvtest::WaitUntil(
            [&] { return scvtest::CountFiles(History(L"*.info")) == static_cast<int>(i + 1); }, kTimeoutMs))
            << "copy " << i << " saved\n"
            << scvtest::WideToUtf8(Log());
        ::SetEvent(i + 1 < texts.size() ? next.Get() : done.Get());
    }
    EXPECT_EQ(source.Wait(kTimeoutMs), 0u);

    // Items put back from the menu: newest first, delta gamma beta alpha.
    EXPECT_EQ(PutBack(2), L"beta");
    EXPECT_EQ(PutBack(3), L"alpha");
    EXPECT_EQ(PutBack(0), L"delta");
    EXPECT_EQ(PutBack(3), L"alpha");
    Exit();

    // One file set per item, each naming the second process as its source.
    EXPECT_EQ(scvtest::CountFiles(History(L"*.info")), 4);
    EXPECT_EQ(scvtest::CountFiles(History(L"*.txt")), 4);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring selfName = std::wstring(self).substr(std::wstring(self).find_last_of(L'\\') + 1);
    for (const std::wstring& name : FileNames(History(L"*.info"))) {
        const std::wstring descriptor = m_folder.ReadText(L"ClipboardHistory\\" + name).value_or(L"");
        EXPECT_NE(descriptor.find(std::wstring(L"WndName=") + kSourceTitle), std::wstring::npos)
            << scvtest::WideToUtf8(descriptor);
        EXPECT_NE(descriptor.find(selfName), std::wstring::npos) << scvtest::WideToUtf8(descriptor);
    }

    // Started again with "alpha" still on the clipboard: the same items in the
    // same order, once each (a fifth item would be the clipboard at the start).
    StartProgram();
    ASSERT_TRUE(scvtest::WaitUntil(
        [&] { return Log().find(L"Clipboard history: 4 saved items loaded") != std::wstring::npos; },
        kTimeoutMs))
        << scvtest::WideToUtf8(Log());
    const std::vector<std::wstring> expected = {L"delta", L"gamma", L"beta", L"alpha"};
    std::vector<std::wstring> after;
    for (int index = 0; index < 4; ++index)
        after.push_back(PutBack(index));
    EXPECT_EQ(after, expected) << scvtest::WideToUtf8(Log());
    const DWORD sequence = ::GetClipboardSequenceNumber();
    ::SendMessageW(m_tray, WM_COMMAND, kTrayHistoryFirstId + 4, 0);
    EXPECT_EQ(::GetClipboardSequenceNumber(), sequence) << "no fifth item";
    Exit();
    EXPECT_EQ(scvtest::CountFiles(History(L"*.info")), 4);
    EXPECT_EQ(scvtest::CountFiles(History(L"*.txt")), 4);
}

TEST_F(HistoryProgramTest, ForgedMessagesToTheWatcherAreIgnoredAndTheProgramGoesOn)
{
    StartProgram();
    const HWND watcher = Watcher();
    const wchar_t* const names[] = {
        L"{278BB95C-BECC-4945-9CDF-98E5CDC69FEF}", // loaded history
        L"{F762C94C-9D69-4a96-B8FD-7F53F4157D13}", // item saved
        L"{540F133E-3D6B-49e4-87A5-C19CA88FC341}", // once: add an item
        L"{30462FA5-8E5D-4702-A0CD-6C06742AD9BC}", // once: item file state
    };
    for (const wchar_t* name : names) {
        for (LPARAM forged : {static_cast<LPARAM>(0x10), static_cast<LPARAM>(0x10000),
                              static_cast<LPARAM>(static_cast<LONG_PTR>(-16))}) {
            DWORD_PTR answer = 0;
            EXPECT_TRUE(::SendMessageTimeoutW(watcher, ::RegisterWindowMessageW(name), 0, forged,
                                              SMTO_ABORTIFHUNG, kTimeoutMs, &answer))
                << scvtest::WideToUtf8(name);
            EXPECT_EQ(answer, 0u) << scvtest::WideToUtf8(name);
        }
    }
    // Still running, and still capturing.
    ASSERT_TRUE(m_program.IsRunning());
    HWND owner = ::CreateWindowExW(0, L"STATIC", kSourceTitle, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_TRUE(scvtest::SetClipboardText(L"after the forgeries", owner));
    EXPECT_TRUE(scvtest::WaitUntil([&] { return scvtest::CountFiles(History(L"*.txt")) == 1; }, kTimeoutMs));
    ::DestroyWindow(owner);
    const std::wstring log = Log();
    EXPECT_EQ(CountOf(log, L"a loaded history this process did not hand out, ignored"), 3u)
        << scvtest::WideToUtf8(log);
    EXPECT_EQ(CountOf(log, L"a saved item this process did not hand out, ignored"), 3u);
}

} // namespace
