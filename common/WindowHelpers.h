#pragma once

// Small window helpers: bringing a window forward, the root of a window's
// parent chain and its text, the full-screen test of the foreground window,
// and the message filter of windows that other integrity levels may reach.

#include "platform/CString.h"

#include <windows.h>

// Brings the window to the foreground (SwitchToThisWindow where user32 has
// it, else activation, foreground and a topmost round trip, restoring it when
// minimised). False when it is not a window.
bool BringWindowToFront(HWND window);

// Restores the window when it is iconic and gives it the foreground, the
// activation and the focus; its z-order band (topmost or not) stays. False
// when it is not a window.
bool RestoreAndActivateWindow(HWND window);

// A window rectangle that lies off every monitor, or reaches past the virtual
// screen, is moved (its size kept, shrunk only when larger) into the work
// area of the nearest monitor. True when the rectangle was changed.
bool FitRectOntoNearestMonitor(RECT& rect);

// The last window of the window's GetParent chain (the window itself when it
// has none; null for null).
HWND GetRootParent(HWND window);
HWND GetRootParentOf(HWND window);

// The text of the root of the window's parent chain, asked with time-outs so
// that a hung window cannot hang the caller. 1 when a text was read; 0 (and
// an empty text) when the root is not a window, its text is empty or it does
// not answer in time.
int GetTopLevelWindowText(HWND window, CString& text);

// True when the foreground window covers the whole monitor nearest to
// `window`: its client area for a window with caption and sizing frame, else
// its window rectangle. The foreground window (null when none) is handed out.
bool IsForegroundWindowFullScreen(HWND window, HWND* foreground);

// ChangeWindowMessageFilter of user32; 0 when the system lacks it.
BOOL ChangeWindowMessageFilterDyn(UINT message, DWORD action);
