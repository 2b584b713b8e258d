#pragma once

// Whole-buffer writes: to an open file handle, and a file's whole content replaced safely.

#include <windows.h>

#include <string>
#include <string_view>

// Writes all `size` bytes to `file`, in chunks one WriteFile call accepts. False
// when a call fails or writes nothing (the last error then says why).
bool WriteAllBytes(HANDLE file, const void* data, size_t size);

inline bool WriteAllBytes(HANDLE file, std::string_view bytes)
{
    return WriteAllBytes(file, bytes.data(), bytes.size());
}

// The whole content of the file at `path` into `bytes` (an empty file gives true and no bytes). False
// when it cannot be opened, is larger than `maxBytes` or cannot be read completely. With `info`, the
// file's attributes, times and size from the same open.
bool ReadFileBytesBounded(const wchar_t* path, unsigned long long maxBytes, std::string& bytes,
                          BY_HANDLE_FILE_INFORMATION* info = nullptr);

// Writes `bytes` as the whole content of the file at `path`: into a new temporary file beside it, which
// then replaces the file. A failed write leaves the old file as it was and no temporary file behind.
bool ReplaceFileContents(const wchar_t* path, std::string_view bytes);
