#include "common/CodePageDetection.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>

namespace
{
const wchar_t kRussian[] = L"\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440! \u042d\u0442\u043e "
                           L"\u043f\u0440\u043e\u0432\u0435\u0440\u043a\u0430.";
const wchar_t kFrench[] = L"Caf\u00e9 cr\u00e8me br\u00fbl\u00e9e, s'il vous pla\u00eet.";

std::string Encode(const wchar_t* text, UINT codePage)
{
    const int length = ::WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(length > 0 ? length - 1 : 0, '\0');
    ::WideCharToMultiByte(codePage, 0, text, -1, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::string Utf16(const wchar_t* text, bool bigEndian, bool mark)
{
    std::string bytes;
    if (mark)
        bytes += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const wchar_t* c = text; *c; ++c) {
        const char low = static_cast<char>(*c & 0xFF);
        const char high = static_cast<char>((*c >> 8) & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

struct DetectionCase
{
    const char* label;
    std::string bytes;
    int codePage;
    const wchar_t* name;
};

std::vector<DetectionCase> DetectionTable()
{
    return {
        {"utf-8 Cyrillic", Encode(kRussian, CP_UTF8), 65001, L"utf-8"},
        {"utf-8 Latin accents", Encode(kFrench, CP_UTF8), 65001, L"utf-8"},
        {"utf-8 with mark", "\xEF\xBB\xBF" + Encode(L"plain", CP_UTF8), 65001, L"utf-8"},
        {"utf-16 LE with mark", Utf16(kRussian, false, true), 1200, L"unicode"},
        {"utf-16 LE without mark", Utf16(L"Hello, world", false, false), 1200, L"unicode"},
        {"utf-16 LE Cyrillic without mark", Utf16(kRussian, false, false), 1200, L"unicode"},
        {"utf-16 BE with mark", Utf16(L"Hi", true, true), 1201, L"unicodefffe"},
        {"utf-16 BE without mark", Utf16(L"Hello, world", true, false), 1201, L"unicodefffe"},
        {"cp1251", Encode(kRussian, 1251), 1251, L"windows-1251"},
        {"cp1252", Encode(kFrench, 1252), 1252, L"windows-1252"},
        {"plain ASCII", "Just plain text, 123.", 20127, L"us-ascii"},
        {"broken utf-8 is 8-bit", "abc\xC3(def", 1252, L"windows-1252"},
    };
}

class CodePageDetectionTest : public ::testing::Test
{
protected:
    void SetUp() override { m_comResult = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override
    {
        if (SUCCEEDED(m_comResult))
            ::CoUninitialize();
    }

    HRESULT m_comResult = E_FAIL;
};
} // namespace

TEST(CodePageDetectionBuiltIn, DetectsTheTableOfEncodings)
{
    for (const DetectionCase& c : DetectionTable()) {
        CodePageCandidate candidate;
        ASSERT_EQ(
            DetectCodePageCandidatesBuiltIn(c.bytes.data(), static_cast<int>(c.bytes.size()), &candidate, 1),
            1)
            << c.label;
        EXPECT_EQ(static_cast<int>(candidate.codePage), c.codePage) << c.label;
        EXPECT_GT(candidate.confidence, 0) << c.label;
    }
}

TEST(CodePageDetectionBuiltIn, RefusesEmptyInput)
{
    CodePageCandidate candidate;
    EXPECT_EQ(DetectCodePageCandidatesBuiltIn(nullptr, 4, &candidate, 1), 0);
    EXPECT_EQ(DetectCodePageCandidatesBuiltIn("abc", 0, &candidate, 1), 0);
    EXPECT_EQ(DetectCodePageCandidatesBuiltIn("abc", 3, nullptr, 1), 0);
}

TEST_F(CodePageDetectionTest, FallsBackToBuiltInDetectorWhenMLangRefuses)
{
    const std::string probe = Encode(kRussian, CP_UTF8);
    CodePageCandidate candidates[5];
    int count = -1;
    const HRESULT mlang =
        DetectCodePageCandidatesWithMLang(probe.data(), static_cast<int>(probe.size()), candidates, 5, count);

    for (const DetectionCase& c : DetectionTable()) {
        CString name;
        int codePage = 0;
        const bool found = DetectCharset(c.bytes.data(), static_cast<int>(c.bytes.size()), &name, &codePage);
        if (FAILED(mlang)) {
            // Here the built-in detector gives the answer.
            ASSERT_TRUE(found) << c.label;
            EXPECT_EQ(codePage, c.codePage) << c.label;
            EXPECT_STREQ(name.GetString(), c.name) << c.label;
            EXPECT_EQ(DetectTextCodePage(c.bytes.data(), static_cast<int>(c.bytes.size())), c.codePage)
                << c.label;
        } else if (found) {
            EXPECT_NE(FindCharsetName(codePage), nullptr) << c.label;
        }
    }
    if (FAILED(mlang)) {
        EXPECT_EQ(count, 0);
    }
}

TEST_F(CodePageDetectionTest, OutputsAreOptionalAndBadInputFails)
{
    const char text[] = "plain words";
    EXPECT_TRUE(DetectCharset(text, sizeof(text) - 1, nullptr, nullptr));
    CString name = L"untouched";
    int codePage = 77;
    EXPECT_FALSE(DetectCharset(nullptr, 10, &name, &codePage));
    EXPECT_FALSE(DetectCharset(text, 0, &name, &codePage));
    EXPECT_FALSE(DetectCharset(text, -5, &name, &codePage));
    EXPECT_STREQ(name.GetString(), L"untouched");
    EXPECT_EQ(codePage, 77);
    EXPECT_EQ(DetectTextCodePage(nullptr, 3), 0);
}

TEST(CodePageDetectionScoring, PicksTheBestCandidate)
{
    struct Case
    {
        const char* label;
        std::vector<CodePageCandidate> candidates;
        int expected;
    };
    const Case cases[] = {
        {"none", {}, -1},
        {"only zero confidence", {{1251, 100, 0}, {65001, 50, 0}}, -1},
        {"negative scores", {{1251, 0, -4}, {1252, 10, -1}}, -1},
        {"equal scores: first wins", {{1251, 50, 40}, {1252, 40, 50}}, 1251},
        {"percent 0 counts confidence only", {{1251, 0, 90}, {1252, 2, 40}}, 1251},
        {"product beats plain confidence", {{1251, 0, 90}, {1252, 3, 40}}, 1252},
        {"later higher wins", {{20127, 10, 10}, {65001, 100, 100}}, 65001},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PickBestCodePage(c.candidates.data(), static_cast<int>(c.candidates.size())), c.expected)
            << c.label;
    EXPECT_EQ(PickBestCodePage(nullptr, 3), -1);
}

TEST(CodePageDetectionScoring, NamesCodePagesByTheFirstRow)
{
    EXPECT_STREQ(FindCharsetName(65001), "utf-8");
    EXPECT_STREQ(FindCharsetName(1252), "windows-1252");
    EXPECT_STREQ(FindCharsetName(50220), "iso-2022-jp");
    EXPECT_STREQ(FindCharsetName(50222), "iso-2022-jp");
    EXPECT_STREQ(FindCharsetName(1143), "x-ebcdic-finlandsweden-euro");
    EXPECT_STREQ(FindCharsetName(37), "ebcdic-cp-us");
    EXPECT_EQ(FindCharsetName(12345), nullptr);
    EXPECT_EQ(FindCharsetName(-1), nullptr);
}
