// CIniText against the profile functions it stands in for: the same files read both ways give the
// same answers.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/IniFile.h"
#include "common/IniText.h"
#include "support/TempFolder.h"

namespace
{
enum class IniForm
{
    Utf16,
    Utf8WithMark,
    Ansi
};

struct IniCase
{
    const char* name;
    IniForm form;
    std::wstring text;
};

const wchar_t* const kKeys[] = {L"DataType", L"Protected", L"WndName", L"ExeName", L"URL",
                                L"File0",    L"File1",     L"file2",   L"Missing"};

std::wstring WriteIni(const scvtest::TempFolder& temp, const IniCase& ini)
{
    const std::wstring name = std::wstring(L"case.info");
    switch (ini.form) {
    case IniForm::Utf16:
        return temp.WriteUtf16(name, ini.text, true);
    case IniForm::Utf8WithMark:
        return temp.WriteUtf8(name, ini.text, true);
    default:
        return temp.WriteUtf8(name, ini.text, false); // ASCII text: the same bytes in the ANSI code page
    }
}
} // namespace

TEST(IniText, ReadsAsTheProfileFunctions)
{
    const std::wstring longValue(300, L'v');
    const IniCase cases[] = {
        {"UTF-16 with blanks", IniForm::Utf16,
         L"[Files]\r\nDataType=3\r\nProtected = 1\r\nWndName=  Title with blanks  "
         L"\r\nFile0=a.txt\r\nFile1=b.bmp\r\n"},
        {"case of names, quotes", IniForm::Utf16,
         L"[files]\r\nfile0=x.txt\r\nURL=\"http://example.org/q\"\r\nFILE2='c.rtf'\r\n"},
        {"other sections, first entry", IniForm::Utf16,
         L"[Other]\r\nFile0=no.txt\r\n[Files]\r\nFile0=first.txt\r\nFile0=second.txt\r\nDataType=-2\r\n"},
        {"UTF-8 with its mark", IniForm::Utf8WithMark,
         L"[Files]\nWndName=\u00dcber Fenster \u0416\nFile0=u.txt\n"},
        {"ANSI, not a number", IniForm::Ansi, L"[Files]\nExeName=C:\\x.exe\nDataType=abc\nProtected=7z\n"},
        {"empty values", IniForm::Utf16, L"[Files]\r\nURL=\r\nDataType=\r\nFile0=\r\n"},
        {"long value", IniForm::Utf16, L"[Files]\r\nWndName=" + longValue + L"\r\n"},
        {"comment and no section", IniForm::Utf16, L"File0=outside.txt\r\n[Files]\r\n;File1=c.txt\r\n"},
    };
    for (const IniCase& ini : cases) {
        SCOPED_TRACE(ini.name);
        scvtest::TempFolder temp;
        const std::wstring path = WriteIni(temp, ini);
        ASSERT_FALSE(path.empty());
        CIniText text;
        ASSERT_TRUE(text.Load(path.c_str(), 1024 * 1024));
        for (size_t k = 0; k < sizeof(kKeys) / sizeof(kKeys[0]); ++k) {
            const wchar_t* key = kKeys[k];
            SCOPED_TRACE(testing::Message() << "key number " << k);
            CString expected = L"(none)";
            CString actual = L"(none)";
            EXPECT_EQ(IniReadString(path.c_str(), L"Files", key, expected),
                      text.ReadString(L"Files", key, actual));
            EXPECT_STREQ(expected.GetString(), actual.GetString());
            EXPECT_EQ(IniReadInt(path.c_str(), L"Files", key, -1), text.ReadInt(L"Files", key, -1));
        }
    }
}

TEST(IniText, MissingOrOversizedFileGivesNothing)
{
    scvtest::TempFolder temp;
    CIniText text;
    EXPECT_FALSE(text.Load(temp.PathOf(L"none.info").c_str(), 1024));
    const std::wstring path = temp.WriteUtf16(L"big.info", L"[Files]\r\nFile0=a.txt\r\n", true);
    EXPECT_FALSE(text.Load(path.c_str(), 8));
    CString value;
    EXPECT_FALSE(text.ReadString(L"Files", L"File0", value));
    EXPECT_EQ(5u, text.ReadInt(L"Files", L"File0", 5));
}
