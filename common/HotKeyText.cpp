#include "common/HotKeyText.h"

#include "common/Settings.h"

#include <iterator>

namespace
{
constexpr int kKeyNameBufferLength = 100;
constexpr LONG kExtendedKeyBit = 1L << 24;

// Keys whose scan code alone names a keypad key: without the extended bit
// "Up" would read "Num 8", "Delete" "Num Del" and so on.
bool IsExtendedOnlyKey(UINT virtualKey)
{
    switch (virtualKey) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_SNAPSHOT:
        return true;
    default:
        return false;
    }
}
} // namespace

CString GetKeyNameForVk(UINT virtualKey, bool extended)
{
    switch (virtualKey) {
    case VK_PAUSE:
        return L"Pause";
    case VK_LEFT:
        return L"Left";
    case VK_RIGHT:
        return L"Right";
    default:
        break;
    }

    LONG keyParam = static_cast<LONG>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC) << 16);
    if (extended || IsExtendedOnlyKey(virtualKey))
        keyParam |= kExtendedKeyBit;

    wchar_t buffer[kKeyNameBufferLength] = {};
    int length = ::GetKeyNameTextW(keyParam, buffer, kKeyNameBufferLength - 1);
    if (length <= 0)
        return CString();
    return CString(buffer, length);
}

CString HotKeyToText(UINT virtualKey, UINT modifiers)
{
    if (virtualKey == 0 && modifiers == 0)
        return CString();

    CString text;
    if (modifiers & MOD_CONTROL)
        text += GetKeyNameForVk(VK_CONTROL, false) + L"+";
    if (modifiers & MOD_SHIFT)
        text += GetKeyNameForVk(VK_SHIFT, false) + L"+";
    if (modifiers & MOD_ALT)
        text += GetKeyNameForVk(VK_MENU, false) + L"+";
    if (modifiers & MOD_WIN)
        text += L"WIN+";
    text += GetKeyNameForVk(virtualKey, (modifiers & MOD_WIN) != 0);
    return text;
}

CString GetConfiguredHotKeyText()
{
    const CSettings& settings = GetSettings();
    UINT key = static_cast<UINT>(settings.HotkeyVirtualKey);
    UINT modifiers = static_cast<UINT>(settings.HotkeyModifiers);
    if (key == 0) {
        key = VK_RETURN;
        if (modifiers == 0)
            modifiers = MOD_ALT | MOD_CONTROL;
    }
    CString text = HotKeyToText(key, modifiers);
    ::CharUpperW(text.GetBuffer());
    text.ReleaseBuffer();
    if (settings.Hotkey_Doubled)
        text += L" [x2]";
    return text;
}
