#pragma once

// The tray menu (menu resource 128) and the texts of its commands' tooltips.

#define IDR_TRAY_MENU                 128

#define ID_TRAY_ENABLE_PHRASE_MENU    32770
#define ID_TRAY_EDIT_PHRASES          32772
#define ID_TRAY_START_WITH_WINDOWS    32774
#define ID_TRAY_REREAD_PHRASES        32775
#define ID_TRAY_HOW_TO_LOCALIZE       32776
#define ID_TRAY_WEB_SITE              32781
#define ID_TRAY_FORUM                 32782
#define ID_TRAY_EMAIL                 32783
#define ID_TRAY_SUPPORT               32784
#define ID_TRAY_SAVE_FROM_CLIPBOARD   32785
#define ID_TRAY_HISTORY_KEEP          32786
#define ID_TRAY_HISTORY_CLEAR         32789
#define ID_TRAY_RSS                   32790
#define ID_TRAY_CHECK_FOR_UPDATES     32791
#define ID_TRAY_FLOAT_PANE            32792
#define ID_TRAY_HISTORY_SAVE_ON_EXIT  32809
#define ID_TRAY_WRITE_LOG             32815
#define ID_TRAY_SOUNDS                32817
#define ID_TRAY_VIDEO                 32818
#define ID_TRAY_HISTORY_REKEEP        32819
#define ID_TRAY_QUICK_START           32823
#define ID_TRAY_FAQ                   32825
#define ID_TRAY_FLOAT_PANE_ON_START   32827
#define ID_TRAY_RUN_AS_ADMIN          32829
#define ID_TRAY_OPEN_SETTINGS_FILE    32830
#define ID_TRAY_FACEBOOK              32831
#define ID_TRAY_WELCOME               32832
#define ID_TRAY_SHOW_TRAY_MENU        32833
#define ID_TRAY_VK                    32855
#define ID_TRAY_PINNED_ON_START       32862
#define ID_TRAY_NEWSLETTER            32863
#define ID_TRAY_COMMAND_LINE_KEYS     32865
#define ID_TRAY_TELEGRAM              32866
#define ID_TRAY_MUTE_MODE             32867
#define ID_TRAY_ABOUT                 57664
#define ID_TRAY_EXIT                  57665

#define IDS_TRAY_PHRASES              135
#define IDS_TRAY_PLAIN_TEXT           136
#define IDS_TRAY_HISTORY_PUT          139
#define IDS_TRAY_HISTORY_ITEM         140
#define IDS_TRAY_TEXT_LENGTH          141
#define IDS_TRAY_DATA_FORMAT          143
#define IDS_TRAY_RTF                  144
#define IDS_TRAY_UNKNOWN_SOURCE       146
#define IDS_TRAY_CONTENT              147
#define IDS_TRAY_AUTOSTART_DELAY      168
#define IDS_TRAY_DOCUMENT             176
#define IDS_TRAY_SAVE_FROM_PANE       177
#define IDS_TRAY_TRACKING_SETTING     221
#define IDS_TRAY_CHANGE_IN            222
#define IDS_TRAY_PHRASES_FOLDER       234
#define IDS_TRAY_FORMATS              287
#define IDS_TRAY_UNDO_HINT            294
#define IDS_TRAY_RUN_AS_ADMIN_TIP     1062
#define IDS_TRAY_CHOOSE_LANGUAGE      57666
