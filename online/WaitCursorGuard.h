#pragma once

// Shows a system cursor (the application-starting arrow) while a start is
// under way, and puts the previous cursor back; the move cursor of the
// floating pane.

#include <windows.h>

class CWaitCursorGuard
{
public:
    // Captures the mouse for `captureWindow` when one is given and sets the
    // system cursor `cursorId` (IDC_APPSTARTING and the like).
    CWaitCursorGuard(HWND captureWindow, LPCWSTR cursorId);
    // Restore(true) unless done.
    ~CWaitCursorGuard();
    CWaitCursorGuard(const CWaitCursorGuard&) = delete;
    CWaitCursorGuard& operator=(const CWaitCursorGuard&) = delete;

    // Sets the previous cursor again (and forgets it when asked, so a second
    // call does nothing), moves the mouse one pixel and back so the cursor is
    // redrawn, and releases the capture when one was taken.
    void Restore(bool forget);

private:
    HCURSOR m_previous = nullptr;
    bool m_restored = false;
    bool m_captured = false;
};

// The cursor IDC_SIZEALL, loaded on the first call and kept for the life of
// the process; a failed load is tried again on the next call.
HCURSOR GetMoveCursor();
