#pragma once

// The "Miscellaneous" settings page: start with Windows and its delay, sounds,
// update checks, the log, the system-wide hot key (with a live conflict test
// and a menu of preset keys), the phrase-menu options, the paste method, the
// clipboard history, its tracking method and kept formats, the menu font and
// the service commands at the bottom of the phrase menu.
// A watcher thread keeps the "start with Windows" box in step with the Run
// key while the page exists.

#include <windows.h>
#include "common/OwnWindowMessages.h"

#include "common/GdiObjectGuards.h"
#include "common/KernelHandle.h"
#include "editor/app/settings/HotkeyCheck.h"
#include "editor/app/settings/RunKeyWatcher.h"
#include "editor/app/settings/SettingsPage.h"
#include "editor/controls/ColorLabel.h"
#include "editor/controls/EditorHyperlinkStatic.h"
#include "editor/controls/FlatSpinButton.h"
#include "editor/controls/HotkeyCtrlEx.h"
#include "editor/controls/HoverLinkButton.h"
#include "editor/controls/SeparatorLabel.h"
#include "editor/app/settings/EditorSettingsRes.h"

#include <array>

inline constexpr UINT kCheckUpdatesNowMessage = 0x8002;
// A notification from the hot-key control (1001) that asks for the hot-key test again, as a change does.
inline constexpr UINT kHotkeyRetestNotify = 1232;
inline constexpr UINT kOpenLogFileCommand = 32829;

class MiscSettingsPage : public SettingsPage
{
public:
    // runKeyPath: the Run key below HKEY_CURRENT_USER; programPath: the main
    // program the Run value starts.
    MiscSettingsPage(CEditorSettings& settings, LPCWSTR runKeyPath, LPCWSTR programPath);
    explicit MiscSettingsPage(CEditorSettings& settings);
    ~MiscSettingsPage() override;

    // The window that registers the test hot key and gets the log command (the
    // page's top-level window when not set).
    void SetMainWindow(HWND window) { m_mainWindow = window; }

    int SaveToSettings() override;
    void ReadControls(CEditorSettings& s) override;
    void LoadFromSettings() override;
    void Localize() override;

    // The Run value's text: the quoted-free program path + " /autoload".
    CString GetAutostartCommand() const;
    bool IsAutostartRegistered() const;
    bool WriteAutostart(bool enable) const;
    // Runs the hot-key test on the control's key and shows the status.
    HotkeyCheckResult TestHotkey(bool blink);
    int GetHotkeyState() const { return m_hotkeyState; }
    CHotkeyCtrlExAdv& HotkeyControl() { return m_hotkey; }
    EditorHyperlinkStatic& CheckUpdatesLink() { return m_checkUpdatesLink; }
    HoverLinkButton& WriteLogButton() { return m_writeLogButton; }
    static constexpr int kSpinCount = 6;
    // Puts a chosen preset into the control and tests it (with the blink).
    void ApplyPreset(const HotkeyInfo& key);

    BEGIN_MSG_MAP(MiscSettingsPage)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
    MESSAGE_HANDLER(kRunKeyChangedMessage, OnRunKeyChanged)
    OWN_MESSAGE_HANDLER(kCheckUpdatesNowMessage, OnCheckUpdatesNow)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    COMMAND_HANDLER(IDC_MISC_AUTOSTART, BN_CLICKED, OnAutostart)
    COMMAND_HANDLER(IDC_MISC_DELAY_START, BN_CLICKED, OnDelayStart)
    COMMAND_HANDLER(IDC_MISC_AUTO_UPDATES, BN_CLICKED, OnAutoUpdates)
    COMMAND_HANDLER(IDC_MISC_SOUNDS, BN_CLICKED, OnSounds)
    COMMAND_HANDLER(IDC_MISC_CLIP_HISTORY, BN_CLICKED, OnClipHistory)
    COMMAND_HANDLER(IDC_MISC_HISTORY_IN_MENU, BN_CLICKED, OnHistoryInMenu)
    COMMAND_HANDLER(IDC_MISC_HISTORY_LIMIT, BN_CLICKED, OnHistoryLimit)
    COMMAND_HANDLER(IDC_MISC_LAST_USED, BN_CLICKED, OnLastUsed)
    COMMAND_HANDLER(IDC_MISC_PASTE_METHOD, CBN_SELENDOK, OnPasteMethod)
    COMMAND_HANDLER(IDC_MISC_TRACKING_METHOD, CBN_SELENDOK, OnTrackingMethod)
    COMMAND_HANDLER(IDC_MISC_PASTE_METHOD, CBN_DROPDOWN, OnDropDown)
    COMMAND_HANDLER(IDC_MISC_TRACKING_METHOD, CBN_DROPDOWN, OnDropDown)
    COMMAND_HANDLER(IDC_MISC_MENU_FONT, BN_CLICKED, OnMenuFont)
    COMMAND_HANDLER(IDC_MISC_EXT_COMMANDS, BN_CLICKED, OnExtCommands)
    NOTIFY_HANDLER(IDC_MISC_HOTKEY, kEditorNotifyChanged, OnHotkeyChanged)
    NOTIFY_HANDLER(IDC_MISC_HOTKEY, kHotkeyRetestNotify, OnHotkeyChanged)
    NOTIFY_HANDLER(IDC_MISC_HOTKEY, kEditorNotifyContextMenu, OnHotkeyMenu)
    NOTIFY_HANDLER(IDC_MISC_HOTKEY, kEditorNotifyArrowClicked, OnHotkeyMenu)
    NOTIFY_HANDLER(IDC_MISC_WRITE_LOG, kEditorNotifyChanged, OnWriteLogLink)
    NOTIFY_HANDLER(IDC_MISC_FORMATS, NM_CUSTOMDRAW, OnFormatsCustomDraw)
    // The spin buttons, the font sample and the log link box colour and step themselves.
    REFLECT_NOTIFICATIONS()
    CHAIN_MSG_MAP(SettingsPage)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled);
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnRunKeyChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCheckUpdatesNow(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDblClk(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnAutostart(WORD, WORD, HWND, BOOL&);
    LRESULT OnDelayStart(WORD, WORD, HWND, BOOL&);
    LRESULT OnAutoUpdates(WORD, WORD, HWND, BOOL&);
    LRESULT OnSounds(WORD, WORD, HWND, BOOL&);
    LRESULT OnClipHistory(WORD, WORD, HWND, BOOL&);
    LRESULT OnHistoryInMenu(WORD, WORD, HWND, BOOL&);
    LRESULT OnHistoryLimit(WORD, WORD, HWND, BOOL&);
    LRESULT OnLastUsed(WORD, WORD, HWND, BOOL&);
    LRESULT OnPasteMethod(WORD, WORD, HWND, BOOL&);
    LRESULT OnTrackingMethod(WORD, WORD, HWND, BOOL&);
    LRESULT OnDropDown(WORD, WORD, HWND control, BOOL&);
    LRESULT OnMenuFont(WORD, WORD, HWND, BOOL&);
    LRESULT OnExtCommands(WORD, WORD, HWND, BOOL&);
    LRESULT OnHotkeyChanged(int, LPNMHDR, BOOL&);
    LRESULT OnHotkeyMenu(int, LPNMHDR header, BOOL&);
    LRESULT OnWriteLogLink(int, LPNMHDR, BOOL&);
    LRESULT OnFormatsCustomDraw(int, LPNMHDR header, BOOL&);

    HWND MainWindow() const;
    void CreateHotkeyControl();
    void SetupSpins();
    void FillCombos();
    void FillFormatsList();
    // The rows' texts again, in the current language.
    void RetextFormatsList();
    void SelectComboData(int comboId, int data);
    int GetComboData(int comboId, int fallback) const;
    void ApplyEnableRules();
    void ApplyHistoryInMenuRule();
    void ApplyHistoryLimitRule();
    void ApplyPasteMethodRule();
    void SetMenuFont(const LOGFONTW& font);
    // "Font For Menu: face, size" in the current language, from the sample's font.
    void RefreshFontSampleText();
    void BuildTips();
    // The paste-method and tracking-method tips from the combos' selections.
    void BuildMethodTips();
    void AttachSpinsAndLabels();
    // The "Extended Menu Commands" button's counter and tip from the settings.
    void UpdateExtCommandsButton();
    void ShowPresetMenu(POINT screenPoint);

    CString m_runKeyPath;
    CString m_programPath;
    HWND m_mainWindow = nullptr;
    CKernelHandle m_stopEvent;
    CKernelHandle m_watcher;
    int m_hotkeyState = HotkeyConflict;
    int m_lastTestResult = 1;
    bool m_localizedOnce = false; // a later Localize is a language change
    EditorHyperlinkStatic m_checkUpdatesLink;
    HoverLinkButton m_writeLogButton;
    CSettingsHotkeyCtrl m_hotkey;
    std::array<CFlatSpinButton, kSpinCount> m_spins;
    std::array<CSeparatorLabel, 3> m_sectionLabels;
    GdiObject<HFONT> m_sectionFont; // a bold copy of the first section label's font
    ColorLabel m_fontSample;
    HFONT m_strikeOutFont = nullptr;
    HIMAGELIST m_images = nullptr;
};
