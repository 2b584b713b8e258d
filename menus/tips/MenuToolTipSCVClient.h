#pragma once

// The tooltip of the tray window's menus: for each command a body text made
// from the command's string and the state it changes (settings, paths, the
// clipboard, the history, languages), and a title icon. What only the
// program knows (hot key, paths, addresses, the About text) comes from the
// ITrayTipContext the tray window hands in.

#include <windows.h>

#include <vector>

#include "common/MenuToolTip.h"
#include "menus/tips/TrayHistorySource.h"
#include "menus/tips/TrayTipIcons.h"
#include "platform/CString.h"

class CPhraseStore;
class ITrayHistorySource;

// Commands whose tips show a language or a history item.
inline constexpr UINT kTrayLanguageFirstId = 33000;
inline constexpr UINT kTrayLanguageLastId = 33049;

class ITrayTipContext
{
public:
    virtual CString GetHotKeyText() = 0;
    // "on" / "off" as the program writes them.
    virtual CString GetOnOffText(bool on) = 0;
    virtual bool IsAutoStartEnabled() = 0;
    virtual bool IsMuteMode() = 0;
    virtual CString GetPhrasesFolderText() = 0;
    virtual CString GetLogFilePath() = 0;
    virtual CString GetSettingsFilePath() = 0;
    // The web address a command opens; empty for other commands.
    virtual CString GetCommandUrl(UINT command) = 0;
    virtual CString GetAboutText() = 0;
    // The localized menu text of a tray command.
    virtual CString GetMenuCommandText(UINT command) = 0;
    virtual HICON LoadProgramIcon() = 0;
    // The icon a tip's title shows (the caller owns it); null when the source has none.
    virtual HICON LoadTipIcon(const TipIconSource&) { return nullptr; }
    // The program that opens the floating pane's current item; empty without one.
    virtual CString GetOpenWithProgram() { return CString(); }
    // The newest undo record of the clipboard history: its age, its text and
    // its action (0 it replaces the history, 1 it adds its items); false without one.
    virtual bool GetLatestUndoRecord(DWORD& ageMs, CString& text, int& action) { return false; }
    // The floating pane's selected item (form 0 its text, 1 its HTML, 2 its
    // source address) and the short text of its selection; empty without a pane.
    virtual CString GetPaneItemData(int form) { return CString(); }
    virtual CString GetPaneSelectionText() { return CString(); }

protected:
    ITrayTipContext() = default;
    ~ITrayTipContext() = default;
    ITrayTipContext(const ITrayTipContext&) = default;
    ITrayTipContext& operator=(const ITrayTipContext&) = default;
};

class CMenuToolTipSCVClient : public CMenuToolTip
{
public:
    // None of the pointers is owned; each must outlive the tooltip.
    CMenuToolTipSCVClient(CPhraseStore* phrases, const std::vector<CString>* languages,
                          ITrayHistorySource* history, ITrayTipContext* context);
    ~CMenuToolTipSCVClient() override;

    void SetHistorySource(ITrayHistorySource* history) { m_history = history; }
    // Capture state for the reports: 0 runs, 1 connection error (with a text), 2 not running.
    void SetClipboardTrackingState(int state, const CString& errorText);
    // The clipboard tracking report of the About command and the 32786 tip.
    CString GetClipboardTrackingReport() const;
    // The tip of history item id - 34000.
    CString GetTipStringForClipboardHistory(UINT id, CString& title) const;
    // The tip of language item id - 33000.
    CString GetTipStringForLanguage(UINT id) const;
    // The body text of a command (the step the tip shows after its delay).
    CString BuildTipText(UINT id, HMENU menu, CString& title);
    // The icon the title of a command's tip shows: an HICON the tip keeps, or TTI_INFO.
    INT_PTR GetTitleIcon(UINT id) { return GetIconForId(id); }

protected:
    INT_PTR GetIconForId(UINT id) override;
    void GetTipText(CString& text, UINT id, HMENU menu, CString& title) override;
    int GetDefaultWidth() const override { return 400; }

private:
    CString CommandText(UINT id) const;
    CString FormatsLine() const;
    CString TrackingMethodLines() const;
    CString SpyMethodText() const;
    HICON LoadedIcon(const TipIconSource& source);
    CString UndoTipText(const CString& command) const;
    CString ZipLogTipText() const;

    CPhraseStore* m_phrases;
    const std::vector<CString>* m_languages;
    ITrayHistorySource* m_history;
    ITrayTipContext* m_context;
    int m_trackingState = 2;
    CString m_trackingError;
    CTipIconCache m_icons;
    HICON m_openWithIcon = nullptr;
};
