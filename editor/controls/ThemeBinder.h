#pragma once
// The run-time binding of the visual-styles library. The first binder loads "UXTHEME.DLL" and looks
// up eight functions by name; themes are available only when all eight are found (otherwise the
// library is freed at once). Every binder counts; when the last one goes, the library is freed and
// themes are unavailable again. User-interface thread only.

#include <windows.h>

#include <uxtheme.h>

struct ThemeFunctions
{
    HRESULT(WINAPI* closeThemeData)(HTHEME) = nullptr;
    HRESULT(WINAPI* drawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
    HRESULT(WINAPI* drawThemeParentBackground)(HWND, HDC, const RECT*) = nullptr;
    HRESULT(WINAPI* drawThemeText)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*) = nullptr;
    HRESULT(WINAPI* getThemeBackgroundContentRect)(HTHEME, HDC, int, int, const RECT*, RECT*) = nullptr;
    BOOL(WINAPI* isAppThemed)() = nullptr;
    BOOL(WINAPI* isThemeActive)() = nullptr;
    HTHEME(WINAPI* openThemeData)(HWND, LPCWSTR) = nullptr;
};

class CThemeBinder
{
public:
    CThemeBinder();
    ~CThemeBinder();
    CThemeBinder(const CThemeBinder&) = delete;
    CThemeBinder& operator=(const CThemeBinder&) = delete;

    // True while a binder lives and all eight functions were found.
    static bool IsAvailable();
    // The bound functions; all null while themes are unavailable.
    static const ThemeFunctions& Functions();
    // The number of living binders.
    static int Count();
};
