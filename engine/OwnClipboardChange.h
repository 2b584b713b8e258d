#pragma once

// The clipboard as this program's latest own change left it.
//
// The program puts the user's saved clipboard back only over its own use of
// the clipboard (a pasted phrase, the selection copied by Ctrl+C), never over
// a copy another program made since. Every own change notes the clipboard
// sequence number right after it; the clipboard is still "as the program left
// it" while the sequence number has not moved on. Any thread may note and ask.

#include <windows.h>

#include <atomic>

class COwnClipboardChange
{
public:
    static COwnClipboardChange& GetInstance();

    // Notes the clipboard's current sequence number as the program's own change.
    void Note();
    // Whether nothing has changed the clipboard since the program's latest own change.
    bool IsLatest() const;

private:
    COwnClipboardChange() = default;
    std::atomic<DWORD> m_sequence{0};
    std::atomic<bool> m_noted{false};
};
