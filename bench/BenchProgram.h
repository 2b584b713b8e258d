#pragma once

// Driving the real program from a benchmark: program folders with generated phrase libraries,
// starting and ending the program, a target window of the benchmark's own, keys and the menu.

#include <windows.h>

#include "common/TimingMarks.h"

#include <functional>
#include <string>
#include <vector>

namespace bench
{
// Generous: loading 10,000 phrases on a busy machine under Wine can take a minute.
constexpr DWORD kStartTimeoutMs = 180000;
constexpr DWORD kMenuTimeoutMs = 30000;

// A phrase put at the top level of a library, above the generated folders.
struct ExtraPhrase
{
    std::wstring title;
    std::wstring body;
};

// Dispatches this thread's messages (the target window answers the program's request here) until
// the condition holds; false after the time-out.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
void SendKey(WORD key, bool up);
void TapKey(WORD key);
// Ctrl+Alt+Enter, the program's default hot key.
void PressHotKey();
// The visible pop-up menu window of the process, or null.
HWND FindMenuWindow(DWORD pid);

// The folder of the running benchmark (the build's bin folder).
std::wstring OwnFolder();
// The program folder: the programs of the build, Settings.ini (sounds, balloons, tooltips, update
// checks, the welcome program and the history off, plus `extraSettings` lines) and the phrases:
// 10,000 phrases in 500 folders when `large`, else 10 phrases; `extras` at the top level first.
bool MakeProgramFolder(const std::wstring& folder, bool large, const std::string& extraSettings = {},
                       const std::vector<ExtraPhrase>& extras = {});

HANDLE StartProgram(const std::wstring& folder, const std::wstring& arguments, DWORD* pid);
// Starts the program and waits until it has published its hot key; null on failure. `startedAt`
// (may be null) receives the counter just before the start.
HANDLE StartProgramAndWait(const std::wstring& folder, DWORD* pid, double* startMs,
                           LARGE_INTEGER* startedAt = nullptr);
void EndProgram(const std::wstring& folder, HANDLE process);

// The program's timing marks (common/TimingMarks.h): a shared area named in this process's
// environment, so that every program started from here after its creation writes its marks there.
class TimingArea
{
public:
    TimingArea();
    ~TimingArea();
    TimingArea(const TimingArea&) = delete;
    TimingArea& operator=(const TimingArea&) = delete;

    bool IsOpen() const { return m_slots != nullptr; }
    void Clear();
    // Milliseconds from `start` to the mark; negative when the mark was not written since Clear.
    double Since(LARGE_INTEGER start, TimingMark mark) const;

private:
    HANDLE m_mapping = nullptr;
    volatile LONGLONG* m_slots = nullptr;
};

// Reads every file under the folder (found by FindFirstFileW) with bare CreateFileW/ReadFile
// calls on one thread; the bytes read.
unsigned long long BareReadTree(const std::wstring& folder);

// The pieces of a floor program (a benchmark started again in a mode of its own): its hidden
// window, a procedure that ends the message loop on WM_CLOSE, and the loop.
HWND CreateFloorWindow(const wchar_t* className, WNDPROC procedure);
LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RunMessageLoop();

struct Target
{
    HWND top = nullptr;
    HWND edit = nullptr;
};
// A top-level window of the benchmark's own with an EDIT.
Target ShowTarget();
bool BringForward(const Target& target);
} // namespace bench
