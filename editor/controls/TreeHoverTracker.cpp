#include "editor/controls/TreeHoverTracker.h"

CTreeHoverTracker::~CTreeHoverTracker()
{
    HideNow();
    if (m_tipIcon)
        ::DestroyIcon(m_tipIcon);
}

void CTreeHoverTracker::SetItemTip(int value1, int value2, const std::wstring& text, HTREEITEM item,
                                   HICON icon)
{
    m_value1 = value1;
    m_value2 = value2;
    m_tipText = text;
    m_trackedItem = item;
    if (m_tipIcon && m_tipIcon != icon) {
        // The tip on screen may still draw the old icon.
        if (m_hWnd && ::IsWindowVisible(m_hWnd))
            HideNow();
        ::DestroyIcon(m_tipIcon);
    }
    m_tipIcon = icon;
    if (!m_hWnd)
        return;
    Clock()->StopTimer(m_hWnd, kTimerItem);
    if (!m_tipText.empty())
        Clock()->StartTimer(m_hWnd, kTimerItem, kItemDelay);
}

void CTreeHoverTracker::HideTip()
{
    if (m_hWnd)
        Clock()->StopTimer(m_hWnd, kTimerItem);
    CHtmlToolTip::HideTip();
}

void CTreeHoverTracker::OnTimerStep(UINT_PTR id)
{
    if (id != kTimerItem) {
        CHtmlToolTip::OnTimerStep(id);
        return;
    }
    Clock()->StopTimer(m_hWnd, kTimerItem);
    if (!m_tipText.empty())
        ShowIfStillOnItem();
}

void CTreeHoverTracker::ShowIfStillOnItem()
{
    HWND tree = m_tree ? *m_tree : nullptr;
    if (!tree || !::IsWindow(tree))
        return;
    POINT cursor = Clock()->CursorPos();
    TVHITTESTINFO hit = {};
    hit.pt = cursor;
    ::ScreenToClient(tree, &hit.pt);
    HTREEITEM item =
        reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    const UINT rejected = TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMSTATEICON | TVHT_TORIGHT;
    if (!item || (hit.flags & rejected) || !(hit.flags & TVHT_ONITEM))
        return;
    if (item == m_trackedItem)
        ShowTipAt(cursor, m_tipText, m_tipIcon);
}
