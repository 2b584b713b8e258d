#pragma once

// A check box whose caption acts as a link: over the caption text the text is
// underlined and the pointer is a hand, and a click on the text sends the
// parent WM_NOTIFY 0xB00 instead of toggling the box. Clicking the check mark
// toggles it as usual. Takes over an existing button (SubclassWindow). The
// caption is blue on the button face: the parent reflects the colour message
// (REFLECT_NOTIFICATIONS).

#include <windows.h>

#include "platform/CWindowImpl.h"

class HoverLinkButton : public CWindowImplBaseT<CWindow>
{
public:
    ~HoverLinkButton() override;

    // Subclasses the button and creates its tooltip.
    BOOL Attach(HWND button);
    // The caption text's rectangle in client coordinates.
    RECT GetCaptionRect() const;
    bool IsHovering() const { return m_hover; }
    HWND GetToolTip() const { return m_tip; }

    BEGIN_MSG_MAP(HoverLinkButton)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_CTLCOLORSTATIC, OnCtlColor)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_CTLCOLORDLG, OnCtlColor)
    END_MSG_MAP()

private:
    LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnSetFont(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCtlColor(UINT, WPARAM wParam, LPARAM, BOOL&);
    void CreateToolTip();
    void RelayToTip(UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyFont(bool underlined);
    void DropUnderlinedFont();

    HWND m_tip = nullptr;
    bool m_hover = false;
    bool m_tracking = false;
    HFONT m_normalFont = nullptr;
    HFONT m_underlinedFont = nullptr;
    bool m_settingOwnFont = false;
};
