#include "bench/BenchProcessCounters.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstddef>
#include <vector>

namespace bench
{
namespace
{
// The system handle list with full process ids, and its entries.
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

struct HandleEntry
{
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT backTraceIndex;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};

struct HandleList
{
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

// Where the process environment block keeps the address of the GDI handle table, and the table's
// shape as the GDI of Wine lays it out: 65,536 entries of 24 bytes, the object type in byte 13
// (0 for a free entry).
#ifdef _WIN64
constexpr size_t kGdiTableOffsetInPeb = 0xF8;
#else
constexpr size_t kGdiTableOffsetInPeb = 0x94;
#endif
constexpr size_t kGdiEntries = 0x10000;
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiTypeByte = 13;

DWORD CountSystemHandles(DWORD pid)
{
    ULONG size = 1u << 20;
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::vector<unsigned char> buffer(size);
        ULONG needed = 0;
        const NTSTATUS status =
            NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(kSystemExtendedHandleInformation),
                                     buffer.data(), size, &needed);
        if (status == kInfoLengthMismatch) {
            size = needed > size ? needed + 65536 : size * 2;
            continue;
        }
        if (status != 0)
            return 0;
        const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
        DWORD count = 0;
        for (ULONG_PTR i = 0; i < list->count; ++i) {
            if (list->entries[i].processId == pid)
                ++count;
        }
        return count;
    }
    return 0;
}

DWORD CountGdiTableEntries(HANDLE process)
{
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic), &length) != 0)
        return 0;
    void* table = nullptr;
    SIZE_T read = 0;
    const auto* pebField =
        reinterpret_cast<const unsigned char*>(basic.PebBaseAddress) + kGdiTableOffsetInPeb;
    if (!ReadProcessMemory(process, pebField, &table, sizeof(table), &read) || !table)
        return 0;
    std::vector<unsigned char> entries(kGdiEntries * kGdiEntrySize);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &read))
        return 0;
    DWORD used = 0;
    for (size_t offset = 0; offset + kGdiEntrySize <= read; offset += kGdiEntrySize) {
        if (entries[offset + kGdiTypeByte] != 0)
            ++used;
    }
    return used;
}

// The committed private memory of the process, region by region.
SIZE_T SumPrivateRegions(HANDLE process)
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const unsigned char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const unsigned char* next = static_cast<const unsigned char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountWithChildren(HWND window, LPARAM count)
{
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, &CountChild, count);
    return TRUE;
}

DWORD CountWindows(DWORD pid)
{
    DWORD count = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        THREADENTRY32 thread{};
        thread.dwSize = sizeof(thread);
        for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread)) {
            if (thread.th32OwnerProcessID == pid)
                EnumThreadWindows(thread.th32ThreadID, &CountWithChildren, reinterpret_cast<LPARAM>(&count));
        }
        CloseHandle(snapshot);
    }
    HWND window = nullptr;
    while ((window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid)
            CountWithChildren(window, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}
} // namespace

MemoryMap MapProcessMemory(HANDLE process)
{
    MemoryMap map;
    MEMORY_BASIC_INFORMATION region{};
    const unsigned char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT) {
            if (region.Type == MEM_PRIVATE) {
                map.privateBytes += region.RegionSize;
            } else if (region.Type == MEM_MAPPED) {
                map.mappedBytes += region.RegionSize;
            } else if (region.Type == MEM_IMAGE) {
                map.imageBytes += region.RegionSize;
                wchar_t name[MAX_PATH] = {};
                if (!GetModuleBaseNameW(process, static_cast<HMODULE>(region.AllocationBase), name, MAX_PATH))
                    lstrcpyW(name, L"(unnamed image)");
                map.images[name] += region.RegionSize;
            }
        }
        const unsigned char* next = static_cast<const unsigned char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return map;
}

ProcessCounters MeasureProcess(HANDLE process, DWORD pid)
{
    ProcessCounters counters;
    GetProcessHandleCount(process, &counters.handles);
    if (counters.handles == 0) {
        counters.handles = CountSystemHandles(pid);
        counters.handlesFromSystem = false;
    }
    counters.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    if (counters.gdi == 0) {
        counters.gdi = CountGdiTableEntries(process);
        counters.gdiFromSystem = false;
    }
    counters.user = GetGuiResources(process, GR_USEROBJECTS);
    if (counters.user == 0) {
        counters.user = CountWindows(pid);
        counters.userFromSystem = false;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
        counters.privateBytes = memory.PrivateUsage;
        counters.workingSet = memory.WorkingSetSize;
    }
    if (counters.privateBytes == 0) {
        counters.privateBytes = SumPrivateRegions(process);
        counters.privateFromSystem = false;
    }
    return counters;
}
} // namespace bench
