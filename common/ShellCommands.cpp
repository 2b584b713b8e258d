#include "common/ShellCommands.h"

#include <shellapi.h>

#include "common/SystemErrorText.h"

CString GetErrorMessageText(DWORD errorCode)
{
    return GetSystemErrorText(errorCode);
}

HINSTANCE ShellExecuteWithError(HWND window, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                LPCWSTR directory, int show, ULONG mask, CString* errorText)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    info.hwnd = window;
    info.lpVerb = verb;
    info.lpFile = file;
    info.lpParameters = parameters;
    info.lpDirectory = directory;
    info.nShow = show;
    const BOOL started = ::ShellExecuteExW(&info);
    const DWORD lastError = ::GetLastError();
    const INT_PTR code = reinterpret_cast<INT_PTR>(info.hInstApp);
    if (code <= 32 && errorText) {
        // Without a code of its own the failure is told by the last error.
        const DWORD error = (code == 0 && !started) ? lastError : static_cast<DWORD>(code);
        *errorText = GetErrorMessageText(error);
    }
    return info.hInstApp;
}

bool ShowOpenWithDialog(HWND window, LPCWSTR path)
{
    const CString parameters = CString(L"shell32.dll,OpenAs_RunDLL ") + path;
    const HINSTANCE result = ::ShellExecuteW(window, L"open", L"Rundll32.exe", parameters, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool ShowFileProperties(LPCWSTR path, HWND owner)
{
    if (!path || !*path)
        return false;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = owner;
    info.lpVerb = L"properties";
    info.lpFile = path;
    info.nShow = SW_SHOW;
    return ::ShellExecuteExW(&info) != FALSE;
}
