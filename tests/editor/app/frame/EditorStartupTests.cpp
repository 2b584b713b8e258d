// The editor's start: its command line, the title and caption texts, the data
// format names, the document template and the recycle-bin delete.

#include <gtest/gtest.h>

#include <windows.h>

#include "editor/app/frame/EditorCommandLineInfo.h"
#include "editor/app/frame/EditorDocTemplate.h"
#include "editor/app/frame/EditorInstance.h"
#include "editor/app/frame/EditorTitles.h"
#include "platform/docview/FrameWnd.h"
#include "support/TempFolder.h"

namespace
{

TEST(EditorCommandLineTest, SwitchesInAnyCaseSetTheirFlags)
{
    const struct
    {
        const wchar_t* line;
        int startFlags;
        int hideSettings;
        CCommandLineInfo::ShellCommand command;
    } cases[] = {
        {L"", 0, 0, CCommandLineInfo::FileNew},
        {L"/AddFromCB", 1, 0, CCommandLineInfo::FileNew},
        {L"-firstrun /addseltext", 6, 0, CCommandLineInfo::FileNew},
        {L"/hidesettings", 0, 1, CCommandLineInfo::FileNew},
        {L"/firstrun /addfromcb /addseltext /HIDESETTINGS", 7, 1, CCommandLineInfo::FileNew},
        {L"/unknown addfromcb", 0, 0, CCommandLineInfo::FileOpen}, // a plain word is a file name
        {L"/addfromcbx", 0, 0, CCommandLineInfo::FileNew},
    };
    for (const auto& c : cases) {
        EditorCommandLineInfo info;
        CWinApp::ParseCommandLineText(c.line, info);
        EXPECT_EQ(info.GetStartFlags(), c.startFlags) << c.line;
        EXPECT_EQ(info.m_hideSettings, c.hideSettings) << c.line;
        EXPECT_EQ(info.m_nShellCommand, c.command) << c.line;
    }
}

TEST(EditorCommandLineTest, SecondStartLooksForTheExactLowerCaseWord)
{
    const struct
    {
        const wchar_t* line;
        bool found;
    } cases[] = {
        {L"editor.exe /addfromcb", true},
        {L"editor.exe /AddFromCB", false},
        {L"addfromcb", false},
        {L"x addfromcbzz", true},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsAddFromClipboardInCommandLine(c.line), c.found) << c.line;
    EXPECT_FALSE(IsAddFromClipboardInCommandLine(nullptr));
}

TEST(EditorTitleTest, TitleShowsVersionBuildAndRights)
{
    const CString notAdmin = L" [NOTE: you do not have administrator rights]";
    const struct
    {
        EditorTitleFacts facts;
        const wchar_t* label;
        CString title;
    } cases[] = {
        {{true, L"2.6.0", L"785", true}, L"build", L"Scrivolanter : RedodeZovuva 2.60 build 785^"},
        {{true, L"2.6.0", L"785", true}, L"b", L"Scrivolanter : RedodeZovuva 2.60b785^"},
        {{true, L"2.6.0", L"785", true}, L"", L"Scrivolanter : RedodeZovuva 2.60b785^"},
        {{true, L"3", L"3", false}, L"build", CString(L"Scrivolanter : RedodeZovuva 3 build 3") + notAdmin},
        {{false, L"", L"", false}, L"build", CString(L"Scrivolanter : RedodeZovuva") + notAdmin},
        {{false, L"", L"", true}, L"build", L"Scrivolanter : RedodeZovuva^"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(BuildEditorTitle(c.label, c.facts), c.title);
}

TEST(EditorTitleTest, CaptionTellsAMissingFolder)
{
    scvtest::TempFolder temp;
    const EditorTitleFacts facts = {true, L"2.6.0", L"785", true};
    const CString existing = temp.Path().c_str();
    EXPECT_STREQ(BuildFrameCaption(facts, existing + L"\\"),
                 CString(L"Scrivolanter : RedodeZovuva 2.60 build 785^ - ") + existing);
    EXPECT_STREQ(BuildFrameCaption(facts, existing + L"\\missing"),
                 CString(L"Scrivolanter : RedodeZovuva 2.60 build 785^ - ") + existing +
                     L"\\missing  !!!!NOT EXISTS !!!!");
}

TEST(EditorTitleTest, DataFormatNamesAndBuildStamp)
{
    const struct
    {
        int format;
        const wchar_t* name;
    } cases[] = {
        {0, L"Plain text"}, {1, L"Formatted text (RTF)"}, {2, L"Start application"}, {7, L"7"}, {-1, L"-1"}};
    for (const auto& c : cases)
        EXPECT_STREQ(GetDataFormatName(c.format), c.name);
    const CString stamp = GetEditorBuildStamp();
    EXPECT_EQ(stamp.GetLength(), 20); // "Mmm dd yyyy hh:mm:ss"
    EXPECT_EQ(stamp[11], L' ');
}

TEST(EditorTitleTest, DeleteToRecycleBinRemovesTheFile)
{
    scvtest::TempFolder temp;
    const std::wstring file = temp.WriteUtf8(L"old phrase.txt", L"text");
    ASSERT_FALSE(file.empty());
    EXPECT_TRUE(DeleteToRecycleBin(file.c_str()));
    EXPECT_FALSE(temp.Exists(L"old phrase.txt"));
    EXPECT_FALSE(DeleteToRecycleBin(nullptr));
    EXPECT_FALSE(DeleteToRecycleBin(L""));
}

class PlainDoc : public CDocument
{
    DECLARE_DYNCREATE(PlainDoc)
};
IMPLEMENT_DYNCREATE(PlainDoc, CDocument)

class PlainView : public CView
{
    DECLARE_DYNCREATE(PlainView)
};
IMPLEMENT_DYNCREATE(PlainView, CView)

TEST(EditorDocTemplateTest, AFileNameStillOpensTheNewDocument)
{
    CWinApp app;
    app.AddDocTemplate(new EditorDocTemplate(0, RUNTIME_CLASS(PlainDoc), RUNTIME_CLASS(CFrameWnd),
                                             RUNTIME_CLASS(PlainView)));
    CDocument* doc = app.GetFirstDocTemplate()->OpenDocumentFile(L"C:\\some\\file.txt", FALSE);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_STREQ(doc->GetTitle(), L"Untitled");
    ASSERT_EQ(doc->GetViews().size(), 1u);
    auto* frame = dynamic_cast<CFrameWnd*>(app.GetMainWnd());
    ASSERT_NE(frame, nullptr);
    app.SetMainWnd(nullptr);
    ::SendMessageW(frame->m_hWnd, WM_CLOSE, 0, 0);
}

} // namespace
