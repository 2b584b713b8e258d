#pragma once

// A static label with its own text and background colours and font. The
// parent reflects WM_CTLCOLORSTATIC (REFLECT_NOTIFICATIONS).

#include <windows.h>

#include "platform/CWindowImpl.h"

class ColorLabel : public CWindowImplBaseT<CWindow>
{
public:
    ColorLabel();
    ~ColorLabel() override;

    void SetFontAndTextColor(const LOGFONTW& logFont, COLORREF color, bool redraw);
    void SetLogFont(const LOGFONTW& logFont, bool redraw);
    void SetBackColor(COLORREF color, bool redraw);
    // The LOGFONT of the window's font; false when it has none.
    static bool GetWndLogFont(HWND window, LOGFONTW& logFont);

    COLORREF TextColor() const { return m_textColor; }
    COLORREF BackColor() const { return m_backColor; }
    HFONT LabelFont() const { return m_labelFont; }

    BEGIN_MSG_MAP(ColorLabel)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_CTLCOLORSTATIC, OnCtlColor)
    MESSAGE_RANGE_HANDLER(SCV_REFLECTED_BASE + WM_CTLCOLORMSGBOX, SCV_REFLECTED_BASE + WM_CTLCOLORDLG,
                          OnOtherCtlColor)
    MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
    END_MSG_MAP()

private:
    LRESULT OnCtlColor(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnOtherCtlColor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetText(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
    void Redraw();

    int m_margin = 2;
    COLORREF m_textColor;
    COLORREF m_backColor;
    HBRUSH m_backBrush = nullptr;
    HFONT m_labelFont = nullptr;
};
