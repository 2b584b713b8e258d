// Marker files, middle cuts, invariant comparisons, text conversions and the
// shell launch helpers.

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/FileBytes.h"
#include "common/InvariantCompare.h"
#include "common/MarkerFiles.h"
#include "common/PathFunctions.h"
#include "common/ShellCommands.h"
#include "common/TextConversion.h"
#include "common/TextShortening.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace
{

TEST(MarkerFiles, KnownNames)
{
    std::vector<CString> names{L"stale"};
    EXPECT_EQ(GetMarkerFileNames(names), 1);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_STREQ(names[0], L"UpdateVersion_Test.UpdateVersion_Test");
}

TEST(MarkerFiles, PresenceIsLookedAtOncePerProcess)
{
    scvtest::TempFolder temp;
    const std::wstring present = temp.WriteBytes(L"present.marker", "");
    const std::wstring later = temp.PathOf(L"later.marker");
    ASSERT_FALSE(present.empty());

    EXPECT_TRUE(IsMarkerFilePresent(present.c_str()));
    EXPECT_FALSE(IsMarkerFilePresent(later.c_str()));
    ASSERT_FALSE(temp.WriteBytes(L"later.marker", "").empty());
    ASSERT_TRUE(DeleteFileW(present.c_str()));
    EXPECT_TRUE(IsMarkerFilePresent(present.c_str())) << "the first answer is kept";
    EXPECT_FALSE(IsMarkerFilePresent(later.c_str())) << "seen only after a restart";
    EXPECT_FALSE(IsMarkerFilePresent(L""));
}

TEST(MarkerFiles, ANameWithoutFolderIsLookedForInTheProgramFolder)
{
    const std::wstring name = L"scv-marker-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const std::wstring path = std::wstring(GetProgramFolder().GetString()) + name;
    ASSERT_TRUE(scvtest::WriteFileBytes(path, ""));
    const bool found = IsMarkerFilePresent(name.c_str());
    DeleteFileW(path.c_str());
    EXPECT_TRUE(found);
    EXPECT_FALSE(IsUpdateTestMarkerPresent()) << "no test-mode marker next to the test";
}

TEST(TextShortening, MiddleCut)
{
    EXPECT_EQ(std::wstring(kMiddleEllipsisSeparator).size(), 21u);
    const CString hundred(L'x', 100);
    const CString cut = CutMiddle(hundred, 100);
    EXPECT_EQ(cut.GetLength(), 50 + 21 + 50);
    EXPECT_STREQ(cut, CString(L'x', 50) + kMiddleEllipsisSeparator + CString(L'x', 50));
    EXPECT_STREQ(CutMiddle(CString(L'y', 99), 100), CString(L'y', 99));

    CString text;
    for (int i = 0; i < 11; ++i)
        text.AppendFormat(L"%d", i); // "012345678910": 12 characters
    EXPECT_STREQ(CutMiddle(text, 7), CString(L"012") + kMiddleEllipsisSeparator + L"910");
    EXPECT_STREQ(CutMiddle(text, 0), text);
}

TEST(TextShortening, ShortDisplayTextIsMadeOnce)
{
    CStringPair texts(CString(L'a', 150), CString());
    const CString made = GetShortDisplayText(texts);
    EXPECT_EQ(made.GetLength(), 121);
    EXPECT_STREQ(texts.second, made);

    CStringPair given(L"full", L"short");
    EXPECT_STREQ(GetShortDisplayText(given), L"short");
    CStringPair small(L"full", L"");
    EXPECT_STREQ(GetShortDisplayText(small), L"full");
    CStringPair empty;
    EXPECT_STREQ(GetShortDisplayText(empty), L"");
}

TEST(InvariantCompare, EqualityCountsCase)
{
    const wchar_t* same = L"Text";
    EXPECT_TRUE(IsEqualInvariant(same, same));
    EXPECT_TRUE(IsEqualInvariant(L"Text", L"Text"));
    EXPECT_FALSE(IsEqualInvariant(L"Text", L"text"));
    EXPECT_FALSE(IsEqualInvariant(L"Text", L"Texts"));
    EXPECT_TRUE(IsEqualInvariant(nullptr, L""));
}

TEST(InvariantCompare, CompareWithAndWithoutCase)
{
    struct Case
    {
        const wchar_t* a;
        const wchar_t* b;
        bool caseSensitive;
        int sign;
    };
    const Case cases[] = {
        {L"abc", L"ABC", false, 0},
        {L"abc", L"ABC", true, 1},
        {L"ab", L"abc", false, -1},
        {L"abc", L"ab", false, 1},
        {L"abd", L"ABC", false, 1},
        {L"", L"", true, 0},
        {nullptr, L"", false, 0},
        {nullptr, L"a", false, -1},
        {L"\u00e9t\u00e9", L"\u00c9T\u00c9", false, 0},
        {L"a", L"b", false, -1},
    };
    for (const Case& c : cases) {
        const int result = CompareTextCaseOpt(c.a, c.b, c.caseSensitive);
        EXPECT_EQ((result > 0) - (result < 0), c.sign)
            << (c.a ? scvtest::WideToUtf8(c.a) : "(null)") << " / " << scvtest::WideToUtf8(c.b);
    }
    EXPECT_EQ(CompareTextCaseOpt(L"ab", L"abc", true), -static_cast<int>(L'c'));
}

TEST(InvariantCompare, FindAndLower)
{
    EXPECT_EQ(FindTextCaseOpt(L"Hello World", L"world", 0), 6);
    EXPECT_EQ(FindTextCaseOpt(L"abcABC", L"abc", 1), 3);
    EXPECT_EQ(FindTextCaseOpt(L"abc", L"x", 0), -1);
    EXPECT_EQ(FindTextCaseOpt(L"", L"x", 0), -1);
    EXPECT_EQ(FindTextCaseOpt(L"abc", L"", 0), -1);
    EXPECT_EQ(FindTextCaseOpt(L"abc", L"c", 3), -1);
    EXPECT_EQ(FindTextCaseOpt(L"abc", L"c", -1), -1);

    CString text = L"MiXeD \u00c4";
    EXPECT_TRUE(MakeLowerInvariant(text));
    EXPECT_STREQ(text, L"mixed \u00e4");
    CString empty;
    EXPECT_TRUE(MakeLowerInvariant(empty));
    EXPECT_TRUE(MakeUpperInvariant(text));
    EXPECT_STREQ(text, L"MIXED \u00c4");
}

TEST(TextConversion, RoundTrips)
{
    // 3000 characters, with two- and three-byte UTF-8 sequences.
    std::wstring wide;
    for (int i = 0; i < 1000; ++i)
        wide += L"a\u00e9\u20ac";
    const std::string utf8 = WideToUtf8(wide.c_str());
    EXPECT_EQ(utf8.size(), 1000u * (1 + 2 + 3));
    const CString back = Utf8ToWide(utf8.c_str());
    EXPECT_EQ(back.GetLength(), 3000);
    EXPECT_STREQ(back, wide.c_str());

    EXPECT_STREQ(Utf8ToWide("short \xc3\xa9"), L"short \u00e9");
    EXPECT_STREQ(AnsiToWide("plain"), L"plain");
    EXPECT_EQ(WideToThreadAnsi(L"plain"), "plain");
    EXPECT_STREQ(MultiByteToWideString("\xe9", 1252), L"\u00e9");
    EXPECT_EQ(WideToMultiByteString(L"\u00e9", 1252), "\xe9");

    EXPECT_STREQ(Utf8ToWide(nullptr), L"");
    EXPECT_STREQ(Utf8ToWide(""), L"");
    EXPECT_EQ(WideToUtf8(nullptr), "");
    EXPECT_EQ(WideToUtf8(L""), "");
}

TEST(TextConversion, SetStringLength)
{
    CString text = L"abc";
    wchar_t* buffer = SetStringLength(text, 5);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer[5], L'\0');
    wmemcpy(buffer, L"12345", 5);
    text.ReleaseBuffer(5);
    EXPECT_STREQ(text, L"12345");
    EXPECT_EQ(SetStringLength(text, -1), nullptr);
}

TEST(ShellCommands, FailureGivesTheSystemText)
{
    scvtest::TempFolder temp;
    CString error;
    const HINSTANCE result = ShellExecuteWithError(nullptr, L"open", temp.PathOf(L"missing.exe").c_str(),
                                                   nullptr, nullptr, SW_HIDE, SEE_MASK_FLAG_NO_UI, &error);
    EXPECT_LE(reinterpret_cast<INT_PTR>(result), 32);
    EXPECT_FALSE(error.IsEmpty());
    EXPECT_FALSE(GetErrorMessageText(ERROR_ACCESS_DENIED).IsEmpty());
}

} // namespace

TEST(FileBytes, ReplacingContentsNeverLeavesAHalfFileOrATemporaryOne)
{
    scvtest::TempFolder temp;
    const std::wstring target = temp.PathOf(L"out.txt");
    ASSERT_TRUE(scvtest::WriteFileBytes(target, "old"));
    auto filesIn = [&] {
        int count = 0;
        WIN32_FIND_DATAW data{};
        HANDLE find = ::FindFirstFileW((temp.Path() + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return 0;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ++count;
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
        return count;
    };

    EXPECT_TRUE(ReplaceFileContents(target.c_str(), "new content"));
    EXPECT_EQ(temp.ReadBytes(L"out.txt").value_or(""), "new content");
    EXPECT_EQ(filesIn(), 1);

    // The target held open without sharing: the replacement fails and the old content stays.
    HANDLE held = ::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReplaceFileContents(target.c_str(), "lost?"));
    ::CloseHandle(held);
    EXPECT_EQ(temp.ReadBytes(L"out.txt").value_or(""), "new content");
    EXPECT_EQ(filesIn(), 1) << "no temporary file left";

    EXPECT_FALSE(ReplaceFileContents(temp.PathOf(L"missing\\out.txt").c_str(), "x"));
}

TEST(FileBytes, BoundedReadsTakeTheWholeFileOrNothing)
{
    scvtest::TempFolder temp;
    ASSERT_TRUE(scvtest::WriteFileBytes(temp.PathOf(L"ten.bin"), "0123456789"));
    ASSERT_TRUE(scvtest::WriteFileBytes(temp.PathOf(L"empty.bin"), ""));
    struct Case
    {
        const wchar_t* name;
        unsigned long long limit;
        bool ok;
        const char* bytes;
    } cases[] = {
        {L"ten.bin", 10, true, "0123456789"},
        {L"ten.bin", 9, false, ""},
        {L"empty.bin", 0, true, ""},
        {L"missing.bin", 100, false, ""},
    };
    for (const Case& c : cases) {
        std::string bytes = "left over";
        EXPECT_EQ(ReadFileBytesBounded(temp.PathOf(c.name).c_str(), c.limit, bytes), c.ok) << c.name;
        EXPECT_EQ(bytes, c.bytes) << c.name;
    }
    // A file another program is still writing can be read.
    HANDLE writer = ::CreateFileW(temp.PathOf(L"ten.bin").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    std::string bytes;
    EXPECT_TRUE(ReadFileBytesBounded(temp.PathOf(L"ten.bin").c_str(), 100, bytes));
    ::CloseHandle(writer);
}
