#pragma once
// Keeps a test from hanging in a message loop or modal dialog that does not end by itself: after the given time
// a thread timer runs the given action (post WM_QUIT, end a dialog) once, on the thread that made the object,
// from whatever message loop that thread is in. One per thread at a time.

#include <windows.h>

#include <functional>
#include <utility>

class FailSafeTimer
{
public:
    FailSafeTimer(UINT ms, std::function<void()> action) : m_action(std::move(action))
    {
        s_current = this;
        m_id = ::SetTimer(nullptr, 0, ms, &FailSafeTimer::OnTimer);
    }
    ~FailSafeTimer()
    {
        if (m_id)
            ::KillTimer(nullptr, m_id);
        s_current = nullptr;
    }
    FailSafeTimer(const FailSafeTimer&) = delete;
    FailSafeTimer& operator=(const FailSafeTimer&) = delete;

    bool Fired() const { return m_fired; }

    static FailSafeTimer QuitLoopAfter(UINT ms)
    {
        return FailSafeTimer(ms, [] { ::PostQuitMessage(-1); });
    }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        FailSafeTimer* self = s_current;
        if (!self || self->m_id != id)
            return;
        self->m_id = 0;
        self->m_fired = true;
        self->m_action();
    }

    static inline thread_local FailSafeTimer* s_current = nullptr;
    std::function<void()> m_action;
    UINT_PTR m_id = 0;
    bool m_fired = false;
};
