#include "app/tray/AppIcons.h"

#include "app/AppObjects.h"
#include "common/DefaultBrowser.h"
#include "common/IconHelpers.h"
#include "common/PathFunctions.h"
#include "common/WellKnownNames.h"
#include "menus/tips/TrayTipIcons.h"
#include "online/EditorIcons.h"

#include <algorithm>
#include <iterator>

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

// The file's own small icon (an existing file).
HICON SmallIconOfExistingFile(const CString& path)
{
    if (path.IsEmpty() || !FileExists(path))
        return nullptr;
    SHFILEINFOW info = {};
    if (!::SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON))
        return nullptr;
    return info.hIcon;
}

CString SystemFilePath(const wchar_t* name)
{
    wchar_t system[MAX_PATH] = {};
    if (!name || ::GetSystemDirectoryW(system, MAX_PATH) == 0)
        return CString();
    return AddTrailingBackslash(system) + name;
}

// Icon resource `id` at 16 pixels of a file loaded as data.
HICON IconOfDataFile(const CString& path, UINT id)
{
    if (path.IsEmpty() || !FileExists(path))
        return nullptr;
    HMODULE module = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return nullptr;
    HICON icon = LoadIconSmall(module, id);
    ::FreeLibrary(module);
    return icon;
}

// Icon 160, 163 or 164 of the editor program's file; a copy the caller owns.
HICON EditorResourceIcon(UINT id)
{
    static const UINT kIds[] = {160, 163, 164};
    const auto found = std::find(std::begin(kIds), std::end(kIds), id);
    if (found == std::end(kIds))
        return nullptr;
    HMODULE module = LoadEditorExeAsDataFile();
    HICON shared = LoadEditorIcon(static_cast<int>(found - std::begin(kIds)), module);
    HICON icon = shared ? ::CopyIcon(shared) : nullptr;
    if (module)
        ::FreeLibrary(module);
    return icon;
}

HICON GreyIconResource(UINT id)
{
    HICON icon = LoadIconSmall(OwnModule(), id);
    if (!icon)
        return nullptr;
    HICON grey = CreateGrayscaleIcon(icon);
    ::DestroyIcon(icon);
    return grey;
}

HICON OpenWithProgramIcon()
{
    const CString program = GetOpenWithProgramForCurrentItem();
    return program.IsEmpty() ? nullptr : GetFileTypeIcon(program, false);
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
    if (HICON icon = IconOfExistingFile(SystemFilePath(L"Notepad.exe")))
        return icon;
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

HICON LoadTipIcon(const TipIconSource& source)
{
    const bool large = source.size > 16;
    switch (source.kind) {
    case TipIconKind::ProgramIcon:
        return LoadAppIcon(1);
    case TipIconKind::Resource:
        return LoadIconSized(OwnModule(), source.id, source.size);
    case TipIconKind::ResourceBestSize:
        return LoadIconResourceBestSize(source.id);
    case TipIconKind::GreyResource:
        return GreyIconResource(source.id);
    case TipIconKind::FileType:
        return GetFileTypeIcon(source.name, large);
    case TipIconKind::SystemFile:
        return large ? IconOfExistingFile(SystemFilePath(source.name))
                     : SmallIconOfExistingFile(SystemFilePath(source.name));
    case TipIconKind::SystemFileResource:
        return IconOfDataFile(SystemFilePath(source.name), source.id);
    case TipIconKind::EditorResource:
        return EditorResourceIcon(source.id);
    case TipIconKind::EditorProgram:
        return GetEditorProgramIcon();
    case TipIconKind::WelcomeProgram:
        return GetWelcomeProgramIcon();
    case TipIconKind::Notepad:
        return GetNotepadIcon();
    case TipIconKind::VideoFolder:
        return GetVideoFolderIcon();
    case TipIconKind::StockFolder:
        return GetStockFolderIcon(false, false);
    case TipIconKind::OpenWithProgram:
        return OpenWithProgramIcon();
    default:
        return nullptr;
    }
}
