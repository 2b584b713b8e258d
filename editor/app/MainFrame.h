#pragma once

// The editor's main frame: menu, accelerators and icon of resource set 128, the status bar, the phrases
// pane docked at the left (and the settings pane at the bottom when one is provided), the caption with the
// current phrase, the answers to the editor's registered messages, and the debounce of saved phrase
// changes towards the main program.

#include "editor/app/EditorMessages.h"
#include "editor/app/LanguageBar.h"
#include "editor/app/PhraseChangeDebounce.h"
#include "editor/app/PhrasesPane.h"
#include "platform/docview/ControlBars.h"
#include "platform/docview/FrameWnd.h"

#include <memory>
#include <vector>

class CMainFrame : public CFrameWnd, public IDocUpdateListener
{
    DECLARE_DYNCREATE(CMainFrame)

public:
    // Makes the settings pane (docked at the bottom); null leaves the frame without one.
    using SettingsPaneFactory = CControlBar* (*)(CMainFrame& frame);
    static void SetSettingsPaneFactory(SettingsPaneFactory factory);
    // Whether creation loads the phrase library from the settings' phrases folder (on by default).
    static void SetLoadLibraryOnCreate(bool load);

    static constexpr UINT kPhrasesCommand = 32771;
    static constexpr UINT kPhrasesHideUncheckedCommand = 32815;
    static constexpr UINT kExitCommand = 32834;
    static constexpr UINT kFirstLanguageCommand = 30000;
    static constexpr UINT kLastLanguageCommand = 30049;
    static constexpr UINT kFirstRecentFolderCommand = 30150;
    static constexpr UINT kLastRecentFolderCommand = 30159;

    BEGIN_MSG_MAP(CMainFrame)
    MESSAGE_HANDLER(GetInstanceMessage(), OnInstanceQuestion)
    MESSAGE_HANDLER(GetStatusTextMessage(), OnStatusText)
    MESSAGE_HANDLER(GetEditorOptionsChangedMessage(), OnOptionsChanged)
    MESSAGE_HANDLER(GetEditorAddFromClipboardMessage(), OnAddFromClipboardRequest)
    MESSAGE_HANDLER(GetEditorAddSelectedTextMessage(), OnAddSelectedTextRequest)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopupLists)
    COMMAND_RANGE_HANDLER(kFirstLanguageCommand, kLastLanguageCommand, OnLanguageCommand)
    COMMAND_ID_HANDLER(ID_VIEW_TOOLBAR, OnToggleLanguageBar)
    UPDATE_COMMAND_UI_HANDLER(ID_VIEW_TOOLBAR, OnUpdateLanguageBar)
    COMMAND_RANGE_HANDLER(kFirstRecentFolderCommand, kLastRecentFolderCommand, OnRecentFolderCommand)
    COMMAND_ID_HANDLER(kPhrasesCommand, OnTogglePhrases)
    COMMAND_ID_HANDLER(kExitCommand, OnExit)
    UPDATE_COMMAND_UI_HANDLER(kPhrasesCommand, OnUpdatePhrases)
    CHAIN_MSG_MAP(CFrameWnd)
    END_MSG_MAP()

    CMainFrame();
    ~CMainFrame() override;

    int OnCreate(CREATESTRUCTW* pcs) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

    // Start flags of the command line (bit 0 addfromcb, 1 firstrun, 2 addseltext); bit 0 shows the
    // phrases pane and has it add a phrase from the clipboard.
    void SetStartFlags(int flags);
    int GetStartFlags() const { return m_startFlags; }

    PhrasesPane& GetPhrasesPane() { return m_phrasesPane; }
    CControlBar* GetSettingsPane() { return m_settingsPane.get(); }
    PhraseChangeDebounce& GetChangeDebounce() { return m_debounce; }
    // A saved change: restart the wait of the debounce.
    void NoteChange() { m_debounce.NoteChange(m_hWnd); }

    // Makes `path` the phrases folder: the current phrase's pending edit is saved first (hint 2), the
    // document forgets its item, the library is loaded from the folder and hint 17 goes out. A folder
    // without phrase files is taken only when the user agrees (`ask`). False when not taken.
    bool OpenPhrasesFolder(const CString& path, bool ask = true);
    // True when the folder or one of its direct subfolders holds a phrase file.
    static bool FolderHasPhraseFiles(const CString& folder);

    HWND GetListenerWindow() override { return m_hWnd; }
    void OnDocUpdate(CView* sender, LPARAM hint, CObject* object) override;

    // Commands go to the frame's own routing (view, document, frame, application) and then, except
    // Hide Unchecked Phrases, to the phrases pane (MainFrameMenus.cpp).
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;
    // The Phrases Folder submenu (the popup holding 32833, 32838 or 32839): its first three items, then
    // one item per recent folder, at most as many as the id range holds. The number of folder items.
    static int FillRecentFoldersMenu(HMENU popup, const CEditorSettings& settings);
    // The Language submenu (the popup holding 32776): its first two items, then one item per language
    // file of the folder (empty: the program folder), at most as many as the id range holds (the list is
    // cut to that). The number of items.
    static int FillLanguageMenu(HMENU popup, std::vector<CString>& languages, const CString& current,
                                const CString& folder = CString());
    std::vector<CString>& GetLanguageList() { return m_languages; }
    LanguageBar* GetLanguageBar() { return m_languageBar.get(); }
    CReBar& GetReBar() { return m_rebar; }

private:
    // The language bar (dialog template 128) as a band of the rebar at the top; a program without the
    // template runs without it (MainFrameMenus.cpp). False when a bar cannot be created.
    bool CreateLanguageBars();
    LRESULT OnToggleLanguageBar(WORD, WORD, HWND, BOOL&);
    void OnUpdateLanguageBar(CCmdUI* ui);
    LRESULT OnInitMenuPopupLists(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnLanguageCommand(WORD, WORD id, HWND, BOOL&);
    LRESULT OnRecentFolderCommand(WORD, WORD id, HWND, BOOL&);
    static UINT GetInstanceMessage();
    static UINT GetStatusTextMessage();
    LRESULT OnInstanceQuestion(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnStatusText(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnOptionsChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAddFromClipboardRequest(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAddSelectedTextRequest(UINT, WPARAM, LPARAM, BOOL&); // MainFrameSelectedText.cpp
    void StartCoopWatchers();
    void ShowPhrasesPane();
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnTogglePhrases(WORD, WORD, HWND, BOOL&);
    LRESULT OnExit(WORD, WORD, HWND, BOOL&);
    void OnUpdatePhrases(CCmdUI* ui);

    CDoc* GetDoc();

    CStatusBar m_statusBar;
    PhrasesPane m_phrasesPane;
    std::unique_ptr<CControlBar> m_settingsPane;
    PhraseChangeDebounce m_debounce;
    INT_PTR m_captionItem = -1;
    int m_startFlags = 0;
    std::vector<CString> m_languages;
    std::unique_ptr<LanguageBar> m_languageBar;
    CReBar m_rebar;
};

// Called after every saved change of a phrase: the main frame of this thread restarts its debounce.
// False when there is no main frame.
bool NotePhrasesChanged();
