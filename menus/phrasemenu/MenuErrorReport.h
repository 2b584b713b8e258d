#pragma once

// How the phrase menu reports its own faults: the text goes to the shared log
// as an error line and is shown in a topmost error box captioned
// "Scrivolanter". While one such box is open, further reports are only logged
// (a fault while drawing would otherwise stack a box per repaint).

#include <windows.h>

void ShowMenuErrorMessage(LPCWSTR text);

// True while a report's box is open.
bool IsMenuErrorMessageOpen();
