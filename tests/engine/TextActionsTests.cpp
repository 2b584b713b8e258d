// test-locks: clipboard
// Phrase parts, building text actions from phrases of each data type, the type-or-paste choice and
// the clipboard put of the text actions. Typing is recorded through the keyboard input seam.
#include "common/RichEditConversion.h"
#include "common/RtfTextCoding.h"
#include "common/Settings.h"
#include "engine/ClipboardAccess.h"
#include "engine/KeyboardInput.h"
#include "engine/MacroEnvironment.h"
#include "engine/PhraseParts.h"
#include "engine/SCVAction.h"
#include "engine/SCVActionContext.h"

#include "PasteSettingsScope.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

struct PartView
{
    std::wstring text;
    int type;
    std::wstring defaultText;
    bool operator==(const PartView&) const = default;
};

void PrintTo(const PartView& part, std::ostream* os)
{
    *os << (part.type == PhrasePart::kPrompt ? "prompt" : "plain") << "(" << testing::PrintToString(part.text)
        << ", " << testing::PrintToString(part.defaultText) << ")";
}

std::vector<PartView> Split(const wchar_t* text)
{
    std::vector<PhrasePart> parts;
    EXPECT_TRUE(SplitPhraseParts(text, parts));
    std::vector<PartView> views;
    std::wstring joined;
    for (const PhrasePart& part : parts) {
        views.push_back(PartView{W(part.text), part.type, W(part.defaultText)});
        EXPECT_EQ(W(part.text),
                  std::wstring(text).substr(static_cast<size_t>(part.start), part.text.GetLength()));
        joined += W(part.text);
    }
    EXPECT_EQ(joined, std::wstring(text)) << "the parts give back the whole text";
    return views;
}

PartView Plain(const wchar_t* text)
{
    return PartView{text, PhrasePart::kPlain, L""};
}
PartView Prompt(const wchar_t* text, const wchar_t* defaultText)
{
    return PartView{text, PhrasePart::kPrompt, defaultText};
}

// Records typed batches; nothing reaches the real keyboard input.
class RecordingInput : public IKeyboardInput
{
public:
    UINT Send(const INPUT* inputs, UINT count) override
    {
        std::wstring typed;
        for (UINT i = 0; i < count; ++i) {
            if ((inputs[i].ki.dwFlags & (KEYEVENTF_UNICODE | KEYEVENTF_KEYUP)) == KEYEVENTF_UNICODE)
                typed += static_cast<wchar_t>(inputs[i].ki.wScan);
        }
        if (count > 1)
            batches.push_back(typed);
        ++calls;
        return count;
    }
    HKL GetThreadLayout(DWORD) override { return reinterpret_cast<HKL>(0x04090409); }
    int GetLayoutCount() override { return 1; }
    void Pause(DWORD) override {}

    std::vector<std::wstring> batches; // the characters each typing batch held
    int calls = 0;
};

class FixedEnvironment : public IMacroEnvironment
{
public:
    SYSTEMTIME GetLocalTime() const override { return SYSTEMTIME{2026, 3, 4, 5, 14, 5, 9, 0}; }
    std::vector<HKL> GetKeyboardLayouts() const override { return {reinterpret_cast<HKL>(0x04090409)}; }
    CString ReadClipboardText() const override { return L"clip"; }
};

// Settings and seams of one test, put back afterwards.
class TextActionsTest : public testing::Test
{
protected:
    PasteSettingsScope pasteSettings;
    RecordingInput input;
    CKeyboardInputOverride useInput{input};
    FixedEnvironment environment;
    CMacroEnvironmentOverride useEnvironment{environment};
};

const LCID kLocale = 0x0419;

template <typename Action>
const Action* As(const CSCVActionList& list, size_t index)
{
    return index < list.size() ? dynamic_cast<const Action*>(list[index].get()) : nullptr;
}

// A prompt is a text action too: check it is exactly a plain text action.
bool IsPlainTextAction(const CSCVActionList& list, size_t index)
{
    return As<CSCVAction_Text>(list, index) != nullptr && As<CSCVAction_Prompt>(list, index) == nullptr;
}

const char kRtfHeader[] = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
} // namespace

TEST(PhraseParts, SplitTable)
{
    struct Case
    {
        const wchar_t* text;
        std::vector<PartView> expected;
    };
    const Case cases[] = {
        {L"Hello %PROMPT_TEXT={name}%, see you",
         {Plain(L"Hello "), Prompt(L"%PROMPT_TEXT={name}%", L"name"), Plain(L", see you")}},
        {L"A %PROMPT_TEXT={x}% B %PROMPT_TEXT={y}% C",
         {Plain(L"A "), Prompt(L"%PROMPT_TEXT={x}%", L"x"), Plain(L" B "), Prompt(L"%PROMPT_TEXT={y}%", L"y"),
          Plain(L" C")}},
        {L"A %prompt_text={x}% B", {Plain(L"A "), Prompt(L"%prompt_text={x}%", L"x"), Plain(L" B")}},
        {L"A %PROMPT_TEXT={x", {Plain(L"A "), Plain(L"%PROMPT_TEXT={x")}},
        {L"%PROMPT_TEXT={}%", {Prompt(L"%PROMPT_TEXT={}%", L"")}},
        {L"%PROMPT_TEXT={a}%%PROMPT_TEXT={b}%",
         {Prompt(L"%PROMPT_TEXT={a}%", L"a"), Prompt(L"%PROMPT_TEXT={b}%", L"b")}},
        {L"no marks at all", {Plain(L"no marks at all")}},
        {L"", {Plain(L"")}},
        {L"x}% %PROMPT_TEXT={two words}%",
         {Plain(L"x}% "), Prompt(L"%PROMPT_TEXT={two words}%", L"two words")}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Split(c.text), c.expected) << testing::PrintToString(std::wstring(c.text));
}

TEST(TypeOrPaste, ChoiceBySettings)
{
    struct Case
    {
        int length;
        int method;
        int limit;
        bool typed;
    };
    const Case cases[] = {
        {99, 2, 100, true},   {100, 2, 100, false}, {1, 2, 1, false},    {0, 2, 1, true},
        {5000, 0, 100, true}, {1, 1, 100, false},   {99, 1, 100, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShouldTypeText(c.length, c.method, c.limit), c.typed)
            << c.length << " " << c.method << " " << c.limit;
}

TEST_F(TextActionsTest, PlainPhraseWithPromptBuildsThreeActions)
{
    CSCVActionContext context(nullptr, kLocale, L"clip", L"sel", 0);
    CSCVActionList actions;
    ASSERT_TRUE(context.BuildActions(actions, L"Hello %PROMPT_TEXT={name}%, see you"));
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_TRUE(IsPlainTextAction(actions, 0));
    ASSERT_NE(As<CSCVAction_Prompt>(actions, 1), nullptr);
    EXPECT_TRUE(IsPlainTextAction(actions, 2));
    EXPECT_EQ(W(actions[0]->GetText()), L"Hello ");
    EXPECT_EQ(W(actions[1]->GetText()), L"name");
    EXPECT_EQ(W(actions[2]->GetText()), L", see you");
    EXPECT_EQ(As<CSCVAction_Prompt>(actions, 1)->GetCaretSteps(), 0);
    EXPECT_EQ(As<CSCVAction_Prompt>(actions, 1)->GetLocale(), kLocale);
    EXPECT_EQ(W(CSCVActionContext::JoinActionTexts(actions)), L"Hello name, see you");

    DeleteActionObjects(actions);
    EXPECT_TRUE(actions.empty());
    EXPECT_EQ(W(CSCVActionContext::JoinActionTexts(actions)), L"");
}

TEST_F(TextActionsTest, PlainRunsAreExpandedWithTheirCaretSteps)
{
    CSCVActionContext context(nullptr, kLocale, L"CLIP", L"SEL", 0);
    CSCVActionList actions;
    ASSERT_TRUE(context.BuildActions(actions, L"[%SELECTED_TEXT%|%CLIPBOARD_TEXT%%CURSOR_POS%]!"));
    ASSERT_EQ(actions.size(), 1u);
    const auto* text = As<CSCVAction_Text>(actions, 0);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(W(text->GetText()), L"[SEL|CLIP]!");
    EXPECT_EQ(text->GetCaretSteps(), 2);
    EXPECT_EQ(text->GetLocale(), kLocale);
}

TEST_F(TextActionsTest, EmptyTextBuildsNothingAndUnknownTypeFails)
{
    CSCVActionContext context(nullptr, kLocale, L"", L"", 0);
    CSCVActionList actions;
    EXPECT_TRUE(context.BuildActions(actions, L""));
    EXPECT_TRUE(actions.empty());
    EXPECT_FALSE(context.ExecuteActions(actions));

    CSCVActionContext unknown(nullptr, kLocale, L"", L"", 3);
    EXPECT_FALSE(unknown.BuildActions(actions, L"text"));
    EXPECT_TRUE(actions.empty());
}

TEST_F(TextActionsTest, CommandPhrasesRunThroughTheRunnerOnTheTarget)
{
    const HWND target =
        CreateWindowExW(0, L"STATIC", L"target", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(target, nullptr);
    std::vector<std::pair<HWND, std::wstring>> runs;
    CSCVActionContext context(target, kLocale, L"clip", L"line1\r\nline2", 2);
    context.SetCommandRunner([&runs](HWND owner, const CString& command) {
        runs.emplace_back(owner, W(command));
        return true;
    });
    CSCVActionList actions;
    ASSERT_TRUE(context.BuildActions(actions, L"notepad.exe \"%SELECTED_TEXT%\""));
    ASSERT_EQ(actions.size(), 1u);
    ASSERT_NE(As<CSCVAction_Exec>(actions, 0), nullptr);
    // The selection's line breaks become blanks in a command line.
    EXPECT_EQ(W(actions[0]->GetText()), L"notepad.exe \"line1 line2\"");

    EXPECT_TRUE(context.ExecuteActions(actions));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].first, target);

    // Once the target is gone, actions run with a null window.
    DestroyWindow(target);
    EXPECT_TRUE(context.ExecuteActions(actions));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].first, nullptr);
    EXPECT_EQ(runs[1].second, L"notepad.exe \"line1 line2\"");
}

TEST_F(TextActionsTest, CommandWithoutRunnerDoesNotClaimSuccess)
{
    CSCVAction_Exec action(L"notepad.exe", CommandRunner());
    EXPECT_EQ(action.Execute(nullptr), 0);
}

TEST_F(TextActionsTest, TypedPlainTextGoesOutAsOneBatch)
{
    GetSettings().TextPasteMethod_v150 = 0;
    CSCVActionContext context(nullptr, kLocale, L"", L"", 0);
    CSCVActionList actions;
    ASSERT_TRUE(context.BuildActions(actions, L"first %SELECTED_TEXT%second"));
    ASSERT_TRUE(context.ExecuteActions(actions));
    EXPECT_EQ(input.batches, (std::vector<std::wstring>{L"first second"}));
}

TEST_F(TextActionsTest, NinetyNineCharactersAreTypedAHundredPasted)
{
    GetSettings().TextPasteMethod_v150 = 2;
    GetSettings().PrintLTChars = 100;
    ASSERT_TRUE(PutClipboardUnicodeText(L"before"));

    const std::wstring typedText(99, L't');
    CSCVAction_Text typed(typedText.c_str(), 0, kLocale);
    EXPECT_EQ(typed.Execute(nullptr), 1);
    EXPECT_EQ(input.batches, std::vector<std::wstring>{typedText});
    CString clipboard;
    ASSERT_TRUE(GetClipboardUnicodeText(clipboard));
    EXPECT_EQ(W(clipboard), L"before") << "typing leaves the clipboard alone";

    // The paste itself (Ctrl+V by keybd_event) goes to whatever window is in front; here only the
    // clipboard put and the absence of typing are checked (the real paste: TypingIntoWindowTests).
    input.batches.clear();
    const std::wstring pastedText(100, L'p');
    ASSERT_TRUE(CSCVAction_TextCommon::MutiCopy_Impl(true, pastedText.c_str(), 0, kLocale, false));
    ASSERT_TRUE(GetClipboardUnicodeText(clipboard));
    EXPECT_EQ(W(clipboard), pastedText);
    EXPECT_FALSE(ShouldTypeText(static_cast<int>(pastedText.size()), GetSettings().TextPasteMethod_v150,
                                GetSettings().PrintLTChars));
    EXPECT_TRUE(input.batches.empty());
}

TEST_F(TextActionsTest, RichTextGoesOnTheClipboardInThreeFormats)
{
    const CString rtf = CString(kRtfHeader) + L"Hello {\\b bold} \\u1046?\\par}";
    ASSERT_TRUE(CSCVAction_TextCommon::MutiCopy_Impl(false, rtf, 0, kLocale, false));

    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE rtfData = GetClipboardData(GetRtfClipboardFormat());
    ASSERT_NE(rtfData, nullptr);
    const std::string rtfBytes(static_cast<const char*>(GlobalLock(rtfData)));
    GlobalUnlock(rtfData);
    const HANDLE localeData = GetClipboardData(CF_LOCALE);
    ASSERT_NE(localeData, nullptr);
    const DWORD locale = *static_cast<const DWORD*>(GlobalLock(localeData));
    GlobalUnlock(localeData);
    CloseClipboard();

    EXPECT_EQ(rtfBytes, NarrowRtfText(rtf));
    EXPECT_EQ(locale, kLocale);
    CString plain;
    ASSERT_TRUE(GetClipboardUnicodeText(plain));
    EXPECT_EQ(W(plain).substr(0, 13), L"Hello bold \x0416");
}

TEST_F(TextActionsTest, RichTextWithoutLocaleOrTextKeepsOnlyWhatItHas)
{
    // An RTF document with no text: no Unicode text is put, and locale 0 adds no locale of its own.
    const CString rtf = CString(kRtfHeader) + L"}";
    ASSERT_TRUE(CSCVAction_TextCommon::MutiCopy_Impl(false, rtf, 0, 0, false));
    EXPECT_TRUE(IsClipboardFormatAvailable(GetRtfClipboardFormat()));
    CString plain;
    GetClipboardUnicodeText(plain);
    EXPECT_EQ(W(plain), L"");
}

TEST_F(TextActionsTest, RtfPhraseIsCutIntoCompleteRtfDocumentsAroundPrompts)
{
    // The second mark is split by formatting in the RTF source: only the control's text shows it whole.
    const CString rtf =
        CString(kRtfHeader) +
        L"{\\b Dear} %PROMPT_TEXT=\\{Sir\\}%, from %PROMPT_TEXT=\\{{\\i na}me\\}% with {\\i regards}\\par}";
    CSCVActionContext context(nullptr, kLocale, L"", L"", 1);
    CSCVActionList actions;
    ASSERT_TRUE(context.BuildActions(actions, rtf));
    ASSERT_EQ(actions.size(), 5u);

    const wchar_t* expectedPlain[] = {L"Dear ", nullptr, L", from ", nullptr, L" with regards"};
    const wchar_t* expectedDefaults[] = {nullptr, L"Sir", nullptr, L"name", nullptr};
    for (size_t i = 0; i < actions.size(); ++i) {
        if (expectedDefaults[i] != nullptr) {
            ASSERT_NE(As<CSCVAction_Prompt>(actions, i), nullptr) << i;
            EXPECT_EQ(W(actions[i]->GetText()), expectedDefaults[i]);
            continue;
        }
        ASSERT_NE(As<CSCVAction_Rtf>(actions, i), nullptr) << i;
        const CString& piece = actions[i]->GetText();
        EXPECT_TRUE(LooksLikeRtf(piece, piece.GetLength())) << W(piece);
        EXPECT_EQ(W(piece).back(), L'}') << W(piece);
        CString plain = RtfToPlainText(piece);
        plain.TrimRight(L"\r\n");
        EXPECT_EQ(W(plain), expectedPlain[i]);
    }
    // Formats survive the cut.
    EXPECT_NE(W(actions[0]->GetText()).find(L"\\b"), std::wstring::npos);
    EXPECT_NE(W(actions[4]->GetText()).find(L"\\i"), std::wstring::npos);
}

TEST_F(TextActionsTest, RtfPhraseWithoutPromptStaysOneExpandedDocument)
{
    const CString rtf = CString(kRtfHeader) + L"Hi %CLIPBOARD_TEXT%%CURSOR_POS%!\\par}";
    CSCVActionContext context(nullptr, kLocale, L"friend", L"", 1);
    CSCVActionList actions;
    ASSERT_TRUE(context.BuildActions(actions, rtf));
    ASSERT_EQ(actions.size(), 1u);
    const auto* action = As<CSCVAction_Rtf>(actions, 0);
    ASSERT_NE(action, nullptr);
    CString plain = RtfToPlainText(action->GetText());
    plain.TrimRight(L"\r\n");
    EXPECT_EQ(W(plain), L"Hi friend!");
    EXPECT_GE(action->GetCaretSteps(), 1);
    EXPECT_EQ(action->GetLocale(), kLocale);
}
