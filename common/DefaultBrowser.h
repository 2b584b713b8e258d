#pragma once

// The programs that open files of a type and web addresses, read from the
// file-type registrations. `classesRoot` is HKEY_CLASSES_ROOT unless a caller
// (a test) gives another key of the same layout.

#include <windows.h>

#include "platform/CString.h"

// The program of a command line: double quotes removed, then characters cut
// from the end until the rest names an existing file; trimmed. Empty when no
// prefix of the command names a file.
CString GetExistingProgramOfCommand(const CString& command);

// The program that opens files of the extension (with or without its dot):
// the "shell\open\command" of the extension's file type, reduced by
// GetExistingProgramOfCommand. Empty when the type or its command is missing.
CString GetOpenCommandExeForExtension(LPCWSTR extension, HKEY classesRoot = HKEY_CLASSES_ROOT);

// The program of the "http" open command: the command's text from its first
// character that is not a double quote up to the next double quote. Empty when
// the command is missing or empty.
CString GetBrowserFromHttpCommand(HKEY classesRoot = HKEY_CLASSES_ROOT);

// The default web browser: the "http" program when it names an existing file,
// else the program that opens ".htm" files.
CString GetDefaultBrowserPath(HKEY classesRoot = HKEY_CLASSES_ROOT);
