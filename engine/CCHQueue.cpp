#include "engine/CCHQueue.h"

#include <algorithm>

#include "common/SettingsFiles.h"
#include "common/SharedLog.h"
#include "engine/ClipboardHistoryFiles.h"

namespace
{
void DeleteFiles(const std::vector<CString>& files)
{
    for (const CString& path : files) {
        if (::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES && !DeleteFileClearReadOnly(path))
            LogError(CString(L"Cannot delete the: ") + path);
    }
}

void AppendFiles(std::vector<CString>& files, const CCHItem& item)
{
    const std::vector<CString> list = item.GetFileList();
    files.insert(files.end(), list.begin(), list.end());
}

std::unique_ptr<UNDO_ITEM> NewUndoRecord(int action, const CString& text, std::unique_ptr<CCHQueue> snapshot)
{
    auto record = std::make_unique<UNDO_ITEM>();
    ::GetLocalTime(&record->time);
    record->text = text;
    record->tickCount = static_cast<int>(::GetTickCount());
    record->snapshot = std::move(snapshot);
    record->action = action;
    return record;
}
} // namespace

int CompareCaptureTimes(const SYSTEMTIME& a, const SYSTEMTIME& b)
{
    const WORD SYSTEMTIME::*fields[] = {&SYSTEMTIME::wYear,        &SYSTEMTIME::wMonth,  &SYSTEMTIME::wDay,
                                        &SYSTEMTIME::wHour,        &SYSTEMTIME::wMinute, &SYSTEMTIME::wSecond,
                                        &SYSTEMTIME::wMilliseconds};
    for (auto field : fields) {
        if (a.*field != b.*field)
            return a.*field < b.*field ? -1 : 1;
    }
    return 0;
}

CCHQueue::CCHQueue() = default;
CCHQueue::~CCHQueue() = default;

CString CCHQueue::GetHistoryFolder() const
{
    return m_folder.IsEmpty() ? GetClipboardHistoryFolder() : m_folder;
}

bool CCHQueue::Add(std::unique_ptr<CCHItem>& item, unsigned max)
{
    if (m_lock != 0 || !item)
        return false;
    auto equal = std::find_if(m_items.begin(), m_items.end(),
                              [&](const std::unique_ptr<CCHItem>& old) { return ItemsEqual(*old, *item); });
    if (equal == m_items.end()) {
        m_items.push_back(std::move(item));
        Trim(max);
        return true;
    }
    TakeOverDuplicate(*item, **equal);
    item->SetId((*equal)->GetId());
    m_items.erase(equal);
    m_items.push_back(std::move(item));
    return true;
}

void CCHQueue::TakeOverDuplicate(CCHItem& kept, CCHItem& dropped)
{
    if (dropped.IsProtected())
        kept.SetProtected(true);
    if (kept.GetFileState() == 0 && kept.GetDescriptorPath().IsEmpty()) {
        // Not on disk yet: its save replaces the dropped item's files, so the
        // folder holds one file set for the content.
        kept.SetDescriptorPath(dropped.GetDescriptorPath());
        return;
    }
    if (dropped.GetDescriptorPath() == kept.GetDescriptorPath())
        return;
    DeleteDescriptorAndFiles(dropped.GetDescriptorPath());
    DeleteItemFiles(dropped);
}

CCHItem* CCHQueue::FindEqual(const CCHItem& item) const
{
    for (const std::unique_ptr<CCHItem>& candidate : m_items) {
        if (ItemsEqual(*candidate, item))
            return candidate.get();
    }
    return nullptr;
}

void CCHQueue::Append(std::unique_ptr<CCHItem> item)
{
    if (item)
        m_items.push_back(std::move(item));
}

void CCHQueue::Trim(unsigned max)
{
    if (m_items.size() <= max)
        return;
    // Protected items count towards the maximum wherever they stand, so the
    // unprotected items kept are the newest (max - protected) ones.
    const size_t protectedCount =
        std::count_if(m_items.begin(), m_items.end(),
                      [](const std::unique_ptr<CCHItem>& item) { return item->IsProtected(); });
    const size_t unprotectedToKeep = max > protectedCount ? max - protectedCount : 0;
    std::vector<std::unique_ptr<CCHItem>> kept;
    size_t unprotectedKept = 0;
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        if ((*it)->IsProtected() || unprotectedKept < unprotectedToKeep) {
            if (!(*it)->IsProtected())
                ++unprotectedKept;
            kept.push_back(std::move(*it));
            continue;
        }
        DeleteItemFiles(**it);
        it->reset();
    }
    std::reverse(kept.begin(), kept.end());
    m_items = std::move(kept);
}

bool CCHQueue::RemoveItems(const std::set<int>& indexes, bool makeUndo, bool force, const CString& text)
{
    if (indexes.empty() || m_items.empty())
        return false;
    // Only the items that really go are recorded for undo, so that undo never
    // duplicates a protected item that stayed.
    std::set<int> removable;
    for (int index : indexes) {
        const CCHItem* item = GetItem(index);
        if (item && (force || !item->IsProtected()))
            removable.insert(index);
    }
    if (makeUndo)
        PushUndoSelection(removable, text);
    std::vector<std::unique_ptr<CCHItem>> kept;
    std::vector<CString> files;
    const int count = GetCount();
    for (int index = 0; index < count; ++index) {
        std::unique_ptr<CCHItem>& item = m_items[count - 1 - index];
        if (removable.count(index)) {
            AppendFiles(files, *item);
            item.reset();
            continue;
        }
        kept.push_back(std::move(item));
    }
    std::reverse(kept.begin(), kept.end());
    m_items = std::move(kept);
    DeleteFiles(files);
    return !removable.empty() || m_items.empty();
}

bool CCHQueue::Clear(const CString& text)
{
    if (m_items.empty()) {
        Clear_Directory_Exclude({});
        return false;
    }
    PushUndoAll(UA_RELPLACE_ALL, true, text.IsEmpty() ? CString(L"Command: \"Clear\"") : text);
    std::vector<std::unique_ptr<CCHItem>> kept;
    std::vector<CString> keptFiles;
    for (std::unique_ptr<CCHItem>& item : m_items) {
        if (item->IsProtected()) {
            AppendFiles(keptFiles, *item);
            kept.push_back(std::move(item));
            continue;
        }
        item.reset();
    }
    m_items = std::move(kept);
    // The protected items keep their files: deleting them and writing them again
    // later would lose them to a crash in between.
    Clear_Directory_Exclude(keptFiles);
    return true;
}

int CCHQueue::Clear_Directory_Exclude(const std::vector<CString>& keep)
{
    WriteLogLine(L"CCHQueue::Clear_Directory_Exclude");
    const CString folder = GetHistoryFolder();
    if (folder.IsEmpty()) {
        LogError(L"INVALID_HANDLE_VALUE  in CCHQueue::Clear_Directory_Exclude");
        return 0;
    }
    WIN32_FIND_DATAW found = {};
    HANDLE find = ::FindFirstFileW(folder + L"\\*.*", &found);
    if (find == INVALID_HANDLE_VALUE) {
        LogError(L"INVALID_HANDLE_VALUE  in CCHQueue::Clear_Directory_Exclude");
        return 0;
    }
    int deleted = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const CString path = folder + L"\\" + found.cFileName;
        const bool listed = std::any_of(keep.begin(), keep.end(),
                                        [&](const CString& kept) { return kept.CompareNoCase(path) == 0; });
        if (listed)
            continue;
        if (DeleteFileClearReadOnly(path))
            ++deleted;
        else
            LogError(CString(L"Cannot delete the: ") + path);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return deleted;
}

bool CCHQueue::PushUndoAll(int action, bool markNotOnDisk, const CString& text)
{
    std::unique_ptr<CCHQueue> snapshot = CloneAll();
    if (!snapshot)
        return false;
    if (markNotOnDisk) {
        for (std::unique_ptr<CCHItem>& item : snapshot->m_items)
            item->MarkNotOnDisk();
    }
    m_undo.push_back(NewUndoRecord(action, text, std::move(snapshot)));
    return true;
}

bool CCHQueue::PushUndoSelection(const std::set<int>& indexes, const CString& text)
{
    if (indexes.empty() || m_items.empty())
        return false;
    auto snapshot = std::make_unique<CCHQueue>();
    for (int index : indexes) {
        CCHItem* item = GetItem(index);
        if (!item)
            continue;
        std::unique_ptr<CCHItem> copy(item->Clone());
        copy->MarkNotOnDisk();
        snapshot->m_items.push_back(std::move(copy));
    }
    if (snapshot->m_items.empty())
        return false;
    m_undo.push_back(NewUndoRecord(UA_ADD_TO_CUR, text, std::move(snapshot)));
    return true;
}

bool CCHQueue::DoUndo()
{
    if (m_undo.empty())
        return false;
    UNDO_ITEM& record = *m_undo.back();
    if (record.action == UA_ADD_TO_CUR) {
        WriteLogLine(L"DoUndo: UA_ADD_TO_CUR");
    } else if (record.action == UA_RELPLACE_ALL) {
        WriteLogLine(L"DoUndo: UA_RELPLACE_ALL");
        if (record.snapshot)
            KeepItemsStillHere(*record.snapshot);
        m_items.clear();
    } else {
        LogError(L"DoUndo: unknown action");
        return false;
    }
    if (record.snapshot) {
        for (std::unique_ptr<CCHItem>& item : record.snapshot->m_items)
            m_items.push_back(std::move(item));
    }
    m_undo.pop_back();
    return true;
}

void CCHQueue::KeepItemsStillHere(CCHQueue& snapshot)
{
    // A copy of an item that is still in the queue gives way to the item itself
    // (with its files), so the restored queue holds every item once.
    for (std::unique_ptr<CCHItem>& copy : snapshot.m_items) {
        for (std::unique_ptr<CCHItem>& item : m_items) {
            if (item && item->GetKey() == copy->GetKey()) {
                copy = std::move(item);
                break;
            }
        }
    }
}

bool CCHQueue::ClearUndo()
{
    m_undo.clear();
    return true;
}

const UNDO_ITEM* CCHQueue::Get_Undo_Item_By_Index(int index) const
{
    if (index < 0 || index >= GetUndoCount())
        return nullptr;
    return m_undo[m_undo.size() - 1 - index].get();
}

bool CCHQueue::Get_Latest_Undo_Info(CString& text, int& tickCount, SYSTEMTIME* time) const
{
    if (m_undo.empty())
        return false;
    const UNDO_ITEM& record = *m_undo.back();
    text = record.text;
    tickCount = record.tickCount;
    if (time)
        *time = record.time;
    return true;
}

std::unique_ptr<CCHQueue> CCHQueue::CloneAll() const
{
    if (m_items.empty())
        return nullptr;
    auto copy = std::make_unique<CCHQueue>();
    copy->m_folder = m_folder;
    for (const std::unique_ptr<CCHItem>& item : m_items)
        copy->m_items.emplace_back(item->Clone());
    return copy;
}

std::unique_ptr<CCHQueue> CCHQueue::CloneNotOnDisk() const
{
    auto copy = std::make_unique<CCHQueue>();
    copy->m_folder = m_folder;
    for (const std::unique_ptr<CCHItem>& item : m_items) {
        if (item->GetFileState() == 0)
            copy->m_items.emplace_back(item->Clone());
    }
    if (copy->m_items.empty())
        return nullptr;
    return copy;
}

std::vector<std::unique_ptr<CCHItem>> CCHQueue::TakeItems()
{
    return std::exchange(m_items, {});
}

void CCHQueue::MergeLoaded(CCHQueue& loaded, unsigned max)
{
    for (std::unique_ptr<CCHItem>& item : loaded.TakeItems()) {
        // The saved item stays where it was: an equal item captured since the
        // start (the clipboard as it was then) is the same copy, not a new one.
        auto equal = std::find_if(m_items.begin(), m_items.end(), [&](const std::unique_ptr<CCHItem>& held) {
            return ItemsEqual(*held, *item);
        });
        if (equal != m_items.end()) {
            TakeOverDuplicate(*item, **equal);
            m_items.erase(equal);
        }
        m_items.push_back(std::move(item));
    }
    SortByTime();
    Trim(max);
}

CCHItem* CCHQueue::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_items[m_items.size() - 1 - index].get();
}

CCHItem* CCHQueue::GetItemAt(int position) const
{
    if (position < 0 || position >= GetCount())
        return nullptr;
    return m_items[position].get();
}

CCHItem* CCHQueue::FindByKey(const CString& key) const
{
    for (const std::unique_ptr<CCHItem>& item : m_items) {
        if (item->GetKey() == key)
            return item.get();
    }
    return nullptr;
}

CCHItem* CCHQueue::FindByDescriptor(const CString& path) const
{
    if (path.IsEmpty())
        return nullptr;
    for (const std::unique_ptr<CCHItem>& item : m_items) {
        if (item->GetDescriptorPath().CompareNoCase(path) == 0)
            return item.get();
    }
    return nullptr;
}

int CCHQueue::IndexOfId(int id) const
{
    for (int position = 0; position < GetCount(); ++position) {
        if (m_items[position]->GetId() == id)
            return position;
    }
    return -1;
}

void CCHQueue::SortByTime()
{
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const std::unique_ptr<CCHItem>& a, const std::unique_ptr<CCHItem>& b) {
                         return CompareCaptureTimes(a->GetTime(), b->GetTime()) < 0;
                     });
}

void CCHQueue::ClearTipTexts()
{
    for (std::unique_ptr<CCHItem>& item : m_items)
        item->SetTipText(CString());
}
