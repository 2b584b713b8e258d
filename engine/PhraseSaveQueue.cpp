#include "engine/PhraseSaveQueue.h"

#include "engine/PhraseFileWriter.h"

#include <system_error>

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
    Job job{std::wstring(path.GetString(), path.GetLength()), std::move(bytes)};
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (StartWorker()) {
            for (Job& queued : m_jobs) {
                if (SamePath(queued.path, job.path.c_str())) {
                    queued.bytes = std::move(job.bytes);
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
    if (WritePhraseFileBytes(job.path.c_str(), job.bytes)) {
        return true;
    }
    const DWORD error = GetLastError();
    LogPhraseFileWriteError(error);
    if (m_onFailure) {
        m_onFailure(CString(job.path.c_str()), error);
    }
    return false;
}

bool CPhraseSaveQueue::SamePath(const std::wstring& a, const wchar_t* b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b, -1, TRUE) == CSTR_EQUAL;
}
