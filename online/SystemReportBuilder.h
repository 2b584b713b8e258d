#pragma once
// Fills the system report of the About dialog, section by section. Facts of
// the system are read here; what only the main program knows (its version
// texts, phrase statistics, command-line keys, settings values and the
// messages logged in this run) comes in through SystemReportInputs.

#include "common/StringPair.h"
#include "online/SystemReport.h"
#include "platform/CString.h"

#include <vector>

struct SystemReportInputs
{
    CString versionText; // the short version text
    CString buildStamp;
    CString programFolder; // where the programs and DLLs lie
    CString ownExePath, editorExePath, welcomeExePath, waiterExePath;
    CString welcomeLabel; // the welcome program's localised menu name; "Welcome Module" when empty
    CString coreDllPath;
    CString settingsPath;
    CString phrasesFolder;
    CString clipboardFolder;
    CString mfc42Path; // where "Mfc42.DLL" loads from; empty or "Not found" when it does not
    // The phrase statistics rows, made by MakePhraseStatisticsRows.
    std::vector<CStringPair> statistics;
    // Command-line switch names (with or without their "/") and descriptions.
    std::vector<CStringPair> commandLineKeys;
    CString dllServiceImpl; // "DLL Service IMPL"
    CString hotKeyText;     // "Hot Key"
    // Rows of the program's own settings shown under "Environment" after the
    // system facts ("Hot Key", "DelayInsertMS", "Logging"...), in order.
    std::vector<CStringPair> settingsRows;
    std::vector<CString> languageFiles; // full paths of the language files
    std::vector<CString> logMessages;   // messages logged in this run
};

// The values of the phrase statistics rows, in their fixed order.
struct PhraseStatisticsFacts
{
    bool defaultFolder = false; // the phrases folder is the default one
    int allItems = 0;
    int includedItems = 0;
    int folders = 0;
    int richTextPhrases = 0;
    int plainTextPhrases = 0;
    int commandPhrases = 0;
    int totalUsage = 0;
    int highestUsage = 0;
    CString mostUsedTitle;
};
// "Default Folder", "All Phrases", "Included Phrases", "Folders", "Formatted
// Text", "Plain Text", "Exec Apps", "All Usage" ("%d times"), "Max Usage"
// ("%d times, %s").
std::vector<CStringPair> MakePhraseStatisticsRows(const PhraseStatisticsFacts& facts);

// The clipboard spy's watchdog interval as the report shows it: whole
// minutes as " min" from a minute up, else seconds as " sec".
CString FormatWatchdogInterval(UINT milliseconds);

// The whole report, sections in their fixed order. Section labels and the
// names of the editor and the exit tool come in the active language.
CSystemReport BuildSystemReport(const SystemReportInputs& inputs);

// The sections, each appended to `report`.
void AddComponentRow(CSystemReport& report, const CString& name, const CString& path);
// "DLL name, [export]" rows: "Function found" (success) or "Function Nout found" (failure).
void AddExportProbeRows(CSystemReport& report, const CString& dllPath,
                        const std::vector<const char*>& exports);
// Header with the label (or "Folder"/"File") + " [" + name + "]", then "Full
// Path", existence and, for an existing one, read and write access.
void AddPathCheckRows(CSystemReport& report, const CString& label, const CString& path, bool isFolder);
// " [read]" and " [write]" tests of a folder opened with backup semantics,
// each followed by the access check row.
void AddFolderAccessRows(CSystemReport& report, const CString& label, const CString& folder);
void AddMarkerFileRows(CSystemReport& report);
void AddLanguageFileRows(CSystemReport& report, const std::vector<CString>& files);
void AddProcessRows(CSystemReport& report, const std::vector<CString>& processPaths);
// "Message #n" rows; a message containing "error" (any case) is a failure row.
void AddLogRows(CSystemReport& report, const std::vector<CString>& messages);
void AddEnvironmentRows(CSystemReport& report, const SystemReportInputs& inputs);
// "Test for phrase-file" (the first phrase file of the folder opened for
// reading) and "Test for phrase-group" (the folder listed): "Successfully"
// (success) or "FAIL" (failure) + ", [" + path + "]"; nothing is written.
void AddPhraseFolderTestRows(CSystemReport& report, const CString& phrasesFolder);
