// The exports of the core hook DLL and its global hook.
//
// In the installing process (the main program) SV_Install publishes the
// install record's names in a small config mapping and sets a global
// WH_GETMESSAGE hook, so this DLL is loaded into the other processes of its
// bitness. There the hook procedure watches for the registered target-request
// message; when one is taken from the queue it describes its window into the
// interchange area and signals the program. The installing process also
// follows the foreground window to know the user's target.

#include "platform/interchange/SVInstallParams.h"
#include "platform/hookdll/HookConfig.h"
#include "platform/hookdll/TargetQuery.h"

namespace
{
struct InstallerState
{
    HINSTANCE module = nullptr;
    HHOOK hook = nullptr;
    HANDLE config = nullptr;
    HWINEVENTHOOK foregroundHook = nullptr;
    HWND lastForeignForeground = nullptr;
};

InstallerState& State()
{
    static InstallerState state;
    return state;
}

bool IsForeignWindow(HWND window)
{
    if (!window || !::IsWindow(window))
        return false;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    return processId != 0 && processId != ::GetCurrentProcessId();
}

// Foreground changes come as WinEvents where the system sends them; the
// foreground is also looked at on every request.
HWND RememberForeignForeground()
{
    InstallerState& state = State();
    HWND foreground = ::GetForegroundWindow();
    if (IsForeignWindow(foreground))
        state.lastForeignForeground = foreground;
    return IsForeignWindow(state.lastForeignForeground) ? state.lastForeignForeground : nullptr;
}

void AnswerTargetRequest(MSG& message)
{
    HookConfig config;
    if (!ReadHookConfig(config) || message.message != config.targetRequestMessage)
        return;
    WriteTargetQuery(config, BuildTargetQueryDocument(message.hwnd));
    message.message = WM_NULL; // the target's own code never sees the request
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE && lParam) {
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        // Registered messages only: the request's id is one.
        if (message.message >= 0xC000 && message.message <= 0xFFFF)
            AnswerTargetRequest(message);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ForegroundChanged(HWINEVENTHOOK, DWORD, HWND window, LONG objectId, LONG, DWORD, DWORD)
{
    if (objectId == OBJID_WINDOW && IsForeignWindow(window))
        State().lastForeignForeground = window;
}

bool ObjectsExist(const HookConfig& config)
{
    HANDLE objects[3] = {::OpenEventW(SYNCHRONIZE, FALSE, config.dataNeededEventName),
                         ::OpenEventW(SYNCHRONIZE, FALSE, config.dataCompletedEventName),
                         ::OpenFileMappingW(FILE_MAP_READ, FALSE, config.mappingName)};
    bool all = true;
    for (HANDLE object : objects) {
        all = all && object != nullptr;
        if (object)
            ::CloseHandle(object);
    }
    return all;
}

int Install(SVInstallParams* params)
{
    if (!params)
        return 0;
    InstallerState& state = State();
    if (state.hook) {
        params->resultCode = kSVInstallAlreadyInstalled;
        return 0;
    }
    HookConfig config;
    config.installerProcessId = ::GetCurrentProcessId();
    config.trayWindow = static_cast<ULONGLONG>(reinterpret_cast<UINT_PTR>(params->trayWindow));
    config.targetRequestMessage = params->targetRequestMessage;
    config.answerWaitingAllowed = params->answerWaitingAllowed;
    if (!CopyHookConfigName(config.dataNeededEventName, params->dataNeededEventName) ||
        !CopyHookConfigName(config.dataCompletedEventName, params->dataCompletedEventName) ||
        !CopyHookConfigName(config.mappingName, params->mappingName) ||
        config.targetRequestMessage < 0xC000 || !ObjectsExist(config)) {
        params->resultCode = kSVInstallInvalidNames;
        return 0;
    }
    state.config = PublishHookConfig(config);
    if (state.config)
        state.hook = ::SetWindowsHookExW(WH_GETMESSAGE, &GetMessageHook, state.module, 0);
    if (!state.hook) {
        if (state.config)
            ::CloseHandle(state.config);
        state.config = nullptr;
        params->resultCode = kSVInstallCannotHook;
        return 0;
    }
    state.foregroundHook =
        ::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, &ForegroundChanged, 0, 0,
                          WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    state.lastForeignForeground = nullptr;
    RememberForeignForeground();
    params->resultCode = kSVInstallSuccess;
    return 1;
}

int Uninstall()
{
    InstallerState& state = State();
    if (!state.hook)
        return 0;
    const BOOL unhooked = ::UnhookWindowsHookEx(state.hook);
    state.hook = nullptr;
    if (state.foregroundHook)
        ::UnhookWinEvent(state.foregroundHook);
    state.foregroundHook = nullptr;
    if (state.config)
        ::CloseHandle(state.config);
    state.config = nullptr;
    state.lastForeignForeground = nullptr;
    return unhooked ? 1 : 0;
}
} // namespace

extern "C"
{

    __declspec(dllexport) int __cdecl SV_Install2(SVInstallParams* params)
    {
        return Install(params);
    }

    __declspec(dllexport) int __cdecl SV_Install(SVInstallParams* params)
    {
        return Install(params);
    }

    __declspec(dllexport) int __cdecl SV_Uninstall2(SVUninstallParams*, int)
    {
        return Uninstall();
    }

    __declspec(dllexport) int __cdecl SV_Uninstall()
    {
        return Uninstall();
    }

    // The window the user works in that is not one of the installing process's:
    // the foreground window when it is foreign, else the last foreign one seen.
    __declspec(dllexport) HWND __cdecl SV_GetTargetWindowOther()
    {
        return RememberForeignForeground();
    }

    __declspec(dllexport) HWND __cdecl SV_GetTargetWindow()
    {
        return RememberForeignForeground();
    }

} // extern "C"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        State().module = module;
        ::DisableThreadLibraryCalls(module);
    }
    return TRUE;
}
