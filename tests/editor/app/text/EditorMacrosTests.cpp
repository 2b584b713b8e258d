// The editor's macro entry points: the table by index, rich-edit expansion that cannot loop, the
// split at input markers with the editor's part kinds, layout macros and value previews.

#include "editor/app/text/EditorMacros.h"

#include "engine/MacroEngine.h"
#include "engine/MacroEnvironment.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <string>
#include <vector>

namespace
{

std::wstring W(const CString& text)
{
    return text.GetString();
}

HKL LayoutOf(LANGID language)
{
    return reinterpret_cast<HKL>(static_cast<UINT_PTR>(MAKELONG(language, language)));
}

class FixedEnvironment : public IMacroEnvironment
{
public:
    SYSTEMTIME GetLocalTime() const override { return now; }
    std::vector<HKL> GetKeyboardLayouts() const override { return layouts; }
    CString ReadClipboardText() const override { return L"clip"; }

    SYSTEMTIME now{2026, 3, 4, 5, 14, 5, 9, 0};
    std::vector<HKL> layouts{LayoutOf(0x0409), LayoutOf(0x0419), LayoutOf(0x0407)};
};

class EditorMacrosTest : public testing::Test
{
protected:
    void SetUp() override
    {
        LoadLibraryW(L"riched20.dll");
        richEdit = CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | ES_MULTILINE | ES_WANTRETURN, 0, 0, 100,
                                   100, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(richEdit, nullptr);
    }
    void TearDown() override { DestroyWindow(richEdit); }

    std::wstring Expand(const wchar_t* text, const wchar_t* selected)
    {
        SetWindowTextW(richEdit, text);
        ExpandMacrosInRichEdit(richEdit, selected, L"clip", 0x0409);
        wchar_t buffer[1024] = {};
        GetWindowTextW(richEdit, buffer, 1024);
        std::wstring result = buffer;
        for (size_t at = result.find(L'\r'); at != std::wstring::npos; at = result.find(L'\r')) {
            result.erase(at, 1); // the control's paragraph marks
        }
        return result;
    }

    FixedEnvironment environment;
    CMacroEnvironmentOverride useEnvironment{environment};
    HWND richEdit = nullptr;
};

} // namespace

TEST_F(EditorMacrosTest, TableIsSortedAndHoldsTheLayouts)
{
    const int count = GetMacroCount();
    ASSERT_GE(count, 36 + 3);
    for (int i = 1; i < count; ++i) {
        EXPECT_LT(wcscmp(GetMacroName(i - 1), GetMacroName(i)), 0);
    }
    EXPECT_TRUE(GetMacroName(-1).IsEmpty());
    EXPECT_TRUE(GetMacroName(count).IsEmpty());
    const std::vector<std::wstring> expected{L"%ACTIVATE_KL_DE%", L"%ACTIVATE_KL_EN%", L"%ACTIVATE_KL_RU%"};
    std::vector<std::wstring> layouts;
    for (int i = 0; i < count; ++i) {
        if (W(GetMacroName(i)).rfind(L"%ACTIVATE_KL_", 0) == 0) {
            layouts.push_back(W(GetMacroName(i)));
        }
    }
    EXPECT_EQ(layouts, expected);
}

TEST_F(EditorMacrosTest, RichEditExpansionGoesOnAfterEachValue)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* selected;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"a %SELECTED_TEXT% b %SELECTED_TEXT%", L"%SELECTED_TEXT%", L"a %SELECTED_TEXT% b %SELECTED_TEXT%"},
        {L"%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%x%CURSOR_POS%y", L"", L"xy"},
        {L"<%UPPER_SELTEXT%|%CLIPBOARD_TEXT%|%YEAR%>", L"abc", L"<ABC|clip|2026>"},
        // The editor counts the characters in decimal.
        {L"<%NUMBERCHARS_SELTEXT%|%NUMBERCHARS_CLIPBOARD%>", L"12 apples", L"<9|4>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Expand(c.text, c.selected), c.expected) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST_F(EditorMacrosTest, EditorValuesKeepTheEditorsOwnRules)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* selected;
        const wchar_t* clipboard;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"%NUMBERCHARS_SELTEXT%", L"12 apples", L"", L"9"},
        {L"%numberchars_clipboard%", L"", L"twelve", L"6"},
        {L"%NUMBERCHARS_SELTEXT%", L"", L"", L"0"},
        {L"%KEYPRESS_TAB%", L"", L"", L"\t"},
        {L"%KEYPRESS_ENTER%", L"", L"", L"\r"},
        {L"%CURSOR_POS%", L"x", L"", L""},
        {L"%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%", L"x", L"", L""},
        {L"%LOWER_SELTEXT%", L"MiXed", L"", L"mixed"},
        {L"%DAY2%", L"", L"", L"05"},
        {L"%MONTHNUMBER%", L"", L"", L"3"},
        {L"%YEAR2%", L"", L"", L"26"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(W(GetEditorMacroValue(c.name, c.selected, c.clipboard, 0x0409)), c.expected) << W(c.name);

    // A plain text: the selection is counted after its web protocols went, and the caret steps back
    // over what follows the caret mark.
    CString text = L"%NUMBERCHARS_SELTEXT%:%CURSOR_POS%ab";
    int cursorBack = -1;
    EXPECT_EQ(1, ExpandEditorPhraseMacros(text, L"https://x.org", L"", &cursorBack, nullptr, 0x0409));
    EXPECT_EQ(L"5:ab", W(text));
    EXPECT_EQ(2, cursorBack);
}

TEST(EditorMacroParts, SplitAtInputMarkersGivesTheEditorsKinds)
{
    struct Case
    {
        const wchar_t* text;
        std::vector<std::pair<std::wstring, int>> parts;
    };
    const Case cases[] = {
        {L"no marker", {{L"no marker", kPartWholeText}}},
        {L"Dear %PROMPT_TEXT={name}%, hi",
         {{L"Dear ", kPartBeforeFirstMarker},
          {L"%PROMPT_TEXT={name}%", kPartPlainOrMarker},
          {L", hi", kPartPlainOrMarker}}},
        {L"%PROMPT_TEXT={a}%%PROMPT_TEXT={b",
         {{L"%PROMPT_TEXT={a}%", kPartPlainOrMarker}, {L"%PROMPT_TEXT={b", kPartUnclosedMarker}}},
    };
    for (const Case& c : cases) {
        std::vector<EditorTextPart> parts;
        SplitAtInputMarkers(c.text, parts);
        std::vector<std::pair<std::wstring, int>> got;
        for (const EditorTextPart& part : parts) {
            got.emplace_back(W(part.text), part.kind);
            EXPECT_EQ(part.marker != nullptr,
                      W(part.text).rfind(L"%PROMPT_TEXT={", 0) == 0 && part.kind == kPartPlainOrMarker);
        }
        EXPECT_EQ(got, c.parts) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST_F(EditorMacrosTest, LayoutMacrosAreDescribedAndRemoved)
{
    CString text = L"a%ACTIVATE_KL_RU%b";
    EXPECT_EQ(RemoveLayoutMacros(text), 0x0419);
    EXPECT_EQ(W(text), L"ab");
    EXPECT_TRUE(DescribeLayoutMacro(L"%DATE%", L"Switch").IsEmpty());
    const std::wstring description = W(DescribeLayoutMacro(L"%ACTIVATE_KL_DE%", L"Switch"));
    EXPECT_EQ(description.rfind(L"Switch", 0), 0u) << description;
}

TEST_F(EditorMacrosTest, PreviewJoinsTheDistinctValuesOfEveryLayout)
{
    EXPECT_EQ(W(PreviewMacroValue(L"%YEAR%", nullptr, L"sel")), L"2026");
    EXPECT_EQ(W(PreviewMacroValue(L"%UPPER_SELTEXT%", nullptr, L"sel")), L"SEL");
    const std::wstring months = W(PreviewMacroValue(L"%MONTHNAME%", nullptr, L""));
    EXPECT_NE(months.find(L"\n\n"), std::wstring::npos) << months; // English, German and Russian names
}
