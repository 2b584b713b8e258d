#pragma once
// Check boxes whose caption is bold while they are checked: the bold copy of DEFAULT_GUI_FONT (weight
// 700) when checked, DEFAULT_GUI_FONT when not, switched whenever BM_SETCHECK changes the state.

#include <windows.h>

// Subclasses the check box once (a box already subclassed this way is left alone) and sets its font
// at once. False when the button is not a window or cannot be subclassed.
bool SubclassBoldCheckBox(HWND button);

// The bold copy of DEFAULT_GUI_FONT of the calling thread, made on first use and made again when it
// is no longer a valid font.
HFONT GetBoldCheckBoxFont();
