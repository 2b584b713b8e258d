#include "welcome/WelcomeProgram.h"

#include "common/KernelHandle.h"
#include "common/LocalizedString.h"
#include "common/SecurityInfo.h"
#include "common/Settings.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "common/WellKnownNames.h"
#include "welcome/WelcomeDialog.h"
#include "welcome/WelcomePage.h"

#include <commctrl.h>
#include <objbase.h>

namespace
{
void OpenLogWhenWanted(LPCWSTR commandLine)
{
    if (::GetPrivateProfileIntW(GetSettingsSectionName(), L"WriteLog", 0, GetSettingsFilePath()) == 0)
        return;
    if (!LogOpen(GetLogReportPath()))
        return;
    WriteLogLine(L"\"Scrivolanter : Welcome\" started: cmdline: [" +
                 CString(commandLine ? commandLine : L"") + L"]");
}

// True when another instance runs: its event is set so that it comes to the front.
bool SignalRunningInstance()
{
    CKernelHandle probe(::OpenEventW(SYNCHRONIZE, FALSE, kWelcomeInstanceEventName));
    if (!probe)
        return false;
    probe.Reset();
    CKernelHandle running(::OpenEventW(EVENT_MODIFY_STATE, FALSE, kWelcomeInstanceEventName));
    if (running)
        ::SetEvent(running.Get());
    return true;
}

void StartLanguage()
{
    const CString name = ReadLanguageSetting(GetSettingsFilePath());
    SetLanguageFileForStrings(name.IsEmpty() ? L"" : static_cast<LPCWSTR>(BuildLanguageFilePath(name)),
                              L"_Welcome");
}
} // namespace

int RunWelcomeProgram(LPCWSTR commandLine, int showCommand)
{
    OpenLogWhenWanted(commandLine);
    if (SignalRunningInstance()) {
        WriteLogLine(L"Welcome: another instance runs; it was brought to the front");
        return 1;
    }
    SECURITY_ATTRIBUTES security{};
    const bool open = CreateOpenSecurityAttributes(&security);
    CKernelHandle instanceEvent(
        ::CreateEventW(open ? &security : nullptr, FALSE, FALSE, kWelcomeInstanceEventName));
    if (instanceEvent)
        ::SetHandleInformation(instanceEvent.Get(), HANDLE_FLAG_PROTECT_FROM_CLOSE,
                               HANDLE_FLAG_PROTECT_FROM_CLOSE);

    const HRESULT com = ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&controls);
    StartLanguage();

    int result = -1;
    {
        CWelcomeDialog dialog(HasAutoFlag(commandLine), instanceEvent.Get());
        HWND window = dialog.Create(nullptr);
        if (window) {
            ::ShowWindow(window, showCommand);
            MSG message{};
            BOOL got = 0;
            while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
                if (::IsWindow(window) && ::IsDialogMessageW(window, &message))
                    continue;
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            result = got == 0 ? static_cast<int>(message.wParam) : -1;
        } else {
            LogError(L"Welcome: the window could not be created");
        }
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    if (instanceEvent)
        ::SetHandleInformation(instanceEvent.Get(), HANDLE_FLAG_PROTECT_FROM_CLOSE, 0);
    WriteLogLine(L"Welcome: ended");
    LogClose();
    return result;
}
