// Settings object and settings file: defaults, ranges, the round trip of every
// key, and which of the two files is read and written.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>

#include "common/IniFile.h"
#include "common/Settings.h"
#include "common/SettingsFiles.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

// Failure messages show the text of a CString.
inline void PrintTo(const CString& text, std::ostream* out)
{
    *out << ::testing::PrintToString(std::wstring(text.GetString()));
}

namespace
{

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    while (!text.empty() && text.back() == L'\\')
        text.pop_back();
    return text;
}

// Program and profile folders in a temporary folder; the drive kind, the
// write permission and the input language are set by the test.
class FakeEnvironment : public CSettingsEnvironment
{
public:
    explicit FakeEnvironment(const scvtest::TempFolder& temp)
        : programFolder((temp.CreateSubfolder(L"program") + L"\\").c_str()),
          profileFolder(temp.CreateSubfolder(L"profile").c_str())
    {}

    CString GetProgramFolder() const override { return programFolder; }
    CString GetProfileFolder() const override { return profileFolder; }
    bool IsProgramOnRemovableDrive() const override { return removable; }
    bool CanUserWrite(LPCWSTR path) const override { return readOnly.count(Lower(path)) == 0; }
    CString GetDefaultInputLanguageName() const override { return inputLanguage; }

    void MakeReadOnly(const CString& path) { readOnly.insert(Lower(path.GetString())); }

    CString LocalFile() const { return programFolder + L"Settings.ini"; }
    CString UserFolder() const { return profileFolder + L"\\Scrivolanter"; }
    CString UserFile() const { return UserFolder() + L"\\Settings.ini"; }

    CString programFolder;
    CString profileFolder;
    bool removable = false;
    CString inputLanguage;
    std::set<std::wstring> readOnly;
};

void WriteValue(const CString& file, LPCWSTR key, LPCWSTR value, LPCWSTR section = L"Settings")
{
    ASSERT_TRUE(::WritePrivateProfileStringW(section, key, value, file));
}

void WriteNumber(const CString& file, LPCWSTR key, int value, LPCWSTR section = L"Settings")
{
    WriteValue(file, key, std::to_wstring(value).c_str(), section);
}

std::wstring ReadValue(const CString& file, LPCWSTR key, LPCWSTR section = L"Settings")
{
    wchar_t buffer[512] = {};
    ::GetPrivateProfileStringW(section, key, L"<missing>", buffer, 512, file);
    return buffer;
}

class SettingsTest : public ::testing::Test
{
protected:
    scvtest::TempFolder temp;
    FakeEnvironment env{temp};
};

// --- Defaults -------------------------------------------------------------------

TEST_F(SettingsTest, FirstStartWithoutFilesHasEveryDefault)
{
    CSettings settings(env);
    EXPECT_TRUE(settings.IsNewOrOutdated());
    EXPECT_EQ(1, settings.Load());

    EXPECT_EQ(0, settings.Pinned_FloatPane_On_Start);
    EXPECT_EQ(7, settings.DaysCheckForUpdates);
    EXPECT_EQ(-1, settings.ClipboardSpyMethod_v2_22);
    EXPECT_TRUE(settings.PhrasesDirectory.IsEmpty());
    EXPECT_EQ(0, settings.WriteLog);
    EXPECT_EQ(::GetKeyboardLayoutList(0, nullptr) > 1 ? 1 : 0, settings.InsertEncodeCommandIntoMenu);
    EXPECT_TRUE(settings.Language.IsEmpty());
    EXPECT_EQ(3, settings.AddLastUsedMenuToBegin_Count);
    for (int i = 0; i < CSettings::ExtMenuCommandCount; ++i)
        EXPECT_EQ(1, settings.GetExtMenuCommand(i)) << i;
    EXPECT_EQ(0, settings.GetExtMenuCommand(4));
    EXPECT_EQ(0, settings.GetExtMenuCommand(-1));
    EXPECT_EQ(1, settings.ShowIconInAltTab_ForFP);
    EXPECT_EQ(1, settings.ShowHistoryPaneOnStart);
    const int formats[] = {1, 1, 0, 1, 1};
    for (int i = 0; i < CSettings::ClipboardFormatCount; ++i)
        EXPECT_EQ(formats[i], settings.ClipboardFormats[i]) << i;
    EXPECT_EQ(VK_RETURN, settings.HotkeyVirtualKey);
    EXPECT_EQ(MOD_ALT | MOD_CONTROL, settings.HotkeyModifiers);
    EXPECT_EQ(13 + 3 * 65536, settings.GetHotkeyPacked());
    EXPECT_EQ(0, settings.ExtHotkey);
    EXPECT_EQ(0, settings.Hotkey_Doubled);
    EXPECT_EQ(1, settings.ClipboardHistory);
    EXPECT_EQ(30, settings.ClipboardHistoryMax);
    EXPECT_EQ(1, settings.InsertCHIntoMenu);
    EXPECT_EQ(1, settings.AutoCheckForUpdates);
    EXPECT_EQ(1, settings.SoundOnEventsV094);
    EXPECT_EQ(30, settings.DelayAutoLoadSeconds_NextRelease);
    EXPECT_EQ(1, settings.MenuToolTips_V0_94_A22);
    EXPECT_EQ(1, settings.AddLastUsedMenuToBegin);
    EXPECT_EQ(0, settings.AppendCHAsSubMenu_ForV140);
    EXPECT_EQ(1, settings.Sorting);
    EXPECT_EQ(0, settings.TextPasteMethod_v150);
    EXPECT_EQ(100, settings.PrintLTChars);
    EXPECT_EQ(1, settings.ShowTrayBallonOnHotkey);
    EXPECT_EQ(1, settings.SaveClipboardHistory_v198);
    EXPECT_EQ(15, settings.MaxHistoryItemsInMenu);

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    EXPECT_EQ(0, memcmp(&metrics.lfMenuFont, &settings.FontForMenu, sizeof(LOGFONTW)));

    EXPECT_EQ(settings.GetDefaultPhrasesFolder(), settings.GetPhrasesFolder());
    EXPECT_EQ(env.programFolder + L"UserPhrases\\", settings.GetPhrasesFolder());
    EXPECT_EQ(env.programFolder + L"UserPhrases", settings.GetPhrasesFolderNoSlash());
    EXPECT_EQ(env.programFolder + L"ClipboardHistory", settings.GetFiles().GetClipboardHistoryFolder());
}

TEST_F(SettingsTest, MissingKeysKeepCurrentValuesOrFallBackToFixedDefaults)
{
    CSettings settings(env);
    settings.Load();
    // Fixed load defaults come back on a reload without the key...
    settings.ShowHistoryPaneOnStart = 0;
    settings.Pinned_FloatPane_On_Start = 1;
    settings.ExtHotkey = 1;
    settings.WriteLog = 1;
    settings.SaveClipboardHistory_v198 = 0;
    settings.MaxHistoryItemsInMenu = 4;
    settings.PrintLTChars = 50;
    settings.ClipboardSpyMethod_v2_22 = 0;
    // ...the others keep what the object holds.
    settings.ClipboardHistoryMax = 77;
    settings.Sorting = 0;
    settings.DaysCheckForUpdates = 12;
    settings.ClipboardFormats[2] = 1;
    settings.ExtMenuCommand[CSettings::ExtMenuCommand__SUPPORT] = 0;
    settings.SetHotkeyPacked('K' + MOD_SHIFT * 65536);
    settings.Load();

    EXPECT_EQ(1, settings.ShowHistoryPaneOnStart);
    EXPECT_EQ(0, settings.Pinned_FloatPane_On_Start);
    EXPECT_EQ(0, settings.ExtHotkey);
    EXPECT_EQ(0, settings.WriteLog);
    EXPECT_EQ(1, settings.SaveClipboardHistory_v198);
    EXPECT_EQ(15, settings.MaxHistoryItemsInMenu);
    EXPECT_EQ(100, settings.PrintLTChars);
    EXPECT_EQ(-1, settings.ClipboardSpyMethod_v2_22);

    EXPECT_EQ(77, settings.ClipboardHistoryMax);
    EXPECT_EQ(0, settings.Sorting);
    EXPECT_EQ(12, settings.DaysCheckForUpdates);
    EXPECT_EQ(1, settings.ClipboardFormats[2]);
    EXPECT_EQ(0, settings.GetExtMenuCommand(CSettings::ExtMenuCommand__SUPPORT));
    EXPECT_EQ('K', settings.HotkeyVirtualKey);
    EXPECT_EQ(MOD_SHIFT, settings.HotkeyModifiers);
}

// --- Round trip -------------------------------------------------------------------

TEST_F(SettingsTest, EveryKeyRoundTripsThroughTheFileUnderItsName)
{
    CSettings saved(env);
    saved.Pinned_FloatPane_On_Start = 1;
    saved.DaysCheckForUpdates = 14;
    saved.ClipboardSpyMethod_v2_22 = 0;
    saved.PhrasesDirectory = L"Sub\\Phr";
    saved.WriteLog = 1;
    saved.InsertEncodeCommandIntoMenu = 1;
    saved.Language = L"de.lng";
    saved.AddLastUsedMenuToBegin_Count = 5;
    saved.ExtMenuCommand[0] = 0;
    saved.ExtMenuCommand[1] = 1;
    saved.ExtMenuCommand[2] = 0;
    saved.ExtMenuCommand[3] = 0;
    saved.ShowIconInAltTab_ForFP = 0;
    saved.ShowHistoryPaneOnStart = 0;
    const int formats[] = {0, 1, 1, 0, 0};
    std::copy(std::begin(formats), std::end(formats), saved.ClipboardFormats);
    saved.SetHotkeyPacked(0x7A + (MOD_WIN | MOD_SHIFT) * 65536);
    saved.ExtHotkey = 1;
    saved.Hotkey_Doubled = 1;
    saved.ClipboardHistory = 0;
    saved.ClipboardHistoryMax = 99;
    saved.InsertCHIntoMenu = 0;
    saved.AutoCheckForUpdates = 0;
    saved.SoundOnEventsV094 = 0;
    saved.DelayAutoLoadSeconds_NextRelease = 45;
    saved.MenuToolTips_V0_94_A22 = 0;
    saved.AddLastUsedMenuToBegin = 0;
    saved.AppendCHAsSubMenu_ForV140 = 1;
    saved.Sorting = 0;
    saved.TextPasteMethod_v150 = 2;
    saved.PrintLTChars = 250;
    saved.ShowTrayBallonOnHotkey = 0;
    wcscpy_s(saved.FontForMenu.lfFaceName, L"Round Trip Face");
    saved.FontForMenu.lfHeight = -17;
    saved.FontForMenu.lfWeight = 700;
    saved.SaveClipboardHistory_v198 = 0;
    saved.MaxHistoryItemsInMenu = 0;
    EXPECT_EQ(1, saved.Save());

    // The keys, under their exact names, in the one written file.
    const CString file = env.LocalFile();
    EXPECT_EQ(file, saved.GetFiles().GetSettingsFilePath());
    const struct
    {
        LPCWSTR key;
        LPCWSTR value;
    } expected[] = {
        {L"Pinned_FloatPane_On_Start", L"1"},
        {L"DaysCheckForUpdates", L"14"},
        {L"ClipboardSpyMethod_v2_22", L"0"},
        {L"PhrasesDirectory", L"Sub\\Phr"},
        {L"WriteLog", L"1"},
        {L"InsertEncodeCommandIntoMenu", L"1"},
        {L"Language", L"de.lng"},
        {L"AddLastUsedMenuToBegin_Count", L"5"},
        {L"ExtMenuCommand__EditSetting", L"0"},
        {L"ExtMenuCommand__SaveSelAsPhrase", L"1"},
        {L"ExtMenuCommand__SUPPORT", L"0"},
        {L"ExtMenuCommand__ShowFloatPane", L"0"},
        {L"ShowIconInAltTab_ForFP", L"0"},
        {L"ShowHistoryPaneOnStart", L"0"},
        {L"ClipboardFormats0", L"0"},
        {L"ClipboardFormats1", L"1"},
        {L"ClipboardFormats2", L"1"},
        {L"ClipboardFormats3", L"0"},
        {L"ClipboardFormats4", L"0"},
        {L"Hotkey", L"786554"}, // 0x7A + 12 * 65536
        {L"ExtHotkey", L"1"},
        {L"Hotkey_Doubled", L"1"},
        {L"ClipboardHistory", L"0"},
        {L"ClipboardHistoryMax", L"99"},
        {L"InsertCHIntoMenu", L"0"},
        {L"AutoCheckForUpdates", L"0"},
        {L"SoundOnEventsV094", L"0"},
        {L"DelayAutoLoadSeconds_NextRelease", L"45"},
        {L"MenuToolTips_V0_94_A22", L"0"},
        {L"AddLastUsedMenuToBegin", L"0"},
        {L"AppendCHAsSubMenu_ForV140", L"1"},
        {L"Sorting", L"0"},
        {L"TextPasteMethod_v150", L"2"},
        {L"PrintLTChars", L"250"},
        {L"ShowTrayBallonOnHotkey", L"0"},
        {L"SaveClipboardHistory_v198", L"0"},
        {L"MaxHistoryItemsInMenu", L"0"},
        {L"SCVVersion", L"SCV_150"},
    };
    for (const auto& row : expected)
        EXPECT_EQ(std::wstring(row.value), ReadValue(file, row.key)) << row.key;
    EXPECT_EQ(std::wstring(file), ReadValue(file, L"WRITED_TO", L"A_SETTINGS"));
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(std::wstring(wcsrchr(self, L'\\') + 1), ReadValue(file, L"WRITED_WHO", L"A_SETTINGS"));
    EXPECT_NE(L"<missing>", ReadValue(file, L"WRITED_WHEN", L"A_SETTINGS"));
    EXPECT_NE(std::wstring(), ReadValue(file, L"WRITED_WHEN", L"A_SETTINGS"));

    CSettings loaded(env);
    EXPECT_FALSE(loaded.IsNewOrOutdated());
    loaded.Load();
    EXPECT_EQ(1, loaded.Pinned_FloatPane_On_Start);
    EXPECT_EQ(14, loaded.DaysCheckForUpdates);
    EXPECT_EQ(0, loaded.ClipboardSpyMethod_v2_22);
    EXPECT_EQ(CString(L"Sub\\Phr"), loaded.PhrasesDirectory);
    EXPECT_EQ(1, loaded.WriteLog);
    EXPECT_EQ(1, loaded.InsertEncodeCommandIntoMenu);
    EXPECT_EQ(CString(L"de.lng"), loaded.Language);
    EXPECT_EQ(5, loaded.AddLastUsedMenuToBegin_Count);
    EXPECT_EQ(0, loaded.ExtMenuCommand[0]);
    EXPECT_EQ(1, loaded.ExtMenuCommand[1]);
    EXPECT_EQ(0, loaded.ExtMenuCommand[2]);
    EXPECT_EQ(0, loaded.ExtMenuCommand[3]);
    EXPECT_EQ(0, loaded.ShowIconInAltTab_ForFP);
    EXPECT_EQ(0, loaded.ShowHistoryPaneOnStart);
    for (int i = 0; i < CSettings::ClipboardFormatCount; ++i)
        EXPECT_EQ(formats[i], loaded.ClipboardFormats[i]) << i;
    EXPECT_EQ(0x7A, loaded.HotkeyVirtualKey);
    EXPECT_EQ(MOD_WIN | MOD_SHIFT, loaded.HotkeyModifiers);
    EXPECT_EQ(1, loaded.ExtHotkey);
    EXPECT_EQ(1, loaded.Hotkey_Doubled);
    EXPECT_EQ(0, loaded.ClipboardHistory);
    EXPECT_EQ(99, loaded.ClipboardHistoryMax);
    EXPECT_EQ(0, loaded.InsertCHIntoMenu);
    EXPECT_EQ(0, loaded.AutoCheckForUpdates);
    EXPECT_EQ(0, loaded.SoundOnEventsV094);
    EXPECT_EQ(45, loaded.DelayAutoLoadSeconds_NextRelease);
    EXPECT_EQ(0, loaded.MenuToolTips_V0_94_A22);
    EXPECT_EQ(0, loaded.AddLastUsedMenuToBegin);
    EXPECT_EQ(1, loaded.AppendCHAsSubMenu_ForV140);
    EXPECT_EQ(0, loaded.Sorting);
    EXPECT_EQ(2, loaded.TextPasteMethod_v150);
    EXPECT_EQ(250, loaded.PrintLTChars);
    EXPECT_EQ(0, loaded.ShowTrayBallonOnHotkey);
    EXPECT_EQ(0, memcmp(&saved.FontForMenu, &loaded.FontForMenu, sizeof(LOGFONTW)));
    EXPECT_EQ(0, loaded.SaveClipboardHistory_v198);
    EXPECT_EQ(0, loaded.MaxHistoryItemsInMenu);
    EXPECT_EQ(-1, loaded.GetMaxHistoryItemsInMenu());
    EXPECT_FALSE(loaded.HasMaxHistoryItemsInMenu());
}

TEST_F(SettingsTest, SettingsVersionDecidesNewOrOutdated)
{
    const struct
    {
        LPCWSTR version;
        bool outdated;
    } cases[] = {{L"SCV_150", false}, {L"scv_150", false}, {L"SCV_149", true}, {nullptr, true}};
    for (const auto& row : cases) {
        ::DeleteFileW(env.LocalFile());
        if (row.version)
            WriteValue(env.LocalFile(), L"SCVVersion", row.version);
        EXPECT_EQ(row.outdated, CSettings(env).IsNewOrOutdated()) << (row.version ? row.version : L"none");
    }
    // Only the user file holds the version: it is read from there.
    ::DeleteFileW(env.LocalFile());
    scvtest::CreateFolders(env.UserFolder().GetString());
    WriteValue(env.UserFile(), L"SCVVersion", L"SCV_150");
    EXPECT_FALSE(CSettings(env).IsNewOrOutdated());
}

// --- Ranges -------------------------------------------------------------------------

TEST_F(SettingsTest, RangedKeysAreClampedOnLoad)
{
    const struct
    {
        LPCWSTR key;
        int stored;
        int loaded;
    } cases[] = {
        {L"AddLastUsedMenuToBegin_Count", 0, 3},
        {L"AddLastUsedMenuToBegin_Count", 6, 3},
        {L"AddLastUsedMenuToBegin_Count", -1, 3},
        {L"AddLastUsedMenuToBegin_Count", 1, 1},
        {L"AddLastUsedMenuToBegin_Count", 5, 5},
        {L"DelayAutoLoadSeconds_NextRelease", 601, 600},
        {L"DelayAutoLoadSeconds_NextRelease", -1, 600},
        {L"DelayAutoLoadSeconds_NextRelease", 600, 600},
        {L"DelayAutoLoadSeconds_NextRelease", 0, 0},
        {L"TextPasteMethod_v150", 3, 0},
        {L"TextPasteMethod_v150", -1, 0},
        {L"TextPasteMethod_v150", 2, 2},
        {L"PrintLTChars", 0, 100},
        {L"PrintLTChars", 1001, 100},
        {L"PrintLTChars", -5, 100},
        {L"PrintLTChars", 1000, 1000},
        {L"PrintLTChars", 1, 1},
        {L"MaxHistoryItemsInMenu", -5, 9},
        {L"MaxHistoryItemsInMenu", 0, 0},
        {L"MaxHistoryItemsInMenu", 40, 40},
    };
    for (const auto& row : cases) {
        ::DeleteFileW(env.LocalFile());
        WriteNumber(env.LocalFile(), row.key, row.stored);
        CSettings settings(env);
        settings.MaxHistoryItemsInMenu = 9; // what a negative value leaves alone
        settings.Load();
        int value = 0;
        if (!wcscmp(row.key, L"AddLastUsedMenuToBegin_Count"))
            value = settings.AddLastUsedMenuToBegin_Count;
        else if (!wcscmp(row.key, L"DelayAutoLoadSeconds_NextRelease"))
            value = settings.DelayAutoLoadSeconds_NextRelease;
        else if (!wcscmp(row.key, L"TextPasteMethod_v150"))
            value = settings.TextPasteMethod_v150;
        else if (!wcscmp(row.key, L"PrintLTChars"))
            value = settings.PrintLTChars;
        else
            value = settings.MaxHistoryItemsInMenu;
        EXPECT_EQ(row.loaded, value) << row.key << " = " << row.stored;
    }
}

TEST_F(SettingsTest, AccessorsClampDaysAndLastUsedCount)
{
    CSettings settings(env);
    const struct
    {
        int stored;
        int read;
    } days[] = {{0, 1}, {1, 1}, {30, 30}, {31, 30}, {-1, 30}};
    for (const auto& row : days) {
        settings.DaysCheckForUpdates = row.stored;
        EXPECT_EQ(row.read, settings.GetDaysCheckForUpdates()) << row.stored;
        EXPECT_EQ(row.stored, settings.DaysCheckForUpdates) << "the getter does not store";
        settings.SetDaysCheckForUpdates(row.stored);
        EXPECT_EQ(row.read, settings.DaysCheckForUpdates) << row.stored;
    }
    settings.SetDaysCheckForUpdates(45);
    settings.Save();
    EXPECT_EQ(L"30", ReadValue(env.LocalFile(), L"DaysCheckForUpdates"));

    // The member itself is loaded unclamped.
    WriteNumber(env.LocalFile(), L"DaysCheckForUpdates", 0);
    settings.Load();
    EXPECT_EQ(0, settings.DaysCheckForUpdates);
    EXPECT_EQ(1, settings.GetDaysCheckForUpdates());

    settings.AddLastUsedMenuToBegin_Count = 9;
    EXPECT_EQ(3, settings.GetAddLastUsedMenuToBeginCount());
    EXPECT_EQ(3, settings.AddLastUsedMenuToBegin_Count);
    settings.AddLastUsedMenuToBegin_Count = 4;
    EXPECT_EQ(4, settings.GetAddLastUsedMenuToBeginCount());
}

TEST_F(SettingsTest, ClipboardSpyMethodTextsAndAutomaticChoice)
{
    EXPECT_EQ(CString(L"CSMO_SETCLIPBOARDVIEWER"), ClipboardSpyMethodToStr(0));
    EXPECT_EQ(CString(L"CSMO_ADDCLIPBOARDLISTENER"), ClipboardSpyMethodToStr(1));
    EXPECT_EQ(CString(L"Auto (CSMO_ADDCLIPBOARDLISTENER is available, or CSMO_SETCLIPBOARDVIEWER in other)"),
              ClipboardSpyMethodToStr(-1));
    EXPECT_EQ(CString(L"Cannot get ClipboardSpyMethodOptionsToStr"), ClipboardSpyMethodToStr(2));

    CSettings settings(env);
    settings.ClipboardSpyMethod_v2_22 = 0;
    EXPECT_EQ(0, settings.GetEffectiveClipboardSpyMethod());
    settings.ClipboardSpyMethod_v2_22 = -1;
    const bool listener =
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AddClipboardFormatListener") != nullptr;
    EXPECT_EQ(listener ? 1 : 0, settings.GetEffectiveClipboardSpyMethod());
    EXPECT_EQ(-1, settings.GetClipboardSpyMethod());
}

// --- Which file ------------------------------------------------------------------------

TEST_F(SettingsTest, WritableProgramFolderGetsTheLocalFileCreatedWithSystemAttribute)
{
    CSettingsFiles files(env);
    EXPECT_EQ(env.LocalFile(), files.GetSettingsFilePath());
    const DWORD attributes = ::GetFileAttributesW(env.LocalFile());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_FALSE(scvtest::FolderExists(env.UserFolder().GetString()))
        << "no user folder for a writable program folder";
}

TEST_F(SettingsTest, ReadOnlyLocalFileSendsWritesToTheUserFileWhileReadsPreferTheLocalFile)
{
    WriteNumber(env.LocalFile(), L"ClipboardHistoryMax", 11);
    WriteValue(env.LocalFile(), L"PhrasesDirectory", L"Local\\Phrases");
    env.MakeReadOnly(env.LocalFile());

    CSettings settings(env);
    EXPECT_EQ(env.UserFile(), settings.GetFiles().GetSettingsFilePath());
    EXPECT_TRUE(scvtest::FolderExists(env.UserFolder().GetString()));

    settings.ClipboardHistoryMax = 55;
    settings.Sorting = 0;
    settings.PhrasesDirectory = L"User\\Phrases";
    settings.Save();
    EXPECT_EQ(L"55", ReadValue(env.UserFile(), L"ClipboardHistoryMax"));
    EXPECT_EQ(L"11", ReadValue(env.LocalFile(), L"ClipboardHistoryMax"))
        << "the read-only file is not written";

    CSettings loaded(env);
    loaded.Load();
    EXPECT_EQ(11, loaded.ClipboardHistoryMax) << "a key of the local file wins";
    EXPECT_EQ(0, loaded.Sorting) << "a key missing there comes from the user file";
    EXPECT_EQ(CString(L"Local\\Phrases"), loaded.PhrasesDirectory);
}

TEST_F(SettingsTest, LocalKeyNamesMatchWithCaseCounting)
{
    WriteNumber(env.LocalFile(), L"clipboardhistorymax", 11);
    scvtest::CreateFolders(env.UserFolder().GetString());
    WriteNumber(env.UserFile(), L"ClipboardHistoryMax", 22);
    CSettings settings(env);
    settings.Load();
    EXPECT_EQ(22, settings.ClipboardHistoryMax);

    EXPECT_TRUE(IniKeyExists(env.LocalFile(), L"Settings", L"clipboardhistorymax"));
    EXPECT_FALSE(IniKeyExists(env.LocalFile(), L"Settings", L"ClipboardHistoryMax"));
    EXPECT_FALSE(IniKeyExists(env.LocalFile(), L"Nothing", L"clipboardhistorymax"));
    EXPECT_FALSE(IniKeyExists(env.programFolder + L"missing.ini", L"Settings", L"clipboardhistorymax"));
}

TEST_F(SettingsTest, RemovableDriveAlwaysWritesNextToTheProgram)
{
    env.removable = true;
    WriteNumber(env.LocalFile(), L"Sorting", 1);
    env.MakeReadOnly(env.LocalFile());
    env.MakeReadOnly(env.programFolder);
    CSettingsFiles files(env);
    EXPECT_EQ(env.LocalFile(), files.GetSettingsFilePath());
    EXPECT_EQ(env.UserFile(), files.GetUserPath(true));
    EXPECT_FALSE(scvtest::FolderExists(env.UserFolder().GetString()))
        << "no profile folder from a removable drive";
}

TEST_F(SettingsTest, MissingLocalFileChoosesByTheFolderPermission)
{
    // A program folder where no file can be made stands for a protected one.
    env.programFolder = CString(temp.PathOf(L"absent").c_str()) + L"\\";
    CSettingsFiles files(env);
    EXPECT_EQ(env.LocalFile(), files.GetSettingsFilePath()) << "the folder counts as writable";
    EXPECT_FALSE(scvtest::FileExists(env.LocalFile().GetString()));

    env.MakeReadOnly(CString(temp.PathOf(L"absent").c_str()));
    EXPECT_EQ(env.UserFile(), files.GetSettingsFilePath());
    EXPECT_TRUE(scvtest::FolderExists(env.UserFolder().GetString()));
}

TEST_F(SettingsTest, IniWrappersReadAndWrite)
{
    const CString file = env.programFolder + L"wrappers.ini";
    EXPECT_TRUE(IniWriteString(file, L"S", L"Text", L"value"));
    EXPECT_TRUE(IniWriteString(file, L"S", L"Empty", nullptr));
    EXPECT_TRUE(IniWriteInt(file, L"S", L"Number", -42));
    CString out(L"unchanged");
    EXPECT_TRUE(IniReadString(file, L"S", L"Text", out));
    EXPECT_EQ(CString(L"value"), out);
    out = L"unchanged";
    EXPECT_FALSE(IniReadString(file, L"S", L"Empty", out));
    EXPECT_EQ(CString(L"unchanged"), out);
    EXPECT_TRUE(IniKeyExists(file, L"S", L"Empty"));
    EXPECT_EQ(-42, static_cast<int>(IniReadInt(file, L"S", L"Number", 0)));
    EXPECT_EQ(5, static_cast<int>(IniReadInt(file, L"S", L"None", 5)));
    // No file name never means the system's WIN.INI.
    EXPECT_FALSE(IniWriteString(L"", L"S", L"Text", L"x"));
    EXPECT_FALSE(IniReadString(L"", L"S", L"Text", out));
    EXPECT_EQ(7, static_cast<int>(IniReadInt(nullptr, L"S", L"Text", 7)));
}

// --- Phrases folder -------------------------------------------------------------------

TEST_F(SettingsTest, PhrasesFolderIsResolvedFromItsStoredForm)
{
    ASSERT_TRUE(::SetEnvironmentVariableW(L"SCVTEST_PHRASES_ROOT", L"D:\\Shared"));
    CSettings settings(env);
    const struct
    {
        LPCWSTR stored;
        CString resolved;
    } cases[] = {
        {L"", env.programFolder + L"UserPhrases\\"},
        {L"Sub\\Phr", env.programFolder + L"Sub\\Phr\\"},
        {L"Sub\\Phr\\", env.programFolder + L"Sub\\Phr\\"},
        {L"E:\\Phrases", L"E:\\Phrases\\"},
        {L"\\\\server\\share\\Phrases", L"\\\\server\\share\\Phrases\\"},
        {L".", env.programFolder},
        {L"%SCVTEST_PHRASES_ROOT%\\Phrases", L"D:\\Shared\\Phrases\\"},
    };
    for (const auto& row : cases) {
        settings.PhrasesDirectory = row.stored;
        EXPECT_EQ(row.resolved, settings.GetPhrasesFolder()) << row.stored;
        EXPECT_EQ(CString(row.stored).IsEmpty(), settings.IsPhrasesDirectoryEmpty());
    }
}

TEST_F(SettingsTest, ChosenPhrasesFolderIsStoredRelativeOrEmpty)
{
    CSettings settings(env);
    const CString program = env.programFolder;
    const struct
    {
        CString chosen;
        LPCWSTR stored;
    } cases[] = {
        {program + L"UserPhrases\\", L""},
        {program + L"userphrases", L""},
        {program + L"Sub\\Phr\\", L"Sub\\Phr"},
        {program, L"."},
        {program.Left(program.GetLength() - 1), L"."},
        {L"E:\\Other\\", L"E:\\Other"},
        {L"\\\\server\\share\\", L"\\\\server\\share"},
    };
    for (const auto& row : cases)
        EXPECT_EQ(CString(row.stored), settings.MakeStoredPhrasesDirectory(row.chosen))
            << row.chosen.GetString();
}

TEST_F(SettingsTest, PhrasesFolderSurvivesSaveAndLoad)
{
    ASSERT_TRUE(::SetEnvironmentVariableW(L"SCVTEST_PHRASES_ROOT", L"D:\\Shared"));
    const struct
    {
        CString member;
        LPCWSTR written;
        CString resolved;
    } cases[] = {
        {L"", L"", env.programFolder + L"UserPhrases\\"},
        {env.programFolder + L"UserPhrases", L"", env.programFolder + L"UserPhrases\\"},
        {env.programFolder + L"In\\Here\\", L"In\\Here", env.programFolder + L"In\\Here\\"},
        {L".", L".", env.programFolder},
        {L"\\\\server\\share\\P", L"\\\\server\\share\\P", L"\\\\server\\share\\P\\"},
        {L"%SCVTEST_PHRASES_ROOT%\\P\\", L"%SCVTEST_PHRASES_ROOT%\\P", L"D:\\Shared\\P\\"},
    };
    for (const auto& row : cases) {
        CSettings saved(env);
        saved.PhrasesDirectory = row.member;
        saved.Save();
        EXPECT_EQ(std::wstring(row.written), ReadValue(env.LocalFile(), L"PhrasesDirectory"))
            << row.member.GetString();
        CSettings loaded(env);
        loaded.Load();
        EXPECT_EQ(row.resolved, loaded.GetPhrasesFolder()) << row.member.GetString();
    }
    // The default folder stored in full loads as the empty (default) value.
    WriteValue(env.LocalFile(), L"PhrasesDirectory", env.programFolder + L"UserPhrases");
    CSettings loaded(env);
    loaded.Load();
    EXPECT_TRUE(loaded.IsPhrasesDirectoryEmpty());
}

// --- Language ------------------------------------------------------------------------

void WriteLanguageFile(const FakeEnvironment& env, LPCWSTR name, LPCWSTR prefix)
{
    const CString path = env.programFolder + name;
    ASSERT_TRUE(scvtest::WriteFileUtf16(path.GetString(), L""));
    WriteValue(path, L"LangPrefix", prefix, L"Main");
}

TEST_F(SettingsTest, LanguageIsDetectedFromTheInputLanguageUntilOneIsChosen)
{
    WriteLanguageFile(env, L"de.lng", L"De");
    WriteLanguageFile(env, L"Zz_en.lng", L"en  ");
    WriteLanguageFile(env, L"b_english.lng", L"En");
    env.inputLanguage = L"en";
    {
        CSettings settings(env);
        EXPECT_EQ(CString(L"b_english.lng"), settings.Language) << "the first file in name order";
        settings.Load();
        EXPECT_EQ(CString(L"b_english.lng"), settings.Language) << "no Language key keeps the detected one";
        EXPECT_EQ(env.programFolder + L"b_english.lng", settings.GetLanguageFilePath());
    }
    env.inputLanguage = L"fr";
    EXPECT_TRUE(CSettings(env).Language.IsEmpty());
    env.inputLanguage = L"";
    EXPECT_TRUE(CSettings(env).Language.IsEmpty());

    // A stored empty value is the choice of the embedded English.
    env.inputLanguage = L"de";
    WriteValue(env.LocalFile(), L"Language", L"");
    CSettings settings(env);
    EXPECT_EQ(CString(L"de.lng"), settings.Language);
    settings.Load();
    EXPECT_TRUE(settings.Language.IsEmpty());
    EXPECT_TRUE(settings.GetLanguageFilePath().IsEmpty());
}

TEST_F(SettingsTest, LanguageChoiceOfAnotherProgramIsPickedUp)
{
    CSettings settings(env);
    settings.SetLanguageFileName(L"C:\\Somewhere\\fr.lng");
    EXPECT_EQ(CString(L"fr.lng"), settings.GetLanguageFileName());
    settings.Save();
    EXPECT_EQ(L"fr.lng", ReadValue(env.LocalFile(), L"Language"));
    EXPECT_EQ(env.programFolder + L"fr.lng", settings.GetLanguageFilePath());

    EXPECT_TRUE(WriteLanguageSetting(L"X:\\Other\\it.lng", env.LocalFile()));
    EXPECT_EQ(CString(L"it.lng"), ReadLanguageSetting(env.LocalFile()));
    EXPECT_EQ(env.programFolder + L"it.lng", settings.GetLanguageFilePath());
    EXPECT_EQ(CString(L"it.lng"), settings.Language);

    // The written file's choice comes before the local one on a load.
    env.MakeReadOnly(env.LocalFile());
    scvtest::CreateFolders(env.UserFolder().GetString());
    WriteValue(env.UserFile(), L"Language", L"");
    settings.Load();
    EXPECT_TRUE(settings.Language.IsEmpty());
}

// --- Values outside the object ---------------------------------------------------------

TEST_F(SettingsTest, LastUpdateCheckDefaultsTo2013AndRoundTrips)
{
    CSettings settings(env);
    SYSTEMTIME time = {};
    EXPECT_TRUE(settings.GetLastCheckForUpdates(time));
    SYSTEMTIME shown = {};
    EXPECT_FALSE(settings.GetLastCheckForUpdatesLocal(shown)) << "no check yet: the window says never";
    EXPECT_EQ(2013, time.wYear);
    EXPECT_EQ(1, time.wMonth);
    EXPECT_EQ(1, time.wDay);
    EXPECT_EQ(2, time.wDayOfWeek);
    EXPECT_EQ(0, time.wHour);
    EXPECT_NE(L"<missing>", ReadValue(env.LocalFile(), L"LastCheckForUpdates_V2Low"))
        << "the default is stored";
    EXPECT_NE(L"<missing>", ReadValue(env.LocalFile(), L"LastCheckForUpdates_V2Hi"));

    // A time whose low half has its top bit set is stored as a negative number.
    SYSTEMTIME stored = {2031, 7, 0, 19, 23, 41, 7, 250};
    FILETIME file = {};
    ASSERT_TRUE(::SystemTimeToFileTime(&stored, &file));
    ULARGE_INTEGER ticks = {};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    while (!(ticks.LowPart & 0x80000000u))
        ticks.QuadPart += 10000000; // one second
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    ASSERT_TRUE(::FileTimeToSystemTime(&file, &stored));
    EXPECT_TRUE(settings.SetLastCheckForUpdates(stored));
    EXPECT_EQ('-', ReadValue(env.LocalFile(), L"LastCheckForUpdates_V2Low")[0]);
    SYSTEMTIME read = {};
    EXPECT_TRUE(CSettings(env).GetLastCheckForUpdates(read));
    EXPECT_EQ(0, memcmp(&stored, &read, sizeof(SYSTEMTIME)));

    SYSTEMTIME local = {};
    EXPECT_TRUE(settings.GetLastCheckForUpdatesLocal(local));
    FILETIME utcFile = {};
    FILETIME localFile = {};
    SYSTEMTIME expected = {};
    ::SystemTimeToFileTime(&stored, &utcFile);
    ::FileTimeToLocalFileTime(&utcFile, &localFile);
    ::FileTimeToSystemTime(&localFile, &expected);
    EXPECT_EQ(0, memcmp(&expected, &local, sizeof(SYSTEMTIME)));

    // Half a pair is as good as none.
    WriteValue(env.LocalFile(), L"LastCheckForUpdates_V2Hi", nullptr);
    EXPECT_TRUE(settings.GetLastCheckForUpdates(read));
    EXPECT_EQ(2013, read.wYear);
}

TEST_F(SettingsTest, InsertDelayWelcomeFlagAndWindowPositions)
{
    CSettingsFiles files(env);
    EXPECT_EQ(400, files.GetDelayInsertMilliseconds());
    EXPECT_EQ(L"400", ReadValue(env.LocalFile(), L"DelayInsertMilliseconds_v141"));
    WriteNumber(env.LocalFile(), L"DelayInsertMilliseconds_v141", 250);
    EXPECT_EQ(250, files.GetDelayInsertMilliseconds());

    EXPECT_FALSE(files.IsWelcomeAlreadyStarted());
    WriteNumber(env.LocalFile(), L"Welcome_Already_Started_V2_60", 1);
    EXPECT_TRUE(files.IsWelcomeAlreadyStarted());

    CSettings settings(env);
    POINT point = {-120, 35};
    EXPECT_TRUE(settings.SetPoint(L"FloatPane", point));
    EXPECT_EQ(L"-120", ReadValue(env.LocalFile(), L"FloatPane_x", L"Settings_Agent"));
    EXPECT_EQ(L"35", ReadValue(env.LocalFile(), L"FloatPane_y", L"Settings_Agent"));
    POINT read = {0, 0};
    EXPECT_TRUE(settings.GetPoint(L"FloatPane", read));
    EXPECT_EQ(-120, read.x);
    EXPECT_EQ(35, read.y);
    POINT untouched = {7, 8};
    EXPECT_TRUE(settings.GetPoint(L"Nowhere", untouched));
    EXPECT_EQ(7, untouched.x);
    EXPECT_EQ(8, untouched.y);

    EXPECT_TRUE(settings.WriteString(L"text value", L"SomeKey"));
    EXPECT_EQ(L"text value", ReadValue(env.LocalFile(), L"SomeKey"));
    EXPECT_EQ(CString(L"text value"), files.ReadString(nullptr, L"SomeKey", L"default"));
    EXPECT_EQ(CString(L"default"), files.ReadString(nullptr, L"OtherKey", L"default"));
}

TEST(SettingsEnvironmentTest, SystemEnvironmentDescribesThisProgram)
{
    const CSettingsEnvironment& system = CSettingsEnvironment::System();
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.erase(folder.rfind(L'\\') + 1);
    EXPECT_EQ(CString(folder.c_str()), system.GetProgramFolder());
    EXPECT_FALSE(system.GetProfileFolder().IsEmpty());
    EXPECT_LE(system.GetDefaultInputLanguageName().GetLength(), 2);
    EXPECT_FALSE(system.IsProgramOnRemovableDrive()) << "the build folder is on a fixed disk";
}

// --- The process's instance ------------------------------------------------------------

class CountingSettings : public CSettings
{
public:
    explicit CountingSettings(const CSettingsEnvironment& environment) : CSettings(environment) {}
    int moreLoads = 0;
    int moreSaves = 0;

protected:
    void LoadMoreKeys() override { ++moreLoads; }
    void SaveMoreKeys() override { ++moreSaves; }
};

FakeEnvironment* g_factoryEnvironment = nullptr;

TEST(SettingsInstance, FactoryBuildsTheInstanceAndItIsLoadedOnce)
{
    scvtest::TempFolder folder;
    FakeEnvironment environment(folder);
    WriteNumber(environment.LocalFile(), L"ClipboardHistoryMax", 64);
    g_factoryEnvironment = &environment;
    SetSettingsFactory([]() -> CSettings* { return new CountingSettings(*g_factoryEnvironment); });

    CSettings& first = GetSettings();
    EXPECT_EQ(&first, &GetSettings());
    auto* counting = dynamic_cast<CountingSettings*>(&first);
    ASSERT_NE(nullptr, counting);
    EXPECT_EQ(1, counting->moreLoads);
    EXPECT_EQ(64, first.ClipboardHistoryMax);
    first.Save();
    EXPECT_EQ(1, counting->moreSaves);
    // The instance lives to the end of the process, the folder does not: the
    // instance must not be used after this test.
}

} // namespace
