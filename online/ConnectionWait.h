#pragma once

// The wait of an update check before it runs: its delay, stretched while the
// system is offline, ended early by the stop event.

#include <windows.h>

// The first pause between connection tests while offline, and the longest:
// the pause doubles from the first up to the longest.
inline constexpr DWORD kFirstOfflineStepMs = 5000;
inline constexpr DWORD kLongestOfflineStepMs = 3600000;

// What the wait asks of the system.
class IConnectionWaitPort
{
public:
    virtual ~IConnectionWaitPort() = default;
    // 0 when connected (GetInternetConnectionState).
    virtual int ConnectionState() = 0;
    // Waits up to `ms` for the stop event; true when it was set or the wait failed.
    virtual bool WaitForStop(DWORD ms) = 0;
};

// While offline: pause one step (5 s, 10 s, 20 s ... at most an hour), each
// doubled step taken off the remaining delay. Then wait out what remains of
// the delay; when the connection is still down, start over with the first
// step. True when the connection is up after the delay; false as soon as the
// stop event is set (or a wait fails).
bool WaitForConnectionAndDelay(IConnectionWaitPort& port, DWORD delay);
// The same with the system's connection state and the stop event.
bool WaitForConnectionAndDelay(HANDLE stopEvent, DWORD delay);
