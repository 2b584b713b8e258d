#pragma once

// The main view while a folder (or nothing) is current: the phrases of the
// folder as a list.

#include "platform/docview/DocView.h"

class CFolderView : public CListView
{
    DECLARE_DYNCREATE(CFolderView)

public:
    BEGIN_MSG_MAP(CFolderView)
    CHAIN_MSG_MAP(CListView)
    END_MSG_MAP()

    void OnInitialUpdate() override;
};
