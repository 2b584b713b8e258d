#pragma once

// The contract between the main program and the core hook DLL "Scrivolanter.dll":
// the export names, their signatures, the install record and its result codes.
// Header only, kept in platform/ so that the DLL (platform/hookdll) and the
// main program include the one contract from below both.
//
// On i686 the install record is the packed 66-byte layout the DLL has always
// read. On x86_64 the handle and address fields are pointer-sized (both sides
// are built from this header), so the record is larger there.

#include <windows.h>

#include <cstddef>

#pragma pack(push, 1)
struct SVInstallParams
{
    HWND trayWindow;                // offset 0
    UINT targetRequestMessage;      // 4: the registered target-request message
    DWORD reserved8;                // 8
    LPCWSTR dataNeededEventName;    // 12: "Local\Scrivolanter_DataNeeded"
    LPCWSTR dataCompletedEventName; // 16: "Local\Scrivolanter_DataCompleted"
    LPCWSTR mappingName;            // 20: "Local\$SCRIVOLANTER_INTERCHANGE_AREA$"
    LPCWSTR logFilePath;            // 24: null when logging is off
    int resultCode;                 // 28: written by the DLL
    DWORD reserved32;               // 32
    ATOM logAtom;                   // 36: the atom naming the log path, 0 when the log is closed
    int answerWaitingAllowed;       // 38: 0 or 1
    DWORD reserved42;               // 42
    DWORD reserved46;               // 46
    BYTE reserved50[16];            // 50
};
#pragma pack(pop)

#ifndef _WIN64
static_assert(sizeof(SVInstallParams) == 66);
static_assert(offsetof(SVInstallParams, dataNeededEventName) == 12);
static_assert(offsetof(SVInstallParams, logFilePath) == 24);
static_assert(offsetof(SVInstallParams, resultCode) == 28);
static_assert(offsetof(SVInstallParams, logAtom) == 36);
static_assert(offsetof(SVInstallParams, answerWaitingAllowed) == 38);
static_assert(offsetof(SVInstallParams, reserved50) == 50);
#endif

// The record SV_Uninstall2 takes: three 32-bit fields 12, 1, 0.
struct SVUninstallParams
{
    DWORD size = 12;
    DWORD flags = 1;
    DWORD reserved = 0;
};
static_assert(sizeof(SVUninstallParams) == 12);

// Result codes of an install (the record's resultCode, or set by the program).
enum SVInstallResultCode : int
{
    kSVInstallSuccess = 0,
    kSVInstallInvalidNames = 1,
    kSVInstallAlreadyInstalled = 2,
    kSVInstallCannotHook = 3,
    kSVInstallCannotLoadDll = 4,
    kSVInstallNoInstallFunction = 5,
    kSVInstallCannotCreateServiceEvent = 7,
};

// The exports, bound by name.
inline constexpr char kSVInstall2Export[] = "SV_Install2";
inline constexpr char kSVInstallExport[] = "SV_Install";
inline constexpr char kSVUninstall2Export[] = "SV_Uninstall2";
inline constexpr char kSVUninstallExport[] = "SV_Uninstall";
inline constexpr char kSVGetTargetWindowExport[] = "SV_GetTargetWindow";
inline constexpr char kSVGetTargetWindowOtherExport[] = "SV_GetTargetWindowOther";

// Non-zero on success; the record's resultCode tells why not.
using SVInstallFunction = int(__cdecl*)(SVInstallParams* params);
// Non-zero on success.
using SVUninstallFunction = int(__cdecl*)();
using SVUninstall2Function = int(__cdecl*)(SVUninstallParams* params, int reserved);
// The window the hook takes for the user's target; null when none.
using SVGetTargetWindowFunction = HWND(__cdecl*)();
