#include "common/LayeredWindowApi.h"

#include "common/RuntimeBinding.h"

#include <algorithm>

namespace
{
using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
}

CLayeredWindowApi::CLayeredWindowApi() : m_user32(::LoadLibraryW(L"USER32.dll")) {}

CLayeredWindowApi::~CLayeredWindowApi()
{
    if (m_user32)
        ::FreeLibrary(m_user32);
}

BOOL CLayeredWindowApi::SetLayeredWindowAttributesDyn(HWND window, COLORREF colourKey, BYTE alpha,
                                                      DWORD flags) const
{
    if (!m_user32)
        return 1;
    auto fn = FindFunction<SetLayeredWindowAttributesFn>(m_user32, "SetLayeredWindowAttributes");
    if (!fn)
        return 0;
    return fn(window, colourKey, alpha, flags);
}

BOOL CLayeredWindowApi::SetOpacityPercent(HWND window, BYTE percent) const
{
    const int alpha = std::min<int>(percent, 100) * 255 / 100;
    return SetLayeredWindowAttributesDyn(window, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void CLayeredWindowApi::SetLayeredStyle(HWND window)
{
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    ::SetWindowLongPtrW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
}

int CLayeredWindowApi::ClearLayeredStyle(HWND window)
{
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED))
        return 0;
    ::SetWindowLongPtrW(window, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    return 1;
}
