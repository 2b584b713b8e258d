// test-sources: ../../engine/EngineDialogs.rc
// Menu captions, tooltip previews, the last used list and the history sub-menu caption.
#include "common/RichEditConversion.h"
#include "common/Settings.h"
#include "common/TextUtilities.h"
#include "engine/DataNeededHander.h"
#include "engine/MacroContext.h"
#include "engine/MacroEngine.h"
#include "engine/MacroEnvironment.h"
#include "engine/MenuCaptions.h"
#include "engine/PhraseItemRecord.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

const LANGID kRussian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
HKL LayoutOf(LANGID language)
{
    return reinterpret_cast<HKL>(static_cast<UINT_PTR>(MAKELONG(language, language)));
}

class FixedEnvironment : public IMacroEnvironment
{
public:
    SYSTEMTIME GetLocalTime() const override { return SYSTEMTIME{2026, 3, 4, 5, 14, 5, 9, 0}; }
    std::vector<HKL> GetKeyboardLayouts() const override { return {LayoutOf(0x0409), LayoutOf(kRussian)}; }
    CString ReadClipboardText() const override { return L"clip"; }
};

class TestMenu : public IDataNeededHander
{
public:
    TestMenu() : IDataNeededHander(nullptr, nullptr) {}
    void ClearFonts_Internal() override {}
    int IsMenuShownBySelf() override { return 1; }
    bool IsMenuAlive() override { return false; }
    void OnDataNeeded(SVQuery&, SVAnswer&) override {}
    int IsAnswerFilled() override { return 0; }
};

PhraseItemRecord Phrase(const wchar_t* title, const wchar_t* body, int dataType)
{
    PhraseItemRecord record;
    record.SetTitle(title);
    record.body = body;
    record.dataType = dataType;
    return record;
}

const wchar_t kRtfHeader[] = L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";

class MenuCaptionsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        menu.SetTargetInfo(0x0409, L"", nullptr);
        context.clipboardText = L"CLIP";
    }
    std::wstring Caption(const PhraseItemRecord& record, int* caret = nullptr)
    {
        int position = -2;
        const CString caption = BuildPhraseMenuCaption(record, menu, context, position);
        if (caret != nullptr)
            *caret = position;
        return W(caption);
    }

    FixedEnvironment environment;
    CMacroEnvironmentOverride useEnvironment{environment};
    TestMenu menu;
    CMacroContext context;
};
} // namespace

TEST_F(MenuCaptionsTest, CaptionTable)
{
    const std::wstring user = W(GetMacroValue(L"%WINDOWS_USERNAME%", L"", L"", 0x0409));
    ASSERT_FALSE(user.empty());
    struct Case
    {
        PhraseItemRecord record;
        std::wstring expected;
        int caret;
    };
    std::vector<Case> cases;
    // A replaced macro makes the expanded body the caption of a plain-text phrase ...
    cases.push_back(
        {Phrase(L"Sign", L"Best regards,\r\n%WINDOWS_USERNAME%", 0), L"Best regards,\u00B6" + user, -1});
    // ... but never of a command.
    cases.push_back({Phrase(L"Sign", L"Best regards,\r\n%WINDOWS_USERNAME%", 2), L"Sign", -1});
    // The caret mark alone replaces no macro: the title stays, the caret position is reported.
    cases.push_back({Phrase(L"Mark", L"a%CURSOR_POS%b", 0), L"Mark", 1});
    cases.push_back({Phrase(L"Cmd", L"run %CURSOR_POS%x", 2), L"Cmd", 4});
    // Lone line feeds and returns show as "¶"; a tab becomes two blanks, which the one-line menu
    // form then makes one.
    cases.push_back({Phrase(L"Tab", L"x\ty\nz\r%CLIPBOARD_TEXT%", 0), L"x y\u00B6z\u00B6CLIP", -1});
    // A plain text without macros keeps its title; the bracketed texts follow it for commands.
    cases.push_back({Phrase(L"Plain", L"nothing to expand", 0), L"Plain", -1});
    cases.push_back({Phrase(L"Open", L"notepad %CLIPBOARD_TEXT%", 2), L"Open [CLIP]", -1});
    // An empty result falls back to the title caption.
    cases.push_back({Phrase(L"Empty", L"%SELECTED_TEXT%", 0), L"Empty", -1});
    // RTF: the plain text of the expanded body on one line; the caret mark shows as one blank.
    cases.push_back(
        {Phrase(L"Rich", (std::wstring(kRtfHeader) + L"Dear %CLIPBOARD_TEXT%,\\par bye\\par}").c_str(), 1),
         L"Dear CLIP, bye", -1});
    cases.push_back(
        {Phrase(L"Rich", (std::wstring(kRtfHeader) + L"ab%CURSOR_POS%cd}").c_str(), 1), L"ab cd", -1});

    for (const Case& c : cases) {
        int caret = -2;
        EXPECT_EQ(Caption(c.record, &caret), c.expected) << W(c.record.body);
        EXPECT_EQ(caret, c.caret) << W(c.record.body);
    }
}

TEST_F(MenuCaptionsTest, SelectionIsShortenedToOneMenuLine)
{
    std::wstring selection;
    for (int i = 0; i < 10; ++i)
        selection += L"word" + std::to_wstring(i) + L"\r\nxy ";
    ASSERT_EQ(selection.size(), 100u);
    context.selectedText = selection.c_str();
    const std::wstring caption = Caption(Phrase(L"Quote", L"> %SELECTED_TEXT%", 0));
    EXPECT_LE(caption.size(), 40u);
    EXPECT_EQ(caption.substr(0, 10), L"> word0\u00B6xy");
    EXPECT_NE(caption.find(L'\u2026'), std::wstring::npos);
    EXPECT_EQ(caption.substr(caption.size() - 4), L"9\u00B6xy") << "the tail, trimmed";
}

TEST_F(MenuCaptionsTest, TitleCaptions)
{
    PhraseItemRecord unnamed = Phrase(L"", L"%CLIPBOARD_TEXT%", 0);
    unnamed.useTitleOnly = 1;
    unnamed.SetPath(L"C:\\Phrases\\Greeting.scrivolanter");
    EXPECT_EQ(Caption(unnamed), L"Greeting.scrivolanter");

    PhraseItemRecord longTitle = Phrase(std::wstring(30, L'x').append(30, L'y').c_str(), L"", 0);
    longTitle.useTitleOnly = 1;
    const std::wstring caption = Caption(longTitle);
    EXPECT_EQ(caption, std::wstring(20, L'x') + L"\u2026   \u2026" + std::wstring(20, L'y'));
}

TEST_F(MenuCaptionsTest, TooltipTexts)
{
    CString expanded;
    const PhraseItemRecord hello = Phrase(L"Hi", L"Hi %CLIPBOARD_TEXT%\r\n%SELECTED_TEXT%", 0);
    EXPECT_EQ(W(BuildPhraseTooltipText(hello, L"Caption", 0x0409, L"you", L"there", &expanded)),
              L"Insert plain text \u00BB Caption\nChars: 13\r\n\r\nHi there\r\nyou");
    EXPECT_EQ(W(expanded), L"Hi there\r\nyou");

    const PhraseItemRecord command = Phrase(L"Run", L"notepad.exe", 2);
    EXPECT_EQ(W(BuildPhraseTooltipText(command, L"Run", 0x0409, L"", L"", nullptr)),
              L"Execute application \u00BB Run\r\n\r\nnotepad.exe");

    const PhraseItemRecord empty = Phrase(L"Nothing", L"", 0);
    EXPECT_EQ(W(BuildPhraseTooltipText(empty, L"Nothing", 0x0409, L"", L"", &expanded)),
              L"Insert plain text \u00BB Nothing");
    EXPECT_EQ(W(expanded), L"");

    const PhraseItemRecord rich =
        Phrase(L"Rich", (std::wstring(kRtfHeader) + L"big {\\b 1234} words\\par}").c_str(), 1);
    const std::wstring richTip = W(BuildPhraseTooltipText(rich, L"Rich", 0x0409, L"", L"", &expanded));
    EXPECT_EQ(richTip.substr(0, 29), L"Insert formatted text \u00BB Rich\n");
    EXPECT_NE(richTip.find(L"\nChars: 1"), std::wstring::npos);
    EXPECT_NE(richTip.find(L"\r\n\r\nbig 1234 words"), std::wstring::npos);
}

// A phrase of a megabyte of rich text: its caption and its preview are built from the head of the
// body; the converter is never loaded with the whole of it.
TEST_F(MenuCaptionsTest, ALongRtfBodyIsReadOnlyAsFarAsItsHead)
{
    std::wstring rtf = std::wstring(kRtfHeader) + L"Opening words\\par ";
    while (rtf.size() < 1024 * 1024)
        rtf += L"filler text {\\b bold} more filler\\par ";
    rtf += L"closing words}";
    const PhraseItemRecord rich = Phrase(L"Big", rtf.c_str(), 1);
    const auto converterChars = [] {
        GETTEXTLENGTHEX length{GTL_NUMCHARS, 1200};
        return static_cast<int>(
            ::SendMessageW(GetRichEditConverter(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    };

    const std::wstring caption = Caption(rich);
    EXPECT_EQ(caption.substr(0, 13), L"Opening words");
    EXPECT_LT(converterChars(), 100000);

    CString expanded;
    const std::wstring tip = W(BuildPhraseTooltipText(rich, L"Big", 0x0409, L"", L"", &expanded));
    EXPECT_LT(converterChars(), 100000);
    EXPECT_EQ(expanded.GetLength(), 4096);
    EXPECT_EQ(W(expanded).substr(0, 13), L"Opening words");
    EXPECT_EQ(tip.find(L"closing words"), std::wstring::npos);
    EXPECT_EQ(tip.find(L"Chars:"), std::wstring::npos) << "a count of the head only would mislead";
}

TEST_F(MenuCaptionsTest, TooltipNamesTheLayoutAPhraseSwitchesTo)
{
    CString language = GetLocaleLanguageText(kRussian, false);
    ASSERT_FALSE(language.IsEmpty());
    language.MakeUpper();
    const std::wstring layoutLine = L"\r\n+ Activate keyboard layout   " + W(language);

    const PhraseItemRecord plain = Phrase(L"Ru", L"%ACTIVATE_KL_RU%privet", 0);
    CString expanded;
    EXPECT_EQ(W(BuildPhraseTooltipText(plain, L"Ru", 0x0409, L"", L"", &expanded)),
              L"Insert plain text \u00BB Ru\nChars: 6\r\n\r\nprivet" + layoutLine);

    const PhraseItemRecord rich =
        Phrase(L"Ru", (std::wstring(kRtfHeader) + L"%ACTIVATE_KL_RU%da\\par}").c_str(), 1);
    const std::wstring richTip = W(BuildPhraseTooltipText(rich, L"Ru", 0x0409, L"", L"", nullptr));
    ASSERT_GE(richTip.size(), layoutLine.size());
    EXPECT_EQ(richTip.substr(richTip.size() - layoutLine.size()), layoutLine);
}

TEST(PhraseKindTexts, InTheCurrentLanguage)
{
    // The texts come from the engine's string table, which the test links like the program does.
    for (const UINT id : {142u, 162u, 163u, 164u, 165u, 178u, 230u}) {
        const wchar_t* text = nullptr;
        EXPECT_GT(LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0), 0) << id;
    }
    EXPECT_EQ(W(GetPhraseKindText(0)), L"Insert plain text");
    EXPECT_EQ(W(GetPhraseKindText(1)), L"Insert formatted text");
    EXPECT_EQ(W(GetPhraseKindText(2)), L"Execute application");
    EXPECT_EQ(W(GetPhraseKindText(3)), L"");
    EXPECT_EQ(W(GetHistoryDataText()), L"Data from clipboard history");
}

TEST(LastUsedList, NewestFirstFilteredAndCut)
{
    const int savedCount = GetSettings().AddLastUsedMenuToBegin_Count;
    GetSettings().AddLastUsedMenuToBegin_Count = 3;
    TestMenu menu;
    EXPECT_EQ(menu.GetLastUsedId(), -1);
    for (const int id : {9, 7, 4})
        ASSERT_TRUE(menu.SetLastID(id));
    EXPECT_EQ(menu.GetLastUsedIds(), (std::vector<int>{4, 7, 9}));
    ASSERT_TRUE(menu.SetLastID(9));
    EXPECT_EQ(menu.GetLastUsedIds(), (std::vector<int>{9, 4, 7}));
    ASSERT_TRUE(menu.SetLastID(12));
    EXPECT_EQ(menu.GetLastUsedIds(), (std::vector<int>{12, 9, 4}));
    EXPECT_EQ(menu.GetLastUsedId(), 12);

    struct Filter
    {
        int refused = 7;
        std::vector<int> asked;
    } filter;
    menu.SetLastIdFilter(
        [](int id, void* data) -> int {
            auto* state = static_cast<Filter*>(data);
            state->asked.push_back(id);
            return id == state->refused ? 0 : 1;
        },
        &filter);
    EXPECT_FALSE(menu.SetLastID(7));
    EXPECT_EQ(menu.GetLastUsedIds(), (std::vector<int>{12, 9, 4}));
    EXPECT_EQ(menu.GetLastUsedId(), 12);
    EXPECT_TRUE(menu.SetLastID(4));
    EXPECT_EQ(menu.GetLastUsedIds(), (std::vector<int>{4, 12, 9}));
    EXPECT_EQ(filter.asked, (std::vector<int>{7, 4}));

    GetSettings().AddLastUsedMenuToBegin_Count = 1;
    ASSERT_TRUE(menu.SetLastID(9));
    EXPECT_EQ(menu.GetLastUsedIds(), (std::vector<int>{9}));
    GetSettings().AddLastUsedMenuToBegin_Count = savedCount;
}

TEST(HistorySubMenu, CaptionWithAndWithoutMenuLimit)
{
    const int saved = GetSettings().MaxHistoryItemsInMenu;
    TestMenu menu;
    GetSettings().MaxHistoryItemsInMenu = 15;
    EXPECT_EQ(W(menu.GetHistorySubMenuCaption(40)), L"Clipboard History [15\\40]");
    EXPECT_EQ(W(menu.GetHistorySubMenuCaption(3)), L"Clipboard History [3\\3]");
    GetSettings().MaxHistoryItemsInMenu = 0;
    EXPECT_EQ(W(menu.GetHistorySubMenuCaption(40)), L"Clipboard History [40]");
    GetSettings().MaxHistoryItemsInMenu = saved;
}

TEST(TargetQuery, SelectedTextOnlyWhenTheQuerySaysSo)
{
    struct Query
    {
        CString SelText;
        int StateSelText;
    };
    EXPECT_EQ(W(GetTargetSelectedText(Query{L"sel", 2})), L"sel");
    EXPECT_EQ(W(GetTargetSelectedText(Query{L"sel", 1})), L"sel");
    EXPECT_EQ(W(GetTargetSelectedText(Query{L"sel", 0})), L"");
    EXPECT_EQ(W(GetTargetSelectedText(Query{L"sel", -1})), L"");
}

TEST(TargetInfo, StoredForTheRequest)
{
    TestMenu menu;
    EXPECT_EQ(menu.GetTargetLangId(), 0);
    EXPECT_EQ(menu.GetTargetWindow(), nullptr);
    const HWND window = GetDesktopWindow();
    menu.SetTargetInfo(kRussian, L"picked", window);
    menu.SetClipboardText(L"copied");
    EXPECT_EQ(menu.GetTargetLangId(), kRussian);
    EXPECT_EQ(W(menu.GetSelectedText()), L"picked");
    EXPECT_EQ(menu.GetTargetWindow(), window);
    EXPECT_EQ(W(menu.GetClipboardText()), L"copied");
}
