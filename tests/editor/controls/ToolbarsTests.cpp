// test-locks: desktop
#include "editor/controls/LinksToolBar.h"
#include "editor/controls/PhraseTextToolBar.h"
#include "editor/controls/PhraseTreeToolBar.h"
#include "editor/controls/SettingsPaneToolBar.h"
#include "editor/controls/ToolTipTitle.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <string>

namespace
{

// A plain top-level parent for the toolbars.
struct Parent
{
    HWND window =
        ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 200, nullptr, nullptr, nullptr, nullptr);
    ~Parent() { ::DestroyWindow(window); }
};

constexpr DWORD kToolbarStyle =
    WS_CHILD | WS_VISIBLE | CCS_TOP | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | TBSTYLE_LIST;

bool Pump(const std::function<bool()>& done, DWORD limitMs)
{
    const ULONGLONG end = ::GetTickCount64() + limitMs;
    while (!done()) {
        if (::GetTickCount64() > end)
            return false;
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
    return true;
}

TEST(PhraseTextToolBar, ReadOnlyButtonFollowsTheWantedStates)
{
    Parent parent;
    PhraseTextToolBar bar;
    ASSERT_TRUE(bar.CreateBar(parent.window, RECT{2, 2, 598, 34}, 1030, kToolbarStyle));
    EXPECT_EQ(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 11);

    struct Case
    {
        bool checked;
        bool enabled;
    };
    for (const Case c : {Case{true, true}, Case{false, true}, Case{true, false}, Case{false, false}}) {
        bar.SetReadOnlyButton(c.checked, c.enabled);
        EXPECT_EQ(::SendMessageW(bar, TB_ISBUTTONCHECKED, PhraseTextCommand::kReadOnly, 0) != 0, c.checked);
        EXPECT_EQ(::SendMessageW(bar, TB_ISBUTTONENABLED, PhraseTextCommand::kReadOnly, 0) != 0, c.enabled);
    }

    // The data-format images are three distinct images after the button images.
    EXPECT_GE(bar.GetDataFormatImage(0), 9);
    EXPECT_NE(bar.GetDataFormatImage(1), bar.GetDataFormatImage(2));
    EXPECT_EQ(bar.GetDataFormatImage(3), -1);
    EXPECT_TRUE(bar.GetInfoTip(PhraseTextCommand::kInsertMacro).Find(L"[Ctrl+Alt+K]") >= 0);
}

TEST(PhraseTextToolBar, SecondBlinkDuringABlinkOnlyBeepsAndTheButtonEndsVisible)
{
    Parent parent;
    PhraseTextToolBar bar;
    ASSERT_TRUE(bar.CreateBar(parent.window, RECT{2, 2, 598, 34}, 1030, kToolbarStyle));
    EXPECT_TRUE(bar.StartReadOnlyBlink(false));
    EXPECT_TRUE(bar.IsBlinking());
    EXPECT_FALSE(bar.StartReadOnlyBlink(false));

    EXPECT_TRUE(Pump([&] { return !bar.IsBlinking(); }, 10000));
    EXPECT_FALSE(::SendMessageW(bar, TB_ISBUTTONHIDDEN, PhraseTextCommand::kReadOnly, 0));
    EXPECT_TRUE(bar.StartReadOnlyBlink(false)); // a new blink after the end
    Pump([&] { return !bar.IsBlinking(); }, 10000);
}

TEST(SettingsPaneToolBar, IsAsWideAsItsButtons)
{
    Parent parent;
    SettingsPaneToolBar bar;
    ASSERT_TRUE(bar.CreateBar(parent.window, RECT{0, 0, 400, 30}, 1, WS_CHILD | WS_VISIBLE | CCS_NORESIZE));
    bar.SetWindowPos(nullptr, 0, 0, 500, 30, SWP_NOZORDER);
    RECT rect = {};
    bar.GetWindowRect(&rect);
    EXPECT_EQ(rect.right - rect.left, SettingsPaneToolBar::kWidthWithoutButtons);

    const TBBUTTON buttons[] = {{0, 1, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0},
                                {1, 2, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0}};
    ::SendMessageW(bar, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
    bar.SetWindowPos(nullptr, 0, 0, 500, 30, SWP_NOZORDER);
    bar.GetWindowRect(&rect);
    EXPECT_EQ(rect.right - rect.left, bar.WantedWidth());
    EXPECT_LT(bar.WantedWidth(), SettingsPaneToolBar::kWidthWithoutButtons);
}

TEST(PhraseTreeToolBar, LastButtonTakesTheRoomLeftUpToALimit)
{
    struct Case
    {
        int width;
        int buttons;
        int expected;
    };
    const Case cases[] = {{300, 3, 160}, {150, 3, 86}, {64, 3, 0}, {100, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(PhraseTreeToolBar::LastButtonWidth(c.width, c.buttons), c.expected) << c.width;

    Parent parent;
    PhraseTreeToolBar bar;
    ASSERT_TRUE(bar.CreateBar(parent.window, RECT{0, 0, 300, 30}, 1, WS_CHILD | WS_VISIBLE | TBSTYLE_LIST));
    const TBBUTTON button = {I_IMAGENONE,
                             PhraseTreeToolBar::kHideUncheckedCommand,
                             TBSTATE_ENABLED,
                             BTNS_CHECK | BTNS_SHOWTEXT,
                             {},
                             0,
                             0};
    ::SendMessageW(bar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    bar.SetHideUncheckedButton(L"Hide unchecked", true);
    wchar_t text[100] = {};
    TBBUTTONINFOW info = {sizeof(info), TBIF_TEXT};
    info.pszText = text;
    info.cchText = 100;
    ::SendMessageW(bar, TB_GETBUTTONINFOW, PhraseTreeToolBar::kHideUncheckedCommand,
                   reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"Hide unchecked");
    EXPECT_TRUE(::SendMessageW(bar, TB_ISBUTTONCHECKED, PhraseTreeToolBar::kHideUncheckedCommand, 0));
}

TEST(LinksToolBar, GroupButtonFollowsTheRegionalLanguage)
{
    Parent parent;
    LinksToolBar bar;
    ASSERT_TRUE(bar.CreateBar(parent.window, RECT{0, 0, 600, 30}, 1, WS_CHILD | WS_VISIBLE, false));
    ASSERT_EQ(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 5);
    auto groupCommand = [&] {
        TBBUTTON button = {};
        ::SendMessageW(bar, TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&button));
        return static_cast<UINT>(button.idCommand);
    };
    EXPECT_EQ(groupCommand(), LinksToolBar::kGroupCommand);
    bar.UpdateRegionalButtons(true);
    EXPECT_EQ(groupCommand(), LinksToolBar::kRegionalGroupCommand);
    bar.UpdateRegionalButtons(false);
    EXPECT_EQ(groupCommand(), LinksToolBar::kGroupCommand);

    bar.SetUrlSource(
        [](UINT command) { return command == 32781 ? CString(L"https://home.example") : CString(); });
    EXPECT_TRUE(bar.GetInfoTip(32781).Find(L"\x00BB https://home.example") >= 0);
}

TEST(SetTooltipTitle, CutsLongTitles)
{
    struct Case
    {
        std::wstring title;
        std::wstring shown;
    };
    const Case cases[] = {{std::wstring(98, L'a'), std::wstring(97, L'a') + L"& "},
                          {std::wstring(97, L'b'), std::wstring(97, L'b')},
                          {L"", L""}};
    for (const Case& c : cases)
        EXPECT_EQ(std::wstring(MakeTooltipTitle(c.title.c_str()).GetString()), c.shown) << c.title.size();
}

} // namespace
