#pragma once

// The hook of the pane's save dialog: the dialog gets its own task-bar entry
// (WS_EX_APPWINDOW) and the program's icon, since the pane that owns it is a
// tool window without either.

#include <windows.h>

// Program icon resources: the elevated variant and the normal one.
inline constexpr UINT kPaneIconElevated = 249;
inline constexpr UINT kPaneIconNormal = 128;

// The OFNHookProc: on WM_INITDIALOG the dialog (the hook window's parent in
// an Explorer-style dialog) is prepared with the icon id in the
// OPENFILENAMEW's lCustData. Returns 0 (default processing) for every message.
UINT_PTR CALLBACK FloatPaneSaveDialogHook(HWND hookWindow, UINT message, WPARAM wParam, LPARAM lParam);
// Adds WS_EX_APPWINDOW and sets the big and small icons from the program's
// icon resource `iconId` (shared icons, nothing to free).
void PrepareSaveDialogWindow(HWND dialog, UINT iconId);
