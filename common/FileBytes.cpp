#include "common/FileBytes.h"

#include <algorithm>

namespace
{
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
