#pragma once

// Small path and file functions: splitting a path, the program's own folder,
// temporary file names, existence tests that never show a system error box and
// the drive test that decides where the settings and the log live.
// Paths are Windows paths with backslashes.

#include <windows.h>

#include "platform/CString.h"

// The extension with its dot ("C:\a\b.txt" -> ".txt"); empty when there is none.
CString GetFileExtension(LPCWSTR path);
// The file name with its extension; empty for an empty path.
CString GetFileNameFromPath(LPCWSTR path);
// Drive + directory of the path. removeSlash false: with one trailing backslash;
// removeSlash true: without it, except that a bare drive keeps it ("C:\").
// An empty path gives an empty result.
CString GetFolderFromPath(LPCWSTR path, bool removeSlash);
// Drive, directory, file name and extension; each out string may be null.
void SplitPath(LPCWSTR path, CString* drive, CString* directory, CString* fileName, CString* extension);

// The text with one backslash at its end (an empty text stays empty).
CString AddTrailingBackslash(const CString& text);
// The text with every trailing backslash removed.
CString RemoveTrailingBackslashes(const CString& text);

// GetTempPathW; empty on failure.
CString GetTempFolder();
// The full path of the running program.
CString GetModuleFilePath();
// The folder of the running program, with a trailing backslash.
CString GetProgramFolder();
// The folder of the running program: withSlash true with one trailing backslash, false with every
// trailing backslash removed (a program in a drive's root folder gives "C:").
CString GetProgramFolderEx(bool withSlash);
// GetProgramFolderEx(false).
CString GetProgramFolderNoSlash();

// A new temporary file in the temporary folder: see MakeTempFilePathIn.
CString MakeTempFilePath(LPCWSTR extension);
// A new temporary file name in `folder` (the temporary folder when empty):
// "abcd" + four hex digits + ".TMP" + "." + extension (the dot is not doubled
// when the extension has one; no dot is added when there is no extension).
// The file is created empty (CREATE_NEW) so that the name is reserved; a name
// that is already taken is never returned. Empty on failure.
CString MakeTempFilePathIn(LPCWSTR folder, LPCWSTR extension);

// The root of the drive of a path: "C:\" for "C:\a\b", "\" for a path without
// a drive letter.
CString GetDriveRootOfPath(LPCWSTR path);
// True for the drive types the program treats as "not a fixed local disk":
// DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, DRIVE_REMOVABLE and DRIVE_REMOTE.
bool IsRemovableOrNetworkDriveType(UINT driveType);
// IsRemovableOrNetworkDriveType of GetDriveTypeW of the path's drive root.
bool IsRemovableOrNetworkDrive(LPCWSTR path);

// True when the path names an existing file that is not a directory (also when
// the file exists but its attributes may not be read). Never shows a system
// error box (empty drive and the like).
bool FileExists(LPCWSTR path);
// True when the path names an existing directory (with or without a trailing
// backslash).
bool FolderExists(LPCWSTR path);

// Decimal text of a number.
CString IntToString(int value);
// The same decimal text under the name the online services use.
inline CString FormatInteger(int value)
{
    return IntToString(value);
}
