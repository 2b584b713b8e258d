#include "app/target/HotKeyPressGate.h"

bool CHotKeyPressGate::OnPress(bool doublePress, DWORD now)
{
    if (!doublePress)
        return true;
    // Unsigned difference: a tick count that wrapped around still measures right.
    if (now - m_lastTick > kDoublePressMs) {
        m_lastTick = now;
        return false;
    }
    m_lastTick = 0;
    return true;
}
