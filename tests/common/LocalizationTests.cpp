// Language files, menu and dialog translation and localized strings, with the
// resources of LocalizationTests.rc and language files in a temporary folder.
// test-sources: LocalizationTests.rc

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "LocalizationTestIds.h"
#include "common/DialogLocalizer.h"
#include "common/IniFile.h"
#include "common/LanguageFile.h"
#include "common/LocalizedString.h"
#include "common/MenuLocalizer.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

// Failure messages show the text of a CString.
inline void PrintTo(const CString& text, std::ostream* out)
{
    *out << ::testing::PrintToString(std::wstring(text.GetString()));
}

namespace
{

std::wstring ReadValue(const CString& file, LPCWSTR section, LPCWSTR key)
{
    wchar_t buffer[1024] = {};
    ::GetPrivateProfileStringW(section, key, L"<missing>", buffer, 1024, file);
    return buffer;
}

// The entries of a section, "name=value" each, in file order.
std::vector<std::wstring> SectionEntries(const CString& file, LPCWSTR section)
{
    std::vector<wchar_t> buffer(32768, L'\0');
    ::GetPrivateProfileSectionW(section, buffer.data(), static_cast<DWORD>(buffer.size()), file);
    std::vector<std::wstring> entries;
    for (const wchar_t* entry = buffer.data(); *entry; entry += wcslen(entry) + 1)
        entries.push_back(entry);
    return entries;
}

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t buffer[260] = {};
    ::GetMenuStringW(menu, position, buffer, 260, MF_BYPOSITION);
    return buffer;
}

std::wstring WindowText(HWND window)
{
    wchar_t buffer[512] = {};
    ::GetWindowTextW(window, buffer, 512);
    return buffer;
}

class LocalizationTest : public ::testing::Test
{
protected:
    void TearDown() override { SetCurrentLanguageFilePath(L""); }

    CString PathOf(LPCWSTR name) const { return CString(temp.PathOf(name).c_str()); }
    CString Folder() const { return CString(temp.Path().c_str()) + L"\\"; }
    CString Example() const { return PathOf(L"LocalizeExample.lng"); }
    // A UTF-16 language file with the given INI text.
    CString WriteLanguage(LPCWSTR name, const std::wstring& text) const
    {
        return CString(temp.WriteUtf16(name, text).c_str());
    }

    scvtest::TempFolder temp;
};

// --- Menu keys ----------------------------------------------------------------------

TEST(MenuItemKeyTest, KeyPlainTextAndAcceleratorOfItemTexts)
{
    const struct
    {
        LPCWSTR text;
        LPCWSTR key;
        LPCWSTR plain;
        LPCWSTR accelerator;
    } cases[] = {
        {L"&Open...\tCtrl+O", L"Open", L"Open...", L"Ctrl+O"},
        {L"&Options\x2026\tF2", L"Options", L"Options\x2026", L"F2"},
        {L"Save &As", L"Save_As", L"Save As", L""},
        {L"Print && Preview", L"Print__Preview", L"Print  Preview", L""},
        {L"Show \x2026 more\x2026.", L"Show__more", L"Show \x2026 more\x2026.", L""},
        {L"Version 1.2.", L"Version_1.2", L"Version 1.2.", L""},
        {L"\tLeading tab", L"\tLeading_tab", L"\tLeading tab", L""},
        {L"Two\ttabs\there", L"Two", L"Two", L"tabs\there"},
        {L"\x042F\x0437\x044B\x043A", L"\x042F\x0437\x044B\x043A", L"\x042F\x0437\x044B\x043A", L""},
    };
    for (const auto& row : cases) {
        const MenuItemKey parts = MakeMenuItemKey(row.text);
        EXPECT_EQ(CString(row.key), parts.Key) << row.text;
        EXPECT_EQ(CString(row.plain), parts.PlainText) << row.text;
        EXPECT_EQ(CString(row.accelerator), parts.Accelerator) << row.text;
    }
}

TEST(MenuItemKeyTest, OnlyKeysThatSurviveAnIniFileAreWritable)
{
    const struct
    {
        LPCWSTR key;
        bool writable;
    } cases[] = {
        {L"Open", true},       {L"Save_As", true},   {L"(Re)load!", true},
        {L"a/b\\c?\"'", true}, {L"a=b", false},      {L"=a", false},
        {L"", false},          {L"Save As", false},  {L"\tTab", false},
        {L"[Section", false},  {L";Comment", false}, {L"\x042F\x0437\x044B\x043A", false},
        {L"Caf\x00e9", false}, {L"x[1]", true},
    };
    for (const auto& row : cases)
        EXPECT_EQ(row.writable, IsWritableLanguageKey(row.key)) << row.key;

    // Every key the check lets through comes back from a real INI file.
    scvtest::TempFolder temp;
    const CString file(temp.WriteUtf16(L"keys.lng", L"").c_str());
    int written = 0;
    for (wchar_t ch = 0x21; ch < 0x7F; ++ch) {
        for (const CString& key : {CString(L"K") + ch + L"k", CString(ch) + L"end", CString(L"end") + ch}) {
            if (!IsWritableLanguageKey(key))
                continue;
            const CString value = CString(L"value of ") + key;
            // A section of its own: keys differing only in case are one key.
            CString section;
            section.Format(L"Menu_%d_%d", static_cast<int>(ch), written);
            ASSERT_TRUE(IniWriteString(file, section, key, value));
            EXPECT_TRUE(IniKeyExists(file, section, key)) << key.GetString();
            EXPECT_EQ(std::wstring(value), ReadValue(file, section, key)) << key.GetString();
            ++written;
        }
    }
    EXPECT_GT(written, 200);
}

// --- Language files ------------------------------------------------------------------

TEST_F(LocalizationTest, NewLanguageFileStartsWithTheMarkAndTheTemplate)
{
    const CString path = PathOf(L"new.lng");
    EXPECT_TRUE(CreateLanguageFileFromTemplate(path));
    const auto bytes = scvtest::ReadFileBytes(path.GetString());
    ASSERT_TRUE(bytes.has_value());
    ASSERT_GE(bytes->size(), 14u);
    EXPECT_EQ('\xFF', (*bytes)[0]);
    EXPECT_EQ('\xFE', (*bytes)[1]);
    const std::string section("[\0M\0a\0i\0n\0]\0", 12);
    EXPECT_EQ(section, bytes->substr(2, 12)) << "UTF-16 text right after the mark";

    EXPECT_EQ(L"En", ReadValue(path, L"Main", L"LangPrefix"));
    EXPECT_EQ(L"Type Your name and email (optional)", ReadValue(path, L"Main", L"Author"));
    EXPECT_EQ(L"English (Type localized name of language here)", ReadValue(path, L"Main", L"LangLocalized"));

    // Unicode text stays Unicode in such a file.
    ASSERT_TRUE(IniWriteString(path, L"Menu_Client", L"File", L"\x0424\x0430\x0439\x043B"));
    EXPECT_EQ(L"\x0424\x0430\x0439\x043B", ReadValue(path, L"Menu_Client", L"File"));

    // An existing file is never replaced.
    EXPECT_FALSE(CreateLanguageFileFromTemplate(path));
    EXPECT_EQ(L"\x0424\x0430\x0439\x043B", ReadValue(path, L"Menu_Client", L"File"));
    EXPECT_FALSE(CreateLanguageFileFromTemplate(L""));
}

TEST_F(LocalizationTest, FileInformationPrefixesAndExamplePath)
{
    const CString german = WriteLanguage(
        L"de.lng", L"[Main]\r\nLangPrefix=De   \r\nLangLocalized=Deutsch\r\nAuthor=Jemand <a@b.example>\r\n");
    LANG_FILE_INFO info;
    EXPECT_TRUE(GetLangFileInfo(german, info));
    EXPECT_EQ(CString(L"Deutsch"), info.LangLocalized);
    EXPECT_EQ(CString(L"Jemand <a@b.example>"), info.Author);
    EXPECT_EQ(CString(L"De"), info.LangPrefix);

    EXPECT_TRUE(GetLangFileInfo(L"", info));
    EXPECT_EQ(CString(L"English (Embedded)"), info.LangLocalized);
    EXPECT_EQ(CString(L"En"), info.LangPrefix);
    EXPECT_FALSE(info.Author.IsEmpty());
    EXPECT_FALSE(GetLangFileInfo(PathOf(L"missing.lng"), info));

    EXPECT_EQ(CString(L"English (Embedded)"), GetEmbeddedLanguageName());
    EXPECT_EQ(CString(L"English (Embedded)"), GetLangLocalizedName(Folder()));
    EXPECT_EQ(CString(L"Deutsch"), GetLangLocalizedName(german));

    const struct
    {
        LPCWSTR prefix;
        bool russianPages;
    } prefixes[] = {{L"ru ", true}, {L"Uk", true}, {L"BE", true},  {L"kz", true}, {L"lv", true},
                    {L"lt", true},  {L"et", true}, {L"En", false}, {L"", false},  {L"rus", false}};
    for (const auto& row : prefixes) {
        const CString file =
            WriteLanguage(L"prefix.lng", std::wstring(L"[Main]\r\nLangPrefix=") + row.prefix + L"\r\n");
        EXPECT_EQ(row.russianPages, IsRuLanguagePrefix(file)) << "[" << row.prefix << "]";
    }

    EXPECT_EQ(CString(L"C:\\Lang\\LocalizeExample.lng"), GetLocalizeExamplePath(L"C:\\Lang\\de.lng"));
    EXPECT_EQ(CString(L"C:\\Lang\\LocalizeExample.lng"), GetLocalizeExamplePath(L"C:\\Lang\\"));
    EXPECT_TRUE(GetLocalizeExamplePath(L"de.lng").IsEmpty());
    EXPECT_TRUE(GetLocalizeExamplePath(L"").IsEmpty());
    EXPECT_TRUE(StringsDifferNoCase(L"a.lng", L"b.lng"));
    EXPECT_FALSE(StringsDifferNoCase(L"A.LNG", L"a.lng"));
}

TEST_F(LocalizationTest, LanguageMenuListsTheEmbeddedEnglishFirstThenFilesByName)
{
    std::vector<CString> list;
    EXPECT_FALSE(EnumLanguageFilesIn(Folder(), list, nullptr));
    ASSERT_EQ(1u, list.size());
    EXPECT_TRUE(list[0].IsEmpty());

    WriteLanguage(L"zz.lng", L"[Main]\r\nLangLocalized=Zulu\r\n");
    WriteLanguage(L"Bb.lng", L"[Main]\r\nLangPrefix=Bb\r\n");
    WriteLanguage(L"aa.lng", L"[Main]\r\nLangLocalized=Alpha\r\n");
    WriteLanguage(L"LocalizeExample.lng", L"[Main]\r\nLangLocalized=Example\r\n");
    temp.WriteUtf8(L"notes.txt", L"not a language");
    temp.CreateSubfolder(L"folder.lng");

    EXPECT_TRUE(EnumLanguageFilesIn(Folder(), list, L"localizeexample.LNG"));
    const std::vector<CString> expected = {L"", L"aa.lng", L"Bb.lng", L"zz.lng"};
    EXPECT_EQ(expected, list);

    HMENU menu = ::CreatePopupMenu();
    ASSERT_TRUE(BuildLanguageMenuIn(Folder(), menu, 30000, list, L"BB.LNG"));
    ASSERT_EQ(4, ::GetMenuItemCount(menu));
    const wchar_t* texts[] = {L"English (Embedded)", L"Alpha", L"Bb", L"Zulu"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(std::wstring(texts[i]), MenuText(menu, i));
        EXPECT_EQ(30000u + i, ::GetMenuItemID(menu, i));
        const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
        EXPECT_EQ(i == 2, (state & MF_CHECKED) != 0) << i;
    }
    EXPECT_EQ(30002u, ::GetMenuDefaultItem(menu, FALSE, 0));
    ::DestroyMenu(menu);

    HMENU empty = ::CreatePopupMenu();
    EXPECT_FALSE(BuildLanguageMenuIn(Folder(), empty, 30000, {}, L""));
    EXPECT_EQ(0, ::GetMenuItemCount(empty));
    ::DestroyMenu(empty);
}

TEST_F(LocalizationTest, LanguageComboShowsNamesAndSelectsTheCurrentFile)
{
    WriteLanguage(L"de.lng", L"[Main]\r\nLangLocalized=Deutsch\r\n");
    WriteLanguage(L"xx.lng", L"[Main]\r\nLangPrefix=Xx\r\n");
    HWND combo = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 200, 200, nullptr,
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, combo);
    std::vector<CString> list;
    FillLanguageComboIn(Folder(), combo, L"DE.lng", L"Language", list);
    ASSERT_EQ(3u, list.size());
    ASSERT_EQ(3, ::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    const wchar_t* texts[] = {L"Language: English (Embedded)", L"Language: Deutsch", L"Language: xx"};
    for (int i = 0; i < 3; ++i) {
        wchar_t buffer[100] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(std::wstring(texts[i]), buffer);
        EXPECT_EQ(i, ::SendMessageW(combo, CB_GETITEMDATA, i, 0));
    }
    EXPECT_EQ(1, ::SendMessageW(combo, CB_GETCURSEL, 0, 0));
    ::DestroyWindow(combo);
}

// --- Menus -------------------------------------------------------------------------------

// A menu bar "&File" with the items the tests translate.
HMENU BuildFileMenu(HMENU& file)
{
    HMENU bar = ::CreateMenu();
    file = ::CreatePopupMenu();
    ::AppendMenuW(file, MF_STRING, ID_TEST_OPEN, L"&Open...\tCtrl+O");
    ::AppendMenuW(file, MF_STRING, ID_TEST_SAVE_AS, L"Save &As");
    ::AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(file, MF_STRING, ID_TEST_EXIT, L"E&xit");
    ::AppendMenuW(file, MF_STRING, 105, L"\x042F\x0437\x044B\x043A");
    ::AppendMenuW(file, MF_STRING, 106, L"Recent item");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    return bar;
}

TEST_F(LocalizationTest, MenuIsTranslatedAndMissingTextsAreCollectedOnce)
{
    const CString german = WriteLanguage(L"de.lng", L"[Main]\r\nLangPrefix=De\r\n"
                                                    L"[Menu_Client]\r\nOpen=\x00D6\x0066\x0066nen\r\n"
                                                    L"Save_As=Speichern &unter\r\nExit=\r\nFile=&Datei\r\n");
    CMenuLocalizer localizer(german, L"_Client");
    EXPECT_EQ(german, GetCurrentLanguageFilePath());
    EXPECT_EQ(CString(L"Menu_Client"), localizer.GetSectionName());
    localizer.ExcludeCommandRange(106, 110);

    // Menus are translated as they are loaded: the second menu finds the
    // English that the first one filled in.
    HMENU firstFile = nullptr;
    CMenuHolder first(BuildFileMenu(firstFile));
    localizer.LocalizeMenu(first);
    EXPECT_EQ(L"E&xit", MenuText(firstFile, 3)) << "an empty value counts as missing";
    HMENU file = nullptr;
    CMenuHolder bar(BuildFileMenu(file));
    localizer.LocalizeMenu(bar);

    EXPECT_EQ(L"&Datei", MenuText(bar, 0));
    EXPECT_EQ(L"\x00D6\x0066\x0066nen\tCtrl+O", MenuText(file, 0));
    EXPECT_EQ(L"Speichern &unter", MenuText(file, 1));
    EXPECT_EQ(ID_TEST_SAVE_AS, static_cast<int>(::GetMenuItemID(file, 1)));
    EXPECT_EQ(MF_SEPARATOR, ::GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(L"Exit", MenuText(file, 3));
    EXPECT_EQ(L"\x042F\x0437\x044B\x043A", MenuText(file, 4));
    EXPECT_EQ(L"Recent item", MenuText(file, 5));
    EXPECT_EQ(file, ::GetSubMenu(bar, 0)) << "the sub-menu stays attached";

    EXPECT_EQ(L"Exit", ReadValue(german, L"Menu_Client", L"Exit")) << "the English fills the empty key";
    EXPECT_EQ(L"\x00D6\x0066\x0066nen", ReadValue(german, L"Menu_Client", L"Open")) << "translations stay";

    // Every looked-up text once in the example file, in English; keys in
    // other scripts and excluded commands never.
    std::vector<std::wstring> example = SectionEntries(Example(), L"Menu_Client");
    std::sort(example.begin(), example.end());
    const std::vector<std::wstring> expected = {L"Exit=Exit", L"File=File", L"Open=Open...",
                                                L"Save_As=Save As"};
    EXPECT_EQ(expected, example);
    EXPECT_EQ(4u, SectionEntries(german, L"Menu_Client").size()) << "nothing added";
}

TEST_F(LocalizationTest, WithoutLanguageTheExampleFileCollectsTheMenu)
{
    CMenuLocalizer localizer(Example(), L"_Client");
    EXPECT_TRUE(scvtest::FileExists(Example().GetString())) << "created from the template";
    EXPECT_EQ(L"En", ReadValue(Example(), L"Main", L"LangPrefix"));
    for (int round = 0; round < 2; ++round) {
        HMENU file = nullptr;
        CMenuHolder bar(BuildFileMenu(file));
        localizer.LocalizeMenu(bar);
        EXPECT_EQ(round == 0 ? L"&Open...\tCtrl+O" : L"Open...\tCtrl+O", MenuText(file, 0));
    }
    EXPECT_EQ(5u, SectionEntries(Example(), L"Menu_Client").size());
    EXPECT_EQ(L"Recent item", ReadValue(Example(), L"Menu_Client", L"Recent_item"));
}

class RefusingLocalizer : public CMenuLocalizer
{
public:
    using CMenuLocalizer::CMenuLocalizer;
    BOOL DefaultTrue(UINT commandId) override { return commandId != ID_TEST_SAVE_AS; }
};

TEST_F(LocalizationTest, ItemFilterKeepsRefusedCommands)
{
    const CString german = WriteLanguage(L"de.lng", L"[Menu_Editor]\r\nOpen=Offen\r\nSave_As=Speichern\r\n");
    RefusingLocalizer localizer(german, L"_Editor");
    HMENU file = nullptr;
    CMenuHolder bar(BuildFileMenu(file));
    localizer.LocalizeMenu(bar);
    EXPECT_EQ(L"Offen\tCtrl+O", MenuText(file, 0));
    EXPECT_EQ(L"Save &As", MenuText(file, 1));
}

TEST_F(LocalizationTest, ItemTextOfAMenuResource)
{
    const CString german = WriteLanguage(L"de.lng", L"[Menu_Client]\r\nOpen=\x00D6\x0066\x0066nen\r\n"
                                                    L"Save_As=\r\n");
    CMenuLocalizer localizer(german, L"_Client");
    EXPECT_EQ(CString(L"\x00D6\x0066\x0066nen"), localizer.GetItemText(IDM_TEST_MENU, ID_TEST_OPEN));
    EXPECT_EQ(CString(L"Exit"), localizer.GetItemText(IDM_TEST_MENU, ID_TEST_EXIT));
    EXPECT_EQ(CString(L"Save As"), localizer.GetItemText(IDM_TEST_MENU, ID_TEST_SAVE_AS))
        << "empty counts as missing";
    EXPECT_TRUE(localizer.GetItemText(IDM_TEST_MENU, 999).IsEmpty());
    EXPECT_TRUE(localizer.GetItemText(4242, ID_TEST_OPEN).IsEmpty());

    // "&&" keeps one "&", a trailing ellipsis goes; the key drops the "&".
    CMenuHolder menu = localizer.LoadMenu(MAKEINTRESOURCEW(IDM_TEST_MENU));
    ASSERT_NE(nullptr, menu.Get());
    EXPECT_EQ(L"Print && Preview\x2026", MenuText(::GetSubMenu(menu, 0), 3));
    EXPECT_EQ(CString(L"Print & Preview"),
              CMenuLocalizer(PathOf(L"none.lng"), L"_Client").GetItemText(IDM_TEST_MENU, ID_TEST_PRINT));
    CMenuLocalizer translated(WriteLanguage(L"pp.lng", L"[Menu_Client]\r\nPrint__Preview=Drucken\r\n"),
                              L"_Client");
    EXPECT_EQ(CString(L"Drucken"), translated.GetItemText(IDM_TEST_MENU, ID_TEST_PRINT));
}

// --- Strings -------------------------------------------------------------------------------

TEST_F(LocalizationTest, WithoutLanguageStringsAreCollectedOnceIntoTheExampleFile)
{
    SetLanguageFileForStrings(Example(), L"_Client");
    SetLanguageFileForStrings(Example(), L"_Client");
    EXPECT_EQ(CString(L"Strings_Client"), GetStringsSectionName());

    CString text;
    EXPECT_TRUE(LoadLocalizedString(text, nullptr, IDS_TEST_CONTROL_CHARS));
    EXPECT_EQ(CString(L"Line one\nLine two\tTabbed"), text);
    EXPECT_EQ(L"Line one\\nLine two\\tTabbed", ReadValue(Example(), L"Strings_Client", L"1002"));

    // Later lookups read the file back (a translator's change shows).
    ASSERT_TRUE(IniWriteString(Example(), L"Strings_Client", L"1002", L"Changed\\r\\nby hand"));
    EXPECT_TRUE(LoadLocalizedString(text, nullptr, IDS_TEST_CONTROL_CHARS));
    EXPECT_EQ(CString(L"Changed\r\nby hand"), text);

    // Backslashes and long texts come back whole.
    EXPECT_EQ(CString(L"Folder C:\\new\\tables"), LoadLocalizedString(IDS_TEST_BACKSLASH));
    EXPECT_EQ(CString(L"Folder C:\\new\\tables"), LoadLocalizedString(IDS_TEST_BACKSLASH));
    const CString longText = LoadLocalizedString(IDS_TEST_LONG);
    EXPECT_EQ(304, longText.GetLength());
    EXPECT_EQ(CString(L"-end"), longText.Right(4));
    EXPECT_EQ(longText, LoadLocalizedString(IDS_TEST_LONG));

    CLocalizedString holder;
    EXPECT_TRUE(holder.Load(IDS_TEST_PLAIN));
    EXPECT_EQ(CString(L"Open the phrase editor"), holder.GetText());
    EXPECT_FALSE(holder.Load(IDS_TEST_MISSING));
    EXPECT_TRUE(holder.GetText().IsEmpty());

    std::vector<std::wstring> entries = SectionEntries(Example(), L"Strings_Client");
    EXPECT_EQ(4u, entries.size()) << "one entry per id, none for the missing id";
}

TEST_F(LocalizationTest, StringsComeFromTheLanguageFileAndTheEnglishGoesToTheExample)
{
    const CString german = WriteLanguage(L"de.lng", L"[Main]\r\nLangPrefix=De\r\n[Strings_Client]\r\n"
                                                    L"1001=Phrasen-Editor \x00F6\x0066\x0066nen\r\n"
                                                    L"1002=\r\n1003=Ordner\\tC:\\Daten\r\n");
    SetLanguageFileForStrings(german, L"_Client");
    EXPECT_EQ(CString(L"Phrasen-Editor \x00F6\x0066\x0066nen"), LoadLocalizedString(IDS_TEST_PLAIN));
    EXPECT_EQ(CString(L"Line one\nLine two\tTabbed"), LoadLocalizedString(IDS_TEST_CONTROL_CHARS));
    EXPECT_EQ(CString(L"Ordner\tC:\\Daten"), LoadLocalizedString(IDS_TEST_BACKSLASH))
        << "an unknown escape stays";

    EXPECT_EQ(L"Line one\\nLine two\\tTabbed", ReadValue(german, L"Strings_Client", L"1002"))
        << "an empty value is replaced by the English";
    EXPECT_EQ(L"Open the phrase editor", ReadValue(Example(), L"Strings_Client", L"1001"));
    EXPECT_EQ(L"Line one\\nLine two\\tTabbed", ReadValue(Example(), L"Strings_Client", L"1002"));
    EXPECT_EQ(L"Folder C:\\\\new\\\\tables", ReadValue(Example(), L"Strings_Client", L"1003"));
    const auto exampleBytes = scvtest::ReadFileBytes(Example().GetString());
    ASSERT_TRUE(exampleBytes.has_value());
    EXPECT_EQ(std::string("\xFF\xFE"), exampleBytes->substr(0, 2)) << "a new example file is a UTF-16 file";

    CString text(L"x");
    EXPECT_FALSE(LoadLocalizedString(text, nullptr, IDS_TEST_MISSING));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(L"<missing>", ReadValue(german, L"Strings_Client", L"1099"));
}

TEST(LanguageTextEscapes, EscapeAndUnescapeAreInverse)
{
    const struct
    {
        LPCWSTR text;
        LPCWSTR stored;
    } cases[] = {
        {L"plain", L"plain"},
        {L"a\tb\nc\rd", L"a\\tb\\nc\\rd"},
        {L"C:\\new\\table", L"C:\\\\new\\\\table"},
        {L"end\\", L"end\\\\"},
        {L"", L""},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(CString(row.stored), EscapeLanguageText(row.text)) << row.text;
        EXPECT_EQ(CString(row.text), UnescapeLanguageText(row.stored)) << row.stored;
    }
    EXPECT_EQ(CString(L"C:\\Program Files\\x"), UnescapeLanguageText(L"C:\\Program Files\\x"));
}

TEST_F(LocalizationTest, CommandLineKeyTexts)
{
    const CString german =
        WriteLanguage(L"de.lng", L"[CommandLineKeys]\r\nCmd_LineKey_exit=Beendet\\ndas Programm\r\n");
    EXPECT_EQ(CString(L"Beendet\ndas Programm"),
              ReadCommandLineKeyText(german, L"exit", L"Ends\nthe program"));
    EXPECT_TRUE(ReadCommandLineKeyText(german, L"edit", L"Opens\tthe editor").IsEmpty());
    EXPECT_EQ(L"Opens\\tthe editor", ReadValue(german, L"CommandLineKeys", L"Cmd_LineKey_edit"));

    SetLanguageFileForStrings(german, L"_Client");
    EXPECT_EQ(CString(L"Beendet\ndas Programm"),
              GetCommandLineKeyTextWithExample(Example(), L"exit", L"Ends the program"));
    EXPECT_EQ(L"Ends the program", ReadValue(Example(), L"CommandLineKeys", L"Cmd_LineKey_exit"));

    SetLanguageFileForStrings(Example(), L"_Client");
    EXPECT_EQ(CString(L"Ends the program"),
              GetCommandLineKeyTextWithExample(Example(), L"exit", L"Ends the program"));
}

// --- Dialogs ------------------------------------------------------------------------------

INT_PTR CALLBACK TestDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

struct WindowHolder
{
    HWND window = nullptr;
    ~WindowHolder()
    {
        if (window)
            ::DestroyWindow(window);
    }
};

TEST_F(LocalizationTest, DialogIsTranslatedAndTranslatedBack)
{
    const CString german = WriteLanguage(
        L"de.lng", L"[Main]\r\nLangPrefix=De\r\n[Dialog_Client_3001]\r\n201=Hallo Welt\r\n202=&Anwenden\r\n"
                   L"203=\x2022"
                   L"Aufz\x00E4hlung\x2022 zeigen\r\n204=Darf nicht erscheinen\r\n205=Auch nicht\r\n");
    const CString french = PathOf(L"fr.lng");
    WindowHolder dialog;
    dialog.window = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TEST_DIALOG),
                                         nullptr, TestDialogProc, 0);
    ASSERT_NE(nullptr, dialog.window);
    const HWND label = ::GetDlgItem(dialog.window, IDC_TEST_LABEL);
    const HWND button = ::GetDlgItem(dialog.window, IDC_TEST_BUTTON);
    const HWND check = ::GetDlgItem(dialog.window, IDC_TEST_CHECK);
    const HWND edit = ::GetDlgItem(dialog.window, IDC_TEST_EDIT);
    ::SetWindowTextW(edit, L"typed by the user");

    CDialogLocalizerClient localizer(&dialog.window, IDD_TEST_DIALOG);
    EXPECT_EQ(CString(L"Dialog_Client_3001"), localizer.GetSectionName());

    CMenuLocalizer language(german, L"_Client");
    localizer.Translate();
    EXPECT_EQ(L"Hallo Welt", WindowText(label));
    EXPECT_EQ(L"&Anwenden", WindowText(button));
    EXPECT_EQ(L"Aufz\x00E4hlung zeigen", WindowText(check)) << "bullets are removed";
    EXPECT_EQ(L"typed by the user", WindowText(edit));
    EXPECT_EQ(L"", WindowText(::GetDlgItem(dialog.window, IDC_TEST_COMBO)));

    // Switch to a new language: the English comes back from the template, and
    // it is the English, not the German shown before, that the new file and
    // the example file collect.
    language.SetLanguageFile(french);
    localizer.Translate();
    EXPECT_EQ(L"Hello world", WindowText(label));
    EXPECT_EQ(L"&Apply", WindowText(button));
    EXPECT_EQ(L"Show bullets", WindowText(check));
    EXPECT_EQ(L"typed by the user", WindowText(edit));
    for (const CString& file : {french, Example()}) {
        EXPECT_EQ(L"Hello world", ReadValue(file, L"Dialog_Client_3001", L"201")) << file.GetString();
        EXPECT_EQ(L"&Apply", ReadValue(file, L"Dialog_Client_3001", L"202")) << file.GetString();
        EXPECT_EQ(L"Show bullets", ReadValue(file, L"Dialog_Client_3001", L"203")) << file.GetString();
        EXPECT_EQ(3u, SectionEntries(file, L"Dialog_Client_3001").size())
            << "no entries for edit, combo box or empty text in " << file.GetString();
    }

    // Back to German and then to no language at all (the example file).
    language.SetLanguageFile(german);
    localizer.Translate();
    EXPECT_EQ(L"Hallo Welt", WindowText(label));
    language.SetLanguageFile(Example());
    localizer.Translate();
    EXPECT_EQ(L"Hello world", WindowText(label));
    EXPECT_EQ(L"Show bullets", WindowText(check));
    EXPECT_EQ(L"Hello world", ReadValue(Example(), L"Dialog_Client_3001", L"201"));
    EXPECT_EQ(L"Hallo Welt", ReadValue(german, L"Dialog_Client_3001", L"201")) << "translations stay";
}

TEST_F(LocalizationTest, ChildDialogTemplateAndProgramSuffix)
{
    const CString german = WriteLanguage(L"de.lng", L"[Dialog_Editor_3002]\r\n301=Kind\r\n"
                                                    L"[Dialog_Editor_3001]\r\n201=Vom Editor\r\n");
    WindowHolder parent;
    parent.window = ::CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                      nullptr, nullptr);
    ASSERT_NE(nullptr, parent.window);
    HWND child = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TEST_CHILD_DIALOG),
                                      parent.window, TestDialogProc, 0);
    ASSERT_NE(nullptr, child);
    WindowHolder dialog;
    dialog.window = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TEST_DIALOG),
                                         nullptr, TestDialogProc, 0);
    ASSERT_NE(nullptr, dialog.window);

    CMenuLocalizer language(german, L"_Editor");
    language.LocalizeDialog(child, IDD_TEST_CHILD_DIALOG);
    language.LocalizeDialog(dialog.window, IDD_TEST_DIALOG);
    EXPECT_EQ(L"Kind", WindowText(::GetDlgItem(child, IDC_TEST_CHILD_LABEL)));
    EXPECT_EQ(L"Vom Editor", WindowText(::GetDlgItem(dialog.window, IDC_TEST_LABEL)));

    language.SetLanguageFile(PathOf(L"fr.lng"));
    language.LocalizeDialog(child, IDD_TEST_CHILD_DIALOG);
    EXPECT_EQ(L"Child label", WindowText(::GetDlgItem(child, IDC_TEST_CHILD_LABEL)))
        << "a child template has its English copy too";

    HWND none = nullptr;
    EXPECT_EQ(CString(L"Dialog_3001"), CDialogLocalizer(&none, 3001, L"").GetSectionName());
    EXPECT_EQ(CString(L"Dialog_Welcome_7"), CDialogLocalizer(&none, 7, L"Welcome").GetSectionName());
    CDialogLocalizer(&none, 3001, L"").Translate(); // no window: nothing happens
}

} // namespace
