#pragma once
// A unique folder under the Windows temp folder for one test, removed with
// everything in it (read-only files too) when the object goes away.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace scvtest
{

class TempFolder
{
public:
    // Creates "%TEMP%\scvtest-<pid>-<n>-<tick>" (throws std::runtime_error when
    // no folder can be created).
    TempFolder();
    ~TempFolder();
    TempFolder(TempFolder&& other) noexcept;
    TempFolder& operator=(TempFolder&& other) noexcept;
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing backslash.
    const std::wstring& Path() const { return path_; }
    // The full path of a name relative to the folder ("sub\\a.txt"); an
    // absolute path is returned as it is.
    std::wstring PathOf(std::wstring_view relative) const;

    // Creates a subfolder (and its parents); returns its full path.
    std::wstring CreateSubfolder(std::wstring_view relative) const;
    bool Exists(std::wstring_view relative) const;

    // Writers create missing subfolders and return the full path of the file
    // (empty when the write failed).
    std::wstring WriteBytes(std::wstring_view relative, std::string_view bytes) const;
    std::wstring WriteUtf16(std::wstring_view relative, std::wstring_view text, bool withBom = true) const;
    std::wstring WriteUtf8(std::wstring_view relative, std::wstring_view text, bool withBom = false) const;

    std::optional<std::string> ReadBytes(std::wstring_view relative) const;
    // UTF-16 LE with its mark, or UTF-8 with or without one; the mark is dropped.
    std::optional<std::wstring> ReadText(std::wstring_view relative) const;

    // Deletes the folder now (also done by the destructor). True when it is gone.
    bool Remove();

private:
    std::wstring path_;
};

} // namespace scvtest
