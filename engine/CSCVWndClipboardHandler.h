#pragma once

// The hidden child window that owns the clipboard history. It registers with
// the clipboard spy and, on every clipboard change, captures the clipboard
// into an item with its parts, keeps it when the settings allow that kind,
// adds it to the history, tells its parent (WM_NOTIFY) and has the history
// saved. It loads the saved history when created, ignores the program's own
// clipboard use (the own-copy counter, raised by CAutoPulseMyCopy and by the
// copy start/end events; the clipboard sequence number the program's own
// change left, noted by BlockCaptureForAWhile and put-backs; a copy the
// program asked a target for), and offers the operations
// that menus and the floating pane run on history items.
//
// Readers outside (menus, the floating pane) reach the history through
// GetQueue() on the window's thread and learn of changes from the parent's
// WM_NOTIFY (code kClipboardHistoryChanged, reason in the record; code
// kClipboardHistoryLoaded once the load of the saved history has ended,
// merged or found empty).

#include <windows.h>

#include <memory>
#include <set>
#include <vector>
#include <string>

#include "common/AppListeners.h"
#include "common/KernelHandle.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardSpy.h"
#include "platform/CString.h"

// WM_NOTIFY codes to the parent; the record is ClipboardHistoryNotify.
inline constexpr UINT kClipboardHistoryChanged = 0xB00;
inline constexpr UINT kClipboardHistoryLoaded = 0xB01;
// Reasons of kClipboardHistoryChanged.
enum ClipboardHistoryChangeReason : int
{
    CHR_CAPTURE = 0,
    CHR_REMOVAL = 1,
    CHR_FIRST_CAPTURE = 2,
};

struct ClipboardHistoryNotify
{
    NMHDR header;
    int reason;
};

// The control id the tray window gives the watcher.
inline constexpr int kClipboardHistoryControlId = 1333;

// Private messages of the watcher window.
enum : UINT
{
    WM_CBH_SAVE = WM_APP + 1,
    WM_CBH_DELAY_UNLOCK = WM_APP + 2,
};

// The process-wide own-copy counter: while it is not zero, clipboard changes are
// not captured.
LONG GetMyCopyCounter();
void SetMyCopyCounter(LONG value);

// Marks an own clipboard write for its scope.
class CAutoPulseMyCopy
{
public:
    CAutoPulseMyCopy();
    ~CAutoPulseMyCopy();
    CAutoPulseMyCopy(const CAutoPulseMyCopy&) = delete;
    CAutoPulseMyCopy& operator=(const CAutoPulseMyCopy&) = delete;
};

class CSCVWndClipboardHandler : public IClipboardSpyObserver, public IAppEventListener
{
public:
    CSCVWndClipboardHandler();
    ~CSCVWndClipboardHandler() override;
    CSCVWndClipboardHandler(const CSCVWndClipboardHandler&) = delete;
    CSCVWndClipboardHandler& operator=(const CSCVWndClipboardHandler&) = delete;

    // The copy start/end events other code pulses around its clipboard use
    // (the watcher keeps its own duplicates). Set before the window is created.
    void SetCopyEvents(HANDLE startCopy, HANDLE endCopy);
    // The folder the history is saved to; the configured one until set.
    void SetHistoryFolder(const CString& folder) { m_queue.SetHistoryFolder(folder); }

    // 1 when the window's existence already matches; else creates the window
    // under `parent` or (null parent) destroys it, and returns whether that worked.
    int EnsureWindow(HWND parent, bool loadHistory, int controlId = kClipboardHistoryControlId);
    bool CreateWatcher(HWND parent, bool loadHistory, int controlId = kClipboardHistoryControlId);
    void DestroyWatcher() { EnsureWindow(nullptr, false); }
    bool IsWatcherWindow() const { return m_window && ::IsWindow(m_window); }
    HWND GetWindow() const { return m_window; }
    // GetLastError of a failed creation, and its log text.
    DWORD GetLastErrorCode() const { return m_lastError; }
    CString GetLastErrorText() const;
    // 0 not installed, 2 format listener, 3 viewer chain.
    int GetSpyState() const { return m_spyState; }

    // --- The history ---
    CCHQueue& GetQueue() { return m_queue; }
    const CCHQueue& GetQueue() const { return m_queue; }
    // 0 = newest; null out of range.
    CCHItem* GetItem(int index) const { return m_queue.GetItem(index); }
    int GetCount() const { return m_queue.GetCount(); }
    bool IsEmpty() const { return m_queue.IsEmpty(); }

    // Appends a separator (unless the menu ends with one) and at most `max`
    // items, ids firstId + index, the one equal to the clipboard's text checked
    // and default. Returns how many items were appended.
    int AppendHistoryToMenu(HMENU menu, int firstId, int max);
    // Deletes the ids and, when 5 or more items remain, every separator.
    void RemoveHistoryFromMenu(HMENU menu, int firstId, int lastId);

    // Puts item i on the clipboard in its own format; false for a bad index or
    // an item without data. An item put back is this program's own copy: it is
    // not captured again (its place and source stay).
    bool PutItemOnClipboard(int index);
    // Puts item i (or its first part with text) as Unicode text, an own copy too.
    bool PutItemAsPlainText(int index);
    // Text operations. Case: 1 when the text changed, else 0. Join: the number
    // of line breaks joined. Trim: the number of characters removed (blanks,
    // tabs, CR and LF at both ends).
    int ChangeItemCase(bool upper, int index);
    int JoinItemLines(int index);
    int TrimItem(int index);
    bool RemoveItems(const std::set<int>& indexes, bool makeUndo, bool force, const CString& text);
    bool ClearHistory();
    bool DoUndo();

    // Saves the history one second after the last call.
    void ScheduleSave();
    // The clipboard as the program's latest own change left it (a pasted
    // phrase, the user's content put back: COwnClipboardChange) is not
    // captured; any later change is. No time window: a copy another program
    // makes right afterwards enters the history.
    void BlockCaptureForAWhile();

    // Captures the clipboard as a new item (reason: ClipboardHistoryChangeReason).
    void OnClipboardChanged(int reason, HWND owner);

    // IClipboardSpyObserver
    void OnClipboardChanged(HWND& window, int value) override;
    void OnSpyStateChanged(int value) override;
    // IAppEventListener
    void OnAppEvent(int code, LPARAM value) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnCreate();
    void OnDestroy();
    bool InstallSpy();
    void StartCopyWaiters();
    void NotifyParent(UINT code, int reason);
    void OnItemSaved(const CCHItem& copy);
    void OnSaveEnded();
    void ResetSaveState();
    // Whether the worker of the save running now has ended (its event is set).
    bool IsRunningSaveDone() const;
    void OnHistoryLoaded(CCHQueue& loaded);
    // Drops from the loaded items those cleared or deleted while they were on
    // their way; true when protected ones must be written again.
    bool DropWhatWasRemovedMeanwhile(CCHQueue& loaded);
    bool ReadCurrentClipboard(CCHItem& item);
    int AddPartsFromClipboard(CCHItem& item, int mainType);
    void MarkForSaving(CCHItem& item);
    // After a text operation: a changed item (count > 0) is marked for saving. Returns the count.
    int FinishTextChange(CCHItem& item, int count);
    bool PutItemData(int index);
    void NoteOwnCopy();

    HWND m_window = nullptr;
    HWND m_parent = nullptr;
    int m_controlId = kClipboardHistoryControlId;
    int m_spyState = 0;
    DWORD m_lastError = 0;
    DWORD m_lastChangeTick = 0;
    bool m_loadOnCreate = false;
    // The saved history is on its way; what is cleared or deleted meanwhile.
    bool m_loadPending = false;
    bool m_clearedWhileLoading = false;
    std::vector<std::unique_ptr<CCHItem>> m_removedWhileLoading;
    bool m_saveRunning = false;
    bool m_savePending = false;
    // The clipboard sequence number right after this window put an item back.
    DWORD m_ownCopySequence = 0;
    // The clipboard sequence number of the last copy taken into the history: a second change
    // notice for the same clipboard (a restart's first look, a notice sent twice) takes nothing
    // again, so the saved files of that copy are not written over.
    DWORD m_capturedSequence = 0;
    CCHQueue m_queue;
    // Set by the worker of the save running now when it ends.
    CKernelHandle m_saveDone;
    CKernelHandle m_stopEvent;
    CKernelHandle m_startCopyEvent;
    CKernelHandle m_endCopyEvent;
};

// Whether the settings keep items of the type (ClipboardFormats0 to 4).
bool IsClipboardItemTypeKept(int type);
