// What the main program puts into the system report: the statistics of a
// real phrase library loaded from a temporary folder and the start-up notes
// of this run.
#include "app/AboutCommands.h"
#include "app/StartupNotes.h"
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
