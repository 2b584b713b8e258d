#include "app/LastErrorInfo.h"

#include <stdio.h>
#include <string.h>

void LastErrorInfo::Reset()
{
    savedError = ::GetLastError();
    memset(text, 0, sizeof(text));
    memset(number, 0, sizeof(number));
    ::SetLastError(0);
}

void LastErrorInfo::FormatSystemMessage()
{
    const DWORD error = ::GetLastError();
    const DWORD capacity = sizeof(text) / sizeof(text[0]);
    const DWORD written = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                           nullptr, error, 0, text, capacity - 1, nullptr);
    text[written < capacity ? written : capacity - 1] = L'\0';
    swprintf(number, sizeof(number) / sizeof(number[0]), L"%d", static_cast<int>(error));
    ::SetLastError(error);
}

void LastErrorInfo::Restore() const
{
    ::SetLastError(savedError);
}
