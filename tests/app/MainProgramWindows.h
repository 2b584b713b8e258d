#pragma once
// The built main program seen from another process (a test that runs it): its windows and its hot
// key as the test settings leave it.

#include <windows.h>

#include "app/TrayMessages.h"
#include "support/ChildProcess.h"
#include "support/KeyInput.h"

namespace scvtest
{

// The tray window of the process, or null.
inline HWND FindTrayWindow(DWORD pid)
{
    return FindTopWindowOf(pid, kTrayWindowClassName);
}

// The visible pop-up menu window of the process, or null.
inline HWND FindMenuWindow(DWORD pid)
{
    return FindTopWindowOf(pid, L"#32768", true);
}

// Ctrl+Alt+Enter, the hot key of the test settings.
inline void PressHotKey()
{
    PressChord({VK_CONTROL, VK_MENU, VK_RETURN});
}

} // namespace scvtest
