// Loads a phrases folder with damaged files beside valid ones and prints the load's peak
// resident memory against the largest file it reads. The folder: 200 valid phrases of about
// 100 KB, two valid phrases of 3 MB, two damaged files of 16 and 20 MB (cut XML, binary), and
// three files under the size bound whose tags or attributes would each become a parser node.
// The load runs in a fresh process of this program ("--load <folder>"), so its peak is the load's.
// Usage: bench_damaged_phrases [rounds]

#include "engine/PhraseFile.h"
#include "engine/PhraseStore.h"

#include <windows.h>
#include <psapi.h>

#include "bench/BenchSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
using bench::WriteWholeFile;

std::string Phrase(const std::string& title, const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<SCVCommand SortID=\"1\">\r\n<MenuName>" + title +
           "</MenuName>\r\n<DataType>TEXT</DataType>\r\n<Cmd>" + body + "</Cmd>\r\n</SCVCommand>\r\n";
}

bool MakeFolder(const std::wstring& folder)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    bool ok = true;
    const std::string body(100 * 1024, 'v');
    for (int i = 0; i < 200; ++i)
        ok = WriteWholeFile(folder + L"\\valid" + std::to_wstring(i) + L".scrivolanter",
                            Phrase("valid " + std::to_string(i), body)) &&
             ok;
    for (int i = 0; i < 2; ++i)
        ok = WriteWholeFile(folder + L"\\large" + std::to_wstring(i) + L".scrivolanter",
                            Phrase("large", std::string(3 * 1024 * 1024, 'l'))) &&
             ok;
    std::string cut = Phrase("cut", std::string(16 * 1024 * 1024, '<'));
    cut.resize(cut.size() / 2);
    ok = WriteWholeFile(folder + L"\\damaged16.scrivolanter", cut) && ok;
    std::string binary(20 * 1024 * 1024, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>((i * 2654435761u) >> 13);
    ok = WriteWholeFile(folder + L"\\damaged20.scrivolanter", binary) && ok;
    std::string tags;
    while (tags.size() < 3500 * 1024)
        tags += "<a/>";
    ok = WriteWholeFile(folder + L"\\tags1.scrivolanter", Phrase("tags", tags)) && ok;
    ok = WriteWholeFile(folder + L"\\tags2.scrivolanter", Phrase("tags", "<b>" + tags + "</b>")) && ok;
    std::string attributes = "<SCVCommand";
    for (int i = 0; attributes.size() < 3500 * 1024; ++i)
        attributes += " a" + std::to_string(i) + "=\"\"";
    ok = WriteWholeFile(folder + L"\\attributes.scrivolanter",
                        attributes + "><MenuName>attributes</MenuName></SCVCommand>") &&
         ok;
    return ok;
}

SIZE_T PeakResident()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))
               ? counters.PeakWorkingSetSize
               : 0;
}

SIZE_T Resident()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)) ? counters.WorkingSetSize
                                                                                  : 0;
}

int LoadAndReport(const std::wstring& folder)
{
    const SIZE_T before = Resident();
    const LARGE_INTEGER start = bench::Now();
    CPhraseStore store;
    store.Load(folder.c_str());
    const double ms = bench::Milliseconds(start, bench::Now());
    const SIZE_T after = Resident();
    const SIZE_T peak = PeakResident();
    const double mb = 1024.0 * 1024.0;
    // What the load needs beyond what it keeps (the phrases' texts, UTF-16): its transient peak.
    const double transient = static_cast<double>(peak > after ? peak - after : 0) / mb;
    std::printf("loaded %u phrases in %.1f ms; resident before %.1f MB, after %.1f MB, peak %.1f MB: "
                "%.1f MB above what the load keeps (%.1f x the largest file read, 3 MB; bound %.0f MB)\n",
                static_cast<unsigned>(store.GetItems().size()), ms, static_cast<double>(before) / mb,
                static_cast<double>(after) / mb, static_cast<double>(peak) / mb, transient, transient / 3.0,
                static_cast<double>(kMaxPhraseFileSize) / mb);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--load") {
        wchar_t folder[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, argv[2], -1, folder, MAX_PATH);
        return LoadAndReport(folder);
    }
    const int rounds = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 3;
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"ScvBenchDamagedPhrases" + std::to_wstring(GetCurrentProcessId());
    if (!MakeFolder(folder)) {
        std::printf("cannot write the folder\n");
        return 1;
    }
    std::printf(
        "folder: 200 x 100 KB valid, 2 x 3 MB valid, damaged 16 MB and 20 MB, 3 node floods of 3.5 MB\n");
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    for (int round = 0; round < rounds; ++round) {
        std::wstring command = L"\"" + std::wstring(self) + L"\" --load \"" + folder + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &process)) {
            std::printf("cannot start the load (%lu)\n", GetLastError());
            continue;
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bench::DeleteTree(folder);
    return 0;
}
