#pragma once

// Short attention effects that run on a thread of their own (started and
// detached). The threads only send messages to the windows or show and hide
// them.

#include <windows.h>

// Blinks a control's font: the font of its parent is copied with the other
// weight (bold becomes normal, anything else bold); three times the copy for
// 300 ms, then the parent's font for 400 ms. When notifyMessage is not 0 and
// notifyWindow exists, notifyWindow is sent notifyMessage with wParam 1
// before and wParam 0 after the blinking. Nothing happens when the parent has
// no font. False when the control is not a window or the thread cannot start.
bool BlinkControlFont(HWND control, UINT notifyMessage, HWND notifyWindow);

// Blinks a window between two fonts: three times fontA for 250 ms, then fontB
// for 250 ms, each redrawn; then, when notifyWindow exists and message is not
// 0, sends it message with wParam and lParam. Both fonts must live until the
// message arrives. False when the window is not a window or the thread cannot
// start.
bool BlinkControlFont(HWND window, HFONT fontA, HFONT fontB, HWND notifyWindow, UINT message,
                      WPARAM wParam = 0, LPARAM lParam = 0);

// Hides the window for 100 ms and shows it for 400 ms, three times, stopping
// early when the window is gone. False when it is not a window or the thread
// cannot start.
bool BlinkWindow(HWND window);
