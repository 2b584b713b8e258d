#include "engine/PhraseTreeLoader.h"

#include "common/PathFunctions.h"
#include "common/SharedLog.h"
#include "engine/PhraseFile.h"

#include <condition_variable>
#include <cwchar>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace {

using RecordList = std::vector<PhraseItemRecord>;

struct FindCloser
{
    void operator()(HANDLE find) const noexcept { FindClose(find); }
};
using FindHandle = std::unique_ptr<void, FindCloser>;

struct FolderEntry
{
    CString name;
    bool isFolder;
    unsigned long long size;  // files: the size the listing gave
    size_t offset;            // files: where the content lies in the directory's buffer
};

// One directory: what the reading thread found, then what the parsing thread made of it.
struct DirectoryJob
{
    CString base;  // the directory with a trailing backslash
    std::vector<FolderEntry> entries;
    std::string contents;        // the listed files, each followed by a NUL
    std::vector<bool> readable;  // entry read as listed
    std::string folderSelf;      // the FOLDER_SELF file, when there is one and it could be read
    std::vector<size_t> subJobs; // the jobs of the sub-folders, in entry order (reading thread only)

    RecordList records;        // one per entry
    std::vector<bool> loaded;  // files: parsed into their record
    PhraseItemRecord self;     // the FOLDER_SELF file read into a fresh record
};

using JobList = std::vector<std::unique_ptr<DirectoryJob>>;

bool EqualsNoCase(const wchar_t* a, int lengthA, const wchar_t* b, int lengthB)
{
    return CompareStringOrdinal(a, lengthA, b, lengthB, TRUE) == CSTR_EQUAL;
}

bool HasPhraseExtension(const wchar_t* name)
{
    const int length = static_cast<int>(wcslen(name));
    const int extensionLength = static_cast<int>(wcslen(kPhraseFileExtension));
    return length >= extensionLength &&
           EqualsNoCase(name + length - extensionLength, extensionLength, kPhraseFileExtension, extensionLength);
}

unsigned long long ListedSize(const WIN32_FIND_DATAW& found)
{
    return (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// The sub-directories and phrase files of a directory, in the order the system lists them; tells
// whether it holds a FOLDER_SELF file. Linked directories are left out, so a link to a parent
// cannot make the scan endless.
bool ListFolder(DirectoryJob& job, bool& hasFolderSelf)
{
    WIN32_FIND_DATAW found{};
    const HANDLE first = FindFirstFileExW(job.base + L"*.*", FindExInfoBasic, &found, FindExSearchNameMatch,
                                          nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE) {
        return false;
    }
    const FindHandle find(first);
    job.entries.reserve(64);
    do {
        const wchar_t* name = found.cFileName;
        if (wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0) {
            continue;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                WriteLogLine(L"CPhraseStore: linked folder not followed: " + job.base + name);
                continue;
            }
            job.entries.push_back({name, true, 0, 0});
        } else if (EqualsNoCase(name, -1, kFolderSelfFileName, -1)) {
            hasFolderSelf = true;
        } else if (HasPhraseExtension(name)) {
            job.entries.push_back({name, false, ListedSize(found), 0});
        }
    } while (FindNextFileW(find.get(), &found));
    return true;
}

// Reads the listed files into one buffer, sized and zero-filled before the first read, so memory
// is not taken piece by piece between the reads.
void ReadListedFiles(DirectoryJob& job)
{
    size_t total = 0;
    for (FolderEntry& entry : job.entries) {
        if (!entry.isFolder && entry.size > 0 && entry.size <= kMaxPhraseFileSize) {
            entry.offset = total;
            total += static_cast<size_t>(entry.size) + 1;
        }
    }
    job.contents.assign(total, '\0');
    job.readable.assign(job.entries.size(), false);
    for (size_t i = 0; i < job.entries.size(); ++i) {
        const FolderEntry& entry = job.entries[i];
        if (!entry.isFolder) {
            job.readable[i] = ReadPhraseFileExactly(job.base + entry.name, job.contents.data() + entry.offset,
                                                    static_cast<size_t>(entry.size));
        }
    }
}

void ParseJob(DirectoryJob& job)
{
    job.records.resize(job.entries.size());
    job.loaded.assign(job.entries.size(), false);
    for (size_t i = 0; i < job.entries.size(); ++i) {
        const FolderEntry& entry = job.entries[i];
        if (entry.isFolder) {
            continue;
        }
        // A file that changed since it was listed is read again on its own; one above the size
        // limit was logged and stays out.
        if (job.readable[i]) {
            job.loaded[i] = ParsePhraseDocument(job.records[i], job.contents.data() + entry.offset);
        } else if (entry.size <= kMaxPhraseFileSize) {
            job.loaded[i] = ReadPhraseFile(job.records[i], job.base + entry.name);
        }
    }
    if (!job.folderSelf.empty()) {
        ParsePhraseDocument(job.self, job.folderSelf.c_str());  // a failure keeps what was read
    }
    std::string().swap(job.contents);
    std::string().swap(job.folderSelf);
}

// Parses the jobs in the order they are handed over, on a thread of its own (or at once, on the
// caller's thread, when no thread can be started).
class CParseWorker
{
public:
    CParseWorker()
    {
        try {
            m_thread = std::thread(&CParseWorker::Run, this);
        } catch (const std::system_error&) {
        }
    }
    ~CParseWorker() { Finish(); }
    CParseWorker(const CParseWorker&) = delete;
    CParseWorker& operator=(const CParseWorker&) = delete;

    void Add(DirectoryJob& job)
    {
        if (!m_thread.joinable()) {
            ParseJob(job);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_jobs.push_back(&job);
        }
        m_wake.notify_one();
    }

    // Returns when every job handed over is parsed; no job may be added afterwards.
    void Finish()
    {
        if (!m_thread.joinable()) {
            return;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

private:
    void Run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_done || !m_jobs.empty(); });
            if (m_jobs.empty()) {
                return;
            }
            DirectoryJob* job = m_jobs.front();
            m_jobs.pop_front();
            lock.unlock();
            ParseJob(*job);
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<DirectoryJob*> m_jobs;
    bool m_done = false;
    std::thread m_thread;
};

// Lists and reads a directory and, after it, its sub-directories (depth first); each job goes to
// the parser as soon as its files are read. Returns the job's index.
size_t ReadDirectory(const CString& directory, JobList& jobs, CParseWorker& parser)
{
    const size_t index = jobs.size();
    jobs.push_back(std::make_unique<DirectoryJob>());
    DirectoryJob& job = *jobs.back();
    job.base = AddTrailingBackslash(directory);
    bool hasFolderSelf = false;
    if (!directory.IsEmpty() && ListFolder(job, hasFolderSelf)) {
        ReadListedFiles(job);
        if (hasFolderSelf) {
            ReadPhraseFileBytes(job.base + kFolderSelfFileName, job.folderSelf);
        }
    }
    parser.Add(job);
    for (const FolderEntry& entry : job.entries) {
        if (entry.isFolder) {
            job.subJobs.push_back(ReadDirectory(job.base + entry.name, jobs, parser));
        }
    }
    return index;
}

// Drops the records not kept, keeping the others in their order.
void RemoveUnkept(RecordList& items, const std::vector<bool>& keep)
{
    size_t kept = 0;
    for (size_t i = 0; i < keep.size(); ++i) {
        if (!keep[i]) {
            continue;
        }
        if (kept != i) {
            items[kept] = std::move(items[i]);
        }
        ++kept;
    }
    items.resize(kept);
}

// Puts the parsed records of a job and of its sub-folders together, giving ids in entry order.
void Assemble(JobList& jobs, size_t index, RecordList& items, int& lastId)
{
    DirectoryJob& job = *jobs[index];
    items = std::move(job.records);
    std::vector<bool> keep(job.entries.size(), true);
    size_t subJob = 0;
    for (size_t i = 0; i < job.entries.size(); ++i) {
        const FolderEntry& entry = job.entries[i];
        PhraseItemRecord& record = items[i];
        if (entry.isFolder) {
            const size_t folderJob = job.subJobs[subJob++];
            record = std::move(jobs[folderJob]->self);
            record.SetTitle(entry.name);
            record.id = ++lastId;
            record.SetPath(job.base + entry.name);
            Assemble(jobs, folderJob, record.MakeFolder(), lastId);
            continue;
        }
        keep[i] = job.loaded[i];
        if (keep[i]) {
            record.id = ++lastId;
            record.SetPath(job.base + entry.name);
        }
    }
    RemoveUnkept(items, keep);
}

} // namespace

int LoadPhraseTree(const CString& root, std::vector<PhraseItemRecord>& items, int lastId)
{
    JobList jobs;
    {
        CParseWorker parser;
        ReadDirectory(root, jobs, parser);
        parser.Finish();
    }
    RecordList loaded;
    Assemble(jobs, 0, loaded, lastId);
    if (items.empty()) {
        items = std::move(loaded);
        return lastId;
    }
    for (PhraseItemRecord& record : loaded) {
        items.push_back(std::move(record));
    }
    return lastId;
}
