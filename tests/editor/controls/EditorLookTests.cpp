// The editor's shared fonts, colours and small texts.

#include <gtest/gtest.h>

#include <windows.h>

#include "common/InvariantCompare.h"
#include "editor/controls/EditorLook.h"
#include "engine/PhraseItemRecord.h"

namespace
{

TEST(EditorLookTest, ColoursAsHexText)
{
    const struct
    {
        COLORREF color;
        const wchar_t* text;
    } cases[] = {{RGB(0xFF, 0, 0), L"FF0000"}, {RGB(0x40, 0x80, 0xFF), L"4080FF"}, {RGB(0, 0, 0), L"000000"}};
    for (const auto& c : cases)
        EXPECT_STREQ(ColorToHex(c.color), c.text);
    EXPECT_EQ(GetGrayTextColor(), ::GetSysColor(COLOR_GRAYTEXT));
}

TEST(EditorLookTest, PhraseColoursByCheckAndDataType)
{
    PhraseItemRecord phrase;
    const struct
    {
        int dataType;
        COLORREF color;
    } kinds[] = {{0, ::GetSysColor(COLOR_WINDOWTEXT)}, {1, RGB(0, 0x80, 0)}, {2, RGB(0, 0, 0xFF)}};
    for (const auto& k : kinds) {
        phrase.dataType = k.dataType;
        phrase.included = 1;
        EXPECT_EQ(GetPhraseTextColor(phrase), k.color) << k.dataType;
        phrase.included = 0;
        EXPECT_EQ(GetPhraseTextColor(phrase), ::GetSysColor(COLOR_GRAYTEXT))
            << "unchecked is grey whatever its type";
    }

    // A folder is checked when one phrase deep inside it is; then its own data type colours it.
    PhraseItemRecord folder;
    folder.dataType = 1;
    PhraseItemRecord inner;
    PhraseItemRecord leaf;
    leaf.included = 0;
    inner.MakeFolder().push_back(leaf);
    folder.MakeFolder().push_back(inner);
    EXPECT_EQ(GetPhraseTextColor(folder), ::GetSysColor(COLOR_GRAYTEXT));
    folder.children->front().children->front().included = 1;
    EXPECT_EQ(GetPhraseTextColor(folder), RGB(0, 0x80, 0));
}

TEST(EditorLookTest, StringBuildersAndAnsiText)
{
    EXPECT_EQ(MakeCharRun(L'x', 3), CString(L"xxx"));
    EXPECT_TRUE(MakeCharRun(L'x', 0).IsEmpty());
    EXPECT_EQ(MakeGuillemetsAlt(2), CString(L"\x00BB\x00BB"));
    EXPECT_EQ(AnsiToWString("plain"), std::wstring(L"plain"));
    EXPECT_EQ(AnsiToWString(""), std::wstring());
    EXPECT_EQ(AnsiToWString(std::string("a\0b", 3)), std::wstring(L"a\0b", 3)) << "the whole byte run";
}

TEST(EditorLookTest, DefaultDashLine)
{
    CString text = L"Title";
    AppendDefaultDashLine(text, true);
    EXPECT_STREQ(text, CString(L"Title\n") + CString(L'\x2014', 30) + L"\n");
    CString empty;
    AppendDefaultDashLine(empty, false);
    EXPECT_STREQ(empty, CString(L'\x2014', 30));
}

TEST(EditorLookTest, CaseInsensitiveSearch)
{
    const struct
    {
        const wchar_t* pattern;
        const wchar_t* text;
        int start;
        int found;
    } cases[] = {
        {L"abc", L"xABCx", 0, 1}, {L"abc", L"xABCx", 2, -1},       {L"", L"abc", 0, -1},
        {L"abc", L"", 0, -1},     {L"\x00E9", L"caf\x00C9", 0, 3}, {L"b", L"abab", 2, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindStringOpt(c.pattern, c.text, c.start), c.found) << c.start;
        if (c.start == 0) {
            EXPECT_EQ(FindNoCase(c.text, c.pattern), c.found);
        }
    }
    EXPECT_STREQ(MapCaseCopy(L"abc\x00E9"), L"ABC\x00C9");
    EXPECT_STREQ(MapCaseCopy(L""), L"");
    EXPECT_EQ(ToUpperChar(L'q'), L'Q');
}

TEST(EditorLookTest, DialogFontsAreCachedWithTheirWeights)
{
    const struct
    {
        HFONT (*get)();
        LONG weight;
        BYTE italic;
    } cases[] = {{&GetDialogFont, FW_NORMAL, 0},       {&GetNormalDialogFont, FW_NORMAL, 0},
                 {&GetItalicDialogFont, FW_NORMAL, 1}, {&GetBoldDialogFont, FW_BOLD, 0},
                 {&GetLargeDialogFont, FW_NORMAL, 0},  {&GetBoldLargeDialogFont, FW_BOLD, 0}};
    for (const auto& c : cases) {
        HFONT font = c.get();
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(c.get(), font) << "made once";
        LOGFONTW logFont = {};
        ASSERT_TRUE(::GetObjectW(font, sizeof(logFont), &logFont));
        EXPECT_EQ(logFont.lfWeight, c.weight);
        EXPECT_EQ(logFont.lfItalic, c.italic);
    }
    LOGFONTW dialog = {}, medium = {};
    ::GetObjectW(GetDialogFont(), sizeof(dialog), &dialog);
    ::GetObjectW(GetMediumDialogFont(), sizeof(medium), &medium);
    EXPECT_EQ(medium.lfHeight, dialog.lfHeight + dialog.lfHeight / 4);
    EXPECT_STREQ(dialog.lfFaceName, L"MS Shell Dlg");

    HFONT struck = CreateStrikeOutFont(GetDialogFont());
    ASSERT_NE(struck, nullptr);
    LOGFONTW struckFont = {};
    ::GetObjectW(struck, sizeof(struckFont), &struckFont);
    EXPECT_TRUE(struckFont.lfStrikeOut);
    ::DeleteObject(struck);
    EXPECT_EQ(CreateStrikeOutFont(nullptr), nullptr);
}

} // namespace
