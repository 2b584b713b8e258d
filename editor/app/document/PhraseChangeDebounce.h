#pragma once
// Tells the main program about saved phrase changes, but only once a burst of changes has settled: each
// change restarts the wait, a one-second timer checks it, and more than two seconds after the last change
// the event "Local\Scrivolanter_CoopClientEditor" is set once. Closing the editor sets it at once.

#include <windows.h>

class PhraseChangeDebounce
{
public:
    using TickSource = DWORD (*)();
    static constexpr UINT_PTR kTimerId = 1202;
    static constexpr UINT kTimerPeriod = 1000;
    static constexpr DWORD kQuietTime = 2000;

    // A null tick source reads GetTickCount.
    explicit PhraseChangeDebounce(TickSource ticks = nullptr) : m_ticks(ticks) {}

    // A change was saved: (re)start the wait. The timer of `window` is restarted when it is given.
    void NoteChange(HWND window = nullptr);
    // Timer tick: true when the quiet time has passed; the wait then ends, the timer (when a window is
    // given) stops and the event is set.
    bool OnTimer(HWND window = nullptr);
    // The editor closes: any wait ends and the event is set.
    void Flush(HWND window = nullptr);
    bool IsPending() const { return m_lastChange != 0; }

    // Sets the named event when some program created it; false when it does not exist.
    static bool SignalCoopClientEditor();

private:
    DWORD Now() const { return m_ticks ? m_ticks() : ::GetTickCount(); }

    TickSource m_ticks;
    DWORD m_lastChange = 0;
};
