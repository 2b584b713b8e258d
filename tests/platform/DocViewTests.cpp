// test-sources: PlatformTests.rc
// The document/view layer: command routing through view, document, frame and application; command-UI updates
// of a popup menu; swapping the main view by run-time class; UpdateAllViews hints; reflection of
// notifications and the pre-translate walk; the frame's bar layout; frames and views that refuse their
// creation, and a frame closed from a handler of a window it owns.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/docview/App.h"
#include "platform/docview/ControlBars.h"
#include "platform/docview/DocView.h"
#include "platform/docview/FrameWnd.h"

namespace
{

std::vector<std::string> g_log;

struct Hint : public CObject
{};

// Commands 1001..1004 are handled by fewer and fewer targets: 1001 by all, 1004 by the application only.
class TestApp : public CWinApp
{
public:
    BEGIN_MSG_MAP(TestApp)
    COMMAND_RANGE_HANDLER(1001, 1004, OnCommand)
    END_MSG_MAP()
    LRESULT OnCommand(WORD, WORD, HWND, BOOL&)
    {
        g_log.push_back("app");
        return 0;
    }
};

class TestDoc : public CDocument
{
    DECLARE_DYNCREATE(TestDoc)

public:
    BEGIN_MSG_MAP(TestDoc)
    COMMAND_RANGE_HANDLER(1001, 1002, OnCommand)
    UPDATE_COMMAND_UI_HANDLER(1006, OnUpdateRename)
    CHAIN_MSG_MAP(CDocument)
    END_MSG_MAP()
    LRESULT OnCommand(WORD, WORD, HWND, BOOL&)
    {
        g_log.push_back("doc");
        return 0;
    }
    void OnUpdateRename(CCmdUI* ui) { ui->SetText(L"Renamed"); }
};
IMPLEMENT_DYNCREATE(TestDoc, CDocument)

class TestView : public CView
{
    DECLARE_DYNCREATE(TestView)

public:
    BEGIN_MSG_MAP(TestView)
    COMMAND_ID_HANDLER(1001, OnCommand)
    UPDATE_COMMAND_UI_HANDLER(1001, OnUpdateChecked)
    UPDATE_COMMAND_UI_HANDLER(1007, OnUpdateRadio)
    UPDATE_COMMAND_UI_HANDLER(1008, OnUpdateDisabled)
    CHAIN_MSG_MAP(CView)
    END_MSG_MAP()
    LRESULT OnCommand(WORD, WORD, HWND, BOOL&)
    {
        g_log.push_back("view");
        return 0;
    }
    void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(1); }
    void OnUpdateRadio(CCmdUI* ui) { ui->SetRadio(TRUE); }
    void OnUpdateDisabled(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnUpdate(CView* sender, LPARAM hint, CObject* object) override
    {
        updates.push_back({sender, hint, object});
    }
    struct Update
    {
        CView* sender;
        LPARAM hint;
        CObject* object;
    };
    std::vector<Update> updates;
    ~TestView() override { g_log.push_back("view deleted"); }
};
IMPLEMENT_DYNCREATE(TestView, CView)

class SecondView : public CListView
{
    DECLARE_DYNCREATE(SecondView)
};
IMPLEMENT_DYNCREATE(SecondView, CListView)

class TestFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(TestFrame)

public:
    BEGIN_MSG_MAP(TestFrame)
    COMMAND_RANGE_HANDLER(1001, 1003, OnCommand)
    COMMAND_ID_HANDLER(1005, OnCommand)
    CHAIN_MSG_MAP(CFrameWnd)
    END_MSG_MAP()
    LRESULT OnCommand(WORD, WORD, HWND, BOOL&)
    {
        g_log.push_back("frame");
        return 0;
    }
};
IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)

class DocViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestFrame),
                                                  RUNTIME_CLASS(TestView)));
        doc = dynamic_cast<TestDoc*>(app.GetFirstDocTemplate()->OpenDocumentFile(nullptr, FALSE));
        ASSERT_NE(doc, nullptr);
        frame = dynamic_cast<TestFrame*>(app.GetMainWnd());
        ASSERT_NE(frame, nullptr);
        view = dynamic_cast<TestView*>(frame->GetActiveView());
        ASSERT_NE(view, nullptr);
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void TearDown() override
    {
        if (frame && ::IsWindow(frame->m_hWnd)) {
            app.SetMainWnd(nullptr); // no WM_QUIT for the test thread
            ::SendMessageW(frame->m_hWnd, WM_CLOSE, 0, 0);
        }
    }

    TestApp app;
    TestDoc* doc = nullptr;
    TestFrame* frame = nullptr;
    TestView* view = nullptr;
};

TEST_F(DocViewTest, CommandsGoToViewDocumentFrameThenApplication)
{
    const struct
    {
        UINT id;
        const char* handler;
    } cases[] = {{1001, "view"}, {1002, "doc"}, {1003, "frame"}, {1004, "app"}, {1009, nullptr}};
    for (const auto& c : cases) {
        g_log.clear();
        ::SendMessageW(frame->m_hWnd, WM_COMMAND, MAKEWPARAM(c.id, 0), 0);
        std::vector<std::string> expected;
        if (c.handler)
            expected.push_back(c.handler);
        EXPECT_EQ(g_log, expected) << "command " << c.id;
    }
}

TEST_F(DocViewTest, PopupMenuItemsAreUpdatedByTheirHandlers)
{
    HMENU popup = ::CreatePopupMenu();
    const UINT ids[] = {1001, 1005, 1009, 1006, 1007, 1008, 1004};
    for (UINT id : ids)
        ::AppendMenuW(popup, MF_STRING, id, L"item");
    ::SendMessageW(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);

    auto state = [popup](UINT id) { return ::GetMenuState(popup, id, MF_BYCOMMAND); };
    EXPECT_TRUE(state(1001) & MF_CHECKED); // update handler in the view
    EXPECT_FALSE(state(1001) & MF_GRAYED);
    EXPECT_FALSE(state(1005) & MF_GRAYED); // command handler only: enabled
    EXPECT_TRUE(state(1009) & MF_GRAYED);  // no handler at all: disabled
    EXPECT_FALSE(state(1004) & MF_GRAYED); // the application's handler counts too
    EXPECT_TRUE(state(1007) & MF_CHECKED); // radio
    EXPECT_TRUE(state(1008) & MF_GRAYED);  // update handler disables
    wchar_t text[64] = {};
    ::GetMenuStringW(popup, 1006, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"Renamed");
    EXPECT_TRUE(g_log.empty()) << "asking for handlers must not run commands";

    // the system menu is left alone
    HMENU other = ::CreatePopupMenu();
    ::AppendMenuW(other, MF_STRING, 1009, L"item");
    ::SendMessageW(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(other), MAKELPARAM(0, TRUE));
    EXPECT_FALSE(::GetMenuState(other, 1009, MF_BYCOMMAND) & MF_GRAYED);
    ::DestroyMenu(popup);
    ::DestroyMenu(other);
}

TEST_F(DocViewTest, MainViewIsSwappedByRuntimeClassName)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName("SecondView");
    ASSERT_EQ(cls, RUNTIME_CLASS(SecondView));
    EXPECT_TRUE(cls->IsDerivedFrom(RUNTIME_CLASS(CListView)));
    EXPECT_FALSE(view->IsKindOf(RUNTIME_CLASS(CListView)));

    // swap as a document does: new view from the class, old view destroyed, layout again
    HWND oldWnd = view->m_hWnd;
    ::SetWindowLongPtrW(oldWnd, GWLP_ID, AFX_IDW_PANE_FIRST + 1);
    CCreateContext context;
    context.m_pNewViewClass = cls;
    context.m_pCurrentDoc = doc;
    CView* created = frame->CreateView(&context);
    ASSERT_NE(created, nullptr);
    frame->SetActiveView(created);
    ::DestroyWindow(oldWnd);
    frame->RecalcLayout();

    EXPECT_TRUE(created->IsKindOf(RUNTIME_CLASS(SecondView)));
    EXPECT_EQ(frame->GetActiveView(), created);
    EXPECT_EQ(frame->GetActiveDocument(), doc);
    ASSERT_EQ(doc->GetViews().size(), 1u);
    EXPECT_EQ(doc->GetViews()[0], created);
    EXPECT_EQ(std::count(g_log.begin(), g_log.end(), "view deleted"), 1);
    wchar_t className[64] = {};
    ::GetClassNameW(created->m_hWnd, className, 64);
    RECT client = {}, placed = {};
    ::GetClientRect(frame->m_hWnd, &client);
    ::GetWindowRect(created->m_hWnd, &placed);
    EXPECT_EQ(placed.right - placed.left, client.right);
    EXPECT_EQ(placed.bottom - placed.top, client.bottom);
    // the list view is a real list-view control
    EXPECT_EQ(::SendMessageW(created->m_hWnd, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(DocViewTest, UpdateAllViewsReachesEveryViewButTheSender)
{
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(TestView);
    context.m_pCurrentDoc = doc;
    auto* second = dynamic_cast<TestView*>(frame->CreateView(&context, AFX_IDW_PANE_FIRST + 1));
    ASSERT_NE(second, nullptr);
    ASSERT_EQ(doc->GetViews().size(), 2u);
    view->updates.clear();

    Hint hint;
    doc->UpdateAllViews(view, 5, &hint);
    EXPECT_TRUE(view->updates.empty());
    ASSERT_EQ(second->updates.size(), 1u);
    EXPECT_EQ(second->updates[0].sender, view);
    EXPECT_EQ(second->updates[0].hint, 5);
    EXPECT_EQ(second->updates[0].object, &hint);

    doc->UpdateAllViews(nullptr, 7);
    ASSERT_EQ(view->updates.size(), 1u);
    EXPECT_EQ(view->updates[0].hint, 7);
    EXPECT_EQ(second->updates.size(), 2u);

    // a view that is destroyed leaves its document and hears nothing more
    ::DestroyWindow(second->m_hWnd);
    EXPECT_EQ(doc->GetViews().size(), 1u);
    doc->UpdateAllViews(nullptr, 8);
    EXPECT_EQ(view->updates.size(), 2u);
}

TEST_F(DocViewTest, DocumentTitleAndStatusBarLayout)
{
    frame->SetTitle(L"Program");
    doc->SetTitle(L"Library");
    wchar_t caption[128] = {};
    ::GetWindowTextW(frame->m_hWnd, caption, 128);
    EXPECT_STREQ(caption, L"Library - Program");

    auto* status = new CStatusBar;
    ASSERT_TRUE(status->Create(frame->m_hWnd));
    const UINT indicators[] = {0, ID_INDICATOR_CAPS};
    status->SetIndicators(indicators, 2);
    frame->RecalcLayout();
    RECT barRect = {}, viewRect = {};
    ::GetWindowRect(status->m_hWnd, &barRect);
    ::GetWindowRect(view->m_hWnd, &viewRect);
    EXPECT_EQ(viewRect.bottom, barRect.top);
    EXPECT_GT(barRect.bottom, barRect.top);
    MSG msg;
    while (::PeekMessageW(&msg, frame->m_hWnd, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    EXPECT_STREQ(status->GetPaneText(0), L"Ready") << "the idle text once the frame runs";
    frame->SetMessageText(L"Hello");
    EXPECT_STREQ(status->GetPaneText(0), L"Hello");
    ::SendMessageW(frame->m_hWnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_STREQ(status->GetPaneText(0), L"Ready") << "and again when a menu closes";
    frame->OnIdleUpdateCmdUI(); // the key indicator pane is updated without a handler of ours
    ::DestroyWindow(status->m_hWnd);
    delete status;
}

TEST_F(DocViewTest, MainAcceleratorsTranslateKeysForOtherWindows)
{
    ACCEL accel{FVIRTKEY, VK_F7, 1005};
    HACCEL table = ::CreateAcceleratorTableW(&accel, 1);
    app.SetMainWnd(frame);
    frame->m_hAccelTable = table;
    MSG key{view->m_hWnd, WM_KEYDOWN, VK_F7, 0};
    MSG other{view->m_hWnd, WM_KEYDOWN, VK_F8, 0};
    MSG click{view->m_hWnd, WM_LBUTTONDOWN, VK_F7, 0};
    EXPECT_FALSE(TranslateMainAccelerators(&click)) << "keyboard messages only";
    EXPECT_FALSE(TranslateMainAccelerators(&other));
    g_log.clear();
    EXPECT_TRUE(TranslateMainAccelerators(&key));
    EXPECT_EQ(g_log, std::vector<std::string>{"frame"}) << "the frame got the command";
    frame->m_hAccelTable = nullptr;
    EXPECT_FALSE(TranslateMainAccelerators(&key));
    ::DestroyAcceleratorTable(table);
}

// A child that handles reflected notifications of one code and declines the others.
class ReflectingChild : public CWnd
{
public:
    BEGIN_MSG_MAP(ReflectingChild)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_NOTIFY, OnReflectedNotify)
    END_MSG_MAP()
    LRESULT OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
    {
        bHandled = reinterpret_cast<LPNMHDR>(lParam)->code == NM_CLICK;
        g_log.push_back(bHandled ? "child took" : "child declined");
        return 42;
    }
    BOOL PreTranslateMessage(MSG* msg) override { return msg->wParam == 'C'; }
};

class ParentWnd : public CWnd
{
public:
    BEGIN_MSG_MAP(ParentWnd)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    END_MSG_MAP()
    LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&)
    {
        g_log.push_back("parent");
        return 7;
    }
    BOOL PreTranslateMessage(MSG* msg) override { return msg->wParam == 'P'; }
};

TEST(DocViewWindowTest, NotificationsReachTheChildFirstAndPreTranslateWalksUp)
{
    g_log.clear();
    ParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"parent", WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0));
    ReflectingChild child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, WS_CHILD, RECT{0, 0, 10, 10}, parent.m_hWnd, 5));

    NMHDR click = {child.m_hWnd, 5, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(::SendMessageW(parent.m_hWnd, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&click)), 42);
    NMHDR other = {child.m_hWnd, 5, static_cast<UINT>(NM_DBLCLK)};
    EXPECT_EQ(::SendMessageW(parent.m_hWnd, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&other)), 7);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child took", "child declined", "parent"}));

    const struct
    {
        WPARAM key;
        BOOL eaten;
    } keys[] = {{'C', TRUE}, {'P', TRUE}, {'X', FALSE}};
    for (const auto& k : keys) {
        MSG msg = {child.m_hWnd, WM_KEYDOWN, k.key, 0};
        EXPECT_EQ(CWnd::WalkPreTranslateTree(parent.m_hWnd, &msg), k.eaten) << static_cast<char>(k.key);
    }
    MSG stopped = {child.m_hWnd, WM_KEYDOWN, 'P', 0};
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(child.m_hWnd, &stopped)); // the walk ends at the stop window
    parent.DestroyWindow();
}

// --- objects that go away while messages are handled, or that refuse to be made

// Overwrites an object's memory as it is freed, so that touching it after its deletion crashes where it happens.
struct OverwrittenWhenFreed
{
    static void operator delete(void* memory, std::size_t size)
    {
        std::memset(memory, 0xFF, size);
        ::operator delete(memory);
    }
};

size_t CountOf(const std::string& entry)
{
    return static_cast<size_t>(std::count(g_log.begin(), g_log.end(), entry));
}

class LoggedDoc : public CDocument, public OverwrittenWhenFreed
{
    DECLARE_DYNCREATE(LoggedDoc)

public:
    ~LoggedDoc() override { g_log.push_back("doc deleted"); }
};
IMPLEMENT_DYNCREATE(LoggedDoc, CDocument)

class LoggedView : public CView, public OverwrittenWhenFreed
{
    DECLARE_DYNCREATE(LoggedView)

public:
    ~LoggedView() override { g_log.push_back("view deleted"); }
};
IMPLEMENT_DYNCREATE(LoggedView, CView)

class RefusingView : public LoggedView
{
    DECLARE_DYNCREATE(RefusingView)

public:
    int OnCreate(CREATESTRUCTW*) override { return -1; }
};
IMPLEMENT_DYNCREATE(RefusingView, LoggedView)

class LoggedFrame : public CFrameWnd, public OverwrittenWhenFreed
{
    DECLARE_DYNCREATE(LoggedFrame)

public:
    ~LoggedFrame() override { g_log.push_back("frame deleted"); }
};
IMPLEMENT_DYNCREATE(LoggedFrame, CFrameWnd)

class RefusingFrame : public LoggedFrame
{
    DECLARE_DYNCREATE(RefusingFrame)

public:
    int OnCreate(CREATESTRUCTW*) override { return -1; }
};
IMPLEMENT_DYNCREATE(RefusingFrame, LoggedFrame)

TEST(DocViewCreationTest, AFrameOrViewRefusingItsCreationFailsTheDocumentAndEachObjectIsDeletedOnce)
{
    const struct
    {
        const char* name;
        const CRuntimeClass* frame;
        const CRuntimeClass* view;
        size_t viewsDeleted;
    } cases[] = {
        {"frame refuses", RUNTIME_CLASS(RefusingFrame), RUNTIME_CLASS(LoggedView), 0},
        {"view refuses", RUNTIME_CLASS(LoggedFrame), RUNTIME_CLASS(RefusingView), 1},
    };
    for (const auto& c : cases) {
        g_log.clear();
        TestApp app;
        app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(LoggedDoc), c.frame, c.view));
        EXPECT_EQ(app.GetFirstDocTemplate()->OpenDocumentFile(nullptr, FALSE), nullptr) << c.name;
        EXPECT_EQ(app.GetMainWnd(), nullptr) << c.name;
        EXPECT_EQ(CountOf("frame deleted"), 1u) << c.name;
        EXPECT_EQ(CountOf("view deleted"), c.viewsDeleted) << c.name;
        EXPECT_EQ(CountOf("doc deleted"), 1u) << c.name;
    }
}

TEST(DocViewCreationTest, AFrameRefusingItsCreationStaysItsCreatorsObject)
{
    g_log.clear();
    auto* frame = new RefusingFrame;
    EXPECT_FALSE(frame->LoadFrame(0, WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(frame->m_hWnd, nullptr);
    EXPECT_EQ(CountOf("frame deleted"), 0u) << "the frame must not delete itself under its creator";
    delete frame;
    EXPECT_EQ(CountOf("frame deleted"), 1u);
}

// A window of the frame (a member, as the editor's panes are) whose handler closes the frame and goes on.
class ClosingChild : public CWnd
{
public:
    static constexpr UINT kCloseFrame = WM_APP + 7;

    BEGIN_MSG_MAP(ClosingChild)
    MESSAGE_HANDLER(kCloseFrame, OnCloseFrame)
    END_MSG_MAP()
    LRESULT OnCloseFrame(UINT, WPARAM, LPARAM, BOOL&)
    {
        ::SendMessageW(::GetParent(m_hWnd), WM_CLOSE, 0, 0);
        g_log.push_back(m_name +
                        (::IsWindow(m_hWnd) ? ": window still there" : ": window gone, object still here"));
        return 0;
    }
    std::string m_name = "child";
};

class OwningFrame : public LoggedFrame
{
    DECLARE_DYNCREATE(OwningFrame)

public:
    int OnCreate(CREATESTRUCTW* pcs) override
    {
        if (LoggedFrame::OnCreate(pcs) == -1)
            return -1;
        return m_child.CreateEx(0, nullptr, WS_CHILD, RECT{0, 0, 10, 10}, m_hWnd, 1) ? 0 : -1;
    }
    ClosingChild m_child;
};
IMPLEMENT_DYNCREATE(OwningFrame, LoggedFrame)

TEST(DocViewCloseTest, AFrameClosedFromAHandlerOfAWindowItOwnsIsDeletedWhenTheHandlerHasReturned)
{
    g_log.clear();
    TestApp app;
    app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(LoggedDoc), RUNTIME_CLASS(OwningFrame),
                                              RUNTIME_CLASS(LoggedView)));
    ASSERT_NE(app.GetFirstDocTemplate()->OpenDocumentFile(nullptr, FALSE), nullptr);
    auto* frame = dynamic_cast<OwningFrame*>(app.GetMainWnd());
    ASSERT_NE(frame, nullptr);
    app.SetMainWnd(nullptr); // no WM_QUIT for the test thread
    const HWND frameWindow = frame->m_hWnd;

    ::SendMessageW(frame->m_child.m_hWnd, ClosingChild::kCloseFrame, 0, 0);

    EXPECT_FALSE(::IsWindow(frameWindow));
    const std::vector<std::string> expected = {"child: window gone, object still here", "view deleted",
                                               "frame deleted", "doc deleted"};
    std::vector<std::string> sorted = g_log;
    ASSERT_EQ(g_log.size(), expected.size()) << "each object deleted once";
    EXPECT_EQ(g_log.front(), expected.front()) << "nothing was deleted while the handler ran";
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> expectedSorted = expected;
    std::sort(expectedSorted.begin(), expectedSorted.end());
    EXPECT_EQ(sorted, expectedSorted);
}

TEST(DocViewCommandLineTest, PlainWordOpensFlagsAreLeftToDerivedParsers)
{
    const struct
    {
        const wchar_t* line;
        CCommandLineInfo::ShellCommand command;
        const wchar_t* file;
    } cases[] = {
        {L"", CCommandLineInfo::FileNew, L""},
        {L"/flag -other", CCommandLineInfo::FileNew, L""},
        {L"\"C:\\a b\\c.txt\" /flag", CCommandLineInfo::FileOpen, L"C:\\a b\\c.txt"},
        {L"first second", CCommandLineInfo::FileOpen, L"first"},
    };
    for (const auto& c : cases) {
        CCommandLineInfo info;
        CWinApp::ParseCommandLineText(c.line, info);
        EXPECT_EQ(info.m_nShellCommand, c.command) << c.line;
        EXPECT_STREQ(info.m_strFileName, c.file) << c.line;
    }
}

} // namespace
