#include "bench/BenchProgram.h"

#include "engine/PhraseFile.h"
#include "engine/PhraseItemRecord.h"
#include "online/SharedSettingsArea.h"

#include "bench/BenchSupport.h"

#include <cstdio>

namespace bench
{
namespace
{
constexpr int kTopFolders = 25;
constexpr int kSubFoldersEach = 19;   // 25 + 25 x 19 = 500 folders
constexpr int kPhrasesPerFolder = 20; // 500 x 20 = 10,000 phrases
constexpr int kSmallLibraryPhrases = 10;

bool WritePhrase(const std::wstring& folder, int number)
{
    PhraseItemRecord record;
    wchar_t title[64];
    swprintf(title, 64, L"Phrase number %d", number);
    record.SetTitle(title);
    record.sortId = number;
    CString body;
    body.Format(L"Phrase %d: Dear %%SELECTED_TEXT%%, thanks & regards.\r\nSecond line of phrase %d.", number,
                number);
    record.body = body;
    return WriteWholeFile(folder + L"\\Phrase_" + std::to_wstring(number) + kPhraseFileExtension,
                          BuildPhraseXml(record));
}

bool WriteExtras(const std::wstring& folder, const std::vector<ExtraPhrase>& extras)
{
    int sortId = -1000;
    for (size_t i = 0; i < extras.size(); ++i) {
        PhraseItemRecord record;
        record.SetTitle(extras[i].title.c_str());
        record.body = extras[i].body.c_str();
        record.sortId = ++sortId;
        if (!WriteWholeFile(folder + L"\\Extra_" + std::to_wstring(i) + kPhraseFileExtension,
                            BuildPhraseXml(record)))
            return false;
    }
    return true;
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

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFOCUS) {
        SetFocus(GetWindow(window, GW_CHILD));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

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

void TapKey(WORD key)
{
    SendKey(key, false);
    SendKey(key, true);
    PumpUntil([] { return false; }, 30);
}

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

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool MakeProgramFolder(const std::wstring& folder, bool large, const std::string& extraSettings,
                       const std::vector<ExtraPhrase>& extras)
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
        "[Settings]\r\nSCVVersion=SCV_150\r\nWriteLog=0\r\nSoundOnEventsV094=0\r\nShowTrayBallonOnHotkey="
        "0\r\n"
        "MenuToolTips_V0_94_A22=0\r\nAutoCheckForUpdates=0\r\nShowHistoryPaneOnStart=0\r\nShowIconInAltTab_"
        "ForFP=0\r\n"
        "ClipboardHistory=0\r\nWelcome_Already_Started_V2_60=1\r\nDelayAutoLoadSeconds_NextRelease=0\r\n"
        "PhrasesDirectory=Phrases\r\n" +
        extraSettings;
    if (!WriteWholeFile(folder + L"\\Settings.ini", settings))
        return false;
    const std::wstring phrases = folder + L"\\Phrases";
    if (!(large ? GenerateLargeLibrary(phrases) : GenerateSmallLibrary(phrases)))
        return false;
    return WriteExtras(phrases, extras);
}

HANDLE StartProgram(const std::wstring& folder, const std::wstring& arguments, DWORD* pid)
{
    std::wstring commandLine = L"\"" + folder + L"\\Scrivolanter.exe\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    if (pid)
        *pid = process.dwProcessId;
    return process.hProcess;
}

HANDLE StartProgramAndWait(const std::wstring& folder, DWORD* pid, double* startMs, LARGE_INTEGER* startedAt)
{
    const LARGE_INTEGER start = Now();
    if (startedAt)
        *startedAt = start;
    HANDLE process = StartProgram(folder, L"", pid);
    if (!process)
        return nullptr;
    WORD key = 0;
    const bool published = PumpUntil(
        [&] {
            SharedSettingsValues values;
            values.virtualKey = &key;
            return ReadSharedSettingsArea(values) && key != 0 &&
                   WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        },
        kStartTimeoutMs);
    if (startMs)
        *startMs = Milliseconds(start, Now());
    if (!published) {
        EndProgram(folder, process);
        return nullptr;
    }
    return process;
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

TimingArea::TimingArea()
{
    const std::wstring name = L"Local\\ScvBenchTimingMarks_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                              std::to_wstring(GetTickCount());
    m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   sizeof(LONGLONG) * kTimingMarkCount, name.c_str());
    if (!m_mapping)
        return;
    m_slots = static_cast<volatile LONGLONG*>(
        MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONGLONG) * kTimingMarkCount));
    if (m_slots)
        SetEnvironmentVariableW(kTimingMarksVariable, name.c_str());
    Clear();
}

TimingArea::~TimingArea()
{
    SetEnvironmentVariableW(kTimingMarksVariable, nullptr);
    if (m_slots)
        UnmapViewOfFile(const_cast<LONGLONG*>(m_slots));
    if (m_mapping)
        CloseHandle(m_mapping);
}

void TimingArea::Clear()
{
    for (int slot = 0; m_slots && slot < kTimingMarkCount; ++slot)
        m_slots[slot] = 0;
}

double TimingArea::Since(LARGE_INTEGER start, TimingMark mark) const
{
    const LONGLONG value = m_slots ? m_slots[static_cast<int>(mark)] : 0;
    if (value == 0)
        return -1;
    LARGE_INTEGER at;
    at.QuadPart = value;
    return Milliseconds(start, at);
}

unsigned long long BareReadTree(const std::wstring& folder)
{
    unsigned long long total = 0;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    std::vector<char> buffer(64 * 1024);
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            total += BareReadTree(path);
            continue;
        }
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        DWORD read = 0;
        while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0)
            total += read;
        CloseHandle(file);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return total;
}

HWND CreateFloorWindow(const wchar_t* className, WNDPROC procedure)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RunMessageLoop()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

Target ShowTarget()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TargetProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ScvBenchHotKeyTarget";
    RegisterClassW(&windowClass);
    Target target;
    target.top =
        CreateWindowExW(0, windowClass.lpszClassName, L"Benchmark target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 500, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    target.edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10,
                                  460, 30, target.top, nullptr, GetModuleHandleW(nullptr), nullptr);
    return target;
}

bool BringForward(const Target& target)
{
    SetForegroundWindow(target.top);
    SetFocus(target.edit);
    return PumpUntil([&] { return GetForegroundWindow() == target.top && GetFocus() == target.edit; }, 5000);
}
} // namespace bench
