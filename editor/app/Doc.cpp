#include "editor/app/Doc.h"

IMPLEMENT_DYNCREATE(CDoc, CDocument)

BOOL CDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}
