#pragma once
// The non-template machinery behind CDialogImpl: the dialog procedure shared by every dialog object, modal and
// modeless creation, and the end of a dialog's life.
//
// The dialog is tied to its object through a window property; the object's message map sees every message the
// dialog procedure gets, from the first (WM_SETFONT or WM_INITDIALOG) on. A handled message's result goes back
// through DWLP_MSGRESULT, or directly for the messages whose dialog-procedure result is the answer
// (WM_INITDIALOG, WM_CTLCOLOR*, WM_COMPAREITEM, WM_VKEYTOITEM, WM_CHARTOITEM, WM_QUERYDRAGICON). An unhandled
// WM_INITDIALOG gives TRUE (the first control gets the focus).
//
// A modeless dialog created on a thread whose message loop is registered with _Module adds a message filter to
// that loop that runs IsDialogMessage for it (keyboard navigation, default button), and removes it when the
// dialog is destroyed. After WM_NCDESTROY the object clears its handle and calls OnFinalMessage, after the
// outermost message in progress for it has returned; an object deleting itself there goes through
// DeferredDeletion::DeleteAfterDispatch.

#include <windows.h>

#include "platform/CMessageFilter.h"
#include "platform/CMessageMap.h"

class CMessageLoop;

class CDialogImplCore : public CMessageMap
{
public:
    CDialogImplCore() = default;
    CDialogImplCore(const CDialogImplCore&) = delete;
    CDialogImplCore& operator=(const CDialogImplCore&) = delete;

    const MSG* GetCurrentMessage() const { return m_pCurrentMsg; }
    // A dialog's default processing happens after its dialog procedure returns: there is nothing to call here.
    // Handlers leave a message to it by setting bHandled to FALSE. Always 0.
    LRESULT DefWindowProc() { return 0; }

    // Ends a modal dialog with nRetCode (DoModal's result); destroys a modeless one.
    BOOL EndDialog(int nRetCode);
    BOOL IsModal() const { return m_bModal; }

    virtual void OnFinalMessage(HWND hWnd);

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static CDialogImplCore* FromHandle(HWND hWnd);

protected:
    ~CDialogImplCore() = default;

    virtual HWND& WindowHandle() = 0;

    INT_PTR DoModalCore(LPCWSTR templateName, const DLGTEMPLATE* dialogTemplate, HWND hWndParent,
                        LPARAM initParam);
    HWND CreateCore(LPCWSTR templateName, const DLGTEMPLATE* dialogTemplate, HWND hWndParent,
                    LPARAM initParam);
    // For the destructor of the template: detaches a dialog that outlives its object.
    void ReleaseDialog();

private:
    class DialogMessageFilter : public CMessageFilter
    {
    public:
        HWND m_hDialog = nullptr;
        BOOL PreTranslateMessage(MSG* pMsg) override;
    };

    void Attach(HWND hWnd);
    void Reset();
    void RemoveFilter();
    INT_PTR Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    const MSG* m_pCurrentMsg = nullptr;
    bool m_bModal = false;
    bool m_bDestroyed = false;
    DialogMessageFilter m_filter;
    CMessageLoop* m_pFilterLoop = nullptr;
    DWORD m_filterThread = 0;
};
