#include "engine/ClipboardSaver.h"

#include "common/SharedLog.h"
#include "engine/OwnClipboardChange.h"

namespace
{
constexpr DWORD kOpenWaitMs = 1000;
constexpr DWORD kOpenRetryMs = 20;

bool EmptyTheClipboard()
{
    if (!::OpenClipboard(nullptr))
        return false;
    CAutoCloseClipboard close(kOwnClipboardChange);
    return ::EmptyClipboard() != FALSE;
}
} // namespace

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
    // A restore still waiting for the previous target ends first, so the
    // previous phrase is never taken for the user's content.
    RestoreIfSaved();
    const DWORD start = ::GetTickCount();
    while (!m_snapshot.Capture()) {
        if (::GetTickCount() - start >= kOpenWaitMs) {
            LogError(
                L"CClipboardSaver::Save: the clipboard cannot be opened, the user's content is not kept");
            Dismiss();
            m_saveFailed = true;
            return 0;
        }
        ::Sleep(kOpenRetryMs);
    }
    m_saveFailed = false;
    m_pending = true;
    m_sequence = ::GetClipboardSequenceNumber();
    return m_snapshot.GetCount();
}

int CClipboardSaver::PutSnapshotBack()
{
    // Untouched since the save: the user's content (every format of it, and its owner) is there.
    if (::GetClipboardSequenceNumber() == m_sequence)
        return 0;
    if (!COwnClipboardChange::GetInstance().IsLatest()) {
        WriteLogLine(L"CClipboardSaver: another program changed the clipboard since the save, the saved "
                     L"content is not put back");
        return 0;
    }
    if (m_snapshot.IsEmpty() && m_snapshot.GetListedCount() > 0) {
        WriteLogLine(L"CClipboardSaver: no format of the saved content could be kept, the clipboard is "
                     L"left as it is");
        return 0;
    }
    const int restored = m_snapshot.IsEmpty() ? (EmptyTheClipboard() ? 1 : 0) : m_snapshot.Restore();
    if (restored && m_afterRestore)
        m_afterRestore();
    return restored;
}

int CClipboardSaver::RestoreIfSaved()
{
    if (m_owner.IsWatching()) {
        m_owner.FinishWatch();
        return 1;
    }
    if (!m_pending)
        return 0;
    const int restored = PutSnapshotBack();
    Dismiss();
    return restored;
}

void CClipboardSaver::RestoreAfterInsertion()
{
    if (!m_pending)
        return;
    if (m_offered) {
        // Gone from the clipboard already: another program copied during the paste.
        if (!m_owner.IsOfferOnClipboard()) {
            OnOfferEnded(CDelayedClipboardOwner::Outcome::Replaced);
            return;
        }
        m_owner.WatchReads(m_graceMs, m_boundMs,
                           [this](CDelayedClipboardOwner::Outcome outcome) { OnOfferEnded(outcome); });
        return;
    }
    if (::GetClipboardSequenceNumber() != m_sequence)
        RestoreIfSaved();
    else
        Dismiss();
}

void CClipboardSaver::OnOfferEnded(CDelayedClipboardOwner::Outcome outcome)
{
    if (!m_pending)
        return;
    if (outcome == CDelayedClipboardOwner::Outcome::Replaced) {
        WriteLogLine(
            L"CClipboardSaver: new clipboard content since the paste, the saved content is not put back");
        Dismiss();
        return;
    }
    if (outcome == CDelayedClipboardOwner::Outcome::NeverRead)
        WriteLogLine(L"CClipboardSaver: the target did not read the pasted phrase in time");
    // The offer still on the clipboard (read or not) is the program's own content.
    if (m_owner.IsOfferOnClipboard())
        COwnClipboardChange::GetInstance().Note();
    PutSnapshotBack();
    Dismiss();
}

bool CClipboardSaver::PutForPaste(const ClipboardBlockMap& blocks)
{
    if (m_saveFailed)
        return false;
    m_offered = m_delayedRendering && m_owner.Create() && m_owner.Offer(blocks);
    if (m_offered)
        return true;
    return PutClipboardFormats(blocks);
}

void CClipboardSaver::Dismiss()
{
    // A copy the request asked a target for and that never landed is no longer the program's.
    COwnClipboardChange::GetInstance().EndExpectedCopy();
    m_pending = false;
    m_offered = false;
    m_snapshot.Clear();
    if (m_owner.IsWatching())
        m_owner.FinishWatch();
}
