// Resource ids of the phrase editor (resources/ScrivolanterEditor.rc).
#pragma once

// Menu, accelerators, icon and document strings of the main frame.
#define IDR_EDITOR_MAINFRAME 128

// Strings
#define IDS_EDITOR_HOME_PAGE 129
#define IDS_EDITOR_START_APP 134
#define IDS_EDITOR_NOT_ADMIN 201
#define IDS_EDITOR_RELEASED 32791
#define IDS_EDITOR_PLAIN_TEXT 61212
#define IDS_EDITOR_RTF_TEXT 61213

// Framework commands and strings
#define ID_EDITOR_FILE_SAVE 57603
#define ID_EDITOR_APP_ABOUT 57664
#define ID_EDITOR_APP_EXIT 57665
#define ID_EDITOR_VIEW_STATUS 59393
#define ID_EDITOR_VIEW_PHRASES 32771
#define IDS_EDITOR_PHRASES 61207
#define IDS_EDITOR_IDLE 57345
#define IDS_EDITOR_IND_CAPS 59137
#define IDS_EDITOR_IND_NUM 59138
#define IDS_EDITOR_IND_SCRL 59139

// About box
#define IDD_EDITOR_ABOUT 100
#define IDC_EDITOR_ABOUT_TEXT 1008
#define IDC_EDITOR_ABOUT_LINK 1017
#define IDC_EDITOR_ABOUT_BUILD 1052

// Language bar (a dialog bar of the main frame)
#define IDD_EDITOR_LANGUAGE_BAR 128
#define IDC_EDITOR_LANGUAGE_COMBO 1010
