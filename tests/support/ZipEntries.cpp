#include "support/ZipEntries.h"

#include <minizip/unzip.h>
// iowin32.h needs the declarations of the header above.
#include <minizip/iowin32.h>

namespace scvtest
{

std::vector<ZipEntry> ReadZipEntries(const std::wstring& path)
{
    std::vector<ZipEntry> entries;
    zlib_filefunc64_def functions{};
    fill_win32_filefunc64W(&functions);
    unzFile zip = unzOpen2_64(path.c_str(), &functions);
    if (!zip)
        return entries;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        char name[512] = {};
        unz_file_info64 info{};
        unzGetCurrentFileInfo64(zip, &info, name, sizeof(name), nullptr, 0, nullptr, 0);
        ZipEntry entry{name, {}};
        if (unzOpenCurrentFile(zip) == UNZ_OK) {
            char buffer[4096];
            int read = 0;
            while ((read = unzReadCurrentFile(zip, buffer, sizeof(buffer))) > 0)
                entry.bytes.append(buffer, static_cast<size_t>(read));
            unzCloseCurrentFile(zip);
        }
        entries.push_back(std::move(entry));
    }
    unzClose(zip);
    return entries;
}

} // namespace scvtest
