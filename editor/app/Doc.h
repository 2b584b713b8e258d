#pragma once

// The editor's document: the phrase library shown in the main view. It keeps
// no file of its own; saving goes through the phrase store item by item.

#include "platform/docview/DocView.h"

class CDoc : public CDocument
{
    DECLARE_DYNCREATE(CDoc)

public:
    BEGIN_MSG_MAP(CDoc)
    CHAIN_MSG_MAP(CDocument)
    END_MSG_MAP()

    BOOL OnNewDocument() override;
};
