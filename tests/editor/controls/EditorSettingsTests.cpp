// The editor's settings: its own keys, the recent phrase folders and the
// stored form of the phrases folder, read and written through real files in a
// temporary program folder.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "editor/controls/EditorSettings.h"
#include "support/TempFolder.h"
#include "support/TempSettingsEnvironment.h"

namespace
{

using FolderEnvironment = scvtest::TempSettingsEnvironment;

class EditorSettingsTest : public ::testing::Test
{
protected:
    void Write(LPCWSTR section, LPCWSTR key, LPCWSTR value)
    {
        ASSERT_TRUE(::WritePrivateProfileStringW(section, key, value, environment.LocalFile()));
    }
    std::wstring Read(LPCWSTR section, LPCWSTR key)
    {
        wchar_t buffer[512] = {};
        ::GetPrivateProfileStringW(section, key, L"<missing>", buffer, 512, environment.LocalFile());
        return buffer;
    }
    std::vector<std::wstring> Recent(const CEditorSettings& settings)
    {
        std::vector<std::wstring> list;
        for (int i = 0; i < settings.GetPrevFoldersCount(); ++i)
            list.push_back(settings.GetRecentFolder(i).GetString());
        return list;
    }

    scvtest::TempFolder temp;
    FolderEnvironment environment{temp};
};

TEST_F(EditorSettingsTest, FirstStartWithoutFileGivesTheDefaults)
{
    CEditorSettings settings(environment);
    settings.LoadEditor();
    EXPECT_EQ(settings.ShowUncheckedPhrases, 1);
    EXPECT_EQ(settings.Preview, 0);
    EXPECT_EQ(settings.ShowMetaInfoInTree, 1);
    EXPECT_TRUE(settings.LastFile.IsEmpty());
    EXPECT_EQ(settings.GetLastSettingsTab(), 0);
    EXPECT_EQ(settings.GetPrevFoldersCount(), 0);
    EXPECT_TRUE(settings.GetRecentFolder(0).IsEmpty());
    EXPECT_TRUE(settings.GetRecentFolder(-1).IsEmpty());
}

TEST_F(EditorSettingsTest, LastSettingsTabOutsideItsRangeReadsAsZero)
{
    CEditorSettings settings(environment);
    const struct
    {
        int stored;
        int read;
    } cases[] = {{0, 0}, {1, 1}, {2, 0}, {-1, 0}};
    for (const auto& c : cases) {
        ASSERT_TRUE(settings.SetLastSettingsTab(c.stored));
        EXPECT_EQ(settings.GetLastSettingsTab(), c.read) << c.stored;
    }
    EXPECT_EQ(Read(L"Settings_Editor", L"LastSettingsTab"), L"-1");
}

TEST_F(EditorSettingsTest, RecentFoldersSkipMissingEntriesAndDropCaseDuplicates)
{
    Write(L"Settings", L"PrevFoldersCount", L"4");
    Write(L"Settings", L"Prev_Folder0", L"D:\\B\\");
    Write(L"Settings", L"Prev_Folder2", L"d:\\b");
    Write(L"Settings", L"Prev_Folder3", L"E:\\A");
    CEditorSettings settings(environment);
    settings.LoadEditor();
    EXPECT_EQ(Recent(settings), (std::vector<std::wstring>{L"D:\\B", L"E:\\A"}));

    settings.AddRecentFolder(L"c:\\z\\\\");
    settings.AddRecentFolder(L"");
    settings.AddRecentFolder(L"\\\\server\\share\\phrases");
    EXPECT_EQ(Recent(settings),
              (std::vector<std::wstring>{L"c:\\z", L"D:\\B", L"E:\\A", L"\\\\server\\share\\phrases"}));
}

TEST_F(EditorSettingsTest, PhrasesFolderIsStoredRelativeToTheProgramFolder)
{
    const CString program = environment.programFolder;
    const struct
    {
        CString given;
        const wchar_t* stored;
        CString resolved;
    } cases[] = {
        {program + L"UserPhrases\\", L"", program + L"UserPhrases\\"},
        {program + L"Sub\\Phr\\", L"Sub\\Phr", program + L"Sub\\Phr\\"},
        {program, L".", program}, // the program folder itself stays that folder
        {L"\\\\server\\share\\p", L"\\\\server\\share\\p", L"\\\\server\\share\\p\\"},
        {L"D:\\Elsewhere\\", L"D:\\Elsewhere", L"D:\\Elsewhere\\"},
    };
    for (const auto& c : cases) {
        CEditorSettings settings(environment);
        settings.SetPhrasesDirectory(c.given);
        EXPECT_STREQ(settings.PhrasesDirectory, c.stored) << c.given.GetString();
        EXPECT_STREQ(settings.GetPhrasesFolder(), c.resolved) << c.given.GetString();
        ASSERT_EQ(settings.GetPrevFoldersCount(), 1) << c.given.GetString();
        CString given = c.given;
        while (given.GetLength() > 2 && given[given.GetLength() - 1] == L'\\')
            given = given.Left(given.GetLength() - 1);
        EXPECT_STREQ(settings.GetRecentFolder(0), given) << "network and drive paths are absolute";
    }
}

TEST_F(EditorSettingsTest, SaveAndLoadRoundTripTheEditorKeys)
{
    {
        CEditorSettings settings(environment);
        settings.LoadEditor();
        settings.ShowUncheckedPhrases = 0;
        settings.Preview = 2;
        settings.ShowMetaInfoInTree = 0;
        settings.LastFile = L"Folder\\Phrase.txt";
        settings.SetPhrasesDirectory(environment.programFolder + L"Sub\\Phr");
        settings.AddRecentFolder(L"D:\\Other");
        settings.SetDaysCheckForUpdates(0);
        settings.SaveEditor();
    }
    EXPECT_EQ(Read(L"Settings_Editor", L"Preview"), L"2");
    EXPECT_EQ(Read(L"Settings_Editor", L"LastFile"), L"Folder\\Phrase.txt");
    EXPECT_EQ(Read(L"Settings", L"PhrasesDirectory"), L"Sub\\Phr");
    EXPECT_EQ(Read(L"Settings", L"DaysCheckForUpdates"), L"1");
    EXPECT_EQ(Read(L"Settings", L"PrevFoldersCount"), L"2");

    {
        // A default folder that does not exist is not offered.
        CEditorSettings withoutDefault(environment);
        withoutDefault.LoadEditor();
        const std::wstring program = environment.programFolder.GetString();
        EXPECT_EQ(Recent(withoutDefault), (std::vector<std::wstring>{program + L"Sub\\Phr", L"D:\\Other"}));
    }
    ASSERT_TRUE(::CreateDirectoryW((environment.programFolder + L"UserPhrases").GetString(), nullptr));
    CEditorSettings loaded(environment);
    loaded.LoadEditor();
    EXPECT_EQ(loaded.ShowUncheckedPhrases, 0);
    EXPECT_EQ(loaded.Preview, 2);
    EXPECT_EQ(loaded.ShowMetaInfoInTree, 0);
    EXPECT_STREQ(loaded.LastFile, L"Folder\\Phrase.txt");
    // the saved relative folder comes back absolute, and the existing default folder joins the list (the temporary
    // folder is on drive C:, so both sort before D:)
    const std::wstring program = environment.programFolder.GetString();
    EXPECT_EQ(Recent(loaded),
              (std::vector<std::wstring>{program + L"Sub\\Phr", program + L"UserPhrases", L"D:\\Other"}));

    loaded.SetDaysCheckForUpdates(45);
    loaded.ShowUncheckedPhrases = 5;
    loaded.SaveEditor();
    EXPECT_EQ(Read(L"Settings", L"DaysCheckForUpdates"), L"30");
    CEditorSettings again(environment);
    again.LoadEditor();
    EXPECT_EQ(again.ShowUncheckedPhrases, 1); // any non-zero value reads as 1
}

} // namespace
