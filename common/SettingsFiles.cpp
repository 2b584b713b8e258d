#include "common/SettingsFiles.h"

#include "common/IniFile.h"
#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"

namespace
{
const wchar_t kSettingsFileName[] = L"Settings.ini";
const wchar_t kUserFolderName[] = L"Scrivolanter";
const wchar_t kSettingsSection[] = L"Settings";

LPCWSTR SectionOrDefault(LPCWSTR section)
{
    return section ? section : kSettingsSection;
}

// An empty settings file next to the program, with the system attribute, made
// with security that lets every user write it.
void CreateEmptyLocalFile(const CString& path)
{
    SECURITY_ATTRIBUTES attributes = {};
    if (!CreateOpenSecurityAttributes(&attributes))
        return;
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                                CREATE_NEW, FILE_ATTRIBUTE_SYSTEM, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
}

} // namespace

CSettingsFiles::CSettingsFiles(const CSettingsEnvironment& environment) : m_environment(&environment) {}

CString CSettingsFiles::GetLocalPath() const
{
    CString path = AddTrailingBackslash(m_environment->GetProgramFolder()) + kSettingsFileName;
    if (!FileExists(path))
        CreateEmptyLocalFile(path);
    return path;
}

CString CSettingsFiles::GetUserPath(bool create) const
{
    CString profile = m_environment->GetProfileFolder();
    if (profile.IsEmpty())
        return CString();
    CString folder = AddTrailingBackslash(profile) + kUserFolderName;
    if (create && !m_environment->IsProgramOnRemovableDrive() && !FolderExists(folder)) {
        SECURITY_ATTRIBUTES attributes = {};
        bool open = CreateOpenSecurityAttributes(&attributes);
        ::CreateDirectoryW(folder, open ? &attributes : nullptr);
    }
    return folder + L"\\" + kSettingsFileName;
}

CString CSettingsFiles::GetSettingsFilePath() const
{
    CString local = GetLocalPath();
    if (m_environment->IsProgramOnRemovableDrive())
        return local;
    if (FileExists(local))
        return m_environment->CanUserWrite(local) ? local : GetUserPath(true);
    CString folder = RemoveTrailingBackslashes(m_environment->GetProgramFolder());
    return m_environment->CanUserWrite(folder) ? local : GetUserPath(true);
}

int CSettingsFiles::ReadInt(LPCWSTR section, LPCWSTR key, int defaultValue) const
{
    section = SectionOrDefault(section);
    CString local = GetLocalPath();
    if (IniKeyExists(local, section, key))
        return static_cast<int>(IniReadInt(local, section, key, defaultValue));
    CString user = GetUserPath(false);
    if (user.IsEmpty())
        return defaultValue;
    return static_cast<int>(IniReadInt(user, section, key, defaultValue));
}

CString CSettingsFiles::ReadString(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue) const
{
    section = SectionOrDefault(section);
    CString value;
    if (IniReadString(GetLocalPath(), section, key, value))
        return value;
    if (IniReadString(GetUserPath(false), section, key, value))
        return value;
    return CString(defaultValue);
}

bool CSettingsFiles::HasKey(LPCWSTR section, LPCWSTR key) const
{
    section = SectionOrDefault(section);
    return IniKeyExists(GetLocalPath(), section, key) || IniKeyExists(GetUserPath(false), section, key);
}

bool CSettingsFiles::WriteInt(LPCWSTR section, LPCWSTR key, int value) const
{
    return IniWriteInt(GetSettingsFilePath(), SectionOrDefault(section), key, value);
}

bool CSettingsFiles::WriteString(LPCWSTR section, LPCWSTR key, LPCWSTR value) const
{
    return IniWriteString(GetSettingsFilePath(), SectionOrDefault(section), key, value);
}

int CSettingsFiles::GetDelayInsertMilliseconds() const
{
    const wchar_t key[] = L"DelayInsertMilliseconds_v141";
    CString written = GetSettingsFilePath();
    int value = static_cast<int>(IniReadInt(written, kSettingsSection, key, -1));
    if (value != -1)
        return value;
    IniWriteInt(written, kSettingsSection, key, 400);
    return 400;
}

bool CSettingsFiles::IsWelcomeAlreadyStarted() const
{
    return ReadInt(kSettingsSection, L"Welcome_Already_Started_V2_60", 0) != 0;
}

CString CSettingsFiles::GetClipboardHistoryFolder() const
{
    return AddTrailingBackslash(m_environment->GetProgramFolder()) + L"ClipboardHistory";
}

CString CSettingsFiles::GetDefaultPhrasesFolder() const
{
    return AddTrailingBackslash(m_environment->GetProgramFolder()) + L"UserPhrases\\";
}

LPCWSTR GetSettingsSectionName()
{
    return kSettingsSection;
}

CString GetSettingsFilePath()
{
    return CSettingsFiles().GetSettingsFilePath();
}

CString ReadSettingsString(LPCWSTR key, LPCWSTR defaultValue)
{
    return CSettingsFiles().ReadString(kSettingsSection, key, defaultValue);
}

int GetDelayInsertMilliseconds()
{
    return CSettingsFiles().GetDelayInsertMilliseconds();
}

bool IsWelcomeAlreadyStarted()
{
    return CSettingsFiles().IsWelcomeAlreadyStarted();
}

CString GetClipboardHistoryFolder()
{
    return CSettingsFiles().GetClipboardHistoryFolder();
}

CString ReadLanguageSetting(LPCWSTR settingsFile)
{
    CString value;
    IniReadString(settingsFile, kSettingsSection, L"Language", value);
    return value;
}

bool WriteLanguageSetting(LPCWSTR language, LPCWSTR settingsFile)
{
    CString name = GetFileNameFromPath(CString(language));
    return IniWriteString(settingsFile, kSettingsSection, L"Language", name);
}

CString ClipboardSpyMethodToStr(int value)
{
    switch (value) {
    case 0:
        return L"CSMO_SETCLIPBOARDVIEWER";
    case 1:
        return L"CSMO_ADDCLIPBOARDLISTENER";
    case -1:
        return L"Auto (CSMO_ADDCLIPBOARDLISTENER is available, or CSMO_SETCLIPBOARDVIEWER in other)";
    default:
        return L"Cannot get ClipboardSpyMethodOptionsToStr";
    }
}

bool IsInstalledCopy()
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Quorvane Software\\Scrivolanter", 0, KEY_QUERY_VALUE,
                        &key) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[50] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    LONG result =
        ::RegQueryValueExW(key, L"FromInstaller", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS && size != 0 && buffer[0] != L'\0';
}
