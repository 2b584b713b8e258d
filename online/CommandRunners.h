#pragma once

// Starting the command of a command phrase through the shell, with a readable
// report when it cannot be started.

#include <windows.h>

#include "online/StringPair.h"
#include "platform/CString.h"

// True when the text is longer than 3 characters and begins (without regard
// to case) with a scheme the shell opens as an address: "https://",
// "http://", "mailto:", "file://", "ftp://", "telnet://", "news://",
// "gopher://", "nntp://", "prospero://", "wais://" or "ovl:".
bool IsUrlWithKnownScheme(const CString& text);

// Splits a command into the file to open and its parameters (blanks around
// both trimmed):
//  - the whole command when it names an existing file or is an address;
//  - a command that begins with a quotation mark: the quoted part, then the rest;
//  - else the longest leading part, followed by a blank, that names an
//    existing file (not a folder), then the rest;
//  - else the part before the first blank, then the rest (a program the
//    shell finds on its own, "notepad.exe file.txt").
CStringPair SplitCommandFileAndParameters(const CString& command);

// "\n\nProcessed Command:\n" + 30 em dashes + "\nPath: [file]\nCommand Line: [parameters]".
CString BuildProcessedCommandText(const CStringPair& split);

// Splits the command and starts it with ShellExecuteExW ("open",
// SEE_MASK_DOENVSUBST, SW_SHOW). Mode 1 reports only a failure, mode 2 every
// outcome (and flashes the owner's task bar button): a box captioned
// "Scrivolanter" with the system's error text, "Command: ", "Source Command: "
// and the processed command. The caller's last error is kept. True when the
// command started.
bool ExecuteCommandWithReport(int mode, const CString& command, const CString& sourceCommand, HWND owner);
