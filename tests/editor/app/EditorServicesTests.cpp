// The editor's small services: first lines, sound file lists, derived fonts and the phrase-file
// writer's failure report.

#include "editor/app/document/EditorPhraseFile.h"
#include "editor/app/EditorServices.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(EditorServices, FirstLines)
{
    struct Case
    {
        const wchar_t* text;
        bool cutAtTab;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"one\r\ntwo", false, L"one"}, {L"a\tb\r\nc", true, L"a"},
        {L"a\tb\r\nc", false, L"a\tb"}, {L"\tlead", true, L"\tlead"}, // a tab at the start stays
        {L"single", true, L"single"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(FirstLineOf(c.text, c.cutAtTab), c.expected)
            << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(EditorServices, SoundFilesOfAFolder)
{
    scvtest::TempFolder temp;
    temp.WriteBytes(L"b.wav", "x");
    temp.WriteBytes(L"a.WAV", "x");
    temp.WriteBytes(L"c.txt", "x");
    temp.CreateSubfolder(L"d.wav");
    std::vector<CString> names{L"stale"};
    ASSERT_EQ(ListSoundFiles(temp.Path().c_str(), names), 2);
    std::vector<std::wstring> sorted;
    for (const CString& name : names) {
        sorted.emplace_back(name.GetString());
    }
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::wstring>{L"a.WAV", L"b.wav"}));
}

TEST(EditorServices, DerivedFontsTakeEachMode)
{
    LOGFONTW base{};
    base.lfHeight = -12;
    base.lfWeight = FW_NORMAL;
    base.lfItalic = TRUE;
    wcscpy_s(base.lfFaceName, L"Tahoma");
    const HFONT font = CreateFontIndirectW(&base);
    ASSERT_NE(font, nullptr);
    const HFONT derived = DeriveFont(font, FontDerivation{3, 3, 1, 0});
    ASSERT_NE(derived, nullptr);
    LOGFONTW out{};
    GetObjectW(derived, sizeof(out), &out);
    EXPECT_EQ(out.lfWeight, FW_BOLD);
    EXPECT_EQ(out.lfItalic, FALSE);
    EXPECT_EQ(out.lfStrikeOut, TRUE);
    EXPECT_EQ(out.lfUnderline, FALSE);
    EXPECT_EQ(out.lfHeight, -12);
    DeleteObject(derived);
    DeleteObject(font);
    EXPECT_EQ(DeriveFont(nullptr, FontDerivation{}), nullptr);
}

TEST(EditorPhraseFile, AFailedWriteIsLoggedAndPassedOn)
{
    scvtest::TempFolder temp;
    PhraseItemRecord record;
    record.SetTitle(L"t");
    struct Seen
    {
        std::wstring path;
        std::wstring text;
    } seen;
    auto onError = [](const PhraseItemRecord&, const CString& path, const CString& text, void* user) {
        static_cast<Seen*>(user)->path = path.GetString();
        static_cast<Seen*>(user)->text = text.GetString();
    };
    const CString missing = temp.PathOf(L"no folder\\t.scrivolanter").c_str();
    EXPECT_FALSE(WritePhraseFile(record, missing, onError, &seen));
    EXPECT_EQ(seen.path, missing.GetString());
    EXPECT_EQ(seen.text.rfind(L"ERROR: code 3, ", 0), 0u) << seen.text;

    // A read-only file is replaced.
    const std::wstring existing = temp.WriteBytes(L"ro.scrivolanter", "old");
    SetFileAttributesW(existing.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(WritePhraseFile(record, existing.c_str(), onError, &seen));
    EXPECT_NE(temp.ReadBytes(L"ro.scrivolanter")->find("<MenuName>t</MenuName>"), std::string::npos);
    EXPECT_EQ(DataTypeFromText(L"exec"), 2);
    EXPECT_STREQ(DataTypeText(7), L"TEXT");
}
