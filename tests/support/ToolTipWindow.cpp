#include "support/ToolTipWindow.h"

namespace scvtest
{

bool ToolTipShows(HWND tip)
{
    return tip && ::IsWindowVisible(tip);
}

} // namespace scvtest
