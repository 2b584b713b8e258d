#include "platform/docview/FrameWnd.h"

#include <algorithm>

#include "platform/CAppModule.h"
#include "platform/DeferredDeletion.h"
#include "platform/docview/App.h"
#include "platform/docview/ControlBars.h"
#include "platform/docview/DockBar.h"
#include "platform/docview/DockContext.h"
#include "platform/docview/MiniDockFrameWnd.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

namespace
{

CString LoadResourceString(UINT id)
{
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(_Module.GetResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? CString(text, length) : CString();
}

CString FirstLine(const CString& text)
{
    int end = text.Find(L'\n');
    return end < 0 ? text : text.Left(end);
}

} // namespace

CFrameWnd::~CFrameWnd()
{
    for (CControlBar* bar : m_bars)
        bar->LeaveFrame(this);
    for (CDockBar*& dock : m_dockBars) {
        delete dock;
        dock = nullptr;
    }
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, HWND hParent, CCreateContext* pContext)
{
    HINSTANCE resources = _Module.GetResourceInstance();
    m_strTitle = FirstLine(LoadResourceString(nIDResource));
    m_hMenuDefault = ::LoadMenuW(resources, MAKEINTRESOURCEW(nIDResource));
    m_hAccelTable = ::LoadAcceleratorsW(resources, MAKEINTRESOURCEW(nIDResource));
    m_pCreateContext = pContext;
    RECT rect = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    DWORD style = (dwDefaultStyle & ~FWS_ADDTOTITLE) | WS_CLIPCHILDREN;
    BOOL ok = CreateEx(0, m_strTitle, style, rect, hParent, 0, pContext);
    m_pCreateContext = nullptr;
    if (!ok) {
        if (m_hMenuDefault)
            ::DestroyMenu(m_hMenuDefault);
        m_hMenuDefault = nullptr;
        return FALSE;
    }
    if (dwDefaultStyle & FWS_ADDTOTITLE)
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | FWS_ADDTOTITLE);
    if (m_hMenuDefault)
        ::SetMenu(m_hWnd, m_hMenuDefault);
    HICON icon = ::LoadIconW(resources, MAKEINTRESOURCEW(nIDResource));
    if (icon) {
        ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    return TRUE;
}

LRESULT CFrameWnd::OnCreateMsg(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    return OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
}

int CFrameWnd::OnCreate(CREATESTRUCTW* pcs)
{
    auto* context = pcs ? static_cast<CCreateContext*>(pcs->lpCreateParams) : nullptr;
    if (!OnCreateClient(pcs, context))
        return -1;
    // The status bar is made after this: the idle text ("Ready") is shown once the frame runs.
    ::PostMessageW(m_hWnd, WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    return 0;
}

BOOL CFrameWnd::OnCreateClient(CREATESTRUCTW*, CCreateContext* pContext)
{
    if (!pContext || !pContext->m_pNewViewClass)
        return TRUE;
    return CreateView(pContext) != nullptr;
}

CView* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (!pContext || !pContext->m_pNewViewClass)
        return nullptr;
    CObject* object = pContext->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CView*>(object);
    if (!view) {
        delete object;
        return nullptr;
    }
    if (!view->Create(m_hWnd, nID, pContext, WS_CHILD | WS_VISIBLE)) {
        delete view; // a view that could not be made stays ours
        return nullptr;
    }
    return view;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    CView* view = GetActiveView();
    if (!view) {
        auto* pane = dynamic_cast<CView*>(FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
        if (pane)
            SetActiveView(pane, FALSE);
    }
    if (pDoc) {
        for (CView* v : std::vector<CView*>(pDoc->GetViews()))
            v->OnInitialUpdate();
    }
    OnUpdateFrameTitle(TRUE);
    RecalcLayout();
    if (bMakeVisible) {
        CWinApp* app = CWinApp::GetApp();
        ::ShowWindow(m_hWnd, app && app->GetMainWnd() == this ? app->m_nCmdShow : SW_SHOW);
        ::UpdateWindow(m_hWnd);
    }
}

void CFrameWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, BOOL bQuery, RECT* pRectParam,
                               const RECT* pRectClient)
{
    SCV_SIZEPARENTPARAMS layout = {};
    if (pRectClient)
        layout.rect = *pRectClient;
    else
        ::GetClientRect(m_hWnd, &layout.rect);
    layout.bStretch = TRUE;
    layout.hDWP = bQuery ? nullptr : ::BeginDeferWindowPos(8);
    HWND leftOver = nullptr;
    const auto isDockBar = [this](HWND child) {
        for (CDockBar* dock : m_dockBars) {
            if (dock && dock->m_hWnd == child)
                return true;
        }
        return false;
    };
    const auto layOut = [&layout, nIDFirst, nIDLast](HWND child) {
        UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id >= nIDFirst && id <= nIDLast && (::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE))
            ::SendMessageW(child, SCV_WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    };
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        if (static_cast<UINT>(::GetDlgCtrlID(child)) == nIDLeftOver)
            leftOver = child;
        else if (!isDockBar(child))
            layOut(child);
    }
    // The dock bars come last: the docked bars lie next to the view, inside the frame's other bars.
    for (CDockBar* dock : m_dockBars) {
        if (dock && dock->m_hWnd)
            layOut(dock->m_hWnd);
    }
    if (bQuery) {
        if (pRectParam)
            *pRectParam = layout.rect;
        return;
    }
    if (leftOver && layout.hDWP) {
        const RECT& r = layout.rect;
        layout.hDWP =
            ::DeferWindowPos(layout.hDWP, leftOver, nullptr, r.left, r.top, std::max(0L, r.right - r.left),
                             std::max(0L, r.bottom - r.top), SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (layout.hDWP)
        ::EndDeferWindowPos(layout.hDWP);
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout || !m_hWnd)
        return;
    m_bInRecalcLayout = true;
    m_bDelayedLayout = false;
    RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, AFX_IDW_PANE_FIRST);
    // A bar may change size inside a dock bar that keeps its own.
    for (CDockBar* dock : m_dockBars) {
        if (dock && dock->m_hWnd)
            dock->LayoutBars();
    }
    m_bInRecalcLayout = false;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* old = m_pActiveView;
    if (old == pViewNew)
        return;
    m_pActiveView = pViewNew;
    if (!bNotify)
        return;
    if (old)
        old->OnActivateView(FALSE, pViewNew, old);
    if (pViewNew) {
        pViewNew->OnActivateView(TRUE, pViewNew, old);
        if (::GetFocus() != pViewNew->m_hWnd && ::IsWindowVisible(pViewNew->m_hWnd))
            ::SetFocus(pViewNew->m_hWnd);
    }
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pActiveView ? m_pActiveView->GetDocument() : nullptr;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if (!m_hWnd || !(::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & FWS_ADDTOTITLE))
        return;
    CDocument* doc = GetActiveDocument();
    CString title = m_strTitle;
    if (bAddToTitle && doc && !doc->GetTitle().IsEmpty())
        title = doc->GetTitle() + L" - " + m_strTitle;
    ::SetWindowTextW(m_hWnd, title);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage = FirstLine(LoadResourceString(nID));
}

void CFrameWnd::SetMessageText(LPCWSTR lpszText)
{
    auto* status = dynamic_cast<CStatusBar*>(GetControlBar(AFX_IDW_STATUS_BAR));
    if (status)
        status->SetPaneText(0, lpszText);
}

void CFrameWnd::SetMessageText(UINT nID)
{
    CString text;
    GetMessageString(nID, text);
    SetMessageText(text);
}

void CFrameWnd::AddControlBar(CControlBar* pBar)
{
    if (pBar && std::find(m_bars.begin(), m_bars.end(), pBar) == m_bars.end())
        m_bars.push_back(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar)
{
    m_bars.erase(std::remove(m_bars.begin(), m_bars.end(), pBar), m_bars.end());
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const
{
    for (CControlBar* bar : m_bars) {
        if (bar->m_hWnd && static_cast<UINT>(::GetDlgCtrlID(bar->m_hWnd)) == nID)
            return bar;
    }
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    ::ShowWindow(pBar->m_hWnd, bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    if (pBar->IsFloating()) {
        // the floating frame is shown while it holds a visible bar
        CDockBar* dock = pBar->GetDockBar();
        HWND floating = ::GetParent(dock->m_hWnd);
        dock->LayoutBars();
        ::ShowWindow(floating, dock->GetVisibleCount() > 0 ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    if (bDelay)
        DelayRecalcLayout();
    else
        RecalcLayout();
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    static constexpr UINT kIds[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                                     AFX_IDW_DOCKBAR_RIGHT};
    if (!m_hWnd)
        return;
    for (int i = 0; i < 4; ++i) {
        if (m_dockBars[i] || !(dwDockStyle & DockBarAlignment(kIds[i])))
            continue;
        auto* dock = new CDockBar;
        if (!dock->Create(m_hWnd, kIds[i])) {
            delete dock;
            continue;
        }
        m_dockBars[i] = dock;
    }
}

CDockBar* CFrameWnd::GetDockBar(UINT nID) const
{
    for (CDockBar* dock : m_dockBars) {
        if (dock && dock->m_hWnd && static_cast<UINT>(::GetDlgCtrlID(dock->m_hWnd)) == nID)
            return dock;
    }
    return nullptr;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, const RECT* lpRect)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    if (nDockBarID == 0) {
        nDockBarID = DockBarIdFromAlignment(pBar->m_dwStyle & pBar->m_dwDockStyle);
        if (!GetDockBar(nDockBarID))
            nDockBarID = DockBarIdFromAlignment(pBar->m_dwDockStyle);
    }
    CDockBar* dock = GetDockBar(nDockBarID);
    if (!dock)
        return;
    CDockBar* old = pBar->m_pDockBar;
    HWND oldFloating = old && old->IsFloatingDockBar() ? ::GetParent(old->m_hWnd) : nullptr;
    if (old && old != dock)
        old->RemoveControlBar(pBar);
    pBar->m_dwStyle = (pBar->m_dwStyle & ~CBRS_ALIGN_ANY) | DockBarAlignment(nDockBarID);
    pBar->m_pDockSite = this;
    pBar->m_pDockBar = dock;
    if (::GetParent(pBar->m_hWnd) != dock->m_hWnd)
        ::SetParent(pBar->m_hWnd, dock->m_hWnd);
    dock->InsertBar(pBar, lpRect);
    if (pBar->m_pDockContext)
        pBar->m_pDockContext->m_uMRUDockID = nDockBarID;
    ::SetWindowPos(pBar->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (oldFloating)
        ::DestroyWindow(oldFloating);
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, POINT point)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    CDockBar* old = pBar->m_pDockBar;
    if (old && old->IsFloatingDockBar()) {
        ::SetWindowPos(::GetParent(old->m_hWnd), nullptr, point.x, point.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        CMiniDockFrameWnd* floating = CMiniDockFrameWnd::CreateFor(this, point);
        if (!floating)
            return;
        if (old)
            old->RemoveControlBar(pBar);
        CDockBar& dock = floating->GetFloatingDockBar();
        pBar->m_pDockSite = this;
        pBar->m_pDockBar = &dock;
        ::SetParent(pBar->m_hWnd, dock.m_hWnd);
        dock.InsertBar(pBar, nullptr);
        const int length = ::GetWindowTextLengthW(pBar->m_hWnd);
        CString text;
        ::GetWindowTextW(pBar->m_hWnd, text.GetBuffer(length + 1), length + 1);
        text.ReleaseBuffer();
        ::SetWindowTextW(dock.m_hWnd, text);
        ::SetWindowPos(pBar->m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        floating->SizeToBar();
        if (pBar->IsVisible())
            ::ShowWindow(floating->m_hWnd, SW_SHOWNOACTIVATE);
    }
    if (pBar->m_pDockContext) {
        pBar->m_pDockContext->m_ptMRUFloatPos = point;
        pBar->m_pDockContext->m_bHasFloatPos = true;
    }
    RecalcLayout();
}

void CFrameWnd::OnIdleUpdateCmdUI()
{
    for (CControlBar* bar : std::vector<CControlBar*>(m_bars)) {
        if (bar->IsVisible())
            bar->OnUpdateCmdUI(this, TRUE);
    }
    if (m_bDelayedLayout)
        RecalcLayout();
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra)
{
    CView* view = GetActiveView();
    if (view && view->OnCmdMsg(nID, nCode, pExtra))
        return TRUE;
    CDocument* doc = view ? view->GetDocument() : nullptr;
    if (doc && doc->OnCmdMsg(nID, nCode, pExtra))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra))
        return TRUE;
    CWinApp* app = CWinApp::GetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccelTable && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}

LRESULT CFrameWnd::OnSizeMsg(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam != SIZE_MINIMIZED)
        RecalcLayout();
    return 0;
}

LRESULT CFrameWnd::OnSetFocusMsg(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_pActiveView && m_pActiveView->m_hWnd)
        ::SetFocus(m_pActiveView->m_hWnd);
    return 0;
}

LRESULT CFrameWnd::OnInitMenuPopupMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE; // the default processing still runs
    if (HIWORD(lParam))
        return 0; // the system menu
    UpdateMenuCmdUI(reinterpret_cast<HMENU>(wParam), this, TRUE);
    return 0;
}

LRESULT CFrameWnd::OnMenuSelectMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) {
        m_nIDLastMessage = AFX_IDS_IDLEMESSAGE; // the menu closed
    } else if (flags & (MF_POPUP | MF_SEPARATOR)) {
        m_nIDLastMessage = 0;
    } else {
        m_nIDLastMessage = item;
    }
    if (m_nIDLastMessage == 0)
        SetMessageText(L"");
    else
        SetMessageText(m_nIDLastMessage);
    return 0;
}

LRESULT CFrameWnd::OnSetMessageStringMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (lParam != 0) {
        m_nIDLastMessage = 0;
        SetMessageText(reinterpret_cast<LPCWSTR>(lParam));
        return 0;
    }
    m_nIDLastMessage = static_cast<UINT>(wParam);
    SetMessageText(m_nIDLastMessage);
    return 0;
}

LRESULT CFrameWnd::OnCloseMsg(UINT, WPARAM, LPARAM, BOOL&)
{
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->SaveModified())
        return 0;
    if (doc) {
        doc->OnCloseDocument(); // destroys this frame
        return 0;
    }
    ::DestroyWindow(m_hWnd);
    return 0;
}

LRESULT CFrameWnd::OnDestroyMsg(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    CWinApp* app = CWinApp::GetApp();
    if (app && app->GetMainWnd() == this) {
        app->SetMainWnd(nullptr);
        ::PostQuitMessage(0);
    }
    return 0;
}

LRESULT CFrameWnd::OnAppExit(WORD, WORD, HWND, BOOL&)
{
    ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CFrameWnd::OnBarCheck(WORD, WORD wID, HWND, BOOL& bHandled)
{
    CControlBar* bar = GetControlBar(wID);
    if (!bar) {
        bHandled = FALSE;
        return 0;
    }
    ShowControlBar(bar, !bar->IsVisible(), FALSE);
    return 0;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    pCmdUI->Enable(bar != nullptr);
    pCmdUI->SetCheck(bar && bar->IsVisible() ? 1 : 0);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    int key = pCmdUI->m_nID == ID_INDICATOR_CAPS  ? VK_CAPITAL
              : pCmdUI->m_nID == ID_INDICATOR_NUM ? VK_NUMLOCK
                                                  : VK_SCROLL;
    pCmdUI->Enable((::GetKeyState(key) & 1) != 0);
}

void CFrameWnd::OnFinalMessage(HWND)
{
    if (m_hMenuDefault && !::IsMenu(m_hMenuDefault))
        m_hMenuDefault = nullptr;
    DeferredDeletion::DeleteAfterDispatch(this);
}
