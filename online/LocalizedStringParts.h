#pragma once

// Localised strings made of a first line and the rest (a title and its text).

#include <windows.h>

#include "platform/CString.h"

// The text before (`first`) or after its first "\n", searched from the second
// character on; the whole text when it has none.
CString SplitAtFirstLineBreak(const CString& text, bool first);

// The localised string of the id up to its first "\n"; the whole text when it
// has none.
CString GetLocalizedStringFirstLine(UINT id);
// The localised string's part after its first "\n"; the whole text when it
// has none; empty when the id has no text.
CString GetLocalizedStringRest(UINT id);
