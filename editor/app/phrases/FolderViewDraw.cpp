// The folder view's own drawing: the item's state decides font and colour.

#include "editor/app/document/Doc.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/phrases/FolderView.h"
#include "editor/controls/EditorLook.h"
#include "editor/app/EditorServices.h"

namespace
{

// The strike-out copy of the list font for unchecked items, made once per process.
HFONT UncheckedItemFont(HFONT listFont)
{
    static HFONT font = CreateStrikeOutFont(listFont);
    return font;
}

} // namespace

CFolderView::~CFolderView()
{
    if (m_boldFont)
        ::DeleteObject(m_boldFont);
}

HFONT CFolderView::GetBoldFont()
{
    if (!m_boldFont) {
        FontDerivation bold;
        bold.weight = 1;
        m_boldFont = DeriveFont(reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)), bold);
    }
    return m_boldFont;
}

LRESULT CFolderView::OnCustomDraw(NMLVCUSTOMDRAW* draw)
{
    const DWORD stage = draw->nmcd.dwDrawStage;
    if (stage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    if (stage == CDDS_POSTPAINT) {
        DrawEmptyHint(draw->nmcd.hdc);
        return CDRF_DODEFAULT;
    }
    if (stage != CDDS_ITEMPREPAINT && stage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM))
        return CDRF_DODEFAULT;
    CDoc* doc = GetDoc();
    const auto id = static_cast<int>(draw->nmcd.lItemlParam);
    PhraseItemRecord* record = doc && id >= 0 ? doc->GetStore().FindItemById(id) : nullptr;
    const bool parentEntry = id < 0;
    const bool checked = parentEntry || (record && CEditorPhraseStore::IsIncluded(*record));
    HFONT listFont = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HFONT font = checked ? GetBoldFont() : UncheckedItemFont(listFont);
    COLORREF color = checked ? ::GetSysColor(COLOR_WINDOWTEXT) : GetGrayTextColor();
    if (!parentEntry && !record)
        color = RGB(255, 0, 0);
    if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM) && draw->iSubItem > 0) {
        font = GetNormalDialogFont();
        color = GetGrayTextColor();
    }
    if (font)
        ::SelectObject(draw->nmcd.hdc, font);
    draw->clrText = color;
    return CDRF_NEWFONT | (stage == CDDS_ITEMPREPAINT ? CDRF_NOTIFYSUBITEMDRAW : 0);
}

CString CFolderView::GetEmptyHint() const
{
    if (GetItemCount() > 0)
        return CString();
    return LoadLocalizedTextOr(kEmptyListHintId, L"Select a group or a phrase in the tree on the left");
}

void CFolderView::DrawEmptyHint(HDC dc)
{
    const CString hint = GetEmptyHint();
    if (hint.IsEmpty())
        return;
    RECT area = {};
    ::GetClientRect(m_hWnd, &area);
    HWND header = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, LVM_GETHEADER, 0, 0));
    RECT headerRect = {};
    if (header && ::IsWindowVisible(header) && ::GetWindowRect(header, &headerRect))
        area.top += headerRect.bottom - headerRect.top;
    area.top += 24;
    area.left += 8;
    area.right -= 8;
    const int savedDc = ::SaveDC(dc);
    ::SelectObject(dc, GetDialogFont());
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, hint.GetString(), hint.GetLength(), &area,
                DT_CENTER | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    ::RestoreDC(dc, savedDc);
}
