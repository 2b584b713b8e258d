#include "common/CommandLineInfoBase.h"

#include <gtest/gtest.h>

TEST(FindCommandLineSwitch, WholeWordsOutsideQuotes)
{
    struct Case
    {
        const wchar_t* commandLine;
        const wchar_t* name;
        int expected;
    } cases[] = {
        {L"/exit", L"exit", 0},
        {L"/autoload /exit", L"exit", 10},
        {L"-exit", L"exit", 0},
        {L"/EXIT", L"exit", 0},
        {L"/Exit", L"exit", 0},
        {L"  -ExIt  ", L"exit", 2},
        {L"/exit\t/cfu", L"cfu", 6},
        {L"/cfu\"", L"cfu", 0}, // a quote ends the switch
        {L"/exit'", L"exit", 0},
        {L"/?", L"?", 0},
        {L"/showmenu", L"/showmenu", 0}, // a name with its own slash is taken as it is
        {L"-edit", L"/edit", -1},        // ... and then never matches with a hyphen
        {L"/exitnow", L"exit", -1},      // part of a longer word
        {L"/noinstall", L"install", -1},
        {L"x/exit", L"exit", -1}, // not at the start of a word
        {L"C:\\tools/exit\\Scrivolanter.exe /cfu", L"exit", -1},
        {L"\"C:\\my /exit folder\\Scrivolanter.exe\" /cfu", L"exit", -1},
        {L"\"C:\\my /exit folder\\Scrivolanter.exe\" /cfu", L"cfu", 38},
        {L"\"C:\\a b\\x.exe\" /edit", L"edit", 15},
        {L"", L"exit", -1},
        {L"/exit", L"", -1},
        {nullptr, L"exit", -1},
        {L"/exit", nullptr, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindCommandLineSwitch(c.commandLine, c.name), c.expected)
            << testing::PrintToString(std::wstring(c.commandLine ? c.commandLine : L"(null)")) << " / "
            << testing::PrintToString(std::wstring(c.name ? c.name : L"(null)"));
        EXPECT_EQ(HasCommandLineSwitch(c.commandLine, c.name), c.expected >= 0);
    }
}

TEST(FindCommandLineSwitch, SlashFormFoundBeforeHyphenForm)
{
    // Both forms present: the slash form's position is returned.
    EXPECT_EQ(FindCommandLineSwitch(L"-exit /exit", L"exit"), 6);
    // Exact case is preferred over the upper-cased match of the same form.
    EXPECT_EQ(FindCommandLineSwitch(L"/EXIT /exit", L"exit"), 6);
}

namespace
{
class ProbeParser : public CCommandLineInfoBase
{
public:
    using CCommandLineInfoBase::CCommandLineInfoBase;
    void Parse() override { exit = HasSwitch(L"exit"); }
    bool exit = false;
};
} // namespace

TEST(CCommandLineInfoBase, KeepsACopyForTheParser)
{
    wchar_t buffer[] = L"/autoload /exit";
    ProbeParser parser(buffer);
    buffer[0] = L'X';
    EXPECT_STREQ(parser.GetCommandLineText(), L"/autoload /exit");
    parser.Parse();
    EXPECT_TRUE(parser.exit);

    ProbeParser none(nullptr);
    none.Parse();
    EXPECT_FALSE(none.exit);
}
