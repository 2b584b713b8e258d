#pragma once

// The tray application: the message loop of the user-interface thread with
// the hidden tray window (CSCVTrayWnd), run until WM_QUIT.

#include <windows.h>

class CCommandLineArgs;

// Builds the message loop (with the process's idle handlers) and registers it
// with the module object, creates the tray window with the instance event as
// its stop event and runs the loop. Returns the loop's exit code; 0 when the
// tray window cannot be created.
int RunTrayApplication(HANDLE instanceEvent, bool noInstall, const CCommandLineArgs* args);
