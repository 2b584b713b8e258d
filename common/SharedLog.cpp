#include "common/SharedLog.h"
#include "common/FileBytes.h"

#include <atomic>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/KernelHandle.h"
#include "common/SecurityInfo.h"
#include "common/SlimLock.h"
#include "platform/CString.h"

namespace
{

constexpr int kMaxPathLength = 261;
constexpr int kMaxSourceTagLength = 199;
// Size of the ordinary line buffer: a line that would not fit goes alone.
constexpr int kLineBufferSize = 102400;
// Size of the error, prefix and window line buffers (terminator included).
constexpr int kShortLineBufferSize = 10000;
constexpr DWORD kWriterWaitMs = 5000;
// Pause between attempts to open a file that another writer still holds.
constexpr DWORD kBusyRetryMs = 2;
// Writer threads need little stack; a burst of entries must not reserve much
// address space in a 32-bit process.
constexpr SIZE_T kWriterStackSize = 64 * 1024;

enum class AppendResult
{
    Written,
    Busy,
    Failed
};

// Process-wide state. Never destroyed: writer threads may outlive static
// destruction at process exit.
struct LogState
{
    LogState() { writer.Reset(::CreateMutexW(nullptr, FALSE, nullptr)); }

    CSlimLock lock; // guards every member below but `writer` and `pending`
    std::wstring path;
    ATOM atom = 0;
    CKernelHandle event;
    std::wstring sourceTag;
    std::wstring programTag = kLogTagMainProgram;
    std::vector<CString> collected;

    // One writer thread of this process at a time goes for the file.
    CKernelHandle writer;
    std::atomic<long> pending{0};
};

LogState& State()
{
    static LogState* state = new LogState;
    return *state;
}

// One entry on its way to the file; owned by its writer thread.
struct LogEntry
{
    std::wstring text;
    CKernelHandle event; // this entry's own handle of the sync event
};

std::wstring CopyPath()
{
    LogState& state = State();
    CSlimLockGuard guard(state.lock);
    return state.path;
}

bool EndsWithCrLf(const std::wstring& text)
{
    return text.size() >= 2 && text.compare(text.size() - 2, 2, L"\r\n") == 0;
}

bool IsBusyError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Opens the log for appending; a missing file is created (only then) with the
// byte order mark. Never truncates an existing file.
AppendResult OpenLogFile(const std::wstring& path, CKernelHandle& file)
{
    for (;;) {
        file.Reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return AppendResult::Written;
        DWORD error = ::GetLastError();
        if (IsBusyError(error))
            return AppendResult::Busy;
        if (error != ERROR_FILE_NOT_FOUND)
            return AppendResult::Failed;

        SECURITY_ATTRIBUTES open{};
        const bool haveOpen = CreateOpenSecurityAttributes(&open);
        file.Reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, haveOpen ? &open : nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            static const unsigned char kBom[] = {0xFF, 0xFE};
            return WriteAllBytes(file.Get(), kBom, sizeof(kBom)) ? AppendResult::Written : AppendResult::Failed;
        }
        error = ::GetLastError();
        if (IsBusyError(error))
            return AppendResult::Busy;
        // Created by another writer in between: open it again.
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return AppendResult::Failed;
    }
}

AppendResult AppendToLogFile(const std::wstring& text)
{
    const std::wstring path = CopyPath();
    if (path.empty())
        return AppendResult::Failed;
    CKernelHandle file;
    const AppendResult opened = OpenLogFile(path, file);
    if (opened != AppendResult::Written)
        return opened;
    LARGE_INTEGER end{};
    if (!::SetFilePointerEx(file.Get(), end, nullptr, FILE_END))
        return AppendResult::Failed;
    if (!WriteAllBytes(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t))))
        return AppendResult::Failed;
    if (!EndsWithCrLf(text) && !WriteAllBytes(file.Get(), L"\r\n", 2 * sizeof(wchar_t)))
        return AppendResult::Failed;
    return AppendResult::Written;
}

DWORD MillisecondsLeft(ULONGLONG deadline)
{
    const ULONGLONG now = ::GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

// The part of WriteEntry done while this thread has the process's turn.
DWORD WriteEntryInTurn(const LogEntry& entry, ULONGLONG deadline)
{
    HANDLE event = entry.event.Get();
    const DWORD wait = ::WaitForSingleObject(event, MillisecondsLeft(deadline));
    if (wait != WAIT_OBJECT_0) {
        // Free the log from a writer that died or hangs; this entry is lost.
        if (event)
            ::SetEvent(event);
        return wait == WAIT_ABANDONED ? 1 : wait == WAIT_TIMEOUT ? 2 : 3;
    }
    ::ResetEvent(event);
    // Two writers may pass the wait before either resets the event; the file,
    // opened without write sharing, then admits one and the other tries again.
    AppendResult result = AppendToLogFile(entry.text);
    while (result == AppendResult::Busy && MillisecondsLeft(deadline) > 0) {
        ::Sleep(kBusyRetryMs);
        result = AppendToLogFile(entry.text);
    }
    ::SetEvent(event);
    return result == AppendResult::Written ? 0 : 4;
}

// Writes one entry under the sync event. Exit codes: 0 written, 1 abandoned
// wait, 2 time-out, 3 failed wait, 4 the file could not be written.
DWORD WriteEntry(const LogEntry& entry)
{
    const ULONGLONG deadline = ::GetTickCount64() + kWriterWaitMs;
    LogState& state = State();
    const DWORD turn = ::WaitForSingleObject(state.writer.Get(), kWriterWaitMs);
    if (turn != WAIT_OBJECT_0 && turn != WAIT_ABANDONED)
        return turn == WAIT_TIMEOUT ? 2 : 3;
    const DWORD code = WriteEntryInTurn(entry, deadline);
    ::ReleaseMutex(state.writer.Get());
    return code;
}

DWORD WINAPI WriterThread(void* parameter)
{
    std::unique_ptr<LogEntry> entry(static_cast<LogEntry*>(parameter));
    const DWORD code = WriteEntry(*entry);
    entry.reset();
    --State().pending;
    return code;
}

CString MakeTimeStamp()
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    CString stamp;
    stamp.Format(L"%02u/%02u/%02u %02u:%02u:%02u", now.wMonth, now.wDay, now.wYear % 100, now.wHour,
                 now.wMinute, now.wSecond);
    return stamp;
}

// The text cut so that `fixedLength` more characters and the terminator fit
// into a buffer of `bufferSize` characters.
CString FitText(LPCWSTR text, int fixedLength, int bufferSize)
{
    CString result(text);
    const int room = bufferSize - 1 - fixedLength;
    if (result.GetLength() > room)
        result.Truncate(room > 0 ? room : 0);
    return result;
}

CString GetClassNameText(HWND window)
{
    wchar_t name[1024] = {};
    ::GetClassNameW(window, name, 1024);
    return CString(name);
}

} // namespace

LPCWSTR GetLogSyncEventName()
{
    return L"Local\\ScrivolanterLogger_SyncEven";
}

void SetLogProgramTag(LPCWSTR tag)
{
    LogState& state = State();
    CSlimLockGuard guard(state.lock);
    state.programTag = tag ? tag : L"";
}

bool LogOpen(LPCWSTR path)
{
    LogState& state = State();
    CSlimLockGuard guard(state.lock);
    if (!state.path.empty() || !path || !*path || ::lstrlenW(path) > kMaxPathLength)
        return false;
    const ATOM atom = ::GlobalAddAtomW(path);
    if (!atom)
        return false;
    SECURITY_ATTRIBUTES open{};
    const bool haveOpen = CreateOpenSecurityAttributes(&open);
    // Manual reset, signalled: the file is free. Another program's event is
    // opened in whatever state it is.
    HANDLE event = ::CreateEventW(haveOpen ? &open : nullptr, TRUE, TRUE, GetLogSyncEventName());
    if (!event) {
        ::GlobalDeleteAtom(atom);
        return false;
    }
    state.event.Reset(event);
    state.atom = atom;
    state.path = path;
    return true;
}

bool LogClose()
{
    LogState& state = State();
    CSlimLockGuard guard(state.lock);
    if (state.path.empty())
        return false;
    ::GlobalDeleteAtom(state.atom);
    state.event.Reset();
    state.path.clear();
    return true;
}

bool IsLogOpen()
{
    return !CopyPath().empty();
}

bool GetLogPath(LPWSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return true;
    const std::wstring path = CopyPath();
    const size_t count =
        path.size() < static_cast<size_t>(size - 1) ? path.size() : static_cast<size_t>(size - 1);
    path.copy(buffer, count);
    buffer[count] = L'\0';
    return true;
}

ATOM GetLogAtom()
{
    LogState& state = State();
    CSlimLockGuard guard(state.lock);
    return state.atom;
}

bool PostLogEntry(LPCWSTR text)
{
    if (!text || !*text)
        return false;
    LogState& state = State();
    auto entry = std::make_unique<LogEntry>();
    {
        CSlimLockGuard guard(state.lock);
        if (state.path.empty())
            return false;
        entry->event = DuplicateHandleInProcess(state.event.Get());
        if (!entry->event)
            return false;
    }
    entry->text = text;

    ++state.pending;
    HANDLE thread = ::CreateThread(nullptr, kWriterStackSize, WriterThread, entry.get(),
                                   STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!thread) {
        --state.pending;
        return false;
    }
    entry.release(); // the thread owns it now
    ::CloseHandle(thread);
    return true;
}

bool FormatLogLine(LPCWSTR text, LPCWSTR tag)
{
    if (!text)
        return false;
    const CString stamp = MakeTimeStamp();
    const int tagLength = tag ? ::lstrlenW(tag) : 0;
    // Date and time count without the blank between them; the 11 leave room
    // for the separators and the terminator.
    const int dateAndTime = stamp.GetLength() - 1;
    if (::lstrlenW(text) + tagLength + dateAndTime + 11 >= kLineBufferSize - 1)
        return PostLogEntry(text);
    CString line;
    if (tag) {
        line = tag;
        line += L": ";
    }
    line += L"[";
    line += stamp;
    line += L"] ";
    line += text;
    return PostLogEntry(line);
}

bool WriteLogLine(LPCWSTR text)
{
    if (!text)
        return false;
    std::wstring tag;
    {
        LogState& state = State();
        CSlimLockGuard guard(state.lock);
        tag = state.sourceTag.empty() ? state.programTag : state.sourceTag;
    }
    return FormatLogLine(text, tag.c_str());
}

bool LogError(LPCWSTR text)
{
    if (!text)
        return false;
    static constexpr wchar_t kOpen[] = L"ERROR: [";
    const int fixed = static_cast<int>(std::size(kOpen) - 1) + 1;
    return PostLogEntry(kOpen + FitText(text, fixed, kShortLineBufferSize) + L"]");
}

bool WriteLogLineWithPrefix(LPCWSTR text, LPCWSTR prefix)
{
    if (!text || !prefix)
        return false;
    const CString head = FitText(prefix, 0, kShortLineBufferSize) + L": ";
    return WriteLogLine(head + FitText(text, head.GetLength(), kShortLineBufferSize));
}

void SetLogSourceTag(LPCWSTR tag)
{
    LogState& state = State();
    CSlimLockGuard guard(state.lock);
    state.sourceTag = tag ? std::wstring(tag).substr(0, kMaxSourceTagLength) : std::wstring();
}

void ClearLogSourceTag()
{
    SetLogSourceTag(nullptr);
}

bool LogWindowState(HWND window, LPCWSTR tag)
{
    if (!tag)
        return false;
    SetLogSourceTag(tag);
    CString line;
    line.Format(L"IsWindow=%d", ::IsWindow(window));
    WriteLogLineWithPrefix(line, tag);
    line.Format(L"classname=[%s]", GetClassNameText(window).GetString());
    WriteLogLineWithPrefix(line, tag);
    ClearLogSourceTag();
    return true;
}

bool LogWindowInfo(LPCWSTR prefix, HWND window)
{
    CString tail;
    tail.Format(L"IsWindow HWND=%lld ? %d; CLASSNAME: [%s]",
                static_cast<long long>(reinterpret_cast<INT_PTR>(window)), ::IsWindow(window),
                GetClassNameText(window).GetString());
    CString line;
    if (prefix && *prefix)
        line = FitText(prefix, tail.GetLength() + 2, kShortLineBufferSize) + L": ";
    line += tail;
    return PostLogEntry(FitText(line, 0, kShortLineBufferSize));
}

bool LogCollectLine(LPCWSTR text)
{
    if (!text)
        return false;
    CString line = kLogTagMainProgram;
    line += L" [";
    line += MakeTimeStamp();
    line += L"] ";
    line += text;
    LogState& state = State();
    CSlimLockGuard guard(state.lock);
    state.collected.push_back(line);
    return true;
}

bool LogWriteCollectedLines()
{
    std::vector<CString> lines;
    {
        LogState& state = State();
        CSlimLockGuard guard(state.lock);
        lines.swap(state.collected);
    }
    if (lines.empty())
        return false;
    CString joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            joined += L'\n';
        joined += lines[i];
    }
    return PostLogEntry(joined);
}

bool WaitForPendingLogEntries(DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (State().pending.load() > 0) {
        if (::GetTickCount64() >= deadline)
            return false;
        ::Sleep(1);
    }
    return true;
}
