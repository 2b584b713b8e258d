#pragma once
// Sets a process error mode (SetErrorMode) and puts the previous one back when it goes out of scope:
// file tests on empty drives then show no system error box.

#include <windows.h>

class CErrorModeGuard
{
public:
    explicit CErrorModeGuard(UINT mode) : m_previous(::SetErrorMode(mode)) {}
    ~CErrorModeGuard() { ::SetErrorMode(m_previous); }
    CErrorModeGuard(const CErrorModeGuard&) = delete;
    CErrorModeGuard& operator=(const CErrorModeGuard&) = delete;

private:
    UINT m_previous;
};
