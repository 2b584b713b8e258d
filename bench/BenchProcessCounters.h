#pragma once

// The resources of another process, read from outside: kernel handles, GDI and USER objects,
// private bytes and working set.
//
// GetGuiResources and the process handle count are what Windows offers; where they answer
// nothing (Wine has them as stubs that give 0), the counts are taken another way:
// - handles: the system handle list (NtQuerySystemInformation), the entries of the process;
// - GDI objects: the used entries of the process's GDI handle table, read from its memory (the
//   table's address stands in its process environment block);
// - USER objects: the windows of the process's threads (top-level, children and message-only);
//   menus, cursors and hooks are not counted then;
// - private bytes: the committed private regions of its address space (VirtualQueryEx).

#include <windows.h>

#include <map>
#include <string>

namespace bench
{
struct ProcessCounters
{
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    // False when the count came from the fallback (see above).
    bool handlesFromSystem = true;
    bool gdiFromSystem = true;
    bool userFromSystem = true;
    bool privateFromSystem = true;
};

// The process handle needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ.
ProcessCounters MeasureProcess(HANDLE process, DWORD pid);

// The committed memory of a process by kind (VirtualQueryEx), and its loaded images (the
// committed bytes of each, by module name). Committed is not resident: the figures say where the
// working set can come from, not how much of each is in it.
struct MemoryMap
{
    SIZE_T privateBytes = 0;
    SIZE_T mappedBytes = 0;
    SIZE_T imageBytes = 0;
    std::map<std::wstring, SIZE_T> images;
};
MemoryMap MapProcessMemory(HANDLE process);
} // namespace bench
