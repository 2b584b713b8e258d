// The WM_COMMAND table of the tray window: the tray menu's commands and the
// ones other parts of the program send or post to it. (The service switch,
// the editor, the update check, the elevated restart, the delayed phrase
// menu and Exit have their own handlers in app/tray/SCVTrayWnd.cpp.)

#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include "app/tray/AboutCommands.h"
#include "app/AppObjects.h"
#include "app/entry/CommandLineArgs.h"
#include "app/ProgramLauncher.h"
#include "app/tray/SCVTrayWnd.h"
#include "app/tray/SoundPlayer.h"
#include "app/entry/StartupNotes.h"
#include "app/tray/TrayTipContext.h"
#include "common/HandedOutAddresses.h"
#include "common/Settings.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "common/WindowHelpers.h"
#include "menus/tips/MenuToolTipSCVClient.h"
#include "online/EditorCoopEvents.h"
#include "online/ProgramStarts.h"
#include "online/ProgramFilePaths.h"
#include "online/CSCVUrl.h"
#include "online/CommandRunners.h"

#include "app/tray/TrayMenuRes.h"

namespace
{

bool IsWebLinkCommand(UINT id)
{
    switch (id) {
    case ID_TRAY_WEB_SITE:
    case ID_TRAY_QUICK_START:
    case ID_TRAY_NEWSLETTER:
    case ID_TRAY_FORUM:
    case ID_TRAY_FAQ:
    case ID_TRAY_RSS:
    case ID_TRAY_VIDEO:
    case ID_TRAY_FACEBOOK:
    case ID_TRAY_TELEGRAM:
    case ID_TRAY_VK:
    case ID_TRAY_SUPPORT:
    case ID_TRAY_HOW_TO_LOCALIZE:
        return true;
    default:
        return false;
    }
}

} // namespace

bool CSCVTrayWnd::IsInternetConnected()
{
    DWORD flags = 0;
    return ::InternetGetConnectedState(&flags, 0) != FALSE;
}

LRESULT CSCVTrayWnd::OnTrayCommand(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    handled = RunTrayCommand(LOWORD(wParam)) ? TRUE : FALSE;
    return 0;
}

bool CSCVTrayWnd::RunTrayCommand(UINT id)
{
    if (id >= kTrayLanguageFirstId && id <= kTrayLanguageLastId) {
        SelectLanguage(id, true);
        return true;
    }
    if (id >= kTrayHistoryFirstId && id <= kTrayHistoryLastId) {
        if (GetHistory().PutOnClipboard(static_cast<int>(id - kTrayHistoryFirstId)))
            UpdateTrayIcon(2, nullptr, false);
        return true;
    }
    if (IsWebLinkCommand(id)) {
        RunWebCommand(id);
        return true;
    }
    CSettings& settings = GetSettings();
    switch (id) {
    case ID_TRAY_START_WITH_WINDOWS:
        SetAutoStart(!IsAutoStartEnabled());
        return true;
    case ID_TRAY_REREAD_PHRASES:
        ReloadPhrases(true);
        return true;
    case ID_TRAY_EMAIL:
        CSCVUrl::SendEmailToSupport(m_hWnd);
        return true;
    case ID_TRAY_SAVE_FROM_CLIPBOARD:
        StartEditor(true, CString());
        return true;
    case ID_TRAY_HISTORY_KEEP:
        SwitchHistoryCapture();
        return true;
    case ID_TRAY_HISTORY_REKEEP:
        GetHistory().Stop();
        StartClipboardWatcher(0);
        UpdateTrayIcon(2, nullptr, false);
        return true;
    case ID_TRAY_HISTORY_SAVE_ON_EXIT:
        SwitchSetting(settings.SaveClipboardHistory_v198, L"SaveClipboardHistory_v198", false);
        if (settings.GetSaveClipboardHistory() != 0)
            GetHistory().Save();
        return true;
    case ID_TRAY_HISTORY_CLEAR:
        // The floating pane, once part of the program, is refreshed here.
        GetHistory().Clear();
        return true;
    case ID_TRAY_FLOAT_PANE:
        RecreateFloatPane();
        return true;
    case ID_TRAY_WRITE_LOG:
        if (IsLogOpen())
            LogClose();
        else
            LogOpen(LogReportPath());
        settings.SetWriteLog(IsLogOpen() ? 1 : 0);
        settings.WriteInt(L"WriteLog", settings.WriteLog);
        return true;
    case ID_TRAY_SOUNDS:
        SwitchSetting(settings.SoundOnEventsV094, L"SoundOnEventsV094", false);
        if (settings.SoundOnEventsV094 != 0 && CAppObjects::IsMuteMode())
            SetMuteMode(0);
        ::MessageBeep(0xFFFFFFFF);
        return true;
    case ID_TRAY_FLOAT_PANE_ON_START:
        SwitchSetting(settings.ShowHistoryPaneOnStart, L"ShowHistoryPaneOnStart", true);
        return true;
    case ID_TRAY_PINNED_ON_START:
        SwitchSetting(settings.Pinned_FloatPane_On_Start, L"Pinned_FloatPane_On_Start", true);
        return true;
    case ID_TRAY_MUTE_MODE:
        SetMuteMode(CAppObjects::IsMuteMode() ? 0 : 1);
        if (!CAppObjects::IsMuteMode())
            ::MessageBeep(0xFFFFFFFF);
        return true;
    case ID_TRAY_OPEN_SETTINGS_FILE:
        OpenSettingsFile(m_hWnd, {}, m_settingsFileOpener);
        return true;
    case ID_TRAY_WELCOME:
        StartWelcomeProgram(m_hWnd, false);
        return true;
    case ID_TRAY_SHOW_TRAY_MENU:
        ShowTrayMenuAtCursor();
        return true;
    case ID_TRAY_COMMAND_LINE_KEYS:
        ShowCommandLineHelp(m_hWnd);
        return true;
    case ID_TRAY_ABOUT:
        ShowAbout();
        return true;
    default:
        return false;
    }
}

bool CSCVTrayWnd::RecreateFloatPane()
{
    // A pane the user cannot find (hidden, collapsed, elsewhere) comes back as a new one.
    if (m_floatPane.m_hWnd)
        m_floatPane.DestroyWindow();
    if (!ShowFloatPane())
        return false;
    RestoreAndActivateWindow(m_floatPane.m_hWnd);
    m_floatPane.SetFocusToList();
    return true;
}

void CSCVTrayWnd::RunWebCommand(UINT id)
{
    const CString address = GetTrayCommandUrl(id);
    if (!address.IsEmpty())
        CSCVUrl::OpenUrl(m_hWnd, address);
}

void CSCVTrayWnd::SwitchSetting(int& value, LPCWSTR key, bool tellEditor)
{
    value = value != 0 ? 0 : 1;
    GetSettings().WriteInt(key, value);
    if (tellEditor)
        SignalOptionsChangedAsync();
}

void CSCVTrayWnd::SwitchHistoryCapture()
{
    ITrayHistorySource& history = GetHistory();
    if (!history.IsCapturing())
        StartClipboardWatcher(0);
    else
        history.Stop();
    // Kept in the settings: a later reload of them (the editor's end) must not undo the switch.
    GetSettings().ClipboardHistory = history.IsCapturing() ? 1 : 0;
    GetSettings().WriteInt(L"ClipboardHistory", GetSettings().ClipboardHistory);
    UpdateTrayIcon(2, nullptr, false);
    SignalOptionsChangedAsync();
    NotifyStateListeners(nullptr, 0, history.IsCapturing() ? 1 : 0);
}

bool CSCVTrayWnd::StartClipboardWatcher(int flag)
{
    ITrayHistorySource& history = GetHistory();
    const bool started = history.Start(m_hWnd, flag == 1);
    if (m_menuToolTip) {
        if (started)
            m_menuToolTip->SetClipboardTrackingState(0, CString());
        else
            m_menuToolTip->SetClipboardTrackingState(1, history.GetErrorText());
    }
    if (started && history.GetCount() > 0)
        UpdateTrayIcon(2, nullptr, false);
    if (!started)
        WriteLogLine(L"Clipboard watcher not started: " + history.GetErrorText());
    NotifyStateListeners(nullptr, 0, history.IsCapturing() ? 1 : 0);
    return started;
}

void CSCVTrayWnd::SetClipboardHistorySource(ITrayHistorySource* history)
{
    m_history = history;
    if (m_menuToolTip)
        m_menuToolTip->SetHistorySource(&GetHistory());
}

void CSCVTrayWnd::ShowAbout()
{
    AboutReportFacts facts;
    facts.phrases = &m_phrases;
    facts.trackingReport = m_menuToolTip ? m_menuToolTip->GetClipboardTrackingReport() : CString();
    facts.coreInstalled = m_dllService.IsInstalled();
    RunAboutCommand(m_hWnd, facts);
}

// --- Messages for the clipboard history, the floating pane and the update check ------------------------

LRESULT CSCVTrayWnd::OnNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    constexpr UINT kHistoryChanged = 2816;
    constexpr UINT kHistoryStateChanged = 2817;
    // The watcher hands its record out for the send; another program's address is not read.
    if (wParam != kClipboardWatcherControlId ||
        !IsHandedOut(HandOverKind::Request, header, sizeof(NMHDR) + sizeof(DWORD)) ||
        (header->code != kHistoryChanged && header->code != kHistoryStateChanged)) {
        handled = FALSE;
        return 0;
    }
    m_floatPane.RefreshIfOpen();
    if (header->code == kHistoryStateChanged) {
        UpdateTrayIcon(2, nullptr, false);
        return 1;
    }
    const DWORD sequence = ::GetClipboardSequenceNumber();
    CString line;
    if (sequence == m_lastClipboardSequence) {
        line.Format(L"Event OnClipboardHistoryChanged, Sequences Numbers Is EQUAL: %d, do not query data "
                    L"from clipboard",
                    static_cast<int>(sequence));
        WriteLogLine(line);
        return 1;
    }
    m_lastClipboardSequence = sequence;
    line.Format(L"Event OnClipboardHistoryChanged, new Sequences Number: %d", static_cast<int>(sequence));
    WriteLogLine(line);
    line.Format(L"Event OnClipboardHistoryChanged, Count=%d", GetHistory().GetCount());
    WriteLogLine(line);
    UpdateTrayIcon(2, nullptr, false);
    // The notification's fourth word (after the header) 0: a capture the user made.
    const auto* words = reinterpret_cast<const DWORD*>(header + 1);
    if (words[0] == 0)
        CAppObjects::PlayPaperSound();
    return 1;
}

LRESULT CSCVTrayWnd::OnAltTabActivate(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (wParam == 0)
        WriteLogLine(L"CWndAltTabIcon::DAW_FROMHOOK");
    else if (wParam == 1)
        WriteLogLine(L"CWndAltTabIcon::DAW_ACTIVATE");
    else
        WriteLogLine(L"CWndAltTabIcon::default");
    if (wParam <= 1)
        ShowFloatPane();
    return 1;
}

LRESULT CSCVTrayWnd::OnStartClipboardWatcher(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (GetSettings().ClipboardHistory == 0)
        return 1;
    return StartClipboardWatcher(static_cast<int>(wParam)) ? 1 : 0;
}

LRESULT CSCVTrayWnd::OnGetClipboardWatcher(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (wParam == CAppObjects::kBlockOwnCopy) {
        // Only this process's own request (its token handed out) keeps a change from the history.
        if (!IsHandedOut(HandOverKind::Request, reinterpret_cast<const void*>(lParam), 1)) {
            WriteLogLine(
                L"CSCVTrayWnd::OnGetClipboardWatcher: a block this process did not ask for, ignored");
            return 0;
        }
        if (!GetHistory().IsCapturing())
            return 0;
        GetHistory().BlockCaptureForAWhile();
    }
    return reinterpret_cast<LRESULT>(GetHistory().GetWatcherObject());
}

LRESULT CSCVTrayWnd::OnGetHistoryQueue(UINT, WPARAM, LPARAM, BOOL&)
{
    return reinterpret_cast<LRESULT>(GetHistory().GetQueueObject());
}

LRESULT CSCVTrayWnd::OnFloatPaneAnimate(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (!m_floatPane.m_hWnd)
        return 0;
    return m_floatPane.StartAnimationThread(static_cast<int>(wParam)) ? 1 : 0;
}

LRESULT CSCVTrayWnd::OnGetSelectedItemContent(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // lParam is a CString this process handed out around the send; anything else (another
    // program's message) is not touched.
    auto* text = reinterpret_cast<CString*>(lParam);
    if (!IsHandedOut(HandOverKind::StringObject, text, sizeof(CString))) {
        WriteLogLine(
            L"CSCVTrayWnd::OnGetSelectedItemContent: a string this process did not hand out, ignored");
        return 0;
    }
    if (!m_floatPane.m_hWnd)
        return 0;
    const CString data = m_floatPane.GetSelectedItemData(static_cast<int>(wParam));
    UseHandedOut(HandOverKind::StringObject, text, sizeof(CString), [&] { *text = data; });
    return data.IsEmpty() ? 0 : 1;
}

LRESULT CSCVTrayWnd::OnGetFloatPaneText(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!m_floatPane.m_hWnd || !m_floatPane.IsWindowVisible())
        return 0;
    return reinterpret_cast<LRESULT>(&m_floatPane.GetTextHolder());
}
