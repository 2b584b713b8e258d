#pragma once

// Where a copy came from: the title, program path and icon of the window that
// owned the clipboard, looked for along its parents and the foreground window.

#include <windows.h>

#include "platform/CString.h"

struct CCHOwnerInfo;

// Fills title, exe path and icon from the source window's chain (the window,
// its parents up to the top, then the foreground window; searched from the
// foreground window back). Every step may find nothing.
void FillOwnerInfo(CCHOwnerInfo& info, HWND sourceWindow);
// The image path of the window's process; empty when unknown.
CString GetWindowProcessPath(HWND window);
// The icon of an exe (large, else small); null when it has none.
HICON ExtractWndIconFromExePath(const CString& exePath);
// A copy of the owner's icon (fetched from the exe first when none was tried
// yet); null when there is none. The caller destroys the copy.
HICON GetOwnerIconCopy(CCHOwnerInfo& info);
