#include "engine/OwnClipboardChange.h"

COwnClipboardChange& COwnClipboardChange::GetInstance()
{
    static COwnClipboardChange instance;
    return instance;
}

void COwnClipboardChange::Note()
{
    m_sequence = ::GetClipboardSequenceNumber();
    m_noted = true;
}

bool COwnClipboardChange::IsLatest() const
{
    return m_noted && ::GetClipboardSequenceNumber() == m_sequence;
}
