#pragma once
// Small services the editor's windows share: the clipboard's first line, the sound files of the
// program folder, class names from the registry, the log file's open-with choice and derived fonts.

#include "online/CommandRunners.h"
#include "platform/CString.h"

#include <windows.h>

#include <vector>

// The text up to its first "\r\n"; with `cutAtTab` further cut at its first tab when that is not
// at position 0.
CString FirstLineOf(const CString& text, bool cutAtTab);
// FirstLineOf the clipboard's Unicode text; false when there is none.
bool ReadClipboardFirstLine(CString& out, bool cutAtTab = false);

// The names of the "*.wav" files of the folder (the list is cleared first); their number.
int ListSoundFiles(const CString& folder, std::vector<CString>& names);

// HKCR\name's default value -> "CLSID\" + it -> its default value; when that is empty, the default
// value of HKCR\name; empty on any failure.
CString GetRegistryClassText(const CString& name);

// Opens the shell's open-with choice for the file ("Rundll32.exe" "shell32.dll,OpenAs_RunDLL " +
// path). On failure a warning box (or `box`) "Cannot open log file: " + path + "\n\nError Code: " +
// the error number + "\n" + the system's text, titled "Scrivolanter : RedodeZovuva".
bool OpenLogFileWith(HWND owner, const CString& path, const CommandReportBox& box = {});

// A new font from the font's description. Each mode of `spec`: weight 1 = 700, 2 = 400, 3 = swap
// 700 and 400; italic, strike-out and underline 1 = on, 2 = off, 3 = toggle; 0 leaves the value.
struct FontDerivation
{
    int weight = 0;
    int italic = 0;
    int strikeOut = 0;
    int underline = 0;
};
HFONT DeriveFont(HFONT font, const FontDerivation& spec);
