#pragma once
// Reads a zip archive back with minizip: its entries' names and contents.

#include <string>
#include <vector>

namespace scvtest
{

struct ZipEntry
{
    std::string name; // as stored (UTF-8, "/" between parts)
    std::string bytes;
    bool operator==(const ZipEntry& other) const { return name == other.name && bytes == other.bytes; }
};

// Every entry in stored order with its uncompressed bytes; empty when the
// archive cannot be opened.
std::vector<ZipEntry> ReadZipEntries(const std::wstring& path);
// Only the names.
std::vector<std::string> ZipEntryNames(const std::wstring& path);

} // namespace scvtest
