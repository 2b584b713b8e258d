#pragma once

// Owner-drawn separators of the phrase menu: plain ones, and captioned ones whose caption stands
// right-aligned over the line. Each carries a MenuItemDrawInfo record of the separator kind.

#include <windows.h>

#include "platform/CString.h"

// True when the menu's last item is a separator (an item with id 0 that opens no sub-menu).
bool IsLastMenuItemSeparator(HMENU menu);

// Appends a separator with a record; an empty caption makes a plain one. A separator whose record
// cannot be attached is deleted again. True on success.
bool AppendSeparator(HMENU menu);
// The same, after deleting a separator that ends the menu, so that two never follow each other.
bool AppendCaptionedSeparator(HMENU menu, const CString& caption);

// Deletes the menu's last item (and frees its record) when it is a separator.
void DeleteTrailingSeparator(HMENU menu);
