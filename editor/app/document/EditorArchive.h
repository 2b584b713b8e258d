#pragma once
// Packs a folder tree or a list of files into a new zip archive (backups, the zipped log).
//
// An archive is always written under a temporary name beside its target and moved over the target
// only when every entry was added, so a failed run leaves neither a partial archive nor a damaged
// old one. Entry names use "/" between their parts; folders get entries of their own ("name/").

#include "platform/CString.h"

#include <vector>

// Deletes the file it holds when it goes away, unless Release() emptied the path first.
class TempFileGuard
{
public:
    explicit TempFileGuard(const CString& path) : m_path(path) {}
    ~TempFileGuard();
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    void Release() { m_path.Empty(); }

private:
    CString m_path;
};

namespace EditorArchive
{

using PathList = std::vector<CString>;

// Every file of the folder matching the pattern (not "." and ".."), appended in the order found.
void CollectFiles(const CString& folder, PathList& list, const wchar_t* pattern = L"*.*");
// Every sub-folder, each followed at once by its files matching the pattern and its own sub-folders
// (depth first).
void CollectFolders(const CString& folder, PathList& list, const wchar_t* pattern = L"*.*");

// Each file under its file name alone, in list order. False for an empty list or when any file
// cannot be added (nothing is left at the archive path then; an older archive there stays).
bool ZipFileList(const PathList& files, const CString& archivePath);

// The folder itself, its files matching the pattern and its sub-folders (each with its matching
// files), named relative to the folder's parent, then the extra files under their file names alone.
// The archive is never packed into itself. An existing archive at the path is replaced. False when
// anything could not be added.
bool ZipFolder(const CString& folder, const PathList& extraFiles, const CString& archivePath,
               const wchar_t* pattern = L"*.*");

// The entries (folders and files named relative to `baseFolder`, which ends in "\"), then the extra
// files under their file names. Entries equal to the archive path (ignoring case) are skipped.
bool ZipEntries(const PathList& entries, const CString& archivePath, const CString& baseFolder,
                const PathList& extraFiles);

// A name read from an archive or a foreign folder that stays inside the target folder: relative,
// no "..", no drive, no device name, no empty part. "/" and "\" both separate parts.
bool IsSafeRelativeName(const CString& name);

} // namespace EditorArchive
