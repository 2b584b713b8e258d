#pragma once

// <windowsx.h> defines SubclassWindow as a macro; the member below takes its name.
#ifdef SubclassWindow
#undef SubclassWindow
#endif

// Window objects: a class derived from CWindowImpl<T> has a message map (see CMessageMap.h) and either creates its
// own window (Create, with the window class named by DECLARE_WND_CLASS... or an automatic one) or takes over an
// existing window (SubclassWindow). See CWindowImplCore.h for how messages flow and how a window's life ends.
//
//   class CMyWnd : public CWindowImpl<CMyWnd>
//   {
//   public:
//       DECLARE_WND_CLASS_EX(L"MyWindowClass", CS_HREDRAW | CS_VREDRAW, COLOR_WINDOW)
//       BEGIN_MSG_MAP(CMyWnd)
//           MESSAGE_HANDLER(WM_CREATE, OnCreate)
//       END_MSG_MAP()
//       LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
//   };
//
// TBase is the handle wrapper the object builds on (CWindow or a class derived from it); TWinTraits gives the
// styles used when Create is called with 0 for them.
//
// The object must outlive its window or be destroyed while the window still runs (the window then goes on with its
// previous procedure); an object may delete itself from OnFinalMessage through DeferredDeletion::DeleteAfterDispatch,
// which waits until no message is being handled on the thread.

#include <windows.h>

#include "platform/CMessageMap.h"
#include "platform/CWindow.h"
#include "platform/CWindowImplCore.h"
#include "platform/CWndClassInfo.h"

template <DWORD t_dwStyle = 0, DWORD t_dwExStyle = 0>
class CWinTraits
{
public:
    static DWORD GetWndStyle(DWORD dwStyle) { return dwStyle == 0 ? t_dwStyle : dwStyle; }
    static DWORD GetWndExStyle(DWORD dwExStyle) { return dwExStyle == 0 ? t_dwExStyle : dwExStyle; }
};

using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;
using CFrameWinTraits =
    CWinTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>;
using CNullTraits = CWinTraits<0, 0>;

// A window object that only takes over existing windows (no class of its own).
template <class TBase = CWindow>
class CWindowImplBaseT : public TBase, public CWindowImplCore
{
public:
    CWindowImplBaseT() = default;
    virtual ~CWindowImplBaseT() { ReleaseWindow(); }

    // Takes over an existing window of this process; FALSE when the object has a window already, the handle is
    // not a window of this process, or the window procedure cannot be replaced.
    BOOL SubclassWindow(HWND hWnd) { return SubclassCore(hWnd); }
    // Gives the window back to its previous procedure. Unless bForce, only when no other subclass has been put
    // on top of this one since. Returns the window, or null.
    HWND UnsubclassWindow(BOOL bForce = FALSE) { return UnsubclassCore(bForce); }

protected:
    HWND& WindowHandle() override { return this->m_hWnd; }
};

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase>
{
public:
    DECLARE_WND_CLASS(nullptr)

    static DWORD GetWndStyle(DWORD dwStyle) { return TWinTraits::GetWndStyle(dwStyle); }
    static DWORD GetWndExStyle(DWORD dwExStyle) { return TWinTraits::GetWndExStyle(dwExStyle); }

    // Registers T's window class on first use and creates the window; null on failure. lpCreateParam reaches
    // WM_CREATE in CREATESTRUCT::lpCreateParams. A null rect gives the system's default position and size.
    HWND Create(HWND hWndParent, RectArg rect = RectArg(), LPCWSTR szWindowName = nullptr, DWORD dwStyle = 0,
                DWORD dwExStyle = 0, MenuOrId menuOrId = MenuOrId(), LPVOID lpCreateParam = nullptr)
    {
        return this->CreateCore(T::GetWndClassInfo(), hWndParent, rect.Get(), szWindowName,
                                T::GetWndStyle(dwStyle), T::GetWndExStyle(dwExStyle), menuOrId.Get(),
                                lpCreateParam);
    }
};
