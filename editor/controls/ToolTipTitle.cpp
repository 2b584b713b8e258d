#include "editor/controls/ToolTipTitle.h"

#include <commctrl.h>

CString MakeTooltipTitle(const wchar_t* title)
{
    CString text(title ? title : L"");
    constexpr int kLongest = 97;
    if (text.GetLength() > kLongest)
        text = text.Left(kLongest) + L"& ";
    return text;
}

void SetTooltipTitle(HWND toolTip, const wchar_t* title, WPARAM icon)
{
    const CString text = MakeTooltipTitle(title);
    ::SendMessageW(toolTip, TTM_SETTITLEW, icon, reinterpret_cast<LPARAM>(text.GetString()));
}
