#include "engine/PasteKeystrokes.h"

#include <initializer_list>

namespace
{
void Key(BYTE virtualKey, bool up, bool extended = false)
{
    const BYTE scanCode = static_cast<BYTE>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    DWORD flags = up ? KEYEVENTF_KEYUP : 0;
    if (extended)
        flags |= KEYEVENTF_EXTENDEDKEY;
    ::keybd_event(virtualKey, scanCode, flags, 0);
}

bool IsKeyHeld(int virtualKey)
{
    // The low bit of GetKeyState is the toggle state: only the high bit means "down". A key-up
    // for Alt that is not down would open the target's menu.
    return (::GetKeyState(virtualKey) & 0x8000) != 0 || (::GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// Strokes between 1 ms pauses, growing with the count so long runs stay quick.
unsigned CaretStepBatch(unsigned count)
{
    if (count <= 3)
        return 1;
    if (count <= 10)
        return 2;
    if (count <= 100)
        return 4;
    return count / 100;
}
} // namespace

void ReleaseHeldModifiers()
{
    for (const BYTE modifier : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        if (IsKeyHeld(modifier))
            Key(modifier, true);
    }
}

bool SendCtrlV(bool pauses)
{
    // A modifier the user still holds would turn Ctrl+V into another shortcut.
    ReleaseHeldModifiers();
    Key(VK_CONTROL, false);
    Key('V', false);
    if (pauses)
        ::Sleep(100);
    Key('V', true);
    Key(VK_CONTROL, true);
    if (pauses)
        ::Sleep(500);
    return true;
}

void PasteAndMoveCaretLeft(unsigned count)
{
    SendCtrlV(false);
    ::Sleep(100);
    const unsigned batch = CaretStepBatch(count);
    unsigned counter = 0;
    for (unsigned i = 0; i < count; ++i) {
        Key(VK_LEFT, false, true);
        Key(VK_LEFT, true, true);
        if (counter == batch) {
            ::Sleep(1);
            counter = 0;
        }
        ++counter;
    }
}
