#include "common/MenuAccelTable.h"
#include "common/MenuUtils.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct Menu
{
    HMENU handle = ::CreatePopupMenu();
    ~Menu()
    {
        if (handle)
            ::DestroyMenu(handle);
    }
    HMENU Release()
    {
        HMENU h = handle;
        handle = nullptr;
        return h;
    }
    void Append(const wchar_t* text, UINT id)
    {
        ::AppendMenuW(handle, text ? MF_STRING : MF_SEPARATOR, id, text);
    }
    void AppendSub(const wchar_t* text, Menu& sub)
    {
        ::AppendMenuW(handle, MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Release()), text);
    }
};

CString TextOf(HMENU menu, UINT command)
{
    wchar_t buffer[400] = {};
    ::GetMenuStringW(menu, command, buffer, 400, MF_BYCOMMAND);
    return buffer;
}

CString KeyName(UINT vk, bool extended = false)
{
    wchar_t name[100] = {};
    LONG code = static_cast<LONG>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16);
    if (extended)
        code |= 1 << 24;
    ::GetKeyNameTextW(code, name, 100);
    return name;
}

// Menu: "&File" 10, separator, "Edit" sub-menu {20 "Copy", 30 "Options…\tF2", 20 "Copy again"}, 20 "Top copy".
struct SampleMenu
{
    Menu top;
    SampleMenu()
    {
        Menu sub;
        sub.Append(L"Copy", 20);
        sub.Append(L"Options\x2026\tF2", 30);
        sub.Append(L"Copy again", 20);
        top.Append(L"&File", 10);
        top.Append(nullptr, 0);
        top.AppendSub(L"Edit", sub);
        top.Append(L"Top copy", 20);
    }
};

bool CountAndGoOn(HMENU, UINT, void* data)
{
    ++*static_cast<int*>(data);
    return true;
}

bool CountAndStop(HMENU, UINT, void* data)
{
    ++*static_cast<int*>(data);
    return false;
}
} // namespace

TEST(MenuUtils, InsertMenuItemAtMakesStringsAndSeparators)
{
    Menu menu;
    ASSERT_TRUE(InsertMenuItemAt(menu.handle, L"One", 11, 0));
    ASSERT_TRUE(InsertMenuItemAt(menu.handle, nullptr, 12, 0));
    ASSERT_TRUE(InsertMenuItemAt(menu.handle, L"Zero", 13, 0));

    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID;
    ASSERT_TRUE(::GetMenuItemInfoW(menu.handle, 1, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);
    EXPECT_EQ(GetMenuItemTextByPos(menu.handle, 0), L"Zero");
    EXPECT_EQ(GetMenuItemTextByPos(menu.handle, 2), L"One");
    EXPECT_EQ(FindMenuItemPosition(menu.handle, 11), 2);
}

TEST(MenuUtils, WalkAndFindInATree)
{
    SampleMenu m;
    HMENU top = m.top.handle;

    int hits = 0;
    // A hit inside the sub-menu ends the walk there.
    EXPECT_EQ(WalkMenuForCommand(top, 20, &CountAndGoOn, &hits, true), 1);
    EXPECT_EQ(hits, 2);
    hits = 0;
    EXPECT_EQ(WalkMenuForCommand(top, 20, &CountAndGoOn, &hits, false), 1);
    EXPECT_EQ(hits, 1);
    hits = 0;
    EXPECT_EQ(WalkMenuForCommand(top, 20, &CountAndStop, &hits, true), 1);
    EXPECT_EQ(hits, 1);
    EXPECT_EQ(WalkMenuForCommand(top, 30, nullptr, nullptr, false), 0);
    EXPECT_EQ(WalkMenuForCommand(top, 0, nullptr, nullptr, true), 0);

    EXPECT_TRUE(MenuTreeHasCommand(top, 30));
    EXPECT_FALSE(MenuTreeHasCommand(top, 31));
    EXPECT_EQ(FindMenuItemPosition(top, 30), -1);
    EXPECT_EQ(FindMenuItemPosition(top, 20), 3);
    EXPECT_EQ(FindTopMenuPosOfCommand(top, 30), 2);
    EXPECT_EQ(FindTopMenuPosOfCommand(top, 10), 0);
    EXPECT_EQ(FindTopMenuPosOfCommand(top, 99), -1);
    EXPECT_EQ(FindTopMenuPosOfCommandRange(top, 25, 35), 2);
    EXPECT_EQ(FindTopMenuPosOfCommandRange(top, 5, 15), 0);
}

TEST(MenuUtils, ReadTexts)
{
    SampleMenu m;
    HMENU top = m.top.handle;
    EXPECT_EQ(GetMenuItemTextByPos(top, 0), L"File");
    EXPECT_EQ(GetMenuItemTextByPos(top, 7), L"");
    EXPECT_EQ(GetMenuItemTextDeep(top, 30), L"Options\x2026\tF2");
    EXPECT_EQ(GetMenuItemCaption(top, 30), L"Options");
    EXPECT_EQ(GetMenuItemCaption(top, 99), L"");

    Menu menu;
    menu.Append(L"Save as...\x2026", 1);
    menu.Append(L"\tlead tab", 2);
    EXPECT_EQ(GetMenuItemTextDeep(menu.handle, 1), L"Save as...");
    EXPECT_EQ(GetMenuItemCaption(menu.handle, 1), L"Save as");
    EXPECT_EQ(GetMenuItemCaption(menu.handle, 2), L"\tlead tab");
}

TEST(MenuUtils, SetTextsAndRadioCheck)
{
    SampleMenu m;
    HMENU top = m.top.handle;
    EXPECT_TRUE(SetMenuItemText(L"Copied", 30, top));
    EXPECT_EQ(TextOf(top, 30), L"Copied");
    EXPECT_FALSE(SetMenuItemText(L"x", 99, top));
    EXPECT_TRUE(SetMenuItemString(top, L"Fi&le", 0, true));
    EXPECT_EQ(TextOf(top, 10), L"Fi&le");
    EXPECT_TRUE(SetMenuItemString(top, L"Top", 20, false));

    ::EnableMenuItem(top, 10, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(SetMenuItemRadioChecked(true, 10, top));
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    ASSERT_TRUE(::GetMenuItemInfoW(top, 10, FALSE, &info));
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    EXPECT_TRUE(info.fState & MFS_CHECKED);

    EXPECT_TRUE(SetMenuItemRadioChecked(false, 10, top));
    ASSERT_TRUE(::GetMenuItemInfoW(top, 10, FALSE, &info));
    EXPECT_FALSE(info.fType & MFT_RADIOCHECK);
    EXPECT_EQ(info.fState, 0u); // grey is cleared as well
    EXPECT_EQ(TextOf(top, 10), L"Fi&le");
}

namespace
{
struct CommandWindow
{
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CommandWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_COMMAND && self) {
            self->commands.push_back(wParam);
            return self->answer;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    explicit CommandWindow(LRESULT answerWith) : answer(answerWith)
    {
        static ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &CommandWindow::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ScvAccelTarget";
            return ::RegisterClassW(&wc);
        }();
        EXPECT_NE(atom, 0);
        hwnd = ::CreateWindowExW(0, L"ScvAccelTarget", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CommandWindow() { ::DestroyWindow(hwnd); }

    HWND hwnd = nullptr;
    LRESULT answer;
    std::vector<WPARAM> commands;
};

CommandWindow* g_mainWindow = nullptr;
HWND MainWindow()
{
    return g_mainWindow ? g_mainWindow->hwnd : nullptr;
}

// Sets this thread's view of the modifier keys, as GetKeyState reads it.
void SetModifiers(bool shift, bool ctrl, bool alt)
{
    BYTE state[256] = {};
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    state[VK_MENU] = alt ? 0x80 : 0;
    ::SetKeyboardState(state);
}
} // namespace

TEST(MenuAccelTable, DefaultTableTranslatesKeys)
{
    CMenuAccelTable table;
    MSG msg = {};
    msg.message = WM_KEYDOWN;
    msg.wParam = 'C';
    CommandWindow target(1);
    SetModifiers(false, true, false);
    EXPECT_EQ(table.TranslateKeyDown(msg, target.hwnd), 0) << "an empty table translates nothing";

    ASSERT_TRUE(table.BuildDefault());
    ASSERT_EQ(table.GetRows().size(), 9u);

    const struct
    {
        bool shift, ctrl, alt;
        WPARAM key;
        WORD command; // 0: no row
    } cases[] = {
        {false, true, false, 'C', 32793},
        {false, true, false, VK_INSERT, 32793},
        {false, false, false, VK_DELETE, 32796},
        {true, false, false, VK_DELETE, 0},
        {false, false, false, VK_ESCAPE, 32859},
        {false, true, true, 'A', 32856},
        {false, true, false, 'A', 32861},
        {false, true, true, VK_F1, 57664},
        {false, false, false, VK_F4, 32828},
        {false, false, false, 'C', 0},
        {true, true, false, 'C', 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "key " << c.key << " shift " << c.shift << " ctrl " << c.ctrl << " alt " << c.alt);
        target.commands.clear();
        SetModifiers(c.shift, c.ctrl, c.alt);
        msg.wParam = c.key;
        EXPECT_EQ(table.TranslateKeyDown(msg, target.hwnd), c.command ? 1 : 0);
        if (c.command) {
            ASSERT_EQ(target.commands.size(), 1u);
            EXPECT_EQ(target.commands[0], MAKEWPARAM(c.command, 1));
        } else {
            EXPECT_TRUE(target.commands.empty());
        }
    }

    msg.message = WM_KEYUP;
    msg.wParam = VK_DELETE;
    SetModifiers(false, false, false);
    EXPECT_EQ(table.TranslateKeyDown(msg, target.hwnd), 0);
}

TEST(MenuAccelTable, UnhandledCommandFallsBackToTheMainWindow)
{
    CMenuAccelTable table;
    table.BuildDefault();
    CommandWindow refusing(0);
    CommandWindow main(1);
    MSG msg = {};
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F4;
    SetModifiers(false, false, false);

    EXPECT_EQ(table.TranslateKeyDown(msg, refusing.hwnd), 0);
    g_mainWindow = &main;
    CMenuAccelTable::SetMainWindowGetter(&MainWindow);
    EXPECT_EQ(table.TranslateKeyDown(msg, refusing.hwnd), 1);
    CMenuAccelTable::SetMainWindowGetter(nullptr);
    g_mainWindow = nullptr;
    EXPECT_EQ(refusing.commands.size(), 2u);
    ASSERT_EQ(main.commands.size(), 1u);
    EXPECT_EQ(main.commands[0], MAKEWPARAM(32828, 1));
}

TEST(MenuAccelTable, KeyTextsBehindMenuItems)
{
    CMenuAccelTable table;
    table.BuildDefault();

    CString text = L"Copy\tCtrl+Old";
    EXPECT_EQ(table.AppendKeyToItemText(32793, text), 1);
    const CString ctrlC = KeyName(VK_CONTROL) + L"+" + KeyName('C');
    EXPECT_EQ(text, L"Copy\t" + ctrlC);

    text = L"Delete";
    EXPECT_EQ(table.AppendKeyToItemText(32796, text), 1);
    EXPECT_EQ(text.Find(L"Num"), -1);
    EXPECT_EQ(text.Find(L"\t "), -1);
    EXPECT_EQ(text.Left(7), L"Delete\t");

    text = L"Other\tX";
    EXPECT_EQ(table.AppendKeyToItemText(1234, text), 0);
    EXPECT_EQ(text, L"Other\tX");

    Menu sub;
    sub.Append(L"Select all", 32861);
    Menu menu;
    menu.Append(L"Copy\tOld", 32793);
    menu.Append(nullptr, 0);
    menu.Append(L"Collapse", 32859);
    menu.Append(L"Minimize", 32798);
    menu.Append(L"Other", 4321);
    menu.AppendSub(L"More", sub);
    EXPECT_EQ(table.AppendKeysToMenu(menu.handle), 3);
    EXPECT_EQ(TextOf(menu.handle, 32793), L"Copy\t" + ctrlC);
    EXPECT_EQ(TextOf(menu.handle, 32859), L"Collapse\t" + KeyName(VK_ESCAPE));
    EXPECT_EQ(TextOf(menu.handle, 32798), L"Minimize\t" + KeyName(VK_ESCAPE));
    EXPECT_EQ(TextOf(menu.handle, 4321), L"Other");
    EXPECT_EQ(TextOf(menu.handle, 32861), L"Select all");
    EXPECT_EQ(table.AppendKeyToMenuItem(menu.handle, 4321), 0);
}
