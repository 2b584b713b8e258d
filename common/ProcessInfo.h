#pragma once

// Image paths of running processes.

#include "platform/CString.h"

#include <windows.h>

#include <vector>

// The full image path of the process; empty for id 0 or when neither the process
// API nor a process snapshot tells it (the snapshot gives only the file name).
CString GetProcessImagePath(DWORD processId);

// Loads psapi.dll and Ntdll.dll for the rest of the process; how many loaded.
int PreloadProcessApiLibraries();

// Fills `paths` with the executable paths of all running processes (in order of
// process id, or sorted without case and without duplicates when `sortUnique`).
// False only when the process snapshot cannot be taken.
bool ListProcessPaths(std::vector<CString>& paths, bool sortUnique);
