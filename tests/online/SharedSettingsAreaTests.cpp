// test-locks: appevents
#include "online/SharedSettingsArea.h"

#include "common/KernelHandle.h"
#include "common/WellKnownNames.h"

#include "support/ChildMain.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
const char kCtrlAltF12Document[] =
    "<?xml version=\"1.0\" ?>\r\n"
    "<ScrivolanterSettings HotKey_Key=\"123\" HotKey_Mod=\"3\" Double=\"0\" />\r\n";

std::wstring Text(const CString& text)
{
    return std::wstring(text.GetString());
}

struct ReadBack
{
    bool found = false;
    WORD key = 0xFFFF;
    WORD modifiers = 0xFFFF;
    int doublePress = -1;
    CString selected = L"<untouched>";
};

ReadBack ReadArea()
{
    ReadBack values;
    SharedSettingsValues targets;
    targets.virtualKey = &values.key;
    targets.modifiers = &values.modifiers;
    targets.doublePress = &values.doublePress;
    targets.selectedText = &values.selected;
    values.found = ReadSharedSettingsArea(targets);
    return values;
}

// One page of committed memory, freed at the end.
class CPage
{
public:
    CPage()
    {
        SYSTEM_INFO info = {};
        ::GetSystemInfo(&info);
        m_size = info.dwPageSize;
        m_memory =
            static_cast<char*>(::VirtualAlloc(nullptr, m_size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~CPage() { ::VirtualFree(m_memory, 0, MEM_RELEASE); }
    char* Get() const { return m_memory; }
    size_t Size() const { return m_size; }

private:
    char* m_memory = nullptr;
    size_t m_size = 0;
};
} // namespace

// Reads the area in a second process and writes what it found, one value a line.
SCV_CHILD_MAIN(read_shared_settings_area)
{
    const ReadBack values = ReadArea();
    std::wstring text = values.found ? L"found" : L"missing";
    text += L"\n" + std::to_wstring(values.key) + L"\n" + std::to_wstring(values.modifiers) + L"\n" +
            std::to_wstring(values.doublePress) + L"\n" + Text(values.selected);
    return scvtest::WriteFileUtf8(args.at(0), text) ? 0 : 1;
}

TEST(SharedSettingsXml, PrintsTheHotKeyWithoutChildWhenNothingIsSelected)
{
    EXPECT_EQ(BuildSharedSettingsXml(VK_F12, MOD_ALT | MOD_CONTROL, false, L""), kCtrlAltF12Document);
    EXPECT_EQ(BuildSharedSettingsXml(VK_F12, MOD_ALT | MOD_CONTROL, false, nullptr), kCtrlAltF12Document);
}

TEST(SharedSettingsXml, EscapesTheSelectedTextAndReadsItBack)
{
    const wchar_t selected[] = L"a < b & \"c\" \u00e9\u4e2d";
    const std::string document = BuildSharedSettingsXml('Q', MOD_WIN | MOD_SHIFT, true, selected);
    EXPECT_NE(document.find("Double=\"1\""), std::string::npos) << document;
    EXPECT_NE(
        document.find("\r\n    <SelText>a &lt; b &amp; &quot;c&quot; \xc3\xa9\xe4\xb8\xad</SelText>\r\n"),
        std::string::npos)
        << document;

    WORD key = 0, modifiers = 0;
    int doublePress = 0;
    CString text;
    ASSERT_TRUE(ParseSharedSettingsXml(document, {&key, &modifiers, &doublePress, &text}));
    EXPECT_EQ(key, 'Q');
    EXPECT_EQ(modifiers, MOD_WIN | MOD_SHIFT);
    EXPECT_EQ(doublePress, 1);
    EXPECT_EQ(Text(text), selected);
}

TEST(SharedSettingsXml, ParsingFillsOnlyWhatIsThere)
{
    CString text = L"kept";
    WORD key = 7, modifiers = 7;
    int doublePress = 7;
    ASSERT_TRUE(ParseSharedSettingsXml("<ScrivolanterSettings HotKey_Key=\"65\" Double=\"5\"/>",
                                       {&key, &modifiers, &doublePress, &text}));
    EXPECT_EQ(key, 65);
    EXPECT_EQ(modifiers, 0); // absent attribute
    EXPECT_EQ(doublePress, 1);
    EXPECT_EQ(Text(text), L"kept"); // no SelText: the caller's text stays

    for (const char* wrong : {"", "<Other HotKey_Key=\"65\"/>", "not xml at all"}) {
        key = 7;
        EXPECT_FALSE(ParseSharedSettingsXml(wrong, {&key, nullptr, nullptr, &text})) << wrong;
        EXPECT_EQ(key, 7) << wrong;
    }
}

TEST(SharedSettingsArea, IsReadBackByASecondProcess)
{
    ASSERT_TRUE(WriteSharedSettingsArea(VK_F12, MOD_ALT | MOD_CONTROL, true, L"caf\u00e9 <&>"));

    scvtest::TempFolder folder;
    const std::wstring output = folder.PathOf(L"area.txt");
    scvtest::ChildProcess child = scvtest::LaunchSelf(L"read_shared_settings_area", {output});
    ASSERT_TRUE(child.Started());
    ASSERT_EQ(child.Wait(30000), 0u);
    EXPECT_EQ(scvtest::ReadFileText(output).value_or(L"<none>"), L"found\n123\n3\n1\ncaf\u00e9 <&>");
}

TEST(SharedSettingsArea, ASelectionTooLongForTheAreaIsPublishedCutNeverAnOlderOne)
{
    // The longest selection whose document still fits with its terminator.
    const std::string base = BuildSharedSettingsXml('B', MOD_ALT, false, L"x");
    const size_t fitting = kSharedSettingsAreaSize - 1 - base.size() + 1;
    const std::wstring longest(fitting, L'x');
    ASSERT_EQ(BuildSharedSettingsXml('B', MOD_ALT, false, longest.c_str()).size(),
              kSharedSettingsAreaSize - 1);
    EXPECT_TRUE(WriteSharedSettingsArea('B', MOD_ALT, false, longest.c_str()));
    ReadBack values = ReadArea();
    ASSERT_TRUE(values.found);
    EXPECT_EQ(Text(values.selected), longest) << "a selection that fits is published whole";

    // Selections that do not fit: one character too many, markup that grows when escaped,
    // characters of several UTF-8 bytes and surrogate pairs, a selection of a megabyte.
    const std::wstring emoji = L"\U0001F600";
    const std::wstring cases[] = {
        longest + L"x",
        std::wstring(400, L'<') + L"&tail",
        std::wstring(300, L'\u00e9') + std::wstring(300, L'\u4e2d'),
        [&] {
            std::wstring text = L"a";
            for (int i = 0; i < 400; ++i)
                text += emoji;
            return text;
        }(),
        std::wstring(1 << 20, L'm'),
    };
    for (const std::wstring& selected : cases) {
        ASSERT_TRUE(WriteSharedSettingsArea('A', MOD_SHIFT, false, L"older selection"));
        EXPECT_TRUE(WriteSharedSettingsArea('C', MOD_CONTROL, true, selected.c_str()));
        values = ReadArea();
        ASSERT_TRUE(values.found);
        EXPECT_EQ(values.key, 'C');
        const std::wstring published = Text(values.selected);
        ASSERT_GE(published.size(), 2u);
        EXPECT_EQ(published.back(), kSelectionCutMark) << "the reader sees that the selection was cut";
        const std::wstring kept = published.substr(0, published.size() - 1);
        EXPECT_EQ(selected.compare(0, kept.size(), kept), 0) << "the start of the selection just made";
        // The next character (at most an escape of 5 bytes or a pair of 4) would not have fitted.
        EXPECT_GT(ReadSharedSettingsAreaText().size(), kSharedSettingsAreaSize - 1 - 10) << "as much as fits";
        EXPECT_FALSE(IS_HIGH_SURROGATE(kept.back())) << "no half of a surrogate pair";
    }

    // A shorter document replaces a longer one completely.
    ASSERT_TRUE(WriteSharedSettingsArea('D', 0, false, L""));
    values = ReadArea();
    EXPECT_EQ(values.key, 'D');
    EXPECT_EQ(Text(values.selected), L"<untouched>");
}

TEST(SharedSettingsArea, AViewWithoutTerminatorReadsAsNothing)
{
    ASSERT_TRUE(WriteSharedSettingsArea('A', MOD_SHIFT, false, L""));
    {
        // Another writer fills every byte of the view it can reach, leaving no NUL.
        CKernelHandle mapping(::OpenFileMappingW(FILE_MAP_WRITE, FALSE, GetSettingAreaMappingName()));
        ASSERT_TRUE(mapping);
        void* view = ::MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, 0);
        ASSERT_NE(view, nullptr);
        MEMORY_BASIC_INFORMATION info = {};
        ASSERT_EQ(::VirtualQuery(view, &info, sizeof(info)), sizeof(info));
        std::memset(view, '<', info.RegionSize);
        ::UnmapViewOfFile(view);
    }
    EXPECT_EQ(ReadSharedSettingsAreaText(), "");
    EXPECT_FALSE(ReadArea().found);
    EXPECT_TRUE(GetSelectedTextFromMainProgram().IsEmpty());

    // The next write makes the area readable again.
    ASSERT_TRUE(WriteSharedSettingsArea('E', MOD_SHIFT, false, L"again"));
    EXPECT_EQ(Text(GetSelectedTextFromMainProgram()), L"again");
}

TEST(SharedSettingsArea, ReadsNothingWhenNoProgramPublishesIt)
{
    ASSERT_TRUE(WriteSharedSettingsArea('A', MOD_SHIFT, false, L"x"));
    CloseSharedSettingsArea();
    EXPECT_EQ(ReadSharedSettingsAreaText(), "");
    EXPECT_FALSE(ReadArea().found);
}

TEST(TerminatedTextInView, StopsAtTheEndOfTheMemoryItCanSee)
{
    CPage page;
    ASSERT_NE(page.Get(), nullptr);
    std::memset(page.Get(), 'a', page.Size());
    EXPECT_EQ(ReadTerminatedTextInView(page.Get(), 51200), ""); // no terminator in the region
    EXPECT_EQ(ReadTerminatedTextInView(page.Get() + page.Size() - 3, 51200), "");

    page.Get()[page.Size() - 1] = 0;
    EXPECT_EQ(ReadTerminatedTextInView(page.Get(), 51200).size(), page.Size() - 1);
    EXPECT_EQ(ReadTerminatedTextInView(page.Get() + page.Size() - 3, 51200), "aa");
    EXPECT_EQ(ReadTerminatedTextInView(page.Get(), page.Size() - 2), "");         // longer than allowed
    EXPECT_EQ(ReadTerminatedTextInView(page.Get() + page.Size() - 1, 51200), ""); // empty text
    EXPECT_EQ(ReadTerminatedTextInView(nullptr, 51200), "");

    DWORD old = 0;
    ASSERT_TRUE(::VirtualProtect(page.Get(), page.Size(), PAGE_NOACCESS, &old));
    EXPECT_EQ(ReadTerminatedTextInView(page.Get(), 51200), "");
    ::VirtualProtect(page.Get(), page.Size(), old, &old);
}
