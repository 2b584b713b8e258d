#include "common/WindowHelpers.h"

#include "common/RuntimeBinding.h"

#include <algorithm>
#include <vector>

namespace
{
constexpr UINT kTextTimeoutMs = 1000;
constexpr UINT kTextTimeoutFlags = SMTO_ABORTIFHUNG | SMTO_BLOCK;
constexpr int kMaxParentDepth = 1000; // guards against a parent cycle
constexpr LONG kCaptionAndFrame = WS_CAPTION | WS_THICKFRAME;

using SwitchToThisWindowFn = void(WINAPI*)(HWND, BOOL);
using ChangeWindowMessageFilterFn = BOOL(WINAPI*)(UINT, DWORD);

RECT ComparedRect(HWND window)
{
    RECT rect = {};
    LONG style = ::GetWindowLongW(window, GWL_STYLE);
    if ((style & kCaptionAndFrame) == kCaptionAndFrame) {
        ::GetClientRect(window, &rect);
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    } else {
        ::GetWindowRect(window, &rect);
    }
    return rect;
}

RECT MonitorRect(HMONITOR monitor)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(monitor, &info))
        return info.rcMonitor;
    return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}
} // namespace

bool BringWindowToFront(HWND window)
{
    if (!::IsWindow(window))
        return false;
    if (auto switchTo = FindFunctionInUse<SwitchToThisWindowFn>(L"user32.dll", "SwitchToThisWindow")) {
        switchTo(window, TRUE);
        return true;
    }
    ::SetActiveWindow(window);
    ::SetForegroundWindow(window);
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (::IsIconic(window))
        ::ShowWindow(window, SW_RESTORE);
    ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return true;
}

bool RestoreAndActivateWindow(HWND window)
{
    if (!::IsWindow(window))
        return false;
    if (::IsIconic(window))
        ::ShowWindow(window, SW_RESTORE);
    ::SetForegroundWindow(window);
    ::SetActiveWindow(window);
    ::SetFocus(window);
    return true;
}

bool FitRectOntoNearestMonitor(RECT& rect)
{
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int right = left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int bottom = top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const bool insideVirtual =
        rect.left >= left && rect.top >= top && rect.right <= right && rect.bottom <= bottom;
    if (insideVirtual && ::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL))
        return false;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        return false;
    const RECT& area = monitor.rcWork;
    const int width = static_cast<int>(std::min(rect.right - rect.left, area.right - area.left));
    const int height = static_cast<int>(std::min(rect.bottom - rect.top, area.bottom - area.top));
    const int x = std::clamp(static_cast<int>(rect.left), static_cast<int>(area.left),
                             static_cast<int>(area.right) - width);
    const int y = std::clamp(static_cast<int>(rect.top), static_cast<int>(area.top),
                             static_cast<int>(area.bottom) - height);
    const RECT moved = {x, y, x + width, y + height};
    if (::EqualRect(&moved, &rect))
        return false;
    rect = moved;
    return true;
}

HWND GetRootParent(HWND window)
{
    HWND root = window;
    for (int depth = 0; root && depth < kMaxParentDepth; ++depth) {
        HWND parent = ::GetParent(root);
        if (!parent)
            break;
        root = parent;
    }
    return root;
}

HWND GetRootParentOf(HWND window)
{
    return GetRootParent(window);
}

int GetTopLevelWindowText(HWND window, CString& text)
{
    text.Empty();
    HWND root = GetRootParent(window);
    if (!root || !::IsWindow(root))
        return 0;

    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(root, WM_GETTEXTLENGTH, 0, 0, kTextTimeoutFlags, kTextTimeoutMs, &length) ||
        length == 0)
        return 0;

    std::vector<wchar_t> buffer(length + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(root, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                               kTextTimeoutFlags, kTextTimeoutMs, &copied))
        return 0;
    buffer.back() = L'\0';
    size_t count = std::min<size_t>(copied, buffer.size() - 1);
    text = CString(buffer.data(), static_cast<int>(count));
    return text.IsEmpty() ? 0 : 1;
}

bool IsForegroundWindowFullScreen(HWND window, HWND* foreground)
{
    if (foreground)
        *foreground = nullptr;
    HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (!monitor)
        return false;
    HWND front = ::GetForegroundWindow();
    if (!::IsWindow(front))
        return false;
    if (foreground)
        *foreground = front;

    RECT monitorRect = MonitorRect(monitor);
    RECT windowRect = ComparedRect(front);
    RECT both = {};
    ::UnionRect(&both, &windowRect, &monitorRect);
    return ::EqualRect(&both, &windowRect) != FALSE;
}

BOOL ChangeWindowMessageFilterDyn(UINT message, DWORD action)
{
    auto changeFilter =
        FindFunctionInUse<ChangeWindowMessageFilterFn>(L"user32.dll", "ChangeWindowMessageFilter");
    if (!changeFilter)
        return FALSE;
    return changeFilter(message, action);
}
