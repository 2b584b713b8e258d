#include "online/WaitCursorGuard.h"

CWaitCursorGuard::CWaitCursorGuard(HWND captureWindow, LPCWSTR cursorId)
{
    if (captureWindow && ::IsWindow(captureWindow)) {
        ::SetCapture(captureWindow);
        m_captured = true;
    }
    m_previous = ::SetCursor(::LoadCursorW(nullptr, cursorId));
}

CWaitCursorGuard::~CWaitCursorGuard()
{
    Restore(true);
}

void CWaitCursorGuard::Restore(bool forget)
{
    if (m_restored)
        return;
    ::SetCursor(m_previous);
    if (forget) {
        m_restored = true;
        m_previous = nullptr;
    }
    POINT point{};
    if (::GetCursorPos(&point)) {
        ::SetCursorPos(point.x, point.y + 1);
        ::SetCursorPos(point.x, point.y);
    }
    if (m_captured) {
        ::ReleaseCapture();
        m_captured = false;
    }
}

HCURSOR GetMoveCursor()
{
    static HCURSOR cursor = nullptr;
    if (cursor == nullptr)
        cursor = ::LoadCursorW(nullptr, IDC_SIZEALL);
    return cursor;
}
