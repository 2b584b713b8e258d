#include "engine/PhraseStore.h"

#include "common/PathFunctions.h"
#include "common/SharedLog.h"
#include "engine/PhraseFile.h"
#include "engine/PhraseFileNames.h"
#include "engine/PhraseTreeLoader.h"

#include <algorithm>
#include <climits>
#include <type_traits>
#include <utility>

namespace
{

using RecordList = std::vector<PhraseItemRecord>;

// Visits every record of the list and, unless the visitor returned false for it, the records
// below it; a false result ends the current list only. Returns the number of records visited.
template <typename Record, typename Visit>
int WalkList(std::conditional_t<std::is_const_v<Record>, const RecordList, RecordList>& items, Record* parent,
             Visit& visit)
{
    int visited = 0;
    for (Record& record : items) {
        ++visited;
        if (!visit(record, parent)) {
            break;
        }
        if (record.IsFolder()) {
            visited += WalkList<Record>(*record.children, &record, visit);
        }
    }
    return visited;
}

PhraseItemRecord* FindInList(RecordList& items, int id)
{
    for (PhraseItemRecord& record : items) {
        if (record.id == id) {
            return &record;
        }
        if (record.IsFolder()) {
            if (PhraseItemRecord* found = FindInList(*record.children, id)) {
                return found;
            }
        }
    }
    return nullptr;
}

// The folder among `items` (or below them) whose children satisfy `holds`.
template <typename Holds>
PhraseItemRecord* FindHoldingFolder(RecordList& items, const Holds& holds)
{
    for (PhraseItemRecord& record : items) {
        if (!record.IsFolder()) {
            continue;
        }
        if (holds(*record.children)) {
            return &record;
        }
        if (PhraseItemRecord* found = FindHoldingFolder(*record.children, holds)) {
            return found;
        }
    }
    return nullptr;
}

void SortList(RecordList& items)
{
    std::stable_sort(items.begin(), items.end(), PhraseComesBefore);
    for (PhraseItemRecord& record : items) {
        if (record.IsFolder()) {
            SortList(*record.children);
        }
    }
}

int ClampToInt(long long value)
{
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

CPhraseStore::CPhraseStore(const CString& folder) : m_folder(folder) {}

CPhraseStore::~CPhraseStore() = default;

void CPhraseStore::Load(const CString& folder)
{
    m_saves.Flush();
    Clear();
    if (!folder.IsEmpty() && !FolderExists(folder)) {
        return;
    }
    const CString root = folder.IsEmpty() ? m_folder : folder;
    LoadPhraseTree(root, m_items);
    Sort();
    m_folder = root;
}

void CPhraseStore::Sort(int /*mode*/, bool /*descending*/)
{
    SortList(m_items);
}

void CPhraseStore::Clear()
{
    m_items.clear();
}

PhraseItemRecord* CPhraseStore::FindItemById(int id)
{
    return FindInList(m_items, id);
}

PhraseItemRecord* CPhraseStore::FindParentFolder(int id)
{
    return FindHoldingFolder(m_items, [id](const RecordList& children) {
        return std::any_of(children.begin(), children.end(),
                           [id](const PhraseItemRecord& child) { return child.id == id; });
    });
}

PhraseItemRecord* CPhraseStore::FindFolderHolding(const PhraseItemRecord* record)
{
    return FindHoldingFolder(m_items, [record](const RecordList& children) {
        return !children.empty() && record >= children.data() && record < children.data() + children.size();
    });
}

bool CPhraseStore::FolderContainsId(const PhraseItemRecord& folder, int id)
{
    if (!folder.IsFolder()) {
        return false;
    }
    for (const PhraseItemRecord& child : *folder.children) {
        if (child.IsFolder() ? FolderContainsId(child, id) : child.id == id) {
            return true;
        }
    }
    return false;
}

void CPhraseStore::GetPhraseCounts(int* included, int* all) const
{
    int includedCount = 0;
    auto count = [&includedCount](const PhraseItemRecord& record, const PhraseItemRecord*) {
        if (record.HasIncludedContent()) {
            ++includedCount;
        }
        return true;
    };
    const int allCount = WalkList<const PhraseItemRecord>(m_items, nullptr, count);
    if (included != nullptr) {
        *included = includedCount;
    }
    if (all != nullptr) {
        *all = allCount;
    }
}

int CPhraseStore::GetIncludedCount(int* all) const
{
    int included = 0;
    GetPhraseCounts(&included, all);
    return included;
}

void CPhraseStore::SaveItemById(int id)
{
    if (PhraseItemRecord* record = FindItemById(id)) {
        SaveItem(*record);
    }
}

bool CPhraseStore::RecordUsageById(int id)
{
    PhraseItemRecord* record = FindItemById(id);
    if (record == nullptr || record->IsFolder()) {
        return false;
    }
    record->IncrementUsageCount();
    record->StampUsageDate();
    const CString path = record->GetPath();
    if (path.IsEmpty()) {
        return false;
    }
    // A write of this file still queued holds an older count: it lands first.
    if (m_saves.IsPending(path)) {
        m_saves.Flush();
    }
    std::string bytes;
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES || !ReadPhraseFileBytes(path, bytes)) {
        WriteLogLine(L"CPhraseStore: the used phrase's file is gone, its usage is not saved: " + path);
        return false;
    }
    unsigned int count = 0;
    const std::string updated = RaisePhraseUsage(bytes, record->dateUsage, &count);
    if (updated.empty()) {
        WriteLogLine(L"CPhraseStore: the used phrase's file no longer parses, its usage is not saved: " +
                     path);
        return false;
    }
    record->usageCount = count;
    // Written only over the content read here: an edit saved meanwhile (by the editor) gets the count
    // added on the worker instead of being replaced by this older text.
    const SYSTEMTIME date = record->dateUsage;
    auto raise = [date](const std::string& current) { return RaisePhraseUsage(current, date); };
    return m_saves.EnqueueUpdate(path, std::move(bytes), updated, raise);
}

bool CPhraseStore::SaveItem(PhraseItemRecord& record)
{
    if (record.GetPath().IsEmpty() && !AssignNewPath(record)) {
        return false;
    }
    const std::string bytes = BuildPhraseXml(record);
    if (bytes.empty()) {
        WriteLogLine(L"ERROR: cannot create XML for command");
        return false;
    }
    const CString target =
        record.IsFolder() ? AddTrailingBackslash(record.GetPath()) + kFolderSelfFileName : record.GetPath();
    return m_saves.Enqueue(target, bytes);
}

// A record without a path gets one in the folder that holds it: a new phrase file, or for a folder a
// new directory, created at once so that its FOLDER_SELF file can be written into it.
bool CPhraseStore::AssignNewPath(PhraseItemRecord& record)
{
    const PhraseItemRecord* parent = FindFolderHolding(&record);
    const CString directory = parent != nullptr ? parent->GetPath() : m_folder;
    if (directory.IsEmpty()) {
        WriteLogLine(L"ERROR: CPhraseStore::SaveItem: no folder for a new phrase file");
        return false;
    }
    auto queued = [this](const CString& path) { return m_saves.IsPending(path); };
    if (!record.IsFolder()) {
        record.SetPath(MakeUniquePhrasePath(record.title, directory, true, true, true, queued));
        return true;
    }
    const CString path = MakeUniquePhrasePath(record.title, directory, false, true, false);
    if (!CreateDirectoryW(path, nullptr)) {
        WriteLogLine(L"ERROR: CPhraseStore::SaveItem: cannot create the folder " + path);
        return false;
    }
    record.SetPath(path);
    return true;
}

void CPhraseStore::FlushSaves()
{
    m_saves.Flush();
}

bool CPhraseStore::CollectStatistics(PhraseStatistics& out, const InsertedTextFunction& insertedText) const
{
    out = PhraseStatistics{};
    unsigned int highest = 0;
    const PhraseItemRecord* mostUsed = nullptr;
    long long totalUsage = 0;
    long long characters = 0;
    auto collect = [&](const PhraseItemRecord& record, const PhraseItemRecord*) {
        const unsigned int usage = record.usageCount;
        if (!record.IsFolder()) {
            totalUsage += usage;
        }
        if (usage > highest) {
            highest = usage;
            mostUsed = &record;
        }
        ++out.allItems;
        if (record.HasIncludedContent()) {
            ++out.includedItems;
        }
        if (record.IsFolder()) {
            ++out.folders;
            return true;
        }
        switch (record.dataType) {
        case MenuItemRecord::kTypeText:
            ++out.plainTextPhrases;
            break;
        case MenuItemRecord::kTypeRtf:
            ++out.richTextPhrases;
            break;
        case MenuItemRecord::kTypeExec:
            ++out.commandPhrases;
            break;
        default:
            break;
        }
        if (usage > 0) {
            const CString text = insertedText ? insertedText(record) : record.body;
            characters += static_cast<long long>(usage) * text.GetLength();
        }
        return true;
    };
    WalkList<const PhraseItemRecord>(m_items, nullptr, collect);
    out.highestUsageCount = ClampToInt(highest);
    out.totalUsage = ClampToInt(totalUsage);
    out.charactersInserted = ClampToInt(characters);
    if (mostUsed != nullptr) {
        out.mostUsedTitle = mostUsed->title;
    }
    return true;
}

int CPhraseStore::Walk(WalkCallback callback, void* context)
{
    if (callback == nullptr) {
        return 0;
    }
    auto visit = [callback, context](PhraseItemRecord& record, PhraseItemRecord* parent) {
        return callback(record, context, parent);
    };
    return WalkList<PhraseItemRecord>(m_items, nullptr, visit);
}
