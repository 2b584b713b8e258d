#pragma once

// The tray window's clipboard history: the watcher window that captures and
// keeps the history, the copy events other code pulses around its own
// clipboard use, and the views of the history that the menus take.
//
// The tray menu's "Clipboard History" pop-up: AppendHistoryToTrayMenu fills it
// (ids kTrayHistoryFirstId + index, 0 the newest), RunTrayHistoryCommand puts
// the chosen item on the clipboard, RemoveHistoryFromTrayMenu empties it again.

#include <windows.h>

#include "engine/CSCVWndClipboardHandler.h"
#include "app/history/TrayPaneHistory.h"
#include "menus/tips/CCHMenuHistory.h"
#include "menus/tips/TrayHistorySource.h"

class CTrayClipboardHistory final : public ITrayHistorySource
{
public:
    CTrayClipboardHistory();
    ~CTrayClipboardHistory() override;
    CTrayClipboardHistory(const CTrayClipboardHistory&) = delete;
    CTrayClipboardHistory& operator=(const CTrayClipboardHistory&) = delete;

    // Creates the watcher window under the tray window (control id 1333);
    // true when it runs. `loadHistory` reads the saved history.
    bool Start(HWND tray, bool loadHistory) override;
    void Stop() override;
    bool IsRunning() const { return m_watcher.IsWatcherWindow(); }

    // What the tray menu and its tooltips read.
    bool IsCapturing() const override { return IsRunning(); }
    CString GetErrorText() const override { return m_watcher.GetLastErrorText(); }
    int GetSpyMethod() const override;
    int GetCount() const override { return m_watcher.GetQueue().GetCount(); }
    bool GetItemInfo(int index, TrayHistoryItemInfo& info) const override;
    CString GetMenuCaption(int index) const override;
    bool PutOnClipboard(int index) override;
    int AppendToMenu(HMENU menu, UINT firstId, int max) override
    {
        return m_watcher.AppendHistoryToMenu(menu, static_cast<int>(firstId), max);
    }
    bool Clear() override { return m_watcher.ClearHistory(); }
    bool Save() override;
    void* GetWatcherObject() override { return &m_watcher; }
    void* GetQueueObject() override { return &m_watcher.GetQueue(); }
    void BlockCaptureForAWhile() override;

    CSCVWndClipboardHandler& GetWatcher() { return m_watcher; }
    CCHQueue& GetQueue() { return m_watcher.GetQueue(); }
    IMenuHistory& GetMenuHistory() { return m_menuHistory; }
    IFloatPaneHistory& GetPaneHistory() { return m_paneHistory; }

    // The tray menu's history pop-up: at most ClipboardHistoryMax items (and no
    // more than the id block holds). Returns how many were appended.
    int AppendHistoryToTrayMenu(HMENU popup);
    void RemoveHistoryFromTrayMenu(HMENU popup);
    // A tray menu command: true when it named a history item (which is then put
    // on the clipboard).
    bool RunTrayHistoryCommand(UINT id);

private:
    CSCVWndClipboardHandler m_watcher;
    CCHMenuHistory m_menuHistory;
    CTrayPaneHistory m_paneHistory{m_watcher};
};
