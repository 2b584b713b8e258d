#pragma once

// The preview texts of a clipboard-history item that menus, tooltips and the
// floating pane show.

#include "engine/CCHItem.h"
#include "platform/CString.h"

// The item's text at most `maxChars` characters long (0 means 200); a longer
// text is cut and "& " appended. Shown from the item's Unicode text, else its
// Unicode or ANSI text part, else the item itself: RTF as its plain text,
// "Ovelline Document Data" for a clip, "Bitmap" for a picture.
CString GetItemPreviewText(const CCHItem& item, int maxChars);
// The caption of the item in the tray menu: the preview (1000 characters)
// shortened at a word to at most 100 characters.
CString GetItemMenuCaption(const CCHItem& item);
// The preview for a line of the phrase pop-up menu (150 characters).
CString GetItemMenuLine(const CCHItem& item);
// The preview for the floating pane.
CString GetItemPreviewForPane(const CCHItem& item, int maxChars);
// The length in characters of the whole text GetItemPreviewText shows a part
// of (0 for a picture or a clip), taken without converting the text: RTF is
// counted by reading it once (GetRtfPlainTextLength).
int GetItemTextLength(const CCHItem& item);
