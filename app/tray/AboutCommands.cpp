#include "app/tray/AboutCommands.h"
#include "common/WindowHelpers.h"

#include "app/AppObjects.h"
#include "app/AppTexts.h"
#include "app/target/CSCVDLLService.h"
#include "app/entry/CommandLineArgs.h"
#include "app/entry/StartupNotes.h"
#include "app/VersionTexts.h"
#include "common/ClipboardListenerCheck.h"
#include "common/LanguageFile.h"
#include "common/MenuLocalizer.h"
#include "common/Settings.h"
#include "common/SettingsFiles.h"
#include "common/SystemInfo.h"
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardSpy.h"
#include "engine/MacroEngine.h"
#include "engine/PhraseStore.h"
#include "online/AboutReportDlg.h"
#include "online/CommandRunners.h"
#include "online/ProgramFilePaths.h"
#include "app/tray/TrayMenuRes.h"

#include <map>

namespace
{
CString FolderOf(const CString& path)
{
    const int slash = path.ReverseFind(L'\\');
    return slash < 0 ? CString() : path.Left(slash);
}

CString OnOff(int value)
{
    return value ? L"On" : L"Off";
}

CString Decimal(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}

// Whether phrases are typed key by key: always, never (pasted), or below a length.
CString DirectTypingText(const CSettings& settings)
{
    switch (settings.TextPasteMethod_v150) {
    case 0:
        return L"Yes";
    case 1:
        return L"No";
    default:
        return L"When less than " + Decimal(settings.PrintLTChars) + L" chars";
    }
}

CString LanguageText(const CString& path)
{
    if (path.IsEmpty())
        return GetEmbeddedLanguageName();
    const int slash = path.ReverseFind(L'\\');
    return path.Mid(slash + 1) + L", [" + GetLangLocalizedName(path) + L"]";
}

std::vector<CStringPair> SettingsRows(const AboutReportFacts& facts)
{
    CSettings& settings = GetSettings();
    CString tracking = facts.trackingReport;
    for (LPCWSTR lineBreak : {L"\r\n", L"\r", L"\n"})
        tracking.Replace(lineBreak, L" ");
    const CString clipboardHistory =
        OnOff(settings.ClipboardHistory) + (tracking.IsEmpty() ? L"" : L", ") + tracking;
    return {
        {L"Version Is Installed", IsInstalledCopy() ? L"Yes" : L"No"},
        {L"Clipboard History", clipboardHistory},
        {L"Clipboard Tracking [Settings]",
         IsClipboardFormatListenerAvailable() ? L"Available" : L"Not available"},
        {L"Clipboard Spy Reinstall",
         FormatWatchdogInterval(CClipboardSpy::GetInstance().GetWatchdogTimer().period)},
        {L"DelayInsertMS", Decimal(GetDelayInsertMilliseconds())},
        {L"DirectlyPrintText: ", DirectTypingText(settings)},
        {L"IsAllow_WaitAnswerFromExeAgent",
         Decimal(static_cast<int>(CAppObjects::QueryAllowWaitAnswerFromExeAgent()))},
        {L"Logging", OnOff(settings.WriteLog) + L", " + LogReportPath()},
        {L"Auto Check For Updates", OnOff(settings.AutoCheckForUpdates)},
        {L"Check For Updates Every Days", Decimal(settings.GetDaysCheckForUpdates())},
        {L"Language", LanguageText(settings.GetLanguageFilePath())},
    };
}

// A command's text in the tray menu, in the active language.
CString TrayMenuText(UINT command)
{
    return CAppObjects::GetLocalizer().GetItemText(IDR_TRAY_MENU, command);
}

std::vector<CString> LanguageFilePaths(const CString& folder)
{
    std::vector<CString> names;
    EnumLanguageFiles(names, nullptr);
    std::vector<CString> paths;
    for (const CString& name : names) {
        if (!name.IsEmpty())
            paths.push_back(folder + L"\\" + name);
    }
    return paths;
}
} // namespace

std::vector<CStringPair> CollectPhraseStatisticsRows(const CPhraseStore& phrases)
{
    PhraseStatistics statistics;
    phrases.CollectStatistics(statistics);
    PhraseStatisticsFacts facts;
    facts.defaultFolder = GetSettings().IsPhrasesDirectoryEmpty();
    facts.allItems = statistics.allItems;
    facts.includedItems = statistics.includedItems;
    facts.folders = statistics.folders;
    facts.richTextPhrases = statistics.richTextPhrases;
    facts.plainTextPhrases = statistics.plainTextPhrases;
    facts.commandPhrases = statistics.commandPhrases;
    facts.totalUsage = statistics.totalUsage;
    facts.highestUsage = statistics.highestUsageCount;
    facts.mostUsedTitle = statistics.mostUsedTitle.c_str();
    return MakePhraseStatisticsRows(facts);
}

SystemReportInputs CollectAboutReportInputs(const AboutReportFacts& facts)
{
    SystemReportInputs inputs;
    inputs.versionText = GetShortVersionText();
    inputs.buildStamp = GetBuildStamp();
    inputs.ownExePath = OwnExePath();
    inputs.programFolder = FolderOf(inputs.ownExePath);
    inputs.editorExePath = EditorExePath();
    inputs.welcomeExePath = WelcomeExePath();
    inputs.waiterExePath = WaiterExePath();
    inputs.welcomeLabel = TrayMenuText(ID_TRAY_WELCOME);
    inputs.coreDllPath = GetCoreDllPath();
    inputs.settingsPath = GetSettingsFilePath();
    inputs.phrasesFolder = GetSettings().GetPhrasesFolderNoSlash();
    inputs.clipboardFolder = GetClipboardHistoryFolder();
    GetMfc42Path(inputs.mfc42Path);
    if (facts.phrases)
        inputs.statistics = CollectPhraseStatisticsRows(*facts.phrases);
    std::map<CString, CString> keys;
    BuildCommandLineKeyDescriptions(keys);
    for (const auto& [name, description] : keys)
        inputs.commandLineKeys.emplace_back(name, description);
    inputs.dllServiceImpl =
        CSCVDLLService::GetImplementationText() + (facts.coreInstalled ? L", installed" : L", not installed");
    inputs.hotKeyText = GetHotKeyDisplayText();
    inputs.settingsRows = SettingsRows(facts);
    inputs.languageFiles = LanguageFilePaths(inputs.programFolder);
    inputs.logMessages = GetStartupNotes();
    return inputs;
}

INT_PTR RunAboutCommand(HWND trayWindow, const AboutReportFacts& facts)
{
    if (HWND open = CAboutReportDlg::GetOpenAboutDialog()) {
        RestoreAndActivateWindow(open);
        return 0;
    }
    CAboutDialogServices services;
    services.mainWindow = trayWindow;
    services.aboutMenuText = TrayMenuText(ID_TRAY_ABOUT);
    services.versionText = GetShortVersionText();
    services.checkForUpdatesText = TrayMenuText(ID_TRAY_CHECK_FOR_UPDATES);
    services.logPath = LogReportPath();
    services.collectInputs = [facts] { return CollectAboutReportInputs(facts); };
    services.copyText = [](const CString& text) { return PutClipboardUnicodeText(text); };
    services.expandMacros = ExpandMacrosInText;
    services.openSettingsFile = [](HWND owner) { OpenSettingsFile(owner); };
    CAboutReportDlg dialog(services);
    return dialog.DoModal(trayWindow);
}
