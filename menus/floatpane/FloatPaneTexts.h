#pragma once

// The texts the floating history pane makes from history items: row texts,
// the short text of the selection for the item menu, the save dialog's
// filter and suggested file name, and the information block of item tips.

#include <windows.h>

#include <string>

#include "engine/CCHItem.h"
#include "platform/CString.h"

// The text a list row shows: bitmaps a fixed word, clips their description,
// other items their preview on one line; "ERROR" when nothing can be made.
// CR, LF and tabs are trimmed at both ends.
CString MakePaneRowText(const CCHItem* item, int maxChars);

// The short text of the selection for the item menu: leading line breaks and
// tabs dropped, tabs made blanks, runs of blanks shortened, leading "?" and
// blanks dropped, and a long text cut near 25 characters (at a blank when
// one follows within 50) with "…" appended.
CString CleanSelectionShortText(const CString& preview);

// "  [text]" plus, for more than one selected row, " + " and the and-more
// text before the closing bracket; empty for an empty text.
CString MakeSelectionMenuText(const CString& cleaned, int selectedCount, const CString& andMoreText);

// What the save dialog offers for an item.
struct PaneSaveDialogSpec
{
    CString filter;           // "|"-separated, ends with "||"
    CString defaultExtension; // of the first filter: ".htm", ".txt", ".rtf", ".ovl" or ".bmp"
    bool htmlFilter = false;  // the first filter is the HTML one
    CString suggestedName;
};
PaneSaveDialogSpec MakeSaveDialogSpec(const CCHItem& item);
// The filter in the NUL-separated form of OPENFILENAMEW.
std::wstring MakeNulSeparatedFilter(const CString& filter);

// Which day a capture fell on, counted back from today in local dates: 0
// today, 1 yesterday, 2 two days ago, -1 earlier (or in the future).
int CaptureDayIndex(const SYSTEMTIME& captureLocal, const SYSTEMTIME& nowLocal);

// The information block of an item tip (formats, size, capture time, source,
// file, URL), one bulleted line each.
CString MakeItemInfoBlock(const CCHItem& item, const SYSTEMTIME& nowLocal);
// The whole tip: information block, a dash line, the preview.
CString MakeItemTipText(const CCHItem& item, int maxChars);
