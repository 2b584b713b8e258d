#include "platform/docview/CmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra)
{
    return DispatchCmdMsg(nID, nCode, pExtra);
}

BOOL CCmdTarget::DispatchCmdMsg(UINT nID, int nCode, void* pExtra)
{
    CMessageMap* map = GetCommandMap();
    if (!map)
        return FALSE;
    LRESULT result = 0;
    if (nCode == CN_UPDATE_COMMAND_UI)
        return map->ProcessWindowMessage(GetCommandWindow(), SCV_WM_UPDATE_CMDUI, nID,
                                         reinterpret_cast<LPARAM>(pExtra), result);
    WPARAM wParam = MAKEWPARAM(static_cast<WORD>(nID), static_cast<WORD>(nCode));
    return map->ProcessWindowMessage(GetCommandWindow(), WM_COMMAND, wParam, reinterpret_cast<LPARAM>(pExtra),
                                     result);
}

void CCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = true;
    if (m_hMenu) {
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
        return;
    }
    if (m_hOther && !bOn && ::GetFocus() == m_hOther)
        ::SetFocus(::GetParent(m_hOther));
    if (m_hOther)
        ::EnableWindow(m_hOther, bOn);
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_hMenu) {
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
        return;
    }
    if (m_hOther)
        ::SendMessageW(m_hOther, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (!m_hMenu) {
        SetCheck(bOn ? 1 : 0);
        return;
    }
    if (bOn) {
        ::CheckMenuRadioItem(m_hMenu, m_nIndex, m_nIndex, m_nIndex, MF_BYPOSITION);
        return;
    }
    ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | MF_UNCHECKED);
}

void CCmdUI::SetText(LPCWSTR lpszText)
{
    if (!lpszText)
        lpszText = L"";
    if (m_hMenu) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<LPWSTR>(lpszText);
        ::SetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &info);
        return;
    }
    if (m_hOther)
        ::SetWindowTextW(m_hOther, lpszText);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    if (!pTarget)
        return FALSE;
    m_bEnableChanged = false;
    BOOL answered = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this);
    if (!answered && bDisableIfNoHandler && !m_bEnableChanged)
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND_PROBE, nullptr));
    return answered;
}

void UpdateMenuCmdUI(HMENU hPopup, CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
    if (!hPopup || !pTarget)
        return;
    const int count = ::GetMenuItemCount(hPopup);
    for (int i = 0; i < count; ++i) {
        UINT id = ::GetMenuItemID(hPopup, i);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue; // separator or sub-menu
        CCmdUI ui;
        ui.m_hMenu = hPopup;
        ui.m_nIndex = static_cast<UINT>(i);
        ui.m_nID = id;
        ui.DoUpdate(pTarget, bDisableIfNoHandler);
    }
}
