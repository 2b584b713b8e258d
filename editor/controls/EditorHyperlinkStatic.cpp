#include "editor/controls/EditorHyperlinkStatic.h"
#include "common/OwnWindowMessages.h"

#include <shellapi.h>
#include "platform/WindowsX.h"
#undef SubclassWindow

#include <cwchar>

#include "common/SystemErrorText.h"
#include "editor/controls/LinkHandCursor.h"

namespace
{

constexpr UINT_PTR kHoverTimer = 20;
constexpr LPCWSTR kBrowserSettingsKey = L"Software\\Microsoft\\Internet Explorer\\Settings";

} // namespace

CString MakeMessageLink(int n)
{
    CString text;
    text.Format(L"message:%d", n);
    return text;
}

bool ParseAnchorColor(LPCWSTR text, COLORREF& color)
{
    if (!text)
        return false;
    int parts[3] = {};
    const wchar_t* p = text;
    for (int i = 0; i < 3; ++i) {
        wchar_t* end = nullptr;
        const long value = std::wcstol(p, &end, 10);
        if (end == p || value < 0 || value > 255)
            return false;
        parts[i] = static_cast<int>(value);
        while (*end == L' ')
            ++end;
        if (i < 2 && *end != L',')
            return false;
        p = i < 2 ? end + 1 : end;
    }
    color = RGB(parts[0], parts[1], parts[2]);
    return true;
}

bool ReadAnchorColor(LPCWSTR keyPath, LPCWSTR valueName, COLORREF& color)
{
    // The stored text need not be terminated: the last character of the
    // buffer is always overwritten with a terminator after the read.
    wchar_t buffer[24] = {};
    DWORD size = sizeof(buffer);
    DWORD type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    const LONG status =
        ::RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return false;
    const size_t length = size / sizeof(wchar_t);
    buffer[length < 24 ? length : 23] = L'\0';
    return ParseAnchorColor(buffer, color);
}

EditorHyperlinkStatic::EditorHyperlinkStatic(LPCWSTR link) : m_link(link)
{
    ReadAnchorColor(kBrowserSettingsKey, L"Anchor Color", m_linkColor);
    ReadAnchorColor(kBrowserSettingsKey, L"Anchor Color Visited", m_visitedColor);
}

EditorHyperlinkStatic::~EditorHyperlinkStatic()
{
    if (m_underlinedFont)
        ::DeleteObject(m_underlinedFont);
}

BOOL EditorHyperlinkStatic::Attach(HWND control)
{
    if (!SubclassWindow(control))
        return FALSE;
    const LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    if (!(style & SS_NOTIFY))
        ::SetWindowLongW(m_hWnd, GWL_STYLE, style | SS_NOTIFY);
    return TRUE;
}

CString EditorHyperlinkStatic::GetEffectiveLink() const
{
    if (!m_link.IsEmpty())
        return m_link;
    wchar_t text[1024] = {};
    ::GetWindowTextW(m_hWnd, text, 1024);
    return text;
}

CString EditorHyperlinkStatic::MakeOpenTarget(const CString& link)
{
    if (link.Find(L'@', 1) > 0)
        return L"mailto:" + link;
    return link;
}

HFONT EditorHyperlinkStatic::BaseFont() const
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
}

RECT EditorHyperlinkStatic::GetTextRect() const
{
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    wchar_t text[1024] = {};
    ::GetWindowTextW(m_hWnd, text, 1024);
    HDC dc = ::GetDC(m_hWnd);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    const LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE) & SS_TYPEMASK;
    int x = 0;
    if (style == SS_RIGHT)
        x = client.right - size.cx;
    else if (style == SS_CENTER)
        x = (client.right - size.cx) / 2;
    int y = (client.bottom - size.cy) / 2;
    if (y > 1)
        y -= 2;
    if (x < 0)
        x = 0;
    if (y < 0)
        y = 0;
    return RECT{x, y, x + size.cx, y + size.cy};
}

bool EditorHyperlinkStatic::CursorOverText() const
{
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(m_hWnd, &point);
    const RECT rect = GetTextRect();
    return ::PtInRect(&rect, point) != FALSE;
}

LRESULT EditorHyperlinkStatic::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    wchar_t text[1024] = {};
    ::GetWindowTextW(m_hWnd, text, 1024);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_visited ? m_visitedColor : m_linkColor);
    RECT rect = GetTextRect();
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    rect.right = client.right;
    ::DrawTextW(dc, text, -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);
    ::SelectObject(dc, old);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT EditorHyperlinkStatic::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &point);
    const RECT rect = GetTextRect();
    if (::PtInRect(&rect, point)) {
        handled = FALSE;
        return 0;
    }
    return HTTRANSPARENT;
}

LRESULT EditorHyperlinkStatic::OnSetCursor(UINT, WPARAM, LPARAM, BOOL& handled)
{
    if (!CursorOverText()) {
        handled = FALSE;
        return 0;
    }
    ::SetCursor(GetLinkHandCursor());
    ::SetTimer(m_hWnd, kHoverTimer, 100, nullptr);
    return TRUE;
}

LRESULT EditorHyperlinkStatic::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    if (wParam != kHoverTimer) {
        handled = FALSE;
        return 0;
    }
    const bool over = CursorOverText();
    if (over && !m_underline) {
        if (!m_underlinedFont) {
            LOGFONTW lf{};
            ::GetObjectW(BaseFont(), sizeof(lf), &lf);
            lf.lfUnderline = TRUE;
            lf.lfWeight = FW_NORMAL;
            m_underlinedFont = ::CreateFontIndirectW(&lf);
        }
        m_underline = true;
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_underlinedFont), TRUE);
    } else if (!over && m_underline) {
        m_underline = false;
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(BaseFont()), TRUE);
    }
    return 0;
}

LRESULT EditorHyperlinkStatic::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const RECT rect = GetTextRect();
    handled = FALSE;
    if (::PtInRect(&rect, point))
        Activate();
    return 0;
}

void EditorHyperlinkStatic::Activate()
{
    const CString link = GetEffectiveLink();
    if (link.Find(L"message:") == 0) {
        const UINT message = static_cast<UINT>(std::wcstoul(link.GetString() + 8, nullptr, 10));
        SendOwnMessage(::GetParent(m_hWnd), message, 0, 0);
        m_visited = true;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return;
    }
    const DWORD savedError = ::GetLastError();
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
    const CString target = MakeOpenTarget(link);
    const bool opened = m_opener ? m_opener(m_hWnd, target)
                                 : reinterpret_cast<INT_PTR>(::ShellExecuteW(m_hWnd, L"open", target, nullptr,
                                                                             nullptr, SW_SHOW)) > 32;
    const DWORD error = ::GetLastError();
    ::SetCursor(previous);
    if (opened) {
        m_visited = true;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    } else if (error != 0) {
        CString text;
        text.Format(L"Cannot open [%s]\r\n%s", link.GetString(), GetSystemErrorText(error).GetString());
        ::MessageBoxW(m_hWnd, text, nullptr, MB_ICONEXCLAMATION);
    }
    ::SetLastError(savedError);
}
