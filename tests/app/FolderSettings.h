#pragma once
// The settings of a test program that runs the tray window in its own process:
// a temporary folder stands in for the program folder, so "Settings.ini", the
// phrases and the log are the test's own.

#include <string>

#include "common/Settings.h"
#include "common/SettingsEnvironment.h"
#include "support/TempFolder.h"

namespace scvtest
{

class FolderSettingsEnvironment : public CSettingsEnvironment
{
public:
    explicit FolderSettingsEnvironment(const std::wstring& folder) : m_folder(folder.c_str()) {}
    CString GetProgramFolder() const override { return m_folder + L"\\"; }
    CString GetProfileFolder() const override { return m_folder + L"\\profile"; }
    bool IsProgramOnRemovableDrive() const override { return false; }
    bool CanUserWrite(LPCWSTR) const override { return true; }

private:
    CString m_folder;
};

// The folder, made on the first call and removed when the program ends.
inline TempFolder& SettingsFolder()
{
    static TempFolder folder;
    return folder;
}

// Makes GetSettings build its object on the folder; call it before the first GetSettings.
inline void UseFolderSettings()
{
    static const FolderSettingsEnvironment environment(SettingsFolder().Path());
    SetSettingsFactory([]() -> CSettings* { return new CSettings(environment); });
}

// UseFolderSettings, then the settings object with the log, sounds, update
// checks, the clipboard history, the floating pane and its ALT+TAB entry switched off and the
// phrases read from `phrasesFolder`.
inline CSettings& UseQuietFolderSettings(const std::wstring& phrasesFolder)
{
    UseFolderSettings();
    CSettings& settings = GetSettings();
    settings.WriteLog = 0;
    settings.SoundOnEventsV094 = 0;
    settings.AutoCheckForUpdates = 0;
    settings.ClipboardHistory = 0;
    settings.ShowHistoryPaneOnStart = 0;
    settings.ShowIconInAltTab_ForFP = 0;
    settings.PhrasesDirectory = CString(phrasesFolder.c_str());
    return settings;
}

// The folder as a tray test starts it: a "Settings.ini" of this version and a "Phrases" folder,
// then UseQuietFolderSettings on that folder.
inline CSettings& UseQuietSettingsFolder()
{
    TempFolder& folder = SettingsFolder();
    folder.WriteUtf16(L"Settings.ini", L"[Settings]\r\nSCVVersion=SCV_150\r\n");
    folder.CreateSubfolder(L"Phrases");
    return UseQuietFolderSettings(folder.PathOf(L"Phrases"));
}

} // namespace scvtest
