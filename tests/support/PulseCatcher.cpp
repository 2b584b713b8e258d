#include "support/PulseCatcher.h"

namespace scvtest
{

PulseCatcher::PulseCatcher(HANDLE event)
    : m_event(DuplicateHandleInProcess(event)), m_ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_done(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{}

PulseCatcher::~PulseCatcher()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool PulseCatcher::Arm(DWORD waitMs)
{
    if (!m_event || !m_ready || !m_done || m_thread.joinable())
        return false;
    m_thread = std::thread([this, waitMs] {
        m_result = ::SignalObjectAndWait(m_ready.Get(), m_event.Get(), waitMs, FALSE);
        ::SetEvent(m_done.Get());
    });
    return ::WaitForSingleObject(m_ready.Get(), 10000) == WAIT_OBJECT_0;
}

bool PulseCatcher::Caught(DWORD timeoutMs)
{
    if (!m_thread.joinable() || ::WaitForSingleObject(m_done.Get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    m_thread.join();
    return m_result == WAIT_OBJECT_0;
}

} // namespace scvtest
