#pragma once

// Shortening long texts for display by cutting out their middle.

#include "common/StringPair.h"
#include "platform/CString.h"

// The text put where a middle was cut out: three short lines of ellipses.
extern const wchar_t kMiddleEllipsisSeparator[];

// A text of `maxLength` characters or more becomes its first maxLength / 2
// characters, the separator and its last maxLength / 2 characters; a shorter
// text (or a maxLength of 0 or less) leaves it unchanged.
CString CutMiddle(const CString& text, int maxLength);

// For a pair {full text, short text}: when the short text is empty and the
// full text is not, the short text becomes the full text cut in the middle at
// 100 characters. Returns the short text.
CString GetShortDisplayText(CStringPair& texts);
