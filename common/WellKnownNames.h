#pragma once

// The file names, paths and kernel-object names that the main program and its
// neighbours agree on. Paths are built from the program folder.

#include <windows.h>

#include "common/SettingsEnvironment.h"
#include "platform/CString.h"

// The product's name, as captions and reports show it.
inline constexpr wchar_t kProductName[] = L"Scrivolanter";

// Program folder + "ScvWaitingFor.exe".
CString GetWaiterExePath();
// Program folder + "SCV_Exit.exe".
CString GetExitExePath();
// Program folder + "ScrivolanterEditor.exe".
CString GetEditorExePath();
// Program folder + "Scrivolanter_Welcome.exe".
CString GetWelcomeExePath();
// Program folder + name.
CString GetProgramFolderFile(LPCWSTR name);

// The language file `name` ("LocalizeExample.lng" when empty) in the program
// folder; a program folder named "Debug" or "Release" (any case) is replaced by
// its parent, so a development build finds the files of the source tree.
CString BuildLanguageFilePath(LPCWSTR name,
                              const CSettingsEnvironment& environment = CSettingsEnvironment::System());

CString GetSettingAreaMappingName();   // "Local\$SCRIVOLANTER_SETTING_AREA$"
CString GetLangUIChangedEventName();   // "Local\Scrivolanter_LangUI_Changed"
CString GetCheckForUpdatesEventName(); // "Local\Scrivolanter_CheckForUpdates"
CString GetFloatPaneBlinkEventName();  // "Local\Scrivolanter_FloatPaneBlink"
CString GetFirstInstanceEventName();   // "9DDB575E-846B-4600-880F-98319D699611"

// The shared log file of the running program: "LogReport.txt" in the program
// folder when the program runs from a removable, unknown or network drive, or
// when the user may write that file (or, while it is missing, its folder);
// otherwise "LogReport_Scrivolanter.txt" in the user's application-data folder.
CString GetLogReportPath();
// The same rule on given facts: the environment tells the program folder, the
// drive kind and the write permission; `appDataFolder` is the folder of the
// fallback file.
CString GetLogReportPath(const CSettingsEnvironment& environment, const CString& appDataFolder);
// The user's application-data folder (CSIDL_APPDATA, not created); empty on failure.
CString GetAppDataFolder();

// Opens the existing event `name`, sets it and resets it at once: a thread
// already waiting on it is released, nobody arriving later sees it set. False
// when no such event exists (nothing is created) or it cannot be set.
bool PulseNamedEvent(LPCWSTR name);
// Pulses "Local\Scrivolanter_CheckForUpdates"; false when no instance listens.
bool SignalCheckForUpdatesEvent();

// The weekday of a Gregorian date, 0 = Sunday to 6 = Saturday.
int DayOfWeekFromDate(int day, int month, int year);
