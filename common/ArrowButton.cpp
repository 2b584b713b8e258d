#include "common/ArrowButton.h"

#include "platform/WindowsX.h"

#include "common/GdiObjectGuards.h"

const UINT WM_ARROWBUTTON_RELEASED = ::RegisterWindowMessageW(L"{F64B4579-F447-4598-993D-8DBB97BEF4A9}");

namespace
{
const int kSeparatorGap = 4;
const int kMaxArrowHeight = 14;

void DrawLine(HDC dc, HGDIOBJ pen, POINT from, POINT to)
{
    SelectedObject selected(dc, pen);
    ::MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, to.x, to.y);
}
} // namespace

RECT CArrowButton::GetArrowRect() const
{
    RECT rect = {};
    ::GetClientRect(m_hWnd, &rect);
    const bool pushed = (::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    rect.top += 2;
    rect.bottom -= 2;
    rect.right -= pushed ? 1 : 2;
    rect.left = rect.right - ARROW_WIDTH;
    return rect;
}

LRESULT CArrowButton::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    WindowDC dc(m_hWnd);
    if (dc)
        PaintArrow(dc.get());
    return result;
}

void CArrowButton::PaintArrow(HDC dc)
{
    const RECT area = GetArrowRect();

    // Separator: a grey line with a white one beside it.
    const int x = area.left - kSeparatorGap;
    GdiObject<HPEN> grayPen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_GRAYTEXT)));
    HGDIOBJ firstPen = grayPen ? static_cast<HGDIOBJ>(grayPen.get()) : ::GetCurrentObject(dc, OBJ_PEN);
    DrawLine(dc, firstPen, {x, area.top + 3}, {x, area.bottom - 3});
    DrawLine(dc, ::GetStockObject(WHITE_PEN), {x + 2, area.top + 3}, {x + 2, area.bottom - 3});

    // The arrow: a triangle pointing right.
    const int top = area.top + 3;
    const int bottom = area.bottom - 4;
    int height = bottom - top;
    if (height > kMaxArrowHeight)
        height = kMaxArrowHeight;
    if (height > 0) {
        const int middle = (top + bottom) / 2;
        POINT corners[3] = {{area.left + 1, middle - height / 2},
                            {area.right - 4, middle},
                            {area.left + 1, middle + height - height / 2}};
        GdiObject<HRGN> region(::CreatePolygonRgn(corners, 3, WINDING));
        if (region)
            ::FillRgn(dc, region.get(),
                      ::GetSysColorBrush(m_cursorOutside ? COLOR_BTNFACE : COLOR_BTNSHADOW));
        DrawLine(dc, ::GetStockObject(BLACK_PEN), corners[2], corners[0]);
        DrawLine(dc, ::GetStockObject(BLACK_PEN), corners[0], corners[1]);
        DrawLine(dc, ::GetStockObject(WHITE_PEN), corners[1], corners[2]);
    }

    m_arrowRect = area;
    m_arrowRect.left -= kSeparatorGap;
}

LRESULT CArrowButton::OnSetState(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    ::InvalidateRect(m_hWnd, &m_arrowRect, FALSE);
    if (wParam) {
        POINT cursor = {};
        ::GetCursorPos(&cursor);
        ::ScreenToClient(m_hWnd, &cursor);
        m_arrowPressed = ::PtInRect(&m_arrowRect, cursor) != FALSE;
    } else if (m_arrowPressed) {
        ::PostMessageW(m_hWnd, WM_ARROWBUTTON_RELEASED, 0, 0);
    }
    return result;
}

LRESULT CArrowButton::OnArrowReleased(UINT, WPARAM, LPARAM, BOOL&)
{
    m_arrowPressed = false;
    return 1;
}

LRESULT CArrowButton::OnSetText(UINT, WPARAM, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    ::InvalidateRect(m_hWnd, &m_arrowRect, FALSE);
    return result;
}

LRESULT CArrowButton::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (!m_trackingLeave) {
        TRACKMOUSEEVENT request = {};
        request.cbSize = sizeof(request);
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = m_hWnd;
        m_trackingLeave = ::TrackMouseEvent(&request) != FALSE;
    }
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &point);
    RECT area = GetArrowRect();
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&area), 2);
    const bool outside = ::PtInRect(&area, point) == FALSE;
    if (outside != m_cursorOutside) {
        m_cursorOutside = outside;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return 0;
}

LRESULT CArrowButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    m_trackingLeave = false;
    if (!m_cursorOutside) {
        m_cursorOutside = true;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return 0;
}
