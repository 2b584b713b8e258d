// test-locks: clipboard
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardBitmaps.h"
#include "engine/ClipboardSaver.h"
#include "engine/ClipboardSnapshot.h"

#include "common/GdiObjectGuards.h"
#include "common/KernelHandle.h"
#include "support/ChildMain.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Bytes = std::string;

struct Sample
{
    UINT format;
    Bytes bytes;
};

Bytes WideBytes(const wchar_t* text)
{
    return Bytes(reinterpret_cast<const char*>(text), (std::wcslen(text) + 1) * sizeof(wchar_t));
}

// A 3 x 2 pixel, 24-bit DIB (rows padded to 12 bytes).
Bytes SampleDib()
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = 3;
    header.biHeight = 2;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = 24;
    Bytes dib(reinterpret_cast<const char*>(&header), sizeof(header));
    for (int i = 0; i < 24; ++i)
        dib.push_back(static_cast<char>(i * 11 + 1));
    return dib;
}

UINT BinaryFormat()
{
    return ::RegisterClipboardFormatW(L"ScvTest Binary Format");
}

// The formats of the tests, in the order they are put on the clipboard.
std::vector<Sample> SampleFormats()
{
    const char html[] =
        "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000170\r\nStartFragment:00000131\r\n"
        "EndFragment:00000134\r\n<html><body><!--StartFragment-->\xc3\xa9t\xc3\xa9<!--EndFragment-->"
        "</body></html>";
    const char rtf[] = "{\\rtf1\\ansi\\ansicpg1251 {\\b \\'cf\\'f0\\u1080?}}";
    return {
        {GetHtmlClipboardFormat(), Bytes(html, sizeof(html))},
        {CF_UNICODETEXT, WideBytes(L"Gr\u00fc\u00dfe \u041f\u0440\u0438\u0432\u0435\u0442 \U0001F600")},
        {GetRtfClipboardFormat(), Bytes(rtf, sizeof(rtf))},
        {CF_DIB, SampleDib()},
        {BinaryFormat(), Bytes("\x00\xff\x01\x00\x80 binary\x00", 13)},
    };
}

bool PutInOrder(const std::vector<Sample>& samples)
{
    if (!::OpenClipboard(nullptr))
        return false;
    ::EmptyClipboard();
    bool all = true;
    for (const Sample& sample : samples)
        all = PutClipboardBlock(sample.format, sample.bytes.data(), sample.bytes.size()) && all;
    ::CloseClipboard();
    return all;
}

// The clipboard's bytes of one format; nullopt-like empty marker when absent.
bool ReadFormat(UINT format, Bytes& bytes)
{
    bytes.clear();
    if (!::OpenClipboard(nullptr))
        return false;
    bool found = false;
    if (HANDLE data = ::GetClipboardData(format)) {
        const SIZE_T size = ::GlobalSize(data);
        if (const void* p = ::GlobalLock(data)) {
            bytes.assign(static_cast<const char*>(p), size);
            ::GlobalUnlock(data);
            found = true;
        }
    }
    ::CloseClipboard();
    return found;
}

std::vector<UINT> ListFormats()
{
    std::vector<UINT> formats;
    if (!::OpenClipboard(nullptr))
        return formats;
    for (UINT format = ::EnumClipboardFormats(0); format != 0; format = ::EnumClipboardFormats(format))
        formats.push_back(format);
    ::CloseClipboard();
    return formats;
}

// Where each sample's format stands in the clipboard's list.
std::vector<size_t> PositionsOf(const std::vector<Sample>& samples)
{
    const std::vector<UINT> formats = ListFormats();
    std::vector<size_t> positions;
    for (const Sample& sample : samples)
        positions.push_back(std::find(formats.begin(), formats.end(), sample.format) - formats.begin());
    return positions;
}

void ExpectSamplesOnClipboard(const std::vector<Sample>& samples)
{
    for (const Sample& sample : samples) {
        Bytes bytes;
        EXPECT_TRUE(ReadFormat(sample.format, bytes)) << "format " << sample.format;
        EXPECT_EQ(bytes, sample.bytes) << "format " << sample.format;
    }
}

CString ClipboardText()
{
    CString text;
    GetClipboardUnicodeText(text);
    return text;
}

void EmptyTheClipboard()
{
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
}

// Holds the clipboard open from a window of another thread until it ends.
class ClipboardHolder
{
public:
    ClipboardHolder()
    {
        m_thread = std::thread([this] {
            const HWND window =
                ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
            const bool opened = window && ::OpenClipboard(window);
            {
                std::unique_lock lock(m_mutex);
                m_opened = opened;
                m_ready = true;
                m_changed.notify_all();
                m_changed.wait(lock, [this] { return m_release; });
            }
            if (opened)
                ::CloseClipboard();
            if (window)
                ::DestroyWindow(window);
        });
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_ready; });
    }
    ~ClipboardHolder()
    {
        {
            std::lock_guard lock(m_mutex);
            m_release = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    bool Opened() const { return m_opened; }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_ready = false;
    bool m_release = false;
    bool m_opened = false;
    std::thread m_thread;
};

// A device-dependent bitmap of the screen's format with a pixel pattern, as
// applications put on the clipboard.
HBITMAP MakeScreenBitmap(int width, int height)
{
    WindowDC screen;
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen.get(), width, height);
    if (!bitmap)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<DWORD>((i * 0x1F3A5B) & 0xFFFFFF);
    ::SetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    return bitmap;
}

// A top-down 24-bit DIB section filled with a pattern; `tweak` changes one byte.
HBITMAP MakeBitmap(int width, int height, int tweak = -1, WORD bits = 24)
{
    struct
    {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = bits;
    info.header.biCompression = BI_RGB;
    for (int i = 0; i < 256; ++i)
        info.colours[i] =
            RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                        &pixels, nullptr, 0);
    if (!bitmap)
        return nullptr;
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) & ~static_cast<size_t>(31)) / 8;
    auto* bytes = static_cast<BYTE*>(pixels);
    for (size_t i = 0; i < stride * height; ++i)
        bytes[i] = static_cast<BYTE>(i * 7 + 3);
    if (tweak >= 0)
        bytes[tweak] ^= 0x01;
    ::GdiFlush();
    return bitmap;
}

// --- The snapshot ------------------------------------------------------------------

// The samples' indexes in the order the clipboard lists them.
std::vector<size_t> ListedOrder(const std::vector<Sample>& samples)
{
    const std::vector<size_t> positions = PositionsOf(samples);
    std::vector<size_t> order(samples.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return positions[a] < positions[b]; });
    return order;
}

TEST(ClipboardSnapshot, RestoresTextUnicodeRtfHtmlDibAndPrivateDataByteForByteNewestFirst)
{
    const std::vector<Sample> samples = SampleFormats();
    ASSERT_TRUE(PutInOrder(samples));
    std::vector<size_t> reversedOrder = ListedOrder(samples);
    std::reverse(reversedOrder.begin(), reversedOrder.end());

    CClipboardSnapshot snapshot;
    ASSERT_FALSE(snapshot.IsEmpty());
    for (const CClipboardSnapshot::Entry& entry : snapshot.GetEntries())
        EXPECT_TRUE(CClipboardSnapshot::IsCopyableFormat(entry.format)) << entry.format;
    const auto binary = std::find_if(snapshot.GetEntries().begin(), snapshot.GetEntries().end(),
                                     [](const auto& entry) { return entry.format == BinaryFormat(); });
    ASSERT_NE(binary, snapshot.GetEntries().end());
    EXPECT_STREQ(binary->name, L"ScvTest Binary Format");

    ASSERT_TRUE(PutClipboardUnicodeText(L"the program's own text"));
    ASSERT_EQ(snapshot.Restore(), 1);
    ExpectSamplesOnClipboard(samples);
    EXPECT_EQ(ListedOrder(samples), reversedOrder) << "X, Y, Z come back as Z, Y, X";
    // The text formats the system made from the Unicode text are back as well.
    Bytes ansi;
    EXPECT_TRUE(ReadFormat(CF_TEXT, ansi));
    EXPECT_EQ(ansi.substr(0, 6), Bytes("Gr\xfc\xdf"
                                       "e "));
}

// What a target pastes from a put-back clipboard does not hang on the order: a rich edit takes the
// RTF, a plain edit the Unicode text, however the formats were listed when they were saved.
TEST(ClipboardSnapshot, TargetsPasteTheirFormatFromAPutBackClipboardInEitherOrder)
{
    ::LoadLibraryW(L"riched20.dll");
    const char rtf[] = "{\\rtf1\\ansi {\\b rich}}";
    const Sample rich{GetRtfClipboardFormat(), Bytes(rtf, sizeof(rtf))};
    const Sample plain{CF_UNICODETEXT, WideBytes(L"plain")};
    const std::vector<std::vector<Sample>> orders = {{rich, plain}, {plain, rich}};
    for (const std::vector<Sample>& order : orders) {
        ASSERT_TRUE(PutInOrder(order));
        CClipboardSnapshot snapshot;
        ASSERT_TRUE(PutClipboardUnicodeText(L"the program's own text"));
        ASSERT_EQ(snapshot.Restore(), 1);
        const struct
        {
            const wchar_t* className;
            const wchar_t* pasted;
        } targets[] = {{L"RichEdit20W", L"rich"}, {L"EDIT", L"plain"}};
        for (const auto& target : targets) {
            HWND edit = ::CreateWindowExW(0, target.className, L"", WS_POPUP | ES_MULTILINE, 0, 0, 200, 50, nullptr,
                                          nullptr, nullptr, nullptr);
            ASSERT_NE(edit, nullptr);
            ::SendMessageW(edit, WM_PASTE, 0, 0);
            wchar_t text[64] = {};
            ::GetWindowTextW(edit, text, 64);
            EXPECT_STREQ(text, target.pasted) << target.className << " with RTF listed "
                                              << (order[0].format == rich.format ? "first" : "last");
            ::DestroyWindow(edit);
        }
    }
}

SCV_CHILD_MAIN(put_formats_and_wait)
{
    // args: the event set when the formats are on the clipboard, the event that ends the child
    CKernelHandle ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, args.at(0).c_str()));
    CKernelHandle done(::OpenEventW(SYNCHRONIZE, FALSE, args.at(1).c_str()));
    if (!ready || !done || !PutInOrder(SampleFormats()))
        return 2;
    ::SetEvent(ready.Get());
    return ::WaitForSingleObject(done.Get(), 30000) == WAIT_OBJECT_0 ? 0 : 3;
}

TEST(ClipboardSnapshot, KeepsWhatAnotherProcessPutThereAfterItHasEnded)
{
    const std::wstring suffix = std::to_wstring(::GetCurrentProcessId());
    const std::wstring readyName = L"Local\\ScvTestClipboardReady" + suffix;
    const std::wstring doneName = L"Local\\ScvTestClipboardDone" + suffix;
    CKernelHandle ready(::CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));
    CKernelHandle done(::CreateEventW(nullptr, TRUE, FALSE, doneName.c_str()));
    scvtest::ChildProcess child = scvtest::LaunchSelf(L"put_formats_and_wait", {readyName, doneName});
    ASSERT_TRUE(child.Started());
    ASSERT_EQ(::WaitForSingleObject(ready.Get(), 20000), WAIT_OBJECT_0);

    CClipboardSnapshot snapshot;
    ::SetEvent(done.Get());
    ASSERT_EQ(child.Wait(20000), 0u);

    ASSERT_TRUE(PutClipboardUnicodeText(L"something else"));
    ASSERT_EQ(snapshot.Restore(), 1);
    ExpectSamplesOnClipboard(SampleFormats());
}

TEST(ClipboardSnapshot, CarriesABitmapAsItsDibAndSkipsGdiHandles)
{
    GdiObject<HBITMAP> bitmap(MakeScreenBitmap(5, 4));
    ASSERT_TRUE(bitmap);
    ASSERT_TRUE(PutBitmapToClipboard(bitmap.get()));

    CClipboardSnapshot snapshot;
    bool hasDib = false;
    for (const CClipboardSnapshot::Entry& entry : snapshot.GetEntries()) {
        EXPECT_NE(entry.format, static_cast<UINT>(CF_BITMAP));
        EXPECT_NE(entry.format, static_cast<UINT>(CF_PALETTE));
        hasDib = hasDib || entry.format == CF_DIB;
    }
    ASSERT_TRUE(hasDib);

    EmptyTheClipboard();
    ASSERT_EQ(snapshot.Restore(), 1);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    const auto restored = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    const bool equal = restored && BitmapsEqual(restored, bitmap.get());
    ::CloseClipboard();
    EXPECT_TRUE(equal);

    EXPECT_TRUE(CClipboardSnapshot::IsCopyableFormat(CF_ENHMETAFILE));
    EXPECT_TRUE(CClipboardSnapshot::IsCopyableFormat(CF_METAFILEPICT));
    EXPECT_FALSE(CClipboardSnapshot::IsCopyableFormat(CF_DSPTEXT));
    EXPECT_FALSE(CClipboardSnapshot::IsCopyableFormat(CF_OWNERDISPLAY));
    EXPECT_FALSE(CClipboardSnapshot::IsCopyableFormat(CF_GDIOBJFIRST + 1));
    EXPECT_TRUE(CClipboardSnapshot::IsCopyableFormat(CF_HDROP));
    EXPECT_TRUE(CClipboardSnapshot::IsCopyableFormat(CF_DIBV5));
}

TEST(ClipboardSnapshot, EmptyOrUnreachableClipboard)
{
    EmptyTheClipboard();
    CClipboardSnapshot empty;
    EXPECT_TRUE(empty.IsEmpty());
    ASSERT_TRUE(PutClipboardUnicodeText(L"stays"));
    EXPECT_EQ(empty.Restore(), 0);
    EXPECT_EQ(ClipboardText(), CString(L"stays"));

    CClipboardSnapshot snapshot;
    ASSERT_EQ(snapshot.GetCount() > 0, true);
    const size_t count = snapshot.GetCount();
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Opened());
        EXPECT_EQ(snapshot.Capture(), 0);
        EXPECT_EQ(snapshot.GetCount(), count); // the earlier copy is kept
        EXPECT_EQ(snapshot.Restore(), 0);
        EXPECT_FALSE(PutClipboardUnicodeText(L"refused"));
        EXPECT_EQ(GetClipboardUnicodeTextCopy(), nullptr);
    }
    EXPECT_EQ(ClipboardText(), CString(L"stays"));
}

// --- The saver ------------------------------------------------------------------------

TEST(ClipboardSaver, RestoresOnlyWhileARequestIsPending)
{
    ASSERT_TRUE(PutClipboardUnicodeText(L"user's text"));
    {
        CClipboardSaver saver; // no request yet: nothing to put back at its end
        EXPECT_FALSE(saver.IsSaved());
        EXPECT_EQ(saver.RestoreIfSaved(), 0);
        ASSERT_TRUE(PutClipboardUnicodeText(L"copied later"));
    }
    EXPECT_EQ(ClipboardText(), CString(L"copied later"));

    CClipboardSaver saver;
    ASSERT_TRUE(PutClipboardUnicodeText(L"user's text"));
    EXPECT_GT(saver.Save(), 0u);
    EXPECT_TRUE(saver.IsSaved());
    ASSERT_TRUE(PutClipboardUnicodeText(L"selection copied by the program"));
    EXPECT_EQ(saver.RestoreIfSaved(), 1); // the menu closed without a choice
    EXPECT_EQ(ClipboardText(), CString(L"user's text"));
    EXPECT_FALSE(saver.IsSaved());

    ASSERT_TRUE(PutClipboardUnicodeText(L"the user copies again"));
    EXPECT_EQ(saver.RestoreIfSaved(), 0); // the finished request is not put back again
    EXPECT_EQ(ClipboardText(), CString(L"the user copies again"));

    // A phrase was inserted: the request ends without a restore.
    EXPECT_GT(saver.Save(), 0u);
    ASSERT_TRUE(PutClipboardUnicodeText(L"inserted phrase"));
    saver.Dismiss();
    EXPECT_FALSE(saver.IsSaved());
    EXPECT_TRUE(saver.GetSnapshot().IsEmpty());
    ASSERT_TRUE(PutClipboardUnicodeText(L"copied after the phrase"));
    EXPECT_EQ(saver.RestoreIfSaved(), 0);
    EXPECT_EQ(ClipboardText(), CString(L"copied after the phrase"));
}

TEST(ClipboardSaver, EndRestoresAPendingRequestButNotAStaleOne)
{
    ASSERT_TRUE(PutClipboardUnicodeText(L"before the request"));
    {
        CClipboardSaver saver(1); // a request begins at once
        EXPECT_TRUE(saver.IsSaved());
        ASSERT_TRUE(PutClipboardUnicodeText(L"own use"));
    }
    EXPECT_EQ(ClipboardText(), CString(L"before the request"));

    {
        CClipboardSaver saver;
        saver.Save();
        ASSERT_TRUE(PutClipboardUnicodeText(L"inserted"));
        saver.Dismiss();
        ASSERT_TRUE(PutClipboardUnicodeText(L"the user's newest copy"));
    }
    EXPECT_EQ(ClipboardText(), CString(L"the user's newest copy"));

    // A save that cannot reach the clipboard leaves nothing pending, not the older copy.
    CClipboardSaver saver;
    saver.Save();
    ASSERT_TRUE(PutClipboardUnicodeText(L"newer"));
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Opened());
        EXPECT_EQ(saver.Save(), 0u);
    }
    EXPECT_FALSE(saver.IsSaved());
    EXPECT_EQ(saver.RestoreIfSaved(), 0);
    EXPECT_EQ(ClipboardText(), CString(L"newer"));
}

namespace
{
// Puts the formats with the plain clipboard calls, as another program would (nothing of this is
// noted as the program's own change).
void PutForeignClipboard(bool text, bool metafile, bool privateHandle)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (text) {
        const Bytes bytes = WideBytes(L"text beside the picture");
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
    }
    if (metafile) {
        HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        Rectangle(dc, 1, 1, 20, 10);
        SetClipboardData(CF_ENHMETAFILE, CloseEnhMetaFile(dc));
    }
    if (privateHandle)
        SetClipboardData(CF_PRIVATEFIRST + 7, GlobalAlloc(GMEM_MOVEABLE, 16));
    CloseClipboard();
}

std::vector<UINT> ClipboardFormatList()
{
    std::vector<UINT> formats;
    if (!OpenClipboard(nullptr))
        return formats;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
        formats.push_back(format);
    CloseClipboard();
    return formats;
}

// The bits of the clipboard's enhanced metafile; empty when there is none.
std::vector<BYTE> EnhMetaFileBits()
{
    std::vector<BYTE> bits;
    if (!OpenClipboard(nullptr))
        return bits;
    if (auto* metafile = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE))) {
        bits.resize(GetEnhMetaFileBits(metafile, 0, nullptr));
        GetEnhMetaFileBits(metafile, static_cast<UINT>(bits.size()), bits.data());
    }
    CloseClipboard();
    return bits;
}
} // namespace

// A menu closed without a choice leaves a clipboard the program did not change exactly as it was,
// also formats the snapshot cannot keep; after the program's own change the user's text and drawing
// come back, and a clipboard whose formats the snapshot could not keep is not emptied; a copy
// another program made since the save stays.
TEST(ClipboardSaver, OnlyTheProgramsOwnChangeIsUndone)
{
    struct Case
    {
        const char* name;
        bool text, metafile, privateHandle;
    };
    const Case cases[] = {
        {"text and an enhanced metafile", true, true, false},
        {"an enhanced metafile only", false, true, false},
        {"a private format only", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PutForeignClipboard(c.text, c.metafile, c.privateHandle);
        const std::vector<UINT> before = ClipboardFormatList();
        const std::vector<BYTE> drawing = EnhMetaFileBits();
        ASSERT_FALSE(before.empty());
        ASSERT_EQ(drawing.empty(), !c.metafile);
        CClipboardSaver saver;
        saver.Save();
        EXPECT_EQ(saver.RestoreIfSaved(), 0) << "nothing to put back";
        EXPECT_EQ(ClipboardFormatList(), before);

        saver.Save();
        ASSERT_TRUE(PutClipboardUnicodeText(L"the selection copied by the program"));
        const int restored = saver.RestoreIfSaved();
        if (c.text || c.metafile) {
            EXPECT_EQ(restored, 1);
            EXPECT_EQ(ClipboardText(), CString(c.text ? L"text beside the picture" : L""));
            EXPECT_EQ(EnhMetaFileBits(), drawing) << "the drawing did not come back";
        } else {
            EXPECT_EQ(restored, 0) << "a snapshot that kept nothing must not empty the clipboard";
            EXPECT_EQ(ClipboardText(), CString(L"the selection copied by the program"));
        }
    }

    ASSERT_TRUE(PutClipboardUnicodeText(L"the user's text"));
    CClipboardSaver saver;
    saver.Save();
    ASSERT_TRUE(PutClipboardUnicodeText(L"the program's own use"));
    PutForeignClipboard(true, false, false);
    EXPECT_EQ(saver.RestoreIfSaved(), 0);
    EXPECT_EQ(ClipboardText(), CString(L"text beside the picture")) << "the newer copy was overwritten";
}

// --- Reading and writing --------------------------------------------------------------

TEST(ClipboardAccess, PutsTextWithItsTerminatorAndTheThreadLocale)
{
    ASSERT_TRUE(PutClipboardUnicodeText(L"abc"));
    Bytes text;
    ASSERT_TRUE(ReadFormat(CF_UNICODETEXT, text));
    EXPECT_EQ(text, WideBytes(L"abc"));
    EXPECT_EQ(text.size(), 8u);
    Bytes locale;
    ASSERT_TRUE(ReadFormat(CF_LOCALE, locale));
    ASSERT_EQ(locale.size(), sizeof(LCID));
    LCID value = 0;
    std::memcpy(&value, locale.data(), sizeof(value));
    EXPECT_EQ(value, ::GetThreadLocale());
    EXPECT_FALSE(PutClipboardUnicodeText(nullptr));

    const Bytes rtf = "{\\rtf1 x}";
    ASSERT_TRUE(PutClipboardData(GetRtfClipboardFormat(), rtf.data(), rtf.size()));
    Bytes read;
    ASSERT_TRUE(ReadFormat(GetRtfClipboardFormat(), read));
    EXPECT_EQ(read, rtf);
    EXPECT_EQ(GetRtfClipboardFormat(), ::RegisterClipboardFormatW(L"Rich Text Format"));
    EXPECT_EQ(GetHtmlClipboardFormat(), ::RegisterClipboardFormatW(L"HTML Format"));
}

TEST(ClipboardAccess, PutsSeveralFormatsAtOnce)
{
    EXPECT_FALSE(PutClipboardFormats({}));
    const Bytes html = "<b>x</b>";
    const Bytes text = WideBytes(L"x");
    ASSERT_TRUE(PutClipboardFormats({{GetHtmlClipboardFormat(), {html.data(), html.size()}},
                                     {CF_UNICODETEXT, {text.data(), text.size()}}}));
    ExpectSamplesOnClipboard({{GetHtmlClipboardFormat(), html}, {CF_UNICODETEXT, text}});
    // Ascending ids: the predefined format first.
    const std::vector<UINT> formats = ListFormats();
    ASSERT_GE(formats.size(), 2u);
    EXPECT_EQ(formats[0], static_cast<UINT>(CF_UNICODETEXT));

    // A block the clipboard does not take (it is not open) is refused.
    EXPECT_FALSE(PutClipboardBlock(CF_UNICODETEXT, text.data(), text.size()));
}

TEST(ClipboardAccess, TextCopyIsAlwaysTerminated)
{
    // Seven bytes and no terminator: the copy ends after "abc".
    const Bytes odd("a\0b\0c\0d", 7);
    ASSERT_TRUE(PutClipboardData(CF_UNICODETEXT, odd.data(), odd.size()));
    wchar_t* copy = GetClipboardUnicodeTextCopy();
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy, L"abc");
    EXPECT_EQ(FreeClipboardTextCopy(copy), 0);
    EXPECT_EQ(FreeClipboardTextCopy(nullptr), 0);

    ASSERT_TRUE(PutClipboardUnicodeText(L"\u041f\u0440\u0438\u0432\u0435\u0442"));
    EXPECT_EQ(ClipboardText(), CString(L"\u041f\u0440\u0438\u0432\u0435\u0442"));

    EmptyTheClipboard();
    EXPECT_EQ(GetClipboardUnicodeTextCopy(), nullptr);
    CString text(L"old");
    EXPECT_FALSE(GetClipboardUnicodeText(text));
    EXPECT_TRUE(text.IsEmpty());
}

// --- Bitmaps ------------------------------------------------------------------------

TEST(ClipboardBitmaps, ComparesPixels)
{
    GdiObject<HBITMAP> a(MakeBitmap(7, 5));
    GdiObject<HBITMAP> same(MakeBitmap(7, 5));
    GdiObject<HBITMAP> oneByteOff(MakeBitmap(7, 5, 40));
    GdiObject<HBITMAP> wider(MakeBitmap(8, 5));
    ASSERT_TRUE(a && same && oneByteOff && wider);
    EXPECT_TRUE(BitmapsEqual(a.get(), a.get()));
    EXPECT_TRUE(BitmapsEqual(a.get(), same.get()));
    EXPECT_FALSE(BitmapsEqual(a.get(), oneByteOff.get()));
    EXPECT_FALSE(BitmapsEqual(a.get(), wider.get()));
    EXPECT_FALSE(BitmapsEqual(a.get(), nullptr));
    EXPECT_TRUE(BitmapsEqual(nullptr, nullptr));
}

TEST(ClipboardBitmaps, WritesBmpFiles)
{
    scvtest::TempFolder folder;
    struct Case
    {
        WORD bits;
        DWORD offBits;
        DWORD coloursUsed;
    };
    for (const Case c : {Case{24, 54, 0}, Case{8, 54 + 1024, 256}, Case{32, 54, 0}}) {
        GdiObject<HBITMAP> bitmap(MakeBitmap(5, 3, -1, c.bits));
        ASSERT_TRUE(bitmap);
        const std::wstring path = folder.PathOf(L"picture" + std::to_wstring(c.bits) + L".bmp");
        ASSERT_TRUE(SaveBitmapToFile(path.c_str(), bitmap.get()));
        const auto file = folder.ReadBytes(path);
        ASSERT_TRUE(file.has_value());
        BITMAPFILEHEADER fileHeader{};
        BITMAPINFOHEADER header{};
        ASSERT_GE(file->size(), sizeof(fileHeader) + sizeof(header));
        std::memcpy(&fileHeader, file->data(), sizeof(fileHeader));
        std::memcpy(&header, file->data() + sizeof(fileHeader), sizeof(header));
        EXPECT_EQ(fileHeader.bfType, 0x4D42);
        EXPECT_EQ(fileHeader.bfOffBits, c.offBits) << c.bits;
        EXPECT_EQ(fileHeader.bfSize, file->size());
        EXPECT_EQ(header.biBitCount, c.bits);
        EXPECT_EQ(header.biClrUsed, c.coloursUsed);
        EXPECT_EQ(fileHeader.bfOffBits + header.biSizeImage, file->size());

        // The file reads back as the same picture.
        GdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
            ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
        ASSERT_TRUE(loaded);
        EXPECT_TRUE(BitmapsEqual(loaded.get(), bitmap.get())) << c.bits;
    }
    EXPECT_FALSE(SaveBitmapToFile(folder.PathOf(L"none.bmp").c_str(), nullptr));
    EXPECT_FALSE(folder.Exists(L"none.bmp"));
}

TEST(ClipboardBitmaps, PutsACopyOnTheClipboard)
{
    GdiObject<HBITMAP> bitmap(MakeScreenBitmap(6, 6));
    ASSERT_TRUE(PutBitmapToClipboard(bitmap.get()));
    // The caller's bitmap is still its own.
    BITMAP object{};
    EXPECT_EQ(::GetObjectW(bitmap.get(), sizeof(object), &object), static_cast<int>(sizeof(object)));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    const auto onClipboard = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    EXPECT_NE(onClipboard, bitmap.get());
    EXPECT_TRUE(onClipboard && BitmapsEqual(onClipboard, bitmap.get()));
    ::CloseClipboard();
    EXPECT_FALSE(PutBitmapToClipboard(nullptr));
}
} // namespace
