#pragma once

// Starting the command of a command phrase through the shell, with a readable
// report when it cannot be started.

#include <windows.h>

#include <functional>

#include "common/StringPair.h"
#include "platform/CString.h"

// Shows a report: owner, text, caption, MB_ICON... type. Tests put a recorder in its place.
using CommandReportBox =
    std::function<void(HWND owner, const CString& text, const CString& caption, UINT type)>;

// How one program runs and reports a command; the programs differ only in these values.
struct CommandRunOptions
{
    int mode = 1;                             // 0 never report, 1 failures only, 2 always (and flash)
    const wchar_t* caption = L"Scrivolanter"; // the report's caption
    const wchar_t* sourceSeparator = L"\n\n"; // between the command and "Source Command: "
    DWORD timeoutMs = 0;                      // above 0: the box closes itself after that time
    CommandReportBox box;                     // null: a message box
    std::function<void()> onStarted;          // called when the command started (the launch sound)
};

// True when the text is longer than 3 characters and than its scheme, and
// begins (without regard to case) with a scheme the shell opens as an address: "https://",
// "http://", "mailto:", "file://", "ftp://", "telnet://", "news://",
// "gopher://", "nntp://", "prospero://", "wais://" or "ovl:".
bool IsUrlWithKnownScheme(const CString& text);

// Splits a command into the file to open (blanks around it trimmed) and its
// parameters, which keep the blank that parts them from the file:
//  - the whole command when it names an existing file or is an address;
//  - a command that begins with a quotation mark: the quoted part, then the rest;
//  - else the longest leading part, followed by a blank, that names an
//    existing file (not a folder), then the rest;
//  - else the whole command.
CStringPair SplitCommandFileAndParameters(const CString& command);

// "\n\nProcessed Command:\n" + 30 em dashes + "\nPath: [file]\nCommand Line: [parameters]".
CString BuildProcessedCommandText(const CStringPair& split);

// Splits the command and starts it with ShellExecuteExW ("open",
// SEE_MASK_DOENVSUBST, SW_SHOW). Mode 1 reports only a failure, mode 2 every
// outcome (and flashes the owner's task bar button): a box captioned
// "Scrivolanter" with the system's error text, "Command: ", "Source Command: "
// and the processed command. The caller's last error is kept. True when the
// command started.
// `onStarted` (may be empty) is called when the command started: the launch sound.
bool ExecuteCommandWithReport(int mode, const CString& command, const CString& sourceCommand, HWND owner,
                              const std::function<void()>& onStarted = {});

// The same with all choices given. `split` (may be null) gets the file and parameters started.
bool RunCommandWithReport(const CString& command, const CString& sourceCommand, HWND owner,
                          const CommandRunOptions& options, CStringPair* split = nullptr);

// The report text: the error text + "\n\nCommand: " + command + the separator + "Source Command: " +
// source command + the processed-command block.
CString BuildCommandReport(const CString& errorText, const CString& command, const CString& sourceCommand,
                           const CStringPair& split, const wchar_t* sourceSeparator);

// Splits the command and runs ShellExecuteW "open" (SW_MAXIMIZE when `maximize`, else SW_SHOW). When
// the shell answers 32 or less, `reportErrors` is set and a last error exists, a warning box
// (caption "Scrivolanter", or `box`) with the system's error text + "\nCommand: [" + command + "]" +
// "\nCommand Lenght: " + its length + the processed-command block; the text is logged as well. True
// when the shell answered above 32.
bool OpenCommandWithShell(const CString& command, bool reportErrors, HWND owner, bool maximize,
                          const CommandReportBox& box = {});

// Opens a file as the shell's "open" does: the shell's answer (above 32 on success), the last error
// set on failure. Tests put a recorder in its place.
using ShellFileOpener = std::function<INT_PTR(HWND owner, const CString& file)>;

// ShellExecuteW "open" of the settings file, SW_SHOW (or `opener`); on failure an error box (caption
// "Scrivolanter", or `box`) with the system's error text. The caller's last error is kept. True when
// the shell answered above 32.
bool OpenSettingsFile(HWND owner, const CommandReportBox& box = {}, const ShellFileOpener& opener = {});
