#include "menus/tips/CCHMenuHistory.h"

#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardHistoryTexts.h"
#include "engine/ForeignClipboardFormats.h"

int CCHMenuHistoryItem::GetType() const
{
    return m_item->GetType();
}

const void* CCHMenuHistoryItem::GetData() const
{
    return m_item->GetData();
}

size_t CCHMenuHistoryItem::GetSize() const
{
    return m_item->GetSize();
}

CString CCHMenuHistoryItem::GetMenuText() const
{
    return m_item->GetMenuText();
}

void CCHMenuHistoryItem::SetMenuText(const CString& text)
{
    m_item->SetMenuText(text);
}

CString CCHMenuHistoryItem::GetTipText() const
{
    return m_item->GetTipText();
}

void CCHMenuHistoryItem::SetTipText(const CString& text)
{
    m_item->SetTipText(text);
}

CString CCHMenuHistoryItem::GetMenuLine() const
{
    return GetItemMenuLine(*m_item);
}

bool CCHMenuHistoryItem::HasOvlMetaInfo() const
{
    return m_item->HasOvlMetaInfo();
}

CString CCHMenuHistoryItem::DescribeOvlMetaInfoLong() const
{
    COvlMetaInfo info;
    return m_item->GetOvlMetaInfo(info) ? ::DescribeOvlMetaInfoLong(info) : CString();
}

CString CCHMenuHistoryItem::GetUrl() const
{
    return m_item->GetUrl();
}

int CCHMenuHistory::GetHistoryCount() const
{
    return m_queue.GetCount();
}

IMenuHistoryItem* CCHMenuHistory::GetHistoryItem(int index)
{
    CCHItem* item = m_queue.GetItem(index);
    if (!item)
        return nullptr;
    if (static_cast<size_t>(index) >= m_items.size())
        m_items.resize(static_cast<size_t>(index) + 1);
    if (!m_items[index])
        m_items[index] = std::make_unique<CCHMenuHistoryItem>(item);
    m_items[index]->SetItem(item);
    return m_items[index].get();
}

void CCHMenuHistory::SetLocked(bool locked)
{
    if (locked)
        m_queue.Lock();
    else
        m_queue.Unlock();
}
