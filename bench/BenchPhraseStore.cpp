// Loads a generated library of 10,000 phrase files in 500 folders with CPhraseStore::Load and reads
// the same files with a bare CreateFileW/ReadFile loop; prints both times and their ratio.
// Usage: bench_phrase_store [rounds]

#include "engine/PhraseFile.h"
#include "engine/PhraseStore.h"

#include <windows.h>

#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace
{
using bench::DeleteTree;
using bench::Milliseconds;
using bench::Now;
using bench::WriteWholeFile;

constexpr int kTopFolders = 25;
constexpr int kSubFoldersEach = 19;   // 25 + 25 x 19 = 500 folders
constexpr int kPhrasesPerFolder = 20; // 500 x 20 = 10,000 phrase files
constexpr int kReadThreads = 4;

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string MakePhraseBytes(int number)
{
    PhraseItemRecord record;
    wchar_t title[64];
    swprintf(title, 64, L"Phrase number %d", number);
    record.SetTitle(title);
    record.SetHint(L"A hint for the menu tooltip");
    record.sortId = number % 7;
    record.usageCount = static_cast<unsigned int>(number % 13);
    record.dataType = number % 10 == 0 ? MenuItemRecord::kTypeRtf : MenuItemRecord::kTypeText;
    CString body;
    const int lines = 2 + number % 12;
    for (int line = 0; line < lines; ++line) {
        body.AppendFormat(L"Line %d of phrase %d: Dear %%SELECTED_TEXT%%, <b>thanks</b> & regards.\r\n", line,
                          number);
    }
    record.body = body;
    if (number % 3 == 0) {
        GetSystemTime(&record.dateUsage);
    }
    return BuildPhraseXml(record);
}

std::string MakeFolderSelfBytes(int number)
{
    PhraseItemRecord folder;
    folder.MakeFolder();
    folder.sortId = number % 5;
    return BuildPhraseXml(folder);
}

// Generates the library; fills `files` with every file the store reads (phrases and folder files).
bool GenerateLibrary(const std::wstring& root, std::vector<std::wstring>& files)
{
    int phrase = 0;
    int folderNumber = 0;
    auto fillFolder = [&](const std::wstring& folder) {
        if (!CreateDirectoryW(folder.c_str(), nullptr)) {
            return false;
        }
        if (++folderNumber % 4 == 0) {
            const std::wstring self = folder + L"\\" + kFolderSelfFileName;
            if (!WriteWholeFile(self, MakeFolderSelfBytes(folderNumber))) {
                return false;
            }
            files.push_back(self);
        }
        for (int i = 0; i < kPhrasesPerFolder; ++i) {
            const std::wstring path =
                folder + L"\\Phrase_" + std::to_wstring(++phrase) + kPhraseFileExtension;
            if (!WriteWholeFile(path, MakePhraseBytes(phrase))) {
                return false;
            }
            files.push_back(path);
        }
        return true;
    };
    for (int top = 0; top < kTopFolders; ++top) {
        const std::wstring topFolder = root + L"\\Group " + std::to_wstring(top);
        if (!fillFolder(topFolder)) {
            return false;
        }
        for (int sub = 0; sub < kSubFoldersEach; ++sub) {
            if (!fillFolder(topFolder + L"\\Sub " + std::to_wstring(sub))) {
                return false;
            }
        }
    }
    return true;
}

unsigned long long BareRead(const std::vector<std::wstring>& files, std::vector<char>& buffer)
{
    unsigned long long total = 0;
    for (const std::wstring& path : files) {
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            continue;
        }
        DWORD read = 0;
        while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
            total += read;
        }
        CloseHandle(file);
    }
    return total;
}

// The same reads shared out to `threads` threads (file i to thread i modulo threads): whether the
// system reads the files faster on several threads at all.
void BareReadOnThreads(const std::vector<std::wstring>& files, int threads)
{
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&files, t, threads] {
            std::vector<char> buffer(64 * 1024);
            std::vector<std::wstring> share;
            for (size_t i = static_cast<size_t>(t); i < files.size(); i += static_cast<size_t>(threads))
                share.push_back(files[i]);
            BareRead(share, buffer);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring root =
        std::wstring(temp) + L"scv_bench_phrases_" + std::to_wstring(GetCurrentProcessId());
    if (!CreateDirectoryW(root.c_str(), nullptr)) {
        std::printf("cannot create the library folder\n");
        return 1;
    }

    std::vector<std::wstring> files;
    const LARGE_INTEGER generateStart = Now();
    const bool generated = GenerateLibrary(root, files);
    const double generateSeconds = Seconds(generateStart, Now());
    if (!generated) {
        std::printf("cannot generate the library\n");
        DeleteTree(root);
        return 1;
    }
    std::printf("library: %zu files (10000 phrases, %d folders) generated in %.2f s\n", files.size(),
                kTopFolders * (1 + kSubFoldersEach), generateSeconds);

    std::vector<char> buffer(64 * 1024);
    const unsigned long long bytes = BareRead(files, buffer); // warm-up: both sides see a warm cache
    std::printf("library size: %.1f MiB\n", static_cast<double>(bytes) / (1024.0 * 1024.0));

    std::vector<double> storeTimes;
    std::vector<double> bareTimes;
    std::vector<double> threadedTimes;
    int included = 0;
    int all = 0;
    for (int round = 0; round < rounds; ++round) {
        // The two sides take turns going first, so a burst of load elsewhere on the machine does not
        // always fall on the same side.
        auto timeStore = [&] {
            CPhraseStore store;
            const LARGE_INTEGER start = Now();
            store.Load(root.c_str());
            storeTimes.push_back(Seconds(start, Now()));
            store.GetPhraseCounts(&included, &all);
        };
        auto timeBare = [&] {
            LARGE_INTEGER start = Now();
            BareRead(files, buffer);
            bareTimes.push_back(Seconds(start, Now()));
            start = Now();
            BareReadOnThreads(files, kReadThreads);
            threadedTimes.push_back(Seconds(start, Now()));
        };
        if (round % 2 == 0) {
            timeStore();
            timeBare();
        } else {
            timeBare();
            timeStore();
        }
        std::printf("round %d: store %.3f s, bare read %.3f s, bare read on %d threads %.3f s\n", round + 1,
                    storeTimes.back(), bareTimes.back(), kReadThreads, threadedTimes.back());
    }
    DeleteTree(root);

    const double store = Median(storeTimes);
    const double bare = Median(bareTimes);
    const double storeBest = *std::min_element(storeTimes.begin(), storeTimes.end());
    const double bareBest = *std::min_element(bareTimes.begin(), bareTimes.end());
    std::printf("records loaded: %d (%d included)\n", all, included);
    std::printf("CPhraseStore::Load: median %.3f s, best %.3f s (%d rounds)\n", store, storeBest, rounds);
    std::printf("bare CreateFileW/ReadFile: median %.3f s, best %.3f s\n", bare, bareBest);
    std::printf("bare read on %d threads: median %.3f s (%.2f of the bare read on one)\n", kReadThreads,
                Median(threadedTimes), Median(threadedTimes) / bare);
    std::printf("ratio store / bare read: median %.2f, best %.2f (target 1.1 or less)\n", store / bare,
                storeBest / bareBest);
    return all == 10000 + kTopFolders * (1 + kSubFoldersEach) ? 0 : 2;
}
