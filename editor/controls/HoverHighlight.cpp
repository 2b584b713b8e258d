#include "editor/controls/HoverHighlight.h"

BOOL CHoverHighlight::ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM, LPARAM, LRESULT& lResult, DWORD)
{
    switch (uMsg) {
    case WM_MOUSEMOVE:
        OnMouseMove(hWnd);
        return FALSE;
    case WM_MOUSELEAVE:
        OnMouseLeave(hWnd);
        return FALSE;
    case WM_ERASEBKGND:
        lResult = 1;
        return TRUE;
    default:
        return FALSE;
    }
}

void CHoverHighlight::OnMouseMove(HWND window)
{
    POINT cursor{};
    RECT rect{};
    const bool inside =
        ::GetCursorPos(&cursor) && ::GetWindowRect(window, &rect) && ::PtInRect(&rect, cursor);
    if (inside == m_hot)
        return;
    m_hot = inside;
    ::InvalidateRect(window, nullptr, FALSE);
    if (!inside)
        return;
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
    ::TrackMouseEvent(&track);
}

void CHoverHighlight::OnMouseLeave(HWND window)
{
    m_hot = false;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
