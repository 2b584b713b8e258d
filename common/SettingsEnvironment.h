#pragma once

// What the settings file rules need to know about the machine: where the
// program and the user's profile are, whether the program runs from a
// removable, unknown or network drive, whether the user may write a path, and
// the language of the default input locale.
//
// CSettingsEnvironment asks the system. Tests derive from it to place the
// program and profile folders in a temporary folder and to decide the drive
// type and the write permission themselves.

#include <windows.h>

#include "platform/CString.h"

class CSettingsEnvironment
{
public:
    virtual ~CSettingsEnvironment() = default;

    // The program's folder with a trailing backslash.
    virtual CString GetProgramFolder() const;
    // The user's profile folder (CSIDL_PROFILE), as the system gives it.
    virtual CString GetProfileFolder() const;
    // The program's own file lies on a removable, unknown or remote drive (or
    // one without a root directory).
    virtual bool IsProgramOnRemovableDrive() const;
    // The current user may write the file or folder.
    virtual bool CanUserWrite(LPCWSTR path) const;
    // The two-letter ISO 639 name of the default input language, empty when
    // it cannot be had.
    virtual CString GetDefaultInputLanguageName() const;

    // The environment of the running program.
    static const CSettingsEnvironment& System();
};
