#pragma once

// Temporary files made while the program runs (clipboard items opened in
// another program): they carry a warning in their name, are marked temporary
// and not indexed, and are registered so that the program deletes them when
// it ends. Registration may come from any thread.

#include <windows.h>

#include <string_view>

#include "common/KernelHandle.h"
#include "platform/CString.h"

// Adds the path to the list of files deleted at exit.
void RegisterTempFile(LPCWSTR path);
// Deletes every registered file (read-only attribute cleared first; folders
// are refused), logs each one and the totals, and empties the list. Returns
// the number deleted. An empty list logs "No files for deletion on exit".
int DeleteTempFilesOnExit();

// The file-name prefix of temporary clipboard files: the localised warning
// text made safe for a file name, then "==Scrivolanter==".
CString GetTempFileNamePrefix();

// A new, empty file in the temporary folder (or `folder` when given) named
// prefix + generated name + extension, created with CREATE_NEW (a name
// already taken is never reused: another name is tried), the open security
// attributes, FILE_ATTRIBUTE_TEMPORARY and FILE_ATTRIBUTE_NOT_CONTENT_INDEXED,
// opened for writing. `path` receives its path. Null handle on failure. The
// caller registers the file (RegisterTempFile) once it is written.
CKernelHandle CreateNewTempFile(LPCWSTR prefix, LPCWSTR extension, CString& path, LPCWSTR folder = nullptr);

// Writes the bytes into a new temporary file (CreateNewTempFile with
// GetTempFileNamePrefix) and registers it for deletion at exit. The path of
// the file, empty on failure ("Cannot write clipboard data into [path]" is
// logged when the write fails, and the file is deleted).
CString WriteBytesToNewTempFile(std::string_view bytes, LPCWSTR extension, LPCWSTR folder = nullptr);

// The extension of a clipboard item file by the item's data type: ".txt" for
// 0 (ANSI text) and 1 (Unicode text), ".rtf" for 2, ".bmp" for 4; empty for
// the others (type 3 is opened as nothing).
CString GetClipboardItemFileExtension(int dataType);

// Opens the file with its associated program (ShellExecuteW "open",
// SW_SHOWMAXIMIZED, in the file's folder), or with the shell's "Open with"
// dialog. True when started.
bool OpenTempFile(HWND owner, LPCWSTR path, bool withAssociatedProgram);
// The shell's "Open with" dialog for the file; true when it started.
bool OpenWithDialog(HWND owner, LPCWSTR path);
