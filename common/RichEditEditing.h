#pragma once

// Small edits in any rich edit window (Rich Edit 2.0 or later), by messages.
//
// Positions and lengths are characters as EM_GETTEXTLENGTHEX with
// GTL_NUMCHARS counts them, which is how the control counts positions: a
// paragraph break is one character ('\r'). (WM_GETTEXTLENGTH counts it as CR LF
// and must not be mixed with positions.)

#include <windows.h>

#include <richedit.h>

#include "platform/CString.h"

// The number of characters (a paragraph break counts 1).
LONG GetRichEditTextLength(HWND richEdit);
// The characters first .. last (last excluded; -1: to the end), paragraph
// breaks as '\r'.
CString GetRichEditTextRange(HWND richEdit, LONG first, LONG last);
void SetRichEditSelection(HWND richEdit, LONG first, LONG last);

// The first occurrence of `text` at or after `start` (EM_FINDTEXTEXW,
// downward); {-1, -1} when there is none.
CHARRANGE FindRichEditText(HWND richEdit, LPCWSTR text, LONG start, bool matchCase = false);

// Replaces every occurrence of `find`; the search goes on after each inserted
// replacement, so a replacement that holds `find` is not replaced again.
// Returns the number of replacements.
int ReplaceAllRichEditText(HWND richEdit, LPCWSTR find, LPCWSTR replacement, bool matchCase = false);

// Deletes `ch` at the end of the text, then at its start, as long as it is
// there. Returns the number of characters deleted.
int StripRichEditCharAtEnds(HWND richEdit, wchar_t ch);

// Changes the text to upper or lower case in place, run by run, so that every
// other character format stays as it was; embedded objects are left alone.
// Returns the number of characters changed.
int ChangeRichEditCase(HWND richEdit, bool upper);
