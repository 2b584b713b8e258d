#pragma once

// Thin wrappers of the Win32 profile functions, used for the settings file,
// the language files and the other INI files of the programs.

#include <windows.h>

#include "platform/CString.h"

// Every function refuses an empty file name (the profile functions would use
// the system's WIN.INI): writes fail, reads give the default.

// WritePrivateProfileStringW; a null or empty value writes an empty value.
// True on success.
bool IniWriteString(LPCWSTR file, LPCWSTR section, LPCWSTR key, LPCWSTR value);
// The value as decimal text through IniWriteString.
bool IniWriteInt(LPCWSTR file, LPCWSTR section, LPCWSTR key, int value);
// GetPrivateProfileStringW into 260 characters; true, with the text in `out`,
// only when at least one character was read (`out` is left alone otherwise).
bool IniReadString(LPCWSTR file, LPCWSTR section, LPCWSTR key, CString& out);
// GetPrivateProfileIntW (a negative number in the file comes back as its
// two's complement, so the result may be cast to int).
UINT IniReadInt(LPCWSTR file, LPCWSTR section, LPCWSTR key, int defaultValue);
// True when the section holds an entry whose name equals the key exactly
// (case counts). False for an empty or missing section or file.
bool IniKeyExists(LPCWSTR file, LPCWSTR section, LPCWSTR key);

// GetPrivateProfileStringW into a buffer of `bufferChars` characters with the
// given default; the number of characters read and the text.
int IniReadStringWithDefault(LPCWSTR file, LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue,
                             int bufferChars, CString& out);
