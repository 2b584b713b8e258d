// Registry values: string reads and writes, the start-with-Windows value and
// the browser and file-type lookups. Every test works in its own key under
// HKEY_CURRENT_USER\Software\ScrivolanterTests, removed afterwards.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/AutoStartValue.h"
#include "common/DefaultBrowser.h"
#include "common/PathFunctions.h"
#include "common/RegistryValue.h"
#include "support/TempFolder.h"

namespace
{

class RegistryTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = L"Software\\ScrivolanterTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(GetTickCount());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &m_key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        if (m_key)
            RegCloseKey(m_key);
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\ScrivolanterTests"); // only when no other test uses it
    }

    // Creates a sub-key (and its parents) with a default or named string value.
    void SetString(const std::wstring& subKey, const wchar_t* name, const std::wstring& value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(m_key, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        const DWORD size = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        EXPECT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // Stores bytes exactly as given (e.g. a text without its terminator).
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(RegSetValueExW(m_key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    std::wstring m_path;
    HKEY m_key = nullptr;
};

TEST_F(RegistryTest, ReadsStringsCompleteAndTerminated)
{
    // Stored without a terminator: the text still comes back whole and ends there.
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    SetRaw(L"NoZero", REG_SZ, unterminated, sizeof(unterminated));
    CString value = L"old";
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, m_path.c_str(), L"NoZero", value));
    EXPECT_STREQ(value, L"abc");

    // Longer than any fixed buffer of the past.
    const std::wstring longText(3000, L'x');
    SetString(L"", L"Long", longText);
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, m_path.c_str(), L"Long", value));
    EXPECT_EQ(value.GetLength(), 3000);

    SetString(L"", nullptr, L"default");
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, m_path.c_str(), nullptr, value));
    EXPECT_STREQ(value, L"default");

    const DWORD number = 7;
    SetRaw(L"Number", REG_DWORD, &number, sizeof(number));
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, m_path.c_str(), L"Number", value));
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, m_path.c_str(), L"Missing", value));
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, (m_path + L"\\NoKey").c_str(), nullptr, value));
}

TEST(AutoStartValue, RunCommandMustNameTheWholeProgramPath)
{
    const CString program = L"C:\\Program Files\\Scv\\Scrivolanter.exe";
    struct Case
    {
        const wchar_t* command;
        bool names;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Scv\\Scrivolanter.exe /autoload", true},
        {L"c:\\program files\\SCV\\scrivolanter.EXE /autoload", true},
        {L"C:\\Program Files\\Scv\\Scrivolanter.exe", true},
        {L"\"C:\\Program Files\\Scv\\Scrivolanter.exe\" /autoload", true},
        {L"  \"C:\\Program Files\\Scv\\Scrivolanter.exe\"", true},
        {L"C:\\Program Files\\Scv\\Scrivolanter.exe\t-x", true},
        // A prefix of the path, or a longer path that begins with it, is another program.
        {L"C:\\Program Files\\Scv\\Scriv /autoload", false},
        {L"C:\\Program Files\\Scv\\Scrivolanter.exe.bak /autoload", false},
        {L"C:\\Program Files\\Scv\\Scrivolanter.exe2", false},
        {L"\"C:\\Program Files\\Scv\\Scrivolanter.exe2\" /autoload", false},
        {L"\"C:\\Program Files\\Scv\\Scriv\" /autoload", false},
        {L"D:\\Other\\Scrivolanter.exe /autoload", false},
        {L"", false},
        {L"/autoload", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunCommandNamesProgram(c.command, program), c.names) << c.command;
    EXPECT_FALSE(RunCommandNamesProgram(L"anything", L""));

    EXPECT_STREQ(GetRunCommandProgramText(L" \"C:\\a b\\x.exe\" /y"), L"C:\\a b\\x.exe");
    EXPECT_STREQ(GetRunCommandProgramText(L"C:\\x.exe /y "), L"C:\\x.exe /y");
}

TEST_F(RegistryTest, AutoStartValueRoundTrip)
{
    const CString self = GetModuleFilePath();
    CString lowerSelf = self;
    lowerSelf.MakeLower();
    const CString command = lowerSelf + L" /autoload";

    EXPECT_FALSE(IsAutoStartThisProgram(L"Scrivolanter", m_path.c_str()));
    ASSERT_TRUE(SetAutoStartValue(true, L"Scrivolanter", command, m_path.c_str()));
    EXPECT_TRUE(IsAutoStartThisProgram(L"Scrivolanter", m_path.c_str()));

    // The stored size counts the terminator.
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExW(m_key, L"Scrivolanter", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, static_cast<DWORD>((command.GetLength() + 1) * sizeof(wchar_t)));

    // Another program whose path begins with ours.
    ASSERT_TRUE(SetAutoStartValue(true, L"Scrivolanter", self + L".old /autoload", m_path.c_str()));
    EXPECT_FALSE(IsAutoStartThisProgram(L"Scrivolanter", m_path.c_str()));

    ASSERT_TRUE(SetAutoStartValue(false, L"Scrivolanter", nullptr, m_path.c_str()));
    EXPECT_FALSE(IsAutoStartThisProgram(L"Scrivolanter", m_path.c_str()));
    EXPECT_FALSE(SetAutoStartValue(false, L"Scrivolanter", nullptr, m_path.c_str())) << "already deleted";
    EXPECT_FALSE(SetAutoStartValue(true, L"Scrivolanter", L"x", (m_path + L"\\Missing").c_str()));
}

TEST_F(RegistryTest, FileTypeAndBrowserCommands)
{
    scvtest::TempFolder temp;
    const std::wstring viewer = temp.WriteBytes(L"My Viewer\\view.exe", "MZ");
    const std::wstring browser = temp.WriteBytes(L"web\\browse.exe", "MZ");
    ASSERT_FALSE(viewer.empty());
    ASSERT_FALSE(browser.empty());

    SetString(L".scvt", nullptr, L"ScvTest.Document");
    SetString(L"ScvTest.Document\\shell\\open\\command", nullptr, L"\"" + viewer + L"\" /open \"%1\"");
    SetString(L".htm", nullptr, L"ScvTest.Page");
    SetString(L"ScvTest.Page\\shell\\open\\command", nullptr, viewer + L" %1");

    HKEY classes = m_key;
    EXPECT_STREQ(GetOpenCommandExeForExtension(L".scvt", classes), viewer.c_str());
    EXPECT_STREQ(GetOpenCommandExeForExtension(L"scvt", classes), viewer.c_str());
    EXPECT_STREQ(GetOpenCommandExeForExtension(L"missing", classes), L"");
    EXPECT_STREQ(GetOpenCommandExeForExtension(L"", classes), L"");

    // No "http" command: the ".htm" program (arguments cut away) is the browser.
    EXPECT_STREQ(GetBrowserFromHttpCommand(classes), L"");
    EXPECT_STREQ(GetDefaultBrowserPath(classes), viewer.c_str());

    SetString(L"http\\shell\\open\\command", nullptr, L"\"" + browser + L"\" -url \"%1\"");
    EXPECT_STREQ(GetBrowserFromHttpCommand(classes), browser.c_str());
    EXPECT_STREQ(GetDefaultBrowserPath(classes), browser.c_str());

    // An "http" program that does not exist falls back to the ".htm" one.
    SetString(L"http\\shell\\open\\command", nullptr, L"\"" + temp.PathOf(L"gone.exe") + L"\" %1");
    EXPECT_STREQ(GetDefaultBrowserPath(classes), viewer.c_str());
}

TEST(DefaultBrowser, ProgramOfCommandKeepsOnlyAnExistingFile)
{
    scvtest::TempFolder temp;
    const std::wstring program = temp.WriteBytes(L"a b\\tool.exe", "MZ");
    ASSERT_FALSE(program.empty());
    EXPECT_STREQ(GetExistingProgramOfCommand((L"\"" + program + L"\" -x \"%1\"").c_str()), program.c_str());
    EXPECT_STREQ(GetExistingProgramOfCommand((program + L"   ").c_str()), program.c_str());
    EXPECT_STREQ(GetExistingProgramOfCommand(temp.PathOf(L"none.exe -x").c_str()), L"");
    EXPECT_STREQ(GetExistingProgramOfCommand(L""), L"");
}

} // namespace
