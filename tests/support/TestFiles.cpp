#include "support/TestFiles.h"

#include <algorithm>

namespace scvtest
{

namespace
{

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr char kUtf16Bom[] = "\xFF\xFE";

class FileHandle
{
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle()
    {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

bool IsDotEntry(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

// Deletes one entry (file, link or empty folder) after clearing its read-only bit.
bool DeleteEntry(const std::wstring& path, bool folder)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return folder ? RemoveDirectoryW(path.c_str()) != FALSE : DeleteFileW(path.c_str()) != FALSE;
}

void DeleteTreeOnce(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (folder && !link) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!IsDotEntry(data.cFileName))
                    DeleteTreeOnce(path + L"\\" + data.cFileName);
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
    }
    DeleteEntry(path, folder);
}

} // namespace

int CountFiles(const std::wstring& pattern)
{
    int count = 0;
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW(pattern.c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(find, &found))
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
    if (find != INVALID_HANDLE_VALUE)
        ::FindClose(find);
    return count;
}

std::string WideToUtf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

std::wstring Utf8ToWide(std::string_view text)
{
    if (text.empty())
        return {};
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::wstring ParentFolder(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos)
        return {};
    return path.substr(0, slash);
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

size_t CountOf(const std::wstring& text, const std::wstring& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

bool CreateFolders(const std::wstring& path)
{
    if (path.empty())
        return false;
    if (FolderExists(path))
        return true;
    std::wstring parent = ParentFolder(path);
    // "C:" or "\\server\share" roots end the recursion.
    if (!parent.empty() && parent.size() > 2 && parent != path)
        CreateFolders(parent);
    return CreateDirectoryW(path.c_str(), nullptr) || FolderExists(path);
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes)
{
    std::wstring parent = ParentFolder(path);
    if (!parent.empty())
        CreateFolders(parent);
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

std::optional<std::string> ReadFileBytes(const std::wstring& path)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return std::nullopt;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size))
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr))
            return std::nullopt;
        if (read == 0)
            break;
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

bool WriteFileUtf16(const std::wstring& path, std::wstring_view text, bool withBom)
{
    std::string bytes = withBom ? std::string(kUtf16Bom, 2) : std::string();
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return WriteFileBytes(path, bytes);
}

bool WriteFileUtf8(const std::wstring& path, std::wstring_view text, bool withBom)
{
    std::string bytes = withBom ? std::string(kUtf8Bom, 3) : std::string();
    bytes += WideToUtf8(text);
    return WriteFileBytes(path, bytes);
}

std::optional<std::wstring> ReadFileText(const std::wstring& path)
{
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes)
        return std::nullopt;
    std::string_view view(*bytes);
    if (view.substr(0, 2) == std::string_view(kUtf16Bom, 2)) {
        std::wstring text;
        for (size_t i = 2; i + 1 < view.size(); i += 2)
            text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(view[i]) |
                                                (static_cast<unsigned char>(view[i + 1]) << 8)));
        return text;
    }
    if (view.substr(0, 3) == std::string_view(kUtf8Bom, 3))
        view.remove_prefix(3);
    return Utf8ToWide(view);
}

bool DeleteTree(const std::wstring& path)
{
    // A file another process (a child program, an indexer) still holds open
    // refuses deletion for a moment: try again for up to about two seconds.
    for (int attempt = 0; attempt < 40; ++attempt) {
        DeleteTreeOnce(path);
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

} // namespace scvtest
