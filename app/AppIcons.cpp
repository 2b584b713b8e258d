#include "app/AppIcons.h"

#include "app/AppObjects.h"
#include "common/DefaultBrowser.h"
#include "common/IconHelpers.h"
#include "common/PathFunctions.h"
#include "common/WellKnownNames.h"

#include <shlobj.h>

namespace
{
constexpr UINT kIconDefaultApp = 201;

HMODULE OwnModule()
{
    return ::GetModuleHandleW(nullptr);
}

HICON IconOfExistingFile(const CString& path)
{
    return !path.IsEmpty() && FileExists(path) ? GetPathIcon(path, false) : nullptr;
}

CString SpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    return ::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) ? CString(path) : CString();
}

HICON IconOfFolder(const CString& folder)
{
    if (folder.IsEmpty() || !FolderExists(folder))
        return nullptr;
    if (HICON large = GetPathIcon(folder, false))
        return large;
    return GetFileTypeIcon(folder, false);
}
} // namespace

HICON LoadAppIcon(int flag)
{
    const UINT id = flag == 0 ? kIconDefaultApp : CAppObjects::GetAppIconId();
    return LoadIconSized(OwnModule(), id, ::GetSystemMetrics(SM_CXICON));
}

HICON LoadSmallIconResource(UINT id)
{
    return LoadIconSmall(OwnModule(), id);
}

HICON LoadIconResourceBestSize(UINT id)
{
    if (id == 234 || id == 211) {
        if (HICON icon = LoadIconSized(OwnModule(), id, 16))
            return icon;
    }
    if (HICON icon = LoadIconSized(OwnModule(), id, 32))
        return icon;
    if (HICON icon = LoadIconSized(OwnModule(), id, 16))
        return icon;
    // A shared icon: hand out a copy the caller may destroy.
    HICON shared = ::LoadIconW(OwnModule(), MAKEINTRESOURCEW(id));
    return shared ? ::CopyIcon(shared) : nullptr;
}

HICON GetEditorProgramIcon()
{
    return IconOfExistingFile(GetEditorExePath());
}

HICON GetWelcomeProgramIcon()
{
    return IconOfExistingFile(GetWelcomeExePath());
}

HICON GetNotepadIcon()
{
    wchar_t system[MAX_PATH] = {};
    if (::GetSystemDirectoryW(system, MAX_PATH) > 0) {
        if (HICON icon = IconOfExistingFile(AddTrailingBackslash(system) + L"Notepad.exe"))
            return icon;
    }
    return IconOfExistingFile(GetOpenCommandExeForExtension(L".txt"));
}

HICON GetVideoFolderIcon()
{
    if (HICON icon = IconOfFolder(SpecialFolder(CSIDL_MYVIDEO)))
        return icon;
    if (HICON icon = IconOfFolder(SpecialFolder(CSIDL_COMMON_VIDEO)))
        return icon;
    return GetFileTypeIcon(L".avi", false);
}
