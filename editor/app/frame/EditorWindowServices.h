#pragma once
// Window services the editor's windows share: the rich-edit set-up of the phrase texts, the
// drop-down width of combos, the keyboard layout of a window, a bold copy of a window's font, the
// administrator test and the choice of the regional web pages.

#include <windows.h>

#include "platform/CString.h"

// The dialog font; automatic word selection, automatic vertical scrolling, selection kept while
// unfocused and the selection bar added to the options; left and right margins of 10 pixels; the
// formatting rectangle moved 7 pixels down. False when the edit is no window.
bool SetupRichEditMargins(HWND edit);

// The drop-down list becomes `percent` % of the combo's width; false when the combo's rectangle is
// empty.
bool SetComboDropWidth(HWND combo, int percent);

// The low word (language id) of the keyboard layout of the window's thread; the calling thread's
// layout when the window is null or gone.
WORD GetKeyboardLayoutOf(HWND window);
// GetKeyboardLayoutOf as a locale id with the default sort.
LCID GetKeyboardLocaleOf(HWND window);

// A copy of the window's font with weight 700; the caller deletes it. Null when the window has no
// readable font.
HFONT CreateBoldWindowFont(HWND window);

// True when the process belongs to the Administrators group; false when the test fails.
bool IsRunningAsAdmin();

// True when the language file named in the settings has a prefix of the regional set (Russian web
// pages); false when the settings name none.
bool IsRuUrlsLanguage();
// The same for a given language file name (in the program folder unless it holds a backslash).
bool IsRuUrlsLanguageFile(const CString& fileName);
