#include "engine/CCHQueue.h"
#include "engine/ClipboardHistoryFiles.h"
#include "engine/ClipboardOwnerInfo.h"
#include "engine/ForeignClipboardFormats.h"

#include "support/ChildProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace
{
std::wstring Str(const CString& text)
{
    return text.GetString();
}

constexpr char kValidMetaInfo[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<OVL_DATA PID=\"1234\" DOC_ID=\"7\" Y=\"2026\" M=\"12\" D=\"10\" H=\"17\" Min=\"5\" S=\"9\" "
    "OVL_Doc_Path_Title=\"C:\\Notes\\Caf\xC3\xA9.ovl\" Size=\"2048\">"
    "<Nodes><Node>First \xE2\x80\x94 node</Node><Node>Second</Node></Nodes></OVL_DATA>";

// Flips, cuts and repeats bytes of a valid text.
std::string Mutate(const std::string& valid, std::mt19937& random)
{
    std::string text = valid;
    const int rounds = 1 + static_cast<int>(random() % 4);
    for (int round = 0; round < rounds && !text.empty(); ++round) {
        const size_t at = random() % text.size();
        switch (random() % 3) {
        case 0:
            text[at] = static_cast<char>(random() % 256);
            break;
        case 1:
            text.erase(at, random() % (text.size() - at + 1));
            break;
        default:
            text.insert(at, text.substr(at, random() % 16));
            break;
        }
    }
    return text;
}
} // namespace

TEST(ForeignClipboardFormats, MetaInfoParsesAttributesNodesAndFallbacks)
{
    COvlMetaInfo info;
    ASSERT_TRUE(info.Parse(kValidMetaInfo));
    EXPECT_EQ(info.GetPid(), 1234);
    EXPECT_EQ(info.GetDocId(), 7);
    EXPECT_EQ(info.GetDate().wYear, 2026);
    EXPECT_EQ(info.GetDate().wSecond, 9);
    EXPECT_EQ(Str(info.GetDocPathTitle()), L"C:\\Notes\\Caf\u00E9.ovl");
    EXPECT_EQ(Str(info.GetDocFileName()), L"Caf\u00E9.ovl");
    EXPECT_EQ(info.GetSize(), 2048);
    ASSERT_EQ(info.GetNodeCount(), 2);
    EXPECT_EQ(Str(info.GetNode(0)), L"First \u2014 node");
    EXPECT_EQ(Str(info.GetNode(5)), L"");
    EXPECT_EQ(Str(DescribeOvlMetaInfoShort(info)), L"[Caf\u00E9.ovl] [First \u2014 node]");
    const std::wstring longText = Str(DescribeOvlMetaInfoLong(info));
    EXPECT_EQ(longText.find(L"      \u2022 Copied From: [C:\\Notes\\Caf\u00E9.ovl], 2   \u2014 "), 0u)
        << longText;
    EXPECT_NE(longText.find(L"\n      \u2022 [First \u2014 node]"), std::wstring::npos);

    struct Case
    {
        const char* xml;
        bool parses;
        int pid;
        int docId;
        WORD year;
    };
    const Case cases[] = {
        {"<OVL_DATA PID=\"12a\" DOC_ID=\"7\"/>", true, 0, 7, 65535},
        {"<OVL_DATA PID=\"-3\" DOC_ID=\"x\" Y=\"abc\"/>", true, 0, 65535, 65535},
        {"<OVL_DATA/>", true, 0, 65535, 65535},
        {"<OTHER PID=\"1\"/>", false, 0, -1, 0},
        {"<OVL_DATA PID=\"1\"", false, 0, -1, 0},
        {"", false, 0, -1, 0},
    };
    for (const Case& c : cases) {
        COvlMetaInfo parsed;
        EXPECT_EQ(parsed.Parse(c.xml), c.parses) << c.xml;
        if (!c.parses)
            continue;
        EXPECT_EQ(parsed.GetPid(), c.pid) << c.xml;
        EXPECT_EQ(parsed.GetDocId(), c.docId) << c.xml;
        EXPECT_EQ(parsed.GetDate().wYear, c.year) << c.xml;
        EXPECT_EQ(parsed.GetNodeCount(), 0) << c.xml;
    }
    EXPECT_FALSE(COvlMetaInfo().Parse(nullptr));
}

TEST(ForeignClipboardFormats, SourceAddressesFromHtmlHeadersAndTexts)
{
    EXPECT_EQ(Str(GetUrlFromHtmlBytes("Version:0.9\r\nSourceURL:https://example.org/a?b=1\r\n<html>")),
              L"https://example.org/a?b=1");
    EXPECT_EQ(Str(GetUrlFromHtmlBytes("Version:0.9\r\nSourceURL:https://example.org/last")), L"");
    EXPECT_EQ(Str(GetUrlFromHtmlBytes("Version:0.9\r\n<html>")), L"");

    struct Case
    {
        const wchar_t* text;
        const wchar_t* url;
    };
    const Case cases[] = {
        {L"   https://example.org/page more words", L"https://example.org/page"},
        {L"http://example.org\nsecond line", L"http://example.org"},
        {L"C:\\Users\\me\\file name.txt", L"C:\\Users\\me\\file name.txt"},
        {L"C:\\dir\\a.txt and more\nnext", L"C:\\dir\\a.txt and more"},
        {L"word", L""},
        {L"a single sentence of words", L""},
        {L"", L""},
        {L"\t\r\n  ", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Str(GetUrlFromText(c.text)), c.url) << c.text;
    EXPECT_EQ(Str(GetUrlFromAnsiText("https://example.org/x y")), L"https://example.org/x");
}

TEST(ForeignClipboardFormats, GlobalBlocksAreReadWithinTheirSize)
{
    // A block without a terminating NUL: the read stops at the block's end.
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_NE(block, nullptr);
    std::memcpy(::GlobalLock(block), "abcd", 4);
    ::GlobalUnlock(block);
    std::string text;
    ASSERT_TRUE(ReadGlobalBlockText(block, text));
    EXPECT_EQ(text.substr(0, 4), "abcd");
    EXPECT_LE(text.size(), ::GlobalSize(block));
    ::GlobalFree(block);
    EXPECT_FALSE(ReadGlobalBlockText(nullptr, text));
    EXPECT_TRUE(text.empty());
}

// Thousands of damaged meta-info texts and descriptors: every one is read to
// an end (parsed or refused), and a descriptor never names a file outside the folder.
TEST(ForeignClipboardFormats, DamagedMetaInfoAndDescriptorsNeverCrashOrEscape)
{
    std::mt19937 random(20261210);
    for (int i = 0; i < 3000; ++i) {
        const std::string xml = Mutate(kValidMetaInfo, random);
        COvlMetaInfo info;
        if (info.Parse(xml.c_str())) {
            DescribeOvlMetaInfoLong(info);
            info.GetNode(info.GetNodeCount());
        }
    }

    scvtest::TempFolder folder;
    const std::string validDescriptor =
        "[Files]\r\nDataType=2\r\nProtected=1\r\nWndName=Editor\r\nExeName=C:\\x\\e.exe\r\nURL=https://"
        "e.org\r\n"
        "OvlMetaInfo=clipboard_history1_ovl_metainfo.xml\r\nFile0=clipboard_history1.rtf\r\n"
        "File1=clipboard_history2.html\r\n";
    folder.WriteBytes(L"clipboard_history1.rtf", "{\\rtf1 x}");
    folder.WriteBytes(L"clipboard_history2.html", "<p>x</p>");
    folder.WriteBytes(L"clipboard_history1_ovl_metainfo.xml", kValidMetaInfo);
    const std::wstring path = folder.PathOf(L"scrivolanter_cb1.info");
    int loaded = 0;
    for (int i = 0; i < 1500; ++i) {
        folder.WriteBytes(L"scrivolanter_cb1.info", Mutate(validDescriptor, random));
        ClipboardHistoryDescriptor record;
        if (ReadDescriptor(path.c_str(), record)) {
            for (const CString& name : record.files)
                ASSERT_TRUE(IsPlainHistoryFileName(name)) << Str(name);
        }
        if (i % 10 == 0) {
            CCHQueue queue;
            ASSERT_TRUE(LoadFolder(queue, folder.Path().c_str()));
            loaded += queue.GetCount();
        }
    }
    EXPECT_GT(loaded, 0);
}

TEST(ForeignClipboardFormats, TheSourceWindowNamesTheWholePathOfItsProgram)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"copied from here", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const std::wstring self = scvtest::SelfPath();
    EXPECT_EQ(_wcsicmp(GetWindowProcessPath(window).GetString(), self.c_str()), 0)
        << testing::PrintToString(std::wstring(GetWindowProcessPath(window).GetString()));
    ::DestroyWindow(window);
    EXPECT_TRUE(GetWindowProcessPath(window).IsEmpty()) << "a window that is gone names no program";
}
