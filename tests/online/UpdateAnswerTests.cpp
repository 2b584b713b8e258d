// test-sources: ../common/FileVersionFixture.rc
// The answer of the update check read from documents held in memory (no
// network: these answers carry no download addresses, or addresses the
// reader must drop). The fixture's version resource makes this program
// version 5.1.2.345.
#include "online/UpdateAnswer.h"
#include "online/VersionNumbers.h"
#include "online/XmlNestingDepth.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

namespace
{
CVersionNumbers Parse(const wchar_t* text)
{
    CVersionNumbers list;
    ParseVersionNumbers(text, list);
    return list;
}

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

std::string Answer(const std::string& children)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<ScrivolanterVersionInfo>\r\n" + children +
           "</ScrivolanterVersionInfo>\r\n";
}
} // namespace

TEST(VersionNumbers, PartsAreReadAndComparedAsNumbers)
{
    struct Case
    {
        const wchar_t* offered;
        const wchar_t* own;
        bool newer;
    };
    const Case cases[] = {
        {L"1.2.3.5", L"1.2.3.4", true},  {L"1.2.3", L"1.2.3.4", false}, {L"1.10", L"1.9.9.9", true},
        {L"1.2.1", L"1.2", false}, // equal common parts: not newer, even with more parts
        {L"1.2.3.4", L"1.2.3.4", false}, {L"2", L"1.99", true},         {L"", L"1.0", false},
        {L"x.5", L"0.4", true}, // a piece without digits is 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareVersionNumbers(Parse(c.offered), Parse(c.own)), c.newer)
            << c.offered << " vs " << c.own;

    struct TextCase
    {
        const wchar_t* text;
        const wchar_t* parts;
    };
    const TextCase texts[] = {
        {L"5.1.2.345", L"5.1.2.345"},        {L"1..2.", L"1.2"}, {L"7b.3", L"7.3"}, {L" 4. -2", L"4.-2"},
        {L"99999999999.1", L"2147483647.1"}, {L"", L""},
    };
    for (const TextCase& c : texts)
        EXPECT_EQ(Text(Parse(c.text).ToText()), c.parts) << c.text;
}

TEST(VersionNumbers, OwnVersionComesFromTheVersionResource)
{
    CVersionNumbers own;
    ASSERT_TRUE(ReadOwnVersionNumbers(own));
    EXPECT_EQ(Text(own.ToText()), L"5.1.2.345");
    EXPECT_EQ(Text(CUpdateInfo(1).ownVersion.ToText()), L"5.1.2.345");
}

TEST(UpdateAnswer, DocumentsThatCannotBeReadGiveNoAnswer)
{
    struct Case
    {
        const char* name;
        std::string text;
        bool testMode;
    };
    const Case cases[] = {
        {"no root", "<OtherRoot><Version>9.0</Version></OtherRoot>", false},
        {"no Version", Answer("<Status>ok</Status>"), false},
        {"empty Version", Answer("<Version></Version>"), false},
        {"only Version in test mode", Answer("<Version>9.0</Version>"), true},
        {"not XML", "HTTP error page", false},
        {"empty", "", false},
        {"cut", Answer("<Version>9.0</Version>").substr(0, 40), false},
    };
    for (const Case& c : cases) {
        VersionAnswer answer;
        EXPECT_FALSE(ReadVersionAnswerText(c.text, c.testMode, answer)) << c.name;
    }
}

TEST(UpdateAnswer, ReadsVersionStatusAndOnlyWebAddresses)
{
    const std::string text = Answer("<Version>5.2.0.1</Version>\r\n"
                                    "<Version_Test>6.0</Version_Test>\r\n"
                                    "<Status>Fertig \xC3\xBC\xE2\x82\xAC</Status>\r\n"
                                    "<DownloadURL>javascript:alert(1)</DownloadURL>\r\n"
                                    "<DownloadURL_PE>file:///C:/Windows/win.ini</DownloadURL_PE>\r\n"
                                    "<WhatNewsURL>HTTPS://example.invalid/news</WhatNewsURL>\r\n");
    VersionAnswer answer;
    ASSERT_TRUE(ReadVersionAnswerText(text, false, answer));
    EXPECT_EQ(Text(answer.version), L"5.2.0.1");
    EXPECT_EQ(Text(answer.status), L"Fertig \u00FC\u20AC"); // UTF-8 straight to UTF-16
    EXPECT_TRUE(answer.downloadUrl.IsEmpty());
    EXPECT_TRUE(answer.portableDownloadUrl.IsEmpty());
    EXPECT_EQ(Text(answer.whatsNewUrl), L"HTTPS://example.invalid/news");

    VersionAnswer testAnswer;
    ASSERT_TRUE(ReadVersionAnswerText(text, true, testAnswer));
    EXPECT_EQ(Text(testAnswer.version), L"6.0");
}

TEST(UpdateAnswer, OfferedVersionIsComparedWithTheOwn)
{
    struct Case
    {
        const char* version;
        int result;
    };
    const Case cases[] = {{"5.1.2.346", kUpdateNewerVersion},
                          {"5.1.2.345", kUpdateNoNewerVersion},
                          {"5.1.2", kUpdateNoNewerVersion},
                          {"5.10", kUpdateNewerVersion},
                          {"4.99.99.999", kUpdateNoNewerVersion}};
    for (const Case& c : cases) {
        TiXmlDocument document;
        document.Parse(Answer("<Version>" + std::string(c.version) + "</Version><Status>s</Status>").c_str(),
                       nullptr, TIXML_ENCODING_UTF8);
        CUpdateInfo info(0);
        EXPECT_EQ(ParseVersionInfoXml(document, info), c.result) << c.version;
        const std::string version = c.version;
        const std::wstring expectedNew =
            c.result == kUpdateNewerVersion ? std::wstring(version.begin(), version.end()) : L"";
        EXPECT_EQ(Text(info.newVersion), expectedNew) << c.version;
        EXPECT_EQ(Text(info.status), L"s");
        // Without download addresses: both sizes 0 and no release date.
        EXPECT_EQ(info.downloadSize, 0);
        EXPECT_EQ(info.portableDownloadSize, 0);
        EXPECT_TRUE(info.releaseDate.IsEmpty());
        EXPECT_EQ(info.releaseTime.wYear, 0);
    }
}

TEST(XmlNestingDepth, CountsElementsNotMarkup)
{
    struct Case
    {
        const char* text;
        int depth;
    };
    const Case cases[] = {
        {"<a><b><c/></b></a>", 2},    {"<a x='<b>'><!-- <c><d> --><![CDATA[<e><f>]]><?pi <g>?></a>", 1},
        {"<a>/><a>/><a>/>", 3}, // text that looks like an empty-tag end does not close
        {"<a><b></b><b></b></a>", 2}, {"", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MeasureXmlNestingDepth(c.text, std::strlen(c.text), 100), c.depth) << c.text;

    std::string deep;
    for (int i = 0; i < 200000; ++i)
        deep += "<a>";
    EXPECT_GT(MeasureXmlNestingDepth(deep.data(), deep.size(), kMaxXmlNestingDepth), kMaxXmlNestingDepth);
    VersionAnswer answer;
    EXPECT_FALSE(ReadVersionAnswerText(Answer(deep), false, answer)); // refused, not parsed
}

// Valid answers with their bytes flipped, cut and repeated: the reader never
// crashes or hangs, whatever it makes of them.
TEST(UpdateAnswer, MutatedAnswersNeverBreakTheReader)
{
    const std::string fixtures[] = {
        Answer("<Version>5.2.0.1</Version>\r\n<Status>New &amp; better</Status>\r\n"
               "<DownloadURL>javascript:void(0)</DownloadURL>\r\n<WhatNewsURL>ftp://x/</WhatNewsURL>\r\n"),
        Answer("<Version_Test>6.0</Version_Test><Version attr=\"1\">5.1.2.345</Version>"
               "<!-- note --><Status><![CDATA[<b>beta</b>]]></Status>"),
        "<?xml "
        "version=\"1.0\"?><ScrivolanterVersionInfo><Version>\xE2\x82\xAC.1</Version></"
        "ScrivolanterVersionInfo>",
    };
    std::mt19937 random(20261210);
    int read = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = fixtures[round % 3];
        const int operations = 1 + static_cast<int>(random() % 4);
        for (int op = 0; op < operations && !text.empty(); ++op) {
            const size_t at = random() % text.size();
            switch (random() % 3) {
            case 0: // flip one bit, or put a random byte
                if (random() % 2)
                    text[at] = static_cast<char>(text[at] ^ (1 << (random() % 8)));
                else
                    text[at] = static_cast<char>(random() % 256);
                break;
            case 1: // cut at a random place
                text.resize(at);
                break;
            default: { // repeat a random slice many times
                const size_t length = 1 + random() % std::min<size_t>(16, text.size() - at);
                const std::string slice = text.substr(at, length);
                std::string repeated;
                const int times = 1 + static_cast<int>(random() % 4000);
                for (int i = 0; i < times; ++i)
                    repeated += slice;
                text.insert(at, repeated);
                break;
            }
            }
        }
        VersionAnswer answer;
        if (ReadVersionAnswerText(text, round % 2 == 1, answer)) {
            ++read;
            CVersionNumbers offered;
            ParseVersionNumbers(answer.version, offered);
            CompareVersionNumbers(offered, CUpdateInfo(0).ownVersion);
            EXPECT_TRUE(answer.downloadUrl.IsEmpty() || IsWebAddress(answer.downloadUrl));
            EXPECT_TRUE(answer.whatsNewUrl.IsEmpty() || IsWebAddress(answer.whatsNewUrl));
        }
    }
    EXPECT_GT(read, 0); // some mutations leave a readable answer
}
