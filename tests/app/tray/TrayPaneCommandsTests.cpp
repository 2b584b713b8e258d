// test-locks: appevents desktop clipboard sharedlog
// test-run-serial
// test-sources: ../../../app/Scrivolanter.rc
// test-timeout: 90
// The tray window's commands for the floating pane, the history pop-up and the
// update check, over the real clipboard watcher: what the user copies is
// captured, the pane lists it, and the commands act on what the user sees.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/FolderSettings.h"
#include "common/HandedOutAddresses.h"
#include "tests/app/tray/TrayWindowHarness.h"
#include "app/AppObjects.h"
#include "app/entry/CommandLineArgs.h"
#include "app/tray/SCVTrayWnd.h"
#include "app/VersionTexts.h"
#include "common/HotKeyText.h"
#include "common/IconHelpers.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/MenuLocalizer.h"
#include "common/Settings.h"
#include "common/SettingsFiles.h"
#include "common/SystemErrorText.h"
#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardAccess.h"
#include "menus/phrasemenu/MenuHost.h"
#include "menus/tips/MenuToolTipSCVClient.h"
#include "menus/tips/MenuTrackerToolTip.h"
#include "menus/floatpane/SCVFloatPane.h"
#include "online/AboutReportDlg.h"
#include "online/CSCVUrl.h"
#include "online/UpdateCheckWindow.h"
#include "online/UpdateInfo.h"
#include "app/tray/TrayMenuRes.h"
#include "support/DialogWatchdog.h"
#include "support/Dialogs.h"
#include "support/ImportPatch.h"
#include "support/LocalHttpServer.h"
#include "support/ClipboardFill.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"
#include "support/ToolTipWindow.h"
#include "support/ChildProcess.h"

namespace
{

constexpr DWORD kTimeoutMs = 10000;

class TrayPaneEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        CSettings& settings = scvtest::UseQuietSettingsFolder();
        settings.ClipboardHistory = 1;
        settings.SaveClipboardHistory_v198 = 0;
        settings.Pinned_FloatPane_On_Start = 0;
    }
};

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new TrayPaneEnvironment);

// The icon's image as drawn at its own size on white: its size, then its pixels.
std::vector<DWORD> IconImage(HICON icon)
{
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return {};
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    const int size = bitmap.bmWidth;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = size;
    header.bmiHeader.biHeight = -size;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP target = ::CreateDIBSection(dc, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, target);
    RECT all{0, 0, size, size};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    std::vector<DWORD> image{static_cast<DWORD>(size)};
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    image.insert(image.end(), pixels, pixels + size * size);
    ::SelectObject(dc, old);
    ::DeleteObject(target);
    ::DeleteDC(dc);
    return image;
}

// The program's icon resource at the size the shown icon has.
std::vector<DWORD> ResourceImageLike(HICON shown, UINT id)
{
    const std::vector<DWORD> image = IconImage(shown);
    const int size = image.empty() ? 16 : static_cast<int>(image[0]);
    HICON resource = LoadIconSized(::GetModuleHandleW(nullptr), id, size);
    std::vector<DWORD> expected = IconImage(resource);
    if (resource)
        ::DestroyIcon(resource);
    return expected;
}

// The tip text the pane gives a toolbar button (its title goes to the toolbar's tooltip).
std::wstring ButtonTip(CSCVFloatPane& pane, int command)
{
    wchar_t text[1024] = {};
    NMTBGETINFOTIPW tip{};
    tip.hdr.hwndFrom = pane.GetToolBar().m_hWnd;
    tip.hdr.idFrom = CFloatPaneToolBar::kControlId;
    tip.hdr.code = TBN_GETINFOTIPW;
    tip.iItem = command;
    tip.pszText = text;
    tip.cchTextMax = 1024;
    pane.SendMessageW(WM_NOTIFY, CFloatPaneToolBar::kControlId, reinterpret_cast<LPARAM>(&tip));
    return text;
}

bool OnSomeMonitor(HWND window)
{
    RECT rect{};
    return ::GetWindowRect(window, &rect) && ::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr &&
           rect.left >= 0 && rect.top >= 0;
}

class TrayPaneCommands : public testing::Test, protected scvtest::TrayWindowHarness
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateTrayWindow(L"/noinstall", true));
        ASSERT_TRUE(scvtest::PumpUntil([&] { return m_window->GetHistory().IsCapturing(); }, kTimeoutMs))
            << "the watcher runs";
        m_window->GetClipboardHistory().GetQueue().Clear(CString());
        m_window->GetClipboardHistory().GetQueue().ClearUndo();
    }

    void TearDown() override { DestroyTrayWindow(); }

    HWND Window() const { return m_window->m_hWnd; }
    void Command(UINT id) const { ::SendMessageW(Window(), WM_COMMAND, id, 0); }
    // Posts the command and gives the text of the box it showed (the watchdog
    // in record mode closes it); empty when no box came.
    std::wstring BoxOfCommand(UINT id) const
    {
        ::PostMessageW(Window(), WM_COMMAND, id, 0);
        std::wstring text;
        scvtest::PumpUntil(
            [&] {
                if (auto closed = scvtest::DialogWatchdog::TakeLastClosedText())
                    text = *closed;
                return !text.empty();
            },
            kTimeoutMs);
        return text;
    }
    int Count() const { return m_window->GetHistory().GetCount(); }
    // Only an icon the shell shows can be changed (the window adds it from a thread of its own).
    bool ShellShowsTheTrayIcon() const
    {
        NOTIFYICONDATAW record = m_window->GetTrayIconRecord();
        record.cbSize = sizeof(record);
        record.uFlags = NIF_TIP;
        return record.hWnd && ::Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
    }

    // Opens About (modal on this thread) and plays the user on another thread
    // while it is open; the window is closed afterwards.
    void WhileAboutIsOpen(const std::function<void(HWND about)>& user)
    {
        scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
        std::atomic<bool> done{false};
        std::thread player([&] {
            HWND about = nullptr;
            for (int i = 0; i < 500 && !(about = CAboutReportDlg::GetOpenAboutDialog()); ++i)
                ::Sleep(20);
            if (about) {
                user(about);
                ::PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
            }
            done = true;
        });
        ::PostMessageW(Window(), WM_COMMAND, ID_TRAY_ABOUT, 0);
        EXPECT_TRUE(scvtest::PumpUntil([&] { return done.load(); }, 20000));
        player.join();
        scvtest::PumpUntil([] { return CAboutReportDlg::GetOpenAboutDialog() == nullptr; }, kTimeoutMs);
    }

    // Copies the text as a user's program does and waits until the watcher has it.
    void Copy(const wchar_t* text)
    {
        const int before = Count();
        ASSERT_TRUE(PutClipboardUnicodeText(text));
        ASSERT_TRUE(scvtest::PumpUntil([&] { return Count() > before; }, kTimeoutMs)) << "captured";
    }

    // The pane, open and expanded, listing the history.
    CSCVFloatPane& OpenPane()
    {
        CSCVFloatPane& pane = m_window->GetFloatPane();
        EXPECT_TRUE(m_window->ShowFloatPane());
        scvtest::PumpFor(200);
        pane.SetCaptionOnlyEx(0, 0, TRUE);
        pane.SetPinned(true);
        return pane;
    }
    std::wstring ItemText(int row) const
    {
        const CCHItem* item = m_window->GetClipboardHistory().GetQueue().GetItem(row);
        return item ? std::wstring(item->GetWideText().GetString()) : std::wstring();
    }
};

TEST_F(TrayPaneCommands, FloatPaneMakesThePaneAnewAndBringsItForward)
{
    Copy(L"listed in the pane");
    CSCVFloatPane& pane = m_window->GetFloatPane();
    ASSERT_TRUE(m_window->ShowFloatPane());
    EXPECT_TRUE(scvtest::PumpUntil([&] { return pane.GetRowCount() == 1; }, kTimeoutMs))
        << "the pane opened by the program lists the captured item";
    const HWND first = pane.m_hWnd;
    pane.ShowWindow(SW_HIDE); // a pane the user cannot find

    Command(ID_TRAY_FLOAT_PANE);
    ASSERT_NE(pane.m_hWnd, nullptr);
    EXPECT_NE(pane.m_hWnd, first) << "made anew";
    EXPECT_FALSE(::IsWindow(first));
    EXPECT_TRUE(pane.IsWindowVisible());
    EXPECT_TRUE(scvtest::PumpUntil([&] { return ::GetForegroundWindow() == pane.m_hWnd; }, kTimeoutMs));
    EXPECT_EQ(pane.GetRowCount(), 1) << "and lists the history again";
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, APaneOffEveryMonitorComesBackOnScreen)
{
    CSCVFloatPane& pane = m_window->GetFloatPane();
    // A point stored under another layout (a monitor removed since).
    GetSettings().SetPoint(CSCVFloatPane::kPositionName, POINT{-4000, -3000});
    ASSERT_TRUE(m_window->ShowFloatPane());
    EXPECT_TRUE(OnSomeMonitor(pane.m_hWnd)) << "creation puts it on the nearest monitor";

    pane.SetWindowPos(nullptr, 9000, -2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_FALSE(OnSomeMonitor(pane.m_hWnd));
    CMenuHolder loaded(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    ::SendMessageW(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(loaded, 0)), 0);
    EXPECT_TRUE(OnSomeMonitor(pane.m_hWnd)) << "opening the tray menu pulls it back";
    EXPECT_TRUE(pane.IsWindowVisible());
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, HistoryPopupChecksTheItemOnTheClipboard)
{
    Copy(L"older copy");
    Copy(L"newest copy");
    // The user copies the older one again in another program: the watcher keeps it as the newest.
    ASSERT_TRUE(scvtest::SetClipboardText(L"older copy"));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return ItemText(0) == L"older copy"; }, kTimeoutMs));
    ASSERT_EQ(Count(), 2);

    CMenuHolder loaded(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    HMENU menu = ::GetSubMenu(loaded, 0);
    HMENU popup = nullptr;
    for (int i = 0; i < ::GetMenuItemCount(menu) && !popup; ++i) {
        HMENU sub = ::GetSubMenu(menu, i);
        if (sub && ::GetMenuState(sub, ID_TRAY_HISTORY_KEEP, MF_BYCOMMAND) != static_cast<UINT>(-1))
            popup = sub;
    }
    ASSERT_NE(popup, nullptr);
    const int fixed = ::GetMenuItemCount(popup);
    ::SendMessageW(Window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    ASSERT_EQ(::GetMenuItemCount(popup), fixed + 1 + Count());
    EXPECT_EQ(::GetMenuItemID(popup, fixed), 0u) << "a separator before the items";
    int checked = -1;
    for (int i = 0; i < Count(); ++i)
        if (::GetMenuState(popup, kTrayHistoryFirstId + i, MF_BYCOMMAND) & MF_CHECKED)
            checked = i;
    ASSERT_EQ(checked, 0) << "the item now on the clipboard, the newest, is checked";
    wchar_t caption[100] = {};
    ::GetMenuStringW(popup, kTrayHistoryFirstId + checked, caption, 100, MF_BYCOMMAND);
    EXPECT_NE(std::wstring(caption).find(L"older copy"), std::wstring::npos) << caption;
    EXPECT_EQ(::GetMenuDefaultItem(popup, FALSE, 0), kTrayHistoryFirstId + checked) << "and the default";
}

TEST_F(TrayPaneCommands, PhraseMenuFromThePaneLeavesThePaneAsItsCaption)
{
    CSCVFloatPane& pane = m_window->GetFloatPane();
    ASSERT_TRUE(m_window->ShowFloatPane());
    pane.SetCaptionOnlyEx(0, 0, TRUE);
    scvtest::PumpFor(200);
    pane.SetCaptionOnlyEx(0, 0, TRUE);
    ASSERT_FALSE(pane.IsCaptionOnly());
    Command(kPaneCmdPhraseMenu);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return pane.IsCaptionOnly(); }, kTimeoutMs));
    EXPECT_TRUE(pane.IsWindowVisible());
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, CheckForUpdatesWithoutAConnectionAsksFirst)
{
    m_window->SetConnectionProbe([] { return false; });
    scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit quick(500); // the box is closed: Cancel
    const std::wstring text = BoxOfCommand(ID_TRAY_CHECK_FOR_UPDATES);
    ASSERT_FALSE(text.empty()) << "a box asks";
    EXPECT_NE(text.find(L"Check For Updates"), std::wstring::npos) << scvtest::WideToUtf8(text);
    EXPECT_NE(text.find(L"No has connection to Intenet. Continue?"), std::wstring::npos);
    scvtest::PumpFor(300);
    EXPECT_FALSE(m_window->GetTrayAnimation().IsRunning()) << "Cancel starts no check";
    m_window->SetConnectionProbe(nullptr);
}

TEST_F(TrayPaneCommands, TheUpdateWindowDoesNotHoldTheCheck)
{
    CUpdateInfo info(0);
    info.error = L"The update server did not answer";
    std::atomic<bool> returned{false};
    std::atomic<bool> returnedWhileOpen{false};
    std::thread check([&] {
        {
            const CHandOverScope handOver(HandOverKind::UpdateResult, &info, sizeof(info));
            ::SendMessageW(Window(), WM_SCV_UPDATE_CHECK_RESULT, 0, reinterpret_cast<LPARAM>(&info));
        }
        returned = true;
    });
    // The window is modal on this thread: another thread watches it and closes it.
    std::thread watcher([&] {
        for (int i = 0; i < 500; ++i) {
            HWND open = CUpdateCheckWindow::GetOpenUpdateCheckWindow();
            if (open && returned) {
                returnedWhileOpen = true;
                ::PostMessageW(open, WM_CLOSE, 0, 0);
                return;
            }
            ::Sleep(20);
        }
    });
    scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return returned && returnedWhileOpen; }, kTimeoutMs));
    watcher.join();
    check.join();
    EXPECT_TRUE(returnedWhileOpen) << "the check went on while the window was open";
    scvtest::PumpUntil([] { return CUpdateCheckWindow::GetOpenUpdateCheckWindow() == nullptr; }, kTimeoutMs);
}

namespace
{

// What the program asked of the shell: the balloon calls (NIF_INFO) of Shell_NotifyIconW with their
// records and results.
struct NotifyIconCall
{
    DWORD message = 0;
    NOTIFYICONDATAW record{};
    BOOL result = FALSE;
};
std::mutex g_notifyMutex;
std::vector<NotifyIconCall> g_balloonCalls;
// The real function, kept after the patch is gone (a call may still be on its way through the recorder).
decltype(&::Shell_NotifyIconW) g_realShellNotifyIcon = nullptr;

BOOL WINAPI RecordingShellNotifyIcon(DWORD message, PNOTIFYICONDATAW record)
{
    const BOOL result = g_realShellNotifyIcon(message, record);
    if (record && (record->uFlags & NIF_INFO)) {
        std::lock_guard lock(g_notifyMutex);
        g_balloonCalls.push_back({message, *record, result});
    }
    return result;
}

std::vector<NotifyIconCall> BalloonCalls()
{
    std::lock_guard lock(g_notifyMutex);
    return g_balloonCalls;
}

} // namespace

TEST_F(TrayPaneCommands, CheckForUpdatesShowsItsBalloonWhileTheCheckRuns)
{
    // The check asks a local server that holds its answer until the test lets it go.
    scvtest::LocalHttpServer server;
    scvtest::HttpResponse held;
    held.hang = true;
    server.SetResponse("/Source/update_scv.php", held);
    CSCVUrl::SetSiteRoot(server.Root().c_str());
    m_window->SetConnectionProbe([] { return true; });
    ASSERT_TRUE(scvtest::PumpUntil([&] { return ShellShowsTheTrayIcon(); }, kTimeoutMs))
        << "the tray icon is there to carry the balloon";
    scvtest::ImportPatch patch(::GetModuleHandleW(nullptr), "shell32.dll", "Shell_NotifyIconW",
                               reinterpret_cast<void*>(&RecordingShellNotifyIcon));
    ASSERT_TRUE(patch.Applied());
    g_realShellNotifyIcon = patch.Original<decltype(&::Shell_NotifyIconW)>();
    {
        std::lock_guard lock(g_notifyMutex);
        g_balloonCalls.clear();
    }

    Command(ID_TRAY_CHECK_FOR_UPDATES);
    const std::vector<NotifyIconCall> shown = BalloonCalls();
    ASSERT_EQ(shown.size(), 1u) << "one balloon asked of the shell";
    const NotifyIconCall& balloon = shown.front();
    EXPECT_EQ(balloon.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(balloon.result) << "the shell took it";
    EXPECT_EQ(std::wstring(balloon.record.szInfo), L"Check For Updates");
    EXPECT_EQ(balloon.record.uTimeout, 30000u);
    EXPECT_EQ(balloon.record.dwInfoFlags & NIIF_ICON_MASK, static_cast<DWORD>(NIIF_INFO));
    EXPECT_EQ(balloon.record.hWnd, m_window->GetTrayIconRecord().hWnd) << "on the program's own icon";
    EXPECT_EQ(balloon.record.uID, m_window->GetTrayIconRecord().uID);
    EXPECT_TRUE(m_window->GetTrayAnimation().IsRunning());
    EXPECT_TRUE(
        scvtest::PumpUntil([&] { return server.CountRequests("/Source/update_scv.php") == 1; }, kTimeoutMs))
        << "the check went to the configured site";

    // The server gives up: the check ends, the balloon goes and the update window tells the user.
    scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit quick(500);
    server.Stop();
    EXPECT_TRUE(scvtest::PumpUntil(
        [&] {
            const std::vector<NotifyIconCall> calls = BalloonCalls();
            return calls.size() > 1 && calls.back().message == NIM_MODIFY &&
                   calls.back().record.uID == balloon.record.uID && calls.back().record.szInfo[0] == L'\0';
        },
        20000))
        << "the balloon is taken away";
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !m_window->GetTrayAnimation().IsRunning(); }, kTimeoutMs));
    EXPECT_TRUE(scvtest::PumpUntil([] { return scvtest::DialogWatchdog::TakeLastClosedText().has_value(); },
                                   kTimeoutMs))
        << "the update window showed";
    scvtest::PumpUntil([] { return CUpdateCheckWindow::GetOpenUpdateCheckWindow() == nullptr; }, kTimeoutMs);
    m_window->SetConnectionProbe(nullptr);
    CSCVUrl::SetSiteRoot(nullptr);
}

TEST_F(TrayPaneCommands, CopyOfAnRtfItemPutsItsPlainTextBeside)
{
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Bold \\b words\\b0 here\\par}";
    const int before = Count();
    ASSERT_TRUE(PutClipboardData(GetRtfClipboardFormat(), rtf.c_str(), rtf.size() + 1)) << "RTF alone";
    ASSERT_TRUE(scvtest::PumpUntil([&] { return Count() > before; }, kTimeoutMs));
    ASSERT_EQ(m_window->GetClipboardHistory().GetQueue().GetItem(0)->GetType(), CHT_RTF);
    CSCVFloatPane& pane = OpenPane();
    ASSERT_TRUE(pane.CopyRowToClipboard(0, false));

    EXPECT_TRUE(::IsClipboardFormatAvailable(GetRtfClipboardFormat()));
    CString text;
    ASSERT_TRUE(GetClipboardUnicodeText(text)) << "a plain editor pastes text";
    EXPECT_EQ(text.Find(L"Bold words"), 0) << scvtest::WideToUtf8(text.GetString());
    EXPECT_EQ(text.Find(L"rtf1"), -1);
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, DeleteRemovesTheSelectedItemWhenACaptureArrivesDuringItsBox)
{
    Copy(L"keep me");
    Copy(L"delete me");
    Copy(L"keep me too");
    CSCVFloatPane& pane = OpenPane();
    ASSERT_EQ(pane.GetRowCount(), 3);
    pane.SendMessageW(CSCVFloatPane::WM_PANE_SELECT, 1, 0);
    ASSERT_EQ(pane.GetRowText(pane.GetSelectionMark()), L"delete me");

    std::atomic<bool> confirmed{false};
    std::thread user([&] {
        HWND box =
            scvtest::WaitForDialog(L"Scrivolanter : Delete", kTimeoutMs, ::GetCurrentProcessId(), true);
        if (!box)
            return;
        scvtest::SetClipboardText(L"captured meanwhile");
        // The box's loop lets the capture in: the pane lists it (asked through its window).
        const DWORD start = ::GetTickCount();
        while (pane.GetRowCount() < 4 && ::GetTickCount() - start < kTimeoutMs)
            ::Sleep(20);
        if (pane.GetRowCount() < 4) {
            scvtest::PressDialogButton(box, IDCANCEL);
            return;
        }
        confirmed = scvtest::PressDialogButton(box, IDOK);
    });
    // From the Delete key: the box asks first.
    pane.SendMessageW(WM_COMMAND, MAKEWPARAM(kPaneCmdDelete, 1), 0);
    user.join();
    ASSERT_TRUE(confirmed) << "no capture arrived while the box was open";
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(ItemText(0), L"captured meanwhile");
    EXPECT_EQ(ItemText(1), L"keep me too");
    EXPECT_EQ(ItemText(2), L"keep me");
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, TheSelectionFollowsItsItemWhenACaptureArrives)
{
    Copy(L"older");
    Copy(L"to protect");
    CSCVFloatPane& pane = OpenPane();
    pane.SendMessageW(CSCVFloatPane::WM_PANE_SELECT, 0, 0);
    ASSERT_EQ(pane.GetRowText(pane.GetSelectionMark()), L"to protect");
    Copy(L"newest capture");
    EXPECT_EQ(pane.GetRowText(pane.GetSelectionMark()), L"to protect") << "the mark moved down with it";
    ASSERT_EQ(pane.GetSelectedCount(), 1);

    pane.SendMessageW(WM_COMMAND, kPaneCmdProtect, 0);
    const CCHQueue& queue = m_window->GetClipboardHistory().GetQueue();
    EXPECT_TRUE(queue.GetItem(1)->IsProtected()) << scvtest::WideToUtf8(ItemText(1));
    EXPECT_FALSE(queue.GetItem(0)->IsProtected());
    EXPECT_FALSE(queue.GetItem(2)->IsProtected());
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, TrimAndJoinSayHowMuchTheyChangedTheSelectedItem)
{
    const struct
    {
        const wchar_t* copied;
        UINT command;
        const wchar_t* said;
        const wchar_t* result;
    } cases[] = {
        {L" \t padded \r\n\n", kPaneCmdTrim, L"Removed chars: 7", L"padded"},
        {L"one\r\ntwo\r\nthree\r\n", kPaneCmdJoin, L"Joined lines: 3", L"one two three"},
        {L"nothing to join", kPaneCmdJoin, L"Joined lines: 0", L"nothing to join"},
    };
    for (const auto& each : cases) {
        const std::wstring newer = std::wstring(L"newer than ") + each.copied;
        Copy(each.copied);
        Copy(newer.c_str());
        CSCVFloatPane& pane = OpenPane();
        pane.SendMessageW(CSCVFloatPane::WM_PANE_SELECT, 1, 0);
        scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
        scvtest::DialogWatchdog::ScopedLimit quick(300);
        pane.SendMessageW(WM_COMMAND, each.command, 0);
        const std::optional<std::wstring> said = scvtest::DialogWatchdog::TakeLastClosedText();
        ASSERT_TRUE(said.has_value()) << scvtest::WideToUtf8(each.said);
        EXPECT_NE(said->find(each.said), std::wstring::npos) << scvtest::WideToUtf8(*said);
        EXPECT_EQ(ItemText(1), each.result);
        EXPECT_EQ(std::wstring(pane.GetRowText(1).GetString()), ItemText(1))
            << "the pane shows the changed item";
        EXPECT_EQ(ItemText(0), newer) << "the item not selected stays as it was";
        pane.DestroyWindow();
    }
}

TEST_F(TrayPaneCommands, RunStartsTheRowAsAProgramWithItsParametersOrSaysWhyNot)
{
    scvtest::TempFolder folder;
    const std::wstring file = folder.WriteUtf16(L"pane_run_target.txt", L"run me");
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    Copy((std::wstring(system) + L"\\notepad.exe " + file).c_str());
    CSCVFloatPane& pane = OpenPane();
    pane.RefreshIfOpen();
    pane.SendMessageW(CSCVFloatPane::WM_PANE_SELECT, 0, 0);
    pane.SendMessageW(WM_COMMAND, kPaneCmdRun, 0);
    HWND editor = nullptr;
    ASSERT_TRUE(scvtest::PumpUntil(
        [&] { return (editor = scvtest::FindTopWindowWithTitle(L"pane_run_target")) != nullptr; }, kTimeoutMs))
        << "the program got the file as its parameter";
    EXPECT_EQ(scvtest::ControlText(::FindWindowExW(editor, nullptr, L"Edit", nullptr)), L"run me");
    scvtest::CloseWindowAndItsProcess(editor, kTimeoutMs);

    Copy(L"no_such_program_here.exe /x");
    pane.RefreshIfOpen();
    pane.SendMessageW(CSCVFloatPane::WM_PANE_SELECT, 0, 0);
    scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit quick(300);
    pane.SendMessageW(WM_COMMAND, kPaneCmdRun, 0);
    const std::optional<std::wstring> said = scvtest::DialogWatchdog::TakeLastClosedText();
    ASSERT_TRUE(said.has_value()) << "a command that cannot start is reported";
    EXPECT_NE(said->find(L"Command: [no_such_program_here.exe /x]"), std::wstring::npos)
        << scvtest::WideToUtf8(*said);
    EXPECT_NE(said->find(L"Command Lenght: 27"), std::wstring::npos) << scvtest::WideToUtf8(*said);
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, EditOfAnItemWithoutAFileTypeOpensNothingAndSaysSo)
{
    auto page = std::make_unique<CCHItem>(CHT_HTML, nullptr);
    page->SetDataCopy("<p>page</p>", 12);
    m_window->GetClipboardHistory().GetQueue().Add(page, 10);
    CSCVFloatPane& pane = OpenPane();
    pane.RefreshIfOpen();
    pane.SendMessageW(CSCVFloatPane::WM_PANE_SELECT, 0, 0);
    scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit quick(300);
    pane.SendMessageW(WM_COMMAND, kPaneCmdEdit, 0);
    const std::optional<std::wstring> said = scvtest::DialogWatchdog::TakeLastClosedText();
    ASSERT_TRUE(said.has_value());
    EXPECT_NE(said->find(L"no file type"), std::wstring::npos) << scvtest::WideToUtf8(*said);
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, ThePanesMenusNameTheHotKeyAndShowTheSoundSwitches)
{
    CSettings& settings = GetSettings();
    const int key = settings.HotkeyVirtualKey;
    const int modifiers = settings.HotkeyModifiers;
    const int sounds = settings.SoundOnEventsV094;
    settings.HotkeyVirtualKey = VK_F9;
    settings.HotkeyModifiers = MOD_SHIFT;
    const CString hotKey = GetConfiguredHotKeyText();
    ASSERT_FALSE(hotKey.IsEmpty());
    CSCVFloatPane& pane = OpenPane();

    const CString caption = CSCVFloatPane::BuildCaptionTipText(false);
    EXPECT_NE(caption.Find(L"[" + hotKey + L"]"), -1) << scvtest::WideToUtf8(caption.GetString());
    EXPECT_EQ(caption.Find(L"Ctrl+Alt+Enter"), -1);
    EXPECT_EQ(caption.Find(GetShortVersionText() + L" - "), 0) << "the tip begins with the short version";
    EXPECT_NE(caption.Find(L"\x00ABRun As Administrator\x00BB"), -1) << scvtest::WideToUtf8(caption.GetString());
    EXPECT_EQ(caption.Find(L"Run second instance"), -1) << "the tray menu's caption, not the tip's text";

    for (int on : {1, 0}) {
        settings.SoundOnEventsV094 = on;
        bool created = false;
        int addedFrom = 0;
        HMENU languages = nullptr;
        HMENU menu = pane.GetToolBar().BuildContextMenu(created, addedFrom, languages);
        ASSERT_NE(menu, nullptr);
        wchar_t text[200] = {};
        ::GetMenuStringW(menu, kPaneCmdPhraseMenu, text, 200, MF_BYCOMMAND);
        EXPECT_NE(std::wstring(text).find(L"\t" + std::wstring(hotKey.GetString())), std::wstring::npos)
            << scvtest::WideToUtf8(text);
        const UINT soundState = ::GetMenuState(menu, kPaneCmdSounds, MF_BYCOMMAND);
        const UINT muteState = ::GetMenuState(menu, kPaneCmdMuteMode, MF_BYCOMMAND);
        EXPECT_EQ((soundState & MF_CHECKED) != 0, on == 1) << on;
        EXPECT_EQ((muteState & MF_GRAYED) != 0, on == 0) << "Mute Mode is grey while sounds are off";
        CFloatPaneToolBar::ReleaseContextMenu(menu, created, addedFrom);
    }
    // The edit button's drop-down takes the tray menu's texts.
    HMENU dropDown = pane.BuildEditDropDownMenu();
    ASSERT_NE(dropDown, nullptr);
    const auto textOf = [&](UINT id) {
        wchar_t text[200] = {};
        ::GetMenuStringW(dropDown, id, text, 200, MF_BYCOMMAND);
        return std::wstring(text);
    };
    EXPECT_EQ(textOf(32809), L"Save On Exit");
    EXPECT_EQ(textOf(32827), L"Float Panel On Start");
    EXPECT_EQ(textOf(32862), L"Pinned Mode On Start");
    EXPECT_EQ(textOf(32791), L"Check For Updates");
    ::DestroyMenu(dropDown);

    // The edit button's tip is what the menu tooltip says of the command.
    const std::wstring tipText = ButtonTip(pane, kPaneCmdEditPhrases);
    EXPECT_NE(tipText.find(L"Clipboard Tracking Method used"), std::wstring::npos)
        << scvtest::WideToUtf8(tipText);
    settings.HotkeyVirtualKey = key;
    settings.HotkeyModifiers = modifiers;
    settings.SoundOnEventsV094 = sounds;
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, AboutRestoresAMinimizedAboutWindow)
{
    std::atomic<bool> restored{false};
    const HWND tray = Window();
    WhileAboutIsOpen([&](HWND about) {
        ::ShowWindow(about, SW_MINIMIZE);
        ::PostMessageW(tray, WM_COMMAND, ID_TRAY_ABOUT, 0); // About again
        for (int i = 0; i < 250 && !restored; ++i) {
            ::Sleep(20);
            restored = !::IsIconic(about);
        }
    });
    EXPECT_TRUE(restored) << "the second About restores the minimized window";
}

TEST_F(TrayPaneCommands, RunAsAdministratorBringsThePaneForwardBeforeItStarts)
{
    CSCVFloatPane& pane = OpenPane();
    // The user works in another window.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 10, 10, 100, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    ::SetForegroundWindow(other);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return ::GetForegroundWindow() == other; }, kTimeoutMs));

    std::vector<HWND> owners;
    HWND foregroundAtStart = nullptr;
    HWND focusAtStart = nullptr;
    m_window->SetElevatedStarter([&](HWND owner) {
        owners.push_back(owner);
        foregroundAtStart = ::GetForegroundWindow();
        focusAtStart = ::GetFocus();
        return true;
    });
    Command(ID_SCV_RUN_AS_ADMIN);
    EXPECT_EQ(owners, std::vector<HWND>{Window()}) << "one elevated start, owned by the tray window";
    EXPECT_EQ(foregroundAtStart, pane.m_hWnd) << "the consent prompt comes up over the pane";
    EXPECT_TRUE(focusAtStart == pane.m_hWnd || ::IsChild(pane.m_hWnd, focusAtStart));
    m_window->SetElevatedStarter(nullptr);
    ::DestroyWindow(other);
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, OpenSettingsFileOpensTheSettingsFileAndSaysWhenItCannot)
{
    std::vector<std::wstring> opened;
    m_window->SetSettingsFileOpener([&](HWND owner, const CString& file) -> INT_PTR {
        EXPECT_EQ(owner, Window());
        opened.emplace_back(file.GetString());
        return 42;
    });
    scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit quick(300);
    Command(ID_TRAY_OPEN_SETTINGS_FILE);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], std::wstring(CSettingsFiles().GetSettingsFilePath().GetString()));
    EXPECT_FALSE(scvtest::DialogWatchdog::TakeLastClosedText().has_value()) << "no box when it opened";

    // The shell cannot open it: the system's reason in an error box.
    m_window->SetSettingsFileOpener([](HWND, const CString&) -> INT_PTR {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return SE_ERR_ACCESSDENIED;
    });
    const std::wstring text = BoxOfCommand(ID_TRAY_OPEN_SETTINGS_FILE);
    ASSERT_FALSE(text.empty()) << "a box says so";
    CString reason = GetSystemErrorText(ERROR_ACCESS_DENIED);
    reason.Trim();
    EXPECT_NE(text.find(reason.GetString()), std::wstring::npos) << scvtest::WideToUtf8(text);
    m_window->SetSettingsFileOpener(nullptr);
}

TEST_F(TrayPaneCommands, ReKeepFromThePanesMenuRestartsTheWatcher)
{
    CSCVFloatPane& pane = OpenPane();
    bool created = false;
    int addedFrom = 0;
    HMENU languages = nullptr;
    HMENU menu = pane.GetToolBar().BuildContextMenu(created, addedFrom, languages);
    ASSERT_NE(menu, nullptr);
    wchar_t caption[100] = {};
    ::GetMenuStringW(menu, kPaneCmdReKeep, caption, 100, MF_BYCOMMAND);
    EXPECT_STREQ(caption, L"Re-Keep") << "the tray menu's caption";
    // Right after Clear, as the table puts it.
    int position = -1;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
        if (::GetMenuItemID(menu, i) == kPaneCmdReKeep)
            position = i;
    ASSERT_GT(position, 0);
    EXPECT_EQ(::GetMenuItemID(menu, position - 1), static_cast<UINT>(kPaneCmdClear));
    CFloatPaneToolBar::ReleaseContextMenu(menu, created, addedFrom);

    const HWND before = m_window->GetClipboardHistory().GetWatcher().GetWindow();
    // What the context menu does with the choice.
    pane.SendMessageW(WM_SYSCOMMAND, kPaneCmdReKeep, 0);
    EXPECT_TRUE(scvtest::PumpUntil(
        [&] {
            const HWND now = m_window->GetClipboardHistory().GetWatcher().GetWindow();
            return now && now != before && m_window->GetHistory().IsCapturing();
        },
        kTimeoutMs))
        << "a new watcher runs";
    Copy(L"captured after the restart");
    EXPECT_EQ(ItemText(0), L"captured after the restart");
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, ThePinButtonsTipComesFromTheLanguageFile)
{
    scvtest::TempFolder folder;
    const std::wstring file = folder.PathOf(L"Pane.lng");
    SetLanguageFileForStrings(file.c_str(), GetLocalizerClientSuffix());
    ASSERT_TRUE(
        WriteLanguageText(file.c_str(), GetStringsSectionName(), L"32820", L"Bleibt offen\\nAngeheftet"));
    CSCVFloatPane& pane = OpenPane();
    EXPECT_EQ(ButtonTip(pane, kPaneCmdPin), L"Angeheftet");
    // The title the button's tip shows is the menu tooltip's text of the command.
    EXPECT_EQ(m_window->GetMenuToolTip()->GetCommandTipText(kPaneCmdPin), CString(L"Bleibt offen"));
    SetCurrentLanguageFilePath(L"");
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, TheCopyTipIsNamedByThePanesCopyItemNotByThePhraseMenusDocumentKind)
{
    Copy(L"the item under the selection");
    CSCVFloatPane& pane = OpenPane();
    CMenuToolTipSCVClient* tip = m_window->GetMenuToolTip();
    ASSERT_NE(tip, nullptr);
    CString title;
    const CString copy = tip->BuildTipText(kPaneCmdCopy, nullptr, title);
    EXPECT_EQ(copy.Find(L"Copy"), 0) << scvtest::WideToUtf8(copy.GetString());
    EXPECT_EQ(copy.Find(L"Ovelline"), -1) << scvtest::WideToUtf8(copy.GetString());
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, TipsOfTheAboutCopyMenuAndOfUndoSayWhatTheyTouch)
{
    CMenuToolTipSCVClient* tip = m_window->GetMenuToolTip();
    ASSERT_NE(tip, nullptr);
    CString title;
    const CString zip = tip->BuildTipText(259, nullptr, title);
    EXPECT_EQ(zip.Find(L"ZIP The Log File and settings file"), 0) << scvtest::WideToUtf8(zip.GetString());
    EXPECT_NE(zip.Find(L"\n\n  "), -1);
    EXPECT_NE(zip.Find(GetSettings().GetFiles().GetSettingsFilePath()), -1) << "names the settings file";
    EXPECT_EQ(zip.Find(L"Chars"), -1) << "not the text of string 259";
    EXPECT_EQ(tip->BuildTipText(1002, nullptr, title),
              CString(L"Copy the whole report to the clipboard as text"));

    // No undo record: the pool hint only.
    CString undo = tip->BuildTipText(kPaneCmdUndo, nullptr, title);
    EXPECT_EQ(undo.Find(L" ago: "), -1) << scvtest::WideToUtf8(undo.GetString());
    EXPECT_NE(undo.Find(L"Right click on this menu item to control of undo pool"), -1);

    Copy(L"first");
    Copy(L"second");
    Command(ID_TRAY_HISTORY_CLEAR);
    ASSERT_EQ(Count(), 0);
    CString recordText;
    int tick = 0;
    ASSERT_TRUE(m_window->GetClipboardHistory().GetQueue().Get_Latest_Undo_Info(recordText, tick));
    undo = tip->BuildTipText(kPaneCmdUndo, nullptr, title);
    const int ago = undo.Find(L" ago: " + recordText);
    ASSERT_GT(ago, 0) << scvtest::WideToUtf8(undo.GetString());
    EXPECT_NE(undo[ago - 1], L'\n') << "the age leads the line";
    EXPECT_LT(undo.Find(L" ago: "), undo.Find(L"Right click on this menu item"));
}

TEST_F(TrayPaneCommands, TheAboutWindowsCopyMenuShowsTheTraysTips)
{
    CMenuToolTipSCVClient* tip = m_window->GetMenuToolTip();
    ASSERT_NE(tip, nullptr);
    tip->SetDisabled(false);
    std::atomic<UINT> selected{0};
    std::atomic<bool> active{false};
    // The user moves over the ZIP item of the About window's Copy menu.
    WhileAboutIsOpen([&](HWND about) {
        HMENU menu = ::CreatePopupMenu();
        ::AppendMenuW(menu, MF_STRING, 259, L"ZIP");
        ::SendMessageW(about, WM_MENUSELECT, MAKEWPARAM(259, MF_STRING), reinterpret_cast<LPARAM>(menu));
        selected = tip->GetCurrentId();
        for (int i = 0; i < 250 && !active; ++i) {
            ::Sleep(20);
            active = scvtest::ToolTipShows(tip->GetTipWindow());
        }
        ::SendMessageW(about, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        ::DestroyMenu(menu);
    });
    EXPECT_EQ(selected.load(), 259u) << "the About window's menu reaches the tray's tip";
    EXPECT_TRUE(active) << "and it shows";
    const std::wstring shown = scvtest::ToolTipText(tip->GetTipWindow());
    EXPECT_EQ(shown.rfind(L"ZIP The Log File and settings file", 0), 0u) << scvtest::WideToUtf8(shown);
}

TEST_F(TrayPaneCommands, OpenSourceAddressTipNamesTheProgramThatOpensItWithItsIcon)
{
    auto page = std::make_unique<CCHItem>(CHT_HTML, nullptr);
    page->SetDataCopy("<p>page</p>", 12);
    page->SetUrl(L"http://example.test/page");
    m_window->GetClipboardHistory().GetQueue().Add(page, 10);
    CSCVFloatPane& pane = OpenPane();
    pane.RefreshIfOpen();
    pane.SendMessageW(CSCVFloatPane::WM_PANE_SELECT, 0, 0);
    const CString program = GetOpenWithProgramForCurrentItem();
    if (program.IsEmpty())
        GTEST_SKIP() << "the system names no browser";
    CMenuToolTipSCVClient* tip = m_window->GetMenuToolTip();
    CString title;
    const CString text = tip->BuildTipText(kPaneCmdOpenSourceUrl, nullptr, title);
    EXPECT_NE(text.Find(L"\n\n " + program), -1) << scvtest::WideToUtf8(text.GetString());
    EXPECT_NE(text.Find(L"http://example.test/page"), -1) << "and the address";
    HICON expected = GetFileTypeIcon(program, false);
    EXPECT_EQ(IconImage(reinterpret_cast<HICON>(tip->GetTitleIcon(kPaneCmdOpenSourceUrl))),
              IconImage(expected));
    if (expected)
        ::DestroyIcon(expected);
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, EachTipShowsTheIconItsCommandNames)
{
    CMenuToolTipSCVClient* tip = m_window->GetMenuToolTip();
    ASSERT_NE(tip, nullptr);
    const auto shown = [&](UINT id) { return reinterpret_cast<HICON>(tip->GetTitleIcon(id)); };
    const std::vector<DWORD> program = IconImage(shown(57664));
    ASSERT_FALSE(program.empty()) << "About shows the program icon";
    const struct
    {
        UINT command;
        UINT icon;
    } resources[] = {
        {32796, 211}, {57665, 211}, {32794, 206}, {32791, 234}, {32786, 225}, {32819, 225}, {32856, 225},
        {32860, 246}, {32851, 247}, {32840, 230}, {32842, 239}, {32843, 240}, {32820, 241}, {32862, 241},
        {32798, 212}, {32821, 204}, {1002, 215},  {32864, 215}, {32849, 223},
    };
    for (const auto& row : resources) {
        const std::vector<DWORD> image = IconImage(shown(row.command));
        EXPECT_EQ(image, ResourceImageLike(shown(row.command), row.icon)) << row.command;
        EXPECT_NE(image, program) << row.command;
    }
    EXPECT_EQ(IconImage(shown(32829)), ResourceImageLike(shown(32829), 249)) << "the elevated program's icon";
    // A grey copy of the collapse icon; the type icon of ZIP files.
    EXPECT_NE(IconImage(shown(32859)), IconImage(shown(32858)));
    EXPECT_NE(IconImage(shown(32859)), program);
    HICON zip = GetFileTypeIcon(L".zip", false);
    EXPECT_EQ(IconImage(shown(259)), IconImage(zip));
    if (zip)
        ::DestroyIcon(zip);
    // Icons of system programs, where the system has them.
    for (const wchar_t* name : {L"winver.exe", L"cmd.exe"}) {
        wchar_t system[MAX_PATH] = {};
        ::GetSystemDirectoryW(system, MAX_PATH);
        if (::GetFileAttributesW((std::wstring(system) + L"\\" + name).c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        const UINT command = std::wstring(name) == L"cmd.exe" ? 32865u : 32774u;
        EXPECT_NE(IconImage(shown(command)), program) << scvtest::WideToUtf8(name);
    }
    // Commands without an icon of their own show the program's.
    EXPECT_EQ(IconImage(shown(32775)), program);

    // The phrase menu's tip.
    CMenuTrackerToolTip tracker;
    const auto tracked = [&](UINT id) { return reinterpret_cast<HICON>(tracker.GetTitleIcon(id)); };
    const struct
    {
        UINT command;
        UINT icon;
    } trackerResources[] = {{32834, 230}, {32835, 231}, {32836, 240},
                            {32837, 239}, {32806, 234}, {32864, 215}};
    for (const auto& row : trackerResources)
        EXPECT_EQ(IconImage(tracked(row.command)), ResourceImageLike(tracked(row.command), row.icon))
            << row.command;
    HICON folderIcon = GetStockFolderIcon(false, false);
    EXPECT_EQ(IconImage(tracked(32846)), IconImage(folderIcon));
    if (folderIcon)
        ::DestroyIcon(folderIcon);
}

} // namespace
