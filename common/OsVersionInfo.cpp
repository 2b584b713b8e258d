#include "common/OsVersionInfo.h"

#include "common/RuntimeBinding.h"

#include <atomic>
#include <mutex>

namespace
{
struct OsNames
{
    const wchar_t* name;
    const wchar_t* shortId;
};

constexpr OsNames kOsNames[] = {
    {L"Windows 95", L"Win95"},
    {L"Windows 98", L"Win98"},
    {L"Windows ME", L"WinMe"},
    {L"Windows NT 3.51", L"WinNT351"},
    {L"Windows NT 4.0", L"WinNT40"},
    {L"Windows 2000", L"Win2000"},
    {L"Windows Vista", L"WinVista"},
    {L"Windows Server 2008", L"WinServer2008"},
    {L"Windows 3.11", L"Win31"},
    {L"Windows XP", L"WinXP"},
    {L"Windows Server 2003", L"Server2003"},
    {L"Windows 7", L"Win7"},
    {L"Windows Server 2008 R2", L"WinServer2008R2"},
    {L"Windows 8", L"Win8"},
    {L"Windows Server 2012", L"WinServer2012"},
    {L"Windows 8.1", L"Win81"},
    {L"Windows Server 2012 R2", L"WinServer2012R2"},
    {L"Windows 10", L"Win10"},
    {L"Windows Server 2016", L"WinServer2016"},
    {L"Windows Server 2019", L"WinServer2019"},
    {L"Windows 11", L"Win11"},
    {L"Windows Server 2022", L"WinServer2022"},
};
constexpr int kOsNameCount = static_cast<int>(sizeof(kOsNames) / sizeof(kOsNames[0]));

constexpr DWORD kPlatformWindows = 1; // VER_PLATFORM_WIN32_WINDOWS
constexpr DWORD kPlatformNt = 2;      // VER_PLATFORM_WIN32_NT

// The detection result, shared by the process. Written once under the lock,
// then only read.
struct DetectedOs
{
    std::atomic<bool> detected{false};
    std::mutex lock;
    int id = COsVersionInfo::OsUnknown;
    int build = 0;
    CString servicePack;
};

DetectedOs& Detected()
{
    static DetectedOs state;
    return state;
}

int MapVersion4(const OSVERSIONINFOEXW& v)
{
    switch (v.dwMinorVersion) {
    case 0:
        if (v.dwPlatformId == kPlatformWindows)
            return COsVersionInfo::OsWin95;
        if (v.dwPlatformId == kPlatformNt)
            return COsVersionInfo::OsWinNT40;
        return COsVersionInfo::OsUnknown;
    case 10:
        return COsVersionInfo::OsWin98;
    case 90:
        return COsVersionInfo::OsWinMe;
    default:
        return COsVersionInfo::OsUnknown;
    }
}

int MapVersion5(const OSVERSIONINFOEXW& v)
{
    switch (v.dwMinorVersion) {
    case 0:
        return COsVersionInfo::OsWin2000;
    case 1:
        return COsVersionInfo::OsWinXP;
    case 2:
        return COsVersionInfo::OsWinServer2003;
    default:
        return COsVersionInfo::OsUnknown;
    }
}

int MapVersion6(const OSVERSIONINFOEXW& v)
{
    static constexpr int workstation[] = {COsVersionInfo::OsWinVista, COsVersionInfo::OsWin7,
                                          COsVersionInfo::OsWin8, COsVersionInfo::OsWin81};
    static constexpr int server[] = {COsVersionInfo::OsWinServer2008, COsVersionInfo::OsWinServer2008R2,
                                     COsVersionInfo::OsWinServer2012, COsVersionInfo::OsWinServer2012R2};
    if (v.dwMinorVersion > 3)
        return COsVersionInfo::OsUnknown;
    return v.wProductType == VER_NT_WORKSTATION ? workstation[v.dwMinorVersion] : server[v.dwMinorVersion];
}

int MapVersion10(const OSVERSIONINFOEXW& v)
{
    const DWORD build = v.dwBuildNumber;
    if (v.wProductType == VER_NT_WORKSTATION)
        return build < 22000 ? COsVersionInfo::OsWin10 : COsVersionInfo::OsWin11;
    if (build < 17663)
        return COsVersionInfo::OsWinServer2016;
    if (build <= 17763)
        return COsVersionInfo::OsWinServer2019;
    return COsVersionInfo::OsWinServer2022;
}

void DetectOnce()
{
    DetectedOs& state = Detected();
    if (state.detected.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.detected.load(std::memory_order_relaxed))
        return;

    OSVERSIONINFOEXW version{};
    if (!COsVersionInfo::ReadVersion(version))
        return; // nothing cached: the next call tries again

    const int id = COsVersionInfo::OsIdFromVersion(version);
    version.szCSDVersion[99] = L'\0';
    state.servicePack = version.szCSDVersion;
    state.build = COsVersionInfo::IsWin9xId(id) ? static_cast<int>(LOWORD(version.dwBuildNumber))
                                                : static_cast<int>(version.dwBuildNumber);
    state.id = id;
    state.detected.store(true, std::memory_order_release);
}
} // namespace

bool COsVersionInfo::ReadVersion(OSVERSIONINFOEXW& version)
{
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    using GetVersionExWFn = BOOL(WINAPI*)(OSVERSIONINFOEXW*);

    version = OSVERSIONINFOEXW{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (auto rtlGetVersion = FindFunctionInUse<RtlGetVersionFn>(L"ntdll.dll", "RtlGetVersion")) {
        if (rtlGetVersion(&version) == 0)
            return true;
    }
    version = OSVERSIONINFOEXW{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (auto getVersionEx = FindFunctionInUse<GetVersionExWFn>(L"kernel32.dll", "GetVersionExW"))
        return getVersionEx(&version) != FALSE;
    return false;
}

int COsVersionInfo::OsIdFromVersion(const OSVERSIONINFOEXW& version)
{
    switch (version.dwMajorVersion) {
    case 3:
        return OsWinNT351;
    case 4:
        return MapVersion4(version);
    case 5:
        return MapVersion5(version);
    case 6:
        return MapVersion6(version);
    case 10:
        return MapVersion10(version);
    default:
        return OsUnknown;
    }
}

const wchar_t* COsVersionInfo::OsNameOfId(int id)
{
    return id >= 0 && id < kOsNameCount ? kOsNames[id].name : L"Unknown Windows";
}

const wchar_t* COsVersionInfo::OsShortIdOfId(int id)
{
    return id >= 0 && id < kOsNameCount ? kOsNames[id].shortId : L"UnknowOs";
}

int COsVersionInfo::GetOsId()
{
    DetectOnce();
    return Detected().id;
}

CString COsVersionInfo::GetOsName()
{
    return OsNameOfId(GetOsId());
}

CString COsVersionInfo::GetOsShortId()
{
    return OsShortIdOfId(GetOsId());
}

CString COsVersionInfo::GetOsNameWithBitness()
{
    return GetOsName() + (Is64BitSystem() ? L" 64x" : L" 32x");
}

CString COsVersionInfo::GetOsDescription()
{
    CString build;
    build.Format(L"build %d", GetOsBuildNumber());
    return GetOsNameWithBitness() + L" " + build + L" " + GetOsServicePackText();
}

int COsVersionInfo::GetOsBuildNumber()
{
    DetectOnce();
    return Detected().build;
}

CString COsVersionInfo::GetOsServicePackText()
{
    DetectOnce();
    DetectedOs& state = Detected();
    return state.detected.load(std::memory_order_acquire) ? state.servicePack : CString();
}

bool COsVersionInfo::IsOsVersionAtLeast(DWORD major, DWORD minor)
{
    OSVERSIONINFOEXW version{};
    if (!ReadVersion(version))
        return false;
    if (version.dwMajorVersion != major)
        return version.dwMajorVersion > major;
    return version.dwMinorVersion >= minor;
}

bool COsVersionInfo::IsWow64()
{
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64Process = FindFunctionInUse<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process");
    if (!isWow64Process)
        return false;
    BOOL wow64 = FALSE;
    if (!isWow64Process(::GetCurrentProcess(), &wow64))
        return false;
    return wow64 != FALSE;
}

bool COsVersionInfo::Is64BitSystem()
{
    return sizeof(void*) == 8 || IsWow64();
}
