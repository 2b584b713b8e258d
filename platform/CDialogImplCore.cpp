#include "platform/CDialogImplCore.h"

#include "platform/CAppModule.h"
#include "platform/CMessageLoop.h"
#include "platform/CurrentMessageScope.h"
#include "platform/DeferredDeletion.h"
#include "platform/ExceptionBoundary.h"

namespace
{
const wchar_t kDialogProp[] = L"ScvDlg";

// The object whose dialog is being created on this thread; taken by the dialog's first message.
thread_local CDialogImplCore* t_creatingDialog = nullptr;

// Sets the pending object for one creation; a dialog made while another is being created restores the outer one.
class PendingDialog
{
public:
    explicit PendingDialog(CDialogImplCore* object) : m_outer(t_creatingDialog) { t_creatingDialog = object; }
    ~PendingDialog() { t_creatingDialog = m_outer; }
    PendingDialog(const PendingDialog&) = delete;
    PendingDialog& operator=(const PendingDialog&) = delete;

private:
    CDialogImplCore* m_outer;
};

bool ReturnsResultDirectly(UINT uMsg)
{
    switch (uMsg) {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}
} // namespace

BOOL CDialogImplCore::DialogMessageFilter::PreTranslateMessage(MSG* pMsg)
{
    if (!m_hDialog || !pMsg->hwnd)
        return FALSE;
    if (pMsg->hwnd != m_hDialog && !::IsChild(m_hDialog, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageW(m_hDialog, pMsg);
}

CDialogImplCore* CDialogImplCore::FromHandle(HWND hWnd)
{
    return hWnd ? static_cast<CDialogImplCore*>(::GetPropW(hWnd, kDialogProp)) : nullptr;
}

INT_PTR CALLBACK CDialogImplCore::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    DeferredDeletion::DispatchScope dispatching;
    CDialogImplCore* object = FromHandle(hWnd);
    if (!object && t_creatingDialog) {
        object = t_creatingDialog;
        t_creatingDialog = nullptr;
        object->Attach(hWnd);
    }
    if (!object)
        return FALSE;
    return object->Dispatch(hWnd, uMsg, wParam, lParam);
}

void CDialogImplCore::Attach(HWND hWnd)
{
    WindowHandle() = hWnd;
    ::SetPropW(hWnd, kDialogProp, this);
}

void CDialogImplCore::Reset()
{
    WindowHandle() = nullptr;
    m_bModal = false;
}

void CDialogImplCore::RemoveFilter()
{
    if (m_pFilterLoop && _Module.GetMessageLoop(m_filterThread) == m_pFilterLoop)
        m_pFilterLoop->RemoveMessageFilter(&m_filter);
    m_pFilterLoop = nullptr;
    m_filter.m_hDialog = nullptr;
}

INT_PTR CDialogImplCore::Dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CurrentMessageScope scope(m_pCurrentMsg, hWnd, uMsg, wParam, lParam);
    LRESULT result = 0;
    BOOL handled = FALSE;
    try {
        handled = ProcessWindowMessage(hWnd, uMsg, wParam, lParam, result, 0);
    } catch (...) {
        ReportCurrentException(L"dialog procedure");
        handled = FALSE;
        result = 0;
    }
    INT_PTR answer = FALSE;
    if (handled) {
        if (ReturnsResultDirectly(uMsg)) {
            answer = static_cast<INT_PTR>(result);
        } else {
            if (uMsg != WM_NCDESTROY)
                ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
            answer = TRUE;
        }
    } else if (uMsg == WM_INITDIALOG) {
        answer = TRUE;
    }
    if (uMsg == WM_NCDESTROY) {
        ::RemovePropW(hWnd, kDialogProp);
        RemoveFilter();
        m_bDestroyed = true;
    }
    if (scope.Leave() && m_bDestroyed) {
        m_bDestroyed = false;
        Reset();
        OnFinalMessage(hWnd); // may hand this object over for deletion
    }
    return answer;
}

void CDialogImplCore::OnFinalMessage(HWND) {}

BOOL CDialogImplCore::EndDialog(int nRetCode)
{
    HWND hWnd = WindowHandle();
    if (!hWnd)
        return FALSE;
    if (m_bModal)
        return ::EndDialog(hWnd, nRetCode);
    return ::DestroyWindow(hWnd);
}

INT_PTR CDialogImplCore::DoModalCore(LPCWSTR templateName, const DLGTEMPLATE* dialogTemplate, HWND hWndParent,
                                     LPARAM initParam)
{
    if (WindowHandle())
        return -1;
    m_bModal = true;
    HINSTANCE instance = _Module.GetResourceInstance();
    INT_PTR result = -1;
    {
        PendingDialog pending(this);
        result = dialogTemplate
                     ? ::DialogBoxIndirectParamW(instance, dialogTemplate, hWndParent, DialogProc, initParam)
                     : ::DialogBoxParamW(instance, templateName, hWndParent, DialogProc, initParam);
    }
    m_bModal = false;
    return result;
}

HWND CDialogImplCore::CreateCore(LPCWSTR templateName, const DLGTEMPLATE* dialogTemplate, HWND hWndParent,
                                 LPARAM initParam)
{
    if (WindowHandle())
        return nullptr;
    m_bModal = false;
    HINSTANCE instance = _Module.GetResourceInstance();
    HWND hWnd = nullptr;
    {
        PendingDialog pending(this);
        hWnd = dialogTemplate
                   ? ::CreateDialogIndirectParamW(instance, dialogTemplate, hWndParent, DialogProc, initParam)
                   : ::CreateDialogParamW(instance, templateName, hWndParent, DialogProc, initParam);
    }
    if (!hWnd || WindowHandle() != hWnd)
        return hWnd;

    DWORD thread = ::GetCurrentThreadId();
    if (CMessageLoop* loop = _Module.GetMessageLoop(thread)) {
        m_filter.m_hDialog = hWnd;
        if (loop->AddMessageFilter(&m_filter)) {
            m_pFilterLoop = loop;
            m_filterThread = thread;
        }
    }
    return hWnd;
}

void CDialogImplCore::ReleaseDialog()
{
    HWND hWnd = WindowHandle();
    if (!hWnd)
        return;
    RemoveFilter();
    if (::IsWindow(hWnd))
        ::RemovePropW(hWnd, kDialogProp);
    Reset();
}
