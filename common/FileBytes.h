#pragma once

// Whole-buffer writes to an open file handle.

#include <windows.h>

#include <string_view>

// Writes all `size` bytes to `file`, in chunks one WriteFile call accepts. False
// when a call fails or writes nothing (the last error then says why).
bool WriteAllBytes(HANDLE file, const void* data, size_t size);

inline bool WriteAllBytes(HANDLE file, std::string_view bytes)
{
    return WriteAllBytes(file, bytes.data(), bytes.size());
}
