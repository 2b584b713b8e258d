#include <windows.h>

#include "common/SharedLog.h"
#include "editor/app/frame/EditorApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand)
{
    EditorApp app;
    const int code = app.WinMain(instance, commandLine, showCommand);
    WaitForPendingLogEntries(5000); // the lines of this run reach the file
    return code;
}
