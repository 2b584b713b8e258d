// test-locks: clipboard
#include "common/LocaleInfo.h"
#include "common/RichEditConversion.h"
#include "engine/ClipboardAccess.h"
#include "engine/MacroContext.h"
#include "engine/MacroEngine.h"
#include "engine/MacroEnvironment.h"
#include "engine/PhraseItemRecord.h"
#include "engine/RtfMacroExpansion.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <algorithm>
#include <string>

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

const LCID kEnglishUs = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
const LANGID kRussian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
const LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

HKL LayoutOf(LANGID language)
{
    return reinterpret_cast<HKL>(static_cast<UINT_PTR>(MAKELONG(language, language)));
}

// Thursday, 5 March 2026, 14:05:09; English, Russian and German layouts; a clipboard text.
class FixedEnvironment : public IMacroEnvironment
{
public:
    SYSTEMTIME GetLocalTime() const override { return now; }
    std::vector<HKL> GetKeyboardLayouts() const override { return layouts; }
    CString ReadClipboardText() const override { return clipboard; }

    SYSTEMTIME now{2026, 3, 4, 5, 14, 5, 9, 0};
    std::vector<HKL> layouts{LayoutOf(0x0409), LayoutOf(kRussian), LayoutOf(kGerman)};
    CString clipboard = L"from the clipboard";
};

class MacroEngineTest : public testing::Test
{
protected:
    FixedEnvironment environment;
    CMacroEnvironmentOverride useEnvironment{environment};
};

const wchar_t kCursor[] = L"%CURSOR_POS%";
} // namespace

TEST_F(MacroEngineTest, PlainExpansionTable)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* selected;
        const wchar_t* clipboard;
        const wchar_t* expected;
        int replacements;
        int caretSteps;
        LANGID layout;
    } cases[] = {
        {L"Dear %SELECTED_TEXT%,", L"Anna", L"", L"Dear Anna,", 1, 0, 0},
        {L"Dear %selected_text%,", L"Anna", L"", L"Dear %selected_text%,", 0, 0,
         0}, // names are case-sensitive
        {L"%SELECTED_TEXT% and %SELECTED_TEXT%", L"x", L"", L"x and x", 2, 0, 0},
        {L"[%CLIPBOARD_TEXT%]", L"", L"clip", L"[clip]", 1, 0, 0},
        // Leading web protocols are stripped from every non-empty selection; the trim macro is
        // removed wherever it stands, also from the selection.
        {L"%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%%SELECTED_TEXT%", L"HTTP://host/x", L"", L"host/x", 1, 0, 0},
        {L"%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%%SELECTED_TEXT%", L"http://https://a", L"", L"a", 1, 0, 0},
        {L"%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%%SELECTED_TEXT%", L"ftp://a", L"", L"ftp://a", 1, 0, 0},
        {L"%SELECTED_TEXT%", L"https://a", L"", L"a", 1, 0, 0},
        {L"<%SELECTED_TEXT%>", L"a%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%b", L"", L"<ab>", 1, 0, 0},
        {L"x%TRIM_LEFT_ALLPROTS_FROM_SELTEXT%y", L"", L"", L"xy", 0, 0, 0},
        {L"%URL_FROM_SELECTED_TEXT%", L"https://host/page more", L"", L"", 1, 0, 0},
        {L"%URL_FROM_SELECTED_TEXT%", L"ftp://host/page more", L"", L"ftp://host/page", 1, 0, 0},
        {L"%URL_FROM_SELECTED_TEXT%|%TEXT_AFTER_URL%", L"  https://host/a b c", L"", L"https://host/a| b c",
         2, 0, 0},
        {L"%URL_FROM_SELECTED_TEXT%|%TEXT_AFTER_URL%", L"see https://host", L"", L"|see https://host", 2, 0,
         0},
        {L"%URL_FROM_CLIPBOARD%", L"", L"ftp://files/x.zip\tnext", L"ftp://files/x.zip", 1, 0, 0},
        {L"%UPPER_SELTEXT%/%LOWER_SELTEXT%", L"MiXeD \x041F\x0440\x0438", L"",
         L"MIXED \x041F\x0420\x0418/mixed \x043F\x0440\x0438", 2, 0, 0},
        {L"%NUMBERCHARS_SELTEXT%", L"Total 25", L"", L"Total двадцать пять", 1, 0, 0},
        {L"[%NUMBERCHARS_CLIPBOARD%]", L"", L"", L"[]", 1, 0, 0},
        {L"%DAY%.%DAY2%.%MONTHNUMBER%.%MONTHNUMBER2%.%YEAR%.%YEAR2%", L"", L"", L"5.05.3.03.2026.26", 6, 0,
         0},
        {L"%MONTHNAME% %MONTHNAME_ABBR% %WEEKDAYNAME% %WEEKDAYNAME_ABBR%", L"", L"",
         L"March Mar Thursday Thu", 4, 0, 0},
        {L"%DATE_EX_WD%|%TIME%|%DATETIME_EX_WD%", L"", L"", L"March 5, 2026|14:05:09|March 5, 2026 14:05:09",
         3, 0, 0},
        {L"a%KEYPRESS_TAB%b%KEYPRESS_ENTER%c", L"", L"", L"a\tb\rc", 2, 0, 0},
        {L"[%PROMPT_TEXT={}%]", L"", L"", L"[]", 1, 0, 0},
        // Caret: steps from the end back to the first mark; CR LF is one step; every mark goes.
        {L"a%CURSOR_POS%bc", L"", L"", L"abc", 0, 2, 0},
        {L"a%CURSOR_POS%b\r\nc", L"", L"", L"ab\r\nc", 0, 3, 0},
        {L"a%CURSOR_POS%\r\n\r\n", L"", L"", L"a\r\n\r\n", 0, 2, 0},
        {L"x%CURSOR_POS%y%CURSOR_POS%z", L"", L"", L"xyz", 0, 2, 0},
        {L"a%CURSOR_POS%%KEYPRESS_ENTER%%SELECTED_TEXT%", L"two\r\nlines", L"", L"a\rtwo\r\nlines", 2, 10, 0},
        {L"%CURSOR_POS%", L"", L"", L"", 0, 0, 0},
        // Layout macros: removed; the last installed one (in name order) is asked for.
        {L"%ACTIVATE_KL_RU%\x041F\x0440\x0438", L"", L"", L"\x041F\x0440\x0438", 0, 0, kRussian},
        {L"%ACTIVATE_KL_RU%x%ACTIVATE_KL_DE%", L"", L"", L"x", 0, 0, kRussian},
        {L"%ACTIVATE_KL_DE%x", L"", L"", L"x", 0, 0, kGerman},
        {L"%ACTIVATE_KL_FR%x", L"", L"", L"%ACTIVATE_KL_FR%x", 0, 0, 0}, // no French layout
    };
    for (const Case& c : cases) {
        CString text = c.text;
        int caret = -1;
        LANGID layout = 0xFFFF;
        const int count = ExpandPhraseMacros(text, c.selected, c.clipboard, &caret, &layout, kEnglishUs);
        const std::string label = testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(W(text), c.expected) << label;
        EXPECT_EQ(count, c.replacements) << label;
        EXPECT_EQ(caret, c.caretSteps) << label;
        EXPECT_EQ(layout, c.layout) << label;
    }
}

TEST_F(MacroEngineTest, OutPointersAreOptional)
{
    CString text = L"%YEAR%%CURSOR_POS%!";
    EXPECT_EQ(ExpandPhraseMacros(text, CString(), CString(), nullptr, nullptr, kEnglishUs), 1);
    EXPECT_EQ(W(text), L"2026!");
}

TEST_F(MacroEngineTest, LongDateMacrosFollowTheLocale)
{
    CString text = L"%DATE%|%DATETIME%";
    ExpandPhraseMacros(text, CString(), CString(), nullptr, nullptr, kEnglishUs);
    const std::wstring longDate = W(DateTimeTextByMode(DateTimeTextLongDate, kEnglishUs, environment.now));
    ASSERT_NE(longDate.find(L"March 5, 2026"), std::wstring::npos) << longDate;
    EXPECT_EQ(W(text), longDate + L"|" + longDate + L" 14:05:09");

    const LCID russian = MAKELCID(kRussian, SORT_DEFAULT);
    EXPECT_EQ(W(GetMacroValue(L"%MONTHNAME_ABBR%", CString(), CString(), russian)),
              W(GetLocaleMonthName(3, russian, true)));
}

TEST_F(MacroEngineTest, ValuesByName)
{
    EXPECT_EQ(W(GetMacroValue(L"%year%", CString(), CString(), kEnglishUs)), L"2026"); // any case
    EXPECT_EQ(W(GetMacroValue(kCursor, L"sel", L"clip", kEnglishUs)), L"");
    EXPECT_EQ(W(GetMacroValue(L"%ACTIVATE_KL_RU%", L"sel", L"clip", kEnglishUs)), L"");
    EXPECT_EQ(W(GetMacroValue(L"%NO_SUCH_MACRO%", L"sel", L"clip", kEnglishUs)), L"");

    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(::GetSystemDirectoryW(folder, MAX_PATH), 0u);
    EXPECT_EQ(W(GetMacroValue(L"%WINSYSDIR%", CString(), CString(), kEnglishUs)), folder);
    wchar_t user[257] = {};
    DWORD size = 256;
    ASSERT_TRUE(::GetUserNameW(user, &size));
    EXPECT_EQ(W(GetMacroValue(L"%WINDOWS_USERNAME%", CString(), CString(), kEnglishUs)), user);
    EXPECT_FALSE(GetMacroValue(L"%WINDOWS_VERSION%", CString(), CString(), kEnglishUs).IsEmpty());
    const CString mouse = GetMacroValue(L"%MOUSEPOS_ASLARAM%", CString(), CString(), kEnglishUs);
    EXPECT_FALSE(mouse.IsEmpty());
    EXPECT_EQ(mouse.SpanIncluding(L"-0123456789"), mouse);
    // The test program has no version resource.
    EXPECT_EQ(W(GetMacroValue(L"%SCV_VERSION%", CString(), CString(), kEnglishUs)), L"");
}

TEST_F(MacroEngineTest, TableIsSortedAndHoldsTheInstalledLayouts)
{
    const std::vector<CString>& table = GetMacroTable();
    EXPECT_EQ(table.size(), 36u + 3u);
    EXPECT_TRUE(std::is_sorted(table.begin(), table.end(), OrdinalTextLess()));
    for (const wchar_t* name : {L"%ACTIVATE_KL_EN%", L"%ACTIVATE_KL_RU%", L"%ACTIVATE_KL_DE%", kCursor,
                                L"%MOUSEPOS_ASLARAM%", L"%PROMPT_TEXT={}%"})
        EXPECT_NE(std::find(table.begin(), table.end(), CString(name)), table.end()) << W(name);
}

TEST_F(MacroEngineTest, UrlFromText)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* url;
        const wchar_t* rest;
    } cases[] = {
        {L"  https://host/a b c", L"https://host/a", L" b c"},
        {L"see https://host", L"", L"see https://host"},
        {L"\r\n\tftp://x/y\r\nnext", L"ftp://x/y", L"\r\nnext"},
        {L"HTTP://whole", L"HTTP://whole", L""},
        {L"http://", L"", L"http://"}, // a scheme must be shorter than the text
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(W(UrlFromText(c.text, true)), c.url) << testing::PrintToString(std::wstring(c.text));
        EXPECT_EQ(W(UrlFromText(c.text, false)), c.rest) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST_F(MacroEngineTest, LayoutMacroHelpers)
{
    CString text = L"%ACTIVATE_KL_RU%abc%ACTIVATE_KL_RU%";
    EXPECT_EQ(RemoveActivateKlMacros(text), kRussian);
    EXPECT_EQ(W(text), L"abc");
    EXPECT_EQ(W(GetActivateKlLangAbbrev(L"x%ACTIVATE_KL_RU%")), L"RU");
    EXPECT_EQ(W(GetActivateKlLangAbbrev(L"x%ACTIVATE_KL_DE%")), L"DE");
    EXPECT_EQ(W(GetActivateKlLangAbbrev(L"plain")), L"");

    FixedEnvironment noLayouts;
    noLayouts.layouts.clear();
    CMacroEnvironmentOverride none(noLayouts);
    CString kept = L"%ACTIVATE_KL_RU%x";
    EXPECT_EQ(RemoveActivateKlMacros(kept), 0);
    EXPECT_EQ(W(kept), L"%ACTIVATE_KL_RU%x");
}

TEST_F(MacroEngineTest, WrappersAndContext)
{
    EXPECT_EQ(W(ExpandMacrosInText(L"v%YEAR%_%MONTHNUMBER2%")), L"v2026_03");

    const HWND window =
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(W(ExpandMacrosForWindow(window, L"<%SELECTED_TEXT%>", L"two\r\nlines", L"")), L"<two lines>");
    ::DestroyWindow(window);

    CMacroContext context;
    FillMacroContext(context, L"selection");
    EXPECT_EQ(W(context.selectedText), L"selection");
    EXPECT_EQ(W(context.clipboardText), L"from the clipboard");
}

TEST_F(MacroEngineTest, DynamicMacros)
{
    struct Case
    {
        int dataType;
        const wchar_t* body;
        bool dynamic;
    } cases[] = {
        {MenuItemRecord::kTypeText, L"Hello %WINDOWS_USERNAME% %SCV_VERSION%%CURSOR_POS%", false},
        {MenuItemRecord::kTypeText, L"%ACTIVATE_KL_RU%text", false},
        {MenuItemRecord::kTypeText, L"Today is %DATE%", true},
        {MenuItemRecord::kTypeText, L"Today is %date%", false},
        {MenuItemRecord::kTypeExec, L"notepad %SELECTED_TEXT%", true},
        {MenuItemRecord::kTypeRtf, L"{\\rtf1\\ansi Hello %WINDOWS_USERNAME%}", false},
        {MenuItemRecord::kTypeRtf, L"{\\rtf1\\ansi Today is {\\b %date%}}", true}, // the control ignores case
    };
    for (const Case& c : cases) {
        PhraseItemRecord record;
        record.dataType = c.dataType;
        record.body = c.body;
        EXPECT_EQ(PhraseHasDynamicMacros(record), c.dynamic) << testing::PrintToString(std::wstring(c.body));
    }
}

TEST(MacroContext, ReadsTheRealClipboard)
{
    ASSERT_TRUE(PutClipboardUnicodeText(L"clipboard \x0442\x0435\x043A\x0441\x0442"));
    CMacroContext context;
    FillMacroContext(context, L"sel");
    EXPECT_EQ(W(context.clipboardText), L"clipboard \x0442\x0435\x043A\x0441\x0442");

    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    FillMacroContext(context, L"sel");
    EXPECT_EQ(W(context.clipboardText), L"");
}

// RTF expansion in a hidden rich-edit control.
class RtfMacroTest : public MacroEngineTest
{
protected:
    void SetUp() override
    {
        ::LoadLibraryW(L"riched20.dll");
        richEdit = ::CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | ES_MULTILINE | ES_WANTRETURN, 0, 0,
                                     100, 100, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(richEdit, nullptr);
    }
    void TearDown() override
    {
        if (richEdit != nullptr)
            ::DestroyWindow(richEdit);
    }

    // The plain text of an RTF text, line breaks as CR LF.
    CString PlainText(const CString& rtf)
    {
        SetRichEditTextAuto(richEdit, rtf);
        return GetRichEditPlainText(richEdit);
    }

    HWND richEdit = nullptr;
};

TEST_F(RtfMacroTest, ExpansionTable)
{
    struct Case
    {
        const wchar_t* rtf;
        const wchar_t* selected;
        const wchar_t* plain;
        int replacements;
        int caretSteps;
        LANGID layout;
    } cases[] = {
        {L"{\\rtf1\\ansi Dear %SELECTED_TEXT%!}", L"Anna", L"Dear Anna!", 1, 0, 0},
        {L"{\\rtf1\\ansi %YEAR%-%MONTHNUMBER2%-%DAY2%}", L"", L"2026-03-05", 3, 0, 0},
        {L"{\\rtf1\\ansi \\u1055?\\u1088?\\u1080? %SELECTED_TEXT%}", L"\x043C\x0438\x0440",
         L"\x041F\x0440\x0438 \x043C\x0438\x0440", 1, 0, 0},
        // A value holding its own macro is inserted once.
        {L"{\\rtf1\\ansi [%SELECTED_TEXT%]}", L"%SELECTED_TEXT%", L"[%SELECTED_TEXT%]", 1, 0, 0},
        // Caret steps count a paragraph break once; every mark is removed.
        {L"{\\rtf1\\ansi a%CURSOR_POS%bc}", L"", L"abc", 1, 2, 0},
        {L"{\\rtf1\\ansi a%CURSOR_POS%b\\par c}", L"", L"ab\r\nc", 1, 3, 0},
        {L"{\\rtf1\\ansi x%CURSOR_POS%y\\par %CURSOR_POS%z}", L"", L"xy\r\nz", 2, 3, 0},
        {L"{\\rtf1\\ansi a%CURSOR_POS%%SELECTED_TEXT%}", L"one\r\ntwo", L"aone\r\ntwo", 2, 7, 0},
        {L"{\\rtf1\\ansi %ACTIVATE_KL_RU%text}", L"", L"text", 1, 0, kRussian},
    };
    for (const Case& c : cases) {
        CString rtf = c.rtf;
        int caret = -1;
        LANGID layout = 0xFFFF;
        const int count = ExpandRtfMacros(rtf, c.selected, CString(), &caret, &layout, kEnglishUs, richEdit);
        const std::string label = testing::PrintToString(std::wstring(c.rtf));
        EXPECT_EQ(count, c.replacements) << label;
        EXPECT_EQ(caret, c.caretSteps) << label;
        EXPECT_EQ(layout, c.layout) << label;
        EXPECT_TRUE(rtf.Left(5) == L"{\\rtf") << label;
        EXPECT_EQ(W(PlainText(rtf)), c.plain) << label;
    }
}

TEST_F(RtfMacroTest, NothingReplacedLeavesTheRtfAlone)
{
    CString rtf = L"{\\rtf1\\ansi no macros}";
    int caret = -1;
    EXPECT_EQ(ExpandRtfMacros(rtf, L"sel", L"clip", &caret, nullptr, kEnglishUs, richEdit), 0);
    EXPECT_EQ(W(rtf), L"{\\rtf1\\ansi no macros}");
    EXPECT_EQ(caret, 0);
    CString unchanged = L"{\\rtf1 %YEAR%}";
    EXPECT_EQ(ExpandRtfMacros(unchanged, L"", L"", &caret, nullptr, kEnglishUs, nullptr), 0);
    EXPECT_EQ(W(unchanged), L"{\\rtf1 %YEAR%}");
}

TEST_F(RtfMacroTest, ValueTakesTheColourOfTheTextBeforeIt)
{
    // The macro itself is blue; the text before it is red.
    CString rtf = L"{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                  L"\\cf1 red \\cf2 %SELECTED_TEXT%\\cf0  plain}";
    ASSERT_EQ(ExpandRtfMacros(rtf, L"VALUE", CString(), nullptr, nullptr, kEnglishUs, richEdit), 1);
    ASSERT_TRUE(SetRichEditTextAuto(richEdit, rtf));
    const std::wstring plain = W(GetRichEditPlainText(richEdit));
    const size_t at = plain.find(L"VALUE");
    ASSERT_NE(at, std::wstring::npos) << plain;

    CHARRANGE range{static_cast<LONG>(at), static_cast<LONG>(at + 5)};
    ::SendMessageW(richEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMATW format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    ::SendMessageW(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(format.dwMask & CFM_COLOR);
    EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(format.crTextColor, RGB(255, 0, 0));
}

TEST_F(RtfMacroTest, ConverterQueries)
{
    EXPECT_EQ(GetRtfActivateKlLayout(L"{\\rtf1\\ansi %ACTIVATE_KL_DE%Hallo}"), kGerman);
    EXPECT_EQ(GetRtfActivateKlLayout(L"{\\rtf1\\ansi Hallo}"), 0);
    EXPECT_EQ(GetRtfActivateKlLayout(L""), 0);
    EXPECT_TRUE(RtfContainsAnyText(L"{\\rtf1\\ansi a {\\i B} c}", {L"x", L"ab c"}) == false);
    EXPECT_TRUE(RtfContainsAnyText(L"{\\rtf1\\ansi a {\\i B} c}", {L"x", L"a b c"}));
}
