#include "engine/ClipboardSpy.h"

#include "common/WinEventHookDispatcher.h"

#include <exception>

#include "common/SharedLog.h"

namespace
{
constexpr wchar_t kSpyClassName[] = L"ClipboardSpyWndHidden";
constexpr UINT_PTR kWatchdogTimer = 101;
constexpr UINT kListenerPeriod = 300000;
constexpr UINT kViewerChainPeriod = 5000;

using ListenerFunction = BOOL(WINAPI*)(HWND);

ListenerFunction User32Function(const char* name)
{
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32
               ? reinterpret_cast<ListenerFunction>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
               : nullptr;
}

bool RegisterSpyClass(HINSTANCE instance)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, kSpyClassName, &existing))
        return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = windowClass.hIcon;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kSpyClassName;
    return ::RegisterClassExW(&windowClass) != 0;
}
} // namespace

CClipboardSpy& CClipboardSpy::GetInstance()
{
    static CClipboardSpy spy;
    return spy;
}

CClipboardSpy::CClipboardSpy() : m_lastSequence(::GetClipboardSequenceNumber()) {}

CClipboardSpy::~CClipboardSpy() = default;

UINT CClipboardSpy::GetSpyMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"{CC278AD4-3207-4aeb-B6BC-0342A5E6815D}");
    return message;
}

bool CClipboardSpy::InstallClipboardSpy(int useListener, HINSTANCE instance, HWND parent)
{
    if (IsClipboardSpyInstalled())
        return false;
    ::LoadLibraryW(L"psapi.dll");
    m_useListener = useListener == 1;
    if (!RegisterSpyClass(instance))
        return false;
    const DWORD savedError = ::GetLastError();
    HWND window = ::CreateWindowExW(WS_EX_LEFT, kSpyClassName, L"", WS_CHILD, -100, -100, 10, 10, parent,
                                    nullptr, instance, nullptr);
    if (window) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CClipboardSpy::WindowProc));
        m_spyWindow = window;
        if (!InstallEntity()) {
            ::DestroyWindow(window);
            m_spyWindow = nullptr;
        }
    }
    ::SetLastError(savedError);
    if (IsClipboardSpyInstalled()) {
        // The foreground and focus changes from 3 to 0x8005, through the process's one WinEvent hook.
        CWinEventHookDispatcher& events = CWinEventHookDispatcher::GetInstance();
        events.SetWinEventHookRange(EVENT_OBJECT_FOCUS, EVENT_SYSTEM_FOREGROUND);
        events.Subscribe(this, 0, EVENT_OBJECT_FOCUS);
        events.Subscribe(this, 0, EVENT_SYSTEM_FOREGROUND);
    }
    return IsClipboardSpyInstalled();
}

void CClipboardSpy::OnWinEvent(const WinEventRecord&, DWORD)
{
    // The window a copy comes from is asked for when the copy arrives; the events need no answer.
}

bool CClipboardSpy::UninstallClipboardSpy()
{
    CWinEventHookDispatcher::GetInstance().Unsubscribe(this);
    if (m_spyWindow && ::IsWindow(m_spyWindow))
        ::DestroyWindow(m_spyWindow);
    else if (IsClipboardSpyInstalled())
        UninstallEntity();
    m_spyWindow = nullptr;
    return !IsClipboardSpyInstalled();
}

LRESULT CALLBACK CClipboardSpy::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // No C++ exception leaves a window procedure (an observer that runs out of
    // memory on a huge copy included): logged, the change dropped.
    try {
        return GetInstance().HandleMessage(window, message, wParam, lParam);
    } catch (const std::exception&) {
        LogError(L"Clipboard spy: a failure while passing a change on (out of memory?), dropped");
    } catch (...) {
        LogError(L"Clipboard spy: an unknown failure while passing a change on, dropped");
    }
    return 0;
}

LRESULT CClipboardSpy::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        if (window == m_spyWindow) {
            UninstallEntity();
            m_postedChanges = 0; // what is still posted goes with the window
        }
        break;
    case WM_TIMER:
        if (wParam == kWatchdogTimer)
            RunWatchdog();
        break;
    case WM_DRAWCLIPBOARD:
        if (m_reinstalling)
            break;
        PostChange(window, 0, reinterpret_cast<LPARAM>(::GetClipboardOwner()));
        if (m_nextViewer == window)
            m_nextViewer = nullptr;
        else if (m_nextViewer)
            ::SendMessageW(m_nextViewer, message, wParam, lParam);
        break;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == m_nextViewer)
            m_nextViewer = reinterpret_cast<HWND>(lParam);
        else if (m_nextViewer == window)
            m_nextViewer = nullptr;
        else if (m_nextViewer)
            ::SendMessageW(m_nextViewer, message, wParam, lParam);
        return 0;
    case WM_CLIPBOARDUPDATE:
        PostChange(window, 0, reinterpret_cast<LPARAM>(::GetClipboardOwner()));
        return 0;
    default:
        if (message == GetSpyMessage() && message != 0) {
            // Only what the spy posted itself: another program's message makes no capture.
            if (m_postedChanges == 0) {
                WriteLogLine(L"Clipboard spy: a change this spy did not post, ignored");
                return 0;
            }
            --m_postedChanges;
            Notify(wParam, reinterpret_cast<HWND>(lParam));
            return 1;
        }
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CClipboardSpy::PostChange(HWND window, WPARAM code, LPARAM owner)
{
    if (::PostMessageW(window, GetSpyMessage(), code, owner))
        ++m_postedChanges;
}

bool CClipboardSpy::InstallEntity()
{
    m_methodState = -1;
    if (m_useListener) {
        ListenerFunction add = User32Function("AddClipboardFormatListener");
        if (add && add(m_spyWindow))
            m_methodState = 1;
    }
    if (m_methodState == -1) {
        const DWORD savedError = ::GetLastError();
        ::SetLastError(0);
        m_nextViewer = ::SetClipboardViewer(m_spyWindow);
        // Joining the chain is enough; the chain is not prompted, so it never becomes a ring.
        if (m_nextViewer || ::GetLastError() == 0)
            m_methodState = 0;
        ::SetLastError(savedError);
    }
    if (m_methodState == -1)
        return false;
    WriteLogLine(L"ReInstall entity for HWNDClipboardSpy IS IMPLEMENTED");
    WriteLogLine(m_methodState == 0
                     ? L"Well, start ReInstall entity for HWNDClipboardSpy"
                     : L"N-o-o-o-, ReInstall entity IS NOT NEED, use newest method CSPM_VISTA");
    const UINT period = m_methodState == 1 ? kListenerPeriod : kViewerChainPeriod;
    m_watchdog.timerId = ::SetTimer(m_spyWindow, kWatchdogTimer, period, nullptr);
    m_watchdog.period = period;
    return true;
}

void CClipboardSpy::UninstallEntity()
{
    if (m_methodState == 0) {
        ::ChangeClipboardChain(m_spyWindow, m_nextViewer);
        m_nextViewer = nullptr;
    } else if (m_methodState == 1) {
        if (ListenerFunction remove = User32Function("RemoveClipboardFormatListener"))
            remove(m_spyWindow);
    }
    m_methodState = -1;
    ::KillTimer(m_spyWindow, kWatchdogTimer);
    m_watchdog = ClipboardSpyWatchdog();
}

void CClipboardSpy::Notify(WPARAM code, HWND window)
{
    if (m_observers.empty()) {
        LogError(L"Clipboard Observers is empty");
        return;
    }
    if (code == 0) {
        m_lastSequence = ::GetClipboardSequenceNumber();
        if (!window)
            window = ::GetForegroundWindow();
        // No owner and no foreground window (the one in front has just closed,
        // say): the change has no known source, and the spy's own window says so.
        if (!window)
            window = m_spyWindow;
    }
    // A copy: an observer may change the set while it is called.
    const std::map<IClipboardSpyObserver*, int> observers = m_observers;
    for (const auto& [observer, value] : observers) {
        if (code == 0)
            observer->OnClipboardChanged(window, value);
        else
            observer->OnSpyStateChanged(value);
    }
}

void CClipboardSpy::RunWatchdog()
{
    const DWORD sequence = ::GetClipboardSequenceNumber();
    if (sequence == m_lastSequence)
        return;
    m_lastSequence = sequence;
    if (!IsClipboardSpyInstalled()) {
        LogCollectLine(L"ERRROR: REINSTALL: IsInstalled=0");
        LogWriteCollectedLines();
        return;
    }
    m_reinstalling = true;
    UninstallEntity();
    if (IsClipboardSpyInstalled())
        LogCollectLine(L"ERROR: REINSTALL: After Uninstall=1");
    InstallEntity();
    if (!IsClipboardSpyInstalled()) {
        LogCollectLine(L"REINSTALL: InstalledNew=0");
        PostChange(m_spyWindow, 1, 0);
    }
    m_reinstalling = false;
    LogWriteCollectedLines();
}
