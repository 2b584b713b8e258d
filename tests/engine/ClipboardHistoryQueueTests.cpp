#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardHistoryTexts.h"

#include "HistoryTestBitmaps.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
std::unique_ptr<CCHItem> TextItem(const wchar_t* text)
{
    auto item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, nullptr);
    item->SetUnicodeText(text);
    return item;
}

std::unique_ptr<CCHItem> BytesItem(int type, const char* text)
{
    auto item = std::make_unique<CCHItem>(type, nullptr);
    item->SetDataCopy(text, static_cast<unsigned>(std::strlen(text) + 1));
    return item;
}

// A 4 x 4 32-bit DIB section filled with one colour.
HBITMAP SolidBitmap(DWORD colour)
{
    return MakeTestDib(4, 4, colour, colour);
}

std::unique_ptr<CCHItem> BitmapItem(DWORD colour)
{
    auto item = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
    item->SetBitmap(SolidBitmap(colour));
    return item;
}

std::wstring Text(const CCHItem* item)
{
    return item ? std::wstring(item->GetWideText().GetString()) : L"<null>";
}

// The texts of the queue, newest first.
std::vector<std::wstring> Texts(const CCHQueue& queue)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < queue.GetCount(); ++i)
        texts.push_back(Text(queue.GetItem(i)));
    return texts;
}

void AddText(CCHQueue& queue, const wchar_t* text, unsigned max = 100)
{
    auto item = TextItem(text);
    ASSERT_TRUE(queue.Add(item, max));
    ASSERT_FALSE(item);
}

using Texts_t = std::vector<std::wstring>;
} // namespace

TEST(ClipboardHistoryQueue, SameTextTwiceIsOneNewestItemKeepingIdAndProtection)
{
    CCHQueue queue;
    AddText(queue, L"first");
    queue.GetItem(0)->SetProtected(true);
    const int firstId = queue.GetItem(0)->GetId();
    AddText(queue, L"second");

    auto again = TextItem(L"first");
    EXPECT_NE(again->GetId(), firstId);
    ASSERT_TRUE(queue.Add(again, 100));

    EXPECT_EQ(Texts(queue), (Texts_t{L"first", L"second"}));
    EXPECT_EQ(queue.GetItem(0)->GetId(), firstId);
    EXPECT_TRUE(queue.GetItem(0)->IsProtected());

    // Case counts.
    AddText(queue, L"FIRST");
    EXPECT_EQ(queue.GetCount(), 3);
}

TEST(ClipboardHistoryQueue, EqualBitmapsMergeAndClipsNeverDo)
{
    CCHQueue queue;
    for (DWORD colour : {0x00FF0000u, 0x00FF0000u, 0x0000FF00u}) {
        auto item = BitmapItem(colour);
        ASSERT_TRUE(queue.Add(item, 100));
    }
    EXPECT_EQ(queue.GetCount(), 2);

    for (int i = 0; i < 2; ++i) {
        auto clip = BytesItem(CHT_OVELLINE, "same clip");
        ASSERT_TRUE(queue.Add(clip, 100));
    }
    EXPECT_EQ(queue.GetCount(), 4);

    // Same bytes, different types: two items.
    auto rtf = BytesItem(CHT_RTF, "abc");
    auto ansi = BytesItem(CHT_ANSI_TEXT, "abc");
    ASSERT_TRUE(queue.Add(rtf, 100));
    ASSERT_TRUE(queue.Add(ansi, 100));
    EXPECT_EQ(queue.GetCount(), 6);
}

TEST(ClipboardHistoryQueue, EqualityFollowsTheDataThroughItsCachedFingerprint)
{
    struct Case
    {
        std::unique_ptr<CCHItem> a;
        std::unique_ptr<CCHItem> b;
        bool equal;
    };
    Case cases[] = {
        {TextItem(L"Same text"), TextItem(L"Same text"), true},
        {TextItem(L"Same text"), TextItem(L"same text"), false},
        {TextItem(L""), TextItem(L""), true},
        {BytesItem(CHT_RTF, "{\\rtf1 a}"), BytesItem(CHT_RTF, "{\\rtf1 a}"), true},
        {BytesItem(CHT_RTF, "{\\rtf1 a}"), BytesItem(CHT_RTF, "{\\rtf1 b}"), false},
        {BitmapItem(0x00112233u), BitmapItem(0x00112233u), true},
        {BitmapItem(0x00112233u), BitmapItem(0x00112234u), false},
        {BytesItem(CHT_OVELLINE, "clip"), BytesItem(CHT_OVELLINE, "clip"), false},
    };
    int n = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(ItemsEqual(*c.a, *c.b), c.equal) << n;
        EXPECT_EQ(ItemsEqual(*c.b, *c.a), c.equal) << n << " (second time, fingerprints kept)";
        ++n;
    }

    // A change of the data drops the kept fingerprint.
    auto a = TextItem(L"before");
    auto b = TextItem(L"after");
    EXPECT_FALSE(ItemsEqual(*a, *b));
    a->SetUnicodeText(L"after");
    EXPECT_TRUE(ItemsEqual(*a, *b));
    auto picture = BitmapItem(0x00445566u);
    auto other = BitmapItem(0x00778899u);
    EXPECT_FALSE(ItemsEqual(*picture, *other));
    other->SetBitmap(MakeTestDib(4, 4, 0x00445566u, 0x00445566u));
    EXPECT_TRUE(ItemsEqual(*picture, *other));
}

TEST(ClipboardHistoryQueue, TrimKeepsNewestAndProtectedAndDeletesFilesOfTheRest)
{
    scvtest::TempFolder folder;
    CCHQueue queue;
    for (const wchar_t* text : {L"1", L"2", L"3", L"4", L"5"})
        AddText(queue, text);
    queue.GetItem(4)->SetProtected(true); // the oldest
    const std::wstring dropped = folder.WriteBytes(L"dropped.txt", "x");
    queue.GetItem(2)->SetFileInfo(1, dropped.c_str());

    queue.Trim(3);

    EXPECT_EQ(Texts(queue), (Texts_t{L"5", L"4", L"1"}));
    EXPECT_FALSE(folder.Exists(L"dropped.txt"));

    // Adding beyond the maximum trims at once; a locked queue refuses items.
    AddText(queue, L"6", 3);
    EXPECT_EQ(Texts(queue), (Texts_t{L"6", L"5", L"1"}));
    queue.Lock();
    auto refused = TextItem(L"7");
    EXPECT_FALSE(queue.Add(refused, 3));
    EXPECT_TRUE(refused);
    queue.Unlock();
    EXPECT_FALSE(queue.IsLocked());
}

TEST(ClipboardHistoryQueue, ClearKeepsProtectedEmptiesTheFolderAndUndoBringsAllBack)
{
    scvtest::TempFolder folder;
    folder.WriteBytes(L"scrivolanter_cb1.info", "x");
    const std::wstring readOnly = folder.WriteBytes(L"clipboard_history1.txt", "y");
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    folder.CreateSubfolder(L"sub");

    CCHQueue queue;
    queue.SetHistoryFolder(folder.Path().c_str());
    AddText(queue, L"kept");
    AddText(queue, L"a");
    AddText(queue, L"b");
    queue.GetItem(2)->SetProtected(true);
    queue.GetItem(2)->SetFileInfo(2, readOnly.c_str());

    EXPECT_TRUE(queue.Clear(CString()));

    // The protected item keeps its file (nothing to re-save, nothing to lose).
    EXPECT_EQ(Texts(queue), (Texts_t{L"kept"}));
    EXPECT_EQ(queue.GetItem(0)->GetFileState(), 2);
    EXPECT_FALSE(folder.Exists(L"scrivolanter_cb1.info"));
    EXPECT_TRUE(folder.Exists(L"clipboard_history1.txt"));
    EXPECT_TRUE(folder.Exists(L"sub"));

    CString text;
    int tick = 0;
    SYSTEMTIME time = {};
    ASSERT_TRUE(queue.Get_Latest_Undo_Info(text, tick, &time));
    EXPECT_EQ(std::wstring(text.GetString()), L"Command: \"Clear\"");
    EXPECT_NE(time.wYear, 0);

    const CCHItem* keptItem = queue.GetItem(0);
    ASSERT_TRUE(queue.DoUndo());
    EXPECT_EQ(Texts(queue), (Texts_t{L"b", L"a", L"kept"}));
    // The kept item itself is back in its place, not a second copy of it.
    EXPECT_EQ(queue.GetItem(2), keptItem);
    EXPECT_EQ(queue.GetItem(2)->GetFileState(), 2);
    EXPECT_FALSE(queue.HasUndo());
    EXPECT_FALSE(queue.DoUndo());

    CCHQueue empty;
    empty.SetHistoryFolder(folder.Path().c_str());
    folder.WriteBytes(L"left.txt", "z");
    EXPECT_FALSE(empty.Clear(CString()));
    EXPECT_FALSE(folder.Exists(L"left.txt"));
}

TEST(ClipboardHistoryQueue, RemoveRespectsProtectionUnlessForcedAndUndoAppendsTheCopy)
{
    scvtest::TempFolder folder;
    CCHQueue queue;
    AddText(queue, L"old");
    AddText(queue, L"new");
    queue.GetItem(0)->SetProtected(true);

    // Nothing removed: no undo record that would bring back a second copy.
    EXPECT_FALSE(queue.RemoveItems({0}, true, false, L"remove"));
    EXPECT_EQ(queue.GetCount(), 2);
    EXPECT_EQ(queue.GetUndoCount(), 0);

    // Of a mixed selection only the unprotected item goes, and undo brings back only that one.
    EXPECT_TRUE(queue.RemoveItems({0, 1}, true, false, L"remove"));
    EXPECT_EQ(Texts(queue), (Texts_t{L"new"}));
    ASSERT_TRUE(queue.DoUndo());
    EXPECT_EQ(Texts(queue), (Texts_t{L"old", L"new"}));
    ASSERT_TRUE(queue.RemoveItems({0}, false, false, L""));
    EXPECT_EQ(Texts(queue), (Texts_t{L"new"}));
    EXPECT_EQ(queue.GetUndoCount(), 0);

    const std::wstring file = folder.WriteBytes(L"new.txt", "n");
    queue.GetItem(0)->SetFileInfo(2, file.c_str());
    EXPECT_TRUE(queue.RemoveItems({0, 7}, true, true, L"remove"));
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_FALSE(folder.Exists(L"new.txt"));

    ASSERT_TRUE(queue.DoUndo());
    EXPECT_EQ(Texts(queue), (Texts_t{L"new"}));
    EXPECT_TRUE(queue.GetItem(0)->IsProtected());
    EXPECT_EQ(queue.GetItem(0)->GetFileState(), 0);
    EXPECT_TRUE(queue.GetItem(0)->GetDataFilePath().IsEmpty());

    // Removing the last items reports a change; an empty set or queue does not.
    AddText(queue, L"old");
    EXPECT_FALSE(queue.RemoveItems({}, false, true, L""));
    EXPECT_TRUE(queue.RemoveItems({0, 1}, false, true, L""));
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_FALSE(queue.RemoveItems({0}, false, true, L""));
}

TEST(ClipboardHistoryQueue, UnknownUndoActionStaysOnTheStack)
{
    CCHQueue queue;
    AddText(queue, L"x");
    ASSERT_TRUE(queue.PushUndoAll(7, false, L"odd"));
    EXPECT_FALSE(queue.DoUndo());
    EXPECT_EQ(queue.GetUndoCount(), 1);
    ASSERT_NE(queue.Get_Undo_Item_By_Index(0), nullptr);
    EXPECT_EQ(queue.Get_Undo_Item_By_Index(0)->action, 7);
    EXPECT_EQ(queue.Get_Undo_Item_By_Index(1), nullptr);
}

TEST(ClipboardHistoryQueue, ClonesShareParts_CopyData_AndQueueLookupsWork)
{
    auto item = BytesItem(CHT_RTF, "{\\rtf1 x}");
    item->AddPart(BytesItem(CHT_HTML, "<b>x</b>").release());
    item->AddPart(BitmapItem(0x123456).release());
    EXPECT_EQ(std::wstring(item->GetFormatListText().GetString()), L"rtf, html, bmp");
    EXPECT_TRUE(item->HasHtmlPart(true));
    EXPECT_TRUE(item->HasBitmapPart(true));
    EXPECT_FALSE(item->HasBitmapPart(false) && item->GetType() == CHT_BITMAP);
    EXPECT_EQ(item->FindPart(CHT_RTF), item.get());
    ASSERT_NE(item->FindHtmlPart(), nullptr);
    EXPECT_EQ(item->FindPart(CHT_ANSI_TEXT), nullptr);

    {
        std::unique_ptr<CCHItem> copy(item->Clone());
        EXPECT_EQ(item->GetParts()[0].GetCount(), 2);
        EXPECT_EQ(copy->GetParts()[0].Get(), item->GetParts()[0].Get());
        EXPECT_NE(copy->GetData(), item->GetData());
        EXPECT_EQ(copy->GetByteText(), item->GetByteText());
        EXPECT_EQ(copy->GetKey(), item->GetKey());
        EXPECT_EQ(copy->GetId(), item->GetId());
    }
    EXPECT_EQ(item->GetParts()[0].GetCount(), 1);

    std::unique_ptr<CCHItem> bitmapCopy(item->GetParts()[1]->Clone());
    EXPECT_NE(bitmapCopy->GetBitmap(), item->GetParts()[1]->GetBitmap());
    EXPECT_EQ(bitmapCopy->GetSize(), 4u);

    CCHQueue queue;
    SYSTEMTIME later = {2026, 5, 0, 3, 10, 0, 0, 0};
    SYSTEMTIME earlier = {2026, 5, 0, 3, 9, 59, 59, 999};
    auto a = TextItem(L"a");
    auto b = TextItem(L"b");
    a->SetTime(later);
    b->SetTime(earlier);
    const CString keyB = b->GetKey();
    const int idB = b->GetId();
    queue.Append(std::move(a));
    queue.Append(std::move(b));
    queue.SortByTime();
    EXPECT_EQ(Texts(queue), (Texts_t{L"a", L"b"}));
    EXPECT_EQ(queue.IndexOfId(idB), 0);
    EXPECT_EQ(queue.IndexOfId(-5), -1);
    EXPECT_EQ(queue.FindByKey(keyB), queue.GetItem(1));
    EXPECT_EQ(queue.FindByKey(L"nope"), nullptr);

    queue.GetItem(0)->SetFileInfo(2, L"x");
    auto notOnDisk = queue.CloneNotOnDisk();
    ASSERT_NE(notOnDisk, nullptr);
    EXPECT_EQ(Texts(*notOnDisk), (Texts_t{L"b"}));
    EXPECT_EQ(CCHQueue().CloneAll(), nullptr);
}

TEST(ClipboardHistoryQueue, MergeLoadedSortsAndTrimsKeepingProtected)
{
    CCHQueue queue;
    CCHQueue loaded;
    WORD minute = 0;
    for (const wchar_t* text : {L"l1", L"c1", L"l2", L"c2"}) {
        auto item = TextItem(text);
        SYSTEMTIME time = {2026, 1, 0, 1, 12, ++minute, 0, 0};
        item->SetTime(time);
        (text[0] == L'l' ? loaded : queue).Append(std::move(item));
    }
    loaded.GetItem(1)->SetProtected(true);
    queue.MergeLoaded(loaded, 3);
    // Trimmed as Trim does: the protected oldest item stays and counts.
    EXPECT_EQ(Texts(queue), (Texts_t{L"c2", L"l2", L"l1"}));
    EXPECT_TRUE(loaded.IsEmpty());
}

TEST(ClipboardHistoryTexts, PreviewCaptionsByType)
{
    const std::wstring longText(300, L'w');
    struct Case
    {
        std::unique_ptr<CCHItem> item;
        int maxChars;
        std::wstring expected;
    };
    std::vector<Case> cases;
    cases.push_back({TextItem(L"short"), 0, L"short"});
    cases.push_back({TextItem(longText.c_str()), 10, std::wstring(10, L'w')});
    cases.push_back({TextItem(longText.c_str()), 0, std::wstring(200, L'w')});
    cases.push_back({BytesItem(CHT_ANSI_TEXT, "0123456789abc"), 10, L"0123456789& "});
    cases.push_back({BitmapItem(0), 0, L"Bitmap"});
    cases.push_back({BytesItem(CHT_OVELLINE, "clip"), 0, L"Ovelline Document Data"});
    cases.push_back({BytesItem(9, "odd"), 0, L"O-o-ops! Naxer!"});
    auto rtfWithText = BytesItem(CHT_RTF, "{\\rtf1 formatted}");
    rtfWithText->AddPart(TextItem(L"plain part").release());
    cases.push_back({std::move(rtfWithText), 0, L"plain part"});
    cases.push_back({BytesItem(CHT_RTF, "{\\rtf1\\ansi {\\b Bold} words}"), 0, L"Bold words"});

    for (const Case& c : cases) {
        std::wstring preview = GetItemPreviewText(*c.item, c.maxChars).GetString();
        while (!preview.empty() && (preview.back() == L'\r' || preview.back() == L'\n'))
            preview.pop_back();
        EXPECT_EQ(preview, c.expected) << "type " << c.item->GetType();
    }

    std::wstring words;
    for (int i = 0; i < 40; ++i)
        words += L"word ";
    auto item = TextItem(words.c_str());
    const std::wstring caption = GetItemMenuCaption(*item).GetString();
    EXPECT_LE(caption.size(), 100u);
    EXPECT_EQ(caption.back(), L'\x2026');
    EXPECT_EQ(GetItemMenuLine(*TextItem(longText.c_str())).GetLength(), 150);
}
