// Resource ids of the phrase pop-up menu (menus/phrasemenu/PopupMenu.rc).
#pragma once

// Item icons
#define IDI_MENU_EXEC 204                // a program to run
#define IDI_MENU_FORMATTED 223           // formatted text
#define IDI_MENU_SEARCH_FIRST 230        // search with the first search engine
#define IDI_MENU_SEARCH_SECOND 231       // search with the second search engine
#define IDI_MENU_WEB_ADDRESS 234         // a web address
#define IDI_MENU_SEARCH_ENCYCLOPEDIA 239 // search the encyclopedia
#define IDI_MENU_SEARCH_DEVELOPER 240    // search the developer documentation

// The item texts the right-click pop-up takes from a menu resource
#define IDR_MENU_RIGHT_CLICK 205
#define ID_MENU_OPEN_AS_URL 32806
#define ID_MENU_OPEN_WITH 32846

// Strings
#define IDS_MENU_COPY 160
#define IDS_MENU_EDIT 283
#define IDS_MENU_REMOVED_CHARS 278 // the pane's Trim result box
#define IDS_MENU_JOINED_LINES 279  // the pane's Join result box
#define IDS_MENU_COPY_EXCLUDE_SYMBOLS 301
#define IDS_MENU_SIDE_BAND 304
#define IDS_MENU_SEARCH_FIRST 32834
#define IDS_MENU_SEARCH_SECOND 32835
#define IDS_MENU_SEARCH_DEVELOPER_DOCS 32836
#define IDS_MENU_SEARCH_ENCYCLOPEDIA 32837
