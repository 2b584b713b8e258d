// test-locks: desktop
// The frame's dock bars with plain fixed-size bars: rows and row breaks in the dock bar's list, the dock
// bar's thickness from its rows, a bar joining a row by the place it is dropped at, leaving a dock bar,
// and sides without a dock bar.

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "platform/docview/DockBar.h"
#include "platform/docview/FrameWnd.h"

namespace
{

class FixedBar : public CControlBar
{
public:
    explicit FixedBar(SIZE size) : m_size(size) {}
    BOOL Make(HWND parent)
    {
        const RECT empty = {0, 0, 0, 0};
        m_dwStyle = CBRS_ALIGN_TOP;
        return CreateEx(0, nullptr, WS_CHILD | WS_VISIBLE, empty, parent, 0);
    }
    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override
    {
        if (bStretch)
            return bHorz ? SIZE{32767, m_size.cy} : SIZE{m_size.cx, 32767};
        return m_size;
    }

private:
    SIZE m_size;
};

RECT RectOf(HWND hWnd)
{
    RECT r = {};
    ::GetWindowRect(hWnd, &r);
    return r;
}

class DockBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = new CFrameWnd; // deletes itself with its window; one that cannot be made stays ours
        if (!frame->LoadFrame(0, WS_OVERLAPPEDWINDOW)) {
            delete frame;
            frame = nullptr;
            FAIL() << "the frame could not be made";
        }
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 600, 400, SWP_NOZORDER | SWP_NOACTIVATE);
        frame->EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT);
        for (FixedBar* bar : {&a, &b, &c})
            ASSERT_TRUE(bar->Make(frame->m_hWnd));
        ::ShowWindow(frame->m_hWnd, SW_SHOWNOACTIVATE);
    }
    void TearDown() override
    {
        for (FixedBar* bar : {&a, &b, &c}) {
            if (bar->m_hWnd)
                ::DestroyWindow(bar->m_hWnd);
        }
        if (frame && ::IsWindow(frame->m_hWnd))
            ::DestroyWindow(frame->m_hWnd);
    }

    CDockBar& Top() { return *frame->GetDockBar(AFX_IDW_DOCKBAR_TOP); }

    CFrameWnd* frame = nullptr;
    FixedBar a{SIZE{150, 30}};
    FixedBar b{SIZE{150, 20}};
    FixedBar c{SIZE{100, 40}};
};

} // namespace

TEST_F(DockBarTest, RowsStackAndABarDroppedBesideAnotherJoinsItsRow)
{
    EXPECT_EQ(nullptr, frame->GetDockBar(AFX_IDW_DOCKBAR_BOTTOM));
    frame->DockControlBar(&a, AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(&b, AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ((std::vector<CControlBar*>{nullptr, &a, nullptr, &b, nullptr}), Top().GetBarList());
    EXPECT_EQ(Top().m_hWnd, ::GetParent(a.m_hWnd));
    RECT top = {};
    ::GetClientRect(Top().m_hWnd, &top);
    EXPECT_EQ(50, top.bottom); // two rows: 30 + 20
    // alone in its row a bar takes the dock bar's whole length
    EXPECT_EQ(top.right, RectOf(a.m_hWnd).right - RectOf(a.m_hWnd).left);
    EXPECT_EQ(RectOf(a.m_hWnd).bottom, RectOf(b.m_hWnd).top);

    // dropped to the right of a, in a's row
    RECT drop = RectOf(a.m_hWnd);
    ::OffsetRect(&drop, 200, 5);
    frame->DockControlBar(&c, AFX_IDW_DOCKBAR_TOP, &drop);
    EXPECT_EQ((std::vector<CControlBar*>{nullptr, &a, &c, nullptr, &b, nullptr}), Top().GetBarList());
    ::GetClientRect(Top().m_hWnd, &top);
    EXPECT_EQ(60, top.bottom); // the row is as thick as its thickest bar: 40 + 20
    EXPECT_EQ(150, RectOf(a.m_hWnd).right - RectOf(a.m_hWnd).left);
    EXPECT_EQ(RectOf(a.m_hWnd).right, RectOf(c.m_hWnd).left);
    EXPECT_EQ(RectOf(a.m_hWnd).top, RectOf(c.m_hWnd).top);

    // a bar that goes to another side leaves its row; an emptied row goes too
    frame->DockControlBar(&b, AFX_IDW_DOCKBAR_LEFT);
    frame->DockControlBar(&a, AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ((std::vector<CControlBar*>{nullptr, &c, nullptr}), Top().GetBarList());
    EXPECT_EQ((std::vector<CControlBar*>{nullptr, &b, nullptr, &a, nullptr}),
              frame->GetDockBar(AFX_IDW_DOCKBAR_LEFT)->GetBarList());
    EXPECT_EQ(CBRS_ALIGN_LEFT, a.GetBarStyle() & CBRS_ALIGN_ANY);

    // a destroyed bar leaves the list; a side without a dock bar takes nothing
    ::DestroyWindow(c.m_hWnd);
    EXPECT_EQ((std::vector<CControlBar*>{nullptr}), Top().GetBarList());
    frame->DockControlBar(&a, AFX_IDW_DOCKBAR_BOTTOM);
    EXPECT_EQ(frame->GetDockBar(AFX_IDW_DOCKBAR_LEFT)->m_hWnd, ::GetParent(a.m_hWnd));
}
