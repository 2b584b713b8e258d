#pragma once

// Watches a list view and tells its owner (by WM_NOTIFY with an NMHOVERITEM)
// when the mouse has rested on an item's icon for HOVER_TIMER_DELAY ms, when it
// leaves that icon, and when an item is clicked while one is hovered. Not a
// window itself: it hooks the list through the window subclass registry.
// User-interface thread only.

#include <windows.h>

#include <commctrl.h>

struct NMHOVERITEM
{
    NMHDR hdr;
    int item;
};

// Notification codes of NMHOVERITEM.
const UINT HTN_HOVERSTART = 3015; // the item became hovered
const UINT HTN_HOVEREND = 3016;   // the item is no longer hovered
const UINT HTN_HOVERCLICK = 3017; // left button pressed on the item while one is hovered

class CListViewHoverTracker
{
public:
    static const UINT_PTR HOVER_TIMER_ID = 9520;
    static const UINT HOVER_TIMER_DELAY = 500;

    CListViewHoverTracker() = default;
    ~CListViewHoverTracker();
    CListViewHoverTracker(const CListViewHoverTracker&) = delete;
    CListViewHoverTracker& operator=(const CListViewHoverTracker&) = delete;

    // Starts watching the list (detaching from a previous one first); the
    // owner receives the notifications. The result of the subclassing (1 ok).
    int Attach(HWND list, HWND owner);
    // Stops watching; ends a hover silently only after the subclass is gone.
    // The result of removing the subclass (1 ok).
    int Detach();

    int GetHoverItem() const { return m_hoverItem; }
    bool IsAttached() const { return m_attached; }
    // Ends the hover (HTN_HOVEREND when one was active) and stops the timer.
    void Reset();

    // The item whose icon lies under the point (list client coordinates); -1
    // for none, or when only its label or state icon is there.
    int HitTestIcon(POINT point) const;

private:
    static LRESULT OnListMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, void* userData,
                                 BOOL& callPrevious, WNDPROC previousProc);

    void OnMouseMove(POINT point);
    void OnTimer();
    void OnLeftButtonDown(POINT point);
    void OnMouseLeave();

    void EndHover();
    void ArmTimer(int item);
    void TrackLeave();
    void Notify(UINT code, int item) const;

    HWND m_list = nullptr;
    HWND m_owner = nullptr;
    int m_controlId = 0;
    bool m_trackingLeave = false;
    int m_hoverItem = -1;
    int m_pendingItem = -1;
    bool m_attached = false;
};
