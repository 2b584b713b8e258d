#pragma once

// The waiter's wait on its parent process and on the exit request.

#include <windows.h>

#include "platform/CString.h"

// Exit codes of the waiter.
enum WaiterExitCode : int
{
    kWaiterParentEnded = 0,    // the parent ended, or "/exit" was passed on
    kWaiterAlreadyRunning = 1, // another waiter runs, or the wait was abandoned
    kWaiterExitSignaled = 3,   // the exit event was set, or no parent id was given
    kWaiterError = 4,          // the parent cannot be opened, or the wait failed
};

// How one wait ended: the names written to the log and the exit code.
struct WaitOutcome
{
    CString handleName; // "H_PRC", "H_EVENT_EXIT", "WAIT_ABANDONED" or the result as a number
    CString resultName; // "WTR_EXE_CLOSED_SUCCESS", "WTR_EVENT_EXIT_SIGNALED", ...
    int exitCode = kWaiterError;
};

class CExe_Waiter
{
public:
    // The outcome of a WaitForMultipleObjects result on `count` handles
    // (the process first, then the exit event).
    static WaitOutcome MapWaitResult(DWORD waitResult, DWORD count);

    // Waits without time limit until the process ends or the exit event (may
    // be null: then only the process) is set; logs the outcome and returns its
    // exit code. No process: kWaiterError.
    static int Wait_Next(HANDLE process, HANDLE exitEvent);
};
