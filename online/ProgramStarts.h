#pragma once

// Starting the welcome program and opening the settings file through the shell.

#include <windows.h>

#include "platform/CString.h"

// The welcome program's parameters: "/auto" when asked, else empty.
CString BuildWelcomeParameters(bool autoStart);

// ShellExecuteW "open" of the welcome program with BuildWelcomeParameters,
// SW_SHOW; true only when the shell answered above 32.
bool StartWelcomeProgram(HWND owner, bool autoStart);

// Whether the user belongs to the Administrators group (under UAC: only when elevated); false as
// well when the test cannot be made.
bool CheckAdminGroupMembership();
