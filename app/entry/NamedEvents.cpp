#include "app/entry/NamedEvents.h"

#include "app/AppObjects.h"
#include "common/KernelHandle.h"
#include "common/SecurityInfo.h"
#include "common/SharedLog.h"
#include "common/WellKnownNames.h"

#include <mutex>

namespace
{
// The hand-over event this process created before its elevated restart.
HANDLE g_handOverEvent = nullptr;
std::mutex g_handOverLock;

// The copy events of the clipboard watcher.
HANDLE g_startCopyEvent = nullptr;
HANDLE g_endCopyEvent = nullptr;

// The stored instance event.
HANDLE g_instanceEvent = nullptr;

// A copy event: an auto-reset event everyone may open.
HANDLE CreateCopyEvent(LPCWSTR name)
{
    return CreateOpenNamedEvent(name, false, false);
}

void CloseAndClear(HANDLE& handle)
{
    if (handle)
        ::CloseHandle(handle);
    handle = nullptr;
}
} // namespace

LPCWSTR GetAutomodeEventName()
{
    return L"9DDB575E-846B-4600-880F-98319D699612";
}

LPCWSTR GetEditRequestEventName()
{
    return L"BD9F528F-8997-48c7-897C-F437765F93D2";
}

LPCWSTR GetShowMenuEventName()
{
    return L"{84F81BCD-0FC6-4782-B39F-C638F539FA14}";
}

LPCWSTR GetExitEventName()
{
    return L"Local\\Scrivolanter_Exit";
}

LPCWSTR GetExitAllEventName()
{
    return L"Global\\Scrivolanter_Exit_ALL";
}

LPCWSTR GetAlreadyWorkEventName()
{
    return L"Local\\Scrivolanter_AlreadyWork";
}

LPCWSTR GetHandOverEventName()
{
    return L"55517695-4FD6-40eb-9E52-997024E979DE";
}

LPCWSTR GetStartCopyEventName()
{
    return L"Local\\Scrivolanter_StartCopy";
}

LPCWSTR GetEndCopyEventName()
{
    return L"Local\\Scrivolanter_EndCopy";
}

UINT GetInstanceSignalMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"SCV_7B11E8E0-A712-4caa-A06B-01BEA4F7DFC4");
    return message;
}

bool SetNamedEvent(LPCWSTR name)
{
    if (!name || !*name)
        return false;
    CKernelHandle event(::OpenEventW(EVENT_MODIFY_STATE, FALSE, name));
    return event && ::SetEvent(event.Get()) != FALSE;
}

bool NamedEventExists(LPCWSTR name)
{
    if (!name || !*name)
        return false;
    CKernelHandle event(::OpenEventW(SYNCHRONIZE, FALSE, name));
    return static_cast<bool>(event);
}

bool SignalEditRequest()
{
    return SetNamedEvent(GetEditRequestEventName());
}

bool SignalShowMenuEvent()
{
    return SetNamedEvent(GetShowMenuEventName());
}

bool SignalCheckForUpdatesRequest()
{
    return SetNamedEvent(GetCheckForUpdatesEventName());
}

bool SignalAlreadyWork()
{
    return SetNamedEvent(GetAlreadyWorkEventName());
}

bool SignalExitEvents()
{
    const bool local = SetNamedEvent(GetExitEventName());
    const bool global = SetNamedEvent(GetExitAllEventName());
    return local || global;
}

HANDLE CreateAutomodeEvent(bool* alreadyExisted)
{
    return CreateOpenNamedEvent(GetAutomodeEventName(), false, false, alreadyExisted);
}

bool SignalAutomodeEvent()
{
    return SetNamedEvent(GetAutomodeEventName());
}

bool CreateHandOverEvent()
{
    std::lock_guard<std::mutex> lock(g_handOverLock);
    CloseAndClear(g_handOverEvent);
    g_handOverEvent = ::CreateEventW(nullptr, TRUE, FALSE, GetHandOverEventName());
    return g_handOverEvent != nullptr;
}

bool SignalHandOverEvent()
{
    std::lock_guard<std::mutex> lock(g_handOverLock);
    if (!g_handOverEvent)
        return false;
    const bool set = ::SetEvent(g_handOverEvent) != FALSE;
    CloseAndClear(g_handOverEvent);
    return set;
}

bool WaitHandOverEvent(DWORD milliseconds, DWORD& error)
{
    error = 0;
    CKernelHandle event(::OpenEventW(SYNCHRONIZE, FALSE, GetHandOverEventName()));
    if (!event) {
        error = ::GetLastError();
        return false;
    }
    const DWORD result = ::WaitForSingleObject(event.Get(), milliseconds);
    if (result == WAIT_OBJECT_0)
        return true;
    if (result == WAIT_FAILED)
        error = ::GetLastError();
    return false;
}

bool CreateCopyEvents()
{
    if (!g_startCopyEvent)
        g_startCopyEvent = CreateCopyEvent(GetStartCopyEventName());
    if (!g_endCopyEvent)
        g_endCopyEvent = CreateCopyEvent(GetEndCopyEventName());
    return g_endCopyEvent != nullptr;
}

HANDLE GetStartCopyEvent()
{
    return g_startCopyEvent;
}

HANDLE GetEndCopyEvent()
{
    return g_endCopyEvent;
}

void CloseCopyEvents()
{
    CloseAndClear(g_startCopyEvent);
    CloseAndClear(g_endCopyEvent);
}

bool SignalStartCopy()
{
    return PulseNamedEvent(GetStartCopyEventName());
}

bool SignalEndCopy()
{
    return PulseNamedEvent(GetEndCopyEventName());
}

// --- The single-instance members of CAppObjects -------------------------------

bool CAppObjects::IsInstanceRunning()
{
    return NamedEventExists(GetFirstInstanceEventName());
}

HANDLE CAppObjects::CreateInstanceEvent(bool* alreadyExisted)
{
    bool existed = false;
    HANDLE event = CreateOpenNamedEvent(GetFirstInstanceEventName(), true, false, &existed);
    if (alreadyExisted)
        *alreadyExisted = existed;
    if (event && existed) {
        // Another start made it first: that one is the instance.
        ::CloseHandle(event);
        return nullptr;
    }
    return event;
}

HANDLE CAppObjects::GetInstanceEvent()
{
    return g_instanceEvent;
}

void CAppObjects::SetInstanceEvent(HANDLE event)
{
    g_instanceEvent = event;
}
