#pragma once

// Copying the target window's selected text through the clipboard, for
// targets whose selection the core hook DLL could not read.

#include <windows.h>

#include "platform/CString.h"

// Asks the tray window to keep the program's own copy out of the clipboard
// history, empties the clipboard, presses Ctrl+C (SendInput), sends WM_COPY to
// the target (giving up on a hung target after a second), waits (up to a
// second) until the clipboard belongs to the target's process and reads the
// clipboard's Unicode text, else its ANSI text. The target's copy counts as the
// program's own clipboard change whenever it lands, until the request ends. True when a text
// came back; `text` is empty otherwise. Uses the clipboard and the keyboard:
// the target should be the foreground window.
bool CopySelectionByCtrlC(HWND target, CString& text);

// The clipboard's Unicode text, else its ANSI text converted from the ANSI
// code page; empty when there is none or the clipboard cannot be opened.
CString ReadClipboardTextForQuery();
