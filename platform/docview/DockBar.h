#pragma once
// A dock bar: the window along one side of a frame (or inside a floating frame) that holds docked control
// bars. Its bars form rows: the list of bars holds a null entry between two rows and always begins and
// ends with one. In the frame's layout pass the dock bar takes the thickness of its rows; it then places
// its bars row by row (top to bottom, or left to right at a side), a bar alone in its row stretched to the
// dock bar's length. The floating dock bar gives its one bar its whole client area.

#include <windows.h>

#include <vector>

#include "platform/docview/ControlBars.h"

constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B;    // 59419
constexpr UINT AFX_IDW_DOCKBAR_LEFT = 0xE81C;   // 59420
constexpr UINT AFX_IDW_DOCKBAR_RIGHT = 0xE81D;  // 59421
constexpr UINT AFX_IDW_DOCKBAR_BOTTOM = 0xE81E; // 59422
constexpr UINT AFX_IDW_DOCKBAR_FLOAT = 0xE81F;  // 59423

// The alignment style (CBRS_ALIGN_*) of a dock bar id; 0 for the floating one and other ids.
DWORD DockBarAlignment(UINT nDockBarID);
// The dock bar id of the first side in the alignment style (top, bottom, left, right); 0 when none.
UINT DockBarIdFromAlignment(DWORD dwAlign);

class CDockBar : public CControlBar
{
    DECLARE_DYNAMIC(CDockBar)

public:
    BEGIN_MSG_MAP(CDockBar)
    MESSAGE_HANDLER(WM_SIZE, OnSizeMsg)
    CHAIN_MSG_MAP(CControlBar)
    END_MSG_MAP()

    // A side dock bar of the frame, or (AFX_IDW_DOCKBAR_FLOAT) the dock bar of a floating frame.
    BOOL Create(HWND hParent, UINT nID);
    CWndClassInfo& GetWndClassInfo() override;
    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;

    BOOL IsFloatingDockBar() const { return m_bFloating; }
    BOOL IsHorzDockBar() const { return (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0; }
    // Adds the bar (already a child of this window). With a screen rectangle the bar joins the row that
    // rectangle's start lies in, at its place along the row, or a new row after the last one it passes;
    // without one it starts a new last row. A bar already in the list is moved.
    void InsertBar(CControlBar* pBar, const RECT* lpScreenRect);
    // Takes the bar out of the list; an emptied row goes with it.
    void RemoveControlBar(CControlBar* pBar);
    BOOL HasBar(const CControlBar* pBar) const;
    // The bars with row breaks (null entries).
    const std::vector<CControlBar*>& GetBarList() const { return m_arrBars; }
    // The row (bars between two null entries, hidden ones included) that holds the bar.
    std::vector<CControlBar*> GetRowOf(const CControlBar* pBar) const;
    // Inserts a row break before the list entry (so that entry starts a new row).
    void InsertRowBreakBefore(const CControlBar* pBar);
    // The first bar of the list, or null.
    CControlBar* GetFirstBar() const;
    // The number of visible bars.
    int GetVisibleCount() const;
    // Places the bars in the client area.
    void LayoutBars();

protected:
    LRESULT OnSizeMsg(UINT, WPARAM, LPARAM, BOOL& bHandled);
    // The visible bars of each row.
    std::vector<std::vector<CControlBar*>> VisibleRows() const;
    void DropEmptyRows();

    std::vector<CControlBar*> m_arrBars{nullptr};
    bool m_bFloating = false;
};
