// test-locks: desktop
#include "editor/controls/MacroColoring.h"
#include "editor/controls/RichEditObjectModel.h"
#include "editor/controls/RichEditTextAccess.h"

#include "common/RichEditEditing.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <string>
#include <vector>

namespace
{

// A text with one colour and one bold flag per character.
class FakeTextModel : public MacroTextModel
{
public:
    explicit FakeTextModel(const std::wstring& text, LONG lastVisible = 100000)
        : m_text(text), m_colors(text.size(), kAutoColor), m_bold(text.size(), false),
          m_lastVisible(lastVisible)
    {}

    bool Find(const CString& text, int flags, LONG from, LONG& matchStart, LONG& matchEnd) override
    {
        std::wstring haystack = m_text;
        std::wstring needle = text.GetString();
        if (!(flags & kMatchCase)) {
            for (auto* s : {&haystack, &needle})
                for (wchar_t& ch : *s)
                    ch = static_cast<wchar_t>(towupper(ch));
        }
        const size_t found = haystack.find(needle, static_cast<size_t>(from));
        if (found == std::wstring::npos)
            return false;
        matchStart = static_cast<LONG>(found);
        matchEnd = matchStart + static_cast<LONG>(needle.size());
        return true;
    }
    void SetColor(LONG start, LONG end, COLORREF color) override
    {
        for (LONG i = start; i < end && i < Length(); ++i)
            m_colors[static_cast<size_t>(i)] = color;
    }
    void SetBold(LONG start, LONG end, bool bold) override
    {
        for (LONG i = start; i < end && i < Length(); ++i)
            m_bold[static_cast<size_t>(i)] = bold;
    }
    COLORREF DefaultColor() override { return kAutoColor; }
    LONG TextLength() override { return Length(); }
    LONG LastVisibleChar() override { return m_lastVisible; }

    // One character per position: 'x' coloured, 'B' coloured and bold, '.' default colour.
    std::wstring Marks() const
    {
        std::wstring marks;
        for (size_t i = 0; i < m_text.size(); ++i)
            marks += m_colors[i] == kAutoColor ? L'.' : (m_bold[i] ? L'B' : L'x');
        return marks;
    }

private:
    LONG Length() const { return static_cast<LONG>(m_text.size()); }

    std::wstring m_text;
    std::vector<COLORREF> m_colors;
    std::vector<bool> m_bold;
    LONG m_lastVisible;
};

MacroColoringScheme TestScheme(const CString& closeText = L"}%")
{
    MacroColoringScheme scheme;
    scheme.wordGroups.push_back({{L"%DATE%", L"%TIME%"}, RGB(255, 104, 32), false});
    MacroPairGroup pairs;
    pairs.color = RGB(255, 104, 32);
    pairs.pairs.push_back({L"%PROMPT_TEXT={", closeText, true});
    scheme.pairGroups.push_back(pairs);
    return scheme;
}

TEST(MacroColoringModel, ColoursWordsAndPairsAsTheSchemeSays)
{
    struct Case
    {
        const wchar_t* text;
        LONG start;
        LONG end;
        const wchar_t* marks;
    };
    const Case cases[] = {
        // Macros back to back are both coloured; case does not matter.
        {L"a%DATE%%time%b", 0, -1, L".xxxxxxxxxxxx."},
        // A span from the opening to the closing text, bold.
        {L"x%PROMPT_TEXT={hi}%y", 0, -1, L".BBBBBBBBBBBBBBBBBB."},
        // Only matches starting inside the range count.
        {L"%DATE% %DATE%", 2, 6, L"............."},
        {L"%DATE% %DATE%", 0, 3, L"xxxxxx......."},
        // An opening text without a closing text stops the scan of the pair.
        {L"%PROMPT_TEXT={a}% %PROMPT_TEXT={b", 0, -1, L"BBBBBBBBBBBBBBBBB................"},
    };
    for (const Case& c : cases) {
        FakeTextModel model(c.text);
        ColorMacrosInModel(model, TestScheme(), c.start, c.end);
        EXPECT_EQ(model.Marks(), std::wstring(c.marks)) << c.text << " [" << c.start << ", " << c.end << "]";
    }
}

TEST(MacroColoringModel, LineEndPairOnTheLastLineIsColouredOnlyWhenItsEndIsVisible)
{
    MacroColoringScheme scheme = TestScheme(L"\r");
    const std::wstring text = L"a\r%PROMPT_TEXT={x";
    FakeTextModel visible(text);
    ColorMacrosInModel(visible, scheme, 0, -1);
    EXPECT_EQ(visible.Marks(), L"..BBBBBBBBBBBBBBB");

    FakeTextModel hidden(text, 5);
    ColorMacrosInModel(hidden, scheme, 0, -1);
    EXPECT_EQ(hidden.Marks(), L".................");
}

// A real rich edit inside a parent that counts the change notifications it gets.
class RichEditHost
{
public:
    RichEditHost()
    {
        ::LoadLibraryW(L"riched20.dll");
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &RichEditHost::Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"MacroColoringTestsHost";
        ::RegisterClassW(&windowClass);
        parent = ::CreateWindowExW(0, L"MacroColoringTestsHost", L"", WS_POPUP, 0, 0, 400, 300, nullptr,
                                   nullptr, nullptr, nullptr);
        edit = ::CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 400, 300,
                                 parent, nullptr, nullptr, nullptr);
        ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), 0);
        ::SendMessageW(edit, EM_SETEVENTMASK, 0, ENM_CHANGE);
        s_changes = 0;
    }
    ~RichEditHost() { ::DestroyWindow(parent); }

    void SetText(const wchar_t* text)
    {
        SetRichEditText(edit, text);
        ::SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
        ::SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
        s_changes = 0;
    }

    COLORREF ColorAt(LONG position)
    {
        CHARRANGE saved = {};
        ::SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
        SetRichEditSelection(edit, position, position + 1);
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_COLOR;
        ::SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
        return (format.dwEffects & CFE_AUTOCOLOR) ? kAutoColor : format.crTextColor;
    }

    HWND parent = nullptr;
    HWND edit = nullptr;
    static inline int s_changes = 0;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
            ++s_changes;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
};

TEST(MacroColoringControl, ColoursWithoutUndoStepModifiedFlagOrNotification)
{
    RichEditHost host;
    host.SetText(L"x %DATE%%TIME% y");
    ::SendMessageW(host.edit, EM_SETREADONLY, TRUE, 0);

    ColorWholeText(host.edit, TestScheme());

    const COLORREF orange = RGB(255, 104, 32);
    EXPECT_EQ(host.ColorAt(0), kAutoColor);
    EXPECT_EQ(host.ColorAt(2), orange);
    EXPECT_EQ(host.ColorAt(9), orange); // the second macro, right after the first
    EXPECT_EQ(host.ColorAt(15), kAutoColor);
    EXPECT_FALSE(::SendMessageW(host.edit, EM_CANUNDO, 0, 0));
    EXPECT_FALSE(::SendMessageW(host.edit, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(::SendMessageW(host.edit, EM_GETOPTIONS, 0, 0) & ECO_READONLY);
    EXPECT_EQ(::SendMessageW(host.edit, EM_GETEVENTMASK, 0, 0) & ENM_CHANGE, ENM_CHANGE);
    EXPECT_EQ(RichEditHost::s_changes, 0);
}

TEST(MacroColoringControl, KeepsTheUsersUndoStepAndChangesNothingWhileTextIsSelected)
{
    RichEditHost host;
    host.SetText(L"a %DATE%");
    ::SendMessageW(host.edit, EM_SETSEL, 0, 0);
    ::SendMessageW(host.edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"z"));
    ASSERT_TRUE(::SendMessageW(host.edit, EM_CANUNDO, 0, 0));

    ::SendMessageW(host.edit, EM_SETSEL, 0, 2);
    ColorWholeText(host.edit, TestScheme());
    EXPECT_EQ(host.ColorAt(3), kAutoColor);

    ::SendMessageW(host.edit, EM_SETSEL, 0, 0);
    ColorWholeText(host.edit, TestScheme());
    EXPECT_EQ(host.ColorAt(3), RGB(255, 104, 32));
    EXPECT_TRUE(::SendMessageW(host.edit, EM_CANUNDO, 0, 0));
}

TEST(RichEditObjectModel, GuardsRestoreWhatTheyChanged)
{
    RichEditHost host;
    host.SetText(L"abc");
    ::SendMessageW(host.edit, EM_SETREADONLY, TRUE, 0);
    ::SendMessageW(host.edit, EM_SETMODIFY, TRUE, 0);
    ::SendMessageW(host.edit, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_PROTECTED | ENM_LINK);
    {
        EventMaskGuard mask(host.edit);
        ModifyFlagGuard modified(host.edit);
        ReadOnlyGuard readOnly(host.edit);
        EXPECT_EQ(::SendMessageW(host.edit, EM_GETEVENTMASK, 0, 0), ENM_LINK);
        EXPECT_FALSE(::SendMessageW(host.edit, EM_GETOPTIONS, 0, 0) & ECO_READONLY);
        ::SendMessageW(host.edit, EM_SETMODIFY, FALSE, 0);
    }
    EXPECT_EQ(::SendMessageW(host.edit, EM_GETEVENTMASK, 0, 0), ENM_CHANGE | ENM_PROTECTED | ENM_LINK);
    EXPECT_TRUE(::SendMessageW(host.edit, EM_GETOPTIONS, 0, 0) & ECO_READONLY);
    EXPECT_TRUE(::SendMessageW(host.edit, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(GetRangeText(host.edit, 1, 3), CString(L"bc"));
    EXPECT_EQ(GetRangeText(nullptr, 0, 3), CString());
}

TEST(RichEditObjectModel, OvertypeSwitchedOffAfterInsertKeyLeavesTypingInInsertMode)
{
    RichEditHost host;
    host.SetText(L"abc");
    ::SendMessageW(host.edit, EM_SETSEL, 0, 0);
    ::SendMessageW(host.edit, WM_KEYDOWN, VK_INSERT, 0x00520001);
    ::SendMessageW(host.edit, WM_KEYUP, VK_INSERT, static_cast<LPARAM>(0xC0520001));
    NoteInsertKey(host.edit);

    EXPECT_FALSE(SetOvertypeMode(host.edit, false));
    ::SendMessageW(host.edit, WM_CHAR, L'Z', 0);
    EXPECT_EQ(GetRichEditPlainTextAll(host.edit), CString(L"Zabc"));
}

TEST(RichEditTextAccess, TextRoundTripsThroughTheControl)
{
    RichEditHost host;
    const wchar_t* plainTexts[] = {L"  leading blanks", L"one\r\ntwo\r\n", L"\x0439\x0446 \x20AC", L""};
    for (const wchar_t* text : plainTexts) {
        ASSERT_TRUE(SetRichEditText(host.edit, text) || !*text);
        EXPECT_EQ(GetRichEditPlainTextAll(host.edit), CString(text)) << text;
    }

    // RTF goes in and comes out as 8-bit RTF; non-ASCII text survives as escapes.
    SetRichEditText(host.edit, L"{\\rtf1\\ansi {\\b bold} \\u1081? x}");
    EXPECT_EQ(GetRichEditPlainTextAll(host.edit), CString(L"bold \x0439 x"));
    const CString rtf = GetRichEditRtfText(host.edit);
    EXPECT_EQ(rtf.Left(5), CString(L"{\\rtf"));
    SetRichEditText(host.edit, L"");
    SetRichEditText(host.edit, rtf);
    EXPECT_EQ(GetRichEditPlainTextAll(host.edit), CString(L"bold \x0439 x"));

    SetRichEditText(host.edit, L"pick me");
    ::SendMessageW(host.edit, EM_SETSEL, 5, 7);
    EXPECT_EQ(GetRichEditSelectionText(host.edit), CString(L"me"));
    EXPECT_FALSE(IsRichEditSelectionEmpty(host.edit));
}

} // namespace
