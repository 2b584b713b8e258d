#include "platform/CAppModule.h"

#include <algorithm>

constinit CAppModule _Module;

class CAppModule::Guard
{
public:
    explicit Guard(SRWLOCK& lock) : m_lock(lock) { ::AcquireSRWLockExclusive(&m_lock); }
    ~Guard() { ::ReleaseSRWLockExclusive(&m_lock); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    SRWLOCK& m_lock;
};

namespace
{
HINSTANCE ExecutableInstance()
{
    return ::GetModuleHandleW(nullptr);
}
} // namespace

HRESULT CAppModule::Init(HINSTANCE hInstance)
{
    Guard guard(m_lock);
    m_hInstance = hInstance ? hInstance : ExecutableInstance();
    m_hResourceInstance = m_hInstance;
    return S_OK;
}

void CAppModule::Term()
{
    Guard guard(m_lock);
    m_loops.clear();
    m_hInstance = nullptr;
    m_hResourceInstance = nullptr;
}

HINSTANCE CAppModule::GetModuleInstance() const
{
    Guard guard(m_lock);
    return m_hInstance ? m_hInstance : ExecutableInstance();
}

HINSTANCE CAppModule::GetResourceInstance() const
{
    Guard guard(m_lock);
    if (m_hResourceInstance)
        return m_hResourceInstance;
    return m_hInstance ? m_hInstance : ExecutableInstance();
}

HINSTANCE CAppModule::SetResourceInstance(HINSTANCE hInstance)
{
    Guard guard(m_lock);
    HINSTANCE old = m_hResourceInstance;
    m_hResourceInstance = hInstance;
    return old;
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* pLoop)
{
    if (!pLoop)
        return FALSE;
    DWORD thread = ::GetCurrentThreadId();
    Guard guard(m_lock);
    auto it =
        std::find_if(m_loops.begin(), m_loops.end(), [thread](const auto& e) { return e.first == thread; });
    if (it != m_loops.end())
        return FALSE;
    m_loops.emplace_back(thread, pLoop);
    return TRUE;
}

BOOL CAppModule::RemoveMessageLoop()
{
    DWORD thread = ::GetCurrentThreadId();
    Guard guard(m_lock);
    auto it =
        std::find_if(m_loops.begin(), m_loops.end(), [thread](const auto& e) { return e.first == thread; });
    if (it == m_loops.end())
        return FALSE;
    m_loops.erase(it);
    return TRUE;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD dwThreadId) const
{
    Guard guard(m_lock);
    auto it = std::find_if(m_loops.begin(), m_loops.end(),
                           [dwThreadId](const auto& e) { return e.first == dwThreadId; });
    return it == m_loops.end() ? nullptr : it->second;
}
