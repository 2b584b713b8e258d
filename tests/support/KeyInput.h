#pragma once
// Keys typed as the user types them (SendInput): they reach whatever window has the focus, in this
// or another process.

#include <windows.h>

#include <initializer_list>

namespace scvtest
{

// One key down or up, with its scan code.
void SendKey(WORD key, bool up);
// Down and up, then a short pause for the receiver.
void TapKey(WORD key);
// The keys pressed in the given order and let go in the reverse order (a chord such as
// Ctrl+Alt+Enter: Ctrl goes down first and up last, so no window takes the Alt alone as a menu key).
void PressChord(std::initializer_list<WORD> keys);

} // namespace scvtest
