// The system report: its row rules and text, and its sections built on real
// files, folders and DLLs in a temp folder.
#include "online/SystemReport.h"
#include "online/SystemReportBuilder.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(static_cast<LPCWSTR>(text));
}

struct Expected
{
    const wchar_t* name;
    const wchar_t* value;
    int kind;
};

void ExpectRows(const CSystemReport& report, std::initializer_list<Expected> expected)
{
    ASSERT_EQ(report.Rows().size(), expected.size());
    size_t i = 0;
    for (const Expected& row : expected) {
        EXPECT_EQ(Text(report.Rows()[i].name), row.name) << i;
        EXPECT_EQ(Text(report.Rows()[i].value), row.value) << i;
        EXPECT_EQ(report.Rows()[i].kind, row.kind) << i;
        ++i;
    }
}

CString Cs(const std::wstring& text)
{
    return CString(text.c_str());
}
} // namespace

TEST(SystemReportTests, RowsFollowTheNamingRulesAndGiveTheReportText)
{
    CSystemReport report;
    report.AddRow(L"Version", L"6.0");
    report.AddHeader(L"Components");
    report.AddRow(L"Hot Key:", L"Ctrl+Alt+Enter");
    report.AddRow(L"explorer.exe", L" ");
    report.AddCheck(L"Read Access", false, L"OK", L"Denied");
    report.AddRow(CString(), L"lib.dll");
    report.AddHeader(L"Log (1)");
    report.AddCheck(L"Message #1", true, L"started", L"-");
    ExpectRows(report, {{L"Version:", L"6.0", ReportRowPlain},
                        {L" Components ", L"", ReportRowHeader},
                        {L"Hot Key:", L"Ctrl+Alt+Enter", ReportRowPlain},
                        {L"explorer.exe", L" ", ReportRowPlain},
                        {L"Read Access:", L"Denied", ReportRowFailure},
                        {L"", L"lib.dll", ReportRowPlain},
                        {L" Log (1) ", L"", ReportRowHeader},
                        {L"Message #1:", L"started", ReportRowSuccess}});
    EXPECT_EQ(report.HeaderRows(), (std::vector<int>{1, 6}));
    EXPECT_EQ(Text(report.GetText()),
              L"Version: 6.0\r\n\r\n Components  \r\nHot Key: Ctrl+Alt+Enter\r\n"
              L"explorer.exe  \r\nRead Access: Denied\r\n======================\r\n\r\n"
              L" Log (1)  \r\nMessage #1: started");
    CSystemReport headerFirst;
    headerFirst.AddHeader(L"Environment");
    EXPECT_EQ(Text(headerFirst.GetText()), L" Environment  ");
}

TEST(SystemReportTests, PathChecksTellExistenceAndAccess)
{
    scvtest::TempFolder folder;
    const std::wstring settings = folder.WriteUtf8(L"Settings.ini", L"[Settings]");
    CSystemReport report;
    AddPathCheckRows(report, L"Settings File", Cs(settings), false);
    AddPathCheckRows(report, CString(), Cs(folder.PathOf(L"Phrases")), true);
    AddPathCheckRows(report, CString(), Cs(settings), true); // a file is no folder
    const std::wstring phrases = folder.PathOf(L"Phrases");
    ExpectRows(report, {{L" Settings File [Settings.ini] ", L"", ReportRowHeader},
                        {L"Full Path:", settings.c_str(), ReportRowPlain},
                        {L"Settings.ini:", L"exist", ReportRowSuccess},
                        {L"Read Access:", L"OK", ReportRowSuccess},
                        {L"Write Access:", L"OK", ReportRowSuccess},
                        {L" Folder [Phrases] ", L"", ReportRowHeader},
                        {L"Full Path:", phrases.c_str(), ReportRowPlain},
                        {L"Phrases:", L"not exists", ReportRowFailure},
                        {L" Folder [Settings.ini] ", L"", ReportRowHeader},
                        {L"Full Path:", settings.c_str(), ReportRowPlain},
                        {L"Settings.ini:", L"not exists", ReportRowFailure}});
}

TEST(SystemReportTests, ComponentsAndExportProbesUseRealFiles)
{
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    const CString kernel = CString(system) + L"\\kernel32.dll";
    scvtest::TempFolder folder;
    const std::wstring fake = folder.WriteBytes(L"Core.dll", "not a DLL");
    CSystemReport report;
    AddComponentRow(report, L"Core DLL", Cs(folder.PathOf(L"missing.dll")));
    AddExportProbeRows(report, kernel, {"GetProcAddress", "SV_Install2"});
    AddExportProbeRows(report, Cs(folder.PathOf(L"missing.dll")), {"SV_Install2", "SV_Uninstall2"});
    AddExportProbeRows(report, Cs(fake), {"SV_Install2"});
    ExpectRows(report, {{L"Core DLL:", L"File Not Found", ReportRowFailure},
                        {L"kernel32.dll, [GetProcAddress]:", L"Function found", ReportRowSuccess},
                        {L"kernel32.dll, [SV_Install2]:", L"Function Nout found", ReportRowFailure},
                        {L"missing.dll, [SV_Install2]:", L"Function Nout found", ReportRowFailure},
                        {L"missing.dll, [SV_Uninstall2]:", L"Function Nout found", ReportRowFailure},
                        {L"Core.dll, [SV_Install2]:", L"Function Nout found", ReportRowFailure}});
}

TEST(SystemReportTests, FolderTestsProcessesAndLogMessages)
{
    scvtest::TempFolder folder;
    const CString missing = Cs(folder.PathOf(L"gone"));
    CSystemReport report;
    AddFolderAccessRows(report, L"Phrases Folder", Cs(folder.Path()));
    AddFolderAccessRows(report, L"Clipboard Folder", missing);
    AddProcessRows(report, {L"C:\\windows\\explorer.exe"});
    AddLogRows(report, {L"Started", L"ERROR: [cannot open]", L"an Error somewhere"});
    const std::wstring ok = L"Successfully, [" + folder.Path() + L"]";
    const std::wstring fail = L"FAIL, [" + Text(missing) + L"]";
    ExpectRows(report, {{L"Phrases Folder [read]:", ok.c_str(), ReportRowSuccess},
                        {L"Read Rights:", folder.Path().c_str(), ReportRowSuccess},
                        {L"Phrases Folder [write]:", ok.c_str(), ReportRowSuccess},
                        {L"Write Rights:", folder.Path().c_str(), ReportRowSuccess},
                        {L"Clipboard Folder [read]:", fail.c_str(), ReportRowFailure},
                        {L"Read Rights:", missing, ReportRowFailure},
                        {L"Clipboard Folder [write]:", fail.c_str(), ReportRowFailure},
                        {L"Write Rights:", missing, ReportRowFailure},
                        {L" Processes ", L"", ReportRowHeader},
                        {L"explorer.exe", L" ", ReportRowPlain},
                        {L" Log (3) ", L"", ReportRowHeader},
                        {L"Message #1:", L"Started", ReportRowPlain},
                        {L"Message #2:", L"ERROR: [cannot open]", ReportRowFailure},
                        {L"Message #3:", L"an Error somewhere", ReportRowFailure}});
}

TEST(SystemReportTests, WholeReportHasItsSectionsInOrder)
{
    scvtest::TempFolder folder;
    SystemReportInputs inputs;
    inputs.versionText = L"6.0";
    inputs.buildStamp = L"Mar  7 2026 10:00:00";
    inputs.programFolder = Cs(folder.Path());
    inputs.settingsPath = Cs(folder.WriteUtf8(L"Settings.ini", L"[Settings]"));
    inputs.phrasesFolder = Cs(folder.CreateSubfolder(L"Phrases"));
    inputs.clipboardFolder = Cs(folder.CreateSubfolder(L"Clipboard"));
    inputs.statistics = {{L"All Phrases", L"12"}};
    inputs.commandLineKeys = {{L"/exit", L"Ends the program"}};
    inputs.hotKeyText = L"Ctrl+Alt+Enter";
    inputs.dllServiceImpl = L"x64, installed";
    inputs.settingsRows = {{L"DelayInsertMS", L"400"}};
    inputs.logMessages = {L"Started"};
    const CSystemReport report = BuildSystemReport(inputs);
    std::vector<std::wstring> headers;
    for (int index : report.HeaderRows())
        headers.push_back(Text(report.Rows()[index].name));
    EXPECT_EQ(headers, (std::vector<std::wstring>{L" Components ", L" Settings File [Settings.ini] ",
                                                  L" Phrases Folder [Phrases] ", L" Statistic ",
                                                  L" Command Line Keys ", L" Environment ", L" Files [1] ",
                                                  L" Language Files 0 ", L" Processes ", L" Log (1) "}));
    EXPECT_EQ(Text(report.Rows()[0].name), L"Version:");
    EXPECT_EQ(Text(report.Rows()[1].value), L"Mar  7 2026 10:00:00");
    const std::wstring text = Text(report.GetText());
    for (const wchar_t* line :
         {L"\r\nWelcome Module: File Not Found\r\n", L"\r\nAll Phrases: 12\r\n",
          L"\r\n/exit: Ends the program\r\n", L"\r\nHot Key: Ctrl+Alt+Enter\r\n",
          L"\r\nDLL Service IMPL: x64, installed\r\n", L"\r\nDelayInsertMS: 400\r\n",
          L"\r\nTest for phrase-group: Successfully, [", L"\r\nBitness: 64x\r\n", L"\r\nMessage #1: Started"})
        EXPECT_NE(text.find(line), std::wstring::npos) << Text(line);
}

TEST(SystemReportTests, PhraseStatisticsRowsInTheirOrder)
{
    PhraseStatisticsFacts facts;
    facts.defaultFolder = true;
    facts.allItems = 7;
    facts.includedItems = 6;
    facts.folders = 2;
    facts.richTextPhrases = 1;
    facts.plainTextPhrases = 3;
    facts.commandPhrases = 1;
    facts.totalUsage = 14;
    facts.highestUsage = 5;
    facts.mostUsedTitle = L"most";
    CSystemReport report;
    for (const CStringPair& row : MakePhraseStatisticsRows(facts))
        report.AddRow(row.first, row.second);
    ExpectRows(report, {{L"Default Folder:", L"Yes", ReportRowPlain},
                        {L"All Phrases:", L"7", ReportRowPlain},
                        {L"Included Phrases:", L"6", ReportRowPlain},
                        {L"Folders:", L"2", ReportRowPlain},
                        {L"Formatted Text:", L"1", ReportRowPlain},
                        {L"Plain Text:", L"3", ReportRowPlain},
                        {L"Exec Apps:", L"1", ReportRowPlain},
                        {L"All Usage:", L"14 times", ReportRowPlain},
                        {L"Max Usage:", L"5 times, most", ReportRowPlain}});
}

TEST(SystemReportTests, PhraseFolderTestsReadWithoutWriting)
{
    scvtest::TempFolder folder;
    const std::wstring phrases = folder.CreateSubfolder(L"Phrases");
    const std::wstring file = folder.WriteUtf8(L"Phrases\\One.scrivolanter", L"<SCVCommand/>");
    const std::wstring empty = folder.CreateSubfolder(L"Empty");
    const CString gone = Cs(folder.PathOf(L"gone"));

    CSystemReport report;
    AddPhraseFolderTestRows(report, Cs(phrases));
    AddPhraseFolderTestRows(report, Cs(empty));
    AddPhraseFolderTestRows(report, gone);
    const std::wstring fileOk = L"Successfully, [" + file + L"]";
    const std::wstring phrasesOk = L"Successfully, [" + phrases + L"]";
    const std::wstring emptyFail = L"FAIL, [" + empty + L"]";
    const std::wstring emptyOk = L"Successfully, [" + empty + L"]";
    const std::wstring goneFail = L"FAIL, [" + Text(gone) + L"]";
    ExpectRows(report, {{L"Test for phrase-file:", fileOk.c_str(), ReportRowSuccess},
                        {L"Test for phrase-group:", phrasesOk.c_str(), ReportRowSuccess},
                        {L"Test for phrase-file:", emptyFail.c_str(), ReportRowFailure},
                        {L"Test for phrase-group:", emptyOk.c_str(), ReportRowSuccess},
                        {L"Test for phrase-file:", goneFail.c_str(), ReportRowFailure},
                        {L"Test for phrase-group:", goneFail.c_str(), ReportRowFailure}});
}

TEST(SystemReportTests, SwitchesSpyIntervalAndMfc42RowForms)
{
    const struct
    {
        UINT milliseconds;
        const wchar_t* shown;
    } intervals[] = {
        {0, L"0 sec"}, {5000, L"5 sec"}, {59999, L"59 sec"}, {60000, L"1 min"}, {300000, L"5 min"}};
    for (const auto& row : intervals)
        EXPECT_EQ(Text(FormatWatchdogInterval(row.milliseconds)), row.shown) << row.milliseconds;

    for (const wchar_t* mfc42 : {L"", L"Not found", L"C:\\windows\\system32\\mfc42.dll"}) {
        SystemReportInputs inputs;
        inputs.mfc42Path = mfc42;
        inputs.commandLineKeys = {{L"//?", L"Help"}, {L"asadmin", L"Elevated"}, {L"/exit", L"Ends"}};
        const CSystemReport report = BuildSystemReport(inputs);
        std::vector<std::wstring> switches;
        const ReportRow* mfcRow = nullptr;
        for (const ReportRow& row : report.Rows()) {
            if (Text(row.name).rfind(L"/", 0) == 0)
                switches.push_back(Text(row.name));
            if (Text(row.name) == L"Mfc42.DLL:")
                mfcRow = &row;
        }
        EXPECT_EQ(switches, (std::vector<std::wstring>{L"/?:", L"/asadmin:", L"/exit:"}));
        ASSERT_NE(mfcRow, nullptr);
        const bool found = std::wstring(mfc42).find(L'\\') != std::wstring::npos;
        EXPECT_EQ(Text(mfcRow->value), found ? mfc42 : L"Not found");
        EXPECT_EQ(mfcRow->kind, found ? ReportRowPlain : ReportRowFailure);
    }
}
