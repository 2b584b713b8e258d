#include "platform/CMessageMap.h"

namespace
{
// The control a notification came from, or null when the message is no control notification.
HWND NotifyingControl(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<LPNMHDR>(lParam)->hwndFrom : nullptr;
    case WM_PARENTNOTIFY:
        switch (LOWORD(wParam)) {
        case WM_CREATE:
        case WM_DESTROY:
            return reinterpret_cast<HWND>(lParam);
        default:
            return ::GetDlgItem(hWndParent, HIWORD(wParam));
        }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
        return item && item->CtlType != ODT_MENU ? ::GetDlgItem(hWndParent, static_cast<int>(item->CtlID))
                                                 : nullptr;
    }
    case WM_COMPAREITEM: {
        auto* item = reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam);
        return item ? item->hwndItem : nullptr;
    }
    case WM_DELETEITEM: {
        auto* item = reinterpret_cast<LPDELETEITEMSTRUCT>(lParam);
        return item ? item->hwndItem : nullptr;
    }
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}
} // namespace

LRESULT ReflectNotificationToChild(HWND hWndParent, UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    HWND child = NotifyingControl(hWndParent, uMsg, wParam, lParam);
    if (!child || !::IsWindow(child)) {
        bHandled = FALSE;
        return 1;
    }
    return ::SendMessageW(child, SCV_REFLECTED_BASE + uMsg, wParam, lParam);
}
