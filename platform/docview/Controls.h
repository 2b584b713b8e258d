#pragma once
// Thin wrappers of the common controls: a window handle and the control's messages as member
// functions. They own nothing (the image list and the menu wrappers excepted, see there) and may be
// made on any handle: CTreeCtrl tree(GetDlgItem(hWnd, 1243)); tree.Expand(item, TVE_EXPAND).

#include <windows.h>

#include <commctrl.h>
#include <richedit.h>
#include <unknwn.h>

#include "platform/CString.h"
#include "platform/CWindow.h"

class CTreeCtrl : public CWindow
{
public:
    CTreeCtrl(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    HTREEITEM InsertItem(LPCWSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST,
                         LPARAM data = 0, int image = 0, int selectedImage = 0)
    {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = const_cast<LPWSTR>(text);
        insert.item.lParam = data;
        insert.item.iImage = image;
        insert.item.iSelectedImage = selectedImage;
        return reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    BOOL DeleteItem(HTREEITEM item)
    {
        return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, LParam(item)));
    }
    BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }

    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, LParam(item)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PREVIOUS); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    BOOL ItemHasChildren(HTREEITEM item) const { return GetChildItem(item) != nullptr; }

    BOOL Select(HTREEITEM item, UINT code)
    {
        return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, code, LParam(item)));
    }
    BOOL SelectItem(HTREEITEM item) { return Select(item, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM item) { return Select(item, TVGN_DROPHILITE); }
    BOOL Expand(HTREEITEM item, UINT code)
    {
        return static_cast<BOOL>(SendMessage(TVM_EXPAND, code, LParam(item)));
    }
    BOOL EnsureVisible(HTREEITEM item)
    {
        return static_cast<BOOL>(SendMessage(TVM_ENSUREVISIBLE, 0, LParam(item)));
    }
    HTREEITEM HitTest(POINT point, UINT* flags = nullptr) const
    {
        TVHITTESTINFO info{};
        info.pt = point;
        auto item = reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
        if (flags)
            *flags = info.flags;
        return item;
    }
    BOOL GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const
    {
        *reinterpret_cast<HTREEITEM*>(rect) = item;
        return static_cast<BOOL>(SendMessage(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rect)));
    }

    CString GetItemText(HTREEITEM item) const
    {
        wchar_t buffer[1025] = {};
        TVITEMW tvItem = Item(item, TVIF_TEXT);
        tvItem.pszText = buffer;
        tvItem.cchTextMax = static_cast<int>(sizeof(buffer) / sizeof(buffer[0]));
        SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvItem));
        return buffer;
    }
    BOOL SetItemText(HTREEITEM item, LPCWSTR text)
    {
        TVITEMW tvItem = Item(item, TVIF_TEXT);
        tvItem.pszText = const_cast<LPWSTR>(text);
        return SetItem(tvItem);
    }
    LPARAM GetItemData(HTREEITEM item) const
    {
        TVITEMW tvItem = Item(item, TVIF_PARAM);
        return SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvItem)) ? tvItem.lParam : 0;
    }
    BOOL SetItemData(HTREEITEM item, LPARAM data)
    {
        TVITEMW tvItem = Item(item, TVIF_PARAM);
        tvItem.lParam = data;
        return SetItem(tvItem);
    }
    BOOL SetItemImage(HTREEITEM item, int image, int selectedImage)
    {
        TVITEMW tvItem = Item(item, TVIF_IMAGE | TVIF_SELECTEDIMAGE);
        tvItem.iImage = image;
        tvItem.iSelectedImage = selectedImage;
        return SetItem(tvItem);
    }
    UINT GetItemState(HTREEITEM item, UINT mask) const
    {
        return static_cast<UINT>(SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
    }
    BOOL SetItemState(HTREEITEM item, UINT state, UINT mask)
    {
        TVITEMW tvItem = Item(item, TVIF_STATE);
        tvItem.state = state;
        tvItem.stateMask = mask;
        return SetItem(tvItem);
    }
    // Check boxes (TVS_CHECKBOXES): state image 2 is checked, 1 unchecked.
    BOOL GetCheck(HTREEITEM item) const { return (GetItemState(item, TVIS_STATEIMAGEMASK) >> 12) == 2; }
    BOOL SetCheck(HTREEITEM item, BOOL check)
    {
        return SetItemState(item, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), TVIS_STATEIMAGEMASK);
    }
    BOOL SetItemBold(HTREEITEM item, BOOL bold)
    {
        return SetItemState(item, bold ? TVIS_BOLD : 0, TVIS_BOLD);
    }
    BOOL SetItemCut(HTREEITEM item, BOOL cut) { return SetItemState(item, cut ? TVIS_CUT : 0, TVIS_CUT); }

    BOOL SetInsertMark(HTREEITEM item, BOOL after = TRUE)
    {
        return static_cast<BOOL>(SendMessage(TVM_SETINSERTMARK, after, LParam(item)));
    }
    COLORREF SetInsertMarkColor(COLORREF color)
    {
        return static_cast<COLORREF>(SendMessage(TVM_SETINSERTMARKCOLOR, 0, color));
    }
    HIMAGELIST CreateDragImage(HTREEITEM item)
    {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_CREATEDRAGIMAGE, 0, LParam(item)));
    }
    HIMAGELIST SetImageList(HIMAGELIST list, int kind = TVSIL_NORMAL)
    {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(TVM_SETIMAGELIST, kind, reinterpret_cast<LPARAM>(list)));
    }
    BOOL SortChildrenCB(HTREEITEM parent, PFNTVCOMPARE compare, LPARAM data)
    {
        TVSORTCB sort{parent, compare, data};
        return static_cast<BOOL>(SendMessage(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort)));
    }
    HWND EditLabel(HTREEITEM item)
    {
        return reinterpret_cast<HWND>(SendMessage(TVM_EDITLABELW, 0, LParam(item)));
    }
    HWND GetEditControl() const { return reinterpret_cast<HWND>(SendMessage(TVM_GETEDITCONTROL)); }

private:
    static LPARAM LParam(HTREEITEM item) { return reinterpret_cast<LPARAM>(item); }
    static TVITEMW Item(HTREEITEM item, UINT mask)
    {
        TVITEMW tvItem{};
        tvItem.hItem = item;
        tvItem.mask = mask;
        return tvItem;
    }
    BOOL SetItem(TVITEMW& item)
    {
        return static_cast<BOOL>(SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
};

class CListCtrl : public CWindow
{
public:
    CListCtrl(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    int InsertColumn(int index, LPCWSTR heading, int width)
    {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<LPWSTR>(heading);
        column.cx = width;
        return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
    }
    int InsertItem(int index, LPCWSTR text, int image = 0, LPARAM data = 0)
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = index;
        item.pszText = const_cast<LPWSTR>(text);
        item.iImage = image;
        item.lParam = data;
        return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    BOOL SetItemText(int index, int subItem, LPCWSTR text)
    {
        LVITEMW item{};
        item.iSubItem = subItem;
        item.pszText = const_cast<LPWSTR>(text);
        return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
    }
    CString GetItemText(int index, int subItem) const
    {
        wchar_t buffer[1025] = {};
        LVITEMW item{};
        item.iSubItem = subItem;
        item.pszText = buffer;
        item.cchTextMax = static_cast<int>(sizeof(buffer) / sizeof(buffer[0]));
        SendMessage(LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    LPARAM GetItemData(int index) const
    {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        return SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
    }
    BOOL SetItemData(int index, LPARAM data)
    {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        item.lParam = data;
        return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    BOOL DeleteItem(int index) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, index)); }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    int GetNextItem(int start, UINT flags) const
    {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, start, flags));
    }
    int GetSelectedItem() const { return GetNextItem(-1, LVNI_SELECTED); }
    BOOL SetItemState(int index, UINT state, UINT mask)
    {
        LVITEMW item{};
        item.state = state;
        item.stateMask = mask;
        return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item)));
    }
    UINT GetItemState(int index, UINT mask) const
    {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, index, mask));
    }
    // Check boxes (LVS_EX_CHECKBOXES): state image 2 is checked.
    BOOL GetCheck(int index) const { return (GetItemState(index, LVIS_STATEIMAGEMASK) >> 12) == 2; }
    BOOL SetCheck(int index, BOOL check)
    {
        return SetItemState(index, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
    }
    DWORD SetExtendedStyle(DWORD style)
    {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
    }
    HIMAGELIST SetImageList(HIMAGELIST list, int kind)
    {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(LVM_SETIMAGELIST, kind, reinterpret_cast<LPARAM>(list)));
    }
    BOOL EnsureVisible(int index, BOOL partialOk)
    {
        return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, index, partialOk));
    }
};

class CTabCtrl : public CWindow
{
public:
    CTabCtrl(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    int InsertItem(int index, LPCWSTR text, LPARAM data = 0)
    {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<LPWSTR>(text);
        item.lParam = data;
        return static_cast<int>(SendMessage(TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)));
    }
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(TCM_SETCURSEL, index)); }
    BOOL GetItemRect(int index, RECT* rect) const
    {
        return static_cast<BOOL>(SendMessage(TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(rect)));
    }
    int HitTest(POINT point) const
    {
        TCHITTESTINFO info{point, 0};
        return static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS)); }
};

class CRichEditCtrl : public CWindow
{
public:
    CRichEditCtrl(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    DWORD GetEventMask() const { return static_cast<DWORD>(SendMessage(EM_GETEVENTMASK)); }
    DWORD SetEventMask(DWORD mask) { return static_cast<DWORD>(SendMessage(EM_SETEVENTMASK, 0, mask)); }
    BOOL SetReadOnly(BOOL readOnly = TRUE)
    {
        return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly));
    }
    COLORREF SetBackgroundColor(BOOL system, COLORREF color)
    {
        return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, system, color));
    }
    void GetSel(CHARRANGE& range) const { SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range)); }
    void SetSel(LONG start, LONG end)
    {
        CHARRANGE range{start, end};
        SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    void ReplaceSel(LPCWSTR text, BOOL canUndo = FALSE)
    {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    BOOL CanUndo() const { return static_cast<BOOL>(SendMessage(EM_CANUNDO)); }
    BOOL Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO)); }
    BOOL Redo() { return static_cast<BOOL>(SendMessage(EM_REDO)); }
    void Cut() { SendMessage(WM_CUT); }
    void Copy() { SendMessage(WM_COPY); }
    void Paste() { SendMessage(WM_PASTE); }
    void Clear() { SendMessage(WM_CLEAR); }
    LONG StreamIn(int format, EDITSTREAM& stream)
    {
        return static_cast<LONG>(SendMessage(EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream)));
    }
    LONG StreamOut(int format, EDITSTREAM& stream)
    {
        return static_cast<LONG>(SendMessage(EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream)));
    }
    DWORD GetSelectionCharFormat(CHARFORMAT2W& format) const
    {
        format.cbSize = sizeof(format);
        return static_cast<DWORD>(
            SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format)));
    }
    BOOL SetSelectionCharFormat(CHARFORMAT2W& format)
    {
        format.cbSize = sizeof(format);
        return static_cast<BOOL>(
            SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format)));
    }
    BOOL GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, modified); }
    void SetOptions(WORD operation, DWORD flags) { SendMessage(EM_SETOPTIONS, operation, flags); }
    void GetRect(RECT* rect) const { SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(rect)); }
    void SetRect(const RECT* rect) { SendMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(rect)); }
    int CharFromPos(POINT point) const
    {
        POINTL where{point.x, point.y};
        return static_cast<int>(SendMessage(EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&where)));
    }
    POINT PosFromChar(LONG index) const
    {
        POINTL where{};
        SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&where), index);
        return POINT{where.x, where.y};
    }
    LONG FindText(DWORD flags, FINDTEXTEXW& find) const
    {
        return static_cast<LONG>(SendMessage(EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&find)));
    }
    LONG FindWordBreak(UINT code, LONG start) const
    {
        return static_cast<LONG>(SendMessage(EM_FINDWORDBREAK, code, start));
    }
    void LimitText(LONG limit) { SendMessage(EM_EXLIMITTEXT, 0, limit); }
    // The control's text object model (the caller releases it); null when the control has none.
    IUnknown* GetOleInterface() const
    {
        IUnknown* ole = nullptr;
        return SendMessage(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) ? ole : nullptr;
    }
};

class CComboBox : public CWindow
{
public:
    CComboBox(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    int AddString(LPCWSTR text)
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
    LPARAM GetItemData(int index) const { return SendMessage(CB_GETITEMDATA, index); }
    int SetItemData(int index, LPARAM data)
    {
        return static_cast<int>(SendMessage(CB_SETITEMDATA, index, data));
    }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int SetDroppedWidth(int width) { return static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, width)); }
    void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, show); }
};

class CSpinButtonCtrl : public CWindow
{
public:
    CSpinButtonCtrl(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    void SetRange32(int lower, int upper) { SendMessage(UDM_SETRANGE32, lower, upper); }
    void GetRange32(int& lower, int& upper) const
    {
        SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    }
    int SetPos32(int position) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, position)); }
    int GetPos32() const { return static_cast<int>(SendMessage(UDM_GETPOS32)); }
    HWND SetBuddy(HWND buddy)
    {
        return reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy)));
    }
};

class CButton : public CWindow
{
public:
    CButton(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, check); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
};

class CEdit : public CWindow
{
public:
    CEdit(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    void SetSel(int start, int end) { SendMessage(EM_SETSEL, start, end); }
    void ReplaceSel(LPCWSTR text, BOOL canUndo = FALSE)
    {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    void LimitText(int limit) { SendMessage(EM_LIMITTEXT, limit); }
    BOOL SetReadOnly(BOOL readOnly = TRUE)
    {
        return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly));
    }
};

class CStatic : public CWindow
{
public:
    CStatic(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    HICON SetIcon(HICON icon)
    {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
    HBITMAP SetBitmap(HBITMAP bitmap)
    {
        return reinterpret_cast<HBITMAP>(
            SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
};

class CToolTipCtrl : public CWindow
{
public:
    CToolTipCtrl(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}

    // A tool for a whole window, its text asked for on demand unless one is given.
    BOOL AddWindowTool(HWND owner, HWND tool, LPCWSTR text = LPSTR_TEXTCALLBACKW)
    {
        TOOLINFOW info{};
        info.cbSize = sizeof(info);
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = owner;
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        info.lpszText = const_cast<LPWSTR>(text);
        return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
    }
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }
    void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
    int SetMaxTipWidth(int width) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width)); }
    void SetDelayTime(DWORD kind, int milliseconds) { SendMessage(TTM_SETDELAYTIME, kind, milliseconds); }
};

// Owns the image list (destroyed with the wrapper) unless it is detached.
class CImageList
{
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow)
    {
        DeleteImageList();
        m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    void DeleteImageList()
    {
        if (m_hImageList)
            ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }
    HIMAGELIST Detach()
    {
        HIMAGELIST list = m_hImageList;
        m_hImageList = nullptr;
        return list;
    }
    operator HIMAGELIST() const { return m_hImageList; }
    int Add(HICON icon) { return ImageList_AddIcon(m_hImageList, icon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    COLORREF SetBkColor(COLORREF color) { return ImageList_SetBkColor(m_hImageList, color); }

    HIMAGELIST m_hImageList = nullptr;
};

// Owns the menu (destroyed with the wrapper) unless it is detached; system menus are never owned.
class CMenu
{
public:
    CMenu() = default;
    explicit CMenu(HMENU menu, bool owned = false) : m_hMenu(menu), m_owned(owned) {}
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL CreatePopupMenu() { return Own(::CreatePopupMenu()); }
    BOOL LoadMenu(UINT id, HINSTANCE module = nullptr)
    {
        return Own(::LoadMenuW(module ? module : ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
    }
    void DestroyMenu()
    {
        if (m_hMenu && m_owned)
            ::DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
        m_owned = false;
    }
    HMENU Detach()
    {
        HMENU menu = m_hMenu;
        m_hMenu = nullptr;
        m_owned = false;
        return menu;
    }
    operator HMENU() const { return m_hMenu; }

    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, LPCWSTR text = nullptr)
    {
        return ::AppendMenuW(m_hMenu, flags, id, text);
    }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }
    UINT EnableMenuItem(UINT id, UINT enable) { return ::EnableMenuItem(m_hMenu, id, enable); }
    DWORD CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }
    CString GetMenuString(UINT id, UINT flags) const
    {
        wchar_t buffer[512] = {};
        ::GetMenuStringW(m_hMenu, id, buffer, 512, flags);
        return buffer;
    }
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner) const
    {
        return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, nullptr);
    }
    // The window's system menu, not owned.
    static HMENU GetSystemMenu(HWND window, BOOL revert = FALSE) { return ::GetSystemMenu(window, revert); }

    HMENU m_hMenu = nullptr;

private:
    BOOL Own(HMENU menu)
    {
        DestroyMenu();
        m_hMenu = menu;
        m_owned = menu != nullptr;
        return m_owned;
    }

    bool m_owned = false;
};
