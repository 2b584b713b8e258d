#pragma once
// Icons turned into the small bitmaps that menu items show beside their texts.

#include <windows.h>

// A 16 x 16 bitmap compatible with the screen, filled with the brush, the icon drawn over it at
// 16 x 16. The caller deletes it. Null when the icon is null or a bitmap cannot be made.
HBITMAP IconToMenuBitmap(HICON icon, HBRUSH brush);

// IconToMenuBitmap on the menu background colour (COLOR_MENU).
HBITMAP IconToMenuBackgroundBitmap(HICON icon);

// Shows the bitmap beside every item of the command in the menu (unchecked and checked state);
// the bitmap stays the caller's. False when the menu has no such command.
bool SetMenuCommandBitmap(HMENU menu, UINT command, HBITMAP bitmap);
