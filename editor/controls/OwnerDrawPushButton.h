#pragma once
// The default-button handling of an owner-drawn push button. A dialog makes its default button by
// sending BM_SETSTYLE with BS_DEFPUSHBUTTON (and takes it back with BS_PUSHBUTTON); an owner-drawn
// button would lose its owner drawing that way. This subclass keeps the default state as a flag,
// passes the style on with the type BS_OWNERDRAW, and answers WM_GETDLGCODE so that the dialog still
// treats the button as a (possible) default push button.

#include <windows.h>

#include "platform/CWindowImpl.h"

class COwnerDrawPushButton : public CWindowImplBaseT<CWindow>
{
public:
    // Subclasses the button and remembers its own kind (the type bits of its style).
    BOOL Attach(HWND button);

    bool IsDefault() const { return m_default; }
    // Whether the button may become the dialog's default button (set by its owner).
    void SetMayBeDefault(bool may) { m_mayBeDefault = may; }

    BEGIN_MSG_MAP(COwnerDrawPushButton)
    MESSAGE_HANDLER(BM_SETSTYLE, OnSetStyle)
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    END_MSG_MAP()

private:
    LRESULT OnSetStyle(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnGetDlgCode(UINT, WPARAM wParam, LPARAM lParam, BOOL&);

    UINT m_kind = BS_PUSHBUTTON;
    bool m_default = false;
    bool m_mayBeDefault = false;
};
