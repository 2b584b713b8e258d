// The editor's phrase library on a real folder tree: file names made from titles, loading and the
// editor's order, titles kept in step with file names, drag and drop (checked on disk and in
// memory), ordering, saving and its failures, and the files both programs write.

#include "editor/app/document/EditorPhraseStore.h"

#include "engine/PhraseFile.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace
{

using RecordList = CEditorPhraseStore::RecordList;

std::wstring W(const CString& text)
{
    return text.GetString();
}

std::string PhraseFileText(const char* title, int sortId)
{
    return std::string(
               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<SCVCommand SortID=\"") +
           std::to_string(sortId) + "\">\r\n    <MenuName>" + title + "</MenuName>\r\n    <Cmd>body of " +
           title + "</Cmd>\r\n</SCVCommand>\r\n";
}

std::vector<std::wstring> Titles(const RecordList& items)
{
    std::vector<std::wstring> titles;
    for (const PhraseItemRecord& record : items) {
        titles.emplace_back(record.title);
    }
    return titles;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

PhraseItemRecord ReadBack(const CString& path)
{
    PhraseItemRecord record;
    EXPECT_TRUE(ReadPhraseFile(record, path)) << scvtest::WideToUtf8(path.GetString());
    return record;
}

// Phrases "A" and "B" at the top, group "G" holding "C" and group "G\Sub" holding "D".
class EditorStoreTest : public testing::Test
{
protected:
    void SetUp() override
    {
        temp.WriteBytes(L"B.scrivolanter", PhraseFileText("B", 2));
        temp.WriteBytes(L"A.scrivolanter", PhraseFileText("A", 1));
        temp.WriteBytes(L"G\\C.scrivolanter", PhraseFileText("C", 0));
        temp.WriteBytes(L"G\\Sub\\D.scrivolanter", PhraseFileText("D", 0));
        store.Load(temp.Path().c_str());
    }

    int Id(const wchar_t* relative)
    {
        const PhraseItemRecord* item = store.FindItemByPath(temp.PathOf(relative).c_str());
        return item != nullptr ? item->id : -1;
    }

    scvtest::TempFolder temp;
    CEditorPhraseStore store;
};

} // namespace

TEST(EditorPhraseFileNames, NamesComeFromTitles)
{
    struct Case
    {
        const wchar_t* text;
        bool blanks;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"  Re: invoice (final)?  ", true, L"Re_invoice_final"},
        {L"  Re: invoice (final)?  ", false, L"Re_ invoice _final"},
        {L"???", true, L""},
        {L"first\nsecond", true, L"first"},
        {L"tab\there\x01"
         L"bell",
         true, L"tab_here_bell"}, // control characters never reach a name
    };
    for (const Case& c : cases) {
        EXPECT_EQ(W(CEditorPhraseStore::FileNameFromText(c.text, c.blanks)), c.expected)
            << scvtest::WideToUtf8(c.text);
    }
    EXPECT_EQ(W(CEditorPhraseStore::FileNameFromTextStripped(L"a?b: c (d)")), L"ab c d");
}

TEST(EditorPhraseFileNames, UniqueNamesCountUpInTheFolder)
{
    scvtest::TempFolder temp;
    const CString folder = temp.Path().c_str();
    const CString first =
        CEditorPhraseStore::MakeUniqueName(L"  Re: invoice (final)?  ", folder, true, true, true);
    EXPECT_EQ(W(first), temp.PathOf(L"Re_invoice_final.scrivolanter"));
    temp.WriteBytes(L"Re_invoice_final.scrivolanter", "x");
    EXPECT_EQ(W(CEditorPhraseStore::MakeUniqueName(L"Re: invoice (final)?", folder, true, true, true)),
              temp.PathOf(L"Re_invoice_final2.scrivolanter"));
    EXPECT_EQ(W(CEditorPhraseStore::MakeUniqueName(L"???", folder, true, true, true)),
              temp.PathOf(L".scrivolanter"));
    for (const wchar_t* device : {L"CON", L"nul", L"Com1", L"LPT9"}) {
        const std::wstring name = std::wstring(device) + L"_.scrivolanter";
        EXPECT_EQ(W(CEditorPhraseStore::MakeUniqueName(device, folder, true, true, true)), temp.PathOf(name));
    }
    EXPECT_EQ(W(CEditorPhraseStore::MakeUniqueName(L"COM10", folder, true, true, true)),
              temp.PathOf(L"COM10.scrivolanter"));

    temp.WriteBytes(L"Hello.scrivolanter", "x");
    temp.WriteBytes(L"Hello_1.scrivolanter", "x");
    EXPECT_EQ(W(CEditorPhraseStore::MakeUniquePhraseFileName(folder, L"Hello")),
              temp.PathOf(L"Hello_2.scrivolanter"));
}

TEST_F(EditorStoreTest, LoadsInTheEditorsOrderAndFindsItemsAgainByPath)
{
    EXPECT_EQ(Titles(store.GetItems()), (std::vector<std::wstring>{L"G", L"A", L"B"}));
    EXPECT_EQ(Titles(*store.GetChildList(Id(L"G"))), (std::vector<std::wstring>{L"Sub", L"C"}));
    EXPECT_EQ(store.GetParentId(Id(L"G\\Sub\\D.scrivolanter")), Id(L"G\\Sub"));
    EXPECT_TRUE(store.IsInside(Id(L"G\\Sub\\D.scrivolanter"), Id(L"G")));
    EXPECT_FALSE(store.IsInside(Id(L"A.scrivolanter"), Id(L"G")));
    EXPECT_EQ(store.GetChildList(Id(L"A.scrivolanter")), nullptr);
    int included = 0;
    int all = 0;
    store.CountItems(&included, &all);
    EXPECT_EQ(all, 6);

    // Ids are given anew by a load: the item is found again by its path.
    const CString path = temp.PathOf(L"G\\C.scrivolanter").c_str();
    temp.WriteBytes(L"AAA\\new.scrivolanter", PhraseFileText("new", 0));
    const int id = store.ReloadKeeping(path);
    ASSERT_NE(id, -1);
    EXPECT_STREQ(store.FindItemById(id)->title, L"C");
}

TEST_F(EditorStoreTest, NewPhrasesAndGroupsReachTheDisk)
{
    const int group = Id(L"G");
    const int id = store.AddPhrase(L"  Re: invoice\r\n(final)?  ", L"text", MenuItemRecord::kTypeText, group);
    ASSERT_NE(id, -1);
    store.FlushSaves();
    const PhraseItemRecord* item = store.FindItemById(id);
    EXPECT_STREQ(item->title, L"Re: invoice (final)?");
    EXPECT_EQ(W(item->GetPath()), temp.PathOf(L"G\\Re_invoice_final.scrivolanter"));
    EXPECT_EQ(W(ReadBack(item->GetPath()).body), L"text");
    EXPECT_EQ(store.AddPhrase(L"x", L"", 0, Id(L"A.scrivolanter")), -1); // a phrase is no parent

    SYSTEMTIME used{};
    EXPECT_FALSE(store.GetDateUsage(id, used)) << "never used";
    const SYSTEMTIME date = {2026, 12, 4, 10, 8, 30, 15, 0};
    EXPECT_TRUE(store.SetDateUsage(id, date));
    ASSERT_TRUE(store.GetDateUsage(id, used));
    EXPECT_EQ(used.wYear, 2026);
    EXPECT_EQ(used.wSecond, 15);
    EXPECT_FALSE(store.SetDateUsage(group, date)) << "a group keeps no date";
    EXPECT_FALSE(store.GetDateUsage(group, used));

    const int folder = store.AddFolder(temp.PathOf(L"New group").c_str());
    ASSERT_NE(folder, -1);
    EXPECT_TRUE(Exists(temp.PathOf(L"New group")));
    EXPECT_STREQ(store.FindItemById(folder)->title, L"New group");
    // A folder that cannot be made is reported and adds nothing.
    EXPECT_EQ(store.AddFolder(temp.PathOf(L"A.scrivolanter\\inside").c_str()), -1);
    EXPECT_EQ(store.GetItems().size(), 4u);
}

TEST_F(EditorStoreTest, TitlesKeepFileNamesInStep)
{
    const int id = Id(L"A.scrivolanter");
    temp.WriteBytes(L"Taken.scrivolanter", PhraseFileText("Taken", 9));
    ASSERT_TRUE(store.SetTitle(id, L"Taken"));
    PhraseItemRecord* item = store.FindItemById(id);
    EXPECT_EQ(W(item->GetPath()), temp.PathOf(L"Taken_1.scrivolanter"));
    EXPECT_FALSE(Exists(temp.PathOf(L"A.scrivolanter")));
    EXPECT_TRUE(item->flagsMenu & CEditorPhraseStore::kChangedMark);

    // The same title again renames nothing.
    ASSERT_TRUE(store.SetTitle(id, L"  Taken "));
    EXPECT_EQ(W(item->GetPath()), temp.PathOf(L"Taken_1.scrivolanter"));

    // A group keeps its folder name.
    const int group = Id(L"G");
    ASSERT_TRUE(store.SetTitle(group, L"Other"));
    EXPECT_EQ(W(store.FindItemById(group)->GetPath()), temp.PathOf(L"G"));
}

TEST_F(EditorStoreTest, CanDropMatrix)
{
    const int a = Id(L"A.scrivolanter");
    const int g = Id(L"G");
    const int sub = Id(L"G\\Sub");
    const int c = Id(L"G\\C.scrivolanter");
    struct Case
    {
        int target;
        int drag;
        bool move;
        bool expected;
        const char* what;
    };
    const Case cases[] = {
        {g, a, true, true, "phrase into a group"},
        {a, c, true, false, "onto a phrase"},
        {g, g, true, false, "group onto itself"},
        {sub, g, true, false, "group into its own sub-group"},
        {sub, g, false, false, "copy of a group into its own sub-group"},
        {g, c, true, false, "move into the group that holds it"},
        {g, c, false, true, "copy into the group that holds it"},
        {-1, a, true, false, "move to the root it is at"},
        {-1, c, true, true, "move to the root"},
        {g, -1, true, false, "nothing dragged"},
        {g, 999, true, false, "an item that is gone"},
        {999, a, true, false, "a target that is gone"},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(store.CanDrop(test.target, test.drag, test.move), test.expected) << test.what;
    }
}

TEST_F(EditorStoreTest, MovesPhrasesAndGroupsOnDiskAndInMemory)
{
    int newId = 0;
    ASSERT_TRUE(store.MoveItem(Id(L"G\\Sub"), Id(L"A.scrivolanter"), &newId));
    EXPECT_TRUE(Exists(temp.PathOf(L"G\\Sub\\A.scrivolanter")));
    EXPECT_FALSE(Exists(temp.PathOf(L"A.scrivolanter")));
    EXPECT_EQ(store.GetParentId(newId), Id(L"G\\Sub"));
    EXPECT_EQ(Titles(store.GetItems()), (std::vector<std::wstring>{L"G", L"B"}));

    // A group moves with everything below it; the paths below change at their start only.
    ASSERT_TRUE(store.MoveItemToRoot(Id(L"G\\Sub"), &newId));
    EXPECT_TRUE(Exists(temp.PathOf(L"Sub\\D.scrivolanter")));
    EXPECT_FALSE(Exists(temp.PathOf(L"G\\Sub")));
    const RecordList& moved = *store.GetChildList(newId);
    EXPECT_EQ(Titles(moved), (std::vector<std::wstring>{L"D", L"A"}));
    EXPECT_EQ(W(moved[1].GetPath()), temp.PathOf(L"Sub\\A.scrivolanter"));
    EXPECT_NE(store.FindItemByPath(temp.PathOf(L"Sub\\D.scrivolanter").c_str()), nullptr);
}

TEST_F(EditorStoreTest, CopiesAreComplete)
{
    int newId = 0;
    store.FindItemById(Id(L"G\\C.scrivolanter"))->usageCount = 5;
    ASSERT_TRUE(store.CopyItem(Id(L"G"), Id(L"G\\C.scrivolanter"), &newId));
    store.FlushSaves();
    EXPECT_EQ(W(store.FindItemById(newId)->GetPath()), temp.PathOf(L"G\\C2.scrivolanter"));
    EXPECT_EQ(ReadBack(temp.PathOf(L"G\\C2.scrivolanter").c_str()).usageCount, 0u);

    // A group copy duplicates the subtree with fresh ids and paths; the original keeps its own.
    const int g = Id(L"G");
    ASSERT_TRUE(store.CopyItem(-1, g, &newId));
    EXPECT_TRUE(Exists(temp.PathOf(L"G2\\Sub\\D.scrivolanter")));
    const PhraseItemRecord* copy = store.FindItemById(newId);
    ASSERT_TRUE(copy->IsFolder());
    EXPECT_EQ(copy->children->size(), 3u);
    EXPECT_EQ(store.FindItemById(g)->children->size(), 3u);
    const PhraseItemRecord* copiedD = store.FindItemByPath(temp.PathOf(L"G2\\Sub\\D.scrivolanter").c_str());
    const PhraseItemRecord* originalD = store.FindItemByPath(temp.PathOf(L"G\\Sub\\D.scrivolanter").c_str());
    ASSERT_NE(copiedD, nullptr);
    ASSERT_NE(originalD, nullptr);
    EXPECT_NE(copiedD->id, originalD->id);
    EXPECT_EQ(store.FindItemById(copiedD->id), copiedD);
}

TEST_F(EditorStoreTest, MoveFolderToReplacesOnlyThePathPrefix)
{
    const CString renamed = temp.PathOf(L"Renamed").c_str();
    const int g = Id(L"G");
    ASSERT_TRUE(store.MoveFolderTo(renamed, g));
    EXPECT_TRUE(Exists(temp.PathOf(L"Renamed\\Sub\\D.scrivolanter")));
    EXPECT_NE(store.FindItemByPath(temp.PathOf(L"Renamed\\Sub\\D.scrivolanter").c_str()), nullptr);
    EXPECT_EQ(store.FindItemByPath(temp.PathOf(L"G\\C.scrivolanter").c_str()), nullptr);
}

TEST_F(EditorStoreTest, ApplyOrderSavesOnlyChangedRecords)
{
    // Files removed behind the store's back show which records were written again.
    const int a = Id(L"A.scrivolanter"); // SortID 1
    const int b = Id(L"B.scrivolanter"); // SortID 2
    const int g = Id(L"G");              // SortID 0
    DeleteFileW(temp.PathOf(L"A.scrivolanter").c_str());
    DeleteFileW(temp.PathOf(L"B.scrivolanter").c_str());
    store.ApplyOrder({g, a, 12345, b}, -1); // an unknown id is skipped but takes its place
    store.FlushSaves();
    EXPECT_FALSE(Exists(temp.PathOf(L"A.scrivolanter")));
    ASSERT_TRUE(Exists(temp.PathOf(L"B.scrivolanter")));
    EXPECT_EQ(ReadBack(temp.PathOf(L"B.scrivolanter").c_str()).sortId, 3);
    EXPECT_FALSE(Exists(temp.PathOf(L"G\\FOLDER_SELF.scrivolanter")));
}

TEST_F(EditorStoreTest, ManySavesOfOneItemEndWithItsLastState)
{
    const int a = Id(L"A.scrivolanter");
    for (int i = 0; i < 50; ++i) {
        store.FindItemById(a)->body.Format(L"state %d", i);
        ASSERT_TRUE(store.SaveItem(a));
    }
    store.FlushSaves();
    EXPECT_EQ(W(ReadBack(temp.PathOf(L"A.scrivolanter").c_str()).body), L"state 49");
    EXPECT_TRUE(store.TakeFailedSaves().empty());
}

TEST_F(EditorStoreTest, AFailedSaveIsReportedBack)
{
    const int a = Id(L"A.scrivolanter");
    EXPECT_TRUE(store.SaveItemAndWait(a));
    store.FindItemById(a)->SetPathOnly(temp.PathOf(L"gone\\A.scrivolanter").c_str());
    EXPECT_FALSE(store.SaveItemAndWait(a));

    // A failed queued save is kept for the user interface to collect.
    ASSERT_TRUE(store.SaveItem(a));
    store.FlushSaves();
    const std::vector<CString> failed = store.TakeFailedSaves();
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(W(failed[0]), temp.PathOf(L"gone\\A.scrivolanter"));
}

TEST_F(EditorStoreTest, ExcludingAGroupWritesItsPhrasesAndItsOwnFile)
{
    const int g = Id(L"G");
    EXPECT_TRUE(store.SetIncluded(g, false));
    EXPECT_FALSE(store.SetIncluded(g, false));
    EXPECT_FALSE(CEditorPhraseStore::IsIncluded(*store.FindItemById(g)));
    store.SaveItem(g);
    store.FlushSaves();
    EXPECT_EQ(ReadBack(temp.PathOf(L"G\\Sub\\D.scrivolanter").c_str()).included, 0);
    const std::optional<std::string> self = temp.ReadBytes(L"G\\FOLDER_SELF.scrivolanter");
    ASSERT_TRUE(self.has_value());
    EXPECT_NE(self->find("Excluded=\"1\""), std::string::npos) << *self;
    EXPECT_EQ(self->find("MenuName"), std::string::npos) << *self;
}

TEST_F(EditorStoreTest, BothProgramsWriteTheSameBytes)
{
    const int a = Id(L"A.scrivolanter");
    PhraseItemRecord* item = store.FindItemById(a);
    item->body = L"  leading blanks\r\n\ttab <tag> & \"quote\"";
    item->SetHint(L"a hint");
    item->flagsMenu = PhraseItemRecord::kSeparatorAfter | CEditorPhraseStore::kChangedMark;
    ASSERT_TRUE(store.SaveItemAndWait(a));

    CPhraseStore mainStore(temp.PathOf(L"main").c_str());
    PhraseItemRecord copy(*item);
    copy.SetPathOnly(temp.PathOf(L"main.scrivolanter").c_str());
    ASSERT_TRUE(mainStore.SaveItem(copy));
    mainStore.FlushSaves();
    EXPECT_EQ(temp.ReadBytes(L"A.scrivolanter"), temp.ReadBytes(L"main.scrivolanter"));
    EXPECT_EQ(W(ReadBack(item->GetPath()).body), W(item->body));
}

TEST_F(EditorStoreTest, DeletedItemsLeaveDiskAndTree)
{
    const int c = Id(L"G\\C.scrivolanter");
    ASSERT_TRUE(store.DeleteItem(c, nullptr, false));
    EXPECT_FALSE(Exists(temp.PathOf(L"G\\C.scrivolanter")));
    EXPECT_EQ(store.FindItemById(c), nullptr);
    ASSERT_TRUE(store.DeleteItem(Id(L"G"), nullptr, false));
    EXPECT_FALSE(Exists(temp.PathOf(L"G")));
    EXPECT_EQ(Titles(store.GetItems()), (std::vector<std::wstring>{L"A", L"B"}));
}
