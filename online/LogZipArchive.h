#pragma once
// The zip archive sent with a support request: the system report, the
// settings file and the shared log, each stored under its file name. Both the
// main program's About box and the editor's ZIP Log File command make it here.

#include "online/CommandRunners.h"
#include "platform/CString.h"

#include <windows.h>

#include <functional>
#include <vector>

// Expands the program's text macros ("%SCV_VERSION%", "%DAY%"...): the
// caller passes the macro engine's expansion.
using LogZipMacroExpander = std::function<CString(const CString&)>;

// Receives the parameters of the Explorer command ("/select, " + the quoted
// archive path).
using LogZipExplorerOpener = std::function<void(HWND owner, const CString& parameters)>;

struct LogZipRequest
{
    CString logPath;
    CString zipPath;
    bool showFailureBox = true;
    HWND owner = nullptr;
    CString reportText; // empty: the archive holds no report entry
    bool selectInExplorer = true;
    CString settingsPath;              // empty: the program's settings file
    CommandReportBox failureBox;       // null: a message box
    LogZipExplorerOpener openExplorer; // null: "explorer.exe" started through the shell
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

// The text of the failure box.
CString LogZipFailureText(const CString& zipPath, const std::vector<CString>& files);
