#include "common/SharedLog.h"
#include "platform/CAppModule.h"
#include "waiter/WaiterProgram.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    _Module.Init(instance);
    SetLogProgramTag(kLogTagWaiter);
    const int result = RunWaiterProgram(commandLine);
    _Module.Term();
    return result;
}
