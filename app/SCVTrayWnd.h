#pragma once

// The main program's one hidden top-level window. The program entry creates
// it and runs the message loop; every request of other windows, threads and
// processes reaches the program as a message to this window. It owns the
// phrase tree, the tray icon with its tip and balloons, the session
// notifications and the start-up notes, and it starts the relays and worker
// threads of the running instance.
//
// The phrase menu service (hot key, core hook DLL, query thread), the tray
// menu, the menus and tooltips, the floating pane and the clipboard watcher
// join this window as they become part of the program; until then the window
// runs without them, as with "noinstall", says so in its start-up notes and
// shows the tray icon of the stopped service.

#include <windows.h>
#include <shellapi.h>

#include "app/TrayMessages.h"
#include "app/WtsSessionNotifier.h"
#include "engine/PhraseStore.h"
#include "platform/CIdleHandler.h"
#include "platform/CMessageFilter.h"
#include "platform/CString.h"
#include "platform/CWindowImpl.h"

class CCommandLineArgs;

// What the program entry gives the tray window.
struct TrayWindowStartRecord
{
    // Set at WM_DESTROY; every worker thread of the window ends on it. Not owned.
    HANDLE stopEvent = nullptr;
    // The parsed command line; not owned, may be null (no switches).
    const CCommandLineArgs* args = nullptr;
    bool noInstall = false;
};

class CSCVTrayWnd : public CWindowImpl<CSCVTrayWnd, CWindow, CNullTraits>,
                    public CMessageFilter,
                    public CIdleHandler
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

    // Starts the phrase menu service. True only when everything started.
    bool StartCoreServices(LPVOID parameter, CString* accumulator);
    // Runs a command chosen in the phrase menu (or sent by the hook DLL) for
    // the target window.
    void ExecuteCommandFromSelf(WPARAM commandId, LPARAM targetWindow);
    // Reloads the phrase tree and updates the tray icon (mode 1 with
    // `quiet`, else mode 2 and a blink of the icon).
    void ReloadPhrases(bool quiet);

    bool IsCoreInstalled() const { return m_coreInstalled; }
    CPhraseStore& GetPhraseStore() { return m_phrases; }
    const NOTIFYICONDATAW& GetTrayIconRecord() const { return m_trayIcon; }

    // CMessageFilter, CIdleHandler: registered with the thread's message loop;
    // neither takes anything.
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    static UINT GetTaskbarCreatedMessage();

    BEGIN_MSG_MAP(CSCVTrayWnd)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
        MESSAGE_HANDLER(WM_COPYDATA, OnCopyData)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_WTSSESSION_CHANGE, OnWtsSessionChangeMessage)
        COMMAND_ID_HANDLER(ID_SCV_APP_EXIT, OnCommandExit)
        COMMAND_ID_HANDLER(ID_SCV_ENABLE_PHRASE_MENU, OnCommandEnablePhraseMenu)
        COMMAND_ID_HANDLER(ID_SCV_EDIT_PHRASES, OnCommandEditPhrases)
        COMMAND_ID_HANDLER(ID_SCV_CHECK_FOR_UPDATES, OnCommandCheckForUpdates)
        MESSAGE_HANDLER(WM_SCV_ADD_TRAY_ICON, OnAddTrayIcon)
        MESSAGE_HANDLER(WM_SCV_TRAY_NOTIFY, OnTrayNotify)
        MESSAGE_HANDLER(WM_SCV_SETTINGS_MODULE, OnSettingsModule)
        MESSAGE_HANDLER(WM_SCV_EDITOR_ENDED, OnWmEditorEnded)
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
        MESSAGE_HANDLER(GetInstanceSignalMessageId(), OnInstanceSignal)
        MESSAGE_HANDLER(GetTaskbarCreatedMessage(), OnTaskbarCreated)
        MESSAGE_HANDLER(GetNotesMessageId(), OnAddStartupNoteMessage)
    END_MSG_MAP()

private:
    // Timers (all one-shot).
    enum : UINT_PTR
    {
        kTimerHideBalloon = 1245,
        kTimerDelayedRelays = 1248,
    };

    static UINT GetInstanceSignalMessageId();
    static UINT GetNotesMessageId();

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEndSession(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCopyData(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWtsSessionChangeMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnCommandExit(WORD, WORD, HWND, BOOL&);
    LRESULT OnCommandEnablePhraseMenu(WORD, WORD, HWND, BOOL&);
    LRESULT OnCommandEditPhrases(WORD, WORD, HWND, BOOL&);
    LRESULT OnCommandCheckForUpdates(WORD, WORD, HWND, BOOL&);
    LRESULT OnAddTrayIcon(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTrayNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSettingsModule(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnWmEditorEnded(UINT, WPARAM, LPARAM, BOOL&);
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
    // Loads the phrase tree from the settings' folder and sorts it.
    void LoadPhraseTree();
    void StopCoreServices();
    // The "Local\Scrivolanter_CommandCheckForUpdates" watcher (WM_COMMAND 32791).
    bool StartCheckForUpdatesCommandWatcher();
    // Starts the thread that adds the tray icon (retried until the shell takes it).
    void StartTrayIconThread();
    void StartTrayIconBlink();
    void ShowTrayMenuNotAvailable(LPCWSTR source);

    // The tray icon: tip, status text, the call of the shell.
    CString BuildTrayStatusText();
    CString BuildTrayTip(const CString& statusText);
    BOOL CallShellNotifyIcon(DWORD message, NOTIFYICONDATAW& record);

    WtsSessionNotifier m_sessionNotifier;
    // A session change has stopped the clipboard watcher.
    int m_stoppedBySession = 0;
    const CCommandLineArgs* m_args = nullptr;
    bool m_noInstall = false;
    CPhraseStore m_phrases;
    LPVOID m_createParameter = nullptr;
    HANDLE m_stopEvent = nullptr;
    // Whether the phrase menu service is running.
    bool m_coreInstalled = false;
    // The language file path remembered when the settings module started.
    CString m_languagePathAtEditorStart;
    NOTIFYICONDATAW m_trayIcon{};
    HICON m_trayIconHandle = nullptr;
    HICON m_smallIcon = nullptr;
    HICON m_bigIcon = nullptr;
};
