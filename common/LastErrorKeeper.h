#pragma once

// Keeps the calling thread's last-error value across a block of calls that
// may change it: the value is taken when the object is made and put back
// when it goes away.

#include <windows.h>

class CLastErrorKeeper
{
public:
    CLastErrorKeeper() : m_error(::GetLastError()) {}
    ~CLastErrorKeeper() { ::SetLastError(m_error); }
    CLastErrorKeeper(const CLastErrorKeeper&) = delete;
    CLastErrorKeeper& operator=(const CLastErrorKeeper&) = delete;

private:
    DWORD m_error;
};
