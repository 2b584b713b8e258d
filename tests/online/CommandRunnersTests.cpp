// Starting the command of a command phrase: how a command is split into the
// file to open and its parameters, and what the user is told when it cannot start.

#include "online/CommandRunners.h"

#include "support/DialogWatchdog.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::wstring Text(const CString& text)
{
    return text.GetString();
}
} // namespace

TEST(CommandRunners, KnownSchemesAreAddresses)
{
    for (const wchar_t* text : {L"https://example.com", L"HTTP://x.org", L"mailto:a@b.c", L"ftp://host",
                                L"ovl:doc", L"file://C:/a.txt", L"http://x"})
        EXPECT_TRUE(IsUrlWithKnownScheme(text)) << testing::PrintToString(std::wstring(text));
    for (const wchar_t* text :
         {L"", L"ovl", L"www.example.com", L"C:\\http://", L"notepad.exe", L"http://", L"ovl:"})
        EXPECT_FALSE(IsUrlWithKnownScheme(text)) << testing::PrintToString(std::wstring(text));
}

TEST(CommandRunners, SplitsAtTheLongestExistingFile)
{
    scvtest::TempFolder folder;
    const std::wstring program = folder.WriteBytes(L"my tool.exe", "MZ");
    const std::wstring document = folder.WriteBytes(L"notes.txt", "x");
    ASSERT_FALSE(program.empty());
    struct Case
    {
        std::wstring command;
        std::wstring file;
        std::wstring parameters;
    };
    const Case cases[] = {
        {program + L" /a  b", program, L" /a  b"}, // a path with blanks, then the blank and its options
        {program, program, L""},                   // the whole command is a file
        {L"  " + document + L"  ", document, L""},
        {L"\"" + program + L"\" -x", program, L" -x"},                 // quoted
        {L"https://example.com/a b", L"https://example.com/a b", L""}, // an address stays whole
        {L"notepad.exe C:\\a.txt", L"notepad.exe C:\\a.txt", L""},     // no leading part is a file
        {L"calc", L"calc", L""},
    };
    for (const Case& c : cases) {
        const CStringPair split = SplitCommandFileAndParameters(c.command.c_str());
        EXPECT_EQ(Text(split.first), c.file) << testing::PrintToString(c.command);
        EXPECT_EQ(Text(split.second), c.parameters) << testing::PrintToString(c.command);
    }
}

TEST(CommandRunners, ACommandThatCannotStartIsReportedInOneBox)
{
    scvtest::DialogWatchdog::ScopedMode mode(scvtest::DialogWatchdog::Mode::RecordOnly);
    scvtest::DialogWatchdog::ScopedLimit limit(300);
    const CString missing = L"C:\\no such folder\\no such program.exe";
    EXPECT_FALSE(ExecuteCommandWithReport(1, missing, L"%SOURCE%", nullptr));
    const std::vector<std::wstring> boxes = scvtest::DialogWatchdog::TakeClosedTexts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(L"Command: C:\\no such folder\\no such program.exe"), std::wstring::npos)
        << boxes[0];
    EXPECT_NE(boxes[0].find(L"Source Command: %SOURCE%"), std::wstring::npos) << boxes[0];
    EXPECT_NE(boxes[0].find(L"Processed Command:"), std::wstring::npos) << boxes[0];
}

TEST(CommandRunners, OpenCommandWithShellReportsAFailureWithTheCommandLength)
{
    std::vector<std::wstring> texts;
    const CommandReportBox record = [&texts](HWND, const CString& text, const CString& caption, UINT type) {
        EXPECT_STREQ(caption, L"Scrivolanter");
        EXPECT_EQ(type, static_cast<UINT>(MB_ICONWARNING));
        texts.push_back(text.GetString());
    };
    const CString missing = L"C:\\no such folder\\x.exe";
    EXPECT_FALSE(OpenCommandWithShell(missing, false, nullptr, false, record));
    EXPECT_TRUE(texts.empty());
    EXPECT_FALSE(OpenCommandWithShell(missing, true, nullptr, true, record));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(
        texts[0].find(L"\nCommand: [C:\\no such folder\\x.exe]\nCommand Lenght: 23\n\nProcessed Command:"),
        std::wstring::npos)
        << texts[0];
}

TEST(CommandRunners, ReportsGoWhereTheModeSays)
{
    struct Case
    {
        int mode;
        size_t boxes;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 1}}) {
        size_t shown = 0;
        CommandRunOptions options;
        options.mode = c.mode;
        options.box = [&shown](HWND, const CString&, const CString&, UINT) { ++shown; };
        CStringPair split;
        EXPECT_FALSE(RunCommandWithReport(L"C:\\missing\\tool.exe", L"src", nullptr, options, &split));
        EXPECT_EQ(shown, c.boxes) << c.mode;
        EXPECT_STREQ(split.first, L"C:\\missing\\tool.exe");
    }
}
