#pragma once

// A tab control whose tooltips come from the owner, per tab: the common
// control's own tooltips are removed, the tab under the mouse is tracked, and
// 500 ms after the mouse rests on a tab (at once on a middle click) the tab's
// tip text (TabTipText, empty by default: no tip) is shown in a tooltip of its
// own. Before a tab becomes hot the parent is asked with WM_NOTIFY 0xB07; an
// answer of 2 refuses. Takes over a "SysTabControl32" (Create makes one).

#include <windows.h>

#include <commctrl.h>

#include "platform/CString.h"
#include "platform/CWindowImpl.h"

inline constexpr UINT kTabNotifyHot = 0xB07;
inline constexpr UINT kTabNotifyTipText = 0xB0D;

// Record of notification 0xB07.
struct NMTABHOT
{
    NMHDR hdr;
    int tab;
    int secondTab;
    int x;
    int y;
};

// Record of notification 0xB0D: the parent fills tipText and answers nonzero.
struct NMTABTIPTEXT
{
    NMHDR hdr;
    int tab;
    LPARAM param;
    LPCWSTR tabText;
    wchar_t tipText[1024];
};

// The registered message a tab control posts itself to redraw one tab.
UINT GetTabRedrawMessage();

class ThemedTabCtrl : public CWindowImplBaseT<CWindow>
{
public:
    ~ThemedTabCtrl() override;

    // Creates the tab control and takes it over; null on failure.
    HWND Create(HWND parent, const RECT& rect, UINT id, DWORD style = WS_CHILD | WS_VISIBLE);
    // Takes over an existing tab control.
    BOOL Attach(HWND tab);

    // The item's lParam; -1 when the item cannot be read.
    LPARAM GetTabItemParam(int tab) const;
    int InsertTab(int index, LPCWSTR text, LPARAM param);
    int GetHotTab() const { return m_hotTab; }
    int GetTipTab() const { return m_tipTab; }
    // The tooltip of the tab texts (created on demand).
    HWND GetTabToolTip();
    // Shows the tab's tip at once when its text is not empty; true when shown.
    bool ShowTabTip(int tab);
    void HideTabTip();

    // Tip over the scroll arrows (never shown: both empty).
    virtual CString ScrollTipTitle() { return CString(); }
    virtual CString ScrollTipText() { return CString(); }
    // The tip text of a tab; empty: no tip.
    virtual CString TabTipText(int /*tab*/) { return CString(); }
    // Called after the tooltip control is created.
    virtual void OnTipCreated(HWND /*tip*/) {}

    BOOL PreTranslateMessage(MSG* msg);

    BEGIN_MSG_MAP(ThemedTabCtrl)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_MBUTTONUP, OnMButtonUp)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
    MESSAGE_HANDLER(TCM_GETTOOLTIPS, OnGetToolTips)
    MESSAGE_HANDLER(TCM_SETTOOLTIPS, OnSetToolTips)
    MESSAGE_HANDLER(TCM_SETCURSEL, OnSetCurSel)
    MESSAGE_HANDLER(GetTabRedrawMessage(), OnRedrawTab)
    END_MSG_MAP()

protected:
    virtual void OnAttachedTab() {}

private:
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnMButtonUp(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnSetFont(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnGetToolTips(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetToolTips(UINT uMsg, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCurSel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnRedrawTab(UINT, WPARAM wParam, LPARAM, BOOL&);
    int HitTest(POINT clientPoint) const;
    void SetHotTab(int tab, POINT point);
    void RedrawTab(int tab);

    int m_hotTab = -1;
    bool m_mouseTracked = false;
    int m_hoverTab = -1;
    int m_tipTab = -1;
    HWND m_tabTip = nullptr;
};
