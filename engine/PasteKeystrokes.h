#pragma once

// Pasting into the foreground window with simulated keys (keybd_event).

#include <windows.h>

// Releases (keybd_event) Shift, Ctrl and Alt while the user still holds them, so that the
// keys simulated next are not turned into another shortcut.
void ReleaseHeldModifiers();
// Simulated Ctrl+V (keybd_event): held Shift, Ctrl and Alt are released first;
// with pauses, 100 ms between V down and up and 500 ms after. Returns true.
bool SendCtrlV(bool pauses);
// Ctrl+V, then `count` Left-arrow strokes (with a 1 ms pause every few strokes)
// so that the caret ends where the phrase's caret mark stood.
void PasteAndMoveCaretLeft(unsigned count);
