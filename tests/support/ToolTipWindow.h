#pragma once
// What a tooltip window shows, read from the window itself (as the user sees it), also from another
// thread of the test.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "common/HandedOutAddresses.h"

namespace scvtest
{

// Whether the tip window is on screen.
bool ToolTipShows(HWND tip);
// The text of the tip's first tool (TTM_GETTEXTW); empty without a tool. The program's tip windows
// take a record only where this process handed it out, so the reader hands its own out as the
// program does (inline: only test programs that link the program's services use it).
inline std::wstring ToolTipText(HWND tip)
{
    constexpr size_t kTextChars = 8192; // larger than any text a tooltip keeps
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    const CHandOverScope handOver(HandOverKind::Request, &tool, sizeof(tool));
    if (!tip || !::SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
        return {};
    std::vector<wchar_t> text(kTextChars, L'\0');
    tool.lpszText = text.data();
    ::SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    return text.data();
}

} // namespace scvtest
