#pragma once
// The floating frame of a control bar: a small tool window owned by the frame the bar docks in, holding a
// floating dock bar (AFX_IDW_DOCKBAR_FLOAT) with the bar inside. Its caption is the dock bar's window
// text (the bar's text). Resizing it asks the bar's dynamic-layout query for the floating size; closing it
// hides the bar through the docking frame, which shows it again with the bar. Dragging its caption moves
// the bar through the bar's dock context (so it can dock again); a double click on the caption docks it.
// The window object deletes itself with its window (once no message is being handled).

#include <windows.h>

#include "platform/docview/DockBar.h"
#include "platform/docview/Wnd.h"

class CFrameWnd;

class CMiniDockFrameWnd : public CWnd
{
    DECLARE_DYNAMIC(CMiniDockFrameWnd)

public:
    static constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    static constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;

    BEGIN_MSG_MAP(CMiniDockFrameWnd)
    MESSAGE_HANDLER(WM_CLOSE, OnCloseMsg)
    MESSAGE_HANDLER(WM_SIZE, OnSizeMsg)
    MESSAGE_HANDLER(WM_SIZING, OnSizingMsg)
    MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfoMsg)
    MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDownMsg)
    MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClkMsg)
    END_MSG_MAP()

    // A new hidden floating frame owned by the docking frame, its top-left corner at the screen point; null
    // when the windows could not be made.
    static CMiniDockFrameWnd* CreateFor(CFrameWnd* pDockSite, POINT pos);
    CWndClassInfo& GetWndClassInfo() override;

    CDockBar& GetFloatingDockBar() { return m_wndDockBar; }
    CFrameWnd* GetDockSite() const { return m_pDockSite; }
    // The caption from the dock bar's text, the dock bar over the whole client area.
    void RecalcLayout();
    // The window sized to the bar's floating size.
    void SizeToBar();

    void OnFinalMessage(HWND hWnd) override;

protected:
    CMiniDockFrameWnd() = default;
    CControlBar* FloatingBar() const;
    // The extents of the border and caption around a client area.
    SIZE NonClientSize() const;

    LRESULT OnCloseMsg(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSizeMsg(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSizingMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnGetMinMaxInfoMsg(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnNcLButtonDownMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnNcLButtonDblClkMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

    CFrameWnd* m_pDockSite = nullptr;
    CDockBar m_wndDockBar;
};
