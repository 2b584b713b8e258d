#include "menus/phrasemenu/MenuItemDrawInfo.h"

#include <cwchar>

namespace
{
constexpr int kPreviewMaxChars = 70;

// Copies at most kFieldChars - 1 characters into the field.
bool CopyField(wchar_t (&field)[MenuItemDrawInfo::kFieldChars], LPCWSTR source)
{
    if (!source)
        return false;
    if (source >= field && source < field + MenuItemDrawInfo::kFieldChars)
        return false;
    if (*source == L'\0')
        return true;
    ::lstrcpynW(field, source, MenuItemDrawInfo::kFieldChars);
    return true;
}

MENUITEMINFOW DataInfo()
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    return info;
}

MenuItemDrawInfo* ReadItemData(HMENU menu, UINT item, BOOL byPosition)
{
    if (!menu)
        return nullptr;
    MENUITEMINFOW info = DataInfo();
    if (!::GetMenuItemInfoW(menu, item, byPosition, &info))
        return nullptr;
    return reinterpret_cast<MenuItemDrawInfo*>(info.dwItemData);
}

void ClearItemData(HMENU menu, int position)
{
    MENUITEMINFOW info = DataInfo();
    info.dwItemData = 0;
    ::SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
}
} // namespace

MenuItemDrawInfo::MenuItemDrawInfo()
{
    std::wmemset(text, 0, kFieldChars);
    std::wmemset(rightText, 0, kFieldChars);
    std::wmemset(commandText, 0, kFieldChars);
}

MenuItemDrawInfo::MenuItemDrawInfo(LPCWSTR caption, int type, int id) : MenuItemDrawInfo()
{
    SetText(caption);
    dataType = type;
    commandId = id;
}

void MenuItemDrawInfo::SetToolTipText(const CString& tip)
{
    toolTipText = tip.GetLength() > kMaxToolTipChars ? tip.Left(kMaxToolTipChars) : tip;
}

bool MenuItemDrawInfo::SetText(LPCWSTR source)
{
    return CopyField(text, source);
}

bool MenuItemDrawInfo::SetRightText(LPCWSTR source)
{
    return CopyField(rightText, source);
}

bool MenuItemDrawInfo::SetCommandText(LPCWSTR source)
{
    return CopyField(commandText, source);
}

bool AttachMenuItemDrawInfo(HMENU menu, UINT item, bool byPosition, std::unique_ptr<MenuItemDrawInfo> record)
{
    if (!menu || !record)
        return false;
    MENUITEMINFOW info = DataInfo();
    info.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
    if (!::SetMenuItemInfoW(menu, item, byPosition ? TRUE : FALSE, &info))
        return false;
    record.release();
    return true;
}

MenuItemDrawInfo* GetMenuItemDrawInfo(HMENU menu, UINT commandId)
{
    return ReadItemData(menu, commandId, FALSE);
}

MenuItemDrawInfo* GetMenuItemDrawInfoByPosition(HMENU menu, int position)
{
    return position < 0 ? nullptr : ReadItemData(menu, static_cast<UINT>(position), TRUE);
}

void FreeMenuItemDrawInfos(HMENU menu)
{
    const int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (::GetMenuItemID(menu, position) == static_cast<UINT>(-1)) {
            if (HMENU subMenu = ::GetSubMenu(menu, position))
                FreeMenuItemDrawInfos(subMenu);
        }
        if (MenuItemDrawInfo* record = GetMenuItemDrawInfoByPosition(menu, position)) {
            ClearItemData(menu, position);
            delete record;
        }
    }
}

bool AppendSubMenuItem(HMENU subMenu, HMENU menu, const CString& caption, bool historyStyle, bool defaultMark)
{
    // An owner-drawn item takes lpNewItem as its data: none until the record is attached.
    if (!::AppendMenuW(menu, MF_OWNERDRAW | MF_POPUP, reinterpret_cast<UINT_PTR>(subMenu), nullptr))
        return false;
    const int position = ::GetMenuItemCount(menu) - 1;
    auto record = std::make_unique<MenuItemDrawInfo>();
    record->SetText(caption);
    record->flags = kMenuItemFlagSubMenu;
    record->historyStyle = historyStyle ? 1 : 0;
    record->defaultMark = defaultMark ? 1 : 0;
    record->row = position;
    AttachMenuItemDrawInfo(menu, static_cast<UINT>(position), true, std::move(record));
    return true;
}

CString GetSingleLinePreview(const MenuItemDrawInfo& info)
{
    CString line = info.preview;
    line.Trim(L"\r\n\t ");
    line.Replace(L"\n\n", L" ");
    line.Replace(L"\r\n", L" ");
    line.Replace(L"\r", L" ");
    line.Replace(L"\n", L" ");
    if (line.GetLength() > kPreviewMaxChars)
        line = line.Left(kPreviewMaxChars) + L"\u2026";
    return line;
}
