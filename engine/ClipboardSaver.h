#pragma once

// The user's clipboard kept across one phrase request of the tray window.
//
// Save() begins a request: it takes a snapshot of every clipboard format (waiting up to about
// a second for a clipboard that another program holds open) and notes the clipboard sequence
// number. The request ends in one of these ways:
//  - RestoreIfSaved(): the program's own clipboard use is undone (the menu closed without a
//    choice, a special command, an id that names nothing);
//  - RestoreAfterInsertion(): a phrase was inserted. A phrase pasted through PutForPaste is
//    offered with delayed rendering: the user's content comes back once the target has read
//    the phrase and a short grace has passed, or after a bound when it never reads, and not at
//    all when someone else put new content there meanwhile. Otherwise the user's content comes
//    back at once when anything changed the clipboard since the save (a paste without delayed
//    rendering, the copy of the selection by Ctrl+C), and the request just ends when nothing did;
//  - Dismiss(): the clipboard is to keep what the program put there (a history item was
//    inserted, a copy command ran).
// Either way the snapshot is freed. Only a request still pending is restored, also when the
// saver ends: a snapshot of a finished request is never put back later over what the user has
// copied since. Save() first ends the previous request (a restore still waiting for its target,
// or a request whose menu never came).
//
// Whatever ends a request, the saved content is put back only over the program's own change
// (COwnClipboardChange: a pasted phrase, the selection copied by Ctrl+C): a clipboard untouched
// since the save keeps every format and its owner, a copy another program made since stays, and
// a clipboard is never emptied because the snapshot could not keep any of its formats.
//
// User-interface thread only; the thread must pump messages while a restore waits.

#include <functional>

#include "engine/ClipboardSnapshot.h"
#include "engine/DelayedClipboardOwner.h"
#include "engine/PasteClipboard.h"

class CClipboardSaver : public IPasteClipboard
{
public:
    // Time after the target's last read before the user's content comes back.
    static constexpr DWORD kReadGraceMs = 300;
    // Time the target has to read a pasted phrase.
    static constexpr DWORD kReadBoundMs = 5000;

    // No request is pending after construction; a non-zero captureAgain begins
    // one at once (as Save).
    explicit CClipboardSaver(int captureAgain = 0);
    // Restores the clipboard when a request is still pending.
    ~CClipboardSaver() override;
    CClipboardSaver(const CClipboardSaver&) = delete;
    CClipboardSaver& operator=(const CClipboardSaver&) = delete;

    // Begins a request: captures every format. Returns the number of formats
    // kept; when the clipboard cannot be opened within the wait nothing is
    // pending, the save counts as failed and 0 is returned.
    size_t Save();
    // When a request is pending: puts the snapshot back over the program's own
    // change (an empty snapshot of an empty clipboard empties it) and ends the
    // request; 1 when put back, else 0.
    int RestoreIfSaved();
    // Ends the request after an insertion, as described above.
    void RestoreAfterInsertion();
    // Whether a request is pending (also while a restore waits for the target).
    bool IsSaved() const { return m_pending; }
    // Whether a restore waits for the target to read the pasted phrase.
    bool IsRestoreWaiting() const { return m_owner.IsWatching(); }
    // Whether the last Save could not keep the user's content.
    bool IsSaveFailed() const { return m_saveFailed; }
    // Ends the request without restoring.
    void Dismiss();

    const CClipboardSnapshot& GetSnapshot() const { return m_snapshot; }

    // IPasteClipboard: a failed save forbids carrying a phrase; a phrase goes on the clipboard
    // with delayed rendering when the owner window can be had, else as plain data.
    bool MayCarryPhrase() const override { return !m_saveFailed; }
    bool PutForPaste(const ClipboardBlockMap& blocks) override;

    // Whether a pasted phrase is offered with delayed rendering (on by default; off: the
    // time-based path, the user's content comes back right after the paste keystrokes).
    void SetDelayedRendering(bool on) { m_delayedRendering = on; }
    // Runs right after the user's content was actually put back, at once or after a wait for the
    // target (the program keeps that restore out of its clipboard history); not when nothing is
    // put back.
    void SetAfterRestore(std::function<void()> hook) { m_afterRestore = std::move(hook); }
    // Changes the grace and the bound of a restore that waits for the target.
    void SetReadTimes(DWORD graceMs, DWORD boundMs)
    {
        m_graceMs = graceMs;
        m_boundMs = boundMs;
    }

private:
    void OnOfferEnded(CDelayedClipboardOwner::Outcome outcome);
    int PutSnapshotBack();

    CDelayedClipboardOwner m_owner;
    CClipboardSnapshot m_snapshot{false};
    DWORD m_sequence = 0;
    DWORD m_graceMs = kReadGraceMs;
    DWORD m_boundMs = kReadBoundMs;
    bool m_pending = false;
    bool m_saveFailed = false;
    // The request's phrase went on the clipboard with delayed rendering.
    bool m_offered = false;
    bool m_delayedRendering = true;
    std::function<void()> m_afterRestore;
};
