#include "engine/PhraseStore.h"

#include "engine/PhraseFile.h"
#include "engine/PhraseFileNames.h"
#include "engine/PhraseTreeLoader.h"

#include "common/FileBytes.h"
#include "common/KernelHandle.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <winioctl.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace
{

std::string PhraseFileText(const char* title, int sortId, const char* extraAttributes = "")
{
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<SCVCommand SortID=\"") +
           std::to_string(sortId) + "\" " + extraAttributes + ">\r\n    <MenuName>" + title +
           "</MenuName>\r\n    <Cmd>body of " + title + "</Cmd>\r\n</SCVCommand>\r\n";
}

std::wstring WritePhrase(const scvtest::TempFolder& temp, const wchar_t* relative, const char* title,
                         int sortId = 0, const char* extraAttributes = "")
{
    return temp.WriteBytes(relative, PhraseFileText(title, sortId, extraAttributes));
}

std::vector<std::wstring> Titles(const std::vector<PhraseItemRecord>& items)
{
    std::vector<std::wstring> titles;
    for (const PhraseItemRecord& record : items) {
        titles.emplace_back(record.title);
    }
    return titles;
}

const PhraseItemRecord* FindByTitle(const std::vector<PhraseItemRecord>& items, const wchar_t* title)
{
    for (const PhraseItemRecord& record : items) {
        if (wcscmp(record.title, title) == 0) {
            return &record;
        }
    }
    return nullptr;
}

PhraseItemRecord ReadBack(const CString& path)
{
    PhraseItemRecord record;
    EXPECT_TRUE(ReadPhraseFile(record, path)) << scvtest::WideToUtf8(path.GetString());
    return record;
}

} // namespace

TEST(PhraseStore, LoadsInOrderWithFoldersFirstAndStableSortIds)
{
    scvtest::TempFolder temp;
    WritePhrase(temp, L"Work\\b.scrivolanter", "b", 5);
    WritePhrase(temp, L"Work\\a.scrivolanter", "a", 5);
    temp.CreateSubfolder(L"Work\\Z");
    WritePhrase(temp, L"Work\\c.scrivolanter", "c", -1);
    WritePhrase(temp, L"Work\\d.scrivolanter", "d", 2000000000);

    CPhraseStore store;
    store.Load(temp.Path().c_str());
    ASSERT_EQ(store.GetItems().size(), 1u);
    const PhraseItemRecord& work = store.GetItems()[0];
    ASSERT_TRUE(work.IsFolder());
    EXPECT_EQ(work.GetPath(), temp.PathOf(L"Work").c_str());

    // The system's listing order decides between equal SortIDs: find it the way the store does.
    std::vector<std::wstring> listed;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(temp.PathOf(L"Work\\*.*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (wcscmp(found.cFileName, L"a.scrivolanter") == 0 ||
            wcscmp(found.cFileName, L"b.scrivolanter") == 0) {
            listed.emplace_back(found.cFileName, 1);
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    ASSERT_EQ(listed.size(), 2u);

    EXPECT_EQ(Titles(*work.children), (std::vector<std::wstring>{L"Z", listed[0], listed[1], L"d", L"c"}));
    EXPECT_STREQ(store.GetFolder(), temp.Path().c_str());
}

TEST(PhraseStore, IdsFollowTheLoadOrderAndSkipUnreadableFiles)
{
    scvtest::TempFolder temp;
    temp.CreateSubfolder(L"F");
    WritePhrase(temp, L"F\\one.scrivolanter", "one");
    temp.WriteBytes(L"F\\broken.scrivolanter", "<SCVCommand><Cmd>no title</Cmd></SCVCommand>");
    temp.WriteBytes(L"F\\empty.scrivolanter", "");
    {
        // Above the size limit: skipped without being read (the file is sparse, so cheap to make).
        const std::wstring huge = WritePhrase(temp, L"F\\huge.scrivolanter", "huge");
        HANDLE file = CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size{};
        size.QuadPart = static_cast<LONGLONG>(kMaxPhraseFileSize) + 1;
        SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }
    WritePhrase(temp, L"F\\two.scrivolanter", "two");
    WritePhrase(temp, L"F\\three.scrivolanter", "three");

    CPhraseStore store;
    store.Load(temp.Path().c_str());
    ASSERT_EQ(store.GetItems().size(), 1u);
    const PhraseItemRecord& folder = store.GetItems()[0];
    EXPECT_EQ(folder.id, 1);
    ASSERT_EQ(folder.children->size(), 3u);
    std::vector<int> ids;
    for (const PhraseItemRecord& child : *folder.children) {
        ids.push_back(child.id);
        EXPECT_EQ(store.FindItemById(child.id), &child);
        EXPECT_EQ(store.FindParentFolder(child.id), &folder);
        EXPECT_TRUE(CPhraseStore::FolderContainsId(folder, child.id));
        EXPECT_EQ(child.body, CString(L"body of ") + child.title);
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<int>{2, 3, 4}));

    EXPECT_EQ(store.FindItemById(1), &folder);
    EXPECT_EQ(store.FindParentFolder(1), nullptr);
    EXPECT_EQ(store.FindItemById(5), nullptr);
    EXPECT_EQ(store.FindParentFolder(5), nullptr);
    EXPECT_FALSE(CPhraseStore::FolderContainsId(folder, 1));

    // Loading again gives the same ids; a folder that does not exist empties the tree and keeps
    // the stored folder.
    store.Load();
    EXPECT_EQ(store.FindItemById(1), &store.GetItems()[0]);
    store.Load(temp.PathOf(L"missing").c_str());
    EXPECT_TRUE(store.GetItems().empty());
    EXPECT_STREQ(store.GetFolder(), temp.Path().c_str());
}

TEST(PhraseStore, PhraseIdsStepOverTheMenuHistoryAndCommandIds)
{
    scvtest::TempFolder temp;
    WritePhrase(temp, L"a.scrivolanter", "a");
    WritePhrase(temp, L"b.scrivolanter", "b");
    WritePhrase(temp, L"c.scrivolanter", "c");
    const struct
    {
        int lastId;
        int expected[3];
    } cases[] = {
        {1997, {1998, 1999, 3000}},
        {32765, {32766, 32767, 35000}},
        {10, {11, 12, 13}},
    };
    for (const auto& c : cases) {
        std::vector<PhraseItemRecord> items;
        EXPECT_EQ(LoadPhraseTree(temp.Path().c_str(), items, c.lastId), c.expected[2]);
        ASSERT_EQ(items.size(), 3u);
        std::vector<int> ids;
        for (const PhraseItemRecord& item : items)
            ids.push_back(item.id);
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(ids, std::vector<int>(std::begin(c.expected), std::end(c.expected))) << c.lastId;
    }
}

TEST(PhraseStore, FolderSelfFilesAndExtensions)
{
    scvtest::TempFolder temp;
    temp.WriteBytes(L"Group\\FOLDER_SELF.scrivolanter",
                    PhraseFileText("Other name", 7, "Excluded=\"1\" UsageCount=\"12\" FlagsMenu=\"1\""));
    WritePhrase(temp, L"Group\\note.SCRIVOLANTER", "upper-case extension");
    WritePhrase(temp, L"Group\\note.txt", "not a phrase");
    WritePhrase(temp, L"Group\\note.scrivolanter.bak", "not a phrase either");
    WritePhrase(temp, L"Group\\Inner\\folder_self.SCRIVOLANTER", "lower-case folder file", 3);
    temp.WriteBytes(L"Plain\\FOLDER_SELF.scrivolanter", "not XML at all");
    WritePhrase(temp, L"Plain\\p.scrivolanter", "p");

    CPhraseStore store;
    store.Load((temp.Path() + L"\\").c_str());
    ASSERT_EQ(store.GetItems().size(), 2u);
    const PhraseItemRecord* group = FindByTitle(store.GetItems(), L"Group");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->sortId, 7);
    EXPECT_EQ(group->usageCount, 12u);
    EXPECT_EQ(group->flagsMenu, 1);
    EXPECT_EQ(group->included, 0);
    EXPECT_TRUE(group->HasIncludedContent()); // a folder counts what lies below it
    EXPECT_EQ(Titles(*group->children), (std::vector<std::wstring>{L"Inner", L"upper-case extension"}));
    const PhraseItemRecord& inner = group->children->at(0);
    EXPECT_TRUE(inner.IsFolder());
    EXPECT_TRUE(inner.children->empty());
    EXPECT_EQ(inner.sortId, 3);
    EXPECT_STREQ(inner.title, L"Inner");

    const PhraseItemRecord* plain = FindByTitle(store.GetItems(), L"Plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->sortId, 0);
    EXPECT_EQ(plain->children->size(), 1u);

    int included = -1;
    int all = -1;
    store.GetPhraseCounts(&included, &all);
    EXPECT_EQ(all, 5);
    EXPECT_EQ(included, 4); // the empty folder "Inner" has nothing included
    EXPECT_EQ(store.GetIncludedCount(nullptr), 4);
}

TEST(PhraseStore, FileNamesMadeFromTitles)
{
    struct Case
    {
        const wchar_t* title;
        int number;
        bool extension;
        bool blanks;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"  Re: hello world?  ", 1, true, true, L"Re_hello_world.scrivolanter"},
        {L"  Re: hello world?  ", 3, true, true, L"Re_hello_world3.scrivolanter"},
        {L"Line one\nline two", 1, true, true, L"Line_one.scrivolanter"},
        {L"Line one\r\nline two", 1, true, true, L"Line_one.scrivolanter"},
        {L"a.b (c) = {d} 'e' | f*", 1, false, true, L"a_b_c_d_e_f"},
        {L"keep  blanks", 2, false, false, L"keep  blanks2"},
        {L"Thanks!", 1, true, true, L"Thanks.scrivolanter"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakePhraseFileName(c.title, c.number, c.extension, c.blanks), c.expected)
            << scvtest::WideToUtf8(c.title);
    }
}

TEST(PhraseStore, NewPhrasesGetUniqueFilesInTheirFolder)
{
    scvtest::TempFolder temp;
    WritePhrase(temp, L"Letters\\Thanks.scrivolanter", "Thanks");
    CPhraseStore store;
    store.Load(temp.Path().c_str());
    ASSERT_EQ(store.GetItems().size(), 1u);

    // Two new phrases of the same title saved back to back, before the first one is on disk.
    std::vector<PhraseItemRecord>& letters = *store.GetItems()[0].children;
    letters.reserve(8);
    for (int i = 0; i < 3; ++i) {
        PhraseItemRecord phrase;
        phrase.SetTitle(L"Thanks!");
        phrase.body.Format(L"thanks %d", i);
        letters.push_back(std::move(phrase));
        EXPECT_TRUE(store.SaveItem(letters.back()));
    }
    store.FlushSaves();
    EXPECT_EQ(letters[1].GetPath(), temp.PathOf(L"Letters\\Thanks2.scrivolanter").c_str());
    EXPECT_EQ(letters[2].GetPath(), temp.PathOf(L"Letters\\Thanks3.scrivolanter").c_str());
    EXPECT_EQ(letters[3].GetPath(), temp.PathOf(L"Letters\\Thanks4.scrivolanter").c_str());
    EXPECT_EQ(ReadBack(letters[3].GetPath()).body, L"thanks 2");

    // At the top level the phrases folder holds it; a new folder gets a directory of its own.
    PhraseItemRecord top;
    top.SetTitle(L"Top level");
    store.GetItems().push_back(std::move(top));
    EXPECT_TRUE(store.SaveItem(store.GetItems().back()));
    PhraseItemRecord group;
    group.SetTitle(L"New group");
    group.MakeFolder();
    group.included = 0;
    store.GetItems().push_back(std::move(group));
    EXPECT_TRUE(store.SaveItem(store.GetItems().back()));
    store.FlushSaves();
    EXPECT_TRUE(temp.Exists(L"Top_level.scrivolanter"));
    EXPECT_TRUE(temp.Exists(L"New_group\\FOLDER_SELF.scrivolanter"));

    store.Load();
    EXPECT_NE(FindByTitle(store.GetItems(), L"New_group"), nullptr);
    EXPECT_NE(FindByTitle(store.GetItems(), L"Top level"), nullptr);
    EXPECT_EQ(FindByTitle(store.GetItems(), L"Letters")->children->size(), 4u);

    // Without a phrases folder a new phrase has nowhere to go.
    CPhraseStore empty;
    PhraseItemRecord orphan;
    orphan.SetTitle(L"Orphan");
    EXPECT_FALSE(empty.SaveItem(orphan));
    EXPECT_TRUE(orphan.GetPath().IsEmpty());
}

TEST(PhraseStore, ManySavesOfOnePhraseEndWithItsLastState)
{
    scvtest::TempFolder temp;
    const std::wstring path = WritePhrase(temp, L"used.scrivolanter", "used");
    CString lastBody;
    {
        CPhraseStore store(temp.Path().c_str());
        store.Load();
        ASSERT_EQ(store.GetItems().size(), 1u);
        const int id = store.GetItems()[0].id;
        for (int i = 1; i <= 300; ++i) {
            PhraseItemRecord* record = store.FindItemById(id);
            record->IncrementUsageCount();
            record->StampUsageDate();
            record->body.Format(L"state %d", i);
            store.SaveItemById(id);
            if (i == 150) {
                // A reload in between sees every save made before it.
                store.Load();
                ASSERT_EQ(store.FindItemById(id)->usageCount, 150u);
            }
        }
        lastBody = store.FindItemById(id)->body;
        // The store goes away with saves still queued: they are written first.
    }
    const PhraseItemRecord loaded = ReadBack(path.c_str());
    EXPECT_EQ(loaded.usageCount, 300u);
    EXPECT_EQ(loaded.body, lastBody);
    EXPECT_TRUE(loaded.HasUsageDate());
}

// Another program writes the phrase file after the usage save read it and before that save could
// replace it (the file is held open meanwhile, as a scanner or a second writer holds it): the newer
// content is never replaced by the older text; the count goes onto it when it is still a phrase.
TEST(PhraseStore, AUsageSaveNeverWritesBackOlderTextThanTheFileHolds)
{
    struct Case
    {
        const char* name;
        std::string newer;
        bool stillAPhrase;
    };
    const Case cases[] = {
        {"an edited phrase", PhraseFileText("renamed", 0, "UsageCount=\"7\""), true},
        {"a file that is no phrase any more", "not a phrase document", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scvtest::TempFolder temp;
        const std::wstring path = WritePhrase(temp, L"used.scrivolanter", "used", 0, "UsageCount=\"2\"");
        CPhraseStore store(temp.Path().c_str());
        store.Load();
        ASSERT_EQ(store.GetItems().size(), 1u);
        {
            // Readers may open it, nobody may replace it: the usage save waits with what it read.
            CKernelHandle hold(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(hold);
            ASSERT_TRUE(store.RecordUsageById(store.GetItems()[0].id));
            EXPECT_EQ(store.GetItems()[0].usageCount, 3u);
            CKernelHandle writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, TRUNCATE_EXISTING, 0, nullptr));
            ASSERT_TRUE(writer);
            ASSERT_TRUE(WriteAllBytes(writer.Get(), c.newer));
        }
        store.FlushSaves();
        if (!c.stillAPhrase) {
            EXPECT_EQ(temp.ReadBytes(L"used.scrivolanter"), c.newer);
            continue;
        }
        const PhraseItemRecord loaded = ReadBack(path.c_str());
        EXPECT_STREQ(L"renamed", loaded.title) << "the newer text stays";
        EXPECT_STREQ(L"body of renamed", loaded.body);
        EXPECT_EQ(loaded.usageCount, 8u) << "the use is counted on top of it";
        EXPECT_TRUE(loaded.HasUsageDate());
    }
}

TEST(PhraseStore, SavesOfDifferentPhrasesAllArrive)
{
    scvtest::TempFolder temp;
    for (int i = 0; i < 20; ++i) {
        WritePhrase(temp, (L"Many\\p" + std::to_wstring(i) + L".scrivolanter").c_str(), "p");
    }
    CPhraseStore store(temp.Path().c_str());
    store.Load();
    std::vector<PhraseItemRecord>& phrases = *store.GetItems()[0].children;
    for (int round = 0; round < 5; ++round) {
        for (PhraseItemRecord& phrase : phrases) {
            phrase.usageCount = round * 100 + phrase.id;
            EXPECT_TRUE(store.SaveItem(phrase));
        }
    }
    store.Load();
    for (const PhraseItemRecord& phrase : *store.GetItems()[0].children) {
        EXPECT_EQ(phrase.usageCount, 400u + phrase.id);
    }
}

TEST(PhraseStore, StatisticsAndWalk)
{
    scvtest::TempFolder temp;
    WritePhrase(temp, L"A\\used.scrivolanter", "used", 0, "UsageCount=\"3\"");
    WritePhrase(temp, L"A\\most.scrivolanter", "most", 1, "UsageCount=\"5\"");
    WritePhrase(temp, L"A\\tie.scrivolanter", "tie", 2, "UsageCount=\"5\"");
    temp.WriteBytes(L"B\\rtf.scrivolanter",
                    "<SCVCommand UsageCount=\"1\"><MenuName>rtf</MenuName><DataType>RTF</DataType>"
                    "<Cmd>{\\rtf1 x}</Cmd></SCVCommand>");
    temp.WriteBytes(L"B\\run.scrivolanter", "<SCVCommand Excluded=\"1\" SortID=\"1\"><MenuName>run</MenuName>"
                                            "<DataType>EXEC</DataType></SCVCommand>");

    CPhraseStore store(temp.Path().c_str());
    store.Load();
    PhraseStatistics stats;
    ASSERT_TRUE(store.CollectStatistics(stats, [](const PhraseItemRecord& record) {
        return record.dataType == MenuItemRecord::kTypeRtf ? CString(L"x") : record.body;
    }));
    EXPECT_EQ(stats.allItems, 7);
    EXPECT_EQ(stats.folders, 2);
    EXPECT_EQ(stats.includedItems, 6);
    EXPECT_EQ(stats.plainTextPhrases, 3);
    EXPECT_EQ(stats.richTextPhrases, 1);
    EXPECT_EQ(stats.commandPhrases, 1);
    EXPECT_EQ(stats.totalUsage, 14);
    EXPECT_EQ(stats.highestUsageCount, 5);
    EXPECT_EQ(stats.mostUsedTitle, L"most");
    // 3 x "body of used" (12) + 5 x 12 ("body of most") + 5 x 11 ("body of tie") + 1 x "x"
    EXPECT_EQ(stats.charactersInserted, 36 + 60 + 55 + 1);

    CPhraseStore unused;
    ASSERT_TRUE(unused.CollectStatistics(stats));
    EXPECT_EQ(stats.highestUsageCount, 0);
    EXPECT_TRUE(stats.mostUsedTitle.empty());

    // A false answer ends the current list only.
    struct Visit
    {
        std::vector<std::wstring> titles;
    } visit;
    const int visited = store.Walk(
        [](PhraseItemRecord& record, void* context, PhraseItemRecord*) {
            static_cast<Visit*>(context)->titles.emplace_back(record.title);
            return wcscmp(record.title, L"most") != 0;
        },
        &visit);
    EXPECT_EQ(visit.titles, (std::vector<std::wstring>{L"A", L"used", L"most", L"B", L"rtf", L"run"}));
    EXPECT_EQ(visited, 6);
}

TEST(PhraseStore, LinkedFoldersAreNotFollowed)
{
    scvtest::TempFolder temp;
    WritePhrase(temp, L"Root\\p.scrivolanter", "p");
    const std::wstring link = temp.CreateSubfolder(L"Root\\Loop");

    // A junction pointing back at its own parent.
    HANDLE handle = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const std::wstring target = L"\\??\\" + temp.PathOf(L"Root");
    std::vector<BYTE> buffer(16 + (target.size() + 2) * sizeof(wchar_t) + 16);
    auto* header = reinterpret_cast<DWORD*>(buffer.data());
    auto* words = reinterpret_cast<WORD*>(buffer.data());
    const WORD targetBytes = static_cast<WORD>(target.size() * sizeof(wchar_t));
    header[0] = IO_REPARSE_TAG_MOUNT_POINT;
    words[2] = static_cast<WORD>(8 + targetBytes + 2 * sizeof(wchar_t)); // data length
    words[4] = 0;                                                        // substitute name offset
    words[5] = targetBytes;                                              // substitute name length
    words[6] = static_cast<WORD>(targetBytes + sizeof(wchar_t));         // print name offset
    words[7] = 0;                                                        // print name length
    memcpy(buffer.data() + 16, target.c_str(), targetBytes);
    DWORD returned = 0;
    const BOOL made = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(), 8 + words[2], nullptr,
                                      0, &returned, nullptr);
    CloseHandle(handle);
    if (!made) {
        GTEST_SKIP() << "junctions cannot be made here (error " << GetLastError() << ")";
    }

    CPhraseStore store;
    store.Load(temp.Path().c_str());
    ASSERT_EQ(store.GetItems().size(), 1u);
    EXPECT_EQ(Titles(*store.GetItems()[0].children), (std::vector<std::wstring>{L"p"}));
    RemoveDirectoryW(link.c_str());
}
