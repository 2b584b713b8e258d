#pragma once
// The non-template machinery behind CWindowImpl: the window procedures shared by every window object, creation,
// subclassing of existing windows and the clean-up at the end of a window's life.
//
// A window is tied to its object through a window property. Each message goes to the object's message map; what
// the map leaves unhandled goes to the previous window procedure (the superclassed or subclassed window's own
// procedure, else DefWindowProcW). Several objects may subclass one window, also with other subclassing code in
// between: each object runs through its own procedure (one per subclassing level) and property, so no per-object
// code thunks are needed.
//
// At WM_NCDESTROY the object calls the previous procedure, puts the previous procedure back when the window's
// procedure is still the one it found on entry (and the previous one is not DefWindowProcW), clears its window
// handle and calls OnFinalMessage(hWnd) — after the outermost message in progress for it has returned. An object
// that deletes itself there hands itself to DeferredDeletion, which deletes it once no message at all is being
// handled on the thread (a handler of an object it owns may still be on the stack). A window destroyed before
// CreateCore returned (WM_CREATE refused) gives no OnFinalMessage: the creation failed and the object stays the
// creator's, who deletes it when it was allocated for the window.

#include <windows.h>

#include "platform/CMessageMap.h"

class CWndClassInfo;

class CWindowImplCore : public CMessageMap
{
public:
    CWindowImplCore() = default;
    CWindowImplCore(const CWindowImplCore&) = delete;
    CWindowImplCore& operator=(const CWindowImplCore&) = delete;

    // The message being handled (window, message, wParam, lParam), or null between messages.
    const MSG* GetCurrentMessage() const { return m_pCurrentMsg; }

    // Passes the message being handled to the previous window procedure; 0 when no message is being handled.
    LRESULT DefWindowProc();
    LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Called with the former handle after the window's last message (WM_NCDESTROY); not for a window whose
    // creation failed.
    virtual void OnFinalMessage(HWND hWnd);
    // Where every message of the window goes first; the message map by default. A framework layer above may route
    // some messages otherwise (commands through several objects, notifications back to the child that sent them).
    virtual BOOL OnWndMsg(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
    {
        return ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0);
    }
    // The procedure this object's window runs through while the object is attached.
    WNDPROC GetWindowProc() const;

    // The window procedure of every window class registered for window objects.
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    // The object a window belongs to (the most recent one when several subclass it), or null.
    static CWindowImplCore* FromHandle(HWND hWnd);

    WNDPROC m_pfnSuperWindowProc = ::DefWindowProcW;

protected:
    ~CWindowImplCore() = default;

    // Access to the handle kept by the window wrapper the derived template builds on.
    virtual HWND& WindowHandle() = 0;

    HWND CreateCore(CWndClassInfo& classInfo, HWND hWndParent, const RECT* rect, LPCWSTR szWindowName,
                    DWORD dwStyle, DWORD dwExStyle, HMENU hMenu, LPVOID lpCreateParam);
    BOOL SubclassCore(HWND hWnd);
    HWND UnsubclassCore(BOOL bForce);
    // For the destructor of the template: a window that outlives its object goes on with its previous procedure.
    void ReleaseWindow();

private:
    template <int Slot>
    static LRESULT CALLBACK SlotProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT Route(int slot, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT RouteOrphan(int slot, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static int FreeSubclassSlot(HWND hWnd);

    void Attach(HWND hWnd, int slot, WNDPROC super);
    void Reset();
    LRESULT Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    const MSG* m_pCurrentMsg = nullptr;
    int m_slot = -1;           // subclassing level: 0 for windows of our own classes
    bool m_bDestroyed = false; // WM_NCDESTROY seen; final clean-up pending
    bool m_bCreating = false;  // inside CreateCore's CreateWindowExW
};
