#pragma once

// A label that draws its caption in bold followed by an etched line (or, when
// vertical, a two-tone vertical separator) on a transparent background.
// Subclasses an existing static.

#include <windows.h>

#include "platform/CWindowImpl.h"

class CSeparatorLabel : public CWindowImplBaseT<CWindow>
{
public:
    explicit CSeparatorLabel(bool vertical = false) : m_vertical(vertical) {}

    // Draws the label into the DC (as WM_PAINT does).
    void Paint(HDC dc);

    BEGIN_MSG_MAP(CSeparatorLabel)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_ENABLE, OnEnable)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
    END_MSG_MAP()

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnable(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnSetText(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
    // Repaints the parent under the label and then the label: it draws on a transparent background,
    // so an older caption must be painted over first.
    void RedrawWithParent();

    bool m_vertical;
};
