// Resource ids of the phrase menu's own items and captions (menus/PhraseMenuBuilder.rc).
#pragma once

#define IDS_PHRASE_MENU_COPIED_FROM        145
#define IDS_PHRASE_MENU_CLIPBOARD          225
#define IDS_PHRASE_MENU_MORE_HISTORY       235
#define IDS_PHRASE_MENU_SUPPORT            258
#define IDS_PHRASE_MENU_EDIT_SETTINGS      261
#define IDS_PHRASE_MENU_EDIT_SETTINGS_TIP  262
#define IDS_PHRASE_MENU_VISIT_US           265
#define IDS_PHRASE_MENU_OTHER_COMMANDS     273
#define IDS_PHRASE_MENU_FLOAT_PANE         307
#define IDS_PHRASE_MENU_FLOAT_PANE_MORE    308
#define IDS_PHRASE_MENU_SELECTION          32780
#define IDS_PHRASE_MENU_SUPPORT_TIP        32784
#define IDS_PHRASE_MENU_FLOAT_PANE_TIP     32792
#define IDS_PHRASE_MENU_DOCUMENT_KIND      32793
#define IDS_PHRASE_MENU_SELECTION_TIP      32826
#define IDS_PHRASE_MENU_RUN_AS_ADMIN       32829  // tooltip, a line break, then the item text
