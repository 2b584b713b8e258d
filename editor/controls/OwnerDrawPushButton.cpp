#include "editor/controls/OwnerDrawPushButton.h"

BOOL COwnerDrawPushButton::Attach(HWND button)
{
    if (!SubclassWindow(button))
        return FALSE;
    m_kind = static_cast<UINT>(::GetWindowLongPtrW(button, GWL_STYLE)) & BS_TYPEMASK;
    m_default = m_kind == BS_DEFPUSHBUTTON;
    return TRUE;
}

LRESULT COwnerDrawPushButton::OnSetStyle(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const UINT type = static_cast<UINT>(wParam) & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON)
        m_default = true;
    else if (type == BS_PUSHBUTTON)
        m_default = false;
    const WPARAM ownerDrawn = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
    return DefWindowProc(message, ownerDrawn, lParam);
}

LRESULT COwnerDrawPushButton::OnGetDlgCode(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (m_kind == BS_GROUPBOX)
        return DLGC_STATIC;
    LRESULT code = DefWindowProc(message, wParam, lParam);
    if (m_kind == BS_RADIOBUTTON || m_kind == BS_AUTORADIOBUTTON)
        code |= DLGC_RADIOBUTTON;
    if (m_mayBeDefault || m_default)
        code |= m_default ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
    return code;
}
