// The soak run: the real program with 10,000 phrases in 500 folders inserts phrases into a target
// window of the benchmark's own, by hot key and menu, many times over (typed and pasted in turn,
// every other pair with %SELECTED_TEXT%). At insertion 0, 100, every further hundred and at the
// end it prints, measured from outside, the program's handle count, GDI and USER object counts,
// private bytes and working set, and the median hot-key-to-menu time of the last hundred. Growth
// past the first hundred is a leak.
//
// Before that it prints the working set of the program with the 10,000-phrase library and with a
// 10-phrase one, each after one menu was shown, and what the large library adds (the figure of
// the large library is taken from the program that then runs the insertions).
//
// Usage: bench_soak [insertions]   (1,000 when left out; run it on a display)

#include <windows.h>

#include <shellapi.h>

#include "bench/BenchProcessCounters.h"
#include "bench/BenchProgram.h"
#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
using namespace bench;

// Typed: shorter than PrintLTChars; pasted: longer. Every other pair takes the selection.
const ExtraPhrase kPhrases[] = {
    {L"A typed", L"typed text"},
    {L"B pasted", L"a pasted phrase long enough to go through the clipboard"},
    {L"C typed selection", L"[%SELECTED_TEXT%]"},
    {L"D pasted selection", L"a pasted phrase around <%SELECTED_TEXT%> long enough"},
};
constexpr char kSettings[] = "TextPasteMethod_v150=2\r\nPrintLTChars=20\r\nAddLastUsedMenuToBegin=0\r\n";
constexpr wchar_t kSelection[] = L"sel";

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::wstring EditText(HWND edit)
{
    wchar_t buffer[512] = {};
    GetWindowTextW(edit, buffer, 512);
    return buffer;
}

// The text the phrase leaves in an EDIT that held the selected "sel".
std::wstring Expected(int phrase)
{
    std::wstring text = kPhrases[phrase].body;
    const size_t macro = text.find(L"%SELECTED_TEXT%");
    if (macro != std::wstring::npos)
        text.replace(macro, 15, kSelection);
    return text;
}

// Shows the menu and closes it: the hot-key-to-menu time, negative when no menu came.
double OpenMenu(const Target& target, DWORD pid)
{
    if (!BringForward(target))
        return -1;
    const LARGE_INTEGER start = Now();
    PressHotKey();
    if (!PumpUntil([&] { return FindMenuWindow(pid) != nullptr; }, kMenuTimeoutMs))
        return -1;
    return Milliseconds(start, Now());
}

// One insertion of the phrase at the top-level position; its hot-key-to-menu time, negative when
// no menu came or the text did not arrive.
double InsertOnce(const Target& target, DWORD pid, int phrase)
{
    SetWindowTextW(target.edit, kSelection);
    SendMessageW(target.edit, EM_SETSEL, 0, -1);
    const double ms = OpenMenu(target, pid);
    if (ms < 0)
        return ms;
    for (int i = 0; i <= phrase; ++i)
        TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    const std::wstring expected = Expected(phrase);
    if (!PumpUntil([&] { return EditText(target.edit) == expected; }, 15000))
        return -2;
    return ms;
}

void PrintCounters(int insertions, const ProcessCounters& c, double medianMs)
{
    std::printf("%6d  handles %5lu  GDI %5lu  USER %5lu  private %8.1f MB  working set %8.1f MB  median menu "
                "%7.1f ms\n",
                insertions, c.handles, c.gdi, c.user, c.privateBytes / 1048576.0, c.workingSet / 1048576.0,
                medianMs);
    std::fflush(stdout);
}

HANDLE OpenForCounters(DWORD pid)
{
    return OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
}

// Which counts came from the fallbacks of MeasureProcess (Wine answers GetGuiResources and the
// process handle count with 0).
void PrintCounterSources(const ProcessCounters& c)
{
    std::printf("(handles from %s, GDI from %s, USER from %s, private bytes from %s)\n",
                c.handlesFromSystem ? "GetProcessHandleCount" : "the system handle list",
                c.gdiFromSystem ? "GetGuiResources" : "the process's GDI handle table",
                c.userFromSystem ? "GetGuiResources" : "its windows (menus not counted)",
                c.privateFromSystem ? "GetProcessMemoryInfo" : "its committed private regions");
}

// Shows the first menu (the core hook DLL reaches the target with its first message after the
// install, so a first press may go unanswered) and closes it; false when no menu came.
bool ShowFirstMenu(const Target& target, DWORD pid)
{
    bool shown = false;
    for (int attempt = 0; attempt < 5 && !shown; ++attempt)
        shown = OpenMenu(target, pid) >= 0;
    TapKey(VK_ESCAPE);
    PumpUntil([] { return false; }, 1000);
    return shown;
}

// The working set of the program on the folder after one menu, in bytes (0 on failure), and where
// its committed memory lies.
SIZE_T WorkingSetWith(const std::wstring& folder, const Target& target, MemoryMap* map)
{
    DWORD pid = 0;
    HANDLE process = StartProgramAndWait(folder, &pid, nullptr);
    if (!process)
        return 0;
    const bool shown = ShowFirstMenu(target, pid);
    HANDLE query = OpenForCounters(pid);
    const SIZE_T workingSet = query ? MeasureProcess(query, pid).workingSet : 0;
    if (query && map)
        *map = MapProcessMemory(query);
    if (query)
        CloseHandle(query);
    EndProgram(folder, process);
    return shown ? workingSet : 0;
}

// The floor of the footprint: a minimal tray program (this benchmark in "--tray-floor" mode): a
// hidden window, an icon in the notification area and a message loop.
constexpr wchar_t kTrayFloorClass[] = L"ScvBenchTrayFloor";
constexpr UINT kTrayFloorIconId = 1;

int RunTrayFloor()
{
    HWND window = CreateFloorWindow(kTrayFloorClass, &FloorWindowProc);
    if (!window)
        return 1;
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = kTrayFloorIconId;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(icon.szTip, L"Minimal tray program", ARRAYSIZE(icon.szTip));
    Shell_NotifyIconW(NIM_ADD, &icon);
    RunMessageLoop();
    Shell_NotifyIconW(NIM_DELETE, &icon);
    DestroyWindow(window);
    return 0;
}

// The working set of the minimal tray program after it has settled (0 on failure).
SIZE_T MeasureTrayFloor(MemoryMap& map)
{
    std::wstring commandLine = L"\"" + OwnFolder() + L"\\bench_soak.exe\" --tray-floor";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return 0;
    CloseHandle(process.hThread);
    HWND window = nullptr;
    PumpUntil([&] { return (window = FindWindowW(kTrayFloorClass, nullptr)) != nullptr; }, kStartTimeoutMs);
    PumpUntil([] { return false; }, 1000); // the icon is added and the process settles
    SIZE_T workingSet = 0;
    if (window) {
        workingSet = MeasureProcess(process.hProcess, process.dwProcessId).workingSet;
        map = MapProcessMemory(process.hProcess);
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, kStartTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return workingSet;
}

double Megabytes(SIZE_T bytes)
{
    return static_cast<double>(bytes) / 1048576.0;
}

// Where our committed memory lies beyond the floor's: by kind, and the images the floor has not.
void PrintBeyondFloor(SIZE_T ours, SIZE_T floor, const MemoryMap& ourMap, const MemoryMap& floorMap)
{
    if (ours == 0 || floor == 0) {
        std::printf("minimal tray program: not measured\n");
        return;
    }
    std::printf("working set of a minimal tray program (icon, hidden window, message loop): %.1f MB; ours "
                "with 10 phrases after one menu over it: %.2f\n",
                Megabytes(floor), static_cast<double>(ours) / static_cast<double>(floor));
    std::printf("committed memory (not all resident), ours / minimal tray program: private %.1f / %.1f MB, "
                "mapped %.1f / %.1f MB, images %.1f / %.1f MB\n",
                Megabytes(ourMap.privateBytes), Megabytes(floorMap.privateBytes),
                Megabytes(ourMap.mappedBytes), Megabytes(floorMap.mappedBytes), Megabytes(ourMap.imageBytes),
                Megabytes(floorMap.imageBytes));
    std::vector<std::pair<SIZE_T, std::wstring>> extra;
    SIZE_T extraTotal = 0;
    for (const auto& [name, bytes] : ourMap.images) {
        if (floorMap.images.count(name) == 0) {
            extra.emplace_back(bytes, name);
            extraTotal += bytes;
        }
    }
    std::sort(extra.rbegin(), extra.rend());
    std::printf("images loaded by ours and not by the minimal tray program: %zu, %.1f MB committed:",
                extra.size(), Megabytes(extraTotal));
    for (const auto& [bytes, name] : extra)
        std::printf(" %ls %.0f KB,", name.c_str(), static_cast<double>(bytes) / 1024.0);
    std::printf("\n");
    std::fflush(stdout);
}

void PrintWorkingSets(SIZE_T small, SIZE_T large)
{
    if (small == 0 || large == 0) {
        std::printf("working set after one menu: not measured (no menu came with the %s library)\n",
                    small == 0 ? "10-phrase" : "10,000-phrase");
        return;
    }
    std::printf(
        "working set after one menu: %.1f MB with 10 phrases, %.1f MB with 10,000 phrases: %.1f MB added\n",
        small / 1048576.0, large / 1048576.0, (static_cast<double>(large) - small) / 1048576.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--tray-floor")
        return RunTrayFloor();
    const int insertions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring root = std::wstring(temp) + L"scv_bench_soak_" +
                              std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount());
    const std::vector<ExtraPhrase> extras(std::begin(kPhrases), std::end(kPhrases));
    const std::wstring largeFolder = root + L"\\large";
    const std::wstring smallFolder = root + L"\\small";
    if (!CreateDirectoryW(root.c_str(), nullptr) ||
        !MakeProgramFolder(largeFolder, true, kSettings, extras) ||
        !MakeProgramFolder(smallFolder, false, kSettings)) {
        std::printf("cannot make the program folders (is Scrivolanter.exe built beside this program?)\n");
        DeleteTree(root);
        return 1;
    }
    const Target target = ShowTarget();

    MemoryMap floorMap;
    const SIZE_T floor = MeasureTrayFloor(floorMap);
    MemoryMap smallMap;
    const SIZE_T small = WorkingSetWith(smallFolder, target, &smallMap);
    PrintBeyondFloor(small, floor, smallMap, floorMap);

    DWORD pid = 0;
    HANDLE process = StartProgramAndWait(largeFolder, &pid, nullptr);
    HANDLE query = process ? OpenForCounters(pid) : nullptr;
    if (!query) {
        std::printf("cannot start or open the program\n");
        if (process)
            EndProgram(largeFolder, process);
        DeleteTree(root);
        return 1;
    }
    // The program that runs the insertions gives the figure of the large library.
    const bool shown = ShowFirstMenu(target, pid);
    const ProcessCounters first = MeasureProcess(query, pid);
    PrintWorkingSets(small, shown ? first.workingSet : 0);

    std::printf("insertions (typed and pasted in turn, half with %%SELECTED_TEXT%%):\n");
    PrintCounterSources(first);
    PrintCounters(0, first, 0);
    std::vector<double> times;
    int failures = 0;
    for (int i = 1; i <= insertions; ++i) {
        const double ms = InsertOnce(target, pid, (i - 1) % 4);
        if (ms >= 0)
            times.push_back(ms);
        else
            ++failures;
        if (i % 100 == 0 || i == insertions) {
            PumpUntil([] { return false; }, 500); // a pending clipboard restore ends
            PrintCounters(i, MeasureProcess(query, pid), Median(times));
            times.clear();
        }
    }
    std::printf("insertions that failed: %d\n", failures);
    CloseHandle(query);
    EndProgram(largeFolder, process);
    DestroyWindow(target.top);
    DeleteTree(root);
    return 0;
}
