// test-locks: desktop
// The phrase text edit: the read-only key filter, the macro under a point, typing into read-only
// text, character effects, the context menu and the macro hover tip on a real control.
#include "editor/app/text/PhraseTextEdit.h"

#include "editor/app/text/EditorMacroMenu.h"
#include "editor/app/text/EditorMacros.h"
#include "editor/controls/RichEditTextAccess.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace
{

TEST(PhraseTextEditKeys, ReadOnlyFilterLetsOnlyCaretKeysAndCtrlThrough)
{
    struct Case
    {
        UINT key;
        bool ctrl;
        bool blocked;
    };
    const Case cases[] = {
        {'A', false, true},         {VK_RETURN, false, true},  {VK_DELETE, false, true},
        {VK_BACK, false, true},     {VK_TAB, false, true},     {VK_END, false, false},
        {VK_HOME, false, false},    {VK_LEFT, false, false},   {VK_UP, false, false},
        {VK_RIGHT, false, false},   {VK_DOWN, false, false},   {VK_SHIFT, false, false},
        {VK_CONTROL, false, false}, {VK_INSERT, false, false}, {'C', true, false},
        {'V', true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsKeyBlockedWhenReadOnly(c.key, c.ctrl), c.blocked)
            << c.key << (c.ctrl ? " with Ctrl" : "");
}

TEST(PhraseTextEditKeys, MacroUnderAPosition)
{
    struct Case
    {
        const wchar_t* text;
        int index;
        const wchar_t* macro;
    };
    const Case cases[] = {
        {L"x %DATE% y", 3, L"%DATE%"},
        {L"x %DATE% y", 2, L"%DATE%"},
        {L"x %DATE% y", 8, L""},
        {L"x %DATE% y", 0, L""},
        {L"%DATE%%TIME%", 6, L"%TIME%"},
        {L"%DATE%%TIME%", 5, L"%DATE%"},
        {L"%DATETIME%", 3, L"%DATETIME%"},
        {L"a %PROMPT_TEXT={name}% b", 17, L"%PROMPT_TEXT={}%"},
        {L"a %PROMPT_TEXT={name}% b", 23, L""},
        {L"a %PROMPT_TEXT={unclosed", 20, L"%PROMPT_TEXT={}%"},
        {L"", 0, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(FindMacroAt(c.text, c.index).GetString()), std::wstring(c.macro))
            << c.text << " @" << c.index;
}

// A parent that reflects notifications and counts the read-only typing reports.
class EditParent : public CWindowImpl<EditParent, CWindow, CWinTraits<WS_POPUP, 0>>
{
public:
    DECLARE_WND_CLASS(L"PhraseTextEditTestsParent")
    BEGIN_MSG_MAP(EditParent)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        if (reinterpret_cast<NMHDR*>(lParam)->code == kPhraseEditTypingIntoReadOnly) {
            ++readOnlyReports;
            return 0;
        }
        handled = FALSE;
        return 0;
    }
    int readOnlyReports = 0;
};

class ManualClock : public ToolTipClock
{
public:
    void StartTimer(HWND, UINT_PTR id, UINT milliseconds) override { timers[id] = milliseconds; }
    void StopTimer(HWND, UINT_PTR id) override { timers.erase(id); }
    POINT CursorPos() override { return cursor; }
    std::map<UINT_PTR, UINT> timers;
    POINT cursor = {};
};

class PhraseTextEditTest : public testing::Test
{
protected:
    void SetUp() override
    {
        parent.Create(nullptr, RECT{0, 0, 500, 300});
        ASSERT_TRUE(edit.CreateEdit(parent, RECT{0, 0, 480, 280}, 1032,
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                        ES_WANTRETURN));
        edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        edit.SetClock(&clock);
    }
    void TearDown() override
    {
        edit.DestroyWindow();
        parent.DestroyWindow();
    }

    void Key(UINT key, wchar_t ch)
    {
        edit.SendMessage(WM_KEYDOWN, key, 1);
        if (ch)
            edit.SendMessage(WM_CHAR, ch, 1);
        edit.SendMessage(WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    }
    CString Text() { return GetRichEditPlainTextAll(edit); }

    EditParent parent;
    PhraseTextEdit edit;
    ManualClock clock;
};

TEST_F(PhraseTextEditTest, TypingIntoReadOnlyTextReportsAndInsertsNothing)
{
    SetRichEditText(edit, L"abc");
    edit.SetReadOnly(true);
    EXPECT_EQ(edit.GetBackgroundColorIndex(), COLOR_BTNFACE);
    ::SendMessageW(edit, EM_SETSEL, 0, 0);

    Key('X', L'X');
    EXPECT_EQ(parent.readOnlyReports, 1);
    EXPECT_EQ(Text(), CString(L"abc"));
    Key(VK_RIGHT, 0);
    EXPECT_EQ(parent.readOnlyReports, 1);
    CHARRANGE caret = {};
    ::SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(caret.cpMin, 1);

    edit.SetReadOnly(false);
    EXPECT_EQ(edit.GetBackgroundColorIndex(), COLOR_WINDOW);
    Key('X', L'X');
    EXPECT_EQ(parent.readOnlyReports, 1);
    EXPECT_EQ(Text(), CString(L"aXbc"));
}

TEST_F(PhraseTextEditTest, InsertKeyNeverLeavesOvertypeOn)
{
    SetRichEditText(edit, L"abc");
    ::SendMessageW(edit, EM_SETSEL, 0, 0);
    Key(VK_INSERT, 0);
    Key('Z', L'Z');
    EXPECT_EQ(Text(), CString(L"Zabc"));
}

TEST_F(PhraseTextEditTest, EffectsClearAndTheTextLimit)
{
    SetRichEditText(edit, L"word here");
    ::SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    ::SendMessageW(edit, EM_SETSEL, 0, 4);
    EXPECT_TRUE(edit.HasSelection());
    edit.SetBold(true);
    edit.SetItalic(true);
    EXPECT_TRUE(edit.IsBold());
    EXPECT_TRUE(edit.IsItalic());
    EXPECT_FALSE(edit.IsUnderline());
    EXPECT_TRUE(::SendMessageW(edit, EM_GETMODIFY, 0, 0));

    edit.SetReadOnly(true);
    edit.Clear();
    EXPECT_EQ(Text(), CString(L"word here"));
    edit.SetReadOnly(false);
    edit.Clear();
    EXPECT_EQ(Text(), CString(L" here"));
    EXPECT_TRUE(::SendMessageW(edit, EM_CANUNDO, 0, 0));

    EXPECT_EQ(::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 50000);
}

TEST_F(PhraseTextEditTest, ContextMenuHoldsTheEditCommandsAndTheMacros)
{
    HMENU menu = edit.BuildContextMenu();
    for (UINT id : {57643u, 57644u, 57632u, 57635u, 57634u, 57637u, 57642u, 32793u})
        EXPECT_NE(::GetMenuState(menu, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id;
    const int count = ::GetMenuItemCount(menu);
    HMENU macros = ::GetSubMenu(menu, count - 1);
    ASSERT_TRUE(macros);
    EXPECT_EQ(::GetMenuItemCount(macros), GetMacroCount());
    ::DestroyMenu(menu);
}

TEST_F(PhraseTextEditTest, RestingOnAMacroShowsItsTipUntilTheMouseLeaves)
{
    SetRichEditText(edit, L"ab %DATE% cd");
    POINTL at = {};
    ::SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), 5);
    const POINT point = {at.x + 1, at.y + 3};
    ASSERT_EQ(edit.MacroAtPoint(point), CString(L"%DATE%"));

    edit.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    ASSERT_EQ(clock.timers.count(PhraseTextEdit::kTipTimer), 1u);
    EXPECT_EQ(clock.timers[PhraseTextEdit::kTipTimer], 500u);

    // The cursor moved away before the timer: no tip.
    clock.cursor = {-100, -100};
    edit.SendMessage(WM_TIMER, PhraseTextEdit::kTipTimer, 0);
    EXPECT_TRUE(edit.ShownTipText().IsEmpty());

    POINT screen = point;
    ::ClientToScreen(edit, &screen);
    clock.cursor = screen;
    edit.ShowTipIfResting();
    const CString shown = edit.ShownTipText();
    EXPECT_GE(shown.Find(L"<font color=orange>%DATE%</font>"), 0);
    EXPECT_GE(shown.Find(L"Insert current date only (exclude time)"), 0);
    edit.ShowTipIfResting(); // the same tip again: unchanged
    EXPECT_EQ(edit.ShownTipText(), shown);

    edit.SendMessage(WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(edit.ShownTipText().IsEmpty());
}

TEST_F(PhraseTextEditTest, CueTextIsDueOnlyWhileEmptyAndUnfocused)
{
    ::SetFocus(nullptr);
    EXPECT_TRUE(edit.ShouldShow());
    EXPECT_EQ(edit.GetText(), CString(L"Type text for pasting here..."));
    SetRichEditText(edit, L"x");
    EXPECT_FALSE(edit.ShouldShow());
}

} // namespace
