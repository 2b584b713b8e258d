// Resource ids of the About dialog (online/AboutDialog.rc).
#pragma once

#define IDD_SCV_ABOUT 100
#define IDC_ABOUT_VERSION 1000
#define IDC_ABOUT_REPORT 1001
#define IDC_ABOUT_COPY 1002
#define IDC_ABOUT_HOME_PAGE 1003
#define IDC_ABOUT_CHECK_UPDATES 1004
#define IDC_ABOUT_BUG_REPORT_FAQ 1005

#define IDS_ABOUT_RELEASED 175
#define IDS_ABOUT_COPY 160
#define IDS_ABOUT_OFFICIAL_SITE 161
#define IDS_ABOUT_ZIP_LOG 1057
#define IDS_ABOUT_HOW_TO_REPORT 1059
#define IDS_ABOUT_STATISTIC 263
// The main program's string table holds it (its command-line help uses it too).
#define IDS_ABOUT_COMMAND_LINE_KEYS 269
#define IDS_ABOUT_EDITOR 270
#define IDS_ABOUT_EXIT_TOOL 306
#define IDS_ABOUT_OPEN_SETTINGS 32830
