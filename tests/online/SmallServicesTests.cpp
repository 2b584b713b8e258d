#include "common/ByteSizeText.h"
#include "common/ClipboardListenerCheck.h"
#include "online/DateServices.h"
#include "online/ProgramFilePaths.h"
#include "common/SystemErrorText.h"

#include "common/PathFunctions.h"
#include "common/ShellCommands.h"
#include "common/WellKnownNames.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}
} // namespace

TEST(SystemErrorText, GivesTheSystemMessageWithItsLineBreak)
{
    const std::wstring text = Text(GetSystemErrorText(ERROR_FILE_NOT_FOUND));
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
    EXPECT_EQ(text, Text(GetSystemErrorTextUnchecked(ERROR_FILE_NOT_FOUND)));
    EXPECT_EQ(text, Text(GetErrorMessageText(ERROR_FILE_NOT_FOUND)));
    EXPECT_NE(text, Text(GetSystemErrorText(ERROR_ACCESS_DENIED)));
}

TEST(SystemErrorText, IsEmptyForANumberWithoutMessage)
{
    EXPECT_TRUE(GetSystemErrorText(0x2000F00Du).IsEmpty());
    EXPECT_TRUE(GetSystemErrorTextUnchecked(0x2000F00Du).IsEmpty());
}

TEST(ByteSizeText, FormatsSmallAndLargeCounts)
{
    EXPECT_EQ(Text(FormatByteSizeText(532)), L"532 bytes");
    const std::wstring large = Text(FormatByteSizeText(6LL << 30)); // more than 32 bits
    EXPECT_EQ(large.substr(large.size() - 3), L" GB") << large;
    EXPECT_EQ(large.front(), L'6') << large;
}

TEST(ClipboardListenerCheck, FindsTheListenerFunctionOfThisSystem)
{
    const bool expected =
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AddClipboardFormatListener") != nullptr;
    EXPECT_EQ(IsClipboardFormatListenerAvailable(), expected);
}

TEST(DateServices, DayOfWeekCountsFromSunday)
{
    struct Case
    {
        int day, month, year, weekday;
    };
    const Case cases[] = {
        {9, 12, 2026, 3}, {1, 1, 2000, 6},   {29, 2, 2024, 4},
        {1, 3, 2024, 5},  {31, 12, 1999, 5}, {4, 7, 1776, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DayOfWeek(c.day, c.month, c.year), c.weekday) << c.day << "." << c.month << "." << c.year;
        EXPECT_EQ(DayOfWeek(c.day, c.month, c.year), DayOfWeekFromDate(c.day, c.month, c.year));
    }
}

TEST(ProgramFilePaths, NameTheProgramsInTheProgramFolder)
{
    const CString folder = GetProgramFolder();
    EXPECT_EQ(Text(OwnExePath()), Text(GetModuleFilePath()));
    EXPECT_EQ(Text(EditorExePath()), Text(folder + L"ScrivolanterEditor.exe"));
    EXPECT_EQ(Text(WaiterExePath()), Text(folder + L"ScvWaitingFor.exe"));
    EXPECT_EQ(Text(WelcomeExePath()), Text(folder + L"Scrivolanter_Welcome.exe"));
    EXPECT_EQ(Text(LogReportPath()), Text(GetLogReportPath()));
    EXPECT_EQ(Text(GetCoreDllPath()), Text(folder + L"Scrivolanter.dll"));
}

TEST(ProgramFilePaths, TheCoreDllOfTheCurrentFolderServesOnlyADebugger)
{
    scvtest::TempFolder current;
    scvtest::TempFolder program;
    const CString currentFolder = current.Path().c_str();
    const CString programFolder = program.Path().c_str();
    const CString inProgram = programFolder + L"\\Scrivolanter.dll";
    const CString inCurrent = currentFolder + L"\\Scrivolanter.dll";

    // Without the file in the current folder, always the program folder's.
    EXPECT_EQ(Text(SelectCoreDllPath(true, currentFolder, programFolder)), Text(inProgram));

    current.WriteBytes(L"Scrivolanter.dll", "MZ");
    EXPECT_EQ(Text(SelectCoreDllPath(true, currentFolder, programFolder)), Text(inCurrent));
    EXPECT_EQ(Text(SelectCoreDllPath(true, currentFolder + L"\\", programFolder + L"\\")), Text(inCurrent));
    EXPECT_EQ(Text(SelectCoreDllPath(false, currentFolder, programFolder)), Text(inProgram));
    EXPECT_EQ(Text(SelectCoreDllPath(false, currentFolder, programFolder + L"\\")), Text(inProgram));
}
