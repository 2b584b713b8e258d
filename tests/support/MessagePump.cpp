#include "support/MessagePump.h"

#include <algorithm>

namespace scvtest
{

namespace
{

constexpr DWORD kSliceMs = 10;

// Dispatches every queued message. False when a WM_QUIT came (it is posted again).
bool DrainMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

DWORD Remaining(ULONGLONG deadline)
{
    ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// Pumps until stop() says so, the time is up or a WM_QUIT arrives. Waits on
// the handle (when given) together with the message queue.
bool Pump(const std::function<bool()>& stop, HANDLE handle, DWORD timeoutMs)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    DWORD handleCount = handle ? 1 : 0;
    for (;;) {
        if (stop())
            return true;
        if (!DrainMessages())
            return stop();
        if (stop())
            return true;
        DWORD remaining = Remaining(deadline);
        if (remaining == 0)
            return stop();
        MsgWaitForMultipleObjectsEx(handleCount, handle ? &handle : nullptr, std::min(remaining, kSliceMs),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

} // namespace

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    return Pump(cond, nullptr, timeoutMs);
}

void PumpFor(DWORD ms)
{
    Pump([] { return false; }, nullptr, ms);
}

bool PumpUntilSignaled(HANDLE handle, DWORD timeoutMs)
{
    return Pump([handle] { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }, handle, timeoutMs);
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (cond())
            return true;
        DWORD remaining = Remaining(deadline);
        if (remaining == 0)
            return cond();
        Sleep(std::min(remaining, kSliceMs));
    }
}

} // namespace scvtest
