#include "common/FileBytes.h"

#include "common/KernelHandle.h"
#include "common/PathFunctions.h"

#include <algorithm>

namespace
{
// The largest piece one ReadFile or WriteFile call is given.
constexpr size_t kLargestWrite = size_t(1) << 30;
} // namespace

bool WriteAllBytes(HANDLE file, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>((std::min)(size - done, kLargestWrite));
        DWORD written = 0;
        if (!::WriteFile(file, bytes + done, chunk, &written, nullptr))
            return false;
        if (written == 0) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        done += written;
    }
    return true;
}

bool ReplaceFileContents(const wchar_t* path, std::string_view bytes)
{
    if (!path || !*path)
        return false;
    const CString temporary = MakeTempFilePathIn(GetFolderFromPath(path, true), L"tmp");
    if (temporary.IsEmpty())
        return false;
    bool written = false;
    {
        CKernelHandle file(::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && WriteAllBytes(file.Get(), bytes) && ::FlushFileBuffers(file.Get());
    }
    if (written && ::MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return true;
    const DWORD error = ::GetLastError();
    ::DeleteFileW(temporary);
    ::SetLastError(error);
    return false;
}

bool ReadFileBytesBounded(const wchar_t* path, unsigned long long maxBytes, std::string& bytes,
                          BY_HANDLE_FILE_INFORMATION* info)
{
    bytes.clear();
    if (!path || !*path)
        return false;
    CKernelHandle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file)
        return false;
    if (info) {
        if (!::GetFileInformationByHandle(file.Get(), info))
            return false;
        size.LowPart = info->nFileSizeLow;
        size.HighPart = static_cast<LONG>(info->nFileSizeHigh);
    } else if (!::GetFileSizeEx(file.Get(), &size)) {
        return false;
    }
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > maxBytes ||
        static_cast<unsigned long long>(size.QuadPart) > bytes.max_size())
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>((std::min)(bytes.size() - done, kLargestWrite));
        DWORD read = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr) || read == 0) {
            bytes.clear();
            return false;
        }
        done += read;
    }
    return true;
}
