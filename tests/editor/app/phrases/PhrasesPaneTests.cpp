// The phrases pane's library commands and the tree's drag and drop on a real main frame over a temp
// phrases folder: files really created, renamed, moved and deleted; the marks of Cut and Copy and the
// document's current item surviving a reload without pointing at another phrase; Rename File keeping
// the phrase in its own folder; drags driven by mouse messages posted to the tree; the tree's kind images,
// item tooltips (on a clock the test drives), empty-tree hint and keys.
// test-locks: desktop clipboard coopevent
// test-timeout: 180

#include "tests/editor/app/EditorFrameHarness.h"
#include "common/GdiHelpers.h"
#include "editor/app/document/PhraseClipSet.h"
#include "editor/app/phrases/PhraseKindImages.h"
#include "editor/controls/EditorSettings.h"
#include "platform/docview/App.h"

#include "support/ClipboardFill.h"
#include "support/ImportPatch.h"
#include "support/TempFolder.h"
#include "tests/editor/controls/FakeToolTipClock.h"
#include "support/TempSettingsEnvironment.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

CEditorPhraseStore* g_store = nullptr;

// A text view that, like the real one, writes its unsaved text into the phrase it holds when asked to
// save (hint 2): the text names the phrase it was typed for.
class EditingTextView : public CView
{
    DECLARE_DYNCREATE(EditingTextView)

public:
    void OnUpdate(CView*, LPARAM hint, CObject* object) override
    {
        if (hint == kHintSelect) {
            m_id = static_cast<int>(IdFromHintObject(object));
            if (PhraseItemRecord* record = g_store->FindItemById(m_id))
                m_typedFor = record->GetPath();
        } else if (hint == kHintSavePending && m_id >= 0) {
            if (PhraseItemRecord* record = g_store->FindItemById(m_id)) {
                record->body = L"typed for " + m_typedFor;
                g_store->SaveItemAndWait(m_id);
            }
        }
    }

private:
    int m_id = -1;
    CString m_typedFor;
};
IMPLEMENT_DYNCREATE(EditingTextView, CView)

// A command item that records what the update handlers said.
struct ProbeUI : CCmdUI
{
    void Enable(BOOL on) override { enabled = on != FALSE; }
    void SetCheck(int) override {}
    void SetText(LPCWSTR) override {}
    bool enabled = false;
};

void Pump(DWORD milliseconds)
{
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount() - start < milliseconds);
}

class PhrasesPaneTest : public ::testing::Test, protected scvtest::EditorFrameHarness
{
protected:
    void SetUp() override
    {
        // Top level: phrases A and B, group G (phrase C and sub-group S inside), group H (phrase D).
        a = store.AddPhrase(L"A", L"alpha", 0, -1);
        b = store.AddPhrase(L"B", L"beta", 0, -1);
        g = store.AddFolder(temp.PathOf(L"phrases\\G").c_str());
        c = store.AddPhrase(L"C", L"gamma", 0, g);
        s = store.AddFolder(temp.PathOf(L"phrases\\G\\S").c_str(), store.GetChildList(g));
        h = store.AddFolder(temp.PathOf(L"phrases\\H").c_str());
        d = store.AddPhrase(L"D", L"delta", 0, h);
        ASSERT_GE(d, 0);
        ASSERT_GE(s, 0);
        LoadSettings();
        g_store = &store;
        PhrasesPane::SetConfirmDeletes(false);
        PhraseClipSet::Get().Clear();
        ASSERT_TRUE(scvtest::ClearClipboard());
        ASSERT_TRUE(OpenFrame(0, RUNTIME_CLASS(EditingTextView)));
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 900, 600,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        frame->RecalcLayout();
        Pump(20);
    }
    void TearDown() override
    {
        Destroy();
        PhrasesPane::SetConfirmDeletes(true);
        PhraseClipSet::Get().Clear();
        g_store = nullptr;
    }

    PhrasesPane& Pane() { return frame->GetPhrasesPane(); }
    HWND Tree() { return Pane().GetTree().m_hWnd; }
    void Select(int id)
    {
        HTREEITEM item = Pane().GetTree().FindItemById(id);
        ASSERT_NE(nullptr, item);
        TreeView_SelectItem(Tree(), item);
    }
    int IdByPath(const std::wstring& relative)
    {
        PhraseItemRecord* record = store.FindItemByPath(temp.PathOf(relative).c_str());
        return record ? record->id : -1;
    }
    void Command(UINT id) { ::SendMessageW(Pane().m_hWnd, WM_COMMAND, id, 0); }
    bool Enabled(UINT id)
    {
        ProbeUI ui;
        ui.m_nID = id;
        ui.DoUpdate(frame, TRUE);
        return ui.enabled;
    }
    std::wstring ItemText(HTREEITEM item)
    {
        wchar_t text[128] = {};
        TVITEMW data = {};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 128;
        ::SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        return text;
    }
    POINT CenterOf(int id)
    {
        RECT rect = {};
        HTREEITEM item = Pane().GetTree().FindItemById(id);
        EXPECT_TRUE(TreeView_GetItemRect(Tree(), item, &rect, TRUE));
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    void PostMouse(UINT message, POINT point)
    {
        ::PostMessageW(Tree(), message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON,
                       MAKELPARAM(point.x, point.y));
        Pump(10);
    }
    // One drag move over the point; the item the insertion mark is on afterwards (null: none).
    HTREEITEM DragOver(POINT point)
    {
        // The real cursor goes there too, so a move the system makes up (after a redraw, or a window
        // of another test coming or going) tells the same place.
        POINT screen = point;
        ::ClientToScreen(Tree(), &screen);
        ::SetCursorPos(screen.x, screen.y);
        PostMouse(WM_MOUSEMOVE, point);
        return Pane().GetTree().GetDragTracker().GetMarkedItem();
    }
    // Pixels of the insertion mark's red in the tree as it is drawn now.
    int RedPixels()
    {
        ::RedrawWindow(Tree(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT client = {};
        ::GetClientRect(Tree(), &client);
        const int width = client.right;
        const int height = client.bottom;
        const BITMAPINFO bmi = MakeTopDown32BitInfo(width, height);
        void* bits = nullptr;
        HBITMAP bitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap)
            return -1;
        HDC tree = ::GetDC(Tree());
        HDC memory = ::CreateCompatibleDC(tree);
        const HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width, height, tree, 0, 0, SRCCOPY);
        ::GdiFlush();
        int red = 0;
        const auto* pixel = static_cast<const BYTE*>(bits);
        for (int i = 0; i < width * height; ++i, pixel += 4)
            red += pixel[2] > 200 && pixel[1] < 60 && pixel[0] < 60 ? 1 : 0;
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
        ::ReleaseDC(Tree(), tree);
        ::DeleteObject(bitmap);
        return red;
    }
    // The body each phrase file holds now, read by a fresh load of the folder.
    std::wstring BodyOnDisk(const std::wstring& relative)
    {
        CEditorPhraseStore reader;
        reader.Load(temp.PathOf(L"phrases").c_str());
        PhraseItemRecord* record = reader.FindItemByPath(temp.PathOf(relative).c_str());
        return record ? std::wstring(record->body.GetString()) : L"<missing>";
    }

    int a = -1, b = -1, c = -1, d = -1, g = -1, h = -1, s = -1;
};

} // namespace

TEST_F(PhrasesPaneTest, AddGroupMakesNumberedFoldersAndAddFromClipboardTakesTheFirstLine)
{
    Select(c); // inside G: new items go into G
    for (const wchar_t* name : {L"New Group", L"New Group1", L"New Group2"}) {
        Command(PhrasesPane::kCmdAddGroup);
        ASSERT_NE(nullptr, TreeView_GetEditControl(Tree())) << "the label edit starts";
        TreeView_EndEditLabelNow(Tree(), TRUE);
        EXPECT_TRUE(temp.Exists(std::wstring(L"phrases\\G\\") + name)) << name;
        Select(c);
    }
    EXPECT_FALSE(temp.Exists(L"phrases\\New Group")) << "not at the root";

    ASSERT_TRUE(scvtest::SetClipboardText(L"  \r\nabc\r\ndef"));
    EXPECT_TRUE(Enabled(PhrasesPane::kCmdNewFromClipboard));
    Select(a); // a top-level phrase: the root is the current group
    Command(PhrasesPane::kCmdNewFromClipboard);
    TreeView_EndEditLabelNow(Tree(), TRUE);
    const int added = Pane().GetTree().GetSelectedId();
    PhraseItemRecord* record = store.FindItemById(added);
    ASSERT_NE(nullptr, record);
    EXPECT_STREQ(L"abc", record->GetTitle());
    EXPECT_EQ(-1, store.GetParentId(added));
    EXPECT_EQ(L"  \r\nabc\r\ndef", BodyOnDisk(std::wstring(record->GetPath().Mid(temp.Path().size() + 1))));
    EXPECT_EQ(added, doc->GetCurrentItem()) << "the document selects the new phrase";

    ASSERT_TRUE(scvtest::ClearClipboard());
    EXPECT_FALSE(Enabled(PhrasesPane::kCmdNewFromClipboard));
}

TEST_F(PhrasesPaneTest, LabelEditsRenameGroupFoldersAndPhraseFiles)
{
    Select(h);
    Command(PhrasesPane::kCmdRename);
    HWND edit = TreeView_GetEditControl(Tree());
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextW(edit, L"A:B");
    TreeView_EndEditLabelNow(Tree(), FALSE);
    EXPECT_TRUE(temp.Exists(L"phrases\\AB"));
    EXPECT_FALSE(temp.Exists(L"phrases\\H"));
    EXPECT_EQ(L"AB", ItemText(Pane().GetTree().FindItemById(h)));
    EXPECT_EQ(std::wstring(temp.PathOf(L"phrases\\AB\\D.scrivolanter")),
              store.FindItemById(d)->GetPath().GetString())
        << "paths below the group follow";

    Select(b);
    Command(PhrasesPane::kCmdRename);
    edit = TreeView_GetEditControl(Tree());
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextW(edit, L"Better name");
    TreeView_EndEditLabelNow(Tree(), FALSE);
    EXPECT_TRUE(temp.Exists(L"phrases\\Better_name.scrivolanter"));
    EXPECT_FALSE(temp.Exists(L"phrases\\B.scrivolanter"));
    EXPECT_EQ(1, store.FindItemById(b)->GetUseTitleOnly()) << "a rename makes the title the menu text";
    EXPECT_EQ(L"beta", BodyOnDisk(L"phrases\\Better_name.scrivolanter"));

    // Into Menu Name of the text view: the document's hint carries the name to the selected phrase.
    Select(a);
    CString name = L"From the text";
    doc->UpdateViewsForItem(nullptr, kHintPhraseMenuName, reinterpret_cast<CObject*>(&name));
    EXPECT_EQ(L"From the text", ItemText(Pane().GetTree().FindItemById(a)));
    EXPECT_EQ(name, store.FindItemById(a)->GetTitle());
    store.FlushSaves();
    CEditorPhraseStore reader;
    reader.Load(temp.PathOf(L"phrases").c_str());
    PhraseItemRecord* saved = reader.FindItemByPath(store.FindItemById(a)->GetPath());
    ASSERT_NE(nullptr, saved);
    EXPECT_EQ(name, saved->GetTitle()) << "the new name is in the file";
}

TEST_F(PhrasesPaneTest, MoveUpAndDownStayWithinOneKindAndStoreTheOrder)
{
    // Inside G the store lists the group S first, then the phrase C.
    Select(c);
    EXPECT_FALSE(Enabled(PhrasesPane::kCmdMoveUp)) << "the neighbour above is a group";
    EXPECT_FALSE(Enabled(PhrasesPane::kCmdMoveDown));
    EXPECT_TRUE(Enabled(PhrasesPane::kCmdMoveToRoot));

    Select(a);
    EXPECT_FALSE(Enabled(PhrasesPane::kCmdMoveToRoot));
    HTREEITEM first = TreeView_GetRoot(Tree());
    const int firstId = Pane().GetTree().GetItemId(first);
    const int secondId = Pane().GetTree().GetItemId(TreeView_GetNextSibling(Tree(), first));
    Select(secondId);
    ASSERT_TRUE(Enabled(PhrasesPane::kCmdMoveUp));
    Command(PhrasesPane::kCmdMoveUp);
    EXPECT_EQ(secondId, Pane().GetTree().GetItemId(TreeView_GetRoot(Tree())));
    store.FlushSaves();
    CEditorPhraseStore reader;
    reader.Load(temp.PathOf(L"phrases").c_str());
    const PhraseItemRecord* movedUp = reader.FindItemByPath(store.FindItemById(secondId)->GetPath());
    const PhraseItemRecord* movedDown = reader.FindItemByPath(store.FindItemById(firstId)->GetPath());
    ASSERT_TRUE(movedUp && movedDown);
    EXPECT_LT(static_cast<unsigned>(movedUp->sortId), static_cast<unsigned>(movedDown->sortId))
        << "the new order is on disk";
    EXPECT_FALSE(Enabled(PhrasesPane::kCmdMoveUp)) << "first of the level";

    Select(c);
    Command(PhrasesPane::kCmdMoveToRoot);
    EXPECT_TRUE(temp.Exists(L"phrases\\C.scrivolanter"));
    EXPECT_FALSE(temp.Exists(L"phrases\\G\\C.scrivolanter"));
    EXPECT_EQ(-1, store.GetParentId(Pane().GetTree().GetSelectedId()));
}

TEST_F(PhrasesPaneTest, CutPasteMovesCopyPasteCopiesAndPasteEnablementFollowsTheTarget)
{
    EXPECT_FALSE(Enabled(PhrasesPane::kCmdPaste)) << "nothing marked";
    Select(c);
    Command(PhrasesPane::kCmdCut);
    EXPECT_TRUE(TreeView_GetItemState(Tree(), Pane().GetTree().FindItemById(c), TVIS_CUT) & TVIS_CUT);
    ASSERT_NE(nullptr, frame->GetMenuToolTip());
    EXPECT_GE(frame->GetMenuToolTip()->GetTipString(PhrasesPane::kCmdPaste).Find(L"\n\n C"), 0)
        << "the Paste tip names the marked phrase";
    Select(g);
    EXPECT_FALSE(Enabled(PhrasesPane::kCmdPaste)) << "the group already holds the cut item";
    Select(h);
    ASSERT_TRUE(Enabled(PhrasesPane::kCmdPaste));
    Command(PhrasesPane::kCmdPaste);
    EXPECT_TRUE(temp.Exists(L"phrases\\H\\C.scrivolanter"));
    EXPECT_FALSE(temp.Exists(L"phrases\\G\\C.scrivolanter"));
    EXPECT_TRUE(PhraseClipSet::Get().IsEmpty()) << "emptied by the paste";
    EXPECT_FALSE(Enabled(PhrasesPane::kCmdPaste));

    Select(d); // copy D into its own group: allowed, a second file
    Command(PhrasesPane::kCmdCopy);
    EXPECT_TRUE(Enabled(PhrasesPane::kCmdPaste));
    Command(PhrasesPane::kCmdPaste);
    EXPECT_TRUE(temp.Exists(L"phrases\\H\\D.scrivolanter"));
    int files = 0;
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW(temp.PathOf(L"phrases\\H\\*.scrivolanter").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &data))
        files += wcscmp(data.cFileName, L"FOLDER_SELF.scrivolanter") != 0 ? 1 : 0;
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    EXPECT_EQ(3, files) << "C moved in, D and its copy";
}

TEST_F(PhrasesPaneTest, DeleteRemovesTheFileSelectsTheParentAndLeavesNoStaleItem)
{
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(a)); // the text view edits A
    Select(c);
    Command(PhrasesPane::kCmdDelete);
    EXPECT_FALSE(temp.Exists(L"phrases\\G\\C.scrivolanter"));
    const int selected = Pane().GetTree().GetSelectedId();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(std::wstring(temp.PathOf(L"phrases\\G")), store.FindItemById(selected)->GetPath().GetString());
    // The edit of A was saved into A before the load; A's next save goes into A, nowhere else.
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(IdByPath(L"phrases\\B.scrivolanter")));
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(IdByPath(L"phrases\\A.scrivolanter")));
    const std::wstring typedForA = L"typed for " + temp.PathOf(L"phrases\\A.scrivolanter");
    EXPECT_EQ(typedForA, BodyOnDisk(L"phrases\\A.scrivolanter"));
    EXPECT_EQ(L"typed for " + temp.PathOf(L"phrases\\B.scrivolanter"),
              BodyOnDisk(L"phrases\\B.scrivolanter"));
    EXPECT_EQ(L"delta", BodyOnDisk(L"phrases\\H\\D.scrivolanter"));
}

TEST_F(PhrasesPaneTest, RereadKeepsTheCurrentPhraseAndItsEditInTheRightFile)
{
    // A new file on disk changes the load order, so ids of the next load differ from these.
    std::wstring firstFile;
    {
        CEditorPhraseStore writer;
        writer.Load(temp.PathOf(L"phrases").c_str());
        const int first = writer.AddPhrase(L"0 first", L"new", 0, -1);
        ASSERT_GE(first, 0);
        firstFile =
            writer.FindItemById(first)->GetPath().Mid(static_cast<int>(temp.Path().size()) + 1).GetString();
        writer.FlushSaves();
    }
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(b));
    PhraseClipSet::Get().Mark(store, c,
                              true); // C cut (a tree selection would make C current): marked by its file
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdReread, 0);
    const int current = static_cast<int>(doc->GetCurrentItem());
    ASSERT_GE(current, 0);
    EXPECT_EQ(std::wstring(temp.PathOf(L"phrases\\B.scrivolanter")),
              store.FindItemById(current)->GetPath().GetString())
        << "the same phrase is current after the load";
    EXPECT_EQ(IdByPath(L"phrases\\G\\C.scrivolanter"), PhraseClipSet::Get().GetFirstId(store))
        << "the mark still names C";
    // Every later save of the view goes into B.
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(IdByPath(L"phrases\\A.scrivolanter")));
    const std::wstring typedForB = L"typed for " + temp.PathOf(L"phrases\\B.scrivolanter");
    EXPECT_EQ(typedForB, BodyOnDisk(L"phrases\\B.scrivolanter"));
    EXPECT_EQ(L"new", BodyOnDisk(firstFile));
    EXPECT_EQ(L"gamma", BodyOnDisk(L"phrases\\G\\C.scrivolanter"));

    // Another folder: the marks are gone.
    const CString other = temp.CreateSubfolder(L"other").c_str();
    ASSERT_TRUE(frame->OpenPhrasesFolder(other, false));
    EXPECT_TRUE(PhraseClipSet::Get().IsEmpty());
}

TEST_F(PhrasesPaneTest, RenameFileStaysInTheOwnFolderTakesAFreeNameAndSkipsAFittingOne)
{
    const int nice = store.AddPhrase(L"Nice", L"text", 0, g);
    ASSERT_GE(nice, 0);
    store.FlushSaves();
    const std::wstring odd = temp.PathOf(L"phrases\\G\\odd.scrivolanter");
    ASSERT_TRUE(::MoveFileW(store.FindItemById(nice)->GetPath(), odd.c_str()));
    store.SetPath(nice, odd.c_str());
    temp.WriteBytes(L"phrases\\G\\Nice.scrivolanter", "taken");
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(nice));
    ProbeUI ui;
    ui.m_nID = CDoc::kCmdRenameFile;
    ui.DoUpdate(frame, TRUE);
    EXPECT_TRUE(ui.enabled);

    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdRenameFile, 0);
    const std::wstring renamed = store.FindItemById(nice)->GetPath().GetString();
    EXPECT_EQ(temp.PathOf(L"phrases\\G\\Nice_1.scrivolanter"), renamed);
    EXPECT_FALSE(temp.Exists(L"phrases\\G\\odd.scrivolanter"));
    EXPECT_EQ("taken", temp.ReadBytes(L"phrases\\G\\Nice.scrivolanter").value_or(""));
    EXPECT_FALSE(temp.Exists(L"phrases\\Nice.scrivolanter")) << "never moved to the root";
    EXPECT_EQ(std::wstring(settings.LastFile.GetString()), renamed) << "the document remembers the new path";

    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdRenameFile, 0);
    EXPECT_EQ(renamed, store.FindItemById(nice)->GetPath().GetString()) << "a fitting name stays";
    EXPECT_TRUE(temp.Exists(L"phrases\\G\\Nice_1.scrivolanter"));
}

TEST_F(PhrasesPaneTest, DataTypeAndFlagCommandsOfTheDocument)
{
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(a));
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdFormattedText, 0);
    EXPECT_EQ(1, store.FindItemById(a)->dataType);
    EXPECT_TRUE(frame->GetChangeDebounce().IsPending());
    EXPECT_FALSE(doc->SetCurrentDataType(1)) << "the same type twice changes nothing";
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdSeparatorBefore, 0);
    EXPECT_TRUE(store.FindItemById(a)->HasSeparatorBefore());
    ::SendMessageW(frame->m_hWnd, WM_COMMAND, CDoc::kCmdHideUnchecked, 0);
    EXPECT_EQ(0, settings.ShowUncheckedPhrases);
    ProbeUI ui;
    ui.m_nID = CDoc::kCmdPlainText;
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(g));
    ui.DoUpdate(frame, TRUE);
    EXPECT_FALSE(ui.enabled) << "a group has no data type";
}

TEST_F(PhrasesPaneTest, DragOntoAGroupMovesTheFileAndRefusedTargetsDoNothing)
{
    PhraseTreeCtrl& tree = Pane().GetTree();
    TreeDragDropTracker& tracker = tree.GetDragTracker();
    // Onto a phrase: refused, no mark, nothing moves.
    ASSERT_TRUE(tree.BeginDrag(tree.FindItemById(a)));
    EXPECT_EQ(nullptr, DragOver(CenterOf(b)));
    PostMouse(WM_LBUTTONUP, CenterOf(b));
    EXPECT_FALSE(tracker.IsDragging());
    EXPECT_EQ(TreeDragDropTracker::kRefused, tracker.GetLastEnd());
    EXPECT_TRUE(temp.Exists(L"phrases\\A.scrivolanter"));

    // Onto its own parent: refused.
    tree.ExpandToItem(tree.FindItemById(c));
    ASSERT_TRUE(tree.BeginDrag(tree.FindItemById(c)));
    EXPECT_EQ(nullptr, DragOver(CenterOf(g)));
    PostMouse(WM_LBUTTONUP, CenterOf(g));
    EXPECT_EQ(TreeDragDropTracker::kRefused, tracker.GetLastEnd());
    EXPECT_TRUE(temp.Exists(L"phrases\\G\\C.scrivolanter"));

    // Onto group H: the mark shows, the drop moves the file and selects the moved item.
    ASSERT_TRUE(tree.BeginDrag(tree.FindItemById(a)));
    EXPECT_EQ(tree.FindItemById(h), DragOver(CenterOf(h)));
    PostMouse(WM_LBUTTONUP, CenterOf(h));
    EXPECT_EQ(TreeDragDropTracker::kDropped, tracker.GetLastEnd());
    EXPECT_TRUE(temp.Exists(L"phrases\\H\\A.scrivolanter"));
    EXPECT_FALSE(temp.Exists(L"phrases\\A.scrivolanter"));
    const int moved = tree.GetSelectedId();
    EXPECT_EQ(IdByPath(L"phrases\\H\\A.scrivolanter"), moved);
    EXPECT_EQ(tree.FindItemById(h), TreeView_GetParent(Tree(), tree.FindItemById(moved)));
    EXPECT_NE(::GetCapture(), Tree()) << "the capture is released";
}

TEST_F(PhrasesPaneTest, DragEndsOnEscapeAndOnCaptureLoss)
{
    PhraseTreeCtrl& tree = Pane().GetTree();
    TreeDragDropTracker& tracker = tree.GetDragTracker();
    ASSERT_TRUE(tree.BeginDrag(tree.FindItemById(a)));
    EXPECT_EQ(Tree(), ::GetCapture());
    ::PostMessageW(Tree(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pump(20);
    EXPECT_FALSE(tracker.IsDragging());
    EXPECT_EQ(TreeDragDropTracker::kCancelled, tracker.GetLastEnd());

    ASSERT_TRUE(tree.BeginDrag(tree.FindItemById(a)));
    ::ReleaseCapture();
    for (int i = 0; i < 40 && tracker.IsDragging(); ++i)
        Pump(5);
    EXPECT_FALSE(tracker.IsDragging());
    EXPECT_EQ(TreeDragDropTracker::kCancelled, tracker.GetLastEnd());
    EXPECT_TRUE(temp.Exists(L"phrases\\A.scrivolanter"));
}

TEST_F(PhrasesPaneTest, RefusedAndCancelledDragsLeaveNoRedMarkOnScreen)
{
    PhraseTreeCtrl& tree = Pane().GetTree();
    TreeDragDropTracker& tracker = tree.GetDragTracker();
    ASSERT_EQ(0, RedPixels()) << "nothing red before a drag";
    for (const bool escape : {false, true}) {
        ASSERT_TRUE(tree.BeginDrag(tree.FindItemById(a)));
        ASSERT_EQ(tree.FindItemById(h), DragOver(CenterOf(h)));
        EXPECT_GT(RedPixels(), 0) << "the mark shows over an allowed group";
        if (escape) {
            ::PostMessageW(Tree(), WM_KEYDOWN, VK_ESCAPE, 0);
            Pump(20);
        } else {
            ASSERT_EQ(nullptr, DragOver(CenterOf(b)));
            EXPECT_EQ(0, RedPixels()) << "a refused target shows no mark";
            PostMouse(WM_LBUTTONUP, CenterOf(b));
        }
        EXPECT_FALSE(tracker.IsDragging());
        EXPECT_EQ(escape ? TreeDragDropTracker::kCancelled : TreeDragDropTracker::kRefused,
                  tracker.GetLastEnd());
        EXPECT_EQ(0, RedPixels()) << (escape ? "Esc" : "a refused drop") << " leaves no mark behind";
    }
    tree.InsertItem(L"Fresh", 9999, nullptr, false, 3, true);
    EXPECT_EQ(0, RedPixels()) << "an item made afterwards carries no mark either";
    EXPECT_TRUE(temp.Exists(L"phrases\\A.scrivolanter"));
}

TEST_F(PhrasesPaneTest, DragAutoExpandsAGroupHeldOverItsIcon)
{
    PhraseTreeCtrl& tree = Pane().GetTree();
    HTREEITEM group = tree.FindItemById(h);
    TreeView_Expand(Tree(), group, TVE_COLLAPSE);
    RECT text = {};
    ASSERT_TRUE(TreeView_GetItemRect(Tree(), group, &text, TRUE));
    // The group's button (or icon) left of its label.
    POINT icon = {-1, (text.top + text.bottom) / 2};
    for (int x = text.left - 1; x >= 0 && icon.x < 0; --x) {
        TVHITTESTINFO hit = {};
        hit.pt = POINT{x, icon.y};
        if (TreeView_HitTest(Tree(), &hit) == group && (hit.flags & (TVHT_ONITEMBUTTON | TVHT_ONITEMICON)))
            icon.x = x;
    }
    ASSERT_GE(icon.x, 0);
    ASSERT_TRUE(tree.BeginDrag(tree.FindItemById(a)));
    PostMouse(WM_MOUSEMOVE, icon);
    EXPECT_EQ(group, tree.GetDragTracker().GetExpandCandidate());
    EXPECT_FALSE(TreeView_GetItemState(Tree(), group, TVIS_EXPANDED) & TVIS_EXPANDED) << "not at once";
    for (int i = 0; i < 500 && !(TreeView_GetItemState(Tree(), group, TVIS_EXPANDED) & TVIS_EXPANDED); ++i)
        Pump(10);
    EXPECT_TRUE(TreeView_GetItemState(Tree(), group, TVIS_EXPANDED) & TVIS_EXPANDED);
    tree.GetDragTracker().Cancel();
}

TEST_F(PhrasesPaneTest, DragNearTheTopScrollsOneLinePerMoveAndNotAtTheTop)
{
    for (int i = 0; i < 40; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"P%02d", i);
        ASSERT_GE(store.AddPhrase(name, L"x", 0, -1), 0);
    }
    doc->UpdateViewsForItem(nullptr, kHintLibraryChanged, nullptr);
    PhraseTreeCtrl& tree = Pane().GetTree();
    ::SendMessageW(Tree(), WM_VSCROLL, SB_BOTTOM, 0);
    const int bottom = ::GetScrollPos(Tree(), SB_VERT);
    ASSERT_GT(bottom, 0);
    ASSERT_TRUE(tree.BeginDrag(tree.FindItemById(a)));
    // The scroll comes from a timer after the move.
    const auto scrolledFrom = [&](int position) {
        for (int i = 0; i < 500 && ::GetScrollPos(Tree(), SB_VERT) == position; ++i)
            Pump(10);
        return ::GetScrollPos(Tree(), SB_VERT);
    };
    PostMouse(WM_MOUSEMOVE, POINT{40, 2});
    EXPECT_EQ(TreeDragDropTracker::kZoneBefore, tree.GetDragTracker().GetVerticalZone());
    EXPECT_EQ(bottom - 1, scrolledFrom(bottom)) << "one line for one move";
    PostMouse(WM_MOUSEMOVE, POINT{40, 3});
    EXPECT_EQ(bottom - 2, scrolledFrom(bottom - 1));

    ::SendMessageW(Tree(), WM_VSCROLL, SB_TOP, 0);
    PostMouse(WM_MOUSEMOVE, POINT{40, 2});
    Pump(150);
    EXPECT_EQ(0, ::GetScrollPos(Tree(), SB_VERT));
    EXPECT_EQ(TreeDragDropTracker::kZoneNone, tree.GetDragTracker().GetVerticalZone());
    tree.GetDragTracker().Cancel();
}

TEST(TreeDragZones, EdgesOfTheClientGiveTheScrollZones)
{
    const RECT client = {0, 0, 200, 300};
    struct Case
    {
        POINT point;
        bool scrolledDown;
        bool scrolledRight;
        int vertical;
        int horizontal;
    } cases[] = {
        {{100, 10}, true, false, TreeDragDropTracker::kZoneBefore, TreeDragDropTracker::kZoneNone},
        {{100, 10}, false, false, TreeDragDropTracker::kZoneNone, TreeDragDropTracker::kZoneNone},
        {{100, 35}, true, false, TreeDragDropTracker::kZoneBefore, TreeDragDropTracker::kZoneNone},
        {{100, 36}, true, false, TreeDragDropTracker::kZoneNone, TreeDragDropTracker::kZoneNone},
        {{100, 290}, false, false, TreeDragDropTracker::kZoneAfter, TreeDragDropTracker::kZoneNone},
        {{5, 150}, false, true, TreeDragDropTracker::kZoneNone, TreeDragDropTracker::kZoneBefore},
        {{5, 150}, false, false, TreeDragDropTracker::kZoneNone, TreeDragDropTracker::kZoneNone},
        {{195, 150}, false, false, TreeDragDropTracker::kZoneNone, TreeDragDropTracker::kZoneAfter},
    };
    for (const Case& test : cases) {
        int vertical = -1, horizontal = -1;
        TreeDragDropTracker::ZonesOf(test.point, client, 18, test.scrolledDown, test.scrolledRight, &vertical,
                                     &horizontal);
        EXPECT_EQ(test.vertical, vertical) << test.point.x << "," << test.point.y;
        EXPECT_EQ(test.horizontal, horizontal) << test.point.x << "," << test.point.y;
    }
}

TEST(MainFrameMenus, RecentFoldersAndLanguagesStayWithinTheirIdRanges)
{
    scvtest::TempFolder temp;
    scvtest::TempSettingsEnvironment environment{temp};
    CEditorSettings settings{environment};
    settings.LoadEditor();
    for (int i = 0; i < 12; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"folder%02d", i);
        const std::wstring path = i == 3 ? temp.PathOf(name) : temp.CreateSubfolder(name);
        settings.AddRecentFolder(path.c_str());
    }
    settings.SetPhrasesDirectory(temp.PathOf(L"folder05").c_str());
    HMENU popup = ::CreatePopupMenu();
    for (UINT id : {32833u, 32838u, 32839u})
        ::AppendMenuW(popup, MF_STRING, id, L"fixed");
    EXPECT_EQ(10, CMainFrame::FillRecentFoldersMenu(popup, settings));
    EXPECT_EQ(3 + 1 + 10, ::GetMenuItemCount(popup));
    for (int i = 4; i < ::GetMenuItemCount(popup); ++i) {
        const UINT id = ::GetMenuItemID(popup, i);
        EXPECT_GE(id, CMainFrame::kFirstRecentFolderCommand);
        EXPECT_LE(id, CMainFrame::kLastRecentFolderCommand);
    }
    wchar_t text[128] = {};
    bool notFoundShown = false;
    bool currentChecked = false;
    for (int i = 4; i < ::GetMenuItemCount(popup); ++i) {
        ::GetMenuStringW(popup, i, text, 128, MF_BYPOSITION);
        notFoundShown = notFoundShown || std::wstring(text) == L"folder03 [not found]";
        if (std::wstring(text) == L"folder05")
            currentChecked = (::GetMenuState(popup, i, MF_BYPOSITION) & MF_CHECKED) != 0;
    }
    EXPECT_TRUE(notFoundShown);
    EXPECT_TRUE(currentChecked);
    EXPECT_EQ(10, CMainFrame::FillRecentFoldersMenu(popup, settings)) << "filled again, not appended";
    EXPECT_EQ(14, ::GetMenuItemCount(popup));
    ::DestroyMenu(popup);

    const std::wstring languages = temp.CreateSubfolder(L"languages");
    for (int i = 0; i < 60; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"languages\\Lang%02d.lng", i);
        temp.WriteUtf16(name, L"[Main]\r\nLangLocalized=Lang\r\n");
    }
    HMENU languageMenu = ::CreatePopupMenu();
    ::AppendMenuW(languageMenu, MF_STRING, 32776, L"How to");
    ::AppendMenuW(languageMenu, MF_STRING, 32823, L"Make");
    std::vector<CString> list;
    EXPECT_EQ(50, CMainFrame::FillLanguageMenu(languageMenu, list, L"", languages.c_str()));
    EXPECT_EQ(50u, list.size());
    const int count = ::GetMenuItemCount(languageMenu);
    EXPECT_EQ(2 + 1 + 50, count);
    EXPECT_EQ(CMainFrame::kLastLanguageCommand, ::GetMenuItemID(languageMenu, count - 1));
    ::DestroyMenu(languageMenu);

    HMENU empty = ::CreatePopupMenu();
    ::AppendMenuW(empty, MF_STRING, 32776, L"How to");
    ::AppendMenuW(empty, MF_STRING, 32823, L"Make");
    EXPECT_EQ(0, CMainFrame::FillLanguageMenu(empty, list, L"", temp.CreateSubfolder(L"none").c_str()));
    EXPECT_EQ(2, ::GetMenuItemCount(empty)) << "no separator without languages";
    ::DestroyMenu(empty);
}

TEST_F(PhrasesPaneTest, TreeAndFolderListDrawUncheckedItemsStruckOutAndMissingOnesRed)
{
    store.SetIncluded(c, false);
    doc->UpdateViewsForItem(nullptr, kHintLibraryChanged, nullptr);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    auto fontOf = [&](HDC hdc) {
        LOGFONTW font = {};
        ::GetObjectW(::GetCurrentObject(hdc, OBJ_FONT), sizeof(font), &font);
        return font;
    };

    // The tree: an unchecked item in the struck-out font.
    PhraseTreeCtrl& tree = Pane().GetTree();
    NMTVCUSTOMDRAW treeDraw = {};
    treeDraw.nmcd.hdr.hwndFrom = Tree();
    treeDraw.nmcd.hdr.idFrom = PhraseTreeCtrl::kControlId;
    treeDraw.nmcd.hdr.code = NM_CUSTOMDRAW;
    treeDraw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    treeDraw.nmcd.hdc = dc;
    treeDraw.nmcd.dwItemSpec = reinterpret_cast<DWORD_PTR>(tree.FindItemById(c));
    LRESULT result = ::SendMessageW(Pane().m_hWnd, WM_NOTIFY, PhraseTreeCtrl::kControlId,
                                    reinterpret_cast<LPARAM>(&treeDraw));
    EXPECT_TRUE(result & CDRF_NEWFONT);
    EXPECT_TRUE(fontOf(dc).lfStrikeOut);
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), treeDraw.clrText);

    // The folder list of G: C grey and struck out, an item the store no longer has in red.
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(g));
    auto* list = dynamic_cast<CFolderView*>(frame->GetActiveView());
    ASSERT_NE(nullptr, list);
    NMLVCUSTOMDRAW listDraw = {};
    listDraw.nmcd.hdr.hwndFrom = list->m_hWnd;
    listDraw.nmcd.hdr.idFrom = ::GetDlgCtrlID(list->m_hWnd);
    listDraw.nmcd.hdr.code = NM_CUSTOMDRAW;
    listDraw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    listDraw.nmcd.hdc = dc;
    listDraw.nmcd.lItemlParam = c;
    result = ::SendMessageW(frame->m_hWnd, WM_NOTIFY, listDraw.nmcd.hdr.idFrom,
                            reinterpret_cast<LPARAM>(&listDraw));
    EXPECT_TRUE(result & CDRF_NOTIFYSUBITEMDRAW);
    EXPECT_EQ(::GetSysColor(COLOR_GRAYTEXT), listDraw.clrText);
    EXPECT_TRUE(fontOf(dc).lfStrikeOut);
    listDraw.nmcd.lItemlParam = a;
    ::SendMessageW(frame->m_hWnd, WM_NOTIFY, listDraw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&listDraw));
    EXPECT_EQ(FW_BOLD, fontOf(dc).lfWeight) << "an included item is bold";
    listDraw.nmcd.lItemlParam = 9999;
    ::SendMessageW(frame->m_hWnd, WM_NOTIFY, listDraw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&listDraw));
    EXPECT_EQ(RGB(255, 0, 0), listDraw.clrText);
    ::DeleteDC(dc);
}

TEST_F(PhrasesPaneTest, MetaTextsCountIncludedChildrenAndUsage)
{
    store.SetIncluded(d, false);
    EXPECT_EQ(L"1/2 childrens",
              std::wstring(PhraseTreeCtrl::MetaTextOf(store, *store.FindItemById(g)).GetString()));
    EXPECT_EQ(L"0/1 childrens",
              std::wstring(PhraseTreeCtrl::MetaTextOf(store, *store.FindItemById(h)).GetString()));
    PhraseItemRecord* phrase = store.FindItemById(a);
    EXPECT_EQ(L"", std::wstring(PhraseTreeCtrl::MetaTextOf(store, *phrase).GetString()));
    phrase->usageCount = 4;
    phrase->useTitleOnly = 1;
    EXPECT_EQ(L"[4 times], title only", std::wstring(PhraseTreeCtrl::MetaTextOf(store, *phrase).GetString()));
}

TEST_F(PhrasesPaneTest, ToolbarButtonHidesUncheckedPhrasesThroughTheDocument)
{
    HWND toolbar = Pane().GetToolBar().m_hWnd;
    ASSERT_TRUE(::IsWindow(toolbar));
    EXPECT_EQ(3, ::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    wchar_t text[64] = {};
    ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, PhrasesPane::kCmdNewPlain, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(L"Add New As Unformatted Text", text);
    ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, PhrasesPane::kCmdHideUnchecked,
                   reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(L"All Phrases", text);
    RECT pane = {};
    RECT bar = {};
    RECT tree = {};
    ::GetWindowRect(Pane().m_hWnd, &pane);
    ::GetWindowRect(toolbar, &bar);
    ::GetWindowRect(Tree(), &tree);
    EXPECT_EQ(bar.bottom + 4, tree.top) << "the tree starts 4 pixels below the toolbar";

    store.SetIncluded(d, false);
    ::SendMessageW(Pane().m_hWnd, WM_COMMAND, MAKEWPARAM(PhrasesPane::kCmdHideUnchecked, BN_CLICKED),
                   reinterpret_cast<LPARAM>(toolbar));
    EXPECT_EQ(0, settings.ShowUncheckedPhrases);
    EXPECT_TRUE(::SendMessageW(toolbar, TB_ISBUTTONCHECKED, PhrasesPane::kCmdHideUnchecked, 0));
    ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, PhrasesPane::kCmdHideUnchecked,
                   reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(L"Checked Only", text);
    EXPECT_EQ(nullptr, Pane().GetTree().FindItemById(d));
}

namespace
{

int ImageOf(HWND tree, HTREEITEM item)
{
    TVITEMW data = {};
    data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    data.hItem = item;
    ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return data.iImage == data.iSelectedImage ? data.iImage : -100 - data.iSelectedImage;
}

// Hears the document's hints as the panes do.
struct HintRecorder : IDocUpdateListener
{
    HWND GetListenerWindow() override { return nullptr; }
    void OnDocUpdate(CView*, LPARAM hint, CObject*) override { hints.push_back(static_cast<int>(hint)); }
    int Count(int hint) const { return static_cast<int>(std::count(hints.begin(), hints.end(), hint)); }
    std::vector<int> hints;
};

} // namespace

TEST_F(PhrasesPaneTest, TreeAndFolderListShowTheImageOfEachKindAndAnOpenFolderWhileExpanded)
{
    const int rtf = store.AddPhrase(L"R", L"{\\rtf1 r}", 1, g);
    const int exec = store.AddPhrase(L"E", L"notepad.exe", 2, g);
    ASSERT_GE(exec, 0);
    doc->UpdateViewsForItem(nullptr, kHintFolderReopened, nullptr);
    PhraseTreeCtrl& tree = Pane().GetTree();
    ASSERT_NE(nullptr, GetPhraseKindImageList());
    EXPECT_EQ(GetPhraseKindImageList(), TreeView_GetImageList(Tree(), TVSIL_NORMAL));
    const struct
    {
        int id;
        int image;
    } kinds[] = {{a, 3}, {c, 3}, {rtf, 2}, {exec, 4}, {g, 0}, {s, 0}, {h, 0}};
    for (const auto& k : kinds)
        EXPECT_EQ(k.image, ImageOf(Tree(), tree.FindItemById(k.id))) << k.id;

    // Expanded by message (the control reports only the first time) and by a click on the button.
    HTREEITEM group = tree.FindItemById(g);
    for (int round = 0; round < 2; ++round) {
        TreeView_Expand(Tree(), group, TVE_EXPAND);
        EXPECT_EQ(1, ImageOf(Tree(), group)) << round;
        TreeView_Expand(Tree(), group, TVE_COLLAPSE);
        EXPECT_EQ(0, ImageOf(Tree(), group)) << round;
    }
    HTREEITEM other = tree.FindItemById(h);
    TVHITTESTINFO hit = {};
    RECT row = {};
    ASSERT_TRUE(TreeView_GetItemRect(Tree(), other, &row, FALSE));
    hit.pt.y = (row.top + row.bottom) / 2;
    for (hit.pt.x = 0; hit.pt.x < row.right; ++hit.pt.x)
        if (TreeView_HitTest(Tree(), &hit) == other && (hit.flags & TVHT_ONITEMBUTTON))
            break;
    ASSERT_LT(hit.pt.x, row.right) << "the group has an expand button";
    ::SendMessageW(Tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(hit.pt.x, hit.pt.y));
    ::SendMessageW(Tree(), WM_LBUTTONUP, 0, MAKELPARAM(hit.pt.x, hit.pt.y));
    EXPECT_TRUE(TreeView_GetItemState(Tree(), other, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(1, ImageOf(Tree(), other));

    // The document's data-type change gives the item the new kind's image; a new phrase has its own.
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(a));
    ASSERT_TRUE(doc->SetCurrentDataType(2));
    EXPECT_EQ(4, ImageOf(Tree(), tree.FindItemById(a)));
    Command(PhrasesPane::kCmdNewFormatted);
    TreeView_EndEditLabelNow(Tree(), TRUE);
    HTREEITEM created = TreeView_GetSelection(Tree());
    ASSERT_NE(nullptr, created);
    EXPECT_NE(a, tree.GetItemId(created));
    EXPECT_EQ(2, ImageOf(Tree(), created));

    // The folder list of G shares the images.
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(g));
    auto* list = dynamic_cast<CFolderView*>(frame->GetActiveView());
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(GetPhraseKindImageList(),
              reinterpret_cast<HIMAGELIST>(::SendMessageW(list->m_hWnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0)));
    const struct
    {
        int id;
        int image;
    } rows[] = {{c, 3}, {rtf, 2}, {exec, 4}, {s, 0}};
    for (const auto& r : rows) {
        LVFINDINFOW find = {};
        find.flags = LVFI_PARAM;
        find.lParam = r.id;
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = static_cast<int>(
            ::SendMessageW(list->m_hWnd, LVM_FINDITEMW, -1, reinterpret_cast<LPARAM>(&find)));
        ASSERT_GE(item.iItem, 0) << r.id;
        ::SendMessageW(list->m_hWnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(r.image, item.iImage) << r.id;
    }
}

TEST_F(PhrasesPaneTest, ItemTipShowsWhenTheMouseRestsAndHidesOffTheItemOnLeavingAndOnDragging)
{
    PhraseTreeCtrl& tree = Pane().GetTree();
    CTreeHoverTracker& tip = tree.GetHoverTracker();
    FakeClock clock;
    tip.SetClock(&clock);
    struct ClockBack
    {
        CTreeHoverTracker& tip;
        ~ClockBack() { tip.SetClock(nullptr); }
    } clockBack{tip};
    store.FindItemById(a)->SetTitle(L"A <first>");
    const POINT onA = CenterOf(a);
    const POINT onB = CenterOf(b);
    auto askTip = [&](int id) {
        wchar_t buffer[80] = L"the control's own";
        NMTVGETINFOTIPW request = {};
        request.hdr.hwndFrom = Tree();
        request.hdr.idFrom = PhraseTreeCtrl::kControlId;
        request.hdr.code = TVN_GETINFOTIPW;
        request.hItem = tree.FindItemById(id);
        request.lParam = id;
        request.pszText = buffer;
        request.cchTextMax = 80;
        ::SendMessageW(Pane().m_hWnd, WM_NOTIFY, PhraseTreeCtrl::kControlId,
                       reinterpret_cast<LPARAM>(&request));
        EXPECT_STREQ(L"", buffer);
    };
    auto restOn = [&](POINT client) {
        clock.cursor = client;
        ::ClientToScreen(Tree(), &clock.cursor);
        clock.Advance(tip, 1000);
    };
    auto settle = [&] { clock.Advance(tip, 2000); };

    askTip(a);
    EXPECT_TRUE(clock.Running(CTreeHoverTracker::kTimerItem));
    restOn(onA);
    settle();
    ASSERT_EQ(2, tip.State()) << "shown once the mouse rested a second on the item";
    const std::wstring shown = tip.CurrentTool().text;
    EXPECT_NE(shown.find(L"<font style=b>Menu Name</font>: A &lt;first&gt;"), std::wstring::npos) << shown;
    EXPECT_NE(shown.find(L"<icon handle="), std::wstring::npos) << "with the item's image";
    ::SendMessageW(Tree(), WM_MOUSEMOVE, 0, MAKELPARAM(onA.x + 1, onA.y));
    EXPECT_EQ(2, tip.State()) << "moving on the item keeps the tip";
    ::SendMessageW(Tree(), WM_MOUSEMOVE, 0, MAKELPARAM(onB.x, onB.y));
    settle();
    EXPECT_EQ(0, tip.State()) << "moving onto another item hides it";

    askTip(b);
    restOn(onA);
    settle();
    EXPECT_EQ(0, tip.State()) << "the mouse went on to another item within the second";

    askTip(b);
    restOn(onB);
    settle();
    ASSERT_EQ(2, tip.State());
    ::SendMessageW(Tree(), WM_MOUSELEAVE, 0, 0);
    settle();
    EXPECT_EQ(0, tip.State()) << "leaving the window hides it";

    askTip(b);
    restOn(onB);
    settle();
    ASSERT_EQ(2, tip.State());
    NMTREEVIEWW begin = {};
    begin.hdr.hwndFrom = Tree();
    begin.hdr.idFrom = PhraseTreeCtrl::kControlId;
    begin.hdr.code = TVN_BEGINDRAGW;
    begin.itemNew.hItem = tree.FindItemById(b);
    begin.ptDrag = onB;
    ::SendMessageW(Pane().m_hWnd, WM_NOTIFY, PhraseTreeCtrl::kControlId, reinterpret_cast<LPARAM>(&begin));
    settle();
    EXPECT_EQ(0, tip.State()) << "a drag hides it";
    ASSERT_TRUE(tree.GetDragTracker().IsDragging());
    askTip(a);
    EXPECT_FALSE(clock.Running(CTreeHoverTracker::kTimerItem)) << "no tips while dragging";
    tree.GetDragTracker().Cancel();
}

TEST_F(PhrasesPaneTest, AnEmptyTreePaintsOnlyItsHint)
{
    PhraseTreeCtrl& tree = Pane().GetTree();
    EXPECT_FALSE(tree.GetCueText().ShouldShow());
    settings.ShowUncheckedPhrases = 0;
    doc->UpdateViewsForItem(nullptr, kHintUncheckAll, nullptr);
    doc->UpdateViewsForItem(nullptr, kHintShowUnchecked, nullptr);
    ASSERT_EQ(0u, TreeView_GetCount(Tree()));
    EXPECT_TRUE(tree.GetCueText().ShouldShow());
    EXPECT_EQ(CString(L"Right click to add new phrase"), tree.GetCueText().GetText());

    // Pixels of the middle band that differ from the window colour.
    auto middlePixels = [&] {
        RECT client = {};
        ::GetClientRect(Tree(), &client);
        HDC dc = ::GetDC(Tree());
        int count = 0;
        for (int y = client.bottom / 2 - 6; y <= client.bottom / 2 + 6; ++y)
            for (int x = 0; x < client.right; ++x)
                count += ::GetPixel(dc, x, y) != ::GetSysColor(COLOR_WINDOW) ? 1 : 0;
        ::ReleaseDC(Tree(), dc);
        return count;
    };
    ::RedrawWindow(Tree(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_GT(middlePixels(), 10) << "the hint is drawn across the middle";

    Command(PhrasesPane::kCmdNewPlain);
    TreeView_EndEditLabelNow(Tree(), TRUE);
    ASSERT_EQ(1u, TreeView_GetCount(Tree()));
    ::UpdateWindow(Tree());
    EXPECT_EQ(0, middlePixels()) << "the first item wipes the hint";
}

TEST_F(PhrasesPaneTest, EnterAndTabOpenThePhraseAndAReleaseRightOfTheTextSelects)
{
    HintRecorder recorder;
    doc->AddUpdateListener(&recorder);
    for (WPARAM key : {VK_RETURN, VK_TAB}) {
        MSG msg = {Tree(), WM_KEYDOWN, key, 0};
        EXPECT_TRUE(Pane().PreTranslateMessage(&msg)) << key;
    }
    EXPECT_EQ(2, recorder.Count(kHintOpenPhrase));

    Select(a);
    Command(PhrasesPane::kCmdRename);
    HWND edit = TreeView_GetEditControl(Tree());
    ASSERT_NE(nullptr, edit);
    MSG enter = {edit, WM_KEYDOWN, VK_RETURN, 0};
    EXPECT_TRUE(Pane().PreTranslateMessage(&enter));
    EXPECT_EQ(nullptr, TreeView_GetEditControl(Tree())) << "Enter ends the label edit";
    EXPECT_EQ(2, recorder.Count(kHintOpenPhrase)) << "and opens nothing";

    RECT text = {};
    HTREEITEM item = Pane().GetTree().FindItemById(b);
    ASSERT_TRUE(TreeView_GetItemRect(Tree(), item, &text, TRUE));
    RECT client = {};
    ::GetClientRect(Tree(), &client);
    ASSERT_LT(text.right + 20, client.right);
    ::SendMessageW(Tree(), WM_LBUTTONUP, 0, MAKELPARAM(text.right + 20, (text.top + text.bottom) / 2));
    EXPECT_EQ(item, TreeView_GetSelection(Tree()));
    doc->RemoveUpdateListener(&recorder);
}

TEST_F(PhrasesPaneTest, EnsureVisibleScrollsVerticallyOnly)
{
    store.FindItemById(b)->SetTitle(std::wstring(150, L'W').c_str());
    doc->UpdateViewsForItem(nullptr, kHintFolderReopened, nullptr);
    ::MoveWindow(Tree(), 0, 40, 120, 300, TRUE);
    for (int i = 0; i < 6; ++i)
        ::SendMessageW(Tree(), WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    const int scrolled = ::GetScrollPos(Tree(), SB_HORZ);
    ASSERT_GT(scrolled, 0) << "the long label gives a horizontal scroll range";
    TreeView_EnsureVisible(Tree(), Pane().GetTree().FindItemById(d));
    EXPECT_EQ(scrolled, ::GetScrollPos(Tree(), SB_HORZ));
    EXPECT_TRUE(TreeView_GetItemState(Tree(), TreeView_GetParent(Tree(), Pane().GetTree().FindItemById(d)),
                                      TVIS_EXPANDED) &
                TVIS_EXPANDED)
        << "the control's own work is done";
}

TEST_F(PhrasesPaneTest, InvertTogglesEveryPhraseAndCheckAllReachesIntoGroups)
{
    const int e = store.AddPhrase(L"E", L"epsilon", 0, h);
    store.SetIncluded(d, false);
    doc->UpdateViewsForItem(nullptr, kHintFolderReopened, nullptr);
    doc->UpdateViewsForItem(nullptr, kHintInvertChecks, nullptr);
    PhraseTreeCtrl& tree = Pane().GetTree();
    const struct
    {
        int id;
        bool checked;
    } inverted[] = {{a, false}, {b, false}, {c, false}, {d, true}, {e, false}};
    for (const auto& i : inverted) {
        EXPECT_EQ(i.checked, CEditorPhraseStore::IsIncluded(*store.FindItemById(i.id))) << i.id;
        EXPECT_EQ(i.checked, tree.GetCheck(tree.FindItemById(i.id))) << i.id;
    }
    doc->UpdateViewsForItem(nullptr, kHintCheckAll, nullptr);
    for (const auto& i : inverted)
        EXPECT_TRUE(CEditorPhraseStore::IsIncluded(*store.FindItemById(i.id))) << i.id;
    int included = 0;
    int all = 0;
    store.CountItems(&included, &all);
    wchar_t caption[64] = {};
    ::GetWindowTextW(Pane().m_hWnd, caption, 64);
    EXPECT_EQ(L"Phrases [" + std::to_wstring(included) + L"/" + std::to_wstring(all) + L"]",
              std::wstring(caption))
        << "the counter follows once the lock is gone";
}

namespace
{

struct PropertiesRequest
{
    std::wstring verb;
    std::wstring file;
    ULONG mask = 0;
    HWND owner = nullptr;
};
std::vector<PropertiesRequest> g_shellRequests;

// Records what the shell is asked; no sheet is opened.
BOOL WINAPI RecordShellExecute(SHELLEXECUTEINFOW* info)
{
    g_shellRequests.push_back({info->lpVerb ? info->lpVerb : L"", info->lpFile ? info->lpFile : L"",
                               info->fMask, info->hwnd});
    return TRUE;
}

} // namespace

TEST_F(PhrasesPaneTest, PropertiesAsksTheShellForTheSheetOfTheSelectedFileOrFolder)
{
    g_shellRequests.clear();
    scvtest::ImportPatch patch(::GetModuleHandleW(nullptr), "shell32.dll", "ShellExecuteExW",
                               reinterpret_cast<void*>(&RecordShellExecute));
    ASSERT_TRUE(patch.Applied());
    struct Case
    {
        int id;
        const wchar_t* relative;
    };
    const Case cases[] = {{c, L"phrases\\G\\C.scrivolanter"}, {h, L"phrases\\H"}};
    for (const Case& item : cases) {
        g_shellRequests.clear();
        Select(item.id);
        ASSERT_TRUE(Enabled(PhrasesPane::kCmdProperties));
        Command(PhrasesPane::kCmdProperties);
        ASSERT_EQ(1u, g_shellRequests.size()) << item.relative;
        const PropertiesRequest& request = g_shellRequests.front();
        EXPECT_EQ(L"properties", request.verb);
        EXPECT_EQ(temp.PathOf(item.relative), request.file);
        EXPECT_EQ(static_cast<ULONG>(SEE_MASK_INVOKEIDLIST), request.mask & SEE_MASK_INVOKEIDLIST);
        EXPECT_EQ(Pane().m_hWnd, request.owner);
    }
    // With nothing selected there is nothing to show.
    g_shellRequests.clear();
    TreeView_SelectItem(Tree(), nullptr);
    EXPECT_FALSE(Enabled(PhrasesPane::kCmdProperties));
    Command(PhrasesPane::kCmdProperties);
    EXPECT_TRUE(g_shellRequests.empty());
}
