#pragma once

// A spin button (up-down control) that paints itself flat, draws the arrow
// that cannot move further as disabled, and tells its parent about numbers
// typed into its edit buddy (WM_NOTIFY UDN_DELTAPOS with delta 0). The parent
// reflects notifications (REFLECT_NOTIFICATIONS) so that UDN_DELTAPOS comes
// back to the spin; a typed number moves the spin's own position with it, so
// the arrow at an end shows disabled. One thread hook (WH_CALLWNDPROC) serves every spin with
// an edit buddy.

#include <windows.h>

#include <commctrl.h>

#include "platform/CWindowImpl.h"

class CFlatSpinButton : public CWindowImplBaseT<CWindow>
{
public:
    enum EndState
    {
        kInside = 0,
        kAtUpper = 1,
        kAtLower = 2,
        kSingleValue = 3,
    };

    CFlatSpinButton() = default;
    ~CFlatSpinButton() override;

    // Takes over the spin and reads its state.
    BOOL Attach(HWND spin);
    void SetSwapArrows(bool swap) { m_swap = swap; }
    void SetArrowState(int state);

    bool OwnPainting() const { return m_ownPaint; }
    int ArrowState() const { return m_endState; }
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    int Position() const { return m_position; }
    bool Reversed() const { return m_reversed; }
    HWND Buddy() const { return m_buddy; }
    // Whether the shared hook is installed (tests).
    static bool HookInstalled();

    void Paint(HDC dc);

    BEGIN_MSG_MAP(CFlatSpinButton)
    MESSAGE_HANDLER(UDM_SETRANGE, OnRangeChanged)
    MESSAGE_HANDLER(UDM_SETRANGE32, OnRangeChanged)
    MESSAGE_HANDLER(UDM_SETBUDDY, OnSetBuddy)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_NOTIFY, OnReflectedNotify)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLeftButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLeftButtonUp)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

private:
    LRESULT OnRangeChanged(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnSetBuddy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled);
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnLeftButtonDown(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnLeftButtonUp(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);

    void ReadState();
    // The end state of a position (with the swap applied).
    int EndStateAt(int value) const;
    void ForgetBuddy();
    void CreatePens();
    void DeletePens();
    void DrawArrow(HDC dc, const RECT& rect, UINT kind, bool disabled, bool pressed);

    bool m_ownPaint = true;
    HWND m_buddy = nullptr;
    int m_buddySide = 0;
    bool m_vertical = true;
    int m_lower = 0;
    int m_upper = 0;
    bool m_reversed = false;
    int m_position = 0;
    int m_endState = kInside;
    bool m_pressed = false;
    RECT m_pressedRect = {};
    bool m_swap = false;
    HPEN m_pens[5] = {};
};
