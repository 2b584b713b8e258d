#include "common/RedrawOnScrollWindow.h"

LRESULT CRedrawOnScrollWindow::OnHScroll(UINT, WPARAM, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return result;
}
