#pragma once
// The title of a tooltip control.

#include "platform/CString.h"

#include <windows.h>

// The title as it is shown: longer than 97 characters, it is cut to 97 followed by "& ".
CString MakeTooltipTitle(const wchar_t* title);

// Sets MakeTooltipTitle(title) as the title (TTM_SETTITLEW) with the icon.
void SetTooltipTitle(HWND toolTip, const wchar_t* title, WPARAM icon);
