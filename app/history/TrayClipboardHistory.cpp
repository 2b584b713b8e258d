#include "app/history/TrayClipboardHistory.h"

#include <algorithm>
#include <climits>

#include "app/entry/NamedEvents.h"
#include "common/Settings.h"
#include "engine/ClipboardHistoryTexts.h"
#include "engine/ForeignClipboardFormats.h"

namespace
{
// At most this much of an item's text goes to its tip.
constexpr int kTipTextChars = 4000;
} // namespace

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

void CTrayClipboardHistory::BlockCaptureForAWhile()
{
    if (IsRunning())
        m_watcher.BlockCaptureForAWhile();
}

int CTrayClipboardHistory::AppendHistoryToTrayMenu(HMENU popup)
{
    const int max = (std::min)(GetSettings().GetClipboardHistoryMax(),
                               static_cast<int>(kTrayHistoryLastId - kTrayHistoryFirstId + 1));
    return m_watcher.AppendHistoryToMenu(popup, static_cast<int>(kTrayHistoryFirstId), max);
}

void CTrayClipboardHistory::RemoveHistoryFromTrayMenu(HMENU popup)
{
    m_watcher.RemoveHistoryFromMenu(popup, static_cast<int>(kTrayHistoryFirstId),
                                    static_cast<int>(kTrayHistoryLastId));
}

bool CTrayClipboardHistory::RunTrayHistoryCommand(UINT id)
{
    if (id < kTrayHistoryFirstId || id > kTrayHistoryLastId)
        return false;
    m_watcher.PutItemOnClipboard(static_cast<int>(id - kTrayHistoryFirstId));
    return true;
}

int CTrayClipboardHistory::GetSpyMethod() const
{
    if (!IsRunning())
        return 0;
    const int state = m_watcher.GetSpyState();
    return state == 0 ? 1 : state;
}

bool CTrayClipboardHistory::GetItemInfo(int index, TrayHistoryItemInfo& info) const
{
    const CCHItem* item = m_watcher.GetQueue().GetItem(index);
    if (!item)
        return false;
    info.type = item->GetType();
    const bool textual = info.type == CHT_ANSI_TEXT || info.type == CHT_UNICODE_TEXT || info.type == CHT_RTF;
    if (textual) {
        // The tip shows the head of the text but the length of all of it, which
        // is counted, not converted: an RTF item may be many megabytes long.
        info.textLength = GetItemTextLength(*item);
        info.text = GetItemPreviewText(*item, kTipTextChars + 1).Left(kTipTextChars);
    }
    info.windowTitle = item->GetOwnerInfo().windowTitle;
    info.programName = item->GetOwnerInfo().exePath;
    info.captureTime = item->GetTime();
    COvlMetaInfo meta;
    if (item->HasOvlMetaInfo() && item->GetOvlMetaInfo(meta))
        info.ovlMetaInfoLong = DescribeOvlMetaInfoLong(meta);
    return true;
}

CString CTrayClipboardHistory::GetMenuCaption(int index) const
{
    const CCHItem* item = m_watcher.GetQueue().GetItem(index);
    return item ? GetItemMenuCaption(*item) : CString();
}

bool CTrayClipboardHistory::PutOnClipboard(int index)
{
    return m_watcher.PutItemOnClipboard(index);
}

bool CTrayClipboardHistory::Save()
{
    if (!IsRunning())
        return false;
    m_watcher.ScheduleSave();
    return true;
}
