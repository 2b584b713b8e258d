#include "app/tray/WtsSessionNotifier.h"

#include <wtsapi32.h>

#include "common/RuntimeBinding.h"

namespace
{

using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterFn = BOOL(WINAPI*)(HWND);

} // namespace

WtsSessionNotifier::~WtsSessionNotifier()
{
    if (m_library) {
        if (auto unregister = FindFunction<UnregisterFn>(m_library, "WTSUnRegisterSessionNotification")) {
            for (HWND window : m_windows)
                unregister(window);
        }
    }
    m_windows.clear();
    if (m_library)
        ::FreeLibrary(m_library);
}

HMODULE WtsSessionNotifier::Library()
{
    if (!m_library)
        m_library = ::LoadLibraryW(L"Wtsapi32.dll");
    return m_library;
}

BOOL WtsSessionNotifier::Register(HWND window, bool thisSessionOnly)
{
    if (!::IsWindow(window) || IsRegistered(window))
        return FALSE;
    auto registerFn = FindFunction<RegisterFn>(Library(), "WTSRegisterSessionNotification");
    if (!registerFn)
        return FALSE;
    const BOOL result =
        registerFn(window, thisSessionOnly ? NOTIFY_FOR_THIS_SESSION : NOTIFY_FOR_ALL_SESSIONS);
    if (result)
        m_windows.insert(window);
    return result;
}

BOOL WtsSessionNotifier::Unregister(HWND window)
{
    auto unregister = FindFunction<UnregisterFn>(Library(), "WTSUnRegisterSessionNotification");
    if (!unregister)
        return FALSE;
    const BOOL result = unregister(window);
    if (result)
        m_windows.erase(window);
    return result;
}

bool WtsSessionNotifier::IsRegistered(HWND window) const
{
    return m_windows.count(window) != 0;
}

CString WTSSessionChangeReason_2_Str(int reason)
{
    static const struct
    {
        int reason;
        const wchar_t* name;
    } kNames[] = {
        {WTS_CONSOLE_CONNECT, L"WTS_CONSOLE_CONNECT"},
        {WTS_CONSOLE_DISCONNECT, L"WTS_CONSOLE_DISCONNECT"},
        {WTS_REMOTE_CONNECT, L"WTS_REMOTE_CONNECT"},
        {WTS_REMOTE_DISCONNECT, L"WTS_REMOTE_DISCONNECT"},
        {WTS_SESSION_LOGON, L"WTS_SESSION_LOGON"},
        {WTS_SESSION_LOGOFF, L"WTS_SESSION_LOGOFF"},
        {WTS_SESSION_LOCK, L"WTS_SESSION_LOCK"},
        {WTS_SESSION_UNLOCK, L"WTS_SESSION_UNLOCK"},
        {WTS_SESSION_REMOTE_CONTROL, L"WTS_SESSION_REMOTE_CONTROL"},
    };
    for (const auto& entry : kNames) {
        if (entry.reason == reason)
            return entry.name;
    }
    CString text;
    text.Format(L"\x041E\x043F\x043F\x0430-\x043D\x044C\x043A\x0438! \x0427\x0442\x043E \x0437\x0430 "
                L"\x043D\x0430\x0444\x0438\x0433 WTSSessionChangeReason_2_Str: wReason=%d",
                reason);
    return text;
}
