#include "engine/AutoForegroundWindow.h"

#include "common/SharedLog.h"

namespace
{
constexpr wchar_t kTag[] = L"CAutoForegroundWindow";

void LogWindows(HWND previous, HWND target)
{
    LogWindowState(previous, kTag);
    LogWindowState(target, kTag);
}

DWORD WindowThread(HWND window)
{
    return ::GetWindowThreadProcessId(window, nullptr);
}

bool IsOwnProcessWindow(HWND window)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId();
}
} // namespace

CAutoForegroundWindow::CAutoForegroundWindow(HWND target)
    : m_previous(::GetForegroundWindow()), m_target(target)
{
    LogWindows(m_previous, m_target);
    if (!m_previous || !::IsWindow(m_previous) || IsOwnProcessWindow(m_previous)) {
        m_done = true;
        return;
    }
    const DWORD ownThread = ::GetCurrentThreadId();
    const DWORD previousThread = WindowThread(m_previous);
    const BOOL attached = ::AttachThreadInput(ownThread, previousThread, TRUE);
    ::SetForegroundWindow(m_target);
    if (attached)
        ::AttachThreadInput(ownThread, previousThread, FALSE);
    // Where detaching leaves the foreground with the other thread's input
    // (which no longer holds our active window), keys would reach nobody:
    // take the foreground once more, now that this process may.
    if (::GetForegroundWindow() != m_target)
        ::SetForegroundWindow(m_target);
}

CAutoForegroundWindow::~CAutoForegroundWindow()
{
    Restore();
}

BOOL CAutoForegroundWindow::Restore()
{
    if (m_done)
        return FALSE;
    m_done = true;
    LogWindows(m_previous, m_target);
    const DWORD ownThread = ::GetCurrentThreadId();
    const DWORD previousThread = WindowThread(m_previous);
    const BOOL attached = ::AttachThreadInput(ownThread, previousThread, TRUE);
    const BOOL switched = ::SetForegroundWindow(m_previous);
    if (!attached)
        return switched;
    return ::AttachThreadInput(ownThread, previousThread, FALSE);
}
