#include "online/InternetConnectionState.h"

#include "common/LastErrorKeeper.h"
#include "common/RuntimeBinding.h"

int GetInternetConnectionState()
{
    CLastErrorKeeper keepLastError;
    using ConnectedStateFn = BOOL(WINAPI*)(LPDWORD, DWORD);
    CLoadedModule wininet(L"WinInet.DLL");
    const auto connectedState = wininet.Find<ConnectedStateFn>("InternetGetConnectedState");
    if (!connectedState)
        return 2;
    DWORD flags = 0;
    if (connectedState(&flags, 0))
        return 0;
    return (flags & (0x20 | 0x10)) ? 1 : 2;
}
