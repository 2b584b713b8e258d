#include "online/ProgramWindowIcons.h"

#include "resources/ScrivolanterRes.h"

namespace
{
HICON LoadSharedProgramIcon(int widthMetric, int heightMetric)
{
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SCV_APP),
                                           IMAGE_ICON, ::GetSystemMetrics(widthMetric),
                                           ::GetSystemMetrics(heightMetric), LR_SHARED));
}
} // namespace

bool SetProgramWindowIcons(HWND window)
{
    HICON big = LoadSharedProgramIcon(SM_CXICON, SM_CYICON);
    HICON small = LoadSharedProgramIcon(SM_CXSMICON, SM_CYSMICON);
    if (big)
        ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small)
        ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    return big != nullptr && small != nullptr;
}
