#pragma once

// The user's clipboard kept across one phrase request of the tray window.
//
// Save() begins a request: it takes a snapshot of every clipboard format. The
// request ends in one of two ways:
//  - RestoreIfSaved(): the program's own clipboard use is undone (the menu
//    closed without a choice, a special command, an id that names nothing);
//  - Dismiss(): the clipboard is to keep what the program put there (a phrase
//    or history item was inserted, a copy command ran).
// Either way the snapshot is freed. Only a request still pending is restored,
// also when the saver ends: a snapshot of a finished request is never put
// back later over what the user has copied since.
//
// User-interface thread only.

#include "engine/ClipboardSnapshot.h"

class CClipboardSaver
{
public:
    // No request is pending after construction; a non-zero captureAgain begins
    // one at once (as Save).
    explicit CClipboardSaver(int captureAgain = 0);
    // Restores the clipboard when a request is still pending.
    ~CClipboardSaver();
    CClipboardSaver(const CClipboardSaver&) = delete;
    CClipboardSaver& operator=(const CClipboardSaver&) = delete;

    // Begins a request: captures every format. Returns the number of formats
    // kept; when the clipboard cannot be opened nothing is pending and 0 is
    // returned.
    size_t Save();
    // When a request is pending: puts the snapshot back (the result of
    // CClipboardSnapshot::Restore) and ends the request. Else 0.
    int RestoreIfSaved();
    // Whether a request is pending.
    bool IsSaved() const { return m_pending; }
    // Ends the request without restoring.
    void Dismiss();

    const CClipboardSnapshot& GetSnapshot() const { return m_snapshot; }

private:
    CClipboardSnapshot m_snapshot{false};
    bool m_pending = false;
};
