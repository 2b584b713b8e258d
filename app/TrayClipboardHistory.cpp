#include "app/TrayClipboardHistory.h"

#include <algorithm>

#include "app/NamedEvents.h"
#include "common/Settings.h"

CTrayClipboardHistory::CTrayClipboardHistory() : m_menuHistory(m_watcher.GetQueue()) {}

CTrayClipboardHistory::~CTrayClipboardHistory()
{
    Stop();
}

bool CTrayClipboardHistory::Start(HWND tray, bool loadHistory)
{
    if (m_watcher.IsWatcherWindow())
        return true;
    CreateCopyEvents();
    m_watcher.SetCopyEvents(GetStartCopyEvent(), GetEndCopyEvent());
    return m_watcher.EnsureWindow(tray, loadHistory, kClipboardHistoryControlId) == 1 &&
           m_watcher.IsWatcherWindow();
}

void CTrayClipboardHistory::Stop()
{
    m_watcher.DestroyWatcher();
}

int CTrayClipboardHistory::AppendHistoryToTrayMenu(HMENU popup)
{
    const int max =
        (std::min)(GetSettings().GetClipboardHistoryMax(), kTrayHistoryLastId - kTrayHistoryFirstId + 1);
    return m_watcher.AppendHistoryToMenu(popup, kTrayHistoryFirstId, max);
}

void CTrayClipboardHistory::RemoveHistoryFromTrayMenu(HMENU popup)
{
    m_watcher.RemoveHistoryFromMenu(popup, kTrayHistoryFirstId, kTrayHistoryLastId);
}

bool CTrayClipboardHistory::RunTrayHistoryCommand(UINT id)
{
    if (id < static_cast<UINT>(kTrayHistoryFirstId) || id > static_cast<UINT>(kTrayHistoryLastId))
        return false;
    m_watcher.PutItemOnClipboard(static_cast<int>(id) - kTrayHistoryFirstId);
    return true;
}
