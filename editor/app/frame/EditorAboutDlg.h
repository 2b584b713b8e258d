#pragma once

// The editor's About box (dialog 100): the title with version and build in
// bold, the description with the release date, and the Home Page link that
// opens the home page. A press anywhere on the dialog drags it.

#include "editor/controls/EditorHyperlinkStatic.h"
#include "platform/CDialogImpl.h"
#include "editor/app/frame/ScrivolanterEditorRes.h"

class CEditorAboutDlg : public CDialogImpl<CEditorAboutDlg>
{
public:
    enum
    {
        IDD = IDD_EDITOR_ABOUT
    };

    // Where the Home Page link opens its address (null: the shell). Tests record it.
    static void SetLinkOpener(EditorHyperlinkStatic::Opener opener);

    BEGIN_MSG_MAP(CEditorAboutDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    COMMAND_ID_HANDLER(IDOK, OnClose)
    COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(WORD, WORD wID, HWND, BOOL&);

    EditorHyperlinkStatic m_homeLink;
};
