// The floating pane's caption-only mode, its slide and blink animations,
// filling the work area and fitting the height to the rows.

#include "menus/floatpane/SCVFloatPane.h"

#include "common/SharedLog.h"
#include "engine/CCHItem.h"

#include <new>

namespace
{
struct SlideParams
{
    int minWidth;
    HWND pane;
    BOOL gentle;
    HANDLE running;
};

struct BlinkParams
{
    HWND pane;
    HANDLE ready;
    IFloatPaneHost* host;
};

bool IsSignalled(HANDLE event)
{
    return event && ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}
} // namespace

bool CSCVFloatPane::IsSlideRunning() const
{
    return IsSignalled(m_slideRunning.Get());
}

int CSCVFloatPane::GetCaptionHeight() const
{
    int height = 0;
    if (m_toolBar.m_hWnd) {
        RECT bar = {};
        ::GetWindowRect(m_toolBar.m_hWnd, &bar);
        height = bar.bottom - bar.top;
    }
    if (m_hWnd && (GetStyle() & WS_THICKFRAME))
        height += 5 * ::GetSystemMetrics(SM_CYBORDER);
    return height;
}

int CSCVFloatPane::SetCaptionOnlyEx(int state, int gentle, BOOL focusList)
{
    state = state ? 1 : 0;
    if (state == m_captionOnly) {
        if (!state && focusList)
            SetFocusToList();
        return 0;
    }
    if (!state && m_captionTip)
        ::SendMessageW(m_captionTip, TTM_POP, 0, 0);
    m_captionOnly = state;
    m_changingCaption = true; // the frame changes below do not leave the new state
    if (state) {
        if (!(GetStyle() & WS_BORDER))
            ModifyStyle(0, WS_BORDER);
        RECT window = {};
        GetWindowRect(&window);
        m_savedRect = {window.right - window.left, window.bottom - window.top, window.left, window.top};
        SetWindowPos(nullptr, 0, 0, window.right - window.left, GetCaptionHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        m_resizer->Remove();
        StartSlide(gentle);
    } else {
        if (GetStyle() & WS_BORDER)
            ModifyStyle(WS_BORDER, 0);
        const int screenWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
        const int screenHeight = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
        if (m_savedRect.x + m_savedRect.cx > screenWidth && screenWidth - m_savedRect.cx >= 0)
            m_savedRect.x = screenWidth - m_savedRect.cx;
        if (m_savedRect.y + m_savedRect.cy > screenHeight && screenHeight - m_savedRect.cy >= 0)
            m_savedRect.y = screenHeight - m_savedRect.cy;
        SetWindowPos(nullptr, m_savedRect.x, m_savedRect.y, m_savedRect.cx, m_savedRect.cy,
                     SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);
        m_savedRect.cx = 0;
        m_savedRect.cy = 0;
        m_resizer->Install(CResizeNoBorderSubclasser::ModeEdgeHitTest);
    }
    m_changingCaption = false;
    UpdateButtons();
    if (!state && focusList)
        SetFocusToList();
    return 1;
}

void CSCVFloatPane::ShowAsCaption()
{
    if (!m_hWnd)
        return;
    SetCaptionOnly(1, 1);
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool CSCVFloatPane::StartSlide(int gentle)
{
    if (!m_hWnd || !IsWindowVisible()) {
        LogError(L"NO start animated mininize. Float pane is invisible");
        return false;
    }
    if (IsSlideRunning()) {
        LogError(L"NO start animated mininize. Already minimize");
        return false;
    }
    RECT window = {};
    GetWindowRect(&window);
    int minWidth = 0;
    RECT edit = {};
    const int index =
        static_cast<int>(::SendMessageW(m_toolBar.m_hWnd, TB_COMMANDTOINDEX, kPaneCmdEditPhrases, 0));
    if (index >= 0 &&
        ::SendMessageW(m_toolBar.m_hWnd, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&edit))) {
        ::MapWindowPoints(m_toolBar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&edit), 2);
        minWidth = window.right - edit.right + 5;
    }
    if (minWidth <= 0)
        minWidth = 22;
    ::SetEvent(m_slideRunning.Get());
    auto* params = new (std::nothrow) SlideParams{minWidth, m_hWnd, gentle, m_slideRunning.Get()};
    if (!params) {
        LogError(L"NO start animated mininize. Cannot new param");
        ::ResetEvent(m_slideRunning.Get());
        return false;
    }
    HANDLE thread = ::CreateThread(nullptr, 0, &CSCVFloatPane::SlideThread, params, 0, nullptr);
    if (!thread) {
        LogError(L"NO start animated mininize. Cannot create  CreateThread()");
        delete params;
        ::ResetEvent(m_slideRunning.Get());
        return false;
    }
    ::CloseHandle(thread);
    CString line;
    line.Format(L"Well. Started animated minimize: with cxMin=%d", minWidth);
    WriteLogLine(line.GetString());
    return true;
}

DWORD WINAPI CSCVFloatPane::SlideThread(LPVOID parameter)
{
    std::unique_ptr<SlideParams> params(static_cast<SlideParams*>(parameter));
    const int screenWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int step = 2;
    const DWORD delay = params->gentle ? 10 : 40;
    for (;;) {
        RECT window = {};
        if (!::GetWindowRect(params->pane, &window))
            break;
        if (window.right > screenWidth)
            ::OffsetRect(&window, screenWidth - window.right, 0);
        if (params->minWidth >= (window.right - window.left) - step)
            break;
        window.left += step;
        ::SetWindowPos(params->pane, nullptr, window.left, window.top, window.right - window.left,
                       window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
        step += params->gentle ? 2 : 6;
        ::Sleep(delay);
    }
    ::ResetEvent(params->running);
    return 0;
}

bool CSCVFloatPane::StartAnimationThread(int)
{
    if (!m_hWnd || !m_captionOnly)
        return false;
    if (::WaitForSingleObject(m_blinkReady.Get(), 0) != WAIT_OBJECT_0)
        return false;
    auto* params = new (std::nothrow) BlinkParams{m_hWnd, m_blinkReady.Get(), m_host};
    HANDLE thread =
        params ? ::CreateThread(nullptr, 0, &CSCVFloatPane::BlinkThread, params, 0, nullptr) : nullptr;
    if (!thread) {
        delete params;
        ::SetEvent(m_blinkReady.Get()); // a later blink may start
        return false;
    }
    ::CloseHandle(thread);
    return true;
}

DWORD WINAPI CSCVFloatPane::BlinkThread(LPVOID parameter)
{
    std::unique_ptr<BlinkParams> params(static_cast<BlinkParams*>(parameter));
    if (params->host)
        params->host->PlayPaneSound(kPaneSoundWherePane);
    for (int round = 0; round < 3 && ::IsWindow(params->pane); ++round) {
        const LPARAM last = round == 2 ? TRUE : FALSE;
        ::PostMessageW(params->pane, WM_PANE_BLINK, 1, last);
        ::Sleep(400);
        if (!::IsWindow(params->pane))
            break;
        ::PostMessageW(params->pane, WM_PANE_BLINK, 0, last);
        ::Sleep(150);
    }
    ::SetEvent(params->ready);
    return 0;
}

void CSCVFloatPane::HoverExpand()
{
    if (IsSlideRunning() || (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) || !m_captionOnly)
        return;
    POINT cursor = {};
    RECT window = {};
    ::GetCursorPos(&cursor);
    GetWindowRect(&window);
    if (!::PtInRect(&window, cursor))
        return;
    SetCaptionOnly(0, 0);
    if (HWND tip = ListView_GetToolTips(m_list.m_hWnd)) {
        ::SendMessageW(tip, TTM_POP, 0, 0);
        ::ShowWindow(tip, SW_HIDE);
    }
    if (HWND tip = reinterpret_cast<HWND>(::SendMessageW(m_toolBar.m_hWnd, TB_GETTOOLTIPS, 0, 0))) {
        ::SendMessageW(tip, TTM_POP, 0, 0);
        ::ShowWindow(tip, SW_HIDE);
    }
    ::SetTimer(m_hWnd, kTimerHoverCollapse, 3000, nullptr);
}

bool CSCVFloatPane::FillsWorkArea() const
{
    RECT work = {}, window = {};
    if (!m_hWnd || !::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) ||
        !::GetWindowRect(m_hWnd, &window))
        return false;
    return ::EqualRect(&work, &window) != FALSE;
}

void CSCVFloatPane::FillWorkArea()
{
    RECT work = {};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || ::IsRectEmpty(&work))
        return;
    RECT window = {};
    GetWindowRect(&window);
    m_workAreaSaved = {window.right - window.left, window.bottom - window.top, window.left, window.top};
    SetWindowPos(nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                 SWP_NOACTIVATE | SWP_NOZORDER);
}

void CSCVFloatPane::RestoreFromWorkArea()
{
    if (m_workAreaSaved.cx <= 0 || m_workAreaSaved.cy <= 0)
        return;
    SetWindowPos(nullptr, m_workAreaSaved.x, m_workAreaSaved.y, m_workAreaSaved.cx, m_workAreaSaved.cy,
                 SWP_NOACTIVATE | SWP_NOZORDER);
}

void CSCVFloatPane::ShowAllItems(int mode, bool pin)
{
    if (!m_list.m_hWnd)
        return;
    if (m_captionOnly)
        SetCaptionOnly(0, 1);
    // The list's client area for every row: measured on the rows themselves
    // (the approximate view rectangle when there are none).
    int viewHeight = HIWORD(ListView_ApproximateViewRect(m_list.m_hWnd, -1, -1, -1));
    const int rows = GetRowCount();
    RECT first = {};
    if (rows > 0 && ListView_GetItemRect(m_list.m_hWnd, 0, &first, LVIR_BOUNDS)) {
        const int rowHeight = first.bottom - first.top;
        viewHeight = first.top + ListView_GetTopIndex(m_list.m_hWnd) * rowHeight + rows * rowHeight;
    }
    RECT window = {};
    RECT client = {};
    RECT listWindow = {};
    RECT listClient = {};
    RECT bar = {};
    if (!GetWindowRect(&window) || !GetClientRect(&client) || !::GetWindowRect(m_list.m_hWnd, &listWindow) ||
        !::GetClientRect(m_list.m_hWnd, &listClient))
        return;
    if (m_toolBar.m_hWnd)
        ::GetWindowRect(m_toolBar.m_hWnd, &bar);
    const int paneFrame = (window.bottom - window.top) - (client.bottom - client.top);
    const int listFrame = (listWindow.bottom - listWindow.top) - (listClient.bottom - listClient.top);
    // The list lies under the toolbar with a margin of 2 pixels below (WM_SIZE).
    const int height = paneFrame + (bar.bottom - bar.top) + listFrame + viewHeight + 2;
    if (mode == 1 && height < window.bottom - window.top)
        return;
    SetWindowPos(nullptr, 0, 0, window.right - window.left, height,
                 SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
    if (pin && !m_pinned)
        SetPinned(true);
}

void CSCVFloatPane::UpdateButtons()
{
    if (!m_toolBar.m_hWnd)
        return;
    if (m_history) {
        m_toolBar.SetWatching(m_history->IsWatching());
        ::SendMessageW(m_toolBar.m_hWnd, TB_ENABLEBUTTON, kPaneCmdKeepHistory, TRUE);
    }
    const int mark = GetSelectionMark();
    const CCHItem* item = mark >= 0 ? ItemAt(mark) : nullptr;
    ::SendMessageW(m_toolBar.m_hWnd, TB_ENABLEBUTTON, kPaneCmdCopy,
                   MAKELPARAM(mark >= 0 && m_list.m_hWnd, 0));
    ::SendMessageW(m_toolBar.m_hWnd, TB_ENABLEBUTTON, kPaneCmdProtect, MAKELPARAM(mark >= 0, 0));
    ::SendMessageW(m_toolBar.m_hWnd, TB_CHECKBUTTON, kPaneCmdProtect,
                   MAKELPARAM(item && item->IsProtected(), 0));
    m_toolBar.ShowCaptionOnly(m_captionOnly != 0);
}
