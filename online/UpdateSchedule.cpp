#include "online/UpdateSchedule.h"

#include <oleauto.h>

#include <cmath>

#include "common/DateTimeHelpers.h"

namespace
{
constexpr DWORD kOverdueDelayMs = 600000;
constexpr double kSecondsPerDay = 86400.0;

bool ToOleDate(const SYSTEMTIME& time, double& date)
{
    return SystemTimeToVariantTimeMs(time, &date) != 0;
}
} // namespace

UpdateCheckSchedule ComputeUpdateCheckSchedule(const SYSTEMTIME& lastCheck, int days, const SYSTEMTIME& now)
{
    UpdateCheckSchedule schedule;
    schedule.due = lastCheck;
    schedule.delayMs = kOverdueDelayMs;
    if (days < 1)
        days = 1;
    double dueDate = 0;
    double nowDate = 0;
    if (!AddDaysToSystemTime(schedule.due, days) || !ToOleDate(schedule.due, dueDate) ||
        !ToOleDate(now, nowDate))
        return schedule;
    if (nowDate > dueDate)
        return schedule;
    // OLE dates are days as doubles: round to whole milliseconds before the
    // seconds are truncated, so that two whole days stay two whole days.
    const double longest = static_cast<double>(days) * kSecondsPerDay;
    const double milliseconds = std::floor((dueDate - nowDate) * kSecondsPerDay * 1000.0 + 0.5);
    double seconds = std::floor(milliseconds / 1000.0);
    if (seconds > longest)
        seconds = longest;
    schedule.delayMs = static_cast<DWORD>(seconds) * 1000u;
    return schedule;
}

CString FormatUpdateScheduleLogLine(const UpdateCheckSchedule& schedule)
{
    const SYSTEMTIME& due = schedule.due;
    const DWORD ms = schedule.delayMs;
    CString line;
    line.Format(
        L"Next update date: %.2d-%.2d-%.4d %.2d:%.2d:%.2d, wait for checkupdates ms=%u sec=%u minutes=%u "
        L"hour=%u days=%u",
        due.wDay, due.wMonth, due.wYear, due.wHour, due.wMinute, due.wSecond, ms, ms / 1000, ms / 60000,
        ms / 3600000, ms / 86400000);
    return line;
}
