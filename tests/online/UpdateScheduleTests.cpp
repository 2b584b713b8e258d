// When the automatic update check runs, and the wait before a check while
// the system is offline.
#include "online/ConnectionWait.h"
#include "online/UpdateSchedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
SYSTEMTIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD ms = 0)
{
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = ms;
    return time;
}

// A system that is offline for the first `offlineTests` connection tests and
// records every wait; the stop event is "set" at the wait numbered `stopAt`.
class CScriptedPort : public IConnectionWaitPort
{
public:
    CScriptedPort(int offlineTests, int stopAt) : m_offlineTests(offlineTests), m_stopAt(stopAt) {}
    int ConnectionState() override { return m_tests++ < m_offlineTests ? 2 : 0; }
    bool WaitForStop(DWORD ms) override
    {
        waits.push_back(ms);
        return static_cast<int>(waits.size()) == m_stopAt;
    }
    std::vector<DWORD> waits;

private:
    int m_offlineTests;
    int m_stopAt;
    int m_tests = 0;
};
} // namespace

TEST(UpdateSchedule, DelayFollowsTheLastCheckAndTheDays)
{
    struct Case
    {
        const char* name;
        SYSTEMTIME last;
        int days;
        SYSTEMTIME now;
        DWORD delayMs;
    };
    const Case cases[] = {
        {"overdue: ten minutes", Utc(2026, 1, 1, 12, 0, 0), 7, Utc(2026, 12, 10, 17, 30, 0), 600000},
        {"due in two days", Utc(2026, 12, 5, 17, 30, 0), 7, Utc(2026, 12, 10, 17, 30, 0), 2u * 86400000u},
        {"due in 90 s, milliseconds dropped", Utc(2026, 12, 9, 17, 31, 30, 500), 1,
         Utc(2026, 12, 10, 17, 30, 0), 90000},
        {"checked just now, 30 days", Utc(2026, 12, 10, 17, 30, 0), 30, Utc(2026, 12, 10, 17, 30, 0),
         30u * 86400000u},
        {"last check in the future: at most the days", Utc(2031, 1, 1, 0, 0, 0), 3,
         Utc(2026, 12, 10, 17, 30, 0), 3u * 86400000u},
        {"unreadable last check: overdue", Utc(0, 0, 0, 0, 0, 0), 7, Utc(2026, 12, 10, 17, 30, 0), 600000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputeUpdateCheckSchedule(c.last, c.days, c.now).delayMs, c.delayMs) << c.name;
}

TEST(UpdateSchedule, LogLineNamesTheDueDateAndTheWait)
{
    const UpdateCheckSchedule schedule =
        ComputeUpdateCheckSchedule(Utc(2026, 12, 5, 8, 4, 3), 7, Utc(2026, 12, 10, 8, 4, 3));
    EXPECT_EQ(std::wstring(FormatUpdateScheduleLogLine(schedule).GetString()),
              L"Next update date: 12-12-2026 08:04:03, wait for checkupdates ms=172800000 sec=172800 "
              L"minutes=2880 hour=48 days=2");
}

TEST(ConnectionWait, OfflinePausesDoubleUpToAnHourAndShortenTheDelay)
{
    // Online at once: one wait of the whole delay.
    CScriptedPort online(0, 0);
    EXPECT_TRUE(WaitForConnectionAndDelay(online, 600000));
    EXPECT_EQ(online.waits, (std::vector<DWORD>{600000}));

    // Offline for three tests: 5 s, 10 s, 20 s, then the rest of the delay
    // less the doubled steps (10 + 20 + 40 s).
    CScriptedPort offline(3, 0);
    EXPECT_TRUE(WaitForConnectionAndDelay(offline, 600000));
    EXPECT_EQ(offline.waits, (std::vector<DWORD>{5000, 10000, 20000, 530000}));

    // Long offline: the pause stops doubling at one hour.
    CScriptedPort longOffline(14, 0);
    EXPECT_TRUE(WaitForConnectionAndDelay(longOffline, 0));
    ASSERT_EQ(longOffline.waits.size(), 15u);
    EXPECT_EQ(longOffline.waits[9], 2560000u);
    EXPECT_EQ(longOffline.waits[10], 3600000u);
    EXPECT_EQ(longOffline.waits[13], 3600000u);
    EXPECT_EQ(longOffline.waits[14], 0u);
}

TEST(ConnectionWait, StopEndsAnyWait)
{
    for (int stopAt = 1; stopAt <= 4; ++stopAt) {
        CScriptedPort port(3, stopAt);
        EXPECT_FALSE(WaitForConnectionAndDelay(port, 600000)) << stopAt;
        EXPECT_EQ(port.waits.size(), static_cast<size_t>(stopAt));
    }
    // The real stop event, already set: no wait lasts.
    HANDLE stop = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
    EXPECT_FALSE(WaitForConnectionAndDelay(stop, 3600000));
    ::CloseHandle(stop);
}
