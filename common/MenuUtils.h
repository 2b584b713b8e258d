#pragma once

// Small operations on menus: insert an item, find a command in a menu tree,
// read and set item texts and check marks.

#include "platform/CString.h"

#include <windows.h>

// Called for each item with the command; return true to go on walking.
using MenuCommandCallback = bool (*)(HMENU menu, UINT command, void* data);

// Inserts a string item (or a separator when the text is null or empty) at the
// position.
BOOL InsertMenuItemAt(HMENU menu, const wchar_t* text, UINT command, UINT position);

// Walks the items in order (sub-menus too when intoSubMenus); 1 when an item
// with the command was found, 0 when none. Without a callback, or when the
// callback returns false, the walk stops at the first hit.
int WalkMenuForCommand(HMENU menu, UINT command, MenuCommandCallback callback, void* data, bool intoSubMenus);
bool MenuTreeHasCommand(HMENU menu, UINT command);

// The first top-level position with the command; -1 when none.
int FindMenuItemPosition(HMENU menu, UINT command);
// The first top-level position whose item has an id in low..high or is a
// sub-menu holding such an id somewhere; -1 when none.
int FindTopMenuPosOfCommandRange(HMENU menu, UINT low, UINT high);
int FindTopMenuPosOfCommand(HMENU menu, UINT command);

// The text of the item at the position with every "&" removed; empty on failure.
CString GetMenuItemTextByPos(HMENU menu, UINT position);
// The text of the first item with the command anywhere in the tree, without
// trailing ellipsis characters.
CString GetMenuItemTextDeep(HMENU menu, UINT command);
// GetMenuItemTextDeep cut at its first tab, without trailing "." and ellipses.
CString GetMenuItemCaption(HMENU menu, UINT command);

// Sets the text of an item, by position or by command.
bool SetMenuItemString(HMENU menu, const wchar_t* text, UINT item, bool byPosition);
// Makes the item with the command a string item with the text.
bool SetMenuItemText(const wchar_t* text, UINT command, HMENU menu);
// Radio check mark on; off clears the type and the whole state.
bool SetMenuItemRadioChecked(bool checked, UINT command, HMENU menu);
