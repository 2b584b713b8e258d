#include "common/TimingMarks.h"

CTimingMarks& CTimingMarks::GetInstance()
{
    static CTimingMarks marks;
    return marks;
}

CTimingMarks::CTimingMarks()
{
    wchar_t name[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(kTimingMarksVariable, name, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    m_mapping = ::OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
    if (!m_mapping)
        return;
    m_slots = static_cast<volatile LONGLONG*>(
        ::MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, sizeof(LONGLONG) * kTimingMarkCount));
}

CTimingMarks::~CTimingMarks()
{
    if (m_slots)
        ::UnmapViewOfFile(const_cast<LONGLONG*>(m_slots));
    if (m_mapping)
        ::CloseHandle(m_mapping);
}

void CTimingMarks::Mark(TimingMark mark)
{
    const int slot = static_cast<int>(mark);
    if (!m_slots || slot < 0 || slot >= kTimingMarkCount)
        return;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    ::InterlockedExchange64(&m_slots[slot], now.QuadPart); // whole also on 32 bits
}
