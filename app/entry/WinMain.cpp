// The entry point of the main program.

#include <windows.h>

#include "app/entry/ProgramEntry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    return RunMainProgram(instance, commandLine);
}
