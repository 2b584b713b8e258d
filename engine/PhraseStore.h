#pragma once
// The phrase library in memory: a tree of PhraseItemRecord loaded from a folder tree of phrase
// files, with ids, sorting, lookups, counts, usage statistics and ordered saving of single records.

#include "engine/PhraseItemRecord.h"
#include "engine/PhraseSaveQueue.h"
#include "platform/CString.h"

#include <functional>
#include <string>
#include <vector>

struct PhraseStatistics
{
    int charactersInserted = 0;
    int highestUsageCount = 0;
    int totalUsage = 0;
    int folders = 0;
    int plainTextPhrases = 0;
    int richTextPhrases = 0;
    int commandPhrases = 0;
    int includedItems = 0;
    int allItems = 0;
    std::wstring mostUsedTitle;
};

class CPhraseStore
{
public:
    // Called for each record of a walk with the walk's context and the folder holding the record
    // (null at the top level). False ends the walk of the current list only.
    using WalkCallback = bool (*)(PhraseItemRecord& record, void* context, PhraseItemRecord* parent);
    // The text a phrase inserts (macros expanded, rich text as plain text), for the statistics.
    using InsertedTextFunction = std::function<CString(const PhraseItemRecord& record)>;

    explicit CPhraseStore(const CString& folder = CString());
    // Writes the saves still queued before the store goes away.
    virtual ~CPhraseStore();
    CPhraseStore(const CPhraseStore&) = delete;
    CPhraseStore& operator=(const CPhraseStore&) = delete;

    // Replaces the tree with the folder's content (an empty argument: the stored phrases folder).
    // Queued saves are written first. A non-empty folder that does not exist gives an empty tree
    // and leaves the stored folder unchanged. Every record pointer and id from before is void.
    void Load(const CString& folder = CString());
    // Sorts every list of the tree (stable): folders first, then the smaller SortID (unsigned).
    // The mode and direction are accepted for callers that pass their setting; the order is the
    // same for every value.
    void Sort(int mode = 0, bool descending = false);
    void Clear();

    const CString& GetFolder() const noexcept { return m_folder; }
    std::vector<PhraseItemRecord>& GetItems() noexcept { return m_items; }
    const std::vector<PhraseItemRecord>& GetItems() const noexcept { return m_items; }

    // The first record with the id in a depth-first walk; null when none has it.
    PhraseItemRecord* FindItemById(int id);
    // The folder whose children hold the record with the id; null at the top level or when none has it.
    PhraseItemRecord* FindParentFolder(int id);
    // True when a phrase (not a folder) with the id lies anywhere below the folder.
    static bool FolderContainsId(const PhraseItemRecord& folder, int id);

    // all = every record (folders too); included = records with included content. Either may be null.
    void GetPhraseCounts(int* included, int* all) const;
    int GetIncludedCount(int* all) const;

    // Saves the record with the id; nothing when there is none.
    void SaveItemById(int id);
    // Counts one use of the phrase with the id: the record's usage count and date are raised, and
    // in its file, as it stands on disk now, only the usage attributes change, so an edit made
    // since the load stays, and so does one another program saves while this write waits on the
    // save worker (the count then goes onto that newer content). A file that is gone or no longer
    // parses is left alone (logged).
    // False when there is no such phrase or the file was not updated.
    bool RecordUsageById(int id);
    // Queues the record's file for writing, as the record is now. A record without a path first gets
    // a new unique file (or, for a folder, a new directory) named after its title in the folder
    // that holds it, or in the phrases folder at the top level. False when the file content could
    // not be built or no folder is known.
    bool SaveItem(PhraseItemRecord& record);
    // Returns when every queued save has been written.
    void FlushSaves();
    // Told of every queued write that failed, on the save worker (set before the first save).
    void SetSaveFailureHandler(CPhraseSaveQueue::FailureHandler handler)
    {
        m_saves.SetFailureHandler(std::move(handler));
    }

    // Fills the statistics; `insertedText` gives the text a phrase inserts (the body as it stands
    // when none is given).
    bool CollectStatistics(PhraseStatistics& out, const InsertedTextFunction& insertedText = {}) const;

    // Walks the whole tree; the number of records visited.
    int Walk(WalkCallback callback, void* context);

protected:
    // Queues `bytes` for the file, written only while it still holds `expected` (what the caller read);
    // a content written since is given to `update` on the save worker (CPhraseSaveQueue::EnqueueUpdate).
    bool SaveOver(const CString& path, std::string expected, std::string bytes,
                  CPhraseSaveQueue::UpdateFunction update)
    {
        return m_saves.EnqueueUpdate(path, std::move(expected), std::move(bytes), std::move(update));
    }
    bool IsSavePending(const CString& path) const { return m_saves.IsPending(path); }

private:
    PhraseItemRecord* FindFolderHolding(const PhraseItemRecord* record);
    bool AssignNewPath(PhraseItemRecord& record);

    std::vector<PhraseItemRecord> m_items;
    CString m_folder;
    CPhraseSaveQueue m_saves;
};
