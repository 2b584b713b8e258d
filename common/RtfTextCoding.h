#pragma once

// RTF as UTF-16 text and RTF as 8-bit text.
//
// The program keeps RTF in CString (UTF-16), but rich edit controls read and
// write RTF reliably only as 8-bit text (several builds refuse UTF-16 RTF on
// input and write 8-bit RTF even when asked for UTF-16). RTF therefore always
// crosses into and out of a control as 8-bit text, converted here:
//  - narrowing keeps ASCII as it is and writes every other character as an RTF
//    Unicode escape "\uN" (N the signed 16-bit code unit) followed by as many
//    '?' fall-back characters as the "\ucN" in force asks for (1 by default);
//    a leading "{\urtf" becomes "{\rtf";
//  - widening decodes the bytes with the document's "\ansicpgN" code page
//    (the ANSI code page when there is none or it is unusable).
// 8-bit RTF is never reinterpreted as UTF-16 or the other way round.

#include <windows.h>

#include <string>

#include "platform/CString.h"

// True when the text, after leading blanks and line breaks, starts with
// "{\rtf" or "{\urtf" (case-insensitive).
bool LooksLikeRtf(LPCWSTR text, int length = -1);
bool LooksLikeRtf(const char* bytes, size_t size);

// UTF-16 RTF (length in characters, -1: up to the terminator) to 8-bit RTF.
std::string NarrowRtfText(LPCWSTR rtf, int length = -1);

// 8-bit RTF (size in bytes) to UTF-16 RTF.
CString WidenRtfText(const char* bytes, size_t size);

// The N of the first "\ansicpgN" in the bytes, 0 when there is none.
UINT FindRtfAnsiCodePage(const char* bytes, size_t size);
