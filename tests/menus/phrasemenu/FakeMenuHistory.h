#pragma once
// A clipboard history in memory for the phrase menu tests: items of any type with their data,
// cached texts and a count of how often the menu stored them; items can be left out (a gap at an
// index) or made to fault when the menu reads them.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "menus/tips/MenuHistorySource.h"

class FakeHistoryItem : public IMenuHistoryItem
{
public:
    FakeHistoryItem(int itemType, std::string itemBytes) : type(itemType), bytes(std::move(itemBytes)) {}

    static std::unique_ptr<FakeHistoryItem> Unicode(const std::wstring& text)
    {
        std::string data(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
        auto item = std::make_unique<FakeHistoryItem>(kHistoryUnicodeText, data);
        item->menuLine = text.c_str();
        return item;
    }
    static std::unique_ptr<FakeHistoryItem> Narrow(int type, const std::string& text)
    {
        auto item = std::make_unique<FakeHistoryItem>(type, text + '\0');
        item->menuLine = CString(text.c_str());
        return item;
    }

    int GetType() const override { return type; }
    const void* GetData() const override { return bytes.empty() ? nullptr : bytes.data(); }
    size_t GetSize() const override { return reportedSize != kActualSize ? reportedSize : bytes.size(); }
    CString GetMenuText() const override { return menuText; }
    void SetMenuText(const CString& text) override
    {
        menuText = text;
        ++menuTextStores;
    }
    CString GetTipText() const override { return tipText; }
    void SetTipText(const CString& text) override
    {
        tipText = text;
        ++tipTextStores;
    }
    CString GetMenuLine() const override
    {
        if (faultOnRead) {
            volatile int* volatile nowhere = nullptr;
            *nowhere = 1;
        }
        return menuLine;
    }
    bool HasOvlMetaInfo() const override { return !documentDescription.IsEmpty(); }
    CString DescribeOvlMetaInfoLong() const override { return documentDescription; }
    CString GetUrl() const override { return url; }

    static constexpr size_t kActualSize = static_cast<size_t>(-1);
    int type;
    std::string bytes;
    size_t reportedSize = kActualSize; // another size than the data's own
    CString menuText;
    CString tipText;
    CString menuLine;
    CString documentDescription;
    CString url;
    int menuTextStores = 0;
    int tipTextStores = 0;
    bool faultOnRead = false;
};

class FakeHistory : public IMenuHistory
{
public:
    // `count` Unicode items "item 1" (the newest) ... "item count".
    static std::unique_ptr<FakeHistory> WithTextItems(int count)
    {
        auto history = std::make_unique<FakeHistory>();
        for (int i = 1; i <= count; ++i)
            history->items.push_back(FakeHistoryItem::Unicode(L"item " + std::to_wstring(i)));
        return history;
    }

    int GetHistoryCount() const override { return static_cast<int>(items.size()); }
    IMenuHistoryItem* GetHistoryItem(int index) override
    {
        if (index < 0 || index >= static_cast<int>(items.size()))
            return nullptr;
        return items[static_cast<size_t>(index)].get();
    }
    void SetLocked(bool value) override
    {
        locked = value;
        ++lockChanges;
    }

    std::vector<std::unique_ptr<FakeHistoryItem>> items; // null entries are gaps
    bool locked = false;
    int lockChanges = 0;
};
