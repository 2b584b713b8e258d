#include "platform/docview/MiniDockFrameWnd.h"

#include "platform/CString.h"
#include "platform/DeferredDeletion.h"
#include "platform/WindowsX.h"
#include "platform/docview/DockContext.h"
#include "platform/docview/FrameWnd.h"

IMPLEMENT_DYNAMIC(CMiniDockFrameWnd, CWnd)

CWndClassInfo& CMiniDockFrameWnd::GetWndClassInfo()
{
    static CWndClassInfo info(L"ScvMiniDockFrame", CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return info;
}

CMiniDockFrameWnd* CMiniDockFrameWnd::CreateFor(CFrameWnd* pDockSite, POINT pos)
{
    auto* frame = new CMiniDockFrameWnd;
    frame->m_pDockSite = pDockSite;
    const RECT rect = {pos.x, pos.y, pos.x + 100, pos.y + 100};
    if (!frame->CreateEx(kExStyle, L"", kStyle, rect, pDockSite ? pDockSite->m_hWnd : nullptr, 0)) {
        delete frame; // a frame that could not be made stays ours
        return nullptr;
    }
    if (!frame->m_wndDockBar.Create(frame->m_hWnd, AFX_IDW_DOCKBAR_FLOAT)) {
        ::DestroyWindow(frame->m_hWnd); // deletes the object
        return nullptr;
    }
    return frame;
}

void CMiniDockFrameWnd::OnFinalMessage(HWND)
{
    DeferredDeletion::DeleteAfterDispatch(this);
}

CControlBar* CMiniDockFrameWnd::FloatingBar() const
{
    return m_wndDockBar.GetFirstBar();
}

SIZE CMiniDockFrameWnd::NonClientSize() const
{
    RECT r = {0, 0, 0, 0};
    ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)));
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void CMiniDockFrameWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    const int length = ::GetWindowTextLengthW(m_wndDockBar.m_hWnd);
    CString text;
    ::GetWindowTextW(m_wndDockBar.m_hWnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
    CString caption;
    const int captionLength = ::GetWindowTextLengthW(m_hWnd);
    ::GetWindowTextW(m_hWnd, caption.GetBuffer(captionLength + 1), captionLength + 1);
    caption.ReleaseBuffer();
    if (caption != text)
        ::SetWindowTextW(m_hWnd, text);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    ::SetWindowPos(m_wndDockBar.m_hWnd, nullptr, 0, 0, client.right, client.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    m_wndDockBar.LayoutBars();
}

void CMiniDockFrameWnd::SizeToBar()
{
    CControlBar* bar = FloatingBar();
    if (!bar || !m_hWnd)
        return;
    const SIZE size = bar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    const SIZE frame = NonClientSize();
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx + frame.cx, size.cy + frame.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
}

LRESULT CMiniDockFrameWnd::OnCloseMsg(UINT, WPARAM, LPARAM, BOOL&)
{
    // The bar is only hidden: the frame's commands show it again, floating where it was.
    CControlBar* bar = FloatingBar();
    if (bar && m_pDockSite)
        m_pDockSite->ShowControlBar(bar, FALSE, FALSE);
    else
        ::ShowWindow(m_hWnd, SW_HIDE);
    return 0;
}

LRESULT CMiniDockFrameWnd::OnSizeMsg(UINT, WPARAM, LPARAM, BOOL&)
{
    RecalcLayout();
    return 0;
}

LRESULT CMiniDockFrameWnd::OnSizingMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    auto* rect = reinterpret_cast<RECT*>(lParam);
    CControlBar* bar = FloatingBar();
    if (!rect || !bar || wParam < WMSZ_LEFT || wParam > WMSZ_BOTTOMRIGHT) {
        bHandled = FALSE;
        return 0;
    }
    const int hit = static_cast<int>(wParam) - WMSZ_LEFT + HTLEFT; // WMSZ_ codes follow the HT order
    const bool left = hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
    const bool top = hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT;
    const bool corner = hit == HTTOPLEFT || hit == HTTOPRIGHT || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
    const SIZE frame = NonClientSize();
    CDockContext* context = bar->GetDockContext();
    if (context) {
        context->m_nHitTest = hit;
        context->m_ptLast = POINT{left ? rect->left : rect->right, top ? rect->top : rect->bottom};
        context->m_rectFrameDrag = *rect;
    }
    SIZE size = {};
    if (corner)
        size = bar->CalcDynamicLayout(0, LM_HORZ);
    else if (hit == HTLEFT || hit == HTRIGHT)
        size = bar->CalcDynamicLayout(rect->right - rect->left - frame.cx, LM_HORZ);
    else
        size = bar->CalcDynamicLayout(rect->bottom - rect->top - frame.cy, LM_HORZ | LM_LENGTHY);
    if (context)
        context->m_nHitTest = HTNOWHERE;
    // The side opposite the dragged one stays where it is.
    const int width = size.cx + frame.cx;
    const int height = size.cy + frame.cy;
    if (left)
        rect->left = rect->right - width;
    else
        rect->right = rect->left + width;
    if (top)
        rect->top = rect->bottom - height;
    else
        rect->bottom = rect->top + height;
    return TRUE;
}

LRESULT CMiniDockFrameWnd::OnGetMinMaxInfoMsg(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    // The bar's floating minimum decides; the system's minimum window size would be larger.
    bHandled = FALSE;
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (!info || !m_hWnd)
        return 0;
    const SIZE frame = NonClientSize();
    info->ptMinTrackSize = POINT{frame.cx, frame.cy};
    bHandled = TRUE;
    return 0;
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDownMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    CControlBar* bar = FloatingBar();
    CDockContext* context = bar ? bar->GetDockContext() : nullptr;
    if (wParam != HTCAPTION || !context) {
        bHandled = FALSE;
        return 0;
    }
    ::SetActiveWindow(m_hWnd);
    context->StartDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return 0;
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDblClkMsg(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    CControlBar* bar = FloatingBar();
    CDockContext* context = bar ? bar->GetDockContext() : nullptr;
    if (wParam != HTCAPTION || !context) {
        bHandled = FALSE;
        return 0;
    }
    context->ToggleDocking();
    return 0;
}
