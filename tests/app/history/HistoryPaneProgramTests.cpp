// test-depends: Scrivolanter
// test-locks: desktop clipboard appevents sharedlog
// test-run-serial
// test-timeout: 120
// The floating history pane of the real program: Scrivolanter.exe runs from a
// temporary folder with the history on and the pane shown at start; this test
// (a second process) copies texts and reads the pane's list in the program's
// memory, as the user sees it.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TrayMessages.h"
#include "support/BuiltPrograms.h"
#include "support/ClipboardFill.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"

namespace
{

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kStepTimeoutMs = 15000;
constexpr int kPaneListId = 1203;
constexpr UINT kPaneSelectRow = WM_APP + 3;
constexpr UINT kPaneCommandDelete = 32796;
constexpr UINT kPaneCommandUndo = 32838;

// The rows of a list view of another process, read through memory of that process.
std::vector<std::wstring> ListRows(HWND list)
{
    std::vector<std::wstring> rows;
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                   scvtest::ProcessOfWindow(list));
    if (!process)
        return rows;
    constexpr int kChars = 512;
    auto* remote =
        static_cast<BYTE*>(::VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t),
                                            MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; remote && row < count; ++row) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        item.cchTextMax = kChars;
        wchar_t text[kChars] = {};
        if (!::WriteProcessMemory(process, remote, &item, sizeof(item), nullptr))
            break;
        ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process, remote + sizeof(LVITEMW), text, sizeof(text) - sizeof(wchar_t), nullptr);
        rows.emplace_back(text);
    }
    if (remote)
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return rows;
}

} // namespace

// The pane shown at start lists what another program copies, newest first; its commands change
// the real history; closed and opened again it still lists it.
TEST(HistoryPaneProgram, ThePaneShownAtStartListsAndChangesTheRealHistory)
{
    scvtest::TempFolder folder;
    scvtest::CopyBuiltPrograms(folder, {L"*.exe", L"*.dll"});
    folder.WriteUtf16(L"Settings.ini",
                      L"[Settings]\r\nSCVVersion=SCV_150\r\nWriteLog=1\r\nSoundOnEventsV094=0\r\n"
                      L"ShowTrayBallonOnHotkey=0\r\nMenuToolTips_V0_94_A22=0\r\n"
                      L"AutoCheckForUpdates=0\r\nShowHistoryPaneOnStart=1\r\n"
                      L"ShowIconInAltTab_ForFP=0\r\nClipboardHistory=1\r\n"
                      L"Welcome_Already_Started_V2_60=1\r\nDelayAutoLoadSeconds_NextRelease=0\r\n"
                      L"SiteRoot=http://127.0.0.1:9\r\n");
    // The clipboard at start is the history's first item.
    ASSERT_TRUE(scvtest::SetClipboardText(L"first copied text"));
    scvtest::ChildOptions options;
    options.workingDirectory = folder.Path();
    scvtest::ChildProcess program =
        scvtest::ChildProcess::Run(folder.PathOf(L"Scrivolanter.exe"), {L"/noinstall"}, options);
    ASSERT_TRUE(program.Started()) << "error " << program.StartError();
    const auto log = [&] { return folder.ReadText(L"LogReport.txt").value_or(L""); };

    HWND pane = nullptr;
    HWND list = nullptr;
    const auto paneShown = [&] {
        pane = scvtest::FindTopWindowOf(program.Pid(), L"Scrivolanter_FloatPane");
        list = pane ? ::GetDlgItem(pane, kPaneListId) : nullptr;
        return list != nullptr;
    };
    ASSERT_TRUE(scvtest::WaitUntil(paneShown, kStartTimeoutMs)) << "the pane did not show at start";
    const std::vector<std::wstring> first{L"first copied text"};
    ASSERT_TRUE(scvtest::WaitUntil([&] { return ListRows(list) == first; }, kStartTimeoutMs))
        << testing::PrintToString(ListRows(list)) << "\n"
        << testing::PrintToString(log());
    // One copy, made once: the running watcher takes it.
    ASSERT_TRUE(scvtest::SetClipboardText(L"second copied text"));
    const std::vector<std::wstring> both{L"second copied text", L"first copied text"};
    ASSERT_TRUE(scvtest::WaitUntil([&] { return ListRows(list) == both; }, kStepTimeoutMs))
        << testing::PrintToString(ListRows(list)) << "\n"
        << testing::PrintToString(log());

    // The pane closed and shown again (as ALT+TAB and the menus do) lists the tray's history.
    HWND tray = scvtest::FindTopWindowOf(program.Pid(), kTrayWindowClassName);
    ASSERT_TRUE(tray);
    const auto reopenedRows = [&] {
        ::SendMessageW(pane, WM_CLOSE, 0, 0);
        EXPECT_TRUE(scvtest::WaitUntil([&] { return !::IsWindow(pane); }, kStepTimeoutMs));
        ::PostMessageW(tray, WM_APP + 32, 0, 0);
        EXPECT_TRUE(scvtest::WaitUntil(paneShown, kStepTimeoutMs)) << "the pane did not show again";
        std::vector<std::wstring> rows;
        scvtest::WaitUntil([&] { return !(rows = ListRows(list)).empty(); }, kStepTimeoutMs);
        return rows;
    };

    // Delete the newest row: gone from the history; then undo: back in it.
    ::SendMessageW(pane, kPaneSelectRow, 0, 0);
    ::SendMessageW(pane, WM_COMMAND, MAKEWPARAM(kPaneCommandDelete, 0), 0);
    EXPECT_EQ(ListRows(list), first);
    EXPECT_EQ(reopenedRows(), first) << "the delete did not reach the tray's history";
    ::SendMessageW(pane, WM_COMMAND, MAKEWPARAM(kPaneCommandUndo, 0), 0);
    EXPECT_EQ(ListRows(list), both);
    EXPECT_EQ(reopenedRows(), both) << "the undo did not reach the tray's history";

    scvtest::ExitMainProgram(folder, program, kStartTimeoutMs);
}
