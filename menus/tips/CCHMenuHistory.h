#pragma once

// The clipboard history as the phrase menu reads it: an adapter over the
// watcher window's queue (items by index, 0 the newest).

#include <memory>
#include <vector>

#include "menus/tips/MenuHistorySource.h"

class CCHItem;
class CCHQueue;

class CCHMenuHistoryItem : public IMenuHistoryItem
{
public:
    explicit CCHMenuHistoryItem(CCHItem* item) : m_item(item) {}
    void SetItem(CCHItem* item) { m_item = item; }

    int GetType() const override;
    const void* GetData() const override;
    size_t GetSize() const override;
    CString GetMenuText() const override;
    void SetMenuText(const CString& text) override;
    CString GetTipText() const override;
    void SetTipText(const CString& text) override;
    CString GetMenuLine() const override;
    bool HasOvlMetaInfo() const override;
    CString DescribeOvlMetaInfoLong() const override;
    CString GetUrl() const override;

private:
    CCHItem* m_item;
};

class CCHMenuHistory : public IMenuHistory
{
public:
    explicit CCHMenuHistory(CCHQueue& queue) : m_queue(queue) {}

    int GetHistoryCount() const override;
    // The returned object stays valid until the next call with the same index.
    IMenuHistoryItem* GetHistoryItem(int index) override;
    void SetLocked(bool locked) override;

private:
    CCHQueue& m_queue;
    std::vector<std::unique_ptr<CCHMenuHistoryItem>> m_items;
};
