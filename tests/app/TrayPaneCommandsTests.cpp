// test-locks: appevents desktop clipboard sharedlog
// test-run-serial
// test-sources: ../../resources/Scrivolanter.rc
// The tray window's commands for the floating pane, the history pop-up and the
// update check, over the real clipboard watcher: what the user copies is
// captured, the pane lists it, and the commands act on what the user sees.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "FolderSettings.h"
#include "app/CommandLineArgs.h"
#include "app/SCVTrayWnd.h"
#include "common/HotKeyText.h"
#include "common/MenuLocalizer.h"
#include "common/Settings.h"
#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardAccess.h"
#include "menus/SCVFloatPane.h"
#include "online/AboutReportDlg.h"
#include "online/UpdateCheckWindow.h"
#include "online/UpdateInfo.h"
#include "resources/TrayMenuRes.h"
#include "support/DialogWatchdog.h"
#include "support/Dialogs.h"
#include "support/MessagePump.h"
#include "support/TestFiles.h"

namespace
{

constexpr DWORD kTimeoutMs = 10000;

class TrayPaneEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        scvtest::TempFolder& folder = scvtest::SettingsFolder();
        folder.WriteUtf16(L"Settings.ini", L"[Settings]\r\nSCVVersion=SCV_150\r\n");
        folder.CreateSubfolder(L"Phrases");
        CSettings& settings = scvtest::UseQuietFolderSettings(folder.PathOf(L"Phrases"));
        settings.ClipboardHistory = 1;
        settings.SaveClipboardHistory_v198 = 0;
        settings.Pinned_FloatPane_On_Start = 0;
    }
};

const testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new TrayPaneEnvironment);

bool OnSomeMonitor(HWND window)
{
    RECT rect{};
    return ::GetWindowRect(window, &rect) && ::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr &&
           rect.left >= 0 && rect.top >= 0;
}

class TrayPaneCommands : public testing::Test
{
protected:
    void SetUp() override
    {
        m_args = std::make_unique<CCommandLineArgs>(L"/noinstall");
        m_args->Parse();
        m_stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_window = std::make_unique<CSCVTrayWnd>(TrayWindowStartRecord{m_stopEvent, m_args.get(), true});
        ASSERT_TRUE(m_window->Create(nullptr));
        ASSERT_TRUE(scvtest::PumpUntil([&] { return m_window->GetHistory().IsCapturing(); }, kTimeoutMs))
            << "the watcher runs";
        m_window->GetClipboardHistory().GetQueue().Clear(CString());
        m_window->GetClipboardHistory().GetQueue().ClearUndo();
    }

    void TearDown() override
    {
        m_window.reset();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    HWND Window() const { return m_window->m_hWnd; }
    void Command(UINT id) const { ::SendMessageW(Window(), WM_COMMAND, id, 0); }
    int Count() const { return m_window->GetHistory().GetCount(); }

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

    std::unique_ptr<CCommandLineArgs> m_args;
    std::unique_ptr<CSCVTrayWnd> m_window;
    HANDLE m_stopEvent = nullptr;
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
    // The user put the older one back from elsewhere: the watcher keeps it as the newest.
    ASSERT_TRUE(PutClipboardUnicodeText(L"older copy"));
    scvtest::PumpFor(300);

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
    ASSERT_GE(checked, 0) << "the item now on the clipboard is checked";
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
    ::PostMessageW(Window(), WM_COMMAND, ID_TRAY_CHECK_FOR_UPDATES, 0);
    std::wstring text;
    ASSERT_TRUE(scvtest::PumpUntil(
        [&] {
            if (auto closed = scvtest::DialogWatchdog::TakeLastClosedText())
                text = *closed;
            return !text.empty();
        },
        kTimeoutMs))
        << "a box asks";
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
        ::SendMessageW(Window(), WM_SCV_UPDATE_CHECK_RESULT, 0, reinterpret_cast<LPARAM>(&info));
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
        PutClipboardUnicodeText(L"captured meanwhile");
        ::Sleep(700); // the box's loop lets the capture in
        confirmed = scvtest::PressDialogButton(box, IDOK);
    });
    // From the Delete key: the box asks first.
    pane.SendMessageW(WM_COMMAND, MAKEWPARAM(kPaneCmdDelete, 1), 0);
    user.join();
    ASSERT_TRUE(confirmed);
    scvtest::PumpFor(200);
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
    EXPECT_EQ(textOf(32827), L"Float Pane On Start");
    EXPECT_EQ(textOf(32862), L"Pinned Mode On Start");
    EXPECT_EQ(textOf(32791), L"Check For Updates");
    ::DestroyMenu(dropDown);

    // The edit button's tip is what the menu tooltip says of the command.
    wchar_t tipText[1024] = {};
    NMTBGETINFOTIPW tip{};
    tip.hdr.hwndFrom = pane.GetToolBar().m_hWnd;
    tip.hdr.idFrom = CFloatPaneToolBar::kControlId;
    tip.hdr.code = TBN_GETINFOTIPW;
    tip.iItem = kPaneCmdEditPhrases;
    tip.pszText = tipText;
    tip.cchTextMax = 1024;
    pane.SendMessageW(WM_NOTIFY, CFloatPaneToolBar::kControlId, reinterpret_cast<LPARAM>(&tip));
    EXPECT_NE(std::wstring(tipText).find(L"Clipboard Tracking Method used"), std::wstring::npos)
        << scvtest::WideToUtf8(tipText);
    settings.HotkeyVirtualKey = key;
    settings.HotkeyModifiers = modifiers;
    settings.SoundOnEventsV094 = sounds;
    pane.DestroyWindow();
}

TEST_F(TrayPaneCommands, AboutRestoresAMinimizedAboutWindow)
{
    scvtest::DialogWatchdog::ScopedMode record(scvtest::DialogWatchdog::Mode::RecordOnly);
    std::atomic<bool> restored{false};
    std::atomic<bool> done{false};
    const HWND tray = Window();
    // The window is modal on this thread: another thread plays the user.
    std::thread user([&] {
        HWND about = nullptr;
        for (int i = 0; i < 500 && !(about = CAboutReportDlg::GetOpenAboutDialog()); ++i)
            ::Sleep(20);
        if (about) {
            ::ShowWindow(about, SW_MINIMIZE);
            ::PostMessageW(tray, WM_COMMAND, ID_TRAY_ABOUT, 0); // About again
            for (int i = 0; i < 250 && !restored; ++i) {
                ::Sleep(20);
                restored = !::IsIconic(about);
            }
            ::PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
        }
        done = true;
    });
    ::PostMessageW(tray, WM_COMMAND, ID_TRAY_ABOUT, 0);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return done.load(); }, 20000));
    user.join();
    EXPECT_TRUE(restored) << "the second About restores the minimized window";
    scvtest::PumpUntil([] { return CAboutReportDlg::GetOpenAboutDialog() == nullptr; }, kTimeoutMs);
}

} // namespace
