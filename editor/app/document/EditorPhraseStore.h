#pragma once
// The editor's phrase library: the engine's phrase store with everything that editing needs on top
// of it: new phrases and groups, titles kept in step with file names, moving and copying on disk and
// in memory, deleting to the recycle bin and storing a new order as SortID values. Every change that
// must reach disk is saved at once, item by item, through the store's ordered save worker; a write
// that fails is reported back (SetSaveFailureNotify, TakeFailedSaves, SaveItemAndWait).
//
// A phrase's file is never written over blindly: the store remembers each phrase's fields as it last
// read or wrote them, and a save compares the file as it is now with them. What another program wrote
// meanwhile (uses counted by the main program, a new text) is carried over into the record and the file
// wherever the editor did not change that field; a text changed on both sides goes to the body
// conflict handler (keep the editor's or take the file's). A file written again between that look and
// the write is merged the same way on the save worker; a text changed on both sides then fails the
// write (ERROR_INVALID_DATA), so that the next save asks.
//
// Ids are ints; -1 names the root. User-interface thread only (the save worker never touches the
// tree: it writes finished file contents).

#include "editor/app/document/PhraseFileMerge.h"
#include "engine/PhraseStore.h"
#include "platform/CString.h"

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class CEditorPhraseStore : public CPhraseStore
{
public:
    using RecordList = std::vector<PhraseItemRecord>;
    using WalkFunction = int (*)(PhraseItemRecord& record, void* user);

    // FlagsMenu bit the editor sets on every change of the title or the separators.
    static constexpr int kChangedMark = 0x4;

    explicit CEditorPhraseStore(const CString& folder = CString());
    ~CEditorPhraseStore() override;

    // Loads the folder (empty: the store's folder again). The folder becomes the root of everything the
    // store writes even when it does not exist: the tree is then empty and nothing is written into
    // another folder.
    void Load(const CString& folder = CString());
    // The folder the tree shows; empty before a load.
    const CString& GetRootFolder() const { return m_root; }

    // Tree queries.
    PhraseItemRecord* FindParent(int id) { return FindParentFolder(id); }
    int GetParentId(int id);
    // True when walking the parents of `id` upwards reaches `groupId` (-1 being the root).
    bool IsInside(int id, int groupId);
    // The first record whose path equals `path` without regard to case; null for an empty path.
    PhraseItemRecord* FindItemByPath(const CString& path);
    // The list holding the item (the top-level list for -1 and top-level items); null for no item.
    RecordList* GetContainingList(int id);
    // -1: the top-level list; a group: its children; a phrase or no item: null.
    RecordList* GetChildList(int groupId);
    // -1: the store's folder; else the item's path (empty for no item).
    CString GetFolderPath(int groupId);
    static bool IsIncluded(const PhraseItemRecord& item) { return item.HasIncludedContent(); }
    void CountItems(int* included, int* all) const { GetPhraseCounts(included, all); }
    // Depth-first, each item before its children; a zero result stops the current list. The number
    // of calls.
    int WalkItems(WalkFunction fn, void* user);

    // Loads the folder again and gives the id the item with `path` has now (-1 when it is gone):
    // ids are given anew by every load.
    int ReloadKeeping(const CString& path, const CString& folder = CString());

    // Tree changes.
    // A new phrase in the group (or at the top for -1), saved at once under a file name made from
    // its title. The new id, or -1 when the parent is no group.
    int AddPhrase(const CString& menuName, const CString& body, int kind, int parentId);
    // A group record for the folder (its FOLDER_SELF file read when there is one, the title the
    // folder's name), appended to `list` (the top-level list when null); the folder is created when
    // missing. The new id, or -1 when the folder could not be created (nothing is added then).
    int AddFolder(const CString& path, RecordList* list = nullptr);
    // Reads one phrase file into a new record of `list`; the new id, or -1 when it does not read.
    int LoadPhraseFile(const CString& path, RecordList& list);

    // Sets the normalised title (one line, at most 120 characters), renames a phrase's file to match
    // ("stem.scrivolanter", else "stem_1.scrivolanter" ...) and sets the changed mark. An unchanged
    // title changes nothing. False for no item.
    bool SetTitle(int id, const CString& text);
    // Renames a phrase's file, inside its own folder, to the unique name its title gives; a name that
    // already fits is kept. False for no item, no file or a failed rename (the record is unchanged).
    bool RenameFileToTitle(int id);
    // A group whose folder exists is renamed on disk when the new folder does not; the path is stored.
    bool SetPath(int id, const CString& path);
    // A group: the old folder path is replaced by the new one at the start of every path below it,
    // then SetPath. A phrase: SetPath.
    bool MoveFolderTo(const CString& newPath, int id);
    // True when the value changed (the changed mark is then set too).
    bool SetSeparatorBefore(int id, bool on);
    bool SetSeparatorAfter(int id, bool on);
    void SetChangedMark(int id, bool on);
    // A phrase takes the flag; a group passes it to every phrase below it, and each phrase whose
    // flag changed is saved. True when any flag changed.
    bool SetIncluded(int id, bool on);
    bool SetDisabledIsNoHasSelection(int id, bool on);
    bool SetUseTitleOnly(int id, bool on);
    bool SetDateUsage(int id, const SYSTEMTIME& date);
    // Copies the date of the last use out; false when the item is unknown or was never used.
    bool GetDateUsage(int id, SYSTEMTIME& out);

    // Drag and drop; `move` false is a copy. A moved item keeps its id (`newId` is the dragged id); a
    // copy gets new ids.
    bool CanDrop(int targetId, int dragId, bool move);
    bool CopyItem(int targetId, int dragId, int* newId);
    bool MoveItem(int targetId, int dragId, int* newId);
    bool MoveItemToRoot(int dragId, int* newId) { return MoveItem(-1, dragId, newId); }

    // Sends the item's file or folder to the recycle bin (the shell asks the user when `confirm` is
    // set) and removes the record. False, with everything kept, when the shell refused or failed.
    bool DeleteItem(int id, HWND owner, bool confirm = true);

    // The ids of one list in their new order: each record whose SortID differs from its index takes
    // the index and is saved. Unknown ids are skipped; a parent that is no group does nothing.
    void ApplyOrder(const std::vector<int>& ids, int parentId);

    // Saving: a record without a path first gets a new file name from its title.
    bool SaveItem(int id);
    bool SaveItemAsync(PhraseItemRecord& item);
    // Asked when a phrase's text changed both here and in its file: true keeps the editor's text, false
    // takes the file's. Without a handler the editor's text is kept (logged).
    using BodyConflictFunction = std::function<bool(const PhraseItemRecord& item, const CString& fileBody)>;
    void SetBodyConflictHandler(BodyConflictFunction handler) { m_onBodyConflict = std::move(handler); }
    void SaveAll();
    // Saves the item and waits for the write: true only when its file was written. On failure `error`
    // (when given) takes the system's error code of the write.
    bool SaveItemAndWait(int id, DWORD* error = nullptr);
    // Posts `message` to `window` each time a queued write fails (from the save worker).
    void SetSaveFailureNotify(HWND window, UINT message);
    // The files whose writes failed since the last call.
    std::vector<CString> TakeFailedSaves();
    // One failed write: the file and the system's error code.
    struct SaveFailure
    {
        CString path;
        DWORD error;
    };
    std::vector<SaveFailure> TakeSaveFailures();

    // File names.
    static CString FileNameFromText(const CString& text, bool blanksToUnderscore);
    static CString FileNameFromTextStripped(const CString& text);
    static CString MakeUniqueName(const CString& name, const CString& folder, bool addExtension,
                                  bool blanksToUnderscore, bool testAsFile);
    static CString MakeUniquePhraseFileName(const CString& folder, const CString& stem);
    static CString GetFolderSelfFileName();
    static CString GetFolderSelfPath(const CString& folder);

    // One line: line breaks and tabs made blanks, blanks trimmed at both ends.
    static CString NormalizeMenuName(const CString& text);

private:
    int NextId();
    bool Transfer(int targetId, int dragId, bool move, int* newId);
    bool TransferOnDisk(const PhraseItemRecord& item, const CString& destination, bool move,
                        CString& newPath);
    void OnSaveFailed(const CString& path, DWORD error);
    // Takes the recorded failures of the item's file out of the list.
    std::vector<SaveFailure> TakeFailuresOf(int id);
    bool RenameToTitle(PhraseItemRecord& item);
    bool ChangeFlag(int id, int bit, bool on);
    bool IncludeBelow(PhraseItemRecord& group, int flag);
    // The phrase's fields as its file holds them now (a queued write of it lands first); false when
    // the file is gone or does not read.
    bool ReadFileNow(const PhraseItemRecord& item, std::string& bytes, PhraseFileFields& fields);
    bool SaveOverFile(PhraseItemRecord& item);
    // True once for a file whose last write failed since the store last looked.
    bool TakeUnwrittenPath(const CString& path);
    // The base of the next merge: the last write's fields once it landed, else what was confirmed before.
    const PhraseFileFields& SettleLastWrite(int id);
    void RememberAsOnDisk(const PhraseItemRecord& item);
    void RememberTree();

    CString m_root;
    // Each phrase's fields as the editor last read its file or last had it written (by id); the write
    // may still fail, and the file then holds what was there before it. `path` is the file the last
    // write went to: its failure is recorded under that name, even when the phrase's path changed since.
    struct OnDisk
    {
        PhraseFileFields confirmed;
        PhraseFileFields written;
        CString path;
    };
    std::unordered_map<int, OnDisk> m_onDisk;
    std::vector<CString> m_unwrittenPaths;
    BodyConflictFunction m_onBodyConflict;
    std::mutex m_failedMutex;
    std::vector<SaveFailure> m_failed;
    HWND m_notifyWindow = nullptr;
    UINT m_notifyMessage = 0;
};

// The editor's store, one per process (created on first use with `folder`, which later calls ignore).
CEditorPhraseStore& GetEditorPhraseStore(const CString& folder = CString());
