#include "common/PathFunctions.h"

#include "common/ErrorModeGuard.h"

#include <string>

namespace
{

bool IsSlash(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}

bool EndsWith(const CString& text, wchar_t ch)
{
    return !text.IsEmpty() && text[text.GetLength() - 1] == ch;
}

// How many numbers a temporary name is tried with before giving up (the system
// uses only the low 16 bits of the number).
constexpr int kTempNameAttempts = 0x10000;

CString AppendExtension(const CString& name, LPCWSTR extension)
{
    if (!extension || !*extension)
        return name;
    CString result = name;
    if (extension[0] != L'.' && !EndsWith(result, L'.'))
        result += L'.';
    result += extension;
    return result;
}

// A failed CREATE_NEW means "try the next number" only when something already
// holds the name (a file, or a folder); any other error ends the search.
bool IsNameTaken(LPCWSTR path, DWORD error)
{
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
        return true;
    return error == ERROR_ACCESS_DENIED && ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

// Splits like the C runtime's _wsplitpath, without its fixed buffer sizes.
void SplitPath(LPCWSTR path, CString* drive, CString* directory, CString* fileName, CString* extension)
{
    const CString text(path);
    int position = 0;
    if (text.GetLength() >= 2 && text[1] == L':')
        position = 2;
    int lastSlash = -1;
    int lastDot = -1;
    for (int i = position; i < text.GetLength(); ++i) {
        if (IsSlash(text[i]))
            lastSlash = i;
        else if (text[i] == L'.')
            lastDot = i;
    }
    const int nameStart = lastSlash + 1 > position ? lastSlash + 1 : position;
    if (lastDot < nameStart)
        lastDot = text.GetLength();
    if (drive)
        *drive = text.Left(position);
    if (directory)
        *directory = text.Mid(position, nameStart - position);
    if (fileName)
        *fileName = text.Mid(nameStart, lastDot - nameStart);
    if (extension)
        *extension = text.Mid(lastDot);
}

CString GetFileExtension(LPCWSTR path)
{
    CString extension;
    SplitPath(path, nullptr, nullptr, nullptr, &extension);
    return extension;
}

CString GetFileNameFromPath(LPCWSTR path)
{
    CString name;
    CString extension;
    SplitPath(path, nullptr, nullptr, &name, &extension);
    return name + extension;
}

CString GetFolderFromPath(LPCWSTR path, bool removeSlash)
{
    if (!path || !*path)
        return CString();
    CString drive;
    CString directory;
    SplitPath(path, &drive, &directory, nullptr, nullptr);
    CString folder = drive + directory;
    if (!removeSlash)
        return AddTrailingBackslash(folder);
    if (EndsWith(folder, L'\\'))
        folder.Truncate(folder.GetLength() - 1);
    if (EndsWith(folder, L':'))
        folder += L'\\';
    return folder;
}

CString AddTrailingBackslash(const CString& text)
{
    if (text.IsEmpty() || EndsWith(text, L'\\'))
        return text;
    return text + L'\\';
}

CString RemoveTrailingBackslashes(const CString& text)
{
    CString result = text;
    result.TrimRight(L'\\');
    return result;
}

CString GetTempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        return CString();
    return CString(buffer, static_cast<int>(length));
}

CString GetModuleFilePath()
{
    // Grows the buffer until the whole path fits (a cut path is never returned).
    std::wstring buffer(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0)
            return CString();
        if (length < size)
            return CString(buffer.c_str(), static_cast<int>(length));
        if (size >= 32768)
            return CString();
        buffer.resize(size * 2);
    }
}

CString GetProgramFolder()
{
    return GetFolderFromPath(GetModuleFilePath(), false);
}

CString GetProgramFolderEx(bool withSlash)
{
    const CString folder = GetProgramFolder();
    return withSlash ? AddTrailingBackslash(folder) : RemoveTrailingBackslashes(folder);
}

CString GetProgramFolderNoSlash()
{
    return GetProgramFolderEx(false);
}

CString MakeTempFilePath(LPCWSTR extension)
{
    return MakeTempFilePathIn(GetTempFolder(), extension);
}

CString MakeTempFilePathIn(LPCWSTR folder, LPCWSTR extension)
{
    CString base = (folder && *folder) ? CString(folder) : GetTempFolder();
    if (base.IsEmpty())
        return CString();
    base = AddTrailingBackslash(base);

    const UINT start = ::GetTickCount();
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        // A zero number would make the system pick (and create) a name itself.
        const UINT unique = ((start + attempt) & 0xFFFF) ? (start + attempt) : 1;
        wchar_t name[MAX_PATH + 1] = {};
        if (!::GetTempFileNameW(base, L"abcd", unique, name) || !name[0])
            return CString();
        const CString path = AppendExtension(name, extension);
        HANDLE file =
            ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return path;
        }
        if (!IsNameTaken(path, ::GetLastError()))
            return CString();
    }
    return CString();
}

CString GetDriveRootOfPath(LPCWSTR path)
{
    CString drive;
    SplitPath(path, &drive, nullptr, nullptr, nullptr);
    return AddTrailingBackslash(drive.IsEmpty() ? CString(L"\\") : drive);
}

bool IsRemovableOrNetworkDriveType(UINT driveType)
{
    switch (driveType) {
    case DRIVE_UNKNOWN:
    case DRIVE_NO_ROOT_DIR:
    case DRIVE_REMOVABLE:
    case DRIVE_REMOTE:
        return true;
    default:
        return false;
    }
}

bool IsRemovableOrNetworkDrive(LPCWSTR path)
{
    return IsRemovableOrNetworkDriveType(::GetDriveTypeW(GetDriveRootOfPath(path)));
}

bool FileExists(LPCWSTR path)
{
    if (!path || !*path)
        return false;
    CErrorModeGuard errorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    // A file that exists but whose attributes may not be read.
    return ::GetLastError() == ERROR_ACCESS_DENIED;
}

bool FolderExists(LPCWSTR path)
{
    if (!path || !*path)
        return false;
    CString folder(path);
    // "C:\" keeps its backslash: "C:" alone would mean the drive's current folder.
    if (EndsWith(folder, L'\\') && !(folder.GetLength() == 3 && folder[1] == L':'))
        folder.Truncate(folder.GetLength() - 1);
    if (folder.IsEmpty())
        return false;
    CErrorModeGuard errorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const DWORD attributes = ::GetFileAttributesW(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

CString IntToString(int value)
{
    CString text;
    text.Format(L"%d", value);
    return text;
}
