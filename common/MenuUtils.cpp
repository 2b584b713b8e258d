#include "common/MenuUtils.h"

namespace
{
const UINT kSubMenuId = static_cast<UINT>(-1);
const wchar_t kEllipsis = L'\x2026';

CString MenuString(HMENU menu, UINT item, UINT flags, int maxChars)
{
    CString text;
    wchar_t* buffer = text.GetBuffer(maxChars + 1);
    const int length = ::GetMenuStringW(menu, item, buffer, maxChars + 1, flags);
    text.ReleaseBuffer(length > 0 ? length : 0);
    return text;
}

bool SubMenuHoldsRange(HMENU menu, UINT low, UINT high);

bool ItemMatchesRange(HMENU menu, int position, UINT low, UINT high)
{
    const UINT id = ::GetMenuItemID(menu, position);
    if (id == kSubMenuId)
        return SubMenuHoldsRange(::GetSubMenu(menu, position), low, high);
    return id >= low && id <= high;
}

bool SubMenuHoldsRange(HMENU menu, UINT low, UINT high)
{
    if (!menu)
        return false;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (ItemMatchesRange(menu, i, low, high))
            return true;
    }
    return false;
}
} // namespace

BOOL InsertMenuItemAt(HMENU menu, const wchar_t* text, UINT command, UINT position)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.wID = command;
    if (text && *text) {
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.fType = MFT_STRING;
        info.dwTypeData = const_cast<wchar_t*>(text);
    } else {
        info.fMask = MIIM_FTYPE | MIIM_ID;
        info.fType = MFT_SEPARATOR;
    }
    return ::InsertMenuItemW(menu, position, TRUE, &info);
}

int WalkMenuForCommand(HMENU menu, UINT command, MenuCommandCallback callback, void* data, bool intoSubMenus)
{
    if (!menu)
        return 0;
    bool found = false;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0)
            continue;
        if (id == kSubMenuId) {
            if (intoSubMenus && WalkMenuForCommand(::GetSubMenu(menu, i), command, callback, data, true))
                return 1;
            continue;
        }
        if (id != command)
            continue;
        found = true;
        if (!callback || !callback(menu, command, data))
            return 1;
    }
    return found ? 1 : 0;
}

bool MenuTreeHasCommand(HMENU menu, UINT command)
{
    return WalkMenuForCommand(menu, command, nullptr, nullptr, true) != 0;
}

int FindMenuItemPosition(HMENU menu, UINT command)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (::GetMenuItemID(menu, i) == command)
            return i;
    }
    return -1;
}

int FindTopMenuPosOfCommandRange(HMENU menu, UINT low, UINT high)
{
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (ItemMatchesRange(menu, i, low, high))
            return i;
    }
    return -1;
}

int FindTopMenuPosOfCommand(HMENU menu, UINT command)
{
    return FindTopMenuPosOfCommandRange(menu, command, command);
}

CString GetMenuItemTextByPos(HMENU menu, UINT position)
{
    CString text = MenuString(menu, position, MF_BYPOSITION, 259);
    text.Remove(L'&');
    return text;
}

CString GetMenuItemTextDeep(HMENU menu, UINT command)
{
    CString text = MenuString(menu, command, MF_BYCOMMAND, 999);
    text.TrimRight(kEllipsis);
    return text;
}

CString GetMenuItemCaption(HMENU menu, UINT command)
{
    CString text = GetMenuItemTextDeep(menu, command);
    if (text.IsEmpty())
        return text;
    const int tab = text.Find(L'\t');
    if (tab > 0)
        text.Truncate(tab);
    const wchar_t trailing[] = {L'.', kEllipsis, 0};
    text.TrimRight(trailing);
    return text;
}

bool SetMenuItemString(HMENU menu, const wchar_t* text, UINT item, bool byPosition)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text ? text : L"");
    info.cch = static_cast<UINT>(::lstrlenW(info.dwTypeData));
    return ::SetMenuItemInfoW(menu, item, byPosition, &info) != FALSE;
}

bool SetMenuItemText(const wchar_t* text, UINT command, HMENU menu)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text ? text : L"");
    return ::SetMenuItemInfoW(menu, command, FALSE, &info) == 1;
}

bool SetMenuItemRadioChecked(bool checked, UINT command, HMENU menu)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    info.fType = checked ? MFT_RADIOCHECK : 0;
    info.fState = checked ? MFS_CHECKED : 0;
    return ::SetMenuItemInfoW(menu, command, FALSE, &info) == 1;
}
