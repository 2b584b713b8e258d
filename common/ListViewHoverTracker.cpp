#include "common/ListViewHoverTracker.h"

#include "platform/WindowsX.h"

#include "common/WindowSubclassRegistry.h"

namespace
{
POINT PointFromLParam(LPARAM lParam)
{
    // Signed halves: while the list has the capture the point may lie left of
    // or above it.
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}
} // namespace

CListViewHoverTracker::~CListViewHoverTracker()
{
    Detach();
}

int CListViewHoverTracker::Attach(HWND list, HWND owner)
{
    if (m_attached)
        Detach();
    m_list = list;
    m_owner = owner;
    m_controlId = ::IsWindow(list) ? ::GetDlgCtrlID(list) : 0;
    const int result = SubclassWindowWithCallback(list, &CListViewHoverTracker::OnListMessage, this);
    m_attached = result != 0;
    return result;
}

int CListViewHoverTracker::Detach()
{
    if (!m_attached)
        return 0;
    const int result = UnsubclassWindowWithCallback(m_list);
    if (result) {
        m_attached = false;
        if (::IsWindow(m_list))
            ::KillTimer(m_list, HOVER_TIMER_ID);
        EndHover();
        m_hoverItem = -1;
        m_pendingItem = -1;
        m_trackingLeave = false;
    }
    return result;
}

void CListViewHoverTracker::Reset()
{
    EndHover();
    m_pendingItem = -1;
    m_hoverItem = -1;
    if (::IsWindow(m_list))
        ::KillTimer(m_list, HOVER_TIMER_ID);
}

int CListViewHoverTracker::HitTestIcon(POINT point) const
{
    if (!::IsWindow(m_list) || ListView_GetItemCount(m_list) <= 0)
        return -1;
    LVHITTESTINFO info = {};
    info.pt = point;
    const int item =
        static_cast<int>(::SendMessageW(m_list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (item < 0 || (info.flags & LVHT_ONITEMICON) == 0)
        return -1;
    return item;
}

LRESULT CListViewHoverTracker::OnListMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             void* userData, BOOL& callPrevious, WNDPROC previousProc)
{
    auto* self = static_cast<CListViewHoverTracker*>(userData);
    switch (message) {
    case WM_MOUSEMOVE: {
        const LRESULT result = ::CallWindowProcW(previousProc, window, message, wParam, lParam);
        callPrevious = FALSE;
        self->OnMouseMove(PointFromLParam(lParam));
        return result;
    }
    case WM_TIMER:
        if (wParam != HOVER_TIMER_ID)
            return 0;
        callPrevious = FALSE;
        self->OnTimer();
        return 1;
    case WM_LBUTTONDOWN: {
        const LRESULT result = ::CallWindowProcW(previousProc, window, message, wParam, lParam);
        callPrevious = FALSE;
        self->OnLeftButtonDown(PointFromLParam(lParam));
        return result;
    }
    case WM_RBUTTONUP:
        if (self->m_hoverItem != -1)
            self->EndHover();
        return 0;
    case WM_MOUSELEAVE: {
        const LRESULT result = ::CallWindowProcW(previousProc, window, message, wParam, lParam);
        callPrevious = FALSE;
        self->OnMouseLeave();
        return result;
    }
    case WM_DESTROY:
        // The registry forgets the window after this message; so do we.
        ::KillTimer(window, HOVER_TIMER_ID);
        self->m_attached = false;
        self->m_hoverItem = -1;
        self->m_pendingItem = -1;
        self->m_trackingLeave = false;
        return 0;
    default:
        return 0;
    }
}

void CListViewHoverTracker::OnMouseMove(POINT point)
{
    const int item = HitTestIcon(point);
    if (item == -1) {
        EndHover();
        return;
    }
    if (item == m_hoverItem)
        return;
    EndHover();
    ArmTimer(item);
}

void CListViewHoverTracker::OnTimer()
{
    ::KillTimer(m_list, HOVER_TIMER_ID);
    const DWORD position = ::GetMessagePos();
    POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ::ScreenToClient(m_list, &point);
    const int item = HitTestIcon(point);
    if (item != m_pendingItem)
        return;
    TrackLeave();
    if (item == -1 && m_hoverItem == -1)
        return;
    if (item != -1) {
        m_hoverItem = item;
        Notify(HTN_HOVERSTART, item);
        return;
    }
    const int old = m_hoverItem;
    m_hoverItem = -1;
    Notify(HTN_HOVEREND, old);
}

void CListViewHoverTracker::OnLeftButtonDown(POINT point)
{
    const int item = HitTestIcon(point);
    if (item == -1 || m_hoverItem == -1)
        return;
    TrackLeave();
    Notify(HTN_HOVERCLICK, item);
}

void CListViewHoverTracker::OnMouseLeave()
{
    m_trackingLeave = false;
    EndHover();
}

void CListViewHoverTracker::EndHover()
{
    m_pendingItem = -1;
    if (m_hoverItem == -1)
        return;
    const int old = m_hoverItem;
    m_hoverItem = -1;
    Notify(HTN_HOVEREND, old);
}

void CListViewHoverTracker::ArmTimer(int item)
{
    if (item == m_pendingItem || item == m_hoverItem)
        return;
    ::KillTimer(m_list, HOVER_TIMER_ID);
    m_pendingItem = item;
    ::SetTimer(m_list, HOVER_TIMER_ID, HOVER_TIMER_DELAY, nullptr);
}

void CListViewHoverTracker::TrackLeave()
{
    if (m_trackingLeave)
        return;
    TRACKMOUSEEVENT request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_LEAVE;
    request.hwndTrack = m_list;
    m_trackingLeave = ::_TrackMouseEvent(&request) != FALSE;
}

void CListViewHoverTracker::Notify(UINT code, int item) const
{
    if (!::IsWindow(m_owner))
        return;
    NMHOVERITEM record = {};
    record.hdr.hwndFrom = m_list;
    record.hdr.idFrom = static_cast<UINT_PTR>(m_controlId);
    record.hdr.code = code;
    record.item = item;
    ::SendMessageW(m_owner, WM_NOTIFY, static_cast<WPARAM>(m_controlId), reinterpret_cast<LPARAM>(&record));
}
