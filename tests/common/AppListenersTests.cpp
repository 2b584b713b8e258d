#include "common/AppListeners.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace
{
struct Call
{
    const void* listener;
    int code;
    LPARAM value;
    bool operator==(const Call&) const = default;
};

std::vector<Call> g_calls;

class AppListener : public IAppEventListener
{
public:
    std::function<void()> onCall;
    void OnAppEvent(int code, LPARAM value) override
    {
        g_calls.push_back({this, code, value});
        if (onCall)
            onCall();
    }
};

class SpyListener : public IClipboardSpyStateListener
{
public:
    std::function<void()> onCall;
    void OnClipboardSpyState(int code, LPARAM value) override
    {
        g_calls.push_back({this, code, value});
        if (onCall)
            onCall();
    }
};

class ListenerSetsTest : public testing::Test
{
protected:
    void SetUp() override { g_calls.clear(); }
};
} // namespace

TEST_F(ListenerSetsTest, AppEventsReachEveryListenerButTheSender)
{
    AppListener listeners[3];
    for (AppListener& listener : listeners)
        AddAppEventListener(&listener);
    AddAppEventListener(&listeners[0]); // held once
    AddAppEventListener(nullptr);       // ignored

    NotifyAppEventListeners(nullptr, AppEventSessionChange, 7);
    ASSERT_EQ(g_calls.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(g_calls[i], (Call{&listeners[i], 1, 7})) << "ascending pointer order";

    g_calls.clear();
    NotifyAppEventListeners(&listeners[1], AppEventSettingsReloaded, 0);
    EXPECT_EQ(g_calls, (std::vector<Call>{{&listeners[0], 0, 0}, {&listeners[2], 0, 0}}));

    for (AppListener& listener : listeners)
        RemoveAppEventListener(&listener);
    RemoveAppEventListener(&listeners[0]); // absent: nothing happens
    g_calls.clear();
    NotifyAppEventListeners(nullptr, 0, 0);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(ListenerSetsTest, ClipboardSpyCountsAndResults)
{
    SpyListener first;
    SpyListener second;
    EXPECT_EQ(NotifyClipboardSpyListeners(nullptr, 0, 1), 0) << "empty set";

    EXPECT_EQ(AddClipboardSpyListener(&first), 1);
    EXPECT_EQ(AddClipboardSpyListener(&first), 0);
    EXPECT_EQ(AddClipboardSpyListener(nullptr), 0);
    EXPECT_EQ(NotifyClipboardSpyListeners(&first, 0, 1), 0) << "the only listener is the sender";
    EXPECT_TRUE(g_calls.empty());

    EXPECT_EQ(AddClipboardSpyListener(&second), 1);
    EXPECT_EQ(NotifyClipboardSpyListeners(nullptr, 0, 1), 2);
    EXPECT_EQ(NotifyClipboardSpyListeners(&second, 3, 4), 1);
    EXPECT_EQ(g_calls.back(), (Call{&first, 3, 4}));

    EXPECT_EQ(RemoveClipboardSpyListener(&first), 1);
    EXPECT_EQ(RemoveClipboardSpyListener(&first), 0);
    EXPECT_EQ(RemoveClipboardSpyListener(&second), 1);
    EXPECT_EQ(NotifyClipboardSpyListeners(nullptr, 0, 0), 0);
}

TEST_F(ListenerSetsTest, ListenerMayRemoveItselfOrOthersDuringNotify)
{
    SpyListener listeners[3];
    for (SpyListener& listener : listeners)
        AddClipboardSpyListener(&listener);

    // The first removes itself: the others are still called.
    listeners[0].onCall = [&] { RemoveClipboardSpyListener(&listeners[0]); };
    EXPECT_EQ(NotifyClipboardSpyListeners(nullptr, 0, 0), 3);
    EXPECT_EQ(NotifyClipboardSpyListeners(nullptr, 0, 0), 2);

    // The second removes the third (as a window destroying its sibling would):
    // the removed one is not called any more in this round.
    g_calls.clear();
    listeners[1].onCall = [&] { RemoveClipboardSpyListener(&listeners[2]); };
    EXPECT_EQ(NotifyClipboardSpyListeners(nullptr, 0, 0), 1);
    EXPECT_EQ(g_calls, (std::vector<Call>{{&listeners[1], 0, 0}}));
    RemoveClipboardSpyListener(&listeners[1]);
}

TEST_F(ListenerSetsTest, ListenerDestroyedByAnEarlierOneIsNotCalled)
{
    // Listeners in ascending address order: elements of one array.
    auto listeners = std::make_unique<AppListener[]>(2);
    AppListener* later = &listeners[1];
    AddAppEventListener(&listeners[0]);
    AddAppEventListener(later);
    bool laterGone = false;
    listeners[0].onCall = [&] {
        RemoveAppEventListener(later);
        laterGone = true; // from here on it must not be touched
    };
    NotifyAppEventListeners(nullptr, 0, 0);
    EXPECT_TRUE(laterGone);
    EXPECT_EQ(g_calls, (std::vector<Call>{{&listeners[0], 0, 0}}));

    // A listener added during a round is called from the next round on.
    g_calls.clear();
    AppListener added;
    listeners[0].onCall = [&] { AddAppEventListener(&added); };
    NotifyAppEventListeners(nullptr, 0, 0);
    EXPECT_EQ(g_calls.size(), 1u);
    listeners[0].onCall = nullptr;
    g_calls.clear();
    NotifyAppEventListeners(nullptr, 0, 0);
    EXPECT_EQ(g_calls.size(), 2u);
    RemoveAppEventListener(&added);
    RemoveAppEventListener(&listeners[0]);
}
