#pragma once

// An edit control that shows a grey hint text while it is empty and does not
// have the focus.

#include "common/SubclassedWindow.h"
#include "platform/CString.h"

class CHintEdit : public CSubclassedWindow
{
public:
    BEGIN_MSG_MAP(CHintEdit)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    END_MSG_MAP()

    // Stores the hint and repaints the control when it changed.
    void SetHintText(LPCWSTR text);
    const CString& GetHintText() const { return m_hint; }

    // True when the hint is to be drawn now: no text, not focused, a hint set.
    bool ShowsHint() const;

private:
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void PaintHint();

    CString m_hint;
};
