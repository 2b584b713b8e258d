#pragma once
// What a tooltip window shows, read from the window itself (as the user sees it), also from another
// thread of the test.

#include <windows.h>

#include <string>

namespace scvtest
{

// Whether the tip window is on screen.
bool ToolTipShows(HWND tip);
// The text of the tip's first tool (TTM_GETTEXTW); empty without a tool.
std::wstring ToolTipText(HWND tip);

} // namespace scvtest
