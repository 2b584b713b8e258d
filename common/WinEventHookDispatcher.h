#pragma once

// One out-of-context WinEvent hook for the whole process, shared by any number
// of subscribers, each with its own set of event ids. The hook is installed
// while at least one subscriber exists. User-interface thread only: the hook
// procedure runs inside the installing thread's message loop.

#include <windows.h>

#include <set>
#include <vector>

struct WinEventRecord
{
    DWORD eventId;
    HWND window;
    DWORD threadId;
    LONG objectId;
    LONG childId;
    DWORD timeMs;
};

class IWinEventSubscriber
{
public:
    virtual void OnWinEvent(const WinEventRecord& record, DWORD userValue) = 0;

protected:
    ~IWinEventSubscriber() = default;
};

class CWinEventHookDispatcher
{
public:
    static CWinEventHookDispatcher& GetInstance();

    // Adds an event id to the subscriber's set (a new subscriber keeps the
    // given user value); 0 when the subscriber already has that id.
    int Subscribe(IWinEventSubscriber* subscriber, DWORD userValue, DWORD eventId);
    // Removes the subscriber with all its ids; unhooks when none is left.
    // 0 when the subscriber is unknown.
    int Unsubscribe(IWinEventSubscriber* subscriber);
    bool IsHooked() const { return m_hook != nullptr; }
    // The hooked range (either order); re-hooks when hooked.
    void SetWinEventHookRange(DWORD a, DWORD b);

    bool IsSubscribed(const IWinEventSubscriber* subscriber, DWORD eventId) const;

    virtual ~CWinEventHookDispatcher() = default;

private:
    struct Subscription
    {
        IWinEventSubscriber* subscriber;
        DWORD userValue;
        std::set<DWORD> eventIds;
    };

    CWinEventHookDispatcher() = default;
    CWinEventHookDispatcher(const CWinEventHookDispatcher&) = delete;
    CWinEventHookDispatcher& operator=(const CWinEventHookDispatcher&) = delete;

    bool Hook();
    bool Unhook();
    void UnhookIfIdle();
    Subscription* Find(const IWinEventSubscriber* subscriber);
    const Subscription* Find(const IWinEventSubscriber* subscriber) const;
    void Dispatch(const WinEventRecord& record);

    static void CALLBACK WinEventProc(HWINEVENTHOOK hook, DWORD eventId, HWND window, LONG objectId,
                                      LONG childId, DWORD threadId, DWORD timeMs);

    std::vector<Subscription> m_subscriptions;
    HWINEVENTHOOK m_hook = nullptr;
    DWORD m_low = EVENT_MIN;
    DWORD m_high = EVENT_MAX;
};
