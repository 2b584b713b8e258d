#pragma once

// Which presses of the phrase menu's hot key open the menu. With double press
// configured only the second of two presses less than 500 ms apart counts;
// after a counted pair the next press starts a new pair.

#include <windows.h>

class CHotKeyPressGate
{
public:
    static constexpr DWORD kDoublePressMs = 500;

    // One press at `now` (a GetTickCount value): true when it opens the menu.
    // Without double press every press does.
    bool OnPress(bool doublePress, DWORD now);

    // The tick of the press that waits for its second one; 0 when none waits.
    DWORD GetLastTick() const { return m_lastTick; }

private:
    DWORD m_lastTick = 0;
};
