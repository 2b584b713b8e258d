#include "app/entry/TrayApplication.h"

#include <memory>

#include "app/AppObjects.h"
#include "app/tray/SCVTrayWnd.h"
#include "common/SharedLog.h"
#include "platform/CAppModule.h"
#include "platform/CMessageLoop.h"
#include "platform/ExceptionBoundary.h"

namespace
{
void LogCaughtException(const wchar_t* where, const char* what)
{
    LogError(CString(L"C++ exception caught in a ") + where + L": " + CString(what));
}
} // namespace

int RunTrayApplication(HANDLE instanceEvent, bool noInstall, const CCommandLineArgs* args)
{
    SetExceptionReporter(&LogCaughtException);
    CMessageLoop loop;
    for (CIdleHandler* handler : GetIdleHandlerList())
        loop.AddIdleHandler(handler);
    const bool loopAdded = _Module.AddMessageLoop(&loop) != FALSE;

    CAppObjects::GetLocalizer();

    int result = 0;
    {
        auto window = std::make_unique<CSCVTrayWnd>(TrayWindowStartRecord{instanceEvent, args, noInstall});
        if (window->Create(nullptr))
            result = loop.Run();
        else
            LogError(L"Cannot create the tray window");
        // The window object goes before the loop that knows it.
    }
    if (loopAdded)
        _Module.RemoveMessageLoop();
    return result;
}
