#include "support/ZipEntries.h"

#include "online/MinizipFiles.h"

namespace scvtest
{

std::vector<std::pair<std::string, std::string>> ReadZipEntries(const std::wstring& path)
{
    std::vector<std::pair<std::string, std::string>> entries;
    zlib_filefunc64_def functions{};
    fill_win32_filefunc64W(&functions);
    unzFile zip = unzOpen2_64(path.c_str(), &functions);
    if (!zip)
        return entries;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        char name[260] = {};
        unz_file_info64 info{};
        unzGetCurrentFileInfo64(zip, &info, name, sizeof(name), nullptr, 0, nullptr, 0);
        std::string content(static_cast<size_t>(info.uncompressed_size), '\0');
        unzOpenCurrentFile(zip);
        const int read = content.empty()
                             ? 0
                             : unzReadCurrentFile(zip, content.data(), static_cast<unsigned>(content.size()));
        unzCloseCurrentFile(zip);
        content.resize(read < 0 ? 0 : static_cast<size_t>(read));
        entries.emplace_back(name, content);
    }
    unzClose(zip);
    return entries;
}

} // namespace scvtest
