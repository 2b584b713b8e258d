// Resource ids of the main program (app/Scrivolanter.rc).
#pragma once

// Icons
#define IDI_SCV_APP 128          // the program icon
#define IDI_SCV_APP_OFF 201      // the phrase menu service is not running
#define IDI_SCV_APP_BLINK 202    // shown in turns with the program icon after the phrases changed
#define IDI_SCV_APP_ELEVATED 249 // the program icon of an elevated process

// Strings
#define IDS_SCV_TURN_ON 130
#define IDS_SCV_TURN_OFF 131
#define IDS_SCV_HOT_KEY 132
#define IDS_SCV_MENU_TOOLTIP 134
#define IDS_SCV_ALREADY_WORKS 137
#define IDS_SCV_EXITING 138
#define IDS_SCV_PRESS_CTRL_C 170
#define IDS_SCV_CLIPBOARD_HISTORY 172
#define IDS_SCV_FOLDER 220
#define IDS_SCV_CHECK_FOR_UPDATES 244
#define IDS_SCV_NO_CONNECTION 257
#define IDS_SCV_CHARS 259
#define IDS_SCV_COMMAND_LINE_KEYS 269
#define IDS_SCV_TEMP_FILE_WARNING 272
#define IDS_SCV_ON 275
#define IDS_SCV_OFF 276
#define IDS_SCV_LINES 277
#define IDS_SCV_AND_MORE 300
#define IDS_SCV_LEFT_CLICK_MENU 310
#define IDS_SCV_SHOWING_MENU 231
#define IDS_SCV_PRESS_ENTER 313
#define IDS_SCV_HOT_KEY_DETECTED 1060
