// test-locks: appevents desktop coopevent
// The editor's document as the hub of update hints: a real frame with the folder list as its main view,
// a stand-in text view, recording listeners, a phrase store on a temp folder and settings in a temp
// program folder.

#include "tests/editor/app/EditorDocHarness.h"
#include "common/OwnWindowMessages.h"
#include "editor/app/frame/EditorMessages.h"
#include "editor/app/frame/MainFrame.h"
#include "online/SharedSettingsArea.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{

using HintLog = std::vector<std::pair<LPARAM, INT_PTR>>;

class StandInTextView : public CView
{
    DECLARE_DYNCREATE(StandInTextView)

public:
    void OnUpdate(CView*, LPARAM hint, CObject* object) override
    {
        log.emplace_back(hint, IdFromHintObject(object));
    }
    HintLog log;
};
IMPLEMENT_DYNCREATE(StandInTextView, CView)

class TestFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(TestFrame)
};
IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)

class RecordingListener : public IDocUpdateListener
{
public:
    explicit RecordingListener(HWND window = nullptr) : window(window) {}
    HWND GetListenerWindow() override { return window; }
    void OnDocUpdate(CView*, LPARAM hint, CObject* object) override
    {
        log.emplace_back(hint, IdFromHintObject(object));
    }
    HWND window;
    HintLog log;
};

class DocTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        phraseA = store.AddPhrase(L"A", L"alpha", 0, -1);
        phraseB = store.AddPhrase(L"B", L"beta", 0, -1);
        group = store.AddFolder(temp.PathOf(L"phrases\\G").c_str());
        ASSERT_GE(phraseA, 0);
        ASSERT_GE(group, 0);
        ASSERT_TRUE(harness.Open(RUNTIME_CLASS(TestFrame), RUNTIME_CLASS(StandInTextView)));
        doc = harness.doc;
        frame = harness.frame;
        doc->AddUpdateListener(&listener);
    }
    void TearDown() override { harness.Close(); }

    void Select(INT_PTR id, CView* sender = nullptr) { harness.Select(id, sender); }
    const char* MainViewClass() { return frame->GetActiveView()->GetRuntimeClass()->m_lpszClassName; }

    scvtest::EditorDocHarness harness;
    scvtest::TempFolder& temp = harness.temp;
    CEditorSettings& settings = harness.settings;
    CEditorPhraseStore& store = harness.store;
    CDoc* doc = nullptr;
    CFrameWnd* frame = nullptr;
    RecordingListener listener;
    int phraseA = -1;
    int phraseB = -1;
    int group = -1;
};

} // namespace

TEST_F(DocTest, SelectingSavesThePreviousPhraseFirstAndSwapsOnlyOnAKindChange)
{
    EXPECT_STREQ("CFolderView", MainViewClass());
    Select(phraseA);
    EXPECT_EQ((HintLog{{kHintSelect, phraseA}}), listener.log) << "no current item: no save hint";
    ASSERT_STREQ("StandInTextView", MainViewClass());
    CView* textView = frame->GetActiveView();
    EXPECT_EQ(static_cast<int>(AFX_IDW_PANE_FIRST), ::GetDlgCtrlID(textView->m_hWnd));

    listener.log.clear();
    Select(phraseB);
    EXPECT_EQ((HintLog{{kHintSavePending, phraseA}, {kHintSelect, phraseB}}), listener.log);
    EXPECT_EQ(textView, frame->GetActiveView()) << "same kind: the view is kept";
    EXPECT_EQ((HintLog{{0, 0}, {kHintSelect, phraseA}, {kHintSavePending, phraseA}, {kHintSelect, phraseB}}),
              static_cast<StandInTextView*>(textView)->log);

    listener.log.clear();
    Select(group);
    EXPECT_EQ((HintLog{{kHintSavePending, phraseB}, {kHintSelect, group}}), listener.log);
    EXPECT_STREQ("CFolderView", MainViewClass());
    EXPECT_EQ(1u, doc->GetViews().size());
    EXPECT_EQ(group, doc->GetCurrentItem());
    EXPECT_EQ(std::wstring(store.FindItemById(group)->GetPath().GetString()), settings.LastFile.GetString());
}

TEST_F(DocTest, WithoutATextViewClassThePhraseStaysInTheList)
{
    CDoc::SetTextViewClass(nullptr);
    CView* list = frame->GetActiveView();
    Select(phraseA);
    EXPECT_EQ(list, frame->GetActiveView());
    EXPECT_EQ(phraseA, doc->GetCurrentItem());
}

TEST_F(DocTest, ListenersOfTheSendersWindowAreSkipped)
{
    CView* list = frame->GetActiveView();
    RecordingListener sameWindow(list->m_hWnd);
    doc->AddUpdateListener(&sameWindow);
    doc->AddUpdateListener(&sameWindow); // added once only
    doc->UpdateViewsForItem(list, kHintCheckAll, nullptr);
    doc->UpdateViewsForItem(nullptr, kHintUncheckAll, nullptr);
    EXPECT_EQ((HintLog{{kHintCheckAll, 0}, {kHintUncheckAll, 0}}), listener.log);
    EXPECT_EQ((HintLog{{kHintUncheckAll, 0}}), sameWindow.log);
    doc->RemoveUpdateListener(&sameWindow);
}

namespace
{

struct ShownBox
{
    std::wstring text;
    UINT type;
    DWORD timeout;
};

class DocPreviewTest : public DocTest
{
protected:
    void SetUp() override
    {
        DocTest::SetUp();
        CDoc::SetMessageBox([this](HWND, const CString& text, UINT type, DWORD timeout) {
            boxes.push_back({text.GetString(), type, timeout});
            return IDOK;
        });
    }
    void TearDown() override
    {
        CDoc::SetMessageBox(nullptr);
        CloseSharedSettingsArea();
        DocTest::TearDown();
    }
    std::wstring Preview(int id, bool show)
    {
        Select(id);
        return doc->BuildPhrasePreview(show).GetString();
    }

    std::vector<ShownBox> boxes;
};

} // namespace

TEST_F(DocPreviewTest, PreviewExpandsTextPhrasesAndGivesCommandsAsTheyStand)
{
    const int plain = store.AddPhrase(L"P", L"say %SELECTED_TEXT%%CURSOR_POS%!", 0, -1);
    const int rtf = store.AddPhrase(L"R", L"{\\rtf1\\ansi {\\b bold} %UPPER_SELTEXT%}", 1, -1);
    const int command = store.AddPhrase(L"C", L"notepad.exe %SELECTED_TEXT%", 2, -1);
    ASSERT_GE(command, 0);

    EXPECT_EQ(L"say [Selected Text]!", Preview(plain, false));
    EXPECT_EQ(L"bold [SELECTED TEXT]", Preview(rtf, false)) << "formatted text previews as plain text";
    EXPECT_EQ(L"notepad.exe %SELECTED_TEXT%", Preview(command, false));

    // Shown, the text comes after the indented heading; the pending edit is saved first.
    listener.log.clear();
    const std::wstring shown = Preview(plain, true);
    EXPECT_EQ(0u, shown.find(L"      ")) << shown;
    const size_t gap = shown.find(L"\r\n\r\n");
    ASSERT_NE(std::wstring::npos, gap);
    EXPECT_EQ(L"say [Selected Text]!", shown.substr(gap + 4));
    EXPECT_EQ((HintLog{{kHintSavePending, command}, {kHintSelect, plain}, {kHintSavePending, plain}}),
              listener.log);

    // The character count is a number, here of the stand-in for the selected text.
    const int count = store.AddPhrase(L"N", L"%NUMBERCHARS_SELTEXT% chars", 0, -1);
    EXPECT_EQ(L"15 chars", Preview(count, false));

    // A keyboard-layout macro is named when shown.
    const int layout = store.AddPhrase(L"L", L"%ACTIVATE_KL_EN%text", 0, -1);
    EXPECT_EQ(L"text", Preview(layout, false));
    EXPECT_NE(std::wstring::npos, Preview(layout, true).find(L"text\r\n+ Activate keyboard layout English"));

    // No phrase, no preview.
    Select(group);
    EXPECT_TRUE(doc->BuildPhrasePreview(true).IsEmpty());
}

TEST_F(DocPreviewTest, TestRunShowsThePreviewInABoxThatClosesItself)
{
    Select(group);
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdTestRun, 0);
    EXPECT_TRUE(boxes.empty()) << "a folder has nothing to run";

    const int plain = store.AddPhrase(L"P", L"hello %SELECTED_TEXT%", 0, -1);
    Select(plain);
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdTestRun, 0);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(std::wstring(doc->BuildPhrasePreview(true).GetString()), boxes[0].text);
    EXPECT_EQ(30000u, boxes[0].timeout);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[0].type & MB_TYPEMASK);
}

TEST_F(DocPreviewTest, NewPhraseFromTheSelectedTextOfTheSharedArea)
{
    ASSERT_TRUE(WriteSharedSettingsArea(VK_F9, MOD_CONTROL, false,
                                        L"A selected sentence that is longer than thirty\r\nsecond line"));
    listener.log.clear();
    ASSERT_TRUE(doc->NewPhraseFromSelectedText());
    EXPECT_TRUE(boxes.empty());
    const int id = static_cast<int>(doc->GetCurrentItem());
    PhraseItemRecord* record = store.FindItemById(id);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(std::wstring(L"A selected sentence that is lo"), record->GetTitle()) << "cut to 30 characters";
    EXPECT_EQ(0, record->dataType);
    EXPECT_EQ(std::wstring(L"A selected sentence that is longer than thirty\r\nsecond line"),
              record->body.GetString());
    EXPECT_EQ((HintLog{{kHintLibraryChanged, 0}, {kHintSelect, id}}), listener.log);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(record->GetPath().GetString())) << "saved";

    // An area without a selected text makes nothing and says so.
    ASSERT_TRUE(WriteSharedSettingsArea(VK_F9, MOD_CONTROL, false, nullptr));
    EXPECT_FALSE(doc->NewPhraseFromSelectedText());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Selected text for new phrase not found", boxes[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONSTOP), boxes[0].type & MB_ICONMASK);
    EXPECT_EQ(id, doc->GetCurrentItem());
}

TEST(DocInMainFrame, TheAddSelectedTextRequestMakesAPhraseFromTheSharedArea)
{
    CMainFrame::SetLoadLibraryOnCreate(false);
    scvtest::EditorDocHarness harness;
    ASSERT_TRUE(harness.Open(RUNTIME_CLASS(CMainFrame), nullptr));
    ASSERT_TRUE(WriteSharedSettingsArea(VK_F9, MOD_CONTROL, false, L"from the target window"));

    EXPECT_EQ(1, SendOwnMessage(harness.frame->m_hWnd, GetEditorAddSelectedTextMessage(), 0, 0));
    const PhraseItemRecord* record =
        harness.store.FindItemById(static_cast<int>(harness.doc->GetCurrentItem()));
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(std::wstring(L"from the target window"), record->body.GetString());

    CloseSharedSettingsArea();
    harness.app.SetMainWnd(nullptr);
    ::DestroyWindow(harness.frame->m_hWnd);
    CMainFrame::SetLoadLibraryOnCreate(true);
}
