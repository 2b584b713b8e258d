#include "online/ConnectionWait.h"

#include "online/InternetConnectionState.h"

namespace
{
class CSystemConnectionWaitPort : public IConnectionWaitPort
{
public:
    explicit CSystemConnectionWaitPort(HANDLE stopEvent) : m_stopEvent(stopEvent) {}
    int ConnectionState() override { return GetInternetConnectionState(); }
    bool WaitForStop(DWORD ms) override { return ::WaitForSingleObject(m_stopEvent, ms) != WAIT_TIMEOUT; }

private:
    HANDLE m_stopEvent;
};
} // namespace

bool WaitForConnectionAndDelay(IConnectionWaitPort& port, DWORD delay)
{
    DWORD remaining = delay;
    for (;;) {
        DWORD step = kFirstOfflineStepMs;
        while (port.ConnectionState() != 0) {
            if (port.WaitForStop(step))
                return false;
            step = step >= kLongestOfflineStepMs / 2 ? kLongestOfflineStepMs : step * 2;
            remaining = step >= remaining ? 0 : remaining - step;
        }
        if (port.WaitForStop(remaining))
            return false;
        remaining = 0;
        if (port.ConnectionState() == 0)
            return true;
    }
}

bool WaitForConnectionAndDelay(HANDLE stopEvent, DWORD delay)
{
    CSystemConnectionWaitPort port(stopEvent);
    return WaitForConnectionAndDelay(port, delay);
}
