#pragma once
// A thin wrapper of a window handle. It owns nothing: copying it copies the handle, and destroying the object leaves
// the window alone. Each method is the Win32 function of the same name applied to m_hWnd.

#include <windows.h>

#include "platform/CString.h"

// A rectangle argument that may be given as a pointer, a reference or left out (null).
class RectArg
{
public:
    RectArg(const RECT* rect = nullptr) : m_rect(rect) {}
    RectArg(const RECT& rect) : m_rect(&rect) {}
    const RECT* Get() const { return m_rect; }

private:
    const RECT* m_rect;
};

// The menu of a top-level window or the control id of a child window.
class MenuOrId
{
public:
    MenuOrId(HMENU menu = nullptr) : m_menu(menu) {}
    MenuOrId(UINT id) : m_menu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))) {}
    MenuOrId(int id) : m_menu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(static_cast<UINT>(id)))) {}
    HMENU Get() const { return m_menu; }

private:
    HMENU m_menu;
};

class CWindow
{
public:
    HWND m_hWnd = nullptr;

    CWindow(HWND hWnd = nullptr) noexcept : m_hWnd(hWnd) {}
    CWindow& operator=(HWND hWnd) noexcept
    {
        m_hWnd = hWnd;
        return *this;
    }
    operator HWND() const noexcept { return m_hWnd; }

    void Attach(HWND hWndNew) noexcept { m_hWnd = hWndNew; }
    HWND Detach() noexcept
    {
        HWND h = m_hWnd;
        m_hWnd = nullptr;
        return h;
    }

    // Creates a window of an already registered class (a system control, for instance) and attaches it.
    HWND Create(LPCWSTR lpszClassName, HWND hWndParent, RectArg rect = RectArg(),
                LPCWSTR szWindowName = nullptr, DWORD dwStyle = 0, DWORD dwExStyle = 0,
                MenuOrId menuOrId = MenuOrId(), LPVOID lpCreateParam = nullptr);
    BOOL DestroyWindow();

    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    BOOL IsChild(HWND hWnd) const { return ::IsChild(m_hWnd, hWnd); }

    // Messages
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL SendNotifyMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendNotifyMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL IsDialogMessage(MSG* pMsg) { return ::IsDialogMessageW(m_hWnd, pMsg); }

    // Text
    int GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const
    {
        return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
    }
    int GetWindowText(CString& strText) const;
    CString GetWindowText() const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    BOOL SetWindowText(LPCWSTR lpszString) { return ::SetWindowTextW(m_hWnd, lpszString); }

    // Dialog items
    CWindow GetDlgItem(int nID) const { return CWindow(::GetDlgItem(m_hWnd, nID)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    int SetDlgCtrlID(int nID) { return static_cast<int>(SetWindowLongPtr(GWLP_ID, nID)); }
    UINT GetDlgItemText(int nID, LPWSTR lpStr, int nMaxCount) const
    {
        return ::GetDlgItemTextW(m_hWnd, nID, lpStr, nMaxCount);
    }
    BOOL GetDlgItemText(int nID, CString& strText) const;
    BOOL SetDlgItemText(int nID, LPCWSTR lpszString) { return ::SetDlgItemTextW(m_hWnd, nID, lpszString); }
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const
    {
        return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
    }
    BOOL SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE)
    {
        return ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned);
    }
    BOOL CheckDlgButton(int nIDButton, UINT nCheck) { return ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendDlgItemMessageW(m_hWnd, nID, message, wParam, lParam);
    }

    // Position and size
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    {
        return ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    BOOL MoveWindow(const RECT* lpRect, BOOL bRepaint = TRUE)
    {
        return ::MoveWindow(m_hWnd, lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                            lpRect->bottom - lpRect->top, bRepaint);
    }
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    BOOL SetWindowPos(HWND hWndInsertAfter, const RECT* lpRect, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, lpRect->left, lpRect->top,
                              lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, nFlags);
    }
    BOOL GetClientRect(LPRECT lpRect) const { return ::GetClientRect(m_hWnd, lpRect); }
    BOOL GetWindowRect(LPRECT lpRect) const { return ::GetWindowRect(m_hWnd, lpRect); }
    BOOL ClientToScreen(LPPOINT lpPoint) const { return ::ClientToScreen(m_hWnd, lpPoint); }
    BOOL ClientToScreen(LPRECT lpRect) const;
    BOOL ScreenToClient(LPPOINT lpPoint) const { return ::ScreenToClient(m_hWnd, lpPoint); }
    BOOL ScreenToClient(LPRECT lpRect) const;
    // Centers over hWndCenter, else over the owner or parent, else over the work area; kept inside the work area.
    BOOL CenterWindow(HWND hWndCenter = nullptr);

    // Painting
    BOOL Invalidate(BOOL bErase = TRUE) { return ::InvalidateRect(m_hWnd, nullptr, bErase); }
    BOOL InvalidateRect(const RECT* lpRect, BOOL bErase = TRUE)
    {
        return ::InvalidateRect(m_hWnd, lpRect, bErase);
    }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(const RECT* lpRectUpdate = nullptr, HRGN hRgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        return ::RedrawWindow(m_hWnd, lpRectUpdate, hRgnUpdate, flags);
    }
    void SetRedraw(BOOL bRedraw = TRUE) { ::SendMessageW(m_hWnd, WM_SETREDRAW, bRedraw, 0); }
    HDC GetDC() { return ::GetDC(m_hWnd); }
    int ReleaseDC(HDC hDC) { return ::ReleaseDC(m_hWnd, hDC); }

    // Relations, focus and activation
    CWindow GetParent() const { return CWindow(::GetParent(m_hWnd)); }
    CWindow SetParent(HWND hWndNewParent) { return CWindow(::SetParent(m_hWnd, hWndNewParent)); }
    CWindow GetWindow(UINT nCmd) const { return CWindow(::GetWindow(m_hWnd, nCmd)); }
    CWindow GetTopLevelParent() const { return CWindow(::GetAncestor(m_hWnd, GA_ROOT)); }
    CWindow SetFocus() { return CWindow(::SetFocus(m_hWnd)); }
    static CWindow GetFocus() { return CWindow(::GetFocus()); }
    CWindow SetActiveWindow() { return CWindow(::SetActiveWindow(m_hWnd)); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    BOOL BringWindowToTop() { return ::BringWindowToTop(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    DWORD GetWindowThreadID() const { return ::GetWindowThreadProcessId(m_hWnd, nullptr); }
    DWORD GetWindowProcessID() const
    {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(m_hWnd, &pid);
        return pid;
    }

    // Window data and styles
    LONG_PTR GetWindowLongPtr(int nIndex) const { return ::GetWindowLongPtrW(m_hWnd, nIndex); }
    LONG_PTR SetWindowLongPtr(int nIndex, LONG_PTR dwNewLong)
    {
        return ::SetWindowLongPtrW(m_hWnd, nIndex, dwNewLong);
    }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    // Changes the style bits; with nFlags not 0 also calls SetWindowPos with those flags (plus no move, size,
    // z-order change or activation). TRUE when the style changed.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    int GetClassName(LPWSTR lpClassName, int nMaxCount) const
    {
        return ::GetClassNameW(m_hWnd, lpClassName, nMaxCount);
    }

    // Timers
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr)
    {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

    // Fonts, icons, menus
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE)
    {
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), MAKELPARAM(bRedraw, 0));
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon = TRUE)
    {
        return reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                      reinterpret_cast<LPARAM>(hIcon)));
    }
    HICON GetIcon(BOOL bBigIcon = TRUE) const
    {
        return reinterpret_cast<HICON>(
            ::SendMessageW(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
    }
    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    BOOL SetMenu(HMENU hMenu) { return ::SetMenu(m_hWnd, hMenu); }

    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK)
    {
        return ::MessageBoxW(m_hWnd, lpszText, lpszCaption, nType);
    }

private:
    BOOL ModifyStyleBits(int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
};
