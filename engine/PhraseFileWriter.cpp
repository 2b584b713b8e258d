#include "engine/PhraseFileWriter.h"
#include "common/FileBytes.h"
#include "engine/PhraseFile.h"

#include "common/KernelHandle.h"
#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"
#include "common/SharedLog.h"
#include "common/ShellCommands.h"

namespace
{

constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplaceRetryDelayMs = 30;

bool IsTransientReplaceError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Whether `target` still holds `expected` (null: no condition). A file another program holds for a
// moment is "busy" and asked again; one that is gone, unreadable or different is "changed".
enum class TargetState
{
    Expected,
    Busy,
    Changed,
};

TargetState CheckTarget(const wchar_t* target, const std::string* expected)
{
    if (expected == nullptr) {
        return TargetState::Expected;
    }
    std::string current;
    if (ReadFileBytesBounded(target, kMaxPhraseFileSize, current)) {
        return current == *expected ? TargetState::Expected : TargetState::Changed;
    }
    return IsTransientReplaceError(GetLastError()) ? TargetState::Busy : TargetState::Changed;
}

// Moves `source` over `target`, when `expected` is given only while the target still holds those
// bytes (checked right before every attempt; `changed` tells a refusal for that reason). The
// read-only attribute of the target is cleared first and put back when the move fails.
bool ReplaceFileWith(const wchar_t* source, const wchar_t* target, const std::string* expected, bool& changed)
{
    const DWORD attributes = GetFileAttributesW(target);
    const bool wasReadOnly = attributes != INVALID_FILE_ATTRIBUTES &&
                             (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                             (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (wasReadOnly) {
        SetFileAttributesW(target, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    for (int attempt = 1;; ++attempt) {
        const TargetState state = CheckTarget(target, expected);
        changed = state == TargetState::Changed;
        if (state == TargetState::Expected &&
            MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = changed ? ERROR_FILE_INVALID : GetLastError();
        if (changed || attempt >= kReplaceAttempts || !IsTransientReplaceError(error)) {
            if (wasReadOnly) {
                SetFileAttributesW(target, attributes);
            }
            SetLastError(error);
            return false;
        }
        Sleep(kReplaceRetryDelayMs);
    }
}

void DeleteKeepingError(const wchar_t* path)
{
    const DWORD error = GetLastError();
    DeleteFileW(path);
    SetLastError(error);
}

} // namespace

HANDLE CreatePhraseFileForWrite(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    SECURITY_ATTRIBUTES security{};
    SECURITY_ATTRIBUTES* openSecurity = CreateOpenSecurityAttributes(&security) ? &security : nullptr;
    return CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, openSecurity, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

CString MakePhraseTempPath(const wchar_t* path)
{
    const CString folder = GetFolderFromPath(path, false);
    CString temp = folder + L"~" + GetFileNameFromPath(path);
    temp.AppendFormat(L".%lX.tmp", static_cast<unsigned long>(GetCurrentThreadId()));
    if (temp.GetLength() < MAX_PATH) {
        return temp;
    }
    // A phrase whose path is near the limit must still save: the short name is never longer than the
    // phrase's own file name ("x.scrivolanter" at least).
    temp = folder + L"~";
    temp.AppendFormat(L"%lX.tmp", static_cast<unsigned long>(GetCurrentThreadId()));
    return temp;
}

namespace
{

bool WriteAndReplace(const wchar_t* path, const std::string& bytes, const std::string* expected,
                     bool& changed)
{
    changed = false;
    const CString temp = MakePhraseTempPath(path);
    {
        CKernelHandle file(CreatePhraseFileForWrite(temp));
        if (!file) {
            return false;
        }
        if (!WriteAllBytes(file.Get(), bytes) || !FlushFileBuffers(file.Get())) {
            const DWORD error = GetLastError();
            file.Reset();
            DeleteFileW(temp);
            SetLastError(error);
            return false;
        }
    }
    if (!ReplaceFileWith(temp, path, expected, changed)) {
        DeleteKeepingError(temp);
        return false;
    }
    return true;
}

} // namespace

bool WritePhraseFileBytes(const wchar_t* path, const std::string& bytes)
{
    bool changed = false;
    return WriteAndReplace(path, bytes, nullptr, changed);
}

bool WritePhraseFileBytesIfUnchanged(const wchar_t* path, const std::string& bytes,
                                     const std::string& expected, bool& changed)
{
    return WriteAndReplace(path, bytes, &expected, changed);
}

void LogPhraseFileWriteError(DWORD error)
{
    CString line;
    line.Format(L"ERROR: code %d, %s", static_cast<int>(error), GetErrorMessageText(error).GetString());
    WriteLogLine(line);
}
