#pragma once

// A push button with a drop-down arrow area at its right edge. A press that
// starts inside the arrow area can be told from an ordinary one: while the
// parent handles the BN_CLICKED of that press, IsArrowPressed() is true.

#include "common/SubclassedWindow.h"

// Posted by the button to itself after an arrow press has been released.
extern const UINT WM_ARROWBUTTON_RELEASED;

class CArrowButton : public CSubclassedWindow
{
public:
    static const int ARROW_WIDTH = 16;

    BEGIN_MSG_MAP(CArrowButton)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(BM_SETSTATE, OnSetState)
    MESSAGE_HANDLER(WM_ARROWBUTTON_RELEASED, OnArrowReleased)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    END_MSG_MAP()

    bool IsArrowPressed() const { return m_arrowPressed; }
    bool IsCursorOutsideArrow() const { return m_cursorOutside; }
    // The arrow area of the current button state, client coordinates.
    RECT GetArrowRect() const;
    // The arrow area and its separator as last painted; empty before the first paint.
    const RECT& GetPaintedArrowRect() const { return m_arrowRect; }

private:
    LRESULT OnPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetState(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnArrowReleased(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSetText(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnMouseLeave(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);

    void PaintArrow(HDC dc);

    bool m_cursorOutside = true;
    bool m_trackingLeave = false;
    bool m_arrowPressed = false;
    RECT m_arrowRect = {};
};
