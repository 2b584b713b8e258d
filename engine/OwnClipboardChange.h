#pragma once

// The clipboard as this program's latest own change left it.
//
// The program puts the user's saved clipboard back only over its own use of
// the clipboard (a pasted phrase, the selection copied by Ctrl+C), never over
// a copy another program made since. Every own change notes the clipboard
// sequence number right after it; the clipboard is still "as the program left
// it" while the sequence number has not moved on. A copy the program asked
// another window for (Ctrl+C, WM_COPY) is its own change too, whenever it
// lands: the clipboard then belongs to that window's process. Any thread may
// note and ask.

#include <windows.h>

#include <atomic>

class COwnClipboardChange
{
public:
    static COwnClipboardChange& GetInstance();

    // Notes the clipboard's current sequence number as the program's own change;
    // a copy expected from another window is no longer waited for.
    void Note();
    // Whether nothing has changed the clipboard since the program's latest own
    // change, or the clipboard holds the copy the program asked for.
    bool IsLatest() const;

    // The program asks the window's process to copy: until the next Note or
    // EndExpectedCopy, a clipboard owned by that process is the program's own change.
    void ExpectCopyBy(HWND target);
    void EndExpectedCopy() { m_expectedProcess = 0; }
    // Whether the clipboard now holds a copy the program asked for.
    bool IsExpectedCopy() const;

private:
    COwnClipboardChange() = default;
    std::atomic<DWORD> m_sequence{0};
    std::atomic<bool> m_noted{false};
    std::atomic<DWORD> m_expectedProcess{0};
};
