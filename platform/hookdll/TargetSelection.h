#pragma once

// The selected text of the focused control, read inside the target process
// (on the thread that owns the control).

#include <windows.h>

#include <string>

struct TargetSelection
{
    std::wstring text;
    int state = 0; // SVSelTextState: 0 none, 1 not readable here, 2 read
};

// Edit controls (and anything that answers WM_GETDLGCODE with
// DLGC_HASSETSEL) and rich-edit controls are read; a password edit counts as
// having no selection; other controls, and selections longer than
// `maxChars`, are reported as not readable so the program copies them itself.
TargetSelection ReadFocusedSelection(HWND focus, int maxChars);
