#include "common/WinEventHookDispatcher.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{
// Application-defined event ids, so nothing else in the system fires them.
const DWORD kEventA = 0xA101;
const DWORD kEventB = 0xA102;
const DWORD kEventC = 0xA103;

struct Subscriber : IWinEventSubscriber
{
    std::vector<WinEventRecord> records;
    std::vector<DWORD> userValues;
    std::function<void()> onEvent;

    void OnWinEvent(const WinEventRecord& record, DWORD userValue) override
    {
        records.push_back(record);
        userValues.push_back(userValue);
        if (onEvent)
            onEvent();
    }

    std::vector<DWORD> Ids() const
    {
        std::vector<DWORD> ids;
        for (const auto& r : records)
            ids.push_back(r.eventId);
        return ids;
    }
};

void PumpFor(
    DWORD ms, const std::function<bool()>& done = [] { return false; })
{
    const DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < ms) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        if (done())
            return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

class WinEventDispatcherTest : public testing::Test
{
protected:
    void SetUp() override
    {
        window =
            ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        auto& d = CWinEventHookDispatcher::GetInstance();
        d.Unsubscribe(&a);
        d.Unsubscribe(&b);
        d.SetWinEventHookRange(EVENT_MIN, EVENT_MAX);
        EXPECT_FALSE(d.IsHooked());
        ::DestroyWindow(window);
    }

    void Fire(DWORD eventId, LONG childId = CHILDID_SELF)
    {
        ::NotifyWinEvent(eventId, window, OBJID_CLIENT, childId);
    }

    HWND window = nullptr;
    Subscriber a;
    Subscriber b;
};
} // namespace

TEST_F(WinEventDispatcherTest, SubscribeAndUnsubscribeRules)
{
    auto& d = CWinEventHookDispatcher::GetInstance();
    EXPECT_FALSE(d.IsHooked());
    EXPECT_EQ(d.Subscribe(&a, 1, kEventA), 1);
    EXPECT_TRUE(d.IsHooked());
    EXPECT_EQ(d.Subscribe(&a, 1, kEventA), 0);
    EXPECT_EQ(d.Subscribe(&a, 9, kEventB), 1);
    EXPECT_TRUE(d.IsSubscribed(&a, kEventA));
    EXPECT_TRUE(d.IsSubscribed(&a, kEventB));

    EXPECT_EQ(d.Unsubscribe(&b), 0);
    EXPECT_TRUE(d.IsHooked());
    EXPECT_EQ(d.Subscribe(&b, 2, kEventC), 1);
    EXPECT_EQ(d.Unsubscribe(&a), 1);
    EXPECT_FALSE(d.IsSubscribed(&a, kEventA));
    EXPECT_TRUE(d.IsHooked());
    EXPECT_EQ(d.Unsubscribe(&b), 1);
    EXPECT_FALSE(d.IsHooked());
}

TEST_F(WinEventDispatcherTest, SubscribersGetOnlyTheirOwnIds)
{
    auto& d = CWinEventHookDispatcher::GetInstance();
    ASSERT_EQ(d.Subscribe(&a, 5, kEventA), 1);
    ASSERT_EQ(d.Subscribe(&b, 7, kEventB), 1);
    ASSERT_EQ(d.Subscribe(&b, 8, kEventC), 1); // the user value stays 7

    Fire(kEventA, 3);
    Fire(kEventB);
    Fire(kEventC);
    PumpFor(3000, [&] { return a.records.size() >= 1 && b.records.size() >= 2; });

    EXPECT_EQ(a.Ids(), (std::vector<DWORD>{kEventA}));
    EXPECT_EQ(b.Ids(), (std::vector<DWORD>{kEventB, kEventC}));
    ASSERT_EQ(a.records.size(), 1u);
    const WinEventRecord& r = a.records[0];
    EXPECT_EQ(r.window, window);
    EXPECT_EQ(r.objectId, OBJID_CLIENT);
    EXPECT_EQ(r.childId, 3);
    EXPECT_EQ(r.threadId, ::GetCurrentThreadId());
    EXPECT_EQ(a.userValues, (std::vector<DWORD>{5}));
    EXPECT_EQ(b.userValues, (std::vector<DWORD>{7, 7}));
}

TEST_F(WinEventDispatcherTest, SubscriberRemovedDuringDispatchIsNotCalled)
{
    auto& d = CWinEventHookDispatcher::GetInstance();
    Subscriber late;
    ASSERT_EQ(d.Subscribe(&a, 0, kEventA), 1);
    ASSERT_EQ(d.Subscribe(&b, 0, kEventA), 1);
    // a drops b and adds a newcomer while the event is being dispatched.
    a.onEvent = [&] {
        d.Unsubscribe(&b);
        d.Subscribe(&late, 0, kEventA);
    };

    Fire(kEventA);
    PumpFor(3000, [&] { return !a.records.empty(); });
    PumpFor(100);

    EXPECT_EQ(a.records.size(), 1u);
    EXPECT_TRUE(b.records.empty());
    EXPECT_TRUE(late.records.empty());
    d.Unsubscribe(&late);
}

TEST_F(WinEventDispatcherTest, RangeLimitsTheHook)
{
    auto& d = CWinEventHookDispatcher::GetInstance();
    ASSERT_EQ(d.Subscribe(&a, 0, kEventA), 1);
    ASSERT_EQ(d.Subscribe(&a, 0, kEventB), 1);
    d.SetWinEventHookRange(kEventC, kEventB); // either order
    EXPECT_TRUE(d.IsHooked());

    Fire(kEventA);
    Fire(kEventB);
    PumpFor(3000, [&] { return !a.records.empty(); });
    PumpFor(100);
    EXPECT_EQ(a.Ids(), (std::vector<DWORD>{kEventB}));
}
