#pragma once
// Timers and cursor of a tooltip under a test's control.

#include "editor/controls/HtmlToolTip.h"

#include <algorithm>
#include <map>

namespace
{

// Timers and cursor of the tooltip under the test's control. Timers repeat
// like SetTimer's until stopped; Advance fires the due ones in time order.
class FakeClock : public ToolTipClock
{
public:
    struct Timer
    {
        UINT period;
        ULONGLONG due;
    };

    void StartTimer(HWND, UINT_PTR id, UINT milliseconds) override
    {
        timers[id] = Timer{milliseconds, now + milliseconds};
        ++starts[id];
    }
    void StopTimer(HWND, UINT_PTR id) override { timers.erase(id); }
    POINT CursorPos() override { return cursor; }

    void Advance(CHtmlToolTip& tip, ULONGLONG milliseconds)
    {
        ULONGLONG end = now + milliseconds;
        for (;;) {
            auto next = timers.end();
            for (auto it = timers.begin(); it != timers.end(); ++it) {
                if (it->second.due <= end && (next == timers.end() || it->second.due < next->second.due))
                    next = it;
            }
            if (next == timers.end())
                break;
            now = next->second.due;
            UINT_PTR id = next->first;
            next->second.due = now + std::max<UINT>(1, next->second.period);
            tip.OnTimerStep(id);
        }
        now = end;
    }
    bool Running(UINT_PTR id) const { return timers.count(id) != 0; }

    ULONGLONG now = 0;
    POINT cursor = {};
    std::map<UINT_PTR, Timer> timers;
    std::map<UINT_PTR, int> starts;
};

} // namespace
