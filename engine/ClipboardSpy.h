#pragma once

// The one object of the process that learns of clipboard changes and passes
// them to its observers. A hidden child window ("ClipboardSpyWndHidden")
// either listens for clipboard format changes or joins the clipboard viewer
// chain; a watchdog timer compares the clipboard sequence number with the last
// change passed on and re-installs the spy when a change went unnoticed.
// Everything runs on the thread that installed it.

#include <windows.h>

#include <map>

#include "common/WinEventHookDispatcher.h"

class IClipboardSpyObserver
{
public:
    virtual ~IClipboardSpyObserver() = default;
    // `window` is the clipboard owner (the foreground window when there is none,
    // the spy's own window when there is neither); never null.
    virtual void OnClipboardChanged(HWND& window, int value) = 0;
    virtual void OnSpyStateChanged(int value) = 0;
};

struct ClipboardSpyWatchdog
{
    UINT_PTR timerId = 0;
    UINT period = 0;
};

class CClipboardSpy : public IWinEventSubscriber
{
public:
    // Subscribed to the foreground and focus WinEvents while installed.
    void OnWinEvent(const WinEventRecord& record, DWORD userValue) override;
    static CClipboardSpy& GetInstance();

    // False when already installed or when neither method works. `useListener`
    // 1 asks for the format listener (the viewer chain when it is missing).
    bool InstallClipboardSpy(int useListener, HINSTANCE instance, HWND parent);
    bool UninstallClipboardSpy();
    bool IsClipboardSpyInstalled() const { return m_methodState != -1; }
    // -1 not installed, 0 viewer chain, 1 format listener.
    int GetClipboardSpyMethodState() const { return m_methodState; }
    HWND GetSpyWindow() const { return m_spyWindow; }
    const ClipboardSpyWatchdog& GetWatchdogTimer() const { return m_watchdog; }

    void AddClipboardObserver(IClipboardSpyObserver* observer, int value) { m_observers[observer] = value; }
    void RemoveClipboardObserver(IClipboardSpyObserver* observer) { m_observers.erase(observer); }
    void ClearClipboardObservers() { m_observers.clear(); }

    // One watchdog round (what the timer runs): when the sequence number moved
    // since the last change passed on, the spy is installed again.
    void RunWatchdog();

    // "{CC278AD4-3207-4aeb-B6BC-0342A5E6815D}": wParam 0 changed, 1 spy state changed.
    static UINT GetSpyMessage();

private:
    CClipboardSpy();
    ~CClipboardSpy();
    CClipboardSpy(const CClipboardSpy&) = delete;
    CClipboardSpy& operator=(const CClipboardSpy&) = delete;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool InstallEntity();
    void UninstallEntity();
    void Notify(WPARAM code, HWND window);
    // Posts the spy message (code 0 a change with the clipboard's owner, 1 a state change) to
    // the spy window and counts it as one the spy itself is to take.
    void PostChange(HWND window, WPARAM code, LPARAM owner);

    DWORD m_lastSequence = 0;
    bool m_reinstalling = false;
    // Spy messages posted by the spy and not taken yet (all on the spy window's thread).
    int m_postedChanges = 0;
    ClipboardSpyWatchdog m_watchdog;
    HWND m_nextViewer = nullptr;
    bool m_useListener = false;
    HWND m_spyWindow = nullptr;
    std::map<IClipboardSpyObserver*, int> m_observers;
    int m_methodState = -1;
};
