#pragma once
// The zip archive sent with a support request: the system report, the
// settings file and the shared log, each stored under its file name.

#include "platform/CString.h"

#include <windows.h>

#include <functional>
#include <vector>

// Expands the program's text macros ("%SCV_VERSION%", "%DAY%"...): the
// caller passes the macro engine's expansion.
using LogZipMacroExpander = std::function<CString(const CString&)>;

struct LogZipRequest
{
    CString logPath;
    CString zipPath;
    bool showFailureBox = true;
    HWND owner = nullptr;
    CString reportText;
    bool selectInExplorer = true;
};

// The name of the report entry, written to the temporary folder first.
inline constexpr wchar_t kReportEntryName[] = L"Scrivolanter_Info.txt";

// Default file name of the archive: the log's file name without its
// extension, " Scrivolanter ", the version + " version", " " + the date as
// "%DAY%_%MONTHNAME_ABBR%_%YEAR%_"; blanks and ":" made "_", ".zip" appended.
CString MakeDefaultLogZipName(const CString& logPath, const LogZipMacroExpander& expand);

// Adds every file under its file name (no password). The archive is written
// under a temporary name beside `zipPath` and replaces an older archive only
// when complete; on any failure nothing is left behind. False for an empty
// list.
bool CreateZipFromFiles(const std::vector<CString>& files, const CString& zipPath);

// Writes the report (UTF-8, no byte-order mark) to a temporary file, packs it
// (when wholly written) with the settings file and the log, deletes the
// report file, and then shows a warning box on failure or selects the
// archive in Explorer on success, as asked. True when the archive was made.
bool CreateLogZipArchive(const LogZipRequest& request);
// The same with the settings file given; `selectInExplorer` receives the
// parameters of the Explorer command instead of running it.
bool CreateLogZipArchiveWith(const LogZipRequest& request, const CString& settingsPath,
                             const std::function<void(const CString& parameters)>& selectInExplorer);

// The text of the failure box.
CString LogZipFailureText(const CString& zipPath, const std::vector<CString>& files);
