// The debounce of saved phrase changes towards the main program, driven by a fake clock against the real
// named event.
// test-locks: coopevent

#include "editor/app/document/PhraseChangeDebounce.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

DWORD g_now = 0;
DWORD FakeTicks()
{
    return g_now;
}

class PhraseChangeDebounceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_now = 50000;
        m_event = ::CreateEventW(nullptr, FALSE, FALSE, L"Local\\Scrivolanter_CoopClientEditor");
        ASSERT_NE(nullptr, m_event);
    }
    void TearDown() override { ::CloseHandle(m_event); }

    bool TakeSignal() { return ::WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0; }

    HANDLE m_event = nullptr;
};

} // namespace

TEST_F(PhraseChangeDebounceTest, ManyChangesSignalOnceTwoToThreeSecondsAfterTheLast)
{
    PhraseChangeDebounce debounce(&FakeTicks);
    // Changes every 700 ms for five seconds, with the one-second timer running beside them.
    const DWORD start = g_now;
    DWORD lastChange = 0;
    DWORD nextTimer = start + 1000;
    std::vector<DWORD> signals;
    for (DWORD t = start; t < start + 15000; t += 100) {
        g_now = t;
        if (t < start + 5000 && (t - start) % 700 == 0) {
            debounce.NoteChange();
            lastChange = t;
            nextTimer = t + 1000; // SetTimer restarts the period
        }
        if (t == nextTimer) {
            nextTimer += 1000;
            if (debounce.OnTimer())
                signals.push_back(t);
            if (TakeSignal())
                EXPECT_EQ(signals.back(), t);
        }
    }
    ASSERT_EQ(1u, signals.size());
    EXPECT_GT(signals[0] - lastChange, 2000u);
    EXPECT_LE(signals[0] - lastChange, 3000u);
    EXPECT_FALSE(debounce.IsPending());
    EXPECT_FALSE(TakeSignal());
}

TEST_F(PhraseChangeDebounceTest, ClosingSignalsOnceWithOrWithoutAPendingChange)
{
    for (bool pending : {true, false}) {
        PhraseChangeDebounce debounce(&FakeTicks);
        if (pending)
            debounce.NoteChange();
        debounce.Flush();
        EXPECT_TRUE(TakeSignal()) << pending;
        EXPECT_FALSE(TakeSignal()) << pending;
        g_now += 5000;
        EXPECT_FALSE(debounce.OnTimer()) << pending;
        EXPECT_FALSE(TakeSignal()) << pending;
    }
}

TEST_F(PhraseChangeDebounceTest, NoSignalWhileChangesKeepComing)
{
    PhraseChangeDebounce debounce(&FakeTicks);
    g_now = 0; // a tick of 0 still counts as a pending change
    debounce.NoteChange();
    EXPECT_TRUE(debounce.IsPending());
    g_now = 2000;
    EXPECT_FALSE(debounce.OnTimer());
    g_now = 2500;
    EXPECT_TRUE(debounce.OnTimer());
    EXPECT_TRUE(TakeSignal());
}
