#include "waiter/Exe_Waiter.h"

#include "common/SharedLog.h"

WaitOutcome CExe_Waiter::MapWaitResult(DWORD waitResult, DWORD count)
{
    WaitOutcome outcome;
    if (waitResult == WAIT_OBJECT_0) {
        outcome.handleName = L"H_PRC";
        outcome.resultName = L"WTR_EXE_CLOSED_SUCCESS";
        outcome.exitCode = kWaiterParentEnded;
    } else if (waitResult == WAIT_OBJECT_0 + 1 && count > 1) {
        outcome.handleName = L"H_EVENT_EXIT";
        outcome.resultName = L"WTR_EVENT_EXIT_SIGNALED";
        outcome.exitCode = kWaiterExitSignaled;
    } else if (waitResult >= WAIT_ABANDONED_0 && waitResult < WAIT_ABANDONED_0 + count) {
        outcome.handleName = L"WAIT_ABANDONED";
        outcome.resultName = L"WTR_EXE_CLOSED_ABONDED";
        outcome.exitCode = kWaiterAlreadyRunning;
    } else {
        outcome.handleName.Format(L"%u", waitResult);
        outcome.resultName = L"WTR_ERROR";
        outcome.exitCode = kWaiterError;
    }
    return outcome;
}

int CExe_Waiter::Wait_Next(HANDLE process, HANDLE exitEvent)
{
    if (!process)
        return kWaiterError;
    HANDLE handles[2] = {process, exitEvent};
    DWORD count = 2;
    if (!exitEvent) {
        LogError(L"Event for the command /exit NOT specified");
        count = 1;
    }
    const DWORD result = ::WaitForMultipleObjects(count, handles, FALSE, INFINITE);
    const WaitOutcome outcome = MapWaitResult(result, count);
    CString line;
    line.Format(L"CExe_Waiter::Wait_Next waitresult=%s enumresult=%s", outcome.handleName.GetString(),
                outcome.resultName.GetString());
    WriteLogLine(line);
    return outcome.exitCode;
}
