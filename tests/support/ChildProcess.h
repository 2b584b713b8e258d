#pragma once
// Starting the built programs (or anything else) as child processes of a test.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace scvtest
{

// The full path of a built program: %SCV_BIN_DIR%\name (ctest sets the
// variable). Without it, the nearest "bin" folder above the test executable
// that holds the program.
std::wstring ProgramPath(const std::wstring& name);
// A path in the source tree: %SCV_SOURCE_DIR%\relative (or the nearest folder
// above the test executable that holds "tests\support").
std::wstring SourcePath(const std::wstring& relative = {});
// The full path of the running executable.
std::wstring SelfPath();

// One argument quoted so that CommandLineToArgvW and the C runtime give it
// back unchanged.
std::wstring QuoteArgument(const std::wstring& argument);
// "program" arg1 arg2 ... with every part quoted as needed.
std::wstring BuildCommandLine(const std::wstring& program, const std::vector<std::wstring>& args);

// Whether a failed CreateProcessW is one the machine could not make at that
// moment rather than a fault of the command line: Wine answers
// ERROR_INTERNAL_ERROR (1359) when the new process died before it was set up,
// as happens when several programs start at once on a loaded machine; the
// resource errors may pass as well.
bool IsTransientStartError(DWORD error);

// Runs `attempt` (a start: 0 when it succeeded, else its error) until it
// succeeds, fails with an error that is not transient, or has run
// `maxAttempts` times, pausing longer after each transient failure (from
// `firstPauseMs`, doubled each time). Every retry is reported on stderr and
// appended to the file %SCV_TEST_NOTES% names (the test run prints it at its
// end), so a start that needed one stays visible also when the test passes.
// The last result.
DWORD RetryTransientStart(const std::function<DWORD()>& attempt, const std::wstring& what,
                          int maxAttempts = 6, DWORD firstPauseMs = 100);

// The process that made a window (0 for none).
DWORD ProcessOfWindow(HWND window);
// The first top-level window of class `className` made by process `pid`
// (only a visible one when `visibleOnly`), or null.
HWND FindTopWindowOf(DWORD pid, const wchar_t* className, bool visibleOnly = false);
// The first visible top-level window whose title holds `titlePart`, or null.
HWND FindTopWindowWithTitle(const wchar_t* titlePart);
// Asks the window to close and waits up to `timeoutMs` for its process to end; a process that
// stays is ended. For programs a test made the shell start (Notepad opened on a file).
void CloseWindowAndItsProcess(HWND window, DWORD timeoutMs);
// The text of a control, also of another process (WM_GETTEXT, at most 1023 characters; empty when
// the control does not answer within 5 seconds).
std::wstring ControlText(HWND control);

struct ChildOptions
{
    std::wstring workingDirectory; // empty: the current one
    // Environment changes on top of the test's own: a value sets the variable,
    // nullopt removes it.
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> environment;
    std::wstring outputFile;        // when set, stdout and stderr go into this file
    std::optional<WORD> showWindow; // STARTUPINFO's wShowWindow, e.g. SW_HIDE
    DWORD creationFlags = 0;
};

// A running (or finished) child process. A child still running when the
// object goes away is terminated.
class ChildProcess
{
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts a command line as CreateProcessW takes it; a start the machine
    // could not make (IsTransientStartError) is tried again. Check Started().
    static ChildProcess Start(const std::wstring& commandLine, const ChildOptions& options = {});
    // Starts a program with arguments (quoted as needed).
    static ChildProcess Run(const std::wstring& program, const std::vector<std::wstring>& args = {},
                            const ChildOptions& options = {});

    bool Started() const { return process_ != nullptr; }
    explicit operator bool() const { return Started(); }
    // GetLastError of a failed start.
    DWORD StartError() const { return startError_; }
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_; }
    const std::wstring& CommandLine() const { return commandLine_; }

    bool IsRunning() const;
    // Waits for the end of the process: its exit code, or nullopt when it is
    // still running after timeoutMs (or was never started).
    std::optional<DWORD> Wait(DWORD timeoutMs);
    // The exit code when the process has ended, else nullopt.
    std::optional<DWORD> ExitCode() const;
    // WaitForInputIdle: true once the child's GUI thread waits for input.
    bool WaitForIdle(DWORD timeoutMs) const;
    // Terminates a running child and waits up to waitMs for it to end.
    bool Terminate(UINT exitCode = 1, DWORD waitMs = 5000);

private:
    void Close();

    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    DWORD startError_ = 0;
    std::wstring commandLine_;
};

} // namespace scvtest
