#include "app/entry/ProgramEntry.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/AppObjects.h"
#include "app/AppTexts.h"
#include "app/entry/CommandLineArgs.h"
#include "app/entry/EventRelays.h"
#include "app/entry/NamedEvents.h"
#include "app/ProgramLauncher.h"
#include "app/history/TempFiles.h"
#include "app/entry/TrayApplication.h"
#include "common/FileVersionInfo.h"
#include "common/OsVersionInfo.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/SystemFunctions.h"
#include "common/TimingMarks.h"
#include "common/WellKnownNames.h"
#include "online/EditorCoopEvents.h"
#include "common/SystemErrorText.h"
#include "platform/CAppModule.h"

namespace
{

// The longest delay of a start with Windows, in seconds.
constexpr int kMaxAutomodeDelaySeconds = 600;
// How long an elevated start waits for the first instance to hand over.
constexpr DWORD kHandOverWaitMs = 10000;
// How long the end of the program waits for log lines still on their way.
constexpr DWORD kLogFlushMs = 5000;

// Lets the log lines of this run reach the file on every way out.
class CLogFlushAtExit
{
public:
    CLogFlushAtExit() = default;
    ~CLogFlushAtExit() { WaitForPendingLogEntries(kLogFlushMs); }
    CLogFlushAtExit(const CLogFlushAtExit&) = delete;
    CLogFlushAtExit& operator=(const CLogFlushAtExit&) = delete;
};

CString GetOwnProductVersion()
{
    CFileVersionInfo info = CFileVersionInfo::CFileVersionInfoFromModule(nullptr);
    return info.Read() ? info.GetProductVersion() : CString();
}

CString GetSessionUserName()
{
    wchar_t name[260] = {};
    DWORD size = ARRAYSIZE(name);
    if (!::GetUserNameW(name, &size))
        name[0] = L'\0';
    return name;
}

void WriteStartLines(LPCWSTR commandLine)
{
    CString line;
    line.Format(L"Start Scrivolanter %s  on %s", GetOwnProductVersion().GetString(),
                COsVersionInfo::GetOsDescription().GetString());
    WriteLogLine(line);
    WriteLogLine(CString(L"Command Line: [") + commandLine + L"]");
    WriteLogLine(L"Windows Session Username [" + GetSessionUserName() + L"]");
    WriteLogLine(CString(L"Has Admin priveliegies: [") + (CAppObjects::IsElevated() ? L"YES" : L"no") + L"]");
}

// A start with "autoload" waits its delay, unless a later start cuts it
// short. False when this start is the later one and has to end (code 12).
bool HandleDelayedStart(const CCommandLineArgs& args)
{
    if (args.IsAutoload()) {
        int seconds = GetSettings().DelayAutoLoadSeconds_NextRelease;
        if (seconds <= 0)
            return true;
        if (seconds > kMaxAutomodeDelaySeconds)
            seconds = kMaxAutomodeDelaySeconds;
        bool existed = false;
        HANDLE automode = CreateAutomodeEvent(&existed);
        if (!automode)
            return true;
        WriteLogLine(L"Starting waiting for automode...");
        const DWORD wait = ::WaitForSingleObject(automode, static_cast<DWORD>(seconds) * 1000);
        ::CloseHandle(automode);
        if (wait == WAIT_OBJECT_0) {
            WriteLogLine(L"INFO: automode disabled WAIT_OBJECT_0");
        } else if (wait == WAIT_TIMEOUT) {
            WriteLogLine(L"INFO: automode expired WAIT_TIMEOUT");
        } else {
            CString line;
            line.Format(L"INFO: automode default %d", static_cast<int>(wait));
            WriteLogLine(line);
        }
        return true;
    }
    if (SignalAutomodeEvent()) {
        WriteLogLine(L"Signal for automode. Exit");
        return false;
    }
    WriteLogLine(L"Automode not found. Continue");
    return true;
}

// The elevated start: the running instance is asked to end, then this start
// waits until the first instance has handed over.
void TakeOverFromFirstInstance()
{
    SignalExitEvents();
    DWORD error = 0;
    if (WaitHandOverEvent(kHandOverWaitMs, error))
        return;
    CString text;
    text.Format(L"Cannot wait event from first instance\n\nError Code: %u\n%s", error,
                GetSystemErrorText(error).GetString());
    LogError(text);
}

// Hands this start's request to the running instance; the first matching
// switch decides.
void RelayToRunningInstance(const CCommandLineArgs& args)
{
    if (args.IsShowMenu())
        SignalShowMenuEvent();
    else if (args.IsExit())
        SignalExitEvents();
    else if (args.IsCfu())
        SignalCheckForUpdatesEvent();
    else
        SignalAlreadyWork();
}

void WriteStartBanner()
{
    CString banner;
    banner.Format(L"\n\n=============================\n===Start Scrivolanter %s on %s===",
                  GetOwnProductVersion().GetString(), COsVersionInfo::GetOsDescription().GetString());
    SetLogSourceTag(L"TEMP PREFIX TEXT");
    LogLineWithTime(banner);
    ClearLogSourceTag();
}

void InitializeSystemServices(HINSTANCE instance)
{
    ::CoInitialize(nullptr);
    ::DefWindowProcW(nullptr, 0, 0, 0);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    GetOptionsChangedEvent();
    _Module.Init(instance);
    ::OleInitialize(nullptr);
}

// Everything from becoming the instance to the end of the tray application.
int RunAsInstance(HINSTANCE instance, HANDLE instanceEvent, const CCommandLineArgs& args)
{
    ProtectHandleFromClose(instanceEvent, true);
    CAppObjects::SetInstanceEvent(instanceEvent);
    StartInstanceRelays(instanceEvent);
    WriteStartBanner();
    InitializeSystemServices(instance);
    MarkTiming(TimingMark::SystemServicesReady);
    if (StartWaiter())
        WriteLogLine(L"ScvWaitingFor is stated succesfully");
    else
        LogError(L"CANNOT start ScvWaitingFor");

    const int result = RunTrayApplication(instanceEvent, args.IsNoInstall(), &args);

    CloseOptionsChangedEvent();
    ::SetEvent(instanceEvent);
    ProtectHandleFromClose(instanceEvent, false);
    CAppObjects::SetInstanceEvent(nullptr);
    ::CloseHandle(instanceEvent);
    SignalHandOverEvent();
    DeleteTempFilesOnExit();
    LogLineWithTime(L"===End Scrivo Lanter===");
    ::OleUninitialize();
    _Module.Term();
    ::CoUninitialize();
    return result;
}

} // namespace

int RunMainProgram(HINSTANCE instance, LPCWSTR commandLine)
{
    MarkTiming(TimingMark::ProgramEntered);
    CLogFlushAtExit flushLog;
    if (!commandLine)
        commandLine = L"";

    SetLogProgramTag(kLogTagMainProgram);
    if (GetSettings().WriteLog != 0)
        LogOpen(GetLogReportPath());

    CCommandLineArgs args(commandLine);
    args.Parse();
    WriteStartLines(commandLine);

    if (args.IsUa())
        SetAutoStart(false);
    if (!HandleDelayedStart(args))
        return kExitCodeAutomodeSignalled;

    CAppObjects::GetLocalizer();
    if (args.IsEdit() && SignalEditRequest())
        return kExitCodeDone;
    if (args.IsHelp()) {
        ShowCommandLineHelp(::GetDesktopWindow());
        return kExitCodeDone;
    }
    if (args.IsAsAdmin())
        TakeOverFromFirstInstance();
    if (args.IsUa())
        SetAutoStart(false);

    if (CAppObjects::IsInstanceRunning()) {
        RelayToRunningInstance(args);
        return kExitCodeRelayed;
    }
    if (args.IsExit())
        return kExitCodeRelayed;

    // Creating the instance event decides which of two starts at the same
    // moment becomes the instance: the one that finds it made already relays.
    bool alreadyExisted = false;
    HANDLE instanceEvent = CAppObjects::CreateInstanceEvent(&alreadyExisted);
    if (alreadyExisted) {
        RelayToRunningInstance(args);
        return kExitCodeRelayed;
    }
    if (!instanceEvent) {
        LogError(L"Cannot create event: CAppObjects::CreateInstanceEvent_Scrivolanter_EXE");
        return kExitCodeNoInstanceEvent;
    }
    return RunAsInstance(instance, instanceEvent, args);
}
