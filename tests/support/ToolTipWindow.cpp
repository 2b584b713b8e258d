#include "support/ToolTipWindow.h"

#include <commctrl.h>

#include <vector>

namespace scvtest
{

namespace
{

// Larger than any text a tooltip keeps.
constexpr size_t kTextChars = 8192;

} // namespace

bool ToolTipShows(HWND tip)
{
    return tip && ::IsWindowVisible(tip);
}

std::wstring ToolTipText(HWND tip)
{
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    if (!tip || !::SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
        return {};
    std::vector<wchar_t> text(kTextChars, L'\0');
    tool.lpszText = text.data();
    ::SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    return text.data();
}

} // namespace scvtest
