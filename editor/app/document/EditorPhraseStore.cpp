#include "editor/app/document/EditorPhraseStore.h"

#include "common/PathFunctions.h"
#include "common/SecurityInfo.h"
#include "common/SharedLog.h"
#include "engine/PhraseFile.h"
#include "engine/PhraseFileNames.h"

#include <shellapi.h>

#include <algorithm>

namespace
{

using RecordList = CEditorPhraseStore::RecordList;

bool SamePath(const CString& a, const CString& b)
{
    return a.CompareNoCase(b) == 0;
}

// The new path when `path` lies in `oldFolder` (or is it): the old folder replaced by the new one at
// its start only; else the path unchanged.
CString ReplaceFolderPrefix(const CString& path, const CString& oldFolder, const CString& newFolder)
{
    const CString oldBase = RemoveTrailingBackslashes(oldFolder);
    const int length = oldBase.GetLength();
    if (length == 0 || path.GetLength() < length || path.Left(length).CompareNoCase(oldBase) != 0) {
        return path;
    }
    if (path.GetLength() > length && path[length] != L'\\') {
        return path; // "C:\A\Bc" is not inside "C:\A\B"
    }
    return RemoveTrailingBackslashes(newFolder) + path.Mid(length);
}

void ReplacePathsBelow(PhraseItemRecord& group, const CString& oldFolder, const CString& newFolder)
{
    if (!group.IsFolder()) {
        return;
    }
    for (PhraseItemRecord& child : *group.children) {
        const CString replaced = ReplaceFolderPrefix(child.GetPath(), oldFolder, newFolder);
        if (replaced.Compare(child.GetPath()) != 0) {
            child.SetPathOnly(replaced);
        }
        ReplacePathsBelow(child, oldFolder, newFolder);
    }
}

int HighestId(const RecordList& items)
{
    int highest = 0;
    for (const PhraseItemRecord& record : items) {
        highest = std::max(highest, record.id);
        if (record.IsFolder()) {
            highest = std::max(highest, HighestId(*record.children));
        }
    }
    return highest;
}

void RenumberBelow(PhraseItemRecord& group, int& nextId)
{
    if (!group.IsFolder()) {
        return;
    }
    for (PhraseItemRecord& child : *group.children) {
        child.id = nextId++;
        RenumberBelow(child, nextId);
    }
}

void SortEditorOrder(RecordList& list)
{
    std::stable_sort(list.begin(), list.end(), PhraseComesBefore);
}

RecordList::iterator FindInList(RecordList& list, int id)
{
    return std::find_if(list.begin(), list.end(), [id](const PhraseItemRecord& r) { return r.id == id; });
}

// A double-NUL-terminated path for the shell's file operations.
std::wstring ShellPathList(const CString& path)
{
    std::wstring list(path.GetString(), path.GetLength());
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

bool RunShellFileOperation(UINT operation, const CString& from, const CString& to, FILEOP_FLAGS flags,
                           HWND owner)
{
    const std::wstring source = ShellPathList(from);
    const std::wstring target = ShellPathList(to);
    SHFILEOPSTRUCTW op{};
    op.hwnd = owner;
    op.wFunc = operation;
    op.pFrom = source.c_str();
    op.pTo = to.IsEmpty() ? nullptr : target.c_str();
    op.fFlags = flags;
    const int result = SHFileOperationW(&op);
    return result == 0 && !op.fAnyOperationsAborted;
}

CString StemOfPhraseFile(const CString& path)
{
    CString name = GetFileNameFromPath(path);
    const int extension = static_cast<int>(wcslen(kPhraseFileExtension));
    if (name.GetLength() >= extension && name.Right(extension).CompareNoCase(kPhraseFileExtension) == 0) {
        name.Truncate(name.GetLength() - extension);
    }
    return name;
}

} // namespace

CEditorPhraseStore::CEditorPhraseStore(const CString& folder) : CPhraseStore(folder)
{
    SetSaveFailureHandler([this](const CString& path, DWORD error) { OnSaveFailed(path, error); });
}

CEditorPhraseStore::~CEditorPhraseStore()
{
    FlushSaves();
}

int CEditorPhraseStore::GetParentId(int id)
{
    const PhraseItemRecord* parent = FindParentFolder(id);
    return parent != nullptr ? parent->id : -1;
}

bool CEditorPhraseStore::IsInside(int id, int groupId)
{
    if (FindItemById(id) == nullptr) {
        return false;
    }
    for (int current = GetParentId(id);; current = GetParentId(current)) {
        if (current == groupId) {
            return true;
        }
        if (current == -1) {
            return false;
        }
    }
}

PhraseItemRecord* CEditorPhraseStore::FindItemByPath(const CString& path)
{
    if (path.IsEmpty()) {
        return nullptr;
    }
    struct Search
    {
        const CString* path;
        PhraseItemRecord* found;
    } search{&path, nullptr};
    Walk(
        [](PhraseItemRecord& record, void* context, PhraseItemRecord*) {
            auto* s = static_cast<Search*>(context);
            if (s->found == nullptr && SamePath(record.GetPath(), *s->path)) {
                s->found = &record;
            }
            return s->found == nullptr;
        },
        &search);
    return search.found;
}

RecordList* CEditorPhraseStore::GetContainingList(int id)
{
    if (id == -1) {
        return &GetItems();
    }
    if (FindItemById(id) == nullptr) {
        return nullptr;
    }
    PhraseItemRecord* parent = FindParentFolder(id);
    return parent != nullptr ? parent->children.get() : &GetItems();
}

RecordList* CEditorPhraseStore::GetChildList(int groupId)
{
    if (groupId == -1) {
        return &GetItems();
    }
    PhraseItemRecord* group = FindItemById(groupId);
    return (group != nullptr && group->IsFolder()) ? group->children.get() : nullptr;
}

void CEditorPhraseStore::Load(const CString& folder)
{
    CPhraseStore::Load(folder);
    m_root = folder.IsEmpty() ? RemoveTrailingBackslashes(GetFolder()) : RemoveTrailingBackslashes(folder);
    RememberTree();
}

void CEditorPhraseStore::RememberAsOnDisk(const PhraseItemRecord& item)
{
    if (item.IsFolder())
        return;
    const PhraseFileFields fields = PhraseFileFields::Of(item);
    m_onDisk[item.id] = OnDisk{fields, fields, item.GetPath()};
}

void CEditorPhraseStore::RememberTree()
{
    m_onDisk.clear();
    Walk(
        [](PhraseItemRecord& record, void* context, PhraseItemRecord*) {
            static_cast<CEditorPhraseStore*>(context)->RememberAsOnDisk(record);
            return true;
        },
        this);
}

CString CEditorPhraseStore::GetFolderPath(int groupId)
{
    if (groupId == -1) {
        return m_root.IsEmpty() ? RemoveTrailingBackslashes(GetFolder()) : m_root;
    }
    const PhraseItemRecord* item = FindItemById(groupId);
    return item != nullptr ? item->GetPath() : CString();
}

int CEditorPhraseStore::WalkItems(WalkFunction fn, void* user)
{
    if (fn == nullptr) {
        return 0;
    }
    struct Call
    {
        WalkFunction fn;
        void* user;
    } call{fn, user};
    return Walk(
        [](PhraseItemRecord& record, void* context, PhraseItemRecord*) {
            return static_cast<Call*>(context)->fn(record, static_cast<Call*>(context)->user) != 0;
        },
        &call);
}

int CEditorPhraseStore::ReloadKeeping(const CString& path, const CString& folder)
{
    Load(folder);
    const PhraseItemRecord* item = FindItemByPath(path);
    return item != nullptr ? item->id : -1;
}

int CEditorPhraseStore::NextId()
{
    return HighestId(GetItems()) + 1;
}

CString CEditorPhraseStore::NormalizeMenuName(const CString& text)
{
    CString name = text;
    name.Replace(L"\r\n", L" ");
    for (int i = 0; i < name.GetLength(); ++i) {
        if (name[i] == L'\r' || name[i] == L'\n' || name[i] == L'\t') {
            name.SetAt(i, L' ');
        }
    }
    name.Trim();
    return name;
}

int CEditorPhraseStore::AddPhrase(const CString& menuName, const CString& body, int kind, int parentId)
{
    RecordList* list = GetChildList(parentId);
    if (list == nullptr || !FolderExists(GetFolderPath(parentId))) {
        return -1; // no group, or its folder is missing: the phrase could be written nowhere the tree shows
    }
    PhraseItemRecord record;
    record.body = body;
    record.SetTitle(NormalizeMenuName(menuName));
    record.dataType = kind;
    record.id = NextId();
    record.included = 1;
    list->push_back(std::move(record));
    const int id = list->back().id;
    SaveItem(id);
    return id;
}

int CEditorPhraseStore::AddFolder(const CString& path, RecordList* list)
{
    const CString folder = RemoveTrailingBackslashes(path);
    if (!FolderExists(folder)) {
        SECURITY_ATTRIBUTES security{};
        const BOOL created =
            CreateDirectoryW(folder, CreateOpenSecurityAttributes(&security) ? &security : nullptr);
        const DWORD error = GetLastError();
        if (!created) {
            CString line;
            line.Format(L"ERROR: cannot create the folder %s (code %lu)", folder.GetString(), error);
            WriteLogLine(line);
            return -1;
        }
    }
    PhraseItemRecord record;
    const CString selfPath = GetFolderSelfPath(folder);
    if (FileExists(selfPath)) {
        ReadPhraseFile(record, selfPath);
    }
    record.SetTitle(GetFileNameFromPath(folder));
    record.id = NextId();
    record.SetPathOnly(folder);
    record.MakeFolder();
    RecordList& target = list != nullptr ? *list : GetItems();
    target.push_back(std::move(record));
    const int id = target.back().id;
    Sort(0, false);
    return id;
}

int CEditorPhraseStore::LoadPhraseFile(const CString& path, RecordList& list)
{
    PhraseItemRecord record;
    if (!ReadPhraseFile(record, path)) {
        return -1;
    }
    record.id = NextId();
    record.SetPathOnly(path);
    list.push_back(std::move(record));
    RememberAsOnDisk(list.back());
    return list.back().id;
}

bool CEditorPhraseStore::SetTitle(int id, const CString& text)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr) {
        return false;
    }
    CString title = NormalizeMenuName(text);
    title.Truncate(std::min(title.GetLength(), PhraseItemRecord::kMaxTitleLength));
    if (title.Compare(item->title) == 0) {
        return true;
    }
    item->SetTitle(title);
    if (!item->IsFolder()) {
        RenameToTitle(*item);
    }
    item->flagsMenu |= kChangedMark;
    return true;
}

bool CEditorPhraseStore::RenameFileToTitle(int id)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr || item->IsFolder() || item->GetPath().IsEmpty()) {
        return false;
    }
    // A name that is already the title's name, or the numbered one it got beside a taken name, fits.
    const CString oldPath = item->GetPath();
    const CString folder = AddTrailingBackslash(GetFolderFromPath(oldPath, true));
    const CString base = folder + MakePhraseFileName(item->title, 1, false, true, folder.GetLength());
    for (int number = 0;; ++number) {
        CString candidate = base;
        if (number > 0) {
            candidate.AppendFormat(L"_%d", number);
        }
        candidate += kPhraseFileExtension;
        if (SamePath(candidate, oldPath)) {
            return true;
        }
        if (!FileExists(candidate)) {
            break;
        }
    }
    return RenameToTitle(*item);
}

// Keeps a phrase's file name in step with its title; the title stays when the file cannot move.
bool CEditorPhraseStore::RenameToTitle(PhraseItemRecord& item)
{
    const CString oldPath = item.GetPath();
    if (oldPath.IsEmpty() || !FileExists(oldPath)) {
        return false;
    }
    const CString folder = GetFolderFromPath(oldPath, true);
    const CString stem =
        MakePhraseFileName(item.title, 1, false, true, AddTrailingBackslash(folder).GetLength());
    if (SamePath(AddTrailingBackslash(folder) + stem + kPhraseFileExtension, oldPath)) {
        return true; // the name already fits
    }
    const CString target = MakeUniquePhraseFileName(folder, stem);
    if (FileExists(target)) {
        return false;
    }
    FlushSaves(); // a queued write of the old name must land before the file moves
    if (!MoveFileW(oldPath, target)) {
        CString line;
        line.Format(L"ERROR: cannot rename %s to %s (code %lu)", oldPath.GetString(), target.GetString(),
                    GetLastError());
        WriteLogLine(line);
        return false;
    }
    item.SetPathOnly(target);
    return true;
}

bool CEditorPhraseStore::SetPath(int id, const CString& path)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr) {
        return false;
    }
    FlushSaves();
    item->SetPath(path);
    return true;
}

bool CEditorPhraseStore::MoveFolderTo(const CString& newPath, int id)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr) {
        return false;
    }
    if (item->IsFolder()) {
        ReplacePathsBelow(*item, item->GetPath(), newPath);
    }
    return SetPath(id, newPath);
}

bool CEditorPhraseStore::ChangeFlag(int id, int bit, bool on)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr) {
        return false;
    }
    const int value = on ? (item->flagsMenu | bit) : (item->flagsMenu & ~bit);
    if (value == item->flagsMenu) {
        return false;
    }
    item->flagsMenu = value | kChangedMark;
    return true;
}

bool CEditorPhraseStore::SetSeparatorBefore(int id, bool on)
{
    return ChangeFlag(id, PhraseItemRecord::kSeparatorBefore, on);
}

bool CEditorPhraseStore::SetSeparatorAfter(int id, bool on)
{
    return ChangeFlag(id, PhraseItemRecord::kSeparatorAfter, on);
}

void CEditorPhraseStore::SetChangedMark(int id, bool on)
{
    if (PhraseItemRecord* item = FindItemById(id)) {
        item->flagsMenu = on ? (item->flagsMenu | kChangedMark) : (item->flagsMenu & ~kChangedMark);
    }
}

bool CEditorPhraseStore::SetIncluded(int id, bool on)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr) {
        return false;
    }
    if (!item->IsFolder()) {
        return item->SetIncluded(on ? 1 : 0);
    }
    return IncludeBelow(*item, on ? 1 : 0);
}

// Passes the flag to every phrase below the group; each phrase whose flag changed is saved.
bool CEditorPhraseStore::IncludeBelow(PhraseItemRecord& group, int flag)
{
    bool changed = false;
    for (PhraseItemRecord& child : *group.children) {
        if (child.IsFolder()) {
            changed = IncludeBelow(child, flag) || changed;
        } else if (child.SetIncluded(flag)) {
            changed = true;
            SaveItemAsync(child);
        }
    }
    return changed;
}

bool CEditorPhraseStore::SetDisabledIsNoHasSelection(int id, bool on)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr) {
        return false;
    }
    item->disabledIsNoHasSelection = on ? 1 : 0;
    return true;
}

bool CEditorPhraseStore::SetUseTitleOnly(int id, bool on)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr) {
        return false;
    }
    item->useTitleOnly = on ? 1 : 0;
    return true;
}

bool CEditorPhraseStore::SetDateUsage(int id, const SYSTEMTIME& date)
{
    PhraseItemRecord* item = FindItemById(id);
    return item != nullptr && item->SetUsageDate(date);
}

bool CEditorPhraseStore::GetDateUsage(int id, SYSTEMTIME& out)
{
    const PhraseItemRecord* item = FindItemById(id);
    return item != nullptr && item->GetUsageDate(out);
}

bool CEditorPhraseStore::CanDrop(int targetId, int dragId, bool move)
{
    if (dragId < 0 || dragId == targetId || FindItemById(dragId) == nullptr) {
        return false;
    }
    if (targetId != -1) {
        const PhraseItemRecord* target = FindItemById(targetId);
        if (target == nullptr || !target->IsFolder()) {
            return false;
        }
    }
    if (move && GetParentId(dragId) == targetId) {
        return false;
    }
    return targetId == -1 || !IsInside(targetId, dragId);
}

bool CEditorPhraseStore::CopyItem(int targetId, int dragId, int* newId)
{
    return Transfer(targetId, dragId, false, newId);
}

bool CEditorPhraseStore::MoveItem(int targetId, int dragId, int* newId)
{
    return Transfer(targetId, dragId, true, newId);
}

bool CEditorPhraseStore::TransferOnDisk(const PhraseItemRecord& item, const CString& destination, bool move,
                                        CString& newPath)
{
    const CString oldPath = item.GetPath();
    if (!item.IsFolder()) {
        newPath = MakeUniqueName(StemOfPhraseFile(oldPath), destination, true, true, true);
        return move ? MoveFileW(oldPath, newPath) != FALSE : CopyFileW(oldPath, newPath, TRUE) != FALSE;
    }
    newPath = MakeUniqueName(GetFileNameFromPath(oldPath), destination, false, false, false);
    if (move) {
        return MoveFileW(oldPath, newPath) != FALSE;
    }
    const FILEOP_FLAGS flags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT | FOF_NOERRORUI;
    return RunShellFileOperation(FO_COPY, oldPath, newPath, flags, nullptr) && FolderExists(newPath);
}

bool CEditorPhraseStore::Transfer(int targetId, int dragId, bool move, int* newId)
{
    if (!CanDrop(targetId, dragId, move)) {
        return false;
    }
    FlushSaves();
    PhraseItemRecord* dragged = FindItemById(dragId);
    const CString destination = GetFolderPath(targetId);
    const CString oldPath = dragged->GetPath();
    CString newPath;
    if (oldPath.IsEmpty() || !TransferOnDisk(*dragged, destination, move, newPath)) {
        CString line;
        line.Format(L"ERROR: cannot %s %s to %s (code %lu)", move ? L"move" : L"copy", oldPath.GetString(),
                    destination.GetString(), GetLastError());
        WriteLogLine(line);
        return false;
    }

    // A moved record keeps its id (and so do the records below it): the document and the text view
    // may hold it, and their pending edit must still find the phrase at its new place.
    const int id = move ? dragId : NextId();
    PhraseItemRecord record = move ? std::move(*dragged) : PhraseItemRecord(*dragged);
    record.SetPathOnly(newPath);
    record.id = id;
    if (!move) {
        record.usageCount = 0;
        int nextId = id + 1;
        RenumberBelow(record, nextId);
    }
    ReplacePathsBelow(record, oldPath, newPath);
    if (move) {
        RecordList* source = GetContainingList(dragId);
        source->erase(FindInList(*source, dragId));
    }
    RecordList* target = GetChildList(targetId);
    target->push_back(std::move(record));
    SortEditorOrder(*target);
    if (!move) {
        SaveItem(id); // the copy's file carries its own usage count
    }
    if (newId != nullptr) {
        *newId = id;
    }
    return true;
}

bool CEditorPhraseStore::DeleteItem(int id, HWND owner, bool confirm)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr) {
        return false;
    }
    FlushSaves();
    const CString path = item->GetPath();
    if (!path.IsEmpty()) {
        FILEOP_FLAGS flags = FOF_ALLOWUNDO;
        if (!confirm) {
            flags |= FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        }
        if (!RunShellFileOperation(FO_DELETE, path, CString(), flags, owner) || FileExists(path) ||
            FolderExists(path)) {
            WriteLogLine(L"ERROR: cannot delete " + path);
            return false;
        }
    }
    RecordList* list = GetContainingList(id);
    list->erase(FindInList(*list, id));
    m_onDisk.erase(id);
    return true;
}

void CEditorPhraseStore::ApplyOrder(const std::vector<int>& ids, int parentId)
{
    RecordList* list = GetChildList(parentId);
    if (list == nullptr) {
        return;
    }
    for (size_t index = 0; index < ids.size(); ++index) {
        auto found = FindInList(*list, ids[index]);
        if (found == list->end() || static_cast<size_t>(static_cast<unsigned int>(found->sortId)) == index) {
            continue;
        }
        found->sortId = static_cast<int>(index);
        SaveItemAsync(*found);
    }
}

bool CEditorPhraseStore::SaveItem(int id)
{
    PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr) {
        return false;
    }
    if (item->GetPath().IsEmpty() && !item->IsFolder()) {
        const PhraseItemRecord* parent = FindParentFolder(id);
        const CString folder = parent != nullptr ? parent->GetPath() : GetFolderPath(-1);
        if (folder.IsEmpty() || !FolderExists(folder)) {
            return false;
        }
        item->SetPathOnly(MakeUniqueName(item->title, folder, true, true, true));
    }
    return SaveItemAsync(*item);
}

bool CEditorPhraseStore::SaveItemAsync(PhraseItemRecord& item)
{
    if (!item.IsFolder() && !item.GetPath().IsEmpty() && m_onDisk.count(item.id) != 0)
        return SaveOverFile(item);
    const bool queued = CPhraseStore::SaveItem(item);
    if (queued)
        RememberAsOnDisk(item);
    return queued;
}

bool CEditorPhraseStore::ReadFileNow(const PhraseItemRecord& item, std::string& bytes,
                                     PhraseFileFields& fields)
{
    const CString& path = item.GetPath();
    if (IsSavePending(path))
        FlushSaves(); // our own queued write is what the file holds next
    if (!FileExists(path) || !ReadPhraseFileBytes(path, bytes))
        return false;
    PhraseItemRecord onDisk;
    if (!ParsePhraseDocument(onDisk, bytes.c_str()))
        return false;
    fields = PhraseFileFields::Of(onDisk);
    return true;
}

bool CEditorPhraseStore::TakeUnwrittenPath(const CString& path)
{
    std::lock_guard<std::mutex> lock(m_failedMutex);
    const auto found = std::find_if(m_unwrittenPaths.begin(), m_unwrittenPaths.end(),
                                    [&path](const CString& p) { return SamePath(p, path); });
    if (found == m_unwrittenPaths.end())
        return false;
    m_unwrittenPaths.erase(found);
    return true;
}

const PhraseFileFields& CEditorPhraseStore::SettleLastWrite(int id)
{
    OnDisk& disk = m_onDisk[id];
    if (IsSavePending(disk.path))
        FlushSaves(); // the last write's outcome decides the base
    // A write that failed left its file as it was before it: what the editor changed then is still to
    // be carried into the file.
    if (!TakeUnwrittenPath(disk.path))
        disk.confirmed = disk.written;
    return disk.confirmed;
}

bool CEditorPhraseStore::SaveOverFile(PhraseItemRecord& item)
{
    std::string current;
    PhraseFileFields theirs;
    const bool read = ReadFileNow(item, current, theirs);
    const int id = item.id;
    const PhraseFileFields base = SettleLastWrite(id);
    if (!read) {
        const bool queued = CPhraseStore::SaveItem(item); // nothing to carry over: the file is written anew
        if (queued)
            m_onDisk[id] = OnDisk{base, PhraseFileFields::Of(item), item.GetPath()};
        return queued;
    }
    const PhraseFileFields mine = PhraseFileFields::Of(item);
    bool keepMine = true;
    if (BodyChangedOnBothSides(base, mine, theirs)) {
        WriteLogLine(L"CEditorPhraseStore: the text changed here and in the file: " + item.GetPath());
        if (m_onBodyConflict)
            keepMine = m_onBodyConflict(item, theirs.body);
    }
    const PhraseFileFields merged = MergePhraseFields(base, mine, theirs, keepMine);
    merged.ApplyTo(item);
    const std::string bytes = BuildPhraseXml(item);
    if (bytes.empty()) {
        WriteLogLine(L"ERROR: cannot create XML for command");
        return false;
    }
    m_onDisk[id] = OnDisk{base, merged, item.GetPath()};
    // Written again since the look above: the same carrying over onto that content; a text changed
    // on both sides again fails the write, and the next save asks.
    auto update = [theirs, merged](const std::string& now) {
        PhraseItemRecord record;
        if (!ParsePhraseDocument(record, now.c_str()))
            return std::string();
        const PhraseFileFields newer = PhraseFileFields::Of(record);
        if (BodyChangedOnBothSides(theirs, merged, newer))
            return std::string();
        MergePhraseFields(theirs, merged, newer, true).ApplyTo(record);
        return BuildPhraseXml(record);
    };
    return SaveOver(item.GetPath(), std::move(current), bytes, update);
}

void CEditorPhraseStore::SaveAll()
{
    Walk(
        [](PhraseItemRecord& record, void* context, PhraseItemRecord*) {
            static_cast<CEditorPhraseStore*>(context)->SaveItemAsync(record);
            return true;
        },
        this);
}

bool CEditorPhraseStore::SaveItemAndWait(int id, DWORD* error)
{
    DWORD ignored = 0;
    DWORD& code = error != nullptr ? *error : ignored;
    code = ERROR_PATH_NOT_FOUND; // no file name could be made: no folder to write into
    // Writes of this file that failed before are overtaken by this one.
    FlushSaves();
    TakeFailuresOf(id);
    if (!SaveItem(id)) {
        return false;
    }
    FlushSaves();
    // This write's failures are answered here; those of other files stay for the failure notice.
    const std::vector<SaveFailure> ours = TakeFailuresOf(id);
    code = ours.empty() ? ERROR_SUCCESS : ours.back().error;
    return ours.empty();
}

std::vector<CEditorPhraseStore::SaveFailure> CEditorPhraseStore::TakeFailuresOf(int id)
{
    const PhraseItemRecord* item = FindItemById(id);
    if (item == nullptr || item->GetPath().IsEmpty()) {
        return {};
    }
    const CString written = item->IsFolder() ? GetFolderSelfPath(item->GetPath()) : item->GetPath();
    std::lock_guard<std::mutex> lock(m_failedMutex);
    const auto ours =
        std::stable_partition(m_failed.begin(), m_failed.end(),
                              [&written](const SaveFailure& f) { return !SamePath(f.path, written); });
    std::vector<SaveFailure> taken(ours, m_failed.end());
    m_failed.erase(ours, m_failed.end());
    return taken;
}

void CEditorPhraseStore::SetSaveFailureNotify(HWND window, UINT message)
{
    std::lock_guard<std::mutex> lock(m_failedMutex);
    m_notifyWindow = window;
    m_notifyMessage = message;
}

std::vector<CEditorPhraseStore::SaveFailure> CEditorPhraseStore::TakeSaveFailures()
{
    std::lock_guard<std::mutex> lock(m_failedMutex);
    std::vector<SaveFailure> failed;
    failed.swap(m_failed);
    return failed;
}

std::vector<CString> CEditorPhraseStore::TakeFailedSaves()
{
    std::vector<CString> paths;
    for (const SaveFailure& failure : TakeSaveFailures()) {
        paths.push_back(failure.path);
    }
    return paths;
}

void CEditorPhraseStore::OnSaveFailed(const CString& path, DWORD error)
{
    std::lock_guard<std::mutex> lock(m_failedMutex);
    m_failed.push_back({path, error});
    m_unwrittenPaths.push_back(path);
    if (m_notifyWindow != nullptr && m_notifyMessage != 0) {
        PostMessageW(m_notifyWindow, m_notifyMessage, 0, 0);
    }
}

CString CEditorPhraseStore::FileNameFromText(const CString& text, bool blanksToUnderscore)
{
    return SanitizeFileNamePart(text, blanksToUnderscore, L"_");
}

CString CEditorPhraseStore::FileNameFromTextStripped(const CString& text)
{
    return SanitizeFileNamePart(text, false, L"");
}

CString CEditorPhraseStore::MakeUniqueName(const CString& name, const CString& folder, bool addExtension,
                                           bool blanksToUnderscore, bool testAsFile)
{
    return MakeUniquePhrasePath(name, folder, addExtension, blanksToUnderscore, testAsFile);
}

CString CEditorPhraseStore::MakeUniquePhraseFileName(const CString& folder, const CString& stem)
{
    return MakeNumberedPhrasePath(folder, stem);
}

CString CEditorPhraseStore::GetFolderSelfFileName()
{
    return kFolderSelfFileName;
}

CString CEditorPhraseStore::GetFolderSelfPath(const CString& folder)
{
    return AddTrailingBackslash(folder) + kFolderSelfFileName;
}

CEditorPhraseStore& GetEditorPhraseStore(const CString& folder)
{
    static CEditorPhraseStore store(folder);
    return store;
}
