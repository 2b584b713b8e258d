#include "platform/docview/ControlBars.h"

#include <algorithm>

#include "platform/CAppModule.h"
#include "platform/docview/DockBar.h"
#include "platform/docview/DockContext.h"
#include "platform/docview/FrameWnd.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CReBar, CControlBar)
IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

// --- CControlBar
// -------------------------------------------------------------------------------------------------

CControlBar::~CControlBar()
{
    if (m_pFrame)
        m_pFrame->RemoveControlBar(this);
    if (m_pDockBar)
        m_pDockBar->RemoveControlBar(this);
    delete m_pDockContext;
}

BOOL CControlBar::IsFloating() const
{
    return m_pDockBar && m_pDockBar->IsFloatingDockBar();
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    if (m_dwDockStyle && !m_pDockContext)
        m_pDockContext = new CDockContext(this);
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    return m_pDockSite ? m_pDockSite : GetOwnerFrame();
}

HWND CControlBar::GetNotifyTarget() const
{
    if (m_pDockSite && m_pDockSite->m_hWnd)
        return m_pDockSite->m_hWnd;
    return GetOwner();
}

SIZE CControlBar::CalcDynamicLayout(int, DWORD dwMode)
{
    return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZ) != 0);
}

CFrameWnd* CControlBar::GetOwnerFrame() const
{
    for (HWND hWnd = GetOwner(); hWnd; hWnd = ::GetParent(hWnd)) {
        auto* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(hWnd));
        if (frame)
            return frame;
    }
    return nullptr;
}

void CControlBar::JoinFrame()
{
    m_pFrame = GetOwnerFrame();
    if (m_pFrame)
        m_pFrame->AddControlBar(this);
}

void CControlBar::LeaveFrame(CFrameWnd* pFrame)
{
    if (m_pFrame == pFrame)
        m_pFrame = nullptr;
}

LRESULT CControlBar::OnDestroyMsg(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (m_pFrame)
        m_pFrame->RemoveControlBar(this);
    m_pFrame = nullptr;
    if (m_pDockBar) {
        CDockBar* dock = m_pDockBar;
        m_pDockBar = nullptr;
        dock->RemoveControlBar(this);
        // a floating frame left without a bar is not shown
        if (dock->IsFloatingDockBar() && dock->GetVisibleCount() == 0)
            ::ShowWindow(::GetParent(dock->m_hWnd), SW_HIDE);
    }
    return 0;
}

SIZE CControlBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    RECT r = {};
    ::GetWindowRect(m_hWnd, &r);
    return bHorz ? SIZE{32767, r.bottom - r.top} : SIZE{r.right - r.left, 32767};
}

LRESULT CControlBar::OnSizeParent(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto* layout = reinterpret_cast<SCV_SIZEPARENTPARAMS*>(lParam);
    if (!layout)
        return 0;
    const bool horz = (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0;
    SIZE size = CalcFixedLayout(layout->bStretch, horz);
    RECT& free = layout->rect;
    RECT place = free;
    if (m_dwStyle & CBRS_ALIGN_TOP) {
        place.bottom = std::min(free.bottom, free.top + size.cy);
        free.top = place.bottom;
    } else if (m_dwStyle & CBRS_ALIGN_BOTTOM) {
        place.top = std::max(free.top, free.bottom - size.cy);
        free.bottom = place.top;
    } else if (m_dwStyle & CBRS_ALIGN_LEFT) {
        place.right = std::min(free.right, free.left + size.cx);
        free.left = place.right;
    } else if (m_dwStyle & CBRS_ALIGN_RIGHT) {
        place.left = std::max(free.left, free.right - size.cx);
        free.right = place.left;
    } else {
        return 0;
    }
    if (layout->hDWP)
        layout->hDWP =
            ::DeferWindowPos(layout->hDWP, m_hWnd, nullptr, place.left, place.top, place.right - place.left,
                             place.bottom - place.top, SWP_NOACTIVATE | SWP_NOZORDER);
    return 0;
}

BOOL CControlBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    // unhandled commands of the bar's controls go to the frame
    HWND owner = GetNotifyTarget();
    if (!owner)
        return FALSE;
    ::SendMessageW(owner, WM_COMMAND, wParam, lParam);
    return TRUE;
}

BOOL CControlBar::OnWndMsg(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (CWnd::OnWndMsg(hWnd, uMsg, wParam, lParam, lResult))
        return TRUE;
    if (uMsg != WM_NOTIFY)
        return FALSE;
    HWND owner = GetNotifyTarget();
    if (!owner)
        return FALSE;
    lResult = ::SendMessageW(owner, WM_NOTIFY, wParam, lParam);
    return TRUE;
}

// --- CStatusBar
// --------------------------------------------------------------------------------------------------

void CStatusCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = true;
    ::SendMessageW(m_hStatusBar, SB_SETTEXTW, m_nIndex,
                   reinterpret_cast<LPARAM>(bOn ? m_strText.GetString() : L""));
}

void CStatusCmdUI::SetText(LPCWSTR lpszText)
{
    m_strText = lpszText;
    ::SendMessageW(m_hStatusBar, SB_SETTEXTW, m_nIndex, reinterpret_cast<LPARAM>(m_strText.GetString()));
}

CWndClassInfo& CStatusBar::GetWndClassInfo()
{
    static CWndClassInfo info(nullptr, 0, nullptr, STATUSCLASSNAMEW);
    return info;
}

BOOL CStatusBar::Create(HWND hParent, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    RECT rect = {0, 0, 0, 0};
    DWORD windowStyle = (dwStyle & ~CBRS_ALL) | WS_CHILD | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE;
    if (!CreateEx(0, nullptr, windowStyle, rect, hParent, nID))
        return FALSE;
    JoinFrame();
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    m_ids.assign(lpIDArray, lpIDArray + std::max(0, nIDCount));
    m_texts.assign(m_ids.size(), CString());
    for (size_t i = 0; i < m_ids.size(); ++i) {
        if (m_ids[i] == 0)
            continue;
        const wchar_t* text = nullptr;
        int length =
            ::LoadStringW(_Module.GetResourceInstance(), m_ids[i], reinterpret_cast<LPWSTR>(&text), 0);
        m_texts[i] = length > 0 && text ? CString(text, length) : CString();
    }
    SizePanes();
    return TRUE;
}

void CStatusBar::SizePanes()
{
    if (!m_hWnd || m_ids.empty())
        return;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
    std::vector<int> widths(m_ids.size());
    int right = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
    for (size_t i = m_ids.size(); i-- > 1;) {
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, m_texts[i], m_texts[i].GetLength(), &size);
        widths[i] = right;
        right -= size.cx + 12;
    }
    widths[0] = std::max(0, right);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    ::SendMessageW(m_hWnd, SB_SETPARTS, widths.size(), reinterpret_cast<LPARAM>(widths.data()));
    for (size_t i = 1; i < m_ids.size(); ++i)
        ::SendMessageW(m_hWnd, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(m_texts[i].GetString()));
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCWSTR lpszNewText)
{
    if (!m_hWnd || nIndex < 0)
        return FALSE;
    return static_cast<BOOL>(::SendMessageW(m_hWnd, SB_SETTEXTW, static_cast<WPARAM>(nIndex),
                                            reinterpret_cast<LPARAM>(lpszNewText ? lpszNewText : L"")));
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    wchar_t buffer[512] = {};
    const LRESULT info = ::SendMessageW(m_hWnd, SB_GETTEXTLENGTHW, static_cast<WPARAM>(nIndex), 0);
    if (LOWORD(info) >= 512)
        return CString();
    ::SendMessageW(m_hWnd, SB_GETTEXTW, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_ids[static_cast<size_t>(nIndex)] : 0;
}

SIZE CStatusBar::CalcFixedLayout(BOOL, BOOL)
{
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    return SIZE{32767, metrics.tmHeight + 8};
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    SizePanes();
    for (size_t i = 1; i < m_ids.size(); ++i) {
        CStatusCmdUI ui;
        ui.m_hStatusBar = m_hWnd;
        ui.m_nIndex = static_cast<UINT>(i);
        ui.m_nID = m_ids[i];
        ui.m_strText = m_texts[i];
        ui.DoUpdate(pTarget, FALSE);
    }
}

// --- CToolBar
// ----------------------------------------------------------------------------------------------------

void CToolCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = true;
    ::SendMessageW(m_hToolBar, TB_ENABLEBUTTON, m_nID, MAKELPARAM(bOn ? TRUE : FALSE, 0));
}

void CToolCmdUI::SetCheck(int nCheck)
{
    ::SendMessageW(m_hToolBar, TB_CHECKBUTTON, m_nID, MAKELPARAM(nCheck ? TRUE : FALSE, 0));
}

CWndClassInfo& CToolBar::GetWndClassInfo()
{
    static CWndClassInfo info(nullptr, 0, nullptr, TOOLBARCLASSNAMEW);
    return info;
}

BOOL CToolBar::Create(HWND hParent, DWORD dwStyle, UINT nID, DWORD dwCtrlStyle)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    RECT rect = {0, 0, 0, 0};
    DWORD windowStyle =
        (dwStyle & ~CBRS_ALL) | dwCtrlStyle | WS_CHILD | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (!CreateEx(0, nullptr, windowStyle, rect, hParent, nID))
        return FALSE;
    ::SendMessageW(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    JoinFrame();
    return TRUE;
}

SIZE CToolBar::CalcFixedLayout(BOOL, BOOL)
{
    SIZE size = {};
    ::SendMessageW(m_hWnd, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    return SIZE{32767, size.cy > 0 ? size.cy : 22};
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    const int count = static_cast<int>(::SendMessageW(m_hWnd, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        if (!::SendMessageW(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button)))
            continue;
        if (button.fsStyle & BTNS_SEP)
            continue;
        CToolCmdUI ui;
        ui.m_hToolBar = m_hWnd;
        ui.m_nIndex = static_cast<UINT>(i);
        ui.m_nID = static_cast<UINT>(button.idCommand);
        ui.DoUpdate(pTarget, bDisableIfNoHandler);
    }
}

// --- CReBar
// ------------------------------------------------------------------------------------------------------

CWndClassInfo& CReBar::GetWndClassInfo()
{
    static CWndClassInfo info(nullptr, 0, nullptr, REBARCLASSNAMEW);
    return info;
}

BOOL CReBar::Create(HWND hParent, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    RECT rect = {0, 0, 0, 0};
    DWORD windowStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                        CCS_NOPARENTALIGN | CCS_NODIVIDER;
    if (!CreateEx(0, nullptr, windowStyle, rect, hParent, nID))
        return FALSE;
    JoinFrame();
    return TRUE;
}

BOOL CReBar::AddBar(CControlBar* pBar, COLORREF clrFore, COLORREF clrBack, DWORD dwStyle)
{
    if (!pBar || !pBar->m_hWnd)
        return FALSE;
    ::SetParent(pBar->m_hWnd, m_hWnd);
    RECT r = {};
    ::GetWindowRect(pBar->m_hWnd, &r);
    SIZE size = pBar->CalcFixedLayout(FALSE, TRUE);
    REBARBANDINFOW band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID;
    band.fStyle = dwStyle;
    band.hwndChild = pBar->m_hWnd;
    band.wID = static_cast<UINT>(::GetDlgCtrlID(pBar->m_hWnd));
    band.cxMinChild = 0;
    band.cyMinChild = static_cast<UINT>(size.cy > 0 && size.cy < 32767 ? size.cy : r.bottom - r.top);
    if (clrFore != CLR_DEFAULT || clrBack != CLR_DEFAULT) {
        band.fMask |= RBBIM_COLORS;
        band.clrFore = clrFore == CLR_DEFAULT ? ::GetSysColor(COLOR_BTNTEXT) : clrFore;
        band.clrBack = clrBack == CLR_DEFAULT ? ::GetSysColor(COLOR_BTNFACE) : clrBack;
    }
    if (!::SendMessageW(m_hWnd, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)))
        return FALSE;
    // the band's bar no longer takes part in the frame's layout itself
    if (pBar->m_pFrame)
        pBar->m_pFrame->RemoveControlBar(pBar);
    pBar->m_pFrame = nullptr;
    m_bands.push_back(pBar);
    return TRUE;
}

SIZE CReBar::CalcFixedLayout(BOOL, BOOL)
{
    const int height = static_cast<int>(::SendMessageW(m_hWnd, RB_GETBARHEIGHT, 0, 0));
    return SIZE{32767, height};
}

void CReBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    for (CControlBar* bar : m_bands) {
        if (bar->m_hWnd)
            bar->OnUpdateCmdUI(pTarget, bDisableIfNoHandler);
    }
}

// --- CDialogBar
// --------------------------------------------------------------------------------------------------

namespace
{

INT_PTR CALLBACK BarDialogProc(HWND, UINT uMsg, WPARAM, LPARAM)
{
    return uMsg == WM_INITDIALOG ? TRUE : FALSE;
}

} // namespace

BOOL CDialogBar::Create(HWND hParent, UINT nIDTemplate, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    HWND dialog = ::CreateDialogParamW(_Module.GetResourceInstance(), MAKEINTRESOURCEW(nIDTemplate), hParent,
                                       &BarDialogProc, 0);
    if (!dialog)
        return FALSE;
    ::SetWindowLongPtrW(dialog, GWLP_ID, static_cast<LONG_PTR>(nID));
    ::SetWindowLongPtrW(dialog, GWL_STYLE, (::GetWindowLongPtrW(dialog, GWL_STYLE) | WS_CHILD) & ~WS_POPUP);
    if (!SubclassWindow(dialog)) {
        ::DestroyWindow(dialog);
        return FALSE;
    }
    RECT r = {};
    ::GetWindowRect(dialog, &r);
    m_sizeDefault = SIZE{r.right - r.left, r.bottom - r.top};
    JoinFrame();
    OnAttached();
    return TRUE;
}

SIZE CDialogBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    return bHorz ? SIZE{32767, m_sizeDefault.cy} : SIZE{m_sizeDefault.cx, 32767};
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id == 0 || id == static_cast<UINT>(-1) || id == 0xFFFF)
            continue;
        CCmdUI ui;
        ui.m_hOther = child;
        ui.m_nID = id;
        ui.DoUpdate(pTarget, FALSE);
    }
}
