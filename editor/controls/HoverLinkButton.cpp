#include "editor/controls/HoverLinkButton.h"

#include <commctrl.h>
#include <uxtheme.h>
#include "platform/WindowsX.h"
#undef SubclassWindow

#include "editor/controls/HotkeyCtrlEx.h"
#include "editor/controls/LinkHandCursor.h"

namespace
{
constexpr COLORREF kLinkColor = RGB(0, 0, 255);
}

HoverLinkButton::~HoverLinkButton()
{
    if (m_tip && ::IsWindow(m_tip))
        ::DestroyWindow(m_tip);
    DropUnderlinedFont();
}

BOOL HoverLinkButton::Attach(HWND button)
{
    if (!SubclassWindow(button))
        return FALSE;
    CreateToolTip();
    return TRUE;
}

void HoverLinkButton::CreateToolTip()
{
    if (m_tip)
        return;
    using SetThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    if (HMODULE theme = ::GetModuleHandleW(L"uxtheme.dll"))
        if (auto set = reinterpret_cast<SetThemeFn>(::GetProcAddress(theme, "SetWindowTheme")))
            set(m_hWnd, L"", L"");
    m_tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, m_hWnd,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_tip)
        return;
    ::SendMessageW(m_tip, TTM_ACTIVATE, TRUE, 0);
    TTTOOLINFOW tool{sizeof(tool)};
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<LPWSTR>(L"");
    ::SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, client.right < 240 ? 240 : client.right);
}

RECT HoverLinkButton::GetCaptionRect() const
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    wchar_t text[512] = {};
    ::GetWindowTextW(m_hWnd, text, 512);
    RECT rect{};
    HDC dc = ::GetDC(m_hWnd);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    ::DrawTextW(dc, text, -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    if (old)
        ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    int width = rect.right - rect.left;
    if (width > client.right)
        width = client.right;
    const int height = rect.bottom - rect.top;
    const LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    RECT caption{0, (client.bottom - height) / 2, width, (client.bottom - height) / 2 + height};
    const bool right = (style & BS_CENTER) == BS_RIGHT;
    if ((style & BS_CENTER) == BS_CENTER) {
        const int offset = (client.right - width) / 2;
        ::OffsetRect(&caption, offset < 0 ? 0 : offset, 0);
    } else if (right)
        ::OffsetRect(&caption, client.right - width, 0);
    const int check = ::GetSystemMetrics(SM_CXMENUCHECK);
    if (style & BS_LEFTTEXT) {
        if (right)
            ::OffsetRect(&caption, -check, 0);
    } else if (!right && (style & BS_CENTER) != BS_CENTER)
        ::OffsetRect(&caption, check, 0);
    return caption;
}

void HoverLinkButton::RelayToTip(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_tip)
        return;
    if (!m_hover) {
        ::SendMessageW(m_tip, TTM_POP, 0, 0);
        return;
    }
    MSG msg{m_hWnd, message, wParam, lParam, ::GetMessageTime(), {}};
    ::SendMessageW(m_tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void HoverLinkButton::DropUnderlinedFont()
{
    if (m_underlinedFont)
        ::DeleteObject(m_underlinedFont);
    m_underlinedFont = nullptr;
}

void HoverLinkButton::ApplyFont(bool underlined)
{
    if (!m_normalFont)
        m_normalFont = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (underlined && !m_underlinedFont) {
        LOGFONTW lf{};
        ::GetObjectW(m_normalFont ? static_cast<HGDIOBJ>(m_normalFont) : ::GetStockObject(DEFAULT_GUI_FONT),
                     sizeof(lf), &lf);
        lf.lfUnderline = TRUE;
        m_underlinedFont = ::CreateFontIndirectW(&lf);
    }
    m_settingOwnFont = true;
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(underlined ? m_underlinedFont : m_normalFont),
                   TRUE);
    m_settingOwnFont = false;
}

LRESULT HoverLinkButton::OnMouseMove(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const RECT caption = GetCaptionRect();
    const bool hover = ::PtInRect(&caption, point) != FALSE;
    if (hover != m_hover) {
        m_hover = hover;
        if (!m_tracking) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
            m_tracking = ::TrackMouseEvent(&track) != FALSE;
        }
        ApplyFont(m_hover);
    }
    RelayToTip(WM_MOUSEMOVE, wParam, lParam);
    handled = FALSE;
    return 0;
}

LRESULT HoverLinkButton::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_tracking = false;
    if (m_hover) {
        m_hover = false;
        ApplyFont(false);
    }
    handled = FALSE;
    return 0;
}

LRESULT HoverLinkButton::OnLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const RECT caption = GetCaptionRect();
    m_hover = ::PtInRect(&caption, point) != FALSE;
    RelayToTip(WM_LBUTTONDOWN, wParam, lParam);
    if (!m_hover) {
        handled = FALSE;
        return 0;
    }
    ::ReleaseCapture();
    NMHDR header{m_hWnd, static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd)), kEditorNotifyChanged};
    ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    return 0;
}

LRESULT HoverLinkButton::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!m_hover) {
        handled = FALSE;
        return 0;
    }
    ::SetCursor(GetLinkHandCursor());
    return TRUE;
}

LRESULT HoverLinkButton::OnSetFont(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    if (m_settingOwnFont)
        return result;
    DropUnderlinedFont();
    m_normalFont = nullptr;
    ApplyFont(m_hover);
    return result;
}

LRESULT HoverLinkButton::OnCtlColor(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, kLinkColor);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}
