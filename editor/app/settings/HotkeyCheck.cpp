#include "editor/app/settings/HotkeyCheck.h"

#include "common/LocalizedString.h"
#include "common/SystemErrorText.h"
#include "online/SharedSettingsArea.h"
#include "editor/app/settings/EditorSettingsRes.h"

namespace
{

constexpr int kTestHotkeyId = 2342;

} // namespace

HotkeyCheckResult CheckHotkey(HWND window, const HotkeyInfo& key)
{
    HotkeyCheckResult result;
    WORD sharedKey = 0;
    WORD sharedMods = 0;
    int sharedDouble = 0;
    SharedSettingsValues values;
    values.virtualKey = &sharedKey;
    values.modifiers = &sharedMods;
    values.doublePress = &sharedDouble;
    if (ReadSharedSettingsArea(values) && sharedKey == key.virtualKey && sharedMods == key.modifiers) {
        result.state = (sharedDouble != 0) == key.IsDouble() ? HotkeySameAsMainProgram : HotkeyFree;
        result.passed = true;
        return result;
    }
    const DWORD savedError = ::GetLastError();
    if (::RegisterHotKey(window, kTestHotkeyId, key.modifiers, key.virtualKey)) {
        ::UnregisterHotKey(window, kTestHotkeyId);
        result.state = HotkeyFree;
        result.passed = true;
    } else {
        result.error = ::GetLastError();
        result.state = HotkeyConflict;
    }
    ::SetLastError(savedError);
    return result;
}

CString BuildHotkeyStatusText(const HotkeyCheckResult& result)
{
    static const UINT ids[] = {IDS_SET_HOTKEY_SAME, IDS_SET_HOTKEY_FREE, IDS_SET_HOTKEY_CONFLICT};
    CString text = LoadLocalizedString(ids[result.state]);
    if (result.passed)
        return text + L"\x2026";
    CString tail;
    tail.Format(L"!\r\nError code:%u ", static_cast<unsigned>(result.error));
    return text + tail + GetSystemErrorText(result.error);
}

COLORREF HotkeyStateColor(int state)
{
    if (state == HotkeySameAsMainProgram)
        return RGB(0, 128, 0);
    if (state == HotkeyFree)
        return RGB(0, 0, 255);
    return RGB(255, 0, 0);
}
