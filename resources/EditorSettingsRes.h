// Resource ids of the editor's settings pages (resources/EditorSettings.rc).
#pragma once

// Pages
#define IDD_SETTINGS_MISC                 130
#define IDD_SETTINGS_FLOAT_PANE           162

// Controls of the Miscellaneous page
#define IDC_MISC_HOTKEY_GROUP             1000
#define IDC_MISC_HOTKEY                   1001
#define IDC_MISC_AUTOSTART                1003
#define IDC_MISC_HOTKEY_STATUS            1004
#define IDC_MISC_AUTO_UPDATES             1008
#define IDC_MISC_UPDATE_DAYS              1009
#define IDC_MISC_UPDATE_DAYS_SPIN         1010
#define IDC_MISC_SOUNDS                   1011
#define IDC_MISC_CLIP_HISTORY             1012
#define IDC_MISC_CLIP_HISTORY_MAX         1013
#define IDC_MISC_CLIP_HISTORY_MAX_SPIN    1014
#define IDC_MISC_CLIP_HISTORY_MAX_LABEL   1015
#define IDC_MISC_MENU_GROUP               1016
#define IDC_MISC_DELAY_START              1017
#define IDC_MISC_HISTORY_GROUP            1018
#define IDC_MISC_HISTORY_IN_MENU          1019
#define IDC_MISC_DELAY_SECONDS            1021
#define IDC_MISC_GROUP                    1022
#define IDC_MISC_MENU_TIPS                1023
#define IDC_MISC_DELAY_SPIN               1024
#define IDC_MISC_WRITE_LOG                1026
#define IDC_MISC_SAVE_HISTORY             1027
#define IDC_MISC_HISTORY_LIMIT            1028
#define IDC_MISC_HISTORY_LIMIT_COUNT      1029
#define IDC_MISC_HISTORY_LIMIT_SPIN       1030
#define IDC_MISC_HISTORY_SUBMENU          1031
#define IDC_MISC_PASTE_LABEL              1033
#define IDC_MISC_PASTE_METHOD             1034
#define IDC_MISC_TRACKING_METHOD          1035
#define IDC_MISC_CHECK_UPDATES_NOW        1038
#define IDC_MISC_TRACKING_LABEL           1040
#define IDC_MISC_FORMATS_LABEL            1041
#define IDC_MISC_FORMATS                  1042
#define IDC_MISC_LAST_USED_COUNT          1043
#define IDC_MISC_LAST_USED_SPIN           1044
#define IDC_MISC_MENU_FONT                1045
#define IDC_MISC_MENU_FONT_SAMPLE         1046
#define IDC_MISC_PRINT_CHARS              1047
#define IDC_MISC_PRINT_CHARS_SPIN         1048
#define IDC_MISC_EXT_COMMANDS             1049
#define IDC_MISC_LAST_USED                1053
#define IDC_MISC_TRAY_BALLOON             1054

// Controls of the Float Pane page
#define IDC_FP_SHOW_ON_START              1050
#define IDC_FP_PIN_ON_START               1051
#define IDC_FP_ALT_TAB_ICON               1052

// Strings
#define IDS_SET_HOTKEY_SAME               140
#define IDS_SET_DELAY_TIP                 141
#define IDS_SET_HIDE                      163
#define IDS_SET_PASTE_KEYS                190
#define IDS_SET_PASTE_CLIPBOARD           191
#define IDS_SET_RECOMMENDED               192
#define IDS_SET_SAVE_AND_CLOSE            199
#define IDS_SET_CHECK_UPDATES_NOW         200
#define IDS_SET_TRACK_AUTO                222
#define IDS_SET_TRACK_OLD                 207
#define IDS_SET_TRACK_NEW                 208
#define IDS_SET_FONT_FOR_MENU             230
#define IDS_SET_PASTE_SHORT_KEYS          236
#define IDS_SET_FORMAT_HTML               239
#define IDS_SET_TAB_MISC                  248
#define IDS_SET_HIDE_TIP                  249
#define IDS_SET_TAB_FLOAT_PANE            253
#define IDS_SET_TAB_MISC_TIP              254
#define IDS_SET_TAB_FLOAT_PANE_TIP        255
#define IDS_SET_SAVE_AND_CLOSE_TIP        145
#define IDS_SET_SETTINGS                  61215
#define IDS_SET_HOTKEY_FREE               61217
#define IDS_SET_HOTKEY_CONFLICT           61218
#define IDS_SET_FORMAT_BITMAP             61221
#define IDS_SET_FORMAT_OVELLINE           61222
#define IDS_SET_FORMAT_RTF                61223
#define IDS_SET_FORMAT_TEXT               61224
