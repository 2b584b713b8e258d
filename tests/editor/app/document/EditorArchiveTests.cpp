// Zip archives of the editor, reopened with the zip library's reader: entry names ("/" between
// parts, folders before their contents), bytes, order, the archive never packed into itself, an old
// archive replaced only by a complete new one, and the names refused when reading foreign files.

#include "editor/app/document/EditorArchive.h"

#include "common/TextConversion.h"

#include "support/TempFolder.h"
#include "support/ZipEntries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using Entry = scvtest::ZipEntry;

std::vector<std::string> Names(const std::vector<Entry>& entries)
{
    std::vector<std::string> names;
    for (const Entry& entry : entries)
        names.push_back(entry.name);
    return names;
}

class EditorArchiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        temp.WriteBytes(L"Phrases\\a.scrivolanter", "first phrase");
        temp.WriteBytes(L"Phrases\\Sub\\b.scrivolanter", std::string("second\0phrase", 13));
        temp.WriteBytes(L"Settings.ini", "[Settings]\r\n");
    }
    CString P(const wchar_t* relative) const { return temp.PathOf(relative).c_str(); }

    scvtest::TempFolder temp;
};

TEST_F(EditorArchiveTest, FolderTreeIsPackedFolderFirstWithNamesRelativeToTheParent)
{
    ASSERT_TRUE(EditorArchive::ZipFolder(P(L"Phrases\\"), {P(L"Settings.ini")}, P(L"backup.zip")));

    const std::vector<Entry> entries = scvtest::ReadZipEntries(temp.PathOf(L"backup.zip"));
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"Phrases/", "Phrases/a.scrivolanter", "Phrases/Sub/",
                                                        "Phrases/Sub/b.scrivolanter", "Settings.ini"}));
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[1].bytes, "first phrase");
    EXPECT_EQ(entries[3].bytes, std::string("second\0phrase", 13));
    EXPECT_EQ(entries[4].bytes, "[Settings]\r\n");
}

TEST_F(EditorArchiveTest, ArchiveInsideThePackedFolderIsNotPackedAndAnOldOneIsReplaced)
{
    temp.WriteBytes(L"Phrases\\backup.zip", "an old archive");

    ASSERT_TRUE(EditorArchive::ZipFolder(P(L"Phrases"), {}, P(L"Phrases\\BACKUP.zip")));

    const std::vector<Entry> entries = scvtest::ReadZipEntries(temp.PathOf(L"Phrases\\backup.zip"));
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"Phrases/", "Phrases/a.scrivolanter", "Phrases/Sub/",
                                                        "Phrases/Sub/b.scrivolanter"}));
}

TEST_F(EditorArchiveTest, FileListKeepsFileNamesAloneInListOrder)
{
    ASSERT_TRUE(
        EditorArchive::ZipFileList({P(L"Settings.ini"), P(L"Phrases\\Sub\\b.scrivolanter")}, P(L"list.zip")));

    const std::vector<Entry> entries = scvtest::ReadZipEntries(temp.PathOf(L"list.zip"));
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"Settings.ini", "b.scrivolanter"}));
    EXPECT_FALSE(EditorArchive::ZipFileList({}, P(L"empty.zip")));
    EXPECT_FALSE(temp.Exists(L"empty.zip"));
}

TEST_F(EditorArchiveTest, FailedAddLeavesTheOldArchiveAndNoPartialFile)
{
    temp.WriteBytes(L"old.zip", "the old archive");

    EXPECT_FALSE(EditorArchive::ZipFileList({P(L"Settings.ini"), P(L"missing.txt")}, P(L"old.zip")));
    EXPECT_FALSE(EditorArchive::ZipFolder(P(L"NoSuchFolder"), {}, P(L"old.zip")));
    EXPECT_FALSE(EditorArchive::ZipFolder(P(L"Phrases"), {P(L"missing.ini")}, P(L"old.zip")));

    EXPECT_EQ(temp.ReadBytes(L"old.zip").value_or(""), "the old archive");
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW(temp.PathOf(L"*.tmp").c_str(), &data);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "left behind: " << WideToUtf8(data.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

TEST(EditorArchiveNames, NamesLeavingTheTargetFolderAreRefused)
{
    struct Case
    {
        const wchar_t* name;
        bool safe;
    };
    const Case cases[] = {
        {L"a.txt", true},      {L"Sub/b.txt", true},    {L"Sub\\b.txt", true},
        {L"..\\a.txt", false}, {L"Sub/../../a", false}, {L"\\Windows\\a", false},
        {L"/etc/a", false},    {L"C:\\a.txt", false},   {L"C:a.txt", false},
        {L"CON", false},       {L"nul.txt", false},     {L"Sub\\COM1.log", false},
        {L"", false},          {L"a\\\\b", false},      {L"console.txt", true},
        {L"a..b.txt", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorArchive::IsSafeRelativeName(c.name), c.safe) << WideToUtf8(c.name);
}

} // namespace
