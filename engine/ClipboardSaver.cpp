#include "engine/ClipboardSaver.h"

CClipboardSaver::CClipboardSaver(int captureAgain)
{
    if (captureAgain != 0)
        Save();
}

CClipboardSaver::~CClipboardSaver()
{
    RestoreIfSaved();
}

size_t CClipboardSaver::Save()
{
    if (!m_snapshot.Capture())
    {
        // The previous request's copy must not stand in for this one.
        Dismiss();
        return 0;
    }
    m_pending = true;
    return m_snapshot.GetCount();
}

int CClipboardSaver::RestoreIfSaved()
{
    if (!m_pending)
        return 0;
    const int restored = m_snapshot.Restore();
    Dismiss();
    return restored;
}

void CClipboardSaver::Dismiss()
{
    m_pending = false;
    m_snapshot.Clear();
}
