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

// One press: milliseconds from the hot key to the menu on the screen; negative when no menu came.
double TimeOnePress(const Target& target, DWORD pid)
{
    if (!BringForward(target))
        return -1;
    const LARGE_INTEGER start = Now();
    PressHotKey();
    const bool shown = PumpUntil([&] { return FindMenuWindow(pid) != nullptr; }, kMenuTimeoutMs);
    const LARGE_INTEGER end = Now();
    if (!shown)
        return -1;
    SendKey(VK_ESCAPE, false);
    SendKey(VK_ESCAPE, true);
    PumpUntil([&] { return FindMenuWindow(pid) == nullptr; }, kMenuTimeoutMs);
    PumpUntil([] { return false; }, 200); // the program's clean-up after the menu
    return Milliseconds(start, end);
}

struct Figures
{
    double minimum = 0;
    double median = 0;
    double mean = 0;
    int count = 0;
};

Figures Summarize(std::vector<double> values)
{
    Figures figures;
    if (values.empty())
        return figures;
    std::sort(values.begin(), values.end());
    figures.minimum = values.front();
    figures.median = values[values.size() / 2];
    double sum = 0;
    for (double value : values)
        sum += value;
    figures.mean = sum / static_cast<double>(values.size());
    figures.count = static_cast<int>(values.size());
    return figures;
}

// Times `rounds` presses on a running process after warm-up presses (the core hook DLL reaches
// the target's process with its first message after the install, so a first press may go
// unanswered). False when no menu came.
bool MeasurePresses(const Target& target, DWORD pid, int rounds, std::vector<double>& times)
{
    bool warm = false;
    for (int attempt = 0; attempt < 5 && !warm; ++attempt)
        warm = TimeOnePress(target, pid) >= 0;
    for (int round = 0; warm && round < rounds; ++round) {
        const double ms = TimeOnePress(target, pid);
        if (ms >= 0)
            times.push_back(ms);
    }
    return warm;
}

// Starts the program on the folder, times `rounds` presses after a warm-up press and ends it.
bool MeasureLibrary(const std::wstring& folder, const Target& target, int rounds, std::vector<double>& times,
                    double& startMs)
{
    DWORD pid = 0;
    HANDLE process = StartProgramAndWait(folder, &pid, &startMs);
    if (!process)
        return false;
    const bool warm = MeasurePresses(target, pid, rounds, times);
    EndProgram(folder, process);
    return warm;
}

// The floor: a minimal program (this benchmark in "--floor" mode) that registers the same hot key
// and shows a one-item pop-up menu on it.
LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_HOTKEY) {
        HMENU menu = CreatePopupMenu();
        AppendMenuW(menu, MF_STRING, 1, L"The only item");
        POINT cursor{};
        GetCursorPos(&cursor);
        SetForegroundWindow(window);
        TrackPopupMenuEx(menu, TPM_RETURNCMD, cursor.x, cursor.y, window, nullptr);
        DestroyMenu(menu);
        return 0;
    }
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int RunFloorProgram()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &FloorProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kFloorClass;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, kFloorClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window || !RegisterHotKey(window, 1, MOD_CONTROL | MOD_ALT, VK_RETURN))
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    UnregisterHotKey(window, 1);
    DestroyWindow(window);
    return 0;
}

bool MeasureFloor(const Target& target, int rounds, std::vector<double>& times)
{
    std::wstring commandLine = L"\"" + OwnFolder() + L"\\bench_hotkey_menu.exe\" --floor";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    HWND floor = nullptr;
    PumpUntil([&] { return (floor = FindWindowW(kFloorClass, nullptr)) != nullptr; }, kStartTimeoutMs);
    const bool warm = floor && MeasurePresses(target, process.dwProcessId, rounds, times);
    if (floor)
        PostMessageW(floor, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, kStartTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return warm;
}

void Print(const char* label, const Figures& figures)
{
    std::printf("%-34s min %8.1f ms   median %8.1f ms   mean %8.1f ms   (%d presses)\n", label,
                figures.minimum, figures.median, figures.mean, figures.count);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--floor")
        return RunFloorProgram();
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

    std::vector<double> largeTimes;
    std::vector<double> smallTimes;
    double largeStartMs = 0;
    double smallStartMs = 0;
    const bool smallDone = MeasureLibrary(smallFolder, target, rounds, smallTimes, smallStartMs);
    const bool largeDone = MeasureLibrary(largeFolder, target, rounds, largeTimes, largeStartMs);
    std::vector<double> floorTimes;
    const bool floorDone = MeasureFloor(target, rounds, floorTimes);
    DestroyWindow(target.top);
    DeleteTree(root);
    if (!smallDone || !largeDone) {
        std::printf("no menu came for the %s library\n", !smallDone ? "10-phrase" : "10,000-phrase");
        return 1;
    }

    std::printf("Hot key to phrase menu on screen (Ctrl+Alt+Enter pressed with SendInput):\n");
    const Figures small = Summarize(smallTimes);
    const Figures large = Summarize(largeTimes);
    Print("10 phrases:", small);
    Print("10,000 phrases in 500 folders:", large);
    if (small.median > 0)
        std::printf("ratio of the medians (10,000 / 10): %.2f\n", large.median / small.median);
    if (floorDone) {
        const Figures floor = Summarize(floorTimes);
        Print("floor (minimal hot-key program):", floor);
        if (floor.median > 0)
            std::printf("our median over the floor: %.2f (10 phrases), %.2f (10,000 phrases)\n",
                        small.median / floor.median, large.median / floor.median);
    } else {
        std::printf("the floor program showed no menu\n");
    }
    std::printf(
        "program start until the hot key was published: %.0f ms (10 phrases), %.0f ms (10,000 phrases)\n",
        smallStartMs, largeStartMs);
    return 0;
}
