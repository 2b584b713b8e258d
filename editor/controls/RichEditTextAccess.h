#pragma once
// Reading and writing a rich-edit control's text as plain text or RTF, and the parts of the text
// that show. RTF crosses the control boundary as 8-bit RTF (the shared converter's streaming).

#include "platform/CString.h"

#include <windows.h>

// First and last visible character positions: the first visible line's first character and the
// character at the client area's bottom-right corner. False when the window is no window.
bool GetRichEditVisibleRange(HWND richEdit, LONG& first, LONG& last);
// EM_SELECTIONTYPE answers SEL_EMPTY.
bool IsRichEditSelectionEmpty(HWND richEdit);

// The whole text (or the selection) as plain text with CR LF breaks, or as RTF; empty for an empty
// control.
CString GetRichEditText(HWND richEdit, bool asRtf, bool selectionOnly);
inline CString GetRichEditRtfText(HWND richEdit)
{
    return GetRichEditText(richEdit, true, false);
}
inline CString GetRichEditPlainTextAll(HWND richEdit)
{
    return GetRichEditText(richEdit, false, false);
}
inline CString GetRichEditSelectionText(HWND richEdit)
{
    return GetRichEditText(richEdit, false, true);
}
// Replaces the whole text: as RTF when the text is longer than "{\urtf" and begins with "{\rtf" or
// "{\urtf" (any case), else as Unicode text. True when the control took the text (an empty text
// empties the control).
bool SetRichEditText(HWND richEdit, const CString& text);
