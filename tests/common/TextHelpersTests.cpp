#include "common/ImgTag.h"
#include "common/TextHelpers.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>

namespace
{
std::wstring W(const CString& text)
{
    return std::wstring(text.GetString());
}

// Sets an environment variable of this process for the test's lifetime.
class ScopedEnvironmentVariable
{
public:
    ScopedEnvironmentVariable(const wchar_t* name, const wchar_t* value) : m_name(name)
    {
        ::SetEnvironmentVariableW(name, value);
    }
    ~ScopedEnvironmentVariable() { ::SetEnvironmentVariableW(m_name.c_str(), nullptr); }

private:
    std::wstring m_name;
};
} // namespace

TEST(MakeSafeFileNameFromTitle, Rules)
{
    struct Case
    {
        const wchar_t* title;
        bool replaceBlanks;
        int maxLength;
        const wchar_t* expected;
    } cases[] = {
        {L"  Report / Draft: final  ", true, 0, L"Report_Draft_final"},
        {L"  Report / Draft: final  ", false, 0, L"Report _ Draft_ final"},
        {L"a?b*c<d>e|f\"g'h%i{j}k", false, 0, L"a_b_c_d_e_f_g_h_i_j_k"},
        {L"first line\nsecond line", true, 0, L"first_line"},
        {L"first line\r\nsecond line", false, 0, L"first line"}, // no CR left in the name
        {L"\tTabbed\ttitle\t", false, 0, L"Tabbed_title"},
        {L"abcdefghij", false, 4, L"abcd"},
        {L"abcdefghij", false, 0, L"abcdefghij"},
        {L"ab:cdef", false, 3, L"ab"}, // cut first, then replaced and trimmed
        {L"???", false, 0, L""},
        {L"a\\\\\\\\b", false, 0, L"a_b"}, // four in a row: "___" then "__" collapse
        {L"\x20AC price", true, 0, L"\x20AC_price"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(W(MakeSafeFileNameFromTitle(c.title, c.replaceBlanks, c.maxLength)), c.expected)
            << "title: " << testing::PrintToString(std::wstring(c.title));
    }
}

TEST(ExpandPercentVars, ExpandsEveryOccurrenceOfEachToken)
{
    ScopedEnvironmentVariable first(L"SCV_TEST_FIRST", L"C:\\One");
    ScopedEnvironmentVariable second(L"SCV_TEST_SECOND", L"two");

    EXPECT_EQ(W(ExpandPercentVars(L"%SCV_TEST_FIRST%\\x\\%SCV_TEST_SECOND%\\%SCV_TEST_FIRST%")),
              L"C:\\One\\x\\two\\C:\\One");
    EXPECT_EQ(W(ExpandPercentVars(L"no tokens")), L"no tokens");
    EXPECT_EQ(W(ExpandPercentVars(L"100% sure")), L"100% sure");
    // An unknown variable stays as it is.
    EXPECT_EQ(W(ExpandPercentVars(L"%SCV_TEST_UNSET_VARIABLE%\\a")), L"%SCV_TEST_UNSET_VARIABLE%\\a");
}

TEST(ExpandPercentVars, LongValueIsExpandedCompletely)
{
    std::wstring longValue(3000, L'v');
    ScopedEnvironmentVariable variable(L"SCV_TEST_LONG", longValue.c_str());
    EXPECT_EQ(W(ExpandPercentVars(L"[%SCV_TEST_LONG%]")), L"[" + longValue + L"]");
}

TEST(CreateGuidString, FormsAndUniqueness)
{
    CString dashed = CreateGuidString(false);
    ASSERT_EQ(dashed.GetLength(), 36);
    for (int i : {8, 13, 18, 23})
        EXPECT_EQ(dashed[i], L'-');
    for (int i = 0; i < dashed.GetLength(); ++i) {
        wchar_t c = dashed[i];
        EXPECT_TRUE(c == L'-' || (std::iswxdigit(c) && !std::iswupper(c))) << "char " << i;
    }

    std::set<std::wstring> plain;
    for (int i = 0; i < 20; ++i) {
        CString text = CreateGuidString(true);
        ASSERT_EQ(text.GetLength(), 32);
        EXPECT_EQ(text.FindOneOf(L"-{}"), -1);
        plain.insert(W(text));
    }
    EXPECT_EQ(plain.size(), 20u);
}

TEST(BuildImgTag, Attributes)
{
    ImgTagRecord onlySource;
    onlySource.src = L"a.png";
    EXPECT_EQ(W(BuildImgTag(onlySource)), L"<IMG SRC=\"a.png\">");

    ImgTagRecord full;
    full.src = L"b.png";
    full.alt = L"say \"hi\"";
    full.width = 10;
    full.height = 20;
    full.border = 0;
    full.hspace = 3;
    full.vspace = 4;
    full.style = L" ";
    full.id = L"pic";
    EXPECT_EQ(W(BuildImgTag(full)),
              L"<IMG SRC=\"b.png\" ALT='say \"hi\"' BORDER=0 WIDTH=10 HEIGHT=20 VSPACE=4 HSPACE=3 ID=\"pic\" "
              L"STYLE=\"\">");

    ImgTagRecord bothQuotes;
    bothQuotes.alt = L"it's \"x\"";
    EXPECT_EQ(W(BuildImgTag(bothQuotes)), L"<IMG ALT=\"it's &quot;x&quot;\">");

    EXPECT_EQ(W(BuildImgTag(ImgTagRecord())), L"<IMG>");
}

TEST(BuildImgTag, AlignmentTexts)
{
    EXPECT_EQ(W(VAlignToStr(0)), L"TOP");
    EXPECT_EQ(W(VAlignToStr(1)), L"MIDDLE");
    EXPECT_EQ(W(VAlignToStr(2)), L"BOTTOM");
    EXPECT_EQ(W(VAlignToStr(3)), L"");
    EXPECT_EQ(W(HAlignToStr(0)), L"LEFT");
    EXPECT_EQ(W(HAlignToStr(1)), L"CENTER");
    EXPECT_EQ(W(HAlignToStr(2)), L"RIGHT");
    EXPECT_EQ(W(HAlignToStr(-1)), L"");
}
