// test-run-serial
// test-locks: appevents desktop sharedlog
// test-depends: ScvWaitingFor
#include "waiter/WaiterProgram.h"

#include "common/KernelHandle.h"

#include "support/ChildMain.h"
#include "support/ChildProcess.h"
#include "support/Dialogs.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using scvtest::ChildProcess;

namespace
{
const DWORD kExitTimeoutMs = 15000;

// A hidden top-level window that counts the WM_NULL messages it is posted.
class CBroadcastCounter
{
public:
    CBroadcastCounter()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &CBroadcastCounter::WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ScvTestBroadcastCounter";
        ::RegisterClassW(&windowClass);
        m_window = ::CreateWindowExW(0, windowClass.lpszClassName, L"broadcast counter", WS_OVERLAPPEDWINDOW,
                                     0, 0, 100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
        s_count = 0;
    }
    ~CBroadcastCounter() { ::DestroyWindow(m_window); }
    HWND Get() const { return m_window; }
    static int Count() { return s_count; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NULL && wParam == 0 && lParam == 0)
            ++s_count;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
    static inline int s_count = 0;
};

// A parent for the waiter to watch: a second process of this test that runs
// until its named event is set.
class CParentProcess
{
public:
    CParentProcess()
    {
        m_eventName = L"ScvTestWaiterParent_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                      std::to_wstring(::GetTickCount());
        m_event.Reset(::CreateEventW(nullptr, TRUE, FALSE, m_eventName.c_str()));
        m_process = scvtest::LaunchSelf(L"run_until_event", {m_eventName});
    }
    ~CParentProcess() { End(); }
    DWORD Pid() const { return m_process.Pid(); }
    bool Started() const { return m_event && m_process.Started(); }
    std::optional<DWORD> End()
    {
        ::SetEvent(m_event.Get());
        return m_process.Wait(kExitTimeoutMs);
    }

private:
    std::wstring m_eventName;
    CKernelHandle m_event;
    ChildProcess m_process;
};

std::wstring WaiterPath()
{
    return scvtest::ProgramPath(L"ScvWaitingFor.exe");
}

// Starts the waiter with a raw argument text (the main program quotes nothing
// but the log path).
ChildProcess StartWaiter(const std::wstring& arguments)
{
    return ChildProcess::Start(scvtest::QuoteArgument(WaiterPath()) + L" " + arguments);
}

std::wstring PidArgument(DWORD pid)
{
    return L"/pid" + std::to_wstring(pid);
}

bool WaiterIsWatching()
{
    return CKernelHandle(::OpenEventW(SYNCHRONIZE, FALSE, GetWaiterInstanceEventName())).operator bool();
}

// Waits for the waiter's exit code while this thread's windows get their messages.
std::optional<DWORD> WaitPumping(ChildProcess& process)
{
    scvtest::PumpUntilSignaled(process.Handle(), kExitTimeoutMs);
    return process.ExitCode();
}

// The broadcast is posted: give it a moment to arrive after the waiter ended.
int BroadcastsSeen(int atLeast)
{
    scvtest::PumpUntil([&] { return CBroadcastCounter::Count() >= atLeast; }, 3000);
    scvtest::PumpFor(300);
    return CBroadcastCounter::Count();
}

class WaiterProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scvtest::FileExists(WaiterPath())) << "build ScvWaitingFor first";
        ASSERT_FALSE(WaiterIsWatching()) << "a waiter of another run is still watching";
        ASSERT_NE(m_counter.Get(), nullptr);
    }

    CBroadcastCounter m_counter;
};
} // namespace

SCV_CHILD_MAIN(run_until_event)
{
    CKernelHandle event(::OpenEventW(SYNCHRONIZE, FALSE, args.at(0).c_str()));
    if (!event)
        return 2;
    return ::WaitForSingleObject(event.Get(), 60000) == WAIT_OBJECT_0 ? 0 : 1;
}

TEST_F(WaiterProgram, ParentEndsThenOneBroadcastAndExitZero)
{
    CParentProcess parent;
    ASSERT_TRUE(parent.Started());
    scvtest::TempFolder folder;
    const std::wstring logFile = folder.PathOf(L"Log Report.txt");

    ChildProcess waiter = StartWaiter(L"/logfile\"" + logFile + L"\" " + PidArgument(parent.Pid()));
    ASSERT_TRUE(waiter.Started());
    ASSERT_TRUE(scvtest::WaitUntil(WaiterIsWatching, kExitTimeoutMs));
    scvtest::PumpFor(200);
    EXPECT_TRUE(waiter.IsRunning());
    EXPECT_EQ(CBroadcastCounter::Count(), 0);

    ASSERT_EQ(parent.End(), 0u);
    EXPECT_EQ(WaitPumping(waiter), 0u);
    EXPECT_EQ(BroadcastsSeen(1), 1);
    EXPECT_FALSE(WaiterIsWatching());

    const std::wstring log = scvtest::ReadFileText(logFile).value_or(L"<no log>");
    for (const wchar_t* expected :
         {L"EXE_ScvWaitingFor is started CommandLine: [/logfile\"", L"Parent process: ",
          L"Parent process path: [", L"Parent process is opened successfully",
          L"CExe_Waiter::Wait_Next waitresult=H_PRC enumresult=WTR_EXE_CLOSED_SUCCESS", L"WinMain cmdLine: [",
          L"CSCV_WF_CommandLineInfo::Trace: Log Enabled=1LogFile: ["}) {
        EXPECT_NE(log.find(expected), std::wstring::npos)
            << "missing: " << scvtest::WideToUtf8(expected) << "\n"
            << scvtest::WideToUtf8(log);
    }
    EXPECT_NE(log.find(L"Parent process: " + std::to_wstring(parent.Pid())), std::wstring::npos);
}

TEST_F(WaiterProgram, SecondWaiterLeavesAndExitRequestStopsTheFirst)
{
    CParentProcess parent;
    ASSERT_TRUE(parent.Started());
    ChildProcess first = StartWaiter(PidArgument(parent.Pid()));
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(scvtest::WaitUntil(WaiterIsWatching, kExitTimeoutMs));

    ChildProcess second = StartWaiter(PidArgument(parent.Pid()));
    EXPECT_EQ(WaitPumping(second), 1u);
    EXPECT_TRUE(first.IsRunning());

    ChildProcess request = StartWaiter(L"/exit");
    EXPECT_EQ(WaitPumping(request), 0u);
    EXPECT_EQ(WaitPumping(first), 3u);
    EXPECT_EQ(BroadcastsSeen(1), 1);
    EXPECT_FALSE(WaiterIsWatching());

    // With no waiter running the request does nothing.
    ChildProcess idle = StartWaiter(L"/exit");
    EXPECT_EQ(WaitPumping(idle), 0u);
    EXPECT_EQ(BroadcastsSeen(1), 1);
}

TEST_F(WaiterProgram, ParentThatIsGoneGivesFourWithoutBroadcast)
{
    DWORD pid = 0;
    {
        ChildProcess ended = scvtest::LaunchSelf(L"run_until_event", {L"ScvTestNoSuchEvent"});
        ASSERT_TRUE(ended.Started());
        ASSERT_EQ(ended.Wait(kExitTimeoutMs), 2u);
        pid = ended.Pid();
    } // its last handle is closed here: the process is gone
    const bool gone =
        scvtest::WaitUntil([&] { return !CKernelHandle(::OpenProcess(SYNCHRONIZE, FALSE, pid)); }, 5000);
    ASSERT_TRUE(gone) << "the ended process " << pid << " can still be opened";

    ChildProcess waiter = StartWaiter(PidArgument(pid));
    EXPECT_EQ(WaitPumping(waiter), 4u);
    EXPECT_EQ(BroadcastsSeen(0), 0);
}

TEST_F(WaiterProgram, MissingPidShowsABoxThatClosesItself)
{
    ChildProcess waiter = StartWaiter(L"/pid 1234");
    ASSERT_TRUE(waiter.Started());
    const HWND box = scvtest::WaitForDialog(kWaiterCaption, kExitTimeoutMs, waiter.Pid());
    ASSERT_NE(box, nullptr);
    EXPECT_NE(scvtest::ReadDialogText(box).find(L"Parent process ID (PID) not specified"),
              std::wstring::npos);

    // Nobody touches the box: it closes on its own after its time-out.
    EXPECT_EQ(waiter.Wait(kMissingPidBoxTimeoutMs + kExitTimeoutMs), 3u);
    EXPECT_EQ(BroadcastsSeen(0), 0);
}
