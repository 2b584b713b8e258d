// The editor's main frame built by the document template over a temp phrase store: the phrases pane
// docked at the left with the phrase tree (refill order, hidden unchecked groups, check boxes reported
// to the document), the caption following the current phrase, and the close signal to the main program.
// test-locks: desktop coopevent

#include "tests/editor/app/EditorFrameHarness.h"

#include "support/MessagePump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class RecordingListener : public IDocUpdateListener
{
public:
    HWND GetListenerWindow() override { return nullptr; }
    void OnDocUpdate(CView*, LPARAM hint, CObject* object) override
    {
        hints.push_back(hint);
        if (hint == kHintChecksChanged)
            checks = *reinterpret_cast<std::vector<CheckChange>*>(object);
    }
    std::vector<CheckChange> checks;
    std::vector<LPARAM> hints;
};

class MainFrameTest : public ::testing::Test, protected scvtest::EditorFrameHarness
{
protected:
    void SetUp() override
    {
        // Top level: group G (sort 0) with sub-group S and phrase C; phrases A (sort 5) and B (sort 1);
        // group H holding only an unchecked phrase.
        g = store.AddFolder(temp.PathOf(L"phrases\\G").c_str());
        a = store.AddPhrase(L"A", L"alpha", 0, -1);
        b = store.AddPhrase(L"B", L"beta", 0, -1);
        s = store.AddFolder(temp.PathOf(L"phrases\\G\\S").c_str(), store.GetChildList(g));
        c = store.AddPhrase(L"C", L"gamma", 0, g);
        h = store.AddFolder(temp.PathOf(L"phrases\\H").c_str());
        hidden = store.AddPhrase(L"Hidden", L"x", 0, h);
        ASSERT_GE(hidden, 0);
        ASSERT_GE(s, 0);
        store.FindItemById(g)->sortId = 0;
        store.FindItemById(a)->sortId = 5;
        store.FindItemById(b)->sortId = 1;
        store.FindItemById(h)->sortId = 1;
        store.SetIncluded(hidden, false);
        LoadSettings();
        ASSERT_TRUE(OpenFrame(0, nullptr));
        doc->AddUpdateListener(&listener);
    }
    // The frame goes before the listener it reports to.
    void TearDown() override { Destroy(); }

    std::vector<std::wstring> Level(HTREEITEM parent)
    {
        HWND tree = frame->GetPhrasesPane().GetTree().m_hWnd;
        std::vector<std::wstring> texts;
        HTREEITEM item = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
        for (; item; item = TreeView_GetNextSibling(tree, item)) {
            wchar_t text[64] = {};
            TVITEMW data = {};
            data.mask = TVIF_TEXT;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = 64;
            ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
            texts.push_back(text);
        }
        return texts;
    }
    std::wstring Caption(HWND window)
    {
        wchar_t text[256] = {};
        ::GetWindowTextW(window, text, 256);
        return text;
    }

    RecordingListener listener;
    const HANDLE event = CoopEvent();
    int g = -1, a = -1, b = -1, c = -1, s = -1, h = -1, hidden = -1;
};

} // namespace

TEST_F(MainFrameTest, PaneIsDockedLeftAndTheTreeShowsPhrasesFirstAtTheTopLevel)
{
    PhrasesPane& pane = frame->GetPhrasesPane();
    ASSERT_TRUE(::IsWindow(pane.m_hWnd));
    EXPECT_EQ(static_cast<LONG>(::GetSystemMetrics(SM_CXSCREEN) / 3), pane.GetVertSize().cx);
    EXPECT_EQ((std::vector<std::wstring>{L"B", L"A", L"G", L"H"}), Level(nullptr));
    PhraseTreeCtrl& tree = pane.GetTree();
    EXPECT_EQ((std::vector<std::wstring>{L"S", L"C"}), Level(tree.FindItemById(g)))
        << "store order inside a group";
    EXPECT_FALSE(tree.GetCheck(tree.FindItemById(h)));
    EXPECT_TRUE(tree.GetCheck(tree.FindItemById(a)));
    int included = 0, all = 0;
    store.CountItems(&included, &all);
    wchar_t expected[64];
    swprintf(expected, 64, L"Phrases [%d/%d]", included, all);
    EXPECT_EQ(std::wstring(expected), Caption(pane.m_hWnd));

    // Unchecked phrases hidden: the group holding only unchecked ones goes with them.
    settings.ShowUncheckedPhrases = 0;
    doc->UpdateViewsForItem(nullptr, kHintShowUnchecked, nullptr);
    EXPECT_EQ((std::vector<std::wstring>{L"B", L"A", L"G"}), Level(nullptr));
    EXPECT_EQ(nullptr, tree.FindItemById(hidden));
}

TEST_F(MainFrameTest, SelectionReachesTreeAndCaptionAndChecksReachTheDocument)
{
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(b));
    PhraseTreeCtrl& tree = frame->GetPhrasesPane().GetTree();
    EXPECT_EQ(b, tree.GetSelectedId());
    EXPECT_NE(std::wstring::npos, Caption(frame->m_hWnd).find(L"  :  [B]"));

    // A check box toggled in the tree: the store follows and the document hears hint 16.
    HTREEITEM item = tree.FindItemById(a);
    tree.SetCheckState(item, false, true);
    scvtest::PumpUntil([&] { return !listener.checks.empty(); }, 5000);
    ASSERT_EQ(1u, listener.checks.size());
    EXPECT_EQ(a, listener.checks[0].id);
    EXPECT_FALSE(listener.checks[0].checked);
    EXPECT_FALSE(CEditorPhraseStore::IsIncluded(*store.FindItemById(a)));
}

TEST_F(MainFrameTest, ChangesAreDebouncedAndClosingSignalsOnce)
{
    EXPECT_TRUE(NotePhrasesChanged());
    EXPECT_TRUE(frame->GetChangeDebounce().IsPending());
    EXPECT_NE(WAIT_OBJECT_0, ::WaitForSingleObject(event, 0)) << "not before the quiet time";
    app.SetMainWnd(nullptr);
    ::DestroyWindow(frame->m_hWnd);
    frame = nullptr;
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(event, 0));
    EXPECT_NE(WAIT_OBJECT_0, ::WaitForSingleObject(event, 0));
    EXPECT_FALSE(NotePhrasesChanged()) << "no main frame any more";
}

TEST_F(MainFrameTest, OpeningAnotherFolderSavesThePendingEditThenForgetsTheItem)
{
    const CString other = temp.CreateSubfolder(L"other").c_str();
    {
        CEditorPhraseStore writer;
        writer.Load(other);
        ASSERT_GE(writer.AddPhrase(L"Z", L"zeta", 0, -1), 0);
    }
    EXPECT_FALSE(CMainFrame::FolderHasPhraseFiles(temp.CreateSubfolder(L"empty").c_str()));
    EXPECT_TRUE(CMainFrame::FolderHasPhraseFiles(temp.PathOf(L"phrases").c_str())) << "found in a subfolder";
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(a));
    listener.hints.clear();
    ASSERT_TRUE(frame->OpenPhrasesFolder(other, true));
    EXPECT_EQ((std::vector<LPARAM>{kHintSavePending, kHintFolderReopened}), listener.hints);
    EXPECT_EQ(-1, doc->GetCurrentItem());
    EXPECT_EQ((std::vector<std::wstring>{L"Z"}), Level(nullptr));
    EXPECT_EQ(std::wstring(other.GetString()), settings.GetPhrasesFolderWithoutSlash().GetString());
    bool remembered = false;
    for (int i = 0; i < settings.GetPrevFoldersCount(); ++i)
        remembered =
            remembered || settings.GetRecentFolder(i).CompareNoCase(temp.PathOf(L"phrases").c_str()) == 0;
    EXPECT_TRUE(remembered);
}
