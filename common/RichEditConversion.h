#pragma once

// Conversion between RTF and plain text, and RTF edits, in rich edit controls.
//
// Streaming helpers work on any rich edit window (Rich Edit 2.0 or later).
// RTF always crosses into and out of a control as 8-bit text: UTF-16 RTF is
// narrowed with "\uN" escapes before it is streamed in, and RTF streamed out is
// widened (common/RtfTextCoding.h). Plain text travels as UTF-16.
//
// The hidden converter is one rich edit window per process, created on first
// use by GetRichEditConverter on the user-interface thread, as a child of the
// window given to SetRichEditConverterParent (a message-only window when none
// was given). It is created again when its window has gone (for instance with
// its parent). Every converter operation replaces the converter's whole
// content; all of them belong to the user-interface thread. When the converter
// cannot be created every operation gives an empty result or 0.
//
// Positions and lengths are characters as EM_GETTEXTLENGTHEX (GTL_NUMCHARS)
// counts them: a paragraph break is one character (common/RichEditEditing.h).

#include <windows.h>

#include <string>

#include "platform/CString.h"

// --- Streaming helpers --------------------------------------------------------

// Streams `bytes` bytes of `data` into the control with EM_STREAMIN, replacing
// the whole content (or the selection when selectionOnly).
//   rtf && unicode   : UTF-16 RTF (narrowed first, see above)
//   rtf && !unicode  : 8-bit RTF
//   !rtf && unicode  : UTF-16 plain text
//   !rtf && !unicode : plain text in the ANSI code page
// limitBytes (0 = none) stops the stream after that many bytes of the input
// (for UTF-16 input: after limitBytes / 2 characters). True when the control
// took at least one character.
bool StreamIn(HWND richEdit, const void* data, size_t bytes, bool unicode, bool rtf,
              bool selectionOnly = false, size_t limitBytes = 0);
// 8-bit RTF up to its terminating NUL.
bool StreamInAnsiRtf(HWND richEdit, const char* bytes);
// 8-bit RTF of a given size.
bool StreamInAnsiRtf(HWND richEdit, const char* bytes, size_t size);
// A text that is RTF ("{\rtf" or "{\urtf", see LooksLikeRtf) is loaded as RTF,
// any other text as plain text. Replaces the whole content.
bool SetRichEditTextAuto(HWND richEdit, const CString& text);
// UTF-16 RTF, the whole content.
bool SetRichEditRtf(HWND richEdit, const CString& rtf);
// UTF-16 RTF, the whole content; limitChars > 0 loads only the first
// limitChars characters of the RTF text.
bool StreamInWide(HWND richEdit, const CString& rtf, int limitChars = 0);

// The content (or the selection) as plain text (CR LF line breaks) or as RTF.
// Empty when there is nothing or the control is not a rich edit window.
CString StreamOutWide(HWND richEdit, bool plain, bool selectionOnly);
CString GetRichEditRtf(HWND richEdit);          // StreamOutWide(false, false)
CString GetRichEditPlainText(HWND richEdit);    // StreamOutWide(true, false)
CString GetRichEditSelectedText(HWND richEdit); // StreamOutWide(true, true)
// The content (or the selection) as 8-bit RTF; empty when there is nothing.
std::string StreamOutAnsiRtf(HWND richEdit, bool selectionOnly = false);

// --- The hidden converter -------------------------------------------------------

// The parent of the converter window (the tray window sets itself at start-up).
void SetRichEditConverterParent(HWND parent);
// The converter window, created on first use; null when it cannot be created
// (tried again on the next call).
HWND GetRichEditConverter();

// RTF (or plain text) to plain text.
CString RtfToPlainText(const CString& rtf);
// 8-bit RTF (NUL-terminated) to plain text.
CString RtfBytesToPlainText(const char* bytes);
// The first `chars` characters of the plain text of an RTF text, loading only
// about the first 10 x chars characters of the RTF; the whole plain text when
// chars is 0 or that part gives nothing (for instance when it is hidden text).
CString RtfToPlainTextPrefix(const CString& rtf, int chars);
CString RtfToPlainTextAll(const CString& rtf); // RtfToPlainTextPrefix(rtf, 0)

// Loads `text` (as RTF or plain text), inserts `insert` at its end and gives
// the result as RTF or as plain text.
CString ReplaceRichTextSelection(const CString& text, bool textIsRtf, const CString& insert,
                                 bool resultAsRtf);

// Replaces every occurrence of `find` (not case-sensitive) in the converter's
// content; returns the number of replacements.
int ReplaceAllInConverter(LPCWSTR find, LPCWSTR replacement);

// Joins the lines of the 8-bit RTF in `buffer` (NUL-terminated, bufferSize
// bytes of room): every paragraph and line break becomes a blank, formats are
// kept. Returns the number of breaks replaced; 0 when there were none, the RTF
// could not be loaded or the result does not fit (the buffer is then unchanged).
int JoinRtfLines(char* buffer, size_t bufferSize);
// Removes every character of `chars` from both ends of the text of the 8-bit
// RTF in `buffer` (a paragraph break is '\r'); returns the number removed, 0
// (buffer unchanged) as for JoinRtfLines.
int RemoveCharsFromRtf(char* buffer, size_t bufferSize, LPCWSTR chars);
// The 8-bit RTF with its text in upper or lower case; every other character
// format (bold, colour, font, size ...) is kept. Empty when it cannot be loaded.
std::string ChangeRtfCase(const char* bytes, bool upper);
// The same for UTF-16 RTF.
CString ChangeRtfCase(const CString& rtf, bool upper);
