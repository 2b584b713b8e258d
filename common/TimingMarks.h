#pragma once

// Points in time the program notes for a timing run (the benchmarks): when the environment names a
// shared area, each mark writes the performance counter into its slot there; otherwise marking
// costs one check. The counter is the machine's one clock, so another process can set the marks
// against its own readings.

#include <windows.h>

// The slots of the shared area (an array of LONGLONG, kTimingMarkCount long).
enum class TimingMark : int
{
    ProgramEntered = 0,  // the main program's entry
    LibraryLoadBegun,    // the phrase library's load begins
    LibraryLoaded,       // the phrase library is loaded (and sorted)
    HotKeyPublished,     // the hot key is registered and published
    ServiceReady,        // the hook is installed and the query thread runs
    HotKeyReceived,      // WM_HOTKEY came
    QuerySent,           // the request was posted to the target
    AnswerReceived,      // the query thread has the target's description
    OwnerAnswered,       // the tray window took the description from the query thread
    MenuBuilt,           // the phrase menu is built
    MenuTracking,        // TrackPopupMenuEx is called
    SystemServicesReady, // COM, OLE and the common controls are initialized
    TrayWindowCreating,  // the tray window's WM_CREATE begins
    ForegroundTaken,     // the menu's owner has the foreground
    MenuTrackerReady,    // the menu's owner window is made and the cursor placed
    Count
};

constexpr int kTimingMarkCount = static_cast<int>(TimingMark::Count);

// The environment variable that names the shared area (a file mapping of the marks).
constexpr wchar_t kTimingMarksVariable[] = L"SCV_TIMING_MARKS";

class CTimingMarks
{
public:
    static CTimingMarks& GetInstance();
    // Writes the counter's present value into the slot; nothing when no area is named.
    void Mark(TimingMark mark);

    CTimingMarks(const CTimingMarks&) = delete;
    CTimingMarks& operator=(const CTimingMarks&) = delete;

private:
    CTimingMarks();
    ~CTimingMarks();

    HANDLE m_mapping = nullptr;
    volatile LONGLONG* m_slots = nullptr;
};

inline void MarkTiming(TimingMark mark)
{
    CTimingMarks::GetInstance().Mark(mark);
}
