#pragma once
// The entries of a zip archive as the zip library's reader gives them back.

#include <string>
#include <vector>

namespace scvtest
{

struct ZipEntry
{
    std::string name;
    std::string bytes;
};

// Every entry in stored order with its uncompressed bytes; empty when the archive does not open.
std::vector<ZipEntry> ReadZipEntries(const std::wstring& path);

} // namespace scvtest
