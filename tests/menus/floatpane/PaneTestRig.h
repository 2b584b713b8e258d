#pragma once
// A clipboard history and application services for the floating pane tests:
// the history is a real CCHQueue the test fills; the watcher's operations
// work on it directly; the host records what the pane asked of it.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardAccess.h"
#include "menus/floatpane/FloatPaneServices.h"

namespace scvtest
{

class TestPaneHistory : public IFloatPaneHistory
{
public:
    CCHQueue queue;
    bool watching = true;
    int saves = 0;
    bool clipboardRefuses = false;

    // Appends a Unicode text item as the newest.
    CCHItem* AddText(const std::wstring& text, bool protect = false)
    {
        auto item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, nullptr);
        item->SetUnicodeText(text.c_str());
        item->SetProtectedFlag(protect);
        CCHItem* raw = item.get();
        queue.Append(std::move(item));
        return raw;
    }
    CCHItem* AddTyped(int type, const std::string& bytes)
    {
        auto item = std::make_unique<CCHItem>(type, nullptr);
        item->SetDataCopy(bytes.c_str(), static_cast<unsigned>(bytes.size() + 1));
        CCHItem* raw = item.get();
        queue.Append(std::move(item));
        return raw;
    }

    CCHQueue* GetQueue() override { return &queue; }
    bool IsWatching() override { return watching; }
    bool PutTextItemOnClipboard(const CCHItem& item, int) override
    {
        if (clipboardRefuses)
            return false;
        if (item.GetType() == CHT_UNICODE_TEXT)
            return PutClipboardUnicodeText(item.GetWideText().GetString());
        const std::string bytes = item.GetByteText();
        return PutClipboardData(item.GetType() == CHT_RTF ? GetRtfClipboardFormat() : CF_TEXT, bytes.c_str(),
                                bytes.size() + 1);
    }
    bool PutItemAsPlainText(int row) override
    {
        CCHItem* item = queue.GetItem(row);
        return item && item->GetType() == CHT_UNICODE_TEXT &&
               PutClipboardUnicodeText(item->GetWideText().GetString());
    }
    bool ChangeItemCase(bool upper, int row) override
    {
        CCHItem* item = queue.GetItem(row);
        if (!item || item->GetType() != CHT_UNICODE_TEXT)
            return false;
        CString text = item->GetWideText();
        const CString before = text;
        upper ? text.MakeUpper() : text.MakeLower();
        if (text == before)
            return false;
        item->SetUnicodeText(text.GetString());
        return true;
    }
    int TrimItemText(int row) override
    {
        CCHItem* item = queue.GetItem(row);
        if (!item || item->GetType() != CHT_UNICODE_TEXT)
            return 0;
        CString text = item->GetWideText();
        const int before = text.GetLength();
        text.Trim(L" \t\n");
        item->SetUnicodeText(text.GetString());
        return before - text.GetLength();
    }
    int JoinItemLines(int row) override
    {
        CCHItem* item = queue.GetItem(row);
        if (!item || item->GetType() != CHT_UNICODE_TEXT)
            return 0;
        CString text = item->GetWideText();
        const int joined = text.Replace(L"\r\n", L" ");
        item->SetUnicodeText(text.GetString());
        return joined;
    }
    bool RemoveItems(const std::set<int>& rows, bool makeUndo, bool force, const CString& text) override
    {
        return queue.RemoveItems(rows, makeUndo, force, text);
    }
    bool ClearHistory() override { return queue.Clear(CString()); }
    void ScheduleSave() override { ++saves; }
};

class TestPaneHost : public IFloatPaneHost
{
public:
    HWND tray = nullptr;
    HWND target = nullptr;
    bool elevated = false;
    std::vector<int> sounds;
    std::vector<std::wstring> reports;
    std::vector<bool> copySignals;
    std::vector<std::wstring> savedPaths;

    HWND GetTrayWindow() override { return tray; }
    HWND GetTargetWindow() override { return target; }
    void PlayPaneSound(int sound) override { sounds.push_back(sound); }
    void ReportText(LPCWSTR text) override { reports.push_back(text); }
    void SignalCopy(bool start) override { copySignals.push_back(start); }
    bool IsElevated() override { return elevated; }
    CString FormatAndMoreText(int count) override
    {
        CString text;
        text.Format(L"and %d more", count);
        return text;
    }
    bool OpenUrl(const CString&) override { return true; }
    bool SearchWeb(const CString&, int) override { return true; }
    std::vector<std::wstring> commands;
    bool RunCommand(const CString& command) override
    {
        commands.push_back(command.GetString());
        return true;
    }
    bool SaveItemToFile(const CCHItem&, const CString& path) override
    {
        savedPaths.push_back(path.GetString());
        return true;
    }
    bool OpenItemInTempFile(const CCHQueue&, int, HWND, bool) override { return true; }
    void LocalizeMenu(HMENU) override {}
    CMenuToolTip* menuTip = nullptr;
    CMenuToolTip* GetMenuToolTip() override { return menuTip; }
};

} // namespace scvtest
