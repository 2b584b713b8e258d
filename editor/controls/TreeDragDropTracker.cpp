#include "editor/controls/TreeDragDropTracker.h"

#include <mmsystem.h>
#include "platform/WindowsX.h"

TreeDragDropTracker::~TreeDragDropTracker()
{
    if (IsDragging())
        End(kCancelled);
}

void TreeDragDropTracker::ZonesOf(POINT point, const RECT& client, int itemHeight, bool scrolledDown,
                                  bool scrolledRight, int* vertical, int* horizontal)
{
    *vertical = kZoneNone;
    *horizontal = kZoneNone;
    if (point.y < client.top + 2 * itemHeight) {
        if (scrolledDown)
            *vertical = kZoneBefore;
    } else if (point.y > client.bottom - 2 * itemHeight) {
        *vertical = kZoneAfter;
    }
    if (point.x < client.left + itemHeight) {
        if (scrolledRight)
            *horizontal = kZoneBefore;
    } else if (point.x > client.right - itemHeight) {
        *horizontal = kZoneAfter;
    }
}

void TreeDragDropTracker::RemoveInsertMark(HWND tree)
{
    if (TreeView_SetInsertMark(tree, nullptr, FALSE))
        return;
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    if (HTREEITEM standIn = TreeView_InsertItem(tree, &insert)) {
        TreeView_SetInsertMark(tree, standIn, TRUE);
        TreeView_DeleteItem(tree, standIn);
    }
    ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(tree, nullptr, TRUE);
}

HCURSOR TreeDragDropTracker::MakeDragCursor(HTREEITEM item)
{
    HIMAGELIST images = TreeView_CreateDragImage(m_tree, item);
    if (!images)
        return nullptr;
    HCURSOR cursor = nullptr;
    if (HICON icon = ImageList_GetIcon(images, 0, ILD_NORMAL)) {
        ICONINFO info = {};
        if (::GetIconInfo(icon, &info)) {
            info.fIcon = FALSE;
            info.xHotspot = 0;
            info.yHotspot = 0;
            cursor = ::CreateIconIndirect(&info);
            if (info.hbmColor)
                ::DeleteObject(info.hbmColor);
            if (info.hbmMask)
                ::DeleteObject(info.hbmMask);
        }
        ::DestroyIcon(icon);
    }
    ImageList_Destroy(images);
    return cursor;
}

bool TreeDragDropTracker::Begin(HWND tree, HTREEITEM item, ITreeDropSink* sink)
{
    if (IsDragging() || !tree || !item || !sink)
        return false;
    m_tree = tree;
    m_sink = sink;
    m_dragged = item;
    m_marked = nullptr;
    m_expandCandidate = nullptr;
    m_vertZone = m_horzZone = kZoneNone;
    m_lastEnd = kNotEnded;
    m_dragCursor = MakeDragCursor(item);
    m_oldCursor = ::SetCursor(m_dragCursor ? m_dragCursor : ::LoadCursorW(nullptr, IDC_ARROW));
    m_cursorState = 1;
    ::SetCapture(m_tree);
    return true;
}

HTREEITEM TreeDragDropTracker::HitItem(POINT point, UINT* flags) const
{
    TVHITTESTINFO hit = {};
    hit.pt = point;
    HTREEITEM item = TreeView_HitTest(m_tree, &hit);
    if (flags)
        *flags = hit.flags;
    return item;
}

bool TreeDragDropTracker::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && (wParam == kScrollTimer || wParam == kExpandTimer || wParam == kEndTimer)) {
        ::KillTimer(m_tree, wParam);
        if (IsDragging())
            OnTimer(wParam);
        return true;
    }
    if (!IsDragging())
        return false;
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(point);
        return true;
    case WM_LBUTTONUP:
        OnButtonUp(point);
        return true;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            End(kCancelled);
        return true;
    case WM_CAPTURECHANGED:
        if (!m_ending)
            ::SetTimer(m_tree, kEndTimer, 1, nullptr);
        return true;
    case WM_SETCURSOR:
        return true;
    default:
        return false;
    }
}

void TreeDragDropTracker::RedrawAround(HTREEITEM item)
{
    RECT row = {};
    if (!item || !TreeView_GetItemRect(m_tree, item, &row, FALSE))
        return;
    RECT client = {};
    ::GetClientRect(m_tree, &client);
    const int height = row.bottom - row.top;
    const int extra = height > 0 ? height / 2 : 25;
    row.left = client.left;
    row.right = client.right;
    row.top -= extra;
    row.bottom += extra;
    ::InvalidateRect(m_tree, &row, TRUE);
    ::UpdateWindow(m_tree);
}

void TreeDragDropTracker::MoveMark(HTREEITEM target)
{
    if (target == m_marked)
        return;
    HTREEITEM previous = m_marked;
    m_marked = target;
    if (target)
        TreeView_SetInsertMark(m_tree, target, TRUE);
    else
        RemoveInsertMark(m_tree);
    RedrawAround(previous);
}

void TreeDragDropTracker::OnMouseMove(POINT point)
{
    m_lastPoint = point;
    UINT flags = 0;
    HTREEITEM target = HitItem(point, &flags);
    const bool allowed = target && m_sink->CanDropOn(m_dragged, target);
    MoveMark(allowed ? target : nullptr);
    m_cursorState = allowed ? 1 : 2;
    ::SetCursor(allowed ? (m_dragCursor ? m_dragCursor : ::LoadCursorW(nullptr, IDC_ARROW))
                        : ::LoadCursorW(nullptr, IDC_NO));
    RECT client = {};
    ::GetClientRect(m_tree, &client);
    const int itemHeight = TreeView_GetItemHeight(m_tree);
    ZonesOf(point, client, itemHeight, ::GetScrollPos(m_tree, SB_VERT) > 0,
            ::GetScrollPos(m_tree, SB_HORZ) > 0, &m_vertZone, &m_horzZone);
    if (m_vertZone != kZoneNone || m_horzZone != kZoneNone)
        ::SetTimer(m_tree, kScrollTimer, kScrollDelay, nullptr);
    const bool overButtonOrIcon = (flags & (TVHT_ONITEMBUTTON | TVHT_ONITEMICON)) != 0;
    if (target && overButtonOrIcon && TreeView_GetChild(m_tree, target) &&
        !(TreeView_GetItemState(m_tree, target, TVIS_EXPANDED) & TVIS_EXPANDED)) {
        if (target != m_expandCandidate) {
            m_expandCandidate = target;
            ::SetTimer(m_tree, kExpandTimer, kExpandDelay, nullptr);
        }
    } else {
        m_expandCandidate = nullptr;
        ::KillTimer(m_tree, kExpandTimer);
    }
}

void TreeDragDropTracker::OnTimer(UINT_PTR id)
{
    if (id == kEndTimer) {
        End(kCancelled);
        return;
    }
    if (id == kScrollTimer) {
        if (m_vertZone != kZoneNone)
            ::SendMessageW(m_tree, WM_VSCROLL, m_vertZone == kZoneBefore ? SB_LINEUP : SB_LINEDOWN, 0);
        if (m_horzZone != kZoneNone)
            ::SendMessageW(m_tree, WM_HSCROLL, m_horzZone == kZoneBefore ? SB_LINELEFT : SB_LINERIGHT, 0);
        return;
    }
    HTREEITEM candidate = m_expandCandidate;
    m_expandCandidate = nullptr;
    UINT flags = 0;
    HTREEITEM under = HitItem(m_lastPoint, &flags);
    const UINT over = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMBUTTON | TVHT_ONITEMSTATEICON;
    if (candidate && under == candidate && (flags & over))
        TreeView_Expand(m_tree, candidate, TVE_EXPAND);
}

void TreeDragDropTracker::OnButtonUp(POINT point)
{
    HTREEITEM dragged = m_dragged;
    HTREEITEM target = HitItem(point, nullptr);
    const bool allowed = target && m_sink->CanDropOn(dragged, target);
    ITreeDropSink* sink = m_sink;
    End(allowed ? kDropped : kRefused);
    if (allowed)
        sink->DropOn(dragged, target);
    else
        ::PlaySoundW(L"SystemExclamation", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
}

void TreeDragDropTracker::Cancel()
{
    if (IsDragging())
        End(kCancelled);
}

void TreeDragDropTracker::End(EndReason reason)
{
    m_ending = true;
    ::KillTimer(m_tree, kExpandTimer);
    ::KillTimer(m_tree, kScrollTimer);
    HTREEITEM under = HitItem(m_lastPoint, nullptr);
    m_dragged = nullptr;
    m_expandCandidate = nullptr;
    m_vertZone = m_horzZone = kZoneNone;
    m_cursorState = 0;
    ::SetCursor(m_oldCursor ? m_oldCursor : ::LoadCursorW(nullptr, IDC_ARROW));
    if (m_dragCursor) {
        ::DestroyCursor(m_dragCursor);
        m_dragCursor = nullptr;
    }
    RemoveInsertMark(m_tree);
    RedrawAround(m_marked);
    m_marked = nullptr;
    RedrawAround(under);
    if (::GetCapture() == m_tree)
        ::ReleaseCapture();
    m_lastEnd = reason;
    m_ending = false;
}
