// test-locks: desktop sharedlog
#include "common/SystemInfo.h"

#include "common/SharedLog.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

TEST(DesktopCheck, TellsTheSameDesktopFromAnother)
{
    HDESK own = GetThreadDesktop(GetCurrentThreadId());
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(DesktopCheck(own, own));

    // Another handle of the same desktop counts as the same one.
    HDESK again = OpenDesktopW(L"Default", 0, FALSE, DESKTOP_READOBJECTS);
    if (again) {
        EXPECT_TRUE(DesktopCheck(own, again));
        CloseDesktop(again);
    }

    const std::wstring name = L"ScvTestDesk" + std::to_wstring(GetCurrentProcessId());
    HDESK other = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(DesktopCheck(own, other));
    CloseDesktop(other);
}

TEST(DesktopCheck, AnUnreadableDesktopIsNotTheSameAndIsLogged)
{
    scvtest::TempFolder folder;
    const std::wstring logPath = folder.PathOf(L"log.txt");
    ASSERT_TRUE(LogOpen(logPath.c_str()));

    HDESK own = GetThreadDesktop(GetCurrentThreadId());
    EXPECT_FALSE(DesktopCheck(own, nullptr));

    EXPECT_TRUE(WaitForPendingLogEntries(10000));
    LogClose();
    const std::wstring log = folder.ReadText(L"log.txt").value_or(L"");
    EXPECT_NE(log.find(L"b1=0, szName2=, dwLenNeed="), std::wstring::npos) << log;
    EXPECT_EQ(log.find(L"szName1="), std::wstring::npos) << log;
    EXPECT_NE(log.find(L"hDesk1=["), std::wstring::npos) << log;
    EXPECT_NE(log.find(L",1] hDesk2=[,0]"), std::wstring::npos) << log;
}

TEST(SystemInfo, BuildStampHasTheCompilerDateAndTime)
{
    const std::wstring stamp = GetBuildStamp().GetString();
    EXPECT_TRUE(std::regex_match(
        stamp, std::wregex(L"[A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}")))
        << stamp;
}

TEST(SystemInfo, DnsDomainIsReadable)
{
    // The test machine may have no domain; the name must be a plain host-name text.
    const std::wstring domain = GetComputerDnsDomain().GetString();
    EXPECT_TRUE(std::regex_match(domain, std::wregex(L"[A-Za-z0-9.-]*"))) << domain;
}
