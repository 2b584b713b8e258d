#pragma once
// The tray window's About command: it gathers what the system report needs of
// the main program and runs the About dialog (whose Copy drop-down also
// saves the support archive of report, settings file and log).

#include "online/SystemReportBuilder.h"

#include <windows.h>

class CPhraseStore;

// What only the running tray window knows.
struct AboutReportFacts
{
    const CPhraseStore* phrases = nullptr; // null: empty statistics
    CString trackingReport;                // the clipboard-tracking report of the menu tooltip
    bool coreInstalled = false;            // the hook DLL service is installed
};

// What the main program puts into the system report (versions, paths,
// phrase statistics, command-line keys, language files, settings rows and
// the start-up notes of this run).
SystemReportInputs CollectAboutReportInputs(const AboutReportFacts& facts);

// The statistics rows of a phrase library.
std::vector<CStringPair> CollectPhraseStatisticsRows(const CPhraseStore& phrases);

// Runs the About dialog modally over the tray window; when one is open
// already it is restored (when iconic) and brought to the front instead. The dialog's result, or 0.
INT_PTR RunAboutCommand(HWND trayWindow, const AboutReportFacts& facts);
