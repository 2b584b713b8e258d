#pragma once
// The file commands that move phrases and data in and out of the editor: backup of the phrase
// folder into a zip archive, import of text, RTF and phrase files as new phrases, export of phrases
// into files, the support archive of the log, and the language-file template for translators.
//
// The functions here take paths and do the work; the Run* functions ask for the paths first with
// the extended file dialog and are what the main frame calls on its commands.

#include "online/LogZipArchive.h"
#include "platform/CString.h"

#include <windows.h>

#include <vector>

class CEditorPhraseStore;
class PhraseItemRecord;

namespace EditorFileCommands
{

// Command ids the frame routes here.
constexpr UINT kCmdBackup = 32796;
constexpr UINT kCmdImport = 32813;
constexpr UINT kCmdExport = 32807;
constexpr UINT kCmdZipLog = 32826;
constexpr UINT kCmdMakeLanguageFile = 32823;

// "Scrivolanter_Backup_dd-mm-yyyy hh_mm_ss.zip".
CString MakeBackupFileName(const SYSTEMTIME& time);
// The phrases folder with its tree ("*.scrivolanter" files), plus the settings file when it exists.
bool BackupPhrases(const CString& phrasesFolder, const CString& settingsPath, const CString& archivePath);

// The text of a file to import and its data type (1 formatted, 0 plain). RTF files (".rtf" starting
// with "{\rtf1") keep their bytes as text; a file that starts with FF FE is UTF-16 (the mark and a
// U+0000 after it skipped); any other file is text in the ANSI code page. False when unreadable.
bool ReadImportFile(const CString& path, CString& text, int& kind);
// Imports one file as a new top-level phrase; a ".scrivolanter" file is copied into the phrases
// folder under its own name or the first free "stem2", "stem3"... The new id, or -1.
int ImportFile(CEditorPhraseStore& store, const CString& path);
// Writes the phrase into the file in a form ImportFile reads back: ".scrivolanter" as a phrase
// file; plain text as FF FE 00 00 and UTF-16; formatted text as its RTF bytes. True only when
// every byte was written.
bool ExportPhrase(const PhraseItemRecord& item, const CString& path);

// Section "Main" of a language-file template: creates the file (FF FE) when missing, writes "Tip"
// and adds "LangPrefix", "Author" and "LangLocalized" only when they are missing.
bool WriteLanguageTemplateMain(const CString& languageFile);
// Every string of the module's string table into section "Strings" + suffix, missing keys only.
// The number of strings written.
int WriteModuleStrings(const CString& languageFile, HMODULE module, const CString& suffix);
// The texts of the module's menus into section "Menu" + suffix (keyed as the menu translator reads
// them) and of its dialogs' controls into "Dialog" + suffix + "_" + dialog id (keyed by control id),
// missing keys only. The number of texts written.
int WriteModuleMenusAndDialogs(const CString& languageFile, HMODULE module, const CString& suffix);
// The welcome page next to the language file: "welcome.html", or the first free "Welcome_%d.html"
// from 2. The bytes up to the first zero byte. The path written, empty when nothing was written.
CString WriteWelcomeHtml(const CString& folder, const char* bytes, size_t size);

// The commands, with their dialogs and messages over `owner`.
void RunBackup(HWND owner, const CString& phrasesFolder, const CString& settingsPath);
// The ids of the imported phrases (the frame sends hint 7, then hint 1 with the last one).
std::vector<int> RunImport(HWND owner, CEditorPhraseStore& store);
// Exports each record in turn; a failed write is reported with a message. The number written.
int RunExport(HWND owner, const std::vector<const PhraseItemRecord*>& items);
// The support archive (settings file and log, see LogZipArchive): asks for the path, proposing the
// default name made from the log's name; a file at the chosen path is deleted, then the archive of
// the request is written there with `owner` as the owner of its messages. False when cancelled or
// when the archive could not be made.
bool RunZipLog(HWND owner, LogZipRequest request);
void RunMakeLanguageFile(HWND owner, const CString& programFolder);

} // namespace EditorFileCommands
