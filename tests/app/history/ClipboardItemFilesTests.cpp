// test-locks: sharedlog clipboard
#include "app/history/ClipboardItemFiles.h"
#include "app/history/TempFiles.h"
#include "app/history/TrayClipboardHistory.h"

#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardBitmaps.h"
#include "engine/ClipboardHistoryFiles.h"

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
    // An item without a file type opens nothing and leaves no file behind.
    std::unique_ptr<CCHItem> page = BytesItem(CHT_HTML, "<p>page</p>", 12);
    queue.Add(page, 10);
    const auto countFiles = [&] {
        WIN32_FIND_DATAW found{};
        int files = 0;
        HANDLE search = ::FindFirstFileW((folder.Path() + L"\\*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &found))
            files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
        if (search != INVALID_HANDLE_VALUE)
            ::FindClose(search);
        return files;
    };
    const int filesBefore = countFiles();
    EXPECT_FALSE(OpenClipboardItemInTempFile(queue, 0, nullptr, true, &opened, folder.Path().c_str()));
    EXPECT_FALSE(OpenClipboardItemInTempFile(queue, 0, nullptr, false, &opened, folder.Path().c_str()));
    EXPECT_TRUE(opened.IsEmpty());
    EXPECT_EQ(countFiles(), filesBefore);
    EXPECT_FALSE(SaveClipboardItemToFile(*BytesItem(9, "x", 1), folder.PathOf(L"odd").c_str()));
    EXPECT_FALSE(folder.Exists(L"odd"));

    EXPECT_GE(DeleteTempFilesOnExit(), 1);
    EXPECT_EQ(::GetFileAttributesW(temp), INVALID_FILE_ATTRIBUTES);
}

TEST(ClipboardItemFiles, AHistoryItemSavedToAFileGetsItsDescriptorBeside)
{
    scvtest::TempFolder folder;
    auto item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, nullptr);
    item->SetUnicodeText(L"saved text");
    item->SetUrl(L"https://example.com/page");
    item->GetOwnerInfo().windowTitle = L"Notes - Editor";
    item->GetOwnerInfo().exePath = L"C:\\Programs\\editor.exe";
    item->SetProtectedFlag(true);

    // Not (yet) part of the saved history: the file alone.
    const std::wstring loose = folder.PathOf(L"loose.txt");
    ASSERT_TRUE(SaveClipboardItemToFile(*item, loose.c_str()));
    EXPECT_FALSE(folder.Exists(L"loose.info"));

    item->SetDescriptorPath(L"C:\\history\\scrivolanter_cb1.info");
    const std::wstring path = folder.PathOf(L"chosen.name.txt");
    ASSERT_TRUE(SaveClipboardItemToFile(*item, path.c_str()));
    const CString descriptor = GetClipboardItemDescriptorPath(path.c_str());
    EXPECT_EQ(std::wstring(descriptor.GetString()), folder.PathOf(L"chosen.name.info"));
    ClipboardHistoryDescriptor record;
    ASSERT_TRUE(ReadDescriptor(descriptor, record));
    EXPECT_EQ(record.dataType, CHT_UNICODE_TEXT);
    EXPECT_TRUE(record.isProtected);
    EXPECT_EQ(record.wndName, L"Notes - Editor");
    EXPECT_EQ(record.exeName, L"C:\\Programs\\editor.exe");
    EXPECT_EQ(record.url, L"https://example.com/page");
    ASSERT_EQ(record.files.size(), 1u);
    EXPECT_EQ(record.files[0], L"chosen.name.txt");
    // The pair loads back as the item it came from.
    CCHQueue loaded;
    ASSERT_TRUE(LoadFolder(loaded, folder.Path().c_str()));
    ASSERT_EQ(loaded.GetCount(), 1);
    EXPECT_EQ(loaded.GetItem(0)->GetWideText(), L"saved text");
    EXPECT_EQ(loaded.GetItem(0)->GetUrl(), L"https://example.com/page");

    // A file the user names "*.info" is not overwritten by its own descriptor.
    const std::wstring info = folder.PathOf(L"text.info");
    ASSERT_TRUE(SaveClipboardItemToFile(*item, info.c_str()));
    EXPECT_EQ(folder.ReadBytes(info).value_or("<none>"),
              std::string("\xFF\xFEs\0a\0v\0e\0d\0 \0t\0e\0x\0t\0", 22));
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
