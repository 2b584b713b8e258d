#include "editor/controls/ColorLabel.h"

ColorLabel::ColorLabel()
    : m_textColor(::GetSysColor(COLOR_WINDOWTEXT)), m_backColor(::GetSysColor(COLOR_BTNFACE))
{}

ColorLabel::~ColorLabel()
{
    if (m_backBrush)
        ::DeleteObject(m_backBrush);
    if (m_labelFont && ::GetObjectType(m_labelFont) == OBJ_FONT)
        ::DeleteObject(m_labelFont);
}

bool ColorLabel::GetWndLogFont(HWND window, LOGFONTW& logFont)
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    return font && ::GetObjectW(font, sizeof(logFont), &logFont) != 0;
}

void ColorLabel::SetFontAndTextColor(const LOGFONTW& logFont, COLORREF color, bool redraw)
{
    HFONT font = ::CreateFontIndirectW(&logFont);
    if (font) {
        HFONT previous = m_labelFont;
        m_labelFont = font;
        if (m_hWnd)
            ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (previous)
            ::DeleteObject(previous);
    }
    m_textColor = color;
    if (redraw)
        Redraw();
}

void ColorLabel::SetLogFont(const LOGFONTW& logFont, bool redraw)
{
    SetFontAndTextColor(logFont, m_textColor, redraw);
}

void ColorLabel::SetBackColor(COLORREF color, bool redraw)
{
    m_backColor = color;
    if (m_backBrush)
        ::DeleteObject(m_backBrush);
    m_backBrush = nullptr;
    if (redraw)
        Redraw();
}

void ColorLabel::Redraw()
{
    if (!m_hWnd)
        return;
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HWND parent = ::GetParent(m_hWnd);
    if (!parent)
        return;
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    ::RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT ColorLabel::OnCtlColor(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    if (!m_backBrush)
        m_backBrush = ::CreateSolidBrush(m_backColor);
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    ::FillRect(dc, &client, m_backBrush);
    ::SetBkColor(dc, m_backColor);
    ::SetTextColor(dc, m_textColor);
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

LRESULT ColorLabel::OnOtherCtlColor(UINT, WPARAM, LPARAM, BOOL&)
{
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

LRESULT ColorLabel::OnSetText(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    Redraw();
    return result;
}
