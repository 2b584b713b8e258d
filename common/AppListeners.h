#pragma once

// Two process-wide listener sets through which the application core tells its
// windows about events: application events (settings reloaded, session
// changes) and the state of the clipboard spy.
//
// A notification visits the listeners in the set's order, over a copy of the
// set: a listener may add or remove listeners (itself included) while it is
// being called; a listener removed during a notification is not called after
// its removal.

#include <windows.h>

// Codes of OnAppEvent.
enum AppEventCode : int
{
    AppEventSettingsReloaded = 0,
    AppEventSessionChange = 1, // value: the WTS reason
};

class IAppEventListener
{
public:
    virtual ~IAppEventListener() = default;
    virtual void OnAppEvent(int code, LPARAM value) = 0;
};

class IClipboardSpyStateListener
{
public:
    virtual ~IClipboardSpyStateListener() = default;
    // Code 0: value tells whether the clipboard watcher window exists.
    virtual void OnClipboardSpyState(int code, LPARAM value) = 0;
};

// Adds a listener once (a null listener is ignored).
void AddAppEventListener(IAppEventListener* listener);
void RemoveAppEventListener(IAppEventListener* listener);
// Calls OnAppEvent on every listener except the sender (null excludes nobody).
void NotifyAppEventListeners(IAppEventListener* sender, int code, LPARAM value);

// 0 when already present (or null); else adds it and returns 1.
int AddClipboardSpyListener(IClipboardSpyStateListener* listener);
// 0 when absent; else removes it and returns 1.
int RemoveClipboardSpyListener(IClipboardSpyStateListener* listener);
// Calls OnClipboardSpyState on every listener except the sender; returns how
// many were called.
int NotifyClipboardSpyListeners(IClipboardSpyStateListener* sender, int code, LPARAM value);
