#include "editor/app/frame/EditorDocTemplate.h"

CDocument* EditorDocTemplate::OpenDocumentFile(LPCWSTR, BOOL bMakeVisible)
{
    return CSingleDocTemplate::OpenDocumentFile(nullptr, bMakeVisible);
}
