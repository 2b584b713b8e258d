#include "editor/controls/ToolbarImages.h"

#include <shellapi.h>

namespace
{

HICON LoadSmallResourceIcon(UINT id)
{
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
}

} // namespace

bool ToolbarImages::Create(int initial, int backgroundColorIndex)
{
    Reset();
    m_list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, initial, 1);
    if (m_list)
        ImageList_SetBkColor(m_list, ::GetSysColor(backgroundColorIndex));
    return m_list != nullptr;
}

void ToolbarImages::Reset()
{
    if (m_list)
        ImageList_Destroy(m_list);
    m_list = nullptr;
}

int ToolbarImages::AddResourceIcon(UINT id)
{
    HICON icon = LoadSmallResourceIcon(id);
    if (!icon)
        icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    const int index = AddIcon(icon);
    ::DestroyIcon(icon);
    return index;
}

int ToolbarImages::AddIcon(HICON icon)
{
    if (!m_list || !icon)
        return -1;
    return ImageList_AddIcon(m_list, icon);
}

bool ToolbarImages::ReplaceWithResourceIcon(int index, UINT id)
{
    HICON icon = LoadSmallResourceIcon(id);
    if (!m_list || !icon)
        return false;
    const bool replaced = ImageList_ReplaceIcon(m_list, index, icon) >= 0;
    ::DestroyIcon(icon);
    return replaced;
}

HICON LoadShellFileTypeIcon(const wchar_t* extension)
{
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(extension, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                          SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        return nullptr;
    return info.hIcon;
}
