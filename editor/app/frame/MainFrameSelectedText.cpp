// The main frame's answer to the request for a new phrase from the text the main program published
// as selected (its start flag "addseltext", or the main program itself).

#include "editor/app/frame/MainFrame.h"

LRESULT CMainFrame::OnAddSelectedTextRequest(UINT, WPARAM, LPARAM, BOOL&)
{
    if (CDoc* doc = GetDoc())
        doc->NewPhraseFromSelectedText();
    return 1;
}
