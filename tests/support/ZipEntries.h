#pragma once
// Reads a zip archive back with minizip: its entries' names and contents.

#include <string>
#include <utility>
#include <vector>

namespace scvtest
{

// Entry name (as stored, UTF-8) -> content of every entry, in archive order;
// empty when the archive cannot be opened.
std::vector<std::pair<std::string, std::string>> ReadZipEntries(const std::wstring& path);

} // namespace scvtest
