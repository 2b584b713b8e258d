#include "editor/app/frame/EditorInstance.h"

#include <vector>

#include "common/SharedLog.h"
#include "common/WellKnownNames.h"
#include "online/EditorCoopEvents.h"

namespace
{

HANDLE g_instanceEvent = nullptr;
std::vector<HANDLE> g_watchers;

struct SearchState
{
    UINT message;
    WPARAM wParam;
    HWND found;
};

BOOL CALLBACK AskWindow(HWND window, LPARAM data)
{
    auto* state = reinterpret_cast<SearchState*>(data);
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutW(window, state->message, state->wParam, 0, SMTO_ABORTIFHUNG, 3000, &answer) &&
        answer != 0) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

LPCWSTR GetEditorInstanceEventName()
{
    return L"A342649A-EB3E-425a-BB03-0F47CA7A0A9F";
}

bool IsEditorInstanceRunning()
{
    HANDLE event = ::OpenEventW(SYNCHRONIZE, FALSE, GetEditorInstanceEventName());
    if (!event)
        return false;
    ::CloseHandle(event);
    return true;
}

HANDLE CreateEditorInstanceEvent()
{
    if (!g_instanceEvent)
        g_instanceEvent = ::CreateEventW(nullptr, TRUE, FALSE, GetEditorInstanceEventName());
    return g_instanceEvent;
}

bool ClaimEditorInstance()
{
    if (g_instanceEvent)
        return true;
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, GetEditorInstanceEventName());
    if (!event)
        return false; // e.g. another user's editor made it: denied
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(event);
        return false;
    }
    g_instanceEvent = event;
    return true;
}

HANDLE GetEditorInstanceEvent()
{
    return g_instanceEvent;
}

void RegisterEditorWatcherThread(HANDLE thread)
{
    if (thread)
        g_watchers.push_back(thread);
}

void CloseEditorInstanceEvent(DWORD joinTimeoutMs)
{
    if (!g_instanceEvent)
        return;
    ::SetEvent(g_instanceEvent);
    if (!g_watchers.empty()) {
        const DWORD wait = ::WaitForMultipleObjects(static_cast<DWORD>(g_watchers.size()), g_watchers.data(),
                                                    TRUE, joinTimeoutMs);
        if (wait == WAIT_TIMEOUT)
            WriteLogLine(L"Editor: a watcher thread did not end in time");
        for (HANDLE thread : g_watchers)
            ::CloseHandle(thread);
        g_watchers.clear();
    }
    ::CloseHandle(g_instanceEvent);
    g_instanceEvent = nullptr;
}

bool IsAddFromClipboardInCommandLine(LPCWSTR commandLine)
{
    if (!commandLine)
        return false;
    const wchar_t* found = ::wcsstr(commandLine, L"addfromcb");
    return found && found > commandLine;
}

bool FindAndActivateWindowByMessage(UINT message, bool activate, WPARAM wParam)
{
    SearchState state = {message, wParam, nullptr};
    ::EnumWindows(&AskWindow, reinterpret_cast<LPARAM>(&state));
    if (!state.found)
        return false;
    if (!activate)
        return true;
    const DWORD thread = ::GetWindowThreadProcessId(state.found, nullptr);
    const DWORD own = ::GetCurrentThreadId();
    if (!thread)
        return false;
    const bool attached = thread == own || ::AttachThreadInput(own, thread, TRUE);
    if (!attached)
        return false;
    ::SetForegroundWindow(state.found);
    if (::IsIconic(state.found))
        ::ShowWindow(state.found, SW_RESTORE);
    if (thread != own)
        ::AttachThreadInput(own, thread, FALSE);
    return true;
}

bool SignalEditorEnded()
{
    return PulseNamedEvent(GetEditorCoopEndedEventName());
}
