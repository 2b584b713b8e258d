// The editor's document as the hub of update hints: a real frame with the folder list as its main view,
// a stand-in text view, recording listeners, a phrase store on a temp folder and settings in a temp
// program folder.

#include "editor/app/Doc.h"
#include "editor/app/EditorPhraseStore.h"
#include "editor/app/FolderView.h"
#include "editor/controls/EditorSettings.h"
#include "platform/docview/App.h"
#include "platform/docview/FrameWnd.h"

#include "support/TempFolder.h"
#include "support/TempSettingsEnvironment.h"

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
        store.Load(temp.CreateSubfolder(L"phrases").c_str());
        phraseA = store.AddPhrase(L"A", L"alpha", 0, -1);
        phraseB = store.AddPhrase(L"B", L"beta", 0, -1);
        group = store.AddFolder(temp.PathOf(L"phrases\\G").c_str());
        ASSERT_GE(phraseA, 0);
        ASSERT_GE(group, 0);
        settings.LoadEditor();
        CDoc::UseServices(&store, &settings);
        CDoc::SetTextViewClass(RUNTIME_CLASS(StandInTextView));
        app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(CDoc), RUNTIME_CLASS(TestFrame),
                                                  RUNTIME_CLASS(CFolderView)));
        doc = dynamic_cast<CDoc*>(app.GetFirstDocTemplate()->OpenDocumentFile(nullptr, FALSE));
        ASSERT_NE(nullptr, doc);
        frame = dynamic_cast<CFrameWnd*>(app.GetMainWnd());
        ASSERT_NE(nullptr, frame);
        doc->AddUpdateListener(&listener);
    }
    void TearDown() override
    {
        if (frame && ::IsWindow(frame->m_hWnd)) {
            app.SetMainWnd(nullptr);
            ::SendMessageW(frame->m_hWnd, WM_CLOSE, 0, 0);
        }
        CDoc::UseServices(nullptr, nullptr);
        CDoc::SetTextViewClass(nullptr);
    }

    void Select(INT_PTR id, CView* sender = nullptr)
    {
        doc->UpdateViewsForItem(sender, kHintSelect, HintObjectFromId(id));
    }
    const char* MainViewClass() { return frame->GetActiveView()->GetRuntimeClass()->m_lpszClassName; }

    scvtest::TempFolder temp;
    scvtest::TempSettingsEnvironment environment{temp};
    CEditorSettings settings{environment};
    CEditorPhraseStore store;
    CWinApp app;
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
