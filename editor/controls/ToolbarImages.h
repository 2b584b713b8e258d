#pragma once
// Image lists of the editor's toolbars: 16 x 16, 32-bit colour with mask, filled from icon
// resources of the program or from shell icons; destroyed with the holder.

#include <windows.h>

#include <commctrl.h>

class ToolbarImages
{
public:
    ToolbarImages() = default;
    ~ToolbarImages() { Reset(); }
    ToolbarImages(const ToolbarImages&) = delete;
    ToolbarImages& operator=(const ToolbarImages&) = delete;

    // A new list for `initial` images with the background colour (a system colour index).
    bool Create(int initial, int backgroundColorIndex);
    void Reset();
    // The image index of the icon, -1 when there is no icon or it cannot be added. A resource that
    // is missing gets a blank image so that later positions keep their indexes.
    int AddResourceIcon(UINT id);
    int AddIcon(HICON icon);
    // Replaces the image at `index` by the resource icon; false when that fails.
    bool ReplaceWithResourceIcon(int index, UINT id);
    HIMAGELIST Get() const { return m_list; }

private:
    HIMAGELIST m_list = nullptr;
};

// The small shell icon of a file type (for instance ".txt"); the caller destroys it. Null when none.
HICON LoadShellFileTypeIcon(const wchar_t* extension);
