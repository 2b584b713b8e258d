#pragma once

// Whether the system says it is online, asked of WinInet at run time.

#include <windows.h>

// 0 connected; 1 not connected while WinInet reports offline mode (0x20) or
// a RAS installation (0x10); 2 not connected, or WinInet or its function is
// missing. "InternetGetConnectedState" is bound from "WinInet.DLL" for the
// call; the caller's last-error value is kept.
int GetInternetConnectionState();
