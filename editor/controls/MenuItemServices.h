#pragma once
// Building menus from the menu resources: copying single commands with their texts from a resource
// menu into a menu being built, reading a command's text for a caption or a tip, and giving items a
// bitmap. The text readers of common/MenuUtils serve the rest (GetMenuItemTextDeep for the text of
// a command, GetMenuItemCaption for the text without shortcut and ellipsis).

#include "platform/CString.h"
#include "platform/docview/Controls.h"

#include <windows.h>

namespace MenuItemServices
{

// The text of an item (by position with MF_BYPOSITION in flags, else by command); empty for none.
// The text's length.
int GetMenuItemString(HMENU menu, UINT item, CString& text, UINT flags);
// Loads the resource menu `menuId` of `module` (the program when null) into the menu object, which
// owns it from then on; a menu it held before is destroyed. False when the resource does not load.
bool AttachMenuResource(CMenu& menu, UINT menuId, HMODULE module = nullptr);
// Appends the command with its text from the resource menu `menuId` of `module`. False when the
// menu has the command already (anywhere in its sub-menus) or the resource menu lacks it.
bool AppendMenuItemFromResource(HMENU menu, UINT command, UINT menuId, HMODULE module = nullptr);
// The same with a loaded source menu, searched depth first through its sub-menus.
bool CopyMenuItemFromMenu(HMENU menu, UINT command, HMENU source);
// The text of the command in the resource menu (all sub-menus searched); empty when the menu does
// not load or lacks the command.
CString LoadMenuItemText(UINT menuId, UINT command, HMODULE module = nullptr);
// The same bitmap for the checked and the unchecked state.
bool SetMenuItemBitmap(HMENU menu, UINT command, HBITMAP bitmap);

} // namespace MenuItemServices
