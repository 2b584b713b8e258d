#pragma once
// Typing a text into the focused window of the foreground application with synthetic keyboard input,
// and moving or extending the caret afterwards. Everything goes out through GetKeyboardInput()
// (engine/KeyboardInput.h) as INPUT_KEYBOARD records:
//  - a character is a Unicode event (wVk 0, wScan = the UTF-16 code unit, KEYEVENTF_UNICODE), press
//    then release; a surrogate pair is two such pairs;
//  - a tab is the VK_TAB key and a carriage return the VK_RETURN key; the line feed of a CR LF pair
//    follows as the key 0x0A, while a line feed that stands alone is sent as VK_RETURN so that its
//    line break is not lost. Keys carry the scan code MapVirtualKeyW gives.

#include <windows.h>

#include <vector>

#include "platform/CString.h"

// Types the text with one batch of input and then moves the caret `leftSteps` times to the left.
// Before the batch a release of VK_CONTROL is sent by itself (the Ctrl of the hot key may still be
// down); when leftSteps > 0 the batch ends with a release of VK_SHIFT and leftSteps presses and
// releases of VK_LEFT. False, sending nothing, for an empty text.
bool TypeTextAndMoveCaret(const CString& text, int leftSteps);

// One batch: leftSteps x (VK_LEFT press, release), VK_SHIFT press, selectSteps x (VK_RIGHT press,
// release), VK_SHIFT release. Nothing is sent and the result is false when both counts are 0 (or
// below).
bool SendCaretLeftAndSelect(int leftSteps, int selectSteps);

// The records TypeTextAndMoveCaret sends in its batch (without the Ctrl release before it).
std::vector<INPUT> BuildTypingInputs(const CString& text, int leftSteps);

// One keyboard record: a key (virtual key, scan code, flags) or, with KEYEVENTF_UNICODE, a character.
INPUT MakeKeyboardInput(WORD virtualKey, WORD scanCode, DWORD flags);
