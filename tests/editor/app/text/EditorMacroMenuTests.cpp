// The macro menu, macro tips and the colouring scheme built from the editor's macro table.
#include "editor/app/text/EditorMacroMenu.h"

#include "editor/app/text/EditorMacros.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::wstring W(const CString& text)
{
    return text.GetString();
}

TEST(EditorMacroMenu, OneItemPerMacroAndNoTipOutsideTheTable)
{
    HMENU menu = ::CreatePopupMenu();
    const int count = AppendMacroMenuItems(menu);
    EXPECT_EQ(count, GetMacroCount());
    ASSERT_EQ(::GetMenuItemCount(menu), count);
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, kMacroCommandFirst + i, text, 64, MF_BYCOMMAND);
        EXPECT_EQ(std::wstring(text), W(GetMacroName(i)));
        EXPECT_EQ(W(GetMacroNameForCommand(kMacroCommandFirst + i)), W(GetMacroName(i)));
    }
    ::DestroyMenu(menu);

    EXPECT_TRUE(GetMacroTip(kMacroCommandFirst + count).IsEmpty());
    EXPECT_TRUE(GetMacroTip(kMacroCommandFirst - 1).IsEmpty());
    EXPECT_FALSE(GetMacroTip(kMacroCommandFirst).IsEmpty());
}

TEST(EditorMacroMenu, DescriptionTipsCarryTheValuePreviewWhenThereIsOne)
{
    struct Case
    {
        const wchar_t* macro;
        const wchar_t* tip;
    };
    const Case cases[] = {
        {L"%CURSOR_POS%", L"The caret will be placed here after insertion of text"},
        {L"%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%",
         L"Remove all web protocols from left of command (http://, https:// and etc)"},
        {L"%SELECTED_TEXT%",
         L"Selected text in target application\r\r  [Selected text in target application]"},
        {L"%KEYPRESS_TAB%", L"Press and release TAB key\r\r  [\t]"},
        {L"%NO_SUCH_MACRO%", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(GetMacroDescriptionTip(c.macro)), std::wstring(c.tip)) << c.macro;

    // Keyboard-layout macros have no map entry; their language describes them.
    for (int i = 0; i < GetMacroCount(); ++i) {
        const std::wstring name = W(GetMacroName(i));
        if (name.rfind(L"%ACTIVATE_KL_", 0) != 0)
            continue;
        EXPECT_EQ(GetMacroDescriptionId(name.c_str()), 0u);
        const std::wstring tip = W(GetMacroDescriptionTip(name.c_str()));
        EXPECT_EQ(tip.rfind(L"The macro will be activate this keyboard layout", 0), 0u) << name;
    }
}

TEST(EditorMacroMenu, LineBreaksCollapseForTips)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* collapsed;
    };
    const Case cases[] = {
        {L"a\n\nb", L"a b"}, {L"a\r\rb\rc", L"a b c"}, {L"\r\n x \n", L"x"}, {L"plain", L"plain"}};
    for (const Case& c : cases)
        EXPECT_EQ(W(CollapseLineBreaksForTip(c.text)), std::wstring(c.collapsed)) << c.text;
    EXPECT_EQ(W(GetPhrasePreviewTip(L"text", L"")), L"text");
    EXPECT_EQ(W(GetPhrasePreviewTip(L"text", L"more")), L"text\n\n more");
}

TEST(EditorMacroMenu, SchemeColoursEveryMacroAndTheInputMarkerSpans)
{
    const MacroColoringScheme& scheme = GetMacroColoringScheme();
    EXPECT_EQ(&scheme, &GetMacroColoringScheme());
    EXPECT_FALSE(scheme.matchCase);
    ASSERT_EQ(scheme.wordGroups.size(), 1u);
    const MacroWordGroup& words = scheme.wordGroups[0];
    EXPECT_EQ(words.color, RGB(255, 104, 32));
    ASSERT_EQ(static_cast<int>(words.words.size()), GetMacroCount());
    bool promptCut = false;
    for (const CString& word : words.words) {
        EXPECT_NE(W(word), L"%PROMPT_TEXT={}%");
        promptCut = promptCut || word == L"%PROMPT_TEXT={}";
    }
    EXPECT_TRUE(promptCut);
    ASSERT_EQ(scheme.pairGroups.size(), 1u);
    ASSERT_EQ(scheme.pairGroups[0].pairs.size(), 1u);
    const MacroPair& pair = scheme.pairGroups[0].pairs[0];
    EXPECT_EQ(W(pair.openText), L"%PROMPT_TEXT={");
    EXPECT_EQ(W(pair.closeText), L"}%");
    EXPECT_TRUE(pair.bold);
    EXPECT_FALSE(scheme.pairGroups[0].useAutoColor);
}

} // namespace
