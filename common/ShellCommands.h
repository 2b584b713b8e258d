#pragma once

// Starting documents and programs through the shell, with the system's error
// text on failure.

#include <windows.h>

#include "platform/CString.h"

// The system's message text for an error number (same as GetSystemErrorText).
CString GetErrorMessageText(DWORD errorCode);

// ShellExecuteExW with these values; returns its hInstApp (above 32 means
// started). When it is 32 or less and `errorText` is given, that receives the
// message text of the hInstApp value.
HINSTANCE ShellExecuteWithError(HWND window, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                LPCWSTR directory, int show, ULONG mask, CString* errorText);

// Shows the shell's "Open with" dialog for the file; true when it started.
bool ShowOpenWithDialog(HWND window, LPCWSTR path);
// Opens the shell's properties sheet of the file or folder (verb "properties",
// SEE_MASK_INVOKEIDLIST), owned by `owner` when given; true when the shell started it.
bool ShowFileProperties(LPCWSTR path, HWND owner = nullptr);
