#pragma once

// The texts of a clipboard-history item in the phrase menu: its text content, the caption of its
// menu line and its tooltip, each cached in the item once built.

#include "platform/CString.h"

class IMenuHistoryItem;
class IPhraseMenuHost;

// The longest caption of a history item in the phrase menu.
inline constexpr int kHistoryMenuCaptionChars = 60;

// The text of a text item: ANSI text converted to UTF-16, Unicode text as it is, RTF as its 8-bit
// source; read no further than the item's size. Empty for the other types.
CString GetHistoryItemText(const IMenuHistoryItem& item);

// What choosing the item inserts: Unicode or ANSI text as plain text (data type 0), RTF as
// formatted text (data type 1). False for the other types (they are not inserted).
bool GetHistoryItemCommand(const IMenuHistoryItem& item, CString& text, int& dataType);

// The item's menu caption: the cached one, else its menu line shortened to 60 characters (which
// is then cached). `full` (may be null) gets the text before shortening.
CString GetHistoryItemMenuCaption(IMenuHistoryItem& item, CString* full);

// The item's tooltip: the cached one, else built and cached. First line: the kind of insertion
// (or the document text for a document item) + ": " + "Data from clipboard history"; then the
// character and line counts and the content reduced to its first and last lines; the source
// address first when there is one. `host` gives the character count text (may be null: no count).
CString GetHistoryItemTipText(IMenuHistoryItem& item, IPhraseMenuHost* host);
