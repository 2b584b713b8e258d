#pragma once

// The request of an update check: a GET of the endpoint's script whose query
// describes the installed program and the system, and the download of its
// answer into a temporary file.
//
// The address is the site root of CSCVUrl + "/Source/update_scv.php" + the
// query; the fields, in order: scv_version, winver, sounds,
// version_installed, hotkey, au, LangFile, languages, country, domain, RAM,
// screen, MFC.

#include <windows.h>

#include "common/UrlQueryParams.h"
#include "online/InternetSession.h"
#include "platform/CString.h"

// The settings the query describes. They are taken on the thread that
// starts a check (the settings object belongs to the user-interface thread)
// and travel with the check.
struct UpdateQueryValues
{
    bool sounds = false;
    bool installed = false;
    UINT hotKey = 0;
    UINT hotKeyModifiers = 0;
    bool doublePress = false;
    bool autoCheck = false;
    int days = 7;
    CString languageFile; // file name, no folder
    CString mfcPath = L"Not found";
};

// The values of the process's settings object and the installation; the
// MFC path is left "Not found" (the main program fills it in).
UpdateQueryValues CaptureUpdateQueryValues();

// "Scrivolanter" + "_Updater".
CString GetUpdaterAgentName();
// HotKeyToText of the hot key, upper-cased, with "x2" appended for double press.
CString BuildHotKeyQueryValue(UINT hotKey, UINT modifiers, bool doublePress);
// Adds the query's fields, in order, to `params`.
void BuildUpdateQueryParams(CUrlQueryParams& params, const UpdateQueryValues& values);
// The request address.
CString GetUpdateCheckUrl(const UpdateQueryValues& values);

// Downloads the answer into a new temporary ".xml" file (WinInet route; the
// urlmon route only when WinInet cannot reach the server at all) and marks
// it temporary. Its path, or empty when the download failed (the file is
// then deleted).
CString DownloadVersionInfoFile(const CString& url, const DownloadLimits& limits = DownloadLimits());
