#include "support/KeyInput.h"

#include <vector>

namespace scvtest
{

void SendKey(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(INPUT));
}

void TapKey(WORD key)
{
    SendKey(key, false);
    SendKey(key, true);
    ::Sleep(30);
}

void PressChord(std::initializer_list<WORD> keys)
{
    for (WORD key : keys)
        SendKey(key, false);
    const std::vector<WORD> held(keys);
    for (auto key = held.rbegin(); key != held.rend(); ++key)
        SendKey(*key, true);
}

} // namespace scvtest
