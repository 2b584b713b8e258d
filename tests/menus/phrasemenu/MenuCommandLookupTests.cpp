// What a chosen command id names: the clean-up and special commands, phrases (never folders),
// and clipboard-history items, which count only when their index lies inside the history and
// the item exists and is of a type that can be inserted.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/menus/phrasemenu/FakeMenuHistory.h"
#include "engine/PhraseStore.h"
#include "menus/phrasemenu/MenuCommandLookup.h"

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

PhraseItemRecord Phrase(int id, const wchar_t* body, int dataType)
{
    PhraseItemRecord record;
    record.id = id;
    record.SetTitle(L"phrase");
    record.body = body;
    record.dataType = dataType;
    return record;
}

class MenuCommandLookup : public testing::Test
{
protected:
    void SetUp() override
    {
        PhraseItemRecord folder;
        folder.id = 5;
        folder.SetTitle(L"folder");
        folder.MakeFolder().push_back(Phrase(6, L"inside", 0));
        store.GetItems().push_back(Phrase(1, L"plain body", 0));
        store.GetItems().push_back(Phrase(2, L"{\\rtf1 x}", 1));
        store.GetItems().push_back(std::move(folder));
        store.GetItems().push_back(Phrase(2001, L"phrase with a history id", 2));

        history.items.push_back(FakeHistoryItem::Unicode(L"newest \x00E9")); // 2000
        history.items.push_back(
            FakeHistoryItem::Narrow(kHistoryRtf, "{\\rtf1 old}"));                  // 2001 (a phrase has it)
        history.items.push_back(FakeHistoryItem::Narrow(kHistoryAnsiText, "ansi")); // 2002
        history.items.push_back(std::make_unique<FakeHistoryItem>(kHistoryBitmap, "")); // 2003
        history.items.push_back(nullptr);                                               // 2004: gap
        history.items.push_back(FakeHistoryItem::Narrow(kHistoryRtf, "{\\rtf1 rich}")); // 2005
    }

    CPhraseStore store;
    FakeHistory history;
};
} // namespace

TEST_F(MenuCommandLookup, Table)
{
    struct Case
    {
        int id;
        MenuCommandKind kind;
        int result; // of LookupCommand
        const wchar_t* text;
        int dataType;
        int historyIndex;
    };
    const Case cases[] = {
        {-1, MenuCommandKind::CleanUp, 0, L"", 0, -1},
        {-2, MenuCommandKind::Special, 0, L"", 0, -1},
        {-3, MenuCommandKind::Special, 0, L"", 0, -1},
        {-4, MenuCommandKind::Special, 0, L"", 0, -1},
        {-6, MenuCommandKind::Special, 0, L"", 0, -1},
        {-5, MenuCommandKind::None, 0, L"", 0, -1},
        {-9, MenuCommandKind::None, 0, L"", 0, -1},
        {0, MenuCommandKind::None, 0, L"", 0, -1},
        {1, MenuCommandKind::Phrase, 2, L"plain body", 0, -1},
        {2, MenuCommandKind::Phrase, 2, L"{\\rtf1 x}", 1, -1},
        {5, MenuCommandKind::None, 0, L"", 0, -1}, // a folder runs nothing
        {6, MenuCommandKind::Phrase, 2, L"inside", 0, -1},
        {7, MenuCommandKind::None, 0, L"", 0, -1},
        {1999, MenuCommandKind::None, 0, L"", 0, -1},
        {2000, MenuCommandKind::History, 1, L"newest \x00E9", 0, 0},
        {2001, MenuCommandKind::Phrase, 2, L"phrase with a history id", 2, -1},
        {2002, MenuCommandKind::History, 1, L"ansi", 0, 2},
        {2003, MenuCommandKind::None, 0, L"", 0, -1}, // a bitmap is not inserted
        {2004, MenuCommandKind::None, 0, L"", 0, -1}, // no item at that index
        {2005, MenuCommandKind::History, 1, L"{\\rtf1 rich}", 1, 5},
        {2006, MenuCommandKind::None, 0, L"", 0, -1}, // index == count
        {2100, MenuCommandKind::None, 0, L"", 0, -1},
        {34000, MenuCommandKind::None, 0, L"", 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const MenuCommandTarget target = LookupMenuCommand(c.id, &store, &history);
        EXPECT_EQ(target.kind, c.kind);
        EXPECT_EQ(W(target.text), c.text);
        EXPECT_EQ(target.dataType, c.dataType);
        EXPECT_EQ(target.historyIndex, c.historyIndex);
        EXPECT_EQ(target.phrase != nullptr, c.kind == MenuCommandKind::Phrase);
        if (target.phrase) {
            EXPECT_EQ(target.phrase->id, c.id);
        }

        CString text = L"untouched";
        int dataType = -7;
        EXPECT_EQ(LookupCommand(c.id, &store, &history, text, dataType), c.result);
        if (c.result == 0) {
            EXPECT_EQ(W(text), L"untouched");
            EXPECT_EQ(dataType, -7);
        } else {
            EXPECT_EQ(W(text), c.text);
            EXPECT_EQ(dataType, c.dataType);
        }
    }
}

TEST_F(MenuCommandLookup, HistoryIndexCountsOnlyInsideTheHistory)
{
    EXPECT_EQ(HistoryIndexOfCommand(2000, &history), 0);
    EXPECT_EQ(HistoryIndexOfCommand(2003, &history), 3); // exists, whatever its type
    EXPECT_EQ(HistoryIndexOfCommand(2004, &history), -1);
    EXPECT_EQ(HistoryIndexOfCommand(2006, &history), -1);
    EXPECT_EQ(HistoryIndexOfCommand(1999, &history), -1);
    EXPECT_EQ(HistoryIndexOfCommand(-2147483647 - 1, &history), -1);
    EXPECT_EQ(HistoryIndexOfCommand(2000, nullptr), -1);

    FakeHistory empty;
    EXPECT_EQ(HistoryIndexOfCommand(2000, &empty), -1);
    EXPECT_EQ(LookupMenuCommand(2000, nullptr, nullptr).kind, MenuCommandKind::None);
    EXPECT_EQ(LookupMenuCommand(1, nullptr, &history).kind, MenuCommandKind::None);
}

TEST_F(MenuCommandLookup, TextIsReadNoFurtherThanTheItemSize)
{
    // The data goes on past the size the item reports: only the reported bytes are read.
    history.items.clear();
    history.items.push_back(FakeHistoryItem::Narrow(kHistoryAnsiText, "abcdef"));
    history.items.back()->reportedSize = 3;
    history.items.push_back(FakeHistoryItem::Unicode(L"wxyz"));
    history.items.back()->reportedSize = 2 * sizeof(wchar_t) + 1;
    EXPECT_EQ(W(LookupMenuCommand(2000, nullptr, &history).text), L"abc");
    EXPECT_EQ(W(LookupMenuCommand(2001, nullptr, &history).text), L"wx");
}
