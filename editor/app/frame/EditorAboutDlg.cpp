#include "editor/app/frame/EditorAboutDlg.h"

#include "common/LocalizedString.h"
#include "editor/app/frame/EditorTitles.h"
#include "editor/controls/EditorLook.h"
#include "online/CSCVUrl.h"

namespace
{

EditorHyperlinkStatic::Opener g_linkOpener;

} // namespace

void CEditorAboutDlg::SetLinkOpener(EditorHyperlinkStatic::Opener opener)
{
    g_linkOpener = std::move(opener);
}

LRESULT CEditorAboutDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    const CString home = LoadLocalizedString(IDS_EDITOR_HOME_PAGE);
    if (!home.IsEmpty())
        SetDlgItemText(IDC_EDITOR_ABOUT_LINK, home);
    m_homeLink.SetLink(CSCVUrl::HomePageUrl());
    m_homeLink.SetOpener(g_linkOpener);
    m_homeLink.Attach(GetDlgItem(IDC_EDITOR_ABOUT_LINK));
    CString text;
    GetDlgItemText(IDC_EDITOR_ABOUT_TEXT, text);
    text += L"\r\n" + LoadLocalizedString(IDS_EDITOR_RELEASED) + L" " + GetEditorBuildStamp();
    SetDlgItemText(IDC_EDITOR_ABOUT_TEXT, text);
    SetDlgItemText(IDC_EDITOR_ABOUT_BUILD, BuildEditorTitle(L"build"));
    SendDlgItemMessage(IDC_EDITOR_ABOUT_BUILD, WM_SETFONT, reinterpret_cast<WPARAM>(GetBoldDialogFont()),
                       TRUE);
    return TRUE;
}

LRESULT CEditorAboutDlg::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    // the press becomes a press on the caption: the dialog moves with the mouse
    ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
    return 0;
}

LRESULT CEditorAboutDlg::OnClose(WORD, WORD wID, HWND, BOOL&)
{
    EndDialog(wID);
    return 0;
}
