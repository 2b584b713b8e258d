#include "common/WindowSubclassRegistry.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
const UINT kProbe = WM_APP + 41;
const UINT kUnsubclassNow = WM_APP + 42;

// A window of our own class that records what reaches its own procedure.
struct TargetWindow
{
    static std::vector<UINT>& Seen()
    {
        static std::vector<UINT> seen;
        return seen;
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == kProbe || message == kUnsubclassNow || message == WM_DESTROY) {
            Seen().push_back(message);
            return 100;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND hwnd = nullptr;

    TargetWindow()
    {
        static ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &TargetWindow::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ScvSubclassTarget";
            return ::RegisterClassW(&wc);
        }();
        EXPECT_NE(atom, 0);
        hwnd = ::CreateWindowExW(0, L"ScvSubclassTarget", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        Seen().clear();
    }
    ~TargetWindow()
    {
        if (hwnd && ::IsWindow(hwnd))
            ::DestroyWindow(hwnd);
    }
};

struct CallbackLog
{
    std::vector<UINT> messages;
    bool consume = false;
    bool consumeDestroy = false;
    HWND unsubclassOnRequest = nullptr;
};

LRESULT Record(HWND, UINT message, WPARAM, LPARAM, void* userData, BOOL& callPrevious, WNDPROC previous)
{
    auto* log = static_cast<CallbackLog*>(userData);
    if (message != kProbe && message != kUnsubclassNow && message != WM_DESTROY)
        return 0;
    log->messages.push_back(message);
    if (message == kUnsubclassNow && log->unsubclassOnRequest) {
        EXPECT_EQ(UnsubclassWindowWithCallback(log->unsubclassOnRequest), 1);
    }
    if (log->consume || (message == WM_DESTROY && log->consumeDestroy)) {
        callPrevious = FALSE;
        return 7;
    }
    return 0;
}

LRESULT Other(HWND, UINT, WPARAM, LPARAM, void*, BOOL&, WNDPROC)
{
    ADD_FAILURE() << "second callback must never run";
    return 0;
}

WNDPROC ProcOf(HWND hwnd)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}
} // namespace

TEST(WindowSubclassRegistry, RefusesBadRequestsAndASecondSubclass)
{
    TargetWindow target;
    CallbackLog log;
    EXPECT_EQ(SubclassWindowWithCallback(target.hwnd, nullptr, &log), 0);
    EXPECT_EQ(SubclassWindowWithCallback(nullptr, &Record, &log), 0);
    EXPECT_EQ(SubclassWindowWithCallback(reinterpret_cast<HWND>(0x7ffe), &Record, &log), 0);
    EXPECT_EQ(WindowSubclassRegistry::Get(), nullptr);

    ASSERT_EQ(SubclassWindowWithCallback(target.hwnd, &Record, &log), 1);
    EXPECT_EQ(SubclassWindowWithCallback(target.hwnd, &Other, nullptr), 0);
    EXPECT_TRUE(IsWindowSubclassedWithCallback(target.hwnd));
    EXPECT_EQ(ProcOf(target.hwnd), &SubclassRegistryWndProc);

    // The first callback stays, and the window's own procedure still runs.
    EXPECT_EQ(::SendMessageW(target.hwnd, kProbe, 0, 0), 100);
    EXPECT_EQ(log.messages, std::vector<UINT>{kProbe});
    EXPECT_EQ(TargetWindow::Seen(), std::vector<UINT>{kProbe});

    EXPECT_EQ(UnsubclassWindowWithCallback(target.hwnd), 1);
    EXPECT_EQ(UnsubclassWindowWithCallback(target.hwnd), 0);
    EXPECT_EQ(ProcOf(target.hwnd), &TargetWindow::Proc);
}

TEST(WindowSubclassRegistry, ConsumedMessageReturnsTheCallbackResult)
{
    TargetWindow target;
    CallbackLog log;
    log.consume = true;
    ASSERT_EQ(SubclassWindowWithCallback(target.hwnd, &Record, &log), 1);
    EXPECT_EQ(::SendMessageW(target.hwnd, kProbe, 0, 0), 7);
    EXPECT_TRUE(TargetWindow::Seen().empty());
    EXPECT_EQ(UnsubclassWindowWithCallback(target.hwnd), 1);
}

TEST(WindowSubclassRegistry, DestroyAlwaysReachesThePreviousProcedureAndLeaves)
{
    TargetWindow target;
    CallbackLog log;
    log.consumeDestroy = true;
    ASSERT_EQ(SubclassWindowWithCallback(target.hwnd, &Record, &log), 1);
    ASSERT_NE(WindowSubclassRegistry::Get(), nullptr);

    ::DestroyWindow(target.hwnd);
    EXPECT_EQ(log.messages, std::vector<UINT>{WM_DESTROY});
    EXPECT_EQ(TargetWindow::Seen(), std::vector<UINT>{WM_DESTROY});
    EXPECT_EQ(FindSubclassEntry(target.hwnd), nullptr);
    EXPECT_EQ(WindowSubclassRegistry::Get(), nullptr);
}

TEST(WindowSubclassRegistry, UnsubclassInsideAMessage)
{
    TargetWindow target;
    CallbackLog log;
    log.unsubclassOnRequest = target.hwnd;
    ASSERT_EQ(SubclassWindowWithCallback(target.hwnd, &Record, &log), 1);

    // The entry is gone while the message is still being handled; the
    // previous procedure must still get it.
    EXPECT_EQ(::SendMessageW(target.hwnd, kUnsubclassNow, 0, 0), 100);
    EXPECT_EQ(TargetWindow::Seen(), std::vector<UINT>{kUnsubclassNow});
    EXPECT_EQ(WindowSubclassRegistry::Get(), nullptr);
    EXPECT_EQ(ProcOf(target.hwnd), &TargetWindow::Proc);

    ::SendMessageW(target.hwnd, kProbe, 0, 0);
    EXPECT_EQ(log.messages, std::vector<UINT>{kUnsubclassNow});
}

TEST(WindowSubclassRegistry, UnsubclassingAnotherWindowInsideAMessage)
{
    TargetWindow first;
    TargetWindow second;
    CallbackLog firstLog;
    CallbackLog secondLog;
    firstLog.unsubclassOnRequest = second.hwnd;
    ASSERT_EQ(SubclassWindowWithCallback(first.hwnd, &Record, &firstLog), 1);
    ASSERT_EQ(SubclassWindowWithCallback(second.hwnd, &Record, &secondLog), 1);

    ::SendMessageW(first.hwnd, kUnsubclassNow, 0, 0);
    EXPECT_FALSE(IsWindowSubclassedWithCallback(second.hwnd));
    EXPECT_TRUE(IsWindowSubclassedWithCallback(first.hwnd));
    ::SendMessageW(second.hwnd, kProbe, 0, 0);
    EXPECT_TRUE(secondLog.messages.empty());

    EXPECT_EQ(UnsubclassWindowWithCallback(first.hwnd), 1);
    EXPECT_EQ(WindowSubclassRegistry::Get(), nullptr);
}

TEST(WindowSubclassRegistry, EmptiedAndCreatedAgain)
{
    TargetWindow a;
    TargetWindow b;
    CallbackLog logA;
    CallbackLog logB;
    ASSERT_EQ(SubclassWindowWithCallback(a.hwnd, &Record, &logA), 1);
    ASSERT_EQ(SubclassWindowWithCallback(b.hwnd, &Record, &logB), 1);
    EXPECT_EQ(WindowSubclassRegistry::Get()->GetCount(), 2u);

    EXPECT_EQ(UnsubclassWindowWithCallback(a.hwnd), 1);
    ASSERT_NE(WindowSubclassRegistry::Get(), nullptr);
    EXPECT_FALSE(IsWindowSubclassedWithCallback(a.hwnd));
    EXPECT_TRUE(IsWindowSubclassedWithCallback(b.hwnd));
    EXPECT_EQ(UnsubclassWindowWithCallback(b.hwnd), 1);
    EXPECT_EQ(WindowSubclassRegistry::Get(), nullptr);
    EXPECT_FALSE(IsWindowSubclassedWithCallback(b.hwnd));

    ASSERT_EQ(SubclassWindowWithCallback(a.hwnd, &Record, &logA), 1);
    ASSERT_NE(WindowSubclassRegistry::Get(), nullptr);
    ::SendMessageW(a.hwnd, kProbe, 0, 0);
    EXPECT_EQ(logA.messages, std::vector<UINT>{kProbe});
    const SubclassEntry* entry = FindSubclassEntry(a.hwnd);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->previousProc, &TargetWindow::Proc);
    EXPECT_EQ(entry->userData, &logA);
    EXPECT_EQ(UnsubclassWindowWithCallback(a.hwnd), 1);
}

TEST(WindowSubclassRegistry, MessageForAVanishedEntryGoesToTheDefaultProcedure)
{
    TargetWindow target;
    // The common procedure installed by hand, with no entry behind it.
    ::SetWindowLongPtrW(target.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassRegistryWndProc));
    EXPECT_EQ(::SendMessageW(target.hwnd, kProbe, 0, 0), 0);
    EXPECT_TRUE(TargetWindow::Seen().empty());
}
