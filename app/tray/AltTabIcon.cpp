#include "app/tray/AltTabIcon.h"

#include "app/AppObjects.h"
#include "app/AppTexts.h"
#include "common/SharedLog.h"
#include "common/SystemFunctions.h"

#include <ctime>

#ifndef WM_DWMSENDICONICTHUMBNAIL
#define WM_DWMSENDICONICTHUMBNAIL 0x0323
#endif
#ifndef WM_DWMSENDICONICLIVEPREVIEWBITMAP
#define WM_DWMSENDICONICLIVEPREVIEWBITMAP 0x0326
#endif

namespace
{
constexpr int kPosition = -400;
constexpr int kSize = 300;
constexpr DWORD kSwitchToFocusMs = 500;
constexpr UINT kKeepAtBottomMessage = WM_APP + 1;
constexpr UINT kNoMoveNoSize = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

// Process-wide: the proxy, its hook and the switch detection.
struct AltTabState
{
    CWndAltTabIcon* proxy = nullptr;
    HWINEVENTHOOK hook = nullptr;
    int switchState = 0;
    DWORD switchEndTick = 0;
    CWndAltTabIcon::TickSource tick = &::GetTickCount;
};

AltTabState& State()
{
    static AltTabState state;
    return state;
}
} // namespace

void CWndAltTabIcon::SetTickSource(TickSource source)
{
    State().tick = source ? source : &::GetTickCount;
}

int CWndAltTabIcon::GetSwitchState()
{
    return State().switchState;
}

CWndAltTabIcon::CWndAltTabIcon(HWND owner, UINT notifyMessage)
    : m_owner(owner), m_notifyMessage(notifyMessage)
{}

CWndAltTabIcon::~CWndAltTabIcon()
{
    Destroy();
    if (m_lastBitmap)
        ::DeleteObject(m_lastBitmap);
}

HWND CWndAltTabIcon::Create(HWND owner, const CString& title, HICON big, HICON small, HINSTANCE instance)
{
    if (m_window)
        return m_window;
    m_owner = owner;
    m_big = big;
    m_small = small;
    m_instance = instance;
    wchar_t clock[16] = {};
    const time_t now = time(nullptr);
    wcsftime(clock, 16, L"%H:%M:%S", localtime(&now));
    m_className.Format(L"Scrivolanter ALT+TAB Window Class%s%lu", clock, ::GetTickCount());
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &CWndAltTabIcon::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = big;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_HIGHLIGHT);
    windowClass.lpszClassName = m_className.GetString();
    if (!::RegisterClassExW(&windowClass))
        return nullptr;
    HWND window = ::CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE, m_className.GetString(),
                                    title.GetString(), WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU, kPosition,
                                    kPosition, kSize, kSize, owner, nullptr, instance, this);
    if (!window) {
        ::UnregisterClassW(m_className.GetString(), instance);
        return nullptr;
    }
    ::SetWindowPos(window, nullptr, kPosition, kPosition, kSize, kSize, SWP_NOACTIVATE | SWP_NOZORDER);
    PushToBottom();
    return window;
}

bool CWndAltTabIcon::Destroy()
{
    if (!m_window)
        return false;
    const bool destroyed = ::DestroyWindow(m_window) != FALSE;
    if (destroyed) {
        m_window = nullptr;
        ::UnregisterClassW(m_className.GetString(), m_instance);
    }
    return destroyed;
}

void CWndAltTabIcon::PushToBottom() const
{
    if (m_window)
        ::SetWindowPos(m_window, HWND_BOTTOM, 0, 0, 0, 0, kNoMoveNoSize);
    if (m_owner)
        ::SetWindowPos(m_owner, HWND_BOTTOM, 0, 0, 0, 0, kNoMoveNoSize);
}

void CWndAltTabIcon::KeepLastBitmap(HBITMAP bitmap)
{
    if (m_lastBitmap)
        ::DeleteObject(m_lastBitmap);
    m_lastBitmap = bitmap;
}

void CWndAltTabIcon::OnCreate()
{
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(m_window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_owner));
    ::SetWindowPos(m_window, HWND_BOTTOM, kPosition, kPosition, kSize, kSize, SWP_NOACTIVATE);
    CallDwmExtendFrameIntoClientArea(m_window);
    ::SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_small));
    ::SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_big));
    ::ShowWindow(m_window, SW_SHOWNA);
    State().proxy = this;
    State().hook = ::SetWinEventHook(EVENT_SYSTEM_SWITCHSTART, EVENT_OBJECT_FOCUS, m_instance,
                                     &CWndAltTabIcon::WinEventProc, 0, 0, WINEVENT_OUTOFCONTEXT);
    CString line;
    line.Format(L"m_hHOOKALTTAB=%p", static_cast<void*>(State().hook));
    WriteLogLine(line.GetString());
    PushToBottom();
    DwmSetForceIconicRepresentation(m_window, true);
    DwmSetHasIconicBitmap(m_window, true);
    SetWindowThemeDyn(m_window, L"", L"");
}

HBITMAP CWndAltTabIcon::DrawPicture(int width, int height) const
{
    WriteLogLine(L"DoDraw");
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    if (!bitmap || !memory) {
        if (bitmap)
            ::DeleteObject(bitmap);
        if (memory)
            ::DeleteDC(memory);
        return nullptr;
    }
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    RECT rect = {0, 0, width, height};
    ::FillRect(memory, &rect, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    HICON icon = m_big ? m_big : m_small;
    if (icon) {
        ICONINFO iconInfo = {};
        int size = 32;
        if (::GetIconInfo(icon, &iconInfo)) {
            BITMAP mask = {};
            if (::GetObjectW(iconInfo.hbmMask, sizeof(mask), &mask))
                size = mask.bmWidth;
            if (iconInfo.hbmColor)
                ::DeleteObject(iconInfo.hbmColor);
            ::DeleteObject(iconInfo.hbmMask);
        }
        ::DrawIconEx(memory, (width - size) / 2, (height - size) / 2, icon, size, size, 0, nullptr,
                     DI_NORMAL);
    }
    wchar_t title[261] = {};
    if (m_window)
        ::GetWindowTextW(m_window, title, 260);
    ::SetTextColor(memory, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
    ::SetBkMode(memory, TRANSPARENT);
    RECT text = {20, 20, width, height};
    ::DrawTextW(memory, title, -1, &text, DT_END_ELLIPSIS);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    return bitmap;
}

LRESULT CALLBACK CWndAltTabIcon::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CWndAltTabIcon*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<CWndAltTabIcon*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return ::DefWindowProcW(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CWndAltTabIcon::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = m_window;
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_ACTIVE)
            return 0;
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT client = {};
        ::GetClientRect(window, &client);
        HBITMAP bitmap = DrawPicture(client.right, client.bottom);
        if (bitmap && dc) {
            HDC memory = ::CreateCompatibleDC(dc);
            HGDIOBJ old = ::SelectObject(memory, bitmap);
            ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            ::SelectObject(memory, old);
            ::DeleteDC(memory);
        }
        KeepLastBitmap(bitmap);
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_SHOWWINDOW:
        if (wParam)
            ::SetWindowPos(window, nullptr, kPosition, kPosition, kSize, kSize,
                           SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
        return 0;
    case WM_ACTIVATEAPP:
        if (!wParam && m_keepAtBottom)
            PushToBottom();
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_big ? m_big : m_small);
    case WM_GETICON:
        if (wParam == ICON_BIG)
            return reinterpret_cast<LRESULT>(m_big ? m_big : m_small);
        return reinterpret_cast<LRESULT>(m_small ? m_small : m_big);
    case WM_WINDOWPOSCHANGED: {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        position->x = kPosition;
        position->y = kPosition;
        position->cx = kSize;
        position->cy = kSize;
        break;
    }
    case WM_NCDESTROY:
        if (State().hook)
            ::UnhookWinEvent(State().hook);
        State().hook = nullptr;
        if (State().proxy == this)
            State().proxy = nullptr;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN && m_owner)
            ::SendMessageW(m_owner, m_notifyMessage, 1, 0);
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            WriteLogLine(L"SC_CLOSE NO!!!");
            ::MessageBeep(0xFFFFFFFF);
            return 0;
        }
        if ((wParam & 0xFFF0) == SC_MONITORPOWER) {
            CString line;
            line.Format(L"SC_MONITORPOWER lParam=%d", static_cast<int>(lParam));
            WriteLogLine(line.GetString());
            ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_small));
            ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_big));
        }
        break;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
        CString line;
        line.Format(L"WOW: %s: CWndAltTabIcon::On_Wm_PrintClientwParam=%p",
                    message == WM_PRINT ? L"WM_PRINT" : L"WM_PRINTCLIENT", reinterpret_cast<void*>(wParam));
        WriteLogLine(line.GetString());
        RECT client = {};
        ::GetClientRect(window, &client);
        if (HBITMAP bitmap = DrawPicture(client.right, client.bottom))
            ::DeleteObject(bitmap);
        break;
    }
    case WM_DWMSENDICONICTHUMBNAIL: {
        WriteLogLine(L"Wow!!! Detected WM_DWMSENDICONICTHUMBNAIL");
        HBITMAP bitmap = DrawPicture(HIWORD(lParam), LOWORD(lParam));
        KeepLastBitmap(bitmap);
        CallDwmSetIconicThumbnail(window, bitmap, 1 /* DWM_SIT_DISPLAYFRAME */);
        break;
    }
    case WM_DWMSENDICONICLIVEPREVIEWBITMAP:
        WriteLogLine(L"Wow!!! Detected WM_DWMSENDICONICLIVEPREVIEWBITMAP");
        CallDwmSetIconicLivePreviewBitmap(window, m_lastBitmap);
        return 0;
    case kKeepAtBottomMessage:
        if (m_keepAtBottom)
            PushToBottom();
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK CWndAltTabIcon::WinEventProc(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD, DWORD)
{
    AltTabState& state = State();
    switch (event) {
    case EVENT_SYSTEM_SWITCHSTART:
        WriteLogLine(L"Switch Start");
        state.switchState = 1;
        if (state.proxy && state.proxy->m_window)
            ::SendMessageW(state.proxy->m_window, kKeepAtBottomMessage, 1, 0);
        state.switchEndTick = 0;
        return;
    case EVENT_SYSTEM_SWITCHEND:
        WriteLogLine(L"Switch End\n");
        state.switchEndTick = state.tick();
        state.switchState = state.switchState == 1 ? 2 : 0;
        return;
    case EVENT_OBJECT_FOCUS: {
        if (!state.proxy || window != state.proxy->m_window || state.switchState != 2)
            return;
        const DWORD elapsed = state.tick() - state.switchEndTick;
        state.switchState = 0;
        state.switchEndTick = 0;
        if (elapsed <= kSwitchToFocusMs && state.proxy->m_owner)
            ::SendMessageW(state.proxy->m_owner, state.proxy->m_notifyMessage, 0, 0);
        return;
    }
    default:
        return;
    }
}

CAltTabIconHolder::CAltTabIconHolder() : m_dwmApi(LoadDwmApi()) {}

CAltTabIconHolder::~CAltTabIconHolder()
{
    Hide();
    if (m_big)
        ::DestroyIcon(m_big);
    if (m_small)
        ::DestroyIcon(m_small);
}

bool CAltTabIconHolder::Show(HWND owner, UINT notifyMessage)
{
    if (IsShown())
        return true;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const UINT iconId = CAppObjects::GetAppIconId();
    if (!m_big)
        m_big = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 32, 32, 0));
    if (!m_small)
        m_small = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, 0));
    if (!m_proxy)
        m_proxy = new CWndAltTabIcon(owner, notifyMessage);
    if (!m_proxy->Create(owner, GetWindowTitleText(false), m_big, m_small, instance)) {
        delete m_proxy;
        m_proxy = nullptr;
        return false;
    }
    return true;
}

bool CAltTabIconHolder::Hide()
{
    if (!m_proxy)
        return false;
    const bool destroyed = m_proxy->Destroy();
    delete m_proxy;
    m_proxy = nullptr;
    return destroyed;
}

bool CAltTabIconHolder::IsShown() const
{
    return m_proxy && m_proxy->GetHandle() && ::IsWindow(m_proxy->GetHandle());
}

void CAltTabIconHolder::UpdateTitle()
{
    if (!IsShown())
        return;
    ::SetWindowTextW(m_proxy->GetHandle(), GetWindowTitleText(false).GetString());
    ::InvalidateRect(m_proxy->GetHandle(), nullptr, TRUE);
}
