#include "platform/docview/Wnd.h"

#include "platform/docview/FrameWnd.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

CWndClassInfo& CWnd::GetWndClassInfo()
{
    static CWndClassInfo info(nullptr, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return info;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW&)
{
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, HWND hWndParent,
                    UINT nID, LPVOID lpCreateParam)
{
    CREATESTRUCTW cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = hWndParent;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID));
    cs.lpCreateParams = lpCreateParam;
    if (!PreCreateWindow(cs))
        return FALSE;
    RECT r = {cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
    const bool defaultRect = cs.x == CW_USEDEFAULT;
    return CreateCore(GetWndClassInfo(), cs.hwndParent, defaultRect ? nullptr : &r, cs.lpszName,
                      static_cast<DWORD>(cs.style), cs.dwExStyle, cs.hMenu, cs.lpCreateParams) != nullptr;
}

BOOL CWnd::SubclassDlgItem(UINT nID, HWND hParent)
{
    HWND item = ::GetDlgItem(hParent, static_cast<int>(nID));
    if (!item || !SubclassWindow(item))
        return FALSE;
    OnAttached();
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    return dynamic_cast<CWnd*>(CWindowImplCore::FromHandle(hWnd));
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* wnd = FromHandlePermanent(hWnd);
        if (wnd && wnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (HWND hWnd = ::GetParent(m_hWnd); hWnd; hWnd = ::GetParent(hWnd)) {
        CFrameWnd* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(hWnd));
        if (frame)
            return frame;
    }
    return nullptr;
}

HWND CWnd::GetOwner() const
{
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    return owner ? owner : ::GetParent(m_hWnd);
}

BOOL CWnd::ReflectToChild(HWND hChild, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (!FromHandlePermanent(hChild))
        return FALSE;
    SCV_REFLECT_PARAMS params = {uMsg, wParam, lParam, 0, FALSE};
    ::SendMessageW(hChild, SCV_WM_REFLECT, 0, reinterpret_cast<LPARAM>(&params));
    if (params.handled && pResult)
        *pResult = params.result;
    return params.handled;
}

BOOL CWnd::OnChildNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    BOOL handled = ProcessWindowMessage(m_hWnd, SCV_REFLECTED_BASE + uMsg, wParam, lParam, result, 0);
    if (handled && pResult)
        *pResult = result;
    return handled;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<void*>(lParam));
}

HWND CWnd::ReflectTarget(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<LPNMHDR>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM:
        return wParam && lParam ? reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return wParam && lParam ? reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem : nullptr;
    case WM_COMPAREITEM:
        return wParam && lParam ? reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem : nullptr;
    default:
        return nullptr;
    }
}

BOOL CWnd::OnWndMsg(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (uMsg == SCV_WM_REFLECT) {
        auto* params = reinterpret_cast<SCV_REFLECT_PARAMS*>(lParam);
        if (params)
            params->handled = OnChildNotify(params->message, params->wParam, params->lParam, &params->result);
        lResult = 0;
        return TRUE;
    }
    HWND child = ReflectTarget(uMsg, wParam, lParam);
    if (child && child != hWnd && ReflectToChild(child, uMsg, wParam, lParam, &lResult))
        return TRUE;
    if (uMsg == WM_COMMAND) {
        lResult = 0;
        return OnCommand(wParam, lParam);
    }
    return ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0);
}
