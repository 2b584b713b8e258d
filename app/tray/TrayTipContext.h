#pragma once

// What the tray menu's tooltips read from the program: the hot key, on/off
// texts, the start-with-Windows state, paths, web addresses and the About text.

#include "menus/tips/MenuToolTipSCVClient.h"

class CSCVTrayWnd;

class CTrayTipContext final : public ITrayTipContext
{
public:
    explicit CTrayTipContext(CSCVTrayWnd* window) : m_window(window) {}

    CString GetHotKeyText() override;
    CString GetOnOffText(bool on) override;
    bool IsAutoStartEnabled() override;
    bool IsMuteMode() override;
    CString GetPhrasesFolderText() override;
    CString GetLogFilePath() override;
    CString GetSettingsFilePath() override;
    CString GetCommandUrl(UINT command) override;
    CString GetAboutText() override;
    CString GetMenuCommandText(UINT command) override;
    HICON LoadProgramIcon() override;
    CString GetPaneItemData(int form) override;
    CString GetPaneSelectionText() override;
    HICON LoadTipIcon(const TipIconSource& source) override;
    CString GetOpenWithProgram() override;
    bool GetLatestUndoRecord(DWORD& ageMs, CString& text, int& action) override;

private:
    CSCVTrayWnd* m_window; // not owned
};

// The web address of a tray command (the Help pop-up, the translation how-to
// and the e-mail command); empty for other commands.
CString GetTrayCommandUrl(UINT command);
