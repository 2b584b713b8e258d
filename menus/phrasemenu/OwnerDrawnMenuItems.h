#pragma once

// Measuring and drawing the owner-drawn items of the phrase pop-up menu from
// their MenuItemDrawInfo records, and the process-wide objects that takes:
// the eight menu fonts, the item icons, the side band (the strip with the
// program icon and the upward text beside the top-level items), the menu item
// height and the menu being shown.
//
// User-interface thread only.

#include <windows.h>

#include "platform/CString.h"

class MenuItemDrawInfo;

// --- Measure and draw ----------------------------------------------------------

// WM_MEASUREITEM: item width = text + right text (one line, in the font the
// item is drawn in) + 29 + the room the drawing takes before the caption
// (side band, icon column, number prefix); height = the menu item height, two
// thirds of it for a separator without caption, +4 for sub-menu items, +4 for
// every other item. An item without a record is reported ("M_INFO is NULL on
// MeasureImpl") and left unchanged. Returns TRUE.
BOOL MeasureMenuItem(MEASUREITEMSTRUCT* measure);

// WM_DRAWITEM for one item: background (highlight, info or menu colour, odd
// rows a shade darker), side band beside top-level items, icon column, number
// prefix, caption, caret mark, right text, red frame for the default item.
// Returns TRUE.
BOOL DrawMenuItem(DRAWITEMSTRUCT* draw);

// --- Fonts ---------------------------------------------------------------------

// One of the eight fonts made from the "FontForMenu" setting, created on first use.
HFONT GetMenuFont(bool underline, bool italic, bool bold);
inline HFONT GetPlainMenuFont()
{
    return GetMenuFont(false, false, false);
}
// Deletes the eight fonts (they are made again when next used).
void ClearMenuFonts();

// --- Icons ---------------------------------------------------------------------

// The icon kind of an item: 3 document; data type 0: 0, 1: 1; data type 2:
// 4 when the caption names the first search engine, 5 the second, 6 when the
// command text starts like a web address, else 2; anything else 0.
int GetItemIconKind(const MenuItemDrawInfo& info);
// The icon of a kind, loaded once and cached (16 x 16); null (not cached)
// when it cannot be had. 0 the ".txt" file-type icon, 1 icon 223, 2 icon 204,
// 3 the ".ovl" file-type icon, 4 icon 230, 5 icon 231, 6 icon 234.
HICON GetItemIcon(int kind);
// Destroys the cached icons.
void DestroyMenuItemIcons();

// The names of the two web-search engines (as the icon kinds 4 and 5 look
// for them, without regard to case).
LPCWSTR GetFirstSearchEngineName();
LPCWSTR GetSecondSearchEngineName();

// --- Side band and the menu being shown ---------------------------------------

// Localized string 304 ("Phrases menu") + "  —  " + the program's version
// text (see MenuHost), built once.
const CString& GetSideBandText();

// Reads the system's menu item height (non-client metrics); done before each
// menu is shown. GetMenuItemHeight reads it on first use when never refreshed.
void RefreshMenuItemHeight();
int GetMenuItemHeight();

// The top-level menu being shown and its owner window (null, null after it
// closed): items of that menu get the side band.
void SetMenuBeingShown(HMENU menu, HWND owner);
HMENU GetMenuBeingShown();
// The side band is drawn once per menu show; cleared before and after TrackPopupMenuEx.
void ClearSideBandDrawn();
bool IsSideBandDrawn();

// --- Colours -----------------------------------------------------------------

// Each channel minus `amount`, stopping at 0; pure black gets plus `amount`.
COLORREF ShadeMenuColor(COLORREF colour, int amount);
