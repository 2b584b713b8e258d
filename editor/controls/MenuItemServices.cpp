#include "editor/controls/MenuItemServices.h"

#include "common/MenuUtils.h"

#include <memory>
#include <string>

namespace MenuItemServices
{

bool AttachMenuResource(CMenu& menu, UINT menuId, HMODULE module)
{
    menu.DestroyMenu();
    return menu.LoadMenu(menuId, module) != FALSE;
}

namespace
{

struct MenuDestroyer
{
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

MenuHandle LoadResourceMenu(UINT menuId, HMODULE module)
{
    return MenuHandle(LoadMenuW(module ? module : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId)));
}

// Depth first through the items of `source`; appends the first item with the command to `menu`.
bool CopyFromSubMenu(HMENU menu, UINT command, HMENU source)
{
    const int count = GetMenuItemCount(source);
    for (int position = 0; position < count; ++position) {
        const UINT id = GetMenuItemID(source, position);
        if (id == 0)
            continue;
        if (id == static_cast<UINT>(-1)) {
            HMENU sub = GetSubMenu(source, position);
            if (sub && CopyFromSubMenu(menu, command, sub))
                return true;
            continue;
        }
        if (id != command)
            continue;
        wchar_t text[1025] = {};
        GetMenuStringW(source, position, text, 1024, MF_BYPOSITION);
        return AppendMenuW(menu, MF_STRING, command, text) != FALSE;
    }
    return false;
}

} // namespace

int GetMenuItemString(HMENU menu, UINT item, CString& text, UINT flags)
{
    const int length = GetMenuStringW(menu, item, nullptr, 0, flags);
    if (length <= 0) {
        text.Empty();
        return length;
    }
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    GetMenuStringW(menu, item, buffer.data(), length + 1, flags);
    text = buffer.c_str();
    return length;
}

bool CopyMenuItemFromMenu(HMENU menu, UINT command, HMENU source)
{
    if (!menu || !source || MenuTreeHasCommand(menu, command))
        return false;
    return CopyFromSubMenu(menu, command, source);
}

bool AppendMenuItemFromResource(HMENU menu, UINT command, UINT menuId, HMODULE module)
{
    if (!menu || MenuTreeHasCommand(menu, command))
        return false;
    MenuHandle source = LoadResourceMenu(menuId, module);
    return source && CopyMenuItemFromMenu(menu, command, source.get());
}

CString LoadMenuItemText(UINT menuId, UINT command, HMODULE module)
{
    MenuHandle source = LoadResourceMenu(menuId, module);
    return source ? GetMenuItemTextDeep(source.get(), command) : CString();
}

bool SetMenuItemBitmap(HMENU menu, UINT command, HBITMAP bitmap)
{
    return SetMenuItemBitmaps(menu, command, MF_BYCOMMAND, bitmap, bitmap) != FALSE;
}

} // namespace MenuItemServices
