#pragma once

// The editor's main frame: menu, accelerators and icon of resource set 128, the status bar, the phrases
// pane docked at the left and the settings pane at the bottom, the caption with the current phrase, the
// answers to the editor's registered messages, the debounce of saved phrase changes towards the main
// program, the menu tooltip, the system and view menus, and the frame's own commands (folder, file,
// log, web and update commands: MainFrameCommands.cpp).

#include "editor/app/document/EditorFileCommands.h"
#include "common/OwnWindowMessages.h"
#include "editor/app/frame/EditorMessages.h"
#include "editor/app/frame/LanguageBar.h"
#include "editor/app/document/PhraseChangeDebounce.h"
#include "editor/app/frame/MenuToolTipEditorClient.h"
#include "editor/app/phrases/PhrasesPane.h"
#include "editor/app/settings/SettingsPane.h"
#include "online/CommandRunners.h"
#include "platform/docview/ControlBars.h"
#include "platform/docview/FrameWnd.h"

#include <memory>
#include <vector>

class CMainFrame : public CFrameWnd, public IDocUpdateListener
{
    DECLARE_DYNCREATE(CMainFrame)

public:
    // Makes the settings pane object (the frame creates its window docked at the bottom); without a
    // factory the frame has no settings pane. The editor sets CreateEditorSettingsPane.
    using SettingsPaneFactory = SettingsPane* (*)(CMainFrame& frame);
    static void SetSettingsPaneFactory(SettingsPaneFactory factory);
    // The pane over the frame's settings object, watching the real Run key.
    static SettingsPane* CreateEditorSettingsPane(CMainFrame& frame);
    // Whether the settings pane starts hidden (the application's hide-settings flag).
    static void SetHideSettingsOnCreate(bool hide);
    // Where the frame's message boxes go (null: real message boxes). Tests record them.
    static void SetReportBox(CommandReportBox box);
    // Where the frame's "select this file in Explorer" goes (null: explorer.exe). Tests record it.
    static void SetExplorerOpener(LogZipExplorerOpener opener);
    // Whether creation loads the phrase library from the settings' phrases folder (on by default).
    static void SetLoadLibraryOnCreate(bool load);

    static constexpr UINT kPhrasesCommand = 32771;
    static constexpr UINT kPhrasesHideUncheckedCommand = 32815;
    static constexpr UINT kExitCommand = 32834;
    static constexpr UINT kSettingsCommand = 32777;
    static constexpr UINT kPreviewCommand = 32841;
    static constexpr UINT kNextPaneCommand = 57680;
    static constexpr UINT kPreviousPaneCommand = 57681;
    static constexpr UINT kMetaInfoCommand = 32846;
    static constexpr UINT kChooseFolderCommand = 32833;
    static constexpr UINT kMoveFolderCommand = 32838;
    static constexpr UINT kShowFolderCommand = 32839;
    static constexpr UINT kOpenLogCommand = 32829;
    static constexpr UINT kHowToLocalizeCommand = 32776;
    static constexpr UINT kCheckForUpdatesCommand = 32825;
    static constexpr UINT kClipsHistoryFolderCommand = 32848;
    static constexpr UINT kWelcomeCommand = 32842;
    static constexpr UINT kViewMenuMessage = WM_APP + 100;
    // wParam of the frame's own options-changed post that runs the reload.
    static constexpr WPARAM kReloadOptionsNow = 0x52;
    static constexpr UINT_PTR kClipboardStartFlag = 1;
    static constexpr UINT_PTR kAttentionStartFlag = 2;
    static constexpr UINT_PTR kSelectedTextStartFlag = 4;
    static constexpr UINT kFirstLanguageCommand = 30000;
    static constexpr UINT kLastLanguageCommand = 30049;
    static constexpr UINT kFirstRecentFolderCommand = 30150;
    static constexpr UINT kLastRecentFolderCommand = 30159;

    BEGIN_MSG_MAP(CMainFrame)
    MESSAGE_HANDLER(GetInstanceMessage(), OnInstanceQuestion)
    MESSAGE_HANDLER(GetStatusTextMessage(), OnStatusText)
    MESSAGE_HANDLER(GetEditorOptionsChangedMessage(), OnOptionsChanged)
    OWN_MESSAGE_HANDLER(GetEditorAddFromClipboardMessage(), OnAddFromClipboardRequest)
    OWN_MESSAGE_HANDLER(GetEditorAddSelectedTextMessage(), OnAddSelectedTextRequest)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(GetEditorSaveFailedMessage(), OnSaveFailed)
    MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
    MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopupLists)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelectTip)
    MESSAGE_HANDLER(WM_ENTERIDLE, OnEnterIdleTip)
    OWN_MESSAGE_HANDLER(kViewMenuMessage, OnViewMenuMessage)
    NOTIFY_CODE_HANDLER(TTN_SHOW, OnToolTipShow)
    COMMAND_RANGE_HANDLER(kFirstLanguageCommand, kLastLanguageCommand, OnLanguageCommand)
    COMMAND_ID_HANDLER(ID_VIEW_TOOLBAR, OnToggleLanguageBar)
    UPDATE_COMMAND_UI_HANDLER(ID_VIEW_TOOLBAR, OnUpdateLanguageBar)
    COMMAND_RANGE_HANDLER(kFirstRecentFolderCommand, kLastRecentFolderCommand, OnRecentFolderCommand)
    COMMAND_ID_HANDLER(kPhrasesCommand, OnTogglePhrases)
    COMMAND_ID_HANDLER(kExitCommand, OnExit)
    UPDATE_COMMAND_UI_HANDLER(kPhrasesCommand, OnUpdatePhrases)
    COMMAND_ID_HANDLER(kSettingsCommand, OnToggleSettings)
    UPDATE_COMMAND_UI_HANDLER(kSettingsCommand, OnUpdateSettings)
    COMMAND_ID_HANDLER(EditorFileCommands::kCmdImport, OnImport)
    COMMAND_ID_HANDLER(EditorFileCommands::kCmdExport, OnExport)
    UPDATE_COMMAND_UI_HANDLER(EditorFileCommands::kCmdExport, OnUpdateExport)
    COMMAND_ID_HANDLER(EditorFileCommands::kCmdBackup, OnBackup)
    COMMAND_ID_HANDLER(EditorFileCommands::kCmdZipLog, OnZipLog)
    UPDATE_COMMAND_UI_HANDLER(EditorFileCommands::kCmdZipLog, OnUpdateZipLog)
    COMMAND_ID_HANDLER(EditorFileCommands::kCmdMakeLanguageFile, OnMakeLanguageFile)
    COMMAND_ID_HANDLER(kChooseFolderCommand, OnChooseFolder)
    COMMAND_ID_HANDLER(kShowFolderCommand, OnShowFolder)
    COMMAND_ID_HANDLER(kMoveFolderCommand, OnMoveFolder)
    COMMAND_ID_HANDLER(kOpenLogCommand, OnOpenLog)
    COMMAND_ID_HANDLER(kCheckForUpdatesCommand, OnCheckForUpdates)
    COMMAND_ID_HANDLER(kClipsHistoryFolderCommand, OnClipsHistoryFolder)
    COMMAND_ID_HANDLER(kWelcomeCommand, OnWelcome)
    COMMAND_ID_HANDLER(kHowToLocalizeCommand, OnWebCommand)
    COMMAND_ID_HANDLER(32781, OnWebCommand)
    COMMAND_ID_HANDLER(32827, OnWebCommand)
    COMMAND_ID_HANDLER(32783, OnWebCommand)
    COMMAND_ID_HANDLER(32819, OnWebCommand)
    COMMAND_ID_HANDLER(32795, OnWebCommand)
    COMMAND_ID_HANDLER(32782, OnWebCommand)
    COMMAND_ID_HANDLER(32806, OnWebCommand)
    COMMAND_ID_HANDLER(32840, OnWebCommand)
    COMMAND_ID_HANDLER(32845, OnWebCommand)
    COMMAND_ID_HANDLER(32847, OnWebCommand)
    COMMAND_ID_HANDLER(32812, OnWebCommand)
    COMMAND_ID_HANDLER(kNextPaneCommand, OnNextPane)
    COMMAND_ID_HANDLER(kPreviousPaneCommand, OnNextPane)
    CHAIN_MSG_MAP(CFrameWnd)
    END_MSG_MAP()

    CMainFrame();
    ~CMainFrame() override;

    // Loads without the document's title in the caption, then localises the menu.
    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   HWND hParent = nullptr, CCreateContext* pContext = nullptr) override;
    int OnCreate(CREATESTRUCTW* pcs) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The localised text of the command up to its first line break; else the framework's prompt.
    void GetMessageString(UINT nID, CString& rMessage) const override;

    // Start flags of the command line (bit 0 addfromcb, 1 firstrun, 2 addseltext): bit 0 shows the
    // phrases pane and has it add a phrase from the clipboard, bit 1 starts the language bar's
    // attention timer, bit 2 posts the add-selected-text message to the frame.
    void SetStartFlags(int flags);
    int GetStartFlags() const { return m_startFlags; }

    PhrasesPane& GetPhrasesPane() { return m_phrasesPane; }
    SettingsPane* GetSettingsPane() { return m_settingsPane.get(); }
    CMenuToolTipEditorClient* GetMenuToolTip() { return m_menuTip.get(); }
    CStatusBar& GetStatusBar() { return m_statusBar; }
    // The view popup menu (toolbar, status bar, phrases, settings, preview, meta info) with the texts
    // of menu 128; the caller destroys it.
    HMENU BuildViewMenu();
    // The log file of the editor (its settings' program folder, else the application-data folder).
    CString GetLogPath();
    // Shows the view popup menu at the screen point.
    void ShowViewMenu(POINT screen);
    PhraseChangeDebounce& GetChangeDebounce() { return m_debounce; }
    // A saved change: restart the wait of the debounce.
    void NoteChange() { m_debounce.NoteChange(m_hWnd); }

    // Makes `path` the phrases folder: the current phrase's pending edit is saved first (hint 2), the
    // document forgets its item, the library is loaded from the folder and hint 17 goes out. A folder
    // without phrase files is taken only when the user agrees (`ask`). False when not taken.
    bool OpenPhrasesFolder(const CString& path, bool ask = true);
    // At start: a phrases folder that is missing (a removable drive out, a share offline) is made when
    // the user agrees; refused, the editor turns to the first remembered folder that exists. With
    // none, it stays on the missing folder, which the caption names and nothing is written to.
    void CheckPhrasesFolderOnStart();
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
    // The four menu bitmaps (32772, 32811, 32822, 32773); a missing icon leaves its item plain.
    void BuildMenuBitmaps();
    void SetMenuBitmaps(HMENU popup);
    void AddSystemMenuItems();
    void CreateMenuToolTip();
    bool CreateSettingsPane();
    void Report(const CString& text, UINT type);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnMenuSelectTip(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnEnterIdleTip(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnViewMenuMessage(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnToolTipShow(int, LPNMHDR, BOOL&) { return 0; }
    LRESULT OnToggleSettings(WORD, WORD, HWND, BOOL&);
    void OnUpdateSettings(CCmdUI* ui);
    LRESULT OnImport(WORD, WORD, HWND, BOOL&);
    LRESULT OnExport(WORD, WORD, HWND, BOOL&);
    void OnUpdateExport(CCmdUI* ui);
    LRESULT OnBackup(WORD, WORD, HWND, BOOL&);
    LRESULT OnZipLog(WORD, WORD, HWND, BOOL&);
    void OnUpdateZipLog(CCmdUI* ui);
    LRESULT OnMakeLanguageFile(WORD, WORD, HWND, BOOL&);
    LRESULT OnChooseFolder(WORD, WORD, HWND, BOOL&);
    LRESULT OnShowFolder(WORD, WORD, HWND, BOOL&);
    LRESULT OnMoveFolder(WORD, WORD, HWND, BOOL&);
    LRESULT OnOpenLog(WORD, WORD, HWND, BOOL&);
    LRESULT OnCheckForUpdates(WORD, WORD, HWND, BOOL&);
    LRESULT OnClipsHistoryFolder(WORD, WORD, HWND, BOOL&);
    LRESULT OnWelcome(WORD, WORD, HWND, BOOL&);
    // The web pages (home, video, forums, support, mail, news feed, community pages, translation guide).
    LRESULT OnWebCommand(WORD, WORD id, HWND, BOOL& bHandled);
    // F6 and Shift+F6: the focus to the next or previous pane (phrase tree, main view, settings pane).
    LRESULT OnNextPane(WORD, WORD id, HWND, BOOL&);

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
    // Answers 1; a second editor's start flags (wParam) are acted on here.
    LRESULT OnInstanceQuestion(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnStatusText(UINT, WPARAM, LPARAM lParam, BOOL&);
    LRESULT OnOptionsChanged(UINT, WPARAM, LPARAM, BOOL&);
    // Reloads the settings object and the shown settings page.
    void ReloadOptions();
    LRESULT OnAddFromClipboardRequest(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAddSelectedTextRequest(UINT, WPARAM, LPARAM, BOOL&); // MainFrameSelectedText.cpp
    // Puts the two panes into the frame's dock bars (bottom and left), from where they can float.
    void DockPanes();
    void StartCoopWatchers();
    void ShowPhrasesPane();
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
    // The save worker's failures and the end of the session (MainFrameSession.cpp).
    void WatchSaveFailures(bool on);
    // A missing phrases folder is made when the user agrees; false when it is missing still.
    bool EnsurePhrasesFolder(const CString& path);
    // Makes the folder without asking; false (after a message) when it cannot be made.
    bool CreatePhrasesFolder(const CString& path);
    // Export and Backup pack what the user sees: the text being typed is saved and every queued write
    // is on disk first.
    void SaveWorkBeforePacking();
    LRESULT OnSaveFailed(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEndSession(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnTogglePhrases(WORD, WORD, HWND, BOOL&);
    LRESULT OnExit(WORD, WORD, HWND, BOOL&);
    void OnUpdatePhrases(CCmdUI* ui);

    CDoc* GetDoc();

    std::vector<HBITMAP> m_menuBitmaps;
    CStatusBar m_statusBar;
    PhrasesPane m_phrasesPane;
    std::unique_ptr<SettingsPane> m_settingsPane;
    std::unique_ptr<CMenuToolTipEditorClient> m_menuTip;
    PhraseChangeDebounce m_debounce;
    INT_PTR m_captionItem = -1;
    int m_startFlags = 0;
    // The options-changed message: a reload waits in the queue, or runs now (a box it shows may
    // dispatch more of them).
    bool m_optionsReloadQueued = false;
    bool m_optionsReloading = false;
    bool m_optionsChangedAgain = false;
    std::vector<CString> m_languages;
    std::unique_ptr<LanguageBar> m_languageBar;
    CReBar m_rebar;
};

// Called after every saved change of a phrase: the main frame of this thread restarts its debounce.
// False when there is no main frame.
bool NotePhrasesChanged();
// The phrase waiting to be pasted, for the tip of the Paste command in the main frame's menus. False
// when there is no main frame with a menu tooltip.
bool SetMenuTipPasteText(const CString& text);

// Posts the view menu request (WM_APP + 100, lParam the position of the last message) to the main
// window of this thread. False when there is no main frame.
bool ShowViewMenuAtCursor();
