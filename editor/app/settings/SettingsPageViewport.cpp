#include "editor/app/settings/SettingsPageViewport.h"

#include <algorithm>

namespace
{

constexpr int kLine = 20;

LONG& Coordinate(POINT& point, int bar)
{
    return bar == SB_VERT ? point.y : point.x;
}

} // namespace

HWND SettingsPageViewport::CreateViewport(HWND parent, const RECT& rect)
{
    return Create(parent, rect, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
}

void SettingsPageViewport::ShowPage(HWND page, SIZE needed)
{
    m_page = page;
    m_needed = needed;
    m_position = {};
    Layout();
}

void SettingsPageViewport::Layout()
{
    if (!m_hWnd || m_inLayout)
        return;
    m_inLayout = true;
    // Showing one bar narrows the other dimension: two rounds settle both.
    for (int round = 0; round < 2; ++round) {
        RECT client = {};
        ::GetClientRect(m_hWnd, &client);
        const int sizes[] = {client.right, client.bottom};
        const int needs[] = {m_page ? static_cast<int>(m_needed.cx) : 0, m_page ? static_cast<int>(m_needed.cy) : 0};
        const int bars[] = {SB_HORZ, SB_VERT};
        for (int i = 0; i < 2; ++i) {
            LONG& position = Coordinate(m_position, bars[i]);
            position = std::max(0L, std::min<LONG>(position, needs[i] - sizes[i]));
            SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS};
            info.nMax = std::max(0, needs[i] - 1);
            info.nPage = static_cast<UINT>(std::max(0, sizes[i]));
            info.nPos = static_cast<int>(position);
            ::SetScrollInfo(m_hWnd, bars[i], &info, TRUE);
        }
    }
    if (m_page) {
        RECT client = {};
        ::GetClientRect(m_hWnd, &client);
        ::SetWindowPos(m_page, nullptr, -m_position.x, -m_position.y, std::max<LONG>(client.right, m_needed.cx),
                       std::max<LONG>(client.bottom, m_needed.cy), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_inLayout = false;
}

void SettingsPageViewport::ScrollTo(int bar, int position)
{
    SCROLLINFO info = {sizeof(info), SIF_ALL};
    ::GetScrollInfo(m_hWnd, bar, &info);
    const int last = std::max(0, info.nMax - static_cast<int>(info.nPage) + 1);
    Coordinate(m_position, bar) = std::max(0, std::min(position, last));
    Layout();
}

LRESULT SettingsPageViewport::OnSize(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam != SIZE_MINIMIZED)
        Layout();
    return 0;
}

LRESULT SettingsPageViewport::OnScroll(UINT message, WPARAM wParam, LPARAM, BOOL&)
{
    const int bar = message == WM_VSCROLL ? SB_VERT : SB_HORZ;
    SCROLLINFO info = {sizeof(info), SIF_ALL};
    ::GetScrollInfo(m_hWnd, bar, &info);
    int position = static_cast<int>(Coordinate(m_position, bar));
    switch (LOWORD(wParam)) {
    case SB_LINEUP: position -= kLine; break;
    case SB_LINEDOWN: position += kLine; break;
    case SB_PAGEUP: position -= static_cast<int>(info.nPage); break;
    case SB_PAGEDOWN: position += static_cast<int>(info.nPage); break;
    case SB_THUMBTRACK: position = info.nTrackPos; break;
    case SB_THUMBPOSITION: position = HIWORD(wParam); break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return 0;
    }
    ScrollTo(bar, position);
    return 0;
}

LRESULT SettingsPageViewport::OnMouseWheel(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    const int bar = (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) ? SB_HORZ : SB_VERT;
    ScrollTo(bar, static_cast<int>(Coordinate(m_position, bar)) - notches * 3 * kLine);
    return 0;
}
