#pragma once
// The editor's entry points to the phrase macro engine: the macro table by index, values and
// expansion of plain texts (the engine's own), expansion inside a rich-edit control, the split of a
// text at input markers with the editor's part kinds, and the value previews of the macro tips.

#include "engine/InputMarkers.h"
#include "platform/CString.h"

#include <windows.h>

#include <vector>

// Kinds of the parts of SplitAtInputMarkers.
enum EditorTextPartKind
{
    kPartPlainOrMarker = 5, // a plain part after a marker, or a marker part
    kPartBeforeFirstMarker = 6,
    kPartUnclosedMarker = 7, // from a start marker without end marker to the end of the text
    kPartWholeText = 11,     // a text without any marker
};

struct EditorTextPart
{
    CString text;
    int kind = kPartWholeText;
    const InputMarker* marker = nullptr; // a marker part's record
};

// The value of one macro in the editor: the macro engine's, except that "%NUMBERCHARS_SELTEXT%" and
// "%NUMBERCHARS_CLIPBOARD%" are the number of characters of those texts in decimal and
// "%SCV_VERSION%" is the file version of the main program (not of the editor running this).
CString GetEditorMacroValue(const CString& name, const CString& selectedText, const CString& clipboardText,
                            LCID lcid);
// The macro engine's expansion of a plain text with the editor's values.
int ExpandEditorPhraseMacros(CString& text, const CString& selectedText, const CString& clipboardText,
                             int* cursorBack, LANGID* layoutId, LCID lcid);

int GetMacroCount();
// Empty outside the table.
CString GetMacroName(int index);

// Every macro of the control's text replaced in place by its value; the search goes on after each
// inserted value, so a value that holds its own name is never expanded again. "%CURSOR_POS%" and
// "%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%" are removed last. The number of replacements.
int ExpandMacrosInRichEdit(HWND richEdit, const CString& selectedText, const CString& clipboardText,
                           LCID lcid);

// Plain parts and input-marker parts of a text, in order.
void SplitAtInputMarkers(const CString& text, std::vector<EditorTextPart>& parts);

// Removes every keyboard-layout macro; the language id of the last one removed (0 when none).
LANGID RemoveLayoutMacros(CString& text);

// Empty for a name that is no keyboard-layout macro; else `description` + "\r\r     " + the
// upper-cased language name of the macro's language (only the description when that is empty).
CString DescribeLayoutMacro(const CString& name, const CString& description);

// The values of the macro for each installed keyboard layout (at most 10), distinct and sorted,
// joined by "\n\n"; the selected text stands as `selectedText`, the clipboard text is the
// clipboard's. Without layouts: the value in the locale of the window's thread layout.
CString PreviewMacroValue(const CString& name, HWND window, const CString& selectedText);
