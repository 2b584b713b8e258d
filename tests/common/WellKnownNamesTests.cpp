#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/PathFunctions.h"
#include "common/WellKnownNames.h"
#include "support/PulseCatcher.h"
#include "support/TempFolder.h"

namespace
{

// Places the program in a folder of the test's choice and decides the drive
// kind and the write permission per path.
class FakeEnvironment : public CSettingsEnvironment
{
public:
    explicit FakeEnvironment(CString folder) : m_folder(std::move(folder)) {}

    CString GetProgramFolder() const override { return m_folder; }
    bool IsProgramOnRemovableDrive() const override { return removable; }
    bool CanUserWrite(LPCWSTR path) const override { return writable.count(path) != 0; }

    bool removable = false;
    std::set<std::wstring> writable;

private:
    CString m_folder;
};

TEST(WellKnownNames, ProgramFilesAndObjectNames)
{
    const CString folder = GetProgramFolder();
    EXPECT_STREQ(GetWaiterExePath(), folder + L"ScvWaitingFor.exe");
    EXPECT_STREQ(GetExitExePath(), folder + L"SCV_Exit.exe");
    EXPECT_STREQ(GetEditorExePath(), folder + L"ScrivolanterEditor.exe");
    EXPECT_STREQ(GetWelcomeExePath(), folder + L"Scrivolanter_Welcome.exe");
    EXPECT_STREQ(GetProgramFolderFile(L"kbd.wav"), folder + L"kbd.wav");

    EXPECT_STREQ(GetSettingAreaMappingName(), L"Local\\$SCRIVOLANTER_SETTING_AREA$");
    EXPECT_STREQ(GetLangUIChangedEventName(), L"Local\\Scrivolanter_LangUI_Changed");
    EXPECT_STREQ(GetCheckForUpdatesEventName(), L"Local\\Scrivolanter_CheckForUpdates");
    EXPECT_STREQ(GetFloatPaneBlinkEventName(), L"Local\\Scrivolanter_FloatPaneBlink");
    EXPECT_STREQ(GetFirstInstanceEventName(), L"9DDB575E-846B-4600-880F-98319D699611");
}

TEST(WellKnownNames, LanguageFilesOfBuildFoldersComeFromTheirParent)
{
    struct Case
    {
        const wchar_t* programFolder;
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"C:\\Scv\\", L"German.lng", L"C:\\Scv\\German.lng"},
        {L"C:\\Scv\\Release\\", L"German.lng", L"C:\\Scv\\German.lng"},
        {L"C:\\Scv\\release\\", L"German.lng", L"C:\\Scv\\German.lng"},
        {L"C:\\Scv\\DEBUG\\", nullptr, L"C:\\Scv\\LocalizeExample.lng"},
        {L"C:\\Scv\\Releases\\", L"", L"C:\\Scv\\Releases\\LocalizeExample.lng"},
        {L"C:\\Release\\", L"a.lng", L"C:\\a.lng"},
        {L"Release\\", L"a.lng", L"Release\\a.lng"},
    };
    for (const Case& c : cases) {
        FakeEnvironment environment(c.programFolder);
        EXPECT_STREQ(BuildLanguageFilePath(c.name, environment), c.expected) << c.programFolder;
    }
}

TEST(WellKnownNames, LogReportPathRules)
{
    scvtest::TempFolder temp;
    const CString program = (temp.CreateSubfolder(L"program") + L"\\").c_str();
    const CString appData = temp.CreateSubfolder(L"appdata").c_str();
    const CString local = program + L"LogReport.txt";
    const CString fallback = appData + L"\\LogReport_Scrivolanter.txt";
    const std::wstring programNoSlash = RemoveTrailingBackslashes(program).GetString();

    FakeEnvironment environment(program);
    // Nothing may be written: the application-data file.
    EXPECT_STREQ(GetLogReportPath(environment, appData), fallback);
    // A writable folder while the file is missing.
    environment.writable = {programNoSlash};
    EXPECT_STREQ(GetLogReportPath(environment, appData), local);
    // The file exists: its own permission counts, not the folder's.
    ASSERT_FALSE(temp.WriteBytes(L"program\\LogReport.txt", "").empty());
    EXPECT_STREQ(GetLogReportPath(environment, appData), fallback);
    environment.writable = {local.GetString()};
    EXPECT_STREQ(GetLogReportPath(environment, appData), local);
    // A removable or network drive always keeps the log next to the program.
    environment.writable.clear();
    environment.removable = true;
    EXPECT_STREQ(GetLogReportPath(environment, appData), local);
    // An application-data folder given with its backslash gets no second one.
    environment.removable = false;
    EXPECT_STREQ(GetLogReportPath(environment, appData + L"\\"), fallback);
}

TEST(WellKnownNames, DayOfWeek)
{
    struct Case
    {
        int day, month, year, weekday;
    };
    const Case cases[] = {
        {9, 12, 2026, 3},  {1, 1, 2000, 6}, {29, 2, 2000, 2}, {1, 3, 1900, 4},
        {31, 12, 1999, 5}, {4, 7, 1776, 4}, {1, 1, 1, 1},     {15, 10, 1582, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DayOfWeekFromDate(c.day, c.month, c.year), c.weekday)
            << c.day << "." << c.month << "." << c.year;

    // Agrees with the system's calendar over a long stretch of days.
    SYSTEMTIME date{2023, 1, 0, 1, 0, 0, 0, 0};
    FILETIME file{};
    ASSERT_TRUE(SystemTimeToFileTime(&date, &file));
    ULARGE_INTEGER tick{};
    tick.LowPart = file.dwLowDateTime;
    tick.HighPart = file.dwHighDateTime;
    for (int i = 0; i < 800; ++i, tick.QuadPart += 864000000000ULL) {
        file.dwLowDateTime = tick.LowPart;
        file.dwHighDateTime = tick.HighPart;
        ASSERT_TRUE(FileTimeToSystemTime(&file, &date));
        ASSERT_EQ(DayOfWeekFromDate(date.wDay, date.wMonth, date.wYear), date.wDayOfWeek)
            << date.wDay << "." << date.wMonth << "." << date.wYear;
    }
}

std::wstring UniqueEventName(const wchar_t* stem)
{
    return std::wstring(L"Local\\ScvTest_") + stem + L"_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(GetTickCount());
}

TEST(WellKnownNames, PulseOfAMissingEventCreatesNothing)
{
    const std::wstring name = UniqueEventName(L"Missing");
    EXPECT_FALSE(PulseNamedEvent(name.c_str()));
    EXPECT_EQ(OpenEventW(SYNCHRONIZE, FALSE, name.c_str()), nullptr);
    EXPECT_FALSE(PulseNamedEvent(nullptr));
}

TEST(WellKnownNames, PulseReleasesAWaiterAndLeavesTheEventReset)
{
    const std::wstring name = UniqueEventName(L"Pulse");
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    ASSERT_NE(event, nullptr);

    // A pulse before the waiter really waits is lost by design: one pulse once it waits.
    scvtest::PulseCatcher waiter(event);
    ASSERT_TRUE(waiter.Arm());
    EXPECT_TRUE(PulseNamedEvent(name.c_str()));
    EXPECT_TRUE(waiter.Caught(5000));
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "nobody arriving later sees it set";
    CloseHandle(event);
}

} // namespace
