#pragma once

// The clipboard history as the tray window, its menu and its tooltips use it:
// whether capture runs, starting and stopping it, the items (index 0 the
// newest) with what their tips show, and the commands of the "Clipboard
// History" pop-up. The clipboard watcher provides it; until one is handed to
// the tray window, CNoTrayHistory stands in: no capture, no items, every
// command refused.

#include <windows.h>

#include "platform/CString.h"

// The ids of the history items in the tray menu's "Clipboard History" pop-up.
inline constexpr UINT kTrayHistoryFirstId = 34000;
inline constexpr UINT kTrayHistoryLastId = 34099;

// What a history item's tooltip shows.
struct TrayHistoryItemInfo
{
    int type = -1;       // MenuHistoryItemType (menus/tips/MenuHistorySource.h)
    CString text;        // ANSI text converted, Unicode text, RTF as plain text; empty otherwise
    int textLength = 0;  // the whole text's length in characters (`text` may be cut)
    CString windowTitle; // the window the data was copied from (empty: unknown)
    CString programName; // its program (empty: unknown)
    SYSTEMTIME captureTime{};
    CString ovlMetaInfoLong; // documents with meta information: the long description
};

class ITrayHistorySource
{
public:
    virtual ~ITrayHistorySource() = default;

    // The watcher window exists (capture runs).
    virtual bool IsCapturing() const = 0;
    // Starts the watcher with the tray window as parent (flag 1: a delayed
    // start); true when it runs. On failure GetErrorText says why.
    virtual bool Start(HWND parent, bool delayed) = 0;
    virtual void Stop() = 0;
    virtual CString GetErrorText() const = 0;
    // 0 none tried, 1 unknown, 2 AddClipboardFormatListener, 3 SetClipboardViewer.
    virtual int GetSpyMethod() const = 0;

    virtual int GetCount() const = 0;
    virtual bool GetItemInfo(int index, TrayHistoryItemInfo& info) const = 0;
    // The item's caption in the tray menu.
    virtual CString GetMenuCaption(int index) const = 0;
    // Puts the item on the clipboard in its own format.
    virtual bool PutOnClipboard(int index) = 0;
    // Appends a separator (unless the menu ends with one) and at most `max`
    // items from the newest, with ids firstId + index; the item now on the
    // clipboard is checked and the menu's default. Returns how many.
    virtual int AppendToMenu(HMENU menu, UINT firstId, int max)
    {
        const int count = GetCount() < max ? GetCount() : max;
        if (count <= 0)
            return 0;
        const int existing = ::GetMenuItemCount(menu);
        if (existing <= 0 || ::GetMenuItemID(menu, existing - 1) != 0)
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        for (int i = 0; i < count; ++i)
            ::AppendMenuW(menu, MF_STRING, firstId + static_cast<UINT>(i), GetMenuCaption(i));
        return count;
    }
    // Clears the history; true when something was cleared.
    virtual bool Clear() = 0;
    // Saves the history to its files now.
    virtual bool Save() = 0;
    // The watcher object for WM_APP+15 and the item queue for WM_APP+29 (null: none).
    virtual void* GetWatcherObject() = 0;
    virtual void* GetQueueObject() = 0;
    // Keeps the program's own next clipboard change out of the history (for a few
    // seconds); nothing while no capture runs.
    virtual void BlockCaptureForAWhile() {}
};

class CNoTrayHistory final : public ITrayHistorySource
{
public:
    bool IsCapturing() const override { return false; }
    bool Start(HWND, bool) override { return false; }
    void Stop() override {}
    CString GetErrorText() const override { return L"The clipboard history is not part of this build yet"; }
    int GetSpyMethod() const override { return 0; }
    int GetCount() const override { return 0; }
    bool GetItemInfo(int, TrayHistoryItemInfo&) const override { return false; }
    CString GetMenuCaption(int) const override { return CString(); }
    bool PutOnClipboard(int) override { return false; }
    bool Clear() override { return false; }
    bool Save() override { return false; }
    void* GetWatcherObject() override { return nullptr; }
    void* GetQueueObject() override { return nullptr; }
};
