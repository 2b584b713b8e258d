// Saving and loading a clipboard history of 1,000 mixed items (text, RTF and
// 100 KB bitmaps) against writing and reading the same bytes with bare file
// calls in the same run. Prints the times of both and their ratio.
//
// Usage: bench_clipboard_history.exe [rounds]

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "engine/CCHItem.h"
#include "engine/CCHQueue.h"
#include "engine/ClipboardHistoryFiles.h"

namespace
{
constexpr int kItems = 1000;

HBITMAP MakeBitmap(int seed)
{
    // 160 x 160 x 32 bits = 100 KB of pixels.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 160;
    info.bmiHeader.biHeight = 160;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        auto* pixels = static_cast<DWORD*>(bits);
        for (int i = 0; i < 160 * 160; ++i)
            pixels[i] = static_cast<DWORD>(i * 2654435761u + seed);
    }
    return bitmap;
}

// Every third item a bitmap, the others alternately Unicode text and RTF.
std::unique_ptr<CCHQueue> MakeHistory()
{
    auto queue = std::make_unique<CCHQueue>();
    for (int i = 0; i < kItems; ++i) {
        std::unique_ptr<CCHItem> item;
        if (i % 3 == 2) {
            item = std::make_unique<CCHItem>(CHT_BITMAP, nullptr);
            item->SetBitmap(MakeBitmap(i));
        } else if (i % 3 == 0) {
            item = std::make_unique<CCHItem>(CHT_UNICODE_TEXT, nullptr);
            std::wstring text = L"Clipboard text number " + std::to_wstring(i) + L" ";
            text.append(static_cast<size_t>(200 + i % 300), L'x');
            item->SetUnicodeText(text.c_str());
        } else {
            item = std::make_unique<CCHItem>(CHT_RTF, nullptr);
            std::string rtf = "{\\rtf1\\ansi {\\b item " + std::to_string(i) + "} ";
            rtf.append(static_cast<size_t>(400 + i % 500), 'r');
            rtf += "}";
            item->SetDataCopy(rtf.c_str(), static_cast<unsigned>(rtf.size() + 1));
        }
        queue->Append(std::move(item));
    }
    return queue;
}

std::string ReadAll(const std::wstring& path)
{
    std::string bytes;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
}

// The bytes the history wrote, per file, to write and read again bare.
std::vector<std::pair<std::wstring, std::string>> CollectFiles(const std::wstring& folder)
{
    std::vector<std::pair<std::wstring, std::string>> files;
    WIN32_FIND_DATAW found = {};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.emplace_back(found.cFileName, ReadAll(folder + L"\\" + found.cFileName));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return files;
}

// Writes the files bare; with `flush`, each data file (not the ".info" descriptors) is flushed to
// the disk before it is closed.
void BareWrite(const std::wstring& folder, const std::vector<std::pair<std::wstring, std::string>>& files,
               bool flush)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const auto& [name, bytes] : files) {
        HANDLE file = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        const bool descriptor = name.size() > 5 && name.compare(name.size() - 5, 5, L".info") == 0;
        if (flush && !descriptor)
            FlushFileBuffers(file);
        CloseHandle(file);
    }
}

// The bare write with the data files flushed one by one, as the history's save flushes each data
// file before its rename: the floor of a save that never leaves a cut file under a history name.
double BareFlushedWrite(const std::wstring& folder,
                        const std::vector<std::pair<std::wstring, std::string>>& files)
{
    const LARGE_INTEGER start = bench::Now();
    BareWrite(folder, files, true);
    return bench::Milliseconds(start, bench::Now());
}

double BareWriteRead(const std::wstring& folder,
                     const std::vector<std::pair<std::wstring, std::string>>& files, double& readMs)
{
    const LARGE_INTEGER start = bench::Now();
    BareWrite(folder, files, false);
    const LARGE_INTEGER middle = bench::Now();
    size_t total = 0;
    for (const auto& [name, bytes] : files)
        total += ReadAll(folder + L"\\" + name).size();
    readMs = bench::Milliseconds(middle, bench::Now());
    if (total == 0)
        std::printf("bare read found nothing\n");
    return bench::Milliseconds(start, middle);
}

// The load's phases apart: every descriptor found and read, then every data file it names read and
// made an item. What the whole load takes beyond both is the duplicate look-up and the sort.
void TimeLoadPhases(const std::wstring& folder, double& descriptorsMs, double& dataMs)
{
    const LARGE_INTEGER start = bench::Now();
    std::vector<ClipboardHistoryDescriptor> records;
    WIN32_FIND_DATAW found = {};
    HANDLE find = FindFirstFileW((folder + L"\\*.info").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            ClipboardHistoryDescriptor record;
            if (ReadDescriptor((folder + L"\\" + found.cFileName).c_str(), record))
                records.push_back(record);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    const LARGE_INTEGER middle = bench::Now();
    size_t items = 0;
    for (const ClipboardHistoryDescriptor& record : records) {
        for (const CString& name : record.files)
            items += LoadItemFile((folder + L"\\" + name.GetString()).c_str(), nullptr) ? 1 : 0;
    }
    dataMs = bench::Milliseconds(middle, bench::Now());
    descriptorsMs = bench::Milliseconds(start, middle);
    if (items == 0)
        std::printf("load phases found nothing\n");
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    wchar_t tempPath[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempPath);
    const std::wstring root =
        std::wstring(tempPath) + L"scv_bench_history_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root.c_str(), nullptr);

    std::vector<double> saves, loads, bareWrites, bareReads, flushedWrites, descriptorReads, dataReads;
    size_t bytesOnDisk = 0;
    for (int round = 0; round < rounds; ++round) {
        const std::wstring folder = root + L"\\history" + std::to_wstring(round);
        CreateDirectoryW(folder.c_str(), nullptr);
        std::unique_ptr<CCHQueue> history = MakeHistory();

        LARGE_INTEGER start = bench::Now();
        int saved = 0;
        CHistoryFileNumbers numbers; // as the save worker does for one save
        for (int position = 0; position < history->GetCount(); ++position)
            saved += SaveItem(*history->GetItemAt(position), folder.c_str(), &numbers) ? 1 : 0;
        saves.push_back(bench::Milliseconds(start, bench::Now()));

        start = bench::Now();
        CCHQueue loaded;
        LoadFolder(loaded, folder.c_str());
        loads.push_back(bench::Milliseconds(start, bench::Now()));
        if (saved != kItems || loaded.GetCount() != kItems)
            std::printf("round %d: saved %d, loaded %d of %d\n", round, saved, loaded.GetCount(), kItems);

        double descriptorsMs = 0, dataMs = 0;
        TimeLoadPhases(folder, descriptorsMs, dataMs);
        descriptorReads.push_back(descriptorsMs);
        dataReads.push_back(dataMs);

        const auto files = CollectFiles(folder);
        bytesOnDisk = 0;
        for (const auto& file : files)
            bytesOnDisk += file.second.size();
        double readMs = 0;
        bareWrites.push_back(BareWriteRead(root + L"\\bare" + std::to_wstring(round), files, readMs));
        bareReads.push_back(readMs);
        flushedWrites.push_back(BareFlushedWrite(root + L"\\flushed" + std::to_wstring(round), files));
    }
    bench::DeleteTree(root);

    const double save = Median(saves), load = Median(loads), write = Median(bareWrites),
                 read = Median(bareReads);
    std::printf(
        "clipboard history: %d items (text, RTF, 100 KB bitmaps), %.1f MB on disk, %d rounds (medians)\n",
        kItems, bytesOnDisk / 1048576.0, rounds);
    std::printf("  save  %8.1f ms   bare write %8.1f ms   ratio %.2f\n", save, write, save / write);
    const double flushed = Median(flushedWrites);
    std::printf("  save  %8.1f ms   bare write, data files flushed %8.1f ms   ratio %.2f\n", save, flushed,
                save / flushed);
    std::printf("  load  %8.1f ms   bare read  %8.1f ms   ratio %.2f\n", load, read, load / read);
    const double descriptors = Median(descriptorReads), data = Median(dataReads);
    std::printf("  load phases: descriptors found and read %.1f ms, data files read and made items %.1f ms,"
                " the rest (duplicate look-up, sort) %.1f ms\n",
                descriptors, data, load - descriptors - data);
    std::printf("  both  %8.1f ms   bare       %8.1f ms   ratio %.2f\n", save + load, write + read,
                (save + load) / (write + read));
    return 0;
}
