#include "common/SystemErrorText.h"

#include <iterator>

CString GetSystemErrorText(DWORD errorCode)
{
    wchar_t buffer[1024] = {};
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errorCode, 0,
                         buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    if (length == 0 || length >= std::size(buffer))
        return CString();
    return CString(buffer, static_cast<int>(length));
}

CString GetSystemErrorTextUnchecked(DWORD errorCode)
{
    return GetSystemErrorText(errorCode);
}
