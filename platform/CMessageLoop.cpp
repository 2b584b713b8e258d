#include "platform/CMessageLoop.h"

#include <algorithm>

#include "platform/DeferredDeletion.h"

namespace
{
constexpr UINT kSystemTimer = 0x0118;
}

template <typename T>
BOOL CMessageLoop::List<T>::Add(T* item)
{
    if (!item || std::find(m_items.begin(), m_items.end(), item) != m_items.end())
        return FALSE;
    m_items.push_back(item);
    return TRUE;
}

template <typename T>
BOOL CMessageLoop::List<T>::Remove(T* item)
{
    auto it = item ? std::find(m_items.begin(), m_items.end(), item) : m_items.end();
    if (it == m_items.end())
        return FALSE;
    if (m_walking > 0) {
        // keep positions stable for the walk in progress; compacted when it ends
        *it = nullptr;
        m_holes = true;
    } else {
        m_items.erase(it);
    }
    return TRUE;
}

template <typename T>
template <typename Fn>
bool CMessageLoop::List<T>::ForEachUntil(Fn fn)
{
    bool stopped = false;
    ++m_walking;
    // items added during the walk are called in the same walk (the size is read each time)
    for (size_t i = 0; i < m_items.size() && !stopped; ++i) {
        if (T* item = m_items[i])
            stopped = fn(item);
    }
    if (--m_walking == 0 && m_holes) {
        m_items.erase(std::remove(m_items.begin(), m_items.end(), nullptr), m_items.end());
        m_holes = false;
    }
    return stopped;
}

BOOL CMessageLoop::AddMessageFilter(CMessageFilter* pFilter)
{
    return m_filters.Add(pFilter);
}

BOOL CMessageLoop::RemoveMessageFilter(CMessageFilter* pFilter)
{
    return m_filters.Remove(pFilter);
}

BOOL CMessageLoop::AddIdleHandler(CIdleHandler* pHandler)
{
    return m_idleHandlers.Add(pHandler);
}

BOOL CMessageLoop::RemoveIdleHandler(CIdleHandler* pHandler)
{
    return m_idleHandlers.Remove(pHandler);
}

int CMessageLoop::Run()
{
    bool idlePeriod = true;
    int idleCount = 0;
    for (;;) {
        while (idlePeriod && !::PeekMessageW(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
            DeferredDeletion::DispatchScope idle;
            if (!OnIdle(idleCount++))
                idlePeriod = false;
        }
        BOOL got = ::GetMessageW(&m_msg, nullptr, 0, 0);
        if (got == -1)
            continue; // nothing was taken (cannot happen without a window filter); wait again
        if (!got)
            break; // WM_QUIT
        {
            // a window closed from a filter (an accelerator) is deleted after the filters are done with it
            DeferredDeletion::DispatchScope dispatching;
            if (!PreTranslateMessage(&m_msg)) {
                ::TranslateMessage(&m_msg);
                ::DispatchMessageW(&m_msg);
            }
        }
        if (IsIdleMessage(&m_msg)) {
            idlePeriod = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(m_msg.wParam);
}

BOOL CMessageLoop::PreTranslateMessage(MSG* pMsg)
{
    return m_filters.ForEachUntil(
        [pMsg](CMessageFilter* f) { return f->PreTranslateMessage(pMsg) != FALSE; });
}

BOOL CMessageLoop::OnIdle(int /*nIdleCount*/)
{
    m_idleHandlers.ForEachUntil([](CIdleHandler* h) {
        h->OnIdle();
        return false;
    });
    return FALSE;
}

BOOL CMessageLoop::IsIdleMessage(const MSG* pMsg)
{
    switch (pMsg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case kSystemTimer:
        return FALSE;
    default:
        return TRUE;
    }
}
