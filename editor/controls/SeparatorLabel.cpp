#include "editor/controls/SeparatorLabel.h"

#include "common/GdiObjectGuards.h"
#include "editor/controls/DcStateGuards.h"

#include <string>

namespace
{

// A bold copy of the window's font (the GUI font when it has none).
HFONT CreateBoldFontOf(HWND window)
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW logFont = {};
    if (!::GetObjectW(font, sizeof(logFont), &logFont))
        return nullptr;
    logFont.lfWeight = FW_BOLD;
    return ::CreateFontIndirectW(&logFont);
}

void EtchedLine(HDC dc, int left, int right, int middle)
{
    if (right <= left)
        return;
    RECT dark = {left, middle - 1, right, middle};
    RECT light = {left, middle, right, middle + 1};
    ::FillRect(dc, &dark, static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH)));
    ::FillRect(dc, &light, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}

} // namespace

void CSeparatorLabel::Paint(HDC dc)
{
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    BkModeGuard mode(dc, TRANSPARENT);
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring caption(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, caption.data(), length + 1);
    caption.resize(static_cast<size_t>(length));
    int lineLeft = 0;
    int middle = (client.bottom - client.top) / 2;
    if (!caption.empty()) {
        GdiObject<HFONT> bold(CreateBoldFontOf(m_hWnd));
        SelectedObject selected(dc, bold.get());
        TextColorGuard color(dc, ::GetSysColor(::IsWindowEnabled(m_hWnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        RECT text = client;
        ::DrawTextW(dc, caption.c_str(), length, &text, DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, caption.c_str(), length, &size);
        lineLeft = size.cx + size.cx / length;
        middle = size.cy / 2;
    }
    if (m_vertical) {
        RECT left = client;
        left.right = (client.left + client.right) / 2;
        RECT right = client;
        right.left = left.right;
        ::FillRect(dc, &left, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::FillRect(dc, &right, static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH)));
        return;
    }
    EtchedLine(dc, lineLeft, client.right, middle);
}

LRESULT CSeparatorLabel::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    PAINTSTRUCT paint = {};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    Paint(dc);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

void CSeparatorLabel::RedrawWithParent()
{
    HWND parent = ::GetParent(m_hWnd);
    if (!parent) {
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return;
    }
    RECT rect = {};
    ::GetWindowRect(m_hWnd, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    ::RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT CSeparatorLabel::OnEnable(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    RedrawWithParent();
    return result;
}

LRESULT CSeparatorLabel::OnSetText(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    LRESULT result = DefWindowProc(uMsg, wParam, lParam);
    RedrawWithParent();
    return result;
}
