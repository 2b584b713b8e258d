#include "engine/OwnClipboardChange.h"

namespace
{
DWORD ProcessOf(HWND window)
{
    DWORD process = 0;
    if (window)
        ::GetWindowThreadProcessId(window, &process);
    return process;
}
} // namespace

COwnClipboardChange& COwnClipboardChange::GetInstance()
{
    static COwnClipboardChange instance;
    return instance;
}

void COwnClipboardChange::Note()
{
    m_sequence = ::GetClipboardSequenceNumber();
    m_noted = true;
    m_expectedProcess = 0;
}

bool COwnClipboardChange::IsLatest() const
{
    return (m_noted && ::GetClipboardSequenceNumber() == m_sequence) || IsExpectedCopy();
}

void COwnClipboardChange::ExpectCopyBy(HWND target)
{
    m_expectedProcess = ProcessOf(target);
}

bool COwnClipboardChange::IsExpectedCopy() const
{
    const DWORD expected = m_expectedProcess;
    return expected != 0 && ProcessOf(::GetClipboardOwner()) == expected;
}
