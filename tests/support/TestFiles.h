#pragma once
// File and text helpers for tests: whole-file reads and writes, UTF-8/UTF-16
// conversions. Paths are absolute Windows paths.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace scvtest
{

std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
// How often `part` stands in the text (places that do not overlap).
size_t CountOf(const std::wstring& text, const std::wstring& part);

// Creates the folder and every missing parent. True when it exists afterwards.
bool CreateFolders(const std::wstring& path);
// The folder part of a path ("C:\\a\\b.txt" -> "C:\\a"), empty when there is none.
std::wstring ParentFolder(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// The number of files (not folders) a search pattern ("C:\\a\\*.txt") finds.
int CountFiles(const std::wstring& pattern);

// Writes the bytes as the whole file (creating missing parent folders).
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
// The whole file, or nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::wstring& path);

// Text files: UTF-16 LE (with the FF FE mark by default) or UTF-8 (without
// the EF BB BF mark by default).
bool WriteFileUtf16(const std::wstring& path, std::wstring_view text, bool withBom = true);
bool WriteFileUtf8(const std::wstring& path, std::wstring_view text, bool withBom = false);
// Reads a text file written in UTF-16 LE (mark FF FE) or UTF-8 (with or
// without its mark); the mark is not part of the result.
std::optional<std::wstring> ReadFileText(const std::wstring& path);

// Deletes a file or a whole folder tree, clearing read-only attributes and
// retrying for a moment while another process still holds a file. Links
// inside the tree are removed, never followed. True when nothing is left.
bool DeleteTree(const std::wstring& path);

} // namespace scvtest
