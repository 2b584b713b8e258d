// Resource ids of the floating history pane (menus/floatpane/FloatPane.rc).
#pragma once

#define IDI_PANE_PROTECTED 206 // the mark of a protected item
#define IDI_PANE_CLOSE 211
#define IDI_PANE_MINIMIZE 212
#define IDI_PANE_EDIT 213
#define IDI_PANE_COPY 215
#define IDI_PANE_RESTORE 217
#define IDI_PANE_PIN 241
#define IDI_PANE_QUICK_COPY 242 // shown on the hovered row
#define IDI_PANE_HISTORY 225    // the clipboard history (keep, show all items)
#define IDI_PANE_HTML_CODE 246  // an item's HTML code
#define IDI_PANE_HTML 247       // an item as HTML

// The item menu is IDR_MENU_RIGHT_CLICK (205) of menus/phrasemenu/PopupMenu.rc.
