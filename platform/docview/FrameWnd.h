#pragma once
// The frame window of a document/view program: menu, accelerators, icon and title from one resource id, the
// main view in pane AFX_IDW_PANE_FIRST, control bars laid out around it, command routing (active view, its
// document, the frame, the application), menu and bar updates, status prompts and the title "document -
// application".

#include <windows.h>

#include <vector>

#include "platform/CString.h"
#include "platform/docview/DocView.h"
#include "platform/docview/Wnd.h"

class CControlBar;
class CDockBar;

// Frame style: the document's title is shown in the caption.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000L;

// Ids of the framework's commands, strings and bars.
constexpr UINT ID_FILE_SAVE = 0xE103;        // 57603
constexpr UINT ID_APP_ABOUT = 0xE140;        // 57664
constexpr UINT ID_APP_EXIT = 0xE141;         // 57665
constexpr UINT ID_VIEW_TOOLBAR = 0xE800;     // 59392
constexpr UINT ID_VIEW_STATUS_BAR = 0xE801;  // 59393
constexpr UINT ID_INDICATOR_CAPS = 0xE701;   // 59137
constexpr UINT ID_INDICATOR_NUM = 0xE702;    // 59138
constexpr UINT ID_INDICATOR_SCRL = 0xE703;   // 59139
constexpr UINT AFX_IDS_IDLEMESSAGE = 0xE001; // 57345
// Sets pane 0 of the status bar: wParam a string id, or lParam a text (when not 0).
constexpr UINT WM_SETMESSAGESTRING = 0x0362;
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801; // 59393
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;    // 59392
constexpr UINT AFX_IDW_REBAR = 0xE804;      // 59396
constexpr UINT AFX_IDW_DIALOGBAR = 0xE805;  // 59397
constexpr UINT AFX_IDW_CONTROLBAR_FIRST = 0xE800;
constexpr UINT AFX_IDW_CONTROLBAR_LAST = 0xE8FF;

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)

public:
    CFrameWnd() = default;
    ~CFrameWnd() override;

    BEGIN_MSG_MAP(CFrameWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreateMsg)
    MESSAGE_HANDLER(WM_SIZE, OnSizeMsg)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocusMsg)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopupMsg)
    MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelectMsg)
    MESSAGE_HANDLER(WM_SETMESSAGESTRING, OnSetMessageStringMsg)
    MESSAGE_HANDLER(WM_CLOSE, OnCloseMsg)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroyMsg)
    COMMAND_ID_HANDLER(ID_APP_EXIT, OnAppExit)
    COMMAND_ID_HANDLER(ID_VIEW_STATUS_BAR, OnBarCheck)
    UPDATE_COMMAND_UI_HANDLER(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
    UPDATE_COMMAND_UI_RANGE_HANDLER(ID_INDICATOR_CAPS, ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
    END_MSG_MAP()

    // Loads menu, accelerators, icon and title (the first part of the string) of the resource id and creates
    // the frame; the context's view class gives the first view. FALSE on failure.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           HWND hParent = nullptr, CCreateContext* pContext = nullptr);
    // WM_CREATE: the client (the view of the context) is made here; -1 stops the creation.
    virtual int OnCreate(CREATESTRUCTW* pcs);
    virtual BOOL OnCreateClient(CREATESTRUCTW* pcs, CCreateContext* pContext);
    CView* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    // Places the control bars, then the pane AFX_IDW_PANE_FIRST in the space left.
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    void DelayRecalcLayout(BOOL bNotify = TRUE) { m_bDelayedLayout = true; }
    // Lays out the children with ids in [nIDFirst, nIDLast] (bars) and places nIDLeftOver in the rest. With
    // bQuery nothing moves and pRectParam receives the space left.
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, BOOL bQuery = FALSE,
                        RECT* pRectParam = nullptr, const RECT* pRectClient = nullptr);

    CView* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();

    const CString& GetTitle() const { return m_strTitle; }
    void SetTitle(LPCWSTR lpszTitle) { m_strTitle = lpszTitle; }
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);

    // Status prompts: the first line of the command's string; pane 0 of the status bar.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    void SetMessageText(LPCWSTR lpszText);
    void SetMessageText(UINT nID);

    // Control bars register themselves when created with this frame as parent or owner.
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    const std::vector<CControlBar*>& GetControlBars() const { return m_bars; }
    CControlBar* GetControlBar(UINT nID) const;
    // Shows or hides the bar (a floating bar with its floating frame) and lays the frame out.
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);

    // Docking: the frame gets a dock bar for each side (CBRS_ALIGN_*) in the style. Dock bars are laid out
    // after the other bars, next to the view.
    void EnableDocking(DWORD dwDockStyle);
    // Docks the bar in the dock bar with the id (AFX_IDW_DOCKBAR_*; 0: the side of the bar's alignment
    // when allowed, else the first side the bar allows); a screen rectangle picks the row and place.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, const RECT* lpRect = nullptr);
    // Floats the bar in a floating frame whose top-left corner is the screen point (a floating bar's
    // frame moves there).
    void FloatControlBar(CControlBar* pBar, POINT point);
    // The dock bar with the id, or null when docking is not enabled for that side.
    CDockBar* GetDockBar(UINT nID) const;

    // Idle pass: every bar updates its command items, then a delayed layout runs.
    virtual void OnIdleUpdateCmdUI();

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnFinalMessage(HWND hWnd) override;

    HACCEL m_hAccelTable = nullptr;
    HMENU m_hMenuDefault = nullptr;

protected:
    LRESULT OnCreateMsg(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnSizeMsg(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnSetFocusMsg(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnInitMenuPopupMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnMenuSelectMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnSetMessageStringMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnCloseMsg(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroyMsg(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnAppExit(WORD, WORD, HWND, BOOL&);
    LRESULT OnBarCheck(WORD, WORD wID, HWND, BOOL&);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    void OnUpdateKeyIndicator(CCmdUI* pCmdUI);

    CString m_strTitle;
    CView* m_pActiveView = nullptr;
    CCreateContext* m_pCreateContext = nullptr; // during LoadFrame only
    std::vector<CControlBar*> m_bars;
    CDockBar* m_dockBars[4] = {}; // owned: top, bottom, left, right
    bool m_bDelayedLayout = false;
    bool m_bInRecalcLayout = false;
    UINT m_nIDLastMessage = 0;
};
