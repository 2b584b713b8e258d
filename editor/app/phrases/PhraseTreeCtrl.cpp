#include "editor/app/phrases/PhraseTreeCtrl.h"
#include "common/HandedOutAddresses.h"

#include "common/GdiHelpers.h"
#include "common/GdiObjectGuards.h"
#include "common/LocalizedString.h"
#include "editor/app/document/EditorPhraseStore.h"
#include "editor/app/phrases/PhraseKindImages.h"
#include "editor/controls/EditorLook.h"
#include "editor/controls/TreeCtrlWalk.h"

#include "platform/WindowsX.h"

#include <algorithm>
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
    const DWORD treeStyle = style | WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                            TVS_SHOWSELALWAYS | TVS_INFOTIP | TVS_EDITLABELS;
    if (!CreateEx(WS_EX_CLIENTEDGE, nullptr, treeStyle, rect, parent, kControlId))
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | TVS_CHECKBOXES);
    if (HIMAGELIST images = GetPhraseKindImageList())
        TreeView_SetImageList(m_hWnd, images, TVSIL_NORMAL);
    if (m_hover.Create(m_hWnd))
        m_hover.AddTool(m_hWnd);
    return TRUE;
}

bool PhraseTreeCtrl::EmptyTreeCue::ShouldShow()
{
    const HWND tree = HostWindow();
    return ::IsWindow(tree) && TreeView_GetCount(tree) == 0;
}

CString PhraseTreeCtrl::EmptyTreeCue::GetText()
{
    return LoadLocalizedTextOr(GetTextId(), L"Right click to add new phrase");
}

int PhraseTreeCtrl::ImageOfRecord(const PhraseItemRecord& record)
{
    return PhraseKindImageIndex(record.dataType, record.IsFolder());
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
    const bool wasEmpty = TreeView_GetCount(m_hWnd) == 0;
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(m_hWnd, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item && wasEmpty)
        ::InvalidateRect(m_hWnd, nullptr, TRUE); // the empty tree's hint goes
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
    m_drag.Cancel();
    m_store = &store;
    m_lastSelected = nullptr;
    const bool outer = m_refilling;
    m_refilling = true;
    ::SendMessageW(m_hWnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    if (std::vector<PhraseItemRecord>* top = store.GetChildList(-1))
        InsertList(store, *top, nullptr, showUnchecked);
    SortLevel(nullptr, store);
    m_refilling = outer;
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
    // The tree's own state coming back is no selection of the user's: nobody hears of it.
    m_refilling = true;
    Refill(store, showUnchecked);
    for (int id : expanded)
        if (HTREEITEM item = FindItemById(id))
            TreeView_Expand(m_hWnd, item, TVE_EXPAND);
    if (HTREEITEM item = keepId >= 0 ? FindItemById(keepId) : nullptr) {
        if (hadSelection)
            TreeView_SelectItem(m_hWnd, item);
        TreeView_SelectSetFirstVisible(m_hWnd, item);
    }
    m_refilling = false;
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
        PostOwnMessage(m_hWnd, GetCheckMessage(), 0, reinterpret_cast<LPARAM>(item));
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

HTREEITEM PhraseTreeCtrl::HitTestAt(LPARAM clientPoint, UINT* flags) const
{
    TVHITTESTINFO hit = {};
    hit.pt = POINT{GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
    HTREEITEM item = TreeView_HitTest(m_hWnd, &hit);
    *flags = hit.flags;
    return item;
}

LRESULT PhraseTreeCtrl::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    UINT flags = 0;
    HTREEITEM item = HitTestAt(lParam, &flags);
    if (item && (flags & TVHT_ONITEMSTATEICON))
        PostOwnMessage(m_hWnd, GetCheckMessage(), 0, reinterpret_cast<LPARAM>(item));
    return 0;
}

LRESULT PhraseTreeCtrl::OnKeyUp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (wParam == VK_SPACE)
        if (HTREEITEM item = TreeView_GetSelection(m_hWnd))
            PostOwnMessage(m_hWnd, GetCheckMessage(), 0, reinterpret_cast<LPARAM>(item));
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

PhraseTreeCtrl::~PhraseTreeCtrl()
{
    if (m_excludedFont)
        ::DeleteObject(m_excludedFont);
    if (m_smallFont)
        ::DeleteObject(m_smallFont);
}

void PhraseTreeCtrl::SetDropTarget(HWND window, UINT message)
{
    m_dropWindow = window;
    m_dropMessage = message;
}

void PhraseTreeCtrl::SetShowMetaInfo(bool show)
{
    m_showMetaInfo = show;
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool PhraseTreeCtrl::BeginDrag(HTREEITEM item)
{
    return m_drag.Begin(m_hWnd, item, this);
}

bool PhraseTreeCtrl::CanDropOn(HTREEITEM dragged, HTREEITEM target)
{
    if (!m_dropWindow || !m_dropMessage)
        return false;
    DropPair pair{dragged, target};
    CHandOverScope handed(HandOverKind::OwnWindowData, &pair, sizeof(pair));
    return ::SendMessageW(m_dropWindow, m_dropMessage, 0, reinterpret_cast<LPARAM>(&pair)) == 1;
}

void PhraseTreeCtrl::DropOn(HTREEITEM dragged, HTREEITEM target)
{
    DropPair pair{dragged, target};
    CHandOverScope handed(HandOverKind::OwnWindowData, &pair, sizeof(pair));
    if (m_dropWindow && m_dropMessage)
        ::SendMessageW(m_dropWindow, m_dropMessage, 1, reinterpret_cast<LPARAM>(&pair));
}

PhraseItemRecord* PhraseTreeCtrl::RecordOf(HTREEITEM item) const
{
    return m_store && item ? m_store->FindItemById(GetItemId(item)) : nullptr;
}

CString PhraseTreeCtrl::MetaTextOf(CEditorPhraseStore& store, const PhraseItemRecord& record)
{
    CString text;
    if (record.IsFolder()) {
        int included = 0;
        for (const PhraseItemRecord& child : *record.children)
            included += CEditorPhraseStore::IsIncluded(child) ? 1 : 0;
        text.Format(L"%d/%d %s", included, static_cast<int>(record.children->size()),
                    LoadLocalizedTextOr(185, L"childrens").GetString());
        return text;
    }
    (void)store;
    if (record.GetUsageCount() != 0)
        text.Format(L"[%u %s]", record.GetUsageCount(), LoadLocalizedTextOr(187, L"times").GetString());
    if (record.GetUseTitleOnly()) {
        if (!text.IsEmpty())
            text += L", ";
        text += LoadLocalizedTextOr(213, L"title only");
    }
    return text;
}

void PhraseTreeCtrl::InvalidateItemRow(HTREEITEM item, bool fullWidth)
{
    RECT row = {};
    if (!item || !TreeView_GetItemRect(m_hWnd, item, &row, FALSE))
        return;
    if (fullWidth) {
        RECT client = {};
        ::GetClientRect(m_hWnd, &client);
        row.left = 0;
        row.right = std::max(row.right, client.right);
    }
    ::InvalidateRect(m_hWnd, &row, TRUE);
}

HFONT PhraseTreeCtrl::GetExcludedFont()
{
    if (!m_excludedFont)
        m_excludedFont =
            CreateStrikeOutFont(reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
    return m_excludedFont;
}

LRESULT PhraseTreeCtrl::OnReflectedNotify(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    switch (header->code) {
    case NM_CUSTOMDRAW:
        return OnCustomDraw(reinterpret_cast<NMTVCUSTOMDRAW*>(lParam));
    case TVN_BEGINDRAGW:
        m_hover.HideTip();
        BeginDrag(reinterpret_cast<NMTREEVIEWW*>(lParam)->itemNew.hItem);
        return 0;
    case TVN_ITEMEXPANDEDW:
        SyncGroupImage(reinterpret_cast<NMTREEVIEWW*>(lParam)->itemNew.hItem);
        bHandled = FALSE; // the pane may want it too
        return 0;
    case TVN_DELETEITEMW: {
        HTREEITEM gone = reinterpret_cast<NMTREEVIEWW*>(lParam)->itemOld.hItem;
        if (gone == m_lastSelected)
            m_lastSelected = nullptr;
        if (gone == m_hover.TrackedItem()) {
            m_hover.HideTip();
            m_hover.SetItemTip(-1, -1, std::wstring(), nullptr, nullptr);
        }
        bHandled = FALSE;
        return 0;
    }
    case TVN_SELCHANGEDW: {
        const auto* change = reinterpret_cast<NMTREEVIEWW*>(lParam);
        m_lastSelected = change->itemOld.hItem;
        InvalidateItemRow(change->itemOld.hItem, true);
        InvalidateItemRow(change->itemNew.hItem, true);
        bHandled = FALSE;
        return 0;
    }
    default:
        bHandled = FALSE;
        return 0;
    }
}

LRESULT PhraseTreeCtrl::OnCustomDraw(NMTVCUSTOMDRAW* draw)
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        auto item = reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec);
        const bool selected = item == TreeView_GetSelection(m_hWnd);
        if (selected) {
            const bool focused = ::GetFocus() == m_hWnd;
            draw->clrTextBk = ::GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_INFOBK);
            draw->clrText = ::GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_INFOTEXT);
        } else {
            draw->clrTextBk = ::GetSysColor(COLOR_WINDOW);
            draw->clrText = ::GetSysColor(COLOR_WINDOWTEXT);
        }
        LRESULT result = CDRF_DODEFAULT;
        if (!GetCheck(item)) {
            if (HFONT font = GetExcludedFont()) {
                ::SelectObject(draw->nmcd.hdc, font);
                result |= CDRF_NEWFONT;
            }
        }
        if (!TreeView_GetEditControl(m_hWnd))
            result |= CDRF_NOTIFYPOSTPAINT;
        return result;
    }
    case CDDS_ITEMPOSTPAINT:
        DrawPostPaint(draw);
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

void PhraseTreeCtrl::DrawSeparator(HDC dc, HTREEITEM item, bool below)
{
    RECT row = {};
    RECT client = {};
    if (!TreeView_GetItemRect(m_hWnd, item, &row, FALSE))
        return;
    ::GetClientRect(m_hWnd, &client);
    RECT text = {};
    TreeView_GetItemRect(m_hWnd, item, &text, TRUE);
    HTREEITEM neighbour =
        below ? TreeView_GetNextVisible(m_hWnd, item) : TreeView_GetPrevVisible(m_hWnd, item);
    RECT other = {};
    int y = below ? row.bottom + 3 : row.top - 3;
    if (neighbour && TreeView_GetItemRect(m_hWnd, neighbour, &other, FALSE)) {
        const int gap = below ? other.top - row.bottom : row.top - other.bottom;
        if (gap > 0)
            y = below ? row.bottom + gap / 2 : row.top - gap / 2;
    }
    // Inside the item's own row when the rows touch: the line sits on its edge.
    if (y >= row.bottom)
        y = row.bottom - 2;
    if (y < row.top)
        y = row.top;
    GdiObject<HPEN> dark(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_3DDKSHADOW)));
    GdiObject<HPEN> white(::CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    {
        SelectedObject pen(dc, dark.get());
        ::MoveToEx(dc, text.left, y, nullptr);
        ::LineTo(dc, client.right - 4, y);
    }
    SelectedObject pen(dc, white.get());
    ::MoveToEx(dc, text.left, y + 1, nullptr);
    ::LineTo(dc, client.right - 4, y + 1);
}

void PhraseTreeCtrl::DrawPostPaint(NMTVCUSTOMDRAW* draw)
{
    auto item = reinterpret_cast<HTREEITEM>(draw->nmcd.dwItemSpec);
    PhraseItemRecord* record = RecordOf(item);
    if (!record)
        return;
    HDC dc = draw->nmcd.hdc;
    RECT client = {};
    ::GetClientRect(m_hWnd, &client);
    RECT text = {};
    TreeView_GetItemRect(m_hWnd, item, &text, TRUE);
    if (m_showMetaInfo) {
        const CString meta = MetaTextOf(*m_store, *record);
        if (!meta.IsEmpty()) {
            RECT area = {text.right + 15, text.top + 2, client.right - 4, text.bottom + 2};
            const int mode = ::SetBkMode(dc, TRANSPARENT);
            const COLORREF color = ::SetTextColor(
                dc, CEditorPhraseStore::IsIncluded(*record) ? RGB(0, 0, 160) : GetGrayTextColor());
            HGDIOBJ font = ::SelectObject(dc, GetNormalDialogFont());
            ::DrawTextW(dc, meta, meta.GetLength(), &area,
                        DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
            ::SelectObject(dc, font);
            ::SetTextColor(dc, color);
            ::SetBkMode(dc, mode);
        }
    }
    if (!record->IsFolder()) {
        if (record->HasSeparatorBefore())
            DrawSeparator(dc, item, false);
        if (record->HasSeparatorAfter()) {
            PhraseItemRecord* next = RecordOf(TreeView_GetNextVisible(m_hWnd, item));
            if (!next || !next->HasSeparatorBefore())
                DrawSeparator(dc, item, true);
        }
    }
    if (item == TreeView_GetSelection(m_hWnd)) {
        RECT row = {};
        TreeView_GetItemRect(m_hWnd, item, &row, FALSE);
        row.right = client.right;
        FrameRoundRect(dc, row, ::GetSysColor(COLOR_HIGHLIGHT));
    }
}

LRESULT PhraseTreeCtrl::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    UINT flags = 0;
    HTREEITEM item = HitTestAt(lParam, &flags);
    if (item && (flags & TVHT_ONITEMRIGHT))
        TreeView_SelectItem(m_hWnd, item);
    return 0;
}

LRESULT PhraseTreeCtrl::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (m_showMetaInfo)
        InvalidateItemRow(TreeView_GetSelection(m_hWnd), true);
    else
        StartResizeRedraw();
    return 0;
}

LRESULT PhraseTreeCtrl::OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (position && !(position->flags & SWP_NOSIZE))
        StartResizeRedraw();
    return 0;
}

void PhraseTreeCtrl::StartResizeRedraw()
{
    m_resizeTick = ::GetTickCount();
    ::SetTimer(m_hWnd, kResizeRedrawTimer, kResizeRedrawDelay, nullptr);
}

void PhraseTreeCtrl::SyncGroupImage(HTREEITEM item)
{
    PhraseItemRecord* record = RecordOf(item);
    if (!record || !record->IsFolder())
        return;
    const bool open = (TreeView_GetItemState(m_hWnd, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    TVITEMW data = {};
    data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    data.hItem = item;
    data.iImage = data.iSelectedImage = open ? kImageFolderOpen : kImageFolderClosed;
    ::SendMessageW(m_hWnd, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data));
}

LRESULT PhraseTreeCtrl::OnExpand(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The control reports only the first expansion asked by a message; the image follows every one.
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    SyncGroupImage(reinterpret_cast<HTREEITEM>(lParam));
    return result;
}

LRESULT PhraseTreeCtrl::OnEnsureVisible(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    if (m_ensuringVisible) {
        bHandled = FALSE; // the control's own scrolling, asked by the call below
        return 0;
    }
    m_ensuringVisible = true;
    const bool done = EnsureTreeItemVisibleKeepHScroll(m_hWnd, reinterpret_cast<HTREEITEM>(lParam));
    m_ensuringVisible = false;
    return done ? 1 : 0;
}

void PhraseTreeCtrl::SetItemTip(HTREEITEM item, const CString& text)
{
    TVITEMW data = {};
    data.mask = TVIF_IMAGE | TVIF_PARAM;
    data.hItem = item;
    if (!item || !::SendMessageW(m_hWnd, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)))
        return;
    HIMAGELIST images = TreeView_GetImageList(m_hWnd, TVSIL_NORMAL);
    HICON icon = images ? ImageList_GetIcon(images, data.iImage, ILD_NORMAL) : nullptr;
    m_hover.SetItemTip(static_cast<int>(data.lParam), data.iImage, std::wstring(text.GetString()), item,
                       icon);
}

LRESULT PhraseTreeCtrl::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    bHandled = FALSE;
    if (!m_leaveTracked) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_leaveTracked = ::TrackMouseEvent(&track) != FALSE;
    }
    if (!m_hover.TrackedItem())
        return 0;
    UINT flags = 0;
    HTREEITEM item = HitTestAt(lParam, &flags);
    if (item != m_hover.TrackedItem() || !(flags & TVHT_ONITEM))
        m_hover.HideTip();
    return 0;
}

LRESULT PhraseTreeCtrl::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    m_leaveTracked = false;
    m_hover.HideTip();
    return 0;
}

LRESULT PhraseTreeCtrl::OnPaint(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (!m_cueText.ShouldShow()) {
        bHandled = FALSE;
        return 0;
    }
    PAINTSTRUCT paint = {};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    m_cueText.Paint(dc);
    ::EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT PhraseTreeCtrl::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam != kResizeRedrawTimer) {
        bHandled = FALSE;
        return 0;
    }
    if (::GetTickCount() - m_resizeTick < kResizeRedrawDelay)
        return 0;
    ::KillTimer(m_hWnd, kResizeRedrawTimer);
    ::InvalidateRect(m_hWnd, nullptr, m_showMetaInfo ? TRUE : FALSE);
    return 0;
}

LRESULT PhraseTreeCtrl::OnScrollOrSelect(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    InvalidateItemRow(TreeView_GetSelection(m_hWnd), true);
    InvalidateItemRow(m_lastSelected, true);
    return 0;
}

LRESULT PhraseTreeCtrl::OnParentNotify(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

LRESULT PhraseTreeCtrl::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    m_drag.Cancel();
    m_hover.DestroyWindow();
    return 0;
}

LRESULT PhraseTreeCtrl::OnSetFont(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    bHandled = FALSE;
    if (m_excludedFont) {
        ::DeleteObject(m_excludedFont); // made again from the new font
        m_excludedFont = nullptr;
    }
    return 0;
}
