#include "support/TempFolder.h"

#include "support/TestFiles.h"

#include <atomic>
#include <stdexcept>

namespace scvtest
{

namespace
{

bool IsAbsolute(std::wstring_view path)
{
    if (path.size() >= 2 && path[1] == L':')
        return true;
    return path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/');
}

std::wstring TempRoot()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    std::wstring root(buffer, length);
    while (!root.empty() && (root.back() == L'\\' || root.back() == L'/'))
        root.pop_back();
    return root;
}

} // namespace

TempFolder::TempFolder()
{
    static std::atomic<unsigned> counter{0};
    std::wstring root = TempRoot();
    CreateFolders(root);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring candidate = root + L"\\scvtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(++counter) + L"-" +
                                 std::to_wstring(GetTickCount64() % 100000);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw std::runtime_error("cannot create a temporary test folder");
}

TempFolder::~TempFolder()
{
    Remove();
}

TempFolder::TempFolder(TempFolder&& other) noexcept : path_(std::move(other.path_))
{
    other.path_.clear();
}

TempFolder& TempFolder::operator=(TempFolder&& other) noexcept
{
    if (this != &other) {
        Remove();
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

std::wstring TempFolder::PathOf(std::wstring_view relative) const
{
    if (IsAbsolute(relative))
        return std::wstring(relative);
    if (relative.empty())
        return path_;
    return path_ + L"\\" + std::wstring(relative);
}

std::wstring TempFolder::CreateSubfolder(std::wstring_view relative) const
{
    std::wstring full = PathOf(relative);
    return CreateFolders(full) ? full : std::wstring();
}

bool TempFolder::Exists(std::wstring_view relative) const
{
    return GetFileAttributesW(PathOf(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring TempFolder::WriteBytes(std::wstring_view relative, std::string_view bytes) const
{
    std::wstring full = PathOf(relative);
    return WriteFileBytes(full, bytes) ? full : std::wstring();
}

std::wstring TempFolder::WriteUtf16(std::wstring_view relative, std::wstring_view text, bool withBom) const
{
    std::wstring full = PathOf(relative);
    return WriteFileUtf16(full, text, withBom) ? full : std::wstring();
}

std::wstring TempFolder::WriteUtf8(std::wstring_view relative, std::wstring_view text, bool withBom) const
{
    std::wstring full = PathOf(relative);
    return WriteFileUtf8(full, text, withBom) ? full : std::wstring();
}

std::optional<std::string> TempFolder::ReadBytes(std::wstring_view relative) const
{
    return ReadFileBytes(PathOf(relative));
}

std::optional<std::wstring> TempFolder::ReadText(std::wstring_view relative) const
{
    return ReadFileText(PathOf(relative));
}

bool TempFolder::Remove()
{
    if (path_.empty())
        return true;
    if (!DeleteTree(path_))
        return false;
    path_.clear();
    return true;
}

} // namespace scvtest
