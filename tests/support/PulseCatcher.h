#pragma once
// Catches one signal of an event the way a waiting program would, also a pulse (set and reset at
// once) that wakes only threads already waiting: a thread of its own waits for the event, and
// Arm() returns only once that thread is in its wait (it signals its readiness and starts waiting
// in one step), so a single signal sent afterwards cannot pass it by.

#include <windows.h>

#include <thread>

#include "common/KernelHandle.h"

namespace scvtest
{

class PulseCatcher
{
public:
    // `event`: a handle with the synchronise right (duplicated; the caller keeps its own).
    explicit PulseCatcher(HANDLE event);
    ~PulseCatcher();
    PulseCatcher(const PulseCatcher&) = delete;
    PulseCatcher& operator=(const PulseCatcher&) = delete;

    // Starts the wait (lasting at most `waitMs`); true once the thread waits.
    bool Arm(DWORD waitMs = 10000);
    // Whether the signal came within `timeoutMs` of now (the thread's wait ends either way then).
    bool Caught(DWORD timeoutMs);

private:
    CKernelHandle m_event;
    CKernelHandle m_ready;
    CKernelHandle m_done;
    std::thread m_thread;
    DWORD m_result = WAIT_FAILED;
};

} // namespace scvtest
