// test-depends: ScrivolanterEditor
// The editor's file commands on real files: backup archive contents, import of each file kind
// (twice gives a second file), export then import round trips of plain and formatted text, and the
// language-file template that adds only the keys a file lacks, with the menus and dialogs of a module.

#include "editor/app/document/EditorFileCommands.h"

#include "editor/app/document/EditorArchive.h"
#include "editor/app/document/EditorPhraseStore.h"

#include "common/DialogTemplateTexts.h"
#include "common/RichEditConversion.h"
#include "common/TextConversion.h"

#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/ZipEntries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class EditorFileCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = temp.CreateSubfolder(L"Phrases").c_str();
        store = std::make_unique<CEditorPhraseStore>(folder);
    }
    CString P(const wchar_t* relative) const { return temp.PathOf(relative).c_str(); }
    PhraseItemRecord& Item(int id) { return *store->FindItemById(id); }

    scvtest::TempFolder temp;
    CString folder;
    std::unique_ptr<CEditorPhraseStore> store;
};

TEST(EditorFileCommandsNames, BackupNameCarriesDayMonthYearAndTime)
{
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 3;
    time.wDay = 7;
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 1;
    EXPECT_STREQ(EditorFileCommands::MakeBackupFileName(time),
                 L"Scrivolanter_Backup_07-03-2026 09_05_01.zip");
}

TEST_F(EditorFileCommandsTest, BackupPacksThePhraseTreeAndTheSettingsFile)
{
    temp.WriteBytes(L"Phrases\\Group\\x.scrivolanter", "x");
    temp.WriteBytes(L"Phrases\\Group\\notes.txt", "not a phrase");
    temp.WriteBytes(L"Phrases\\desktop.ini", "not a phrase either");
    temp.WriteBytes(L"Settings.ini", "[Settings]");

    ASSERT_TRUE(EditorFileCommands::BackupPhrases(folder, P(L"Settings.ini"), P(L"b.zip")));
    EXPECT_EQ(scvtest::ZipEntryNames(temp.PathOf(L"b.zip")),
              (std::vector<std::string>{"Phrases/", "Phrases/Group/", "Phrases/Group/x.scrivolanter",
                                        "Settings.ini"}));

    ASSERT_TRUE(EditorFileCommands::BackupPhrases(folder, P(L"NoSettings.ini"), P(L"c.zip")));
    EXPECT_EQ(scvtest::ZipEntryNames(temp.PathOf(L"c.zip")).size(), 3u);
}

TEST_F(EditorFileCommandsTest, ImportReadsEachFileKind)
{
    struct Case
    {
        const wchar_t* name;
        std::string bytes;
        const wchar_t* text;
        int kind;
    };
    const Case cases[] = {
        {L"ansi.txt", "plain \xE9t\xE9", L"plain \u00E9t\u00E9", 0},
        {L"utf8.txt", "caf\xC3\xA9 \xE2\x82\xAC", L"caf\u00E9 \u20AC", 0},
        {L"utf8mark.txt", "\xEF\xBB\xBF\xD0\xBF\xD1\x80\xD0\xB8", L"\u043F\u0440\u0438", 0},
        {L"utf8markascii.txt", "\xEF\xBB\xBFplain", L"plain", 0},
        {L"utf16.txt", std::string("\xFF\xFEh\0i\0", 6), L"hi", 0},
        {L"utf16mark4.txt", std::string("\xFF\xFE\0\0h\0i\0", 8), L"hi", 0},
        {L"notrtf.rtf", "plain in rtf", L"plain in rtf", 0},
        {L"empty.txt", "", L"", 0},
    };
    for (const Case& c : cases) {
        CString text;
        int kind = -1;
        ASSERT_TRUE(EditorFileCommands::ReadImportFile(temp.WriteBytes(c.name, c.bytes).c_str(), text, kind))
            << WideToUtf8(c.name);
        EXPECT_STREQ(text, c.text) << WideToUtf8(c.name);
        EXPECT_EQ(kind, c.kind) << WideToUtf8(c.name);
    }
    CString text;
    int kind = 0;
    // RTF goes through the rich edit converter: its own RTF of the same text and formats comes back.
    ASSERT_TRUE(EditorFileCommands::ReadImportFile(
        temp.WriteBytes(L"rich.rtf", "{\\rtf1\\ansi {\\b bold} plain\\par}").c_str(), text, kind));
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(text.Left(6), CString(L"{\\rtf1"));
    EXPECT_NE(text, CString(L"{\\rtf1\\ansi {\\b bold} plain\\par}"));
    EXPECT_NE(text.Find(L"\\b"), -1);
    EXPECT_STREQ(RtfToPlainText(text), L"bold plain");
    EXPECT_FALSE(EditorFileCommands::ReadImportFile(P(L"missing.txt"), text, kind));
    EXPECT_EQ(EditorFileCommands::ImportFile(*store, P(L"missing.txt")), -1);
}

TEST_F(EditorFileCommandsTest, ImportingAPhraseFileTwiceGivesASecondFile)
{
    PhraseItemRecord record;
    record.SetTitle(L"Greeting");
    record.body = L"Hello";
    ASSERT_TRUE(EditorFileCommands::ExportPhrase(record, P(L"Greeting.scrivolanter")));

    const int first = EditorFileCommands::ImportFile(*store, P(L"Greeting.scrivolanter"));
    const int second = EditorFileCommands::ImportFile(*store, P(L"Greeting.scrivolanter"));

    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_TRUE(temp.Exists(L"Phrases\\Greeting.scrivolanter"));
    EXPECT_TRUE(temp.Exists(L"Phrases\\Greeting2.scrivolanter"));
    EXPECT_STREQ(Item(second).body, L"Hello");
}

TEST_F(EditorFileCommandsTest, ExportThenImportRoundTripsPlainAndFormattedText)
{
    struct Case
    {
        const wchar_t* file;
        int kind;
        const wchar_t* body;
    };
    const Case cases[] = {
        {L"plain.txt", 0, L"Line one\r\n\u0416\u00E9 \u20AC two"},
        {L"rich.rtf", 1, L"{\\rtf1\\ansi {\\b bold} text}"},
        {L"phrase.scrivolanter", 0, L"kept in a phrase file"},
    };
    for (const Case& c : cases) {
        PhraseItemRecord record;
        record.SetTitle(L"Title");
        record.dataType = c.kind;
        record.body = c.body;
        ASSERT_TRUE(EditorFileCommands::ExportPhrase(record, P(c.file))) << WideToUtf8(c.file);

        const int id = EditorFileCommands::ImportFile(*store, P(c.file));
        ASSERT_GE(id, 0) << WideToUtf8(c.file);
        if (c.kind == 1)
            EXPECT_STREQ(RtfToPlainText(Item(id).body), RtfToPlainText(c.body)) << WideToUtf8(c.file);
        else
            EXPECT_STREQ(Item(id).body, c.body) << WideToUtf8(c.file);
        EXPECT_EQ(Item(id).dataType, c.kind) << WideToUtf8(c.file);
    }
}

TEST_F(EditorFileCommandsTest, ExportFailureIsReported)
{
    PhraseItemRecord record;
    record.body = L"x";
    EXPECT_FALSE(EditorFileCommands::ExportPhrase(record, P(L"NoFolder\\x.txt")));
}

TEST_F(EditorFileCommandsTest, LanguageTemplateAddsOnlyMissingKeys)
{
    const std::wstring file =
        temp.WriteUtf16(L"De.lng", L"[Main]\r\nLangPrefix=De\r\n[Strings_Editor]\r\n128=Mein Text\r\n");

    ASSERT_TRUE(EditorFileCommands::WriteLanguageTemplateMain(file.c_str()));
    const int written =
        EditorFileCommands::WriteModuleStrings(file.c_str(), GetModuleHandleW(L"user32.dll"), L"_Editor");
    const int again =
        EditorFileCommands::WriteModuleStrings(file.c_str(), GetModuleHandleW(L"user32.dll"), L"_Editor");

    const std::wstring text = temp.ReadText(L"De.lng").value_or(L"");
    EXPECT_NE(text.find(L"LangPrefix=De\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"128=Mein Text"), std::wstring::npos);
    EXPECT_NE(text.find(L"Tip=ATTENTION: Save the file as Unicode encoding!!!!"), std::wstring::npos);
    EXPECT_NE(text.find(L"Author=THE TIP!!!"), std::wstring::npos);
    EXPECT_NE(text.find(L"LangLocalized=THE TIP!!!"), std::wstring::npos);
    EXPECT_EQ(text.find(L"LangPrefix=THE TIP"), std::wstring::npos);
    EXPECT_GT(written, 0);
    EXPECT_EQ(again, 0);

    ASSERT_TRUE(EditorFileCommands::WriteLanguageTemplateMain(P(L"New.lng")));
    EXPECT_EQ(temp.ReadBytes(L"New.lng").value_or("").substr(0, 2), "\xFF\xFE");
}

TEST_F(EditorFileCommandsTest, WelcomePageTakesTheFirstFreeName)
{
    const char html[] = "<html>page</html>\0trailing";
    const CString first = EditorFileCommands::WriteWelcomeHtml(temp.Path().c_str(), html, sizeof(html));
    const CString second = EditorFileCommands::WriteWelcomeHtml(temp.Path().c_str(), html, sizeof(html));

    EXPECT_STREQ(first, P(L"welcome.html"));
    EXPECT_STREQ(second, P(L"Welcome_2.html"));
    EXPECT_EQ(temp.ReadBytes(L"Welcome_2.html").value_or(""), "<html>page</html>");
}

} // namespace

TEST_F(EditorFileCommandsTest, LanguageTemplateCarriesTheMenusAndDialogsOfAModule)
{
    const std::wstring editor = scvtest::ProgramPath(L"ScrivolanterEditor.exe");
    HMODULE module = LoadLibraryExW(editor.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << editor;
    const CString file = P(L"De.lng");
    ASSERT_TRUE(EditorFileCommands::WriteLanguageTemplateMain(file));
    ::WritePrivateProfileStringW(L"Menu_Editor", L"Import", L"Importieren", file);

    const int written = EditorFileCommands::WriteModuleMenusAndDialogs(file, module, L"_Editor");
    const int again = EditorFileCommands::WriteModuleMenusAndDialogs(file, module, L"_Editor");
    FreeLibrary(module);

    auto value = [&](const wchar_t* section, const wchar_t* key) {
        wchar_t text[256] = {};
        ::GetPrivateProfileStringW(section, key, L"<missing>", text, 256, file);
        return std::wstring(text);
    };
    EXPECT_GT(written, 0);
    EXPECT_EQ(again, 0) << "only missing keys";
    EXPECT_EQ(value(L"Menu_Editor", L"Import"), L"Importieren") << "a translated item stays";
    EXPECT_EQ(value(L"Menu_Editor", L"Export"), L"Export\x2026");
    EXPECT_EQ(value(L"Dialog_Editor_130", L"1003"), L"Start Scrivolanter with Windows automatically");
    EXPECT_EQ(value(L"Dialog_Editor_130", L"1021"), L"<missing>") << "edit boxes hold the user's text";
}

TEST(DialogTemplateTexts, ADamagedTemplateEndsTheListInsteadOfReadingOn)
{
    const std::wstring editor = scvtest::ProgramPath(L"ScrivolanterEditor.exe");
    HMODULE module = LoadLibraryExW(editor.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(130), RT_DIALOG);
    ASSERT_NE(nullptr, resource);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    const std::vector<BYTE> whole(bytes, bytes + SizeofResource(module, resource));
    FreeLibrary(module);

    const std::vector<DialogTemplateControl> all = ReadDialogTemplateControls(whole.data(), whole.size());
    ASSERT_GT(all.size(), 10u);
    for (size_t cut = 0; cut < whole.size(); cut += 7) {
        // Each cut of the template gives at most the controls of the whole, and no read past the cut.
        const std::vector<BYTE> part(whole.begin(), whole.begin() + cut);
        EXPECT_LE(ReadDialogTemplateControls(part.data(), part.size()).size(), all.size()) << cut;
    }
    EXPECT_TRUE(ReadDialogTemplateControls(nullptr, 100).empty());
}
