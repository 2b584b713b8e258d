#include "engine/SVQuery.h"

namespace
{
CString WindowText(HWND window)
{
    CString text;
    if (!window)
        return text;
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return text;
    const int copied = GetWindowTextW(window, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer(copied > 0 ? copied : 0);
    return text;
}
} // namespace

SVQuery::SVQuery()
{
    ThreadInfo.cbSize = sizeof(ThreadInfo);
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &ThreadInfo)) {
        ThreadInfo = {};
        ThreadInfo.cbSize = sizeof(ThreadInfo);
    }
}

const CString& SVQuery::GetTargetWindowTitle() const
{
    if (m_titleComputed)
        return m_title;
    m_titleComputed = true;
    HWND window = Hwnd;
    if (!window)
        window = GetForegroundWindow();
    if (!window)
        window = GetActiveWindow();
    m_title = WindowText(window);
    if (m_title.IsEmpty())
        m_title = AppPath;
    return m_title;
}
