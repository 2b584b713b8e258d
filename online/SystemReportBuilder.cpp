#include "online/SystemReportBuilder.h"

#include "common/ByteSizeText.h"
#include "common/DefaultBrowser.h"
#include "common/FileVersionInfo.h"
#include "common/KernelHandle.h"
#include "common/LanguageFile.h"
#include "common/LocaleInfo.h"
#include "common/MarkerFiles.h"
#include "common/OsVersionInfo.h"
#include "common/PathFunctions.h"
#include "common/ProcessInfo.h"
#include "common/SecurityInfo.h"
#include "common/SystemFunctions.h"
#include "common/SystemInfo.h"
#include "common/SystemTexts.h"
#include "common/LocalizedString.h"
#include "online/InternetConnectionState.h"
#include "online/AboutDialogRes.h"

#include <psapi.h>

#include <cwctype>

namespace
{
CString Decimal(long long value)
{
    wchar_t text[32] = {};
    _snwprintf_s(text, _countof(text), _TRUNCATE, L"%lld", value);
    return text;
}

CString YesNo(bool value)
{
    return value ? L"Yes" : L"No";
}

bool PathExists(const CString& path, bool isFolder)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    return ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == isFolder;
}

CString FileVersionOrMissing(const CString& path)
{
    if (path.IsEmpty() || !PathExists(path, false))
        return L"File Not Found";
    CFileVersionInfo info(path);
    if (!info.Read())
        return L"No version information";
    return info.GetField(CFileVersionInfo::FieldFileVersion);
}

bool ModuleHasExport(const CString& dllPath, const char* name)
{
    if (HMODULE loaded = ::GetModuleHandleW(dllPath))
        return ::GetProcAddress(loaded, name) != nullptr;
    HMODULE module = ::LoadLibraryExW(dllPath, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!module)
        return false;
    const bool found = ::GetProcAddress(module, name) != nullptr;
    ::FreeLibrary(module);
    return found;
}

bool CanOpenFolder(const CString& folder, DWORD access)
{
    CKernelHandle handle(::CreateFileW(folder, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(handle);
}

CString FirstOtherDll(const CString& folder, const CString& coreDllPath)
{
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW(folder + L"\\*.dll", &data);
    if (find == INVALID_HANDLE_VALUE)
        return CString();
    ::FindClose(find);
    const CString path = folder + L"\\" + data.cFileName;
    return GetFileNameFromPath(coreDllPath).CompareNoCase(data.cFileName) == 0 ? CString() : path;
}

CString BrowserText()
{
    const CString path = GetDefaultBrowserPath();
    if (path.IsEmpty())
        return L"Cannot detect";
    CFileVersionInfo info(path);
    CString text;
    if (info.Read())
        text = info.GetFileDescription() + L", " + info.GetField(CFileVersionInfo::FieldFileVersion) + L", ";
    return text + GetFileNameFromPath(path);
}

CString ConnectionText(int state)
{
    switch (state) {
    case 0:
        return L"Yes";
    case 1:
        return L"No";
    default:
        return L"ERROR";
    }
}

CString TimesText(int count)
{
    return Decimal(count) + L" times";
}

CString ProcessMemoryText()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters)))
        return L"Cannot detect";
    return FormatByteSizeText(static_cast<LONGLONG>(counters.WorkingSetSize));
}

CString OutcomeText(bool ok, const CString& path)
{
    return CString(ok ? L"Successfully" : L"FAIL") + L", [" + path + L"]";
}

// The first phrase file of the folder, empty when there is none.
CString FirstPhraseFile(const CString& folder)
{
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW(folder + L"\\*.scrivolanter", &data);
    if (find == INVALID_HANDLE_VALUE)
        return CString();
    ::FindClose(find);
    return folder + L"\\" + data.cFileName;
}

CString ScreenText()
{
    wchar_t text[64] = {};
    _snwprintf_s(text, _countof(text), _TRUNCATE, L"%d x %d", ::GetSystemMetrics(SM_CXSCREEN),
                 ::GetSystemMetrics(SM_CYSCREEN));
    return text;
}

bool IsOs64Bit()
{
#ifdef _WIN64
    return true;
#else
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

bool ContainsNoCase(const CString& text, const wchar_t* word)
{
    CString lower = text;
    lower.MakeLower();
    return lower.Find(word) >= 0;
}

void AddPairs(CSystemReport& report, const CString& header, const std::vector<CStringPair>& rows)
{
    report.AddHeader(header);
    for (const CStringPair& row : rows)
        report.AddRow(row.first, row.second);
}

// "/" + the switch name, however many slashes the name came with.
CString SwitchRowName(const CString& name)
{
    CString bare = name;
    bare.TrimLeft(L'/');
    return L"/" + bare;
}

void AddCommandLineKeyRows(CSystemReport& report, const std::vector<CStringPair>& keys)
{
    report.AddHeader(LoadLocalizedTextOr(IDS_ABOUT_COMMAND_LINE_KEYS, L"Command Line Keys"));
    for (const CStringPair& key : keys)
        report.AddRow(SwitchRowName(key.first), key.second);
}

void AddMfc42Row(CSystemReport& report, const CString& path)
{
    const bool found = !path.IsEmpty() && path != L"Not found";
    report.AddRow(L"Mfc42.DLL", found ? path : CString(L"Not found"),
                  found ? ReportRowPlain : ReportRowFailure);
}
} // namespace

void AddComponentRow(CSystemReport& report, const CString& name, const CString& path)
{
    const CString version = FileVersionOrMissing(path);
    report.AddRow(name, version, version == L"File Not Found" ? ReportRowFailure : ReportRowPlain);
}

void AddExportProbeRows(CSystemReport& report, const CString& dllPath,
                        const std::vector<const char*>& exports)
{
    const CString dllName = GetFileNameFromPath(dllPath);
    for (const char* name : exports) {
        const bool found = !dllPath.IsEmpty() && ModuleHasExport(dllPath, name);
        report.AddCheck(dllName + L", [" + CString(name) + L"]", found, L"Function found",
                        L"Function Nout found");
    }
}

void AddPathCheckRows(CSystemReport& report, const CString& label, const CString& path, bool isFolder)
{
    const CString name = GetFileNameFromPath(path);
    report.AddHeader((label.IsEmpty() ? CString(isFolder ? L"Folder" : L"File") : label) + L" [" + name +
                     L"]");
    report.AddRow(L"Full Path", path);
    const bool exists = PathExists(path, isFolder);
    report.AddCheck(name, exists, L"exist", L"not exists");
    if (!exists)
        return;
    report.AddCheck(L"Read Access", CanCurrentUserRead(path), L"OK", L"Denied");
    report.AddCheck(L"Write Access", CanCurrentUserWrite(path), L"OK", L"Denied");
}

void AddFolderAccessRows(CSystemReport& report, const CString& label, const CString& folder)
{
    const bool canRead = CanOpenFolder(folder, GENERIC_READ);
    report.AddCheck(label + L" [read]", canRead, L"Successfully, [" + folder + L"]",
                    L"FAIL, [" + folder + L"]");
    report.AddRow(L"Read Rights", folder, CanCurrentUserRead(folder) ? ReportRowSuccess : ReportRowFailure);
    const bool canWrite = CanOpenFolder(folder, GENERIC_WRITE);
    report.AddCheck(label + L" [write]", canWrite, L"Successfully, [" + folder + L"]",
                    L"FAIL, [" + folder + L"]");
    report.AddRow(L"Write Rights", folder, CanCurrentUserWrite(folder) ? ReportRowSuccess : ReportRowFailure);
}

void AddMarkerFileRows(CSystemReport& report)
{
    std::vector<CString> names;
    GetMarkerFileNames(names);
    report.AddHeader(L"Files [" + Decimal(static_cast<long long>(names.size())) + L"]");
    for (const CString& name : names)
        report.AddCheck(name, IsMarkerFilePresent(name), L"Yes", L"No");
}

void AddLanguageFileRows(CSystemReport& report, const std::vector<CString>& files)
{
    report.AddHeader(L"Language Files " + Decimal(static_cast<long long>(files.size())));
    report.AddRow(L"Embedded", L"English");
    for (const CString& file : files)
        report.AddRow(GetFileNameFromPath(file), GetLangLocalizedName(file));
}

void AddProcessRows(CSystemReport& report, const std::vector<CString>& processPaths)
{
    report.AddHeader(L"Processes");
    for (const CString& path : processPaths)
        report.AddRow(GetFileNameFromPath(path), L" ");
}

void AddLogRows(CSystemReport& report, const std::vector<CString>& messages)
{
    report.AddHeader(L"Log (" + Decimal(static_cast<long long>(messages.size())) + L")");
    for (size_t i = 0; i < messages.size(); ++i) {
        const bool failure = ContainsNoCase(messages[i], L"error");
        report.AddRow(L"Message #" + Decimal(static_cast<long long>(i + 1)), messages[i],
                      failure ? ReportRowFailure : ReportRowPlain);
    }
}

std::vector<CStringPair> MakePhraseStatisticsRows(const PhraseStatisticsFacts& facts)
{
    return {
        {L"Default Folder", YesNo(facts.defaultFolder)},
        {L"All Phrases", Decimal(facts.allItems)},
        {L"Included Phrases", Decimal(facts.includedItems)},
        {L"Folders", Decimal(facts.folders)},
        {L"Formatted Text", Decimal(facts.richTextPhrases)},
        {L"Plain Text", Decimal(facts.plainTextPhrases)},
        {L"Exec Apps", Decimal(facts.commandPhrases)},
        {L"All Usage", TimesText(facts.totalUsage)},
        {L"Max Usage", TimesText(facts.highestUsage) + L", " + facts.mostUsedTitle},
    };
}

void AddPhraseFolderTestRows(CSystemReport& report, const CString& phrasesFolder)
{
    const CString file = FirstPhraseFile(phrasesFolder);
    CKernelHandle handle(file.IsEmpty()
                             ? INVALID_HANDLE_VALUE
                             : ::CreateFileW(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    const bool fileOk = static_cast<bool>(handle);
    report.AddRow(L"Test for phrase-file", OutcomeText(fileOk, file.IsEmpty() ? phrasesFolder : file),
                  fileOk ? ReportRowSuccess : ReportRowFailure);
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW(phrasesFolder + L"\\*", &data);
    const bool groupOk = find != INVALID_HANDLE_VALUE;
    if (groupOk)
        ::FindClose(find);
    report.AddRow(L"Test for phrase-group", OutcomeText(groupOk, phrasesFolder),
                  groupOk ? ReportRowSuccess : ReportRowFailure);
}

void AddEnvironmentRows(CSystemReport& report, const SystemReportInputs& inputs)
{
    report.AddHeader(L"Environment");
    report.AddRow(L"OS", COsVersionInfo::GetOsDescription());
    report.AddRow(L"OS enum", Decimal(COsVersionInfo::GetOsId()));
    report.AddRow(L"Bitness", IsOs64Bit() ? L"64x" : L"32x");
    report.AddRow(L"Memory", GetMemoryUsageText());
    report.AddRow(L"Memory Physical Available", GetAvailableMemoryText());
    report.AddRow(L"Memory Installed", GetInstalledMemoryText());
    report.AddRow(L"Memory Usage", ProcessMemoryText());
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    report.AddRow(L"CPU Number", Decimal(system.dwNumberOfProcessors));
    report.AddRow(L"DLL Service IMPL", inputs.dllServiceImpl);
    bool admin = false;
    report.AddRow(L"Admin authority", IsUserInAdminGroup(admin) ? YesNo(admin) : CString(L"Cannot detect"));
    report.AddRow(L"Hot Key", inputs.hotKeyText);
    const CString ie = GetInternetExplorerVersion();
    report.AddRow(L"IE Version", ie.IsEmpty() ? CString(L"Cannot detect") : ie);
    report.AddRow(L"Default Web Browser", BrowserText());
    report.AddRow(L"Has Internet Connection", ConnectionText(GetInternetConnectionState()));
    const CString domain = GetComputerDnsDomain();
    report.AddRow(L"Computer Domain Name", domain.IsEmpty() ? CString(L"not found") : domain);
    report.AddRow(L"Country", GetUserCountryName() + L", " + GetUserCountryIsoCode(false) + L", " +
                                  GetUserCountryIsoCode(true));
    report.AddRow(L"Active Code Page", Decimal(::GetACP()));
    report.AddRow(L"Screen", ScreenText());
    report.AddRow(L"Aero enabled", YesNo(IsDwmCompositionEnabled()));
    report.AddRow(L"Path", inputs.programFolder);
    for (const CStringPair& row : inputs.settingsRows)
        report.AddRow(row.first, row.second);
    AddPhraseFolderTestRows(report, inputs.phrasesFolder);
    AddFolderAccessRows(report, L"Clipboard Folder", inputs.clipboardFolder);
    AddFolderAccessRows(report, L"Phrases Folder", inputs.phrasesFolder);
}

CString FormatWatchdogInterval(UINT milliseconds)
{
    constexpr UINT kMinute = 60000;
    if (milliseconds >= kMinute)
        return Decimal(milliseconds / kMinute) + L" min";
    return Decimal(milliseconds / 1000) + L" sec";
}

CSystemReport BuildSystemReport(const SystemReportInputs& inputs)
{
    CSystemReport report;
    report.AddRow(L"Version", inputs.versionText);
    report.AddRow(L"Released", inputs.buildStamp);
    report.AddHeader(L"Components");
    AddComponentRow(report, L"Scrivolanter", inputs.ownExePath);
    AddComponentRow(report, LoadLocalizedTextOr(IDS_ABOUT_EDITOR, L"Phrase\\Settings Editor"),
                    inputs.editorExePath);
    AddComponentRow(report, inputs.welcomeLabel.IsEmpty() ? CString(L"Welcome Module") : inputs.welcomeLabel,
                    inputs.welcomeExePath);
    AddComponentRow(report, L"Scrivolanter Waiter", inputs.waiterExePath);
    AddComponentRow(report,
                    LoadLocalizedTextOr(IDS_ABOUT_EXIT_TOOL,
                                        L"Tool for closing of all running instances of Scrivolanter"),
                    inputs.programFolder + L"\\SCV_Exit.exe");
    AddComponentRow(report, L"Core DLL", inputs.coreDllPath);
    report.AddRow(L"DLL Full Path", inputs.coreDllPath);
    AddExportProbeRows(report, inputs.coreDllPath, {"SV_Install2", "SV_Uninstall2"});
    const CString otherDll = FirstOtherDll(inputs.programFolder, inputs.coreDllPath);
    if (!otherDll.IsEmpty())
        report.AddRow(CString(), FileVersionOrMissing(otherDll) + L", " + GetFileNameFromPath(otherDll));
    AddComponentRow(report, L"Sound Utilities", inputs.programFolder + L"\\VAVovezAziz.dll");
    AddMfc42Row(report, inputs.mfc42Path);
    AddPathCheckRows(report, L"Settings File", inputs.settingsPath, false);
    AddPathCheckRows(report, L"Phrases Folder", inputs.phrasesFolder, true);
    AddPairs(report, LoadLocalizedTextOr(IDS_ABOUT_STATISTIC, L"Statistic"), inputs.statistics);
    AddCommandLineKeyRows(report, inputs.commandLineKeys);
    AddEnvironmentRows(report, inputs);
    AddMarkerFileRows(report);
    AddLanguageFileRows(report, inputs.languageFiles);
    std::vector<CString> processes;
    ListProcessPaths(processes, true);
    AddProcessRows(report, processes);
    AddLogRows(report, inputs.logMessages);
    return report;
}
