#pragma once

// The ALT+TAB proxy of the floating pane: a window off screen at the bottom
// of the Z order that carries the program's icon and title, so that the task
// switcher lists the program; it tells its owner when the user switched to
// it with ALT+TAB (notify message, wParam 0) or pressed Enter in it (wParam 1).
// One proxy per process (the WinEvent hook that detects the switch is
// process-wide). User-interface thread only.

#include <windows.h>

#include "platform/CString.h"

class CWndAltTabIcon
{
public:
    CWndAltTabIcon(HWND owner, UINT notifyMessage);
    virtual ~CWndAltTabIcon();
    CWndAltTabIcon(const CWndAltTabIcon&) = delete;
    CWndAltTabIcon& operator=(const CWndAltTabIcon&) = delete;

    // Registers a fresh window class and creates the window; null on failure.
    // The icons stay the caller's.
    HWND Create(HWND owner, const CString& title, HICON big, HICON small, HINSTANCE instance);
    // Destroys the window and unregisters its class; false when there was none.
    bool Destroy();
    HWND GetHandle() const { return m_window; }
    const CString& GetClassName() const { return m_className; }

    // Where the switch detection reads the time; GetTickCount unless a test sets another.
    using TickSource = DWORD(WINAPI*)();
    static void SetTickSource(TickSource source);
    // The switch state: 0 idle, 1 switch started, 2 switch ended.
    static int GetSwitchState();

    // Draws the picture (background, icon, title) into a new 32-bit bitmap.
    HBITMAP DrawPicture(int width, int height) const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void CALLBACK WinEventProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                                      DWORD thread, DWORD time);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void PushToBottom() const;
    void KeepLastBitmap(HBITMAP bitmap);

    HWND m_window = nullptr;
    HWND m_owner;
    UINT m_notifyMessage;
    HICON m_big = nullptr;
    HICON m_small = nullptr;
    HINSTANCE m_instance = nullptr;
    int m_keepAtBottom = 1;
    HBITMAP m_lastBitmap = nullptr;
    CString m_className;
};

// The tray window's holder of the proxy.
class CAltTabIconHolder
{
public:
    CAltTabIconHolder();
    ~CAltTabIconHolder();
    CAltTabIconHolder(const CAltTabIconHolder&) = delete;
    CAltTabIconHolder& operator=(const CAltTabIconHolder&) = delete;

    // True when the proxy exists afterwards (at once when it exists already).
    bool Show(HWND owner, UINT notifyMessage);
    // Destroys the proxy; false when there was none.
    bool Hide();
    bool IsShown() const;
    // Sets the title again (after a language change).
    void UpdateTitle();
    CWndAltTabIcon* GetProxy() const { return m_proxy; }

private:
    HMODULE m_dwmApi = nullptr;
    CWndAltTabIcon* m_proxy = nullptr;
    HICON m_big = nullptr;
    HICON m_small = nullptr;
};
