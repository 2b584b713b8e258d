#pragma once

// The main program's one hidden top-level window. The program entry creates
// it and runs the message loop; every request of other windows, threads and
// processes reaches the program as a message to this window. It owns the
// phrase tree, the tray icon with its tip and balloons, the session
// notifications and the start-up notes, and it starts the relays and worker
// threads of the running instance.
//
// The phrase menu service runs here: the hot key, the core hook DLL that
// describes the target window, the query thread that reads the description,
// the phrase menu builder and the running of the chosen command (typed or
// pasted phrases, the user's clipboard kept around the menu).
//
// The tray menu (app/tray/TrayMenu.cpp) and its commands (app/tray/SCVTrayWndCommands.cpp)
// reach every command of the program; the menus show delayed tooltips. The
// clipboard history lives in CTrayClipboardHistory, which the window reads
// through ITrayHistorySource (SetClipboardHistorySource replaces it in tests).

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/tray/AltTabIcon.h"
#include "app/target/CSCVDLLService.h"
#include "app/target/CSCV_Wait_Objs.h"
#include "app/target/CWaitQuery.h"
#include "app/target/HotKeyPressGate.h"
#include "app/history/TrayClipboardHistory.h"
#include "app/tray/TrayIconAnimator.h"
#include "app/TrayMessages.h"
#include "app/tray/TrayUpdateCheck.h"
#include "app/tray/WtsSessionNotifier.h"
#include "engine/ClipboardSaver.h"
#include "online/CommandRunners.h"
#include "engine/PhraseStore.h"
#include "app/history/FloatPaneAppHost.h"
#include "menus/phrasemenu/PhraseMenuHost.h"
#include "menus/tips/TrayHistorySource.h"
#include "menus/floatpane/SCVFloatPane.h"
#include "platform/CIdleHandler.h"
#include "platform/CMessageFilter.h"
#include "platform/CString.h"
#include "platform/CWindowImpl.h"

class CCommandLineArgs;
class CMenuToolTipSCVClient;
class IDataNeededHander_MenuSelf;
class CTrayTipContext;

// What the program entry gives the tray window.
struct TrayWindowStartRecord
{
    // Set at WM_DESTROY; every worker thread of the window ends on it. Not owned.
    HANDLE stopEvent = nullptr;
    // The parsed command line; not owned, may be null (no switches).
    const CCommandLineArgs* args = nullptr;
    bool noInstall = false;
    // The core hook DLL; empty: "Scrivolanter.dll" of the program folder.
    CString coreDllPath;
};

class CSCVTrayWnd : public CWindowImpl<CSCVTrayWnd, CWindow, CNullTraits>,
                    public CMessageFilter,
                    public CIdleHandler,
                    public IPhraseMenuHost
{
public:
    DECLARE_WND_CLASS_EX(kTrayWindowClassName, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, COLOR_WINDOW)

    explicit CSCVTrayWnd(const TrayWindowStartRecord& start);
    ~CSCVTrayWnd() override;

    // Creates the hidden window (off screen, never shown). True when it exists.
    bool Create(LPVOID parameter);

    // Tray icon: mode 0 adds it, 1 updates it with a balloon, 2 updates it
    // silently; other modes do nothing and return FALSE. A balloon text (may
    // be null) is appended to the balloon's title.
    BOOL UpdateTrayIcon(int mode, LPCWSTR balloonText, bool warning);
    // Shows `text` in a balloon for `milliseconds`; an empty text hides it.
    BOOL ShowTrayBalloon(LPCWSTR text, UINT milliseconds);
    // Appends "\n" + text to the accumulator (when given) and the text to the
    // start-up notes.
    static void ReportStartupError(CString* accumulator, LPCWSTR text);
    // A message box owned by this window with the caption "Scrivolanter"; with
    // `flash` the hidden window shows in the task bar and flashes meanwhile.
    int ShowOwnMessageBox(LPCWSTR text, UINT type, bool flash);

    // Starts the phrase menu service: the interchange objects, the hot key
    // (published in the shared settings area), the core hook DLL and the
    // query thread. True only when everything started; on failure what was
    // started is taken down again and the reasons go to the start-up notes
    // (and, when given, to the accumulator).
    bool StartCoreServices(LPVOID parameter, CString* accumulator);
    // Takes the phrase menu service down: the query thread, the hook DLL, the
    // hot key, the interchange objects.
    void StopCoreServices();

    // --- Hot key, phrase request and the chosen command ------------------------------
    // Registers the hot key of the settings (Ctrl+Alt+Enter when none is set)
    // as id 1 and publishes it in the shared settings area. False when it is
    // registered already or the system refuses it (reported as a start-up error).
    bool RegisterPhraseHotKey(CString* accumulator);
    bool UnregisterPhraseHotKey();
    bool IsHotKeyRegistered() const { return m_hotKeyRegistered != 0; }
    // A press of the hot key: the double-press rule, then the request for the
    // target's description (only while the hook DLL is installed).
    void OnHotKeyShowMenu();
    // Keeps the user's clipboard and asks the target window for its
    // description; the menu follows from the query thread (or at once when
    // the description was made here).
    void ShowPhraseMenuForTarget(bool fromHotKey);
    // Runs a command chosen in the phrase menu (or sent by the hook DLL) for
    // the target window: -1 puts the user's clipboard back; a phrase that ran
    // becomes the newest last used one.
    void ExecuteCommandFromSelf(WPARAM commandId, LPARAM targetWindow);
    // 0 a special command, 1 a history item ran, 2 a phrase ran, 3 the id
    // names nothing (the user's clipboard is put back).
    int RunPhraseCommand(int commandId, HWND target);
    // The commands -2, -3, -4 and -6 of the menu; false for any other id.
    bool RunSpecialCommand(int commandId, HWND target);
    // Puts the clipboard kept for the request back (when one is kept).
    void RestoreClipboardAndUnblock();
    // A posted request whose target never answered ends (its clipboard put back only over
    // the program's own change); nothing when the menu came.
    void EndUnansweredRequest();
    // A choice of the menu's right-click pop-up: kind 0-8 for the command.
    void RunRightMenuCommand(int kind, int commandId);
    // Whether the id may become a last used one: a phrase of the tree.
    bool PreSetLastID_CallBack(int commandId);
    // Reloads the phrase tree and updates the tray icon (mode 1 with
    // `quiet`, else mode 2 and a blink of the icon).
    void ReloadPhrases(bool quiet);

    // --- Tray menu (app/tray/TrayMenu.cpp) ------------------------------------------------
    // Shows the tray menu at the cursor (kept as the last menu point).
    void ShowTrayMenuAtCursor();
    // Shows the tray menu at the point and sends the chosen command; returns it (0 none).
    UINT DisplayTrayMenuWithPoint(int x, int y);
    // WM_INITMENUPOPUP of the tray menu: check marks, grayed and default items, texts.
    void OnInitMenuPopup(HMENU menu);
    // Finds the "Language" pop-up in the menu tree, shows the current language in
    // its caption and lists the language files (ids 33000 and up).
    bool FillLanguageSubMenu(HMENU menu);
    // Makes the language of the list entry id - 33000 the current one; ids
    // outside the list are ignored (false). With `showMenuAgain` the tray menu
    // opens again at the last point.
    bool SelectLanguage(UINT commandId, bool showMenuAgain);
    const std::vector<CString>& GetLanguageList() const { return m_languages; }
    bool IsTrayMenuOpen() const { return m_trayMenuOpen; }

    // --- Clipboard history and menu tooltip -------------------------------------------------
    // The clipboard history the tray window uses (not owned; null: none).
    void SetClipboardHistorySource(ITrayHistorySource* history);
    ITrayHistorySource& GetHistory() { return m_history ? *m_history : m_noHistory; }
    // Starts the clipboard watcher (flag 1: a delayed start) and tells the tooltip how it went.
    bool StartClipboardWatcher(int flag);
    CMenuToolTipSCVClient* GetMenuToolTip() const { return m_menuToolTip.get(); }

    bool IsCoreInstalled() const { return m_dllService.IsInstalled(); }
    CPhraseStore& GetPhraseStore() { return m_phrases; }
    // The menu builder; null until the core start-up (or a command) made it.
    IDataNeededHander_MenuSelf* GetMenuBuilder() const { return m_menuBuilder.get(); }
    CClipboardSaver& GetClipboardSaver() { return m_clipboardSaver; }
    const CSCVDLLService& GetDLLService() const { return m_dllService; }
    // The floating history pane (its window exists while shown).
    CSCVFloatPane& GetFloatPane() { return m_floatPane; }
    // Opens the floating pane (or brings it forward), expanded, with the focus in its list.
    bool ShowFloatPane();
    // The tray's "Float Pane": an open pane is destroyed and made again, then
    // brought forward with the focus in its list.
    bool RecreateFloatPane();
    const CSCV_Wait_Objs& GetWaitObjects() const { return m_waitObjects; }
    bool IsQueryThreadAlive() const { return m_waitQuery.IsThreadAlive(); }
    const NOTIFYICONDATAW& GetTrayIconRecord() const { return m_trayIcon; }

    // CMessageFilter, CIdleHandler: registered with the thread's message loop;
    // neither takes anything.
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    // IPhraseMenuHost: what the menu builder asks of the program.
    bool IsElevated() override;
    void CloseOwnDialogs() override;
    CString GetTargetWindowTitle(const SVQuery& query) override;
    CString FormatCharsCountText(int count) override;
    CString LocalizedTextBefore(UINT stringId) override;
    CString LocalizedTextAfter(UINT stringId) override;

    // The Internet connection state: true when the system reports a connection.
    static bool IsInternetConnected();
    // Replaces the connection test of "Check For Updates" (tests; null: the system's).
    void SetConnectionProbe(bool (*probe)()) { m_connectionProbe = probe; }
    // What "Open Settings File" opens the file with (tests; null: the shell)
    // and what "Run As Administrator" starts (tests; null: CAppObjects::RunAsAdmin).
    void SetSettingsFileOpener(ShellFileOpener opener) { m_settingsFileOpener = std::move(opener); }
    void SetElevatedStarter(std::function<bool(HWND owner)> starter)
    {
        m_elevatedStarter = std::move(starter);
    }
    static UINT GetTaskbarCreatedMessage();
    // The registered message that asks a target window for its description.
    static UINT GetTargetRequestMessage();

    BEGIN_MSG_MAP(CSCVTrayWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
    MESSAGE_HANDLER(WM_COPYDATA, OnCopyData)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_HOTKEY, OnHotKey)
    MESSAGE_HANDLER(WM_WTSSESSION_CHANGE, OnWtsSessionChangeMessage)
    MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopupMessage)
    MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelect)
    MESSAGE_HANDLER(WM_ENTERIDLE, OnEnterIdle)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_COMMAND, OnTrayCommand)
    COMMAND_ID_HANDLER(ID_SCV_APP_EXIT, OnCommandExit)
    COMMAND_ID_HANDLER(ID_SCV_ENABLE_PHRASE_MENU, OnCommandEnablePhraseMenu)
    COMMAND_ID_HANDLER(ID_SCV_EDIT_PHRASES, OnCommandEditPhrases)
    COMMAND_ID_HANDLER(ID_SCV_CHECK_FOR_UPDATES, OnCommandCheckForUpdates)
    COMMAND_ID_HANDLER(ID_SCV_SHOW_PHRASE_MENU_DELAYED, OnCommandShowPhraseMenuDelayed)
    COMMAND_ID_HANDLER(ID_SCV_RUN_AS_ADMIN, OnCommandRunAsAdmin)
    MESSAGE_HANDLER(WM_SCV_SHOW_FLOAT_PANE, OnShowFloatPaneRequest)
    MESSAGE_HANDLER(WM_SCV_ADD_TRAY_ICON, OnAddTrayIcon)
    MESSAGE_HANDLER(WM_SCV_TRAY_NOTIFY, OnTrayNotify)
    MESSAGE_HANDLER(WM_WAIT_QUERY_COMPLETE, OnWaitQueryComplete)
    MESSAGE_HANDLER(WM_WAIT_QUERY_COMPLETE_ERROR, OnWaitQueryCompleteError)
    MESSAGE_HANDLER(WM_SCV_PHRASE_MENU_RIGHT_CLICK, OnPhraseMenuRightClick)
    MESSAGE_HANDLER(WM_SCV_SETTINGS_MODULE, OnSettingsModule)
    MESSAGE_HANDLER(WM_SCV_EDITOR_ENDED, OnWmEditorEnded)
    MESSAGE_HANDLER(WM_SCV_UPDATE_CHECK_RESULT, OnUpdateCheckResult)
    MESSAGE_HANDLER(GetUpdateCheckDoneMessage(), OnUpdateCheckDone)
    MESSAGE_HANDLER(GetUpdateResultShowMessage(), OnShowUpdateResult)
    MESSAGE_HANDLER(WM_SCV_GET_HISTORY_CAPTION, OnGetHistoryCaption)
    MESSAGE_HANDLER(WM_SCV_ALLOW_WAIT_ANSWER, OnAllowWaitAnswer)
    MESSAGE_HANDLER(WM_COMMAND_FROM_SELF, OnWmCommandFromSelf)
    MESSAGE_HANDLER(WM_SCV_IS_PHRASE_MENU_CLOSED, OnIsPhraseMenuClosed)
    MESSAGE_HANDLER(WM_SCV_CONNECTION_CHANGED, OnConnectionChanged)
    MESSAGE_HANDLER(WM_SCV_HIDE_BALLOON, OnHideBalloon)
    MESSAGE_HANDLER(WM_SCV_HIDE_BALLOON_2, OnHideBalloon)
    MESSAGE_HANDLER(WM_SCV_HIDE_MENU_TOOLTIP, OnHideMenuToolTip)
    MESSAGE_HANDLER(WM_SCV_SHOW_TRAY_MENU, OnShowTrayMenuRequest)
    MESSAGE_HANDLER(WM_SCV_LANGUAGE_CHANGED, OnLanguageChanged)
    MESSAGE_HANDLER(WM_SCV_GET_CURRENT_ITEM_URL, OnGetCurrentItemUrl)
    MESSAGE_HANDLER(WM_SCV_NEW_PHRASE_WITH_TEXT, OnNewPhraseWithText)
    MESSAGE_HANDLER(WM_SCV_ALT_TAB_ACTIVATE, OnAltTabActivate)
    MESSAGE_HANDLER(WM_SCV_START_CLIPBOARD_WATCHER, OnStartClipboardWatcher)
    MESSAGE_HANDLER(WM_SCV_GET_CLIPBOARD_WATCHER, OnGetClipboardWatcher)
    MESSAGE_HANDLER(WM_SCV_FLOAT_PANE_ANIMATE, OnFloatPaneAnimate)
    MESSAGE_HANDLER(WM_SCV_GET_SELECTED_ITEM_CONTENT, OnGetSelectedItemContent)
    MESSAGE_HANDLER(WM_SCV_GET_FLOAT_PANE_TEXT, OnGetFloatPaneText)
    MESSAGE_HANDLER(WM_SCV_GET_HISTORY_QUEUE, OnGetHistoryQueue)
    MESSAGE_HANDLER(WM_SCV_LANGUAGE_COMMAND, OnLanguageCommand)
    MESSAGE_HANDLER(WM_SCV_FILL_LANGUAGE_MENU, OnFillLanguageMenu)
    MESSAGE_HANDLER(GetInstanceSignalMessageId(), OnInstanceSignal)
    MESSAGE_HANDLER(GetTaskbarCreatedMessage(), OnTaskbarCreated)
    MESSAGE_HANDLER(GetNotesMessageId(), OnAddStartupNoteMessage)
    END_MSG_MAP()

    // The clipboard history (watcher window, queue, menu views).
    CTrayClipboardHistory& GetClipboardHistory() { return m_clipboardHistory; }

    // The tray icon turns while an update check runs (icon id 10, 250 ms, the
    // program icon; the window's icons follow). False when it runs already / does not run.
    bool StartTrayAnimation();
    bool StopTrayAnimation();
    const CTrayIconAnimator& GetTrayAnimation() const { return m_trayAnimation; }
    // The ALT+TAB entry of the floating pane, shown while "ShowIconInAltTab_ForFP" is on.
    CAltTabIconHolder& GetAltTabHolder() { return m_altTab; }
    // Shows or hides the ALT+TAB proxy when it differs from the setting.
    void SyncAltTabProxy();

private:
    // Timers (all one-shot).
    enum : UINT_PTR
    {
        kTimerFloatPaneHint = 1244,
        kTimerHideBalloon = 1245,
        kTimerShowPhraseMenu = 1247,
        kTimerDelayedRelays = 1248,
        kTimerUnansweredRequest = 1249,
    };
    // How long a posted phrase request waits for the target's answer.
    static constexpr UINT kUnansweredRequestMs = 10000;

    static UINT GetInstanceSignalMessageId();
    static UINT GetNotesMessageId();

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEndSession(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCopyData(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnHotKey(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWaitQueryComplete(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWaitQueryCompleteError(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPhraseMenuRightClick(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommandShowPhraseMenuDelayed(WORD, WORD, HWND, BOOL&);
    LRESULT OnCommandRunAsAdmin(WORD, WORD, HWND, BOOL&);
    // Tray menu and tooltip messages (app/tray/TrayMenu.cpp).
    LRESULT OnInitMenuPopupMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnMenuSelect(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnterIdle(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLanguageCommand(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFillLanguageMenu(UINT, WPARAM, LPARAM, BOOL&);
    // The tray commands (app/tray/SCVTrayWndCommands.cpp); handled = FALSE for other ids.
    LRESULT OnTrayCommand(UINT, WPARAM, LPARAM, BOOL&);
    bool RunTrayCommand(UINT id);
    void RunWebCommand(UINT id);
    void CheckForUpdatesNow();
    void ShowAbout();
    void SwitchHistoryCapture();
    // Flips the value and writes only its key (the editor may have written others meanwhile).
    void SwitchSetting(int& value, LPCWSTR key, bool tellEditor);
    LRESULT OnAltTabActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStartClipboardWatcher(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetClipboardWatcher(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnFloatPaneAnimate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetSelectedItemContent(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetFloatPaneText(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetHistoryQueue(UINT, WPARAM, LPARAM, BOOL&);
    void CreateMenuToolTip();
    void HideMenuToolTip();
    void UpdateHistoryPopup(HMENU menu);
    // Pulls a floating pane that lies off every monitor back onto the nearest one (logged).
    void KeepFloatPaneOnScreen();
    LRESULT OnShowFloatPaneRequest(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWtsSessionChangeMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommandExit(WORD, WORD, HWND, BOOL&);
    LRESULT OnCommandEnablePhraseMenu(WORD, WORD, HWND, BOOL&);
    LRESULT OnCommandEditPhrases(WORD, WORD, HWND, BOOL&);
    LRESULT OnCommandCheckForUpdates(WORD, WORD, HWND, BOOL&);
    LRESULT OnAddTrayIcon(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTrayNotify(UINT, WPARAM, LPARAM, BOOL&);
    // Starts the editor through the editor start thread, which reports to WM_APP+4; false when
    // the thread cannot start.
    bool StartEditor(bool addFromClipboard, const CString& selectedText);
    LRESULT OnSettingsModule(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWmEditorEnded(UINT, WPARAM, LPARAM, BOOL&);
    // The update check (SCVTrayWndUpdateCheck.cpp): a result (lParam the
    // CUpdateInfo) and the end of a check.
    LRESULT OnUpdateCheckResult(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnUpdateCheckDone(UINT, WPARAM, LPARAM, BOOL&);
    // Shows a result kept by OnUpdateCheckResult in the update window.
    LRESULT OnShowUpdateResult(UINT, WPARAM, LPARAM, BOOL&);
    static UINT GetUpdateResultShowMessage();
    LRESULT OnGetHistoryCaption(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAllowWaitAnswer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWmCommandFromSelf(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnIsPhraseMenuClosed(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnConnectionChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnHideBalloon(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnHideMenuToolTip(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnShowTrayMenuRequest(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLanguageChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetCurrentItemUrl(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNewPhraseWithText(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnInstanceSignal(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTaskbarCreated(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAddStartupNoteMessage(UINT, WPARAM, LPARAM, BOOL&);

    void OnWmWTSSessionChange(int reason, int sessionId);

    // Start-up steps of WM_CREATE.
    void SetWindowIcons();
    void RegisterWithMessageLoop(bool add);
    void StartInstanceServices();
    void PostStartupCommands();
    void RegisterSessionNotification();

    void ReloadLanguage();
    // Applies the history keys of the settings just read: the watcher runs exactly while
    // "ClipboardHistory" is on, the spy-state listeners and the pane follow.
    void ApplyHistorySettings();
    // Loads the phrase tree from the settings' folder and sorts it.
    void LoadPhraseTree();
    // Creates the menu builder when it does not exist yet.
    IDataNeededHander_MenuSelf& EnsureMenuBuilder();
    // The phrase menu fills its folders from the tree while it is open, so a message that
    // reloads the tree waits for the menu to close: true when it was put aside.
    bool DeferWhileMenuOpen(UINT message, WPARAM wParam);
    // Posts the messages put aside while the menu was open.
    void PostDeferredMenuMessages();
    // The query thread's parameters and its start; false (logged) when it cannot start.
    bool StartQueryThread();
    // The text of a command for the right-click copy commands; false when
    // the id names nothing that has a text.
    bool GetCommandTextForCopy(int commandId, CString& text, int& dataType);
    // Starts the clipboard watcher when the history is wanted and it does not run; when it
    // cannot start, `retryLater` keeps trying every two seconds.
    void StartWantedClipboardWatcher(bool retryLater);
    // NIM_MODIFY of a balloon record, logged under the tag; unterminated text fields are logged.
    BOOL ModifyTrayBalloon(NOTIFYICONDATAW& record, LPCWSTR logTag);
    // Copy of a history item that has no text (a picture, a clip, a page): true when the id names one.
    bool CopyHistoryItemWithoutText(int commandId);
    // Edit / Open With of a history item: written to a temporary file and opened.
    void OpenHistoryItemFromMenu(int commandId, bool withAssociatedProgram);
    static int LastIdFilter(int commandId, void* self);
    // The "Local\Scrivolanter_CommandCheckForUpdates" watcher (WM_COMMAND 32791).
    bool StartCheckForUpdatesCommandWatcher();
    // Starts the thread that adds the tray icon (retried until the shell takes it).
    void StartTrayIconThread();
    void StartTrayIconBlink();

    // The tray icon: tip, status text, the call of the shell.
    CString BuildTrayStatusText();
    CString BuildTrayTip(const CString& statusText);
    BOOL CallShellNotifyIcon(DWORD message, NOTIFYICONDATAW& record);

    CTrayClipboardHistory m_clipboardHistory;
    WtsSessionNotifier m_sessionNotifier;
    // Editor start threads of this window that have not reported their end (WM_APP+4 0 or 2).
    int m_editorStartsRunning = 0;
    // A session change has stopped the clipboard watcher.
    int m_stoppedBySession = 0;
    const CCommandLineArgs* m_args = nullptr;
    bool m_noInstall = false;
    CPhraseStore m_phrases;
    LPVOID m_createParameter = nullptr;
    HANDLE m_stopEvent = nullptr;
    // The phrase menu service.
    std::unique_ptr<IDataNeededHander_MenuSelf> m_menuBuilder;
    std::vector<std::pair<UINT, WPARAM>> m_deferredWhileMenuOpen;
    CClipboardSaver m_clipboardSaver;
    CSCV_Wait_Objs m_waitObjects;
    CSCVDLLService m_dllService;
    CFloatPaneAppHost m_floatPaneHost{&m_dllService};
    CSCVFloatPane m_floatPane{&m_floatPaneHost};
    CWaitQuery m_waitQuery;
    CHotKeyPressGate m_hotKeyGate;
    int m_hotKeyRegistered = 0;
    bool m_insertingPhrase = false;
    // The language file path remembered when the settings module started.
    CString m_languagePathAtEditorStart;
    NOTIFYICONDATAW m_trayIcon{};
    HICON m_trayIconHandle = nullptr;
    HICON m_smallIcon = nullptr;
    HICON m_bigIcon = nullptr;

    // Tray menu, tooltip and history.
    std::vector<CString> m_languages;
    POINT m_lastMenuPoint{};
    bool m_trayMenuOpen = false;
    UINT m_lastSelectedTrayItem = 0;
    DWORD m_lastClipboardSequence = 0;
    CNoTrayHistory m_noHistory;
    ITrayHistorySource* m_history = &m_clipboardHistory;
    std::unique_ptr<CTrayTipContext> m_tipContext;
    std::unique_ptr<CMenuToolTipSCVClient> m_menuToolTip;
    CTrayIconAnimatorWithWindowIcon m_trayAnimation;
    bool (*m_connectionProbe)() = nullptr;
    ShellFileOpener m_settingsFileOpener;
    std::function<bool(HWND)> m_elevatedStarter;
    // Update results waiting to be shown (the check's thread is not held while the window is open).
    std::vector<std::unique_ptr<CUpdateInfo>> m_pendingUpdateResults;
    CAltTabIconHolder m_altTab;
};
