#pragma once
// The program icon as a window's big and small icon (the About and update
// windows). The icons are the system's shared copies of the resource, so
// opening a window again and again adds no icon handles.

#include <windows.h>

// Sets the big and small icons of the window from the program icon of the
// running module; false when the module has no program icon.
bool SetProgramWindowIcons(HWND window);
