#pragma once

// The floating pane's list view: paints a hint text in the empty area below
// the last item, lets the user drag the pane by that area, places item
// tooltips beside their item, and offers font, tooltip and item operations.
// Take the list over with SubclassWindow; add the object to the thread's
// message loop as a filter when the mouse filter callback is used.

#include <windows.h>

#include <commctrl.h>

#include "common/GdiObjectGuards.h"
#include "common/SubclassedWindow.h"
#include "platform/CMessageFilter.h"
#include "platform/CString.h"

class CFloatPaneListView : public CSubclassedWindow, public CMessageFilter
{
public:
    // Asked before an item tooltip is moved: non-zero keeps it where the list put it.
    using TipPlacementCallback = BOOL (*)(void* context);
    // Asked for each mouse message of the thread: non-zero eats the message.
    using MouseFilterCallback = BOOL (*)(MSG* message, void* context);

    CFloatPaneListView() = default;
    ~CFloatPaneListView() override = default;

    BEGIN_MSG_MAP(CFloatPaneListView)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    END_MSG_MAP()

    BOOL PreTranslateMessage(MSG* message) override;

    void SetTipPlacementCallback(TipPlacementCallback callback, void* context);
    void SetSecondCallback(MouseFilterCallback callback, void* context);

    // Sets the info tip of the item (sub-item 0).
    BOOL SetItemInfoTip(LPCWSTR text, int item);
    int GetTipItem() const { return m_tipItem; }

    // The list font (neither bold nor italic) or a cached variant of it, 8
    // units larger; the list owns the variants.
    HFONT GetDerivedFont(bool bold, bool italic, bool italic2);
    // 1 when the tooltip's auto-pop delay is ms (now or already), else 0.
    int SetTipAutoPopTime(int ms);
    // Remembers the item; with a title also sets title and icon on the
    // tooltip. The list takes the icon (destroyed when replaced).
    void SetTipTitle(int item, LPCWSTR title, HICON icon);

    void RedrawVisibleItems();
    // Brings the tooltip of the hot item back after the list changed.
    void RefreshHotItemTip();
    int SelectAllItems();
    RECT GetEmptyAreaRect() const;
    bool IsPointInEmptyArea(POINT screenPoint) const;
    // Deletes the item (when 0 or more), sets the virtual item count and
    // refreshes. 0 when the window is gone, else LVM_SETITEMCOUNT's result.
    LRESULT SetVirtualItemCount(int count, int itemToDelete);

    // Where the tooltip of the tip item goes (screen coordinates): beside the
    // item, towards the middle of the virtual screen. False without a tooltip
    // window or item rectangle.
    bool GetTipRect(RECT& rect) const;
    // The hint: two localized strings, each broken into two right-aligned lines.
    static CString BuildHintText();
    // One string broken at the first blank at or after its middle.
    static CString BreakHintLine(const CString& text);
    // Paints the hint into the empty area; false when there is no room.
    bool PaintHint(HDC dc);

private:
    LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnEraseBkgnd(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnNotify(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    HWND GetToolTip() const;

    int m_autoPopTime = 0;
    int m_tipItem = -1;
    IconHandle m_titleIcon;
    GdiObject<HFONT> m_boldFont;
    GdiObject<HFONT> m_italicFont;
    GdiObject<HFONT> m_boldItalicFont;
    TipPlacementCallback m_tipPlacement = nullptr;
    void* m_tipPlacementContext = nullptr;
    MouseFilterCallback m_mouseFilter = nullptr;
    void* m_mouseFilterContext = nullptr;
};
