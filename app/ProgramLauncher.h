#pragma once

// Starting the other programs of the product and this program itself: the
// editor (from a worker thread that follows it, or directly), the waiter at
// start-up, the welcome program, the start-with-Windows value and web
// addresses. Every start logs its attempt and its outcome. (The elevated
// restart is CAppObjects::RunAsAdmin.)

#include <windows.h>

#include "platform/CString.h"

// The editor's parameters: " /addfromcb", " /firstrun", " /addseltext" for
// each flag that applies, in this order; empty when none does.
CString BuildEditorParameters(bool addFromClipboard, bool firstRun, const CString& selectedText);

// The waiter's command line: [" /logfile\"path\""] " /pid<id>" [" /exit"].
CString BuildWaiterCommandLine(DWORD processId, const CString& logPath, bool exitFlag);

// Starts the editor from a worker thread that tells `notifyWindow` how it went
// with SendMessageW(notifyMessage, state, 0): 0 not started, 1 started, 2 the
// editor has ended. Tries "runas" when the user is not an administrator, then
// CreateProcessW, then ShellExecuteExW "open". The thread publishes the hot key
// and the selected text in the shared settings area before the start. The
// thread ends when the editor ends or when `stopEvent` is set. True when the
// thread was started.
bool StartEditorThread(HANDLE stopEvent, HWND notifyWindow, UINT notifyMessage, bool addFromClipboard,
                       bool firstRun, const CString& selectedText);
// The same with the editor program named (for tests and other builds).
bool StartEditorThreadFor(const CString& editorPath, HANDLE stopEvent, HWND notifyWindow, UINT notifyMessage,
                          bool addFromClipboard, bool firstRun, const CString& selectedText);

// Starts the editor at once with ShellExecuteW "open" (SW_SHOWMAXIMIZED) under
// the application-starting cursor. A missing editor file or a failed start is
// logged and, with `showErrors`, shown in a warning box. True when started.
bool OpenEditor(bool showErrors, bool addFromClipboard, bool firstRun, const CString& selectedText);

// Starts the waiter with this process's id (and the log path while "WriteLog"
// is on): CreateProcessW, else ShellExecuteW hidden. True when started.
bool StartWaiter();
// The same for a given waiter path and command line.
bool StartWaiterAt(const CString& waiterPath, const CString& commandLine);

// Writes (true) or deletes (false) the start-with-Windows value "Scrivolanter":
// the program's path + " /autoload" under HKCU's Run key. True on success.
bool SetAutoStart(bool on);
// The start-with-Windows value names this program.
bool IsAutoStartEnabled();
// The first-run autostart thread: unless the program lies on a removable,
// unknown or network drive, after 1000 ms (when the instance event is still
// not set) it writes the start-with-Windows value. The window and message are
// kept for the caller's bookkeeping and not used by the thread.
bool StartAutoStartThread(HWND window, UINT message);

// CAppObjects::RunAsAdmin for a given program file (for tests and other builds).
bool RunAsAdminWithProgram(HWND owner, const CString& programPath);

// The text as a web address: line breaks and tabs become blanks, runs of three
// and two blanks are shortened once each, and "http://" is put in front unless
// it begins (ignoring case) with "http://", "https://", "ftp://", "mailto:",
// "file:///" or "file://".
CString NormalizeUrlText(const CString& text);
// Opens NormalizeUrlText(text): through the shell's "open" verb, or with
// `throughRunner` through ShellExecuteExW. True when it was opened.
bool OpenUrl(HWND owner, const CString& text, bool throughRunner);
