#pragma once

// A process-local exclusive lock (SRWLOCK) that needs no initialisation call
// and no clean-up, so it may live in static storage and be used from any
// thread, also during start-up and shutdown.

#include <windows.h>

class CSlimLock
{
public:
    CSlimLock() = default;
    CSlimLock(const CSlimLock&) = delete;
    CSlimLock& operator=(const CSlimLock&) = delete;

    void Lock() { ::AcquireSRWLockExclusive(&m_lock); }
    void Unlock() { ::ReleaseSRWLockExclusive(&m_lock); }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
};

// Holds a CSlimLock for the life of the object.
class CSlimLockGuard
{
public:
    explicit CSlimLockGuard(CSlimLock& lock) : m_lock(lock) { m_lock.Lock(); }
    ~CSlimLockGuard() { m_lock.Unlock(); }
    CSlimLockGuard(const CSlimLockGuard&) = delete;
    CSlimLockGuard& operator=(const CSlimLockGuard&) = delete;

private:
    CSlimLock& m_lock;
};
