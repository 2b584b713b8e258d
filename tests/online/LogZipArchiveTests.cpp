// The support archive: its default name, its entries reopened with unzip and
// compared, and failures that leave no archive (nor an older one damaged).
#include "online/LogZipArchive.h"

#include "support/TempFolder.h"
#include "support/ZipEntries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(static_cast<LPCWSTR>(text));
}

int CountFiles(const std::wstring& pattern)
{
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW(pattern.c_str(), &data);
    int count = 0;
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++count;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return count;
}

std::wstring TempReportPath()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + kReportEntryName;
}
} // namespace

TEST(LogZipArchiveTests, DefaultNameIsBuiltFromLogNameVersionAndDate)
{
    auto expand = [](const CString& text) -> CString {
        if (text == L"%SCV_VERSION%")
            return L" 6.0 beta ";
        if (text == L"%DAY%_%MONTHNAME_ABBR%_%YEAR%_")
            return L"7_Mar_2026_";
        return L"?";
    };
    struct Case
    {
        const wchar_t* log;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\Logs\\LogReport.txt", L"LogReport_Scrivolanter_6.0_beta_version_7_Mar_2026_.zip"},
        {L"C:\\Logs\\my log.v2.txt", L"my_log.v2_Scrivolanter_6.0_beta_version_7_Mar_2026_.zip"},
        {L"C:\\Logs\\.hidden", L".hidden_Scrivolanter_6.0_beta_version_7_Mar_2026_.zip"},
        {L"", L"Scrivolanter_6.0_beta_version_7_Mar_2026_.zip"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(MakeDefaultLogZipName(c.log, expand)), c.name) << Text(c.log);
    auto withColon = [](const CString& text) -> CString { return text == L"%SCV_VERSION%" ? L"6:1" : L"x"; };
    EXPECT_EQ(Text(MakeDefaultLogZipName(L"LogReport.txt", withColon)),
              L"LogReport_Scrivolanter_6_1_version_x.zip");
}

TEST(LogZipArchiveTests, ArchiveHoldsReportSettingsAndLogUnderTheirNames)
{
    scvtest::TempFolder folder;
    const std::string settings = "[Settings]\r\nHotKey=13\r\n";
    std::string log;
    for (int i = 0; i < 5000; ++i)
        log += "line " + std::to_string(i) + "\r\n";
    const std::wstring settingsPath = folder.WriteBytes(L"cfg\\Settings.ini", settings);
    const std::wstring logPath = folder.WriteBytes(L"logs\\LogReport.txt", log);
    folder.WriteBytes(L"out\\support.zip", "an older archive");

    LogZipRequest request;
    request.logPath = logPath.c_str();
    request.zipPath = folder.PathOf(L"out\\support.zip").c_str();
    request.showFailureBox = false;
    request.reportText = L"Version: 6.0\r\nOS: \x0412\x0438\x043D\x0434\x043E\x0432\x0441";
    request.settingsPath = settingsPath.c_str();
    CString explorerParameters;
    request.openExplorer = [&](HWND, const CString& parameters) { explorerParameters = parameters; };
    ASSERT_TRUE(CreateLogZipArchive(request));

    const auto entries = scvtest::ReadZipEntries(folder.PathOf(L"out\\support.zip"));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "Scrivolanter_Info.txt");
    EXPECT_EQ(entries[0].bytes,
              "Version: 6.0\r\nOS: \xD0\x92\xD0\xB8\xD0\xBD\xD0\xB4\xD0\xBE\xD0\xB2\xD1\x81");
    EXPECT_EQ(entries[1], (scvtest::ZipEntry{"Settings.ini", settings}));
    EXPECT_EQ(entries[2], (scvtest::ZipEntry{"LogReport.txt", log}));
    EXPECT_EQ(Text(explorerParameters), L"/select, \"" + folder.PathOf(L"out\\support.zip") + L"\"");
    EXPECT_EQ(::GetFileAttributesW(TempReportPath().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(CountFiles(folder.PathOf(L"out\\*")), 1); // the older archive was replaced, nothing beside it
}

TEST(LogZipArchiveTests, FailuresLeaveNoArchiveAndKeepAnOlderOne)
{
    scvtest::TempFolder folder;
    const std::wstring settingsPath = folder.WriteBytes(L"Settings.ini", "[Settings]\r\n");
    const std::wstring zipPath = folder.WriteBytes(L"out\\support.zip", "an older archive");

    LogZipRequest request;
    request.logPath = folder.PathOf(L"LogReport.txt").c_str(); // missing
    request.zipPath = zipPath.c_str();
    request.showFailureBox = false;
    request.reportText = L"report";
    request.settingsPath = settingsPath.c_str();
    bool explorerAsked = false;
    request.openExplorer = [&](HWND, const CString&) { explorerAsked = true; };
    EXPECT_FALSE(CreateLogZipArchive(request));
    EXPECT_FALSE(explorerAsked);
    EXPECT_EQ(folder.ReadBytes(L"out\\support.zip").value_or(""), "an older archive");
    EXPECT_EQ(CountFiles(folder.PathOf(L"out\\*")), 1); // no temporary archive left beside it
    EXPECT_EQ(::GetFileAttributesW(TempReportPath().c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_FALSE(CreateZipFromFiles({}, folder.PathOf(L"empty.zip").c_str()));
    EXPECT_FALSE(folder.Exists(L"empty.zip"));
    EXPECT_FALSE(
        CreateZipFromFiles({settingsPath.c_str()}, folder.PathOf(L"no\\such\\folder\\a.zip").c_str()));

    const std::vector<CString> files = {L"C:\\t\\Scrivolanter_Info.txt", L"C:\\s\\Settings.ini",
                                        L"C:\\l\\Log.txt"};
    EXPECT_EQ(Text(LogZipFailureText(L"D:\\a.zip", files)),
              L"Cannot create ZIP-archive D:\\a.zip\n\nFollows Files:\nC:\\t\\Scrivolanter_Info.txt\n"
              L"C:\\s\\Settings.ini\nC:\\l\\Log.txt\n");
}
