#pragma once
// Finding, reading and closing dialog boxes ("#32770" top-level windows) of
// this process or of another one (a child program under test).

#include <windows.h>

#include <string>
#include <vector>

namespace scvtest
{

constexpr DWORD kAnyProcess = 0;

// The visible top-level dialogs of a process (kAnyProcess: of every process).
std::vector<HWND> FindDialogs(DWORD pid = GetCurrentProcessId());
// The first visible dialog whose caption is `caption` (or contains it when
// partial); nullptr when there is none.
HWND FindDialogByCaption(const std::wstring& caption, DWORD pid = GetCurrentProcessId(),
                         bool partial = false);
// Waits (pumping this thread's messages) until such a dialog shows up.
HWND WaitForDialog(const std::wstring& caption, DWORD timeoutMs, DWORD pid = GetCurrentProcessId(),
                   bool partial = false);

// A window's own text, read without sending it a message (works for windows
// of hung threads and other processes).
std::wstring WindowCaption(HWND window);
// The caption on the first line, then each non-empty static text of the
// dialog on a line of its own.
std::wstring ReadDialogText(HWND dialog);
// The ids of the dialog's enabled push buttons, in z order.
std::vector<int> DialogButtons(HWND dialog);

// The file name field of an open or save dialog (explorer style: its combo
// box, else its edit): what it shows, and typing a name into it.
std::wstring FileDialogName(HWND dialog);
void SetFileDialogName(HWND dialog, const std::wstring& name);

// Posts the WM_COMMAND of a button (as a click would). False when the post failed.
bool PressDialogButton(HWND dialog, int id);
// One step of closing a dialog that belongs to any thread or process; later
// attempts use stronger means: 0 IDCANCEL, 1 the dialog's own cancel-like
// button (or any button), 2 WM_CLOSE, 3+ EndDialog and WM_CLOSE.
void NudgeDialogClosed(HWND dialog, int attempt);
// Closes a dialog, trying stronger means every 200 ms, pumping this thread's
// messages meanwhile. True when it is gone (or hidden) within timeoutMs.
bool CloseDialog(HWND dialog, DWORD timeoutMs = 5000);
// True when the window no longer exists or is hidden.
bool IsDialogGone(HWND dialog);

} // namespace scvtest
