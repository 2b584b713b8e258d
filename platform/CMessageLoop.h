#pragma once
// The message loop of one user-interface thread, with message filters and idle handlers.
//
// Run() takes messages until WM_QUIT and returns its wParam. Each message is offered to the filters in the order
// they were added; the first that returns TRUE consumes it. Otherwise it is translated and dispatched. When the
// queue has run empty the idle handlers are called in the order they were added, once per idle period: the next
// period starts after a message other than mouse moves, paints and system timer ticks.
// Filters and handlers may add or remove themselves or others while being called.

#include <windows.h>

#include <vector>

#include "platform/CIdleHandler.h"
#include "platform/CMessageFilter.h"

class CMessageLoop
{
public:
    CMessageLoop() = default;
    virtual ~CMessageLoop() = default;
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;

    // Return FALSE for a null pointer or one already in the list (Add) or not in it (Remove).
    BOOL AddMessageFilter(CMessageFilter* pFilter);
    BOOL RemoveMessageFilter(CMessageFilter* pFilter);
    BOOL AddIdleHandler(CIdleHandler* pHandler);
    BOOL RemoveIdleHandler(CIdleHandler* pHandler);

    int Run();

    // Offers the message to the filters in order; TRUE when one took it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Calls the idle handlers; the loop calls it again in the same idle period only while it returns TRUE.
    virtual BOOL OnIdle(int nIdleCount);
    // FALSE for the messages that do not start a new idle period (mouse moves, paints, system timer ticks).
    static BOOL IsIdleMessage(const MSG* pMsg);

    MSG m_msg{};

private:
    template <typename T>
    class List
    {
    public:
        BOOL Add(T* item);
        BOOL Remove(T* item);
        template <typename Fn>
        bool ForEachUntil(Fn fn); // stops when fn returns true; tolerates changes during the walk

    private:
        std::vector<T*> m_items;
        int m_walking = 0;
        bool m_holes = false;
    };

    List<CMessageFilter> m_filters;
    List<CIdleHandler> m_idleHandlers;
};
