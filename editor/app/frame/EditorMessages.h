#pragma once

// The editor's registered window messages, each registered once per process.

#include <windows.h>

// A second editor asks every top-level window; the running editor's main
// frame answers 1.
UINT GetEditorInstanceMessage();
// The options-changed watcher: reload the settings.
UINT GetEditorOptionsChangedMessage();
// The add-from-clipboard watcher (posted to the frame, then to the phrases pane).
UINT GetEditorAddFromClipboardMessage();
// Start flag "addseltext": add a phrase from the shared area's selected text.
UINT GetEditorAddSelectedTextMessage();
// Start flag "addfromcb": the phrases pane adds a phrase from the clipboard.
UINT GetEditorNewPhraseFromClipboardMessage();
// lParam = a wide text that becomes pane 0 of the status bar (sent by SendEditorStatusText only).
UINT GetEditorStatusTextMessage();
// Sends `text` to the frame's status pane 0, handed out for the send (the frame reads no other text).
LRESULT SendEditorStatusText(HWND frame, LPCWSTR text);
// The folder view selects the double-clicked item (wParam = index).
UINT GetEditorSelectListItemMessage();
// The phrase store's save worker: a queued write failed (posted to the main frame).
UINT GetEditorSaveFailedMessage();
