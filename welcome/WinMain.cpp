#include "common/SharedLog.h"
#include "platform/CAppModule.h"
#include "welcome/WelcomeProgram.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand)
{
    _Module.Init(instance);
    SetLogProgramTag(kLogTagWelcome);
    const int result = RunWelcomeProgram(commandLine, showCommand);
    _Module.Term();
    return result;
}
