#include "platform/docview/DockContext.h"

#include <algorithm>
#include <cstdlib>

#include "platform/docview/ControlBars.h"
#include "platform/docview/DockBar.h"
#include "platform/docview/FrameWnd.h"

HBRUSH CreateDockHalftoneBrush()
{
    const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    HBITMAP bitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
    if (!bitmap)
        return nullptr;
    HBRUSH brush = ::CreatePatternBrush(bitmap);
    ::DeleteObject(bitmap);
    return brush;
}

namespace
{

// Inverts a frame of the thickness along the inside of the rectangle (screen coordinates).
void InvertDockFrame(const RECT& r, int thickness)
{
    HDC dc = ::GetDC(nullptr);
    if (!dc)
        return;
    HBRUSH brush = CreateDockHalftoneBrush();
    HGDIOBJ old = brush ? ::SelectObject(dc, brush) : nullptr;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    ::PatBlt(dc, r.left, r.top, w, thickness, PATINVERT);
    ::PatBlt(dc, r.left, r.bottom - thickness, w, thickness, PATINVERT);
    ::PatBlt(dc, r.left, r.top + thickness, thickness, h - 2 * thickness, PATINVERT);
    ::PatBlt(dc, r.right - thickness, r.top + thickness, thickness, h - 2 * thickness, PATINVERT);
    if (brush) {
        ::SelectObject(dc, old);
        ::DeleteObject(brush);
    }
    ::ReleaseDC(nullptr, dc);
}

} // namespace

CDockContext::CDockContext(CControlBar* pBar) : m_pBar(pBar) {}

CDockContext::~CDockContext()
{
    if (m_bDragging)
        CancelDrag();
}

CFrameWnd* CDockContext::DockSite() const
{
    return m_pBar ? m_pBar->GetDockingFrame() : nullptr;
}

UINT CDockContext::DockTargetAt(POINT pt) const
{
    CFrameWnd* site = DockSite();
    if (!site || !site->m_hWnd)
        return 0;
    for (UINT id :
         {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT}) {
        CDockBar* dock = site->GetDockBar(id);
        if (!dock || !dock->m_hWnd || !(m_pBar->m_dwDockStyle & DockBarAlignment(id)))
            continue;
        RECT zone = {};
        ::GetWindowRect(dock->m_hWnd, &zone);
        // The side facing the frame's centre reaches a little further, so an empty side has an area too.
        switch (id) {
        case AFX_IDW_DOCKBAR_TOP:
            zone.bottom += kDockZone;
            break;
        case AFX_IDW_DOCKBAR_BOTTOM:
            zone.top -= kDockZone;
            break;
        case AFX_IDW_DOCKBAR_LEFT:
            zone.right += kDockZone;
            break;
        default:
            zone.left -= kDockZone;
            break;
        }
        if (::PtInRect(&zone, pt))
            return id;
    }
    return 0;
}

void CDockContext::DrawTracker()
{
    if (m_bTrackerShown) {
        InvertDockFrame(m_rectShown, m_nShownThickness);
        m_bTrackerShown = false;
    }
    if (!m_bDragging || !m_bMoved)
        return;
    // A thin outline where the bar would dock, a thick one where it would float.
    m_rectShown = m_rectDrag;
    m_nShownThickness = m_uTarget ? 1 : 3;
    InvertDockFrame(m_rectShown, m_nShownThickness);
    m_bTrackerShown = true;
}

void CDockContext::BeginDrag(POINT pt)
{
    if (!m_pBar || !m_pBar->m_hWnd)
        return;
    m_bDragging = true;
    m_bMoved = false;
    m_ptStart = pt;
    // A floating bar drags its whole floating frame.
    HWND moved = m_pBar->m_hWnd;
    if (m_pBar->IsFloating() && m_pBar->GetDockBar())
        moved = ::GetParent(m_pBar->GetDockBar()->m_hWnd);
    ::GetWindowRect(moved, &m_rectStart);
    m_rectDrag = m_rectStart;
    m_uTarget = 0;
}

void CDockContext::MoveDrag(POINT pt)
{
    if (!m_bDragging)
        return;
    const int dx = pt.x - m_ptStart.x;
    const int dy = pt.y - m_ptStart.y;
    if (!m_bMoved && std::abs(dx) <= ::GetSystemMetrics(SM_CXDRAG) &&
        std::abs(dy) <= ::GetSystemMetrics(SM_CYDRAG))
        return;
    m_bMoved = true;
    m_rectDrag = m_rectStart;
    ::OffsetRect(&m_rectDrag, dx, dy);
    m_uTarget = DockTargetAt(pt);
    DrawTracker();
}

void CDockContext::CancelDrag()
{
    m_bDragging = false;
    DrawTracker();
    if (m_pBar && m_pBar->m_hWnd && ::GetCapture() == m_pBar->m_hWnd)
        ::ReleaseCapture();
}

void CDockContext::EndDrag(POINT pt)
{
    if (!m_bDragging)
        return;
    MoveDrag(pt);
    const bool moved = m_bMoved;
    const UINT target = m_uTarget;
    const RECT rect = m_rectDrag;
    CancelDrag();
    CFrameWnd* site = DockSite();
    if (!moved || !site)
        return;
    if (target)
        site->DockControlBar(m_pBar, target, &rect);
    else
        site->FloatControlBar(m_pBar, POINT{rect.left, rect.top});
}

void CDockContext::StartDrag(POINT pt)
{
    if (!m_pBar || !m_pBar->m_hWnd || m_bDragging)
        return;
    BeginDrag(pt);
    HWND bar = m_pBar->m_hWnd;
    ::SetCapture(bar);
    MSG msg = {};
    while (m_bDragging && ::GetCapture() == bar && ::GetMessageW(&msg, nullptr, 0, 0)) {
        POINT at = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
        switch (msg.message) {
        case WM_MOUSEMOVE:
            ::ClientToScreen(msg.hwnd, &at);
            MoveDrag(at);
            break;
        case WM_LBUTTONUP:
            ::ClientToScreen(msg.hwnd, &at);
            EndDrag(at);
            return;
        case WM_RBUTTONDOWN:
            CancelDrag();
            return;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                CancelDrag();
                return;
            }
            break;
        default:
            ::DispatchMessageW(&msg);
            break;
        }
    }
    if (msg.message == WM_QUIT)
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    if (m_bDragging)
        CancelDrag();
}

void CDockContext::ToggleDocking()
{
    CFrameWnd* site = DockSite();
    if (!site || !m_pBar || !m_pBar->m_hWnd)
        return;
    if (m_pBar->IsFloating()) {
        UINT id = m_uMRUDockID;
        if (!id || !site->GetDockBar(id))
            id = DockBarIdFromAlignment(m_pBar->m_dwStyle & m_pBar->m_dwDockStyle);
        if (!id || !site->GetDockBar(id))
            id = DockBarIdFromAlignment(m_pBar->m_dwDockStyle);
        if (id && site->GetDockBar(id))
            site->DockControlBar(m_pBar, id);
        return;
    }
    POINT pos = m_ptMRUFloatPos;
    if (!m_bHasFloatPos) {
        RECT r = {};
        ::GetWindowRect(m_pBar->m_hWnd, &r);
        pos = POINT{r.left, r.top};
    }
    site->FloatControlBar(m_pBar, pos);
}
