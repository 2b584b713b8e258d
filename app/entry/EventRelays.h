#pragma once

// Relay threads: each turns a named event that another process sets into a
// message to the tray window, so every request is handled on the
// user-interface thread. A relay waits on {stop event, its event}: the stop
// event (the instance event, set only at shutdown) ends it; each signal of its
// event delivers one message. At its end the thread closes its own copies of
// both handles.
//
// The stop event handle is duplicated for the thread: the caller may close its
// own handle at any time.

#include <windows.h>

// How a relay delivers a signal.
enum class RelayDelivery
{
    ResetThenSend, // ResetEvent, then SendMessageW (manual-reset events)
    PostThenReset, // PostMessageW, then ResetEvent
    SendThenReset, // SendMessageW, then ResetEvent
    SendOnly,      // SendMessageW (auto-reset events)
};

struct NamedEventRelaySpec
{
    LPCWSTR eventName = nullptr;
    bool manualReset = false;
    HWND window = nullptr; // the target; null: the main window at each signal
    UINT message = 0;
    WPARAM wParam = 0;
    RelayDelivery delivery = RelayDelivery::SendOnly;
};

// Creates (or opens) the relay's event and starts its relay thread. True when
// the event and the thread exist. A relay whose event cannot be created logs
// "Cannot create event [name]" and starts no thread.
bool StartRelay(HANDLE stopEvent, const NamedEventRelaySpec& spec);

// The general relay for an auto-reset event: SendMessageW(window, message,
// wParam, 0) at each signal.
bool StartNamedEventRelay(HANDLE stopEvent, HWND window, UINT message, WPARAM wParam, LPCWSTR eventName);

// Start-up relays of the single instance: "Local\Scrivolanter_Exit" (wParam 1);
// when that worked also "Global\Scrivolanter_Exit_ALL" (wParam 1); then
// "Local\Scrivolanter_AlreadyWork" (wParam 0). Manual-reset events; each
// signal is reset and sent as the instance-signal message
// (GetInstanceSignalMessage) to the main window. True when any relay started.
bool StartInstanceRelays(HANDLE stopEvent);

// The edit request relay (manual reset): ResetEvent, then
// SendMessageW(main window, WM_COMMAND, 32772, 0).
bool StartEditRequestRelay(HANDLE stopEvent);
// The show-menu relay (auto reset): PostMessageW(window, message, 0, 0), then
// ResetEvent. The tray window passes WM_APP+20.
bool StartShowMenuRelay(HANDLE stopEvent, HWND window, UINT message);

// "Local\Scrivolanter_LangUI_Changed": SendMessageW(window, message, 0, 0),
// then ResetEvent (the tray window passes WM_APP+22).
bool StartLangChangedRelay(HANDLE stopEvent, HWND window, UINT message);
// "Local\Scrivolanter_CheckForUpdates": SendMessageW(window, WM_COMMAND, 32791, 0).
bool StartCheckForUpdatesRelay(HANDLE stopEvent, HWND window);
// "Local\Scrivolanter_FloatPaneBlink": SendMessageW(window, WM_APP+24, 1, 0).
bool StartFloatPaneBlinkRelay(HANDLE stopEvent, HWND window);
// The three above (the language relay with `langMessage`); true when the
// language and update relays started.
bool StartDelayedRelays(HANDLE stopEvent, HWND window, UINT langMessage);
