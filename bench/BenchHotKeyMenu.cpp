// The time from a press of the hot key to the phrase menu on the screen, measured on the running
// program: a library of 10,000 phrases in 500 folders against one of 10 phrases, in the same run.
//
// The benchmark makes two program folders beside each other in the temporary folder (the built
// Scrivolanter.exe, its core hook DLL and waiter, a Settings.ini and a generated phrases folder),
// shows a window of its own with a focused EDIT in the foreground (the target), and for each
// library starts the program, presses the hot key with SendInput, waits for the program's pop-up
// menu window ("#32768") and closes it with Esc, `rounds` times after one warm-up press, and ends
// the program with "/exit". The floor is timed in the same run: this benchmark started again in
// "--floor" mode, a minimal program that registers the same hot key and shows a one-item pop-up
// menu; the ratio of our medians to its median is printed.
//
// The programs note their phases in a shared area (common/TimingMarks.h) named in the environment:
// a phase line per library gives the median time of each mark since the press (hot key received,
// query sent, answer received, ...). Each library's program is started three times, each start
// after a bare read of its phrases folder (every file found and read on one thread); the medians
// of both, their ratio and a phase line of the start (entry, COM ready, load, hot key) are printed.
//
// Usage: bench_hotkey_menu [rounds]   (run it on a display: scripts/with-wine-session.sh does it)

#include <windows.h>

#include "bench/BenchProgram.h"
#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace
{
using namespace bench;

constexpr wchar_t kFloorClass[] = L"ScvBenchHotKeyFloor";
// Program starts per library (the first one also serves the presses).
constexpr int kStarts = 3;

// The phases of the path from the hot key to the menu, as the program marks them.
const TimingMark kPressMarks[] = {TimingMark::HotKeyReceived,   TimingMark::QuerySent,
                                  TimingMark::AnswerReceived,   TimingMark::OwnerAnswered,
                                  TimingMark::MenuBuilt,        TimingMark::ForegroundTaken,
                                  TimingMark::MenuTrackerReady, TimingMark::MenuTracking};
const char* const kPressMarkNames[] = {"hot key received",   "query sent",      "answer received",
                                       "tray window has it", "menu built",      "foreground taken",
                                       "owner window made",  "TrackPopupMenuEx"};
constexpr int kPressMarkCount = static_cast<int>(sizeof(kPressMarks) / sizeof(kPressMarks[0]));

// The phases of a start, from CreateProcessW.
const TimingMark kStartMarks[] = {TimingMark::ProgramEntered,     TimingMark::SystemServicesReady,
                                  TimingMark::TrayWindowCreating, TimingMark::LibraryLoadBegun,
                                  TimingMark::LibraryLoaded,      TimingMark::HotKeyPublished,
                                  TimingMark::ServiceReady};
const char* const kStartMarkNames[] = {
    "entry",          "COM and OLE ready", "tray window created",        "load begins",
    "library loaded", "hot key published", "hook and query thread ready"};
constexpr int kStartMarkCount = static_cast<int>(sizeof(kStartMarks) / sizeof(kStartMarks[0]));

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Per phase the values of every measurement (negative ones left out: the mark was not written).
struct PhaseTimes
{
    std::vector<std::vector<double>> values;
    explicit PhaseTimes(int count) : values(static_cast<size_t>(count)) {}
    void Add(int phase, double ms)
    {
        if (ms >= 0)
            values[static_cast<size_t>(phase)].push_back(ms);
    }
};

struct Library
{
    std::vector<double> presses;
    PhaseTimes pressPhases{kPressMarkCount};
    std::vector<double> starts;
    PhaseTimes startPhases{kStartMarkCount};
    std::vector<double> bareReads;
};

// One press: milliseconds from the hot key to the menu on the screen; negative when no menu came.
// The program's marks of the press go into `phases` (when given).
double TimeOnePress(const Target& target, DWORD pid, TimingArea& marks, PhaseTimes* phases)
{
    if (!BringForward(target))
        return -1;
    marks.Clear();
    const LARGE_INTEGER start = Now();
    PressHotKey();
    const bool shown = PumpUntil([&] { return FindMenuWindow(pid) != nullptr; }, kMenuTimeoutMs);
    const LARGE_INTEGER end = Now();
    if (!shown)
        return -1;
    if (phases) {
        for (int i = 0; i < kPressMarkCount; ++i)
            phases->Add(i, marks.Since(start, kPressMarks[i]));
    }
    SendKey(VK_ESCAPE, false);
    SendKey(VK_ESCAPE, true);
    PumpUntil([&] { return FindMenuWindow(pid) == nullptr; }, kMenuTimeoutMs);
    PumpUntil([] { return false; }, 200); // the program's clean-up after the menu
    return Milliseconds(start, end);
}

// Times `rounds` presses on a running process after warm-up presses (the core hook DLL reaches
// the target's process with its first message after the install, so a first press may go
// unanswered). False when no menu came.
bool MeasurePresses(const Target& target, DWORD pid, int rounds, TimingArea& marks,
                    std::vector<double>& times, PhaseTimes& phases)
{
    bool warm = false;
    for (int attempt = 0; attempt < 5 && !warm; ++attempt)
        warm = TimeOnePress(target, pid, marks, nullptr) >= 0;
    for (int round = 0; warm && round < rounds; ++round) {
        const double ms = TimeOnePress(target, pid, marks, &phases);
        if (ms >= 0)
            times.push_back(ms);
    }
    return warm;
}

// Starts the program on the folder `kStarts` times, each after a bare read of its phrases folder;
// times `rounds` presses on the first start. False when a start failed or no menu came.
bool MeasureLibrary(const std::wstring& folder, const Target& target, int rounds, TimingArea& marks,
                    Library& library)
{
    for (int start = 0; start < kStarts; ++start) {
        const LARGE_INTEGER readStart = Now();
        BareReadTree(folder + L"\\Phrases");
        library.bareReads.push_back(Milliseconds(readStart, Now()));

        marks.Clear();
        DWORD pid = 0;
        double startMs = 0;
        LARGE_INTEGER startedAt{};
        HANDLE process = StartProgramAndWait(folder, &pid, &startMs, &startedAt);
        if (!process)
            return false;
        // The hook and the query thread come right after the hot key.
        PumpUntil([&] { return marks.Since(startedAt, TimingMark::ServiceReady) >= 0; }, 10000);
        library.starts.push_back(startMs);
        for (int i = 0; i < kStartMarkCount; ++i)
            library.startPhases.Add(i, marks.Since(startedAt, kStartMarks[i]));
        const bool warm =
            start > 0 || MeasurePresses(target, pid, rounds, marks, library.presses, library.pressPhases);
        EndProgram(folder, process);
        if (!warm)
            return false;
    }
    return true;
}

// The floor: a minimal program (this benchmark in "--floor" mode) that registers the same hot key
// and shows a one-item pop-up menu on it. It marks the hot key and the call of TrackPopupMenuEx
// as the program does.
LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HOTKEY) {
        MarkTiming(TimingMark::HotKeyReceived);
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, 1, L"The only item");
        POINT cursor{};
        GetCursorPos(&cursor);
        SetForegroundWindow(window);
        MarkTiming(TimingMark::MenuTracking);
        TrackPopupMenuEx(menu, TPM_RETURNCMD, cursor.x, cursor.y, window, nullptr);
        DestroyMenu(menu);
        return 0;
    }
    return FloorWindowProc(window, message, wParam, lParam);
}

// The fair floor: what any program must do on this path. It takes the hot key, makes its own hidden
// window the foreground one as the program does (attached to the input of the window in front), and
// shows a plain menu of the same top-level items as the program's phrase menu: an item per phrase
// and a sub-menu per folder at the top of the phrases folder (filled when opened, as ours are),
// then the program's commands below a separator.
std::wstring g_fairPhrases;

HMENU BuildFairMenu()
{
    HMENU menu = CreatePopupMenu();
    std::vector<std::wstring> folders, phrases;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((g_fairPhrases + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                folders.push_back(name);
            else
                phrases.push_back(name.substr(0, name.rfind(L'.')));
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    UINT id = 100;
    for (const std::wstring& folder : folders)
        AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(CreatePopupMenu()),
                    folder.c_str());
    for (const std::wstring& phrase : phrases)
        AppendMenuW(menu, MF_STRING, id++, phrase.c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const wchar_t* command : {L"Edit menu\\settings", L"Save selection as phrase...",
                                   L"Show the phrase pane", L"Technical Support", L"Run As Administrator"})
        AppendMenuW(menu, MF_STRING, id++, command);
    return menu;
}

LRESULT CALLBACK FairFloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HOTKEY) {
        MarkTiming(TimingMark::HotKeyReceived);
        HMENU menu = BuildFairMenu();
        MarkTiming(TimingMark::MenuBuilt);
        const HWND previous = GetForegroundWindow();
        const DWORD previousThread = GetWindowThreadProcessId(previous, nullptr);
        const BOOL attached = AttachThreadInput(GetCurrentThreadId(), previousThread, TRUE);
        SetForegroundWindow(window);
        if (attached)
            AttachThreadInput(GetCurrentThreadId(), previousThread, FALSE);
        // Detaching can leave the foreground with the other thread's input: taken once more.
        if (GetForegroundWindow() != window)
            SetForegroundWindow(window);
        MarkTiming(TimingMark::ForegroundTaken);
        POINT cursor{};
        GetCursorPos(&cursor);
        MarkTiming(TimingMark::MenuTracking);
        TrackPopupMenuEx(menu, TPM_RETURNCMD, cursor.x, cursor.y, window, nullptr);
        DestroyMenu(menu);
        return 0;
    }
    return FloorWindowProc(window, message, wParam, lParam);
}

int RunFloorProgram(bool fair)
{
    HWND window = CreateFloorWindow(kFloorClass, fair ? &FairFloorProc : &FloorProc);
    if (!window || !RegisterHotKey(window, 1, MOD_CONTROL | MOD_ALT, VK_RETURN))
        return 1;
    RunMessageLoop();
    UnregisterHotKey(window, 1);
    DestroyWindow(window);
    return 0;
}

// Times the floor program; with `phrases`, the fair floor on that phrases folder.
bool MeasureFloor(const Target& target, int rounds, TimingArea& marks, Library& floor,
                  const std::wstring& phrases = std::wstring())
{
    std::wstring commandLine = L"\"" + OwnFolder() + L"\\bench_hotkey_menu.exe\" --floor";
    if (!phrases.empty())
        commandLine = L"\"" + OwnFolder() + L"\\bench_hotkey_menu.exe\" --fair-floor \"" + phrases + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    HWND window = nullptr;
    PumpUntil([&] { return (window = FindWindowW(kFloorClass, nullptr)) != nullptr; }, kStartTimeoutMs);
    const bool warm = window && MeasurePresses(target, process.dwProcessId, rounds, marks, floor.presses,
                                               floor.pressPhases);
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, kStartTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return warm;
}

void PrintPresses(const char* label, std::vector<double> values)
{
    if (values.empty()) {
        std::printf("%-34s no presses\n", label);
        return;
    }
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double value : values)
        sum += value;
    std::printf("%-34s min %8.1f ms   median %8.1f ms   mean %8.1f ms   (%zu presses)\n", label,
                values.front(), Median(values), sum / static_cast<double>(values.size()), values.size());
}

// The phase line: per mark the median of milliseconds since the press (or the start).
void PrintPhases(const char* label, const PhaseTimes& phases, const char* const* names, int count,
                 double endMedian, const char* endName)
{
    std::printf("  %s:", label);
    for (int i = 0; i < count; ++i) {
        const double median = Median(phases.values[static_cast<size_t>(i)]);
        if (median >= 0)
            std::printf(" %s %.1f,", names[i], median);
    }
    std::printf(" %s %.1f (ms, medians)\n", endName, endMedian);
}

// The presses' line and their phase line.
void PrintPressLines(const char* label, const Library& library)
{
    PrintPresses(label, library.presses);
    PrintPhases("phases", library.pressPhases, kPressMarkNames, kPressMarkCount, Median(library.presses),
                "on screen");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--floor")
        return RunFloorProgram(false);
    if (argc > 2 && std::string(argv[1]) == "--fair-floor") {
        const int length = MultiByteToWideChar(CP_ACP, 0, argv[2], -1, nullptr, 0);
        g_fairPhrases.resize(static_cast<size_t>(length > 0 ? length : 1));
        MultiByteToWideChar(CP_ACP, 0, argv[2], -1, g_fairPhrases.data(), length);
        g_fairPhrases.resize(wcslen(g_fairPhrases.c_str()));
        return RunFloorProgram(true);
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    // Process ids repeat from one Wine session to the next: the tick count keeps the name new.
    const std::wstring root = std::wstring(temp) + L"scv_bench_hotkey_" +
                              std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount());
    const std::wstring largeFolder = root + L"\\large";
    const std::wstring smallFolder = root + L"\\small";
    if (!CreateDirectoryW(root.c_str(), nullptr) || !MakeProgramFolder(largeFolder, true) ||
        !MakeProgramFolder(smallFolder, false)) {
        std::printf("cannot make the program folders (is Scrivolanter.exe built beside this program?)\n");
        DeleteTree(root);
        return 1;
    }

    const Target target = ShowTarget();
    if (!target.edit) {
        std::printf("cannot show the target window\n");
        DeleteTree(root);
        return 1;
    }
    TimingArea marks; // before any start: the programs find it in the environment
    if (!marks.IsOpen())
        std::printf("no shared area for the timing marks: the phase lines stay empty\n");

    Library small;
    Library large;
    Library floor;
    Library fairSmall;
    Library fairLarge;
    const bool smallDone = MeasureLibrary(smallFolder, target, rounds, marks, small);
    const bool largeDone = MeasureLibrary(largeFolder, target, rounds, marks, large);
    const bool floorDone = MeasureFloor(target, rounds, marks, floor);
    if (!smallDone || !largeDone) {
        DestroyWindow(target.top);
        DeleteTree(root);
        std::printf("no menu came for the %s library\n", !smallDone ? "10-phrase" : "10,000-phrase");
        return 1;
    }

    std::printf("Hot key to phrase menu on screen (Ctrl+Alt+Enter pressed with SendInput):\n");
    PrintPressLines("10 phrases:", small);
    PrintPressLines("10,000 phrases in 500 folders:", large);
    if (floorDone) {
        PrintPressLines("floor (minimal hot-key program):", floor);
        const double floorMedian = Median(floor.presses);
        if (floorMedian > 0)
            std::printf("our median over the floor: %.2f (10 phrases), %.2f (10,000 phrases)\n",
                        Median(small.presses) / floorMedian, Median(large.presses) / floorMedian);
    } else {
        std::printf("the floor program showed no menu\n");
    }
    std::printf("Program start until the hot key was published (%d starts each, medians; bare read: every "
                "file of the phrases folder found and read on one thread, before each start):\n",
                kStarts);
    for (const auto& [label, library] : {std::pair<const char*, const Library*>{"10 phrases", &small},
                                         std::pair<const char*, const Library*>{"10,000 phrases", &large}}) {
        const double start = Median(library->starts);
        const double bare = Median(library->bareReads);
        std::printf("%-16s start %8.1f ms   bare read %8.1f ms   ratio %.2f\n", label, start, bare,
                    bare > 0 ? start / bare : 0.0);
        PrintPhases("phases", library->startPhases, kStartMarkNames, kStartMarkCount, start,
                    "seen published");
    }
    std::fflush(stdout); // the fair floor comes last, its lines after these
    const bool fairDone = MeasureFloor(target, rounds, marks, fairSmall, smallFolder + L"\\Phrases") &&
                          MeasureFloor(target, rounds, marks, fairLarge, largeFolder + L"\\Phrases");
    DestroyWindow(target.top);
    DeleteTree(root);
    if (fairDone) {
        PrintPressLines("fair floor, 10 phrases:", fairSmall);
        PrintPressLines("fair floor, 10,000 phrases:", fairLarge);
        if (Median(fairSmall.presses) > 0 && Median(fairLarge.presses) > 0)
            std::printf("our median over the fair floor (same top-level items, foreground taken): %.2f (10 "
                        "phrases), %.2f (10,000 phrases)\n",
                        Median(small.presses) / Median(fairSmall.presses),
                        Median(large.presses) / Median(fairLarge.presses));
    } else {
        std::printf("the fair floor program showed no menu\n");
    }

    return 0;
}
