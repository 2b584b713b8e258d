// test-locks: desktop
#include "common/ListViewHelpers.h"
#include "common/ListViewHoverTracker.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/support/MessagePump.h"

namespace
{
const int kListId = 321;

struct Notice
{
    UINT code;
    int item;
    HWND from;
    UINT_PTR id;
};

// A top-level window that owns a report-view list with columns, small icons
// and texts, and records the hover notifications it receives.
class ListFixture : public ::testing::Test
{
protected:
    static std::vector<Notice>& Notices()
    {
        static std::vector<Notice> notices;
        return notices;
    }

    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code >= HTN_HOVERSTART && header->code <= HTN_HOVERCLICK) {
                const auto* record = reinterpret_cast<const NMHOVERITEM*>(lParam);
                Notices().push_back({header->code, record->item, header->hwndFrom, header->idFrom});
                EXPECT_EQ(static_cast<int>(wParam), kListId);
                return 0;
            }
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    void SetUp() override
    {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&init);
        static ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &ListFixture::OwnerProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ScvListOwner";
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            return ::RegisterClassW(&wc);
        }();
        ASSERT_NE(atom, 0);
        Notices().clear();
        m_owner = ::CreateWindowExW(WS_EX_TOPMOST, L"ScvListOwner", L"List owner", WS_POPUP | WS_VISIBLE, 40,
                                    40, 320, 240, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_owner, nullptr);
        m_list =
            ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0,
                              0, 320, 240, m_owner, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                              ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_list, nullptr);
        m_images = ::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
        ::ImageList_AddIcon(m_images, ::LoadIconW(nullptr, IDI_APPLICATION));
        ListView_SetImageList(m_list, m_images, LVSIL_SMALL);

        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 200;
        column.pszText = const_cast<LPWSTR>(L"Text");
        ListView_InsertColumn(m_list, 0, &column);
        column.cx = 100;
        column.pszText = const_cast<LPWSTR>(L"Size");
        ListView_InsertColumn(m_list, 1, &column);
        for (int i = 0; i < kItems; ++i) {
            std::wstring text = L"Item number " + std::to_wstring(i);
            LVITEMW item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = i;
            item.iImage = 0;
            item.pszText = text.data();
            ListView_InsertItem(m_list, &item);
            std::wstring size = std::to_wstring(i * 10);
            ListView_SetItemText(m_list, i, 1, size.data());
        }
        ::SetForegroundWindow(m_owner);
        scvtest::PumpFor(50);
    }

    void TearDown() override
    {
        if (m_owner)
            ::DestroyWindow(m_owner);
        if (m_images)
            ::ImageList_Destroy(m_images);
    }

    RECT ItemPart(int item, int part) const
    {
        RECT rect = {};
        rect.left = part;
        ::SendMessageW(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
        return rect;
    }

    // Puts the cursor on the point (list client coordinates) and lets the
    // list see the move at once.
    void MoveTo(POINT point)
    {
        POINT screen = point;
        ::ClientToScreen(m_list, &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::SendMessageW(m_list, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    }
    static POINT Centre(const RECT& rect)
    {
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    POINT IconPoint(int item) const { return Centre(ItemPart(item, LVIR_ICON)); }
    POINT LabelPoint(int item) const
    {
        const RECT label = ItemPart(item, LVIR_LABEL);
        return POINT{label.left + 20, (label.top + label.bottom) / 2};
    }

    bool WaitForNotice(UINT code, int item, DWORD timeoutMs = 3000)
    {
        return scvtest::PumpUntil(
            [&] {
                for (const Notice& n : Notices())
                    if (n.code == code && n.item == item)
                        return true;
                return false;
            },
            timeoutMs);
    }
    size_t CountOf(UINT code) const
    {
        size_t count = 0;
        for (const Notice& n : Notices())
            count += n.code == code ? 1 : 0;
        return count;
    }

    static constexpr int kItems = 60;
    HWND m_owner = nullptr;
    HWND m_list = nullptr;
    HIMAGELIST m_images = nullptr;
};
} // namespace

TEST_F(ListFixture, ListHasColumnsTextsAndSelection)
{
    EXPECT_EQ(ListView_GetItemCount(m_list), kItems);
    HWND header = ListView_GetHeader(m_list);
    EXPECT_EQ(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
    wchar_t text[64] = {};
    ListView_GetItemText(m_list, 7, 0, text, 64);
    EXPECT_STREQ(text, L"Item number 7");
    ListView_GetItemText(m_list, 7, 1, text, 64);
    EXPECT_STREQ(text, L"70");
    ListView_SetItemState(m_list, 3, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(ListView_GetNextItem(m_list, -1, LVNI_SELECTED), 3);
}

TEST_F(ListFixture, HitTestCountsOnlyTheIcon)
{
    CListViewHoverTracker tracker;
    ASSERT_EQ(tracker.Attach(m_list, m_owner), 1);
    EXPECT_EQ(tracker.HitTestIcon(IconPoint(2)), 2);
    EXPECT_EQ(tracker.HitTestIcon(LabelPoint(2)), -1);
    EXPECT_EQ(tracker.HitTestIcon(POINT{-5, -5}), -1);
    ListView_DeleteAllItems(m_list);
    EXPECT_EQ(tracker.HitTestIcon(POINT{8, 8}), -1);
}

TEST_F(ListFixture, RestingOnAnIconStartsAndEndsHovers)
{
    CListViewHoverTracker tracker;
    ASSERT_EQ(tracker.Attach(m_list, m_owner), 1);

    // Resting on a label never hovers.
    MoveTo(LabelPoint(1));
    scvtest::PumpFor(800);
    EXPECT_EQ(CountOf(HTN_HOVERSTART), 0u);

    const DWORD start = ::GetTickCount();
    MoveTo(IconPoint(1));
    ASSERT_TRUE(WaitForNotice(HTN_HOVERSTART, 1));
    EXPECT_GE(::GetTickCount() - start, 400u);
    EXPECT_EQ(tracker.GetHoverItem(), 1);
    EXPECT_EQ(Notices().back().from, m_list);
    EXPECT_EQ(Notices().back().id, static_cast<UINT_PTR>(kListId));

    // From item 1's icon to item 3's: the end for 1 at once, the start for 3 later.
    MoveTo(IconPoint(3));
    ASSERT_FALSE(Notices().empty());
    EXPECT_EQ(Notices().back().code, HTN_HOVEREND);
    EXPECT_EQ(Notices().back().item, 1);
    ASSERT_TRUE(WaitForNotice(HTN_HOVERSTART, 3));

    // A click while hovering reports the clicked item.
    const POINT icon3 = IconPoint(3);
    ::PostMessageW(m_list, WM_LBUTTONUP, 0, MAKELPARAM(icon3.x, icon3.y)); // ends the list's drag check
    ::SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon3.x, icon3.y));
    EXPECT_TRUE(WaitForNotice(HTN_HOVERCLICK, 3, 500));

    // A right-button release ends the hover.
    ::SendMessageW(m_list, WM_RBUTTONUP, 0, MAKELPARAM(icon3.x, icon3.y));
    EXPECT_TRUE(WaitForNotice(HTN_HOVEREND, 3, 500));
    EXPECT_EQ(tracker.GetHoverItem(), -1);
}

TEST_F(ListFixture, LeavingTheListEndsTheHover)
{
    CListViewHoverTracker tracker;
    ASSERT_EQ(tracker.Attach(m_list, m_owner), 1);
    MoveTo(IconPoint(0));
    ASSERT_TRUE(WaitForNotice(HTN_HOVERSTART, 0));
    ::SetCursorPos(600, 600);
    ::SendMessageW(m_list, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(WaitForNotice(HTN_HOVEREND, 0, 500));
    EXPECT_EQ(tracker.GetHoverItem(), -1);
}

TEST_F(ListFixture, ClickWithoutHoverSendsNothingAndDetachStopsWatching)
{
    CListViewHoverTracker tracker;
    ASSERT_EQ(tracker.Attach(m_list, m_owner), 1);
    const POINT icon = IconPoint(2);
    ::PostMessageW(m_list, WM_LBUTTONUP, 0, MAKELPARAM(icon.x, icon.y));
    ::SendMessageW(m_list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(icon.x, icon.y));
    scvtest::PumpFor(50);
    EXPECT_EQ(CountOf(HTN_HOVERCLICK), 0u);

    EXPECT_EQ(tracker.Detach(), 1);
    EXPECT_FALSE(tracker.IsAttached());
    MoveTo(IconPoint(2));
    scvtest::PumpFor(800);
    EXPECT_TRUE(Notices().empty());
    EXPECT_EQ(tracker.Detach(), 0);
}

TEST_F(ListFixture, DestroyingTheListDetachesTheTracker)
{
    CListViewHoverTracker tracker;
    ASSERT_EQ(tracker.Attach(m_list, m_owner), 1);
    ::DestroyWindow(m_list);
    EXPECT_FALSE(tracker.IsAttached());
    EXPECT_EQ(tracker.Detach(), 0);
}

TEST_F(ListFixture, ScrollItemToTop)
{
    ::SetWindowPos(m_list, nullptr, 0, 0, 320, 160, SWP_NOZORDER | SWP_NOMOVE);
    const int perPage = ListView_GetCountPerPage(m_list);
    ASSERT_GT(perPage, 1);
    ASSERT_LT(perPage, kItems);

    EXPECT_NE(ListViewScrollItemToTop(m_list, 30), 0);
    EXPECT_EQ(ListView_GetTopIndex(m_list), 30);
    EXPECT_NE(ListViewScrollItemToTop(m_list, 5), 0);
    EXPECT_EQ(ListView_GetTopIndex(m_list), 5);
    // Near the end the last page is shown (its last row may be partly visible).
    EXPECT_NE(ListViewScrollItemToTop(m_list, kItems - 2), 0);
    const int top = ListView_GetTopIndex(m_list);
    EXPECT_GE(top, kItems - perPage - 1);
    EXPECT_LE(top, kItems - perPage);

    EXPECT_EQ(ListViewScrollItemToTop(m_list, kItems), 0);
    EXPECT_EQ(ListViewScrollItemToTop(m_list, -1), 0);
    ListView_DeleteAllItems(m_list);
    EXPECT_EQ(ListViewScrollItemToTop(m_list, 0), 0);
}
