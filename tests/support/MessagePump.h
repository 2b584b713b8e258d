#pragma once
// Waiting in tests: with the calling thread's messages pumped (for code that
// posts, sends or times things on this thread) or by plain polling.

#include <windows.h>

#include <functional>

namespace scvtest
{

// Pumps the calling thread's messages (PeekMessage, TranslateMessage,
// DispatchMessage) until cond() is true or timeoutMs has passed, waking at
// least every few milliseconds to look at cond again. Returns cond()'s last
// value. A WM_QUIT taken from the queue is posted again and ends the wait.
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs);

// Pumps the calling thread's messages for about ms milliseconds.
void PumpFor(DWORD ms);

// Pumps messages until the handle is signalled; true when it was.
bool PumpUntilSignaled(HANDLE handle, DWORD timeoutMs);

// Polls cond() (sleeping briefly between looks, no message pumping) until it
// is true or timeoutMs has passed. Returns cond()'s last value.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs);

} // namespace scvtest
