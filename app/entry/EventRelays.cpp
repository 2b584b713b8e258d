#include "app/entry/EventRelays.h"

#include "app/AppObjects.h"
#include "common/KernelHandle.h"
#include "app/entry/NamedEvents.h"
#include "common/KernelHandle.h"
#include "common/SharedLog.h"
#include "common/WellKnownNames.h"
#include "platform/CString.h"

#include <memory>

namespace
{
constexpr UINT kCommandEditSettings = 32772;
constexpr UINT kCommandCheckForUpdates = 32791;
constexpr UINT kMessageFloatPaneBlink = WM_APP + 24;

// What one relay thread owns.
struct RelayParameters
{
    CKernelHandle stopEvent;
    CKernelHandle ownEvent;
    NamedEventRelaySpec spec;
    CString eventName; // the relay's event name, kept alive for the thread
};

HWND RelayTarget(const NamedEventRelaySpec& spec)
{
    return spec.window ? spec.window : CAppObjects::GetMainWnd();
}

void Deliver(const RelayParameters& relay)
{
    const NamedEventRelaySpec& spec = relay.spec;
    const HWND target = RelayTarget(spec);
    switch (spec.delivery) {
    case RelayDelivery::ResetThenSend:
        ::ResetEvent(relay.ownEvent.Get());
        if (target)
            ::SendMessageW(target, spec.message, spec.wParam, 0);
        break;
    case RelayDelivery::PostThenReset:
        if (target)
            ::PostMessageW(target, spec.message, spec.wParam, 0);
        ::ResetEvent(relay.ownEvent.Get());
        break;
    case RelayDelivery::SendThenReset:
        if (target)
            ::SendMessageW(target, spec.message, spec.wParam, 0);
        ::ResetEvent(relay.ownEvent.Get());
        break;
    case RelayDelivery::SendOnly:
        if (target)
            ::SendMessageW(target, spec.message, spec.wParam, 0);
        break;
    }
}

DWORD WINAPI RelayThreadProc(void* parameter)
{
    std::unique_ptr<RelayParameters> relay(static_cast<RelayParameters*>(parameter));
    const HANDLE handles[2] = {relay->stopEvent.Get(), relay->ownEvent.Get()};
    for (;;) {
        const DWORD result = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (result != WAIT_OBJECT_0 + 1)
            break; // the stop event, or a failed wait
        Deliver(*relay);
    }
    return 0; // the handles close with the record
}
} // namespace

bool StartRelay(HANDLE stopEvent, const NamedEventRelaySpec& spec)
{
    if (!spec.eventName || !*spec.eventName)
        return false;
    auto relay = std::make_unique<RelayParameters>();
    relay->eventName = spec.eventName;
    relay->spec = spec;
    relay->spec.eventName = relay->eventName;
    relay->ownEvent.Reset(CreateOpenNamedEvent(spec.eventName, spec.manualReset, false));
    if (!relay->ownEvent) {
        CString text;
        text.Format(L"Cannot create event [%s]", spec.eventName);
        LogError(text);
        return false;
    }
    relay->stopEvent = DuplicateHandleInProcess(stopEvent);
    if (!relay->stopEvent)
        return false;
    CKernelHandle thread(::CreateThread(nullptr, 0, RelayThreadProc, relay.get(), 0, nullptr));
    if (!thread)
        return false;
    relay.release(); // the thread owns it now
    return true;
}

bool StartNamedEventRelay(HANDLE stopEvent, HWND window, UINT message, WPARAM wParam, LPCWSTR eventName)
{
    NamedEventRelaySpec spec;
    spec.eventName = eventName;
    spec.manualReset = false;
    spec.window = window;
    spec.message = message;
    spec.wParam = wParam;
    spec.delivery = RelayDelivery::SendOnly;
    return window && StartRelay(stopEvent, spec);
}

namespace
{
bool StartInstanceRelay(HANDLE stopEvent, LPCWSTR eventName, WPARAM wParam)
{
    NamedEventRelaySpec spec;
    spec.eventName = eventName;
    spec.manualReset = true;
    spec.window = nullptr; // the main window at each signal
    spec.message = GetInstanceSignalMessage();
    spec.wParam = wParam;
    spec.delivery = RelayDelivery::ResetThenSend;
    return StartRelay(stopEvent, spec);
}
} // namespace

bool StartInstanceRelays(HANDLE stopEvent)
{
    bool any = false;
    if (StartInstanceRelay(stopEvent, GetExitEventName(), 1)) {
        any = true;
        any = StartInstanceRelay(stopEvent, GetExitAllEventName(), 1) || any;
    }
    any = StartInstanceRelay(stopEvent, GetAlreadyWorkEventName(), 0) || any;
    return any;
}

bool StartEditRequestRelay(HANDLE stopEvent)
{
    NamedEventRelaySpec spec;
    spec.eventName = GetEditRequestEventName();
    spec.manualReset = true;
    spec.window = nullptr;
    spec.message = WM_COMMAND;
    spec.wParam = kCommandEditSettings;
    spec.delivery = RelayDelivery::ResetThenSend;
    return StartRelay(stopEvent, spec);
}

bool StartShowMenuRelay(HANDLE stopEvent, HWND window, UINT message)
{
    NamedEventRelaySpec spec;
    spec.eventName = GetShowMenuEventName();
    spec.manualReset = false;
    spec.window = window;
    spec.message = message;
    spec.delivery = RelayDelivery::PostThenReset;
    return window && StartRelay(stopEvent, spec);
}

bool StartLangChangedRelay(HANDLE stopEvent, HWND window, UINT message)
{
    NamedEventRelaySpec spec;
    const CString name = GetLangUIChangedEventName();
    spec.eventName = name;
    spec.manualReset = false;
    spec.window = window;
    spec.message = message;
    spec.delivery = RelayDelivery::SendThenReset;
    return window && StartRelay(stopEvent, spec);
}

bool StartCheckForUpdatesRelay(HANDLE stopEvent, HWND window)
{
    const CString name = GetCheckForUpdatesEventName();
    return StartNamedEventRelay(stopEvent, window, WM_COMMAND, kCommandCheckForUpdates, name);
}

bool StartFloatPaneBlinkRelay(HANDLE stopEvent, HWND window)
{
    const CString name = GetFloatPaneBlinkEventName();
    return StartNamedEventRelay(stopEvent, window, kMessageFloatPaneBlink, 1, name);
}

bool StartDelayedRelays(HANDLE stopEvent, HWND window, UINT langMessage)
{
    const bool language = StartLangChangedRelay(stopEvent, window, langMessage);
    const bool updates = StartCheckForUpdatesRelay(stopEvent, window);
    StartFloatPaneBlinkRelay(stopEvent, window);
    return language && updates;
}
