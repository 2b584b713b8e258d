#include "app/target/CMMFFile.h"
#include "app/target/CSCV_Wait_Objs.h"
#include "platform/interchange/InterchangeArea.h"
#include "app/target/SVInterProcess.h"
#include "common/KernelHandle.h"
#include "common/TextConversion.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstring>
#include <random>
#include <string>

namespace
{
// An element's own text without the line breaks and indentation around it.
std::string TextOf(const TiXmlElement* element)
{
    const char* text = element ? element->GetText() : nullptr;
    std::string result = text ? text : "";
    const size_t first = result.find_first_not_of(" \r\n");
    const size_t last = result.find_last_not_of(" \r\n");
    return first == std::string::npos ? std::string() : result.substr(first, last - first + 1);
}

// A name no other test or program uses.
CString UniqueName(LPCWSTR what)
{
    static int counter = 0;
    CString name;
    name.Format(L"Local\\ScvTest_%s_%u_%d", what, GetCurrentProcessId(), ++counter);
    return name;
}

// A paging-file mapping of `size` bytes filled with `bytes` from offset 0.
CKernelHandle MappingWith(const CString& name, DWORD size, const std::string& bytes)
{
    CKernelHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name));
    if (!mapping)
        return mapping;
    void* view = MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, 0);
    if (view) {
        std::memcpy(view, bytes.data(), bytes.size());
        UnmapViewOfFile(view);
    }
    return mapping;
}

HKL Layout(DWORD value)
{
    return LayoutFromDocumentValue(value);
}

MenuItemRecord Command(const wchar_t* title, int id, const wchar_t* hint = L"")
{
    MenuItemRecord item;
    item.SetTitle(title);
    item.SetHint(hint);
    item.id = id;
    return item;
}
} // namespace

TEST(ParseQuery, FillsEveryFieldAndDecodesTheText)
{
    const char* document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>"
        "<SVQuery POINT_X=\"120\" POINT_Y=\"-7\" HWND_Active=\"101\" HWND_Capture=\"102\" HWND_Caret=\"103\""
        " HWND_Focus=\"104\" HWND_MenuOwner=\"105\">"
        "<AppPath>C:\\Program Files\\A &amp; B\\app.exe</AppPath>"
        "<WindowClassName>Edit</WindowClassName>"
        "<HWND>4242</HWND>"
        "<HKLLoword>1049</HKLLoword><HKLHoword>1033</HKLHoword>"
        "<SelText StateSelText=\"2\">a &lt; b &amp; &quot;c&quot;&#x0D;&#x0A;\xC3\xBC\xE2\x82\xAC  two  "
        "blanks</SelText>"
        "</SVQuery>";
    SVQuery query;
    ASSERT_TRUE(SVInterProcess::ParseQuery(query, document));
    EXPECT_EQ(query.POINT_X, 120);
    EXPECT_EQ(query.POINT_Y, -7);
    EXPECT_EQ(query.ThreadInfo.hwndActive, HandleFromDocumentValue(101));
    EXPECT_EQ(query.ThreadInfo.hwndCapture, HandleFromDocumentValue(102));
    EXPECT_EQ(query.ThreadInfo.hwndCaret, HandleFromDocumentValue(103));
    EXPECT_EQ(query.ThreadInfo.hwndFocus, HandleFromDocumentValue(104));
    EXPECT_EQ(query.ThreadInfo.hwndMenuOwner, HandleFromDocumentValue(105));
    EXPECT_STREQ(query.AppPath, L"C:\\Program Files\\A & B\\app.exe");
    EXPECT_STREQ(query.WindowClassName, L"Edit");
    EXPECT_EQ(query.Hwnd, HandleFromDocumentValue(4242));
    EXPECT_EQ(query.Hkl, Layout(0x04190409));
    EXPECT_EQ(query.GetLanguageId(), 0x0409);
    EXPECT_STREQ(query.SelText, L"a < b & \"c\"\r\n\u00FC\u20AC  two  blanks");
    EXPECT_EQ(query.StateSelText, kSelTextStateExtracted);
}

TEST(ParseQuery, MissingPartsKeepTheFreshValues)
{
    struct Case
    {
        const char* document;
        HKL layout;
        int state;
    };
    const Case cases[] = {
        // no layout words at all: the layout stays as it was
        {"<SVQuery><SelText StateSelText=\"1\"/></SVQuery>", nullptr, kSelTextStateFailed},
        // one word missing: 0xFFFF in its half
        {"<SVQuery><HKLHoword>1033</HKLHoword></SVQuery>", Layout(0xFFFF0409), 0},
        {"<SVQuery><HKLLoword>1049</HKLLoword><SelText>x</SelText></SVQuery>", Layout(0x0419FFFF),
         kSelTextStateMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        SVQuery query;
        ASSERT_TRUE(SVInterProcess::ParseQuery(query, c.document));
        EXPECT_EQ(query.Hkl, c.layout);
        EXPECT_EQ(query.StateSelText, c.state);
        EXPECT_EQ(query.POINT_X, -1);
        EXPECT_EQ(query.POINT_Y, -1);
        EXPECT_EQ(query.Hwnd, nullptr);
        EXPECT_EQ(query.ThreadInfo.hwndFocus, nullptr);
        EXPECT_TRUE(query.AppPath.IsEmpty());
    }
}

TEST(ParseQuery, RefusesDocumentsThatAreNotQueries)
{
    const char* documents[] = {
        "",
        "<SVAnswer><Group/></SVAnswer>",
        "<SVQuery POINT_X=\"1\"><AppPath>unterminated",
        "<SVQuery POINT_X=\"1\" POINT_X=\"2\"/>",
        "plain text",
    };
    for (const char* document : documents) {
        SCOPED_TRACE(document);
        SVQuery query;
        query.AppPath = L"kept";
        EXPECT_FALSE(SVInterProcess::ParseQuery(query, document));
        EXPECT_STREQ(query.AppPath, L"kept");
    }
    SVQuery query;
    EXPECT_FALSE(SVInterProcess::ParseQuery(query, nullptr));
}

TEST(ParseQuery, TakesAnsiTextWhenTheDeclarationSaysSo)
{
    SVQuery query;
    ASSERT_TRUE(SVInterProcess::ParseQuery(
        query, "<?xml version=\"1.0\" encoding=\"windows-1252\" ?><SVQuery><SelText "
               "StateSelText=\"2\">caf\xE9</SelText></SVQuery>"));
    EXPECT_STREQ(query.SelText, AnsiToWide("caf\xE9"));
}

TEST(BuildAnswer, WritesGroupsCommandsAndTipsEscaped)
{
    SVAnswer answer;
    EXPECT_EQ(answer.MenuPerColumn, -1);
    EXPECT_EQ(answer.ShowToolTips, 1);

    MenuItemRecord first = Command(L"Fish & <Chips>", 7, L"tip \"quoted\"");
    first.flags = 1;
    first.dataType = MenuItemRecord::kTypeRtf;
    first.languageId = 1049;
    MenuItemRecord folder;
    folder.SetTitle(L"Folder \u00FC");
    folder.flags = MenuItemRecord::kFlagDefault;
    folder.MutableSubItems().push_back(Command(L"Inner", 8));
    MenuItemRecord emptyFolder;
    emptyFolder.SetTitle(L"Empty");
    emptyFolder.MutableSubItems();
    answer.Items.push_back(first);
    answer.Items.push_back(std::move(folder));
    answer.Items.push_back(std::move(emptyFolder));
    answer.Items.push_back(Command(L"no id, no text", 0));
    answer.MenuPerColumn = 3;
    answer.Sound = 1;

    std::string text;
    ASSERT_TRUE(SVInterProcess::BuildAnswer(answer, text));
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" ?>\r\n", 0), 0u) << text;
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        EXPECT_EQ(text[i - 1], '\r') << "line break at " << i;

    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    ASSERT_FALSE(document.Error()) << text;
    const TiXmlElement* root = document.FirstChildElement("SVAnswer");
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->Attribute("Sound"), "1");
    EXPECT_STREQ(root->Attribute("ShowToolTips"), "1");
    EXPECT_STREQ(root->Attribute("ForegroundTopMostWnd"), "0");
    const TiXmlElement* group = root->FirstChildElement("Group");
    ASSERT_NE(group, nullptr);

    const TiXmlElement* command = group->FirstChildElement();
    ASSERT_NE(command, nullptr);
    EXPECT_STREQ(command->Value(), "Command");
    EXPECT_EQ(TextOf(command), "Fish & <Chips>");
    EXPECT_STREQ(command->Attribute("Flags"), "1");
    EXPECT_STREQ(command->Attribute("CMDID"), "7");
    EXPECT_STREQ(command->Attribute("DataType"), "1");
    EXPECT_STREQ(command->Attribute("LCID"), "1049");
    ASSERT_NE(command->FirstChildElement("ToolTipText"), nullptr);
    EXPECT_STREQ(command->FirstChildElement("ToolTipText")->GetText(), "tip \"quoted\"");

    const TiXmlElement* sub = command->NextSiblingElement();
    ASSERT_NE(sub, nullptr);
    EXPECT_STREQ(sub->Value(), "Group");
    EXPECT_STREQ(sub->Attribute("Default"), "1");
    EXPECT_EQ(Utf8ToWide(TextOf(sub).c_str()), CString(L"Folder \u00FC"));
    ASSERT_NE(sub->FirstChildElement("Command"), nullptr);
    EXPECT_STREQ(sub->FirstChildElement("Command")->Attribute("CMDID"), "8");

    const TiXmlElement* empty = sub->NextSiblingElement();
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty->Value(), "Group");
    EXPECT_EQ(empty->FirstChildElement(), nullptr);

    const TiXmlElement* noId = empty->NextSiblingElement();
    ASSERT_NE(noId, nullptr);
    EXPECT_EQ(noId->GetText(), nullptr);
    EXPECT_EQ(noId->FirstChildElement("ToolTipText"), nullptr);

    const TiXmlElement* perColumn = noId->NextSiblingElement();
    ASSERT_NE(perColumn, nullptr);
    EXPECT_STREQ(perColumn->Value(), "MenuPerColumn");
    EXPECT_STREQ(perColumn->GetText(), "3");
    EXPECT_EQ(perColumn->NextSiblingElement(), nullptr);
}

TEST(BuildAnswer, NothingWithoutItemsAndNoColumnCountForZero)
{
    SVAnswer answer;
    std::string text = "stale";
    EXPECT_FALSE(SVInterProcess::BuildAnswer(answer, text));
    EXPECT_TRUE(text.empty());

    answer.Items.push_back(Command(L"one", 1));
    answer.MenuPerColumn = 0;
    ASSERT_TRUE(SVInterProcess::BuildAnswer(answer, text));
    EXPECT_EQ(text.find("MenuPerColumn"), std::string::npos);
}

TEST(ReadMappingText, ReadsUpToTheTerminatorWithinTheView)
{
    const DWORD limit = InterchangeArea::kMaxTextBytes;
    struct Case
    {
        const char* what;
        DWORD mappingSize;
        std::string bytes;
        bool readable;
        size_t length;
    };
    const Case cases[] = {
        {"plain text", 4096, std::string("<SVQuery/>") + '\0', true, 10},
        {"empty text", 4096, std::string(1, '\0'), false, 0},
        {"no terminator in the whole view", 4096, std::string(4096, 'x'), false, 0},
        {"text of the checked length", InterchangeArea::kMappingSize, std::string(limit - 1, 'x') + '\0',
         true, limit - 1},
        {"text longer than the checked length", InterchangeArea::kMappingSize, std::string(limit, 'x') + '\0',
         true, limit},
        {"text filling the view", InterchangeArea::kMappingSize,
         std::string(InterchangeArea::kMappingSize - 1, 'x') + '\0', true, InterchangeArea::kMappingSize - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CString name = UniqueName(L"Read");
        CKernelHandle mapping = MappingWith(name, c.mappingSize, c.bytes);
        ASSERT_TRUE(mapping);
        std::string text;
        EXPECT_EQ(SVInterProcess::ReadMappingText(name, text), c.readable);
        EXPECT_EQ(text.size(), c.length);
    }
    std::string text;
    EXPECT_FALSE(SVInterProcess::ReadMappingText(UniqueName(L"Missing"), text));
}

TEST(ReadQuery, ReadsWhatWasWrittenAndAnswersIntoTheSameArea)
{
    const CString mappingName = UniqueName(L"Area");
    CSCV_Wait_Objs objects(UniqueName(L"Needed"), UniqueName(L"Completed"), mappingName);
    ASSERT_TRUE(objects.CreateWaitObjects());

    ASSERT_TRUE(SVInterProcess::WriteTextToMapping(
        "<SVQuery POINT_X=\"5\"><AppPath>x.exe</AppPath></SVQuery>", mappingName));
    SVQuery query;
    ASSERT_TRUE(SVInterProcess::ReadQuery(query, mappingName));
    EXPECT_EQ(query.POINT_X, 5);
    EXPECT_STREQ(query.AppPath, L"x.exe");

    SVAnswer answer;
    answer.Items.push_back(Command(L"reply", 3));
    ASSERT_TRUE(SVInterProcess::WriteAnswer(answer, mappingName));
    std::string text;
    ASSERT_TRUE(SVInterProcess::ReadMappingText(mappingName, text));
    EXPECT_NE(text.find("<SVAnswer"), std::string::npos);
    EXPECT_NE(text.find("reply"), std::string::npos);

    EXPECT_FALSE(SVInterProcess::WriteTextToMapping("", mappingName));
    EXPECT_FALSE(SVInterProcess::WriteAnswer(SVAnswer(), mappingName));
    EXPECT_FALSE(
        SVInterProcess::WriteTextToMapping(std::string(InterchangeArea::kMappingSize, 'x'), mappingName));
}

TEST(WaitObjects, CreatesSharesAndClosesTheNamedObjects)
{
    const CString needed = UniqueName(L"Needed");
    const CString completed = UniqueName(L"Completed");
    const CString area = UniqueName(L"Area");
    CSCV_Wait_Objs first(needed, completed, area);
    EXPECT_FALSE(CMMFFile::OpenMMF_File_Test(area));
    ASSERT_TRUE(first.CreateWaitObjects());
    EXPECT_TRUE(first.IsCreated());
    EXPECT_TRUE(CMMFFile::OpenMMF_File_Test(area));
    EXPECT_EQ(WaitForSingleObject(first.GetDataNeededEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(first.GetDataCompletedEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // A second holder (another instance) reuses the objects of the first.
    CSCV_Wait_Objs second(needed, completed, area);
    ASSERT_TRUE(second.CreateWaitObjects());
    SetEvent(first.GetDataNeededEvent());
    EXPECT_EQ(WaitForSingleObject(second.GetDataNeededEvent(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    // Manual reset: still set for the next look.
    EXPECT_EQ(WaitForSingleObject(second.GetDataNeededEvent(), 0), static_cast<DWORD>(WAIT_OBJECT_0));

    first.CloseWaitObjects();
    EXPECT_FALSE(first.IsCreated());
    EXPECT_EQ(first.GetMapping(), nullptr);
    EXPECT_TRUE(CMMFFile::OpenMMF_File_Test(area));
    second.CloseWaitObjects();
    EXPECT_FALSE(CMMFFile::OpenMMF_File_Test(area));
}

TEST(ReadQuery, TakesASelectionLongerThanTheCheckedLength)
{
    const std::string selection(InterchangeArea::kMaxTextBytes + 1000, 'a');
    const std::string document = "<SVQuery><SelText StateSelText=\"2\">" + selection + "</SelText></SVQuery>";
    const CString name = UniqueName(L"LongSel");
    CKernelHandle mapping = MappingWith(name, InterchangeArea::kMappingSize, document + '\0');
    ASSERT_TRUE(mapping);
    SVQuery query;
    ASSERT_TRUE(SVInterProcess::ReadQuery(query, name));
    EXPECT_EQ(query.SelText.GetLength(), static_cast<int>(selection.size()));
    EXPECT_EQ(query.StateSelText, 2);
}

// Bytes of valid queries flipped, cut, repeated and nested deep: the parser never crashes, and
// deep nesting is refused before it reaches the recursive parser.
TEST(ParseQuery, MutatedQueriesNeverCrashTheParser)
{
    const std::string fixtures[] = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SVQuery POINT_X=\"10\" POINT_Y=\"20\" HWND_Focus=\"5\">"
        "<AppPath>C:\\a.exe</AppPath><WindowClassName>Edit</WindowClassName><HWND>123</HWND>"
        "<HKLLoword>1049</HKLLoword><HKLHoword>1033</HKLHoword>"
        "<SelText StateSelText=\"2\">sel &amp; text</SelText></SVQuery>",
        "<?xml version=\"1.0\" encoding=\"windows-1251\"?><SVQuery><SelText "
        "StateSelText=\"1\"></SelText></SVQuery>",
    };
    // A three-byte lead just before the end made the parser loop for good.
    for (const char* tail : {"<SVQuery>\xEF", "<SVQuery/>\xEF\xBB"}) {
        SVQuery query;
        SVInterProcess::ParseQuery(query, tail);
    }
    std::mt19937 random(3124);
    for (int round = 0; round < 3000; ++round) {
        std::string text = fixtures[round % std::size(fixtures)];
        const size_t at = random() % text.size();
        switch (random() % 4) {
        case 0:
            for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips)
                text[random() % text.size()] ^= static_cast<char>(1u << (random() % 8));
            break;
        case 1:
            text.resize(at);
            break;
        case 2: {
            const std::string piece = text.substr(at, 1 + random() % 30);
            for (int times = 1 + static_cast<int>(random() % 200); times > 0; --times)
                text.insert(at, piece);
            break;
        }
        default: {
            std::string nested;
            for (int depth = 100 + static_cast<int>(random() % 6000); depth > 0; --depth)
                nested += "<a>";
            text.insert(at, nested);
            break;
        }
        }
        SVQuery query;
        SVInterProcess::ParseQuery(query, text.c_str());
    }
    std::string deep = "<SVQuery>";
    for (int i = 0; i < 6000; ++i)
        deep += "<a>";
    SVQuery query;
    EXPECT_FALSE(SVInterProcess::ParseQuery(query, deep.c_str()));
}
