#pragma once

// Wrappers of system functions that older Windows versions lack. Each one finds
// its function by name when it is called (see common/RuntimeBinding.h) and
// answers a missing module or function with a fixed value, without a message
// and without a log line, so the caller can go on without it.
//
// DWM wrappers work only while "Dwmapi.dll" is loaded in the process (after
// LoadDwmApi); theme wrappers only while "UxTheme.DLL" is.

#include <windows.h>
#include <uxtheme.h>

// --- Desktop window manager -------------------------------------------------

// Loads "Dwmapi.dll" (never freed); null when it cannot be loaded.
HMODULE LoadDwmApi();

// DwmSetWindowAttribute; E_NOTIMPL when unavailable.
HRESULT CallDwmSetWindowAttribute(HWND window, DWORD attribute, LPCVOID data, DWORD size);
// DWMWA_FORCE_ICONIC_REPRESENTATION on or off; E_NOTIMPL when unavailable.
HRESULT DwmSetForceIconicRepresentation(HWND window, bool on);
// DWMWA_HAS_ICONIC_BITMAP on or off; E_NOTIMPL when unavailable.
HRESULT DwmSetHasIconicBitmap(HWND window, bool on);
// DwmSetIconicThumbnail; E_NOTIMPL when unavailable.
HRESULT CallDwmSetIconicThumbnail(HWND window, HBITMAP bitmap, DWORD flags);
// DwmExtendFrameIntoClientArea over the whole client area; E_NOTIMPL when unavailable.
HRESULT CallDwmExtendFrameIntoClientArea(HWND window);
// DwmSetIconicLivePreviewBitmap with the frame drawn; E_NOTIMPL when unavailable.
HRESULT CallDwmSetIconicLivePreviewBitmap(HWND window, HBITMAP bitmap);
// True only when DWM reports composition enabled ("dwmapi.dll" is loaded once
// for this, on the first call).
bool IsDwmCompositionEnabled();

// --- Kernel and user ----------------------------------------------------------

// SetHandleInformation(HANDLE_FLAG_PROTECT_FROM_CLOSE); 0 when unavailable.
BOOL ProtectHandleFromClose(HANDLE handle, bool protect);
// BroadcastSystemMessageW posted to all components (user32 loaded for the call);
// -1 when unavailable.
int BroadcastPostSystemMessage(UINT message, WPARAM wParam, LPARAM lParam);
// Milliseconds since the last user input; 0 when GetLastInputInfo is missing,
// -1 when it fails.
LONGLONG GetIdleTimeMs();

// --- Visual themes ------------------------------------------------------------

// "UxTheme.DLL" when it is loaded and the system has themes (5.1 or later); else null.
HMODULE GetUxThemeModule();
// IsAppThemed() == TRUE; false when unavailable.
bool IsAppThemedDyn();
// OpenThemeData; null when unavailable.
HTHEME OpenThemeDataDyn(HWND window, LPCWSTR classList);
// CloseThemeData == S_OK; false when unavailable.
bool CloseThemeDataDyn(HTHEME theme);
// SetWindowTheme; E_FAIL when unavailable.
HRESULT SetWindowThemeDyn(HWND window, LPCWSTR subAppName, LPCWSTR subIdList);
// Draws the themed caption close button (normal or small size) in the given
// state; true when it drew, false when themes are unavailable or inactive.
bool DrawCaptionButtonDyn(HWND window, HDC dc, const RECT& rect, bool pressed, bool hot, bool normalSize,
                          bool enabled);
// The small, enabled close button.
bool DrawCaptionCloseButton(HWND window, HDC dc, const RECT& rect, bool pressed, bool hot);
