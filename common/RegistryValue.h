#pragma once

// Reading and writing string values of the registry.

#include <windows.h>

#include "platform/CString.h"

// Reads a REG_SZ or REG_EXPAND_SZ value (not expanded) of `subKey` under `root`;
// null or empty `valueName` means the key's default value. The text is always
// complete and terminated, whatever the stored size. False when the key or the
// value is missing or of another type.
bool ReadRegistryString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, CString& value);

// Writes a REG_SZ value into an existing key; the stored size counts the
// terminating zero. False when the key cannot be opened or written.
bool WriteRegistryString(HKEY root, LPCWSTR subKey, LPCWSTR valueName, LPCWSTR text);

// Deletes a value of an existing key; false when the key or the value is missing.
bool DeleteRegistryValue(HKEY root, LPCWSTR subKey, LPCWSTR valueName);
