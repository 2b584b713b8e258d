// test-locks: desktop
// The editor's small window helpers on real windows: the control wrappers and the tree walk, the
// hover highlight, the owner-drawn push button's default handling, menu bitmaps from icons and the
// visual-styles binder.
#include "editor/controls/HoverHighlight.h"
#include "editor/controls/MenuIcons.h"
#include "editor/controls/OwnerDrawPushButton.h"
#include "editor/controls/ThemeBinder.h"
#include "editor/controls/TreeCtrlWalk.h"

#include "common/GdiObjectGuards.h"
#include "platform/CWindowImpl.h"
#include "platform/docview/Controls.h"

#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

// A top-level window that owns the controls of one test.
struct Host
{
    Host(int width = 300, int height = 200)
    {
        hwnd = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 50, 50, width, height, nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~Host() { ::DestroyWindow(hwnd); }
    HWND Child(LPCWSTR windowClass, DWORD style, int width, int height, LPCWSTR text = L"") const
    {
        return ::CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, width, height,
                                 hwnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    HWND hwnd;
};

bool CollectText(HWND tree, HTREEITEM item, void* data)
{
    auto* texts = static_cast<std::vector<std::wstring>*>(data);
    texts->push_back(CTreeCtrl(tree).GetItemText(item).GetString());
    return texts->back() != L"stop";
}

TEST(EditorHelpers, TreeWalkVisitsEachItemBeforeItsChildrenAndStopsWhenAsked)
{
    Host host;
    CTreeCtrl tree(host.Child(WC_TREEVIEWW, TVS_HASBUTTONS | TVS_CHECKBOXES, 200, 150));
    ASSERT_TRUE(tree.IsWindow());
    HTREEITEM a = tree.InsertItem(L"a", TVI_ROOT, TVI_LAST, 1);
    HTREEITEM a1 = tree.InsertItem(L"a1", a, TVI_LAST, 2);
    tree.InsertItem(L"a1x", a1);
    tree.InsertItem(L"a2", a);
    HTREEITEM b = tree.InsertItem(L"b", TVI_ROOT, TVI_LAST, 5);
    EXPECT_EQ(tree.GetCount(), 5u);
    EXPECT_EQ(tree.GetItemData(a1), 2);
    EXPECT_EQ(tree.GetParentItem(a1), a);
    EXPECT_TRUE(tree.SetCheck(b, TRUE));
    EXPECT_TRUE(tree.GetCheck(b));
    EXPECT_FALSE(tree.GetCheck(a));

    std::vector<std::wstring> texts;
    EXPECT_EQ(ForEachTreeCtrlItem(tree, CollectText, &texts), nullptr);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"a", L"a1", L"a1x", L"a2", L"b"}));

    texts.clear();
    EXPECT_EQ(ForEachTreeCtrlItemFrom(tree, CollectText, &texts, a1), nullptr);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"a1", L"a1x"})) << "one item and its subtree only";

    tree.SetItemText(a1, L"stop");
    texts.clear();
    EXPECT_EQ(ForEachTreeCtrlItem(tree, CollectText, &texts), a1);
    EXPECT_EQ(texts.size(), 2u);
    EXPECT_EQ(ForEachTreeCtrlItem(nullptr, CollectText, &texts), nullptr);
}

TEST(EditorHelpers, EnsureVisibleKeepsTheHorizontalScrollPosition)
{
    Host host;
    CTreeCtrl tree(host.Child(WC_TREEVIEWW, TVS_HASLINES, 120, 80));
    HTREEITEM last = nullptr;
    for (int i = 0; i < 40; ++i) {
        const std::wstring text = L"item " + std::to_wstring(i) + L" with a text far wider than the tree";
        last = tree.InsertItem(text.c_str());
    }
    ::SendMessageW(tree, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), 0);
    const int before = ::GetScrollPos(tree, SB_HORZ);
    EXPECT_TRUE(EnsureTreeItemVisibleKeepHScroll(tree, last));
    EXPECT_EQ(::GetScrollPos(tree, SB_HORZ), before);
    RECT rect{};
    EXPECT_TRUE(tree.GetItemRect(last, &rect, FALSE)) << "the last item is visible now";
    EXPECT_FALSE(EnsureTreeItemVisibleKeepHScroll(tree, nullptr));
}

TEST(EditorHelpers, ListComboAndRichEditWrappersDriveRealControls)
{
    Host host;
    CListCtrl list(host.Child(WC_LISTVIEWW, LVS_REPORT, 200, 100));
    list.SetExtendedStyle(LVS_EX_CHECKBOXES);
    list.InsertColumn(0, L"Name", 100);
    EXPECT_EQ(list.InsertItem(0, L"one", 0, 11), 0);
    list.SetItemText(0, 0, L"first");
    EXPECT_STREQ(list.GetItemText(0, 0), L"first");
    EXPECT_EQ(list.GetItemData(0), 11);
    list.SetCheck(0, TRUE);
    EXPECT_TRUE(list.GetCheck(0));

    CComboBox combo(host.Child(WC_COMBOBOXW, CBS_DROPDOWNLIST, 100, 120));
    combo.SetItemData(combo.AddString(L"x"), 42);
    combo.SetCurSel(0);
    EXPECT_EQ(combo.GetItemData(combo.GetCurSel()), 42);

    ASSERT_TRUE(::LoadLibraryW(L"RichEd20.dll"));
    CRichEditCtrl edit(host.Child(L"RichEdit20W", ES_MULTILINE, 200, 60));
    ASSERT_TRUE(edit.IsWindow());
    edit.ReplaceSel(L"hello world", TRUE);
    edit.SetSel(0, 5);
    CHARRANGE range{};
    edit.GetSel(range);
    EXPECT_EQ(range.cpMin, 0);
    EXPECT_EQ(range.cpMax, 5);
    CHARFORMAT2W format{};
    format.dwMask = CFM_BOLD;
    format.dwEffects = CFE_BOLD;
    EXPECT_TRUE(edit.SetSelectionCharFormat(format));
    CHARFORMAT2W read{};
    edit.GetSelectionCharFormat(read);
    EXPECT_TRUE(read.dwEffects & CFE_BOLD);
    edit.SetModify(FALSE);
    EXPECT_FALSE(edit.GetModify());

    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 7, L"Seven");
    EXPECT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_STREQ(menu.GetMenuString(7, MF_BYCOMMAND), L"Seven");
}

// A window whose map chains the hover highlight.
class HoverWindow : public CWindowImpl<HoverWindow, CWindow, CWinTraits<WS_POPUP | WS_VISIBLE, 0>>,
                    public CHoverHighlight
{
public:
    DECLARE_WND_CLASS_EX(L"EditorHelpersHoverWindow", 0, COLOR_WINDOW)
    BEGIN_MSG_MAP(HoverWindow)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    CHAIN_MSG_MAP(CHoverHighlight)
    END_MSG_MAP()
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        ++moves;
        handled = FALSE; // the highlight sees it too
        return 0;
    }
    int moves = 0;
};

TEST(EditorHelpers, HoverHighlightFollowsTheCursorAndNeverErasesTheBackground)
{
    HoverWindow window;
    RECT place = {100, 100, 200, 160};
    ASSERT_TRUE(window.Create(nullptr, place, L"hover"));
    ASSERT_TRUE(::SetCursorPos(150, 130));
    window.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(50, 30));
    EXPECT_TRUE(window.IsHot());
    EXPECT_EQ(window.moves, 1);

    ASSERT_TRUE(::SetCursorPos(400, 400));
    window.SendMessage(WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(window.IsHot()) << "outside the window rectangle";
    ::SetCursorPos(150, 130);
    window.SendMessage(WM_MOUSEMOVE, 0, 0);
    ASSERT_TRUE(window.IsHot());
    window.SendMessage(WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(window.IsHot());

    WindowDC dc(window.m_hWnd);
    EXPECT_EQ(window.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0), 1);
    window.DestroyWindow();
}

TEST(EditorHelpers, OwnerDrawnButtonKeepsItsDrawingWhenMadeTheDefault)
{
    Host host;
    HWND button = host.Child(L"BUTTON", BS_OWNERDRAW, 80, 24, L"Go");
    COwnerDrawPushButton owner;
    ASSERT_TRUE(owner.Attach(button));
    EXPECT_FALSE(owner.IsDefault());
    const LRESULT plain = ::SendMessageW(button, WM_GETDLGCODE, 0, 0);
    EXPECT_FALSE(plain & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) << "neither default nor allowed to be";

    owner.SetMayBeDefault(true);
    EXPECT_TRUE(::SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON);

    ::SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(owner.IsDefault());
    EXPECT_EQ(::GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << "stays owner-drawn";
    EXPECT_TRUE(::SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);

    ::SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(owner.IsDefault());
    EXPECT_EQ(::GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    HWND radio = host.Child(L"BUTTON", BS_AUTORADIOBUTTON, 80, 24, L"One");
    COwnerDrawPushButton radioOwner;
    ASSERT_TRUE(radioOwner.Attach(radio));
    EXPECT_TRUE(::SendMessageW(radio, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON);
    HWND group = host.Child(L"BUTTON", BS_GROUPBOX, 80, 24, L"Group");
    COwnerDrawPushButton groupOwner;
    ASSERT_TRUE(groupOwner.Attach(group));
    EXPECT_EQ(::SendMessageW(group, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

TEST(EditorHelpers, MenuBitmapIsTheIconOnTheBrush)
{
    const COLORREF background = RGB(10, 200, 30);
    GdiObject<HBRUSH> brush(::CreateSolidBrush(background));
    // A 16 x 16 icon: opaque red in its left half, transparent in its right half.
    BYTE andMask[16 * 4] = {};
    for (int row = 0; row < 16; ++row)
        andMask[row * 4 + 1] = 0xFF; // columns 8 to 15 transparent
    WindowDC screen;
    MemoryDC memory(screen.get());
    GdiObject<HBITMAP> color(::CreateCompatibleBitmap(screen.get(), 16, 16));
    {
        SelectedObject selected(memory.get(), color.get());
        RECT all = {0, 0, 16, 16};
        GdiObject<HBRUSH> black(::CreateSolidBrush(RGB(0, 0, 0)));
        ::FillRect(memory.get(), &all, black.get());
        RECT left = {0, 0, 8, 16};
        GdiObject<HBRUSH> red(::CreateSolidBrush(RGB(255, 0, 0)));
        ::FillRect(memory.get(), &left, red.get());
    }
    GdiObject<HBITMAP> mask(::CreateBitmap(16, 16, 1, 1, andMask));
    ICONINFO info{TRUE, 0, 0, mask.get(), color.get()};
    IconHandle icon(::CreateIconIndirect(&info));
    ASSERT_TRUE(icon);

    GdiObject<HBITMAP> bitmap(IconToMenuBitmap(icon.get(), brush.get()));
    ASSERT_TRUE(bitmap);
    BITMAP described{};
    ::GetObjectW(bitmap.get(), sizeof(described), &described);
    EXPECT_EQ(described.bmWidth, 16);
    EXPECT_EQ(described.bmHeight, 16);
    SelectedObject selected(memory.get(), bitmap.get());
    EXPECT_EQ(::GetPixel(memory.get(), 3, 8), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(memory.get(), 12, 8), background);
    EXPECT_EQ(IconToMenuBitmap(nullptr, brush.get()), nullptr);

    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, 5, L"Five");
    EXPECT_TRUE(SetMenuCommandBitmap(menu, 5, bitmap.get()));
    EXPECT_FALSE(SetMenuCommandBitmap(menu, 6, bitmap.get()));
}

TEST(EditorHelpers, ThemeBinderCountsItsUsers)
{
    ASSERT_EQ(CThemeBinder::Count(), 0);
    EXPECT_FALSE(CThemeBinder::IsAvailable());
    {
        auto first = std::make_unique<CThemeBinder>();
        const bool available = CThemeBinder::IsAvailable();
        EXPECT_EQ(available, CThemeBinder::Functions().openThemeData != nullptr);
        if (available)
            EXPECT_NE(CThemeBinder::Functions().drawThemeText, nullptr);
        {
            CThemeBinder second;
            EXPECT_EQ(CThemeBinder::Count(), 2);
        }
        EXPECT_EQ(CThemeBinder::IsAvailable(), available) << "one binder still lives";
    }
    EXPECT_EQ(CThemeBinder::Count(), 0);
    EXPECT_FALSE(CThemeBinder::IsAvailable());
    EXPECT_EQ(CThemeBinder::Functions().openThemeData, nullptr);
}

} // namespace
