#pragma once

// The waiter program: started hidden by the main program with its own process
// id, it waits until that process ends (or until another start with "/exit"
// asks it to stop), then posts WM_NULL to every top-level window so they can
// refresh (the tray area, for one), and exits with a code that tells why the
// wait ended (WaiterExitCode).

#include <windows.h>

#include "platform/CString.h"
#include "waiter/SCV_WF_CommandLineInfo.h"

// The single-instance marker, held while a waiter runs.
LPCWSTR GetWaiterInstanceEventName(); // "22C834B6-A510-4152-B902-E0A5D3FBD56A"
// The exit request the running waiter waits on; "/exit" sets it.
LPCWSTR GetWaiterExitEventName(); // "Scv_F1589FD0-1608-4367-AF39-82A89C60C92B"

// How long the box about a missing parent id stays up.
inline constexpr DWORD kMissingPidBoxTimeoutMs = 7000;
// The caption of that box and the log tag of the waiter.
inline constexpr wchar_t kWaiterCaption[] = L"EXE_ScvWaitingFor";

// The text of the box shown when no parent id was given.
CString BuildMissingPidText(const CSCV_WF_CommandLineInfo& info);

// Sets the exit event of a running waiter; false when none runs.
bool RequestWaiterExit();

// One watch of the parent: log start lines (when a log file is given), check
// for another waiter, open the parent, wait, broadcast. Its exit code.
int RunWaiter(const CSCV_WF_CommandLineInfo& info, HANDLE exitEvent);

// The whole program on a command line (without the program's own name):
// "/exit", the missing-id box, or a watch. The program's exit code.
int RunWaiterProgram(LPCWSTR commandLine);
