// The phrase tree's item tooltip text: a table of records of every kind (escaping of record texts,
// the bold labels, the highlighted macro names, the cut preview, the flag rows) and the facts read
// from a real record (formatted text turned into plain text, the last use as a date).
#include "editor/app/phrases/PhrasesPaneTip.h"

#include "editor/controls/EditorLook.h"
#include "engine/PhraseItemRecord.h"

#include <gtest/gtest.h>

#include <richedit.h>

#include <string>
#include <vector>

namespace
{

PhraseTipFacts PhraseFacts(int kind, const wchar_t* body)
{
    PhraseTipFacts facts;
    facts.title = L"Greeting";
    facts.path = L"C:\\Phrases\\Greeting.scrivolanter";
    facts.kind = kind;
    facts.hasData = body && *body;
    facts.bodyText = body ? body : L"";
    return facts;
}

std::wstring KindColor(COLORREF color)
{
    return L"<font color=\"#" + std::wstring(ColorToHex(color).GetString()) + L"\">";
}

std::wstring LongBody()
{
    std::wstring body;
    while (body.size() < 600)
        body += L"word ";
    return body;
}

} // namespace

TEST(PhrasesPaneTip, TextOfEachKindOfRecord)
{
    PhraseTipFacts group;
    group.group = true;
    group.title = L"<Mail> & co";
    group.path = L"C:\\Phrases\\<Mail>";

    PhraseTipFacts plain = PhraseFacts(0, L"Hi %DATE%, <b>%NOMACRO% %TIME%");
    plain.usageCount = 7;
    plain.lastUsed = L"1 May 2026 10:20:30";

    PhraseTipFacts empty = PhraseFacts(0, nullptr);
    empty.disabledIsNoSelection = true;
    empty.useTitleOnly = true;

    PhraseTipFacts longText = PhraseFacts(2, LongBody().c_str());

    const std::vector<CString> macros = {L"%DATE%", L"%TIME%"};
    const std::wstring highlight = L"<font size=14pt color=orange>";
    const std::wstring hint =
        L"<br><br>  <font style=i>For copying/moving use the menu commands \"Cut/Copy/Paste\"</font></font>";
    struct Case
    {
        const char* name;
        PhraseTipFacts facts;
        std::vector<std::wstring> present;
        std::vector<std::wstring> absent;
    } cases[] = {
        {"group",
         group,
         {L"<font style=b>Group</font>: &lt;Mail&gt; & co<br><hr color=gray><br>",
          L"<font color=gray style=b><font style=b>Folder</font>: C:\\Phrases\\&lt;Mail&gt;" + hint},
         {L"Menu Name", L"Action", L"Data Format", L"Usage Count", L"Last time used", L"<font color=red>"}},
        {"plain text with macros",
         plain,
         {L"<font style=b>Menu Name</font>: Greeting<br><hr color=gray><br><font style=b>Action</font>: Hi " +
              highlight + L"%DATE%</font>, &lt;b&gt;%NOMACRO% " + highlight + L"%TIME%</font>\r\n",
          L"<font style=b>Data Format</font>: " + KindColor(::GetSysColor(COLOR_WINDOWTEXT)) +
              L"Plain text</font><br><hr color=gray><br><font color=gray style=b>",
          L"<font style=b>File</font>: C:\\Phrases\\Greeting.scrivolanter<br><font style=b>Usage "
          L"Count</font>: "
          L"7<br><font style=b>Last time used</font>: 1 May 2026 10:20:30" +
              hint},
         {L"Group", L"Folder", L"ATTENTION", L"<font color=red>", L"\x2026"}},
        {"formatted text",
         PhraseFacts(1, L"bold"),
         {L"Action</font>: bold\r\n", KindColor(RGB(0, 0x80, 0)) + L"Formatted text (RTF)</font>",
          L"Last time used</font>: I unknow..."},
         {}},
        {"no data, both menu flags",
         empty,
         {L"<font style=b>Action</font>: ATTENTION. DATA OF THIS PHRASE FOR PASTING NOT SPECIFIED!\r\n",
          L"<br><font color=red>*</font> Disabled Is No Selection<br><font color=red>*</font> Use Title Only "
          L"In Menu" +
              hint},
         {}},
        {"long command line",
         longText,
         {KindColor(0xFF0000) + L"Start application</font>",
          L"Action</font>: " + LongBody().substr(0, 509) + L"\x2026\r\n"},
         {}},
    };
    for (const Case& c : cases) {
        const std::wstring text = BuildPhraseTipText(c.facts, macros).GetString();
        for (const std::wstring& part : c.present)
            EXPECT_NE(text.find(part), std::wstring::npos)
                << c.name << ": no " << testing::PrintToString(part) << " in "
                << testing::PrintToString(text);
        for (const std::wstring& part : c.absent)
            EXPECT_EQ(text.find(part), std::wstring::npos) << c.name << ": " << testing::PrintToString(part);
    }
}

TEST(PhrasesPaneTip, AGiantTitleIsCutToTheLongestTip)
{
    PhraseTipFacts facts = PhraseFacts(0, L"x");
    facts.title = CString(std::wstring(kPhraseTipMaxLength + 10, L'<').c_str());
    const CString text = BuildPhraseTipText(facts, {});
    EXPECT_EQ(text.GetLength(), kPhraseTipMaxLength);
    EXPECT_EQ(text.Find(L"<<"), -1) << "every character of the title is escaped";
}

TEST(PhrasesPaneTip, FactsOfARealRecord)
{
    ::LoadLibraryW(L"Msftedit.dll");
    PhraseItemRecord rtf;
    rtf.SetTitle(L"Formatted");
    rtf.dataType = PhraseItemRecord::kTypeRtf;
    rtf.body = L"{\\rtf1\\ansi {\\b Hello} %DATE% world}";
    rtf.usageCount = 3;
    SYSTEMTIME used = {};
    used.wYear = 2026;
    used.wMonth = 5;
    used.wDay = 14;
    used.wHour = 12;
    ASSERT_TRUE(rtf.SetUsageDate(used));
    rtf.disabledIsNoHasSelection = 1;

    const PhraseTipFacts facts = PhraseTipFactsOf(rtf);
    EXPECT_FALSE(facts.group);
    EXPECT_TRUE(facts.hasData);
    EXPECT_EQ(CString(facts.bodyText).Trim(), CString(L"Hello %DATE% world"));
    EXPECT_EQ(facts.kind, 1);
    EXPECT_EQ(facts.usageCount, 3u);
    EXPECT_NE(facts.lastUsed.Find(L"2026"), -1) << facts.lastUsed.GetString();
    EXPECT_TRUE(facts.disabledIsNoSelection);
    EXPECT_FALSE(facts.useTitleOnly);

    const CString text = PhraseItemTipText(rtf);
    EXPECT_NE(text.Find(L"<font size=14pt color=orange>%DATE%</font>"), -1)
        << "the editor's macro names are highlighted: " << text.GetString();

    PhraseItemRecord folder;
    folder.MakeFolder();
    folder.SetPathOnly(L"C:\\Phrases\\Mail");
    const PhraseTipFacts group = PhraseTipFactsOf(folder);
    EXPECT_TRUE(group.group);
    EXPECT_EQ(group.path, CString(L"C:\\Phrases\\Mail"));
    EXPECT_TRUE(group.lastUsed.IsEmpty());
}
