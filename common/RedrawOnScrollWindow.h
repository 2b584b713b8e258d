#pragma once

#include "common/SubclassedWindow.h"

// Repaints the whole control after each horizontal scroll, for controls that
// leave parts of their content stale when scrolled.
class CRedrawOnScrollWindow : public CSubclassedWindow
{
public:
    BEGIN_MSG_MAP(CRedrawOnScrollWindow)
    MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
    END_MSG_MAP()

private:
    LRESULT OnHScroll(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
};
