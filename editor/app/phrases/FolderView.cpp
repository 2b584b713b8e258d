#include "editor/app/phrases/FolderView.h"

#include "common/LocalizedString.h"
#include "editor/app/document/Doc.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/phrases/PhraseKindImages.h"
#include "editor/app/phrases/PhraseTreeCtrl.h"
#include "editor/controls/EditorLook.h"
#include "editor/controls/EditorSettings.h"

IMPLEMENT_DYNCREATE(CFolderView, CListView)

namespace
{

constexpr LPARAM kParentEntry = -1;

} // namespace

UINT CFolderView::GetSelectItemMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{71534116-A032-477b-A496-3C114DD9F35D}");
    return message;
}

BOOL CFolderView::PreCreateWindow(CREATESTRUCTW& cs)
{
    if (!CListView::PreCreateWindow(cs))
        return FALSE;
    cs.style |= LVS_REPORT | LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER;
    return TRUE;
}

CDoc* CFolderView::GetDoc() const
{
    return dynamic_cast<CDoc*>(m_pDocument);
}

void CFolderView::AddColumns()
{
    if (m_columnsAdded)
        return;
    m_columnsAdded = true;
    ::SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                   LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const struct
    {
        UINT id;
        const wchar_t* english;
        int format;
    } columns[] = {
        {61207, L"Phrases", LVCFMT_LEFT}, {170, L"Usage Count", LVCFMT_CENTER}, {198, L"Path", LVCFMT_LEFT}};
    int index = 0;
    for (const auto& c : columns) {
        CString text = LoadLocalizedTextOr(c.id, c.english);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        column.fmt = c.format;
        column.cx = 100;
        column.pszText = const_cast<LPWSTR>(text.GetString());
        ::SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&column));
    }
}

void CFolderView::OnInitialUpdate()
{
    // The list shares the phrase tree's images (LVS_SHAREIMAGELISTS: it never destroys them).
    if (HIMAGELIST images = GetPhraseKindImageList())
        ::SendMessageW(m_hWnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    if (HFONT font = GetMediumDialogFont())
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    AddColumns();
    CListView::OnInitialUpdate();
    Fill();
}

void CFolderView::OnUpdate(CView*, LPARAM hint, CObject* object)
{
    if (hint == kHintSelect || hint == kHintShowUnchecked || hint == kHintFolderReopened) {
        Fill();
        return;
    }
    if (hint != kHintChecksChanged || !object)
        return;
    const auto* changes = reinterpret_cast<const std::vector<CheckChange>*>(object);
    const bool wasFilling = m_filling;
    m_filling = true;
    for (const CheckChange& change : *changes) {
        LVFINDINFOW find = {};
        find.flags = LVFI_PARAM;
        find.lParam = change.id;
        const int index =
            static_cast<int>(::SendMessageW(m_hWnd, LVM_FINDITEMW, -1, reinterpret_cast<LPARAM>(&find)));
        if (index < 0)
            continue;
        LVITEMW item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(change.checked ? 2 : 1);
        ::SendMessageW(m_hWnd, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
        ::SendMessageW(m_hWnd, LVM_REDRAWITEMS, index, index);
    }
    m_filling = wasFilling;
}

void CFolderView::Fill()
{
    CDoc* doc = GetDoc();
    if (!m_hWnd || !doc)
        return;
    AddColumns();
    m_filling = true;
    ::SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0);
    m_parentId = -2;
    CEditorPhraseStore& store = doc->GetStore();
    const int current = static_cast<int>(doc->GetCurrentItem());
    PhraseItemRecord* folder = store.FindItemById(current);
    if (folder && folder->IsFolder()) {
        if (PhraseItemRecord* parent = store.FindParent(current)) {
            m_parentId = parent->id;
            InsertItem(*parent, L"...", true);
        } else {
            m_parentId = -1;
        }
        const bool showUnchecked = doc->GetSettings().ShowUncheckedPhrases != 0;
        for (PhraseItemRecord& child : *folder->children) {
            if (showUnchecked || CEditorPhraseStore::IsIncluded(child))
                InsertItem(child, nullptr, false);
        }
    }
    for (int column = 0; column < 3; ++column)
        ::SendMessageW(m_hWnd, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
    FitColumnsToHeaders();
    m_filling = false;
    ::InvalidateRect(m_hWnd, nullptr, TRUE); // the empty-list hint comes or goes
}

void CFolderView::FitColumnsToHeaders()
{
    HWND header = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, LVM_GETHEADER, 0, 0));
    if (!header)
        return;
    HDC dc = ::GetDC(header);
    const HGDIOBJ oldFont =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(header, WM_GETFONT, 0, 0)));
    const int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < count; ++column) {
        wchar_t text[128] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 127;
        ::SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
        const int wanted = size.cx + 24; // the header's margins on both sides
        const int width = static_cast<int>(::SendMessageW(m_hWnd, LVM_GETCOLUMNWIDTH, column, 0));
        if (width < wanted)
            ::SendMessageW(m_hWnd, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(wanted, 0));
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(header, dc);
}

void CFolderView::InsertItem(const PhraseItemRecord& record, const wchar_t* text, bool isParentEntry)
{
    const CString label = text ? CString(text) : PhraseTreeCtrl::ItemText(record);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = GetItemCount();
    item.pszText = const_cast<LPWSTR>(label.GetString());
    item.iImage = PhraseTreeCtrl::ImageOfRecord(record);
    item.lParam = isParentEntry ? kParentEntry : record.id;
    const int index =
        static_cast<int>(::SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        return;
    LVITEMW state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = isParentEntry ? 0 : INDEXTOSTATEIMAGEMASK(CEditorPhraseStore::IsIncluded(record) ? 2 : 1);
    ::SendMessageW(m_hWnd, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
    CString usage;
    usage.Format(L"%u", record.GetUsageCount());
    LVITEMW sub = {};
    sub.iSubItem = 1;
    sub.pszText = const_cast<LPWSTR>(usage.GetString());
    ::SendMessageW(m_hWnd, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
    sub.iSubItem = 2;
    sub.pszText = const_cast<LPWSTR>(record.GetPath().GetString());
    ::SendMessageW(m_hWnd, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
}

int CFolderView::GetItemCount() const
{
    return static_cast<int>(::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0));
}

int CFolderView::GetItemId(int index) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!::SendMessageW(m_hWnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return static_cast<int>(item.lParam);
}

LRESULT CFolderView::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    CDoc* doc = GetDoc();
    if (!doc) {
        bHandled = FALSE;
        return 0;
    }
    if (header->code == NM_CUSTOMDRAW)
        return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    if (header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (m_filling || !(change->uChanged & LVIF_STATE) ||
            ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) == 0 ||
            change->lParam == kParentEntry)
            return 0;
        const bool checked = ((change->uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
        std::vector<CheckChange> changes{{static_cast<int>(change->lParam), checked}};
        doc->UpdateViewsForItem(this, kHintChecksChanged, reinterpret_cast<CObject*>(&changes));
        return 0;
    }
    if (header->code == NM_DBLCLK) {
        const auto* activate = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        if (activate->iItem >= 0)
            PostOwnMessage(m_hWnd, GetSelectItemMessage(), activate->iItem, 0);
        return 0;
    }
    if (header->code == LVN_KEYDOWN) {
        const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
        if (key->wVKey == VK_TAB && ::SendMessageW(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
            doc->UpdateViewsForItem(this, kHintFocusTree, nullptr);
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

LRESULT CFolderView::OnSelectItem(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    CDoc* doc = GetDoc();
    const int index = static_cast<int>(wParam);
    if (!doc || index < 0 || index >= GetItemCount())
        return 0;
    const int id = GetItemId(index);
    const int target = id == static_cast<int>(kParentEntry) ? m_parentId : id;
    doc->UpdateViewsForItem(nullptr, kHintSelect, HintObjectFromId(target));
    return 1;
}

LRESULT CFolderView::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    ::PostMessageW(m_hWnd, LVM_ARRANGE, LVA_DEFAULT, 0);
    return 0;
}
