#include "editor/app/document/PhraseChangeDebounce.h"

void PhraseChangeDebounce::NoteChange(HWND window)
{
    m_lastChange = Now();
    if (m_lastChange == 0)
        m_lastChange = 1; // 0 means "no change pending"
    if (window)
        ::SetTimer(window, kTimerId, kTimerPeriod, nullptr);
}

bool PhraseChangeDebounce::OnTimer(HWND window)
{
    if (m_lastChange == 0 || Now() - m_lastChange <= kQuietTime)
        return false;
    m_lastChange = 0;
    if (window)
        ::KillTimer(window, kTimerId);
    SignalCoopClientEditor();
    return true;
}

void PhraseChangeDebounce::Flush(HWND window)
{
    m_lastChange = 0;
    if (window)
        ::KillTimer(window, kTimerId);
    SignalCoopClientEditor();
}

bool PhraseChangeDebounce::SignalCoopClientEditor()
{
    HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Local\\Scrivolanter_CoopClientEditor");
    if (!event)
        return false;
    const BOOL set = ::SetEvent(event);
    ::CloseHandle(event);
    return set != FALSE;
}
