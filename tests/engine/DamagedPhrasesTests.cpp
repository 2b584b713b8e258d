// test-locks: sharedlog
// Phrase folders and documents damaged as users meet them: device names, deep nesting, large
// bodies, and seeded mutations of valid files. Loads run on a thread of their own with a bound, so
// a blocking read or a stack overflow fails the test instead of hanging or ending it.
#include "engine/PhraseFile.h"
#include "engine/PhraseStore.h"
#include "common/SharedLog.h"
#include "common/XmlInputChecks.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace
{

std::string PhraseText(const std::string& title, const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<SCVCommand UsageCount=\"3\" "
           "SortID=\"1\">\r\n    <MenuName>" +
           title + "</MenuName>\r\n    <DataType>TEXT</DataType>\r\n    <Cmd>" + body +
           "</Cmd>\r\n    <Hint>hint</Hint>\r\n</SCVCommand>\r\n";
}

std::string Nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    return text;
}

// Writes a file by its literal name: a device name such as AUX is a plain file on disk then.
bool WriteLiteral(const std::wstring& path, const std::string& bytes)
{
    HANDLE file =
        CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(file);
    return ok;
}

// Runs the work on a thread with a 1 MB stack; false when it did not end within the bound.
bool RunBounded(const std::function<void()>& work, DWORD boundMs)
{
    struct Job
    {
        std::function<void()> work;
    } job{work};
    HANDLE thread = CreateThread(
        nullptr, 1024 * 1024,
        [](LPVOID parameter) -> DWORD {
            static_cast<Job*>(parameter)->work();
            return 0;
        },
        &job, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread)
        return false;
    const bool ended = WaitForSingleObject(thread, boundMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateThread(thread, 1);
    CloseHandle(thread);
    return ended;
}

std::vector<std::wstring> LoadedTitles(const CPhraseStore& store)
{
    std::vector<std::wstring> titles;
    for (const PhraseItemRecord& record : store.GetItems())
        titles.emplace_back(record.title);
    std::sort(titles.begin(), titles.end());
    return titles;
}

} // namespace

TEST(DamagedPhrases, DevicesAndDeepNestingAreSkippedBesideValidFiles)
{
    scvtest::TempFolder temp;
    temp.WriteBytes(L"good.scrivolanter", PhraseText("good", "text"));
    for (const wchar_t* name :
         {L"AUX.scrivolanter", L"COM1.scrivolanter", L"nul.x.scrivolanter", L"Lpt9.scrivolanter"})
        ASSERT_TRUE(WriteLiteral(temp.PathOf(name), PhraseText("device", "text")));
    temp.WriteBytes(L"deep.scrivolanter", Nested(6000));
    temp.WriteBytes(L"deepInside.scrivolanter", PhraseText("deep inside", Nested(6000)));
    temp.WriteBytes(L"COM10.scrivolanter", PhraseText("COM10 is a name", "text"));

    CPhraseStore store;
    EXPECT_TRUE(RunBounded([&] { store.Load(temp.Path().c_str()); }, 30000)) << "the load did not end";
    EXPECT_EQ(LoadedTitles(store), (std::vector<std::wstring>{L"COM10 is a name", L"good"}));
    for (const wchar_t* name :
         {L"AUX.scrivolanter", L"COM1.scrivolanter", L"nul.x.scrivolanter", L"Lpt9.scrivolanter"})
        DeleteFileW((L"\\\\?\\" + temp.PathOf(name)).c_str());
}

TEST(DamagedPhrases, OversizedFilesAndTagFloodsAreSkippedWithALogLine)
{
    scvtest::TempFolder logFolder;
    const std::wstring log = logFolder.PathOf(L"Log.txt");
    ASSERT_TRUE(LogOpen(log.c_str()));
    scvtest::TempFolder temp;
    temp.WriteBytes(L"good.scrivolanter", PhraseText("good", "text"));
    // Over the bound by its listed size: skipped before a byte of it is read.
    temp.WriteBytes(L"over.scrivolanter", PhraseText("over", std::string(kMaxPhraseFileSize, 'x')));
    // Small files whose tags or attributes would each become a parser node.
    std::string tags;
    for (int i = 0; i < 100000; ++i)
        tags += "<a/>";
    temp.WriteBytes(L"tags.scrivolanter", PhraseText("tags", tags));
    std::string attributes = "<SCVCommand";
    for (int i = 0; i < 100000; ++i)
        attributes += " a" + std::to_string(i) + "=\"\"";
    temp.WriteBytes(L"attributes.scrivolanter", attributes + "><MenuName>attributes</MenuName></SCVCommand>");

    CPhraseStore store;
    EXPECT_TRUE(RunBounded([&] { store.Load(temp.Path().c_str()); }, 30000)) << "the load did not end";
    ASSERT_TRUE(WaitForPendingLogEntries(5000));
    LogClose();
    EXPECT_EQ(LoadedTitles(store), std::vector<std::wstring>{L"good"});
    const std::wstring text = scvtest::ReadFileText(log).value_or(L"");
    EXPECT_NE(text.find(L"over.scrivolanter is"), std::wstring::npos) << scvtest::WideToUtf8(text);
    EXPECT_NE(text.find(L"more than the phrase file limit"), std::wstring::npos);
    for (const wchar_t* name : {L"tags.scrivolanter", L"attributes.scrivolanter"})
        EXPECT_NE(text.find(std::wstring(L"damaged phrase file skipped: ") + temp.PathOf(name)),
                  std::wstring::npos)
            << scvtest::WideToUtf8(name);

    // A phrase with a few elements and attributes is well within the node bound.
    const std::string valid = PhraseText("valid", "body");
    EXPECT_TRUE(IsXmlShapeWithin(valid.c_str(), valid.size(), kMaxPhraseNesting, kMaxPhraseNodes));
    EXPECT_FALSE(IsXmlShapeWithin(tags.c_str(), tags.size(), kMaxPhraseNesting, kMaxPhraseNodes));
    EXPECT_FALSE(IsXmlShapeWithin(attributes.c_str(), attributes.size(), kMaxPhraseNesting, kMaxPhraseNodes));
}

TEST(DamagedPhrases, LargeBodiesLoadAcrossSeveralBatches)
{
    scvtest::TempFolder temp;
    const std::string big(3 * 1024 * 1024, 'b');
    for (int i = 0; i < 4; ++i)
        temp.WriteBytes(L"big" + std::to_wstring(i) + L".scrivolanter",
                        PhraseText("big" + std::to_string(i), big));
    temp.WriteBytes(L"small.scrivolanter", PhraseText("small", "s"));
    CPhraseStore store;
    store.Load(temp.Path().c_str());
    ASSERT_EQ(store.GetItems().size(), 5u);
    for (const PhraseItemRecord& record : store.GetItems())
        EXPECT_EQ(record.body.GetLength(),
                  wcscmp(record.title, L"small") == 0 ? 1 : static_cast<int>(big.size()));
}

TEST(XmlInputChecks, NestingCountsElementsNotMarkup)
{
    struct Case
    {
        std::string text;
        int maxDepth;
        bool within;
    };
    const Case cases[] = {
        {"<a><b><c/></b></a>", 2, true},
        {"<a><b><c></c></b></a>", 2, false},
        {"<?xml version=\"1.0\"?><!-- <x><y><z> --><a><![CDATA[<p><q><r>]]></a>", 1, true},
        {"<?xml version=\"1.0\" e<a><b><c> ?>", 1, false}, // the parser ends the declaration at '>'

        {"<a t=\"x>y/\"><b/></a>", 1, true},
        {"<a><b>text</b><b>text</b></a>", 2, true},
        {Nested(6000), 16, false},
        {"<a", 1, true},
        {"", 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        EXPECT_EQ(IsXmlNestingWithin(c.text.c_str(), c.text.size(), c.maxDepth), c.within);
    }
}

// Bytes of valid documents flipped, cut, repeated and nested deep: the parser never crashes or
// hangs, and a document it refuses leaves the record untouched.
TEST(DamagedPhrases, MutatedDocumentsAreReadWholeOrNotAtAll)
{
    const std::string fixtures[] = {
        PhraseText("title", "body with %SELECTED_TEXT% and &lt;b&gt;"),
        PhraseText("\xD0\x9F\xD1\x80\xD0\xB8", "{\\rtf1 rich}"),
        "<SCVCommand Excluded=\"1\" FlagsMenu=\"3\" "
        "DateUsage=\"2024|1|2|3|4|5\"><MenuName>m</MenuName></SCVCommand>",
    };
    // A three-byte lead just before the end made the parser loop for good.
    for (const char* tail :
         {"<SCVCommand>\xEF", "<SCVCommand>\xEF\xBB", "<SCVCommand><MenuName>m</MenuName>\xEF"}) {
        PhraseItemRecord record;
        ASSERT_TRUE(RunBounded([&] { ParsePhraseDocument(record, tail); }, 10000)) << tail;
    }
    std::mt19937 random(20261210);
    int accepted = 0;
    ASSERT_TRUE(RunBounded(
        [&] {
            for (int round = 0; round < 3000; ++round) {
                std::string text = fixtures[round % std::size(fixtures)];
                const int kind = static_cast<int>(random() % 4);
                const size_t at = random() % text.size();
                if (kind == 0) {
                    for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips)
                        text[random() % text.size()] ^= static_cast<char>(1u << (random() % 8));
                } else if (kind == 1) {
                    text.resize(at);
                } else if (kind == 2) {
                    const size_t length = std::min<size_t>(1 + random() % 40, text.size() - at);
                    const std::string piece = text.substr(at, length);
                    for (int times = 1 + static_cast<int>(random() % 200); times > 0; --times)
                        text.insert(at, piece);
                } else {
                    text.insert(at, Nested(100 + static_cast<int>(random() % 5000)));
                }
                PhraseItemRecord record;
                record.SetTitle(L"before");
                record.usageCount = 77;
                if (ParsePhraseDocument(record, text.c_str())) {
                    ++accepted;
                    EXPECT_GT(wcslen(record.title), 0u);
                } else {
                    EXPECT_STREQ(record.title, L"before");
                    EXPECT_EQ(record.usageCount, 77u);
                }
            }
        },
        60000));
    EXPECT_GT(accepted, 0);
}
