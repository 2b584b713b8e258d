#include "app/TrayPaneHistory.h"

#include "engine/CCHQueue.h"

bool CTrayPaneHistory::PutTextItemOnClipboard(const CCHItem& item, int mode)
{
    // The watcher puts its own items on the clipboard as its own copies, so
    // they are not captured again: find the row that holds this item.
    const CCHQueue& queue = m_watcher.GetQueue();
    for (int row = 0; row < queue.GetCount(); ++row) {
        if (queue.GetItem(row) != &item)
            continue;
        return mode == 0 ? m_watcher.PutItemAsPlainText(row) : m_watcher.PutItemOnClipboard(row);
    }
    return false;
}
