#include "common/SystemTexts.h"

#include "common/LocaleInfo.h"
#include "common/RuntimeBinding.h"
#include "common/ByteSizeText.h"

#include <psapi.h>

#include <iterator>

namespace
{
constexpr int kMaxKeyboardLayouts = 50;
const wchar_t kCannotDetect[] = L"Cannot detect";

bool ReadMemoryStatus(MEMORYSTATUSEX& status)
{
    using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
    auto globalMemoryStatusEx =
        FindFunctionInUse<GlobalMemoryStatusExFn>(L"kernel32.dll", "GlobalMemoryStatusEx");
    if (!globalMemoryStatusEx)
        return false;
    status = MEMORYSTATUSEX{};
    status.dwLength = sizeof(status);
    return globalMemoryStatusEx(&status) != FALSE;
}

CString GigabytesText(double megabytes)
{
    CString text;
    text.Format(L"%.2f GB", megabytes / 1024.0);
    return text;
}
} // namespace

CString GetKeyboardLanguagesText()
{
    HKL layouts[kMaxKeyboardLayouts] = {};
    const int count = ::GetKeyboardLayoutList(kMaxKeyboardLayouts, layouts);
    CString text;
    for (int i = 0; i < count; ++i) {
        const LANGID language = LOWORD(reinterpret_cast<ULONG_PTR>(layouts[i]));
        CString name = GetLocaleString(MAKELCID(language, SORT_DEFAULT), LOCALE_SISO639LANGNAME);
        if (name.IsEmpty())
            continue;
        if (!text.IsEmpty())
            text += L'+';
        text += name;
    }
    return text;
}

CString FormatByteSize(LONGLONG byteCount)
{
    return FormatByteSizeText(byteCount);
}

CString GetInstalledMemoryText()
{
    MEMORYSTATUSEX status{};
    if (!ReadMemoryStatus(status))
        return kCannotDetect;
    return GigabytesText(static_cast<double>(status.ullTotalPhys >> 20));
}

CString GetAvailableMemoryText()
{
    using GetPerformanceInfoFn = BOOL(WINAPI*)(PPERFORMANCE_INFORMATION, DWORD);
    CLoadedModule psapi(L"Psapi.dll");
    auto getPerformanceInfo = psapi.Find<GetPerformanceInfoFn>("GetPerformanceInfo");
    if (!getPerformanceInfo)
        return kCannotDetect;
    PERFORMANCE_INFORMATION info{};
    info.cb = sizeof(info);
    if (!getPerformanceInfo(&info, sizeof(info)))
        return kCannotDetect;
    const ULONGLONG megabytes =
        (static_cast<ULONGLONG>(info.PageSize >> 10) * static_cast<ULONGLONG>(info.PhysicalAvailable)) >> 10;
    return GigabytesText(static_cast<double>(megabytes));
}

CString GetMemoryUsageText()
{
    MEMORYSTATUSEX status{};
    if (!ReadMemoryStatus(status))
        return kCannotDetect;
    CString text;
    text.Format(L"%d%%", static_cast<int>(status.dwMemoryLoad));
    return text;
}

CString GetInternetExplorerVersion()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Internet Explorer", 0, KEY_QUERY_VALUE,
                        &key) != ERROR_SUCCESS)
        return CString();
    wchar_t value[261] = {}; // 520 bytes of text and a terminator
    DWORD type = 0;
    DWORD size = sizeof(value) - sizeof(wchar_t);
    const LONG result =
        ::RegQueryValueExW(key, L"Version", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return CString();
    value[size / sizeof(wchar_t)] = L'\0';
    return value;
}
