#include "engine/KeyboardLayoutSwitch.h"

#include "common/SharedLog.h"
#include "engine/KeyboardInput.h"
#include "engine/TypingKeystrokes.h"

namespace
{
const wchar_t kToggleKey[] = L"Keyboard Layout\\Toggle";
const wchar_t kToggleValue[] = L"Hotkey";

// Owner of an opened registry key.
class CRegKeyHandle
{
public:
    ~CRegKeyHandle()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

int MethodOfCharacter(wchar_t ch)
{
    switch (ch) {
    case L'1':
        return kToggleAltShift;
    case L'2':
        return kToggleCtrlShift;
    case L'3':
        return kToggleNone;
    case L'4':
        return kToggleGrave;
    default:
        return kToggleUnknown;
    }
}

bool BelongsToOtherProcess(HWND window)
{
    if (window == nullptr || !::IsWindow(window))
        return false;
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process != ::GetCurrentProcessId();
}

bool HasWantedLayout(HKL current, HKL wanted)
{
    const auto currentBits = reinterpret_cast<UINT_PTR>(current);
    const auto wantedBits = reinterpret_cast<UINT_PTR>(wanted);
    return current == wanted || LOWORD(currentBits) == LOWORD(wantedBits);
}
} // namespace

int ReadLayoutToggleHotkey()
{
    return ReadLayoutToggleHotkeyFrom(HKEY_CURRENT_USER, kToggleKey);
}

int ReadLayoutToggleHotkeyFrom(HKEY root, LPCWSTR subKey)
{
    CRegKeyHandle key;
    if (::RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS)
        return kToggleUnknown;

    wchar_t value[16] = {};
    DWORD type = 0;
    DWORD size = sizeof(value) - sizeof(wchar_t); // room for a terminator the value may lack
    const LSTATUS status =
        ::RegQueryValueExW(key.Get(), kToggleValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    if (status == ERROR_FILE_NOT_FOUND)
        return kToggleAltShift;
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size < sizeof(wchar_t))
        return kToggleUnknown;
    return MethodOfCharacter(value[0]);
}

void GetLayoutToggleKeys(int method, WORD& firstKey, WORD& secondKey)
{
    firstKey = VK_LMENU;
    secondKey = VK_SHIFT;
    switch (method) {
    case kToggleAltShift:
        break;
    case kToggleCtrlShift:
        firstKey = VK_LCONTROL;
        break;
    case kToggleGrave:
        WriteLogLine(L"Warning: keyboard layout switch [VK_TILDA_YOU detected]");
        firstKey = 0;
        secondKey = VK_OEM_3;
        break;
    default:
        WriteLogLine(L"ERROR: Cannot detect keyboard layout switch method, Use: Alt+SHIFT");
        break;
    }
}

void SwitchKeyboardLayout(HKL wanted, DWORD targetThread, HWND targetWindow, int limit)
{
    WORD firstKey = 0;
    WORD secondKey = 0;
    GetLayoutToggleKeys(ReadLayoutToggleHotkey(), firstKey, secondKey);
    const WORD secondScan = static_cast<WORD>(::MapVirtualKeyW(secondKey, MAPVK_VK_TO_VSC));
    const INPUT toggle[4] = {
        MakeKeyboardInput(firstKey, 0, 0),
        MakeKeyboardInput(secondKey, secondScan, 0),
        MakeKeyboardInput(secondKey, secondScan, KEYEVENTF_KEYUP),
        MakeKeyboardInput(firstKey, 0, KEYEVENTF_KEYUP),
    };

    IKeyboardInput& input = GetKeyboardInput();
    if (input.GetLayoutCount() <= 2) {
        input.Send(toggle, 4);
        return;
    }
    const bool otherProcess = BelongsToOtherProcess(targetWindow);
    for (int attempt = 0; attempt < limit; ++attempt) {
        input.Send(toggle, 4);
        if (otherProcess) {
            input.Pause(200);
            ::PostMessageW(targetWindow, WM_NULL, 0, 0);
        }
        if (HasWantedLayout(input.GetThreadLayout(targetThread), wanted))
            return;
    }
}

void SwitchToKeyboardLayout(HKL wanted, DWORD targetThread, HWND targetWindow)
{
    SwitchKeyboardLayout(wanted, targetThread, targetWindow, GetKeyboardInput().GetLayoutCount());
}
