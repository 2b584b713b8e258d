// test-locks: desktop clipboard
// test-run-serial
// test-sources: ../../../menus/phrasemenu/PopupMenu.rc ../../../menus/floatpane/FloatPane.rc
// A real floating pane on a history the test fills: where it opens, how it
// shrinks to its caption and grows again, collapsing when it loses the
// activation, pinning, the list's Enter and delete rules, the item menu's
// enabling, the toolbar's counter and context menu, and screenshots of the
// pane expanded and as its caption (saved beside the test programs).

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "tests/app/FolderSettings.h"
#include "tests/menus/floatpane/PaneTestRig.h"
#include "common/Settings.h"
#include "common/MenuToolTip.h"
#include "menus/floatpane/SCVFloatPane.h"
#include "engine/ClipboardAccess.h"
#include "support/ChildProcess.h"
#include "support/MessagePump.h"
#include "support/Screenshot.h"
#include "support/ToolTipWindow.h"

namespace
{
// Generous: the slides run on threads that a loaded machine starves.
constexpr DWORD kWaitMs = 15000;

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

bool HasMenuItem(HMENU menu, UINT command)
{
    return GetMenuState(menu, command, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

bool IsGrey(HMENU menu, UINT command)
{
    return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

std::wstring ItemText(HMENU menu, UINT command)
{
    wchar_t text[300] = {};
    GetMenuStringW(menu, command, text, 299, MF_BYCOMMAND);
    return text;
}

BOOL CALLBACK FindOwnBox(HWND window, LPARAM found)
{
    wchar_t name[16] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId() && GetClassNameW(window, name, 16) && std::wstring(name) == L"#32770" &&
        IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// Presses a button of the next message box this process shows (within the time).
class BoxAnswer
{
public:
    explicit BoxAnswer(int button) : m_button(button), m_thread([this] { Run(); }) {}
    ~BoxAnswer()
    {
        m_stop = true;
        m_thread.join();
    }
    bool Answered() const { return m_answered; }

private:
    void Run()
    {
        const DWORD start = GetTickCount();
        while (!m_stop && GetTickCount() - start < 10000) {
            HWND box = nullptr;
            EnumWindows(&FindOwnBox, reinterpret_cast<LPARAM>(&box));
            if (box) {
                PostMessageW(box, WM_COMMAND, m_button, 0);
                m_answered = true;
                return;
            }
            Sleep(20);
        }
    }
    int m_button;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_answered{false};
    std::thread m_thread;
};

class FloatPane : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { scvtest::UseFolderSettings(); }

    void SetUp() override
    {
        const CString file = GetSettings().GetFiles().GetSettingsFilePath();
        WritePrivateProfileStringW(L"Settings_Agent", nullptr, nullptr, file.GetString());
        GetSettings().Pinned_FloatPane_On_Start = 0;
        other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 10, 300, 120, 60, nullptr,
                                nullptr, nullptr, nullptr);
        host.target = other;
    }
    void TearDown() override
    {
        pane.reset();
        DestroyWindow(other);
    }

    void Open(int rows = 0)
    {
        for (int i = 0; i < rows; ++i)
            history.AddText(L"item number " + std::to_wstring(rows - 1 - i));
        pane = std::make_unique<CSCVFloatPane>(&host);
        ASSERT_TRUE(pane->Create(&history, TRUE, FALSE));
    }
    // Waits for the posted collapse of a new pane and its slide.
    void WaitCollapsed()
    {
        ASSERT_TRUE(
            scvtest::PumpUntil([&] { return pane->IsCaptionOnly() && !pane->IsSlideRunning(); }, kWaitMs));
        scvtest::PumpFor(50);
    }
    void Expand()
    {
        WaitCollapsed();
        pane->SetCaptionOnly(0, 0);
        scvtest::PumpFor(30);
    }
    void Select(int row) { SendMessageW(pane->m_hWnd, CSCVFloatPane::WM_PANE_SELECT, row, 0); }
    void Command(UINT command, WORD code = 0)
    {
        SendMessageW(pane->m_hWnd, WM_COMMAND, MAKEWPARAM(command, code), 0);
    }
    void PressEnter() { SendMessageW(pane->GetListWindow(), WM_KEYDOWN, VK_RETURN, 0); }
    int Copies() const
    {
        int starts = 0;
        for (bool start : host.copySignals)
            starts += start ? 1 : 0;
        return starts;
    }

    scvtest::TestPaneHistory history;
    scvtest::TestPaneHost host;
    std::unique_ptr<CSCVFloatPane> pane;
    HWND other = nullptr;
};
} // namespace

TEST_F(FloatPane, OpensAtTheTopRightOrAtItsStoredPoint)
{
    Open();
    const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    RECT rect = WindowRect(pane->m_hWnd);
    EXPECT_EQ(rect.left, screenWidth - 300);
    EXPECT_EQ(rect.top, 40);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 170);
    EXPECT_TRUE(GetWindowLongPtrW(pane->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(pane->m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    pane.reset();

    GetSettings().SetPoint(CSCVFloatPane::kPositionName, POINT{100, 120});
    Open();
    rect = WindowRect(pane->m_hWnd);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 120);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 170);
}

TEST_F(FloatPane, ANewPaneSlidesIntoItsCaptionAndExpandsBack)
{
    Open(3);
    EXPECT_FALSE(pane->IsCaptionOnly()) << "a new pane starts expanded";
    EXPECT_FALSE(pane->StartAnimationThread(2)) << "no blink before it is caption-only";
    WaitCollapsed();
    const RECT caption = WindowRect(pane->m_hWnd);
    EXPECT_EQ(caption.bottom - caption.top, pane->GetCaptionHeight());
    EXPECT_EQ(caption.right, GetSystemMetrics(SM_CXVIRTUALSCREEN)) << "the right edge stays";

    // the slide ends between the minimum width and the minimum plus its last step
    RECT edit = {};
    HWND bar = pane->GetToolBar().m_hWnd;
    const int index = static_cast<int>(SendMessageW(bar, TB_COMMANDTOINDEX, kPaneCmdEditPhrases, 0));
    ASSERT_TRUE(SendMessageW(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&edit)));
    const int expandedRight = pane->GetSavedRect().x + pane->GetSavedRect().cx;
    POINT editRight = {edit.right, 0};
    ClientToScreen(bar, &editRight);
    const int offset = editRight.x - caption.left; // the bar's buttons moved with the slide
    (void)offset;
    EXPECT_GE(caption.right - caption.left, 22);
    EXPECT_LT(caption.right - caption.left, 300) << "it slid";
    EXPECT_EQ(expandedRight, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(pane->GetSavedRect().cx, 300);
    EXPECT_EQ(pane->GetSavedRect().cy, 170);

    // moved partly off the right edge as a caption, it comes back inside when expanding
    SetWindowPos(pane->m_hWnd, nullptr, GetSystemMetrics(SM_CXVIRTUALSCREEN) - 50, 200, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(pane->SetCaptionOnly(0, 0), 1);
    EXPECT_EQ(pane->SetCaptionOnly(0, 0), 0) << "already expanded";
    const RECT expanded = WindowRect(pane->m_hWnd);
    EXPECT_EQ(expanded.right, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(expanded.top, 200);
    EXPECT_EQ(expanded.bottom - expanded.top, 170);
    EXPECT_EQ(pane->GetSavedRect().cx, 0);

    // blinking works only caption-only, one blink at a time
    pane->SetCaptionOnly(1, 1);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return !pane->IsSlideRunning(); }, kWaitMs));
    EXPECT_TRUE(pane->StartAnimationThread(2));
    EXPECT_FALSE(pane->StartAnimationThread(2)) << "a blink runs";
    EXPECT_TRUE(scvtest::PumpUntil([&] { return pane->GetToolBar().IsHighlighted(); }, kWaitMs));
    EXPECT_TRUE(scvtest::PumpUntil([&] { return pane->StartAnimationThread(2); }, kWaitMs))
        << "the next blink may start once the first has ended";
}

TEST_F(FloatPane, LosingTheActivationCollapsesUnlessPinned)
{
    Open(2);
    Expand();
    SetForegroundWindow(pane->m_hWnd);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return GetForegroundWindow() == pane->m_hWnd; }, kWaitMs));
    EXPECT_EQ(GetActiveWindow(), pane->m_hWnd);
    SetForegroundWindow(other);
    EXPECT_EQ(GetActiveWindow(), other);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return pane->IsCaptionOnly(); }, kWaitMs))
        << (GetWindowLongPtrW(pane->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongPtrW(pane->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);

    pane->SetCaptionOnly(0, 0);
    Command(kPaneCmdPin);
    EXPECT_TRUE(pane->IsPinned());
    SetForegroundWindow(pane->m_hWnd);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return GetForegroundWindow() == pane->m_hWnd; }, kWaitMs));
    EXPECT_FALSE(GetWindowLongPtrW(pane->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    SetForegroundWindow(other);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return GetForegroundWindow() == other; }, kWaitMs));
    scvtest::PumpFor(100);
    EXPECT_FALSE(pane->IsCaptionOnly()) << "pinned: only more transparent";
    EXPECT_TRUE(GetWindowLongPtrW(pane->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(FloatPane, ShowAllItemsFitsTheListToItsRows)
{
    Open(6);
    Expand();
    Command(kPaneCmdShowAll);
    HWND list = pane->GetListWindow();
    RECT client{};
    ::GetClientRect(list, &client);
    RECT last{};
    ASSERT_TRUE(ListView_GetItemRect(list, 5, &last, LVIR_BOUNDS));
    RECT first{};
    ASSERT_TRUE(ListView_GetItemRect(list, 0, &first, LVIR_BOUNDS));
    const int rowHeight = first.bottom - first.top;
    EXPECT_GE(client.bottom, last.bottom) << "every row shows";
    EXPECT_LT(client.bottom - last.bottom, rowHeight) << "and no room is left for more rows";
    EXPECT_FALSE(pane->IsCaptionOnly());
}

TEST_F(FloatPane, PinnedOnStartAppliesToTheFirstWindowOnly)
{
    GetSettings().Pinned_FloatPane_On_Start = 1;
    Open();
    ASSERT_TRUE(scvtest::PumpUntil([&] { return pane->IsPinned(); }, kWaitMs));
    pane->SetPinned(false);
    pane->DestroyWindow();
    ASSERT_TRUE(pane->Create(&history, TRUE, FALSE));
    scvtest::PumpFor(300);
    EXPECT_FALSE(pane->IsPinned());
}

TEST_F(FloatPane, EnterTwiceOnOneRowWithinHalfASecondCopiesIntoTheTarget)
{
    Open(4);
    Expand();
    Command(kPaneCmdPin); // the paste must not collapse it while we look
    Select(1);
    PressEnter();
    EXPECT_EQ(Copies(), 0) << "one Enter does nothing";
    PressEnter();
    EXPECT_EQ(Copies(), 1);
    CString clipboard;
    ASSERT_TRUE(GetClipboardUnicodeText(clipboard));
    EXPECT_STREQ(clipboard.GetString(), L"item number 1");
    EXPECT_EQ(GetForegroundWindow(), other) << "the target was activated";

    // too slow
    Select(2);
    PressEnter();
    Sleep(CSCVFloatPane::kDoubleEnterMs + 150);
    PressEnter();
    EXPECT_EQ(Copies(), 1);

    // another row in between starts the count again
    Select(0);
    PressEnter();
    Select(3);
    PressEnter();
    EXPECT_EQ(Copies(), 1);
    PressEnter();
    EXPECT_EQ(Copies(), 2);
}

TEST_F(FloatPane, AFailedCopyNeverActivatesTheTarget)
{
    Open(2);
    Expand();
    history.clipboardRefuses = true;
    SetForegroundWindow(pane->m_hWnd);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return GetForegroundWindow() == pane->m_hWnd; }, kWaitMs));
    EXPECT_FALSE(pane->CopyRowToTarget(0));
    EXPECT_NE(GetForegroundWindow(), other);
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0], L"Cannot copy data to clipboard from float pane");
    ASSERT_EQ(host.copySignals.size(), 2u) << "the copy is ended";

    history.clipboardRefuses = false;
    host.target = nullptr;
    EXPECT_FALSE(pane->CopyRowToTarget(0));
    EXPECT_EQ(host.reports.back(), L"ERROR: Cannot activate other window from float pane");
}

TEST_F(FloatPane, DeletingSelectsTheRowAboveAndAsksWhereItShould)
{
    Open(10);
    Expand();
    Select(5);
    Command(kPaneCmdDelete);
    EXPECT_EQ(history.queue.GetCount(), 9);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return pane->GetSelectionMark() == 4; }, kWaitMs));
    EXPECT_GT(history.saves, 0);
    EXPECT_EQ(pane->GetRowCount(), 9);

    Select(0);
    Command(kPaneCmdDelete);
    scvtest::PumpFor(100);
    EXPECT_EQ(history.queue.GetCount(), 8);
    EXPECT_EQ(pane->GetSelectedCount(), 0) << "deleting the newest selects nothing";

    // a protected row: the menu asks; cancelling keeps it
    history.queue.GetItem(2)->SetProtectedFlag(true);
    Select(2);
    {
        BoxAnswer answer(IDCANCEL);
        Command(kPaneCmdDelete);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(history.queue.GetCount(), 8);

    // the Delete key asks first
    Select(3);
    {
        BoxAnswer answer(IDOK);
        Command(kPaneCmdDelete, 1);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(history.queue.GetCount(), 7);
    Select(3);
    {
        BoxAnswer answer(IDCANCEL);
        Command(kPaneCmdDelete, 1);
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(history.queue.GetCount(), 7);

    // undo brings the removed rows back
    Command(kPaneCmdUndo);
    EXPECT_EQ(history.queue.GetCount(), 8);
    EXPECT_EQ(pane->GetRowCount(), 8);
    wchar_t title[100] = {};
    GetWindowTextW(pane->m_hWnd, title, 100);
    EXPECT_NE(std::wstring(title).find(L"[8]"), std::wstring::npos) << title;
}

TEST_F(FloatPane, CopyAsHtmlCodeReadsThePageInTheCodePageItIsWrittenIn)
{
    // UTF-8, and windows-1251 as an older browser wrote it; the clipboard's header lines are dropped.
    const std::string utf8 = "Version:0.9\r\n<html><body>\xC3\xA9t\xC3\xA9 \xC3\xA0 la plage</body></html>";
    const std::string cyrillic = "Version:0.9\r\n<html><body>\xCF\xF0\xE8\xE2\xE5\xF2, \xFD\xF2\xEE "
                                 "\xF2\xE5\xEA\xF1\xF2 \xED\xE0 \xF0\xF3\xF1\xF1\xEA\xEE\xEC "
                                 "\xFF\xE7\xFB\xEA\xE5</body></html>";
    const struct
    {
        const std::string* page;
        const wchar_t* text;
    } cases[] = {
        {&utf8, L"<html><body>\u00E9t\u00E9 \u00E0 la plage</body></html>"},
        {&cyrillic, L"<html><body>\u041F\u0440\u0438\u0432\u0435\u0442, \u044D\u0442\u043E "
                    L"\u0442\u0435\u043A\u0441\u0442 \u043D\u0430 \u0440\u0443\u0441\u0441\u043A\u043E\u043C "
                    L"\u044F\u0437\u044B\u043A\u0435</body></html>"},
    };
    for (const auto& c : cases) {
        CCHItem* item = history.AddText(L"page text");
        item->AddPart(new CCHItem(CHT_HTML, nullptr));
        item->GetParts().back()->SetDataCopy(c.page->c_str(), static_cast<unsigned>(c.page->size() + 1));
    }
    Open();
    Expand();
    for (int row = 0; row < 2; ++row) {
        Select(row);
        Command(kPaneCmdCopyHtmlCode);
        CString text;
        ASSERT_TRUE(scvtest::PumpUntil([&] { return GetClipboardUnicodeText(text); }, kWaitMs));
        EXPECT_STREQ(text.GetString(), cases[1 - row].text) << "row " << row;
    }
}

TEST_F(FloatPane, ItemMenuEnablesWhatTheSelectionAllows)
{
    history.AddTyped(CHT_OVELLINE, "clip");           // row 3
    CCHItem* web = history.AddText(L"web page text"); // row 2
    web->AddPart(new CCHItem(CHT_HTML, nullptr));
    web->GetParts().back()->SetDataCopy("<html>x</html>", 15);
    web->SetUrl(L"http://example.test/");
    history.AddTyped(CHT_RTF, "{\\rtf1\\ansi rich}"); // row 1
    history.AddText(L"C:\\file?name", true);          // row 0
    Open();
    Expand();

    struct Case
    {
        int row;
        UINT command;
        bool enabled;
    };
    const Case cases[] = {
        {0, kPaneCmdCopy, true},
        {0, kPaneCmdCopyExcludeSymbols, true},
        {0, kPaneCmdCopyAsRtf, false},
        {0, kPaneCmdCopyAsHtml, false},
        {0, kPaneCmdCopySourceUrl, false},
        {0, kPaneCmdUpper, true},
        {0, kPaneCmdEdit, true},
        {1, kPaneCmdCopyAsRtf, true},
        {1, kPaneCmdCopyExcludeSymbols, false},
        {1, kPaneCmdJoin, true},
        {2, kPaneCmdCopyAsHtml, true},
        {2, kPaneCmdCopyHtmlCode, true},
        {2, kPaneCmdCopySourceUrl, true},
        {2, kPaneCmdOpenSourceUrl, true},
        {3, kPaneCmdUpper, false},
        {3, kPaneCmdCopyPlain, false},
        {3, kPaneCmdOpenAsUrl, false},
        {0, kPaneCmdUndo, false},
        {0, kPaneCmdClear, true},
        {0, kPaneCmdShowAll, true},
    };
    for (const Case& c : cases) {
        Select(c.row);
        UINT defaultCommand = 0;
        HMENU menu = pane->BuildItemMenu(POINT{0, 0}, false, defaultCommand);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(!IsGrey(menu, c.command), c.enabled) << "row " << c.row << " command " << c.command;
        EXPECT_EQ(defaultCommand, kPaneCmdCopy);
        pane->DestroyItemMenu(menu);
    }

    Select(0);
    UINT defaultCommand = 0;
    HMENU menu = pane->BuildItemMenu(POINT{0, 0}, false, defaultCommand);
    EXPECT_NE(ItemText(menu, kPaneCmdClear).find(L"[4]"), std::wstring::npos);
    EXPECT_NE(ItemText(menu, kPaneCmdDelete).find(L"[1\\1]"), std::wstring::npos) << "protected\\selected";
    EXPECT_NE(ItemText(menu, kPaneCmdCopy).find(L"[C:\\file?name]"), std::wstring::npos)
        << "the short text of the selection";
    EXPECT_NE(ItemText(menu, kPaneCmdCopy).find(L"\tCtrl+C"), std::wstring::npos) << "before the accelerator";
    EXPECT_TRUE(GetMenuState(menu, kPaneCmdProtect, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(pane->GetTextHolder().menuText.IsEmpty());
    pane->DestroyItemMenu(menu);
    EXPECT_TRUE(pane->GetTextHolder().menuText.IsEmpty()) << "emptied when the menu is gone";

    // on the icon: only the copy commands and a few more
    menu = pane->BuildItemMenu(POINT{0, 0}, true, defaultCommand);
    EXPECT_TRUE(HasMenuItem(menu, kPaneCmdCopyPlain));
    EXPECT_TRUE(HasMenuItem(menu, kPaneCmdDelete));
    EXPECT_TRUE(HasMenuItem(menu, kPaneCmdUndo));
    EXPECT_FALSE(HasMenuItem(menu, kPaneCmdClear));
    EXPECT_FALSE(HasMenuItem(menu, kPaneCmdSave));
    pane->DestroyItemMenu(menu);

    // nothing selected
    Select(-1);
    SendMessageW(pane->GetListWindow(), LVM_SETSELECTIONMARK, 0, -1);
    menu = pane->BuildItemMenu(POINT{0, 0}, false, defaultCommand);
    EXPECT_TRUE(IsGrey(menu, kPaneCmdCopy));
    EXPECT_TRUE(IsGrey(menu, kPaneCmdDelete));
    EXPECT_FALSE(IsGrey(menu, kPaneCmdShowAll));
    pane->DestroyItemMenu(menu);

    // after a removal with an undo record, Undo is offered with its count
    Select(1);
    Command(kPaneCmdDelete);
    Select(0);
    menu = pane->BuildItemMenu(POINT{0, 0}, false, defaultCommand);
    EXPECT_FALSE(IsGrey(menu, kPaneCmdUndo));
    EXPECT_NE(ItemText(menu, kPaneCmdUndo).find(L"[1]"), std::wstring::npos);
    pane->DestroyItemMenu(menu);
}

TEST(FloatPaneToolBar, CounterShowsSelectionOnlyWhenExpanded)
{
    const struct
    {
        bool captionOnly;
        int selected;
        int rows;
        const wchar_t* text;
    } cases[] = {{false, 2, 15, L"2/15"}, {false, 0, 15, L"15"}, {true, 2, 15, L"15"}, {true, 0, 0, L"0"}};
    for (const auto& c : cases)
        EXPECT_EQ(CFloatPaneToolBar::MakeCounterText(c.captionOnly, c.selected, c.rows), CString(c.text));
}

namespace
{
// The toolbar that a timer finds with its context menu open; the menu is then closed.
CFloatPaneToolBar* g_barWithMenu = nullptr;
bool g_menuSeenOpen = false;

void CALLBACK CloseOpenToolBarMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_barWithMenu && g_barWithMenu->IsMenuOpen()) {
        g_menuSeenOpen = true;
        ::EndMenu();
    }
}
} // namespace

TEST_F(FloatPane, ToolBarOpensItsContextMenuOnTheNotificationWithAPackedPoint)
{
    Open(1);
    Expand();
    CFloatPaneToolBar& bar = pane->GetToolBar();
    g_barWithMenu = &bar;
    g_menuSeenOpen = false;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CloseOpenToolBarMenu);
    struct
    {
        NMHDR header;
        DWORD first;
        DWORD point;
    } request{{bar.m_hWnd, 0, 1}, 0, MAKELONG(5, 5)};
    EXPECT_EQ(::SendMessageW(bar.m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request)), 1);
    EXPECT_TRUE(g_menuSeenOpen) << "the menu was tracked";
    // Another notification is not a menu request.
    g_menuSeenOpen = false;
    request.header.code = 2;
    ::SendMessageW(bar.m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    scvtest::PumpFor(150);
    EXPECT_FALSE(g_menuSeenOpen);
    ::KillTimer(nullptr, timer);
    g_barWithMenu = nullptr;
}

TEST_F(FloatPane, ToolBarContextMenuFollowsThePane)
{
    Open();
    WaitCollapsed();
    bool created = false;
    int addedFrom = 0;
    HMENU languages = nullptr;
    HMENU menu = pane->GetToolBar().BuildContextMenu(created, addedFrom, languages);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(HasMenuItem(menu, kPaneCmdExpand)) << "caption-only offers Expand";
    EXPECT_FALSE(HasMenuItem(menu, kPaneCmdCollapse));
    EXPECT_TRUE(IsGrey(menu, kPaneCmdClear)) << "an empty list";
    EXPECT_TRUE(IsGrey(menu, kPaneCmdShowAll));
    EXPECT_TRUE(HasMenuItem(menu, kPaneCmdClose));
    EXPECT_TRUE(HasMenuItem(menu, kPaneCmdPhraseMenu));
    EXPECT_EQ(languages, nullptr) << "no tray to fill the language list";
    const int itemsWithCommands = GetMenuItemCount(menu);
    CFloatPaneToolBar::ReleaseContextMenu(menu, created, addedFrom);
    if (!created) {
        EXPECT_EQ(GetMenuItemCount(menu), addedFrom) << "the window menu is as before";
    }
    EXPECT_GT(itemsWithCommands, addedFrom);

    history.AddText(L"one");
    pane->RefreshIfOpen();
    pane->SetCaptionOnly(0, 0);
    menu = pane->GetToolBar().BuildContextMenu(created, addedFrom, languages);
    EXPECT_TRUE(HasMenuItem(menu, kPaneCmdCollapse));
    EXPECT_FALSE(IsGrey(menu, kPaneCmdClear));
    EXPECT_FALSE(IsGrey(menu, kPaneCmdShowAll));
    CFloatPaneToolBar::ReleaseContextMenu(menu, created, addedFrom);
}

namespace
{
class PaneMenuTip : public CMenuToolTip
{
public:
    PaneMenuTip() : CMenuToolTip(false) {}

protected:
    void GetTipText(CString& text, UINT id, HMENU, CString& title) override
    {
        text.Format(L"tip %u", id);
        title = L"title";
    }
};

// A stand-in tray window that fills a language sub-menu on WM_APP+33.
LRESULT CALLBACK LanguageTrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_APP + 33)
        return DefWindowProcW(window, message, wParam, lParam);
    HMENU menu = reinterpret_cast<HMENU>(wParam);
    AppendMenuW(menu, MF_STRING, 33000, L"English");
    AppendMenuW(menu, MF_STRING, 33001, L"Deutsch");
    return GetMenuItemCount(menu);
}
} // namespace

TEST_F(FloatPane, ItsMenusShowTheMenuToolTipAndHideItWhenTheyClose)
{
    Open(1);
    PaneMenuTip tip;
    ASSERT_NE(tip.Create(pane->m_hWnd, L"default", GetModuleHandleW(nullptr), TTS_NOPREFIX, nullptr),
              nullptr);
    host.menuTip = &tip;
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kPaneCmdSave, L"Save...");
    SendMessageW(pane->m_hWnd, WM_MENUSELECT, MAKEWPARAM(kPaneCmdSave, MF_STRING),
                 reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(tip.GetCurrentId(), static_cast<UINT>(kPaneCmdSave));
    ASSERT_TRUE(scvtest::PumpUntil([&] { return scvtest::ToolTipShows(tip.GetTipWindow()); }, kWaitMs))
        << "shown after the delay";
    EXPECT_EQ(scvtest::ToolTipText(tip.GetTipWindow()), L"tip 32795");

    SendMessageW(pane->m_hWnd, WM_EXITMENULOOP, FALSE, 0);
    EXPECT_FALSE(IsWindowVisible(tip.GetTipWindow()));
    // A pop-up item names no command: no tip waits for it.
    SendMessageW(pane->m_hWnd, WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(tip.GetCurrentId(), 0u);
    host.menuTip = nullptr;
    DestroyMenu(menu);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return tip.GetPendingCount() == 0; }, kWaitMs));
}

TEST_F(FloatPane, ToolBarMenuCarriesTheTraysLanguageListWithTheHelpItem)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = LanguageTrayProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ScvPaneLanguageTray";
    RegisterClassW(&wc);
    host.tray = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                nullptr);
    ASSERT_NE(host.tray, nullptr);
    Open();
    bool created = false;
    int addedFrom = 0;
    HMENU languages = nullptr;
    HMENU menu = pane->GetToolBar().BuildContextMenu(created, addedFrom, languages);
    ASSERT_NE(languages, nullptr);
    const int count = GetMenuItemCount(languages);
    ASSERT_EQ(count, 4) << "two languages, a separator, the help item";
    EXPECT_EQ(GetMenuItemID(languages, 0), 33000u);
    EXPECT_EQ(GetMenuItemID(languages, 3), static_cast<UINT>(kPaneCmdHowToLocalize));
    // The sub-menu sits where "Edit Phrases" was put, with the language prefix in its caption.
    int position = -1;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetSubMenu(menu, i) == languages)
            position = i;
    }
    ASSERT_GE(position, 0);
    EXPECT_EQ(GetMenuItemID(menu, position + 1), static_cast<UINT>(kPaneCmdEditPhrases));
    wchar_t caption[200] = {};
    GetMenuStringW(menu, position, caption, 200, MF_BYPOSITION);
    EXPECT_NE(std::wstring(caption).find(L"\t[en]"), std::wstring::npos) << testing::PrintToString(caption);
    CFloatPaneToolBar::ReleaseContextMenu(menu, created, addedFrom);
    DestroyWindow(host.tray);
    host.tray = nullptr;
}

TEST_F(FloatPane, ScreenshotsExpandedAndAsCaption)
{
    history.AddText(L"Newest copied line of text");
    history.AddTyped(CHT_RTF, "{\\rtf1\\ansi Formatted words}");
    history.AddText(L"A protected item", true);
    history.AddText(L"Another piece of text\r\nwith a second line");
    Open();
    Expand();
    pane->ShowAllItems(0, false);
    Select(1);
    scvtest::PumpFor(300);
    const std::wstring folder = scvtest::ProgramPath(L"");
    EXPECT_TRUE(scvtest::SaveWindowPng(pane->m_hWnd, folder + L"..\\pane_expanded.png"));
    pane->SetCaptionOnly(1, 1);
    ASSERT_TRUE(scvtest::PumpUntil([&] { return !pane->IsSlideRunning(); }, kWaitMs));
    scvtest::PumpFor(300);
    EXPECT_TRUE(scvtest::SaveWindowPng(pane->m_hWnd, folder + L"..\\pane_caption.png"));
}
