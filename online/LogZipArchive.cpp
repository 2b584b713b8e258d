#include "online/LogZipArchive.h"
#include "online/MinizipFiles.h"

#include "common/KernelHandle.h"
#include "common/PathFunctions.h"
#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "common/TextConversion.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <string>

namespace
{
constexpr DWORD kChunkBytes = 64 * 1024;
constexpr unsigned long kUtf8NamesFlag = 1 << 11;

void SetEntryTime(HANDLE file, zip_fileinfo& info)
{
    FILETIME written{};
    FILETIME local{};
    SYSTEMTIME time{};
    if (!::GetFileTime(file, nullptr, nullptr, &written) || !::FileTimeToLocalFileTime(&written, &local) ||
        !::FileTimeToSystemTime(&local, &time))
        return;
    info.tmz_date.tm_sec = time.wSecond;
    info.tmz_date.tm_min = time.wMinute;
    info.tmz_date.tm_hour = time.wHour;
    info.tmz_date.tm_mday = time.wDay;
    info.tmz_date.tm_mon = time.wMonth - 1;
    info.tmz_date.tm_year = time.wYear;
}

bool CopyFileIntoEntry(zipFile zip, HANDLE file)
{
    std::string buffer(kChunkBytes, '\0');
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer.data(), kChunkBytes, &read, nullptr))
            return false;
        if (read == 0)
            return true;
        if (zipWriteInFileInZip(zip, buffer.data(), read) != ZIP_OK)
            return false;
    }
}

bool AddFile(zipFile zip, const CString& path)
{
    CKernelHandle file(::CreateFileW(path, GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    zip_fileinfo info{};
    SetEntryTime(file.Get(), info);
    const std::string name = WideToUtf8(GetFileNameFromPath(path));
    if (name.empty())
        return false;
    if (zipOpenNewFileInZip4_64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                nullptr, 0, 0, kUtf8NamesFlag, 0) != ZIP_OK)
        return false;
    const bool copied = CopyFileIntoEntry(zip, file.Get());
    return zipCloseFileInZip(zip) == ZIP_OK && copied;
}

bool WriteZip(const std::vector<CString>& files, const CString& path)
{
    zlib_filefunc64_def functions{};
    fill_win32_filefunc64W(&functions);
    zipFile zip = zipOpen2_64(static_cast<LPCWSTR>(path), APPEND_STATUS_CREATE, nullptr, &functions);
    if (!zip)
        return false;
    bool ok = true;
    for (const CString& file : files) {
        if (!AddFile(zip, file)) {
            WriteLogLine(L"Zip: cannot add " + file);
            ok = false;
            break;
        }
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

CString FolderOf(const CString& path)
{
    const int slash = path.ReverseFind(L'\\');
    return slash < 0 ? CString() : path.Left(slash);
}

// The report as a temporary UTF-8 file; empty when it could not be written whole.
CString WriteReportFile(const CString& reportText)
{
    CString folder = GetTempFolder();
    if (folder.IsEmpty())
        return CString();
    if (folder[folder.GetLength() - 1] != L'\\')
        folder += L'\\';
    const CString path = folder + kReportEntryName;
    const std::string bytes = WideToUtf8(reportText);
    bool whole = false;
    {
        CKernelHandle file(
            ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return CString();
        DWORD written = 0;
        whole = bytes.empty() ||
                (::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                 written == bytes.size());
    }
    if (whole)
        return path;
    ::DeleteFileW(path);
    return CString();
}

CString ReplaceAll(CString text, const wchar_t* from, const wchar_t* to)
{
    text.Replace(from, to);
    return text;
}
} // namespace

CString MakeDefaultLogZipName(const CString& logPath, const LogZipMacroExpander& expand)
{
    CString name = GetFileNameFromPath(logPath);
    const int dot = name.ReverseFind(L'.');
    if (dot > 0)
        name = name.Left(dot);
    CString version = expand(L"%SCV_VERSION%");
    version.Trim();
    name += L" Scrivolanter " + version + L" version";
    name += L" " + expand(L"%DAY%_%MONTHNAME_ABBR%_%YEAR%_");
    name.Trim();
    name = ReplaceAll(ReplaceAll(name, L" ", L"_"), L":", L"_");
    return name + L".zip";
}

bool CreateZipFromFiles(const std::vector<CString>& files, const CString& zipPath)
{
    if (files.empty() || zipPath.IsEmpty())
        return false;
    const CString temporary = MakeTempFilePathIn(FolderOf(zipPath), L"zip");
    if (temporary.IsEmpty())
        return false;
    if (!WriteZip(files, temporary) ||
        !::MoveFileExW(temporary, zipPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
        ::DeleteFileW(temporary);
        return false;
    }
    return true;
}

CString LogZipFailureText(const CString& zipPath, const std::vector<CString>& files)
{
    CString text = L"Cannot create ZIP-archive " + zipPath + L"\n\nFollows Files:\n";
    for (const CString& file : files)
        text += file + L"\n";
    return text;
}

bool CreateLogZipArchive(const LogZipRequest& request)
{
    const CString report = request.reportText.IsEmpty() ? CString() : WriteReportFile(request.reportText);
    std::vector<CString> files;
    if (!report.IsEmpty())
        files.push_back(report);
    files.push_back(request.settingsPath.IsEmpty() ? GetSettingsFilePath() : request.settingsPath);
    files.push_back(request.logPath);
    const bool made = CreateZipFromFiles(files, request.zipPath);
    if (!made && request.showFailureBox) {
        ::MessageBeep(static_cast<UINT>(-1));
        const CString text = LogZipFailureText(request.zipPath, files);
        if (request.failureBox)
            request.failureBox(request.owner, text, L"Scrivolanter", MB_OK | MB_ICONWARNING);
        else
            ::MessageBoxW(request.owner, text, L"Scrivolanter", MB_OK | MB_ICONWARNING);
    }
    if (!report.IsEmpty())
        ::DeleteFileW(report);
    if (!made || !request.selectInExplorer)
        return made;
    const CString parameters = L"/select, \"" + request.zipPath + L"\"";
    if (request.openExplorer)
        request.openExplorer(request.owner, parameters);
    else
        ::ShellExecuteW(request.owner, L"open", L"explorer.exe", parameters, nullptr, SW_SHOWNORMAL);
    return true;
}
