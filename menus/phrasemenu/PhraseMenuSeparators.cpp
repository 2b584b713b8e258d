#include "menus/phrasemenu/PhraseMenuSeparators.h"

#include <memory>

#include "menus/phrasemenu/MenuItemDrawInfo.h"

namespace
{
int LastPosition(HMENU menu)
{
    return ::GetMenuItemCount(menu) - 1;
}

// Deletes the item at the position together with its record.
void DeleteItemAt(HMENU menu, int position)
{
    MenuItemDrawInfo* record = GetMenuItemDrawInfoByPosition(menu, position);
    if (::DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION))
        delete record;
}

bool AppendSeparatorWithCaption(HMENU menu, const CString& caption)
{
    // An owner-drawn item takes lpNewItem as its data: none until the record is attached.
    if (!::AppendMenuW(menu, MF_SEPARATOR | MF_OWNERDRAW, 0, nullptr))
        return false;
    const int position = LastPosition(menu);
    auto record = std::make_unique<MenuItemDrawInfo>();
    record->flags = kMenuItemFlagSeparator;
    record->SetRightText(caption);
    if (AttachMenuItemDrawInfo(menu, static_cast<UINT>(position), true, std::move(record)))
        return true;
    ::DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
    return false;
}
} // namespace

bool IsLastMenuItemSeparator(HMENU menu)
{
    const int position = LastPosition(menu);
    if (position < 0)
        return false;
    return ::GetMenuItemID(menu, position) == 0 && !::GetSubMenu(menu, position);
}

bool AppendSeparator(HMENU menu)
{
    return AppendSeparatorWithCaption(menu, CString());
}

bool AppendCaptionedSeparator(HMENU menu, const CString& caption)
{
    if (IsLastMenuItemSeparator(menu))
        DeleteItemAt(menu, LastPosition(menu));
    return AppendSeparatorWithCaption(menu, caption);
}

void DeleteTrailingSeparator(HMENU menu)
{
    if (IsLastMenuItemSeparator(menu))
        DeleteItemAt(menu, LastPosition(menu));
}
