#include "menus/floatpane/SCVFloatPane.h"

#include "common/Settings.h"
#include "common/SharedLog.h"
#include "common/WindowHelpers.h"
#include "engine/CCHQueue.h"
#include "engine/PasteKeystrokes.h"
#include "menus/floatpane/FloatPaneRes.h"
#include "menus/floatpane/FloatPaneTexts.h"
#include "platform/CAppModule.h"
#include "platform/CMessageLoop.h"

#include <objbase.h>

namespace
{
constexpr BYTE kInactiveOpacity = 80;
constexpr int kToolBarHeight = 24;

void AddToThreadLoop(CMessageFilter* filter, CIdleHandler* idle, bool add)
{
    CMessageLoop* loop = _Module.GetMessageLoop();
    if (!loop)
        return;
    if (add) {
        loop->AddMessageFilter(filter);
        loop->AddIdleHandler(idle);
        return;
    }
    loop->RemoveMessageFilter(filter);
    loop->RemoveIdleHandler(idle);
}
} // namespace

CSCVFloatPane::CSCVFloatPane(IFloatPaneHost* host)
    : m_host(host), m_resizer(std::make_unique<CResizeNoBorderSubclasser>(this)),
      m_blinkReady(::CreateEventW(nullptr, FALSE, TRUE, nullptr)),
      m_slideRunning(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_toolBar(WM_PANE_COUNT)
{
    m_protectedIcon = static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PANE_PROTECTED), IMAGE_ICON, 16, 16, 0));
}

CSCVFloatPane::~CSCVFloatPane()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
    // The workers use the events: give a running slide or blink time to end.
    for (int i = 0; i < 300 && IsSlideRunning(); ++i)
        ::Sleep(10);
    ::WaitForSingleObject(m_blinkReady.Get(), 3000);
    m_iconCache.Destroy();
    if (m_protectedIcon)
        ::DestroyIcon(m_protectedIcon);
    if (m_captionFont)
        ::DeleteObject(m_captionFont);
    if (m_hintFont)
        ::DeleteObject(m_hintFont);
    if (m_comInitialised)
        ::CoUninitialize();
}

bool CSCVFloatPane::Create(IFloatPaneHistory* history, BOOL focusList, BOOL startBlink)
{
    if (m_hWnd)
        return true;
    // The tray hands the history over once (SetHistory); a null here keeps it.
    if (history)
        m_history = history;
    m_focusListOnCreate = focusList;
    const int screenWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    RECT rect = {screenWidth - kDefaultWidth, kDefaultTop, screenWidth, kDefaultBottom};
    POINT topLeft = {rect.left, rect.top};
    GetSettings().GetPoint(kPositionName, topLeft);
    ::OffsetRect(&rect, topLeft.x - rect.left, topLeft.y - rect.top);
    // A point stored under another monitor layout must not put the pane out of sight.
    FitRectOntoNearestMonitor(rect);
    const CString title = CString(L"Scrivolanter") + L" : Clipboard History";
    CWindowImpl::Create(nullptr, rect, title.GetString(), WS_POPUP | WS_CLIPCHILDREN,
                        WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    if (!m_hWnd)
        return false;
    SetWindowTopMost(m_hWnd, true);
    if (startBlink)
        StartAnimationThread(2);
    return true;
}

void CSCVFloatPane::SetHistory(IFloatPaneHistory* history)
{
    m_history = history;
    RebuildList();
}

LRESULT CSCVFloatPane::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    const UINT iconId = m_host && m_host->IsElevated() ? 249 : 128;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    HICON big =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 32, 32, LR_SHARED));
    HICON small =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, LR_SHARED));
    SendMessageW(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    if (m_toolBar.CreateBar(m_hWnd)) {
        m_toolBar.SetTrayWindow(m_host ? m_host->GetTrayWindow() : nullptr);
        ::ShowWindow(m_toolBar.m_hWnd, SW_SHOW);
    }
    if (!CreateList())
        return -1;
    SetWindowTopMost(m_hWnd, true);
    ::SetFocus(m_list.m_hWnd);
    if (m_focusListOnCreate)
        ::SetFocus(m_list.m_hWnd);
    m_accelTable.BuildDefault();
    AddToThreadLoop(this, this, true);
    m_resizer->Install(CResizeNoBorderSubclasser::ModeEdgeHitTest);
    ModifyStyle(WS_CAPTION, 0, SWP_FRAMECHANGED);
    PostMessageW(WM_NCACTIVATE, TRUE, 0);
    UpdateButtons();
    ShowWindow(SW_SHOW);

    m_captionTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                                     0, 0, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (m_captionTip) {
        ::SendMessageW(m_captionTip, TTM_ACTIVATE, TRUE, 0);
        ::SendMessageW(m_captionTip, TTM_SETMAXTIPWIDTH, 0, 500);
        const LRESULT autoPop = ::SendMessageW(m_captionTip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0);
        ::SendMessageW(m_captionTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(autoPop * 4, 0));
        ::SendMessageW(m_captionTip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(2000, 0));
        UpdateCaptionTip();
    }
    PostMessageW(WM_COMMAND, kPaneCmdMinimizeToCaption, 0);
    AddClipboardSpyListener(this);
    AddAppEventListener(this);
    PostMessageW(WM_PANE_FIRST_SHOW, 0, 0);
    return 0;
}

LRESULT CSCVFloatPane::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    RemoveClipboardSpyListener(this);
    RemoveAppEventListener(this);
    m_hoverTracker.Detach();
    AddToThreadLoop(this, this, false);
    ::KillTimer(m_hWnd, kTimerCopyToTarget);
    ::KillTimer(m_hWnd, kTimerPaste);
    ::KillTimer(m_hWnd, kTimerHoverCollapse);
    ::KillTimer(m_hWnd, kTimerReselect);
    if (m_balloon) {
        ::DestroyWindow(m_balloon);
        m_balloon = nullptr;
    }
    if (m_captionTip) {
        ::DestroyWindow(m_captionTip);
        m_captionTip = nullptr;
    }
    m_captionOnly = 0;
    m_history = nullptr;
    handled = FALSE;
    return 0;
}

LRESULT CSCVFloatPane::OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (wParam == SIZE_MINIMIZED)
        return 0;
    const int cx = LOWORD(lParam);
    const int cy = HIWORD(lParam);
    if (cy > GetCaptionHeight() && !m_changingCaption)
        m_captionOnly = 0;
    if (m_toolBar.m_hWnd)
        ::SetWindowPos(m_toolBar.m_hWnd, nullptr, 0, 0, cx, kToolBarHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    int toolBarBottom = 0;
    if (m_toolBar.m_hWnd) {
        RECT bar = {};
        ::GetWindowRect(m_toolBar.m_hWnd, &bar);
        toolBarBottom = bar.bottom - bar.top;
    }
    if (m_list.m_hWnd)
        ::SetWindowPos(m_list.m_hWnd, nullptr, 2, toolBarBottom, cx - 4, cy - toolBarBottom - 2,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    ColumnWidth();
    return 0;
}

LRESULT CSCVFloatPane::OnActivate(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    handled = FALSE;
    if (LOWORD(wParam) != WA_INACTIVE) {
        CLayeredWindowApi::ClearLayeredStyle(m_hWnd);
        if (m_list.m_hWnd)
            ::SetFocus(m_list.m_hWnd);
        return 0;
    }
    CLayeredWindowApi::SetLayeredStyle(m_hWnd);
    m_layered.SetOpacityPercent(m_hWnd, kInactiveOpacity);
    if (FillsWorkArea())
        RestoreFromWorkArea();
    if (!m_pinned && !m_captionOnly && !m_collapseSuppressed)
        SetCaptionOnly(1, 0);
    return 0;
}

LRESULT CSCVFloatPane::OnWindowPosChanging(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
    if (!(position->flags & SWP_NOSIZE) && position->cy > 0) {
        RECT window = {};
        GetWindowRect(&window);
        const bool resized =
            position->cx != window.right - window.left || position->cy != window.bottom - window.top;
        if (resized && position->cy > GetCaptionHeight() && !IsSlideRunning() && !m_changingCaption)
            m_captionOnly = 0;
        if (m_captionOnly)
            position->cy = GetCaptionHeight();
    }
    return result;
}

LRESULT CSCVFloatPane::OnWindowPosChanged(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (IsIconic() || !IsWindowVisible() || FillsWorkArea())
        return result;
    RECT window = {};
    if (!GetWindowRect(&window))
        return result;
    POINT topLeft = {window.left, window.top};
    GetSettings().SetPoint(kPositionName, topLeft);
    if (m_captionOnly && !IsSlideRunning()) {
        m_savedRect.x = window.left;
        m_savedRect.y = window.top;
    }
    return result;
}

LRESULT CSCVFloatPane::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    if (m_toolBar.m_hWnd) {
        RECT button = {};
        const int index =
            static_cast<int>(::SendMessageW(m_toolBar.m_hWnd, TB_COMMANDTOINDEX, kPaneCmdClose, 0));
        if (index >= 0 &&
            ::SendMessageW(m_toolBar.m_hWnd, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&button))) {
            ::MapWindowPoints(m_toolBar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
            POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (::PtInRect(&button, p))
                return HTCLOSE;
        }
    }
    handled = FALSE;
    return 0;
}

LRESULT CSCVFloatPane::OnNcLButtonDblClk(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != HTCAPTION) {
        handled = FALSE;
        return 0;
    }
    if (m_captionOnly) {
        SetCaptionOnly(0, 0);
        ShowAllItems(1, false);
    } else if (FillsWorkArea())
        RestoreFromWorkArea();
    else
        FillWorkArea();
    return 0;
}

LRESULT CSCVFloatPane::OnKeyUp(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam == VK_ESCAPE && FocusIsInsidePane() && !m_captionOnly)
        SetCaptionOnly(1, 1);
    return 0;
}

LRESULT CSCVFloatPane::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const UINT command = static_cast<UINT>(wParam & 0xFFF0) >= 0xF000 ? static_cast<UINT>(wParam & 0xFFF0)
                                                                      : static_cast<UINT>(wParam);
    switch (command) {
    case SC_MAXIMIZE:
        if (m_captionOnly) {
            SetCaptionOnly(0, 0);
            return 0;
        }
        FillWorkArea();
        handled = FALSE;
        return 0;
    case SC_MINIMIZE:
        if (!m_captionOnly) {
            SetCaptionOnly(1, 1);
            return 0;
        }
        break;
    case SC_RESTORE:
        if (m_captionOnly) {
            SetCaptionOnly(0, 0);
            return 0;
        }
        break;
    case SC_KEYMENU:
        if (::GetFocus() == m_list.m_hWnd) {
            ShowItemMenu(true);
            return 0;
        }
        break;
    case kPaneCmdEditPhrases:
    case kPaneCmdCheckUpdates:
    case kPaneCmdRunAsAdmin:
    case kPaneCmdReKeep: // the tray restarts the watcher the pane lists
    case kPaneCmdClose:
        if (m_host && m_host->GetTrayWindow())
            ::PostMessageW(m_host->GetTrayWindow(), WM_COMMAND, command, 0);
        return 0;
    case kPaneCmdClear:
        CommandClear();
        return 0;
    case kPaneCmdMinimizeToCaption:
        SetCaptionOnly(!m_captionOnly, 1);
        return 0;
    case kPaneCmdPin:
        SetPinned(!m_pinned);
        return 0;
    default:
        break;
    }
    handled = FALSE;
    return 0;
}

LRESULT CSCVFloatPane::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    switch (wParam) {
    case kTimerCopyToTarget: {
        ::KillTimer(m_hWnd, kTimerCopyToTarget);
        const int row = GetSelectionMark();
        if (row >= 0)
            CopyRowToTarget(row);
        return 0;
    }
    case kTimerPaste:
        ::KillTimer(m_hWnd, kTimerPaste);
        PasteAndMoveCaretLeft(0);
        if (m_host)
            m_host->PlayPaneSound(kPaneSoundKeyboard);
        if (!m_pinned)
            SetCaptionOnly(1, 0);
        return 0;
    case kTimerHoverCollapse: {
        if (m_pinned)
            return 0;
        POINT cursor = {};
        RECT window = {};
        ::GetCursorPos(&cursor);
        GetWindowRect(&window);
        if (!::PtInRect(&window, cursor) && SetCaptionOnly(1, 0))
            ::KillTimer(m_hWnd, kTimerHoverCollapse);
        return 0;
    }
    case kTimerReselect:
        ::KillTimer(m_hWnd, kTimerReselect);
        ReselectByKey();
        return 0;
    default:
        handled = FALSE;
        return 0;
    }
}

LRESULT CSCVFloatPane::OnBlinkStep(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    m_toolBar.SetHighlight(wParam != 0);
    UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
    if (!wParam && !lParam)
        flags |= SWP_NOZORDER;
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, flags);
    return 0;
}

LRESULT CSCVFloatPane::OnCountQuery(UINT, WPARAM, LPARAM, BOOL&)
{
    return GetRowCount();
}

LRESULT CSCVFloatPane::OnSelectRow(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (!m_list.m_hWnd)
        return 1;
    const int row = static_cast<int>(wParam);
    ListView_SetItemState(m_list.m_hWnd, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0) {
        ListView_SetSelectionMark(m_list.m_hWnd, row);
        ListView_SetItemState(m_list.m_hWnd, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(m_list.m_hWnd, row, FALSE);
        ::InvalidateRect(m_list.m_hWnd, nullptr, TRUE);
    }
    return 1;
}

LRESULT CSCVFloatPane::OnFirstShow(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!(m_startFlags & 1))
        return 0;
    m_startFlags &= ~1;
    if (GetSettings().GetPinnedFloatPaneOnStart() && !m_pinned)
        PostMessageW(WM_COMMAND, kPaneCmdPin, 0);
    return 0;
}

LRESULT CSCVFloatPane::OnCaptionTip(UINT, WPARAM, LPARAM, BOOL&)
{
    UpdateCaptionTip();
    return 0;
}

LRESULT CSCVFloatPane::OnShowList(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_list.m_hWnd)
        ::ShowWindow(m_list.m_hWnd, SW_SHOWNA);
    return 0;
}

LRESULT CSCVFloatPane::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->idFrom == static_cast<UINT_PTR>(kListId) && header->hwndFrom == m_list.m_hWnd)
        return OnListNotify(header);
    if (header->idFrom == static_cast<UINT_PTR>(CFloatPaneToolBar::kControlId))
        return OnToolBarNotify(header);
    handled = FALSE;
    return 0;
}

void CSCVFloatPane::SetPinned(bool pinned)
{
    m_pinned = pinned ? 1 : 0;
    m_toolBar.ShowPinned(pinned);
}

void CSCVFloatPane::SetFocusToList()
{
    if (m_list.m_hWnd)
        ::SetFocus(m_list.m_hWnd);
}

FloatPaneTextHolder& CSCVFloatPane::GetTextHolder()
{
    if (!m_textHolder)
        m_textHolder = std::make_unique<FloatPaneTextHolder>();
    return *m_textHolder;
}

BOOL CSCVFloatPane::PreTranslateMessage(MSG* message)
{
    if (!m_hWnd || message->message < WM_KEYDOWN || message->message > WM_KEYLAST)
        return FALSE;
    if (message->message != WM_KEYDOWN)
        return FALSE;
    if (message->hwnd != m_hWnd && !IsChild(message->hwnd))
        return FALSE;
    return m_accelTable.TranslateKeyDown(*message, m_hWnd) ? TRUE : FALSE;
}

BOOL CSCVFloatPane::OnIdle()
{
    if (m_hWnd)
        UpdateButtons();
    return FALSE;
}

void CSCVFloatPane::OnClipboardSpyState(int code, LPARAM value)
{
    if (code != 0)
        return;
    m_toolBar.SetWatching(value != 0);
    if (m_toolBar.m_hWnd)
        ::SendMessageW(m_toolBar.m_hWnd, TB_ENABLEBUTTON, kPaneCmdKeepHistory, TRUE);
}

void CSCVFloatPane::OnAppEvent(int code, LPARAM value)
{
    if (!m_hWnd)
        return;
    if (code == AppEventSettingsReloaded) {
        ::InvalidateRect(m_list.m_hWnd, nullptr, TRUE);
        ::InvalidateRect(m_toolBar.m_hWnd, nullptr, TRUE);
        UpdateCaptionTip();
        return;
    }
    if (code == AppEventSessionChange &&
        (value == WTS_CONSOLE_CONNECT || value == WTS_SESSION_LOGON || value == WTS_SESSION_UNLOCK))
        SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
