#pragma once

// Reading and writing memory that a message names. Messages that carry a text
// or a buffer address (lParam) are meant for callers in this process, but any
// process may send them: the memory is used only when this process has it
// committed and accessible, and never beyond the region it lies in or the
// size the caller gives.

#include <windows.h>

#include "platform/CString.h"

// Whether `bytes` bytes from `address` lie in one committed region of this
// process that may be read, or written when `write` is set.
bool IsAccessibleRange(const void* address, size_t bytes, bool write);

// The NUL-terminated text at `address`, read at most `maxChars` characters far
// and only within its memory region; empty when there is no readable text or
// no terminator within that range.
CString ReadCallerText(LPARAM address, int maxChars);

// Copies `text` into the caller's buffer of `size` characters, cut to fit and
// always terminated. False (nothing written) for a size of 0 or a buffer that
// is not writable memory of this process.
bool CopyToCallerBuffer(WPARAM size, LPARAM buffer, const CString& text);
