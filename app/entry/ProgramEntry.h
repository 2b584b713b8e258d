#pragma once

// The start and end of the main program: settings and start lines of the log,
// the command-line switches, the delayed start with Windows, one-shot
// switches, relaying a request to an instance that already runs, becoming the
// single running instance, COM, OLE and common controls, the waiter, the tray
// application and the orderly shutdown.

#include <windows.h>

// Exit codes of the main program.
enum : int
{
    kExitCodeDone = 0,    // a one-shot switch was handled, or the tray application ended
    kExitCodeRelayed = 1, // another instance runs and got the request; or "exit" with none running
    kExitCodeNoInstanceEvent = 2,
    kExitCodeAutomodeSignalled = 12,
};

// The whole run of the main program; returns the process exit code.
// `commandLine` is the text after the program path.
int RunMainProgram(HINSTANCE instance, LPCWSTR commandLine);
