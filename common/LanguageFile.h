#pragma once

// Language files: UTF-16 INI files (extension ".lng") in the program folder that
// replace the English texts of menus, dialogs, string resources and command-line
// help. Section "Main" describes the file ("LangPrefix", "LangLocalized",
// "Author"); the other sections are "Menu", "Strings" and "Dialog" followed by
// the program's suffix ("_Client", "_Editor", "_Welcome").
//
// Each process has one current language file path (empty at start). Texts the
// current file lacks are written into it in English, and every text looked up is
// also written into "LocalizeExample.lng" beside it, which so grows into a
// template for translators. With no language chosen, the example file itself is
// the current file.

#include <windows.h>

#include <vector>

#include "platform/CString.h"

struct LANG_FILE_INFO
{
    CString LangLocalized; // the language's name in that language
    CString Author;        // the translator
    CString LangPrefix;    // "En", "Ru", ...
};

// The process-wide current language file.
void SetCurrentLanguageFilePath(LPCWSTR path);
CString GetCurrentLanguageFilePath();

// Creates a missing language file: the UTF-16 mark FF FE, then section "Main"
// of the template. An existing file or an empty path is left alone. True when
// the file was created.
bool CreateLanguageFileFromTemplate(LPCWSTR path);

// Writes one text into a language file, creating the file from the template
// first when it is missing (so that it is a UTF-16 file). True on success.
bool WriteLanguageText(LPCWSTR file, LPCWSTR section, LPCWSTR key, LPCWSTR text);

// "English (Embedded)": the name under which the program's own English is listed.
CString GetEmbeddedLanguageName();
// "LangLocalized" of a file; the embedded name for a path ending in "\".
CString GetLangLocalizedName(LPCWSTR path);
// "LangPrefix" of a file (at most 9 characters, trailing blanks removed).
CString GetLangPrefix(LPCWSTR path);
// Fills `info` from section "Main"; an empty path gives the embedded language.
// False when the path names no existing file.
bool GetLangFileInfo(LPCWSTR path, LANG_FILE_INFO& info);
// The folder of `path` + "LocalizeExample.lng"; empty when the path has no folder.
CString GetLocalizeExamplePath(LPCWSTR path);
// True when the texts differ, ignoring case.
bool StringsDifferNoCase(LPCWSTR a, LPCWSTR b);

// The language file names of the program folder: an empty first entry for the
// embedded English, then the "*.lng" names sorted ignoring case, without the
// excluded name (null: none). False when no file was found.
bool EnumLanguageFiles(std::vector<CString>& list, LPCWSTR excludedName);
bool EnumLanguageFilesIn(LPCWSTR folder, std::vector<CString>& list, LPCWSTR excludedName);

// Appends one item per list entry with ids counting up from `firstId`: the
// language's localized name, or the file name without extension when it has
// none. The entry equal to `currentName` (ignoring case) becomes the default
// item and is checked. False for an empty list.
bool BuildLanguageMenu(HMENU menu, UINT firstId, const std::vector<CString>& list, LPCWSTR currentName);
bool BuildLanguageMenuIn(LPCWSTR folder, HMENU menu, UINT firstId, const std::vector<CString>& list,
                         LPCWSTR currentName);

// Fills a combo box with the languages of the list (filled from the program
// folder's files first when empty): each item "caption: name" (only the name
// when the caption is empty), its item data the list index; selects the entry
// equal to `currentName` (ignoring case).
void FillLanguageCombo(HWND combo, LPCWSTR currentName, LPCWSTR caption, std::vector<CString>& list);
void FillLanguageComboIn(LPCWSTR folder, HWND combo, LPCWSTR currentName, LPCWSTR caption,
                         std::vector<CString>& list);

// The file's prefix selects the Russian web pages (ru, uk, be, kz, lv, lt, et).
bool IsRuLanguagePrefix(LPCWSTR path);

// The parts of a menu item text: "&Open…\tCtrl+O" has the accelerator
// "Ctrl+O", the plain text "Open…" (no "&") and the key "Open" (no "…", blanks
// made "_", trailing "." and "…" removed).
struct MenuItemKey
{
    CString Key;
    CString PlainText;
    CString Accelerator;
};
MenuItemKey MakeMenuItemKey(const CString& itemText);

// True when a key may be written into a language file: it holds only keyboard
// characters (letters a-z and A-Z, digits and the usual punctuation; never "=",
// which ends a key in an INI line, nor a blank) and does not begin with "[" or
// ";", which the profile functions read as a section or a comment.
bool IsWritableLanguageKey(const CString& key);
