#include "platform/CWindowImpl.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cwctype>
#include <functional>
#include <string>
#include <vector>

namespace
{
using Log = std::vector<std::string>;

RECT Rect(int x, int y, int w, int h)
{
    return RECT{x, y, x + w, y + h};
}

// A window whose map uses every kind of entry.
class DispatchWnd : public CWindowImpl<DispatchWnd, CWindow, CNullTraits>
{
public:
    Log log;
    MSG seenMessage{};
    MSG afterNested{};

    BEGIN_MSG_MAP(DispatchWnd)
    MESSAGE_HANDLER(WM_APP + 1, OnApp1)
    MESSAGE_HANDLER(WM_APP + 2, OnDeclines)
    MESSAGE_RANGE_HANDLER(WM_APP + 2, WM_APP + 5, OnAppRange)
    COMMAND_HANDLER(100, BN_CLICKED, OnClicked100)
    COMMAND_ID_HANDLER(100, OnAny100)
    COMMAND_RANGE_HANDLER(200, 210, OnRange200)
    COMMAND_CODE_HANDLER(EN_CHANGE, OnChangeCode)
    NOTIFY_HANDLER(300, NM_CLICK, OnClick300)
    NOTIFY_ID_HANDLER(300, OnAny300)
    NOTIFY_CODE_HANDLER(NM_DBLCLK, OnDblClk)
    END_MSG_MAP()

    LRESULT OnApp1(UINT uMsg, WPARAM wParam, LPARAM, BOOL&)
    {
        log.push_back("app1");
        seenMessage = *GetCurrentMessage();
        if (wParam == 1) {
            SendMessage(WM_APP + 3, 0, 0); // a message nested in this one
            afterNested = *GetCurrentMessage();
        }
        return 11;
    }
    LRESULT OnDeclines(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        log.push_back("declines");
        bHandled = FALSE;
        return 999;
    }
    LRESULT OnAppRange(UINT uMsg, WPARAM, LPARAM, BOOL&)
    {
        log.push_back("range" + std::to_string(uMsg - WM_APP));
        return 20 + (uMsg - WM_APP);
    }
    LRESULT OnClicked100(WORD code, WORD id, HWND ctl, BOOL&)
    {
        log.push_back("clicked100 ctl=" + std::to_string(reinterpret_cast<UINT_PTR>(ctl)));
        return 30;
    }
    LRESULT OnAny100(WORD code, WORD id, HWND, BOOL&)
    {
        log.push_back("any100 code=" + std::to_string(code));
        return 31;
    }
    LRESULT OnRange200(WORD, WORD id, HWND, BOOL&)
    {
        log.push_back("range200 id=" + std::to_string(id));
        return 32;
    }
    LRESULT OnChangeCode(WORD, WORD id, HWND, BOOL&)
    {
        log.push_back("change id=" + std::to_string(id));
        return 33;
    }
    LRESULT OnClick300(int idCtrl, LPNMHDR, BOOL&)
    {
        log.push_back("click300");
        return 40;
    }
    LRESULT OnAny300(int idCtrl, LPNMHDR pnmh, BOOL&)
    {
        log.push_back("any300 code=" + std::to_string(static_cast<int>(pnmh->code)));
        return 41;
    }
    LRESULT OnDblClk(int idCtrl, LPNMHDR, BOOL&)
    {
        log.push_back("dblclk id=" + std::to_string(idCtrl));
        return 42;
    }
};

TEST(MessageMap, DispatchesByMessageCommandIdAndNotifyCode)
{
    DispatchWnd wnd;
    ASSERT_NE(wnd.Create(nullptr, Rect(0, 0, 50, 50), L"Dispatch", WS_POPUP), nullptr);

    auto send = [&](UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
        return [&wnd, msg, wParam, lParam] { return wnd.SendMessage(msg, wParam, lParam); };
    };
    auto notify = [&](UINT_PTR id, UINT code) {
        return [&wnd, id, code] {
            NMHDR hdr{wnd.m_hWnd, id, code};
            return wnd.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&hdr));
        };
    };
    struct Case
    {
        std::function<LRESULT()> deliver;
        LRESULT expected;
        std::string logged;
    };
    const Case cases[] = {
        {send(WM_APP + 1, 0, 5), 11, "app1"},
        {send(WM_APP + 2), 22, "declines|range2"}, // bHandled FALSE: the search goes on
        {send(WM_APP + 5), 25, "range5"},
        {send(WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), 77), 30, "clicked100 ctl=77"},
        {send(WM_COMMAND, MAKEWPARAM(100, BN_DBLCLK)), 31, "any100 code=5"},
        {send(WM_COMMAND, MAKEWPARAM(205, BN_CLICKED)), 32, "range200 id=205"},
        {send(WM_COMMAND, MAKEWPARAM(400, EN_CHANGE)), 33, "change id=400"},
        {send(WM_COMMAND, MAKEWPARAM(400, EN_UPDATE)), 0, ""},
        {notify(300, NM_CLICK), 40, "click300"},
        {notify(300, NM_RCLICK), 41, "any300 code=" + std::to_string(static_cast<int>(NM_RCLICK))},
        {notify(301, NM_DBLCLK), 42, "dblclk id=301"},
        {notify(301, NM_RCLICK), 0, ""},
        // unhandled: the default window procedure answers
        {send(WM_GETTEXTLENGTH), 8, ""},
    };
    for (const Case& c : cases) {
        wnd.log.clear();
        EXPECT_EQ(c.deliver(), c.expected) << c.logged;
        std::string joined;
        for (const auto& entry : wnd.log)
            joined += (joined.empty() ? "" : "|") + entry;
        EXPECT_EQ(joined, c.logged);
    }
    wnd.DestroyWindow();
}

TEST(MessageMap, CurrentMessageIsRestoredAfterNestedMessage)
{
    DispatchWnd wnd;
    ASSERT_NE(wnd.Create(nullptr, Rect(0, 0, 50, 50), nullptr, WS_POPUP), nullptr);
    EXPECT_EQ(wnd.GetCurrentMessage(), nullptr);
    EXPECT_EQ(wnd.SendMessage(WM_APP + 1, 1, 1234), 11);
    EXPECT_EQ(wnd.log, (Log{"app1", "range3"}));
    EXPECT_EQ(wnd.seenMessage.hwnd, wnd.m_hWnd);
    EXPECT_EQ(wnd.seenMessage.message, static_cast<UINT>(WM_APP + 1));
    EXPECT_EQ(wnd.seenMessage.wParam, 1u);
    EXPECT_EQ(wnd.seenMessage.lParam, 1234);
    EXPECT_EQ(wnd.afterNested.message, static_cast<UINT>(WM_APP + 1));
    EXPECT_EQ(wnd.afterNested.lParam, 1234);
    EXPECT_EQ(wnd.GetCurrentMessage(), nullptr);
    wnd.DestroyWindow();
}

// A plain class with a map, used both as a base class and as a member.
class RecorderMap
{
public:
    explicit RecorderMap(std::string name, Log* log) : m_name(std::move(name)), m_log(log) {}

    BEGIN_MSG_MAP(RecorderMap)
    MESSAGE_HANDLER(WM_APP + 10, OnShared)
    MESSAGE_HANDLER(WM_APP + 11, OnOwn)
    ALT_MSG_MAP(1)
    MESSAGE_HANDLER(WM_APP + 10, OnAlternate)
    END_MSG_MAP()

    LRESULT OnShared(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        m_log->push_back(m_name + ".shared");
        bHandled = wParam == 0; // wParam 1: pass it on
        return 100;
    }
    LRESULT OnOwn(UINT, WPARAM, LPARAM, BOOL&)
    {
        m_log->push_back(m_name + ".own");
        return 101;
    }
    LRESULT OnAlternate(UINT, WPARAM, LPARAM, BOOL&)
    {
        m_log->push_back(m_name + ".alt");
        return 102;
    }

private:
    std::string m_name;
    Log* m_log;
};

class ChainedWnd : public CWindowImpl<ChainedWnd, CWindow, CNullTraits>, public RecorderMap
{
public:
    Log log;
    RecorderMap m_member{"member", &log};
    bool useAlternate = false;

    ChainedWnd() : RecorderMap("base", &log) {}

    BEGIN_MSG_MAP(ChainedWnd)
    MESSAGE_HANDLER(WM_APP + 12, OnOwnFirst)
    if (useAlternate) {
        CHAIN_MSG_MAP_ALT_MEMBER(m_member, 1)
    }
    CHAIN_MSG_MAP(RecorderMap)
    CHAIN_MSG_MAP_MEMBER(m_member)
    END_MSG_MAP()

    LRESULT OnOwnFirst(UINT, WPARAM, LPARAM, BOOL&)
    {
        log.push_back("derived");
        return 103;
    }
};

TEST(MessageMap, ChainsToBaseClassAndMemberMaps)
{
    ChainedWnd wnd;
    ASSERT_NE(wnd.Create(nullptr, Rect(0, 0, 50, 50), nullptr, WS_POPUP), nullptr);

    EXPECT_EQ(wnd.SendMessage(WM_APP + 12), 103);
    EXPECT_EQ(wnd.SendMessage(WM_APP + 10, 0), 100); // the base class map takes it first
    EXPECT_EQ(wnd.SendMessage(WM_APP + 10, 1), 0);   // both pass it on: default processing answers
    EXPECT_EQ(wnd.SendMessage(WM_APP + 11), 101);
    EXPECT_EQ(wnd.log, (Log{"derived", "base.shared", "base.shared", "member.shared", "base.own"}));

    wnd.log.clear();
    wnd.useAlternate = true;
    EXPECT_EQ(wnd.SendMessage(WM_APP + 10, 0), 102);
    EXPECT_EQ(wnd.log, (Log{"member.alt"}));

    // a map id nobody declares handles nothing
    LRESULT result = -1;
    EXPECT_FALSE(wnd.m_member.ProcessWindowMessage(wnd, WM_APP + 10, 0, 0, result, 7));
    wnd.DestroyWindow();
}

class ClassWnd : public CWindowImpl<ClassWnd, CWindow, CNullTraits>
{
public:
    DECLARE_WND_CLASS_EX(L"ScvPlatformTestClass", CS_DBLCLKS, COLOR_BTNFACE)

    void* createParam = nullptr;
    int creates = 0;

    BEGIN_MSG_MAP(ClassWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    END_MSG_MAP()

    LRESULT OnCreate(UINT, WPARAM, LPARAM lParam, BOOL&)
    {
        ++creates;
        createParam = reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
        return 0;
    }
};

TEST(WindowImpl, CreateRegistersTheDeclaredClassOnce)
{
    int param = 0;
    ClassWnd a, b;
    RECT r = Rect(10, 20, 120, 80);
    ASSERT_NE(a.Create(nullptr, r, L"first", WS_POPUP, WS_EX_TOOLWINDOW, MenuOrId(), &param), nullptr);
    ASSERT_NE(b.Create(nullptr, &r, L"second", WS_POPUP), nullptr);
    EXPECT_EQ(a.createParam, &param);
    EXPECT_EQ(b.createParam, nullptr);
    EXPECT_EQ(a.creates, 1);

    wchar_t name[64] = {};
    ::GetClassNameW(a, name, 64);
    EXPECT_STREQ(name, L"ScvPlatformTestClass");
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"ScvPlatformTestClass", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    RECT placed;
    a.GetWindowRect(&placed);
    EXPECT_EQ(placed.left, 10);
    EXPECT_EQ(placed.bottom, 100);
    EXPECT_TRUE(a.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_EQ(a.GetWindowText(), CString(L"first"));

    // one window per object
    EXPECT_EQ(a.Create(nullptr, r, L"again", WS_POPUP), nullptr);
    a.DestroyWindow();
    b.DestroyWindow();
}

class ChildWnd : public CWindowImpl<ChildWnd>
{
public:
    BEGIN_MSG_MAP(ChildWnd)
    END_MSG_MAP()
};

class ParentWnd : public CWindowImpl<ParentWnd, CWindow, CNullTraits>
{
public:
    ChildWnd child;
    HWND childInCreate = nullptr;
    BEGIN_MSG_MAP(ParentWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    END_MSG_MAP()
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&)
    {
        childInCreate = child.Create(m_hWnd, Rect(0, 0, 10, 10), nullptr, 0, 0, 55);
        return 0;
    }
};

TEST(WindowImpl, ChildCreatedDuringParentCreation)
{
    ParentWnd parent;
    ASSERT_NE(parent.Create(nullptr, Rect(0, 0, 100, 100), nullptr, WS_POPUP), nullptr);
    ASSERT_NE(parent.childInCreate, nullptr);
    EXPECT_EQ(parent.child.m_hWnd, parent.childInCreate);
    EXPECT_EQ(CWindowImplCore::FromHandle(parent), &parent);
    EXPECT_EQ(CWindowImplCore::FromHandle(parent.child), &parent.child);
    // the default traits make a visible child control
    EXPECT_TRUE(parent.child.GetStyle() & WS_CHILD);
    EXPECT_EQ(parent.child.GetDlgCtrlID(), 55);
    EXPECT_EQ(parent.GetDlgItem(55).m_hWnd, parent.child.m_hWnd);
    parent.DestroyWindow();
    EXPECT_EQ(parent.child.m_hWnd, nullptr); // its final message cleared it
}

// Destroys its own window from inside a handler; deletes itself at the end.
class SelfDestroyingWnd : public CWindowImpl<SelfDestroyingWnd, CWindow, CNullTraits>
{
public:
    Log* log;
    bool* deleted;
    bool inHandler = false;

    SelfDestroyingWnd(Log* l, bool* d) : log(l), deleted(d) {}
    ~SelfDestroyingWnd() override { *deleted = true; }

    BEGIN_MSG_MAP(SelfDestroyingWnd)
    MESSAGE_HANDLER(WM_APP, OnClose)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&)
    {
        inHandler = true;
        DestroyWindow();
        log->push_back(m_hWnd ? "handler returns, handle kept" : "handler returns, handle cleared");
        inHandler = false;
        return 5;
    }
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        log->push_back("destroy");
        bHandled = FALSE;
        return 0;
    }
    void OnFinalMessage(HWND hWnd) override
    {
        log->push_back(std::string("final") + (inHandler ? " inside handler" : "") +
                       (m_hWnd == nullptr && hWnd != nullptr ? " with handle cleared" : ""));
        delete this;
    }
};

TEST(WindowImpl, FinalMessageComesAfterTheOutermostHandlerReturns)
{
    Log log;
    bool deleted = false;
    auto* wnd = new SelfDestroyingWnd(&log, &deleted);
    HWND hWnd = wnd->Create(nullptr, Rect(0, 0, 50, 50), nullptr, WS_POPUP);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(::SendMessageW(hWnd, WM_APP, 0, 0), 5);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_TRUE(deleted);
    // CWindow::DestroyWindow clears the handle once the window is gone
    EXPECT_EQ(log, (Log{"destroy", "handler returns, handle cleared", "final with handle cleared"}));
}

TEST(WindowImpl, ObjectDestroyedBeforeItsWindowLeavesAWorkingWindow)
{
    HWND hWnd = nullptr;
    {
        ClassWnd wnd;
        hWnd = wnd.Create(nullptr, Rect(0, 0, 50, 50), L"orphan", WS_POPUP);
        ASSERT_NE(hWnd, nullptr);
    }
    ASSERT_TRUE(::IsWindow(hWnd));
    EXPECT_EQ(CWindowImplCore::FromHandle(hWnd), nullptr);
    EXPECT_EQ(::SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0), 6);
    EXPECT_TRUE(::DestroyWindow(hWnd));
}

// Subclasses an edit control: swallows 'x', upper-cases other characters through the control's own procedure.
class EditFilter : public CWindowImpl<EditFilter>
{
public:
    Log* log;
    std::string name;
    WNDPROC procAtFinal = nullptr;
    int finals = 0;

    EditFilter(Log* l, std::string n) : log(l), name(std::move(n)) {}

    BEGIN_MSG_MAP(EditFilter)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    END_MSG_MAP()

    LRESULT OnChar(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        log->push_back(name);
        if (wParam == L'x')
            return 0;
        return DefWindowProc(WM_CHAR, static_cast<WPARAM>(::towupper(static_cast<wint_t>(wParam))), lParam);
    }
    void OnFinalMessage(HWND hWnd) override
    {
        ++finals;
        procAtFinal = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
    }
};

struct EditFixture : testing::Test
{
    CWindow parent;
    CWindow edit;
    WNDPROC editProc = nullptr;

    void SetUp() override
    {
        ASSERT_NE(parent.Create(L"STATIC", nullptr, Rect(0, 0, 200, 60), nullptr, WS_POPUP), nullptr);
        ASSERT_NE(edit.Create(L"EDIT", parent, Rect(0, 0, 180, 24), L"", WS_CHILD | WS_VISIBLE, 0, 7),
                  nullptr);
        editProc = reinterpret_cast<WNDPROC>(edit.GetWindowLongPtr(GWLP_WNDPROC));
    }
    void TearDown() override
    {
        if (parent.IsWindow())
            parent.DestroyWindow();
    }
    void Type(const wchar_t* text)
    {
        for (const wchar_t* p = text; *p; ++p)
            edit.SendMessage(WM_CHAR, *p, 1);
    }
};

TEST_F(EditFixture, SubclassedControlKeepsItsBehaviourAndIsRestoredAtDestruction)
{
    Log log;
    EditFilter filter(&log, "filter");
    ASSERT_TRUE(filter.SubclassWindow(edit));
    EXPECT_EQ(filter.m_hWnd, edit.m_hWnd);
    EXPECT_EQ(filter.m_pfnSuperWindowProc, editProc);
    EXPECT_FALSE(filter.SubclassWindow(parent)); // one window per object

    Type(L"axb");
    EXPECT_EQ(edit.GetWindowText(), CString(L"AB"));
    EXPECT_EQ(log.size(), 3u);

    parent.DestroyWindow(); // destroys the edit control with it
    EXPECT_EQ(filter.finals, 1);
    EXPECT_EQ(filter.procAtFinal, editProc); // the control's own procedure was back for its last moments
    EXPECT_EQ(filter.m_hWnd, nullptr);
}

TEST_F(EditFixture, UnsubclassGivesTheControlBack)
{
    Log log;
    EditFilter filter(&log, "filter");
    ASSERT_TRUE(filter.SubclassWindow(edit));
    EXPECT_EQ(filter.UnsubclassWindow(), edit.m_hWnd);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(edit.GetWindowLongPtr(GWLP_WNDPROC)), editProc);
    EXPECT_EQ(filter.m_hWnd, nullptr);
    Type(L"ax");
    EXPECT_EQ(edit.GetWindowText(), CString(L"ax"));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(filter.UnsubclassWindow(), nullptr);

    // and the object can take it again
    ASSERT_TRUE(filter.SubclassWindow(edit));
    Type(L"c");
    EXPECT_EQ(edit.GetWindowText(), CString(L"axC"));
}

// Subclassing done by other code, the plain Win32 way.
Log* g_foreignLog = nullptr;
template <int N>
WNDPROC g_foreignPrevious = nullptr;

template <int N>
LRESULT CALLBACK ForeignSubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_CHAR && g_foreignLog)
        g_foreignLog->push_back("foreign" + std::to_string(N));
    return ::CallWindowProcW(g_foreignPrevious<N>, hWnd, uMsg, wParam, lParam);
}

template <int N>
void ForeignSubclass(CWindow& wnd)
{
    g_foreignPrevious<N> = reinterpret_cast<WNDPROC>(
        wnd.SetWindowLongPtr(GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignSubclassProc<N>)));
}

TEST_F(EditFixture, StackedSubclassesWithForeignCodeInBetween)
{
    Log log;
    g_foreignLog = &log;
    EditFilter lower(&log, "lower");
    ASSERT_TRUE(lower.SubclassWindow(edit));
    ForeignSubclass<1>(edit);
    {
        EditFilter upper(&log, "upper");
        ASSERT_TRUE(upper.SubclassWindow(edit));
        EXPECT_EQ(CWindowImplCore::FromHandle(edit), &upper);
        ForeignSubclass<2>(edit);

        Type(L"a");
        EXPECT_EQ(log, (Log{"foreign2", "upper", "foreign1", "lower"}));
        EXPECT_EQ(edit.GetWindowText(), CString(L"A"));

        // objects cannot leave while others sit above them
        EXPECT_EQ(lower.UnsubclassWindow(), nullptr);
        EXPECT_EQ(upper.UnsubclassWindow(), nullptr);
        log.clear();
    }
    // the upper object went away while still in the chain: its level passes messages straight on
    Type(L"b");
    EXPECT_EQ(log, (Log{"foreign2", "foreign1", "lower"}));
    EXPECT_EQ(edit.GetWindowText(), CString(L"AB"));

    // a new object takes a fresh level and works on top
    EditFilter third(&log, "third");
    ASSERT_TRUE(third.SubclassWindow(edit));
    log.clear();
    Type(L"c");
    EXPECT_EQ(log, (Log{"third", "foreign2", "foreign1", "lower"}));

    parent.DestroyWindow();
    EXPECT_EQ(third.finals, 1);
    EXPECT_EQ(lower.finals, 1);
    EXPECT_EQ(lower.m_hWnd, nullptr);
    EXPECT_EQ(lower.procAtFinal, editProc);
    g_foreignLog = nullptr;
}

TEST(WindowImpl, SubclassRefusesWhatItCannotTakeOver)
{
    Log log;
    EditFilter filter(&log, "f");
    EXPECT_FALSE(filter.SubclassWindow(nullptr));
    EXPECT_FALSE(filter.SubclassWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234))));
    // a window of another process (the desktop's)
    EXPECT_FALSE(filter.SubclassWindow(::GetDesktopWindow()));
    EXPECT_EQ(filter.m_hWnd, nullptr);
}

// A superclass of the edit control that reports reflected commands and answers the rest by default.
class ReflectingEdit : public CWindowImpl<ReflectingEdit>
{
public:
    DECLARE_WND_SUPERCLASS(L"ScvPlatformTestEdit", L"EDIT")

    Log log;

    BEGIN_MSG_MAP(ReflectingEdit)
    MESSAGE_HANDLER(SCV_REFLECTED_BASE + WM_COMMAND, OnReflectedCommand)
    MESSAGE_HANDLER(WM_CHAR, OnChar)
    DEFAULT_REFLECTION_HANDLER()
    END_MSG_MAP()

    LRESULT OnReflectedCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        log.push_back("reflected code=" + std::to_string(HIWORD(wParam)));
        return 0;
    }
    LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        log.push_back("char");
        bHandled = FALSE; // the edit control's own procedure types it
        return 0;
    }
};

class ReflectingParent : public CWindowImpl<ReflectingParent, CWindow, CNullTraits>
{
public:
    BEGIN_MSG_MAP(ReflectingParent)
    REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
};

TEST(WindowImpl, SuperclassedControlGetsItsNotificationsReflected)
{
    ReflectingParent parent;
    ASSERT_NE(parent.Create(nullptr, Rect(0, 0, 200, 50), nullptr, WS_POPUP), nullptr);
    ReflectingEdit edit;
    ASSERT_NE(edit.Create(parent, Rect(0, 0, 150, 20), L"", 0, 0, 12), nullptr);

    wchar_t name[64] = {};
    ::GetClassNameW(edit, name, 64);
    EXPECT_STREQ(name, L"ScvPlatformTestEdit");
    edit.SendMessage(WM_CHAR, L'q', 1);
    EXPECT_EQ(edit.GetWindowText(), CString(L"q")); // typed by the original edit procedure
    // the edit told its parent of the change (EN_UPDATE, EN_CHANGE); the parent sent it back
    EXPECT_EQ(edit.log, (Log{"char", "reflected code=" + std::to_string(EN_UPDATE),
                             "reflected code=" + std::to_string(EN_CHANGE)}));

    // reflected colour messages nobody handles get the default answer (a brush)
    HDC dc = edit.GetDC();
    EXPECT_NE(parent.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(edit.m_hWnd)),
              0);
    edit.ReleaseDC(dc);
    // a command from no control is not reflected
    EXPECT_EQ(parent.SendMessage(WM_COMMAND, MAKEWPARAM(1, 0), 0), 0);
    parent.DestroyWindow();
}

TEST(CWindowWrapper, TextStylesAndDialogItems)
{
    CWindow parent;
    ASSERT_NE(parent.Create(L"STATIC", nullptr, Rect(0, 0, 200, 100), L"caption", WS_POPUP), nullptr);
    CWindow edit;
    ASSERT_NE(edit.Create(L"EDIT", parent, Rect(0, 0, 100, 20), L"12", WS_CHILD, 0, 9), nullptr);

    CString text;
    EXPECT_EQ(parent.GetWindowText(text), 7);
    EXPECT_EQ(text, L"caption");
    EXPECT_TRUE(parent.GetDlgItemText(9, text));
    EXPECT_EQ(text, L"12");
    EXPECT_FALSE(parent.GetDlgItemText(10, text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(parent.GetDlgItemInt(9), 12u);
    EXPECT_TRUE(parent.SetDlgItemText(9, L"a longer text in the edit control"));
    EXPECT_EQ(edit.GetWindowText(), CString(L"a longer text in the edit control"));
    EXPECT_TRUE(parent.SetWindowText(L""));
    EXPECT_EQ(parent.GetWindowText(text), 0);

    EXPECT_FALSE(edit.GetStyle() & WS_BORDER);
    EXPECT_TRUE(edit.ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED));
    EXPECT_TRUE(edit.GetStyle() & WS_BORDER);
    EXPECT_FALSE(edit.ModifyStyle(0, WS_BORDER)); // nothing changed
    EXPECT_TRUE(edit.ModifyStyleEx(0, WS_EX_CLIENTEDGE));
    EXPECT_TRUE(edit.GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_EQ(edit.GetParent().m_hWnd, parent.m_hWnd);

    RECT client;
    edit.GetClientRect(&client);
    RECT screen = client;
    edit.ClientToScreen(&screen);
    edit.ScreenToClient(&screen);
    EXPECT_TRUE(::EqualRect(&screen, &client));

    parent.CenterWindow();
    RECT placed;
    parent.GetWindowRect(&placed);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(parent, MONITOR_DEFAULTTONEAREST), &mi);
    EXPECT_NEAR((placed.left + placed.right) / 2, (mi.rcWork.left + mi.rcWork.right) / 2, 1);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (mi.rcWork.top + mi.rcWork.bottom) / 2, 1);

    EXPECT_TRUE(parent.DestroyWindow());
    EXPECT_EQ(parent.m_hWnd, nullptr);
    EXPECT_FALSE(edit.IsWindow());
}
} // namespace
