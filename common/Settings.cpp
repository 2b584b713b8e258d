#include "common/Settings.h"

#include <memory>
#include <vector>

#include "common/DateTimeHelpers.h"
#include "common/IniFile.h"
#include "common/InvariantCompare.h"
#include "common/LanguageFile.h"
#include "common/PathFunctions.h"
#include "common/TextHelpers.h"
#include "common/ClipboardListenerCheck.h"

const wchar_t kSettingsVersionValue[] = L"SCV_150";

namespace
{
const wchar_t kSection[] = L"Settings";
const wchar_t kAgentSection[] = L"Settings_Agent";
const wchar_t kWriterSection[] = L"A_SETTINGS";
const wchar_t kLastCheckKey[] = L"LastCheckForUpdates_V2";

const wchar_t* const kExtMenuCommandKeys[CSettings::ExtMenuCommandCount] = {
    L"ExtMenuCommand__EditSetting",
    L"ExtMenuCommand__SaveSelAsPhrase",
    L"ExtMenuCommand__SUPPORT",
    L"ExtMenuCommand__ShowFloatPane",
};

SettingsFactory g_settingsFactory = nullptr;

bool IsAbsolutePath(const CString& path)
{
    return path.Find(L':') >= 0 || (path.GetLength() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

bool EqualNoCase(const CString& a, const CString& b)
{
    return CompareTextCaseOpt(a, b, false) == 0;
}

CString ClipboardFormatKey(int index)
{
    CString key;
    key.Format(L"ClipboardFormats%d", index);
    return key;
}

SYSTEMTIME DefaultLastCheckTime()
{
    SYSTEMTIME time = {};
    time.wYear = 2013;
    time.wMonth = 1;
    time.wDayOfWeek = 2;
    time.wDay = 1;
    return time;
}
} // namespace

CSettings::CSettings(const CSettingsEnvironment& environment) : m_files(environment)
{
    ComputeNewOrOutdated();
    InsertEncodeCommandIntoMenu = ::GetKeyboardLayoutList(0, nullptr) > 1 ? 1 : 0;
    DetectLanguage();

    ZeroMemory(&FontForMenu, sizeof(FontForMenu));
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        FontForMenu = metrics.lfMenuFont;
}

CSettings::~CSettings() = default;

void CSettings::ComputeNewOrOutdated()
{
    CString local = m_files.GetLocalPath();
    CString user = m_files.GetUserPath(false);
    if (!FileExists(local) && !FileExists(user)) {
        m_newOrOutdated = true;
        return;
    }
    CString version;
    if (IniReadStringWithDefault(local, kSection, L"SCVVersion", L"", 100, version) <= 0)
        IniReadStringWithDefault(user, kSection, L"SCVVersion", L"", 100, version);
    m_newOrOutdated = version.CompareNoCase(kSettingsVersionValue) != 0;
}

void CSettings::DetectLanguage()
{
    const DWORD lastError = ::GetLastError();
    CString name = m_files.GetEnvironment().GetDefaultInputLanguageName();
    if (!name.IsEmpty()) {
        CString folder = AddTrailingBackslash(m_files.GetEnvironment().GetProgramFolder());
        std::vector<CString> files;
        EnumLanguageFilesIn(folder, files, nullptr);
        for (const CString& file : files) {
            if (file.IsEmpty())
                continue;
            if (EqualNoCase(GetLangPrefix(folder + file), name)) {
                Language = file;
                break;
            }
        }
    }
    ::SetLastError(lastError);
}

int CSettings::ReadInt(LPCWSTR key, int defaultValue) const
{
    return m_files.ReadInt(kSection, key, defaultValue);
}

bool CSettings::WriteInt(LPCWSTR key, int value) const
{
    return m_files.WriteInt(kSection, key, value);
}

bool CSettings::WriteString(LPCWSTR value, LPCWSTR key) const
{
    return m_files.WriteString(kSection, key, value);
}

void CSettings::SetHotkeyPacked(int packed)
{
    HotkeyVirtualKey = LOWORD(static_cast<DWORD>(packed));
    HotkeyModifiers = HIWORD(static_cast<DWORD>(packed));
}

int CSettings::Load()
{
    ShowHistoryPaneOnStart = ReadInt(L"ShowHistoryPaneOnStart", 1);
    Pinned_FloatPane_On_Start = ReadInt(L"Pinned_FloatPane_On_Start", 0);

    PhrasesDirectory = m_files.ReadString(kSection, L"PhrasesDirectory", L"");
    if (!PhrasesDirectory.IsEmpty() &&
        EqualNoCase(AddTrailingBackslash(PhrasesDirectory), AddTrailingBackslash(GetDefaultPhrasesFolder())))
        PhrasesDirectory.Empty();

    // The first file that holds the key decides, an empty value meaning the
    // embedded English; without the key anywhere the detected language stays.
    const CString languageFiles[] = {m_files.GetSettingsFilePath(), m_files.GetLocalPath(),
                                     m_files.GetUserPath(false)};
    for (const CString& file : languageFiles) {
        if (IniKeyExists(file, kSection, L"Language")) {
            Language = ReadLanguageSetting(file);
            break;
        }
    }

    SetHotkeyPacked(ReadInt(L"Hotkey", GetHotkeyPacked()));
    ExtHotkey = ReadInt(L"ExtHotkey", 0);
    Hotkey_Doubled = ReadInt(L"Hotkey_Doubled", Hotkey_Doubled);
    Sorting = ReadInt(L"Sorting", Sorting);
    ShowIconInAltTab_ForFP = ReadInt(L"ShowIconInAltTab_ForFP", ShowIconInAltTab_ForFP);
    ClipboardHistory = ReadInt(L"ClipboardHistory", ClipboardHistory);
    ClipboardHistoryMax = ReadInt(L"ClipboardHistoryMax", ClipboardHistoryMax);
    InsertCHIntoMenu = ReadInt(L"InsertCHIntoMenu", InsertCHIntoMenu);
    AutoCheckForUpdates = ReadInt(L"AutoCheckForUpdates", AutoCheckForUpdates);
    DaysCheckForUpdates = ReadInt(L"DaysCheckForUpdates", DaysCheckForUpdates);
    SoundOnEventsV094 = ReadInt(L"SoundOnEventsV094", SoundOnEventsV094);
    MenuToolTips_V0_94_A22 = ReadInt(L"MenuToolTips_V0_94_A22", MenuToolTips_V0_94_A22);
    ShowTrayBallonOnHotkey = ReadInt(L"ShowTrayBallonOnHotkey", ShowTrayBallonOnHotkey);

    WriteLog = static_cast<int>(IniReadInt(m_files.GetSettingsFilePath(), kSection, L"WriteLog", 0));

    InsertEncodeCommandIntoMenu = ReadInt(L"InsertEncodeCommandIntoMenu", InsertEncodeCommandIntoMenu);
    AddLastUsedMenuToBegin = ReadInt(L"AddLastUsedMenuToBegin", AddLastUsedMenuToBegin);
    AddLastUsedMenuToBegin_Count = ReadInt(L"AddLastUsedMenuToBegin_Count", AddLastUsedMenuToBegin_Count);
    DelayAutoLoadSeconds_NextRelease =
        ReadInt(L"DelayAutoLoadSeconds_NextRelease", DelayAutoLoadSeconds_NextRelease);
    SaveClipboardHistory_v198 = ReadInt(L"SaveClipboardHistory_v198", 1);
    int maxInMenu = ReadInt(L"MaxHistoryItemsInMenu", 15);
    if (maxInMenu >= 0)
        MaxHistoryItemsInMenu = maxInMenu;
    AppendCHAsSubMenu_ForV140 = ReadInt(L"AppendCHAsSubMenu_ForV140", AppendCHAsSubMenu_ForV140);
    TextPasteMethod_v150 = ReadInt(L"TextPasteMethod_v150", TextPasteMethod_v150);
    PrintLTChars = ReadInt(L"PrintLTChars", 100);
    ClipboardSpyMethod_v2_22 = ReadInt(L"ClipboardSpyMethod_v2_22", -1);
    for (int i = 0; i < ClipboardFormatCount; ++i)
        ClipboardFormats[i] = ReadInt(ClipboardFormatKey(i), ClipboardFormats[i]);
    ClampLoadedValues();

    LOGFONTW font = {};
    if (::GetPrivateProfileStructW(kSection, L"FontForMenu", &font, sizeof(font),
                                   m_files.GetSettingsFilePath()))
        FontForMenu = font;

    for (int i = 0; i < ExtMenuCommandCount; ++i)
        ExtMenuCommand[i] = ReadInt(kExtMenuCommandKeys[i], ExtMenuCommand[i]);

    LoadMoreKeys();
    return 1;
}

void CSettings::ClampLoadedValues()
{
    const unsigned count = static_cast<unsigned>(AddLastUsedMenuToBegin_Count);
    if (count == 0 || count > 5)
        AddLastUsedMenuToBegin_Count = 3;
    if (static_cast<unsigned>(DelayAutoLoadSeconds_NextRelease) > 600)
        DelayAutoLoadSeconds_NextRelease = 600;
    if (TextPasteMethod_v150 < 0 || TextPasteMethod_v150 > 2)
        TextPasteMethod_v150 = 0;
    const unsigned printChars = static_cast<unsigned>(PrintLTChars);
    if (printChars == 0 || printChars > 1000)
        PrintLTChars = 100;
}

int CSettings::Save()
{
    const CString written = m_files.GetSettingsFilePath();
    IniWriteString(written, kWriterSection, L"WRITED_TO", written);
    IniWriteString(written, kWriterSection, L"WRITED_WHO", GetFileNameFromPath(GetModuleFilePath()));
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    IniWriteString(written, kWriterSection, L"WRITED_WHEN",
                   FormatDateTime(now, DateThenTime, DayNameLong, LOCALE_USER_DEFAULT));

    WriteInt(L"ShowIconInAltTab_ForFP", ShowIconInAltTab_ForFP);
    WriteString(kSettingsVersionValue, L"SCVVersion");
    // A value with environment references is kept as the user wrote it.
    CString phrases = PhrasesDirectory.Find(L'%') >= 0 ? RemoveTrailingBackslashes(PhrasesDirectory)
                                                       : MakeStoredPhrasesDirectory(GetPhrasesFolder());
    WriteString(phrases, L"PhrasesDirectory");
    WriteInt(L"Pinned_FloatPane_On_Start", Pinned_FloatPane_On_Start);
    WriteLanguageSetting(Language, m_files.GetSettingsFilePath());
    WriteInt(L"ShowHistoryPaneOnStart", ShowHistoryPaneOnStart);
    WriteInt(L"Hotkey", GetHotkeyPacked());
    WriteInt(L"ExtHotkey", ExtHotkey);
    WriteInt(L"Hotkey_Doubled", Hotkey_Doubled);
    WriteInt(L"Sorting", Sorting);
    WriteInt(L"ClipboardHistory", ClipboardHistory);
    WriteInt(L"ClipboardHistoryMax", ClipboardHistoryMax);
    WriteInt(L"InsertCHIntoMenu", InsertCHIntoMenu);
    WriteInt(L"AutoCheckForUpdates", AutoCheckForUpdates);
    WriteInt(L"DaysCheckForUpdates", DaysCheckForUpdates);
    WriteInt(L"SoundOnEventsV094", SoundOnEventsV094);
    WriteInt(L"MenuToolTips_V0_94_A22", MenuToolTips_V0_94_A22);
    WriteInt(L"DelayAutoLoadSeconds_NextRelease", DelayAutoLoadSeconds_NextRelease);
    WriteInt(L"WriteLog", WriteLog);
    WriteInt(L"SaveClipboardHistory_v198", SaveClipboardHistory_v198);
    WriteInt(L"MaxHistoryItemsInMenu", MaxHistoryItemsInMenu);
    WriteInt(L"AppendCHAsSubMenu_ForV140", AppendCHAsSubMenu_ForV140);
    WriteInt(L"TextPasteMethod_v150", TextPasteMethod_v150);
    WriteInt(L"ClipboardSpyMethod_v2_22", ClipboardSpyMethod_v2_22);
    WriteInt(L"InsertEncodeCommandIntoMenu", InsertEncodeCommandIntoMenu);
    WriteInt(L"AddLastUsedMenuToBegin", AddLastUsedMenuToBegin);
    WriteInt(L"AddLastUsedMenuToBegin_Count", AddLastUsedMenuToBegin_Count);
    WriteInt(L"ShowTrayBallonOnHotkey", ShowTrayBallonOnHotkey);
    WriteInt(L"PrintLTChars", PrintLTChars);
    for (int i = 0; i < ClipboardFormatCount; ++i)
        WriteInt(ClipboardFormatKey(i), ClipboardFormats[i]);

    SaveMoreKeys();

    ::WritePrivateProfileStructW(kSection, L"FontForMenu", &FontForMenu, sizeof(FontForMenu),
                                 m_files.GetSettingsFilePath());
    for (int i = 0; i < ExtMenuCommandCount; ++i)
        WriteInt(kExtMenuCommandKeys[i], ExtMenuCommand[i]);
    return 1;
}

void CSettings::SetLanguageFileName(LPCWSTR name)
{
    CString value(name);
    if (value.Find(L'\\') >= 0)
        value = GetFileNameFromPath(value);
    Language = value;
}

CString CSettings::GetLanguageFilePath()
{
    CString written = m_files.GetSettingsFilePath();
    if (FileExists(written) && IniKeyExists(written, kSection, L"Language")) {
        CString stored = ReadLanguageSetting(written);
        if (!EqualNoCase(stored, Language))
            Language = stored;
    }
    if (Language.IsEmpty())
        return CString();
    return AddTrailingBackslash(m_files.GetEnvironment().GetProgramFolder()) + Language;
}

int CSettings::GetEffectiveClipboardSpyMethod() const
{
    if (ClipboardSpyMethod_v2_22 != -1)
        return ClipboardSpyMethod_v2_22;
    return IsClipboardFormatListenerAvailable() ? 1 : 0;
}

int CSettings::GetAddLastUsedMenuToBeginCount()
{
    const unsigned count = static_cast<unsigned>(AddLastUsedMenuToBegin_Count);
    if (count == 0 || count > 5)
        AddLastUsedMenuToBegin_Count = 3;
    return AddLastUsedMenuToBegin_Count;
}

int CSettings::GetDaysCheckForUpdates() const
{
    if (DaysCheckForUpdates == 0)
        return 1;
    if (static_cast<unsigned>(DaysCheckForUpdates) > 30)
        return 30;
    return DaysCheckForUpdates;
}

void CSettings::SetDaysCheckForUpdates(int days)
{
    DaysCheckForUpdates = days;
    DaysCheckForUpdates = GetDaysCheckForUpdates();
}

int CSettings::GetExtMenuCommand(int index) const
{
    if (index < 0 || index >= ExtMenuCommandCount)
        return 0;
    return ExtMenuCommand[index];
}

CString CSettings::GetPhrasesFolder() const
{
    const CString programFolder = AddTrailingBackslash(m_files.GetEnvironment().GetProgramFolder());
    if (PhrasesDirectory.IsEmpty())
        return GetDefaultPhrasesFolder();
    // References are expanded first, so that one standing for an absolute
    // folder is not put below the program folder.
    CString folder = ExpandPercentVars(PhrasesDirectory);
    if (RemoveTrailingBackslashes(folder) == L".")
        folder = programFolder;
    else if (!IsAbsolutePath(folder))
        folder = programFolder + folder;
    return AddTrailingBackslash(folder);
}

CString CSettings::GetPhrasesFolderNoSlash() const
{
    return RemoveTrailingBackslashes(GetPhrasesFolder());
}

CString CSettings::MakeStoredPhrasesDirectory(const CString& folder) const
{
    if (folder.IsEmpty())
        return CString();
    const CString programFolder = AddTrailingBackslash(m_files.GetEnvironment().GetProgramFolder());
    const CString withSlash = AddTrailingBackslash(folder);
    if (EqualNoCase(withSlash, GetDefaultPhrasesFolder()))
        return CString();
    if (EqualNoCase(withSlash, programFolder))
        return L".";
    CString stored = folder;
    if (stored.GetLength() >= programFolder.GetLength() &&
        EqualNoCase(stored.Left(programFolder.GetLength()), programFolder))
        stored = stored.Mid(programFolder.GetLength());
    return RemoveTrailingBackslashes(stored);
}

bool CSettings::SetLastCheckForUpdates(const SYSTEMTIME& time)
{
    FILETIME file = {};
    if (!::SystemTimeToFileTime(&time, &file))
        return false;
    if (!WriteInt(CString(kLastCheckKey) + L"Low", static_cast<int>(file.dwLowDateTime)))
        return false;
    return WriteInt(CString(kLastCheckKey) + L"Hi", static_cast<int>(file.dwHighDateTime));
}

bool CSettings::GetLastCheckForUpdates(SYSTEMTIME& time)
{
    const CString lowKey = CString(kLastCheckKey) + L"Low";
    const CString highKey = CString(kLastCheckKey) + L"Hi";
    if (m_files.HasKey(kSection, lowKey) && m_files.HasKey(kSection, highKey)) {
        FILETIME file = {};
        file.dwLowDateTime = static_cast<DWORD>(ReadInt(lowKey, 0));
        file.dwHighDateTime = static_cast<DWORD>(ReadInt(highKey, 0));
        if (::FileTimeToSystemTime(&file, &time))
            return true;
    }
    time = DefaultLastCheckTime();
    SetLastCheckForUpdates(time);
    return true;
}

bool CSettings::GetLastCheckForUpdatesLocal(SYSTEMTIME& time)
{
    SYSTEMTIME utc = {};
    GetLastCheckForUpdates(utc);
    time = utc;
    const SYSTEMTIME never = DefaultLastCheckTime();
    if (utc.wYear == never.wYear && utc.wMonth == never.wMonth && utc.wDay == never.wDay && utc.wHour == 0 &&
        utc.wMinute == 0 && utc.wSecond == 0)
        return false;
    FILETIME file = {};
    FILETIME local = {};
    SYSTEMTIME converted = {};
    if (::SystemTimeToFileTime(&utc, &file) && ::FileTimeToLocalFileTime(&file, &local) &&
        ::FileTimeToSystemTime(&local, &converted))
        time = converted;
    return true;
}

bool CSettings::SetPoint(LPCWSTR name, const POINT& point)
{
    const CString written = m_files.GetSettingsFilePath();
    IniWriteInt(written, kAgentSection, CString(name) + L"_x", point.x);
    IniWriteInt(written, kAgentSection, CString(name) + L"_y", point.y);
    return true;
}

bool CSettings::GetPoint(LPCWSTR name, POINT& point) const
{
    const CString written = m_files.GetSettingsFilePath();
    point.x = static_cast<int>(IniReadInt(written, kAgentSection, CString(name) + L"_x", point.x));
    point.y = static_cast<int>(IniReadInt(written, kAgentSection, CString(name) + L"_y", point.y));
    return true;
}

void SetSettingsFactory(SettingsFactory factory)
{
    g_settingsFactory = factory;
}

CSettings& GetSettings()
{
    static const std::unique_ptr<CSettings> instance = [] {
        std::unique_ptr<CSettings> settings(g_settingsFactory ? g_settingsFactory() : nullptr);
        if (!settings)
            settings.reset(new CSettings());
        settings->LoadOnFirstUse();
        return settings;
    }();
    return *instance;
}
