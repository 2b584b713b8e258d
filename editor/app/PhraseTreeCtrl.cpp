#include "editor/app/PhraseTreeCtrl.h"

#include "editor/app/EditorPhraseStore.h"

#include "platform/WindowsX.h"

#include <vector>

namespace
{

struct SortContext
{
    CEditorPhraseStore* store;
};

int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM user)
{
    auto* context = reinterpret_cast<SortContext*>(user);
    PhraseItemRecord* a = context->store->FindItemById(static_cast<int>(first));
    PhraseItemRecord* b = context->store->FindItemById(static_cast<int>(second));
    if (!a || !b)
        return 0;
    if (a->IsFolder() != b->IsFolder())
        return a->IsFolder() ? 1 : -1;
    const unsigned sa = static_cast<unsigned>(a->sortId);
    const unsigned sb = static_cast<unsigned>(b->sortId);
    return sa < sb ? -1 : sa > sb ? 1 : 0;
}

} // namespace

UINT PhraseTreeCtrl::GetCheckMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{D4496398-1D3E-42b5-AD7E-DD07DA1F1F5F}");
    return message;
}

CWndClassInfo& PhraseTreeCtrl::GetWndClassInfo()
{
    static CWndClassInfo info(nullptr, 0, nullptr, WC_TREEVIEWW);
    return info;
}

BOOL PhraseTreeCtrl::Create(HWND parent, const RECT& rect, DWORD style)
{
    // Check boxes are switched on after creation: the control builds its state images then.
    const DWORD treeStyle =
        style | WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_INFOTIP;
    if (!CreateEx(WS_EX_CLIENTEDGE, nullptr, treeStyle, rect, parent, kControlId))
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | TVS_CHECKBOXES);
    return TRUE;
}

int PhraseTreeCtrl::ImageOfRecord(const PhraseItemRecord& record)
{
    if (record.IsFolder())
        return 0;
    return record.dataType == 1 ? 2 : record.dataType == 2 ? 4 : 3;
}

CString PhraseTreeCtrl::ItemText(const PhraseItemRecord& record)
{
    if (!record.IsFolder())
        return record.GetTitle();
    const CString& path = record.GetPath();
    const int slash = path.ReverseFind(L'\\');
    return slash < 0 ? path : path.Mid(slash + 1);
}

HTREEITEM PhraseTreeCtrl::InsertItem(const wchar_t* text, int id, HTREEITEM parent, bool first, int image,
                                     bool checked)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = first ? TVI_FIRST : TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    insert.item.pszText = const_cast<LPWSTR>(text);
    insert.item.lParam = id;
    insert.item.iImage = insert.item.iSelectedImage = image;
    insert.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_BOLD;
    insert.item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1) | (checked ? TVIS_BOLD : 0);
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(m_hWnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    return item;
}

void PhraseTreeCtrl::InsertList(CEditorPhraseStore& store, std::vector<PhraseItemRecord>& list,
                                HTREEITEM parent, bool showUnchecked)
{
    for (PhraseItemRecord& record : list) {
        const bool included = CEditorPhraseStore::IsIncluded(record);
        if (!included && !showUnchecked)
            continue;
        const CString text = ItemText(record);
        HTREEITEM item = InsertItem(text, record.id, parent, false, ImageOfRecord(record), included);
        if (item && record.IsFolder())
            InsertList(store, *record.children, item, showUnchecked);
    }
}

void PhraseTreeCtrl::Refill(CEditorPhraseStore& store, bool showUnchecked)
{
    m_refilling = true;
    ::SendMessageW(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    if (std::vector<PhraseItemRecord>* top = store.GetChildList(-1))
        InsertList(store, *top, nullptr, showUnchecked);
    SortLevel(nullptr, store);
    m_refilling = false;
}

void PhraseTreeCtrl::RefillKeepState(CEditorPhraseStore& store, bool showUnchecked)
{
    std::vector<int> expanded;
    for (HTREEITEM item = TreeView_GetRoot(m_hWnd); item; item = TreeView_GetNextVisible(m_hWnd, item))
        if (TreeView_GetItemState(m_hWnd, item, TVIS_EXPANDED) & TVIS_EXPANDED)
            expanded.push_back(GetItemId(item));
    HTREEITEM selected = TreeView_GetSelection(m_hWnd);
    const bool hadSelection = selected != nullptr;
    if (!selected)
        selected = TreeView_GetFirstVisible(m_hWnd);
    const int keepId = selected ? GetItemId(selected) : -1;
    ::SendMessageW(m_hWnd, WM_SETREDRAW, FALSE, 0);
    Refill(store, showUnchecked);
    for (int id : expanded)
        if (HTREEITEM item = FindItemById(id))
            TreeView_Expand(m_hWnd, item, TVE_EXPAND);
    if (HTREEITEM item = keepId >= 0 ? FindItemById(keepId) : nullptr) {
        if (hadSelection)
            TreeView_SelectItem(m_hWnd, item);
        TreeView_SelectSetFirstVisible(m_hWnd, item);
    }
    ::SendMessageW(m_hWnd, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

HTREEITEM PhraseTreeCtrl::FindItemById(int id) const
{
    HTREEITEM item = TreeView_GetRoot(m_hWnd);
    if (id == 0)
        return item;
    // Depth-first walk over every item, collapsed ones included.
    while (item) {
        if (GetItemId(item) == id)
            return item;
        HTREEITEM next = TreeView_GetChild(m_hWnd, item);
        while (!next && item) {
            next = TreeView_GetNextSibling(m_hWnd, item);
            if (!next)
                item = TreeView_GetParent(m_hWnd, item);
        }
        item = next;
    }
    return nullptr;
}

void PhraseTreeCtrl::ExpandToItem(HTREEITEM item)
{
    for (; item; item = TreeView_GetParent(m_hWnd, item))
        TreeView_Expand(m_hWnd, item, TVE_EXPAND);
}

bool PhraseTreeCtrl::GetCheck(HTREEITEM item) const
{
    return ((TreeView_GetItemState(m_hWnd, item, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) >> 12) == 2;
}

void PhraseTreeCtrl::SetCheckState(HTREEITEM item, bool on, bool notify)
{
    if (!item || GetCheck(item) == on)
        return;
    TreeView_SetItemState(m_hWnd, item, INDEXTOSTATEIMAGEMASK(on ? 2 : 1) | (on ? TVIS_BOLD : 0),
                          TVIS_STATEIMAGEMASK | TVIS_BOLD);
    if (notify)
        ::PostMessageW(m_hWnd, GetCheckMessage(), 0, reinterpret_cast<LPARAM>(item));
}

void PhraseTreeCtrl::SortLevel(HTREEITEM parent, CEditorPhraseStore& store)
{
    SortContext context{&store};
    TVSORTCB sort = {};
    sort.hParent = parent ? parent : TVI_ROOT;
    sort.lpfnCompare = CompareItems;
    sort.lParam = reinterpret_cast<LPARAM>(&context);
    ::SendMessageW(m_hWnd, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

int PhraseTreeCtrl::GetItemId(HTREEITEM item) const
{
    TVITEMW data = {};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!item || !::SendMessageW(m_hWnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)))
        return -1;
    return static_cast<int>(data.lParam);
}

int PhraseTreeCtrl::GetSelectedId() const
{
    HTREEITEM item = TreeView_GetSelection(m_hWnd);
    return item ? GetItemId(item) : -1;
}

LRESULT PhraseTreeCtrl::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    TVHITTESTINFO hit = {};
    hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HTREEITEM item = TreeView_HitTest(m_hWnd, &hit);
    if (item && (hit.flags & TVHT_ONITEMSTATEICON))
        ::PostMessageW(m_hWnd, GetCheckMessage(), 0, reinterpret_cast<LPARAM>(item));
    return 0;
}

LRESULT PhraseTreeCtrl::OnKeyUp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (wParam == VK_SPACE)
        if (HTREEITEM item = TreeView_GetSelection(m_hWnd))
            ::PostMessageW(m_hWnd, GetCheckMessage(), 0, reinterpret_cast<LPARAM>(item));
    return 0;
}

LRESULT PhraseTreeCtrl::OnCheckMessage(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    auto item = reinterpret_cast<HTREEITEM>(lParam);
    CheckNotify notify = {};
    notify.hdr.hwndFrom = m_hWnd;
    notify.hdr.idFrom = kControlId;
    notify.hdr.code = kNotifyCheckChanged;
    notify.item = item;
    ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, kControlId, reinterpret_cast<LPARAM>(&notify));
    if (item)
        TreeView_SetItemState(m_hWnd, item, GetCheck(item) ? TVIS_BOLD : 0, TVIS_BOLD);
    return 0;
}
