#pragma once

// Titles and small texts of the editor: data-format names, the title with
// version, build and rights, the main window's caption with the phrases folder
// and its state, the build stamp, and deleting into the recycle bin.

#include <windows.h>

#include "platform/CString.h"

// 0 plain text, 1 formatted text (RTF), 2 start application (localised
// strings 61212, 61213, 134); other values as decimal text.
CString GetDataFormatName(int format);

// What the title is made of: the program's product version and whether the
// user is an administrator. `hasVersion` false when no version could be read.
struct EditorTitleFacts
{
    bool hasVersion = false;
    CString versionHead; // product version up to its last dot ("2.6.0")
    CString versionTail; // the build number after it ("785")
    bool isAdmin = false;
};

// The facts of the running program.
EditorTitleFacts GetEditorTitleFacts();

// "Scrivolanter : RedodeZovuva" + " " + the version head without its last dot
// ("2.60") + " " + label + " " + tail (label + tail without blanks for a
// label of one character; an empty label counts as "b"), then "^" for an
// administrator, or " [" + string 201 + "]" for another user.
CString BuildEditorTitle(LPCWSTR label, const EditorTitleFacts& facts);
CString BuildEditorTitle(LPCWSTR label);

// BuildEditorTitle("build") + " - " + the phrases folder without a trailing
// backslash, with "  !!!!NOT EXISTS !!!!" when the folder is missing or
// "  !!!!WRITING DENIED !!!!" when the user may not write it.
CString BuildFrameCaption(const EditorTitleFacts& facts, const CString& phrasesFolder);
CString BuildFrameCaption();

// The compile date and time: "Mmm dd yyyy hh:mm:ss".
CString GetEditorBuildStamp();

// Deletes a file or folder into the recycle bin (asking first when `confirm`);
// true when the shell did it and the user did not abort.
bool DeleteToRecycleBin(HWND owner, LPCWSTR path, bool confirm);
bool DeleteToRecycleBin(LPCWSTR path);
