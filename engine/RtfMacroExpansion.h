#pragma once
// Macro expansion of RTF texts in a rich-edit control: the RTF is loaded into the control, each
// macro is found and replaced there (a value takes the colour of the text before its macro) and
// the control's content is given back as RTF. Positions are character positions of the control,
// where a paragraph break is one character, so caret steps count a line break once.

#include "platform/CString.h"

#include <windows.h>

#include <vector>

// Expands the macros of an RTF text in the rich-edit window `richEdit` (the hidden converter or
// any other). Layout macros are removed (the id of the last one found goes to `layoutId`); the
// selected text is used as it is. Every "%CURSOR_POS%" is removed and `caretSteps` gets the number
// of characters from the first one to the end of the expanded text. The RTF is replaced only when
// something was replaced. Returns the number of replacements; 0 (RTF unchanged) when it cannot be
// loaded. Either out pointer may be null.
int ExpandRtfMacros(CString& rtf, const CString& selected, const CString& clipboard, int* caretSteps,
                    LANGID* layoutId, LCID lcid, HWND richEdit);

// Finds `find` (letter case ignored) from `start` on and replaces it, giving the replacement the
// colour of the character before it. The position where it was found, -1 when not found; `end`
// (may be null) gets the position just after the inserted replacement.
int RichEditReplaceText(HWND richEdit, const CString& find, const CString& replacement, int start, int* end);

// The language id of the last layout macro an RTF body holds (in name order); 0 for none or when
// the RTF cannot be loaded into the converter.
LANGID GetRtfActivateKlLayout(const CString& rtf);

// True when the text of the RTF (loaded into the converter) holds any of the texts, letter case
// ignored; also true when the RTF cannot be loaded.
bool RtfContainsAnyText(const CString& rtf, const std::vector<CString>& texts);
