#pragma once

// The process-wide services of the main program: the tray window handle and
// the requests sent to it, the language object, elevation, the single-instance
// event, the sounds, the elevated restart and the closing of the program's own
// dialogs. Every member is static; nothing has to be constructed.
//
// Free functions that belong with these services live in their own headers:
//   app/AppTexts.h        on/off texts, number texts, title, log helpers
//   app/VersionTexts.h    version texts
//   app/tray/AppIcons.h        icons of the program and of its neighbours
//   app/tray/WebSearch.h       web searches for a text
//   app/entry/NamedEvents.h     named events, single instance, hand-over, copy events
//   app/entry/EventRelays.h     relay threads from named events to the tray window
//   app/ProgramLauncher.h editor, waiter, welcome program, autostart
//   app/tray/SoundPlayer.h     the sound player thread
//   app/history/TempFiles.h       temporary files deleted at exit

#include <windows.h>

#include <vector>

#include "common/AppListeners.h"
#include "engine/ForeignClipboardFormats.h"
#include "platform/CString.h"

class CMenuLocalizer;
class CIdleHandler;

class CAppObjects
{
public:
    // --- Main window (the tray window) ---------------------------------------
    // 0 until the tray window sets itself at creation.
    static HWND GetMainWnd();
    static void SetMainWnd(HWND window);

    // Requests to the main window. Each returns what SendMessageW returns
    // (0 without a main window).
    // WM_APP+11 (0, 0).
    static LRESULT QueryAllowWaitAnswerFromExeAgent();
    // WM_APP+17 (0, 0).
    static LRESULT HideMenuToolTipViaMainWnd();
    // WM_APP+15 (kBlockOwnCopy, a token handed out for the send): the tray window keeps the program's own
    // next clipboard change (a copy by Ctrl+C) out of the history. True when a
    // clipboard watcher answered.
    static bool BlockClipboardCaptureViaMainWnd();
    // wParam of WM_APP+15 that asks for the block as well as the watcher.
    static constexpr WPARAM kBlockOwnCopy = 1;
    // WM_APP+31 (0, 0).
    static LRESULT HideTrayBalloonViaMainWnd();
    // PostMessageW WM_APP+32 (0, 0); the PostMessageW result (FALSE without a window).
    static BOOL PostShowFloatPane();
    // WM_APP+33 (menu, 0); returns GetMenuItemCount(menu) afterwards (-1 for
    // an invalid menu, as GetMenuItemCount answers).
    static int FillLanguageMenu(HMENU menu);
    // The registered message "{C4629BDD-5FE3-47de-863B-E8D10BB7E2EB}" (0, text):
    // the tray window adds the text to its start-up notes.
    static LRESULT SendTextToMainWndList(LPCWSTR text);
    static UINT GetMainWndListMessage();

    // --- Language -----------------------------------------------------------
    // The language object of the tray program (section suffix "_Client"),
    // built on the first call from the settings' language file, which then
    // also becomes the active file of the localised strings.
    static CMenuLocalizer& GetLocalizer();
    // Whether the settings' language is one served with the Russian web pages;
    // logs "CAppObjects::SetUseRuUrls, lng=[%s], bRu=%d" and gives the answer
    // to the web-link table (CSCVUrl::_Set_Use_RU_Urls).
    static bool SetUseRuUrls();

    // --- Elevation ----------------------------------------------------------
    // The Administrators test was made and is true (tested once per process).
    static bool IsElevated();
    static bool IsNotElevated() { return !IsElevated(); }
    // Icon resource 249 when elevated, else 128.
    static UINT GetAppIconId();

    // --- Marker file --------------------------------------------------------
    // "hasnew.hasnew" exists in the program folder.
    static bool HasNewMarkerFile();

    // --- Own dialogs --------------------------------------------------------
    // Closes every top-level window that the main window's thread created and
    // whose parent (owner) is the main window: dialogs ("#32770") are counted
    // and closed step by step (WM_CLOSE, SC_CLOSE, IDCANCEL, EndDialog IDCANCEL,
    // EndDialog IDOK, DestroyWindow), each step logged. Returns the number of
    // dialogs found.
    static int CloseOwnDialogs();

    // --- Single instance (app/entry/NamedEvents.cpp) ------------------------------
    // True when the instance event exists (opened with SYNCHRONIZE and closed).
    static bool IsInstanceRunning();
    // Creates the manual-reset instance event "9DDB575E-...-611" (open
    // security, else default). This is the single-instance decision and it is
    // atomic: of two starts at the same moment only one creates the event.
    // - created by this call: the handle; *alreadyExisted false;
    // - the event existed already (another instance runs): null, *alreadyExisted true;
    // - failure: null, *alreadyExisted false.
    static HANDLE CreateInstanceEvent(bool* alreadyExisted);
    // The instance event stored by the entry point: the stop event of every
    // worker thread (set only at shutdown). Null before it is stored.
    static HANDLE GetInstanceEvent();
    static void SetInstanceEvent(HANDLE event);

    // --- Sounds (app/tray/SoundPlayer.cpp) ---------------------------------------
    static bool PlayKbdSound();         // "kbd.wav"
    static bool PlayLaunchSound();      // "launch.wav"
    static bool PlayPaperSound();       // "paper.wav"
    static bool PlayMenuSound();        // "menu.wav"
    static bool PlayStartSound();       // "start_as_admin.wav" when elevated, else "start.wav"
    static bool PlayAlreadyWorkSound(); // "already_work.wav"
    static bool PlayWherePaneSound();   // "wherepane.wav"
    // False in mute mode, else the setting "SoundOnEventsV094".
    static bool SoundsEnabled();
    static bool IsMuteMode();

    // --- Elevated restart (app/ProgramLauncher.cpp) -------------------------
    // Creates the hand-over event and starts this program with "runas" and
    // "/asadmin"; on success asks the main window to exit and returns true.
    // On failure the hand-over event is set and closed, the error is shown
    // and logged, and the result is false.
    static bool RunAsAdmin(HWND owner);
};

// The process-wide list of idle handlers that the entry point adds to its
// message loop.
void AddIdleHandlerToList(CIdleHandler* handler);
const std::vector<CIdleHandler*>& GetIdleHandlerList();

// The program registered to open the floating pane's current item: the main
// window is asked for the item's source (WM_APP+25, wParam the buffer size in
// characters, lParam the buffer; the window copies at most size - 1
// characters and terminates). For a URL (PathIsURLW) the default web browser,
// looked up once; else the program registered for its extension, cached per
// extension. Empty without a window or an answer.
CString GetOpenWithProgramForCurrentItem();

// GetOvellineClipboardFormat: engine/ForeignClipboardFormats.h.

// The path of "Mfc42.DLL" when it can be loaded, else "Not found". Returns 1.
int GetMfc42Path(CString& path);

// MessageBoxW(owner, text, "Scrivolanter", flags | MB_TOPMOST).
int ShowAppMessageBox(HWND owner, UINT flags, LPCWSTR text);

// Every listener of the clipboard-spy state set except the sender; the count.
int NotifyStateListeners(IClipboardSpyStateListener* sender, int code, LPARAM value);
// Passes an application event to every listener of the application event set.
void BroadcastAppEvent(int code, LPARAM value);

// The suffix of the main program's sections in language files: "_Client".
LPCWSTR GetLocalizerClientSuffix();

// "LangPrefix" of the language file named in the settings (in the program
// folder unless the name holds a backslash); empty when none is set.
CString GetLanguagePrefix();
// The same, "En" for an empty prefix.
CString GetLanguagePrefixOrEn();
// Rebuilds a language sub-menu: 0 for an empty list; otherwise every item but
// the first is deleted, a separator follows a remaining item, and the
// languages of the list are appended with command ids from 33000, the
// settings' language checked. Returns the menu's item count.
int FillLanguageSubmenu(HMENU menu, const std::vector<CString>& languages);
