#include "common/BoldCheckBox.h"

#include <commctrl.h>

#include "common/GdiObjectGuards.h"

namespace
{
constexpr UINT_PTR kSubclassId = 0x5343424F; // one subclass per button

void ApplyFont(HWND button)
{
    const bool checked = (::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_CHECKED) != 0;
    HFONT font = checked ? GetBoldCheckBoxFont() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

LRESULT CALLBACK BoldCheckBoxProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR)
{
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(button, BoldCheckBoxProc, kSubclassId);
        return ::DefSubclassProc(button, message, wParam, lParam);
    }
    if (message != BM_SETCHECK)
        return ::DefSubclassProc(button, message, wParam, lParam);
    const LRESULT before = ::SendMessageW(button, BM_GETCHECK, 0, 0);
    const LRESULT result = ::DefSubclassProc(button, message, wParam, lParam);
    if (::SendMessageW(button, BM_GETCHECK, 0, 0) != before)
        ApplyFont(button);
    return result;
}
} // namespace

HFONT GetBoldCheckBoxFont()
{
    thread_local GdiObject<HFONT> bold;
    if (bold && ::GetObjectType(bold.get()) == OBJ_FONT)
        return bold.get();
    bold.Release(); // an invalid handle is not deleted again
    LOGFONTW description{};
    if (!::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description))
        return nullptr;
    description.lfWeight = FW_BOLD;
    bold.Reset(::CreateFontIndirectW(&description));
    return bold.get();
}

bool SubclassBoldCheckBox(HWND button)
{
    if (!::IsWindow(button))
        return false;
    // The same procedure and id again only updates the existing subclass: a box is subclassed once.
    if (!::SetWindowSubclass(button, BoldCheckBoxProc, kSubclassId, 0))
        return false;
    ApplyFont(button);
    return true;
}
