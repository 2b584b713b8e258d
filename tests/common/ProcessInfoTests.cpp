#include "common/ProcessInfo.h"

#include "support/ChildMain.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace
{
CString OwnPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

bool ContainsNoCase(const std::vector<CString>& paths, const CString& path)
{
    return std::any_of(paths.begin(), paths.end(),
                       [&](const CString& p) { return p.CompareNoCase(path) == 0; });
}
} // namespace

// Child: stays alive until the test ends it.
SCV_CHILD_MAIN(linger)
{
    Sleep(60000);
    return 0;
}

TEST(ProcessInfo, GivesTheImagePathOfAProcess)
{
    EXPECT_EQ(GetProcessImagePath(GetCurrentProcessId()).CompareNoCase(OwnPath()), 0);
    EXPECT_TRUE(GetProcessImagePath(0).IsEmpty());

    scvtest::ChildProcess child = scvtest::LaunchSelf(L"linger");
    ASSERT_TRUE(child.Started());
    // A process just created may not answer yet: wait until its image is known.
    scvtest::WaitUntil([&] { return !GetProcessImagePath(child.Pid()).IsEmpty(); }, 5000);
    EXPECT_EQ(GetProcessImagePath(child.Pid()).CompareNoCase(OwnPath()), 0);
    const DWORD endedPid = child.Pid();
    child.Terminate();
    EXPECT_TRUE(GetProcessImagePath(endedPid).IsEmpty());
}

TEST(ProcessInfo, ListsTheRunningExecutables)
{
    scvtest::ChildProcess child = scvtest::LaunchSelf(L"linger");
    ASSERT_TRUE(child.Started());

    std::vector<CString> paths{L"stale entry"};
    ASSERT_TRUE(ListProcessPaths(paths, false));
    EXPECT_FALSE(ContainsNoCase(paths, L"stale entry"));
    EXPECT_TRUE(ContainsNoCase(paths, OwnPath()));
    for (const CString& path : paths)
        EXPECT_GE(path.Find(L'\\'), 0) << path.GetString();
    // This program runs twice: both are listed.
    EXPECT_GE(std::count_if(paths.begin(), paths.end(),
                            [](const CString& p) { return p.CompareNoCase(OwnPath()) == 0; }),
              2);

    std::vector<CString> unique;
    ASSERT_TRUE(ListProcessPaths(unique, true));
    EXPECT_TRUE(ContainsNoCase(unique, OwnPath()));
    for (size_t i = 1; i < unique.size(); ++i)
        EXPECT_LT(unique[i - 1].CompareNoCase(unique[i]), 0) << unique[i].GetString();
    child.Terminate();
}

TEST(ProcessInfo, PreloadsTheProcessLibraries)
{
    EXPECT_EQ(PreloadProcessApiLibraries(), 2);
    EXPECT_NE(GetModuleHandleW(L"psapi.dll"), nullptr);
}
