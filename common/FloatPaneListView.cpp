#include "common/FloatPaneListView.h"

#include "platform/WindowsX.h"

#include "common/GdiCache.h"
#include "common/LocalizedString.h"

namespace
{
const UINT kIdsDoubleClickHint = 224;
const UINT kIdsQuickCopyHint = 288;
const int kHintLeftIndent = 24;
const int kHintMargin = 8;
const int kFontGrowth = 8;

RECT ItemBounds(HWND list, int item)
{
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    if (!::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect)))
        return RECT{};
    return rect;
}
} // namespace

BOOL CFloatPaneListView::PreTranslateMessage(MSG* message)
{
    if (!message || message->message < WM_MOUSEFIRST || message->message > WM_MOUSELAST)
        return FALSE;
    return m_mouseFilter && m_mouseFilter(message, m_mouseFilterContext) ? TRUE : FALSE;
}

void CFloatPaneListView::SetTipPlacementCallback(TipPlacementCallback callback, void* context)
{
    m_tipPlacement = callback;
    m_tipPlacementContext = context;
}

void CFloatPaneListView::SetSecondCallback(MouseFilterCallback callback, void* context)
{
    m_mouseFilter = callback;
    m_mouseFilterContext = context;
}

HWND CFloatPaneListView::GetToolTip() const
{
    if (!::IsWindow(m_hWnd))
        return nullptr;
    HWND tip = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, LVM_GETTOOLTIPS, 0, 0));
    return ::IsWindow(tip) ? tip : nullptr;
}

LRESULT CFloatPaneListView::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    LVHITTESTINFO info = {};
    info.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (::SendMessageW(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)) >= 0) {
        handled = FALSE;
        return 0;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
    ::ReleaseCapture();
    ::SendMessageW(::GetParent(m_hWnd), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    return 0;
}

LRESULT CFloatPaneListView::OnEraseBkgnd(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    DefWindowProc();
    PaintHint(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT CFloatPaneListView::OnPaint(UINT, WPARAM, LPARAM, BOOL&)
{
    const LRESULT result = DefWindowProc();
    WindowDC dc(m_hWnd);
    if (dc)
        PaintHint(dc.get());
    return result;
}

LRESULT CFloatPaneListView::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->code != TTN_SHOW) {
        handled = FALSE;
        return 0;
    }
    if (m_tipPlacement && m_tipPlacement(m_tipPlacementContext))
        return 0;
    HWND tip = GetToolTip();
    RECT rect = {};
    if (!tip || !GetTipRect(rect))
        return 0;
    ::SetWindowPos(tip, nullptr, rect.left < 0 ? 0 : rect.left, rect.top < 0 ? 0 : rect.top,
                   rect.right - rect.left, rect.bottom - rect.top, SWP_NOACTIVATE | SWP_NOZORDER);
    return 1;
}

bool CFloatPaneListView::GetTipRect(RECT& rect) const
{
    rect = RECT{};
    HWND tip = GetToolTip();
    if (!tip || m_tipItem < 0)
        return false;
    RECT item = ItemBounds(m_hWnd, m_tipItem);
    if (::IsRectEmpty(&item))
        return false;
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&item), 2);
    RECT tipWindow = {};
    ::GetWindowRect(tip, &tipWindow);
    const int width = tipWindow.right - tipWindow.left;
    const int height = tipWindow.bottom - tipWindow.top;
    const int virtualHeight = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int virtualWidth = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    if (item.top > virtualHeight / 2) {
        rect.bottom = item.bottom;
        rect.top = rect.bottom - height;
    } else {
        rect.top = item.top;
        rect.bottom = rect.top + height;
    }
    if (item.right < virtualWidth / 2) {
        rect.left = item.right;
        rect.right = rect.left + width;
    } else {
        rect.right = item.left;
        rect.left = rect.right - width;
    }
    return true;
}

CString CFloatPaneListView::BreakHintLine(const CString& text)
{
    const int blank = text.Find(L' ', text.GetLength() / 2);
    if (blank < 0)
        return text;
    const CString mark = L" \u2022";
    CString line = text.Left(blank) + mark + L"\n" + text.Mid(blank + 1);
    for (int i = 0; i < mark.GetLength(); ++i)
        line += L" ";
    return line;
}

CString CFloatPaneListView::BuildHintText()
{
    const CString first = BreakHintLine(
        LoadLocalizedTextOr(kIdsDoubleClickHint, L"Double click on item to copy into clipboard and insert"));
    const CString second = BreakHintLine(
        LoadLocalizedTextOr(kIdsQuickCopyHint, L"Move mouse pointer to icon for quick copying"));
    if (first.IsEmpty())
        return second;
    if (second.IsEmpty())
        return first;
    return first + L"\n\n" + second;
}

bool CFloatPaneListView::PaintHint(HDC dc)
{
    if (!dc || !::IsWindow(m_hWnd))
        return false;
    RECT area = {};
    ::GetClientRect(m_hWnd, &area);
    const int count = ListView_GetItemCount(m_hWnd);
    int textTop = area.top + ::GetSystemMetrics(SM_CYCAPTION) / 2;
    if (count > 0) {
        const RECT last = ItemBounds(m_hWnd, count - 1);
        const int itemHeight = last.bottom - last.top;
        if (itemHeight <= 0 || itemHeight >= area.bottom - last.bottom)
            return false;
        area.top = last.bottom;
        textTop = last.bottom + itemHeight;
    }

    const int saved = ::SaveDC(dc);
    if (HFONT font = GetItalicSmallCaptionFont())
        ::SelectObject(dc, font);
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_WINDOW));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, GetGreenColor());
    RECT text = area;
    text.top = textTop;
    if (text.right - text.left > kHintLeftIndent)
        text.left += kHintLeftIndent;
    text.right -= kHintMargin;
    text.bottom -= kHintMargin;
    const CString hint = BuildHintText();
    ::DrawTextW(dc, hint.GetString(), hint.GetLength(), &text, DT_RIGHT | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::RestoreDC(dc, saved);
    return true;
}

BOOL CFloatPaneListView::SetItemInfoTip(LPCWSTR text, int item)
{
    LVSETINFOTIP tip = {};
    tip.cbSize = sizeof(tip);
    tip.dwFlags = 0;
    tip.pszText = const_cast<LPWSTR>(text);
    tip.iItem = item;
    tip.iSubItem = 0;
    return static_cast<BOOL>(::SendMessageW(m_hWnd, LVM_SETINFOTIP, 0, reinterpret_cast<LPARAM>(&tip)));
}

HFONT CFloatPaneListView::GetDerivedFont(bool bold, bool italic, bool italic2)
{
    italic = italic || italic2;
    HFONT listFont = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    if (!bold && !italic)
        return listFont;
    GdiObject<HFONT>& slot = bold ? (italic ? m_boldItalicFont : m_boldFont) : m_italicFont;
    if (slot)
        return slot.get();
    LOGFONTW font = {};
    HGDIOBJ source = listFont ? static_cast<HGDIOBJ>(listFont) : ::GetStockObject(DEFAULT_GUI_FONT);
    if (!::GetObjectW(source, sizeof(font), &font))
        return nullptr;
    font.lfHeight = font.lfHeight < 0 ? font.lfHeight - kFontGrowth : font.lfHeight + kFontGrowth;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    if (italic)
        font.lfItalic = font.lfItalic ? FALSE : TRUE;
    slot.Reset(::CreateFontIndirectW(&font));
    return slot.get();
}

int CFloatPaneListView::SetTipAutoPopTime(int ms)
{
    if (ms == m_autoPopTime)
        return 1;
    HWND tip = GetToolTip();
    if (!tip)
        return 0;
    ::SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(ms, 0));
    if (static_cast<int>(::SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0)) != ms)
        return 0;
    m_autoPopTime = ms;
    return 1;
}

void CFloatPaneListView::SetTipTitle(int item, LPCWSTR title, HICON icon)
{
    m_tipItem = item;
    if (!title || !*title)
        return;
    HWND tip = GetToolTip();
    if (!tip)
        return;
    ::SendMessageW(tip, TTM_SETTIPTEXTCOLOR, ::GetSysColor(COLOR_INFOTEXT), 0);
    m_titleIcon.Reset(icon);
    ::SendMessageW(tip, TTM_SETTITLEW, reinterpret_cast<WPARAM>(icon), reinterpret_cast<LPARAM>(title));
}

void CFloatPaneListView::RedrawVisibleItems()
{
    const int top = ListView_GetTopIndex(m_hWnd);
    const int perPage = ListView_GetCountPerPage(m_hWnd);
    if (top < 0 || perPage < 0)
        return;
    ListView_RedrawItems(m_hWnd, top, top + perPage);
}

void CFloatPaneListView::RefreshHotItemTip()
{
    HWND tip = GetToolTip();
    if (tip)
        ::SendMessageW(tip, TTM_POP, 0, 0);
    const int hot = ListView_GetHotItem(m_hWnd);
    if (hot < 0)
        return; // no hot item: a made-up mouse move would only start a false hover
    ListView_SetHotItem(m_hWnd, hot > 0 ? hot - 1 : 1);
    RECT rect = ItemBounds(m_hWnd, hot);
    const LPARAM centre = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::PostMessageW(m_hWnd, WM_MOUSEMOVE, 0, centre);
    if (tip) {
        MSG relay = {};
        relay.hwnd = m_hWnd;
        relay.message = WM_MOUSEMOVE;
        relay.lParam = centre;
        relay.time = static_cast<DWORD>(::GetMessageTime());
        ::SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
    }
    ListView_SetHotItem(m_hWnd, hot);
}

int CFloatPaneListView::SelectAllItems()
{
    const int count = ListView_GetItemCount(m_hWnd);
    for (int i = 0; i < count; ++i)
        ListView_SetItemState(m_hWnd, i, LVIS_SELECTED, LVIS_SELECTED);
    return count;
}

RECT CFloatPaneListView::GetEmptyAreaRect() const
{
    RECT area = {};
    ::GetClientRect(m_hWnd, &area);
    const int count = ListView_GetItemCount(m_hWnd);
    if (count > 0) {
        const RECT last = ItemBounds(m_hWnd, count - 1);
        if (last.bottom > area.top)
            area.top = last.bottom < area.bottom ? last.bottom : area.bottom;
    }
    return area;
}

bool CFloatPaneListView::IsPointInEmptyArea(POINT screenPoint) const
{
    ::ScreenToClient(m_hWnd, &screenPoint);
    const RECT area = GetEmptyAreaRect();
    return ::PtInRect(&area, screenPoint) != FALSE;
}

LRESULT CFloatPaneListView::SetVirtualItemCount(int count, int itemToDelete)
{
    if (!::IsWindow(m_hWnd))
        return 0;
    if (HWND tip = GetToolTip())
        ::SendMessageW(tip, TTM_POP, 0, 0);
    if (itemToDelete >= 0 && ListView_GetItemCount(m_hWnd) > 0)
        ListView_DeleteItem(m_hWnd, itemToDelete);
    const LRESULT result = ::SendMessageW(m_hWnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
    RedrawVisibleItems();
    RefreshHotItemTip();
    return result;
}
