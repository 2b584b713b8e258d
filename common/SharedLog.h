#pragma once

// The log shared by all programs of the product and the core hook DLL.
//
// Every process appends to one UTF-16 LE text file (created with the byte order
// mark FF FE; an existing file is only appended to). The path travels between
// processes as the name of a global atom (GetLogAtom). Writes from all threads
// and processes are serialised by the manual-reset event
// "Local\ScrivolanterLogger_SyncEven" (signalled = the file is free): a writer
// waits for it (at most 5000 ms), resets it, appends, and sets it again; a
// writer that waits in vain sets the event and drops its own entry.
//
// A caller never waits for the disk: each entry is written by a short-lived
// thread of its own, so entries of one process may reach the file in another
// order than they were made (their time stamps are those of the moment they
// were made). Every entry ends with CR LF.
//
// Entry shapes (date MM/DD/YY, time HH:MM:SS, local time):
//   ordinary line   tag + ": [" + date + " " + time + "] " + text
//   error line      "ERROR: [" + text + "]"
//   window line     [prefix + ": "] + "IsWindow HWND=%d ? %d; CLASSNAME: [" + class + "]"
//   collected lines "EXE_Agent [" + date + " " + time + "] " + text, joined by "\n"
//
// Logging is off until LogOpen; every function returns false and writes nothing
// while it is off. Open, close, the source tag and the collected lines belong to
// the user-interface thread; any thread may write.

#include <windows.h>

// The tag in front of each program's ordinary lines.
inline constexpr wchar_t kLogTagMainProgram[] = L"EXE_Agent";
inline constexpr wchar_t kLogTagEditor[] = L"EXE_Editor";
inline constexpr wchar_t kLogTagWelcome[] = L"WELCOME";
inline constexpr wchar_t kLogTagWaiter[] = L"EXE_ScvWaitingFor";

// "Local\ScrivolanterLogger_SyncEven" (without a final t: other programs use it so).
LPCWSTR GetLogSyncEventName();

// Sets the program's own tag (one of the kLogTag... texts); the main program's
// tag until set. Called once at start-up.
void SetLogProgramTag(LPCWSTR tag);

// Opens the log on the file `path` (at most 261 characters). False when the
// log is already open (the first path stays), or on failure.
bool LogOpen(LPCWSTR path);
// Closes the log; false when it was not open. Entries still waiting are dropped.
bool LogClose();
bool IsLogOpen();
// Copies the log path (empty while closed) into the buffer of `size`
// characters, cut to fit and always terminated; always true.
bool GetLogPath(LPWSTR buffer, int size);
// The global atom whose name is the log path (stale after LogClose).
ATOM GetLogAtom();

// Writes one entry unchanged (no tag, no date). False when the log is closed,
// the text is null or empty, or no writer thread can be started.
bool PostLogEntry(LPCWSTR text);
// Writes an ordinary line with the given tag (null: no tag). A text too long
// for the line buffer is written alone, unchanged.
bool FormatLogLine(LPCWSTR text, LPCWSTR tag);
// Writes an ordinary line with the source tag, or the program's tag when no
// source tag is set. The call that all other code uses.
bool WriteLogLine(LPCWSTR text);
// Writes "ERROR: [" + text + "]" (the text cut to fit 10000 characters).
bool LogError(LPCWSTR text);
// WriteLogLine(prefix + ": " + text), cut to fit 10000 characters.
bool WriteLogLineWithPrefix(LPCWSTR text, LPCWSTR prefix);

// Sets (first 199 characters) and clears the tag that replaces the program's
// tag in ordinary lines.
void SetLogSourceTag(LPCWSTR tag);
void ClearLogSourceTag();

// Logs under `tag` whether the handle is a window and its class name (two
// ordinary lines); clears the source tag afterwards. False for a null tag.
bool LogWindowState(HWND window, LPCWSTR tag);
// Writes a window line.
bool LogWindowInfo(LPCWSTR prefix, HWND window);

// Collects a line in memory ("EXE_Agent [date time] text"); false for null.
bool LogCollectLine(LPCWSTR text);
// Writes the collected lines as one entry joined by "\n" and forgets them.
// False, writing nothing, when nothing is collected.
bool LogWriteCollectedLines();

// Waits until every entry posted by this process has been written or dropped;
// false when some are still pending after `timeoutMs`. For orderly shutdown.
bool WaitForPendingLogEntries(DWORD timeoutMs);
