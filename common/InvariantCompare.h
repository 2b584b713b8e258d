#pragma once

// Text comparison and case mapping that do not depend on the user's locale
// (LOCALE_INVARIANT). A null text counts as empty.

#include <windows.h>

#include "platform/CString.h"

// True when both are the same pointer or CompareStringW(LOCALE_INVARIANT)
// finds them equal; letter case counts.
bool IsEqualInvariant(LPCWSTR a, LPCWSTR b);

// <0, 0, >0 like wcscmp. Unless caseSensitive, characters that differ are
// compared upper-cased (invariant mapping). When one text ends first, the
// result is the difference of the two characters where it ended.
int CompareTextCaseOpt(LPCWSTR a, LPCWSTR b, bool caseSensitive);

// The position of `part` in `text` from index `start` on, ignoring case
// (both upper-cased with the invariant mapping); -1 when either is empty, the
// start is out of range or the part is not found.
int FindTextCaseOpt(LPCWSTR text, LPCWSTR part, int start);
// FindTextCaseOpt from the start of the text.
inline int FindNoCase(LPCWSTR text, LPCWSTR pattern)
{
    return FindTextCaseOpt(text, pattern, 0);
}

// Upper-cases / lower-cases the text with the invariant mapping; false when
// the mapping fails (the text then stays unchanged). True for an empty text.
bool MakeUpperInvariant(CString& text);
bool MakeLowerInvariant(CString& text);
