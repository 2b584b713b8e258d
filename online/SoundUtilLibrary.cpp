#include "online/SoundUtilLibrary.h"

#include "common/RuntimeBinding.h"
#include "common/WellKnownNames.h"

#include <objbase.h>

CString GetSoundUtilDllPath()
{
    return GetProgramFolderFile(L"VAVovezAziz.dll");
}

int VAVovezAziz_DLL_Support::SU2_SetMute_Current_Process(int mute, bool initializeCom)
{
    using SetMuteFn = int(WINAPI*)(int);
    CLoadedModule library(GetSoundUtilDllPath());
    auto setMute = library.Find<SetMuteFn>("SU2_SetMute_Current_Process");
    if (!setMute)
        return 0;
    const HRESULT comResult = initializeCom ? ::CoInitialize(nullptr) : E_FAIL;
    const int result = setMute(mute);
    if (initializeCom && comResult == S_OK)
        ::CoUninitialize();
    return result;
}
