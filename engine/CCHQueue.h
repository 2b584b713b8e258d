#pragma once

// The clipboard history: items oldest first (public indexes count from the
// newest, 0 = newest), de-duplicated on Add, trimmed to a maximum that
// protected items survive, with a stack of undo records for clears and
// removals. Owned by the clipboard watcher window; used on its thread only.

#include <windows.h>

#include <memory>
#include <set>
#include <vector>

#include "engine/CCHItem.h"
#include "platform/CString.h"

class CCHQueue;

enum UndoAction : int
{
    UA_RELPLACE_ALL = 0, // the snapshot replaces the whole queue
    UA_ADD_TO_CUR = 1,   // the snapshot is appended as the newest items
};

struct UNDO_ITEM
{
    SYSTEMTIME time = {};
    CString text;
    int tickCount = 0;
    std::unique_ptr<CCHQueue> snapshot;
    int action = UA_RELPLACE_ALL;
};

class CCHQueue
{
public:
    CCHQueue();
    virtual ~CCHQueue();
    CCHQueue(const CCHQueue&) = delete;
    CCHQueue& operator=(const CCHQueue&) = delete;

    // The folder Clear and Clear_Directory_Exclude empty; the configured
    // history folder until set.
    void SetHistoryFolder(const CString& folder) { m_folder = folder; }
    CString GetHistoryFolder() const;

    // Takes the item (it becomes null) unless the queue is locked (false, the
    // caller keeps it). An equal item is replaced: the new one takes its
    // protection, id and file set (a new item not on disk takes over its
    // descriptor, so its save replaces those files; else the replaced item's
    // files are deleted) and becomes the newest, nothing is trimmed. Otherwise
    // the item is appended and the queue trimmed to `max`.
    bool Add(std::unique_ptr<CCHItem>& item, unsigned max);
    // Appends as the newest, without de-duplication or trimming.
    void Append(std::unique_ptr<CCHItem> item);
    // Keeps every protected item and the newest unprotected ones, so that
    // protected items count towards `max` (more than `max` remain only when
    // more than `max` are protected); the others are deleted with their files.
    void Trim(unsigned max);
    // Removes the items at the indexes (0 = newest); protected ones only with
    // `force`. True when an item was removed or none is left.
    bool RemoveItems(const std::set<int>& indexes, bool makeUndo, bool force, const CString& text);
    // Removes every unprotected item and empties the history folder except for
    // the files of the protected items it keeps. False when the queue was empty.
    bool Clear(const CString& text);
    // Deletes every file of the history folder whose path is not listed.
    int Clear_Directory_Exclude(const std::vector<CString>& keep);

    // --- Undo ---
    bool PushUndoAll(int action, bool markNotOnDisk, const CString& text);
    bool PushUndoSelection(const std::set<int>& indexes, const CString& text);
    bool DoUndo();
    bool ClearUndo();
    bool HasUndo() const { return !m_undo.empty(); }
    int GetUndoCount() const { return static_cast<int>(m_undo.size()); }
    // 0 = newest record; null when out of range.
    const UNDO_ITEM* Get_Undo_Item_By_Index(int index) const;
    // The newest record's text, tick count and (when `time` is given) time.
    bool Get_Latest_Undo_Info(CString& text, int& tickCount, SYSTEMTIME* time = nullptr) const;

    // --- Copies ---
    // Null when there is nothing to copy.
    std::unique_ptr<CCHQueue> CloneAll() const;
    std::unique_ptr<CCHQueue> CloneNotOnDisk() const;
    // Gives up every item (oldest first).
    std::vector<std::unique_ptr<CCHItem>> TakeItems();
    // Appends the loaded items, sorts by time and trims to `max` as Trim does
    // (protected items are never cut). A loaded item equal to one held takes
    // its place (the held one's protection, its files deleted): the history
    // holds every content once.
    void MergeLoaded(CCHQueue& loaded, unsigned max);

    // --- Lookup ---
    int GetCount() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    // 0 = newest; null when out of range.
    CCHItem* GetItem(int index) const;
    // 0 = oldest.
    CCHItem* GetItemAt(int position) const;
    CCHItem* FindByKey(const CString& key) const;
    // The item whose files the descriptor at `path` names (compared without case); null when none.
    CCHItem* FindByDescriptor(const CString& path) const;
    // The first item equal to `item` (ItemsEqual); null when none.
    CCHItem* FindEqual(const CCHItem& item) const;
    // Position (0 = oldest) of the item with the id; -1 when none.
    int IndexOfId(int id) const;
    void SortByTime();
    void ClearTipTexts();

    // While locked, Add refuses items.
    void Lock() { ++m_lock; }
    void Unlock()
    {
        if (m_lock)
            --m_lock;
    }
    bool IsLocked() const { return m_lock != 0; }

private:
    // `kept` replaces the equal `dropped`: it takes the protection, and either
    // the file set (when not on disk yet) or the dropped item's files go.
    static void TakeOverDuplicate(CCHItem& kept, CCHItem& dropped);
    // Moves every item of the queue that the snapshot holds a copy of (same key)
    // into the snapshot in place of the copy.
    void KeepItemsStillHere(CCHQueue& snapshot);

    std::vector<std::unique_ptr<CCHItem>> m_items;
    unsigned m_lock = 0;
    std::vector<std::unique_ptr<UNDO_ITEM>> m_undo;
    CString m_folder;
};

// Compares capture times field by field (year to milliseconds, not the day of
// the week); <0, 0, >0.
int CompareCaptureTimes(const SYSTEMTIME& a, const SYSTEMTIME& b);
