#include "common/ResizeNoBorderSubclasser.h"

#include "platform/WindowsX.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "platform/CWindow.h"

namespace
{
const DWORD kEdgePollMs = 200;

bool IsSizingCode(LRESULT code)
{
    return code >= HTLEFT && code <= HTBOTTOMRIGHT;
}

LPARAM CursorLParam()
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    return MAKELPARAM(static_cast<short>(cursor.x), static_cast<short>(cursor.y));
}
} // namespace

HWND CResizeNoBorderSubclasser::Handle() const
{
    return m_window ? m_window->m_hWnd : nullptr;
}

CResizeNoBorderSubclasser* CResizeNoBorderSubclasser::FromWindow(HWND window)
{
    return static_cast<CResizeNoBorderSubclasser*>(::GetPropW(window, PROPERTY_NAME));
}

int CResizeNoBorderSubclasser::Install(int mode)
{
    const HWND window = Handle();
    if (!::IsWindow(window) || ::GetPropW(window, PROPERTY_NAME))
        return 0;
    if (!::SetPropW(window, PROPERTY_NAME, this))
        return 0;
    WNDPROC proc = nullptr;
    if (mode == ModeEdgeHitTest)
        proc = &CResizeNoBorderSubclasser::EdgeHitTestProc;
    else if (mode == ModeThickFrame)
        proc = &CResizeNoBorderSubclasser::ThickFrameProc;
    LONG_PTR previous = 0;
    if (proc)
        previous = ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    if (!previous) {
        ::RemovePropW(window, PROPERTY_NAME);
        return 0;
    }
    m_previousProc = reinterpret_cast<WNDPROC>(previous);
    return 1;
}

int CResizeNoBorderSubclasser::Remove()
{
    const HWND window = Handle();
    if (!m_previousProc || !::IsWindow(window))
        return 0;
    SetThickFrame(window, false);
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    ::RemovePropW(window, PROPERTY_NAME);
    m_previousProc = nullptr;
    return 1;
}

LRESULT CResizeNoBorderSubclasser::EdgeHitCode(const RECT& window, POINT point, int bandWidth, int bandHeight)
{
    RECT inner = window;
    ::InflateRect(&inner, -bandWidth, -bandHeight);
    if (!::PtInRect(&window, point) || ::PtInRect(&inner, point))
        return HTCLIENT;
    // Columns: 0 left, 1 middle, 2 right; rows: 0 top, 1 middle, 2 bottom.
    int column = 1;
    if (abs(point.x - window.left) <= bandWidth)
        column = 0;
    else if (abs(point.x - window.right) <= bandWidth)
        column = 2;
    int row = 1;
    if (abs(point.y - window.top) <= bandHeight)
        row = 0;
    else if (abs(point.y - window.bottom) <= bandHeight)
        row = 2;
    static const LRESULT codes[3][3] = {
        {HTTOPLEFT, HTLEFT, HTBOTTOMLEFT}, {HTTOP, HTCLIENT, HTBOTTOM}, {HTTOPRIGHT, HTRIGHT, HTBOTTOMRIGHT}};
    return codes[column][row];
}

LRESULT CResizeNoBorderSubclasser::CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::CallWindowProcW(m_previousProc, window, message, wParam, lParam);
}

LRESULT CResizeNoBorderSubclasser::OnNcDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC previous = m_previousProc;
    Remove();
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

LRESULT CALLBACK CResizeNoBorderSubclasser::EdgeHitTestProc(HWND window, UINT message, WPARAM wParam,
                                                            LPARAM lParam)
{
    CResizeNoBorderSubclasser* self = FromWindow(window);
    if (!self || !self->m_previousProc)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        return self->OnNcDestroy(window, message, wParam, lParam);
    const LRESULT result = self->CallPrevious(window, message, wParam, lParam);
    if (message != WM_NCHITTEST || result != HTCLIENT)
        return result;
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    return EdgeHitCode(rect, point, 2 * ::GetSystemMetrics(SM_CXBORDER), 2 * ::GetSystemMetrics(SM_CYBORDER));
}

LRESULT CALLBACK CResizeNoBorderSubclasser::ThickFrameProc(HWND window, UINT message, WPARAM wParam,
                                                           LPARAM lParam)
{
    CResizeNoBorderSubclasser* self = FromWindow(window);
    if (!self || !self->m_previousProc)
        return ::DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY)
        return self->OnNcDestroy(window, message, wParam, lParam);
    if (message == WM_SETCURSOR)
        ::SendMessageW(window, WM_NCHITTEST, 0, CursorLParam());
    if (message != WM_NCHITTEST)
        return self->CallPrevious(window, message, wParam, lParam);

    const LRESULT result = self->CallPrevious(window, message, wParam, lParam);
    if (result != HTCLIENT)
        return result;
    if (::GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME) {
        SetThickFrame(window, false);
        return HTCLIENT;
    }
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int nearest = std::min(std::min(abs(point.x - rect.left), abs(point.x - rect.right)),
                                 std::min(abs(point.y - rect.top), abs(point.y - rect.bottom)));
    if (nearest > 1)
        return HTCLIENT;
    SetThickFrame(window, true);
    const LRESULT sizing = self->CallPrevious(window, message, wParam, lParam);
    try {
        std::thread(&CResizeNoBorderSubclasser::WatchEdge, window).detach();
    } catch (...) {
        // The frame goes away at the next hit test inside the client area.
    }
    return sizing;
}

void CResizeNoBorderSubclasser::SetThickFrame(HWND window, bool on)
{
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR wanted = on ? (style | WS_THICKFRAME) : (style & ~static_cast<LONG_PTR>(WS_THICKFRAME));
    if (wanted == style)
        return;
    ::SetWindowLongPtrW(window, GWL_STYLE, wanted);
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CResizeNoBorderSubclasser::WatchEdge(HWND window)
{
    while (::IsWindow(window) && (::GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME)) {
        ::Sleep(kEdgePollMs);
        DWORD_PTR code = 0;
        if (!::SendMessageTimeoutW(window, WM_NCHITTEST, 0, CursorLParam(), SMTO_ABORTIFHUNG, 5000, &code))
            continue;
        if (!IsSizingCode(static_cast<LRESULT>(code))) {
            SetThickFrame(window, false);
            return;
        }
    }
}
