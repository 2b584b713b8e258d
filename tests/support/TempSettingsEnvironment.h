#pragma once
// Settings environment over a temp folder: program folder "program\\" and profile folder "profile" inside
// it, the user may write, no removable drive.

#include "common/SettingsEnvironment.h"
#include "support/TempFolder.h"

namespace scvtest
{

class TempSettingsEnvironment : public CSettingsEnvironment
{
public:
    explicit TempSettingsEnvironment(const TempFolder& temp)
        : programFolder((temp.CreateSubfolder(L"program") + L"\\").c_str()),
          profileFolder(temp.CreateSubfolder(L"profile").c_str())
    {}
    CString GetProgramFolder() const override { return programFolder; }
    CString GetProfileFolder() const override { return profileFolder; }
    bool IsProgramOnRemovableDrive() const override { return false; }
    bool CanUserWrite(LPCWSTR) const override { return true; }
    CString GetDefaultInputLanguageName() const override { return CString(); }
    // The settings file of the program folder.
    CString LocalFile() const { return programFolder + L"Settings.ini"; }

    CString programFolder;
    CString profileFolder;
};

} // namespace scvtest
