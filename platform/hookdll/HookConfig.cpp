#include "platform/hookdll/HookConfig.h"

#include <cstring>
#include <cwchar>

bool CopyHookConfigName(wchar_t (&field)[kHookConfigNameChars], LPCWSTR name)
{
    if (!name)
        return false;
    const size_t length = wcsnlen(name, kHookConfigNameChars);
    if (length == 0 || length >= kHookConfigNameChars)
        return false;
    wmemcpy(field, name, length);
    field[length] = L'\0';
    return true;
}

HANDLE PublishHookConfig(const HookConfig& config)
{
    HANDLE mapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          sizeof(HookConfig), kHookConfigMappingName);
    if (!mapping)
        return nullptr;
    void* view = ::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(HookConfig));
    if (!view) {
        ::CloseHandle(mapping);
        return nullptr;
    }
    std::memcpy(view, &config, sizeof(config));
    ::UnmapViewOfFile(view);
    return mapping;
}

bool ReadHookConfig(HookConfig& config)
{
    HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, kHookConfigMappingName);
    if (!mapping)
        return false;
    const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    bool read = false;
    if (view) {
        MEMORY_BASIC_INFORMATION info = {};
        if (::VirtualQuery(view, &info, sizeof(info)) == sizeof(info) &&
            info.RegionSize >= sizeof(HookConfig)) {
            std::memcpy(&config, view, sizeof(config));
            read = config.size == sizeof(HookConfig);
        }
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(mapping);
    config.dataNeededEventName[kHookConfigNameChars - 1] = L'\0';
    config.dataCompletedEventName[kHookConfigNameChars - 1] = L'\0';
    config.mappingName[kHookConfigNameChars - 1] = L'\0';
    return read;
}
