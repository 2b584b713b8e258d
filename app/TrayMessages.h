#pragma once

// The private messages and command ids of the tray window (CSCVTrayWnd), for
// the code that sends or posts them from other windows and threads.

#include <windows.h>

// Private messages.
enum : UINT
{
    WM_SCV_ADD_TRAY_ICON = WM_APP + 1,   // add the tray icon; non-zero when it is there
    WM_SCV_TRAY_NOTIFY = WM_APP + 2,     // the tray icon's callback
    WM_WAIT_QUERY_COMPLETE = WM_APP + 3, // a target query has been read
    WM_SCV_SETTINGS_MODULE = WM_APP + 4, // editor start: 0 failed, 1 started, 2 ended
    WM_SCV_UPDATE_CHECK_RESULT = WM_APP + 5,
    WM_SCV_EDITOR_ENDED = WM_APP + 6,
    WM_SCV_GET_HISTORY_CAPTION = WM_APP + 7, // wParam buffer size in characters, lParam buffer
    WM_SCV_ALT_TAB_ACTIVATE = WM_APP + 8,
    WM_SCV_START_CLIPBOARD_WATCHER = WM_APP + 10,
    WM_SCV_ALLOW_WAIT_ANSWER = WM_APP + 11,
    WM_COMMAND_FROM_SELF = WM_APP + 12, // wParam command id, lParam target window
    WM_SCV_IS_PHRASE_MENU_CLOSED = WM_APP + 13,
    WM_SCV_CONNECTION_CHANGED = WM_APP + 14,
    WM_SCV_GET_CLIPBOARD_WATCHER = WM_APP + 15,
    WM_SCV_HIDE_BALLOON = WM_APP + 16,
    WM_SCV_HIDE_MENU_TOOLTIP = WM_APP + 17,
    WM_WAIT_QUERY_COMPLETE_ERROR = WM_APP + 18,
    WM_SCV_SHOW_TRAY_MENU = WM_APP + 20,
    WM_SCV_PHRASE_MENU_RIGHT_CLICK = WM_APP + 21,
    WM_SCV_LANGUAGE_CHANGED = WM_APP + 22,
    WM_SCV_FLOAT_PANE_ANIMATE = WM_APP + 24,
    WM_SCV_GET_CURRENT_ITEM_URL = WM_APP + 25, // wParam buffer size in characters, lParam buffer
    WM_SCV_NEW_PHRASE_WITH_TEXT = WM_APP + 26, // lParam the text (may be null)
    WM_SCV_GET_SELECTED_ITEM_CONTENT = WM_APP + 27,
    WM_SCV_GET_FLOAT_PANE_TEXT = WM_APP + 28,
    WM_SCV_GET_HISTORY_QUEUE = WM_APP + 29,
    WM_SCV_LANGUAGE_COMMAND = WM_APP + 30,
    WM_SCV_HIDE_BALLOON_2 = WM_APP + 31,
    WM_SCV_SHOW_FLOAT_PANE = WM_APP + 32,
    WM_SCV_FILL_LANGUAGE_MENU = WM_APP + 33,
};

// Commands of the tray window (WM_COMMAND).
enum : UINT
{
    ID_SCV_ENABLE_PHRASE_MENU = 32770,
    ID_SCV_EDIT_PHRASES = 32772,
    ID_SCV_SUPPORT_PAGE = 32784,
    ID_SCV_CHECK_FOR_UPDATES = 32791,
    ID_SCV_FLOAT_PANE = 32792,
    ID_SCV_RUN_AS_ADMIN = 32829,
    ID_SCV_SHOW_PHRASE_MENU_DELAYED = 32844,
    ID_SCV_APP_EXIT = 57665,
};

// The id of the phrase menu's hot key on the tray window.
inline constexpr int kPhraseHotKeyId = 1;

// The tray icon's id and the control id of the clipboard watcher's notifications.
inline constexpr UINT kTrayIconId = 10;
inline constexpr UINT kClipboardWatcherControlId = 1333;

// The window class of the tray window.
inline constexpr wchar_t kTrayWindowClassName[] = L"Scrivolanter_TrayWindow";
