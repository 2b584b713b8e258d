// test-locks: desktop
// The phrase text view on a real phrase folder: loading makes the text read-only with an empty undo
// buffer, an edit is written to the phrase file on hint 2 and stays modified until a save succeeds,
// macros are inserted, typing into read-only text asks with the right default button, and the
// preview waits for a pause in typing.
#include "editor/app/text/SCVView.h"

#include "common/RichEditEditing.h"
#include "editor/app/text/EditorMacros.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "tests/editor/app/EditorDocHarness.h"
#include "editor/controls/RichEditTextAccess.h"
#include "engine/PhraseFile.h"
#include "support/MessagePump.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <string>
#include <vector>

namespace
{

std::wstring W(const CString& text)
{
    return text.GetString();
}

std::string PhraseFileText(const char* title, const char* body)
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\r\n<SCVCommand "
                       "SortID=\"1\">\r\n"
                       "    <MenuName>") +
           title + "</MenuName>\r\n    <Cmd>" + body + "</Cmd>\r\n</SCVCommand>\r\n";
}

class FakeViewClock : public PhraseViewClock
{
public:
    ULONGLONG Now() override { return now; }
    void StartTimer(HWND, UINT_PTR id, UINT milliseconds) override { timers[id] = milliseconds; }
    void StopTimer(HWND, UINT_PTR id) override { timers.erase(id); }
    HKL KeyboardLayout() override { return layout; }

    ULONGLONG now = 1000;
    HKL layout = reinterpret_cast<HKL>(static_cast<INT_PTR>(0x04090409));
    std::map<UINT_PTR, UINT> timers;
};

class SCVViewTest : public testing::Test
{
protected:
    void SetUp() override
    {
        temp.WriteBytes(L"A.scrivolanter", PhraseFileText("A", "hello %DATE%"));
        store.Load(temp.Path().c_str());
        phrase = store.FindItemByPath(temp.PathOf(L"A.scrivolanter").c_str())->id;
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                                   nullptr);
        view = new CSCVView; // deletes itself with its window
        view->SetPhraseStore(&store);
        view->SetClock(&clock);
        view->SetConfirm([this](HWND, const CString&, UINT type) {
            askedTypes.push_back(type);
            return answer;
        });
        view->SetPreviewSource([this](int) { return CString(L"preview"); });
        ASSERT_TRUE(
            view->Create(parent, AFX_IDW_PANE_FIRST, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 600, 400}));
        edit = view->Edit();
    }
    void TearDown() override { ::DestroyWindow(parent); }

    void Show() { view->OnUpdate(nullptr, kHintShowPhrase, CSCVView::PhraseHint(phrase)); }
    void Type(const wchar_t* text)
    {
        ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    }
    CString FileBody()
    {
        PhraseItemRecord record;
        EXPECT_TRUE(ReadPhraseFile(record, temp.PathOf(L"A.scrivolanter").c_str()));
        return record.body;
    }

    scvtest::TempFolder temp;
    CEditorPhraseStore store;
    int phrase = -1;
    HWND parent = nullptr;
    CSCVView* view = nullptr;
    HWND edit = nullptr;
    FakeViewClock clock;
    std::vector<UINT> askedTypes;
    int answer = IDCANCEL;
};

TEST_F(SCVViewTest, LoadingMakesTheTextReadOnlyWithAnEmptyUndoBuffer)
{
    Show();
    EXPECT_EQ(view->CurrentPhrase(), phrase);
    EXPECT_EQ(W(GetRichEditPlainTextAll(edit)), L"hello %DATE%");
    EXPECT_TRUE(view->Edit().IsReadOnly());
    EXPECT_FALSE(::SendMessageW(edit, EM_CANUNDO, 0, 0));
    EXPECT_FALSE(::SendMessageW(edit, EM_GETMODIFY, 0, 0));
    EXPECT_TRUE(view->ToolBar().IsBlinking());
    EXPECT_TRUE(::SendMessageW(view->ToolBar(), TB_ISBUTTONCHECKED, PhraseTextCommand::kReadOnly, 0));

    // An unknown phrase behaves like none: cleared and read-only.
    view->OnUpdate(nullptr, kHintShowPhrase, CSCVView::PhraseHint(9999));
    EXPECT_EQ(view->CurrentPhrase(), -1);
    EXPECT_TRUE(GetRichEditPlainTextAll(edit).IsEmpty());
    EXPECT_TRUE(view->Edit().IsReadOnly());
    EXPECT_FALSE(::SendMessageW(view->ToolBar(), TB_ISBUTTONENABLED, PhraseTextCommand::kReadOnly, 0));
}

TEST_F(SCVViewTest, EditThenLeavingWritesTheFileAndKeepsModifiedUntilASaveSucceeds)
{
    Show();
    view->SendMessage(WM_COMMAND, PhraseTextCommand::kReadOnly, 0);
    ASSERT_FALSE(view->Edit().IsReadOnly());
    SetRichEditSelection(edit, -1, -1);
    Type(L" and more");
    ASSERT_TRUE(::SendMessageW(edit, EM_GETMODIFY, 0, 0));

    view->OnUpdate(nullptr, kHintSaveIfModified, CSCVView::PhraseHint(phrase));
    EXPECT_EQ(W(FileBody()), L"hello %DATE% and more");
    EXPECT_FALSE(::SendMessageW(edit, EM_GETMODIFY, 0, 0));

    // A save that cannot be written leaves the edit modified, so the next hint 2 tries again.
    Type(L"!");
    store.FindItemById(phrase)->SetPathOnly(temp.PathOf(L"gone\\A.scrivolanter").c_str());
    view->OnUpdate(nullptr, kHintSaveIfModified, CSCVView::PhraseHint(phrase));
    EXPECT_TRUE(::SendMessageW(edit, EM_GETMODIFY, 0, 0));
    store.FindItemById(phrase)->SetPathOnly(temp.PathOf(L"A.scrivolanter").c_str());
    view->OnUpdate(nullptr, kHintSaveIfModified, CSCVView::PhraseHint(phrase));
    EXPECT_EQ(W(FileBody()), L"hello %DATE% and more!");
    EXPECT_FALSE(::SendMessageW(edit, EM_GETMODIFY, 0, 0));
}

TEST_F(SCVViewTest, InsertingThePromptMacroSelectsItsDefaultText)
{
    Show();
    view->SetReadOnly(false);
    SetRichEditSelection(edit, 0, 0);
    int prompt = -1;
    for (int i = 0; i < GetMacroCount(); ++i)
        if (GetMacroName(i) == L"%PROMPT_TEXT={}%")
            prompt = i;
    ASSERT_GE(prompt, 0);
    view->SendMessage(WM_COMMAND, 30100 + prompt, 0);

    EXPECT_EQ(W(GetRichEditPlainTextAll(edit)), L"%PROMPT_TEXT={Text As Default}%hello %DATE%");
    EXPECT_EQ(W(GetRichEditSelectionText(edit)), L"Text As Default");
    EXPECT_TRUE(::SendMessageW(edit, EM_GETMODIFY, 0, 0));

    // A macro command beyond the table inserts nothing.
    SetRichEditSelection(edit, 0, 0);
    view->SendMessage(WM_COMMAND, 30100 + GetMacroCount(), 0);
    EXPECT_EQ(W(GetRichEditPlainTextAll(edit)), L"%PROMPT_TEXT={Text As Default}%hello %DATE%");
}

TEST_F(SCVViewTest, TypingIntoReadOnlyTextAsksWithCancelFirstThenTheLastAnswer)
{
    Show();
    SetRichEditSelection(edit, 0, 0);
    ::SendMessageW(edit, WM_KEYDOWN, 'X', 1);
    ASSERT_EQ(askedTypes.size(), 1u);
    EXPECT_EQ(askedTypes[0] & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
    EXPECT_TRUE(view->Edit().IsReadOnly());

    answer = IDOK;
    ::SendMessageW(edit, WM_KEYDOWN, 'X', 1);
    EXPECT_FALSE(view->Edit().IsReadOnly());

    view->SetReadOnly(true);
    ::SendMessageW(edit, WM_KEYDOWN, 'X', 1);
    ASSERT_EQ(askedTypes.size(), 3u);
    EXPECT_EQ(askedTypes[2] & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON1));
}

TEST_F(SCVViewTest, PreviewRefreshesOnlyAfterAPauseInTyping)
{
    view->SetPreviewEnabled(true);
    view->OnUpdate(nullptr, kHintPreviewSwitched, nullptr);
    ASSERT_TRUE(view->Preview());
    Show();
    view->SetReadOnly(false);
    const int loaded = view->PreviewRefreshCount();
    EXPECT_EQ(W(GetRichEditPlainTextAll(view->Preview())), L"preview");

    Type(L"a"); // EN_CHANGE at 1000
    ASSERT_EQ(clock.timers.count(CSCVView::kPreviewTimer), 1u);
    clock.now = 1500;
    Type(L"b"); // again at 1500
    clock.now = 1700;
    view->OnTimerStep(CSCVView::kPreviewTimer);
    clock.now = 2200;
    view->OnTimerStep(CSCVView::kPreviewTimer);
    EXPECT_EQ(view->PreviewRefreshCount(), loaded);
    clock.now = 2201;
    view->OnTimerStep(CSCVView::kPreviewTimer);
    EXPECT_EQ(view->PreviewRefreshCount(), loaded + 1);
    EXPECT_EQ(clock.timers.count(CSCVView::kPreviewTimer), 0u);

    // A change of the keyboard layout refreshes the preview at the next check.
    view->OnTimerStep(CSCVView::kLayoutTimer);
    EXPECT_EQ(view->PreviewRefreshCount(), loaded + 1);
    clock.layout = reinterpret_cast<HKL>(static_cast<INT_PTR>(0x04190419));
    view->OnTimerStep(CSCVView::kLayoutTimer);
    EXPECT_EQ(view->PreviewRefreshCount(), loaded + 2);

    view->SetPreviewEnabled(false);
    view->OnUpdate(nullptr, kHintPreviewSwitched, nullptr);
    EXPECT_FALSE(view->Preview());
}

} // namespace

// The view as the editor makes it: swapped in by the document of a real frame, with the document's
// store, settings and preview.
namespace
{

class ViewTestFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(ViewTestFrame)
};
IMPLEMENT_DYNCREATE(ViewTestFrame, CFrameWnd)

class HintRecorder : public IDocUpdateListener
{
public:
    HWND GetListenerWindow() override { return nullptr; }
    void OnDocUpdate(CView*, LPARAM hint, CObject* object) override
    {
        hints.emplace_back(hint, IdFromHintObject(object));
    }
    std::vector<std::pair<LPARAM, INT_PTR>> hints;
};

class SCVViewInEditorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        phrase = store.AddPhrase(L"A", L"hello", 0, -1);
        ASSERT_GE(phrase, 0);
        ASSERT_TRUE(harness.Open(RUNTIME_CLASS(ViewTestFrame), RUNTIME_CLASS(CSCVView)));
        doc = harness.doc;
        frame = harness.frame;
        doc->AddUpdateListener(&recorder);
        harness.Select(phrase);
        view = dynamic_cast<CSCVView*>(frame->GetActiveView());
        ASSERT_NE(nullptr, view);
    }
    void TearDown() override { harness.Close(); }
    bool HasHint(LPARAM hint) const
    {
        for (const auto& entry : recorder.hints)
            if (entry.first == hint)
                return true;
        return false;
    }

    scvtest::EditorDocHarness harness;
    CEditorPhraseStore& store = harness.store;
    CDoc* doc = nullptr;
    CFrameWnd* frame = nullptr;
    CSCVView* view = nullptr;
    HintRecorder recorder;
    int phrase = -1;
};

} // namespace

TEST_F(SCVViewInEditorTest, ShowsTheDocumentsPhraseAndSavesItWhenTheDocumentIsSaved)
{
    EXPECT_EQ(phrase, view->CurrentPhrase());
    EXPECT_EQ(L"hello", W(GetRichEditPlainTextAll(view->Edit())));
    EXPECT_FALSE(doc->IsModified());

    view->SetReadOnly(false);
    SetRichEditSelection(view->Edit(), -1, -1);
    ::SendMessageW(view->Edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" world"));
    EXPECT_TRUE(doc->IsModified()) << "unsaved text in the text view";

    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdSave, 0);
    EXPECT_FALSE(doc->IsModified());
    PhraseItemRecord record;
    ASSERT_TRUE(ReadPhraseFile(record, store.FindItemById(phrase)->GetPath().GetString()));
    EXPECT_EQ(L"hello world", W(record.body));
}

TEST_F(SCVViewInEditorTest, AFailedSaveAtCloseAsksBeforeTheTextIsLost)
{
    view->SetReadOnly(false);
    SetRichEditSelection(view->Edit(), -1, -1);
    ::SendMessageW(view->Edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L" world"));
    // The phrase file cannot be written any more: its folder became a plain file.
    const CString path = store.FindItemById(phrase)->GetPath();
    const CString folder = path.Left(path.ReverseFind(L'\\'));
    ASSERT_TRUE(::DeleteFileW(path));
    ASSERT_TRUE(::RemoveDirectoryW(folder));
    HANDLE blocker = ::CreateFileW(folder, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
    ::CloseHandle(blocker);

    std::vector<UINT> asked;
    int answer = IDNO;
    CDoc::SetMessageBox([&](HWND, const CString&, UINT type, DWORD) {
        asked.push_back(type);
        return answer;
    });
    EXPECT_FALSE(doc->SaveModified()) << "No keeps the editor open";
    EXPECT_TRUE(doc->IsModified()) << "the text stays for another try";
    answer = IDYES;
    EXPECT_TRUE(doc->SaveModified()) << "Yes closes without the text";
    // The folder back, so that the close at the end of the test saves quietly.
    ::DeleteFileW(folder);
    ::CreateDirectoryW(folder, nullptr);
    EXPECT_TRUE(doc->SaveModified());
    CDoc::SetMessageBox(nullptr);
    // Each close: the failed write is reported with Retry (answered No: not Retry), then the question.
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0] & MB_TYPEMASK, static_cast<UINT>(MB_RETRYCANCEL));
    EXPECT_EQ(asked[1] & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
}

TEST_F(SCVViewInEditorTest, TabInTheEditSendsTheFocusToTheTree)
{
    MSG tab = {view->Edit(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(frame->m_hWnd, &tab)) << "the key is eaten";
    EXPECT_TRUE(HasHint(kHintFocusTree));

    recorder.hints.clear();
    MSG letter = {view->Edit(), WM_KEYDOWN, 'A', 0, 0, {}};
    CWnd::WalkPreTranslateTree(frame->m_hWnd, &letter);
    MSG tabElsewhere = {view->m_hWnd, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    CWnd::WalkPreTranslateTree(frame->m_hWnd, &tabElsewhere);
    EXPECT_FALSE(HasHint(kHintFocusTree));
}

TEST_F(SCVViewInEditorTest, DataFormatMenuCommandsReachTheDocumentThroughTheView)
{
    HMENU menu = ::CreatePopupMenu();
    for (UINT id : {32786u, 32787u, 32803u, 32804u})
        ::AppendMenuW(menu, MF_STRING, id, L"item");
    UpdateMenuCmdUI(menu, view, TRUE);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), ::GetMenuState(menu, 32786, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(0u, ::GetMenuState(menu, 32804, MF_BYCOMMAND) & MF_GRAYED) << "Test Run is there for a phrase";

    view->SendMessage(WM_COMMAND, 32787, 0);
    EXPECT_EQ(1, store.FindItemById(phrase)->dataType);
    EXPECT_TRUE(HasHint(kHintKindChanged));
    wchar_t label[101] = {};
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_TEXT;
    info.pszText = label;
    info.cchText = 100;
    ::SendMessageW(view->ToolBar(), TB_GETBUTTONINFOW, PhraseTextCommand::kDataFormat,
                   reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::wstring(L"Formatted text (RTF)"), label);

    UpdateMenuCmdUI(menu, view, TRUE);
    EXPECT_EQ(0u, ::GetMenuState(menu, 32786, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), ::GetMenuState(menu, 32787, MF_BYCOMMAND) & MF_CHECKED);
    ::DestroyMenu(menu);
}

TEST_F(SCVViewInEditorTest, PreviewShowsTheDocumentsPreviewAndItsContextMenuSwitchesItOff)
{
    if (harness.settings.Preview)
        ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdPreview, 0);
    ASSERT_FALSE(view->Preview());
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdPreview, 0);
    ASSERT_TRUE(view->Preview()) << "the Preview setting went on";
    EXPECT_EQ(L"hello", W(GetRichEditPlainTextAll(view->Preview())));

    // A right click on the pane opens a menu holding Preview; choosing it switches the pane off.
    ::SendMessageW(view->Preview(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    ::PostMessageW(view->m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(view->m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(scvtest::PumpUntil([&] { return view->Preview() == nullptr; }, 5000));
    EXPECT_EQ(0, harness.settings.Preview);
}
