#include "app/history/TempFiles.h"
#include "common/FileBytes.h"

#include "app/AppTexts.h"

#include "common/LocalizedString.h"
#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"
#include "common/SharedLog.h"
#include "common/ShellCommands.h"
#include "common/TextHelpers.h"

#include <shellapi.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace
{
constexpr UINT kStringTempFileWarning = 272;
constexpr wchar_t kTempFileWarningEnglish[] = L"TEMPORARY FILE deleted on exit";
constexpr int kMaxWarningChars = 60;
constexpr int kNameAttempts = 20;

class CTempFileRegistry
{
public:
    void Add(LPCWSTR path)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_paths.emplace_back(path);
    }

    std::vector<CString> TakeAll()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<CString> paths;
        paths.swap(m_paths);
        return paths;
    }

private:
    std::mutex m_lock;
    std::vector<CString> m_paths;
};

CTempFileRegistry& Registry()
{
    static CTempFileRegistry* const registry = new CTempFileRegistry();
    return *registry;
}

// Deletes a file, clearing its read-only attribute first; folders are refused.
bool DeleteFileClearingReadOnly(LPCWSTR path)
{
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    return ::DeleteFileW(path) != FALSE;
}

bool IsNameTakenError(DWORD error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

} // namespace

void RegisterTempFile(LPCWSTR path)
{
    if (path && *path)
        Registry().Add(path);
}

int DeleteTempFilesOnExit()
{
    const std::vector<CString> paths = Registry().TakeAll();
    if (paths.empty()) {
        WriteLogLine(L"No files for deletion on exit");
        return 0;
    }
    int deleted = 0;
    for (const CString& path : paths) {
        if (DeleteFileClearingReadOnly(path)) {
            ++deleted;
            WriteLogLine(L"Delete temp file on exit [" + path + L"]");
        } else {
            WriteLogLine(L"FAIL on delete temp file on exit [" + path + L"]");
        }
    }
    CString line;
    line.Format(L"Delete temp files on exit. Deleted %d from %d", deleted, static_cast<int>(paths.size()));
    WriteLogLine(line);
    return deleted;
}

CString GetTempFileNamePrefix()
{
    const CString warning = LoadLocalizedTextOr(kStringTempFileWarning, kTempFileWarningEnglish);
    return MakeSafeFileNameFromTitle(warning, false, kMaxWarningChars) + L"==Scrivolanter==";
}

CKernelHandle CreateNewTempFile(LPCWSTR prefix, LPCWSTR extension, CString& path, LPCWSTR folder)
{
    path.Empty();
    SECURITY_ATTRIBUTES attributes{};
    SECURITY_ATTRIBUTES* security = CreateOpenSecurityAttributes(&attributes) ? &attributes : nullptr;

    // Each generated name stays reserved (as an empty file) until the end, so
    // that no attempt is given the same name again; then they are removed.
    std::vector<CString> reserved;
    CKernelHandle file;
    for (int attempt = 0; attempt < kNameAttempts && !file; ++attempt) {
        const CString generated = MakeTempFilePathIn(folder, extension);
        if (generated.IsEmpty())
            break;
        reserved.push_back(generated);
        const CString candidate =
            GetFolderFromPath(generated, false) + (prefix ? prefix : L"") + GetFileNameFromPath(generated);
        file.Reset(::CreateFileW(candidate, GENERIC_WRITE, 0, security, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr));
        if (file)
            path = candidate;
        else if (!IsNameTakenError(::GetLastError()))
            break;
    }
    for (const CString& name : reserved)
        ::DeleteFileW(name);
    return file;
}

CString WriteBytesToNewTempFile(std::string_view bytes, LPCWSTR extension, LPCWSTR folder)
{
    CString path;
    CKernelHandle file = CreateNewTempFile(GetTempFileNamePrefix(), extension, path, folder);
    if (!file) {
        LogError(L"Cannot create temporary file for clipboard data");
        return CString();
    }
    if (!WriteAllBytes(file.Get(), bytes)) {
        file.Reset();
        ::DeleteFileW(path);
        LogError(L"Cannot write clipboard data into [" + path + L"]");
        return CString();
    }
    file.Reset();
    RegisterTempFile(path);
    return path;
}

CString GetClipboardItemFileExtension(int dataType)
{
    switch (dataType) {
    case 0:
    case 1:
        return L".txt";
    case 2:
        return L".rtf";
    case 4:
        return L".bmp";
    default:
        return CString();
    }
}

bool OpenTempFile(HWND owner, LPCWSTR path, bool withAssociatedProgram)
{
    if (!withAssociatedProgram)
        return OpenWithDialog(owner, path);
    const CString folder = GetFolderFromPath(path, true);
    const auto result =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(owner, L"open", path, nullptr, folder, SW_SHOWMAXIMIZED));
    return result > 32;
}

bool OpenWithDialog(HWND owner, LPCWSTR path)
{
    return ShowOpenWithDialog(owner, path);
}
