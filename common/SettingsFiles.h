#pragma once

// Where "Settings.ini" lives and how its keys are read and written.
//
// Two files may hold settings: the local file next to the program and the user
// file in the folder "Scrivolanter" of the user's profile. Numbers are read
// from the local file when its section holds the key (case counts), else from
// the user file; strings from the local file when it gives a non-empty value,
// else from the user file. Every write goes to the one file that
// GetSettingsFilePath chooses:
//  - the program runs from a removable, unknown or network drive: the local file;
//  - the local file exists: the local file when the user may write it, else the user file;
//  - no local file: the local file when the user may write its folder, else the user file.
// Computing the local path creates a missing local file, empty, with the
// system attribute; choosing the user file creates its folder (not on a
// removable drive).

#include <windows.h>

#include "common/PathFunctions.h"
#include "common/SettingsEnvironment.h"
#include "platform/CString.h"

class CSettingsFiles
{
public:
    explicit CSettingsFiles(const CSettingsEnvironment& environment = CSettingsEnvironment::System());

    const CSettingsEnvironment& GetEnvironment() const { return *m_environment; }

    // Program folder + "Settings.ini"; creates the file when it is missing.
    CString GetLocalPath() const;
    // Profile folder + "\Scrivolanter\Settings.ini"; with `create` the folder
    // is made when it is missing and the program's drive is not removable.
    CString GetUserPath(bool create) const;
    // The file every write goes to (chosen anew at every call).
    CString GetSettingsFilePath() const;

    // Number reading rule (see above); `section` null means "Settings".
    int ReadInt(LPCWSTR section, LPCWSTR key, int defaultValue) const;
    // String reading rule (see above).
    CString ReadString(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue) const;
    // The key is in the section of the local or of the user file.
    bool HasKey(LPCWSTR section, LPCWSTR key) const;
    bool WriteInt(LPCWSTR section, LPCWSTR key, int value) const;
    bool WriteString(LPCWSTR section, LPCWSTR key, LPCWSTR value) const;

    // "DelayInsertMilliseconds_v141" of the written file; a missing value is
    // written as 400 and returned.
    int GetDelayInsertMilliseconds() const;
    // "Welcome_Already_Started_V2_60" is non-zero.
    bool IsWelcomeAlreadyStarted() const;
    // Program folder + "ClipboardHistory", without a trailing backslash.
    CString GetClipboardHistoryFolder() const;
    // Program folder + "UserPhrases\".
    CString GetDefaultPhrasesFolder() const;

private:
    const CSettingsEnvironment* m_environment;
};

// "Settings".
LPCWSTR GetSettingsSectionName();

// The functions below work on the files of the running program.
CString GetSettingsFilePath();
CString ReadSettingsString(LPCWSTR key, LPCWSTR defaultValue);
int GetDelayInsertMilliseconds();
bool IsWelcomeAlreadyStarted();
CString GetClipboardHistoryFolder();

// "Language" of section "Settings" of one file; empty when absent.
CString ReadLanguageSetting(LPCWSTR settingsFile);
// Writes the file name part of `language` as "Language" of section "Settings".
bool WriteLanguageSetting(LPCWSTR language, LPCWSTR settingsFile);

// The name of a clipboard watching method value (-1, 0, 1).
CString ClipboardSpyMethodToStr(int value);
// The installer left a non-empty "FromInstaller" value under the product's
// key in HKEY_CURRENT_USER.
bool IsInstalledCopy();
// Appends "\" to a non-empty text that does not end with one.
inline CString EnsureTrailingBackslash(const CString& text)
{
    return AddTrailingBackslash(text);
}
