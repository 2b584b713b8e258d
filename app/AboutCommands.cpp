#include "app/AboutCommands.h"

#include "app/CommandLineArgs.h"
#include "app/VersionTexts.h"
#include "common/LanguageFile.h"
#include "common/Settings.h"
#include "common/SettingsFiles.h"
#include "common/SystemInfo.h"
#include "engine/ClipboardAccess.h"
#include "engine/MacroEngine.h"
#include "online/AboutReportDlg.h"
#include "online/CommandRunners.h"
#include "online/ProgramFilePaths.h"

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

SystemReportInputs CollectAboutReportInputs()
{
    SystemReportInputs inputs;
    inputs.versionText = GetShortVersionText();
    inputs.buildStamp = GetBuildStamp();
    inputs.ownExePath = OwnExePath();
    inputs.programFolder = FolderOf(inputs.ownExePath);
    inputs.editorExePath = EditorExePath();
    inputs.welcomeExePath = WelcomeExePath();
    inputs.waiterExePath = WaiterExePath();
    inputs.coreDllPath = GetCoreDllPath();
    inputs.settingsPath = GetSettingsFilePath();
    inputs.phrasesFolder = GetSettings().GetPhrasesFolderNoSlash();
    inputs.clipboardFolder = GetClipboardHistoryFolder();
    std::map<CString, CString> keys;
    BuildCommandLineKeyDescriptions(keys);
    for (const auto& [name, description] : keys)
        inputs.commandLineKeys.emplace_back(L"/" + name, description);
    const CSettings& settings = GetSettings();
    inputs.settingsRows = {
        {L"Logging", LogReportPath()},
        {L"Auto Check For Updates", OnOff(settings.AutoCheckForUpdates)},
    };
    inputs.languageFiles = LanguageFilePaths(inputs.programFolder);
    return inputs;
}

INT_PTR RunAboutCommand(HWND trayWindow)
{
    if (HWND open = CAboutReportDlg::GetOpenAboutDialog()) {
        ::SetForegroundWindow(open);
        return 0;
    }
    CAboutDialogServices services;
    services.mainWindow = trayWindow;
    services.title = L"About Scrivolanter";
    services.versionLine = L"Scrivolanter " + GetShortVersionText();
    services.logPath = LogReportPath();
    services.collectInputs = CollectAboutReportInputs;
    services.copyText = [](const CString& text) { return PutClipboardUnicodeText(text); };
    services.expandMacros = ExpandMacrosInText;
    services.openSettingsFile = [](HWND owner) { OpenSettingsFile(owner); };
    CAboutReportDlg dialog(services);
    return dialog.DoModal(trayWindow);
}

bool RunZipLogCommand(HWND trayWindow)
{
    const CString report = BuildSystemReport(CollectAboutReportInputs()).GetText();
    return AskAndSaveLogZip(trayWindow, trayWindow, LogReportPath(), report, ExpandMacrosInText);
}
