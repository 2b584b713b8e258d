#include "online/EditorCoopEvents.h"

#include "common/KernelHandle.h"
#include "common/NamedEvent.h"
#include "common/SlimLock.h"

#include <system_error>
#include <thread>
#include <utility>

namespace
{
struct OptionsEventState
{
    CSlimLock lock;
    CKernelHandle event;
};

OptionsEventState& OptionsState()
{
    static OptionsEventState state;
    return state;
}

// The kept event, created when missing; the caller holds the state's lock.
HANDLE KeptOptionsChangedEvent(OptionsEventState& state)
{
    if (!state.event)
        state.event.Reset(CreateOpenNamedEvent(GetOptionsChangedEventName(), false, false));
    return state.event.Get();
}

// A handle of our own to the kept options-changed event (for a thread that
// may outlive CloseOptionsChangedEvent); null when there is none.
HANDLE DuplicateOptionsChangedEvent()
{
    OptionsEventState& state = OptionsState();
    CSlimLockGuard guard(state.lock);
    return DuplicateHandleInProcess(KeptOptionsChangedEvent(state)).Release();
}

void PulseOptionsChanged(CKernelHandle event)
{
    ::Sleep(1);
    ::SetEvent(event.Get());
    ::ResetEvent(event.Get());
}

void WatchEditorEnded(EditorCoopWatcherParams params)
{
    CKernelHandle ended(CreateOpenNamedEvent(GetEditorCoopEndedEventName(), false, false));
    if (!ended)
        return;
    const HANDLE handles[] = {ended.Get(), params.stopEvent};
    for (;;) {
        const DWORD result = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (result != WAIT_OBJECT_0)
            break;
        ::PostMessageW(params.window, params.message, 0, 0);
    }
}

template <typename Function, typename... Args>
bool StartDetachedThread(Function function, Args&&... args)
{
    try {
        std::thread(function, std::forward<Args>(args)...).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}
} // namespace

LPCWSTR GetOptionsChangedEventName()
{
    return L"Local\\Scrivolanter_OptionsChanged";
}

CString GetEditorCoopEndedEventName()
{
    CString name = L"Local\\Scrivolanter_Event_RedodeZovuvaAgentCoop";
    name += L"_Ended";
    return name;
}

HANDLE GetOptionsChangedEvent()
{
    OptionsEventState& state = OptionsState();
    CSlimLockGuard guard(state.lock);
    return KeptOptionsChangedEvent(state);
}

void CloseOptionsChangedEvent()
{
    OptionsEventState& state = OptionsState();
    CSlimLockGuard guard(state.lock);
    state.event.Reset();
}

bool SignalOptionsChangedAsync()
{
    CKernelHandle event(DuplicateOptionsChangedEvent());
    if (!event)
        return false;
    return StartDetachedThread(&PulseOptionsChanged, std::move(event));
}

bool StartEditorCoopEndedWatcher(const EditorCoopWatcherParams& params)
{
    if (!params.stopEvent)
        return false;
    return StartDetachedThread(&WatchEditorEnded, params);
}
