#include "common/AppListeners.h"

#include <mutex>
#include <set>
#include <vector>

namespace
{
// An ordered set of listener pointers. Notifications run over a snapshot and
// skip a listener that has been removed since the snapshot was taken.
template <typename Listener>
class ListenerSet
{
public:
    bool Add(Listener* listener)
    {
        if (!listener)
            return false;
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_listeners.insert(listener).second;
    }

    bool Remove(Listener* listener)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_listeners.erase(listener) != 0;
    }

    template <typename Call>
    int Notify(Listener* sender, Call call)
    {
        int called = 0;
        for (Listener* listener : Snapshot()) {
            if (listener == sender || !Contains(listener))
                continue;
            call(listener);
            ++called;
        }
        return called;
    }

private:
    std::vector<Listener*> Snapshot()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return std::vector<Listener*>(m_listeners.begin(), m_listeners.end());
    }

    bool Contains(Listener* listener)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_listeners.count(listener) != 0;
    }

    std::mutex m_mutex;
    std::set<Listener*> m_listeners;
};

ListenerSet<IAppEventListener>& AppEventListeners()
{
    static ListenerSet<IAppEventListener> listeners;
    return listeners;
}

ListenerSet<IClipboardSpyStateListener>& ClipboardSpyListeners()
{
    static ListenerSet<IClipboardSpyStateListener> listeners;
    return listeners;
}
} // namespace

void AddAppEventListener(IAppEventListener* listener)
{
    AppEventListeners().Add(listener);
}

void RemoveAppEventListener(IAppEventListener* listener)
{
    AppEventListeners().Remove(listener);
}

void NotifyAppEventListeners(IAppEventListener* sender, int code, LPARAM value)
{
    AppEventListeners().Notify(sender,
                               [&](IAppEventListener* listener) { listener->OnAppEvent(code, value); });
}

int AddClipboardSpyListener(IClipboardSpyStateListener* listener)
{
    return ClipboardSpyListeners().Add(listener) ? 1 : 0;
}

int RemoveClipboardSpyListener(IClipboardSpyStateListener* listener)
{
    return ClipboardSpyListeners().Remove(listener) ? 1 : 0;
}

int NotifyClipboardSpyListeners(IClipboardSpyStateListener* sender, int code, LPARAM value)
{
    return ClipboardSpyListeners().Notify(
        sender, [&](IClipboardSpyStateListener* listener) { listener->OnClipboardSpyState(code, value); });
}
