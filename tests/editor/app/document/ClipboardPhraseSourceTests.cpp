// test-locks: clipboard
// What a new phrase from the clipboard is made of: its menu name, the RTF body
// and the real clipboard read as the editor reads it.
#include "editor/app/document/ClipboardPhraseSource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/ClipboardFill.h"
#include "support/MessagePump.h"

namespace
{
std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

// Empties the clipboard and puts the text (when given) and the RTF (when given).
bool FillClipboard(const wchar_t* text, const char* rtf)
{
    if (!scvtest::WaitUntil([] { return ::OpenClipboard(nullptr) != FALSE; }, 5000))
        return false;
    ::EmptyClipboard();
    bool put = true;
    if (text)
        put = scvtest::PutClipboardBlock(CF_UNICODETEXT, text, (wcslen(text) + 1) * sizeof(wchar_t));
    if (rtf)
        put = put && scvtest::PutClipboardBlock(::RegisterClipboardFormatW(L"Rich Text Format"), rtf,
                                                strlen(rtf) + 1);
    ::CloseClipboard();
    return put;
}
} // namespace

TEST(ClipboardPhraseSource, MenuNameIsTrimmedAndCutBeforeTheFirstLineBreak)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* name;
    } cases[] = {
        {L"  \r\nabc", L"abc"},      {L"\tfirst\r\nsecond", L"first"},
        {L"one line ", L"one line"}, {L"a\nb", L"a"},
        {L"\r\n\r\n", L""},          {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(MenuNameFromPlainText(c.text)), c.name)
            << testing::PrintToString(std::wstring(c.text));
}

TEST(ClipboardPhraseSource, RtfBytesAreWidenedUnlessTheyAreUnicodeRtf)
{
    EXPECT_EQ(Text(RtfBodyFromClipboardBytes("{\\rtf1 caf\xe9}")), L"{\\rtf1 caf\u00e9}");
    EXPECT_EQ(Text(RtfBodyFromClipboardBytes("{\\urtf1 caf\xc3\xa9}")), L"{\\urtf1 caf\u00e9}");
}

TEST(ClipboardPhraseSource, ReadsRtfFirstThenTextAndNothingFromAnEmptyClipboard)
{
    ClipboardPhrase phrase;
    ASSERT_TRUE(FillClipboard(L"  plain title\r\nbody", nullptr));
    ASSERT_TRUE(ReadClipboardPhrase(nullptr, phrase));
    EXPECT_EQ(phrase.kind, 0);
    EXPECT_EQ(Text(phrase.body), L"  plain title\r\nbody");
    EXPECT_EQ(Text(phrase.menuName), L"plain title");

    ::LoadLibraryW(L"RichEd20.DLL"); // the editor has it loaded for the RTF's plain text
    ASSERT_TRUE(FillClipboard(L"ignored text", "{\\rtf1\\ansi {\\b Bold} title\\par more}"));
    ASSERT_TRUE(ReadClipboardPhrase(nullptr, phrase));
    EXPECT_EQ(phrase.kind, 1);
    EXPECT_EQ(Text(phrase.body), L"{\\rtf1\\ansi {\\b Bold} title\\par more}");
    EXPECT_EQ(Text(phrase.menuName), L"Bold title");

    ASSERT_TRUE(FillClipboard(nullptr, nullptr));
    EXPECT_FALSE(ReadClipboardPhrase(nullptr, phrase));
}
