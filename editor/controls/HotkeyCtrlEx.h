#pragma once

// The extended hot-key control: a window of class "HotkeyCtrlEx_Adv" holding a
// standard hot-key field (id 1), a ">" button (id 4) that asks the parent for a
// menu of preset keys, and the check boxes "WIN" (id 2) and "Double" (id 3).
// The field is painted by the control (modifier names, a bold "Win" first, the
// doubled key last), and so is the narrow ">" button, whose glyph no focus
// mark or default-button frame may hide. The parent hears of it through WM_NOTIFY: 0xB00 when a
// box changed, 0xB02 when ">" was clicked (the record carries the button's
// rectangle in screen coordinates), NM_SETFOCUS and NM_KILLFOCUS.

#include <windows.h>

#include "platform/CString.h"
#include "platform/CWindow.h"

// One hot key of the control and of the preset list.
struct HotkeyInfo
{
    int flags = 0;       // bit 0: double press
    int secondWord = 0;  // set to 1 by the settings page; not used here
    WORD virtualKey = 0; // 0: no key (a separator row of the preset list)
    WORD modifiers = 0;  // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8

    bool IsDouble() const { return (flags & 1) != 0; }
    // Same key, same modifiers, same double flag.
    bool SameKey(const HotkeyInfo& other) const
    {
        return virtualKey == other.virtualKey && modifiers == other.modifiers &&
               IsDouble() == other.IsDouble();
    }
};

// Notification codes and private messages of the control.
inline constexpr UINT kEditorNotifyChanged = 0xB00;
inline constexpr UINT kEditorNotifyContextMenu = 0xB01;
inline constexpr UINT kEditorNotifyArrowClicked = 0xB02;
inline constexpr UINT HKX_SETBOX = WM_USER + 2;
inline constexpr UINT HKX_GETBOX = WM_USER + 3;
inline constexpr UINT HKX_SETHOTKEY = WM_USER + 4;
inline constexpr UINT HKX_GETHOTKEY = WM_USER + 5;
inline constexpr UINT HKX_SETDOUBLECAPTION = WM_USER + 6;
inline constexpr UINT HKX_SETDOUBLE = WM_USER + 7;
inline constexpr UINT HKX_GETDOUBLE = WM_USER + 8;
inline constexpr UINT HKX_GETWIN = WM_USER + 9;
inline constexpr UINT HKX_SETWIN = WM_USER + 10;
inline constexpr UINT HKX_REPAINTLATER = WM_USER + 11;
inline constexpr UINT HKX_ENABLEDOUBLE = WM_USER + 13; // wParam: enable the "Double" box
inline constexpr UINT HKX_ENABLEWIN = WM_USER + 14;    // wParam: enable the "WIN" box

// The record of notification 0xB02: the header and the ">" button's rectangle.
struct NMHOTKEYARROW
{
    NMHDR hdr;
    RECT buttonRect;
};

// "HotkeyCtrlEx_Adv".
LPCWSTR GetHotkeyCtrlExClassName();
// Registers the class (harmless when it exists already); true when it exists.
bool RegisterHotkeyCtrlExClass();

// True while a blink of the control's ">" button runs (its event is signalled).
bool IsHotkeyCtrlBlinking(HWND control);

// The text of a hot key for the preset menu: HotkeyModifiersToText, then
// " - x 2" for a double press.
CString HotkeyInfoToText(const HotkeyInfo& info);
// The names of Ctrl, Shift, Alt, "WIN" and the key joined by "+"; empty when
// key and modifiers are both 0.
CString HotkeyModifiersToText(UINT virtualKey, UINT modifiers);

// Thin wrapper over a "HotkeyCtrlEx_Adv" window.
class CHotkeyCtrlExAdv : public CWindow
{
public:
    // Registers the class and creates the control; null on failure.
    HWND Create(HWND parent, const RECT& rect, UINT id, DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP);

    // Puts the key into the field and sets both boxes; true when the field
    // accepted the key (the field's HKM_SETHOTKEY answers nothing, so the key
    // read back is compared instead).
    bool SetHotkey(UINT virtualKey, UINT modifiers, bool win, bool doublePress);
    // Key and modifiers (MOD_ flags, without MOD_WIN) of the field.
    void GetHotkey(UINT& virtualKey, UINT& modifiers) const;
    // The key and modifiers as above, and whether "WIN" and "Double" are checked; always true.
    bool GetHotkey(UINT& virtualKey, UINT& modifiers, bool& win, bool& doublePress) const;
    void SetDoubleCaption(LPCWSTR text);
    // Key and modifiers, MOD_WIN from "WIN", flags bit 0 from "Double"; the
    // second word is left as the caller set it.
    bool GetHotkeyInfo(HotkeyInfo& info) const;
    bool SetHotkeyInfo(const HotkeyInfo& info);
};

// The settings page's control; nothing of its own.
class CSettingsHotkeyCtrl : public CHotkeyCtrlExAdv
{};
