#include "common/RichEditConversion.h"
#include "common/RichEditEditing.h"
#include "common/RtfTextCoding.h"
#include "common/TextConversion.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <cstring>
#include <ostream>
#include <string>

// Readable failures: the text as UTF-8.
static void PrintTo(const CString& text, std::ostream* os)
{
    *os << '"' << WideToUtf8(text) << '"';
}

namespace
{
// Non-ASCII text from several scripts, a supplementary-plane character included.
const wchar_t kMixedText[] = L"Gr\u00fc\u00dfe \u041f\u0440\u0438\u0432\u0435\u0442 \u6f22\u5b57 \U0001F600!";

CString Rtf(const wchar_t* body)
{
    return CString(L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}") +
           body + L"}";
}

// A second rich edit window for reading results back, apart from the converter.
class ProbeEdit
{
public:
    ProbeEdit()
    {
        ::LoadLibraryW(L"RichEd20.DLL");
        m_window = ::CreateWindowExW(0, L"RICHEDIT20W", L"", WS_CHILD | ES_MULTILINE, 0, 0, 100, 100,
                                     HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)),
                       FALSE);
    }
    ~ProbeEdit() { ::DestroyWindow(m_window); }
    HWND get() const { return m_window; }

    CHARFORMAT2W FormatAt(LONG at) const
    {
        SetRichEditSelection(m_window, at, at + 1);
        CHARFORMAT2W format{};
        format.cbSize = sizeof(format);
        ::SendMessageW(m_window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }

private:
    HWND m_window = nullptr;
};

bool IsBold(const CHARFORMAT2W& format)
{
    return (format.dwEffects & CFE_BOLD) != 0;
}

bool IsRed(const CHARFORMAT2W& format)
{
    return (format.dwEffects & CFE_AUTOCOLOR) == 0 && format.crTextColor == RGB(255, 0, 0);
}

TEST(RichEditConversion, ConverterExistsAndComesBackAfterItsParentIsGone)
{
    const HWND parent =
        ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    SetRichEditConverterParent(parent);
    const HWND first = GetRichEditConverter();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(::GetParent(first), parent);
    EXPECT_EQ(GetRichEditConverter(), first);

    ::DestroyWindow(parent);
    SetRichEditConverterParent(nullptr);
    const HWND second = GetRichEditConverter();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(::IsWindow(second));
    EXPECT_EQ(RtfToPlainText(Rtf(L"works")), CString(L"works"));
}

TEST(RichEditConversion, NonAsciiTextSurvivesRtfBothWays)
{
    // Text -> RTF: what comes out is 8-bit RTF widened, never bytes read as UTF-16.
    const CString rtf = ReplaceRichTextSelection(CString(), false, kMixedText, true);
    ASSERT_TRUE(LooksLikeRtf(rtf.GetString(), rtf.GetLength())) << testing::PrintToString(std::wstring(rtf));
    for (int i = 0; i < rtf.GetLength(); ++i)
        ASSERT_LT(rtf[i], 0x80) << "at " << i;
    // RTF -> text, through UTF-16 RTF and through 8-bit RTF.
    EXPECT_EQ(RtfToPlainText(rtf), CString(kMixedText));
    const std::string narrow = NarrowRtfText(rtf.GetString());
    EXPECT_EQ(RtfBytesToPlainText(narrow.c_str()), CString(kMixedText));

    // UTF-16 RTF that holds the characters themselves, in either opening.
    EXPECT_EQ(RtfToPlainText(Rtf(kMixedText)), CString(kMixedText));
    EXPECT_EQ(RtfToPlainText(CString(L"{\\urtf1 ") + kMixedText + L"}"), CString(kMixedText));
    // 8-bit RTF in a code page of its own.
    EXPECT_EQ(RtfBytesToPlainText(
                  "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'cf\\'f0}"),
              CString(L"\u041f\u0440"));
}

TEST(RichEditConversion, PlainTextAndFailedLoadsGiveNoLeftovers)
{
    EXPECT_EQ(RtfToPlainText(L"not rtf \u00e9"), CString(L"not rtf \u00e9"));
    EXPECT_EQ(RtfToPlainText(Rtf(L"old content")), CString(L"old content"));
    EXPECT_EQ(RtfToPlainText(CString()), CString());
    EXPECT_EQ(RtfBytesToPlainText(""), CString());
    EXPECT_EQ(RtfBytesToPlainText(nullptr), CString());
}

TEST(RichEditConversion, TextLongerThanTheControlsDefaultLimitIsKept)
{
    const CString body(L'x', 100000);
    EXPECT_EQ(RtfToPlainText(Rtf(body)).GetLength(), 100000);
}

TEST(RichEditConversion, PlainTextPrefix)
{
    CString longBody(L"Hello world ");
    for (int i = 0; i < 500; ++i)
        longBody += L"{\\b more} ";
    // A head of 10 x 5 characters ends inside the font table: the whole RTF is read then.
    EXPECT_EQ(RtfToPlainTextPrefix(Rtf(longBody), 5), CString(L"Hello"));
    EXPECT_EQ(RtfToPlainTextPrefix(Rtf(longBody), 20), CString(L"Hello world more mor"));
    EXPECT_EQ(RtfToPlainTextPrefix(Rtf(L"Hello world"), 0), CString(L"Hello world"));
    EXPECT_EQ(RtfToPlainTextAll(Rtf(L"Hello\\par world")), CString(L"Hello\r\nworld"));
    // Only about 10 x n characters of the RTF are loaded.
    const HWND converter = GetRichEditConverter();
    ASSERT_TRUE(StreamInWide(converter, Rtf(longBody), 200));
    EXPECT_LT(GetRichEditTextLength(converter), 200);
    EXPECT_GT(GetRichEditTextLength(converter), 5);
}

TEST(RichEditConversion, InsertsAtTheEnd)
{
    EXPECT_EQ(ReplaceRichTextSelection(Rtf(L"{\\b Dear} Anna"), true,
                                       L", \u043f\u0440\u0438\u0432\u0435\u0442", false),
              CString(L"Dear Anna, \u043f\u0440\u0438\u0432\u0435\u0442"));
    EXPECT_EQ(ReplaceRichTextSelection(L"plain", false, L" text", false), CString(L"plain text"));
    EXPECT_EQ(ReplaceRichTextSelection(CString(), true, L"only", false), CString(L"only"));
}

TEST(RichEditConversion, PositionsCountAParagraphBreakAsOneCharacter)
{
    const HWND converter = GetRichEditConverter();
    ASSERT_TRUE(SetRichEditRtf(converter, Rtf(L"ab\\par cd\\par e%CURSOR_POS%f\\par\\par gh")));
    const CHARRANGE mark = FindRichEditText(converter, L"%CURSOR_POS%", 0);
    ASSERT_EQ(mark.cpMin, 7); // "ab\rcd\re"
    EXPECT_EQ(GetRichEditTextRange(converter, 0, mark.cpMin), CString(L"ab\rcd\re"));
    ASSERT_EQ(ReplaceAllRichEditText(converter, L"%CURSOR_POS%", L""), 1);
    // The caret steps back over "f", two breaks and "gh": one Left key per break.
    EXPECT_EQ(GetRichEditTextLength(converter) - mark.cpMin, 5);
    EXPECT_EQ(GetRichEditPlainText(converter), CString(L"ab\r\ncd\r\nef\r\n\r\ngh"));
}

TEST(RichEditConversion, ReplaceAllGoesOnAfterEachReplacement)
{
    const HWND converter = GetRichEditConverter();
    ASSERT_TRUE(SetRichEditRtf(converter, Rtf(L"%X% and %x% and %X%")));
    EXPECT_EQ(ReplaceAllInConverter(L"%X%", L"<%X%>"), 3);
    EXPECT_EQ(GetRichEditPlainText(converter), CString(L"<%X%> and <%X%> and <%X%>"));
    EXPECT_EQ(ReplaceAllRichEditText(converter, L"%X%", L"y", true), 3);
    EXPECT_EQ(ReplaceAllRichEditText(converter, L"", L"y"), 0);
}

TEST(RichEditConversion, JoinsLinesAndKeepsFormats)
{
    char buffer[4096] = {};
    const std::string rtf = NarrowRtfText(Rtf(L"{\\b one}\\par two\\par three\\par four"));
    std::memcpy(buffer, rtf.data(), rtf.size());
    EXPECT_EQ(JoinRtfLines(buffer, sizeof(buffer)), 3) << buffer;
    EXPECT_EQ(RtfBytesToPlainText(buffer), CString(L"one two three four"));
    ProbeEdit probe;
    ASSERT_TRUE(StreamInAnsiRtf(probe.get(), buffer));
    EXPECT_TRUE(IsBold(probe.FormatAt(0)));
    EXPECT_FALSE(IsBold(probe.FormatAt(5)));

    // No break, or no room for the result: the buffer stays as it was.
    char single[4096] = {};
    const std::string noBreak = NarrowRtfText(Rtf(L"one line"));
    std::memcpy(single, noBreak.data(), noBreak.size());
    EXPECT_EQ(JoinRtfLines(single, sizeof(single)), 0);
    EXPECT_EQ(std::string(single), noBreak);
    char tight[200] = {};
    const std::string twoLines = "{\\rtf1 a\\par b}";
    std::memcpy(tight, twoLines.data(), twoLines.size());
    EXPECT_EQ(JoinRtfLines(tight, twoLines.size() + 1), 0);
    EXPECT_EQ(std::string(tight), twoLines);
}

TEST(RichEditConversion, RemovesCharsAtBothEndsOnly)
{
    char buffer[4096] = {};
    const std::string rtf = "{\\rtf1\\ansi   a {\\b b}  }";
    std::memcpy(buffer, rtf.data(), rtf.size());
    EXPECT_EQ(RemoveCharsFromRtf(buffer, sizeof(buffer), L" \r\n"), 4);
    EXPECT_EQ(RtfBytesToPlainText(buffer), CString(L"a b"));

    // Mixed runs of blanks and breaks at the ends go as a whole.
    std::memset(buffer, 0, sizeof(buffer));
    const std::string mixed = "{\\rtf1\\ansi  \\par  x y \\par \\par }";
    std::memcpy(buffer, mixed.data(), mixed.size());
    EXPECT_GT(RemoveCharsFromRtf(buffer, sizeof(buffer), L"\r "), 0);
    EXPECT_EQ(RtfBytesToPlainText(buffer), CString(L"x y"));

    const std::string nothing = "{\\rtf1 abc}";
    std::memset(buffer, 0, sizeof(buffer));
    std::memcpy(buffer, nothing.data(), nothing.size());
    EXPECT_EQ(RemoveCharsFromRtf(buffer, sizeof(buffer), L" "), 0);
    EXPECT_EQ(std::string(buffer), nothing);
    EXPECT_EQ(RemoveCharsFromRtf(buffer, sizeof(buffer), L""), 0);
}

TEST(RichEditConversion, CaseChangeKeepsEveryRunsFormat)
{
    const CString source = Rtf(L"{\\b Bold \u043f\u0440} \\cf1 Red\\cf0  Plain {\\i\\cf1 It\u00e0lic}");
    const std::string narrow = NarrowRtfText(source.GetString());

    struct Case
    {
        bool upper;
        const wchar_t* text;
    };
    for (const Case c : {Case{true, L"BOLD \u041f\u0420 RED PLAIN IT\u00c0LIC"},
                         Case{false, L"bold \u043f\u0440 red plain it\u00e0lic"}}) {
        const std::string changed = ChangeRtfCase(narrow.c_str(), c.upper);
        ASSERT_FALSE(changed.empty());
        EXPECT_EQ(RtfBytesToPlainText(changed.c_str()), CString(c.text));

        ProbeEdit probe;
        ASSERT_TRUE(StreamInAnsiRtf(probe.get(), changed.c_str()));
        for (LONG at : {0, 3, 5, 6}) // "Bold" and the Cyrillic pair
            EXPECT_TRUE(IsBold(probe.FormatAt(at)) && !IsRed(probe.FormatAt(at))) << at;
        for (LONG at : {8, 10}) // "Red"
            EXPECT_TRUE(IsRed(probe.FormatAt(at)) && !IsBold(probe.FormatAt(at))) << at;
        for (LONG at : {12, 16}) // "Plain"
            EXPECT_TRUE(!IsRed(probe.FormatAt(at)) && !IsBold(probe.FormatAt(at))) << at;
        const CHARFORMAT2W italic = probe.FormatAt(19); // "Itàlic"
        EXPECT_TRUE(IsRed(italic) && (italic.dwEffects & CFE_ITALIC) != 0);
    }
    // The UTF-16 form gives the same text.
    EXPECT_EQ(RtfToPlainText(ChangeRtfCase(source, true)),
              CString(L"BOLD \u041f\u0420 RED PLAIN IT\u00c0LIC"));
    EXPECT_EQ(ChangeRtfCase(static_cast<const char*>(nullptr), true), std::string());
}
} // namespace
