// test-locks: desktop
#include "common/FloatPaneListView.h"
#include "common/GdiCache.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/MessagePump.h"

namespace
{
const int kListId = 77;

class FloatListFixture : public ::testing::Test
{
protected:
    static std::vector<WPARAM>& SysCommands()
    {
        static std::vector<WPARAM> commands;
        return commands;
    }

    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SYSCOMMAND) {
            SysCommands().push_back(wParam); // no modal move loop in a test
            return 0;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    void SetUp() override
    {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&init);
        static ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &FloatListFixture::ParentProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ScvFloatListParent";
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            return ::RegisterClassW(&wc);
        }();
        ASSERT_NE(atom, 0);
        SysCommands().clear();
        CreateAt(20, 20);
    }

    void CreateAt(int x, int y, DWORD extraStyle = 0, int items = 3)
    {
        if (m_parent)
            ::DestroyWindow(m_parent);
        m_parent = ::CreateWindowExW(WS_EX_TOPMOST, L"ScvFloatListParent", L"Pane", WS_POPUP | WS_VISIBLE, x,
                                     y, 320, 300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
        HWND list = ::CreateWindowExW(
            0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | extraStyle, 0, 0,
            320, 300, m_parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
            ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(list, nullptr);
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 280;
        ListView_InsertColumn(list, 0, &column);
        if (!(extraStyle & LVS_OWNERDATA)) {
            for (int i = 0; i < items; ++i) {
                std::wstring text = L"Clip " + std::to_wstring(i);
                LVITEMW item = {};
                item.mask = LVIF_TEXT;
                item.iItem = i;
                item.pszText = text.data();
                ListView_InsertItem(list, &item);
            }
        }
        m_list.reset(new CFloatPaneListView);
        ASSERT_TRUE(m_list->SubclassWindow(list));
    }

    void TearDown() override
    {
        if (m_parent)
            ::DestroyWindow(m_parent);
        m_list.reset();
    }

    HWND List() const { return m_list->m_hWnd; }
    RECT ItemBoundsOnScreen(int item) const
    {
        RECT rect = {};
        rect.left = LVIR_BOUNDS;
        ::SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
        ::MapWindowPoints(List(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    HWND m_parent = nullptr;
    std::unique_ptr<CFloatPaneListView> m_list;
};

int CountPixels(HWND window, const RECT& area, COLORREF colour)
{
    HDC dc = ::GetDC(window);
    int count = 0;
    for (int y = area.top; y < area.bottom; y += 1)
        for (int x = area.left; x < area.right; x += 1)
            count += ::GetPixel(dc, x, y) == colour ? 1 : 0;
    ::ReleaseDC(window, dc);
    return count;
}
} // namespace

TEST(FloatPaneListHint, BreaksLinesAtTheFirstBlankAfterTheMiddle)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"Move mouse pointer to icon for quick copying",
         L"Move mouse pointer to icon \u2022\nfor quick copying  "},
        {L"ab cd", L"ab \u2022\ncd  "},
        {L"a bcdefgh", L"a bcdefgh"},
        {L"Unbroken", L"Unbroken"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CFloatPaneListView::BreakHintLine(c.text).GetString(), c.expected) << c.text;

    const CString hint = CFloatPaneListView::BuildHintText();
    EXPECT_GE(hint.Find(L"\n\n"), 0);
    EXPECT_GE(hint.Find(L"\u2022"), 0);
}

TEST_F(FloatListFixture, PaintsTheHintOnlyWhenThereIsRoom)
{
    ::UpdateWindow(List());
    scvtest::PumpFor(50);
    const RECT empty = m_list->GetEmptyAreaRect();
    EXPECT_EQ(empty.top, ItemBoundsOnScreen(2).bottom - ItemBoundsOnScreen(0).top);
    ::InvalidateRect(List(), nullptr, TRUE);
    ::UpdateWindow(List());
    EXPECT_GT(CountPixels(List(), empty, GetGreenColor()), 0);
    {
        HDC dc = ::GetDC(List());
        EXPECT_TRUE(m_list->PaintHint(dc));
        ::ReleaseDC(List(), dc);
    }

    POINT inside = {150, (empty.top + empty.bottom) / 2};
    ::ClientToScreen(List(), &inside);
    EXPECT_TRUE(m_list->IsPointInEmptyArea(inside));
    POINT onItem = {20, 2};
    ::ClientToScreen(List(), &onItem);
    EXPECT_FALSE(m_list->IsPointInEmptyArea(onItem));

    // A full list leaves no room; an empty one paints from the top.
    CreateAt(20, 20, 0, 40);
    HDC dc = ::GetDC(List());
    EXPECT_FALSE(m_list->PaintHint(dc));
    ListView_DeleteAllItems(List());
    EXPECT_TRUE(m_list->PaintHint(dc));
    ::ReleaseDC(List(), dc);
}

TEST_F(FloatListFixture, PressOnTheEmptyAreaMovesThePane)
{
    const RECT empty = m_list->GetEmptyAreaRect();
    ::SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, empty.top + 20));
    ASSERT_EQ(SysCommands().size(), 1u);
    EXPECT_EQ(SysCommands()[0], static_cast<WPARAM>(SC_MOVE | HTCAPTION));

    ::PostMessageW(List(), WM_LBUTTONUP, 0, MAKELPARAM(20, 2));
    ::SendMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 2));
    EXPECT_EQ(SysCommands().size(), 1u);
}

TEST_F(FloatListFixture, ItemOperations)
{
    EXPECT_EQ(m_list->SelectAllItems(), 3);
    EXPECT_EQ(ListView_GetSelectedCount(List()), 3u);
    m_list->SetItemInfoTip(L"Full text of the clip", 1); // Wine's list view does not keep info tips

    EXPECT_NE(m_list->SetVirtualItemCount(2, 0), 0);
    EXPECT_EQ(ListView_GetItemCount(List()), 2);
    wchar_t text[32] = {};
    ListView_GetItemText(List(), 0, 0, text, 32);
    EXPECT_STREQ(text, L"Clip 1");
    ListView_SetHotItem(List(), -1);
    MSG stale;
    while (::PeekMessageW(&stale, List(), WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
    }
    m_list->RefreshHotItemTip();
    EXPECT_FALSE(::PeekMessageW(&stale, List(), WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE))
        << "no hot item: no made-up mouse move";
    EXPECT_EQ(ListView_GetHotItem(List()), -1);
    ListView_SetHotItem(List(), 1);
    m_list->RefreshHotItemTip();
    EXPECT_EQ(ListView_GetHotItem(List()), 1);
    m_list->RedrawVisibleItems();

    CreateAt(20, 20, LVS_OWNERDATA);
    EXPECT_NE(m_list->SetVirtualItemCount(25, -1), 0);
    EXPECT_EQ(ListView_GetItemCount(List()), 25);
    m_list.reset(new CFloatPaneListView);
    EXPECT_EQ(m_list->SetVirtualItemCount(5, -1), 0);
}

TEST_F(FloatListFixture, DerivedFontsAreCachedVariants)
{
    HFONT base = reinterpret_cast<HFONT>(::SendMessageW(List(), WM_GETFONT, 0, 0));
    EXPECT_EQ(m_list->GetDerivedFont(false, false, false), base);
    LOGFONTW baseFont = {};
    ::GetObjectW(base ? static_cast<HGDIOBJ>(base) : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(baseFont),
                 &baseFont);

    HFONT bold = m_list->GetDerivedFont(true, false, false);
    HFONT italic = m_list->GetDerivedFont(false, true, false);
    HFONT boldItalic = m_list->GetDerivedFont(true, false, true);
    ASSERT_NE(bold, nullptr);
    EXPECT_NE(bold, italic);
    EXPECT_NE(bold, boldItalic);
    EXPECT_EQ(m_list->GetDerivedFont(false, false, true), italic);
    EXPECT_EQ(m_list->GetDerivedFont(true, false, false), bold);

    LOGFONTW font = {};
    ::GetObjectW(bold, sizeof(font), &font);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(abs(font.lfHeight), abs(baseFont.lfHeight) + 8);
    ::GetObjectW(italic, sizeof(font), &font);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfItalic != 0, baseFont.lfItalic == 0);
}

TEST_F(FloatListFixture, TooltipDelayTitleAndPlacement)
{
    HWND tip = reinterpret_cast<HWND>(::SendMessageW(List(), LVM_GETTOOLTIPS, 0, 0));
    ASSERT_TRUE(::IsWindow(tip));
    EXPECT_EQ(m_list->SetTipAutoPopTime(4321), 1);
    EXPECT_EQ(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 4321);
    EXPECT_EQ(m_list->SetTipAutoPopTime(4321), 1);

    m_list->SetTipTitle(0, L"Clip", ::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION)));
    EXPECT_EQ(m_list->GetTipItem(), 0);
    m_list->SetTipTitle(0, L"Clip again", ::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION)));

    // Upper left of the screen: the tip starts at the item's top right.
    RECT rect = {};
    ASSERT_TRUE(m_list->GetTipRect(rect));
    RECT item = ItemBoundsOnScreen(0);
    EXPECT_EQ(rect.top, item.top);
    EXPECT_EQ(rect.left, item.right);

    // Lower right quarter: above-left of the item.
    const int vw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int vh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    CreateAt(vw - 330, vh - 310);
    tip = reinterpret_cast<HWND>(::SendMessageW(List(), LVM_GETTOOLTIPS, 0, 0));
    m_list->SetTipTitle(2, nullptr, nullptr);
    ASSERT_TRUE(m_list->GetTipRect(rect));
    item = ItemBoundsOnScreen(2);
    EXPECT_EQ(rect.bottom, item.bottom);
    EXPECT_EQ(rect.right, item.left);

    NMHDR show = {tip, 0, static_cast<UINT>(TTN_SHOW)};
    EXPECT_EQ(::SendMessageW(List(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&show)), 1);
    RECT placed = {};
    ::GetWindowRect(tip, &placed);
    EXPECT_EQ(placed.right, rect.left < 0 ? placed.right : rect.right);

    m_list->SetTipPlacementCallback([](void*) -> BOOL { return TRUE; }, nullptr);
    EXPECT_EQ(::SendMessageW(List(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&show)), 0);
}

TEST_F(FloatListFixture, MouseFilterEatsOnlyMouseMessages)
{
    MSG move = {List(), WM_MOUSEMOVE, 0, 0, 0, {}};
    MSG key = {List(), WM_KEYDOWN, VK_DOWN, 0, 0, {}};
    EXPECT_FALSE(m_list->PreTranslateMessage(&move));
    int calls = 0;
    m_list->SetSecondCallback(
        [](MSG*, void* context) -> BOOL {
            ++*static_cast<int*>(context);
            return TRUE;
        },
        &calls);
    EXPECT_TRUE(m_list->PreTranslateMessage(&move));
    EXPECT_FALSE(m_list->PreTranslateMessage(&key));
    EXPECT_EQ(calls, 1);
}
