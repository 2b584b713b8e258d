#include "editor/app/frame/EditorCoopWatchers.h"
#include "common/OwnWindowMessages.h"

#include <memory>
#include <new>

#include "common/KernelHandle.h"
#include "common/NamedEvent.h"
#include "online/EditorCoopEvents.h"

namespace
{
using WatchFunction = DWORD (*)(const EditorWatcherParams&);

// What one watcher thread owns.
struct WatcherRecord
{
    WatchFunction watch = nullptr;
    EditorWatcherParams params;
    CKernelHandle stopEvent;
};

DWORD WINAPI WatcherThreadProc(void* parameter)
{
    std::unique_ptr<WatcherRecord> record(static_cast<WatcherRecord*>(parameter));
    return record->watch(record->params);
}

bool StartWatcher(WatchFunction watch, HWND window, UINT message, HANDLE stopEvent)
{
    std::unique_ptr<WatcherRecord> record(new (std::nothrow) WatcherRecord);
    if (!record)
        return false;
    record->watch = watch;
    record->stopEvent = DuplicateHandleInProcess(stopEvent);
    if (!record->stopEvent)
        return false;
    record->params = EditorWatcherParams{record->stopEvent.Get(), window, message};
    CKernelHandle thread(::CreateThread(nullptr, 0, WatcherThreadProc, record.get(), 0, nullptr));
    if (!thread)
        return false;
    record.release(); // the thread owns it now
    return true;
}

// Waits on {stop event, event}; true when the event (not the stop event) ended the wait.
bool WaitForSignal(HANDLE stopEvent, HANDLE event)
{
    const HANDLE handles[] = {stopEvent, event};
    return ::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}
} // namespace

LPCWSTR GetAddPhraseFromClipboardEventName()
{
    return L"Local\\Scrivolanter_AddPhraseFromCB";
}

DWORD WatchOptionsChanged(const EditorWatcherParams& params)
{
    CKernelHandle event(::OpenEventW(SYNCHRONIZE, FALSE, GetOptionsChangedEventName()));
    if (!event)
        return 1;
    while (WaitForSignal(params.stopEvent, event.Get()))
        ::SendMessageW(params.window, params.message, 0, 0);
    return 0;
}

DWORD WatchAddPhraseFromClipboard(const EditorWatcherParams& params)
{
    CKernelHandle event(CreateOpenNamedEvent(GetAddPhraseFromClipboardEventName(), false, false));
    if (!event)
        return 1;
    while (WaitForSignal(params.stopEvent, event.Get()))
        PostOwnMessage(params.window, params.message, 0, 0);
    return 0;
}

bool StartOptionsChangedWatcher(HWND window, UINT message, HANDLE stopEvent)
{
    return StartWatcher(&WatchOptionsChanged, window, message, stopEvent);
}

bool StartAddPhraseFromClipboardWatcher(HWND window, UINT message, HANDLE stopEvent)
{
    return StartWatcher(&WatchAddPhraseFromClipboard, window, message, stopEvent);
}
