#include "waiter/Exe_Waiter.h"
#include "waiter/SCV_WF_CommandLineInfo.h"
#include "waiter/WaiterProgram.h"

#include "common/KernelHandle.h"
#include "common/ProcessInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

CSCV_WF_CommandLineInfo Parsed(const wchar_t* commandLine)
{
    CSCV_WF_CommandLineInfo info(commandLine);
    info.Parse();
    return info;
}
} // namespace

TEST(WaiterCommandLine, ParsesTheSwitchesAsTheMainProgramAndUsersWriteThem)
{
    struct Case
    {
        const wchar_t* commandLine;
        DWORD pid;
        const wchar_t* logFile;
        bool exit;
    };
    const Case cases[] = {
        // What the main program passes, with and without logging.
        {L"/logfile\"C:\\Users\\a b\\LogReport.txt\" /pid1234", 1234, L"C:\\Users\\a b\\LogReport.txt",
         false},
        {L" /pid1234", 1234, L"", false},
        // "/pid": the digits must follow at once, case counts, a number too large for 32 bits is no id.
        {L"/pid 1234", 0, L"", false},
        {L"/PID1234", 0, L"", false},
        {L"/pid", 0, L"", false},
        {L"/pid56x78", 56, L"", false},
        {L"/pid4294967295", 4294967295u, L"", false},
        {L"/pid4294967296", 0, L"", false},
        {L"/pid99999999999999999999999", 0, L"", false},
        {L"/pid0012", 12, L"", false},
        // "/logfile": any case; a quoted path, or else the whole rest of the line.
        {L"/LOGFILE\"D:\\log.txt\"/pid7", 7, L"D:\\log.txt", false},
        {L"/logfile D:\\log.txt /pid7", 7, L" D:\\log.txt /pid7", false},
        {L"/logfile\"D:\\no closing quote /pid7", 7, L"", false},
        {L"/pid7 /logfile", 7, L"", false},
        {L"/pid7 /logfile\"\"", 7, L"", false},
        // "/exit": anywhere, case counts.
        {L"/exit", 0, L"", true},
        {L"/pid9 /exit", 9, L"", true},
        {L"/EXIT", 0, L"", false},
        {L"", 0, L"", false},
    };
    for (const Case& c : cases) {
        const CSCV_WF_CommandLineInfo info = Parsed(c.commandLine);
        EXPECT_EQ(info.GetParentPid(), c.pid) << c.commandLine;
        EXPECT_EQ(Text(info.GetLogFile()), c.logFile) << c.commandLine;
        EXPECT_EQ(info.IsLogEnabled(), *c.logFile != 0) << c.commandLine;
        EXPECT_EQ(info.IsExitRequested(), c.exit) << c.commandLine;
        EXPECT_EQ(info.GetFlags(), c.exit ? 1u : 0u) << c.commandLine;
        EXPECT_EQ(Text(info.GetCommandLineText()), c.commandLine);
    }
}

TEST(WaiterCommandLine, TraceLineNamesTheParentProgram)
{
    CString commandLine;
    commandLine.Format(L"/logfile\"C:\\log.txt\" /pid%u", ::GetCurrentProcessId());
    const CSCV_WF_CommandLineInfo info = Parsed(commandLine);
    const CString self = GetProcessImagePath(::GetCurrentProcessId());
    ASSERT_FALSE(self.IsEmpty());
    EXPECT_EQ(Text(info.GetParentPath()), Text(self));

    CString expected;
    expected.Format(L"CSCV_WF_CommandLineInfo::Trace: Log Enabled=1LogFile: [C:\\log.txt], Parent PID\t=%u, "
                    L"Path2Parent=[%s]",
                    ::GetCurrentProcessId(), self.GetString());
    EXPECT_EQ(Text(info.BuildTraceLine()), Text(expected));

    EXPECT_EQ(Text(Parsed(L"/pid0").BuildTraceLine()),
              L"CSCV_WF_CommandLineInfo::Trace: Log Enabled=0LogFile: [], Parent PID\t=0, Path2Parent=[]");
}

TEST(WaiterCommandLine, MissingPidTextQuotesTheCommandLine)
{
    EXPECT_EQ(Text(BuildMissingPidText(Parsed(L"/pid x"))),
              L"ERROR\n\n Parent process ID (PID) not specified in the command line.\nPID=0\nCommand Line: "
              L"[/pid x]");
}

TEST(WaiterWait, MapsEachWaitResultToItsNamesAndExitCode)
{
    struct Case
    {
        DWORD result;
        DWORD count;
        const wchar_t* handleName;
        const wchar_t* resultName;
        int exitCode;
    };
    const Case cases[] = {
        {WAIT_OBJECT_0, 2, L"H_PRC", L"WTR_EXE_CLOSED_SUCCESS", 0},
        {WAIT_OBJECT_0 + 1, 2, L"H_EVENT_EXIT", L"WTR_EVENT_EXIT_SIGNALED", 3},
        {WAIT_ABANDONED_0, 2, L"WAIT_ABANDONED", L"WTR_EXE_CLOSED_ABONDED", 1},
        {WAIT_ABANDONED_0 + 1, 2, L"WAIT_ABANDONED", L"WTR_EXE_CLOSED_ABONDED", 1},
        {WAIT_ABANDONED_0 + 1, 1, L"129", L"WTR_ERROR", 4},
        {WAIT_TIMEOUT, 2, L"258", L"WTR_ERROR", 4},
        {WAIT_FAILED, 2, L"4294967295", L"WTR_ERROR", 4},
    };
    for (const Case& c : cases) {
        const WaitOutcome outcome = CExe_Waiter::MapWaitResult(c.result, c.count);
        EXPECT_EQ(Text(outcome.handleName), c.handleName) << c.result;
        EXPECT_EQ(Text(outcome.resultName), c.resultName) << c.result;
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.result;
    }
}

TEST(WaiterWait, EndsOnTheProcessOrOnTheExitEvent)
{
    // Events stand in for the process: the wait only needs waitable handles.
    CKernelHandle process(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    CKernelHandle exitEvent(::CreateEventW(nullptr, FALSE, FALSE, nullptr));

    ::SetEvent(exitEvent.Get());
    EXPECT_EQ(CExe_Waiter::Wait_Next(process.Get(), exitEvent.Get()), 3);
    ::SetEvent(process.Get());
    EXPECT_EQ(CExe_Waiter::Wait_Next(process.Get(), exitEvent.Get()), 0);
    EXPECT_EQ(CExe_Waiter::Wait_Next(process.Get(), nullptr), 0); // without exit event: the process alone
    EXPECT_EQ(CExe_Waiter::Wait_Next(nullptr, exitEvent.Get()), 4);
}
