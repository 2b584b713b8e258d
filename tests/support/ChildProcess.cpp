#include "support/ChildProcess.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace scvtest
{

namespace
{

std::wstring EnvironmentVariable(const wchar_t* name)
{
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return value;
}

std::wstring TrimTrailingSlashes(std::wstring path)
{
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

// Walks up from the executable's folder; returns the first folder for which
// accept(folder) is true.
template <typename Accept>
std::wstring FindAboveSelf(Accept accept)
{
    std::wstring folder = ParentFolder(SelfPath());
    while (!folder.empty()) {
        if (accept(folder))
            return folder;
        std::wstring parent = ParentFolder(folder);
        if (parent == folder)
            break;
        folder = parent;
    }
    return {};
}

std::wstring UpperKey(const std::wstring& entry)
{
    // "=C:=C:\\x" style entries keep their leading '=' in the name.
    size_t equals = entry.find(L'=', 1);
    std::wstring key = entry.substr(0, equals);
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

// The test's environment with the options' changes, as a CreateProcessW block.
std::wstring BuildEnvironment(const ChildOptions& options)
{
    std::vector<std::wstring> entries;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1)
            entries.emplace_back(p);
        FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : options.environment) {
        std::wstring key = name;
        CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::wstring& e) { return UpperKey(e) == key; }),
                      entries.end());
        if (value)
            entries.push_back(name + L"=" + *value);
    }
    std::wstring block;
    for (const std::wstring& entry : entries) {
        block += entry;
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

HANDLE OpenOutputFile(const std::wstring& path)
{
    SECURITY_ATTRIBUTES security = {};
    security.nLength = sizeof(security);
    security.bInheritHandle = TRUE;
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The running test as "program Suite.Name" (the program alone outside a test).
std::string RunningTestName()
{
    std::wstring self = SelfPath();
    std::string name = WideToUtf8(self.substr(self.find_last_of(L"\\/") + 1));
    if (const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info())
        name += std::string(" ") + test->test_suite_name() + "." + test->name();
    return name;
}

// A start that needed another try is noted on stderr (seen when the test fails) and in the
// file %SCV_TEST_NOTES% names, which the test run prints at its end, also when every test
// passed.
void NoteRetriedStart(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    const std::wstring notes = EnvironmentVariable(L"SCV_TEST_NOTES");
    if (notes.empty())
        return;
    HANDLE file = CreateFileW(notes.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

bool IsTransientStartError(DWORD error)
{
    switch (error) {
    case ERROR_INTERNAL_ERROR:
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_NO_SYSTEM_RESOURCES:
    case ERROR_COMMITMENT_LIMIT:
        return true;
    default:
        return false;
    }
}

DWORD RetryTransientStart(const std::function<DWORD()>& attempt, const std::wstring& what, int maxAttempts,
                          DWORD firstPauseMs)
{
    DWORD pauseMs = firstPauseMs;
    DWORD error = attempt();
    for (int tries = 1; error != 0 && IsTransientStartError(error) && tries < maxAttempts; ++tries) {
        NoteRetriedStart("[scvtest] " + RunningTestName() + ": start of " + WideToUtf8(what) +
                         " failed with error " + std::to_string(error) + " (try " + std::to_string(tries) +
                         " of " + std::to_string(maxAttempts) + "); trying again");
        ::Sleep(pauseMs);
        pauseMs *= 2;
        error = attempt();
    }
    return error;
}

DWORD ProcessOfWindow(HWND window)
{
    DWORD pid = 0;
    if (window)
        ::GetWindowThreadProcessId(window, &pid);
    return pid;
}

HWND FindTopWindowOf(DWORD pid, const wchar_t* className, bool visibleOnly)
{
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, className, nullptr)) != nullptr) {
        if (ProcessOfWindow(window) == pid && (!visibleOnly || ::IsWindowVisible(window)))
            return window;
    }
    return nullptr;
}

HWND FindTopWindowWithTitle(const wchar_t* titlePart)
{
    struct Search
    {
        const wchar_t* part;
        HWND found;
    } search{titlePart, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            Search& s = *reinterpret_cast<Search*>(context);
            wchar_t title[1024] = {};
            ::GetWindowTextW(window, title, ARRAYSIZE(title));
            if (!::IsWindowVisible(window) || !wcsstr(title, s.part))
                return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CloseWindowAndItsProcess(HWND window, DWORD timeoutMs)
{
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, ProcessOfWindow(window));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (!process)
        return;
    if (::WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        ::TerminateProcess(process, 1);
    ::CloseHandle(process);
}

std::wstring ControlText(HWND control)
{
    wchar_t buffer[1024] = {};
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(control, WM_GETTEXT, ARRAYSIZE(buffer), reinterpret_cast<LPARAM>(buffer),
                          SMTO_ABORTIFHUNG, 5000, &result);
    return buffer;
}

std::wstring SelfPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramPath(const std::wstring& name)
{
    std::wstring bin = TrimTrailingSlashes(EnvironmentVariable(L"SCV_BIN_DIR"));
    if (bin.empty()) {
        std::wstring above =
            FindAboveSelf([&](const std::wstring& folder) { return FileExists(folder + L"\\bin\\" + name); });
        bin = above.empty() ? std::wstring(L"bin") : above + L"\\bin";
    }
    return bin + L"\\" + name;
}

std::wstring SourcePath(const std::wstring& relative)
{
    std::wstring root = TrimTrailingSlashes(EnvironmentVariable(L"SCV_SOURCE_DIR"));
    if (root.empty())
        root = FindAboveSelf(
            [](const std::wstring& folder) { return FolderExists(folder + L"\\tests\\support"); });
    return relative.empty() ? root : root + L"\\" + relative;
}

std::wstring QuoteArgument(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, L'\\');
    quoted.push_back(L'"');
    return quoted;
}

std::wstring BuildCommandLine(const std::wstring& program, const std::vector<std::wstring>& args)
{
    std::wstring line = QuoteArgument(program);
    for (const std::wstring& arg : args)
        line += L" " + QuoteArgument(arg);
    return line;
}

ChildProcess ChildProcess::Start(const std::wstring& commandLine, const ChildOptions& options)
{
    ChildProcess child;
    child.commandLine_ = commandLine;

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (options.showWindow) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = *options.showWindow;
    }
    HANDLE output = INVALID_HANDLE_VALUE;
    if (!options.outputFile.empty()) {
        output = OpenOutputFile(options.outputFile);
        if (output == INVALID_HANDLE_VALUE) {
            child.startError_ = GetLastError();
            return child;
        }
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = output;
        startup.hStdError = output;
    }

    std::wstring environment;
    DWORD flags = options.creationFlags;
    if (!options.environment.empty()) {
        environment = BuildEnvironment(options);
        flags |= CREATE_UNICODE_ENVIRONMENT;
    }
    PROCESS_INFORMATION info = {};
    child.startError_ = RetryTransientStart(
        [&]() -> DWORD {
            std::wstring line = commandLine; // CreateProcessW may write into it
            const BOOL ok =
                CreateProcessW(nullptr, line.data(), nullptr, nullptr, output != INVALID_HANDLE_VALUE, flags,
                               environment.empty() ? nullptr : environment.data(),
                               options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str(),
                               &startup, &info);
            return ok ? 0 : GetLastError();
        },
        commandLine);
    const bool ok = child.startError_ == 0;
    if (output != INVALID_HANDLE_VALUE)
        CloseHandle(output);
    if (!ok)
        return child;
    CloseHandle(info.hThread);
    child.process_ = info.hProcess;
    child.pid_ = info.dwProcessId;
    return child;
}

ChildProcess ChildProcess::Run(const std::wstring& program, const std::vector<std::wstring>& args,
                               const ChildOptions& options)
{
    return Start(BuildCommandLine(program, args), options);
}

ChildProcess::~ChildProcess()
{
    Close();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), pid_(std::exchange(other.pid_, 0)),
      startError_(other.startError_), commandLine_(std::move(other.commandLine_))
{}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        Close();
        process_ = std::exchange(other.process_, nullptr);
        pid_ = std::exchange(other.pid_, 0);
        startError_ = other.startError_;
        commandLine_ = std::move(other.commandLine_);
    }
    return *this;
}

void ChildProcess::Close()
{
    if (!process_)
        return;
    if (IsRunning())
        Terminate();
    CloseHandle(process_);
    process_ = nullptr;
}

bool ChildProcess::IsRunning() const
{
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> ChildProcess::Wait(DWORD timeoutMs)
{
    if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    return ExitCode();
}

std::optional<DWORD> ChildProcess::ExitCode() const
{
    DWORD code = 0;
    if (!process_ || IsRunning() || !GetExitCodeProcess(process_, &code))
        return std::nullopt;
    return code;
}

bool ChildProcess::WaitForIdle(DWORD timeoutMs) const
{
    return process_ && WaitForInputIdle(process_, timeoutMs) == 0;
}

bool ChildProcess::Terminate(UINT exitCode, DWORD waitMs)
{
    if (!process_)
        return false;
    if (IsRunning())
        TerminateProcess(process_, exitCode);
    return WaitForSingleObject(process_, waitMs) == WAIT_OBJECT_0;
}

} // namespace scvtest
