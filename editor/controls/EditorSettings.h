#pragma once

// The editor's settings: the common settings object with the editor's own keys
// (section "Settings_Editor": three view switches, the last opened phrase file,
// the last settings tab) and the list of recently used phrase folders (keys
// "PrevFoldersCount" and "Prev_Folder%d" of section "Settings").
//
// The recent-folder list never holds an empty entry or one with a trailing
// backslash, holds no two entries that are equal ignoring case, and is kept in
// ascending order ignoring case (the first of equal entries keeps its case).

#include <windows.h>

#include <memory>
#include <vector>

#include "common/Settings.h"
#include "platform/CString.h"

class CEditorSettings : public CSettings
{
public:
    explicit CEditorSettings(const CSettingsEnvironment& environment = CSettingsEnvironment::System());
    ~CEditorSettings() override;

    // The common load (which also reads "LastFile" and the recent folders),
    // then the three view switches. Returns 1.
    int LoadEditor();
    // Writes the values this object changed since its last load or save, and
    // only those: the file is read again first, a value nobody here changed
    // takes what the file holds now (the main program may have changed it
    // meanwhile), and the file is written only when something here changed.
    // Before any load every value is written. Returns 1.
    int SaveEditor();
    // Takes the file's values in again and writes nothing: a value this object changed since its last
    // load or save stays (its next save writes it), every other takes what the file holds now.
    // Before any load the same as LoadEditor. Returns 1.
    int ReloadEditor();

    // Every value (and the recent folders) copied from `other`.
    void CopyValuesFrom(const CEditorSettings& other);
    // Each value that differs between `before` and `after` takes after's.
    void TakeChangedValues(const CEditorSettings& before, const CEditorSettings& after);
    // Whether every value (and the recent folders) equals other's.
    bool SameValuesAs(const CEditorSettings& other) const;

    // "LastSettingsTab" of "Settings_Editor", read from the file: 0 or 1, any
    // other value reads as 0.
    int GetLastSettingsTab() const;
    // Writes "LastSettingsTab" at once; true when written.
    bool SetLastSettingsTab(int tab);

    // Stores the phrases folder: empty for the default folder, "." for the
    // program folder itself, relative below the program folder, else as given
    // (trailing backslashes cut); a non-empty folder joins the recent list.
    void SetPhrasesDirectory(LPCWSTR path);
    CString GetPhrasesFolderWithoutSlash() const { return GetPhrasesFolderNoSlash(); }

    // Adds a folder to the recent list (trailing backslashes cut; empty is
    // ignored) and removes duplicates.
    void AddRecentFolder(LPCWSTR path);
    int GetPrevFoldersCount() const { return static_cast<int>(m_recentFolders->size()); }
    // Entry `index` made absolute (a relative entry is put below the program
    // folder); empty for an index out of range.
    CString GetRecentFolder(int index) const;
    // Program folder + "ClipboardHistory".
    CString GetClipboardHistoryFolder_Editor() const;

    int ShowUncheckedPhrases = 1;
    int Preview = 0;
    int ShowMetaInfoInTree = 1;
    CString LastFile;

protected:
    void LoadMoreKeys() override;
    void SaveMoreKeys() override;

private:
    int LoadOnFirstUse() override { return LoadEditor(); }
    void RemoveDuplicateFolders();
    // The common load, then the three view switches (no baseline taken).
    int LoadValues();
    // The common save, then the three view switches.
    int WriteAll();
    // Every value copied into m_baseline (made when missing).
    void TakeBaseline();
    // Each value that differs from the baseline goes to `disk`; every other
    // value takes disk's. True when any value went to `disk`.
    bool MergeWith(CEditorSettings& disk);

    std::unique_ptr<std::vector<CString>> m_recentFolders;
    // The values as last loaded or saved; null before the first load.
    std::unique_ptr<CEditorSettings> m_baseline;
};

// Makes GetSettings build the editor's settings object; call before the first
// GetSettings call of the editor.
void InstallEditorSettings();
// The editor's settings object (GetSettings after InstallEditorSettings).
CEditorSettings& GetEditorSettings();

// True for a path that names its own root: a drive ("C:...") or a network
// share ("\\server\share").
bool IsAbsoluteFolderPath(const CString& path);
