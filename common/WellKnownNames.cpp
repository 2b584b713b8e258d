#include "common/WellKnownNames.h"

#include <shlobj.h>

#include "common/KernelHandle.h"
#include "common/PathFunctions.h"

namespace
{

bool IsBuildOutputFolderName(const CString& name)
{
    return name.CompareNoCase(L"Debug") == 0 || name.CompareNoCase(L"Release") == 0;
}

} // namespace

CString GetWaiterExePath()
{
    return GetProgramFolderFile(L"ScvWaitingFor.exe");
}

CString GetExitExePath()
{
    return GetProgramFolderFile(L"SCV_Exit.exe");
}

CString GetEditorExePath()
{
    return GetProgramFolderFile(L"ScrivolanterEditor.exe");
}

CString GetWelcomeExePath()
{
    return GetProgramFolderFile(L"Scrivolanter_Welcome.exe");
}

CString GetProgramFolderFile(LPCWSTR name)
{
    return GetProgramFolder() + name;
}

CString BuildLanguageFilePath(LPCWSTR name, const CSettingsEnvironment& environment)
{
    CString folder = RemoveTrailingBackslashes(environment.GetProgramFolder());
    const int lastSlash = folder.ReverseFind(L'\\');
    if (lastSlash > 0 && IsBuildOutputFolderName(folder.Mid(lastSlash + 1)))
        folder.Truncate(lastSlash);
    folder = AddTrailingBackslash(folder);
    return folder + ((name && *name) ? name : L"LocalizeExample.lng");
}

CString GetSettingAreaMappingName()
{
    return L"Local\\$SCRIVOLANTER_SETTING_AREA$";
}

CString GetLangUIChangedEventName()
{
    return L"Local\\Scrivolanter_LangUI_Changed";
}

CString GetCheckForUpdatesEventName()
{
    return L"Local\\Scrivolanter_CheckForUpdates";
}

CString GetFloatPaneBlinkEventName()
{
    return L"Local\\Scrivolanter_FloatPaneBlink";
}

CString GetFirstInstanceEventName()
{
    return L"9DDB575E-846B-4600-880F-98319D699611";
}

CString GetLogReportPath()
{
    return GetLogReportPath(CSettingsEnvironment::System(), GetAppDataFolder());
}

CString GetLogReportPath(const CSettingsEnvironment& environment, const CString& appDataFolder)
{
    const CString folder = AddTrailingBackslash(environment.GetProgramFolder());
    const CString candidate = folder + L"LogReport.txt";
    if (environment.IsProgramOnRemovableDrive())
        return candidate;
    const bool writable = FileExists(candidate)
                              ? environment.CanUserWrite(candidate)
                              : environment.CanUserWrite(GetFolderFromPath(candidate, true));
    if (writable)
        return candidate;
    return AddTrailingBackslash(appDataFolder) + L"LogReport_Scrivolanter.txt";
}

CString GetAppDataFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE))
        return CString();
    return CString(buffer);
}

bool PulseNamedEvent(LPCWSTR name)
{
    if (!name || !*name)
        return false;
    CKernelHandle event(::OpenEventW(EVENT_MODIFY_STATE, FALSE, name));
    if (!event.Get())
        return false;
    const bool set = ::SetEvent(event.Get()) != FALSE;
    ::ResetEvent(event.Get());
    return set;
}

bool SignalCheckForUpdatesEvent()
{
    return PulseNamedEvent(GetCheckForUpdatesEventName());
}

int DayOfWeekFromDate(int day, int month, int year)
{
    const int y = year - (14 - month) / 12;
    return (day + y + (372 - 31 * ((14 - month) % 12)) / 12 + y / 4 - y / 100 + y / 400 + 7000) % 7;
}
