#pragma once

// Conversions between UTF-16 and narrow text, and direct access to a string's
// characters. An empty or null text, or a failed conversion, gives an empty
// result.

#include <windows.h>

#include <string>

#include "platform/CString.h"

// Narrow text in `codePage` to UTF-16.
CString MultiByteToWideString(const char* text, UINT codePage);
CString AnsiToWide(const char* text); // CP_ACP
CString Utf8ToWide(const char* text); // CP_UTF8

// UTF-16 to narrow text in `codePage`.
std::string WideToMultiByteString(LPCWSTR text, UINT codePage);
std::string WideToThreadAnsi(LPCWSTR text); // CP_THREAD_ACP
std::string WideToUtf8(LPCWSTR text);       // CP_UTF8

// Gives the string a writable buffer of `length` characters (and a terminator),
// its length set to `length`; null for a negative length. The caller fills it.
wchar_t* SetStringLength(CString& text, int length);
