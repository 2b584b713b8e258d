#pragma once
// The tray window's About and "zip the log" commands: they gather what the
// system report needs of the main program and run the About dialog or the
// archive's save dialog.

#include "online/SystemReportBuilder.h"

#include <windows.h>

// What the main program puts into the system report (versions, paths,
// command-line keys, language files, settings rows).
SystemReportInputs CollectAboutReportInputs();

// Runs the About dialog modally over the tray window; when one is open
// already it is brought to the front instead. The dialog's result, or 0.
INT_PTR RunAboutCommand(HWND trayWindow);

// Builds the report, asks for the archive's path and writes the support
// archive (report, settings file, log). True when it was written.
bool RunZipLogCommand(HWND trayWindow);
