#include "menus/phrasemenu/MenuErrorReport.h"

#include <atomic>

#include "common/SharedLog.h"

namespace
{
std::atomic<bool> g_boxOpen{false};
} // namespace

void ShowMenuErrorMessage(LPCWSTR text)
{
    LogError(text);
    if (g_boxOpen.exchange(true))
        return;
    ::MessageBoxW(nullptr, text, L"Scrivolanter", MB_TOPMOST | MB_ICONERROR);
    g_boxOpen = false;
}

bool IsMenuErrorMessageOpen()
{
    return g_boxOpen;
}
