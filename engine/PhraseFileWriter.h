#pragma once
// Writing a phrase file so that no phrase is ever lost: the new content is written completely to
// a temporary file in the same folder and then replaces the old file in one step.

#include "platform/CString.h"

#include <windows.h>

#include <string>

// Opens `path` for writing with shared read access and the open security attributes: an existing
// file loses its read-only attribute and is overwritten. Returns INVALID_HANDLE_VALUE on failure
// (GetLastError tells why). A phrase file itself is written with WritePhraseFileBytes, which uses
// this for its temporary file and never truncates the file it replaces.
HANDLE CreatePhraseFileForWrite(const wchar_t* path);

// The temporary file that WritePhraseFileBytes writes before it replaces `path`:
// "~" + the file name + "." + the calling thread's id in hexadecimal + ".tmp", in the same folder
// (so the phrase loader never takes it for a phrase, and two writers never share it). When that name
// would reach MAX_PATH, "~" + the thread id + ".tmp" in the same folder, which fits whenever `path` does.
CString MakePhraseTempPath(const wchar_t* path);

// Writes `bytes` to the temporary file, flushes it, clears the read-only attribute of the old file
// and moves the temporary file over it (MoveFileExW, replace and write-through; a file held open
// elsewhere is retried for a moment). On any failure the temporary file is removed, the old file
// stays as it was (its read-only attribute is restored) and GetLastError holds the error.
bool WritePhraseFileBytes(const wchar_t* path, const std::string& bytes);
// As WritePhraseFileBytes, but the old file is replaced only while it still holds exactly
// `expected` (compared right before every replacing attempt), so a content written by someone else
// since the caller read it is never overwritten. When it differs (or is gone) nothing is written,
// `changed` is set and the result is false (GetLastError: ERROR_FILE_INVALID).
bool WritePhraseFileBytesIfUnchanged(const wchar_t* path, const std::string& bytes,
                                     const std::string& expected, bool& changed);

// Logs "ERROR: code %d, %s" with the error number and the system's text for it.
void LogPhraseFileWriteError(DWORD error);
