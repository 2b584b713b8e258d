#include "editor/controls/HtmlToolTip.h"

#include <windowsx.h>

#include "common/GdiObjectGuards.h"
#include "common/SharedLog.h"
#include "common/html/DrawEffects.h"
#include "platform/docview/DocView.h"

#include <algorithm>
#include <cwchar>

namespace
{

const wchar_t kClassName[] = L"CHtmlToolTip";

bool IsEmptyRect(const RECT& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void RegisterToolTipClass()
{
    WNDCLASSW wc = {};
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoW(instance, kClassName, &wc))
        return;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassW(&wc))
        LogError(L"CHtmlToolTip: the window class could not be registered");
}

// A bitmap compatible with the screen, of the window's size.
HBITMAP CreateScreenBitmap(int width, int height)
{
    WindowDC screen;
    return ::CreateCompatibleBitmap(screen.get(), std::max(1, width), std::max(1, height));
}

} // namespace

void ToolTipClock::StartTimer(HWND window, UINT_PTR id, UINT milliseconds)
{
    ::SetTimer(window, id, milliseconds, nullptr);
}

void ToolTipClock::StopTimer(HWND window, UINT_PTR id)
{
    ::KillTimer(window, id);
}

POINT ToolTipClock::CursorPos()
{
    POINT point = {};
    ::GetCursorPos(&point);
    return point;
}

CHtmlToolTip::CHtmlToolTip() : m_renderer(std::make_unique<HtmlRenderer>()), m_sizes(BalloonSizes(true))
{
    m_defaults.direction = 16;
    COLORREF info = ::GetSysColor(COLOR_INFOBK);
    std::fill(std::begin(m_defaults.colors), std::end(m_defaults.colors), info);
    m_borderBrush = ::CreateSolidBrush(::GetSysColor(COLOR_INFOTEXT));
    RegisterToolTipClass();
}

CHtmlToolTip::~CHtmlToolTip()
{
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
    FreeTipObjects();
    m_tools.clear();
    if (m_borderBrush)
        ::DeleteObject(m_borderBrush);
}

BOOL CHtmlToolTip::Create(HWND host, BOOL balloon)
{
    m_parent = host;
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, nullptr, WS_POPUP, 0, 0, 0,
                                    0, host, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return FALSE;
    if (!SubclassWindow(window)) {
        ::DestroyWindow(window);
        return FALSE;
    }
    SetBalloonShape(balloon != FALSE);
    m_renderer->SetNotify(m_hWnd, kHoverMessage, 0);
    SetDelayTime(6, 100);
    return TRUE;
}

BOOL CHtmlToolTip::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HideNow();
    SetDelayTime(6, 0);
    HWND window = m_hWnd;
    UnsubclassWindow(TRUE);
    return ::DestroyWindow(window);
}

void CHtmlToolTip::AddTool(HWND window, const std::wstring& text, const RECT* rect)
{
    ToolTipInfo info;
    if (rect)
        info.rect = *rect;
    info.text = text;
    std::vector<ToolTipInfo>& list = m_tools[window];
    for (ToolTipInfo& existing : list) {
        if (SameRect(existing.rect, info.rect)) {
            existing = info;
            return;
        }
    }
    list.push_back(info);
}

void CHtmlToolTip::RemoveAllTools()
{
    m_tools.clear();
}

void CHtmlToolTip::SetDelayTime(int kind, UINT milliseconds)
{
    switch (kind) {
    case 2:
        m_autoPop = milliseconds;
        break;
    case 3:
        m_initial = milliseconds;
        break;
    case 4:
        m_fadeInStep = milliseconds;
        break;
    case 5:
        m_fadeOutStep = milliseconds;
        break;
    case 6:
        if (!m_hWnd)
            return;
        m_clock->StopTimer(m_hWnd, kTimerCheck);
        if (milliseconds != 0)
            m_clock->StartTimer(m_hWnd, kTimerCheck, milliseconds);
        break;
    default:
        break;
    }
}

void CHtmlToolTip::SetColors(COLORREF begin, COLORREF middle, COLORREF end)
{
    m_defaults.colors[0] = begin;
    m_defaults.colors[1] = middle;
    m_defaults.colors[2] = end;
}

void CHtmlToolTip::SetEffect(int effect, BYTE granularity)
{
    m_defaults.effect = effect;
    m_defaults.granularity = granularity;
}

void CHtmlToolTip::SetBorder(COLORREF color, int width, int height)
{
    if (m_borderBrush)
        ::DeleteObject(m_borderBrush);
    m_borderBrush = ::CreateSolidBrush(color);
    m_borderSize = SIZE{width, height};
}

void CHtmlToolTip::SetShadow(int offsetX, int offsetY, int darkness, bool blur, int blurWidth, int blurHeight)
{
    m_shadowOffset = POINT{std::max(0, offsetX), std::max(0, offsetY)};
    m_shadowDarkness = std::clamp(darkness, 0, 100);
    m_shadowBlur = blur;
    m_shadowBlurSize = SIZE{blurWidth, blurHeight};
}

void CHtmlToolTip::SetSize(int index, int value)
{
    if (index < 0 || index >= kTipSizeCount)
        return;
    m_sizes[static_cast<size_t>(index)] = value;
}

void CHtmlToolTip::SetFadeEnabled(bool fadeIn, bool fadeOut)
{
    m_fadeIn = fadeIn;
    m_fadeOut = fadeOut;
}

bool CHtmlToolTip::IsOverTip(POINT screenPoint) const
{
    return m_hWnd && ::IsWindowVisible(m_hWnd) && ::WindowFromPoint(screenPoint) == m_hWnd;
}

BOOL CHtmlToolTip::RelayEvent(const MSG* message)
{
    if (!m_hWnd || !message)
        return FALSE;
    switch (message->message) {
    case WM_MOUSEMOVE: {
        OnMouseMove(message->pt);
        return FALSE;
    }
    case WM_LBUTTONDOWN:
        if (IsOverTip(message->pt)) {
            POINT client = message->pt;
            ::ScreenToClient(m_hWnd, &client);
            m_renderer->ClickAt(client);
        }
        HideNow();
        return FALSE;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
        HideNow();
        return FALSE;
    default:
        return FALSE;
    }
}

void CHtmlToolTip::OnMouseMove(POINT cursor)
{
    if (m_current.mode == 1 || m_next.mode == 1)
        return;
    if (cursor.x == m_point.x && cursor.y == m_point.y)
        return;
    m_point = cursor;
    UINT behaviour = m_current.info.behaviour;
    if (IsOverTip(cursor) && !(behaviour & kTipTrack)) {
        if (behaviour & kTipKeepOverTip)
            RestartAutoPop(behaviour);
        else
            HideTip();
        return;
    }
    Tool found;
    if (!FindTool(cursor, found)) {
        ForgetCurrent();
        m_clock->StopTimer(m_hWnd, kTimerShow);
        HideTip();
        return;
    }
    if (found.window == m_current.window && SameRect(found.info.rect, m_current.info.rect)) {
        if (behaviour & kTipTrack) {
            RestartAutoPop(behaviour);
            RECT window = {};
            ::GetWindowRect(m_hWnd, &window);
            ::SetWindowPos(m_hWnd, nullptr, cursor.x, cursor.y, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else if (behaviour & kTipStay) {
            RestartAutoPop(behaviour);
        } else if (!(behaviour & kTipMultipleShow)) {
            HideTip();
        } else {
            Schedule(found.window, found.info, true, 0);
        }
        return;
    }
    Schedule(found.window, found.info, true, 0);
}

bool CHtmlToolTip::FindTool(POINT screenPoint, Tool& found)
{
    HWND under = ::WindowFromPoint(screenPoint);
    if (!under || !::GetParent(under))
        return false;
    HWND parent = ::GetParent(under);
    wchar_t className[10] = {};
    ::GetClassNameW(parent, className, 10);
    HWND candidate = nullptr;
    if (_wcsicmp(className, L"combobox") == 0 && (::GetWindowLongW(parent, GWL_STYLE) & 0xF) == 2) {
        candidate = parent;
    } else {
        POINT inUnder = screenPoint;
        ::ScreenToClient(under, &inUnder);
        candidate = ::ChildWindowFromPoint(under, inUnder);
        if (!candidate || !::IsWindowEnabled(candidate))
            return false;
    }
    auto entry = m_tools.find(candidate);
    if (entry == m_tools.end() || entry->second.empty())
        return false;
    const std::vector<ToolTipInfo>& list = entry->second;
    if (list.size() == 1 && IsEmptyRect(list[0].rect)) {
        found = Tool{candidate, list[0], 0};
        return true;
    }
    POINT client = screenPoint;
    ::ScreenToClient(candidate, &client);
    // The tools of a scrolled view are placed in its content.
    if (CWnd* view = CWnd::FromHandlePermanent(candidate); view && view->IsKindOf(RUNTIME_CLASS(CScrollView))) {
        const POINT scrolled = static_cast<CScrollView*>(view)->GetDeviceScrollPosition();
        client.x += scrolled.x;
        client.y += scrolled.y;
    }
    for (const ToolTipInfo& info : list) {
        if (::PtInRect(&info.rect, client)) {
            found = Tool{candidate, info, 0};
            return true;
        }
    }
    return false;
}

void CHtmlToolTip::ShowTipAt(POINT screenPoint, const std::wstring& text, HICON icon)
{
    ToolTipInfo info;
    if (icon) {
        wchar_t handle[32] = {};
        swprintf(handle, 32, L"0x%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(icon)));
        info.text = L"<table><tr><td><icon handle=" + std::wstring(handle) + L"></td><td>" + text +
                    L"</td></tr></table>";
    } else {
        info.text = text;
    }
    info.mask = kTipMaskBehaviour;
    info.behaviour = m_defaults.behaviour | kTipNoAutoPop;
    m_point = screenPoint;
    Schedule(nullptr, info, false, 1);
}

void CHtmlToolTip::Schedule(HWND window, const ToolTipInfo& info, bool useDelay, int mode)
{
    m_pending = false;
    if (m_state == 1 || m_state == 2)
        HideTip();
    m_next = Tool{window, info, mode};
    if (m_state != 0) {
        m_pending = true;
        m_pendingWithDelay = useDelay && m_initial != 0;
        return;
    }
    if (useDelay && m_initial != 0 && m_hWnd) {
        m_clock->StartTimer(m_hWnd, kTimerShow, m_initial);
        return;
    }
    ShowStep();
}

void CHtmlToolTip::HideTip()
{
    if (m_state == 1)
        m_clock->StopTimer(m_hWnd, kTimerFadeIn);
    if (m_state == 1 || m_state == 2)
        HideStep();
}

void CHtmlToolTip::HideNow()
{
    m_state = 0;
    m_current.mode = 0;
    m_next.mode = 0;
    m_pending = false;
    if (!m_hWnd)
        return;
    for (UINT_PTR id : {kTimerShow, kTimerHide, kTimerFadeIn, kTimerFadeOut})
        m_clock->StopTimer(m_hWnd, id);
    if (::IsWindowVisible(m_hWnd)) {
        if (m_current.info.behaviour & kTipMultipleShow)
            ForgetCurrent();
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

void CHtmlToolTip::ForgetCurrent()
{
    m_current.window = nullptr;
    m_current.info.rect = RECT{};
}

void CHtmlToolTip::RestartAutoPop(UINT behaviour)
{
    m_clock->StopTimer(m_hWnd, kTimerHide);
    if (m_autoPop != 0 && !(behaviour & kTipNoAutoPop))
        m_clock->StartTimer(m_hWnd, kTimerHide, m_autoPop);
}

void CHtmlToolTip::OnTimerStep(UINT_PTR id)
{
    switch (id) {
    case kTimerShow:
        ShowStep();
        break;
    case kTimerHide:
        HideStep();
        break;
    case kTimerFadeIn:
        FadeInStep();
        break;
    case kTimerFadeOut:
        FadeOutStep();
        break;
    case kTimerCheck:
        CheckStep();
        break;
    default:
        break;
    }
}

void CHtmlToolTip::ShowStep()
{
    if (!m_hWnd)
        return;
    m_clock->StopTimer(m_hWnd, kTimerShow);
    POINT point = m_next.mode >= 1 ? m_point : m_clock->CursorPos();
    if (point.x != m_point.x || point.y != m_point.y) {
        HideTip();
        return;
    }
    if (m_state != 0)
        return;
    m_state = 1;
    m_current = m_next;
    m_current.info = WithDefaults(m_next.info);
    bool shown = LayoutTip();
    if (shown && m_fadeIn && m_fadeInStep != 0) {
        m_clock->StartTimer(m_hWnd, kTimerFadeIn, m_fadeInStep);
        return;
    }
    m_state = 2;
    m_transparency = m_current.info.transparency;
    if (m_autoPop != 0 && !(m_current.info.behaviour & kTipNoAutoPop))
        m_clock->StartTimer(m_hWnd, kTimerHide, m_autoPop);
}

void CHtmlToolTip::HideStep()
{
    for (UINT_PTR id : {kTimerShow, kTimerFadeIn, kTimerHide})
        m_clock->StopTimer(m_hWnd, id);
    if (m_state == 3)
        return;
    m_state = 3;
    if (m_fadeOut && m_fadeOutStep != 0) {
        m_clock->StartTimer(m_hWnd, kTimerFadeOut, m_fadeOutStep);
        return;
    }
    m_transparency = 100;
    FadeOutStep();
}

void CHtmlToolTip::FadeInStep()
{
    int target = std::min<int>(m_current.info.transparency, 100);
    m_transparency = std::max(0, m_transparency - 20);
    if (m_transparency <= target) {
        m_transparency = target;
        m_clock->StopTimer(m_hWnd, kTimerFadeIn);
        m_state = 2;
        RestartAutoPop(m_current.info.behaviour);
    }
    if (::IsWindowVisible(m_hWnd))
        DrawTip(nullptr, m_transparency);
}

void CHtmlToolTip::FadeOutStep()
{
    m_transparency = m_transparency >= 80 ? 100 : m_transparency + 20;
    if (m_transparency < 100) {
        if (::IsWindowVisible(m_hWnd))
            DrawTip(nullptr, m_transparency);
        return;
    }
    m_clock->StopTimer(m_hWnd, kTimerFadeOut);
    if (m_current.info.behaviour & kTipMultipleShow)
        ForgetCurrent();
    ::ShowWindow(m_hWnd, SW_HIDE);
    m_state = 0;
    if (!m_pending) {
        m_current.mode = 0;
        m_next.mode = 0;
        return;
    }
    m_pending = false;
    if (m_pendingWithDelay)
        m_clock->StartTimer(m_hWnd, kTimerShow, m_initial);
    else
        ShowStep();
}

void CHtmlToolTip::CheckStep()
{
    if (!::IsWindowVisible(m_hWnd) || m_state != 2)
        return;
    if (m_renderer->AdvanceAnimations())
        DrawTip(nullptr, m_transparency);
}

ToolTipInfo CHtmlToolTip::WithDefaults(const ToolTipInfo& info) const
{
    ToolTipInfo result = info;
    if (!(info.mask & kTipMaskStyles))
        result.styles = m_defaults.styles;
    if (!(info.mask & kTipMaskEffect)) {
        result.effect = m_defaults.effect;
        result.granularity = m_defaults.granularity;
    }
    if (!(info.mask & kTipMaskColors))
        std::copy(std::begin(m_defaults.colors), std::end(m_defaults.colors), result.colors);
    if (!(info.mask & kTipMaskDirection))
        result.direction = m_defaults.direction;
    if (!(info.mask & kTipMaskBehaviour))
        result.behaviour = m_defaults.behaviour;
    if (!(info.mask & kTipMaskTransparency))
        result.transparency = m_defaults.transparency;
    result.transparency = std::min<BYTE>(result.transparency, 100);
    return result;
}

void CHtmlToolTip::FreeTipObjects()
{
    if (m_region)
        ::DeleteObject(m_region);
    if (m_background)
        ::DeleteObject(m_background);
    if (m_backdrop)
        ::DeleteObject(m_backdrop);
    m_region = nullptr;
    m_background = nullptr;
    m_backdrop = nullptr;
}

bool CHtmlToolTip::LayoutTip()
{
    const ToolTipInfo& info = m_current.info;
    if (info.text.empty())
        return false;
    SIZE text = {};
    {
        // A long tip wraps at half the screen's width rather than running across it.
        m_renderer->maxWidth = std::max(1, ::GetSystemMetrics(SM_CXSCREEN) / 2);
        WindowDC dc(m_hWnd);
        text = m_renderer->Measure(dc.get(), info.text);
    }
    int marginX = m_sizes[kTipMarginX];
    int marginY = m_sizes[kTipMarginY];
    m_textRect = RECT{marginX, marginY, marginX + text.cx, marginY + text.cy};
    SIZE body = {text.cx + 2 * marginX, text.cy + 2 * marginY};
    RECT screen = {::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    m_placement = PlaceToolTip(info.direction, m_point, body, m_sizes, screen);
    ::OffsetRect(&m_textRect, m_placement.body.left, m_placement.body.top);
    FreeTipObjects();
    m_region = CreateToolTipRegion(m_placement, m_sizes);
    SIZE window = m_placement.window;
    m_background = CreateScreenBitmap(window.cx, window.cy);
    if (m_background) {
        WindowDC screenDc;
        MemoryDC dc(screenDc.get());
        SelectedObject selected(dc.get(), m_background);
        const RECT& b = m_placement.body;
        DrawEffects::Fill(dc.get(), info.effect, b, info.colors[0], info.colors[1], info.colors[2],
                          info.granularity, 5);
        int group = m_placement.direction & 0x30;
        if (group == 0)
            DrawEffects::Tile(dc.get(), 0, 0, window.cx, b.top, dc.get(), 0, b.top + 1, window.cx, 1);
        else if (group == 16)
            DrawEffects::Tile(dc.get(), 0, b.bottom, window.cx, window.cy - b.bottom, dc.get(), 0,
                              b.bottom - 2, window.cx, 1);
        else if (group == 32)
            DrawEffects::Tile(dc.get(), 0, 0, b.left, window.cy, dc.get(), b.left + 1, 0, 1, window.cy);
        else
            DrawEffects::Tile(dc.get(), b.right, 0, window.cx - b.right, window.cy, dc.get(), b.right - 2, 0,
                              1, window.cy);
    }
    m_transparency = (m_fadeIn && m_fadeInStep != 0) ? 100 : info.transparency;
    if (m_region) {
        HRGN windowRegion = ::CreateRectRgn(0, 0, 0, 0);
        HRGN shifted = ::CreateRectRgn(0, 0, 0, 0);
        ::CombineRgn(shifted, m_region, nullptr, RGN_COPY);
        ::OffsetRgn(shifted, m_shadowOffset.x, m_shadowOffset.y);
        ::CombineRgn(windowRegion, m_region, shifted, RGN_OR);
        ::DeleteObject(shifted);
        ::SetWindowRgn(m_hWnd, windowRegion, FALSE); // the window owns it now
    }
    UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW | (m_current.mode == 2 ? SWP_NOZORDER : 0);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, m_point.x - m_placement.anchor.x, m_point.y - m_placement.anchor.y,
                   window.cx + m_shadowOffset.x, window.cy + m_shadowOffset.y, flags);
    return true;
}

void CHtmlToolTip::DrawBorder(HDC dc, HRGN region)
{
    if (m_borderBrush && m_borderSize.cx > 0 && m_borderSize.cy > 0)
        ::FrameRgn(dc, region, m_borderBrush, m_borderSize.cx, m_borderSize.cy);
}

void CHtmlToolTip::DrawTip(HDC target, int transparency)
{
    if (!m_hWnd || !m_background || !m_region)
        return;
    int t = std::clamp(transparency, 0, 100);
    WindowDC windowDc(m_hWnd);
    HDC dc = target ? target : windowDc.get();
    int width = m_placement.window.cx + m_shadowOffset.x;
    int height = m_placement.window.cy + m_shadowOffset.y;
    MemoryDC contentDc(dc);
    GdiObject<HBITMAP> content(::CreateCompatibleBitmap(dc, width, height));
    if (!contentDc || !content)
        return;
    SelectedObject contentSelected(contentDc.get(), content.get());
    {
        MemoryDC source(dc);
        SelectedObject selected(source.get(), m_background);
        ::BitBlt(contentDc.get(), 0, 0, m_placement.window.cx, m_placement.window.cy, source.get(), 0, 0,
                 SRCCOPY);
    }
    m_renderer->Draw(contentDc.get(), m_textRect);
    DrawBorder(contentDc.get(), m_region);
    if (!m_backdrop) {
        m_backdrop = ::CreateCompatibleBitmap(dc, width, height);
        MemoryDC backdropDc(dc);
        SelectedObject selected(backdropDc.get(), m_backdrop);
        ::BitBlt(backdropDc.get(), 0, 0, width, height, windowDc.get(), 0, 0, SRCCOPY);
    }
    MemoryDC resultDc(dc);
    GdiObject<HBITMAP> result(::CreateCompatibleBitmap(dc, width, height));
    SelectedObject resultSelected(resultDc.get(), result.get());
    {
        MemoryDC backdropDc(dc);
        SelectedObject selected(backdropDc.get(), m_backdrop);
        ::BitBlt(resultDc.get(), 0, 0, width, height, backdropDc.get(), 0, 0, SRCCOPY);
    }
    if (m_shadowOffset.x != 0 || m_shadowOffset.y != 0) {
        int d = ::MulDiv(255, 100 - m_shadowDarkness, 100);
        int g = d + (255 - d) * t / 100;
        int maskWidth = width - m_shadowOffset.x;
        int maskHeight = height - m_shadowOffset.y;
        GdiObject<HBITMAP> mask(::CreateCompatibleBitmap(dc, maskWidth, maskHeight));
        {
            MemoryDC maskDc(dc);
            SelectedObject selected(maskDc.get(), mask.get());
            RECT all = {0, 0, maskWidth, maskHeight};
            ::FillRect(maskDc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            GdiObject<HBRUSH> grey(::CreateSolidBrush(RGB(g, g, g)));
            ::FillRgn(maskDc.get(), m_region, grey.get());
        }
        DrawEffects::DrawShadow(resultDc.get(), m_shadowOffset.x, m_shadowOffset.y, maskWidth, maskHeight,
                                mask.get(), m_shadowBlur, m_shadowBlurSize.cx, m_shadowBlurSize.cy);
    }
    ::SelectClipRgn(resultDc.get(), m_region);
    DrawEffects::BlendOpacity(resultDc.get(), 0, 0, m_placement.window.cx, m_placement.window.cy,
                              contentDc.get(), 0, 0, 100 - t);
    ::SelectClipRgn(resultDc.get(), nullptr);
    ::BitBlt(dc, 0, 0, width, height, resultDc.get(), 0, 0, SRCCOPY);
}

LRESULT CHtmlToolTip::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT paint = {};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    m_next = m_current;
    DrawTip(dc, m_transparency);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT CHtmlToolTip::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    OnTimerStep(static_cast<UINT_PTR>(wParam));
    return 0;
}

LRESULT CHtmlToolTip::OnSetCursor(UINT, WPARAM, LPARAM, BOOL&)
{
    POINT cursor = m_clock->CursorPos();
    ::ScreenToClient(m_hWnd, &cursor);
    if (!m_renderer->SetCursorAt(cursor))
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    return 1;
}

LRESULT CHtmlToolTip::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    // A tip already hidden by a relayed copy of this click opens nothing a second time.
    if (::IsWindowVisible(m_hWnd))
        m_renderer->ClickAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    HideNow();
    return 0;
}

LRESULT CHtmlToolTip::OnActivateApp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    if (!wParam)
        HideNow();
    return result;
}

LRESULT CHtmlToolTip::OnHoverChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    DrawTip(nullptr, 0);
    return 0;
}
