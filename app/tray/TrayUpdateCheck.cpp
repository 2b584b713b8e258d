#include "app/tray/TrayUpdateCheck.h"

#include "app/AppObjects.h"
#include "app/entry/EventRelays.h"
#include "app/TrayMessages.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "online/EditorCoopEvents.h"
#include "online/UpdateCheckWindow.h"
#include "online/UpdateCheckThreads.h"

namespace
{
const wchar_t kCommandEventName[] = L"Local\\Scrivolanter_CommandCheckForUpdates";
} // namespace

UINT GetUpdateCheckDoneMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"Scrivolanter_UpdateCheckDone");
    return message;
}

UpdateQueryValues CaptureTrayUpdateQueryValues()
{
    UpdateQueryValues values = CaptureUpdateQueryValues();
    GetMfc42Path(values.mfcPath);
    return values;
}

bool StartManualUpdateCheck(HWND window, HANDLE stopEvent)
{
    return CheckForUpdatesNow(window, WM_SCV_UPDATE_CHECK_RESULT, stopEvent, GetUpdateCheckDoneMessage(),
                              CaptureTrayUpdateQueryValues());
}

bool ScheduleAutomaticUpdateCheck(HWND window, HANDLE stopEvent)
{
    CSettings& settings = GetSettings();
    if (settings.AutoCheckForUpdates == 0)
        return false;
    SYSTEMTIME lastCheck = {};
    settings.GetLastCheckForUpdates(lastCheck);
    return ScheduleNextUpdateCheck(window, WM_SCV_UPDATE_CHECK_RESULT, stopEvent, lastCheck,
                                   GetUpdateCheckDoneMessage(), settings.GetDaysCheckForUpdates(),
                                   CaptureTrayUpdateQueryValues());
}

bool CompleteUpdateCheck(HWND window, HANDLE stopEvent, int data)
{
    SYSTEMTIME now = {};
    ::GetSystemTime(&now);
    GetSettings().SetLastCheckForUpdates(now);
    const bool scheduled = data == 1 && ScheduleAutomaticUpdateCheck(window, stopEvent);
    SignalOptionsChangedAsync();
    return scheduled;
}

CString DescribeUpdateCheckResult(const CUpdateInfo& info)
{
    const CString own = info.ownVersion.ToText();
    CString line;
    if (!info.error.IsEmpty())
        line.Format(L"Update check (%s): %s", info.automatic ? L"scheduled" : L"manual",
                    info.error.GetString());
    else if (!info.newVersion.IsEmpty())
        line.Format(L"Update check (%s): version %s is offered, this is %s",
                    info.automatic ? L"scheduled" : L"manual", info.newVersion.GetString(), own.GetString());
    else
        line.Format(L"Update check (%s): no newer version (offered %s, this is %s)",
                    info.automatic ? L"scheduled" : L"manual", info.offeredVersion.ToText().GetString(),
                    own.GetString());
    return line;
}

void ReportUpdateCheckResult(HWND /*window*/, const CUpdateInfo& info)
{
    WriteLogLine(DescribeUpdateCheckResult(info));
    if (info.automatic == 1 && !GetSettings().AutoCheckForUpdates)
        return;
    ShowUpdateCheckWindow(info);
}

bool StartCheckForUpdatesCommandWatcher(HWND window, UINT commandId, HANDLE stopEvent)
{
    NamedEventRelaySpec spec;
    spec.eventName = kCommandEventName;
    spec.manualReset = true;
    spec.window = window;
    spec.message = WM_COMMAND;
    spec.wParam = commandId;
    spec.delivery = RelayDelivery::SendThenReset;
    return StartRelay(stopEvent, spec);
}
