#pragma once
// The ordered save worker of a phrase store: finished file contents are queued with their paths and
// written one after another on one thread, so a save never reads a record that the caller may
// change or free, and an older state of a file can never overwrite a newer one.

#include "platform/CString.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class CPhraseSaveQueue
{
public:
    // Told of every write that failed (the file and the error number), on the thread that wrote it.
    using FailureHandler = std::function<void(const CString& path, DWORD error)>;
    // The new content of a file made from its current content; empty when that content does not
    // take the change.
    using UpdateFunction = std::function<std::string(const std::string& current)>;

    CPhraseSaveQueue() = default;
    // Writes everything still queued, then ends the worker.
    ~CPhraseSaveQueue();
    CPhraseSaveQueue(const CPhraseSaveQueue&) = delete;
    CPhraseSaveQueue& operator=(const CPhraseSaveQueue&) = delete;

    // Queues the bytes as the new content of the file; a queued, not yet started write of the same
    // file is replaced by this newer one. When no worker thread can be started the file is written
    // at once and the result of that write is given; otherwise true.
    bool Enqueue(const CString& path, std::string bytes);
    // Queues a change of the file's content: `bytes` is `update` applied to `expected`, the content
    // the caller read. The file is replaced only while it still holds `expected`; when someone wrote
    // it since, its content is read again and `update` applied to that, a few times at most, so a
    // newer content is never overwritten by an older one. A later Enqueue of the same file replaces
    // a queued update as it replaces any queued write. Results as for Enqueue.
    bool EnqueueUpdate(const CString& path, std::string expected, std::string bytes, UpdateFunction update);
    // Returns when everything queued so far has been written (or has failed, which is logged).
    void Flush();
    // True while a write of that file is queued or running.
    bool IsPending(const CString& path) const;
    // Set before the first Enqueue.
    void SetFailureHandler(FailureHandler handler) { m_onFailure = std::move(handler); }

private:
    struct Job
    {
        std::wstring path;
        std::string bytes;
        // For an update only: the content `bytes` was made from, and how to make it anew.
        std::string expected;
        UpdateFunction update;
    };

    bool Add(Job job);
    bool StartWorker();
    void Run();
    bool WriteJob(const Job& job);
    static bool WriteUpdate(const Job& job);
    static bool SamePath(const std::wstring& a, const wchar_t* b);

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    std::wstring m_running;
    bool m_busy = false;
    bool m_stop = false;
    FailureHandler m_onFailure;
    std::thread m_worker;
};
