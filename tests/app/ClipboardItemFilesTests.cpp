// test-locks: sharedlog clipboard
#include "app/ClipboardItemFiles.h"
#include "app/TempFiles.h"
#include "app/TrayClipboardHistory.h"

#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardBitmaps.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace
{
std::unique_ptr<CCHItem> BytesItem(int type, const char* bytes, size_t size)
{
    auto item = std::make_unique<CCHItem>(type, nullptr);
    item->SetDataCopy(bytes, static_cast<unsigned>(size));
    return item;
}

HBITMAP SmallDib()
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap)
        std::memset(bits, 0x5A, 3 * 2 * 4);
    return bitmap;
}
} // namespace

TEST(ClipboardItemFiles, EachTypeIsWrittenAsItsFileAndTempFilesGoAtExit)
{
    scvtest::TempFolder folder;
    auto unicode = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, nullptr);
    unicode->SetUnicodeText(L"h\u00E9");
    struct Case
    {
        std::unique_ptr<CCHItem> item;
        std::string bytes;
    };
    Case cases[] = {
        {BytesItem(CHT_ANSI_TEXT, "ansi\0tail", 10), "ansi"},
        {std::move(unicode), std::string("\xFF\xFEh\0\xE9\0", 6)},
        {BytesItem(CHT_RTF, "{\\rtf1 x}", 10), "{\\rtf1 x}"},
        {BytesItem(CHT_OVELLINE, "\x01\x00\x02", 3), std::string("\x01\x00\x02", 3)},
        {BytesItem(CHT_HTML, "<p>\0", 4), std::string("<p>\0", 4)},
    };
    int n = 0;
    for (Case& c : cases) {
        const std::wstring path = folder.PathOf(L"item" + std::to_wstring(n++));
        ASSERT_TRUE(SaveClipboardItemToFile(*c.item, path.c_str())) << n;
        EXPECT_EQ(folder.ReadBytes(path).value_or("<none>"), c.bytes) << n;
    }

    auto bitmap = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
    bitmap->SetBitmap(SmallDib());
    CString temp;
    ASSERT_TRUE(SaveClipboardItemToTempFile(*bitmap, temp, folder.Path().c_str()));
    EXPECT_EQ(std::wstring(temp.Right(4).GetString()), L".bmp");
    HANDLE loaded = ::LoadImageW(nullptr, temp, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(BitmapsEqual(static_cast<HBITMAP>(loaded), bitmap->GetBitmap()));
    ::DeleteObject(loaded);

    // A clip opens nothing; a bad index is refused; an unknown type writes nothing.
    CCHQueue queue;
    std::unique_ptr<CCHItem> clip = BytesItem(CHT_OVELLINE, "c", 1);
    queue.Add(clip, 10);
    CString opened;
    EXPECT_TRUE(OpenClipboardItemInTempFile(queue, 0, nullptr, true, &opened, folder.Path().c_str()));
    EXPECT_TRUE(opened.IsEmpty());
    EXPECT_FALSE(OpenClipboardItemInTempFile(queue, 1, nullptr, true, &opened, folder.Path().c_str()));
    EXPECT_FALSE(SaveClipboardItemToFile(*BytesItem(9, "x", 1), folder.PathOf(L"odd").c_str()));
    EXPECT_FALSE(folder.Exists(L"odd"));

    EXPECT_GE(DeleteTempFilesOnExit(), 1);
    EXPECT_EQ(::GetFileAttributesW(temp), INVALID_FILE_ATTRIBUTES);
}

TEST(TrayClipboardHistory, FillsTheTrayPopupAndPutsTheChosenItemOnTheClipboard)
{
    CTrayClipboardHistory history;
    for (const wchar_t* text : {L"older", L"newer"}) {
        auto item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, nullptr);
        item->SetUnicodeText(text);
        ASSERT_TRUE(history.GetQueue().Add(item, 30));
    }
    HMENU popup = ::CreatePopupMenu();
    ASSERT_EQ(history.AppendHistoryToTrayMenu(popup), 2);
    wchar_t caption[32] = {};
    ::GetMenuStringW(popup, kTrayHistoryFirstId + 1, caption, 32, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(caption), L" older");
    EXPECT_EQ(history.GetMenuHistory().GetHistoryCount(), 2);
    ASSERT_NE(history.GetMenuHistory().GetHistoryItem(1), nullptr);
    EXPECT_EQ(std::wstring(history.GetMenuHistory().GetHistoryItem(1)->GetMenuLine().GetString()), L"older");

    EXPECT_FALSE(history.RunTrayHistoryCommand(33999));
    ASSERT_TRUE(history.RunTrayHistoryCommand(kTrayHistoryFirstId + 1));
    CString text;
    ASSERT_TRUE(GetClipboardUnicodeText(text));
    EXPECT_EQ(std::wstring(text.GetString()), L"older");

    history.RemoveHistoryFromTrayMenu(popup);
    EXPECT_EQ(::GetMenuItemCount(popup), 1);
    ::DestroyMenu(popup);
}
