#include "common/SystemFunctions.h"

#include "common/RuntimeBinding.h"

#include <dwmapi.h>
#include <vsstyle.h>

namespace
{
const wchar_t kDwmModuleInUse[] = L"Dwmapi.dll";
const wchar_t kUxThemeModule[] = L"UxTheme.DLL";

using DwmSetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
using DwmSetIconicThumbnailFn = HRESULT(WINAPI*)(HWND, HBITMAP, DWORD);
using DwmExtendFrameIntoClientAreaFn = HRESULT(WINAPI*)(HWND, const MARGINS*);
using DwmSetIconicLivePreviewBitmapFn = HRESULT(WINAPI*)(HWND, HBITMAP, POINT*, DWORD);
using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using SetHandleInformationFn = BOOL(WINAPI*)(HANDLE, DWORD, DWORD);
using BroadcastSystemMessageWFn = long(WINAPI*)(DWORD, LPDWORD, UINT, WPARAM, LPARAM);
using GetLastInputInfoFn = BOOL(WINAPI*)(PLASTINPUTINFO);
using IsAppThemedFn = BOOL(WINAPI*)();
using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCRECT, LPCRECT);

template <typename Fn>
Fn FindDwmFunction(LPCSTR name)
{
    return FindFunctionInUse<Fn>(kDwmModuleInUse, name);
}

template <typename Fn>
Fn FindUxThemeFunction(LPCSTR name)
{
    return FindFunction<Fn>(GetUxThemeModule(), name);
}

HRESULT SetDwmSwitchAttribute(HWND window, DWORD attribute, bool on)
{
    const DWORD value = on ? 2 : 0;
    return CallDwmSetWindowAttribute(window, attribute, &value, sizeof(value));
}

int CaptionButtonState(bool pressed, bool hot, bool enabled)
{
    if (!enabled)
        return CBS_DISABLED;
    if (pressed)
        return CBS_PUSHED;
    if (hot)
        return CBS_HOT;
    return CBS_NORMAL;
}
} // namespace

HMODULE LoadDwmApi()
{
    return ::LoadLibraryW(kDwmModuleInUse);
}

HRESULT CallDwmSetWindowAttribute(HWND window, DWORD attribute, LPCVOID data, DWORD size)
{
    auto fn = FindDwmFunction<DwmSetWindowAttributeFn>("DwmSetWindowAttribute");
    if (!fn)
        return E_NOTIMPL;
    return fn(window, attribute, data, size);
}

HRESULT DwmSetForceIconicRepresentation(HWND window, bool on)
{
    return SetDwmSwitchAttribute(window, DWMWA_FORCE_ICONIC_REPRESENTATION, on);
}

HRESULT DwmSetHasIconicBitmap(HWND window, bool on)
{
    return SetDwmSwitchAttribute(window, DWMWA_HAS_ICONIC_BITMAP, on);
}

HRESULT CallDwmSetIconicThumbnail(HWND window, HBITMAP bitmap, DWORD flags)
{
    auto fn = FindDwmFunction<DwmSetIconicThumbnailFn>("DwmSetIconicThumbnail");
    if (!fn)
        return E_NOTIMPL;
    return fn(window, bitmap, flags);
}

HRESULT CallDwmExtendFrameIntoClientArea(HWND window)
{
    auto fn = FindDwmFunction<DwmExtendFrameIntoClientAreaFn>("DwmExtendFrameIntoClientArea");
    if (!fn)
        return E_NOTIMPL;
    RECT client = {};
    ::GetClientRect(window, &client);
    MARGINS margins = {};
    margins.cxLeftWidth = 0;
    margins.cxRightWidth = 0;
    margins.cyTopHeight = client.right - client.left;
    margins.cyBottomHeight = client.bottom - client.top;
    return fn(window, &margins);
}

HRESULT CallDwmSetIconicLivePreviewBitmap(HWND window, HBITMAP bitmap)
{
    auto fn = FindDwmFunction<DwmSetIconicLivePreviewBitmapFn>("DwmSetIconicLivePreviewBitmap");
    if (!fn)
        return E_NOTIMPL;
    return fn(window, bitmap, nullptr, DWM_SIT_DISPLAYFRAME);
}

bool IsDwmCompositionEnabled()
{
    // Loaded once, on first use, and kept for the life of the process (a
    // failed load is not tried again).
    static const HMODULE dwm = ::LoadLibraryW(L"dwmapi.dll");
    auto fn = FindFunction<DwmIsCompositionEnabledFn>(dwm, "DwmIsCompositionEnabled");
    if (!fn)
        return false;
    BOOL enabled = FALSE;
    return fn(&enabled) == S_OK && enabled;
}

BOOL ProtectHandleFromClose(HANDLE handle, bool protect)
{
    auto fn = FindFunctionInUse<SetHandleInformationFn>(L"kernel32.dll", "SetHandleInformation");
    if (!fn)
        return 0;
    return fn(handle, HANDLE_FLAG_PROTECT_FROM_CLOSE, protect ? HANDLE_FLAG_PROTECT_FROM_CLOSE : 0);
}

int BroadcastPostSystemMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    CLoadedModule user32(L"user32.dll");
    auto fn = user32.Find<BroadcastSystemMessageWFn>("BroadcastSystemMessageW");
    if (!fn)
        return -1;
    DWORD recipients = BSM_ALLCOMPONENTS;
    return fn(BSF_POSTMESSAGE | BSF_ALLOWSFW, &recipients, message, wParam, lParam);
}

LONGLONG GetIdleTimeMs()
{
    auto fn = FindFunctionInUse<GetLastInputInfoFn>(L"user32.dll", "GetLastInputInfo");
    if (!fn)
        return 0;
    LASTINPUTINFO info = {};
    info.cbSize = sizeof(info);
    if (!fn(&info))
        return -1;
    // Unsigned difference: stays right when the tick counter has wrapped
    // since the last input.
    const DWORD idle = ::GetTickCount() - info.dwTime;
    return static_cast<LONGLONG>(idle);
}

HMODULE GetUxThemeModule()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (::GetVersionExW(&version)) {
        const bool before51 =
            version.dwMajorVersion < 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion == 0);
        if (before51)
            return nullptr;
    }
    return ::GetModuleHandleW(kUxThemeModule);
}

bool IsAppThemedDyn()
{
    auto fn = FindUxThemeFunction<IsAppThemedFn>("IsAppThemed");
    return fn && fn() == TRUE;
}

HTHEME OpenThemeDataDyn(HWND window, LPCWSTR classList)
{
    auto fn = FindUxThemeFunction<OpenThemeDataFn>("OpenThemeData");
    if (!fn)
        return nullptr;
    return fn(window, classList);
}

bool CloseThemeDataDyn(HTHEME theme)
{
    auto fn = FindUxThemeFunction<CloseThemeDataFn>("CloseThemeData");
    return fn && fn(theme) == S_OK;
}

HRESULT SetWindowThemeDyn(HWND window, LPCWSTR subAppName, LPCWSTR subIdList)
{
    auto fn = FindUxThemeFunction<SetWindowThemeFn>("SetWindowTheme");
    if (!fn)
        return E_FAIL;
    return fn(window, subAppName, subIdList);
}

bool DrawCaptionButtonDyn(HWND window, HDC dc, const RECT& rect, bool pressed, bool hot, bool normalSize,
                          bool enabled)
{
    if (!IsAppThemedDyn())
        return false;
    auto draw = FindUxThemeFunction<DrawThemeBackgroundFn>("DrawThemeBackground");
    if (!draw)
        return false;
    HTHEME theme = OpenThemeDataDyn(window, L"WINDOW");
    if (!theme)
        return false;
    const int part = normalSize ? WP_CLOSEBUTTON : WP_SMALLCLOSEBUTTON;
    const HRESULT hr = draw(theme, dc, part, CaptionButtonState(pressed, hot, enabled), &rect, nullptr);
    CloseThemeDataDyn(theme);
    return SUCCEEDED(hr);
}

bool DrawCaptionCloseButton(HWND window, HDC dc, const RECT& rect, bool pressed, bool hot)
{
    return DrawCaptionButtonDyn(window, dc, rect, pressed, hot, false, true);
}
