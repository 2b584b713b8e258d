#include "editor/controls/CueTextPainter.h"

#include "common/LocalizedString.h"
#include "editor/controls/EditorDialogFonts.h"

void CCueTextPainter::SetFont(HFONT font)
{
    m_font = font;
    if (::IsWindow(HostWindow()))
        ::InvalidateRect(HostWindow(), nullptr, TRUE);
}

void CCueTextPainter::Paint(HDC dc)
{
    const HWND host = HostWindow();
    if (!::IsWindow(host))
        return;
    const CString text = GetText();
    if (text.IsEmpty())
        return;
    RECT client = {};
    ::GetClientRect(host, &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(GetBackgroundColorIndex()));
    const HGDIOBJ oldFont = m_font ? ::SelectObject(dc, m_font) : nullptr;
    const COLORREF oldColor = ::SetTextColor(dc, GetTextColor());
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text.GetString(), text.GetLength(), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColor);
    if (oldFont)
        ::SelectObject(dc, oldFont);
}

void CCueTextPainter::Refresh()
{
    if (::IsWindow(HostWindow()) && ShouldShow())
        ::InvalidateRect(HostWindow(), nullptr, TRUE);
}

CResourceCueTextPainter::CResourceCueTextPainter(const HWND* host, UINT textId)
    : CCueTextPainter(host), m_textId(textId)
{
    SetFont(GetEditorDialogFont());
}

CString CResourceCueTextPainter::GetText()
{
    return LoadLocalizedString(m_textId);
}

void CResourceCueTextPainter::SetTextId(UINT id)
{
    if (id == m_textId)
        return;
    m_textId = id;
    if (ShouldShow())
        Refresh();
}
