#pragma once

// Display texts of hot keys, built from the keyboard's own key names.

#include "platform/CString.h"

#include <windows.h>

// The text of a hot key with modifiers as RegisterHotKey takes them (MOD_ALT,
// MOD_CONTROL, MOD_SHIFT, MOD_WIN): the names of Ctrl, Shift and Alt and the
// text "WIN", each followed by "+", then the key's name. Empty when key and
// modifiers are both 0.
CString HotKeyToText(UINT virtualKey, UINT modifiers);

// The phrase menu's hot key of the settings as the program shows it: upper
// case, " [x2]" when it must be pressed twice; a key of 0 is the default
// (Ctrl+Alt+Enter, the modifiers too when they are 0).
CString GetConfiguredHotKeyText();

// The name of a virtual key: "Pause", "Left" and "Right" for those keys, else
// GetKeyNameTextW of its scan code; the extended-key bit is set when asked and
// always for the keys that exist only as extended keys (arrows, the navigation
// block, the Windows and application keys, NumLock, the keypad divide key).
CString GetKeyNameForVk(UINT virtualKey, bool extended);
