#pragma once

// Facts about the machine and this build: the computer's DNS domain, the
// input-desktop test and the build stamp.

#include "platform/CString.h"

#include <windows.h>

// The DNS domain of the computer; empty when it has none or it cannot be read.
CString GetComputerDnsDomain();

// True when the two desktops are the same: equal handles, or both names readable
// and equal without case. A name that cannot be read is logged.
bool DesktopCheck(HDESK threadDesktop, HDESK inputDesktop);

// The program's build date and time, as "May  5 2023 15:10:27".
CString GetBuildStamp();
