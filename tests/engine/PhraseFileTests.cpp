#include "engine/PhraseFile.h"
#include "engine/PhraseFileWriter.h"

#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

PhraseItemRecord MakePhrase(const wchar_t* title, const wchar_t* body)
{
    PhraseItemRecord record;
    record.SetTitle(title);
    record.body = body;
    return record;
}

// Saves the record and reads it back into a fresh record.
PhraseItemRecord RoundTrip(const scvtest::TempFolder& temp, const PhraseItemRecord& record)
{
    const std::wstring path = temp.PathOf(L"roundtrip.scrivolanter");
    EXPECT_TRUE(SavePhraseFile(record, path.c_str()));
    PhraseItemRecord loaded;
    EXPECT_TRUE(ReadPhraseFile(loaded, path.c_str()));
    return loaded;
}

std::string PhraseXml(const char* attributes, const char* children)
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<SCVCommand ") +
           attributes + ">\r\n" + children + "</SCVCommand>\r\n";
}

bool ReadXml(const scvtest::TempFolder& temp, const std::string& xml, PhraseItemRecord& record)
{
    const std::wstring path = temp.WriteBytes(L"read.scrivolanter", xml);
    return ReadPhraseFile(record, path.c_str());
}

bool NoTemporaryFilesIn(const scvtest::TempFolder& temp)
{
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((temp.Path() + L"\\*.tmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return true;
    }
    FindClose(find);
    return false;
}

} // namespace

TEST(PhraseFile, FileTextIsThePrintedDocument)
{
    PhraseItemRecord record = MakePhrase(L"Greeting", L"Hello\r\n<World> & \"you\"");
    record.SetHint(L"a hint");
    record.usageCount = 3;
    record.sortId = -1;
    record.flagsMenu = 2;
    record.dateUsage.wYear = 2024;
    record.dateUsage.wMonth = 3;
    record.dateUsage.wDay = 7;
    record.dateUsage.wHour = 14;
    record.dateUsage.wMinute = 5;
    record.dateUsage.wSecond = 9;

    EXPECT_EQ(BuildPhraseXml(record),
              PhraseXml("UsageCount=\"3\" DisabledIsNoHasSelection=\"0\" UseTitleOnly=\"0\" SortID=\"-1\" "
                        "FlagsMenu=\"2\" DateUsage=\"2024|3|7|14|5|9\"",
                        "    <MenuName>Greeting</MenuName>\r\n"
                        "    <DataType>TEXT</DataType>\r\n"
                        "    <Cmd>Hello&#x0D;&#x0A;&lt;World&gt; &amp; &quot;you&quot;</Cmd>\r\n"
                        "    <Hint>a hint</Hint>\r\n"));

    record.included = 0;
    const std::string excluded = BuildPhraseXml(record);
    EXPECT_NE(excluded.find("<SCVCommand Excluded=\"1\" UsageCount=\"3\""), std::string::npos) << excluded;
}

TEST(PhraseFile, FolderFileHasAttributesOnly)
{
    PhraseItemRecord folder;
    folder.MakeFolder();
    folder.SetTitle(L"ignored");
    folder.sortId = 4;
    folder.dateUsage.wYear = 2024;
    EXPECT_EQ(BuildPhraseXml(folder),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n"
              "<SCVCommand Excluded=\"1\" UsageCount=\"0\" DisabledIsNoHasSelection=\"0\" UseTitleOnly=\"0\" "
              "SortID=\"4\" FlagsMenu=\"0\" />\r\n");

    PhraseItemRecord included;
    included.included = 1;
    folder.children->push_back(included);
    EXPECT_EQ(BuildPhraseXml(folder).find("Excluded"), std::string::npos);
}

TEST(PhraseFile, BodiesComeBackAsWritten)
{
    struct Case
    {
        const wchar_t* body;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"line one\r\nline two\r\n", L"line one\r\nline two\r\n"},
        {L"\nstarts with a line feed", L"\nstarts with a line feed"},
        {L"   leading and trailing blanks   ", L"   leading and trailing blanks   "},
        {L"\ttabs\t", L"\ttabs\t"},
        {L"a < b > c & d", L"a < b > c & d"},
        {L"quotes \"double\" and 'single'", L"quotes \"double\" and 'single'"},
        {L"&amp; stays &#65; too", L"&amp; stays &#65; too"},
        {L"%SELECTED_TEXT% %CURSOR_POS%", L"%SELECTED_TEXT% %CURSOR_POS%"},
        {L"\u041F\u0440\u0438\u0432\u0435\u0442 \u2014 \U0001F600",
         L"\u041F\u0440\u0438\u0432\u0435\u0442 \u2014 \U0001F600"},
        // Sequences that older files hold literally are decoded on reading.
        {L"&lt;b&gt;bold&lt;/b&gt;", L"<b>bold</b>"},
        {L"say &quote;hi&quote;", L"say \"hi\""},
    };
    scvtest::TempFolder temp;
    for (const Case& c : cases) {
        const PhraseItemRecord loaded = RoundTrip(temp, MakePhrase(L"t", c.body));
        EXPECT_EQ(loaded.body, c.expected) << "body: " << scvtest::WideToUtf8(c.body);
    }
}

TEST(PhraseFile, EveryFieldComesBack)
{
    scvtest::TempFolder temp;
    PhraseItemRecord record = MakePhrase(std::wstring(130, L'x').c_str(), L"{\\rtf1 text}");
    record.SetTitle((std::wstring(119, L'a') + L"<&>" + std::wstring(8, L'b')).c_str());
    record.SetHint(L"hint with\r\ntwo lines & <tags>");
    record.dataType = MenuItemRecord::kTypeRtf;
    record.usageCount = 4000000000u;
    record.sortId = -7;
    record.useTitleOnly = 1;
    record.disabledIsNoHasSelection = 1;
    record.flagsMenu = 3;
    record.included = 0;
    record.dateUsage.wYear = 2026;
    record.dateUsage.wMonth = 12;
    record.dateUsage.wDay = 9;
    record.dateUsage.wHour = 23;
    record.dateUsage.wMinute = 59;
    record.dateUsage.wSecond = 58;
    record.dateUsage.wMilliseconds = 500;

    const PhraseItemRecord loaded = RoundTrip(temp, record);
    EXPECT_EQ(std::wstring(loaded.title), std::wstring(119, L'a') + L"<");
    EXPECT_STREQ(loaded.hint, L"hint with\r\ntwo lines & <tags>");
    EXPECT_EQ(loaded.body, L"{\\rtf1 text}");
    EXPECT_EQ(loaded.dataType, MenuItemRecord::kTypeRtf);
    EXPECT_EQ(loaded.usageCount, 4000000000u);
    EXPECT_EQ(loaded.sortId, -7);
    EXPECT_EQ(loaded.useTitleOnly, 1);
    EXPECT_EQ(loaded.disabledIsNoHasSelection, 1);
    EXPECT_EQ(loaded.flagsMenu, 3);
    EXPECT_EQ(loaded.included, 0);
    EXPECT_EQ(loaded.dateUsage.wYear, 2026);
    EXPECT_EQ(loaded.dateUsage.wSecond, 58);
    EXPECT_EQ(loaded.dateUsage.wMilliseconds, 0); // not stored
    EXPECT_EQ(loaded.dateUsage.wDayOfWeek, 0);

    for (int type : {MenuItemRecord::kTypeText, MenuItemRecord::kTypeExec, 7}) {
        record.dataType = type;
        EXPECT_EQ(RoundTrip(temp, record).dataType, type == 7 ? MenuItemRecord::kTypeText : type);
    }
    record.dateUsage = SYSTEMTIME{};
    EXPECT_FALSE(RoundTrip(temp, record).HasUsageDate());
}

TEST(PhraseFile, ReadingHandWrittenFiles)
{
    scvtest::TempFolder temp;
    const char* menuName = "    <MenuName>Name</MenuName>\r\n";
    struct Case
    {
        std::string xml;
        bool loads;
        int dataType;
        unsigned int usageCount;
        WORD year;
    };
    const Case cases[] = {
        {PhraseXml("UsageCount=\"2\"", "<MenuName>Name</MenuName><DataType>rtf</DataType>"), true, 1, 2, 0},
        {PhraseXml("", "<MenuName>Name</MenuName><DataType>eXeC</DataType>"), true, 2, 0, 0},
        {PhraseXml("", "<MenuName>Name</MenuName><DataType>HTML</DataType>"), true, 0, 0, 0},
        {PhraseXml("", "<MenuName>Name</MenuName><DataType></DataType>"), true, 0, 0, 0},
        {PhraseXml("UsageCount=\"-5\"", menuName), true, 0, 0, 0},
        {PhraseXml("DateUsage=\"2024|3|7|14|5|9\"", menuName), true, 0, 0, 2024},
        {PhraseXml("DateUsage=\"0|3|7|14|5|9\"", menuName), true, 0, 0, 0},
        {PhraseXml("DateUsage=\"\"", menuName), true, 0, 0, 0},
        {PhraseXml("UsageCount=\"4\"", "<DataType>TEXT</DataType><Cmd>body</Cmd>"), false, 0, 0, 0},
        {PhraseXml("", "<MenuName></MenuName><Cmd>body</Cmd>"), false, 0, 0, 0},
        {PhraseXml("", "<MenuName>   </MenuName>"), false, 0, 0, 0},
        {"<?xml version=\"1.0\" ?><Other><MenuName>Name</MenuName></Other>", false, 0, 0, 0},
        {"<SCVCommand><MenuName>Name</MenuName><Cmd>cut off", false, 0, 0, 0},
        {"", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        PhraseItemRecord record;
        EXPECT_EQ(ReadXml(temp, c.xml, record), c.loads) << c.xml;
        EXPECT_EQ(record.dataType, c.dataType) << c.xml;
        EXPECT_EQ(record.usageCount, c.usageCount) << c.xml;
        EXPECT_EQ(record.dateUsage.wYear, c.year) << c.xml;
    }

    PhraseItemRecord dated;
    ASSERT_TRUE(ReadXml(temp, PhraseXml("DateUsage=\"2024|3|7|14|5|9\"", menuName), dated));
    EXPECT_EQ(dated.dateUsage.wMonth, 3);
    EXPECT_EQ(dated.dateUsage.wDay, 7);
    EXPECT_EQ(dated.dateUsage.wHour, 14);
    EXPECT_EQ(dated.dateUsage.wMinute, 5);
    EXPECT_EQ(dated.dateUsage.wSecond, 9);
    EXPECT_EQ(dated.dateUsage.wDayOfWeek, 0);

    // A file without Cmd keeps the body the record had; a file that fails leaves the record as it
    // was, attributes included.
    PhraseItemRecord keeps;
    keeps.body = L"before";
    ASSERT_TRUE(ReadXml(temp, PhraseXml("Excluded=\"1\" SortID=\"9\"", menuName), keeps));
    EXPECT_EQ(keeps.body, L"before");
    EXPECT_EQ(keeps.included, 0);
    PhraseItemRecord partial;
    EXPECT_FALSE(ReadXml(temp, PhraseXml("SortID=\"9\" FlagsMenu=\"1\"", ""), partial));
    EXPECT_EQ(partial.sortId, 0);
    EXPECT_EQ(partial.flagsMenu, 0);

    PhraseItemRecord missing;
    EXPECT_FALSE(ReadPhraseFile(missing, temp.PathOf(L"missing.scrivolanter").c_str()));
}

TEST(PhraseFile, OversizedFileIsNotRead)
{
    scvtest::TempFolder temp;
    const std::wstring path = temp.PathOf(L"huge.scrivolanter");
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const std::string head = PhraseXml("", "<MenuName>Huge</MenuName><Cmd>");
        DWORD written = 0;
        WriteFile(file, head.data(), static_cast<DWORD>(head.size()), &written, nullptr);
        LARGE_INTEGER size{};
        size.QuadPart = static_cast<LONGLONG>(kMaxPhraseFileSize) + 1;
        SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        CloseHandle(file);
    }
    std::string content;
    EXPECT_FALSE(ReadPhraseFileBytes(path.c_str(), content));
    EXPECT_TRUE(content.empty());
    PhraseItemRecord record;
    EXPECT_FALSE(ReadPhraseFile(record, path.c_str()));
}

TEST(PhraseFile, ReadingAFileOfAListedSize)
{
    scvtest::TempFolder temp;
    const std::string text = PhraseXml("", "<MenuName>Sized</MenuName>");
    const std::wstring path = temp.WriteBytes(L"sized.scrivolanter", text);

    std::string buffer(text.size() + 2, '#');
    buffer[text.size()] = '\0';
    ASSERT_TRUE(ReadPhraseFileExactly(path.c_str(), buffer.data(), text.size()));
    EXPECT_EQ(buffer.substr(0, text.size()), text);
    EXPECT_EQ(buffer[text.size()], '\0');
    EXPECT_EQ(buffer[text.size() + 1], '#');
    PhraseItemRecord record;
    EXPECT_TRUE(ParsePhraseDocument(record, buffer.c_str()));
    EXPECT_STREQ(record.title, L"Sized");

    // The file changed since it was listed: longer or shorter than the size given.
    EXPECT_FALSE(ReadPhraseFileExactly(path.c_str(), buffer.data(), text.size() - 1));
    EXPECT_EQ(buffer[text.size() - 1], '\0');
    buffer.assign(text.size() + 6, '\0');
    EXPECT_FALSE(ReadPhraseFileExactly(path.c_str(), buffer.data(), text.size() + 5));
    EXPECT_FALSE(ReadPhraseFileExactly(path.c_str(), buffer.data(), 0));
}

TEST(PhraseFile, ReadOnlyFileIsReplaced)
{
    scvtest::TempFolder temp;
    const std::wstring path = temp.WriteBytes(L"locked.scrivolanter", "old content");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));

    ASSERT_TRUE(SavePhraseFile(MakePhrase(L"New", L"new body"), path.c_str()));
    PhraseItemRecord loaded;
    ASSERT_TRUE(ReadPhraseFile(loaded, path.c_str()));
    EXPECT_EQ(loaded.body, L"new body");
    EXPECT_TRUE(NoTemporaryFilesIn(temp));

    // The low-level open overwrites a read-only file in place.
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE file = CreatePhraseFileForWrite(path.c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "abc", 3, &written, nullptr));
    CloseHandle(file);
    EXPECT_EQ(temp.ReadBytes(L"locked.scrivolanter").value_or(""), "abc");
}

TEST(PhraseFile, FailedWriteKeepsTheOldFile)
{
    scvtest::TempFolder temp;
    const std::string old = PhraseXml("UsageCount=\"1\"", "<MenuName>Old</MenuName><Cmd>old body</Cmd>");
    const std::wstring path = temp.WriteBytes(L"kept.scrivolanter", old);
    const PhraseItemRecord update = MakePhrase(L"New", L"new body");

    // The file is held open by someone who shares nothing: it cannot be replaced.
    {
        HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(SavePhraseFile(update, path.c_str()));
        CloseHandle(holder);
    }
    EXPECT_EQ(temp.ReadBytes(L"kept.scrivolanter").value_or(""), old);
    EXPECT_TRUE(NoTemporaryFilesIn(temp));

    // A path near the limit keeps a temporary name that fits beside it.
    for (int length = 200; length < MAX_PATH; ++length) {
        const std::wstring nearLimit =
            L"C:\\" + std::wstring(static_cast<size_t>(length) - 18, L'd') + L"\\x.scrivolanter";
        ASSERT_EQ(static_cast<size_t>(length), nearLimit.size());
        const CString tempName = MakePhraseTempPath(nearLimit.c_str());
        EXPECT_LT(tempName.GetLength(), MAX_PATH) << length;
        EXPECT_EQ(0, tempName.Find(
                         (L"C:\\" + std::wstring(static_cast<size_t>(length) - 18, L'd') + L"\\~").c_str()))
            << "in the same folder";
    }

    // The new content cannot be written in the folder (its temporary name is taken by a folder).
    const CString blocked = MakePhraseTempPath(path.c_str());
    ASSERT_TRUE(CreateDirectoryW(blocked, nullptr));
    SetLastError(0);
    EXPECT_FALSE(SavePhraseFile(update, path.c_str()));
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(temp.ReadBytes(L"kept.scrivolanter").value_or(""), old);
    RemoveDirectoryW(blocked);

    // A read-only file that cannot be replaced stays read-only.
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(SavePhraseFile(update, path.c_str()));
        CloseHandle(holder);
    }
    EXPECT_NE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(temp.ReadBytes(L"kept.scrivolanter").value_or(""), old);

    // Once free, the save goes through.
    EXPECT_TRUE(SavePhraseFile(update, path.c_str()));
    PhraseItemRecord loaded;
    ASSERT_TRUE(ReadPhraseFile(loaded, path.c_str()));
    EXPECT_EQ(loaded.body, L"new body");
}

TEST(PhraseFile, UnescapeReplacesInOrder)
{
    CString text = L"&amp;lt; &lt;&gt; &quote;&quot; &gt;";
    UnescapePhraseText(text);
    EXPECT_EQ(text, L"&amp;lt; <> \"&quot; >");

    SYSTEMTIME date{};
    EXPECT_FALSE(ParseUsageDate("0|1|2", date));
    EXPECT_TRUE(ParseUsageDate("2024|3", date));
    EXPECT_EQ(date.wMonth, 3);
    EXPECT_EQ(date.wDay, 0);
    EXPECT_EQ(FormatUsageDate(date), "2024|3|0|0|0|0");
    EXPECT_STREQ(PhraseDataTypeToText(-1), L"TEXT");
}
