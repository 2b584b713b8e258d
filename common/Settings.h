#pragma once

// The settings object of a program: every value of section "Settings" of
// "Settings.ini" with its default and range. One instance per process, made
// and loaded on the first GetSettings call; read everywhere through its
// members and accessors, written back with Save when the user changes
// something. Which file is read and written is decided by CSettingsFiles.
//
// A program that keeps more keys (the editor) derives from CSettings,
// overrides the three hooks below and installs a factory with
// SetSettingsFactory before the first GetSettings call.

#include <windows.h>

#include "common/SettingsFiles.h"
#include "platform/CString.h"

class CSettings
{
public:
    enum
    {
        ExtMenuCommand__EditSetting = 0,
        ExtMenuCommand__SaveSelAsPhrase = 1,
        ExtMenuCommand__SUPPORT = 2,
        ExtMenuCommand__ShowFloatPane = 3,
        ExtMenuCommandCount = 4,
        ClipboardFormatCount = 5,
    };

    // Reads and writes through the given environment (the running program's
    // by default); the environment must outlive the object.
    explicit CSettings(const CSettingsEnvironment& environment = CSettingsEnvironment::System());
    virtual ~CSettings();
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;

    // Neither settings file existed, or "SCVVersion" is not "SCV_150";
    // computed once at construction.
    virtual bool IsNewOrOutdated() const { return m_newOrOutdated; }

    // Reads every member from the files; missing keys keep the current value
    // or fall back to their fixed default; out-of-range values are clamped.
    // Returns 1.
    int Load();
    // Writes section "A_SETTINGS" and every member to the written file.
    // Returns 1 (failed writes are dropped).
    int Save();

    const CSettingsFiles& GetFiles() const { return m_files; }

    // --- Accessors -----------------------------------------------------------
    CString GetLanguageFileName() const { return Language; }
    // A value holding a backslash is reduced to its file name.
    void SetLanguageFileName(LPCWSTR name);
    // Program folder + the language file name, or empty for the embedded
    // English. Takes the choice another program wrote into the file first.
    CString GetLanguageFilePath();

    int GetClipboardHistoryMax() const { return ClipboardHistoryMax; }
    int GetSaveClipboardHistory() const { return SaveClipboardHistory_v198; }
    void SetSaveClipboardHistory(int value) { SaveClipboardHistory_v198 = value; }
    void SetWriteLog(int value) { WriteLog = value; }
    // The limit when non-zero, else -1 (no limit).
    int GetMaxHistoryItemsInMenu() const { return MaxHistoryItemsInMenu != 0 ? MaxHistoryItemsInMenu : -1; }
    bool HasMaxHistoryItemsInMenu() const { return MaxHistoryItemsInMenu != 0; }
    int GetClipboardSpyMethod() const { return ClipboardSpyMethod_v2_22; }
    // -1 (automatic) resolved: 1 when the clipboard format listener exists, else 0.
    int GetEffectiveClipboardSpyMethod() const;
    // 0 or above 5 becomes 3 (stored).
    int GetAddLastUsedMenuToBeginCount();
    // 0 reads as 1, above 30 as 30.
    int GetDaysCheckForUpdates() const;
    void SetDaysCheckForUpdates(int days);
    int GetPinnedFloatPaneOnStart() const { return Pinned_FloatPane_On_Start; }
    void SetPinnedFloatPaneOnStart(int value) { Pinned_FloatPane_On_Start = value; }
    // The flag of index 0..3, 0 for any other index.
    int GetExtMenuCommand(int index) const;
    int GetShowIconInAltTab() const { return ShowIconInAltTab_ForFP; }
    bool IsPhrasesDirectoryEmpty() const { return PhrasesDirectory.IsEmpty(); }
    // The phrases folder made absolute, with a trailing backslash.
    CString GetPhrasesFolder() const;
    CString GetPhrasesFolderNoSlash() const;
    // The form in which a chosen phrases folder is stored: empty for the
    // default folder, "." for the program folder itself, relative for a folder
    // inside the program folder, else as given (trailing backslashes removed).
    CString MakeStoredPhrasesDirectory(const CString& folder) const;
    CString GetDefaultPhrasesFolder() const { return m_files.GetDefaultPhrasesFolder(); }

    // Last update check (UTC); Get falls back to 2013-01-01 and stores it.
    bool SetLastCheckForUpdates(const SYSTEMTIME& time);
    bool GetLastCheckForUpdates(SYSTEMTIME& time);
    // The last check in local time; false (the fallback date in `time`) while no check was stored.
    bool GetLastCheckForUpdatesLocal(SYSTEMTIME& time);
    // Window positions in section "Settings_Agent" as name_x / name_y.
    bool SetPoint(LPCWSTR name, const POINT& point);
    bool GetPoint(LPCWSTR name, POINT& point) const;

    // Writes one string of section "Settings" to the written file.
    bool WriteString(LPCWSTR value, LPCWSTR key) const;
    // Writes one number of section "Settings" to the written file. A command that changes one
    // value writes only its key: Save would write back every value from memory, undoing what
    // another program (the editor) wrote into the file meanwhile.
    bool WriteInt(LPCWSTR key, int value) const;

    // The hot key as stored: virtual key + modifiers * 65536.
    int GetHotkeyPacked() const
    {
        return static_cast<int>(HotkeyVirtualKey) + static_cast<int>(HotkeyModifiers) * 65536;
    }
    void SetHotkeyPacked(int packed);

    // --- Values (named after their keys) ---------------------------------------
    int Pinned_FloatPane_On_Start = 0;
    int DaysCheckForUpdates = 7;
    int ClipboardSpyMethod_v2_22 = -1;
    CString PhrasesDirectory;
    int WriteLog = 0;
    int InsertEncodeCommandIntoMenu = 0;
    CString Language;
    int AddLastUsedMenuToBegin_Count = 3;
    int ExtMenuCommand[ExtMenuCommandCount] = {1, 1, 1, 1};
    int ShowIconInAltTab_ForFP = 1;
    int ShowHistoryPaneOnStart = 1;
    int ClipboardFormats[ClipboardFormatCount] = {1, 1, 0, 1, 1};
    WORD HotkeyVirtualKey = VK_RETURN;
    WORD HotkeyModifiers = MOD_ALT | MOD_CONTROL;
    int ExtHotkey = 0;
    int Hotkey_Doubled = 0;
    int ClipboardHistory = 1;
    int ClipboardHistoryMax = 30;
    int InsertCHIntoMenu = 1;
    int AutoCheckForUpdates = 1;
    int SoundOnEventsV094 = 1;
    int DelayAutoLoadSeconds_NextRelease = 30;
    int MenuToolTips_V0_94_A22 = 1;
    int AddLastUsedMenuToBegin = 1;
    int AppendCHAsSubMenu_ForV140 = 0;
    int Sorting = 1;
    int TextPasteMethod_v150 = 0;
    int PrintLTChars = 100;
    int ShowTrayBallonOnHotkey = 1;
    LOGFONTW FontForMenu;
    int SaveClipboardHistory_v198 = 1;
    int MaxHistoryItemsInMenu = 15;

protected:
    // Hooks of a derived build, called at the end of Load and in Save just
    // before the menu font and the extra-command flags.
    virtual void LoadMoreKeys() {}
    virtual void SaveMoreKeys() {}

private:
    friend CSettings& GetSettings();
    // What GetSettings runs once after construction; a derived build may
    // load its own keys here too.
    virtual int LoadOnFirstUse() { return Load(); }

    void DetectLanguage();
    void ComputeNewOrOutdated();
    int ReadInt(LPCWSTR key, int defaultValue) const;
    void ClampLoadedValues();

    CSettingsFiles m_files;
    bool m_newOrOutdated = false;
};

// The process's settings object, built and loaded on the first call.
CSettings& GetSettings();

// Makes the object GetSettings builds; must be installed before the first
// GetSettings call. Null restores the plain CSettings.
using SettingsFactory = CSettings* (*)();
void SetSettingsFactory(SettingsFactory factory);

// The value Save writes as "SCVVersion".
extern const wchar_t kSettingsVersionValue[];

// Always true: the floating pane uses its current style.
constexpr bool FloatPaneStyleSwitch = true;
