// The time from a press of the hot key to the phrase menu on the screen, measured on the running
// program: a library of 10,000 phrases in 500 folders against one of 10 phrases, in the same run.
//
// The benchmark makes two program folders beside each other in the temporary folder (the built
// Scrivolanter.exe, its core hook DLL and waiter, a Settings.ini and a generated phrases folder),
// shows a window of its own with a focused EDIT in the foreground (the target), and for each
// library starts the program, presses the hot key with SendInput, waits for the program's pop-up
// menu window ("#32768") and closes it with Esc, `rounds` times after one warm-up press, and ends
// the program with "/exit".
//
// Usage: bench_hotkey_menu [rounds]   (run it on a display: scripts/with-wine-session.sh does it)

#include "engine/PhraseFile.h"
#include "engine/PhraseItemRecord.h"
#include "online/SharedSettingsArea.h"

#include <windows.h>

#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {
using bench::DeleteTree;
using bench::Milliseconds;
using bench::Now;

constexpr int kTopFolders = 25;
constexpr int kSubFoldersEach = 19;    // 25 + 25 x 19 = 500 folders
constexpr int kPhrasesPerFolder = 20;  // 500 x 20 = 10,000 phrases
constexpr int kSmallLibraryPhrases = 10;
constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kMenuTimeoutMs = 30000;

// Dispatches this thread's messages (the target window answers the program's request here) until
// the condition holds; false after the time-out.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
}

void SendKey(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(INPUT));
}

// Ctrl+Alt+Enter, the program's default hot key.
void PressHotKey()
{
    SendKey(VK_CONTROL, false);
    SendKey(VK_MENU, false);
    SendKey(VK_RETURN, false);
    SendKey(VK_RETURN, true);
    SendKey(VK_MENU, true);
    SendKey(VK_CONTROL, true);
}

HWND FindMenuWindow(DWORD pid)
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"#32768", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool WritePhrase(const std::wstring& folder, int number)
{
    PhraseItemRecord record;
    wchar_t title[64];
    swprintf(title, 64, L"Phrase number %d", number);
    record.SetTitle(title);
    record.sortId = number;
    CString body;
    body.Format(L"Phrase %d: Dear %%SELECTED_TEXT%%, thanks & regards.\r\nSecond line of phrase %d.", number, number);
    record.body = body;
    return WriteWholeFile(folder + L"\\Phrase_" + std::to_wstring(number) + kPhraseFileExtension,
                          BuildPhraseXml(record));
}

bool FillFolder(const std::wstring& folder, int count, int& number)
{
    if (!CreateDirectoryW(folder.c_str(), nullptr))
        return false;
    for (int i = 0; i < count; ++i) {
        if (!WritePhrase(folder, ++number))
            return false;
    }
    return true;
}

bool GenerateLargeLibrary(const std::wstring& root)
{
    if (!CreateDirectoryW(root.c_str(), nullptr))
        return false;
    int number = 0;
    for (int top = 0; top < kTopFolders; ++top) {
        const std::wstring topFolder = root + L"\\Group " + std::to_wstring(top);
        if (!FillFolder(topFolder, kPhrasesPerFolder, number))
            return false;
        for (int sub = 0; sub < kSubFoldersEach; ++sub) {
            if (!FillFolder(topFolder + L"\\Sub " + std::to_wstring(sub), kPhrasesPerFolder, number))
                return false;
        }
    }
    return true;
}

bool GenerateSmallLibrary(const std::wstring& root)
{
    int number = 0;
    return FillFolder(root, kSmallLibraryPhrases, number);
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

// The program folder: the programs of the build, Settings.ini (sounds, balloons, tooltips,
// update checks, the welcome program and the history off) and the phrases.
bool MakeProgramFolder(const std::wstring& folder, bool large)
{
    if (!CreateDirectoryW(folder.c_str(), nullptr))
        return false;
    const std::wstring bin = OwnFolder();
    for (const wchar_t* name : {L"Scrivolanter.exe", L"Scrivolanter.dll", L"ScvWaitingFor.exe"}) {
        if (!CopyFileW((bin + L"\\" + name).c_str(), (folder + L"\\" + name).c_str(), FALSE) &&
            std::wstring(name) != L"ScvWaitingFor.exe")
            return false;
    }
    const std::string settings =
        "[Settings]\r\nSCVVersion=SCV_150\r\nWriteLog=0\r\nSoundOnEventsV094=0\r\nShowTrayBallonOnHotkey=0\r\n"
        "MenuToolTips_V0_94_A22=0\r\nAutoCheckForUpdates=0\r\nShowHistoryPaneOnStart=0\r\nShowIconInAltTab_ForFP=0\r\n"
        "ClipboardHistory=0\r\nWelcome_Already_Started_V2_60=1\r\nDelayAutoLoadSeconds_NextRelease=0\r\n"
        "PhrasesDirectory=Phrases\r\n";
    if (!WriteWholeFile(folder + L"\\Settings.ini", settings))
        return false;
    const std::wstring phrases = folder + L"\\Phrases";
    return large ? GenerateLargeLibrary(phrases) : GenerateSmallLibrary(phrases);
}

HANDLE StartProgram(const std::wstring& folder, const std::wstring& arguments, DWORD* pid)
{
    std::wstring commandLine = L"\"" + folder + L"\\Scrivolanter.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process))
        return nullptr;
    CloseHandle(process.hThread);
    if (pid)
        *pid = process.dwProcessId;
    return process.hProcess;
}

void EndProgram(const std::wstring& folder, HANDLE process)
{
    HANDLE exit = StartProgram(folder, L"/exit", nullptr);
    if (exit) {
        WaitForSingleObject(exit, kStartTimeoutMs);
        CloseHandle(exit);
    }
    if (WaitForSingleObject(process, kStartTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process, 1);
    CloseHandle(process);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFOCUS) {
        SetFocus(GetWindow(window, GW_CHILD));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Target
{
    HWND top = nullptr;
    HWND edit = nullptr;
};

Target ShowTarget()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TargetProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ScvBenchHotKeyTarget";
    RegisterClassW(&windowClass);
    Target target;
    target.top = CreateWindowExW(0, windowClass.lpszClassName, L"Hot key benchmark target",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 500, 200, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    target.edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 460, 30, target.top,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    return target;
}

bool BringForward(const Target& target)
{
    SetForegroundWindow(target.top);
    SetFocus(target.edit);
    return PumpUntil([&] { return GetForegroundWindow() == target.top && GetFocus() == target.edit; }, 5000);
}

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
    PumpUntil([] { return false; }, 200);  // the program's clean-up after the menu
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

// Starts the program on the folder, times `rounds` presses after a warm-up press and ends it.
bool MeasureLibrary(const std::wstring& folder, const Target& target, int rounds, std::vector<double>& times,
                    double& startMs)
{
    DWORD pid = 0;
    const LARGE_INTEGER start = Now();
    HANDLE process = StartProgram(folder, L"", &pid);
    if (!process)
        return false;
    WORD key = 0;
    const bool published = PumpUntil(
        [&] {
            SharedSettingsValues values;
            values.virtualKey = &key;
            return ReadSharedSettingsArea(values) && key != 0 && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        },
        kStartTimeoutMs);
    startMs = Milliseconds(start, Now());
    if (!published) {
        EndProgram(folder, process);
        return false;
    }
    // The core hook DLL reaches this process with its first message after the install: the
    // warm-up press may go unanswered, so it is repeated until a menu shows.
    bool warm = false;
    for (int attempt = 0; attempt < 5 && !warm; ++attempt)
        warm = TimeOnePress(target, pid) >= 0;
    for (int round = 0; warm && round < rounds; ++round) {
        const double ms = TimeOnePress(target, pid);
        if (ms >= 0)
            times.push_back(ms);
    }
    EndProgram(folder, process);
    return warm;
}

void Print(const char* label, const Figures& figures)
{
    std::printf("%-34s min %8.1f ms   median %8.1f ms   mean %8.1f ms   (%d presses)\n", label, figures.minimum,
                figures.median, figures.mean, figures.count);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    // Process ids repeat from one Wine session to the next: the tick count keeps the name new.
    const std::wstring root = std::wstring(temp) + L"scv_bench_hotkey_" + std::to_wstring(GetCurrentProcessId()) +
                              L"_" + std::to_wstring(GetTickCount());
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
    std::printf("program start until the hot key was published: %.0f ms (10 phrases), %.0f ms (10,000 phrases)\n",
                smallStartMs, largeStartMs);
    return 0;
}
