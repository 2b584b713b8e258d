#include "common/HintEdit.h"

#include "common/GdiCache.h"
#include "common/GdiObjectGuards.h"

void CHintEdit::SetHintText(LPCWSTR text)
{
    const CString hint = text ? text : L"";
    if (hint == m_hint)
        return;
    m_hint = hint;
    if (::IsWindow(m_hWnd))
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CHintEdit::ShowsHint() const
{
    return ::IsWindow(m_hWnd) && !m_hint.IsEmpty() && ::GetWindowTextLengthW(m_hWnd) == 0 &&
           ::GetFocus() != m_hWnd;
}

LRESULT CHintEdit::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    if (ShowsHint())
        PaintHint();
    return result;
}

void CHintEdit::PaintHint()
{
    WindowDC dc(m_hWnd);
    if (!dc)
        return;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    const int saved = ::SaveDC(dc.get());
    ::SetTextColor(dc.get(), ::GetSysColor(COLOR_GRAYTEXT));
    ::SelectObject(dc.get(), ::GetSysColorBrush(COLOR_WINDOW));
    ::SetBkMode(dc.get(), TRANSPARENT);
    if (HFONT font = GetStatusFont())
        ::SelectObject(dc.get(), font);
    ::DrawTextW(dc.get(), m_hint.GetString(), m_hint.GetLength(), &client,
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    ::RestoreDC(dc.get(), saved);
}
