#pragma once

// The texts the Miscellaneous settings page builds beyond its dialog resource:
// the control tips that carry values (last update check, log path, the
// combos' items) and the rows of the kept clipboard formats, which name the
// system's description of each file type.

#include <windows.h>

#include "platform/CString.h"

// "Automatically check for updates": what it does, when it runs, and the last
// check as given.
CString AutoUpdatesTip(const CString& lastCheck);
// "Write log to file": the log file's path and the warning that logging slows down.
CString WriteLogTip(const CString& logPath);
// "Enable sounds": what sounds, then the sample sound on a new line.
CString SoundsTip();

// A combo's tip: its selected item's text; empty when none is selected.
CString SelectedComboItemTip(HWND combo);
// The selected item's text, a rule of 25 em dashes, then each other item on a
// line of its own in the house style (five blanks and a bullet).
CString ComboChoicesTip(HWND combo);

// The system's description of a file type given by its extension (".txt"):
// the shell's type name, else the registry's text of the type's class; empty
// when the system knows none.
CString GetFileTypeDescription(LPCWSTR extension);
// A row of the kept-formats list: the description (when the system has one)
// and ", ", the kind, then " [" + extension + "]".
CString FormatRowText(const CString& description, const CString& kind, LPCWSTR extension);
