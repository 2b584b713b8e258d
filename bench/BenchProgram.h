#pragma once

// Driving the real program from a benchmark: program folders with generated phrase libraries,
// starting and ending the program, a target window of the benchmark's own, keys and the menu.

#include <windows.h>

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

bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
// The folder of the running benchmark (the build's bin folder).
std::wstring OwnFolder();
// The program folder: the programs of the build, Settings.ini (sounds, balloons, tooltips, update
// checks, the welcome program and the history off, plus `extraSettings` lines) and the phrases:
// 10,000 phrases in 500 folders when `large`, else 10 phrases; `extras` at the top level first.
bool MakeProgramFolder(const std::wstring& folder, bool large, const std::string& extraSettings = {},
                       const std::vector<ExtraPhrase>& extras = {});

HANDLE StartProgram(const std::wstring& folder, const std::wstring& arguments, DWORD* pid);
// Starts the program and waits until it has published its hot key; null on failure.
HANDLE StartProgramAndWait(const std::wstring& folder, DWORD* pid, double* startMs);
void EndProgram(const std::wstring& folder, HANDLE process);

struct Target
{
    HWND top = nullptr;
    HWND edit = nullptr;
};
// A top-level window of the benchmark's own with an EDIT.
Target ShowTarget();
bool BringForward(const Target& target);
} // namespace bench
