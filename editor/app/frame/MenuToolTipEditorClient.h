#pragma once

// The editor's menu tooltip: the main program's menu tooltip with the editor's choice of commands,
// icons and texts. A tip holds the command's prompt text, for some commands with live facts added
// (the clipboard's first line, a recent folder, the log path, the clipboard-history folder, the
// phrase waiting to be pasted, a language file's name and prefix).

#include "common/MenuToolTip.h"
#include "platform/CString.h"

#include <vector>

class CEditorSettings;

class CMenuToolTipEditorClient : public CMenuToolTip
{
public:
    // `languages` lists the language file names in the order of the language commands (30000 + i
    // shows entry i); neither it nor the settings is owned and both must outlive the tooltip.
    CMenuToolTipEditorClient(CEditorSettings& settings, const std::vector<CString>* languages);
    ~CMenuToolTipEditorClient() override;

    static constexpr UINT kFirstMacroCommand = 30100;
    static constexpr UINT kLastMacroCommand = 30149;
    static constexpr UINT kFirstRecentFolderCommand = 30150;
    static constexpr UINT kLastRecentFolderCommand = 30159;
    static constexpr UINT kFirstLanguageCommand = 30000;
    static constexpr UINT kLastLanguageCommand = 30049;

    // The tip window for `owner`, titled "Tip Text". True when the window exists afterwards.
    bool Create(HWND owner);
    void DestroyTipWindow() { DestroyTip(); }
    // The owner's WM_MENUSELECT.
    void OnFrameMenuSelect(HMENU menu, UINT item, UINT flags) { OnMenuSelect(item, flags, menu); }
    // The phrase text the Paste command's tip shows (cut or copied phrases).
    void SetPasteText(const CString& text) { m_pasteText = text; }
    int GetState() const { return m_state; }

    // The user-interface text of string `id` in the current language, cut before its first "\n"
    // when that is not the first character.
    static CString GetCommandPromptText(UINT id);
    // The whole tip text of a command.
    CString GetTipString(UINT id);

protected:
    bool IsNoTipCommand(UINT id) const override;
    INT_PTR GetIconForId(UINT id) override;
    void GetTipText(CString& text, UINT id, HMENU menu, CString& title) override;

private:
    CString RecentFolderTip(UINT id) const;
    CString LanguageTip(UINT id) const;
    void AddLiveFacts(CString& text, UINT id) const;

    CEditorSettings& m_settings;
    const std::vector<CString>* m_languages;
    int m_state = 0;
    CString m_pasteText;
    HICON m_macroIcon = nullptr;
    HICON m_programIcon = nullptr;
};
