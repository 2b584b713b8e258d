// test-locks: desktop
#include "editor/controls/TreeHoverTracker.h"

#include "FakeToolTipClock.h"

#include <gtest/gtest.h>

namespace
{

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A plain tree view with check boxes and buttons in a visible window.
struct TreeHost
{
    HWND window = nullptr;
    HWND tree = nullptr;
    HTREEITEM root = nullptr;
    HTREEITEM child = nullptr;
    HTREEITEM second = nullptr;

    TreeHost()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PlainProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TreeHoverTrackerTestsHost";
        ::RegisterClassW(&wc);
        window = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"tree host", WS_POPUP | WS_VISIBLE, 100,
                                   100, 300, 300, nullptr, nullptr, wc.hInstance, nullptr);
        tree = ::CreateWindowExW(0, WC_TREEVIEWW, L"",
                                 WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_CHECKBOXES, 0,
                                 0, 300, 300, window, nullptr, wc.hInstance, nullptr);
        root = Insert(TVI_ROOT, L"Root folder");
        child = Insert(root, L"Child phrase");
        second = Insert(TVI_ROOT, L"Second folder");
        Insert(second, L"hidden");
        ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
        ::UpdateWindow(window);
    }
    ~TreeHost() { ::DestroyWindow(window); }

    HTREEITEM Insert(HTREEITEM parent, const wchar_t* text)
    {
        TVINSERTSTRUCTW insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(text);
        return reinterpret_cast<HTREEITEM>(
            ::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }

    // A screen point on the item where the hit test gives the flag.
    POINT PointWith(HTREEITEM item, UINT flag) const
    {
        RECT rect = {};
        *reinterpret_cast<HTREEITEM*>(&rect) = item;
        ::SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
        int y = (rect.top + rect.bottom) / 2;
        for (int x = 0; x < 300; ++x) {
            TVHITTESTINFO hit = {};
            hit.pt = POINT{x, y};
            ::SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if ((hit.flags & flag) && hit.hItem == item) {
                POINT screen = hit.pt;
                ::ClientToScreen(tree, &screen);
                return screen;
            }
        }
        return POINT{-1, -1};
    }
};

} // namespace

TEST(TreeHoverTracker, ShowsOnlyWhenTheMouseRestsOnTheTrackedLabel)
{
    TreeHost host;
    struct Case
    {
        const char* where;
        HTREEITEM item;
        UINT flag;
        bool shows;
    } cases[] = {
        {"label of the item", host.child, TVHT_ONITEMLABEL, true},
        {"label of another item", host.second, TVHT_ONITEMLABEL, false},
        {"expand button", host.root, TVHT_ONITEMBUTTON, false},
        {"check box", host.child, TVHT_ONITEMSTATEICON, false},
    };
    for (const Case& c : cases) {
        FakeClock clock;
        CTreeHoverTracker tracker(&host.tree);
        tracker.SetClock(&clock);
        ASSERT_TRUE(tracker.Create(host.window, TRUE));
        HTREEITEM tracked = c.flag == TVHT_ONITEMBUTTON ? host.root : host.child;
        tracker.SetItemTip(3, 4, L"<b>Tip</b> of the item", tracked,
                           ::CopyIcon(::LoadIconW(nullptr, IDI_WARNING)));
        EXPECT_EQ(tracker.Value1(), 3);
        ASSERT_TRUE(clock.Running(CTreeHoverTracker::kTimerItem)) << c.where;
        clock.cursor = host.PointWith(c.item, c.flag);
        ASSERT_NE(clock.cursor.x, -1) << c.where;
        clock.Advance(tracker, 999);
        EXPECT_EQ(tracker.State(), 0) << c.where;
        clock.Advance(tracker, 1);
        EXPECT_EQ(tracker.State() == 2, c.shows) << c.where;
        EXPECT_FALSE(clock.Running(CTreeHoverTracker::kTimerItem)) << c.where;
        clock.Advance(tracker, 60000);
        EXPECT_EQ(tracker.State() == 2, c.shows) << "a tip at a point never pops by itself: " << c.where;
        tracker.HideTip();
        EXPECT_EQ(tracker.State(), 0) << c.where;
        tracker.DestroyWindow();
    }
}

TEST(TreeHoverTracker, EmptyTextStartsNoTimerAndANewIconHidesTheTipFirst)
{
    TreeHost host;
    FakeClock clock;
    CTreeHoverTracker tracker(&host.tree);
    tracker.SetClock(&clock);
    ASSERT_TRUE(tracker.Create(host.window, TRUE));
    tracker.SetItemTip(0, 0, L"", host.child, nullptr);
    EXPECT_FALSE(clock.Running(CTreeHoverTracker::kTimerItem));

    tracker.SetItemTip(0, 0, L"tip", host.child, ::CopyIcon(::LoadIconW(nullptr, IDI_WARNING)));
    clock.cursor = host.PointWith(host.child, TVHT_ONITEMLABEL);
    clock.Advance(tracker, 1000);
    ASSERT_EQ(tracker.State(), 2);
    tracker.SetItemTip(0, 0, L"next", host.second, ::CopyIcon(::LoadIconW(nullptr, IDI_WARNING)));
    EXPECT_EQ(tracker.State(), 0) << "the visible tip is hidden before its icon is destroyed";
    EXPECT_FALSE(::IsWindowVisible(tracker.m_hWnd));
    tracker.DestroyWindow();
}
