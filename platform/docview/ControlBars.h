#pragma once
// Control bars of a frame: the bar base (alignment style, layout in the frame's parent-size pass, idle
// updates, commands and notifications of its children passed to the owner frame, docking sides and the
// dock context of a bar that can float), the status bar, the toolbar, the rebar and the dialog bar.

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "platform/CString.h"
#include "platform/docview/CmdTarget.h"
#include "platform/docview/Wnd.h"

class CFrameWnd;
class CDockBar;
class CDockContext;

// Bar styles (m_dwStyle).
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000L;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000L;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000L;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000L;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000L;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100L;
constexpr DWORD CBRS_BORDER_TOP = 0x0200L;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400L;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800L;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;
constexpr DWORD CBRS_ALL = 0x0040FFFFL;

// Modes of the dynamic-layout query (CalcDynamicLayout).
constexpr DWORD LM_STRETCH = 0x01;  // stretch to the frame's length
constexpr DWORD LM_HORZ = 0x02;     // horizontal, else vertical
constexpr DWORD LM_MRUWIDTH = 0x04; // the most recently used floating size
constexpr DWORD LM_HORZDOCK = 0x08; // docked horizontally
constexpr DWORD LM_VERTDOCK = 0x10; // docked vertically
constexpr DWORD LM_LENGTHY = 0x20;  // the length given is the height
constexpr DWORD LM_COMMIT = 0x40;   // remember the size as the floating one

// The frame's layout pass: sent to each bar; lParam = SCV_SIZEPARENTPARAMS*. A bar takes its part of rect
// (top, bottom, left or right by its alignment) and shrinks rect by it.
#define SCV_WM_SIZEPARENT (WM_USER + 0x1b02)

struct SCV_SIZEPARENTPARAMS
{
    HDWP hDWP; // null in query mode: nothing moves
    RECT rect; // the space still free
    SIZE sizeTotal;
    BOOL bStretch;
};

class CControlBar : public CWnd
{
    DECLARE_DYNAMIC(CControlBar)

public:
    ~CControlBar() override;

    BEGIN_MSG_MAP(CControlBar)
    MESSAGE_HANDLER(SCV_WM_SIZEPARENT, OnSizeParent)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroyMsg)
    END_MSG_MAP()

    // The bar's size in the layout: width or height along its edge.
    virtual SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // The bar's size for a length along it in the LM_ mode: docked (LM_HORZDOCK, LM_VERTDOCK) or floating
    // (the length is the width, or the height with LM_LENGTHY). The base gives the fixed layout.
    virtual SIZE CalcDynamicLayout(int nLength, DWORD dwMode);
    // Updates the bar's command items against the target (the owner frame).
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) {}

    // The bar's own visible style (also while the frame is hidden).
    BOOL IsVisible() const { return m_hWnd && (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    // The bar sits in the dock bar of a floating frame.
    BOOL IsFloating() const;
    // The sides (CBRS_ALIGN_*) the bar may be docked at; with any side the bar gets a dock context, which
    // drags it between the frame's dock bars and floating frames.
    void EnableDocking(DWORD dwDockStyle);
    CDockContext* GetDockContext() const { return m_pDockContext; }
    // The dock bar the bar sits in (docked or floating), or null.
    CDockBar* GetDockBar() const { return m_pDockBar; }
    // The frame whose dock bars hold the bar (also while it floats), else the owner frame.
    CFrameWnd* GetDockingFrame() const;
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle & CBRS_ALL; }
    DWORD GetBarStyle() const { return m_dwStyle; }
    // The frame the bar belongs to (owner or parent).
    CFrameWnd* GetOwnerFrame() const;
    // The frame is going away: forget it.
    void LeaveFrame(CFrameWnd* pFrame);

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnWndMsg(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;

protected:
    friend class CReBar;
    friend class CDockBar;
    friend class CFrameWnd;
    // Registers with the frame after the window exists.
    void JoinFrame();
    LRESULT OnSizeParent(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnDestroyMsg(UINT, WPARAM, LPARAM, BOOL& bHandled);

    // Where unhandled commands and notifications of the bar's children go.
    HWND GetNotifyTarget() const;

    CFrameWnd* m_pFrame = nullptr;
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    CDockContext* m_pDockContext = nullptr; // owned
};

// A status-bar pane's command item: SetText sets the pane's text, Enable(FALSE) empties it.
class CStatusCmdUI : public CCmdUI
{
public:
    HWND m_hStatusBar = nullptr;
    CString m_strText;
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override {}
    void SetText(LPCWSTR lpszText) override;
};

class CStatusBar : public CControlBar
{
    DECLARE_DYNAMIC(CStatusBar)

public:
    BOOL Create(HWND hParent, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = 0xE801);
    CWndClassInfo& GetWndClassInfo() override;
    // Pane ids: 0 (ID_SEPARATOR) for the message pane, string ids for indicators (their strings size the
    // panes).
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    BOOL SetPaneText(int nIndex, LPCWSTR lpszNewText);
    CString GetPaneText(int nIndex) const;
    UINT GetItemID(int nIndex) const;
    int GetCount() const { return static_cast<int>(m_ids.size()); }

    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

private:
    void SizePanes();
    std::vector<UINT> m_ids;
    std::vector<CString> m_texts;
};

// A toolbar button's command item.
class CToolCmdUI : public CCmdUI
{
public:
    HWND m_hToolBar = nullptr;
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetText(LPCWSTR) override {}
};

class CToolBar : public CControlBar
{
    DECLARE_DYNAMIC(CToolBar)

public:
    BOOL Create(HWND hParent, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = 0xE800,
                DWORD dwCtrlStyle = TBSTYLE_FLAT);
    CWndClassInfo& GetWndClassInfo() override;
    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;
};

class CReBar : public CControlBar
{
    DECLARE_DYNAMIC(CReBar)

public:
    BOOL Create(HWND hParent, DWORD dwCtrlStyle = RBS_BANDBORDERS,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = 0xE804);
    CWndClassInfo& GetWndClassInfo() override;
    // Adds the bar as a band (its window becomes the band's child); colours CLR_DEFAULT keep the system's.
    BOOL AddBar(CControlBar* pBar, COLORREF clrFore = CLR_DEFAULT, COLORREF clrBack = CLR_DEFAULT,
                DWORD dwStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP);
    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

private:
    std::vector<CControlBar*> m_bands;
};

// A bar made from a dialog template; its controls are updated as command items and their commands go to the
// frame.
class CDialogBar : public CControlBar
{
    DECLARE_DYNAMIC(CDialogBar)

public:
    BOOL Create(HWND hParent, UINT nIDTemplate, DWORD dwStyle = CBRS_TOP, UINT nID = 0xE805);
    SIZE CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

private:
    SIZE m_sizeDefault{};
};
