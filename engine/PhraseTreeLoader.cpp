#include "engine/PhraseTreeLoader.h"

#include "common/PathFunctions.h"
#include "common/SharedLog.h"
#include "engine/PhraseFile.h"

#include <condition_variable>
#include <cwchar>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace
{

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
    unsigned long long size; // files: the size the listing gave
    size_t offset;           // files: where the content lies in the directory's buffer
};

// One directory: what was listed and read, then the records made of it.
struct FolderScan
{
    CString base; // the directory with a trailing backslash
    std::vector<FolderEntry> entries;
    std::string contents;         // the listed files, each followed by a NUL
    std::vector<bool> readable;   // entry read as listed
    std::string folderSelf;       // the FOLDER_SELF file, when there is one and it could be read
    std::vector<size_t> subScans; // the scans of the sub-folders, in entry order

    RecordList records;       // one per entry
    std::vector<bool> loaded; // files: parsed into their record
    PhraseItemRecord self;    // the FOLDER_SELF file read into a fresh record
};

using ScanList = std::vector<std::unique_ptr<FolderScan>>;

bool EqualsNoCase(const wchar_t* a, int lengthA, const wchar_t* b, int lengthB)
{
    return CompareStringOrdinal(a, lengthA, b, lengthB, TRUE) == CSTR_EQUAL;
}

bool HasPhraseExtension(const wchar_t* name)
{
    const int length = static_cast<int>(wcslen(name));
    const int extensionLength = static_cast<int>(wcslen(kPhraseFileExtension));
    return length >= extensionLength && EqualsNoCase(name + length - extensionLength, extensionLength,
                                                     kPhraseFileExtension, extensionLength);
}

// Whether the name (before its first dot, trailing blanks ignored) is one the system maps to a
// device: CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9. Opening such a file opens the device.
bool IsReservedDeviceName(const wchar_t* name)
{
    int length = 0;
    while (name[length] != L'\0' && name[length] != L'.')
        ++length;
    while (length > 0 && name[length - 1] == L' ')
        --length;
    static const wchar_t* const kPlain[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const wchar_t* reserved : kPlain) {
        if (EqualsNoCase(name, length, reserved, 3))
            return true;
    }
    if (length != 4 || name[3] < L'1' || name[3] > L'9')
        return false;
    return EqualsNoCase(name, 3, L"COM", 3) || EqualsNoCase(name, 3, L"LPT", 3);
}

unsigned long long ListedSize(const WIN32_FIND_DATAW& found)
{
    return (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// The sub-directories and phrase files of a directory, in the order the system lists them; tells
// whether it holds a FOLDER_SELF file. Linked directories are left out, so a link to a parent
// cannot make the scan endless.
bool ListFolder(FolderScan& scan, bool& hasFolderSelf)
{
    WIN32_FIND_DATAW found{};
    const HANDLE first = FindFirstFileExW(scan.base + L"*.*", FindExInfoBasic, &found, FindExSearchNameMatch,
                                          nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE) {
        return false;
    }
    const FindHandle find(first);
    scan.entries.reserve(64);
    do {
        const wchar_t* name = found.cFileName;
        if (wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0) {
            continue;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0 || IsReservedDeviceName(name)) {
            WriteLogLine(L"CPhraseStore: device name skipped: " + scan.base + name);
            continue;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                WriteLogLine(L"CPhraseStore: linked folder not followed: " + scan.base + name);
                continue;
            }
            scan.entries.push_back({name, true, 0, 0});
        } else if (EqualsNoCase(name, -1, kFolderSelfFileName, -1)) {
            hasFolderSelf = true;
        } else if (HasPhraseExtension(name) && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            WriteLogLine(L"CPhraseStore: linked file skipped: " + scan.base + name);
        } else if (HasPhraseExtension(name)) {
            scan.entries.push_back({name, false, ListedSize(found), 0});
        }
    } while (FindNextFileW(find.get(), &found));
    return true;
}

// The most file content read into memory at once; a larger folder is read in several batches
// (a file above it forms a batch of its own).
constexpr size_t kBatchBytes = 4u * 1024 * 1024;

bool IsReadableFile(const FolderEntry& entry)
{
    return !entry.isFolder && entry.size > 0 && entry.size <= kMaxPhraseFileSize;
}

// The end of the batch that starts at `first`: the following entries whose files fit together
// in kBatchBytes (at least one entry).
size_t BatchEnd(const FolderScan& scan, size_t first)
{
    size_t total = 0;
    size_t end = first;
    for (; end < scan.entries.size(); ++end) {
        const FolderEntry& entry = scan.entries[end];
        const size_t size = IsReadableFile(entry) ? static_cast<size_t>(entry.size) + 1 : 0;
        if (end > first && total + size > kBatchBytes)
            break;
        total += size;
    }
    return end;
}

// Reads the files of the entries [first, end) into one buffer, sized and zero-filled before the
// first read, so memory is not taken piece by piece between the reads.
void ReadBatch(FolderScan& scan, size_t first, size_t end)
{
    size_t total = 0;
    for (size_t i = first; i < end; ++i) {
        FolderEntry& entry = scan.entries[i];
        if (IsReadableFile(entry)) {
            entry.offset = total;
            total += static_cast<size_t>(entry.size) + 1;
        }
    }
    scan.contents.assign(total, '\0');
    for (size_t i = first; i < end; ++i) {
        const FolderEntry& entry = scan.entries[i];
        if (!entry.isFolder) {
            scan.readable[i] = ReadPhraseFileExactly(
                scan.base + entry.name, scan.contents.data() + entry.offset, static_cast<size_t>(entry.size));
        }
    }
}

void ParseBatch(FolderScan& scan, size_t first, size_t end)
{
    for (size_t i = first; i < end; ++i) {
        const FolderEntry& entry = scan.entries[i];
        if (entry.isFolder) {
            continue;
        }
        // A file that changed since it was listed is read again on its own; one above the size
        // limit was logged and stays out.
        if (scan.readable[i]) {
            scan.loaded[i] = ParsePhraseDocument(scan.records[i], scan.contents.data() + entry.offset);
        } else if (entry.size <= kMaxPhraseFileSize) {
            scan.loaded[i] = ReadPhraseFile(scan.records[i], scan.base + entry.name);
        }
        if (!scan.loaded[i]) {
            scan.records[i] = PhraseItemRecord();
            WriteLogLine(L"CPhraseStore: damaged phrase file skipped: " + scan.base + entry.name);
        }
    }
}

// Reads and parses the listed files batch by batch.
void LoadListedFiles(FolderScan& scan)
{
    scan.records.resize(scan.entries.size());
    scan.loaded.assign(scan.entries.size(), false);
    scan.readable.assign(scan.entries.size(), false);
    for (size_t first = 0; first < scan.entries.size();) {
        const size_t end = BatchEnd(scan, first);
        ReadBatch(scan, first, end);
        ParseBatch(scan, first, end);
        first = end;
    }
    std::string().swap(scan.contents);
}

void ParseFolderSelf(FolderScan& scan)
{
    if (!scan.folderSelf.empty()) {
        ParsePhraseDocument(scan.self, scan.folderSelf.c_str()); // a failure keeps what was read
    }
    std::string().swap(scan.folderSelf);
}

// Lists, reads and parses one directory. The files are read in batches of bounded size, each read
// whole before any of it is parsed: the records then take their memory in bursts and not between
// file reads.
void ScanDirectory(FolderScan& scan, bool listable)
{
    bool hasFolderSelf = false;
    if (listable && ListFolder(scan, hasFolderSelf)) {
        LoadListedFiles(scan);
        if (hasFolderSelf) {
            ReadPhraseFileBytes(scan.base + kFolderSelfFileName, scan.folderSelf);
        }
    }
    scan.records.resize(scan.entries.size());
    scan.loaded.resize(scan.entries.size(), false);
    ParseFolderSelf(scan);
}

// The directories of the tree scanned by a few threads: a thread takes a waiting directory, scans
// it and puts its sub-directories in the queue. The scans keep their links (subScans in entry
// order), so the tree is put together afterwards exactly as a scan on one thread would give it.
class CTreeScanQueue
{
public:
    explicit CTreeScanQueue(ScanList& scans) : m_scans(scans) {}

    void Run(const CString& root)
    {
        auto scan = std::make_unique<FolderScan>();
        scan->base = AddTrailingBackslash(root);
        m_rootListable = !root.IsEmpty();
        m_scans.push_back(std::move(scan));
        m_waiting.push_back(m_scans.back().get());
        const unsigned int hardware = std::thread::hardware_concurrency();
        const unsigned int count = hardware < 2 ? 0 : (hardware > kMaxThreads ? kMaxThreads : hardware) - 1;
        std::vector<std::thread> helpers;
        for (unsigned int i = 0; i < count; ++i) {
            try {
                helpers.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break; // the threads made so far and this one do the work
            }
        }
        Work();
        for (std::thread& helper : helpers)
            helper.join();
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    // The threads at most, this one included: the disk and the file system's locks leave little to
    // gain beyond.
    static constexpr unsigned int kMaxThreads = 4;

    void Work()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return !m_waiting.empty() || m_busy == 0; });
            if (m_waiting.empty())
                return;
            FolderScan* scan = m_waiting.front();
            m_waiting.pop_front();
            ++m_busy;
            const bool listable = scan != m_scans.front().get() || m_rootListable;
            lock.unlock();
            std::exception_ptr failure;
            try {
                ScanDirectory(*scan, listable);
            } catch (...) {
                failure = std::current_exception(); // handed to the caller once every thread has ended
            }
            lock.lock();
            if (failure && !m_failure)
                m_failure = failure;
            for (const FolderEntry& entry : scan->entries) {
                if (!entry.isFolder)
                    continue;
                auto child = std::make_unique<FolderScan>();
                child->base = AddTrailingBackslash(scan->base + entry.name);
                scan->subScans.push_back(m_scans.size());
                m_waiting.push_back(child.get());
                m_scans.push_back(std::move(child));
            }
            --m_busy;
            m_changed.notify_all();
        }
    }

    ScanList& m_scans;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<FolderScan*> m_waiting;
    int m_busy = 0;
    bool m_rootListable = true;
    std::exception_ptr m_failure;
};

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

// Phrase ids double as command ids of the pop-up menu, where 2000 + i names
// history item i and 32768 on are the program's own commands and the tray
// menu's history items (34000 + i): phrase ids step over both blocks.
int NextPhraseId(int lastId)
{
    int id = lastId + 1;
    if (id >= kFirstReservedHistoryId && id <= kLastReservedHistoryId)
        id = kLastReservedHistoryId + 1;
    if (id >= kFirstReservedCommandId && id <= kLastReservedCommandId)
        id = kLastReservedCommandId + 1;
    return id;
}

// Puts the parsed records of a scan and of its sub-folders together, giving ids in entry order.
void Assemble(ScanList& scans, size_t index, RecordList& items, int& lastId)
{
    FolderScan& scan = *scans[index];
    items = std::move(scan.records);
    std::vector<bool> keep(scan.entries.size(), true);
    size_t subScan = 0;
    for (size_t i = 0; i < scan.entries.size(); ++i) {
        const FolderEntry& entry = scan.entries[i];
        PhraseItemRecord& record = items[i];
        if (entry.isFolder) {
            const size_t folderScan = scan.subScans[subScan++];
            record = std::move(scans[folderScan]->self);
            record.SetTitle(entry.name);
            record.id = lastId = NextPhraseId(lastId);
            record.SetPath(scan.base + entry.name);
            Assemble(scans, folderScan, record.MakeFolder(), lastId);
            continue;
        }
        keep[i] = scan.loaded[i];
        if (keep[i]) {
            record.id = lastId = NextPhraseId(lastId);
            record.SetPath(scan.base + entry.name);
        }
    }
    RemoveUnkept(items, keep);
}

} // namespace

int LoadPhraseTree(const CString& root, std::vector<PhraseItemRecord>& items, int lastId)
{
    ScanList scans;
    CTreeScanQueue(scans).Run(root);
    RecordList loaded;
    Assemble(scans, 0, loaded, lastId);
    if (items.empty()) {
        items = std::move(loaded);
        return lastId;
    }
    for (PhraseItemRecord& record : loaded) {
        items.push_back(std::move(record));
    }
    return lastId;
}
