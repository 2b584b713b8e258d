// A fake core hook DLL for the service tests. The exports it has are chosen by
// compile definitions (tests/app/CMakeLists.txt). Every call is recorded in the
// environment of the test process, which outlives the library:
//   SCV_FAKE_CORE_CALLS   "SV_Install2;SV_Uninstall;..." in call order
//   SCV_FAKE_CORE_PARAMS  the last install record: message|needed|completed|mapping|wait|window|log
// SV_GetTargetWindow (FAKE_TARGET) answers the window in SCV_FAKE_CORE_TARGET (decimal).

#include "platform/interchange/SVInstallParams.h"

#include <cstdlib>
#include <string>

namespace
{
std::wstring Variable(const wchar_t* name)
{
    wchar_t value[4096] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 4096);
    return length < 4096 ? std::wstring(value, length) : std::wstring();
}

void Record(const wchar_t* call)
{
    const std::wstring calls = Variable(L"SCV_FAKE_CORE_CALLS") + call + L";";
    SetEnvironmentVariableW(L"SCV_FAKE_CORE_CALLS", calls.c_str());
}

[[maybe_unused]] int Install(const wchar_t* name, SVInstallParams* params)
{
    Record(name);
    std::wstring text = std::to_wstring(params->targetRequestMessage);
    for (LPCWSTR part : {params->dataNeededEventName, params->dataCompletedEventName, params->mappingName})
        text += std::wstring(L"|") + (part ? part : L"(null)");
    text += L"|" + std::to_wstring(params->answerWaitingAllowed);
    text += L"|" + std::to_wstring(reinterpret_cast<UINT_PTR>(params->trayWindow));
    text += std::wstring(L"|") + (params->logFilePath ? params->logFilePath : L"(null)");
    SetEnvironmentVariableW(L"SCV_FAKE_CORE_PARAMS", text.c_str());
#ifdef FAKE_INSTALL_FAILS
    params->resultCode = FAKE_INSTALL_FAILS;
    return 0;
#else
    params->resultCode = 0;
    return 1;
#endif
}
} // namespace

extern "C"
{

#ifdef FAKE_INSTALL
    __declspec(dllexport) int __cdecl SV_Install(SVInstallParams* params)
    {
        return Install(L"SV_Install", params);
    }
#endif

#ifdef FAKE_INSTALL2
    __declspec(dllexport) int __cdecl SV_Install2(SVInstallParams* params)
    {
        return Install(L"SV_Install2", params);
    }
#endif

#ifdef FAKE_UNINSTALL
    __declspec(dllexport) int __cdecl SV_Uninstall()
    {
        Record(L"SV_Uninstall");
#ifdef FAKE_UNINSTALL_REFUSES
        return 0;
#else
        return 1;
#endif
    }
#endif

#ifdef FAKE_UNINSTALL2
    __declspec(dllexport) int __cdecl SV_Uninstall2(SVUninstallParams* params, int reserved)
    {
        const bool expected =
            params && params->size == 12 && params->flags == 1 && params->reserved == 0 && reserved == 0;
        Record(expected ? L"SV_Uninstall2" : L"SV_Uninstall2(bad record)");
        return 0;
    }
#endif

#ifdef FAKE_TARGET
    __declspec(dllexport) HWND __cdecl SV_GetTargetWindow()
    {
        Record(L"SV_GetTargetWindow");
        return reinterpret_cast<HWND>(
            static_cast<UINT_PTR>(std::wcstoull(Variable(L"SCV_FAKE_CORE_TARGET").c_str(), nullptr, 10)));
    }

    __declspec(dllexport) HWND __cdecl SV_GetTargetWindowOther()
    {
        return SV_GetTargetWindow();
    }
#endif

} // extern "C"
