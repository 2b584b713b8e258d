#include "online/EditorIcons.h"

#include "common/IconHelpers.h"
#include "common/WellKnownNames.h"

#include <shellapi.h>

#include <iterator>

HMODULE LoadEditorExeAsDataFile()
{
    return ::LoadLibraryExW(GetEditorExePath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

HICON LoadEditorIcon(int kind, HMODULE module)
{
    static const WORD kIcons[] = {160, 163, 164};
    if (module == nullptr || kind < 0 || kind >= static_cast<int>(std::size(kIcons)))
        return nullptr;
    return ::LoadIconW(module, MAKEINTRESOURCEW(kIcons[kind]));
}

HICON GetTxtFileSmallIcon()
{
    return GetFileTypeIcon(L".txt", false);
}
