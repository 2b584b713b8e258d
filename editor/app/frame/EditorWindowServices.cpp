#include "editor/app/frame/EditorWindowServices.h"

#include "common/LanguageFile.h"
#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"
#include "editor/app/EditorServices.h"
#include "editor/controls/EditorLook.h"
#include "editor/controls/EditorSettings.h"

#include <richedit.h>

namespace
{
constexpr int kRichEditMargin = 10;
constexpr int kFormatRectTopOffset = 7;
} // namespace

bool SetupRichEditMargins(HWND edit)
{
    if (!::IsWindow(edit))
        return false;
    ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetDialogFont()), FALSE);
    ::SendMessageW(edit, EM_SETOPTIONS, ECOOP_OR,
                   ECO_AUTOWORDSELECTION | ECO_AUTOVSCROLL | ECO_NOHIDESEL | ECO_SELECTIONBAR);
    ::SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                   MAKELPARAM(kRichEditMargin, kRichEditMargin));
    RECT rect{};
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    rect.top += kFormatRectTopOffset;
    ::SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return true;
}

bool SetComboDropWidth(HWND combo, int percent)
{
    RECT rect{};
    if (!::GetWindowRect(combo, &rect) || ::IsRectEmpty(&rect))
        return false;
    const int width = ::MulDiv(rect.right - rect.left, percent, 100);
    return ::SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0) != CB_ERR;
}

WORD GetKeyboardLayoutOf(HWND window)
{
    const DWORD thread = ::IsWindow(window) ? ::GetWindowThreadProcessId(window, nullptr) : 0;
    return LOWORD(reinterpret_cast<UINT_PTR>(::GetKeyboardLayout(thread)));
}

LCID GetKeyboardLocaleOf(HWND window)
{
    return MAKELCID(GetKeyboardLayoutOf(window), SORT_DEFAULT);
}

HFONT CreateBoldWindowFont(HWND window)
{
    auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    if (!font)
        return nullptr;
    FontDerivation bold;
    bold.weight = 1;
    return DeriveFont(font, bold);
}

bool IsRunningAsAdmin()
{
    bool member = false;
    return IsUserInAdminGroup(member) && member;
}

bool IsRuUrlsLanguageFile(const CString& fileName)
{
    if (fileName.IsEmpty())
        return false;
    const CString path = fileName.Find(L'\\') >= 0 ? fileName : GetProgramFolder() + fileName;
    return IsRuLanguagePrefix(path);
}

bool IsRuUrlsLanguage()
{
    return IsRuUrlsLanguageFile(GetEditorSettings().GetLanguageFileName());
}
