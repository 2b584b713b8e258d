#pragma once

// Locale texts, keyboard layouts by language, the user's country and the
// language of a module's own resources.

#include "platform/CString.h"

#include <windows.h>

// GetLocaleInfoW of the locale and type; empty on failure.
CString GetLocaleString(LCID locale, LCTYPE type);
// Day 0 = Sunday to 6 = Saturday, full or abbreviated; empty for other days.
CString GetLocaleDayName(int dayOfWeek, LCID locale, bool abbreviated);
// Month 1 to 12, full or abbreviated; empty for other months.
CString GetLocaleMonthName(int month, LCID locale, bool abbreviated);

// The language id of the first installed keyboard layout whose three-letter
// language abbreviation (cut to the text's length) equals the text without
// case; 0 for an empty text or when none matches.
LANGID FindKeyboardLayoutByLangAbbrev(const wchar_t* abbreviation);

// GetGeoInfoW of the user's nation in the user's language; empty when unavailable.
CString GetUserGeoInfoText(GEOTYPE type);
CString GetUserCountryName();
CString GetUserCountryOfficialName();
// Two-letter (ISO 3166-1 alpha-2) or three-letter code.
CString GetUserCountryIsoCode(bool twoLetters);

// The language of the module's resources (the program's own for null): of its
// first string table, else its first dialog, else its version resource. 0 when
// none has a language; the names are then "Neutral".
LANGID GetOwnResourceLanguage(HMODULE module, CString* englishName = nullptr,
                              CString* localizedName = nullptr);
