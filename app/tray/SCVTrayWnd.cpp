#include "app/tray/SCVTrayWnd.h"

#include <wtsapi32.h>

#include <cstring>
#include <cwchar>
#include <thread>

#include "app/tray/AppIcons.h"
#include "app/AppObjects.h"
#include "app/AppTexts.h"
#include "app/entry/CommandLineArgs.h"
#include "app/entry/EventRelays.h"
#include "common/HandedOutAddresses.h"
#include "platform/interchange/InterchangeArea.h"
#include "app/entry/NamedEvents.h"
#include "app/ProgramLauncher.h"
#include "app/tray/SoundPlayer.h"
#include "app/entry/StartupNotes.h"
#include "app/tray/TrayUpdateCheck.h"
#include "app/history/DelayedWatcherStart.h"
#include "app/VersionTexts.h"
#include "common/IconHelpers.h"
#include "common/KernelHandle.h"
#include "common/LocalizedString.h"
#include "common/MenuLocalizer.h"
#include "common/ProcessInfo.h"
#include "common/RichEditConversion.h"
#include "common/Settings.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "common/StructuredExceptionGuard.h"
#include "common/TimingMarks.h"
#include "common/WellKnownNames.h"
#include "common/WindowHelpers.h"
#include "menus/tips/DataNeededHander_MenuSelf.h"
#include "menus/phrasemenu/MenuHost.h"
#include "menus/tips/MenuToolTipSCVClient.h"
#include "menus/tips/MenuTrackerToolTip.h"
#include "app/tray/TrayTipContext.h"
#include "online/EditorCoopEvents.h"
#include "online/ProgramFilePaths.h"
#include "online/ProgramStarts.h"
#include "platform/CAppModule.h"
#include "platform/CMessageLoop.h"

#include "resources/ScrivolanterRes.h"

namespace
{

constexpr DWORD kTrayWindowStyle = WS_BORDER | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX; // 0x008D0000

// What the window says about the parts of the program it runs without.
constexpr wchar_t kNoInstallNote[] = L"No install on launch. Flag specifided";

// The tip of the tray icon holds at most this many characters.
constexpr int kMaxTipLength = 126;

// The data of a WM_COPYDATA command from the hook DLL: an int32 command id at
// byte 0 and an int32 target window at byte 134.
constexpr size_t kCopyDataCommandOffset = 0;
constexpr size_t kCopyDataWindowOffset = 134;
constexpr size_t kCopyDataMinimumSize = kCopyDataWindowOffset + sizeof(INT32);

// Tray icon thread: tries and pause between them.
constexpr int kTrayIconTries = 200;
constexpr DWORD kTrayIconRetryMs = 2000;

// Blink of the tray icon after the phrases changed.
constexpr int kBlinkCount = 4;
constexpr DWORD kBlinkPhaseMs = 250;

bool SoundsSwitchedOff()
{
    return GetSettings().SoundOnEventsV094 == 0;
}

// Copies `source` into the fixed field, cut to fit and terminated.
template <size_t N>
void CopyToField(wchar_t (&field)[N], LPCWSTR source)
{
    ::lstrcpynW(field, source ? source : L"", static_cast<int>(N));
}

// Every Shell_NotifyIconW call goes through here: the record's size is that of
// this build's structure, every text field is terminated, and balloons are
// silent while sounds are switched off.
// The size is that of the record up to the balloon icon (952 bytes for i686), as
// the shell of every supported Windows takes it. A fault inside the shell is
// reported in a box and counts as a failure.
BOOL ShellNotify(DWORD message, NOTIFYICONDATAW& record, bool silent)
{
    record.cbSize = NOTIFYICONDATAW_V3_SIZE;
    record.szInfo[ARRAYSIZE(record.szInfo) - 1] = L'\0';
    record.szInfoTitle[ARRAYSIZE(record.szInfoTitle) - 1] = L'\0';
    record.szTip[ARRAYSIZE(record.szTip) - 1] = L'\0';
    if (silent)
        record.dwInfoFlags |= NIIF_NOSOUND;
    BOOL result = FALSE;
    if (!RunStructuredExceptionGuarded([&] { result = ::Shell_NotifyIconW(message, &record); }, nullptr)) {
        ::MessageBoxW(nullptr, L"Exception in Shell_Notify", kProductName, MB_TOPMOST | MB_ICONERROR);
        return FALSE;
    }
    return result;
}

// True when the field holds its terminating NUL.
template <size_t N>
bool IsTerminatedField(const wchar_t (&field)[N])
{
    return ::wmemchr(field, L'\0', N) != nullptr;
}

// Waits on the stop event; true when the thread is to go on (time-out).
bool WaitGoesOn(HANDLE stopEvent, DWORD milliseconds)
{
    if (!stopEvent) {
        ::Sleep(milliseconds);
        return true;
    }
    return ::WaitForSingleObject(stopEvent, milliseconds) == WAIT_TIMEOUT;
}

CString FormatLine(LPCWSTR format, int a, int b = 0)
{
    CString line;
    line.Format(format, a, b);
    return line;
}

} // namespace

// --- Construction and creation ----------------------------------------------------------------------

CSCVTrayWnd::CSCVTrayWnd(const TrayWindowStartRecord& start)
    : m_args(start.args), m_noInstall(start.noInstall), m_phrases(GetSettings().GetPhrasesFolder()),
      m_stopEvent(start.stopEvent), m_dllService(GetTargetRequestMessage(), start.coreDllPath)
{
    m_trayIcon.cbSize = sizeof(NOTIFYICONDATAW);
    m_trayIcon.uID = kTrayIconId;
    m_trayIcon.uCallbackMessage = WM_SCV_TRAY_NOTIFY;
}

CSCVTrayWnd::~CSCVTrayWnd()
{
    if (IsWindow())
        DestroyWindow();
    StopCoreServices();
    m_menuToolTip.reset();
    for (HICON icon : {m_trayIconHandle, m_smallIcon, m_bigIcon}) {
        if (icon)
            ::DestroyIcon(icon);
    }
}

bool CSCVTrayWnd::Create(LPVOID parameter)
{
    m_createParameter = parameter;
    const RECT rect{-100, -100, -5, -5};
    const CString title = GetWindowTitleText(true);
    return CWindowImpl<CSCVTrayWnd, CWindow, CNullTraits>::Create(nullptr, rect, title, kTrayWindowStyle, 0,
                                                                  MenuOrId(), parameter) != nullptr;
}

UINT CSCVTrayWnd::GetTaskbarCreatedMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

UINT CSCVTrayWnd::GetTargetRequestMessage()
{
    // The name has no closing brace; the hook DLL registers the same text.
    static const UINT message = ::RegisterWindowMessageW(L"{FC970502-EECA-4c50-AF80-CF39EA345E99");
    return message;
}

UINT CSCVTrayWnd::GetInstanceSignalMessageId()
{
    return GetInstanceSignalMessage();
}

UINT CSCVTrayWnd::GetNotesMessageId()
{
    return CAppObjects::GetMainWndListMessage();
}

BOOL CSCVTrayWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CSCVTrayWnd::OnIdle()
{
    return FALSE;
}

// --- WM_CREATE and WM_DESTROY -------------------------------------------------------------------------

LRESULT CSCVTrayWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    MarkTiming(TimingMark::TrayWindowCreating);
    CAppObjects::SetMainWnd(m_hWnd);
    ReloadLanguage();
    SetMenuHost(MenuHost{GetProductVersionText(false), CAppObjects::GetAppIconId(),
                         &CAppObjects::GetLocalizer(), &LoadTipIcon, GetShortVersionText()});
    SetRichEditConverterParent(m_hWnd);
    RegisterWithMessageLoop(true);
    ChangeWindowMessageFilterDyn(WM_COPYDATA, MSGFLT_ADD);
    SetWindowIcons();

    if (m_noInstall) {
        AddStartupNote(kNoInstallNote);
        LoadPhraseTree();
    } else {
        StartCoreServices(nullptr, nullptr);
    }
    // The core start-up starts the history; without it (no install) it starts here.
    StartWantedClipboardWatcher(true);
    if (GetSettings().ShowHistoryPaneOnStart != 0)
        m_floatPane.Create(&m_clipboardHistory.GetPaneHistory(), FALSE, FALSE);
    StartTrayIconThread();
    CreateMenuToolTip();
    m_floatPaneHost.SetMenuToolTip(m_menuToolTip.get());
    // Putting the user's clipboard back is the program's own clipboard use: not captured.
    m_clipboardSaver.SetAfterRestore([this] { m_clipboardHistory.BlockCaptureForAWhile(); });
    StartEditorCoopEndedWatcher(EditorCoopWatcherParams{m_stopEvent, m_hWnd, WM_SCV_EDITOR_ENDED});
    if (GetSettings().IsNewOrOutdated())
        StartAutoStartThread(m_hWnd, WM_SCV_SETTINGS_MODULE);
    StartSoundThread(m_stopEvent);
    ScheduleAutomaticUpdateCheck(m_hWnd, m_stopEvent);

    SetWindowPos(nullptr, -100, -100, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(SW_HIDE);
    RegisterSessionNotification();
    StartCheckForUpdatesCommandWatcher();
    PostStartupCommands();
    if (!IsWelcomeAlreadyStarted())
        StartWelcomeProgram(m_hWnd, true);
    if (!SetTimer(kTimerDelayedRelays, 3000, nullptr))
        StartDelayedRelays(m_stopEvent, m_hWnd, WM_SCV_LANGUAGE_CHANGED);
    if (GetSettings().GetShowIconInAltTab() != 0)
        m_altTab.Show(m_hWnd, WM_SCV_ALT_TAB_ACTIVATE);
    return 0;
}

void CSCVTrayWnd::SetWindowIcons()
{
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const UINT id = CAppObjects::GetAppIconId();
    m_smallIcon = LoadIconSized(module, id, ::GetSystemMetrics(SM_CXSMICON));
    m_bigIcon = LoadIconSized(module, id, ::GetSystemMetrics(SM_CXICON));
    if (m_smallIcon)
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
    if (m_bigIcon)
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
}

void CSCVTrayWnd::RegisterWithMessageLoop(bool add)
{
    CMessageLoop* loop = _Module.GetMessageLoop();
    if (!loop)
        return;
    if (add) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    } else {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
}

void CSCVTrayWnd::RegisterSessionNotification()
{
    if (m_sessionNotifier.Register(m_hWnd, true))
        WriteLogLine(L"WTS_Notify successfully installed");
    else
        LogError(L"WTS_Notify NOT installed");
}

void CSCVTrayWnd::PostStartupCommands()
{
    if (m_args && m_args->IsEdit())
        PostMessage(WM_COMMAND, ID_SCV_EDIT_PHRASES, 0);
    if (m_args && m_args->IsCfu())
        PostMessage(WM_COMMAND, ID_SCV_CHECK_FOR_UPDATES, 0);
    StartEditRequestRelay(m_stopEvent);
    StartShowMenuRelay(m_stopEvent, m_hWnd, WM_SCV_SHOW_TRAY_MENU);
    if (m_args && m_args->IsShowMenu())
        PostMessage(WM_SCV_SHOW_TRAY_MENU, 0, 0);
}

LRESULT CSCVTrayWnd::OnDestroy(UINT, WPARAM, LPARAM, BOOL&)
{
    if (m_stopEvent)
        ::SetEvent(m_stopEvent);
    StopCoreServices();
    HideMenuToolTip();

    m_trayAnimation.Stop();
    NOTIFYICONDATAW record{};
    record.hWnd = m_hWnd;
    record.uID = kTrayIconId;
    ShellNotify(NIM_DELETE, record, false);
    if (m_altTab.IsShown())
        m_altTab.Hide();
    if (m_floatPane.m_hWnd)
        m_floatPane.DestroyWindow();
    m_floatPane.SetHistory(nullptr);
    m_floatPaneHost.SetMenuToolTip(nullptr);
    if (GetHistory().IsCapturing()) {
        GetHistory().Stop();
        NotifyStateListeners(nullptr, 0, GetHistory().IsCapturing() ? 1 : 0);
    }

    if (!m_sessionNotifier.IsRegistered(m_hWnd))
        LogError(L"WTS_Notify HWND for uninstalling not found");
    else if (m_sessionNotifier.Unregister(m_hWnd))
        WriteLogLine(L"WTS_Notify successfully uninstalled");
    else
        LogError(L"WTS_Notify cannot uninstall");

    RegisterWithMessageLoop(false);
    if (CAppObjects::GetMainWnd() == m_hWnd)
        CAppObjects::SetMainWnd(nullptr);
    return 0;
}

// --- Core services -------------------------------------------------------------------------------------

bool CSCVTrayWnd::StartCoreServices(LPVOID, CString* accumulator)
{
    IDataNeededHander_MenuSelf& builder = EnsureMenuBuilder();

    // Logging follows the setting; a log already open on the same file stays
    // open (closing it would drop the lines still on their way to the file).
    if (GetSettings().WriteLog != 0) {
        const CString path = LogReportPath();
        wchar_t openPath[MAX_PATH + 2] = {};
        GetLogPath(openPath, ARRAYSIZE(openPath));
        if (IsLogOpen() && path.CompareNoCase(openPath) != 0)
            LogClose();
        if (!IsLogOpen())
            LogOpen(path);
    } else if (IsLogOpen()) {
        LogClose();
    }

    LoadPhraseTree();

    // A service left running (a start over a running one) is taken down first,
    // so that nothing below fails on what is still there.
    if (IsCoreInstalled() || IsHotKeyRegistered() || m_waitObjects.IsCreated())
        StopCoreServices();

    if (!m_waitObjects.CreateWaitObjects()) {
        LogError(L"Cannot create wait objects");
        ReportStartupError(accumulator, L"ERROR: Cannot create wait objects");
        StartWantedClipboardWatcher(false);
        m_waitObjects.CloseWaitObjects();
        return false;
    }

    if (!RegisterPhraseHotKey(accumulator)) {
        LogError(L"Cannot register hot key");
        const CString text = CString(L"ERROR: Cannot register hot key ") + GetHotKeyDisplayText();
        WriteLogLine(text);
        ReportStartupError(accumulator, text);
        StartWantedClipboardWatcher(false);
        m_waitObjects.CloseWaitObjects();
        return false;
    }

    int resultCode = 0;
    const bool logFlag = GetSettings().WriteLog != 0;
    if (!m_dllService.InstallDLLService(m_hWnd, GetTargetRequestMessage(), m_waitObjects.GetDataNeededName(),
                                        m_waitObjects.GetDataCompletedName(), m_waitObjects.GetMappingName(),
                                        logFlag, resultCode, builder.IsAnswerFilled())) {
        const CString path = m_dllService.GetCoreDllPath();
        CString reason = L"Cannot DLL install";
        reason += ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES ? L"\nCore DLL path: "
                                                                        : L"\nCore DLL not found: ";
        reason += path;
        reason += L"\n";
        reason += CSCVDLLService::InstallResultText(resultCode);
        const CString text = CString(L"ERROR: ") + reason;
        if (resultCode != 0)
            LogError(reason);
        else
            WriteLogLine(text);
        ReportStartupError(accumulator, text);
        StartWantedClipboardWatcher(false);
        UnregisterPhraseHotKey();
        m_waitObjects.CloseWaitObjects();
        return false;
    }

    const bool threadStarted = StartQueryThread();
    StartWantedClipboardWatcher(true);
    if (!threadStarted) {
        LogError(L"Cannot start wait thread for query");
        ReportStartupError(accumulator, L"ERROR: Cannot start wait thread for query");
    }
    PreloadProcessApiLibraries();
    if (threadStarted)
        MarkTiming(TimingMark::ServiceReady);
    if (!threadStarted) {
        // Without the thread no query is ever read: the service is not running.
        m_dllService.Uninstall();
        UnregisterPhraseHotKey();
        m_waitObjects.CloseWaitObjects();
    }
    return threadStarted;
}

void CSCVTrayWnd::StartWantedClipboardWatcher(bool retryLater)
{
    // The first start reads the saved history; a watcher that cannot start now
    // is tried again every two seconds when asked.
    if (GetSettings().ClipboardHistory == 0 || GetHistory().IsCapturing() || StartClipboardWatcher(1))
        return;
    if (retryLater)
        StartDelayedWatcherStart(
            DelayedWatcherStartParams{m_stopEvent, m_hWnd, WM_SCV_START_CLIPBOARD_WATCHER});
}

bool CSCVTrayWnd::StartQueryThread()
{
    WaitQueryParams params;
    params.owner = m_hWnd;
    params.stopEvent = m_stopEvent;
    params.queryEvent = m_waitObjects.GetDataNeededEvent();
    params.answerEvent = m_waitObjects.GetDataCompletedEvent();
    params.mappingName = m_waitObjects.GetMappingName();
    params.queryMessage = WM_WAIT_QUERY_COMPLETE;
    params.errorMessage = WM_WAIT_QUERY_COMPLETE_ERROR;
    return m_waitQuery.StartWaitThread(params);
}

void CSCVTrayWnd::StopCoreServices()
{
    // The thread first: it must not wait on objects that are being closed.
    m_waitQuery.StopWaitThread();
    if (m_dllService.IsInstalled())
        m_dllService.Uninstall();
    UnregisterPhraseHotKey();
    if (m_waitObjects.IsCreated())
        m_waitObjects.CloseWaitObjects();
}

IDataNeededHander_MenuSelf& CSCVTrayWnd::EnsureMenuBuilder()
{
    if (!m_menuBuilder) {
        m_menuBuilder = std::make_unique<IDataNeededHander_MenuSelf>(m_hWnd, WM_COMMAND_FROM_SELF, &m_phrases,
                                                                     nullptr, this);
        m_menuBuilder->SetLastIdFilter(&CSCVTrayWnd::LastIdFilter, this);
        m_menuBuilder->SetHistory(&m_clipboardHistory.GetMenuHistory());
    }
    return *m_menuBuilder;
}

int CSCVTrayWnd::LastIdFilter(int commandId, void* self)
{
    return static_cast<CSCVTrayWnd*>(self)->PreSetLastID_CallBack(commandId) ? 1 : 0;
}

void CSCVTrayWnd::LoadPhraseTree()
{
    CSettings& settings = GetSettings();
    // Ids change with every load: the last used phrases are kept by their files.
    const IDataNeededHander::LastUsedPaths lastUsed =
        m_menuBuilder ? m_menuBuilder->SaveLastUsedPaths() : IDataNeededHander::LastUsedPaths();
    MarkTiming(TimingMark::LibraryLoadBegun);
    m_phrases.Clear();
    m_phrases.Load(settings.GetPhrasesFolder());
    if (settings.Sorting != -1)
        m_phrases.Sort(settings.Sorting, false);
    MarkTiming(TimingMark::LibraryLoaded);
    if (m_menuBuilder)
        m_menuBuilder->RestoreLastUsedPaths(lastUsed);
}

bool CSCVTrayWnd::DeferWhileMenuOpen(UINT message, WPARAM wParam)
{
    if (!m_menuBuilder || !m_menuBuilder->IsMenuAlive())
        return false;
    const std::pair<UINT, WPARAM> entry(message, wParam);
    for (const auto& waiting : m_deferredWhileMenuOpen) {
        if (waiting == entry)
            return true;
    }
    m_deferredWhileMenuOpen.push_back(entry);
    return true;
}

void CSCVTrayWnd::PostDeferredMenuMessages()
{
    std::vector<std::pair<UINT, WPARAM>> waiting;
    waiting.swap(m_deferredWhileMenuOpen);
    for (const auto& entry : waiting)
        PostMessage(entry.first, entry.second, 0);
}

void CSCVTrayWnd::ReloadPhrases(bool quiet)
{
    LoadPhraseTree();
    UpdateTrayIcon(quiet ? 1 : 2, nullptr, false);
    if (!quiet)
        StartTrayIconBlink();
}

void CSCVTrayWnd::ReportStartupError(CString* accumulator, LPCWSTR text)
{
    if (accumulator) {
        *accumulator += L"\n";
        *accumulator += text;
    }
    AddStartupNote(text);
}

void CSCVTrayWnd::ReloadLanguage()
{
    const CString path = BuildLanguageFilePath(GetSettings().GetLanguageFileName());
    CAppObjects::GetLocalizer().SetLanguageFile(path);
    SetLanguageFileForStrings(path, GetLocalizerClientSuffix());
    CAppObjects::SetUseRuUrls();
}

// --- Tray icon ------------------------------------------------------------------------------------------

CString CSCVTrayWnd::BuildTrayStatusText()
{
    int included = 0;
    int all = 0;
    m_phrases.GetPhraseCounts(&included, &all);
    CString folder;
    folder.Format(L"%s: %s [%d/%d]", LoadLocalizedString(IDS_SCV_FOLDER).GetString(),
                  GetPhrasesFolderDisplayText().GetString(), included, all);
    return LoadLocalizedString(IDS_SCV_HOT_KEY) + L": " + GetHotKeyDisplayText() + L"\r\n" + folder +
           L"\r\n" + LoadLocalizedString(IDS_SCV_LEFT_CLICK_MENU);
}

CString CSCVTrayWnd::BuildTrayTip(const CString& statusText)
{
    CString version = GetShortVersionText();
    if (CAppObjects::IsElevated() && version.Find(L'^') < 0)
        version += L"^";
    const CString state = IsCoreInstalled() ? GetTurnOnText(true) : GetTurnOffText(true);
    CString tip = version + L" - " + state + L"\r\n" + statusText;
    if (tip.GetLength() <= kMaxTipLength)
        return tip;
    // Whole lines as far as they fit; a first line longer than that is cut.
    CString head = tip.Left(kMaxTipLength);
    const int lineEnd = head.ReverseFind(L'\n');
    if (lineEnd <= 0)
        return head;
    head = head.Left(lineEnd);
    head.TrimRight(L"\r");
    return head;
}

BOOL CSCVTrayWnd::CallShellNotifyIcon(DWORD message, NOTIFYICONDATAW& record)
{
    return ShellNotify(message, record, SoundsSwitchedOff());
}

BOOL CSCVTrayWnd::UpdateTrayIcon(int mode, LPCWSTR balloonText, bool warning)
{
    if (mode < 0 || mode > 2)
        return FALSE;
    HICON icon = LoadAppIcon(IsCoreInstalled() ? 1 : 0);
    const CString statusText = BuildTrayStatusText();
    const CString tip = BuildTrayTip(statusText);

    m_trayIcon.hWnd = m_hWnd;
    m_trayIcon.uID = kTrayIconId;
    m_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_trayIcon.uCallbackMessage = WM_SCV_TRAY_NOTIFY;
    m_trayIcon.hIcon = icon;
    CopyToField(m_trayIcon.szTip, tip);
    m_trayIcon.dwInfoFlags = 0;
    if (mode != 2) {
        CString title = tip;
        const int lineEnd = title.FindOneOf(L"\r\n");
        if (lineEnd >= 0)
            title = title.Left(lineEnd);
        if (balloonText && *balloonText) {
            title += L", ";
            title += balloonText;
        }
        m_trayIcon.uFlags |= NIF_INFO;
        CopyToField(m_trayIcon.szInfoTitle, title);
        CopyToField(m_trayIcon.szInfo, statusText);
        m_trayIcon.dwInfoFlags = warning ? NIIF_WARNING : NIIF_USER;
    }

    BOOL result = FALSE;
    if (mode == 0) {
        result = CallShellNotifyIcon(NIM_ADD, m_trayIcon);
        // An icon the shell already shows (a repeated "TaskbarCreated") is updated instead.
        if (!result)
            result = CallShellNotifyIcon(NIM_MODIFY, m_trayIcon);
        if (result) {
            m_trayIcon.uVersion = NOTIFYICON_VERSION;
            CallShellNotifyIcon(NIM_SETVERSION, m_trayIcon);
        }
    } else {
        result = CallShellNotifyIcon(NIM_MODIFY, m_trayIcon);
    }

    if (m_trayIconHandle)
        ::DestroyIcon(m_trayIconHandle);
    m_trayIconHandle = icon;
    return result;
}

BOOL CSCVTrayWnd::ShowTrayBalloon(LPCWSTR text, UINT milliseconds)
{
    NOTIFYICONDATAW record{};
    record.hWnd = m_trayIcon.hWnd ? m_trayIcon.hWnd : m_hWnd;
    record.uID = m_trayIcon.uID;
    record.uFlags = NIF_INFO | NIF_TIP;
    // The tip stays as it is while the balloon shows and after it.
    CopyToField(record.szTip, m_trayIcon.szTip);
    if (text && *text) {
        record.dwInfoFlags = NIIF_INFO;
        record.uTimeout = milliseconds;
        CopyToField(record.szInfo, text);
        const BOOL shown = ModifyTrayBalloon(record, L"CSCVTrayWnd::ShowTrayBalloon [1]");
        if (shown)
            SetTimer(kTimerHideBalloon, milliseconds, nullptr);
        return shown;
    }
    // An empty balloon text takes the balloon away.
    return ModifyTrayBalloon(record, L"CSCVTrayWnd::ShowTrayBalloon [2]");
}

BOOL CSCVTrayWnd::ModifyTrayBalloon(NOTIFYICONDATAW& record, LPCWSTR logTag)
{
    SetLogSourceTag(logTag);
    if (!IsTerminatedField(record.szInfo))
        LogError(L"IsBadStringPtr(ni.szInfo,INFINITE)");
    if (!IsTerminatedField(record.szInfoTitle))
        LogError(L"IsBadStringPtr(ni.szInfoTitle,INFINITE)");
    if (!IsTerminatedField(record.szTip))
        LogError(L"IsBadStringPtr(ni.szTip,INFINITE)");
    const BOOL result = CallShellNotifyIcon(NIM_MODIFY, record);
    ClearLogSourceTag();
    return result;
}

void CSCVTrayWnd::StartTrayIconThread()
{
    CKernelHandle stop = DuplicateHandleInProcess(m_stopEvent);
    const HWND window = m_hWnd;
    try {
        std::thread([window, stop = std::move(stop)]() {
            for (int attempt = 0; attempt < kTrayIconTries; ++attempt) {
                if (::SendMessageW(window, WM_SCV_ADD_TRAY_ICON, 0, 0) != 0)
                    return;
                if (!::IsWindow(window) || !WaitGoesOn(stop.Get(), kTrayIconRetryMs))
                    return;
            }
        }).detach();
    } catch (...) {
        // No thread: one attempt at once.
        SendMessage(WM_SCV_ADD_TRAY_ICON, 0, 0);
    }
}

void CSCVTrayWnd::StartTrayIconBlink()
{
    CKernelHandle stop = DuplicateHandleInProcess(m_stopEvent);
    const HWND window = m_hWnd;
    const int iconFlag = IsCoreInstalled() ? 1 : 0;
    const bool silent = SoundsSwitchedOff();
    try {
        std::thread([window, iconFlag, silent, stop = std::move(stop)]() {
            PlayNotificationSoundIfEnabled();
            HICON normal = LoadAppIcon(iconFlag);
            HICON blink =
                LoadIconSized(::GetModuleHandleW(nullptr), IDI_SCV_APP_BLINK, ::GetSystemMetrics(SM_CXICON));
            NOTIFYICONDATAW record{};
            record.hWnd = window;
            record.uID = kTrayIconId;
            record.uFlags = NIF_ICON;
            for (int i = 0; i < kBlinkCount; ++i) {
                record.hIcon = blink;
                ShellNotify(NIM_MODIFY, record, silent);
                const bool goOn = WaitGoesOn(stop.Get(), kBlinkPhaseMs);
                record.hIcon = normal;
                ShellNotify(NIM_MODIFY, record, silent);
                if (!goOn || (i + 1 < kBlinkCount && !WaitGoesOn(stop.Get(), kBlinkPhaseMs)))
                    break;
            }
            for (HICON icon : {normal, blink}) {
                if (icon)
                    ::DestroyIcon(icon);
            }
        }).detach();
    } catch (...) {
    }
}

// --- Message boxes --------------------------------------------------------------------------------------

int CSCVTrayWnd::ShowOwnMessageBox(LPCWSTR text, UINT type, bool flash)
{
    PlayErrorBeep();
    if (!flash)
        return ::MessageBoxW(m_hWnd, text, kProductName, type);

    const LONG_PTR exStyle = GetWindowLongPtr(GWL_EXSTYLE);
    const CString oldTitle = GetWindowText();
    CString title = text ? text : L"";
    const int lineEnd = title.FindOneOf(L"\r\n");
    if (lineEnd >= 0)
        title = title.Left(lineEnd);
    SetWindowLongPtr(GWL_EXSTYLE, exStyle | WS_EX_APPWINDOW);
    SetWindowText(CString(kProductName) + L": " + title);
    ShowWindow(SW_SHOW);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    FLASHWINFO flashInfo{sizeof(FLASHWINFO), m_hWnd, FLASHW_ALL, 3, 0};
    ::FlashWindowEx(&flashInfo);

    const int result = ::MessageBoxW(m_hWnd, text, kProductName, type & ~static_cast<UINT>(MB_TOPMOST));

    ShowWindow(SW_HIDE);
    SetWindowLongPtr(GWL_EXSTYLE, exStyle);
    SetWindowText(oldTitle);
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return result;
}

// --- Messages -------------------------------------------------------------------------------------------

LRESULT CSCVTrayWnd::OnEndSession(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    WriteLogLine(
        FormatLine(L"WM_ENDSESSION wParam=%d lParam=%d", static_cast<int>(wParam), static_cast<int>(lParam)));
    return 0;
}

LRESULT CSCVTrayWnd::OnCopyData(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data || !data->lpData || data->cbData < kCopyDataMinimumSize)
        return 0;
    INT32 command = 0;
    INT32 window = 0;
    std::memcpy(&command, static_cast<const BYTE*>(data->lpData) + kCopyDataCommandOffset, sizeof(command));
    std::memcpy(&window, static_cast<const BYTE*>(data->lpData) + kCopyDataWindowOffset, sizeof(window));
    // Window handles are 32-bit values, sign-extended in a 64-bit process.
    ExecuteCommandFromSelf(static_cast<WPARAM>(static_cast<INT_PTR>(command)),
                           static_cast<LPARAM>(static_cast<INT_PTR>(window)));
    return 1;
}

LRESULT CSCVTrayWnd::OnTimer(UINT, WPARAM timerId, LPARAM, BOOL& handled)
{
    switch (timerId) {
    case kTimerHideBalloon:
        KillTimer(kTimerHideBalloon);
        ShowTrayBalloon(nullptr, 0);
        break;
    case kTimerShowPhraseMenu:
        KillTimer(kTimerShowPhraseMenu);
        ShowPhraseMenuForTarget(false);
        // The pane that asked for the menu stays as its caption, out of the menu's way.
        if (m_floatPane.m_hWnd)
            m_floatPane.ShowAsCaption();
        break;
    case kTimerFloatPaneHint:
        KillTimer(kTimerFloatPaneHint);
        if (m_lastSelectedTrayItem == ID_SCV_FLOAT_PANE && m_floatPane.m_hWnd)
            m_floatPane.StartAnimationThread(0);
        break;
    case kTimerUnansweredRequest:
        EndUnansweredRequest();
        break;
    case kTimerDelayedRelays:
        KillTimer(kTimerDelayedRelays);
        StartDelayedRelays(m_stopEvent, m_hWnd, WM_SCV_LANGUAGE_CHANGED);
        break;
    default:
        handled = FALSE;
        break;
    }
    return 0;
}

LRESULT CSCVTrayWnd::OnWtsSessionChangeMessage(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    OnWmWTSSessionChange(static_cast<int>(wParam), static_cast<int>(lParam));
    return 1;
}

void CSCVTrayWnd::OnWmWTSSessionChange(int reason, int sessionId)
{
    CString line;
    line.Format(L"OnWmWTSSessionChange reason=%s sessionId=%d",
                WTSSessionChangeReason_2_Str(reason).GetString(), sessionId);
    WriteLogLine(line);
    int direction = 0;
    if (reason == WTS_CONSOLE_CONNECT || reason == WTS_SESSION_LOGON || reason == WTS_SESSION_UNLOCK)
        direction = 1;
    else if (reason == WTS_CONSOLE_DISCONNECT || reason == WTS_SESSION_LOGOFF || reason == WTS_SESSION_LOCK)
        direction = -1;
    WriteLogLine(FormatLine(L"OnWmWTSSessionChange WTS_reason=%d", direction));
    if (direction < 0 && m_clipboardHistory.IsRunning()) {
        m_stoppedBySession = 1;
        GetHistory().Stop();
        NotifyStateListeners(nullptr, 0, 0);
        WriteLogLine(FormatLine(L"OnWmWTSSessionChange: Clipboard Spy is uninstalled=%d", 1));
    } else if (direction > 0 && m_stoppedBySession) {
        m_stoppedBySession = 0;
        WriteLogLine(FormatLine(L"OnWmWTSSessionChange: Clipboard Spy is installed=%d",
                                StartClipboardWatcher(0) ? 1 : 0));
    }
    BroadcastAppEvent(AppEventSessionChange, reason);
}

LRESULT CSCVTrayWnd::OnCommandExit(WORD, WORD, HWND, BOOL&)
{
    DestroyWindow();
    ::PostQuitMessage(0);
    return 0;
}

LRESULT CSCVTrayWnd::OnCommandEnablePhraseMenu(WORD, WORD, HWND, BOOL&)
{
    if (IsCoreInstalled()) {
        StopCoreServices();
    } else {
        CString errors;
        if (!StartCoreServices(nullptr, &errors) && !errors.IsEmpty()) {
            errors.TrimLeft(L"\n");
            ShowOwnMessageBox(errors, MB_ICONERROR, false);
        }
    }
    UpdateTrayIcon(1, nullptr, false);
    return 0;
}

LRESULT CSCVTrayWnd::OnCommandEditPhrases(WORD, WORD, HWND, BOOL&)
{
    StartEditor(false, CString());
    return 0;
}

LRESULT CSCVTrayWnd::OnShowFloatPaneRequest(UINT, WPARAM, LPARAM, BOOL&)
{
    return ShowFloatPane() ? 1 : 0;
}

bool CSCVTrayWnd::ShowFloatPane()
{
    if (!m_floatPane.m_hWnd && !m_floatPane.Create(&m_clipboardHistory.GetPaneHistory(), TRUE, TRUE))
        return false;
    m_floatPane.SetCaptionOnlyEx(0, 0, TRUE);
    ::SetForegroundWindow(m_floatPane.m_hWnd);
    m_floatPane.SetFocusToList();
    return true;
}

LRESULT CSCVTrayWnd::OnAddTrayIcon(UINT, WPARAM, LPARAM, BOOL&)
{
    const BOOL added = UpdateTrayIcon(0, nullptr, false);
    if (added)
        CAppObjects::PlayStartSound();
    else
        WriteLogLine(L"ERROR: cannot install tray icon");
    return added;
}

LRESULT CSCVTrayWnd::OnTrayNotify(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONUP:
        ShowTrayMenuAtCursor();
        return 0;
    case WM_RBUTTONUP:
    case NIN_BALLOONUSERCLICK:
        ShowTrayMenuAtCursor();
        return 1;
    default:
        return 0;
    }
}

bool CSCVTrayWnd::StartEditor(bool addFromClipboard, const CString& selectedText)
{
    if (!StartEditorThread(m_stopEvent, m_hWnd, WM_SCV_SETTINGS_MODULE, addFromClipboard, false,
                           selectedText))
        return false;
    ++m_editorStartsRunning;
    return true;
}

LRESULT CSCVTrayWnd::OnSettingsModule(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // Only the editor starts of this window report here: another program's message neither
    // shows the box, starts the editor nor restarts the services.
    if (m_editorStartsRunning == 0) {
        WriteLogLine(L"CSCVTrayWnd::OnSettingsModule: no editor start of this program runs, ignored");
        return 0;
    }
    switch (wParam) {
    case 0:
        --m_editorStartsRunning;
        ::MessageBoxW(m_hWnd, L"Cannot start settings module", kProductName, MB_ICONERROR);
        OpenEditor(true, false, false, CString());
        break;
    case 1:
        m_languagePathAtEditorStart = GetSettings().GetLanguageFilePath();
        break;
    case 2: {
        if (DeferWhileMenuOpen(WM_SCV_SETTINGS_MODULE, wParam))
            break;
        --m_editorStartsRunning;
        GetSettings().Load();
        if (m_menuBuilder)
            m_menuBuilder->ClearFonts_Internal();
        StopCoreServices();
        StartCoreServices(nullptr, nullptr);
        ApplyHistorySettings();
        const bool sameLanguage =
            GetSettings().GetLanguageFilePath().CompareNoCase(m_languagePathAtEditorStart) == 0;
        UpdateTrayIcon(sameLanguage ? 2 : 1, nullptr, false);
        break;
    }
    default:
        break;
    }
    return 1;
}

LRESULT CSCVTrayWnd::OnWmEditorEnded(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (DeferWhileMenuOpen(WM_SCV_EDITOR_ENDED, wParam))
        return 1;
    GetSettings().Load();
    if (m_menuBuilder)
        m_menuBuilder->ClearFonts_Internal();
    ReloadLanguage();
    UpdateTrayIcon(2, nullptr, false);
    ReloadPhrases(false);
    ApplyHistorySettings();
    SyncAltTabProxy();
    UpdateTrayIcon(2, nullptr, false);
    if (m_floatPane.m_hWnd)
        m_floatPane.PostMessage(CSCVFloatPane::WM_PANE_CAPTION_TIP, 0, 0);
    WriteLogLine(L"CSCVTrayWnd::OnWmEditorEnded: Detected event: RedodeZovuva closed");
    return 1;
}

void CSCVTrayWnd::ApplyHistorySettings()
{
    ITrayHistorySource& history = GetHistory();
    const bool wanted = GetSettings().ClipboardHistory != 0;
    if (wanted && !history.IsCapturing()) {
        // Starting notifies the listeners itself.
        StartClipboardWatcher(0);
    } else if (!wanted && history.IsCapturing()) {
        history.Stop();
        WriteLogLine(L"The clipboard history is switched off in the settings: the watcher stopped");
        NotifyStateListeners(nullptr, 0, 0);
    }
    m_floatPane.RefreshIfOpen();
}

LRESULT CSCVTrayWnd::OnGetHistoryCaption(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The result is the whole text's length; a result of the buffer size or more means it was cut.
    CString count;
    count.Format(L" [%d]", GetHistory().GetCount());
    const CString text =
        CString(kProductName) + L" - " + LoadLocalizedString(IDS_SCV_CLIPBOARD_HISTORY) + count;
    CopyToHandedOutBuffer(wParam, lParam, text, L"CSCVTrayWnd::OnGetHistoryCaption");
    return text.GetLength();
}

LRESULT CSCVTrayWnd::OnAllowWaitAnswer(UINT, WPARAM, LPARAM, BOOL&)
{
    return m_menuBuilder ? m_menuBuilder->IsAnswerFilled() : 0;
}

LRESULT CSCVTrayWnd::OnWmCommandFromSelf(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    WriteLogLine(L"CSCVTrayWnd::OnWmCommandFromSelf");
    // Only the choice the phrase menu posted: another program's message puts no history item
    // on the clipboard and runs no phrase.
    const int choice = static_cast<int>(static_cast<INT_PTR>(wParam));
    if (!m_menuBuilder || !m_menuBuilder->TakePostedChoice(choice, reinterpret_cast<HWND>(lParam))) {
        WriteLogLine(L"CSCVTrayWnd::OnWmCommandFromSelf: not a choice of the phrase menu, ignored");
        return 0;
    }
    ExecuteCommandFromSelf(wParam, lParam);
    return 1;
}

LRESULT CSCVTrayWnd::OnIsPhraseMenuClosed(UINT, WPARAM, LPARAM, BOOL&)
{
    return m_menuBuilder && m_menuBuilder->IsMenuAlive() ? 0 : 1;
}

LRESULT CSCVTrayWnd::OnConnectionChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    UpdateTrayIcon(1, nullptr, false);
    if (IsInternetConnected())
        PostMessage(WM_COMMAND, ID_SCV_CHECK_FOR_UPDATES, 0);
    return 1;
}

LRESULT CSCVTrayWnd::OnHideBalloon(UINT, WPARAM, LPARAM, BOOL&)
{
    ShowTrayBalloon(nullptr, 0);
    return 1;
}

LRESULT CSCVTrayWnd::OnHideMenuToolTip(UINT, WPARAM, LPARAM, BOOL&)
{
    HideMenuToolTip();
    return 1;
}

LRESULT CSCVTrayWnd::OnLanguageChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    ReloadLanguage();
    if (m_altTab.IsShown())
        m_altTab.UpdateTitle();
    BroadcastAppEvent(AppEventSettingsReloaded, 0);
    UpdateTrayIcon(2, nullptr, false);
    return 1;
}

LRESULT CSCVTrayWnd::OnGetCurrentItemUrl(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const CString url = m_floatPane.m_hWnd ? m_floatPane.GetSelectedItemUrl() : CString();
    CopyToHandedOutBuffer(wParam, lParam, url, L"CSCVTrayWnd::OnGetCurrentItemUrl");
    return !url.IsEmpty();
}

LRESULT CSCVTrayWnd::OnNewPhraseWithText(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    // Only a text this process handed out (the floating pane's "Save as phrase"): another
    // program's message neither starts the editor nor has this process read its memory.
    const CString text = ReadHandedOutText(lParam, L"CSCVTrayWnd::OnNewPhraseWithText");
    if (text.IsEmpty())
        return 0;
    StartEditor(false, text);
    return 1;
}

LRESULT CSCVTrayWnd::OnInstanceSignal(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    WriteLogLine(FormatLine(L"WM_SCV_INSTANCE_SIGNAL wParam=%d", static_cast<int>(wParam)));
    switch (wParam) {
    case 0:
        if (!IsCoreInstalled())
            StartCoreServices(nullptr, nullptr);
        CAppObjects::PlayAlreadyWorkSound();
        UpdateTrayIcon(1, LoadLocalizedString(IDS_SCV_ALREADY_WORKS), true);
        break;
    case 1:
        UpdateTrayIcon(1, LoadLocalizedString(IDS_SCV_EXITING), false);
        ::Sleep(500);
        PostMessage(WM_COMMAND, ID_SCV_APP_EXIT, lParam);
        break;
    default:
        UpdateTrayIcon(1, L"", true);
        break;
    }
    return 1;
}

LRESULT CSCVTrayWnd::OnTaskbarCreated(UINT, WPARAM, LPARAM, BOOL&)
{
    StartTrayIconThread();
    return 1;
}

LRESULT CSCVTrayWnd::OnAddStartupNoteMessage(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    const CString text = ReadHandedOutText(lParam, L"CSCVTrayWnd::OnAddStartupNoteMessage");
    if (!text.IsEmpty())
        AddStartupNote(text);
    return 1;
}

// --- Tray icon animation and the ALT+TAB proxy ------------------------------------------------------------

bool CSCVTrayWnd::StartTrayAnimation()
{
    if (m_trayAnimation.IsRunning())
        return false;
    TrayAnimationParams params;
    params.trayWindow = m_hWnd;
    params.iconId = kTrayIconId;
    params.delayMs = 250;
    params.sourceIcon = m_smallIcon;
    params.iconWindow = m_hWnd;
    return m_trayAnimation.Start(params);
}

bool CSCVTrayWnd::StopTrayAnimation()
{
    if (!m_trayAnimation.Stop())
        return false;
    // The icon of the program's state, as before the check.
    UpdateTrayIcon(2, nullptr, false);
    return true;
}

void CSCVTrayWnd::SyncAltTabProxy()
{
    const bool wanted = GetSettings().GetShowIconInAltTab() != 0;
    if (wanted == m_altTab.IsShown())
        return;
    if (wanted)
        m_altTab.Show(m_hWnd, WM_SCV_ALT_TAB_ACTIVATE);
    else
        m_altTab.Hide();
}
