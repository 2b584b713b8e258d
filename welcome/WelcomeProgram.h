#pragma once
// The welcome program's run: the log line, the single instance (a second
// start sets "Local\Scrivolanter_Welcome_IsRunning" and ends with 1), the
// language, the welcome window and its message loop.

#include <windows.h>

inline constexpr wchar_t kWelcomeInstanceEventName[] = L"Local\\Scrivolanter_Welcome_IsRunning";

// The exit code: 1 when another instance runs, else the id of the button
// that closed the window (IDOK or IDCANCEL); -1 when the window could not be made.
int RunWelcomeProgram(LPCWSTR commandLine, int showCommand);
