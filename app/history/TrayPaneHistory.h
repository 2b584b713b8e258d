#pragma once

// The floating pane's view of the clipboard history: the pane's requests
// carried out by the clipboard watcher that owns the queue.

#include "engine/CSCVWndClipboardHandler.h"
#include "menus/floatpane/FloatPaneServices.h"

class CTrayPaneHistory final : public IFloatPaneHistory
{
public:
    explicit CTrayPaneHistory(CSCVWndClipboardHandler& watcher) : m_watcher(watcher) {}

    CCHQueue* GetQueue() override { return &m_watcher.GetQueue(); }
    bool IsWatching() override { return m_watcher.IsWatcherWindow(); }
    bool PutTextItemOnClipboard(const CCHItem& item, int mode) override;
    bool PutItemAsPlainText(int row) override { return m_watcher.PutItemAsPlainText(row); }
    bool ChangeItemCase(bool upper, int row) override { return m_watcher.ChangeItemCase(upper, row) != 0; }
    int TrimItemText(int row) override { return m_watcher.TrimItem(row); }
    int JoinItemLines(int row) override { return m_watcher.JoinItemLines(row); }
    bool RemoveItems(const std::set<int>& rows, bool makeUndo, bool force, const CString& text) override
    {
        return m_watcher.RemoveItems(rows, makeUndo, force, text);
    }
    bool ClearHistory() override { return m_watcher.ClearHistory(); }
    void ScheduleSave() override { m_watcher.ScheduleSave(); }

private:
    CSCVWndClipboardHandler& m_watcher;
};
