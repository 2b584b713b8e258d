#include "common/FolderBrowser.h"

#include "common/ComPtr.h"

#include <objbase.h>
#include <shlobj.h>

namespace
{

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data != 0)
        ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

} // namespace

CString BrowseForFolder(HWND owner, LPCWSTR startFolder, LPCWSTR title, bool newFolderButton, bool editBox)
{
    const ComApartment com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (!newFolderButton)
        info.ulFlags |= BIF_NONEWFOLDERBUTTON;
    if (editBox)
        info.ulFlags |= BIF_EDITBOX;
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(startFolder && *startFolder ? startFolder : nullptr);

    CString chosen;
    PIDLIST_ABSOLUTE list = ::SHBrowseForFolderW(&info);
    if (list) {
        wchar_t path[MAX_PATH] = {};
        if (::SHGetPathFromIDListW(list, path))
            chosen = path;
        ::CoTaskMemFree(list);
    }
    return chosen;
}
