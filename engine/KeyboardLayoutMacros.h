#pragma once
// The layout macros: "%ACTIVATE_KL_" + the ISO 639 name of an installed keyboard layout's language
// (upper case) + "%". A phrase that holds one asks for that layout to be switched on before it is
// inserted; the macro itself stands for nothing.

#include "platform/CString.h"

#include <windows.h>

#include <cwchar>
#include <map>

struct OrdinalTextLess
{
    bool operator()(const CString& a, const CString& b) const noexcept { return wcscmp(a, b) < 0; }
};

// Layout macro name -> language id, in ordinal order of the names.
using LayoutMacroMap = std::map<CString, LANGID, OrdinalTextLess>;

// The map of the installed layouts (read now, through the macro environment); a later layout of
// the same language overwrites the id. Empty when the layouts cannot be read.
LayoutMacroMap BuildLayoutMacroMap();

// Removes every layout macro from the text; the language id of the last macro (in name order)
// that occurred, 0 when none did.
LANGID RemoveActivateKlMacros(CString& text);

// The layout the text asks for as a two-letter language abbreviation ("RU" from "RUS"); empty
// when the text asks for none or the locale cannot tell.
CString GetActivateKlLangAbbrev(const CString& text);
