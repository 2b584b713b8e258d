#pragma once
// The module object of a program: its instance handles and the message loop of each user-interface thread.
//
// There is one per process, _Module. Init() is called once at start with the program's instance handle and Term()
// at the end; before Init() the instance handles are those of the executable.

#include <windows.h>

#include <utility>
#include <vector>

class CMessageLoop;

class CAppModule
{
public:
    constexpr CAppModule() = default;
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;

    HRESULT Init(HINSTANCE hInstance);
    void Term();

    HINSTANCE GetModuleInstance() const;
    HINSTANCE GetResourceInstance() const;
    // Where dialogs, strings and other resources are loaded from (a language module, for instance).
    HINSTANCE SetResourceInstance(HINSTANCE hInstance);

    // One loop per thread: FALSE when the thread has one already or the pointer is null.
    BOOL AddMessageLoop(CMessageLoop* pLoop);
    // Removes the current thread's loop; FALSE when it has none.
    BOOL RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD dwThreadId = ::GetCurrentThreadId()) const;

private:
    class Guard;

    mutable SRWLOCK m_lock = SRWLOCK_INIT; // constant-initialised: usable during static initialisation
    HINSTANCE m_hInstance = nullptr;
    HINSTANCE m_hResourceInstance = nullptr;
    std::vector<std::pair<DWORD, CMessageLoop*>> m_loops;
};

extern CAppModule _Module;
