#pragma once
// What a new phrase "from the clipboard" is made of: the clipboard's RTF when it holds a non-empty
// one (kind 1), else its Unicode (else ANSI) text (kind 0), and a menu name made from the body's
// plain text.

#include "platform/CString.h"

#include <windows.h>

#include <string>

struct ClipboardPhrase
{
    CString body;
    int kind = 0; // 0 plain text, 1 RTF
    CString menuName;
};

// The menu name of a plain text: trimmed of tab, CR, LF and blank at both ends, then cut before the
// first CR or LF found after the first character.
CString MenuNameFromPlainText(const CString& text);

// The body of clipboard RTF bytes: taken as they stand when they begin with "{\urtf" (UTF-8), else
// widened from their 8-bit characters.
CString RtfBodyFromClipboardBytes(const std::string& bytes);

// Reads the clipboard (opened for `owner`) into `out`; false when it holds neither RTF nor text.
bool ReadClipboardPhrase(HWND owner, ClipboardPhrase& out);
