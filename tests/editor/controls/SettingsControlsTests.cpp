// test-locks: desktop
// The settings pane's controls on real windows: the extended hot-key control
// (messages, HotkeyInfo round trip, texts, the ">" notification and its blink),
// the link button and hyperlink static (what a click reports) and the tab
// control's owner-supplied tab tips.

#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "common/BoldCheckBox.h"
#include "editor/controls/EditorHyperlinkStatic.h"
#include "editor/controls/HotkeyCtrlEx.h"
#include "editor/controls/HoverLinkButton.h"
#include "editor/controls/SettingsTabCtrl.h"
#include "support/MessagePump.h"

namespace
{

// A top-level window that records the notifications and messages it gets and
// answers the tab tip request.
struct Recorder
{
    std::vector<UINT> codes;
    std::vector<UINT> messages;
    RECT arrowRect{};
    std::wstring tipAnswer;
    int refuseHotTab = -1;
};

LRESULT CALLBACK RecorderProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* recorder = reinterpret_cast<Recorder*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (recorder && msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        recorder->codes.push_back(header->code);
        if (header->code == kEditorNotifyArrowClicked)
            recorder->arrowRect = reinterpret_cast<NMHOTKEYARROW*>(header)->buttonRect;
        if (header->code == kTabNotifyTipText) {
            auto* record = reinterpret_cast<NMTABTIPTEXT*>(header);
            if (recorder->tipAnswer.empty())
                return 0;
            wcsncpy(record->tipText, (recorder->tipAnswer + L" #" + std::to_wstring(record->param)).c_str(),
                    1000);
            return 1;
        }
        if (header->code == kTabNotifyHot)
            return reinterpret_cast<NMTABHOT*>(header)->tab == recorder->refuseHotTab ? 2 : 0;
        return 0;
    }
    if (recorder && (msg == WM_CONTEXTMENU || (msg >= 1000 && msg < 0x7FFF)))
        recorder->messages.push_back(msg);
    return ::DefWindowProcW(window, msg, wParam, lParam);
}

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScvSettingsControlsTestParent";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        ::RegisterClassW(&wc);
        parent = ::CreateWindowExW(0, wc.lpszClassName, L"controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                   500, 300, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(parent, nullptr);
        ::SetWindowLongPtrW(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&recorder));
    }
    void TearDown() override
    {
        if (parent)
            ::DestroyWindow(parent);
    }
    bool Received(UINT code) const
    {
        for (UINT c : recorder.codes)
            if (c == code)
                return true;
        return false;
    }

    Recorder recorder;
    HWND parent = nullptr;
};

TEST_F(ControlsTest, HotkeyControlKeepsKeyBoxesAndSecondWord)
{
    CHotkeyCtrlExAdv control;
    ASSERT_NE(control.Create(parent, RECT{10, 10, 250, 70}, 1001), nullptr);
    EXPECT_EQ(::GetDlgItem(control, 1) != nullptr && ::GetDlgItem(control, 4) != nullptr, true);

    struct Case
    {
        WORD key;
        WORD mods;
        int flags;
    } cases[] = {
        {VK_RETURN, MOD_ALT | MOD_CONTROL, 0}, {VK_SPACE, MOD_SHIFT | MOD_WIN, 1}, {'7', MOD_CONTROL, 1}};
    for (const Case& c : cases) {
        HotkeyInfo in;
        in.virtualKey = c.key;
        in.modifiers = c.mods;
        in.flags = c.flags;
        EXPECT_TRUE(control.SetHotkeyInfo(in)) << c.key;
        HotkeyInfo out;
        out.secondWord = 1;
        ASSERT_TRUE(control.GetHotkeyInfo(out));
        EXPECT_TRUE(out.SameKey(in)) << c.key;
        EXPECT_EQ(out.secondWord, 1);
        EXPECT_EQ(::SendMessageW(control, HKX_GETWIN, 0, 0), (c.mods & MOD_WIN) ? 1 : 0);
        EXPECT_EQ(::SendMessageW(control, HKX_GETDOUBLE, 0, 0), c.flags & 1);
        UINT key = 0;
        UINT mods = 0;
        bool win = false;
        bool twice = false;
        EXPECT_TRUE(control.GetHotkey(key, mods, win, twice));
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(mods, static_cast<UINT>(c.mods & ~MOD_WIN));
        EXPECT_EQ(win, (c.mods & MOD_WIN) != 0);
        EXPECT_EQ(twice, (c.flags & 1) != 0);
    }
    // Box numbers other than 1 and 2 answer 0; box 1 is "WIN".
    EXPECT_EQ(::SendMessageW(control, HKX_GETBOX, 3, 0), 0);
    EXPECT_EQ(::SendMessageW(control, HKX_SETBOX, 0, BST_CHECKED), 0);
    ::SendMessageW(control, HKX_SETBOX, 1, BST_UNCHECKED);
    EXPECT_EQ(::SendMessageW(control, HKX_GETWIN, 0, 0), 0);
    control.SetDoubleCaption(L"x2");
    wchar_t caption[16] = {};
    ::GetWindowTextW(::GetDlgItem(control, 3), caption, 16);
    EXPECT_STREQ(caption, L"x2");
    ::SendMessageW(control, HKX_SETDOUBLECAPTION, 1, reinterpret_cast<LPARAM>(L"nope"));
    ::GetWindowTextW(::GetDlgItem(control, 3), caption, 16);
    EXPECT_STREQ(caption, L"x2");
    ::UpdateWindow(control); // paints the field with both boxes on without trouble

    // The key boxes show their caption bold while checked.
    auto fontOf = [&](int id) {
        return reinterpret_cast<HFONT>(::SendMessageW(::GetDlgItem(control, id), WM_GETFONT, 0, 0));
    };
    ::SendMessageW(control, HKX_SETBOX, 1, BST_CHECKED);
    EXPECT_EQ(fontOf(2), GetBoldCheckBoxFont());
    ::SendMessageW(control, HKX_SETBOX, 1, BST_UNCHECKED);
    EXPECT_EQ(fontOf(2), static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(ControlsTest, HotkeyTextsNameTheKeysAndTheDoublePress)
{
    HotkeyInfo info;
    info.virtualKey = VK_SPACE;
    info.modifiers = MOD_ALT;
    const CString single = HotkeyInfoToText(info);
    info.flags = 1;
    const CString twice = HotkeyInfoToText(info);
    EXPECT_EQ(std::wstring(twice.GetString()), std::wstring(single.GetString()) + L" - x 2");
    EXPECT_NE(single.Find(L"+"), -1);
    EXPECT_TRUE(HotkeyModifiersToText(0, 0).IsEmpty());
    EXPECT_EQ(HotkeyModifiersToText(VK_PAUSE, MOD_WIN), CString(L"WIN+Pause"));
}

TEST_F(ControlsTest, BoxesAndArrowNotifyTheParentAndFocusBlinksOnce)
{
    CHotkeyCtrlExAdv control;
    ASSERT_NE(control.Create(parent, RECT{10, 10, 250, 70}, 1001), nullptr);
    ::SendMessageW(::GetDlgItem(control, 2), BM_CLICK, 0, 0);
    EXPECT_TRUE(Received(kEditorNotifyChanged));
    HWND arrow = ::GetDlgItem(control, 4);
    ::SendMessageW(arrow, BM_CLICK, 0, 0);
    ASSERT_TRUE(Received(kEditorNotifyArrowClicked));
    RECT arrowRect;
    ::GetWindowRect(arrow, &arrowRect);
    EXPECT_EQ(recorder.arrowRect.left, arrowRect.left);
    EXPECT_EQ(recorder.arrowRect.top, arrowRect.top);

    ::SetForegroundWindow(parent);
    ::SetFocus(parent);
    ::SetFocus(control); // hands the focus to the field: the ">" button blinks
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(control, 1));
    ASSERT_TRUE(IsHotkeyCtrlBlinking(control));
    bool emptied = scvtest::PumpUntil([&] { return ::GetWindowTextLengthW(arrow) == 0; }, 2000);
    EXPECT_TRUE(emptied);
    ::SetFocus(::GetDlgItem(control, 2));
    ::SetFocus(::GetDlgItem(control, 1)); // a second focus within the blink starts none
    EXPECT_TRUE(scvtest::PumpUntil([&] { return !IsHotkeyCtrlBlinking(control); }, 5000));
    wchar_t text[8] = {};
    ::GetWindowTextW(arrow, text, 8);
    EXPECT_STREQ(text, L">");
    // Focus moving between the control's own children sent no NM_KILLFOCUS.
    EXPECT_FALSE(Received(NM_KILLFOCUS));
    ::DestroyWindow(control); // the thread's own event handle outlives the control
}

TEST_F(ControlsTest, FieldFocusClearingAndContextMenuReachTheParent)
{
    CHotkeyCtrlExAdv control;
    ASSERT_NE(control.Create(parent, RECT{10, 10, 250, 70}, 1001), nullptr);
    HWND field = ::GetDlgItem(control, 1);
    auto count = [&](UINT code) { return std::count(recorder.codes.begin(), recorder.codes.end(), code); };

    // The field itself taking the focus notifies once; so does the control handing it on.
    ::SetForegroundWindow(parent);
    ::SetFocus(parent);
    ::SetFocus(field);
    EXPECT_EQ(1, count(NM_SETFOCUS));
    ::SetFocus(parent);
    ::SetFocus(control);
    EXPECT_EQ(::GetFocus(), field);
    EXPECT_EQ(2, count(NM_SETFOCUS));

    // A key released in a field just cleared still notifies: the page tests the (empty) key again.
    HotkeyInfo key;
    key.virtualKey = VK_F7;
    key.modifiers = MOD_CONTROL;
    control.SetHotkeyInfo(key);
    ::SendMessageW(field, HKM_SETHOTKEY, 0, 0);
    recorder.codes.clear();
    ::SendMessageW(field, WM_KEYUP, VK_BACK, 0xC0000001);
    EXPECT_EQ(1, count(kEditorNotifyChanged));

    // The context menu request runs the default handling (which goes up to the parent) and notifies.
    recorder.messages.clear();
    ::SendMessageW(field, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(field), MAKELPARAM(120, 90));
    EXPECT_EQ(1, count(kEditorNotifyContextMenu));
    EXPECT_NE(recorder.messages.end(),
              std::find(recorder.messages.begin(), recorder.messages.end(), static_cast<UINT>(WM_CONTEXTMENU)));
    scvtest::PumpUntil([&] { return !IsHotkeyCtrlBlinking(control); }, 5000);
    ::DestroyWindow(control);
}

TEST_F(ControlsTest, LinkButtonCaptionClickNotifiesInsteadOfToggling)
{
    HWND box = ::CreateWindowExW(0, L"Button", L"Write log to file", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                                 10, 100, 200, 20, parent, reinterpret_cast<HMENU>(1026), nullptr, nullptr);
    HoverLinkButton link;
    ASSERT_TRUE(link.Attach(box));
    EXPECT_NE(link.GetToolTip(), nullptr);
    const RECT caption = link.GetCaptionRect();
    ASSERT_GT(caption.right, caption.left);
    const LPARAM onText = MAKELPARAM((caption.left + caption.right) / 2, (caption.top + caption.bottom) / 2);
    ::SendMessageW(box, WM_MOUSEMOVE, 0, onText);
    EXPECT_TRUE(link.IsHovering());
    ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, onText);
    ::SendMessageW(box, WM_LBUTTONUP, 0, onText);
    EXPECT_TRUE(Received(kEditorNotifyChanged));
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    recorder.codes.clear();
    const LPARAM onMark = MAKELPARAM(4, (caption.top + caption.bottom) / 2);
    ::SendMessageW(box, WM_MOUSEMOVE, 0, onMark);
    EXPECT_FALSE(link.IsHovering());
    ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, onMark);
    ::SendMessageW(box, WM_LBUTTONUP, 0, onMark);
    EXPECT_FALSE(Received(kEditorNotifyChanged));
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ControlsTest, MessageLinkSendsItsNumberToTheParentOnAClickOverTheText)
{
    HWND label = ::CreateWindowExW(0, L"Static", L"Check for updates now", WS_CHILD | WS_VISIBLE | SS_CENTER,
                                   10, 140, 300, 20, parent, reinterpret_cast<HMENU>(1038), nullptr, nullptr);
    EditorHyperlinkStatic link(MakeMessageLink(1234));
    ASSERT_TRUE(link.Attach(label));
    EXPECT_NE(::GetWindowLongW(label, GWL_STYLE) & SS_NOTIFY, 0);
    const RECT text = link.GetTextRect();
    EXPECT_GT(text.left, 0);                                  // centred
    ::SendMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(1, 1)); // beside the centred text: nothing
    EXPECT_TRUE(recorder.messages.empty());
    ::SendMessageW(label, WM_LBUTTONUP, 0,
                   MAKELPARAM((text.left + text.right) / 2, (text.top + text.bottom) / 2));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0], 1234u);
    EXPECT_TRUE(link.IsVisited());
}

TEST(LinkTexts, MailAddressesAndColoursParse)
{
    EXPECT_EQ(MakeMessageLink(32770), CString(L"message:32770"));
    EXPECT_EQ(EditorHyperlinkStatic::MakeOpenTarget(L"someone@example.org"),
              CString(L"mailto:someone@example.org"));
    EXPECT_EQ(EditorHyperlinkStatic::MakeOpenTarget(L"@example.org"), CString(L"@example.org"));
    EXPECT_EQ(EditorHyperlinkStatic::MakeOpenTarget(L"http://example.org/"), CString(L"http://example.org/"));

    struct Case
    {
        LPCWSTR text;
        bool ok;
        COLORREF color;
    } cases[] = {
        {L"0,0,128", true, RGB(0, 0, 128)},
        {L"255, 10, 0", true, RGB(255, 10, 0)},
        {L"0,0", false, 0},
        {L"", false, 0},
        {L"1,2,300", false, 0},
    };
    for (const Case& c : cases) {
        COLORREF color = 0x123456;
        EXPECT_EQ(ParseAnchorColor(c.text, color), c.ok) << c.text;
        EXPECT_EQ(color, c.ok ? c.color : 0x123456u) << c.text;
    }
}

TEST(LinkTexts, RegistryColourIsReadWithATerminatedBuffer)
{
    const wchar_t* key = L"Software\\ScrivolanterTests\\AnchorColors";
    HKEY handle = nullptr;
    ASSERT_EQ(
        ::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
        ERROR_SUCCESS);
    const std::wstring good = L"0,0,128";
    const std::wstring longText = L"0,0,128,999999999999999999999999999999";
    ::RegSetValueExW(handle, L"Good", 0, REG_SZ, reinterpret_cast<const BYTE*>(good.c_str()),
                     static_cast<DWORD>((good.size() + 1) * sizeof(wchar_t)));
    // Exactly 23 characters without a terminator: must still read as a terminated text.
    ::RegSetValueExW(handle, L"Unterminated", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(L"12,34,56               "), 23 * sizeof(wchar_t));
    ::RegSetValueExW(handle, L"TooLong", 0, REG_SZ, reinterpret_cast<const BYTE*>(longText.c_str()),
                     static_cast<DWORD>((longText.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
    COLORREF color = 0;
    EXPECT_TRUE(ReadAnchorColor(key, L"Good", color));
    EXPECT_EQ(color, RGB(0, 0, 128));
    EXPECT_TRUE(ReadAnchorColor(key, L"Unterminated", color));
    EXPECT_EQ(color, RGB(12, 34, 56));
    color = 7;
    EXPECT_FALSE(ReadAnchorColor(key, L"TooLong", color));
    EXPECT_FALSE(ReadAnchorColor(key, L"Missing", color));
    EXPECT_EQ(color, 7u);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ScrivolanterTests\\AnchorColors");
}

TEST_F(ControlsTest, TabTipsComeFromTheParentAndOwnTooltipsStay)
{
    SettingsTabCtrl tab;
    ASSERT_NE(tab.Create(parent, RECT{0, 0, 400, 30}, 1234, WS_CHILD | WS_VISIBLE), nullptr);
    tab.InsertTab(0, L"Miscellaneous", 0);
    tab.InsertTab(1, L"Float Pane", 1);
    EXPECT_EQ(tab.GetTabItemParam(1), 1);
    EXPECT_EQ(tab.GetTabItemParam(2), -1);

    HWND ours = reinterpret_cast<HWND>(::SendMessageW(tab, TCM_GETTOOLTIPS, 0, 0));
    ASSERT_NE(ours, nullptr);
    HWND stranger = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, parent, nullptr,
                                      nullptr, nullptr);
    ::SendMessageW(tab, TCM_SETTOOLTIPS, reinterpret_cast<WPARAM>(stranger), 0);
    EXPECT_EQ(reinterpret_cast<HWND>(::SendMessageW(tab, TCM_GETTOOLTIPS, 0, 0)), ours);

    RECT second;
    ASSERT_TRUE(::SendMessageW(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second)));
    const LPARAM onSecond = MAKELPARAM((second.left + second.right) / 2, (second.top + second.bottom) / 2);

    // No text from the parent: no tip.
    ::SendMessageW(tab, WM_MBUTTONUP, 0, onSecond);
    EXPECT_EQ(tab.GetTipTab(), -1);
    EXPECT_TRUE(Received(kTabNotifyTipText));

    recorder.tipAnswer = L"Float pane options";
    ::SendMessageW(tab, WM_MBUTTONUP, 0, onSecond);
    EXPECT_EQ(tab.GetTipTab(), 1);
    wchar_t text[200] = {};
    TTTOOLINFOW tool{sizeof(tool)};
    tool.hwnd = tab;
    tool.uId = reinterpret_cast<UINT_PTR>(tab.m_hWnd);
    tool.lpszText = text;
    ::SendMessageW(ours, TTM_GETTEXTW, 200, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"Float pane options #1");

    // Moving onto another tab hides the shown tip first; a refused tab does not become hot.
    RECT first;
    ::SendMessageW(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    recorder.refuseHotTab = 0;
    ::SendMessageW(tab, WM_MOUSEMOVE, 0,
                   MAKELPARAM((first.left + first.right) / 2, (first.top + first.bottom) / 2));
    EXPECT_EQ(tab.GetTipTab(), -1);
    EXPECT_EQ(tab.GetHotTab(), -1);
    EXPECT_TRUE(Received(kTabNotifyHot));
    ::SendMessageW(tab, WM_MOUSEMOVE, 0, onSecond);
    EXPECT_EQ(tab.GetHotTab(), 1);

    // The tip's title is the tab text, cut to what a tooltip title holds.
    auto title = [&] {
        wchar_t buffer[200] = {};
        TTGETTITLE get = {sizeof(get)};
        get.cch = 200;
        get.pszTitle = buffer;
        ::SendMessageW(ours, TTM_GETTITLE, 0, reinterpret_cast<LPARAM>(&get));
        return std::wstring(buffer);
    };
    const bool titlesReadable = title() == L"Float Pane";
    const std::wstring longText(120, L'W');
    tab.InsertTab(2, longText.c_str(), 2);
    RECT third;
    ASSERT_TRUE(::SendMessageW(tab, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third)));
    ::SendMessageW(tab, WM_MBUTTONUP, 0, MAKELPARAM(third.left + 3, (third.top + third.bottom) / 2));
    EXPECT_EQ(tab.GetTipTab(), 2);
    // Wine's tooltip answers TTM_GETTITLE with nothing: the title is read back only where it answers.
    if (titlesReadable)
        EXPECT_EQ(title(), longText.substr(0, SettingsTabCtrl::kTabTipTitleChars));
    ::DestroyWindow(stranger);
}

} // namespace
