#pragma once
// Screenshots for tests: the whole virtual display or one window, as it is
// on the screen (copied from the screen DC), kept in memory or saved as PNG.

#include "support/PngImage.h"

#include <windows.h>

#include <optional>
#include <string>

namespace scvtest
{

// The virtual display in screen coordinates (all monitors).
RECT VirtualScreenRect();

// A rectangle of the screen (screen coordinates); nullopt when it is empty
// or the copy failed.
std::optional<RgbImage> CaptureScreenRect(const RECT& rect);
std::optional<RgbImage> CaptureScreen();
// The window's rectangle as the screen shows it (covering windows included).
std::optional<RgbImage> CaptureWindow(HWND window);

bool SaveScreenshotPng(const std::wstring& path);
bool SaveWindowPng(HWND window, const std::wstring& path);

} // namespace scvtest
