#include "engine/ClipboardHistoryWorkers.h"

#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "common/HandedOutAddresses.h"
#include "common/KernelHandle.h"
#include "common/Settings.h"
#include "common/SharedLog.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardHistoryFiles.h"

namespace
{
constexpr wchar_t kSaveLoadMutexName[] = L"Local\\Scrivolanter_SaveLoad_CH";

UINT RegisteredMessage(LPCWSTR name, UINT& cache)
{
    if (!cache)
        cache = ::RegisterWindowMessageW(name);
    return cache;
}

// Holds the save/load mutex for its life; an abandoned mutex (a process that
// died while saving) is taken over.
class CSaveLoadLock
{
public:
    CSaveLoadLock() : m_mutex(GetHistorySaveLoadMutex())
    {
        if (!m_mutex)
            return;
        const DWORD result = ::WaitForSingleObject(m_mutex, INFINITE);
        m_owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    }
    ~CSaveLoadLock()
    {
        if (m_owned)
            ::ReleaseMutex(m_mutex);
    }
    CSaveLoadLock(const CSaveLoadLock&) = delete;
    CSaveLoadLock& operator=(const CSaveLoadLock&) = delete;
    bool IsOwned() const { return m_owned; }

private:
    HANDLE m_mutex = nullptr;
    bool m_owned = false;
};

// Reports one saved copy; false when the window did not take the report (it is gone).
bool ReportSavedItem(HWND window, CCHItem& item)
{
    const CHandOverScope handOver(HandOverKind::HistoryItem, &item, sizeof(item));
    return ::SendMessageW(window, GetHistoryItemSavedMessage(), 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

// Only while the watcher window lives: its history learns of every file set
// written, so no item is written twice and no deleted item comes back. A
// watcher that went away (the session locked, say) keeps its items "not on
// disk" and saves them once it runs again.
void SaveItems(const CString& folder, CCHQueue& snapshot, HWND window)
{
    CSaveLoadLock lock;
    if (!lock.IsOwned())
        return;
    CHistoryFileNumbers numbers;
    for (int position = 0; position < snapshot.GetCount(); ++position) {
        if (!::IsWindow(window)) {
            WriteLogLine(L"Clipboard history: the watcher is gone, the rest of the save is left to its next start");
            return;
        }
        CCHItem* item = snapshot.GetItemAt(position);
        const bool newFileSet = item->GetDescriptorPath().IsEmpty();
        if (!SaveItem(*item, folder, &numbers) || ReportSavedItem(window, *item))
            continue;
        // Written, but no history knows of it: a new file set would be a second copy of the item.
        if (newFileSet)
            DeleteDescriptorAndFiles(item->GetDescriptorPath());
    }
}

void SaveWorker(CString folder, std::unique_ptr<CCHQueue> snapshot, HWND window, CKernelHandle done)
{
    try {
        SaveItems(folder, *snapshot, window);
    } catch (const std::exception&) {
        LogError(L"Clipboard history save ended early: out of memory or another failure");
    }
    // The end of this save, whatever happened: the event first (the window
    // takes the end only from the save it started), then wParam 1, no item.
    if (done)
        ::SetEvent(done.Get());
    ::PostMessageW(window, GetHistoryItemSavedMessage(), 1, 0);
}

// Hands the loaded queue over; also an empty one, so the window learns that
// the load has ended.
void LoadWorker(CString folder, HWND window)
{
    try {
        CCHQueue loaded;
        try {
            CSaveLoadLock lock;
            if (lock.IsOwned())
                LoadFolder(loaded, folder);
        } catch (const std::exception&) {
            LogError(L"Clipboard history load ended early: out of memory or another failure");
            loaded.TakeItems();
        }
        const CHandOverScope handOver(HandOverKind::HistoryQueue, &loaded, sizeof(loaded));
        ::SendMessageW(window, GetHistoryLoadedMessage(), 0, reinterpret_cast<LPARAM>(&loaded));
    } catch (const std::exception&) {
        LogError(L"Clipboard history load ended early: out of memory or another failure");
    }
}
} // namespace

UINT GetHistoryLoadedMessage()
{
    static UINT message = 0;
    return RegisteredMessage(L"{278BB95C-BECC-4945-9CDF-98E5CDC69FEF}", message);
}

UINT GetHistoryItemSavedMessage()
{
    static UINT message = 0;
    return RegisteredMessage(L"{F762C94C-9D69-4a96-B8FD-7F53F4157D13}", message);
}

HANDLE GetHistorySaveLoadMutex()
{
    static std::once_flag once;
    static HANDLE mutex = nullptr;
    std::call_once(once, [] {
        mutex = ::CreateMutexW(nullptr, FALSE, kSaveLoadMutexName);
        if (!mutex)
            LogError(L"Cannot create the clipboard history save/load mutex");
    });
    return mutex;
}

bool IsHistorySaveLoadBusy()
{
    HANDLE mutex = GetHistorySaveLoadMutex();
    if (!mutex)
        return false;
    const DWORD result = ::WaitForSingleObject(mutex, 0);
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED)
        return true;
    ::ReleaseMutex(mutex);
    return false;
}

bool StartSaveWorker(const CString& folder, std::unique_ptr<CCHQueue> snapshot, HWND window, HANDLE done)
{
    if (!snapshot || folder.IsEmpty())
        return false;
    try {
        std::thread(SaveWorker, folder, std::move(snapshot), window, DuplicateHandleInProcess(done)).detach();
    } catch (const std::system_error&) {
        LogError(L"Cannot start the clipboard history save worker");
        return false;
    }
    return true;
}

bool StartLoadThread(const CString& folder, HWND window)
{
    if (folder.IsEmpty())
        return false;
    try {
        std::thread(LoadWorker, folder, window).detach();
    } catch (const std::system_error&) {
        LogError(L"Cannot start the clipboard history load thread");
        return false;
    }
    return true;
}

int SaveHistory(const CCHQueue& queue, HWND window, HANDLE done)
{
    if (GetSettings().GetSaveClipboardHistory() == 0)
        return 0;
    if (queue.IsEmpty())
        return 1;
    const CString folder = EnsureClipboardHistoryFolder(queue.GetHistoryFolder());
    if (folder.IsEmpty())
        return 0;
    std::unique_ptr<CCHQueue> snapshot = queue.CloneNotOnDisk();
    if (!snapshot)
        return 1;
    return StartSaveWorker(folder, std::move(snapshot), window, done) ? 1 : 0;
}

bool LoadHistoryIfEnabled(const CString& folder, HWND window)
{
    if (GetSettings().GetSaveClipboardHistory() == 0)
        return false;
    return StartLoadThread(folder, window);
}
