#pragma once

// The outside sound utility library "VAVovezAziz.dll" of the program folder,
// loaded for each call.

#include <windows.h>

#include "platform/CString.h"

// Program folder + "VAVovezAziz.dll".
CString GetSoundUtilDllPath();

class VAVovezAziz_DLL_Support
{
public:
    // Loads the library, calls its export "SU2_SetMute_Current_Process" with the
    // mute flag (between CoInitialize and CoUninitialize when asked), frees the
    // library and returns the export's result; 0 when the library or the
    // export is missing.
    static int SU2_SetMute_Current_Process(int mute, bool initializeCom);
};
