#include "app/entry/CommandLineArgs.h"

#include "common/TextDecoration.h"

#include "support/Dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace
{
struct ParseCase
{
    const wchar_t* commandLine;
    // exit, ua, autoload, noinstall, help, edit, asadmin, showmenu, cfu
    std::vector<int> flags;
};

std::vector<int> FlagsOf(const CCommandLineArgs& args)
{
    return {args.IsExit(), args.IsUa(),      args.IsAutoload(), args.IsNoInstall(), args.IsHelp(),
            args.IsEdit(), args.IsAsAdmin(), args.IsShowMenu(), args.IsCfu()};
}

std::vector<std::wstring> Lines(const CString& text)
{
    std::vector<std::wstring> lines;
    std::wstring all(text.GetString());
    size_t start = 0;
    for (;;) {
        const size_t end = all.find(L'\n', start);
        lines.push_back(all.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    return lines;
}
} // namespace

TEST(CommandLineArgs, ParseTable)
{
    const ParseCase cases[] = {
        {L"", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {L"/exit", {1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {L"/EXIT", {1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {L"-Exit", {1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {L"/ua", {1, 1, 0, 0, 0, 0, 0, 0, 0}},
        {L"/autoload", {0, 0, 1, 0, 0, 0, 0, 0, 0}},
        {L"/noinstall", {0, 0, 0, 1, 0, 0, 0, 0, 0}},
        {L"/?", {0, 0, 0, 0, 1, 0, 0, 0, 0}},
        {L"-?", {0, 0, 0, 0, 1, 0, 0, 0, 0}},
        {L"/edit", {0, 0, 0, 0, 0, 1, 0, 0, 0}},
        {L"/asadmin", {0, 0, 0, 0, 0, 0, 1, 0, 0}},
        {L"/showmenu /cfu", {0, 0, 0, 0, 0, 0, 0, 1, 1}},
        {L"/autoload /noinstall -CFU", {0, 0, 1, 1, 0, 0, 0, 0, 1}},
        // Only whole words count: no switch inside a longer word or a quoted path.
        {L"/exitnow /cfux", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {L"\"C:\\tools /exit\\x.exe\" /edit", {0, 0, 0, 0, 0, 1, 0, 0, 0}},
        {L"exit ua", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const ParseCase& c : cases) {
        CCommandLineArgs args(c.commandLine);
        args.Parse();
        EXPECT_EQ(FlagsOf(args), c.flags)
            << "command line: " << testing::PrintToString(std::wstring(c.commandLine));
        EXPECT_EQ(std::wstring(args.GetCommandLineText()), std::wstring(c.commandLine));
    }
}

TEST(CommandLineArgs, FlagsStartCleared)
{
    CCommandLineArgs args(L"/exit /cfu");
    EXPECT_EQ(FlagsOf(args), std::vector<int>(9, 0));
}

TEST(CommandLineArgs, SwitchTableNamesAndTexts)
{
    EXPECT_EQ(std::wstring(GetSwitchName(SwitchAsAdmin)), L"asadmin");
    EXPECT_EQ(std::wstring(GetSwitchName(SwitchHelp)), L"?");
    EXPECT_TRUE(GetSwitchName(99).IsEmpty());
    EXPECT_TRUE(GetSwitchHelpText(99, L"x").IsEmpty());
    EXPECT_EQ(std::wstring(GetSwitchHelpText(SwitchCfu, L"cfu")), L"check for updates");
    EXPECT_EQ(std::wstring(GetAsAdminSwitchText()), L"/asadmin");

    std::map<CString, CString> descriptions;
    EXPECT_EQ(BuildCommandLineKeyDescriptions(descriptions), 9);
    EXPECT_EQ(std::wstring(descriptions[L"/ua"]), L"no set \"Start with Windows\" on first running");
    EXPECT_EQ(std::wstring(GetCommandLineKeysList()),
              L"/?, /asadmin, /autoload, /cfu, /edit, /exit, /noinstall, /showmenu, /ua");
}

TEST(CommandLineArgs, HelpTextAlignsTheRows)
{
    const std::vector<std::wstring> lines = Lines(BuildCommandLineHelpText());
    const std::wstring dashes(25, L'\x2014');
    // header, dashes, 9 rows, dashes, copy hint
    ASSERT_EQ(lines.size(), 14u) << testing::PrintToString(lines);
    EXPECT_NE(lines[0].find(L"Scrivolanter"), std::wstring::npos);
    EXPECT_NE(lines[0].find(L" : Command Line Keys"), std::wstring::npos);
    EXPECT_EQ(lines[1], dashes);
    EXPECT_EQ(lines[11], L"");
    EXPECT_EQ(lines[12], dashes);
    EXPECT_EQ(lines[13], L"        * Press Ctrl+C to copy into clipboard");

    const std::wstring separator = L" \x2014  ";
    const size_t column = lines[2].find(separator);
    ASSERT_NE(column, std::wstring::npos);
    EXPECT_EQ(column, std::wstring(L"/noinstall").size()); // the longest switch has no padding
    EXPECT_EQ(lines[2], L"/exit" + std::wstring(column - 5, L' ') + separator +
                            L"complete all previous running instances of Scrivolanter");
    for (size_t i = 2; i < 11; ++i)
        EXPECT_EQ(lines[i].find(separator), column) << lines[i];
    EXPECT_EQ(lines[10].substr(0, 5), L"/cfu ");
}

TEST(CommandLineArgs, ASecondHelpRequestWhileTheBoxIsOpenShowsNoSecondBox)
{
    std::thread first([] { ShowCommandLineHelp(nullptr); });
    const HWND box = scvtest::WaitForDialog(L" : Command Line Keys", 10000, ::GetCurrentProcessId(), true);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(scvtest::ReadDialogText(box).find(L"/showmenu"), std::wstring::npos);

    EXPECT_FALSE(ShowCommandLineHelp(nullptr));
    EXPECT_EQ(scvtest::FindDialogs().size(), 1u);

    EXPECT_TRUE(scvtest::CloseDialog(box));
    first.join();
}
