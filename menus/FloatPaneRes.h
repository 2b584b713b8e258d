// Resource ids of the floating history pane (menus/FloatPane.rc).
#pragma once

#define IDI_PANE_PROTECTED 206 // the mark of a protected item
#define IDI_PANE_CLOSE 211
#define IDI_PANE_MINIMIZE 212
#define IDI_PANE_EDIT 213
#define IDI_PANE_COPY 215
#define IDI_PANE_RESTORE 217
#define IDI_PANE_PIN 241
#define IDI_PANE_QUICK_COPY 242 // shown on the hovered row

// The item menu is IDR_MENU_RIGHT_CLICK (205) of menus/PopupMenu.rc.
