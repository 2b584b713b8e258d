#include "online/UpdateRequest.h"

#include "common/HotKeyText.h"
#include "common/PathFunctions.h"
#include "common/Settings.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "online/CSCVUrl.h"
#include "online/WebDownload.h"

namespace
{
const wchar_t kUpdateScriptPath[] = L"/Source/update_scv.php";

void DeleteIfExists(const CString& path)
{
    if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
        ::DeleteFileW(path);
}
} // namespace

UpdateQueryValues CaptureUpdateQueryValues()
{
    const CSettings& settings = GetSettings();
    UpdateQueryValues values;
    values.sounds = settings.SoundOnEventsV094 != 0;
    values.installed = IsInstalledCopy();
    values.hotKey = settings.HotkeyVirtualKey;
    values.hotKeyModifiers = settings.HotkeyModifiers;
    values.doublePress = settings.Hotkey_Doubled != 0;
    values.autoCheck = settings.AutoCheckForUpdates != 0;
    values.days = settings.GetDaysCheckForUpdates();
    values.languageFile = GetFileNameFromPath(settings.GetLanguageFileName());
    return values;
}

CString GetUpdaterAgentName()
{
    CString name = L"Scrivolanter";
    name += L"_Updater";
    return name;
}

CString BuildHotKeyQueryValue(UINT hotKey, UINT modifiers, bool doublePress)
{
    CString text = HotKeyToText(hotKey, modifiers);
    text.MakeUpper();
    if (doublePress)
        text += L"x2";
    return text;
}

void BuildUpdateQueryParams(CUrlQueryParams& params, const UpdateQueryValues& values)
{
    params.AddProgramVersion(L"scv_version");
    params.AddWinVer();
    params.AddParamText(L"sounds", values.sounds ? L"1" : L"0");
    params.AddParamText(L"version_installed", values.installed ? L"1" : L"0");
    params.AddParamText(L"hotkey",
                        BuildHotKeyQueryValue(values.hotKey, values.hotKeyModifiers, values.doublePress));
    if (values.autoCheck)
        params.AddParamInt(L"au", values.days);
    else
        params.AddParamText(L"au", L"disabled");
    params.AddParam(L"LangFile", values.languageFile, true);
    params.AddLanguages();
    params.AddCountry();
    params.AddDomain();
    params.AddRam();
    params.AddScreen();
    params.AddParamText(L"MFC", values.mfcPath);
}

CString GetUpdateCheckUrl(const UpdateQueryValues& values)
{
    CUrlQueryParams params(CSCVUrl::SiteUrl(kUpdateScriptPath));
    BuildUpdateQueryParams(params, values);
    return params.BuildUrl();
}

CString DownloadVersionInfoFile(const CString& url, const DownloadLimits& limits)
{
    const CString path = MakeTempFilePath(L"xml");
    if (path.IsEmpty())
        return CString();
    DownloadFailure failure = DownloadFailure::None;
    if (!DownloadUrlToFile(url, path, GetUpdaterAgentName(), limits, &failure)) {
        WriteLogLine(L"Cannot download info version file by Download2");
        if (failure != DownloadFailure::RouteUnavailable ||
            !UrlDownloadToFileFallback(url, path, limits.maxBytes)) {
            WriteLogLine(L"Ooops, cannot download info version file by URLDownloadToFile_API_Wrapper");
            DeleteIfExists(path);
            return CString();
        }
    }
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(path, attributes | FILE_ATTRIBUTE_TEMPORARY);
    return path;
}
