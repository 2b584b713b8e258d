// test-locks: sharedlog

#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardBitmaps.h"
#include "engine/ClipboardHistoryFiles.h"

#include "common/IniFile.h"
#include "common/SharedLog.h"

#include "HistoryTestBitmaps.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
const SYSTEMTIME kCaptureTime = {2025, 11, 0, 20, 8, 15, 42, 500};

std::unique_ptr<CCHItem> BytesItem(int type, const std::string& bytes)
{
    auto item = std::make_unique<CCHItem>(type, nullptr);
    item->SetDataCopy(bytes.c_str(), static_cast<unsigned>(bytes.size() + 1));
    item->SetTime(kCaptureTime);
    return item;
}

std::unique_ptr<CCHItem> UnicodeItem(const wchar_t* text)
{
    auto item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, nullptr);
    item->SetUnicodeText(text);
    item->SetTime(kCaptureTime);
    return item;
}

HBITMAP StripedBitmap()
{
    return MakeTestDib(5, 3, 0x000040FF, 0x00FF8000);
}

std::wstring Str(const CString& text)
{
    return text.GetString();
}

std::wstring NameOf(const CString& path)
{
    const std::wstring full = path.GetString();
    return full.substr(full.find_last_of(L'\\') + 1);
}

std::wstring IniValue(const std::wstring& file, const wchar_t* key)
{
    CString value;
    IniReadString(file.c_str(), L"Files", key, value);
    return value.GetString();
}

bool IsReadOnly(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Saves the item into the folder and loads the folder into a new queue.
std::unique_ptr<CCHQueue> SaveAndLoad(CCHItem& item, const scvtest::TempFolder& folder)
{
    EXPECT_TRUE(SaveItem(item, folder.Path().c_str()));
    auto queue = std::make_unique<CCHQueue>();
    EXPECT_TRUE(LoadFolder(*queue, folder.Path().c_str()));
    return queue;
}

std::wstring CreateDescriptor(const scvtest::TempFolder& folder, const wchar_t* name,
                              const std::vector<std::pair<const wchar_t*, const wchar_t*>>& keys)
{
    const std::wstring path = folder.WriteUtf16(name, L"[Files]\r\n");
    for (const auto& [key, value] : keys)
        IniWriteString(path.c_str(), L"Files", key, value);
    return path;
}
} // namespace

TEST(ClipboardHistoryFiles, TextTypesRoundTripWithTheirFilesAndTimes)
{
    struct Case
    {
        int type;
        std::string bytes;
        const wchar_t* fileName;
    };
    const std::vector<Case> cases = {
        {CHT_ANSI_TEXT, "plain \xE9t\xE9", L"clipboard_history1.txt"},
        {CHT_RTF, "{\\rtf1\\ansi {\\b bold}}", L"clipboard_history1.rtf"},
        {CHT_HTML, "Version:0.9\r\nSourceURL:http://x/\r\n<b>x</b>", L"clipboard_history1.html"},
        {CHT_OVELLINE, std::string("ovl\x01\x02", 5), L"clipboard_history1.ovl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        scvtest::TempFolder folder;
        auto item = BytesItem(c.type, c.bytes);
        item->SetUrl(L"http://example.invalid/page");
        item->GetOwnerInfo().windowTitle = L"Source window";
        item->GetOwnerInfo().exePath = L"C:\\Apps\\source.exe";
        auto queue = SaveAndLoad(*item, folder);

        EXPECT_EQ(NameOf(item->GetDataFilePath()), c.fileName);
        EXPECT_EQ(NameOf(item->GetDescriptorPath()), L"scrivolanter_cb1.info");
        EXPECT_EQ(IniValue(folder.PathOf(L"scrivolanter_cb1.info"), L"File0"), c.fileName);
        EXPECT_EQ(IniValue(folder.PathOf(L"scrivolanter_cb1.info"), L"DataType"), std::to_wstring(c.type));
        EXPECT_EQ(scvtest::ReadFileBytes(folder.PathOf(c.fileName)), c.bytes + std::string(1, '\0'));

        ASSERT_EQ(queue->GetCount(), 1);
        const CCHItem& loaded = *queue->GetItem(0);
        EXPECT_EQ(loaded.GetType(), c.type);
        EXPECT_EQ(loaded.GetByteText(), c.bytes.substr(0, c.bytes.find('\0')));
        EXPECT_EQ(loaded.GetSize(), c.bytes.size() + 1);
        EXPECT_EQ(std::memcmp(loaded.GetData(), c.bytes.data(), c.bytes.size()), 0);
        EXPECT_EQ(loaded.GetFileState(), 1);
        EXPECT_EQ(Str(loaded.GetDescriptorPath()), folder.PathOf(L"scrivolanter_cb1.info"));
        EXPECT_EQ(Str(loaded.GetUrl()), L"http://example.invalid/page");
        EXPECT_EQ(Str(loaded.GetOwnerInfo().windowTitle), L"Source window");
        EXPECT_EQ(Str(loaded.GetOwnerInfo().exePath), L"C:\\Apps\\source.exe");
        EXPECT_EQ(CompareCaptureTimes(loaded.GetTime(), kCaptureTime), 0);
        EXPECT_FALSE(loaded.IsProtected());
    }
}

TEST(ClipboardHistoryFiles, UnicodeTextKeepsItsMarkOutOfTheDataAndTakesFreeNumbers)
{
    scvtest::TempFolder folder;
    folder.WriteBytes(L"Unicode_clipboard_history1.txt", "taken");
    const std::wstring taken = CreateDescriptor(folder, L"scrivolanter_cb1.info", {});

    auto item = UnicodeItem(L"Zeile \x00FC\x20AC");
    ASSERT_TRUE(SaveItem(*item, folder.Path().c_str()));
    EXPECT_EQ(NameOf(item->GetDataFilePath()), L"Unicode_clipboard_history2.txt");
    EXPECT_EQ(NameOf(item->GetDescriptorPath()), L"scrivolanter_cb2.info");

    const auto bytes = scvtest::ReadFileBytes(folder.PathOf(L"Unicode_clipboard_history2.txt"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(bytes->size(), 2 + item->GetSize());

    std::unique_ptr<CCHItem> loaded = LoadItemFile(item->GetDataFilePath(), item->GetDescriptorPath());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetType(), CHT_UNICODE_TEXT);
    EXPECT_EQ(Str(loaded->GetWideText()), L"Zeile \x00FC\x20AC");
    EXPECT_EQ(loaded->GetSize(), item->GetSize());
}

TEST(ClipboardHistoryFiles, OneSaveRunTakesTheSameFreeNumbersWithoutCountingFromOne)
{
    scvtest::TempFolder folder;
    folder.WriteBytes(L"Unicode_clipboard_history1.txt", "taken");
    folder.WriteBytes(L"Unicode_clipboard_history3.txt", "taken");
    CHistoryFileNumbers numbers;
    std::vector<std::wstring> names;
    for (const wchar_t* text : {L"one", L"two", L"three"}) {
        auto item = UnicodeItem(text);
        ASSERT_TRUE(SaveItem(*item, folder.Path().c_str(), &numbers));
        names.push_back(NameOf(item->GetDataFilePath()) + L" " + NameOf(item->GetDescriptorPath()));
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Unicode_clipboard_history2.txt scrivolanter_cb1.info",
                                                L"Unicode_clipboard_history4.txt scrivolanter_cb2.info",
                                                L"Unicode_clipboard_history5.txt scrivolanter_cb3.info"}));
    // Without the run's numbers the search starts at 1 again: a freed name is taken.
    ::DeleteFileW(folder.PathOf(L"Unicode_clipboard_history1.txt").c_str());
    auto item = UnicodeItem(L"four");
    ASSERT_TRUE(SaveItem(*item, folder.Path().c_str()));
    EXPECT_EQ(NameOf(item->GetDataFilePath()), L"Unicode_clipboard_history1.txt");

    CCHQueue loaded;
    ASSERT_TRUE(LoadFolder(loaded, folder.Path().c_str()));
    EXPECT_EQ(loaded.GetCount(), 4);
}

TEST(ClipboardHistoryFiles, RtfWithHtmlPartAndMetaInfoRoundTrip)
{
    scvtest::TempFolder folder;
    auto item = BytesItem(CHT_OVELLINE, "clip bytes");
    item->SetOvlMetaInfoText("<OVL_DATA PID=\"1\"/>");
    item->AddPart(BytesItem(CHT_RTF, "{\\rtf1 r}").release());
    item->AddPart(BytesItem(CHT_HTML, "<i>h</i>").release());
    auto queue = SaveAndLoad(*item, folder);

    const std::wstring descriptor = folder.PathOf(L"scrivolanter_cb1.info");
    EXPECT_EQ(IniValue(descriptor, L"File0"), L"clipboard_history1.ovl");
    EXPECT_EQ(IniValue(descriptor, L"File1"), L"clipboard_history1.rtf");
    EXPECT_EQ(IniValue(descriptor, L"File2"), L"clipboard_history1.html");
    EXPECT_EQ(IniValue(descriptor, L"OvlMetaInfo"), L"clipboard_history1_ovl_metainfo.xml");
    EXPECT_EQ(NameOf(item->GetParts()[1]->GetDataFilePath()), L"clipboard_history1.html");
    // The descriptor is UTF-16.
    EXPECT_EQ(scvtest::ReadFileBytes(descriptor)->substr(0, 2), "\xFF\xFE");

    ASSERT_EQ(queue->GetCount(), 1);
    CCHItem& loaded = *queue->GetItem(0);
    EXPECT_EQ(loaded.GetOvlMetaInfoText(), "<OVL_DATA PID=\"1\"/>");
    EXPECT_EQ(Str(loaded.GetFormatListText()), L"ovl, rtf, html");
    ASSERT_NE(loaded.FindHtmlPart(), nullptr);
    EXPECT_EQ(loaded.FindHtmlPart()->GetByteText(), "<i>h</i>");
    EXPECT_EQ(loaded.FindPart(CHT_RTF)->GetByteText(), "{\\rtf1 r}");
}

TEST(ClipboardHistoryFiles, BitmapRoundTripsAsBmpFile)
{
    scvtest::TempFolder folder;
    auto item = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
    item->SetBitmap(StripedBitmap());
    item->SetTime(kCaptureTime);
    auto queue = SaveAndLoad(*item, folder);

    EXPECT_EQ(NameOf(item->GetDataFilePath()), L"clipboard_history1.bmp");
    EXPECT_EQ(scvtest::ReadFileBytes(folder.PathOf(L"clipboard_history1.bmp"))->substr(0, 2), "BM");
    ASSERT_EQ(queue->GetCount(), 1);
    const CCHItem& loaded = *queue->GetItem(0);
    EXPECT_EQ(loaded.GetType(), CHT_BITMAP);
    EXPECT_EQ(loaded.GetSize(), 4u);
    EXPECT_TRUE(BitmapsEqual(loaded.GetBitmap(), item->GetBitmap()));
    EXPECT_EQ(CompareCaptureTimes(loaded.GetTime(), kCaptureTime), 0);
}

namespace
{
// A DIB section of `bits` per pixel (a grey palette below 16), top-down when `height` is negative,
// its pixel bytes numbered so that every row and its padding differ.
HBITMAP NumberedDib(int width, int height, WORD bits)
{
    struct
    {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = bits;
    for (int i = 0; i < 256; ++i)
        info.colours[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                        &pixels, nullptr, 0);
    if (!bitmap)
        return nullptr;
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const size_t rows = static_cast<size_t>(height < 0 ? -height : height);
    for (size_t i = 0; i < stride * rows; ++i)
        static_cast<BYTE*>(pixels)[i] = static_cast<BYTE>(i * 7 + i / stride);
    return bitmap;
}

// A device-dependent bitmap of the screen's depth with a drawn pattern.
HBITMAP DrawnScreenBitmap(int width, int height)
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HDC dc = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            ::SetPixel(dc, x, y, RGB(x * 40, y * 30, (x + y) * 20));
    }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}
} // namespace

// Every kind of bitmap the clipboard gives comes back with its pixels, whether its file was written
// straight from the section's memory or through GetDIBits, and the file is a .bmp the system's
// own loader reads to the same picture.
TEST(ClipboardHistoryFiles, BitmapsOfEveryKindRoundTripThroughTheirFiles)
{
    const struct
    {
        const char* name;
        HBITMAP (*make)();
    } cases[] = {
        {"32 bits, bottom-up", [] { return NumberedDib(5, 3, 32); }},
        {"24 bits, padded rows", [] { return NumberedDib(5, 3, 24); }},
        {"32 bits, top-down", [] { return NumberedDib(4, -3, 32); }},
        {"24 bits, top-down", [] { return NumberedDib(3, -4, 24); }},
        {"8 bits with a palette", [] { return NumberedDib(6, 2, 8); }},
        {"16 bits", [] { return NumberedDib(3, 3, 16); }},
        {"the screen's depth, drawn", [] { return DrawnScreenBitmap(6, 4); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        scvtest::TempFolder folder;
        auto item = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
        HBITMAP bitmap = c.make();
        ASSERT_NE(bitmap, nullptr);
        item->SetBitmap(bitmap);
        item->SetTime(kCaptureTime);
        auto queue = SaveAndLoad(*item, folder);
        ASSERT_EQ(queue->GetCount(), 1);
        const CCHItem& loaded = *queue->GetItem(0);
        EXPECT_TRUE(BitmapsEqual(loaded.GetBitmap(), item->GetBitmap()));
        EXPECT_EQ(CompareCaptureTimes(loaded.GetTime(), kCaptureTime), 0);

        HANDLE system = ::LoadImageW(nullptr, item->GetDataFilePath(), IMAGE_BITMAP, 0, 0,
                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        ASSERT_NE(system, nullptr);
        EXPECT_TRUE(BitmapsEqual(static_cast<HBITMAP>(system), item->GetBitmap()));
        ::DeleteObject(system);
    }
}

// The same content saved twice (an older and a newer copy) loads once: the newer copy stays, takes
// the older one's protection, and the older one's files are deleted, whichever was read first.
TEST(ClipboardHistoryFiles, ContentSavedTwiceLoadsOnceAsTheNewerCopy)
{
    SYSTEMTIME older = kCaptureTime;
    SYSTEMTIME newer = kCaptureTime;
    newer.wMinute += 1;
    for (const bool newerFirst : {false, true}) {
        SCOPED_TRACE(newerFirst ? "newer saved first" : "older saved first");
        scvtest::TempFolder folder;
        std::vector<std::unique_ptr<CCHItem>> items;
        for (const SYSTEMTIME& time : newerFirst ? std::vector<SYSTEMTIME>{newer, older}
                                                 : std::vector<SYSTEMTIME>{older, newer}) {
            auto text = UnicodeItem(L"the same text");
            text->SetTime(time);
            text->SetProtectedFlag(CompareCaptureTimes(time, older) == 0);
            auto picture = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
            picture->SetBitmap(StripedBitmap());
            picture->SetTime(time);
            items.push_back(std::move(text));
            items.push_back(std::move(picture));
        }
        auto another = UnicodeItem(L"another text");
        SYSTEMTIME between = older;
        between.wSecond += 1;
        another->SetTime(between);
        items.push_back(std::move(another));
        for (auto& item : items)
            ASSERT_TRUE(SaveItem(*item, folder.Path().c_str()));

        CCHQueue queue;
        ASSERT_TRUE(LoadFolder(queue, folder.Path().c_str()));
        ASSERT_EQ(queue.GetCount(), 3);
        int newerCopies = 0;
        for (int index = 0; index < queue.GetCount(); ++index) {
            const CCHItem& loaded = *queue.GetItem(index);
            if (loaded.GetType() == CHT_UNICODE_TEXT && Str(loaded.GetWideText()) == L"another text")
                continue;
            EXPECT_EQ(CompareCaptureTimes(loaded.GetTime(), newer), 0);
            if (loaded.GetType() == CHT_UNICODE_TEXT) {
                EXPECT_TRUE(loaded.IsProtected()) << "the older copy's protection is kept";
            }
            ++newerCopies;
        }
        EXPECT_EQ(newerCopies, 2);
        for (const auto& item : items) {
            const bool isOlder = CompareCaptureTimes(item->GetTime(), older) == 0;
            EXPECT_EQ(scvtest::FileExists(item->GetDescriptorPath().GetString()), !isOlder);
            EXPECT_EQ(scvtest::FileExists(item->GetDataFilePath().GetString()), !isOlder);
        }
        CCHQueue again;
        ASSERT_TRUE(LoadFolder(again, folder.Path().c_str()));
        EXPECT_EQ(again.GetCount(), 3);
    }
}

TEST(ClipboardHistoryFiles, ProtectedItemsAreReadOnlyOnDiskAndLoadProtected)
{
    scvtest::TempFolder folder;
    auto item = UnicodeItem(L"keep me");
    EXPECT_EQ(item->SetProtected(true), 2); // not on disk yet
    auto queue = SaveAndLoad(*item, folder);
    const std::wstring data = item->GetDataFilePath().GetString();
    const std::wstring descriptor = item->GetDescriptorPath().GetString();
    EXPECT_TRUE(IsReadOnly(data));
    EXPECT_FALSE(IsReadOnly(descriptor));
    EXPECT_EQ(IniValue(descriptor, L"Protected"), L"1");

    ASSERT_EQ(queue->GetCount(), 1);
    CCHItem& loaded = *queue->GetItem(0);
    EXPECT_TRUE(loaded.IsProtected());

    EXPECT_EQ(loaded.SetProtected(false), 1);
    EXPECT_FALSE(IsReadOnly(data));
    EXPECT_EQ(IniValue(descriptor, L"Protected"), L"0");
    EXPECT_EQ(loaded.SetProtected(false), 0);
    EXPECT_EQ(loaded.SetProtected(true), 1);
    EXPECT_TRUE(IsReadOnly(data));
    EXPECT_EQ(IniValue(descriptor, L"Protected"), L"1");

    // A data file made read-only outside the program loads as protected.
    scvtest::TempFolder other;
    auto plain = UnicodeItem(L"plain");
    ASSERT_TRUE(SaveItem(*plain, other.Path().c_str()));
    EXPECT_EQ(IniValue(plain->GetDescriptorPath().GetString(), L"Protected"), L"0");
    ::SetFileAttributesW(plain->GetDataFilePath(), FILE_ATTRIBUTE_READONLY);
    CCHQueue reloaded;
    ASSERT_TRUE(LoadFolder(reloaded, other.Path().c_str()));
    ASSERT_EQ(reloaded.GetCount(), 1);
    EXPECT_TRUE(reloaded.GetItem(0)->IsProtected());

    // Removing the item deletes its read-only files.
    EXPECT_EQ(DeleteItemFiles(*reloaded.GetItem(0)), 2);
    EXPECT_EQ(reloaded.GetItem(0)->GetFileState(), 0);
}

TEST(ClipboardHistoryFiles, BadDescriptorsAndDataFilesAreSkippedWithALogLine)
{
    scvtest::TempFolder logFolder;
    const std::wstring log = logFolder.PathOf(L"Log.txt");
    ASSERT_TRUE(LogOpen(log.c_str()));

    scvtest::TempFolder outside;
    scvtest::TempFolder folder;
    folder.WriteUtf16(L"Unicode_clipboard_history1.txt", L"good");
    CreateDescriptor(folder, L"scrivolanter_cb1.info", {{L"File0", L"Unicode_clipboard_history1.txt"}});
    CreateDescriptor(folder, L"scrivolanter_cb2.info", {{L"File0", L"gone.txt"}});
    CreateDescriptor(folder, L"scrivolanter_cb3.info", {{L"DataType", L"1"}});
    outside.WriteUtf16(L"secret.txt", L"outside");
    const std::wstring escape =
        L"..\\" + outside.Path().substr(outside.Path().find_last_of(L'\\') + 1) + L"\\secret.txt";
    CreateDescriptor(folder, L"scrivolanter_cb4.info", {{L"File0", escape.c_str()}});
    folder.WriteBytes(L"empty.rtf", "");
    CreateDescriptor(folder, L"scrivolanter_cb5.info", {{L"File0", L"empty.rtf"}});
    folder.WriteBytes(L"main.rtf", "{\\rtf1 m}");
    folder.WriteBytes(L"skipped.html", "<p>");
    CreateDescriptor(
        folder, L"scrivolanter_cb6.info",
        {{L"File0", L"main.rtf"}, {L"File2", L"skipped.html"}, {L"OvlMetaInfo", L"missing.xml"}});
    folder.WriteBytes(L"bad.bmp", "BMnot really a bitmap");
    CreateDescriptor(folder, L"scrivolanter_cb7.info", {{L"File0", L"bad.bmp"}, {L"File1", L"gone.html"}});
    folder.WriteBytes(L"notes.txt.info.bak", "not a descriptor");
    // A device name would open a port and block the reader.
    CreateDescriptor(folder, L"scrivolanter_cb8.info", {{L"File0", L"AUX.txt"}});
    CreateDescriptor(folder, L"scrivolanter_cb9.info", {{L"File0", L"com1"}});

    CCHQueue queue;
    ASSERT_TRUE(LoadFolder(queue, folder.Path().c_str()));
    ASSERT_TRUE(WaitForPendingLogEntries(5000));
    LogClose();

    ASSERT_EQ(queue.GetCount(), 2);
    std::vector<std::wstring> kinds;
    for (int i = 0; i < queue.GetCount(); ++i)
        kinds.push_back(Str(queue.GetItem(i)->GetFormatListText()));
    std::sort(kinds.begin(), kinds.end());
    EXPECT_EQ(kinds, (std::vector<std::wstring>{L"rtf", L"txt"}));
    for (int i = 0; i < queue.GetCount(); ++i) {
        EXPECT_TRUE(queue.GetItem(i)->GetParts().empty());
        EXPECT_FALSE(queue.GetItem(i)->HasOvlMetaInfo());
    }

    const std::wstring text = scvtest::ReadFileText(log).value_or(L"");
    for (const wchar_t* name : {L"scrivolanter_cb2.info", L"scrivolanter_cb3.info", L"scrivolanter_cb4.info",
                                L"scrivolanter_cb5.info", L"scrivolanter_cb7.info", L"scrivolanter_cb8.info",
                                L"scrivolanter_cb9.info"})
        EXPECT_NE(text.find(name), std::wstring::npos) << name;
    EXPECT_NE(text.find(L"Clipboard history: "), std::wstring::npos);
    EXPECT_EQ(text.find(L"scrivolanter_cb1.info"), std::wstring::npos);
    EXPECT_NE(text.find(L"unsafe file name"), std::wstring::npos);

    // A missing folder is created; an unusable one loads nothing.
    CCHQueue none;
    EXPECT_TRUE(LoadFolder(none, (folder.Path() + L"\\new").c_str()));
    EXPECT_TRUE(folder.Exists(L"new"));
    EXPECT_FALSE(LoadFolder(none, folder.PathOf(L"main.rtf").c_str()));
    EXPECT_FALSE(LoadFolder(none, CString()));
}

TEST(ClipboardHistoryFiles, ResavingReplacesTheDescriptorAndAFailedSaveKeepsTheOldItem)
{
    scvtest::TempFolder folder;
    auto item = UnicodeItem(L"version one");
    ASSERT_TRUE(SaveItem(*item, folder.Path().c_str()));
    const std::wstring descriptor = item->GetDescriptorPath().GetString();
    const std::wstring firstData = item->GetDataFilePath().GetString();

    // The text changes and the item is saved again under its descriptor.
    item->SetUnicodeText(L"version two");
    item->SetFileInfo(0, CString());
    ASSERT_TRUE(SaveItem(*item, folder.Path().c_str()));
    EXPECT_EQ(Str(item->GetDescriptorPath()), descriptor);
    EXPECT_FALSE(scvtest::FileExists(firstData));
    CCHQueue queue;
    ASSERT_TRUE(LoadFolder(queue, folder.Path().c_str()));
    ASSERT_EQ(queue.GetCount(), 1);
    EXPECT_EQ(Str(queue.GetItem(0)->GetWideText()), L"version two");

    // A save that cannot write its data leaves what is on disk alone.
    const std::wstring secondData = item->GetDataFilePath().GetString();
    item->SetData(nullptr, 0);
    EXPECT_FALSE(SaveItem(*item, folder.Path().c_str()));
    EXPECT_EQ(Str(item->GetDescriptorPath()), descriptor);
    EXPECT_TRUE(scvtest::FileExists(descriptor));
    EXPECT_TRUE(scvtest::FileExists(secondData));
    CCHQueue again;
    ASSERT_TRUE(LoadFolder(again, folder.Path().c_str()));
    ASSERT_EQ(again.GetCount(), 1);
    EXPECT_EQ(Str(again.GetItem(0)->GetWideText()), L"version two");

    WIN32_FIND_DATAW found = {};
    HANDLE find = ::FindFirstFileW((folder.Path() + L"\\*.tmp").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "a temporary descriptor was left behind";
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    EXPECT_FALSE(SaveItem(*UnicodeItem(L"x"), CString()));
}
