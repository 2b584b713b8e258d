// test-locks: desktop
// test-sources: ../../../menus/phrasemenu/PopupMenu.rc
// The menu tracker window: its message-only window and class, the owner-draw
// messages it passes on, the balloon request, the tracker tooltip it drives,
// and the right-click pop-up: its items and their states, the items that only
// beep, and the choice sent to the main window as WM_APP+21 (the pop-up is
// shown for real and driven with keys).

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/MenuLocalizer.h"
#include "common/Settings.h"
#include "menus/phrasemenu/MenuItemDrawInfo.h"
#include "menus/tips/MenuTrackerOwner.h"
#include "menus/tips/MenuTrackerWindow.h"
#include "support/MessagePump.h"

namespace
{

constexpr UINT kRightMenuCommand = WM_APP + 21;
constexpr UINT kHideBalloon = WM_APP + 31;
constexpr DWORD kMenuTimeoutMs = 10000;

// A message-only window standing in for the tray window: records what it gets.
class MainWindowStandIn
{
public:
    struct Received
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    MainWindowStandIn()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MenuTrackerTestMainWindow";
        ::RegisterClassW(&wc);
        m_window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     wc.hInstance, nullptr);
        ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MainWindowStandIn() { ::DestroyWindow(m_window); }

    HWND Get() const { return m_window; }
    std::vector<Received> Take(UINT message)
    {
        std::vector<Received> taken;
        for (const Received& r : m_received)
            if (r.message == message)
                taken.push_back(r);
        m_received.clear();
        return taken;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<MainWindowStandIn*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message >= WM_APP)
            self->m_received.push_back({message, wParam, lParam});
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    std::vector<Received> m_received;
};

class TestOwner : public MenuTrackerOwner
{
public:
    explicit TestOwner(HWND main) : m_main(main) {}
    HWND GetMainWindow() const override { return m_main; }

private:
    HWND m_main;
};

// A phrase-menu item with its record, appended to the menu.
void AppendItem(HMENU menu, UINT id, std::unique_ptr<MenuItemDrawInfo> info)
{
    ASSERT_TRUE(::AppendMenuW(menu, MF_OWNERDRAW, id, nullptr));
    ASSERT_TRUE(AttachMenuItemDrawInfo(menu, id, false, std::move(info)));
}

std::unique_ptr<MenuItemDrawInfo> Phrase(int id)
{
    auto info = std::make_unique<MenuItemDrawInfo>(L"A phrase", kMenuItemDataText, id);
    info->preview = L"first line\r\nsecond line";
    return info;
}

std::unique_ptr<MenuItemDrawInfo> History(int id, bool bitmap, bool document)
{
    auto info = std::make_unique<MenuItemDrawInfo>(L"A clip", kMenuItemDataText, id);
    info->historyStyle = 1;
    info->bitmapFlag = bitmap ? 1 : 0;
    info->documentFlag = document ? 1 : 0;
    info->preview = L"clip text";
    return info;
}

std::wstring ItemText(HMENU menu, int position)
{
    wchar_t text[400] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, 400, MF_BYPOSITION);
    return text;
}

bool IsGrayed(HMENU menu, int position)
{
    return (::GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_GRAYED) != 0;
}

class MenuTracker : public testing::Test
{
protected:
    MainWindowStandIn m_main;
    TestOwner m_owner{m_main.Get()};
};

TEST_F(MenuTracker, IsAMessageOnlyWindowOfItsOwnClass)
{
    HWND window = nullptr;
    {
        MenuTrackerWindow tracker(&m_owner);
        window = tracker.Create();
        ASSERT_NE(window, nullptr);
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        EXPECT_STREQ(name, L"Scrivolanter_Menu_Tracker");
        EXPECT_EQ(::FindWindowExW(HWND_MESSAGE, nullptr, L"Scrivolanter_Menu_Tracker", nullptr), window);
        EXPECT_EQ(::GetClassLongPtrW(window, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW));
        EXPECT_EQ(::GetClassLongPtrW(window, GCLP_HBRBACKGROUND), 0u);
        EXPECT_EQ(::GetClassLongPtrW(window, GCL_CBWNDEXTRA), 4u);
        EXPECT_EQ(::GetClassLongPtrW(window, GCLP_HCURSOR),
                  reinterpret_cast<ULONG_PTR>(::LoadCursorW(nullptr, IDC_ARROW)));
        EXPECT_FALSE(::IsWindowVisible(window));
    }
    EXPECT_FALSE(::IsWindow(window)) << "the object's end destroys the window";

    MenuTrackerWindow second(&m_owner);
    EXPECT_NE(second.Create(), nullptr) << "the class is registered once and used again";
}

TEST_F(MenuTracker, PassesOwnerDrawMessagesOnAndAsksOnceToHideTheBalloon)
{
    MenuTrackerWindow tracker(&m_owner);
    ASSERT_NE(tracker.Create(), nullptr);

    MenuItemDrawInfo info(L"Measured", kMenuItemDataText, 1001);
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemData = reinterpret_cast<ULONG_PTR>(&info);
    EXPECT_EQ(::SendMessageW(tracker.m_hWnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
    EXPECT_GT(measure.itemWidth, 29u);
    EXPECT_GT(measure.itemHeight, 4u);

    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 200, 30);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.hDC = dc;
    draw.rcItem = {0, 0, 200, 30};
    draw.itemData = reinterpret_cast<ULONG_PTR>(&info);
    EXPECT_EQ(::SendMessageW(tracker.m_hWnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), TRUE);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);

    HMENU menu = ::CreatePopupMenu();
    EXPECT_EQ(::SendMessageW(tracker.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0), 0);
    EXPECT_EQ(::SendMessageW(tracker.m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0), 0);
    EXPECT_EQ(m_main.Take(kHideBalloon).size(), 1u) << "only the first pop-up asks";
    ::DestroyMenu(menu);
}

// --- Right-click pop-up --------------------------------------------------------

TEST_F(MenuTracker, RightClickPopupItemsAndTheirStates)
{
    struct Expected
    {
        UINT id;
        const wchar_t* textStart;
    };
    const Expected layout[] = {
        {32797, L"Copy"},
        {32864, L"Copy Exclude Symbols"},
        {32806, L"Open As URL"},
        {0, L""},
        {32828, L"Edit"},
        {32846, L"Open With..."},
        {0, L""},
        {32834, L"Search with Google [clip text]"},
        {32835, L"Search with Yandex [clip text]"},
        {32837, L"Search in the encyclopedia [clip text]"},
        {32836, L"Search in the developer documentation [clip text]"},
    };
    struct Case
    {
        const char* label;
        std::unique_ptr<MenuItemDrawInfo> info;
        std::vector<UINT> grayed;
    };
    Case cases[] = {
        {"phrase", Phrase(1001), {32828, 32846}},
        {"text clip", History(2000, false, false), {}},
        {"bitmap clip", History(2001, true, false), {32864, 32806, 32834, 32835, 32837, 32836}},
        {"document clip", History(2002, false, true), {32864, 32806}},
        {"document phrase",
         [] {
             auto info = Phrase(1002);
             info->documentFlag = 1;
             return info;
         }(),
         {32806, 32828, 32846}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.info->historyStyle)
            c.info->preview = L"clip text";
        else
            c.info->preview = L"\n clip\ntext \r\n";
        CMenuHolder popup = MenuTrackerWindow::BuildRightClickMenu(*c.info);
        ASSERT_NE(popup.Get(), nullptr);
        ASSERT_EQ(::GetMenuItemCount(popup), static_cast<int>(std::size(layout)));
        for (int i = 0; i < static_cast<int>(std::size(layout)); ++i) {
            SCOPED_TRACE(i);
            const UINT id = ::GetMenuItemID(popup, i);
            EXPECT_EQ(id, layout[i].id);
            if (layout[i].id == 0) {
                EXPECT_TRUE(::GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR);
                continue;
            }
            EXPECT_EQ(ItemText(popup, i), layout[i].textStart);
            const bool expectGrayed = std::find(c.grayed.begin(), c.grayed.end(), id) != c.grayed.end();
            EXPECT_EQ(IsGrayed(popup, i), expectGrayed);
        }
    }
}

TEST_F(MenuTracker, RightClickActionsOfThePopupCommands)
{
    const std::pair<UINT, int> actions[] = {{32797, 0}, {32864, 1}, {32806, 2}, {32828, 3}, {32846, 4},
                                            {32834, 5}, {32835, 6}, {32836, 7}, {32837, 8}};
    for (const auto& [command, action] : actions)
        EXPECT_EQ(MenuTrackerWindow::GetRightClickAction(command), action) << command;
    for (UINT other : {0u, 1u, 32798u, 32838u, 2000u})
        EXPECT_EQ(MenuTrackerWindow::GetRightClickAction(other), kRightMenuNoAction) << other;
}

TEST_F(MenuTracker, RightClickOnItemsWithoutActionsOnlyBeeps)
{
    MenuTrackerWindow tracker(&m_owner);
    ASSERT_NE(tracker.Create(), nullptr);
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_SEPARATOR | MF_OWNERDRAW, 0, nullptr);
    ASSERT_TRUE(AttachMenuItemDrawInfo(menu, 0, true, std::make_unique<MenuItemDrawInfo>()));
    HMENU folder = ::CreatePopupMenu();
    AppendItem(folder, 1001, Phrase(1001));
    ASSERT_TRUE(AppendSubMenuItem(folder, menu, CString(L"Folder"), false, false));
    AppendItem(menu, 32829, std::make_unique<MenuItemDrawInfo>(L"Run As Administrator", 0, 32829));
    AppendItem(menu, 32772, std::make_unique<MenuItemDrawInfo>(L"Edit menu", 0, 32772));
    ::AppendMenuW(menu, MF_OWNERDRAW, 1005, nullptr); // an item without record

    // Wine sends no WM_MENURBUTTONUP itself; the message is sent here as the system would.
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        SCOPED_TRACE(position);
        EXPECT_EQ(::SendMessageW(tracker.m_hWnd, WM_MENURBUTTONUP, static_cast<WPARAM>(position),
                                 reinterpret_cast<LPARAM>(menu)),
                  1);
        EXPECT_FALSE(MenuTrackerWindow::IsTrackerContextMenuOpen());
    }
    EXPECT_TRUE(m_main.Take(kRightMenuCommand).empty());
    FreeMenuItemDrawInfos(menu);
    ::DestroyMenu(menu);
}

// Presses keys in the pop-up once it shows; records what it saw.
struct PopupDriver
{
    std::vector<WPARAM> keys;
    bool sawPopup = false;
    DWORD keysSentAt = 0;
    bool openFlagWhileShown = false;
    LRESULT nestedRightClick = 0;
    MenuTrackerWindow* tracker = nullptr;
    HMENU phraseMenu = nullptr;
};
PopupDriver* g_driver = nullptr;

void CALLBACK DriveThePopup(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = ::FindWindowW(L"#32768", nullptr);
    if (!g_driver || !popup || !::IsWindowVisible(popup))
        return;
    if (g_driver->sawPopup) {
        // A safety net: a pop-up that ignored the keys is closed after a while.
        if (::GetTickCount() - g_driver->keysSentAt > 3000)
            ::EndMenu();
        return;
    }
    g_driver->sawPopup = true;
    g_driver->keysSentAt = ::GetTickCount();
    g_driver->openFlagWhileShown = MenuTrackerWindow::IsTrackerContextMenuOpen();
    // A second right-click while the pop-up is open only beeps.
    g_driver->nestedRightClick = g_driver->tracker->OnMenuRButtonUp(0, g_driver->phraseMenu);
    for (WPARAM key : g_driver->keys) {
        ::PostMessageW(popup, WM_KEYDOWN, key, 0);
        ::PostMessageW(popup, WM_KEYUP, key, 0xC0000001);
    }
}

TEST_F(MenuTracker, RightClickChoiceIsSentToTheMainWindow)
{
    struct Case
    {
        const char* label;
        std::vector<WPARAM> keys;
        int action; // -1: none expected
    };
    const Case cases[] = {
        {"copy", {VK_DOWN, VK_RETURN}, 0},
        {"edit", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 3},
        {"last search", {VK_UP, VK_RETURN}, 7},
        {"escape", {VK_ESCAPE}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        MenuTrackerWindow tracker(&m_owner);
        ASSERT_NE(tracker.Create(), nullptr);
        HMENU menu = ::CreatePopupMenu();
        AppendItem(menu, 2003, History(2003, false, false));

        PopupDriver driver;
        driver.keys = c.keys;
        driver.tracker = &tracker;
        driver.phraseMenu = menu;
        g_driver = &driver;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &DriveThePopup);
        const DWORD started = ::GetTickCount();
        EXPECT_EQ(::SendMessageW(tracker.m_hWnd, WM_MENURBUTTONUP, 0, reinterpret_cast<LPARAM>(menu)), 1);
        EXPECT_LT(::GetTickCount() - started, kMenuTimeoutMs);
        ::KillTimer(nullptr, timer);
        g_driver = nullptr;

        EXPECT_TRUE(driver.sawPopup);
        EXPECT_TRUE(driver.openFlagWhileShown);
        EXPECT_EQ(driver.nestedRightClick, 1);
        EXPECT_FALSE(MenuTrackerWindow::IsTrackerContextMenuOpen());
        const auto sent = m_main.Take(kRightMenuCommand);
        if (c.action < 0) {
            EXPECT_TRUE(sent.empty());
        } else {
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0].wParam, static_cast<WPARAM>(c.action));
            EXPECT_EQ(sent[0].lParam, 2003) << "the id of the item that was right-clicked";
        }
        FreeMenuItemDrawInfos(menu);
        ::DestroyMenu(menu);
    }
}

TEST_F(MenuTracker, RightMenuCommandGoesToTheMainWindow)
{
    m_owner.OnRightMenuCommand(2007, kRightMenuSearchEncyclopedia);
    const auto sent = m_main.Take(kRightMenuCommand);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].wParam, 8u);
    EXPECT_EQ(sent[0].lParam, 2007);

    TestOwner noMain(nullptr);
    noMain.OnRightMenuCommand(2007, 0); // nothing to send to, nothing happens
}

// --- Tooltip -----------------------------------------------------------------

struct ToolTipLog
{
    int created = 0;
    int deleted = 0;
    int popped = 0;
    std::vector<UINT> selected;
    int idle = 0;
    HWND owner = nullptr;
    std::wstring defaultText;
    DWORD style = 0;
    HWND window = nullptr;
};
ToolTipLog g_tipLog;

class RecordingToolTip : public IMenuTrackerToolTip
{
public:
    ~RecordingToolTip() override { ++g_tipLog.deleted; }
    HWND Create(HWND owner, LPCWSTR defaultText, HINSTANCE instance, DWORD style, LPCWSTR) override
    {
        ++g_tipLog.created;
        g_tipLog.owner = owner;
        g_tipLog.defaultText = defaultText;
        g_tipLog.style = style;
        g_tipLog.window =
            ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
        return g_tipLog.window;
    }
    void OnMenuSelect(UINT item, UINT, HMENU) override { g_tipLog.selected.push_back(item); }
    void OnEnterIdle(HWND, WPARAM, LPARAM) override { ++g_tipLog.idle; }
    void PopByClick() override { ++g_tipLog.popped; }
};

TEST_F(MenuTracker, DrivesTheTrackerToolTipWhenTheSettingIsOn)
{
    SetMenuTrackerToolTipFactory(
        []() -> std::unique_ptr<IMenuTrackerToolTip> { return std::make_unique<RecordingToolTip>(); });
    const int saved = GetSettings().MenuToolTips_V0_94_A22;
    g_tipLog = ToolTipLog();
    {
        GetSettings().MenuToolTips_V0_94_A22 = 1;
        MenuTrackerWindow tracker(&m_owner);
        ASSERT_NE(tracker.Create(), nullptr);
        ASSERT_EQ(g_tipLog.created, 1);
        EXPECT_EQ(g_tipLog.owner, tracker.m_hWnd);
        EXPECT_EQ(g_tipLog.defaultText, L"Ooops! Tip text not found");
        EXPECT_EQ(g_tipLog.style, static_cast<DWORD>(TTS_NOPREFIX | TTS_NOANIMATE | TTS_CLOSE));
        EXPECT_EQ(tracker.GetToolTipWindow(), g_tipLog.window);
        EXPECT_NE(GetMenuTrackerToolTip(), nullptr);

        ::SendMessageW(tracker.m_hWnd, WM_MENUSELECT, MAKEWPARAM(2001, MF_OWNERDRAW), 0);
        ::SendMessageW(tracker.m_hWnd, WM_ENTERIDLE, MSGF_MENU, 0);
        EXPECT_EQ(g_tipLog.selected, std::vector<UINT>{2001});
        EXPECT_EQ(g_tipLog.idle, 1);

        ::SendMessageW(tracker.m_hWnd, WM_EXITMENULOOP, TRUE, 0);
        EXPECT_EQ(tracker.GetToolTipWindow(), nullptr);
        EXPECT_FALSE(::IsWindow(g_tipLog.window)) << "the tip window ends with the menu loop";
    }
    EXPECT_EQ(g_tipLog.deleted, 1);
    EXPECT_GE(g_tipLog.popped, 2) << "popped at the loop's end and at the object's end";
    EXPECT_EQ(GetMenuTrackerToolTip(), nullptr);

    g_tipLog = ToolTipLog();
    {
        GetSettings().MenuToolTips_V0_94_A22 = 0;
        MenuTrackerWindow tracker(&m_owner);
        ASSERT_NE(tracker.Create(), nullptr);
        ::SendMessageW(tracker.m_hWnd, WM_MENUSELECT, MAKEWPARAM(2001, MF_OWNERDRAW), 0);
        EXPECT_EQ(g_tipLog.created, 0);
        EXPECT_TRUE(g_tipLog.selected.empty());
        EXPECT_EQ(tracker.GetToolTipWindow(), nullptr);
    }
    GetSettings().MenuToolTips_V0_94_A22 = saved;
    SetMenuTrackerToolTipFactory(nullptr);
}

TEST(MenuTrackerToolTipPlacement, RectanglesAreMovedBackOntoTheScreen)
{
    struct Case
    {
        RECT in;
        bool changed;
        RECT out;
    };
    const Case cases[] = {
        {{10, 10, 110, 60}, false, {10, 10, 110, 60}},
        {{950, 10, 1100, 60}, true, {850, 10, 1000, 60}},
        {{10, 780, 110, 830}, true, {10, 750, 110, 800}},
        {{960, 790, 1060, 840}, true, {900, 750, 1000, 800}},
        {{-50, 10, 1200, 60}, true, {0, 10, 1000, 60}}, // wider than the screen: cut at the left edge
    };
    for (const Case& c : cases) {
        RECT r = c.in;
        EXPECT_EQ(MenuTrackerWindow::FitRectOnScreen(r, 1000, 800), c.changed);
        EXPECT_TRUE(::EqualRect(&r, &c.out)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

} // namespace
