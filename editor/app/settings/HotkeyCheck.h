#pragma once

// The live test of the hot key the user puts into the Miscellaneous page:
// whether it is the main program's own key, free, or taken by another
// registration.

#include <windows.h>

#include "editor/controls/HotkeyCtrlEx.h"
#include "platform/CString.h"

enum HotkeyState : int
{
    HotkeySameAsMainProgram = 0,
    HotkeyFree = 1,
    HotkeyConflict = 2,
};

struct HotkeyCheckResult
{
    HotkeyState state = HotkeyConflict;
    bool passed = false;
    DWORD error = 0; // GetLastError of the failed registration
};

// Compares the key (modifiers with MOD_WIN as the control shows it) with the
// main program's key in the shared settings area; when they differ, tries to
// register it on `window` (id 2342) and unregisters it again at once. The
// thread's last error is restored.
HotkeyCheckResult CheckHotkey(HWND window, const HotkeyInfo& key);

// The status line of a result: the state's text, then "…" when it passed,
// else "!\r\nError code:" + the number + " " + the system's text.
CString BuildHotkeyStatusText(const HotkeyCheckResult& result);
// The status text's colour: green, blue, red by state.
COLORREF HotkeyStateColor(int state);
