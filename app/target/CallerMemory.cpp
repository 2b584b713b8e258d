#include "app/target/CallerMemory.h"

namespace
{

// The end of the committed region that holds `address`; null when the address
// is not committed, accessible memory of the wanted kind.
const BYTE* AccessibleRegionEnd(const void* address, bool write)
{
    if (!address)
        return nullptr;
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(address, &info, sizeof(info)) != sizeof(info) || info.State != MEM_COMMIT)
        return nullptr;
    if (info.Protect & (PAGE_GUARD | PAGE_NOACCESS))
        return nullptr;
    const DWORD writable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const DWORD readable = writable | PAGE_READONLY | PAGE_EXECUTE_READ;
    if (!(info.Protect & (write ? writable : readable)))
        return nullptr;
    return static_cast<const BYTE*>(info.BaseAddress) + info.RegionSize;
}

} // namespace

bool IsAccessibleRange(const void* address, size_t bytes, bool write)
{
    const BYTE* regionEnd = AccessibleRegionEnd(address, write);
    return regionEnd && bytes <= static_cast<size_t>(regionEnd - static_cast<const BYTE*>(address));
}

CString ReadCallerText(LPARAM address, int maxChars)
{
    const auto* text = reinterpret_cast<const wchar_t*>(address);
    const BYTE* regionEnd = AccessibleRegionEnd(text, false);
    if (!regionEnd || maxChars <= 0)
        return CString();
    const size_t available =
        static_cast<size_t>(regionEnd - reinterpret_cast<const BYTE*>(text)) / sizeof(wchar_t);
    const size_t limit =
        available < static_cast<size_t>(maxChars) ? available : static_cast<size_t>(maxChars);
    for (size_t i = 0; i < limit; ++i) {
        if (text[i] == L'\0')
            return CString(text, static_cast<int>(i));
    }
    return CString();
}

bool CopyToCallerBuffer(WPARAM size, LPARAM buffer, const CString& text)
{
    if (size == 0 || size > 0x7FFFFFFF)
        return false;
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    if (!IsAccessibleRange(out, static_cast<size_t>(size) * sizeof(wchar_t), true))
        return false;
    ::lstrcpynW(out, text, static_cast<int>(size));
    return true;
}
