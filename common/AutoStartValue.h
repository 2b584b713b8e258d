#pragma once

// The value under the registry's Run key that starts the main program with
// Windows: a REG_SZ value whose text is the program's full path, a blank and
// "/autoload".

#include <windows.h>

#include "platform/CString.h"

// "Software\Microsoft\Windows\CurrentVersion\Run" (under HKEY_CURRENT_USER).
LPCWSTR GetAutoStartRunKeyPath();

// The program path that a Run value's command names: the text inside the
// quotes when it begins with a double quote, otherwise the whole text; in both
// cases without surrounding blanks. Arguments are not removed here (an
// unquoted path may hold blanks): see RunCommandNamesProgram.
CString GetRunCommandProgramText(const CString& command);

// True when the command starts `programPath` itself: the quoted path equals it,
// or the unquoted command is the path alone or the path followed by a blank and
// arguments. Letter case is ignored; a longer path that merely begins with the
// program's path does not count.
bool RunCommandNamesProgram(const CString& command, const CString& programPath);

// True when the Run value `valueName` (under HKEY_CURRENT_USER\runKeyPath)
// starts the running program.
bool IsAutoStartThisProgram(LPCWSTR valueName, LPCWSTR runKeyPath = GetAutoStartRunKeyPath());

// set: writes `text` as the REG_SZ value (its size counts the terminator);
// otherwise deletes the value. The key must exist. True on success.
bool SetAutoStartValue(bool set, LPCWSTR valueName, LPCWSTR text,
                       LPCWSTR runKeyPath = GetAutoStartRunKeyPath());
