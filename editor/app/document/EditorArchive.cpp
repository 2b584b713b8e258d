#include "editor/app/document/EditorArchive.h"

#include "common/PathFunctions.h"
#include "common/SharedLog.h"
#include "common/TextConversion.h"

#include <minizip/zip.h>
// iowin32.h needs the declarations of the header above.
#include <minizip/iowin32.h>

#include <windows.h>

#include <memory>

namespace
{

// Bit 11 of the general purpose flags: the entry name is UTF-8.
constexpr uLong kUtf8NameFlag = 1u << 11;

struct FindCloser
{
    void operator()(HANDLE find) const { FindClose(find); }
};
using FindHandle = std::unique_ptr<void, FindCloser>;

struct ZipCloser
{
    void operator()(void* zip) const { zipClose(static_cast<zipFile>(zip), nullptr); }
};
using ZipHandle = std::unique_ptr<void, ZipCloser>;

void LogArchiveFailure(const wchar_t* what, const CString& path)
{
    CString line;
    line.Format(L"Archive: %s \"%s\" (error %u)", what, path.GetString(), GetLastError());
    WriteLogLine(line);
}

CString WithBackslash(const CString& folder)
{
    CString result = folder;
    if (!result.IsEmpty() && result[result.GetLength() - 1] != L'\\')
        result += L'\\';
    return result;
}

// Calls `fn(path, isFolder)` for each entry of the folder matching `pattern` but "." and "..".
template <typename Fn>
void ForEachEntry(const CString& folder, const wchar_t* pattern, Fn fn)
{
    const CString base = WithBackslash(folder);
    WIN32_FIND_DATAW data{};
    FindHandle find(FindFirstFileW(base + pattern, &data));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        return;
    }
    do {
        const CString name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        fn(base + name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileW(find.get(), &data));
}

zipFile OpenNewArchive(const CString& path)
{
    zlib_filefunc64_def functions{};
    fill_win32_filefunc64W(&functions);
    return zipOpen2_64(path.GetString(), APPEND_STATUS_CREATE, nullptr, &functions);
}

// The entry time: the file's last write time in local time (zip stores local times).
void FillEntryTime(const CString& path, zip_fileinfo& info)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    FILETIME local{};
    SYSTEMTIME time{};
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time)) {
        GetLocalTime(&time);
    }
    info.tmz_date.tm_sec = time.wSecond;
    info.tmz_date.tm_min = time.wMinute;
    info.tmz_date.tm_hour = time.wHour;
    info.tmz_date.tm_mday = time.wDay;
    info.tmz_date.tm_mon = time.wMonth - 1;
    info.tmz_date.tm_year = time.wYear;
}

bool OpenEntry(zipFile zip, const CString& name, const CString& sourcePath, bool compressed)
{
    zip_fileinfo info{};
    FillEntryTime(sourcePath, info);
    const std::string utf8 = WideToUtf8(name);
    return zipOpenNewFileInZip4_64(zip, utf8.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                   compressed ? Z_DEFLATED : 0, compressed ? Z_DEFAULT_COMPRESSION : 0, 0,
                                   -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0,
                                   kUtf8NameFlag, 1) == ZIP_OK;
}

bool AddFolderEntry(zipFile zip, const CString& name, const CString& folder)
{
    CString entry = name;
    entry.Replace(L'\\', L'/');
    entry += L'/';
    if (!OpenEntry(zip, entry, folder, false))
        return false;
    return zipCloseFileInZip(zip) == ZIP_OK;
}

bool CopyFileIntoEntry(zipFile zip, HANDLE file)
{
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof(buffer), &read, nullptr))
            return false;
        if (read == 0)
            return true;
        if (zipWriteInFileInZip(zip, buffer, read) != ZIP_OK)
            return false;
    }
}

bool AddFileEntry(zipFile zip, const CString& name, const CString& path)
{
    HANDLE raw = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        LogArchiveFailure(L"cannot read", path);
        return false;
    }
    std::unique_ptr<void, decltype(&CloseHandle)> file(raw, &CloseHandle);
    CString entry = name;
    entry.Replace(L'\\', L'/');
    if (!OpenEntry(zip, entry, path, true))
        return false;
    const bool copied = CopyFileIntoEntry(zip, raw);
    const bool closed = zipCloseFileInZip(zip) == ZIP_OK;
    if (!copied)
        LogArchiveFailure(L"reading failed:", path);
    return copied && closed;
}

// The temporary file the archive is written to: beside the target, so the final move is a rename.
CString TemporaryPathFor(const CString& archivePath)
{
    CString path;
    path.Format(L"%s.%u.tmp", archivePath.GetString(), GetCurrentProcessId());
    return path;
}

bool CommitArchive(const CString& temporary, const CString& archivePath, TempFileGuard& guard)
{
    if (!MoveFileExW(temporary, archivePath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        LogArchiveFailure(L"cannot place", archivePath);
        return false;
    }
    guard.Release();
    return true;
}

// Runs `addAll(zip)` on a new temporary archive and puts it in place only when it answered true.
template <typename Fn>
bool WriteArchive(const CString& archivePath, Fn addAll)
{
    const CString temporary = TemporaryPathFor(archivePath);
    TempFileGuard guard(temporary);
    {
        ZipHandle zip(OpenNewArchive(temporary));
        if (!zip) {
            LogArchiveFailure(L"cannot create", archivePath);
            return false;
        }
        if (!addAll(static_cast<zipFile>(zip.get())))
            return false;
        if (zipClose(static_cast<zipFile>(zip.release()), nullptr) != ZIP_OK)
            return false;
    }
    return CommitArchive(temporary, archivePath, guard);
}

bool AddExtraFiles(zipFile zip, const EditorArchive::PathList& files)
{
    for (const CString& file : files) {
        if (!AddFileEntry(zip, GetFileNameFromPath(file), file))
            return false;
    }
    return true;
}

} // namespace

TempFileGuard::~TempFileGuard()
{
    if (!m_path.IsEmpty() && FileExists(m_path))
        DeleteFileW(m_path);
}

namespace EditorArchive
{

void CollectFiles(const CString& folder, PathList& list, const wchar_t* pattern)
{
    ForEachEntry(folder, pattern, [&list](const CString& path, bool isFolder) {
        if (!isFolder)
            list.push_back(path);
    });
}

void CollectFolders(const CString& folder, PathList& list, const wchar_t* pattern)
{
    ForEachEntry(folder, L"*.*", [&list, pattern](const CString& path, bool isFolder) {
        if (!isFolder)
            return;
        list.push_back(path);
        CollectFiles(path, list, pattern);
        CollectFolders(path, list, pattern);
    });
}

bool ZipFileList(const PathList& files, const CString& archivePath)
{
    if (files.empty())
        return false;
    return WriteArchive(archivePath, [&files](zipFile zip) { return AddExtraFiles(zip, files); });
}

bool ZipFolder(const CString& folder, const PathList& extraFiles, const CString& archivePath,
               const wchar_t* pattern)
{
    CString trimmed = folder;
    trimmed.TrimRight(L'\\');
    if (!FolderExists(trimmed))
        return false;
    PathList entries{trimmed};
    CollectFiles(trimmed, entries, pattern);
    CollectFolders(trimmed, entries, pattern);
    const int slash = trimmed.ReverseFind(L'\\');
    const CString base = slash >= 0 ? trimmed.Left(slash + 1) : CString();
    return ZipEntries(entries, archivePath, base, extraFiles);
}

bool ZipEntries(const PathList& entries, const CString& archivePath, const CString& baseFolder,
                const PathList& extraFiles)
{
    if (entries.empty())
        return false;
    const CString temporary = TemporaryPathFor(archivePath);
    return WriteArchive(archivePath, [&](zipFile zip) {
        for (const CString& entry : entries) {
            if (entry.CompareNoCase(archivePath) == 0 || entry.CompareNoCase(temporary) == 0)
                continue;
            const CString name = entry.Mid(baseFolder.GetLength());
            const bool added =
                FolderExists(entry) ? AddFolderEntry(zip, name, entry) : AddFileEntry(zip, name, entry);
            if (!added)
                return false;
        }
        return AddExtraFiles(zip, extraFiles);
    });
}

bool IsSafeRelativeName(const CString& name)
{
    if (name.IsEmpty() || name[0] == L'\\' || name[0] == L'/' || name.Find(L':') >= 0)
        return false;
    static const wchar_t* const kDevices[] = {L"CON",  L"PRN",  L"AUX",  L"NUL",  L"COM1",   L"COM2",
                                              L"COM3", L"COM4", L"COM5", L"COM6", L"COM7",   L"COM8",
                                              L"COM9", L"LPT1", L"LPT2", L"LPT3", L"LPT4",   L"LPT5",
                                              L"LPT6", L"LPT7", L"LPT8", L"LPT9", L"CONIN$", L"CONOUT$"};
    int start = 0;
    const int length = name.GetLength();
    while (start <= length) {
        int next = start;
        while (next < length && name[next] != L'\\' && name[next] != L'/')
            ++next;
        CString part = name.Mid(start, next - start);
        if (part.IsEmpty() && next < length)
            return false;
        if (part == L"." || part == L"..")
            return false;
        CString stem = part;
        const int dot = stem.Find(L'.');
        if (dot >= 0)
            stem = stem.Left(dot);
        stem.TrimRight(L' ');
        for (const wchar_t* device : kDevices) {
            if (stem.CompareNoCase(device) == 0)
                return false;
        }
        start = next + 1;
    }
    return true;
}

} // namespace EditorArchive
