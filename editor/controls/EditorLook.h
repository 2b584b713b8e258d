#pragma once

#include <string>

// Fonts, colours and small texts that the editor's windows share. The fonts are
// made on first use from the caption font of the non-client metrics and kept
// for the life of the process; a font whose making failed is tried again at
// the next call. Everything here belongs to the user-interface thread except
// the text functions, which keep no state.

#include <windows.h>

#include "platform/CString.h"

class PhraseItemRecord;

// Caption font, weight 400, face "MS Shell Dlg".
HFONT GetDialogFont();
// The dialog font with weight 400 / italic / weight 700.
HFONT GetNormalDialogFont();
HFONT GetItalicDialogFont();
HFONT GetBoldDialogFont();
// The dialog font with its height grown by a quarter.
HFONT GetMediumDialogFont();
// Caption font 1.5 times as high, weight 400 / 1.3 times as high, weight 700;
// both "MS Shell Dlg".
HFONT GetLargeDialogFont();
HFONT GetBoldLargeDialogFont();
// A copy of the font with strike-out set (the caller deletes it); null when
// the font cannot be read.
HFONT CreateStrikeOutFont(HFONT font);

// COLOR_GRAYTEXT (read once), COLOR_WINDOW and COLOR_WINDOWTEXT.
COLORREF GetGrayTextColor();
COLORREF GetWindowColor();
COLORREF GetWindowTextColor();
// The text colour of a phrase or folder in the editor's lists: the grey text colour when it is not
// checked (a folder is checked when anything below it is); else by data type: formatted text green
// (0x008000), start an application blue (0xFF0000 as a COLORREF), anything else COLOR_WINDOWTEXT.
COLORREF GetPhraseTextColor(const PhraseItemRecord& record);

// "%.2X%.2X%.2X" of red, green and blue: pure red gives "FF0000".
CString ColorToHex(COLORREF color);

// n copies of the character; empty for n 0 (or less).
CString MakeCharRun(wchar_t ch, int n);
// n copies of "»" (U+00BB).
CString MakeGuillemetsAlt(int n);
// Wide text of bytes in the ANSI code page (CP_ACP).
std::wstring AnsiToWString(const std::string& bytes);

// AppendDashLine with the default width of 30 dashes.
void AppendDefaultDashLine(CString& text, bool newlineAfter);

// An upper-cased copy (invariant mapping); empty when the text is empty or
// the mapping fails.
CString MapCaseCopy(const CString& text);
wchar_t ToUpperChar(wchar_t ch);
// Position of the pattern in the text from `start` on, ignoring case; -1 when
// either is empty or the pattern is not there.
int FindStringOpt(LPCWSTR pattern, LPCWSTR text, int start);

// Loads a menu resource of the program and translates it through the editor's
// menu localizer (when one is installed). Null when the menu does not exist.
HMENU LoadLocalizedMenu(UINT menuId);
// Translates a menu in place through the editor's menu localizer.
void LocalizeMenu(HMENU menu);
// Makes `path` the editor's language file for menus and string texts (suffix
// "_Editor"; an empty path: the built-in English); the commands made at run time (insert macro 30100-30149, languages 30000-30049,
// recent folders 30150-30159) are never translated.
void StartEditorMenuLocalizer(LPCWSTR path);
