#include "common/WinEventHookDispatcher.h"

#include <algorithm>

CWinEventHookDispatcher& CWinEventHookDispatcher::GetInstance()
{
    // Lives to process exit.
    static CWinEventHookDispatcher* instance = new CWinEventHookDispatcher;
    return *instance;
}

CWinEventHookDispatcher::Subscription* CWinEventHookDispatcher::Find(const IWinEventSubscriber* subscriber)
{
    for (Subscription& s : m_subscriptions) {
        if (s.subscriber == subscriber)
            return &s;
    }
    return nullptr;
}

const CWinEventHookDispatcher::Subscription*
CWinEventHookDispatcher::Find(const IWinEventSubscriber* subscriber) const
{
    return const_cast<CWinEventHookDispatcher*>(this)->Find(subscriber);
}

int CWinEventHookDispatcher::Subscribe(IWinEventSubscriber* subscriber, DWORD userValue, DWORD eventId)
{
    if (Subscription* existing = Find(subscriber))
        return existing->eventIds.insert(eventId).second ? 1 : 0;

    m_subscriptions.push_back(Subscription{subscriber, userValue, {eventId}});
    if (!IsHooked())
        Hook();
    return 1;
}

int CWinEventHookDispatcher::Unsubscribe(IWinEventSubscriber* subscriber)
{
    auto it = std::find_if(m_subscriptions.begin(), m_subscriptions.end(),
                           [subscriber](const Subscription& s) { return s.subscriber == subscriber; });
    if (it == m_subscriptions.end())
        return 0;
    m_subscriptions.erase(it);
    UnhookIfIdle();
    return 1;
}

bool CWinEventHookDispatcher::IsSubscribed(const IWinEventSubscriber* subscriber, DWORD eventId) const
{
    const Subscription* s = Find(subscriber);
    return s && s->eventIds.count(eventId) != 0;
}

void CWinEventHookDispatcher::SetWinEventHookRange(DWORD a, DWORD b)
{
    const bool sameSingleId = m_low == m_high && m_low == a && a == b;
    m_low = a;
    m_high = b;
    if (!IsHooked() || sameSingleId)
        return;
    Unhook();
    Hook();
}

bool CWinEventHookDispatcher::Hook()
{
    if (IsHooked())
        return true;
    m_hook = ::SetWinEventHook(std::min(m_low, m_high), std::max(m_low, m_high), nullptr, &WinEventProc, 0, 0,
                               WINEVENT_OUTOFCONTEXT);
    return IsHooked();
}

bool CWinEventHookDispatcher::Unhook()
{
    if (!IsHooked())
        return true;
    if (::UnhookWinEvent(m_hook))
        m_hook = nullptr;
    return !IsHooked();
}

void CWinEventHookDispatcher::UnhookIfIdle()
{
    if (m_subscriptions.empty())
        Unhook();
}

void CWinEventHookDispatcher::Dispatch(const WinEventRecord& record)
{
    // A subscriber may change the list while it is being notified: walk a
    // copy, and skip anyone who has left (or dropped the id) in the meantime.
    const std::vector<Subscription> snapshot = m_subscriptions;
    for (const Subscription& s : snapshot) {
        if (!s.eventIds.count(record.eventId))
            continue;
        if (!IsSubscribed(s.subscriber, record.eventId))
            continue;
        s.subscriber->OnWinEvent(record, s.userValue);
    }
}

void CALLBACK CWinEventHookDispatcher::WinEventProc(HWINEVENTHOOK, DWORD eventId, HWND window, LONG objectId,
                                                    LONG childId, DWORD threadId, DWORD timeMs)
{
    WinEventRecord record = {};
    record.eventId = eventId;
    record.window = window;
    record.threadId = threadId;
    record.objectId = objectId;
    record.childId = childId;
    record.timeMs = timeMs;
    GetInstance().Dispatch(record);
}
