#include "menus/floatpane/FloatPaneSaveDialogHook.h"

#include <commdlg.h>

namespace
{
HICON LoadProgramIcon(UINT id, int size)
{
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED));
}
} // namespace

void PrepareSaveDialogWindow(HWND dialog, UINT iconId)
{
    if (!::IsWindow(dialog))
        return;
    const LONG_PTR style = ::GetWindowLongPtrW(dialog, GWL_EXSTYLE);
    ::SetWindowLongPtrW(dialog, GWL_EXSTYLE, style | WS_EX_APPWINDOW);
    if (HICON bigIcon = LoadProgramIcon(iconId, ::GetSystemMetrics(SM_CXICON)))
        ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    if (HICON smallIcon = LoadProgramIcon(iconId, ::GetSystemMetrics(SM_CXSMICON)))
        ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

UINT_PTR CALLBACK FloatPaneSaveDialogHook(HWND hookWindow, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return 0;
    const auto* dialog = reinterpret_cast<const OPENFILENAMEW*>(lParam);
    const UINT iconId = dialog && dialog->lCustData ? static_cast<UINT>(dialog->lCustData) : kPaneIconNormal;
    HWND parent = ::GetParent(hookWindow);
    PrepareSaveDialogWindow(parent ? parent : hookWindow, iconId);
    return 0;
}
