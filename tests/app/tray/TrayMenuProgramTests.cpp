// test-depends: Scrivolanter ScvWaitingFor
// test-locks: appevents desktop sharedlog
// test-run-serial
// The built program's tray menu: a left click on the tray icon (the callback
// message as the shell sends it) opens the menu, keys posted to the menu
// choose Exit, and the program ends, and with it the waiter it started.

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>

#include "app/AppObjects.h"
#include "app/TrayMessages.h"
#include "support/BuiltPrograms.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

constexpr DWORD kTimeoutMs = 30000;

// The waiter the program started: a child process named "ScvWaitingFor.exe".
DWORD FindWaiter(DWORD parent)
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    DWORD found = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found;
         more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parent && ::lstrcmpiW(entry.szExeFile, L"ScvWaitingFor.exe") == 0)
            found = entry.th32ProcessID;
    }
    ::CloseHandle(snapshot);
    return found;
}

void PostKey(HWND window, WORD key)
{
    ::PostMessageW(window, WM_KEYDOWN, key, 1);
    ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

TEST(TrayMenuProgram, LeftClickOnTheIconOpensTheMenuAndExitEndsProgramAndWaiter)
{
    ASSERT_FALSE(CAppObjects::IsInstanceRunning()) << "another Scrivolanter runs in this session";
    scvtest::TempFolder folder;
    ASSERT_TRUE(scvtest::CopyBuiltPrograms(folder, {L"Scrivolanter.exe", L"ScvWaitingFor.exe"}));
    folder.CreateSubfolder(L"Phrases");
    folder.WriteUtf16(L"Settings.ini",
                      L"[Settings]\r\nSCVVersion=SCV_150\r\nWriteLog=1\r\nSoundOnEventsV094=0\r\n"
                      L"AutoCheckForUpdates=0\r\nShowHistoryPaneOnStart=0\r\nShowIconInAltTab_ForFP=0\r\n"
                      L"ClipboardHistory=0\r\nWelcome_Already_Started_V2_60=1\r\n"
                      L"DelayAutoLoadSeconds_NextRelease=0\r\nPhrasesDirectory=Phrases\r\n"
                      L"SiteRoot=http://127.0.0.1:9\r\n");
    scvtest::ChildOptions options;
    options.workingDirectory = folder.Path();
    scvtest::ChildProcess program =
        scvtest::ChildProcess::Run(folder.PathOf(L"Scrivolanter.exe"), {L"/noinstall"}, options);
    ASSERT_TRUE(program.Started());

    HWND tray = nullptr;
    ASSERT_TRUE(scvtest::WaitUntil(
        [&] {
            return (tray = scvtest::FindTopWindowOf(program.Pid(), kTrayWindowClassName, false)) != nullptr;
        },
        kTimeoutMs));
    DWORD waiterPid = 0;
    ASSERT_TRUE(scvtest::WaitUntil([&] { return (waiterPid = FindWaiter(program.Pid())) != 0; }, kTimeoutMs))
        << "the program starts its waiter";
    HANDLE waiter = ::OpenProcess(SYNCHRONIZE, FALSE, waiterPid);
    ASSERT_NE(waiter, nullptr);

    // As the shell reports a click: the icon id in wParam, the mouse message in lParam.
    ASSERT_TRUE(::SendNotifyMessageW(tray, WM_SCV_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONUP));
    HWND menu = nullptr;
    ASSERT_TRUE(scvtest::WaitUntil(
        [&] { return (menu = scvtest::FindTopWindowOf(program.Pid(), L"#32768", true)) != nullptr; },
        kTimeoutMs))
        << "the tray menu opens";
    // "Exit" is the first item.
    PostKey(menu, VK_DOWN);
    PostKey(menu, VK_RETURN);

    EXPECT_EQ(program.Wait(kTimeoutMs), 0u) << "Exit ends the program";
    EXPECT_EQ(::WaitForSingleObject(waiter, kTimeoutMs), WAIT_OBJECT_0) << "and its waiter";
    ::CloseHandle(waiter);
    const std::wstring log = folder.ReadText(L"LogReport.txt").value_or(L"");
    EXPECT_NE(log.find(L"DisplayTrayMenuWithPoint x="), std::wstring::npos) << scvtest::WideToUtf8(log);
    EXPECT_NE(log.find(L"bPOPUP=57665"), std::wstring::npos);
    if (program.IsRunning())
        program.Terminate();
}

} // namespace
