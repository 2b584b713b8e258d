#include "common/OsVersionInfo.h"

#include <gtest/gtest.h>

namespace
{
OSVERSIONINFOEXW MakeVersion(DWORD major, DWORD minor, DWORD build, BYTE productType, DWORD platform = 2)
{
    OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof(v);
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    v.wProductType = productType;
    v.dwPlatformId = platform;
    return v;
}

constexpr BYTE kWorkstation = VER_NT_WORKSTATION;
constexpr BYTE kServer = VER_NT_SERVER;
constexpr BYTE kDomainController = VER_NT_DOMAIN_CONTROLLER;

struct OsIdCase
{
    DWORD major, minor, build;
    BYTE productType;
    DWORD platform;
    int expected;
};
} // namespace

TEST(OsVersionInfo, MapsVersionRecordsToOsIds)
{
    const OsIdCase cases[] = {
        {3, 51, 1057, kWorkstation, 2, COsVersionInfo::OsWinNT351},
        {4, 0, 950, 0, 1, COsVersionInfo::OsWin95},
        {4, 0, 1381, kWorkstation, 2, COsVersionInfo::OsWinNT40},
        {4, 0, 1, 0, 0, COsVersionInfo::OsUnknown},
        {4, 10, 2222, 0, 1, COsVersionInfo::OsWin98},
        {4, 90, 3000, 0, 1, COsVersionInfo::OsWinMe},
        {4, 20, 1, 0, 1, COsVersionInfo::OsUnknown},
        {5, 0, 2195, kWorkstation, 2, COsVersionInfo::OsWin2000},
        {5, 1, 2600, kWorkstation, 2, COsVersionInfo::OsWinXP},
        {5, 2, 3790, kServer, 2, COsVersionInfo::OsWinServer2003},
        {5, 3, 1, kWorkstation, 2, COsVersionInfo::OsUnknown},
        {6, 0, 6002, kWorkstation, 2, COsVersionInfo::OsWinVista},
        {6, 0, 6002, kServer, 2, COsVersionInfo::OsWinServer2008},
        {6, 1, 7601, kWorkstation, 2, COsVersionInfo::OsWin7},
        {6, 1, 7601, kDomainController, 2, COsVersionInfo::OsWinServer2008R2},
        {6, 2, 9200, kWorkstation, 2, COsVersionInfo::OsWin8},
        {6, 2, 9200, kServer, 2, COsVersionInfo::OsWinServer2012},
        {6, 3, 9600, kWorkstation, 2, COsVersionInfo::OsWin81},
        {6, 3, 9600, kServer, 2, COsVersionInfo::OsWinServer2012R2},
        {6, 4, 9841, kWorkstation, 2, COsVersionInfo::OsUnknown},
        {10, 0, 19045, kWorkstation, 2, COsVersionInfo::OsWin10},
        {10, 0, 21999, kWorkstation, 2, COsVersionInfo::OsWin10},
        {10, 0, 22000, kWorkstation, 2, COsVersionInfo::OsWin11},
        {10, 0, 26100, kWorkstation, 2, COsVersionInfo::OsWin11},
        {10, 0, 14393, kServer, 2, COsVersionInfo::OsWinServer2016},
        {10, 0, 17662, kServer, 2, COsVersionInfo::OsWinServer2016},
        {10, 0, 17663, kServer, 2, COsVersionInfo::OsWinServer2019},
        {10, 0, 17763, kDomainController, 2, COsVersionInfo::OsWinServer2019},
        {10, 0, 17764, kServer, 2, COsVersionInfo::OsWinServer2022},
        {10, 0, 20348, kServer, 2, COsVersionInfo::OsWinServer2022},
        {7, 0, 1, kWorkstation, 2, COsVersionInfo::OsUnknown},
        {11, 0, 30000, kWorkstation, 2, COsVersionInfo::OsUnknown},
    };
    for (const OsIdCase& c : cases) {
        const OSVERSIONINFOEXW v = MakeVersion(c.major, c.minor, c.build, c.productType, c.platform);
        EXPECT_EQ(COsVersionInfo::OsIdFromVersion(v), c.expected)
            << c.major << "." << c.minor << " build " << c.build << " type " << int(c.productType);
    }
}

TEST(OsVersionInfo, NamesEveryIdAndFallsBackForUnknownOnes)
{
    EXPECT_STREQ(COsVersionInfo::OsNameOfId(COsVersionInfo::OsWin95), L"Windows 95");
    EXPECT_STREQ(COsVersionInfo::OsNameOfId(COsVersionInfo::OsWin311), L"Windows 3.11");
    EXPECT_STREQ(COsVersionInfo::OsShortIdOfId(COsVersionInfo::OsWin311), L"Win31");
    EXPECT_STREQ(COsVersionInfo::OsShortIdOfId(COsVersionInfo::OsWinServer2003), L"Server2003");
    EXPECT_STREQ(COsVersionInfo::OsNameOfId(COsVersionInfo::OsWin11), L"Windows 11");
    EXPECT_STREQ(COsVersionInfo::OsNameOfId(COsVersionInfo::OsWinServer2022), L"Windows Server 2022");
    EXPECT_STREQ(COsVersionInfo::OsShortIdOfId(COsVersionInfo::OsWinServer2022), L"WinServer2022");
    for (int unknown : {-1, 22, 1000}) {
        EXPECT_STREQ(COsVersionInfo::OsNameOfId(unknown), L"Unknown Windows");
        EXPECT_STREQ(COsVersionInfo::OsShortIdOfId(unknown), L"UnknowOs");
    }
    EXPECT_TRUE(COsVersionInfo::IsWin9xId(COsVersionInfo::OsWinMe));
    EXPECT_FALSE(COsVersionInfo::IsWin9xId(COsVersionInfo::OsWinNT351));
    EXPECT_FALSE(COsVersionInfo::IsWin9xId(COsVersionInfo::OsUnknown));
}

TEST(OsVersionInfo, DetectsTheRunningSystemConsistently)
{
    OSVERSIONINFOEXW v{};
    ASSERT_TRUE(COsVersionInfo::ReadVersion(v));
    const int id = COsVersionInfo::GetOsId();
    EXPECT_EQ(id, COsVersionInfo::OsIdFromVersion(v));
    EXPECT_EQ(COsVersionInfo().GetOsId(), id); // the same through an object
    EXPECT_EQ(COsVersionInfo::GetOsBuildNumber(), static_cast<int>(v.dwBuildNumber));
    EXPECT_EQ(COsVersionInfo::GetOsName(), CString(COsVersionInfo::OsNameOfId(id)));

    // A 64-bit process always runs on a 64-bit system.
    if (sizeof(void*) == 8) {
        EXPECT_TRUE(COsVersionInfo::Is64BitSystem());
    }
    EXPECT_EQ(COsVersionInfo::GetOsNameWithBitness(),
              COsVersionInfo::GetOsName() + (COsVersionInfo::Is64BitSystem() ? L" 64x" : L" 32x"));
    CString description;
    description.Format(L"%s build %d %s", COsVersionInfo::GetOsNameWithBitness().GetString(),
                       static_cast<int>(v.dwBuildNumber), COsVersionInfo::GetOsServicePackText().GetString());
    EXPECT_EQ(COsVersionInfo::GetOsDescription(), description);
}

TEST(OsVersionInfo, ComparesWithTheRunningVersion)
{
    OSVERSIONINFOEXW v{};
    ASSERT_TRUE(COsVersionInfo::ReadVersion(v));
    EXPECT_TRUE(COsVersionInfo::IsOsVersionAtLeast(v.dwMajorVersion, v.dwMinorVersion));
    EXPECT_TRUE(COsVersionInfo::IsOsVersionAtLeast(v.dwMajorVersion - 1, 99));
    EXPECT_FALSE(COsVersionInfo::IsOsVersionAtLeast(v.dwMajorVersion, v.dwMinorVersion + 1));
    EXPECT_FALSE(COsVersionInfo::IsOsVersionAtLeast(v.dwMajorVersion + 1, 0));
    EXPECT_EQ(COsVersionInfo::IsVistaOrLater(), v.dwMajorVersion >= 6);
}
