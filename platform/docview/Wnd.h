#pragma once
// The window base of the document/view layer: a window object (CWindowImpl machinery, message maps) that is
// also a command target.
//
// Message flow on top of the message map:
//  - WM_COMMAND: a control's notification is first offered to the control itself (reflection, see below);
//  then
//    OnCommand routes it as a command through OnCmdMsg (frames: view, document, frame, application).
//  - WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*, WM_HSCROLL/WM_VSCROLL from a control...: first
//  offered
//    to the child window object that sent it, as SCV_REFLECTED_BASE + message in its own map (OCM_ style
//    handlers); a child that does not handle it (or is no CWnd) leaves it to the parent's map. A child
//    declines by setting bHandled to FALSE.
//  - Everything else: the message map.
// PreTranslateMessage is called by the application's message loop for the window a message is for and then
// for each of its parents up to the main window (WalkPreTranslateTree); the first TRUE eats the message.

#include <windows.h>

#include "platform/CWindowImpl.h"
#include "platform/CWndClassInfo.h"
#include "platform/docview/CmdTarget.h"

class CFrameWnd;

// Sent to a child window object to offer it a notification of its parent; lParam = SCV_REFLECT_PARAMS*.
#define SCV_WM_REFLECT (WM_USER + 0x1b01)

struct SCV_REFLECT_PARAMS
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    BOOL handled;
};

class CWnd : public CWindowImplBaseT<CWindow>, public CCmdTarget
{
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd() = default;

    BEGIN_MSG_MAP(CWnd)
    END_MSG_MAP()

    // Creates the window with the class GetWndClassInfo gives, after PreCreateWindow may adjust the values.
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, HWND hWndParent,
                  UINT nID, LPVOID lpCreateParam = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    // The window class of CreateEx: a class of its own by default; controls superclass a system class.
    virtual CWndClassInfo& GetWndClassInfo();

    // Takes over a dialog item and calls OnAttached.
    BOOL SubclassDlgItem(UINT nID, HWND hParent);
    virtual void OnAttached() {}

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers a notification of the parent to this window's own map (reflected); TRUE when handled.
    virtual BOOL OnChildNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // The frame this window lies in (the nearest parent that is a CFrameWnd), or null.
    CFrameWnd* GetParentFrame() const;
    HWND GetOwner() const;

    // The CWnd object of a window of this process, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Offers the message to the PreTranslateMessage of its window and each parent up to hWndStop (inclusive).
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    // Offers a message to the child object that sent it; TRUE when the child handled it.
    static BOOL ReflectToChild(HWND hChild, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    BOOL OnWndMsg(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

protected:
    CMessageMap* GetCommandMap() override { return static_cast<CWindowImplCore*>(this); }
    HWND GetCommandWindow() const override { return m_hWnd; }

private:
    static HWND ReflectTarget(UINT uMsg, WPARAM wParam, LPARAM lParam);
};
