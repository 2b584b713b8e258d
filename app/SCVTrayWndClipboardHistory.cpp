// The tray window's side of the clipboard history: starting and stopping the
// watcher window and answering its notifications and the history requests.

#include "app/AppObjects.h"
#include "app/SCVTrayWnd.h"
#include "common/Settings.h"
#include "common/SharedLog.h"

namespace
{
CString FormatCount(LPCWSTR format, DWORD value)
{
    CString line;
    line.Format(format, static_cast<int>(value));
    return line;
}
} // namespace

bool CSCVTrayWnd::StartClipboardWatcher(bool loadHistory)
{
    const bool started = m_clipboardHistory.Start(m_hWnd, loadHistory);
    if (started && !m_clipboardHistory.GetQueue().IsEmpty())
        UpdateTrayIcon(2, nullptr, false);
    if (!started)
        LogError(m_clipboardHistory.GetWatcher().GetLastErrorText());
    NotifyStateListeners(nullptr, 0, m_clipboardHistory.IsRunning() ? 1 : 0);
    return started;
}

void CSCVTrayWnd::StopClipboardWatcher()
{
    if (!m_clipboardHistory.IsRunning())
        return;
    m_clipboardHistory.Stop();
    NotifyStateListeners(nullptr, 0, 0);
}

LRESULT CSCVTrayWnd::OnClipboardHistoryChanged(int, LPNMHDR header, BOOL&)
{
    const DWORD sequence = ::GetClipboardSequenceNumber();
    if (sequence == m_lastClipboardSequence) {
        WriteLogLine(FormatCount(L"Event OnClipboardHistoryChanged, Sequences Numbers Is EQUAL: %d, do not "
                                 L"query data from clipboard",
                                 sequence));
        return 1;
    }
    m_lastClipboardSequence = sequence;
    WriteLogLine(FormatCount(L"Event OnClipboardHistoryChanged, new Sequences Number: %d", sequence));
    WriteLogLine(FormatCount(L"Event OnClipboardHistoryChanged, Count=%d",
                             static_cast<DWORD>(m_clipboardHistory.GetQueue().GetCount())));
    UpdateTrayIcon(2, nullptr, false);
    const auto* record = reinterpret_cast<const ClipboardHistoryNotify*>(header);
    if (record->reason == CHR_CAPTURE)
        CAppObjects::PlayPaperSound();
    return 1;
}

LRESULT CSCVTrayWnd::OnClipboardHistoryLoaded(int, LPNMHDR, BOOL&)
{
    UpdateTrayIcon(2, nullptr, false);
    return 1;
}

LRESULT CSCVTrayWnd::OnStartClipboardWatcher(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (GetSettings().ClipboardHistory == 0)
        return 1;
    return StartClipboardWatcher(wParam == 1) ? 1 : 0;
}

LRESULT CSCVTrayWnd::OnGetClipboardWatcher(UINT, WPARAM, LPARAM, BOOL&)
{
    return reinterpret_cast<LRESULT>(&m_clipboardHistory.GetWatcher());
}

LRESULT CSCVTrayWnd::OnGetHistoryQueue(UINT, WPARAM, LPARAM, BOOL&)
{
    return reinterpret_cast<LRESULT>(&m_clipboardHistory.GetQueue());
}
