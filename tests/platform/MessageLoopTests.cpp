#include "platform/CAppModule.h"
#include "platform/CMessageLoop.h"
#include "platform/CWindowImpl.h"
#include "FailSafeTimer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Log = std::vector<std::string>;

// A message-only window that records what reaches it.
class SinkWnd : public CWindowImpl<SinkWnd, CWindow, CNullTraits>
{
public:
    Log* log = nullptr;
    std::function<void(UINT)> onMessage;

    BEGIN_MSG_MAP(SinkWnd)
    MESSAGE_RANGE_HANDLER(WM_APP, WM_APP + 100, OnApp)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnOther)
    MESSAGE_HANDLER(WM_TIMER, OnOther)
    END_MSG_MAP()

    LRESULT OnApp(UINT uMsg, WPARAM, LPARAM, BOOL&)
    {
        log->push_back("window:" + std::to_string(uMsg - WM_APP));
        if (onMessage)
            onMessage(uMsg);
        return 0;
    }
    LRESULT OnOther(UINT uMsg, WPARAM wParam, LPARAM, BOOL&)
    {
        if (uMsg == WM_TIMER)
            KillTimer(wParam);
        log->push_back(uMsg == WM_TIMER ? "window:timer" : "window:mousemove");
        return 0;
    }
};

struct LoopFixture : testing::Test
{
    Log log;
    SinkWnd sink;
    CMessageLoop loop;

    void SetUp() override
    {
        sink.log = &log;
        ASSERT_NE(sink.Create(HWND_MESSAGE, RectArg(), nullptr, 0), nullptr);
    }
    void TearDown() override { sink.DestroyWindow(); }
};

class Filter : public CMessageFilter
{
public:
    Filter(std::string name, Log* log, UINT takes = 0) : m_name(std::move(name)), m_log(log), m_takes(takes)
    {}
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message < WM_APP || pMsg->message > WM_APP + 100)
            return FALSE;
        m_log->push_back(m_name + ":" + std::to_string(pMsg->message - WM_APP));
        if (then)
            then();
        return pMsg->message == m_takes;
    }
    std::function<void()> then;

private:
    std::string m_name;
    Log* m_log;
    UINT m_takes;
};

TEST_F(LoopFixture, FiltersSeeMessagesInOrderAndTheFirstThatTakesOneEndsIt)
{
    Filter first("first", &log), second("second", &log, WM_APP + 1), third("third", &log);
    EXPECT_TRUE(loop.AddMessageFilter(&first));
    EXPECT_TRUE(loop.AddMessageFilter(&second));
    EXPECT_TRUE(loop.AddMessageFilter(&third));
    EXPECT_FALSE(loop.AddMessageFilter(&second));
    EXPECT_FALSE(loop.AddMessageFilter(nullptr));

    sink.PostMessage(WM_APP + 1);
    sink.PostMessage(WM_APP + 2);
    ::PostQuitMessage(7);
    FailSafeTimer guard = FailSafeTimer::QuitLoopAfter(10000);
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(log, (Log{"first:1", "second:1", "first:2", "second:2", "third:2", "window:2"}));
    EXPECT_EQ(loop.m_msg.message, static_cast<UINT>(WM_QUIT));

    // a filter that removes itself and the next one while being called
    log.clear();
    first.then = [&] {
        loop.RemoveMessageFilter(&first);
        loop.RemoveMessageFilter(&second);
    };
    sink.PostMessage(WM_APP + 1);
    sink.PostMessage(WM_APP + 3);
    ::PostQuitMessage(8);
    EXPECT_EQ(loop.Run(), 8);
    EXPECT_EQ(log, (Log{"first:1", "third:1", "window:1", "third:3", "window:3"}));
    EXPECT_FALSE(loop.RemoveMessageFilter(&first));
    EXPECT_TRUE(loop.RemoveMessageFilter(&third));
}

class Idle : public CIdleHandler
{
public:
    Idle(std::string name, Log* log) : m_name(std::move(name)), m_log(log) {}
    BOOL OnIdle() override
    {
        ++calls;
        m_log->push_back(m_name);
        if (then)
            then();
        return TRUE; // asks for more: the loop still calls it once per idle period
    }
    int calls = 0;
    std::function<void()> then;

private:
    std::string m_name;
    Log* m_log;
};

TEST_F(LoopFixture, IdleHandlersRunInOrderOncePerIdlePeriod)
{
    Idle a("idle-a", &log), b("idle-b", &log);
    EXPECT_TRUE(loop.AddIdleHandler(&a));
    EXPECT_TRUE(loop.AddIdleHandler(&b));
    EXPECT_FALSE(loop.AddIdleHandler(&a));

    // each idle period posts the next message; a mouse move does not start a new period, the timer does
    b.then = [&] {
        switch (b.calls) {
        case 1:
            sink.PostMessage(WM_APP + 1);
            sink.PostMessage(WM_APP + 2); // both are taken before the queue is empty again
            break;
        case 2:
            sink.PostMessage(WM_MOUSEMOVE);
            sink.SetTimer(1, 30);
            break;
        default:
            ::PostQuitMessage(0);
        }
    };
    FailSafeTimer guard = FailSafeTimer::QuitLoopAfter(10000);
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_FALSE(guard.Fired());
    EXPECT_EQ(log, (Log{"idle-a", "idle-b", "window:1", "window:2", "idle-a", "idle-b", "window:mousemove",
                        "window:timer", "idle-a", "idle-b"}));
}

TEST_F(LoopFixture, IdleHandlersMayRemoveThemselvesAndOthersWhileCalled)
{
    Idle a("idle-a", &log), b("idle-b", &log), c("idle-c", &log);
    loop.AddIdleHandler(&a);
    loop.AddIdleHandler(&b);
    loop.AddIdleHandler(&c);
    a.then = [&] {
        loop.RemoveIdleHandler(&a);
        loop.RemoveIdleHandler(&b);
    };
    c.then = [&] {
        if (c.calls == 1)
            sink.PostMessage(WM_APP + 1);
        else
            ::PostQuitMessage(0);
    };
    FailSafeTimer guard = FailSafeTimer::QuitLoopAfter(10000);
    loop.Run();
    EXPECT_EQ(log, (Log{"idle-a", "idle-c", "window:1", "idle-c"}));
    EXPECT_FALSE(loop.RemoveIdleHandler(&b));
    EXPECT_TRUE(loop.RemoveIdleHandler(&c));
}

TEST(AppModule, OneMessageLoopPerThread)
{
    CMessageLoop mainLoop, otherLoop, secondLoop;
    DWORD mainThread = ::GetCurrentThreadId();
    ASSERT_TRUE(_Module.AddMessageLoop(&mainLoop));
    EXPECT_FALSE(_Module.AddMessageLoop(&secondLoop));
    EXPECT_FALSE(_Module.AddMessageLoop(nullptr));
    EXPECT_EQ(_Module.GetMessageLoop(), &mainLoop);

    CMessageLoop* seenFromThread = &secondLoop;
    CMessageLoop* mainSeenFromThread = nullptr;
    CMessageLoop* ownSeenFromThread = nullptr;
    BOOL removedOnThread = FALSE;
    std::thread worker([&] {
        seenFromThread = _Module.GetMessageLoop();
        mainSeenFromThread = _Module.GetMessageLoop(mainThread);
        _Module.AddMessageLoop(&otherLoop);
        ownSeenFromThread = _Module.GetMessageLoop();
        removedOnThread = _Module.RemoveMessageLoop();
    });
    worker.join();
    EXPECT_EQ(seenFromThread, nullptr);
    EXPECT_EQ(mainSeenFromThread, &mainLoop);
    EXPECT_EQ(ownSeenFromThread, &otherLoop);
    EXPECT_TRUE(removedOnThread);
    EXPECT_EQ(_Module.GetMessageLoop(), &mainLoop);

    EXPECT_TRUE(_Module.RemoveMessageLoop());
    EXPECT_FALSE(_Module.RemoveMessageLoop());
    EXPECT_EQ(_Module.GetMessageLoop(), nullptr);
}

TEST(AppModule, InstanceHandles)
{
    HINSTANCE exe = ::GetModuleHandleW(nullptr);
    EXPECT_EQ(_Module.GetModuleInstance(), exe); // before Init: the executable
    EXPECT_EQ(_Module.Init(exe), S_OK);
    EXPECT_EQ(_Module.GetResourceInstance(), exe);
    HINSTANCE other = ::GetModuleHandleW(L"user32.dll");
    EXPECT_EQ(_Module.SetResourceInstance(other), exe);
    EXPECT_EQ(_Module.GetResourceInstance(), other);
    EXPECT_EQ(_Module.GetModuleInstance(), exe);
    _Module.Term();
    EXPECT_EQ(_Module.GetResourceInstance(), exe);
}
} // namespace
