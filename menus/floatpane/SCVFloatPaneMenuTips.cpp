// The pane's menus (item menu, toolbar menus, window menu) show the same
// delayed item tips as the tray menu: their messages go to the host's menu
// tooltip.

#include "common/MenuToolTip.h"
#include "menus/floatpane/SCVFloatPane.h"

LRESULT CSCVFloatPane::OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = FALSE; // the default procedure follows
    CMenuToolTip* tip = m_host ? m_host->GetMenuToolTip() : nullptr;
    if (!tip)
        return 0;
    const UINT flags = HIWORD(wParam);
    // A pop-up item names its sub-menu's position, not a command.
    const UINT item = (flags & MF_POPUP) ? 0 : LOWORD(wParam);
    tip->OnMenuSelect(item, flags, reinterpret_cast<HMENU>(lParam));
    return 0;
}

LRESULT CSCVFloatPane::OnEnterIdle(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (CMenuToolTip* tip = m_host ? m_host->GetMenuToolTip() : nullptr)
        tip->OnEnterIdle(m_hWnd, wParam, reinterpret_cast<HWND>(lParam));
    return 0;
}

LRESULT CSCVFloatPane::OnExitMenuLoop(UINT, WPARAM, LPARAM, BOOL&)
{
    if (CMenuToolTip* tip = m_host ? m_host->GetMenuToolTip() : nullptr)
        tip->HideTip();
    return 0;
}
