#pragma once
// The language bar at the top of the main frame: a drop-down list of the language files of the
// program folder (the built-in language first, a "How To Localize" item last). Choosing a language
// sends WM_COMMAND 30000 + index to the main window; the last item posts WM_COMMAND 32776 and
// leaves the language as it is. On a first run the frame calls StartAttentionTimer: 1.5 s later
// the combo's text turns red and its font pulses, then its list opens with the focus on it.

#include "editor/controls/LinksToolBar.h"
#include "platform/docview/ControlBars.h"
#include "platform/CString.h"

#include <windows.h>

#include <vector>

namespace LanguageBarCombo
{

constexpr UINT kComboId = 1010;
constexpr UINT kFirstLanguageCommand = 30000;
constexpr UINT kHowToLocalizeCommand = 32776;

// One item per language file of `folder` (the list is filled from the folder when empty), each with
// its index as item data, then the how-to item (data -1); selects the entry equal to `current`.
void Fill(HWND combo, const CString& folder, const CString& current, const CString& caption,
          const CString& howToText, std::vector<CString>& list);
// The command the selected item stands for (0 when nothing is selected).
UINT SelectedCommand(HWND combo);
// Sends (language) or posts (how-to) the selected item's command to the main window.
bool Dispatch(HWND combo, HWND mainWindow);
// The how-to item's text: the part of the string after its first "\n" (all of it when it has none).
CString HowToText(const CString& resourceText);

} // namespace LanguageBarCombo

class LanguageBar : public CDialogBar
{
public:
    static constexpr UINT kTemplateId = 128;
    static constexpr UINT_PTR kAttentionTimer = 1232;
    static constexpr UINT kBlinkEndedMessage = 0x8001;

    // `languages`: the frame's list of language file names (the first entry empty); kept by pointer.
    explicit LanguageBar(std::vector<CString>* languages);
    ~LanguageBar() override;

    BEGIN_MSG_MAP(LanguageBar)
    MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(kBlinkEndedMessage, OnBlinkEnded)
    MESSAGE_HANDLER(WM_CTLCOLORLISTBOX, OnCtlColor)
    MESSAGE_HANDLER(WM_CTLCOLOREDIT, OnCtlColor)
    MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColor)
    MESSAGE_HANDLER(WM_COMMAND, OnCommandMsg)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    CHAIN_MSG_MAP(CDialogBar)
    END_MSG_MAP()

    void StartAttentionTimer();
    // The frame calls this when the language changed: refills the combo and selects `current`.
    void Relocalize(const CString& current);
    // The language file in use (empty: the built-in one), selected when the combo is first filled.
    void SetCurrentLanguage(const CString& current) { m_currentLanguage = current; }
    // The folder whose language files the combo lists (empty: the program's folder).
    void SetLanguageFolder(const CString& folder) { m_folder = folder; }
    LinksToolBar& GetLinksToolBar() { return m_links; }
    static constexpr UINT kLinksToolBarId = 0xE800;
    static constexpr UINT kForumCommand = 32783;
    HWND GetCombo() const;
    bool IsAttentionShown() const { return m_attentionFont != nullptr; }

private:
    LRESULT OnShowWindow(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnBlinkEnded(UINT, WPARAM wParam, LPARAM, BOOL& handled);
    LRESULT OnCtlColor(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnCommandMsg(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& handled);
    // The links toolbar answers its own tips and drawing: its notifications go back to it.
    LRESULT OnNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled);
    void FillCombo(const CString& current);
    CString LanguageFolder() const;
    // The language file uses the regional web pages (its prefix is read from the language folder).
    bool UsesRegionalPages(const CString& language) const;
    // Creates the links toolbar once and places it right of the combo over the rest of the bar.
    void LayoutLinks();
    HWND MainWindow() const;

    std::vector<CString>* m_languages;
    HFONT m_attentionFont = nullptr;
    LinksToolBar m_links;
    CString m_currentLanguage;
    CString m_folder;
};
