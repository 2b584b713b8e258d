#pragma once

// The Windows version this process runs on, its display names and bitness.
//
// COsVersionInfo holds no state of its own: the detection runs once per process
// (on any thread) and its result is shared. All members are static, so they can
// be called on the class or on a temporary object alike:
//   COsVersionInfo::GetOsDescription();   COsVersionInfo().IsVistaOrLater();

#include "platform/CString.h"

#include <windows.h>

class COsVersionInfo
{
public:
    // Operating-system ids.
    enum : int
    {
        OsUnknown = -1,
        OsWin95 = 0,
        OsWin98 = 1,
        OsWinMe = 2,
        OsWinNT351 = 3,
        OsWinNT40 = 4,
        OsWin2000 = 5,
        OsWinVista = 6,
        OsWinServer2008 = 7,
        OsWin311 = 8,
        OsWinXP = 9,
        OsWinServer2003 = 10,
        OsWin7 = 11,
        OsWinServer2008R2 = 12,
        OsWin8 = 13,
        OsWinServer2012 = 14,
        OsWin81 = 15,
        OsWinServer2012R2 = 16,
        OsWin10 = 17,
        OsWinServer2016 = 18,
        OsWinServer2019 = 19,
        OsWin11 = 20,
        OsWinServer2022 = 21,
    };

    COsVersionInfo() = default;

    // The id of the running system (detected on the first call); -1 when the
    // version cannot be read or is not known.
    static int GetOsId();
    // "Windows 10" and so on; "Unknown Windows" for an unknown id.
    static CString GetOsName();
    // "Win10" and so on; "UnknowOs" for an unknown id.
    static CString GetOsShortId();
    // The display name followed by " 64x" on a 64-bit system, else " 32x".
    static CString GetOsNameWithBitness();
    // One line for logs and reports: name with bitness, "build N" and the
    // service-pack text (empty when none, the blank before it stays).
    static CString GetOsDescription();
    static int GetOsBuildNumber();
    static CString GetOsServicePackText();

    // Reads the version now: true when it is major.minor or later.
    static bool IsOsVersionAtLeast(DWORD major, DWORD minor);
    static bool IsVistaOrLater() { return IsOsVersionAtLeast(6, 0); }
    static bool IsWin7OrLater() { return IsOsVersionAtLeast(6, 1); }

    // True for a 32-bit process on 64-bit Windows; false when that cannot be told.
    static bool IsWow64();
    // True when the system is 64-bit: a 64-bit process, or a 32-bit one under WOW64.
    static bool Is64BitSystem();
    static bool IsWin9xId(int id) { return id >= OsWin95 && id <= OsWinMe; }

    // The rules behind the detection, for any version record.
    static int OsIdFromVersion(const OSVERSIONINFOEXW& version);
    static const wchar_t* OsNameOfId(int id);
    static const wchar_t* OsShortIdOfId(int id);

    // Fills the record with RtlGetVersion, else GetVersionExW; false when both fail.
    static bool ReadVersion(OSVERSIONINFOEXW& version);
};
