#include "waiter/WaiterProgram.h"

#include "common/KernelHandle.h"
#include "common/NamedEvent.h"
#include "common/SharedLog.h"
#include "common/SystemFunctions.h"
#include "common/TimedMessageBox.h"
#include "waiter/Exe_Waiter.h"

namespace
{
// How long the end of the program waits for its log lines to reach the file.
const DWORD kLogFlushTimeoutMs = 5000;

// Creates the single-instance marker into `marker`; false when another
// waiter holds it. Creating (not opening first) makes the check and the claim
// one step, so two waiters started together never both go on. A marker that
// cannot be made for another reason does not stop the watch.
bool ClaimSingleInstance(CKernelHandle& marker)
{
    const HANDLE created = CreateOpenNamedEvent(GetWaiterInstanceEventName(), false, false);
    const DWORD error = ::GetLastError();
    marker.Reset(created);
    if (marker && error == ERROR_ALREADY_EXISTS) {
        marker.Reset();
        return false;
    }
    return marker || error != ERROR_ACCESS_DENIED; // denied: it exists, made by someone we may not touch
}

CString Bracketed(const CString& text)
{
    return L"[" + text + L"]";
}

void LogStartLines(const CSCV_WF_CommandLineInfo& info)
{
    CString line = kWaiterCaption;
    line += L" is started CommandLine: " + Bracketed(info.GetCommandLineText()) + L" LogFile " +
            Bracketed(info.GetLogFile());
    WriteLogLine(line);
    line.Format(L"Parent process: %u", info.GetParentPid());
    WriteLogLine(line);
    WriteLogLine(L"Parent process path: " + Bracketed(info.GetParentPath()));
}
} // namespace

LPCWSTR GetWaiterInstanceEventName()
{
    return L"22C834B6-A510-4152-B902-E0A5D3FBD56A";
}

LPCWSTR GetWaiterExitEventName()
{
    return L"Scv_F1589FD0-1608-4367-AF39-82A89C60C92B";
}

CString BuildMissingPidText(const CSCV_WF_CommandLineInfo& info)
{
    CString text;
    text.Format(
        L"ERROR\n\n Parent process ID (PID) not specified in the command line.\nPID=%u\nCommand Line: ",
        info.GetParentPid());
    text += Bracketed(info.GetCommandLineText());
    return text;
}

bool RequestWaiterExit()
{
    CKernelHandle event(::OpenEventW(EVENT_MODIFY_STATE, FALSE, GetWaiterExitEventName()));
    return event && ::SetEvent(event.Get());
}

int RunWaiter(const CSCV_WF_CommandLineInfo& info, HANDLE exitEvent)
{
    if (info.IsLogEnabled()) {
        LogOpen(info.GetLogFile());
        LogStartLines(info);
    }

    CKernelHandle instance;
    if (!ClaimSingleInstance(instance)) {
        WriteLogLine(L"Exit from SCVWaitingFor. Already is running");
        return kWaiterAlreadyRunning;
    }

    CKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, info.GetParentPid()));
    if (!process) {
        CString error;
        error.Format(L"Cannot open parent process PID=%u", info.GetParentPid());
        LogError(error);
        return kWaiterError;
    }

    WriteLogLine(L"Parent process is opened successfully");
    const int result = CExe_Waiter::Wait_Next(process.Get(), exitEvent);
    if (result == kWaiterExitSignaled)
        WriteLogLine(L"WTR_EVENT_EXIT_SIGNALED, exit by command /exit from command line ");

    BroadcastPostSystemMessage(WM_NULL, 0, 0);
    return result;
}

int RunWaiterProgram(LPCWSTR commandLine)
{
    CSCV_WF_CommandLineInfo info(commandLine ? commandLine : L"");
    info.Parse();

    if (info.IsExitRequested()) {
        RequestWaiterExit();
        return kWaiterParentEnded;
    }

    if (info.GetParentPid() == 0) {
        MessageBoxTimeout(nullptr, kWaiterCaption, BuildMissingPidText(info), MB_TOPMOST | MB_ICONHAND,
                          kMissingPidBoxTimeoutMs);
        return kWaiterExitSignaled;
    }

    if (info.IsLogEnabled()) {
        LogCollectLine(L"WinMain cmdLine: " + Bracketed(info.GetCommandLineText()));
        LogCollectLine(info.BuildTraceLine());
    }

    CKernelHandle exitEvent(CreateOpenNamedEvent(GetWaiterExitEventName(), false, false));
    const int result = RunWaiter(info, exitEvent.Get());
    exitEvent.Reset();

    LogWriteCollectedLines();
    WaitForPendingLogEntries(kLogFlushTimeoutMs);
    return result;
}
