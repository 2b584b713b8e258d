// What the main program puts into the system report: the statistics of a
// real phrase library loaded from a temporary folder and the start-up notes
// of this run.
#include "app/tray/AboutCommands.h"
#include "app/entry/StartupNotes.h"
#include "engine/PhraseStore.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(static_cast<LPCWSTR>(text));
}

std::wstring ValueOf(const std::vector<CStringPair>& rows, const wchar_t* name)
{
    for (const CStringPair& row : rows) {
        if (Text(row.first) == name)
            return Text(row.second);
    }
    return L"<missing>";
}
} // namespace

TEST(AboutCommands, ReportCarriesThePhraseStatisticsAndTheStartupNotes)
{
    scvtest::TempFolder temp;
    temp.WriteUtf8(L"Group\\most.scrivolanter",
                   L"<SCVCommand UsageCount=\"5\"><MenuName>most</MenuName><Cmd>a</Cmd></SCVCommand>");
    temp.WriteUtf8(L"once.scrivolanter",
                   L"<SCVCommand UsageCount=\"2\"><MenuName>once</MenuName><Cmd>b</Cmd></SCVCommand>");
    temp.WriteUtf8(L"run.scrivolanter", L"<SCVCommand Excluded=\"1\"><MenuName>run</MenuName>"
                                        L"<DataType>EXEC</DataType></SCVCommand>");
    CPhraseStore store(temp.Path().c_str());
    store.Load();

    ClearStartupNotes();
    AddStartupNote(L"No install on launch. Flag specifided");
    AddStartupNote(L"ERROR: Cannot DLL install");

    AboutReportFacts facts;
    facts.phrases = &store;
    facts.trackingReport = L"method:\r\nlistener\nmax 30";
    const SystemReportInputs inputs = CollectAboutReportInputs(facts);
    ClearStartupNotes();

    EXPECT_EQ(ValueOf(inputs.statistics, L"All Phrases"), L"4");
    EXPECT_EQ(ValueOf(inputs.statistics, L"Folders"), L"1");
    EXPECT_EQ(ValueOf(inputs.statistics, L"Plain Text"), L"2");
    EXPECT_EQ(ValueOf(inputs.statistics, L"Exec Apps"), L"1");
    EXPECT_EQ(ValueOf(inputs.statistics, L"All Usage"), L"7 times");
    EXPECT_EQ(ValueOf(inputs.statistics, L"Max Usage"), L"5 times, most");
    ASSERT_EQ(inputs.logMessages.size(), 2u);
    EXPECT_EQ(Text(inputs.logMessages[1]), L"ERROR: Cannot DLL install");
    // The tracking report shows on one line.
    const std::wstring history = ValueOf(inputs.settingsRows, L"Clipboard History");
    EXPECT_NE(history.find(L"method: listener max 30"), std::wstring::npos) << history;
    EXPECT_NE(Text(inputs.dllServiceImpl).find(L"not installed"), std::wstring::npos);
    EXPECT_FALSE(inputs.hotKeyText.IsEmpty());

    // The report built from them shows both sections.
    const std::wstring report = Text(BuildSystemReport(inputs).GetText());
    EXPECT_NE(report.find(L"\r\nMax Usage: 5 times, most\r\n"), std::wstring::npos);
    EXPECT_NE(report.find(L"\r\nMessage #2: ERROR: Cannot DLL install"), std::wstring::npos);
}

namespace
{
// One step of the report's row list: `pattern` is a row name ("#" first for a
// section header), "x*" a prefix, "*x" a suffix, "*" any name.
struct ReportStep
{
    enum How
    {
        One,
        Optional,
        Many,
    } how;
    const wchar_t* pattern;
};

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// The name as the list shows it without the blanks around a header and the
// ":" after a name.
std::wstring BareName(const ReportRow& row)
{
    std::wstring name = Text(row.name);
    while (!name.empty() && (name.back() == L':' || name.back() == L' '))
        name.pop_back();
    name.erase(0, name.find_first_not_of(L' '));
    return (row.kind == ReportRowHeader ? L"#" : L"") + name;
}

bool Matches(const std::wstring& name, const std::wstring& pattern)
{
    if (pattern.empty() || name.empty())
        return pattern.empty() && name.empty();
    if ((name[0] == L'#') != (pattern[0] == L'#'))
        return false;
    if (pattern == L"*" || pattern == L"#*")
        return true;
    if (pattern.back() == L'*')
        return name.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
    if (pattern[0] == L'*')
        return name.size() >= pattern.size() - 1 &&
               name.compare(name.size() - (pattern.size() - 1), pattern.size() - 1, pattern, 1) == 0;
    return name == pattern;
}
} // namespace

TEST(AboutCommands, ReportRowsComeInTheDocumentedOrder)
{
    scvtest::TempFolder temp;
    temp.WriteUtf8(L"one.scrivolanter", L"<SCVCommand><MenuName>one</MenuName><Cmd>a</Cmd></SCVCommand>");
    CPhraseStore store(temp.Path().c_str());
    store.Load();
    ClearStartupNotes();
    AddStartupNote(L"Started");
    AboutReportFacts facts;
    facts.phrases = &store;
    const SystemReportInputs inputs = CollectAboutReportInputs(facts);
    ClearStartupNotes();
    const CSystemReport report = BuildSystemReport(inputs);

    using S = ReportStep;
    const ReportStep steps[] = {
        {S::One, L"Version"},
        {S::One, L"Released"},
        {S::One, L"#Components"},
        {S::One, L"Scrivolanter"},
        {S::One, L"Phrase\\Settings Editor"},
        {S::One, L"*"}, // the welcome program's menu name
        {S::One, L"Scrivolanter Waiter"},
        {S::One, L"Tool for closing of all running instances of Scrivolanter"},
        {S::One, L"Core DLL"},
        {S::One, L"DLL Full Path"},
        {S::One, L"*, [SV_Install2]"},
        {S::One, L"*, [SV_Uninstall2]"},
        {S::Optional, L""}, // the first other DLL of the program folder
        {S::One, L"Sound Utilities"},
        {S::One, L"Mfc42.DLL"},
        {S::One, L"#Settings File [*"},
        {S::One, L"Full Path"},
        {S::One, L"*"},
        {S::Optional, L"Read Access"},
        {S::Optional, L"Write Access"},
        {S::One, L"#Phrases Folder [*"},
        {S::One, L"Full Path"},
        {S::One, L"*"},
        {S::Optional, L"Read Access"},
        {S::Optional, L"Write Access"},
        {S::One, L"#Statistic"},
        {S::One, L"Default Folder"},
        {S::One, L"All Phrases"},
        {S::One, L"Included Phrases"},
        {S::One, L"Folders"},
        {S::One, L"Formatted Text"},
        {S::One, L"Plain Text"},
        {S::One, L"Exec Apps"},
        {S::One, L"All Usage"},
        {S::One, L"Max Usage"},
        {S::One, L"#Command Line Keys"},
        {S::Many, L"/*"},
        {S::One, L"#Environment"},
        {S::One, L"OS"},
        {S::One, L"OS enum"},
        {S::One, L"Bitness"},
        {S::One, L"Memory"},
        {S::One, L"Memory Physical Available"},
        {S::One, L"Memory Installed"},
        {S::One, L"Memory Usage"},
        {S::One, L"CPU Number"},
        {S::One, L"DLL Service IMPL"},
        {S::One, L"Admin authority"},
        {S::One, L"Hot Key"},
        {S::One, L"IE Version"},
        {S::One, L"Default Web Browser"},
        {S::One, L"Has Internet Connection"},
        {S::One, L"Computer Domain Name"},
        {S::One, L"Country"},
        {S::One, L"Active Code Page"},
        {S::One, L"Screen"},
        {S::One, L"Aero enabled"},
        {S::One, L"Path"},
        {S::One, L"Version Is Installed"},
        {S::One, L"Clipboard History"},
        {S::One, L"Clipboard Tracking [Settings]"},
        {S::One, L"Clipboard Spy Reinstall"},
        {S::One, L"DelayInsertMS"},
        {S::One, L"DirectlyPrintText"},
        {S::One, L"IsAllow_WaitAnswerFromExeAgent"},
        {S::One, L"Logging"},
        {S::One, L"Auto Check For Updates"},
        {S::One, L"Check For Updates Every Days"},
        {S::One, L"Language"},
        {S::One, L"Test for phrase-file"},
        {S::One, L"Test for phrase-group"},
        {S::One, L"Clipboard Folder [read]"},
        {S::One, L"Read Rights"},
        {S::One, L"Clipboard Folder [write]"},
        {S::One, L"Write Rights"},
        {S::One, L"Phrases Folder [read]"},
        {S::One, L"Read Rights"},
        {S::One, L"Phrases Folder [write]"},
        {S::One, L"Write Rights"},
        {S::One, L"#Files [*"},
        {S::Many, L"*"},
        {S::One, L"#Language Files *"},
        {S::One, L"Embedded"},
        {S::Many, L"*"},
        {S::One, L"#Processes"},
        {S::Many, L"*"},
        {S::One, L"#Log (1)"},
        {S::One, L"Message #1"},
    };
    const std::vector<ReportRow>& rows = report.Rows();
    size_t row = 0;
    for (const ReportStep& step : steps) {
        const std::wstring pattern = step.pattern;
        auto here = [&] { return row < rows.size() && Matches(BareName(rows[row]), pattern); };
        if (step.how == S::One) {
            ASSERT_TRUE(here()) << "row " << row << ": expected " << Narrow(pattern) << ", found "
                                << (row < rows.size() ? Narrow(BareName(rows[row])) : std::string("the end"));
            ++row;
        } else {
            while (here()) {
                ++row;
                if (step.how == S::Optional)
                    break;
            }
        }
    }
    EXPECT_EQ(row, rows.size()) << "rows after the log";

    // Switches come with one slash; the spy's interval and the Mfc42 row have their forms.
    for (const ReportRow& each : rows) {
        const std::wstring name = Text(each.name);
        EXPECT_NE(name.rfind(L"//", 0), 0u) << Narrow(name);
        if (name == L"Clipboard Spy Reinstall:") {
            const std::wstring value = Text(each.value);
            EXPECT_TRUE(value.size() > 4 && (value.substr(value.size() - 4) == L" sec" ||
                                             value.substr(value.size() - 4) == L" min"))
                << Narrow(value);
        }
        if (name == L"Mfc42.DLL:")
            EXPECT_EQ(each.kind, Text(each.value) == L"Not found" ? ReportRowFailure : ReportRowPlain);
    }
}
