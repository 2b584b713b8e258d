#pragma once
// Phrase macros: upper-case names between percent signs that stand for a value of the moment (the
// selected text, the clipboard text, dates, versions, the user name ...), for a key press, for the
// place where the caret is to end ("%CURSOR_POS%") or for a keyboard layout to switch to (see
// KeyboardLayoutMacros.h). This file holds the macro table, the value of each macro and the
// expansion of plain texts; RtfMacroExpansion.h expands RTF texts.
//
// Clock, keyboard layouts and clipboard are read through the macro environment (MacroEnvironment.h).

#include "common/DateTimeTexts.h"
#include "engine/KeyboardLayoutMacros.h"
#include "platform/CString.h"

#include <windows.h>

#include <vector>

class PhraseItemRecord;

inline constexpr wchar_t kMacroCursorPos[] = L"%CURSOR_POS%";
inline constexpr wchar_t kMacroTrimProtocols[] = L"%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%";
inline constexpr wchar_t kMacroUrlFromClipboard[] = L"%URL_FROM_CLIPBOARD%";

// Every macro name, layout macros of the installed layouts included, in ordinal order. Built on
// first use (again after the macro environment changed).
const std::vector<CString>& GetMacroTable();

// True for the names whose value does not depend on the moment: "%CURSOR_POS%", the user name, the
// three version macros and every layout macro.
bool IsStaticMacro(const CString& name, const LayoutMacroMap& layouts);

// The value of one macro (name compared without regard to case); empty for names that stand for
// no text ("%CURSOR_POS%", "%PROMPT_TEXT={}%", layout macros, unknown names). Date macros use the
// locale `lcid`.
CString GetMacroValue(const CString& name, const CString& selected, const CString& clipboard, LCID lcid);

// Expands the macros of a plain text in place and returns the number of replacements.
// - "%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%" is removed; only when the text held it, leading "http://"
//   and "https://" are stripped from the selected text before it is used.
// - Layout macros are removed; the language id of the one asked for goes to `layoutId` (0: none).
// - Table names are replaced case-sensitively in table order; a value is not searched again for
//   its own name, but later names are found in it.
// - Every "%CURSOR_POS%" is removed; `caretSteps` gets the number of Left-key steps from the end of
//   the expanded text back to where the first mark stood (a CR LF pair counts as one step).
// Either out pointer may be null.
// `valueOf` gives the values (GetMacroValue unless a program has its own rules for some names).
using MacroValueSource = CString (*)(const CString& name, const CString& selected, const CString& clipboard,
                                     LCID lcid);
int ExpandPhraseMacros(CString& text, const CString& selected, const CString& clipboard, int* caretSteps,
                       LANGID* layoutId, LCID lcid, MacroValueSource valueOf = &GetMacroValue);

// ExpandPhraseMacros with empty selected and clipboard texts and the user's default locale.
CString ExpandMacrosInText(const CString& text);

// ExpandPhraseMacros for a target window: line breaks of the selection become blanks and the
// locale is the language of the keyboard layout of the window's thread.
CString ExpandMacrosForWindow(HWND target, const CString& text, const CString& selected,
                              const CString& clipboard);

// The URL at the start of a text (leading blanks, tabs and line breaks skipped): an http, https or
// ftp URL up to the first blank, tab or line break. With `wantUrl` false: the rest of the text
// after that URL instead (the whole trimmed text when it starts with no URL).
CString UrlFromText(const CString& text, bool wantUrl);

// The ISO 639 name (iso) or the full language name of a locale; empty on failure.
CString GetLocaleLanguageText(LCID lcid, bool iso);

// True when the phrase's body holds a macro whose value depends on the moment (anything outside
// the static names). RTF bodies are searched in the rich-edit converter; one that cannot be
// loaded counts as dynamic.
bool PhraseHasDynamicMacros(const PhraseItemRecord& record);
