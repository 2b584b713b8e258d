#pragma once
// Switching the keyboard layout of the target window before a phrase is inserted, by sending the
// user's layout toggle keys (HKCU "Keyboard Layout\Toggle", value "Hotkey") until the target's
// thread has the wanted layout. Keys go out through GetKeyboardInput() (engine/KeyboardInput.h).

#include <windows.h>

// The toggle method: the first character of the "Hotkey" value.
enum LayoutToggleMethod : int
{
    kToggleUnknown = 0,   // unreadable key or unknown value: Left Alt + Shift, with an error line
    kToggleAltShift = 1,  // "1", or no value: Left Alt + Shift
    kToggleCtrlShift = 2, // "2": Left Ctrl + Shift
    kToggleNone = 3,      // "3" (no toggle key): Left Alt + Shift, with an error line
    kToggleGrave = 4,     // "4": the grave accent key alone, with a warning line
};

// The method of HKCU "Keyboard Layout\Toggle".
int ReadLayoutToggleHotkey();
// The same from another key (a test key, for instance).
int ReadLayoutToggleHotkeyFrom(HKEY root, LPCWSTR subKey);

// The two keys a method presses: the first (VK_LMENU, VK_LCONTROL, or 0 for the grave key alone)
// and the second (VK_SHIFT or VK_OEM_3). Writes the method's error or warning line to the log.
void GetLayoutToggleKeys(int method, WORD& firstKey, WORD& secondKey);

// Toggles the layout of the target's thread until it is `wanted` or has its language: with at most
// two installed layouts the toggle keys are sent once; otherwise up to `limit` times, each followed
// (for a window of another process) by a 200 ms pause and a WM_NULL so that the window takes the
// input, and by a look at the thread's layout.
void SwitchKeyboardLayout(HKL wanted, DWORD targetThread, HWND targetWindow, int limit);
// SwitchKeyboardLayout with the number of installed layouts as the limit.
void SwitchToKeyboardLayout(HKL wanted, DWORD targetThread, HWND targetWindow);
