#include "platform/CWindow.h"

#include "platform/CAppModule.h"

HWND CWindow::Create(LPCWSTR lpszClassName, HWND hWndParent, RectArg rect, LPCWSTR szWindowName,
                     DWORD dwStyle, DWORD dwExStyle, MenuOrId menuOrId, LPVOID lpCreateParam)
{
    RECT r = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    if (rect.Get())
        r = *rect.Get();
    int width = rect.Get() ? r.right - r.left : CW_USEDEFAULT;
    int height = rect.Get() ? r.bottom - r.top : CW_USEDEFAULT;
    m_hWnd = ::CreateWindowExW(dwExStyle, lpszClassName, szWindowName, dwStyle, r.left, r.top, width, height,
                               hWndParent, menuOrId.Get(), _Module.GetModuleInstance(), lpCreateParam);
    return m_hWnd;
}

BOOL CWindow::DestroyWindow()
{
    if (!::DestroyWindow(m_hWnd))
        return FALSE;
    m_hWnd = nullptr;
    return TRUE;
}

int CWindow::GetWindowText(CString& strText) const
{
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) {
        strText.Empty();
        return 0;
    }
    // the length may be larger than the text (it can count CR LF pairs or DBCS bytes): read back what was copied
    int copied = ::GetWindowTextW(m_hWnd, strText.GetBuffer(length), length + 1);
    strText.ReleaseBuffer(copied < 0 ? 0 : copied);
    return strText.GetLength();
}

CString CWindow::GetWindowText() const
{
    CString text;
    GetWindowText(text);
    return text;
}

BOOL CWindow::GetDlgItemText(int nID, CString& strText) const
{
    HWND item = ::GetDlgItem(m_hWnd, nID);
    if (!item) {
        strText.Empty();
        return FALSE;
    }
    CWindow(item).GetWindowText(strText);
    return TRUE;
}

BOOL CWindow::ClientToScreen(LPRECT lpRect) const
{
    auto* points = reinterpret_cast<POINT*>(lpRect);
    return ::ClientToScreen(m_hWnd, &points[0]) && ::ClientToScreen(m_hWnd, &points[1]);
}

BOOL CWindow::ScreenToClient(LPRECT lpRect) const
{
    auto* points = reinterpret_cast<POINT*>(lpRect);
    return ::ScreenToClient(m_hWnd, &points[0]) && ::ScreenToClient(m_hWnd, &points[1]);
}

BOOL CWindow::CenterWindow(HWND hWndCenter)
{
    DWORD style = GetStyle();
    if (!hWndCenter) {
        hWndCenter = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    }
    RECT window;
    if (!::GetWindowRect(m_hWnd, &window))
        return FALSE;

    // the area to stay inside: the parent's client area for a child, else the work area of the nearest monitor
    RECT bounds;
    RECT center;
    if (style & WS_CHILD) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &bounds);
        if (hWndCenter && hWndCenter != parent) {
            ::GetWindowRect(hWndCenter, &center);
            ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&center), 2);
        } else {
            center = bounds;
        }
    } else {
        HMONITOR monitor = ::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        ::GetMonitorInfoW(monitor, &info);
        bounds = info.rcWork;
        if (hWndCenter && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter))
            ::GetWindowRect(hWndCenter, &center);
        else
            center = bounds;
    }

    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int left = (center.left + center.right) / 2 - width / 2;
    int top = (center.top + center.bottom) / 2 - height / 2;
    if (left + width > bounds.right)
        left = bounds.right - width;
    if (left < bounds.left)
        left = bounds.left;
    if (top + height > bounds.bottom)
        top = bounds.bottom - height;
    if (top < bounds.top)
        top = bounds.top;
    return ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWindow::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleBits(GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWindow::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleBits(GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWindow::ModifyStyleBits(int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, nIndex));
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, nIndex, static_cast<LONG_PTR>(static_cast<LONG>(newStyle)));
    if (nFlags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return TRUE;
}
