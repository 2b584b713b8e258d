#include "engine/PhraseSaveQueue.h"

#include "engine/PhraseFile.h"
#include "engine/PhraseFileWriter.h"

#include "common/SharedLog.h"

#include <system_error>

namespace
{
// How often an update is made anew on a file that others keep changing before it gives up.
constexpr int kUpdateAttempts = 5;
constexpr int kReadAttempts = 10;
constexpr DWORD kReadRetryDelayMs = 30;

// The file's content now; a file another program holds open for writing is asked again for a moment.
bool ReadCurrentContent(const wchar_t* path, std::string& content)
{
    for (int attempt = 1;; ++attempt) {
        if (ReadPhraseFileBytes(path, content)) {
            return true;
        }
        if (attempt >= kReadAttempts || GetLastError() != ERROR_SHARING_VIOLATION) {
            return false;
        }
        Sleep(kReadRetryDelayMs);
    }
}
} // namespace

CPhraseSaveQueue::~CPhraseSaveQueue()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

bool CPhraseSaveQueue::Enqueue(const CString& path, std::string bytes)
{
    return Add(Job{std::wstring(path.GetString(), path.GetLength()), std::move(bytes), {}, {}});
}

bool CPhraseSaveQueue::EnqueueUpdate(const CString& path, std::string expected, std::string bytes,
                                     UpdateFunction update)
{
    if (!update) {
        return Enqueue(path, std::move(bytes));
    }
    return Add(Job{std::wstring(path.GetString(), path.GetLength()), std::move(bytes), std::move(expected),
                   std::move(update)});
}

bool CPhraseSaveQueue::Add(Job job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (StartWorker()) {
            for (Job& queued : m_jobs) {
                // A whole new content replaces what is queued; an update goes after it, in order.
                if (!job.update && SamePath(queued.path, job.path.c_str())) {
                    queued = std::move(job);
                    return true;
                }
            }
            m_jobs.push_back(std::move(job));
            m_wake.notify_one();
            return true;
        }
    }
    return WriteJob(job);
}

void CPhraseSaveQueue::Flush()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

bool CPhraseSaveQueue::IsPending(const CString& path) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_busy && SamePath(m_running, path)) {
        return true;
    }
    for (const Job& job : m_jobs) {
        if (SamePath(job.path, path)) {
            return true;
        }
    }
    return false;
}

bool CPhraseSaveQueue::StartWorker()
{
    if (m_worker.joinable()) {
        return true;
    }
    try {
        m_worker = std::thread(&CPhraseSaveQueue::Run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CPhraseSaveQueue::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty()) {
            return; // stopping, and nothing left to write
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_running = job.path;
        m_busy = true;
        lock.unlock();
        WriteJob(job);
        lock.lock();
        m_busy = false;
        m_running.clear();
        if (m_jobs.empty()) {
            m_idle.notify_all();
        }
    }
}

bool CPhraseSaveQueue::WriteJob(const Job& job)
{
    if (job.update ? WriteUpdate(job) : WritePhraseFileBytes(job.path.c_str(), job.bytes)) {
        return true;
    }
    const DWORD error = GetLastError();
    LogPhraseFileWriteError(error);
    if (m_onFailure) {
        m_onFailure(CString(job.path.c_str()), error);
    }
    return false;
}

bool CPhraseSaveQueue::WriteUpdate(const Job& job)
{
    const wchar_t* path = job.path.c_str();
    std::string expected = job.expected;
    std::string bytes = job.bytes;
    for (int attempt = 1;; ++attempt) {
        bool changed = false;
        if (WritePhraseFileBytesIfUnchanged(path, bytes, expected, changed)) {
            return true;
        }
        if (!changed || attempt >= kUpdateAttempts) {
            return false;
        }
        // Written by someone else meanwhile: the change goes onto what is there now.
        if (!ReadCurrentContent(path, expected)) {
            return false;
        }
        bytes = job.update(expected);
        if (bytes.empty()) {
            WriteLogLine(CString(L"CPhraseSaveQueue: the file no longer takes the change: ") + path);
            SetLastError(ERROR_INVALID_DATA);
            return false;
        }
    }
}

bool CPhraseSaveQueue::SamePath(const std::wstring& a, const wchar_t* b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}
