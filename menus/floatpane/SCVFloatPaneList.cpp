// The floating pane's item list: set-up, rows, drawing, selection, the copy
// paths and the item menu.

#include "menus/floatpane/SCVFloatPane.h"

#include "common/GdiCache.h"
#include "common/GdiHelpers.h"
#include "common/IconHelpers.h"
#include "common/LocalizedString.h"
#include "common/RichEditConversion.h"
#include "common/SystemFunctions.h"
#include "common/TextConversion.h"
#include "common/TextDecoration.h"
#include "common/TextUtilities.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardAccess.h"
#include "engine/ClipboardBitmaps.h"
#include "engine/ClipboardHistoryTexts.h"
#include "menus/floatpane/FloatPaneRes.h"
#include "menus/floatpane/FloatPaneTexts.h"
#include "menus/phrasemenu/PopupMenuRes.h"
#include "platform/CAppModule.h"

#include <objbase.h>

namespace
{
constexpr int kRowTextChars = 999;
constexpr int kImageSize = 24;
constexpr COLORREF kListRed = RGB(255, 0, 0);

enum FixedImage : int
{
    kImageRtf = 0,
    kImageText = 1,
    kImageOvelline = 2,
    kImageBitmap = 3,
    kImageHtml = 4,
    kImageCopy = 5,
};

HICON LoadPaneIcon(UINT id, int size)
{
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

UINT OvellineFormat()
{
    static const UINT format = ::RegisterClipboardFormatW(L"Ovelline Format");
    return format;
}

// The bytes of a stored block: its stored size, else the string length of
// readable data.
SIZE_T StoredLength(const CCHItem& item)
{
    if (item.GetSize() > 0)
        return item.GetSize();
    const char* bytes = static_cast<const char*>(item.GetData());
    return bytes ? strlen(bytes) : 0;
}
} // namespace

CCHQueue* CSCVFloatPane::Queue() const
{
    return m_history ? m_history->GetQueue() : nullptr;
}

CCHItem* CSCVFloatPane::ItemAt(int row) const
{
    CCHQueue* queue = Queue();
    return queue && row >= 0 ? queue->GetItem(row) : nullptr;
}

int CSCVFloatPane::GetRowCount() const
{
    return m_list.m_hWnd ? ListView_GetItemCount(m_list.m_hWnd) : 0;
}

int CSCVFloatPane::GetSelectedCount() const
{
    return m_list.m_hWnd ? static_cast<int>(ListView_GetSelectedCount(m_list.m_hWnd)) : 0;
}

int CSCVFloatPane::GetSelectionMark() const
{
    if (!m_list.m_hWnd)
        return -1;
    const int mark = ListView_GetSelectionMark(m_list.m_hWnd);
    return mark >= 0 && mark < GetRowCount() ? mark : -1;
}

int CSCVFloatPane::RowOfKey(const CString& key) const
{
    const CCHQueue* queue = Queue();
    if (!queue || key.IsEmpty())
        return -1;
    for (int row = 0; row < queue->GetCount(); ++row)
        if (queue->GetItem(row)->GetKey() == key)
            return row;
    return -1;
}

std::vector<CString> CSCVFloatPane::KeysOfRows(const std::vector<int>& rows) const
{
    std::vector<CString> keys;
    for (int row : rows)
        if (const CCHItem* item = ItemAt(row))
            keys.push_back(item->GetKey());
    return keys;
}

std::vector<int> CSCVFloatPane::SelectedRows() const
{
    std::vector<int> rows;
    if (!m_list.m_hWnd)
        return rows;
    for (int row = ListView_GetNextItem(m_list.m_hWnd, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(m_list.m_hWnd, row, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

CString CSCVFloatPane::GetRowText(int row) const
{
    return MakePaneRowText(ItemAt(row), kRowTextChars);
}

bool CSCVFloatPane::CreateList()
{
    HWND list =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
                          WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS |
                              LVS_OWNERDATA | LVS_NOCOLUMNHEADER,
                          0, kListId, 10, 10, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                          ::GetModuleHandleW(nullptr), nullptr);
    if (!list || !m_list.SubclassWindow(list)) {
        if (list)
            ::DestroyWindow(list);
        return false;
    }
    const UINT mask = ListView_GetCallbackMask(list);
    if (mask & LVIS_SELECTED)
        ListView_SetCallbackMask(list, mask & ~LVIS_SELECTED);
    ::SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ListView_SetTextColor(list, ::GetSysColor(COLOR_MENUTEXT));
    ListView_SetBkColor(list, ::GetSysColor(COLOR_MENU));
    ListView_SetTextBkColor(list, ::GetSysColor(COLOR_MENU));
    SetUpImageList();
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                                        LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    CString header = LoadLocalizedTextOr(171, L"Data");
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = header.GetBuffer();
    column.cx = 100;
    ListView_InsertColumn(list, 0, &column);
    header.ReleaseBuffer();
    ListView_SetCallbackMask(list, ListView_GetCallbackMask(list) | LVIS_OVERLAYMASK);
    m_list.SetTipPlacementCallback(
        [](void* pane) -> BOOL { return static_cast<CSCVFloatPane*>(pane)->FillsWorkArea(); }, this);
    m_list.SetSecondCallback([](MSG*, void*) -> BOOL { return FALSE; }, nullptr);
    RefreshIfOpen();
    ColumnWidth();
    if (HWND tip = ListView_GetToolTips(list)) {
        ::SendMessageW(tip, WM_SETFONT, reinterpret_cast<WPARAM>(GetCachedWindowFont(list)), FALSE);
        ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN) / 3 * 2);
        ::SetWindowLongPtrW(tip, GWL_STYLE, ::GetWindowLongPtrW(tip, GWL_STYLE) | TTS_ALWAYSTIP);
        ::SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    m_hoverTracker.Attach(list, m_hWnd);
    if (!PostMessageW(WM_PANE_SHOW_LIST, 0, 0))
        ::ShowWindow(list, SW_SHOWNA);
    return true;
}

void CSCVFloatPane::SetUpImageList()
{
    if (!m_iconCache.GetImageList()) {
        HIMAGELIST images = ImageList_Create(kImageSize, kImageSize, ILC_COLOR32 | ILC_MASK, 10, 1);
        ImageList_SetBkColor(images, ListView_GetTextBkColor(m_list.m_hWnd));
        m_iconCache.SetImageList(images);
        struct Fixed
        {
            const wchar_t* name;
            HICON icon;
        };
        const Fixed fixed[] = {
            {L"#rtf", LoadPaneIcon(IDI_MENU_FORMATTED, kImageSize)},
            {L"#txt", LoadFileTypeIcon(L".txt", false)},
            {L"#ovl", LoadFileTypeIcon(L".ovl", true)},
            {L"#bmp", LoadFileTypeIcon(L".bmp", true)},
            {L"#html", LoadPaneIcon(IDI_MENU_WEB_ADDRESS, kImageSize)},
            {L"#copy", LoadPaneIcon(IDI_PANE_QUICK_COPY, kImageSize)},
        };
        for (const Fixed& entry : fixed) {
            HICON icon = entry.icon ? entry.icon : ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION));
            m_iconCache.AddIcon(icon, entry.name);
            ::DestroyIcon(icon);
        }
    }
    ListView_SetImageList(m_list.m_hWnd, m_iconCache.GetImageList(), LVSIL_SMALL);
}

void CSCVFloatPane::ColumnWidth()
{
    if (!m_list.m_hWnd)
        return;
    RECT client = {};
    ::GetClientRect(m_list.m_hWnd, &client);
    ListView_SetColumnWidth(m_list.m_hWnd, 0, client.right - client.left);
}

void CSCVFloatPane::RefreshIfOpen()
{
    if (!m_list.m_hWnd)
        return;
    CCHQueue* queue = Queue();
    const int count = queue ? queue->GetCount() : 0;
    // Rows are indices into the history: items captured since the last refresh
    // came in at the top, and the selection moves down with the items it marks.
    const int added = RowOfKey(m_topKey);
    const std::vector<int> selected = added > 0 ? SelectedRows() : std::vector<int>();
    const int mark = GetSelectionMark();
    m_topKey = count > 0 ? queue->GetItem(0)->GetKey() : CString();
    m_list.SetVirtualItemCount(count, -1);
    if (added > 0) {
        ListView_SetItemState(m_list.m_hWnd, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (int row : selected)
            if (row + added < count)
                ListView_SetItemState(m_list.m_hWnd, row + added, LVIS_SELECTED, LVIS_SELECTED);
        ListView_SetSelectionMark(m_list.m_hWnd, mark >= 0 && mark + added < count ? mark + added : -1);
    }
    if (count > 0)
        ListView_EnsureVisible(m_list.m_hWnd, 0, FALSE);
    m_list.RedrawVisibleItems();
    if (m_toolBar.m_hWnd)
        ::InvalidateRect(m_toolBar.m_hWnd, nullptr, TRUE);
    CString title;
    title.Format(L"%s[%d] : Scrivolanter", LoadLocalizedTextOr(172, L"Clipboard History ").GetString(),
                 count);
    wchar_t current[101] = {};
    GetWindowTextW(current, 100);
    if (title.Left(100) != current)
        SetWindowTextW(title.GetString());
}

void CSCVFloatPane::RebuildList()
{
    if (!m_list.m_hWnd)
        return;
    CCHQueue* queue = Queue();
    m_list.SetVirtualItemCount(queue ? queue->GetCount() : 0, -1);
    ::InvalidateRect(m_list.m_hWnd, nullptr, TRUE);
    ::InvalidateRect(m_toolBar.m_hWnd, nullptr, TRUE);
}

LRESULT CSCVFloatPane::OnListNotify(NMHDR* header)
{
    switch (header->code) {
    case NM_DBLCLK: {
        const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
        if (row >= 0) {
            ListView_SetSelectionMark(m_list.m_hWnd, row);
            ::SetTimer(m_hWnd, kTimerCopyToTarget, 100, nullptr);
        }
        return 0;
    }
    case NM_RCLICK: {
        const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
        if (row >= 0)
            ListView_SetSelectionMark(m_list.m_hWnd, row);
        ShowItemMenu(false);
        return 0;
    }
    case NM_CUSTOMDRAW:
        return OnListCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_GETDISPINFOW:
        OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
        return 0;
    case LVN_GETINFOTIPW:
        OnGetInfoTip(reinterpret_cast<NMLVGETINFOTIPW*>(header));
        return 0;
    case LVN_KEYDOWN:
        OnListKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header));
        return 0;
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!m_captionOnly && ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
            ::InvalidateRect(m_toolBar.m_hWnd, nullptr, TRUE);
        return 0;
    }
    case LVN_BEGINDRAG:
        SendMessageW(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
        return 0;
    case HTN_HOVERSTART: {
        const int row = reinterpret_cast<NMHOVERITEM*>(header)->item;
        ListView_RedrawItems(m_list.m_hWnd, row, row);
        HWND tip = ListView_GetToolTips(m_list.m_hWnd);
        if (tip && ::IsWindowVisible(tip) && row == m_list.GetTipItem())
            ShowCopyBalloon(row, true);
        return 0;
    }
    case HTN_HOVEREND: {
        const int row = reinterpret_cast<NMHOVERITEM*>(header)->item;
        ShowCopyBalloon(row, false);
        ListView_RedrawItems(m_list.m_hWnd, row, row);
        return 0;
    }
    case HTN_HOVERCLICK:
        ShowCopyBalloon(-1, false);
        CopyRowToClipboard(reinterpret_cast<NMHOVERITEM*>(header)->item, true);
        return 0;
    default:
        return 0;
    }
}

void CSCVFloatPane::OnGetDispInfo(NMLVDISPINFOW* info)
{
    LVITEMW& item = info->item;
    if (item.iSubItem != 0)
        return;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const CString text = GetRowText(item.iItem);
        ::lstrcpynW(item.pszText, text.GetString(), item.cchTextMax);
    }
    if (item.mask & LVIF_IMAGE)
        item.iImage = RowImage(item.iItem);
}

int CSCVFloatPane::RowImage(int row)
{
    if (row == m_hoverTracker.GetHoverItem())
        return kImageCopy;
    CCHItem* item = ItemAt(row);
    if (!item)
        return -1;
    const CCHOwnerInfo& owner = item->GetOwnerInfo();
    if (!owner.exePath.IsEmpty()) {
        int index = m_iconCache.GetIndex(owner.exePath.GetString());
        if (index < 0) {
            HICON icon =
                owner.icon ? ::CopyIcon(owner.icon) : LoadFileTypeIcon(owner.exePath.GetString(), true);
            if (!icon)
                icon = LoadFileTypeIcon(owner.exePath.GetString(), false);
            if (icon) {
                index = m_iconCache.AddIcon(icon, owner.exePath.GetString());
                ::DestroyIcon(icon);
            }
        }
        if (index >= 0)
            return index;
    }
    switch (item->GetType()) {
    case CHT_ANSI_TEXT:
    case CHT_UNICODE_TEXT:
        return kImageText;
    case CHT_RTF:
        return kImageRtf;
    case CHT_OVELLINE:
        return kImageOvelline;
    case CHT_BITMAP:
        return kImageBitmap;
    case CHT_HTML:
        return kImageHtml;
    default:
        return -1;
    }
}

void CSCVFloatPane::OnGetInfoTip(NMLVGETINFOTIPW* info)
{
    CCHItem* item = info->iItem >= 0 ? ItemAt(info->iItem) : nullptr;
    if (!item || !info->pszText || info->cchTextMax <= 0) {
        info->iItem = -1;
        return;
    }
    m_tipItem = info->iItem;
    m_list.SetTipAutoPopTime(20000);
    const CString text = MakeItemTipText(*item, info->cchTextMax);
    if (!text.IsEmpty()) {
        if (!m_comInitialised)
            m_comInitialised = SUCCEEDED(::CoInitialize(nullptr));
        HICON icon = item->GetOwnerInfo().icon ? ::CopyIcon(item->GetOwnerInfo().icon) : nullptr;
        if (!icon && item->HasHtmlPart(false))
            icon = LoadPaneIcon(IDI_MENU_WEB_ADDRESS, 16);
        if (!icon && item->GetType() == CHT_RTF)
            icon = LoadPaneIcon(IDI_MENU_FORMATTED, 16);
        if (!icon)
            icon = ImageList_GetIcon(m_iconCache.GetImageList(), RowImage(info->iItem), ILD_NORMAL);
        m_list.SetTipTitle(info->iItem, GetRowText(info->iItem).GetString(), icon);
        ::lstrcpynW(info->pszText, text.GetString(), info->cchTextMax);
    }
    info->iItem = -1;
}

LRESULT CSCVFloatPane::OnListCustomDraw(NMLVCUSTOMDRAW* draw)
{
    NMCUSTOMDRAW& nmcd = draw->nmcd;
    if (nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    const int row = static_cast<int>(nmcd.dwItemSpec);
    CCHItem* item = ItemAt(row);
    const bool hovered = row == m_hoverTracker.GetHoverItem();
    const bool newest = row == 0;
    if (nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        LRESULT result = CDRF_NOTIFYPOSTPAINT;
        const COLORREF listBack = ListView_GetBkColor(m_list.m_hWnd);
        if (item && item->IsProtected() && !hovered) {
            draw->clrTextBk = ::GetSysColor(COLOR_INFOBK);
            result |= CDRF_NEWFONT;
        } else if (row % 2) {
            draw->clrTextBk = DarkenColor(listBack);
            result |= CDRF_NEWFONT;
        }
        const bool rtf = item && item->GetType() == CHT_RTF;
        if (hovered || newest || rtf) {
            ::SelectObject(nmcd.hdc, m_list.GetDerivedFont(newest, hovered, rtf));
            result |= CDRF_NEWFONT;
        }
        return result;
    }
    if (nmcd.dwDrawStage != CDDS_ITEMPOSTPAINT)
        return CDRF_DODEFAULT;
    RECT bounds = {}, label = {};
    ListView_GetItemRect(m_list.m_hWnd, row, &bounds, LVIR_BOUNDS);
    ListView_GetItemRect(m_list.m_hWnd, row, &label, LVIR_LABEL);
    HDC dc = nmcd.hdc;
    const bool selected = ListView_GetItemState(m_list.m_hWnd, row, LVIS_SELECTED) != 0;
    const COLORREF listBack = ListView_GetBkColor(m_list.m_hWnd);
    HBRUSH fill = selected ? ::GetSysColorBrush(COLOR_HIGHLIGHT) : nullptr;
    HBRUSH odd = nullptr;
    if (!fill && row % 2)
        fill = odd = ::CreateSolidBrush(DarkenColor(listBack));
    if (!fill)
        fill = ::GetSysColorBrush(COLOR_MENU);
    ::FillRect(dc, &label, fill);
    if (odd)
        ::DeleteObject(odd);
    // the number badge
    const int inset = selected ? 1 : 3;
    const int side = (label.bottom - label.top) - 2 * inset;
    RECT badge = {label.left + 2, label.top + inset, label.left + 2 + side, label.top + inset + side};
    CString number;
    number.Format(L"%d", row + 1);
    if (HRGN region = ::CreateRoundRectRgn(badge.left, badge.top, badge.right, badge.bottom, 8, 8)) {
        ::FillRgn(dc, region, GetInfoOrHighlightBrush(selected));
        ::DeleteObject(region);
    }
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour =
        ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_INFOTEXT : COLOR_HIGHLIGHTTEXT));
    ::DrawTextW(dc, number.GetString(), number.GetLength(), &badge, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    RECT textRect = {badge.right + 2, label.top + 1, label.right, label.bottom - 1};
    if (item && item->GetType() == CHT_BITMAP && item->GetBitmap()) {
        HBRUSH frame = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        ::FrameRect(dc, &textRect, frame);
        RECT inside = textRect;
        ::InflateRect(&inside, -1, -1);
        HBRUSH back = ::CreateSolidBrush(listBack);
        ::FillRect(dc, &inside, back);
        ::DeleteObject(back);
        if (HDC memory = ::CreateCompatibleDC(dc)) {
            HGDIOBJ old = ::SelectObject(memory, item->GetBitmap());
            ::BitBlt(dc, inside.left, inside.top, inside.right - inside.left, inside.bottom - inside.top,
                     memory, 0, 0, SRCCOPY);
            ::SelectObject(memory, old);
            ::DeleteDC(memory);
        }
    } else {
        const bool rtf = item && item->GetType() == CHT_RTF;
        HGDIOBJ oldFont = ::SelectObject(dc, m_list.GetDerivedFont(newest, hovered, rtf));
        ::SetTextColor(dc, hovered    ? kListRed
                           : selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT)
                                      : ListView_GetTextColor(m_list.m_hWnd));
        const CString text = GetRowText(row);
        ::DrawTextW(dc, text.GetString(), text.GetLength(), &textRect,
                    DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
        ::SelectObject(dc, oldFont);
    }
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
    if (item && item->HasHtmlPart(false))
        if (HICON icon = LoadPaneIcon(IDI_MENU_WEB_ADDRESS, 16)) {
            ::DrawIconEx(dc, bounds.right - 14, bounds.bottom - 14, icon, 10, 10, 0, nullptr, DI_NORMAL);
            ::DestroyIcon(icon);
        }
    if (item && item->IsProtected() && !hovered && m_protectedIcon)
        ::DrawIconEx(dc, bounds.right - 18, bounds.bottom - 18, m_protectedIcon, 16, 16, 0, nullptr,
                     DI_NORMAL);
    if (newest)
        FrameRoundRect(dc, bounds, kListRed);
    return CDRF_DODEFAULT;
}

void CSCVFloatPane::OnListKeyDown(const NMLVKEYDOWN* key)
{
    if (key->wVKey == VK_ESCAPE) {
        if (FocusIsInsidePane())
            SetCaptionOnly(1, 1);
        return;
    }
    if (key->wVKey != VK_RETURN)
        return;
    const int mark = GetSelectionMark();
    if (mark < 0 || GetSelectedCount() == 0) {
        m_doubleEnter = {};
        return;
    }
    const DWORD now = ::GetTickCount();
    if (m_doubleEnter.item == mark && now - m_doubleEnter.tick <= kDoubleEnterMs) {
        m_doubleEnter = {};
        CopyRowToTarget(mark);
        return;
    }
    if (m_doubleEnter.item == mark) {
        m_doubleEnter = {}; // the second press came too late
        return;
    }
    m_doubleEnter.item = mark;
    m_doubleEnter.tick = now;
}

bool CSCVFloatPane::FocusIsInsidePane() const
{
    for (HWND window = ::GetFocus(); window; window = ::GetParent(window))
        if (window == m_hWnd)
            return true;
    return false;
}

void CSCVFloatPane::ArmReselect(const CCHItem* item)
{
    if (!item || !m_hWnd)
        return;
    m_reselectKey = item->GetKey();
    ::SetTimer(m_hWnd, kTimerReselect, 700, nullptr);
}

void CSCVFloatPane::ReselectByKey()
{
    CCHQueue* queue = Queue();
    if (!queue || !m_list.m_hWnd || m_reselectKey.IsEmpty())
        return;
    ::SendMessageW(m_list.m_hWnd, WM_SETREDRAW, FALSE, 0);
    int found = -1;
    const int count = GetRowCount();
    for (int row = 0; row < count; ++row) {
        ListView_SetItemState(m_list.m_hWnd, row, 0, LVIS_SELECTED);
        const CCHItem* item = queue->GetItem(row);
        if (found < 0 && item && item->GetKey() == m_reselectKey)
            found = row;
    }
    if (found >= 0) {
        ListView_SetSelectionMark(m_list.m_hWnd, -1);
        ListView_SetSelectionMark(m_list.m_hWnd, found);
        ListView_EnsureVisible(m_list.m_hWnd, found, FALSE);
        ListView_SetItemState(m_list.m_hWnd, found, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
    ::SendMessageW(m_list.m_hWnd, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list.m_hWnd, nullptr, TRUE);
}

bool CSCVFloatPane::CopyRowToClipboard(int row, bool withSound)
{
    CCHItem* item = ItemAt(row);
    if (!item || row >= GetRowCount())
        return false;
    bool done = false;
    switch (item->GetType()) {
    case CHT_BITMAP:
        done = PutBitmapToClipboard(item->GetBitmap());
        break;
    case CHT_OVELLINE:
        done = PutClipboardData(OvellineFormat(), item->GetData(), item->GetSize());
        break;
    case CHT_ANSI_TEXT:
    case CHT_UNICODE_TEXT:
        done = m_history && m_history->PutTextItemOnClipboard(*item, 0);
        break;
    case CHT_RTF:
        done = m_history && m_history->PutTextItemOnClipboard(*item, 1);
        break;
    case CHT_HTML:
        // An item that is HTML itself goes on the clipboard as "HTML Format".
        done = PutClipboardData(GetHtmlClipboardFormat(), item->GetData(), StoredLength(*item));
        break;
    default:
        return false;
    }
    if (!done) {
        if (m_host)
            m_host->ReportText(L"Cannot copy data to clipboard from float pane");
        return false;
    }
    ArmReselect(item);
    if (withSound && m_host)
        m_host->PlayPaneSound(kPaneSoundPaper);
    return true;
}

bool CSCVFloatPane::CopyRowToTarget(int row)
{
    if (m_host)
        m_host->SignalCopy(true);
    if (!CopyRowToClipboard(row, false)) {
        // Never paste whatever the clipboard happened to hold.
        ::MessageBeep(0xFFFFFFFF);
        if (m_host)
            m_host->SignalCopy(false);
        return false;
    }
    HWND target = m_host ? m_host->GetTargetWindow() : nullptr;
    const DWORD targetThread = target ? ::GetWindowThreadProcessId(target, nullptr) : 0;
    const DWORD ownThread = ::GetCurrentThreadId();
    bool activated = false;
    if (targetThread && (targetThread == ownThread || ::AttachThreadInput(ownThread, targetThread, TRUE))) {
        // The target may be a top-level window: its control with the focus keeps it.
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof(thread);
        HWND focus = target;
        if (::GetGUIThreadInfo(targetThread, &thread) && thread.hwndFocus &&
            ::IsChild(target, thread.hwndFocus))
            focus = thread.hwndFocus;
        ::SetActiveWindow(target);
        ::SetForegroundWindow(target);
        ::SetFocus(focus);
        if (targetThread != ownThread)
            ::AttachThreadInput(ownThread, targetThread, FALSE);
        activated = true;
    }
    if (!activated) {
        if (m_host) {
            m_host->ReportText(L"ERROR: Cannot activate other window from float pane");
            m_host->SignalCopy(false);
        }
        return false;
    }
    ::SetTimer(m_hWnd, kTimerPaste, 100, nullptr);
    if (m_host)
        m_host->SignalCopy(false);
    return true;
}

CString CSCVFloatPane::GetSelectedItemUrl() const
{
    const CCHItem* item = ItemAt(GetSelectionMark());
    return item ? item->GetUrl() : CString();
}

CString CSCVFloatPane::GetSelectedItemData(int form) const
{
    CCHItem* item = ItemAt(GetSelectionMark());
    if (!item)
        return CString();
    switch (form) {
    case 0:
        if (item->GetType() == CHT_ANSI_TEXT)
            return CString(item->GetByteText().c_str());
        if (item->GetType() == CHT_UNICODE_TEXT)
            return item->GetWideText();
        if (item->GetType() == CHT_RTF)
            return RtfToPlainTextAll(CString(item->GetByteText().c_str()));
        return CString();
    case 1: {
        CCHItem* html = item->FindHtmlPart();
        return html ? Utf8ToWide(html->GetByteText().c_str()) : CString();
    }
    case 2:
        return item->GetUrl();
    default:
        return CString();
    }
}

void CSCVFloatPane::ShowCopyBalloon(int row, bool show)
{
    if (!show) {
        if (m_balloon)
            ::SendMessageW(m_balloon, TTM_TRACKACTIVATE, FALSE, 0);
        return;
    }
    TOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    CString text = LoadLocalizedTextOr(291, L"Click on the icon to copy");
    AppendDashLine(text, 25, true);
    text += L"      " + LoadLocalizedTextOr(185, L"Right click here");
    tool.lpszText = text.GetBuffer();
    if (!m_balloon) {
        m_balloon =
            ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_BALLOON,
                              0, 0, 0, 0, m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (!m_balloon)
            return;
        SetWindowThemeDyn(m_balloon, L"", L"");
        HICON icon = LoadPaneIcon(IDI_PANE_QUICK_COPY, 16);
        CFloatPaneToolBar::SetToolTipTitle(m_balloon, L" ", icon);
        ::SendMessageW(m_balloon, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else
        ::SendMessageW(m_balloon, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    text.ReleaseBuffer();
    RECT icon = {};
    ListView_GetItemRect(m_list.m_hWnd, row, &icon, LVIR_ICON);
    POINT at = {icon.left - 8, icon.top - 8};
    ::ClientToScreen(m_list.m_hWnd, &at);
    ::SendMessageW(m_balloon, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageW(m_balloon, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}
