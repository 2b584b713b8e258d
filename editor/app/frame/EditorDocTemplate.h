#pragma once

// The editor's document template: resource set 128 with the document, the
// main frame and the first view. Its document is the phrase library, never a
// file: opening a path opens the usual new document.

#include "platform/docview/DocView.h"

class EditorDocTemplate : public CSingleDocTemplate
{
public:
    using CSingleDocTemplate::CSingleDocTemplate;
    CDocument* OpenDocumentFile(LPCWSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
};
