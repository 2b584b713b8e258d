#include "editor/controls/SettingsTabCtrl.h"

#include "editor/controls/EditorLook.h"

void SettingsTabCtrl::OnAttachedTab()
{
    if (HFONT font = GetMediumDialogFont())
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

CString SettingsTabCtrl::TabTipText(int tab)
{
    wchar_t text[1001] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 1000;
    ::SendMessageW(m_hWnd, TCM_GETITEMW, tab, reinterpret_cast<LPARAM>(&item));
    NMTABTIPTEXT record{};
    record.hdr = {m_hWnd, static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd)), kTabNotifyTipText};
    record.tab = tab;
    record.param = GetTabItemParam(tab);
    record.tabText = text;
    if (!::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record)))
        return CString();
    record.tipText[1023] = L'\0';
    // The tooltip takes a title of at most 99 characters and its terminator: a longer tab text is cut.
    text[kTabTipTitleChars] = L'\0';
    if (text[0])
        ::SendMessageW(GetTabToolTip(), TTM_SETTITLEW, TTI_NONE, reinterpret_cast<LPARAM>(text));
    return record.tipText;
}
