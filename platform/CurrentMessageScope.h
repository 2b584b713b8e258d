#pragma once
// Makes a message the "current message" of a window or dialog object while its map handles it, and puts the outer
// one back afterwards, so that messages sent from inside a handler nest correctly.

#include <windows.h>

class CurrentMessageScope
{
public:
    CurrentMessageScope(const MSG*& current, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
        : m_current(current), m_outer(current)
    {
        m_msg.hwnd = hWnd;
        m_msg.message = uMsg;
        m_msg.wParam = wParam;
        m_msg.lParam = lParam;
        m_current = &m_msg;
    }
    CurrentMessageScope(const CurrentMessageScope&) = delete;
    CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;

    // Puts the outer message back (before the object may go away); true when there was none.
    bool Leave()
    {
        m_current = m_outer;
        return m_outer == nullptr;
    }

private:
    MSG m_msg{};
    const MSG*& m_current;
    const MSG* m_outer;
};
