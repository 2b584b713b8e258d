#include "engine/PhraseItemRecord.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

PhraseItemRecord MakePhrase(int id, int included = 1)
{
    PhraseItemRecord record;
    record.id = id;
    record.included = included;
    return record;
}

PhraseItemRecord MakeFolder(int id, std::vector<PhraseItemRecord> children)
{
    PhraseItemRecord folder;
    folder.id = id;
    folder.MakeFolder() = std::move(children);
    return folder;
}

} // namespace

TEST(PhraseItemRecord, TitleAndHintAreCutToTheirLimits)
{
    PhraseItemRecord record;
    const std::wstring longTitle(130, L'T');
    const std::wstring longHint(1030, L'H');
    record.SetTitle(longTitle.c_str());
    record.SetHint(longHint.c_str());
    EXPECT_EQ(std::wstring(record.title), longTitle.substr(0, 120));
    EXPECT_EQ(std::wstring(record.hint), longHint.substr(0, 1024));
    record.SetTitle(nullptr);
    EXPECT_STREQ(record.title, L"");
}

// A library holds thousands of records: one must not carry room for the longest title and hint
// (that took 2.3 KB a record), and a copy keeps its texts when the original changes them.
TEST(PhraseItemRecord, RecordHoldsOnlyItsOwnTextsAndCopiesStayApart)
{
    EXPECT_LT(sizeof(PhraseItemRecord), 256u);
    PhraseItemRecord original;
    original.SetTitle(L"title");
    original.SetHint(L"hint");
    PhraseItemRecord copy(original);
    original.SetTitle(L"changed");
    original.SetHint(nullptr);
    EXPECT_STREQ(copy.title, L"title");
    EXPECT_STREQ(copy.hint, L"hint");
    EXPECT_STREQ(original.title, L"changed");
    EXPECT_STREQ(original.hint, L"");
}

TEST(PhraseItemRecord, CopyDuplicatesTheSubtreeAndMoveHandsItOver)
{
    std::vector<PhraseItemRecord> inner;
    inner.push_back(MakePhrase(3));
    std::vector<PhraseItemRecord> children;
    children.push_back(MakePhrase(2));
    children.push_back(MakeFolder(4, std::move(inner)));
    PhraseItemRecord source = MakeFolder(1, std::move(children));
    source.body = L"body";
    source.SetPath(L"C:\\nowhere\\folder");

    PhraseItemRecord copy(source);
    ASSERT_TRUE(copy.IsFolder());
    ASSERT_TRUE(source.IsFolder());
    EXPECT_NE(copy.children.get(), source.children.get());
    ASSERT_EQ(copy.children->size(), 2u);
    EXPECT_EQ((*copy.children)[1].children->at(0).id, 3);
    EXPECT_EQ(copy.body, L"body");
    EXPECT_EQ(copy.GetPath(), L"C:\\nowhere\\folder");

    const std::vector<PhraseItemRecord>* children_before = source.children.get();
    PhraseItemRecord moved(std::move(source));
    EXPECT_EQ(moved.children.get(), children_before); // the vector itself moves: pointers to it stay valid
    EXPECT_FALSE(source.IsFolder());

    // Growing and sorting a list moves records without losing their children.
    std::vector<PhraseItemRecord> list;
    list.push_back(std::move(moved));
    for (int i = 0; i < 50; ++i) {
        list.push_back(MakePhrase(100 + i));
    }
    EXPECT_EQ(list.front().children.get(), children_before);
}

TEST(PhraseItemRecord, IncludedContentOfFolders)
{
    EXPECT_TRUE(MakePhrase(1, 1).HasIncludedContent());
    EXPECT_FALSE(MakePhrase(1, 0).HasIncludedContent());
    EXPECT_FALSE(MakeFolder(1, {}).HasIncludedContent());

    std::vector<PhraseItemRecord> excluded;
    excluded.push_back(MakePhrase(2, 0));
    excluded.push_back(MakePhrase(3, 0));
    EXPECT_FALSE(MakeFolder(1, std::move(excluded)).HasIncludedContent());

    std::vector<PhraseItemRecord> deep;
    deep.push_back(MakePhrase(5, 1));
    std::vector<PhraseItemRecord> outer;
    outer.push_back(MakePhrase(2, 0));
    outer.push_back(MakeFolder(4, {}));
    outer.push_back(MakeFolder(6, std::move(deep)));
    EXPECT_TRUE(MakeFolder(1, std::move(outer)).HasIncludedContent());
}

TEST(PhraseItemRecord, SubItemsAreNeverNull)
{
    MenuItemRecord item;
    EXPECT_FALSE(item.HasSubItems());
    EXPECT_TRUE(item.GetSubItems().empty());
    item.MutableSubItems().emplace_back();
    EXPECT_EQ(item.GetSubItems().size(), 1u);
    item.FreeSubItems(false);
    EXPECT_FALSE(item.HasSubItems());
    EXPECT_TRUE(item.GetSubItems().empty());
}

TEST(PhraseItemRecord, OrderPutsFoldersFirstAndComparesSortIdUnsigned)
{
    PhraseItemRecord negative = MakePhrase(1);
    negative.sortId = -1;
    PhraseItemRecord large = MakePhrase(2);
    large.sortId = 2000000000;
    PhraseItemRecord folder = MakeFolder(3, {});
    folder.sortId = 999;

    EXPECT_TRUE(PhraseComesBefore(large, negative));
    EXPECT_FALSE(PhraseComesBefore(negative, large));
    EXPECT_TRUE(PhraseComesBefore(folder, large));
    EXPECT_FALSE(PhraseComesBefore(large, folder));
}

TEST(PhraseItemRecord, UsageDateBelongsToPhrasesOnly)
{
    SYSTEMTIME date{};
    date.wYear = 2024;
    date.wMonth = 3;
    date.wDay = 7;

    PhraseItemRecord phrase;
    SYSTEMTIME out{};
    EXPECT_FALSE(phrase.GetUsageDate(out));
    EXPECT_TRUE(phrase.SetUsageDate(date));
    ASSERT_TRUE(phrase.GetUsageDate(out));
    EXPECT_EQ(out.wYear, 2024);
    EXPECT_TRUE(phrase.StampUsageDate());
    EXPECT_TRUE(phrase.HasUsageDate());

    PhraseItemRecord folder = MakeFolder(1, {});
    EXPECT_FALSE(folder.SetUsageDate(date));
    EXPECT_FALSE(folder.StampUsageDate());
    EXPECT_FALSE(folder.HasUsageDate());

    EXPECT_FALSE(phrase.SetIncluded(1));
    EXPECT_TRUE(phrase.SetIncluded(0));
}

TEST(PhraseItemRecord, SetPathOfAFolderRenamesItsDirectory)
{
    scvtest::TempFolder temp;
    const std::wstring oldPath = temp.CreateSubfolder(L"Old");
    temp.WriteBytes(L"Old\\a.scrivolanter", "x");
    const std::wstring newPath = temp.PathOf(L"New");

    PhraseItemRecord folder = MakeFolder(1, {});
    folder.SetPath(oldPath.c_str());
    folder.SetPath(newPath.c_str());
    EXPECT_EQ(folder.GetPath(), newPath.c_str());
    EXPECT_FALSE(temp.Exists(L"Old"));
    EXPECT_TRUE(temp.Exists(L"New\\a.scrivolanter"));

    // A phrase only stores its path.
    PhraseItemRecord phrase;
    phrase.SetPath(temp.PathOf(L"New").c_str());
    phrase.SetPath(temp.PathOf(L"Other").c_str());
    EXPECT_TRUE(temp.Exists(L"New"));
    EXPECT_FALSE(temp.Exists(L"Other"));
}
