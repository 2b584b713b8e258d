#pragma once

// What the installing process tells the DLL's code in the target processes: a
// small named mapping that SV_Install creates and holds while the hook is
// installed, read by the hook procedure when a registered message arrives.

#include <windows.h>

inline constexpr wchar_t kHookConfigMappingName[] = L"Local\\Scrivolanter_CoreHookConfig";
inline constexpr int kHookConfigNameChars = 128;

struct HookConfig
{
    DWORD size = sizeof(HookConfig);
    DWORD installerProcessId = 0;
    ULONGLONG trayWindow = 0;
    UINT targetRequestMessage = 0;
    int answerWaitingAllowed = 0;
    wchar_t dataNeededEventName[kHookConfigNameChars] = {};
    wchar_t dataCompletedEventName[kHookConfigNameChars] = {};
    wchar_t mappingName[kHookConfigNameChars] = {};
};

// Copies a name into one of the record's fields; false for a null, empty or
// too long name.
bool CopyHookConfigName(wchar_t (&field)[kHookConfigNameChars], LPCWSTR name);

// Creates the mapping and writes the record into it; the handle keeps it
// alive (null on failure).
HANDLE PublishHookConfig(const HookConfig& config);

// Reads the record of the installing process; false when there is none or it
// is not a record of this layout. The names come back terminated.
bool ReadHookConfig(HookConfig& config);
