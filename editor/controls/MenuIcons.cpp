#include "editor/controls/MenuIcons.h"

#include "common/GdiObjectGuards.h"

namespace
{
constexpr int kMenuBitmapSize = 16;
} // namespace

HBITMAP IconToMenuBitmap(HICON icon, HBRUSH brush)
{
    if (!icon)
        return nullptr;
    WindowDC screen;
    if (!screen)
        return nullptr;
    MemoryDC memory(screen.get());
    GdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.get(), kMenuBitmapSize, kMenuBitmapSize));
    if (!memory || !bitmap)
        return nullptr;
    {
        SelectedObject selected(memory.get(), bitmap.get());
        const RECT rect = {0, 0, kMenuBitmapSize, kMenuBitmapSize};
        if (brush)
            ::FillRect(memory.get(), &rect, brush);
        ::DrawIconEx(memory.get(), 0, 0, icon, kMenuBitmapSize, kMenuBitmapSize, 0, nullptr, DI_NORMAL);
    }
    return bitmap.Release();
}

HBITMAP IconToMenuBackgroundBitmap(HICON icon)
{
    return IconToMenuBitmap(icon, ::GetSysColorBrush(COLOR_MENU));
}

bool SetMenuCommandBitmap(HMENU menu, UINT command, HBITMAP bitmap)
{
    return ::SetMenuItemBitmaps(menu, command, MF_BYCOMMAND, bitmap, bitmap) != FALSE;
}
