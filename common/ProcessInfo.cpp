#include "common/ProcessInfo.h"

#include "common/KernelHandle.h"
#include "common/RuntimeBinding.h"

#include <tlhelp32.h>

#include <algorithm>
#include <utility>

namespace
{
CString PathFromProcessApi(DWORD processId)
{
    using GetModuleFileNameExWFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
    CLoadedModule psapi(L"psapi.dll");
    auto getModuleFileNameEx = psapi.Find<GetModuleFileNameExWFn>("GetModuleFileNameExW");
    if (!getModuleFileNameEx)
        return CString();
    CKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
        return CString();
    wchar_t path[MAX_PATH] = {};
    const DWORD length = getModuleFileNameEx(process.Get(), nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return CString();
    return CString(path, static_cast<int>(length));
}

// (process id, executable file name) of every running process.
bool SnapshotProcesses(std::vector<std::pair<DWORD, CString>>& processes)
{
    processes.clear();
    CKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
         more = ::Process32NextW(snapshot.Get(), &entry)) {
        entry.szExeFile[MAX_PATH - 1] = L'\0';
        processes.emplace_back(entry.th32ProcessID, CString(entry.szExeFile));
    }
    return true;
}

CString ExeNameFromSnapshot(DWORD processId)
{
    std::vector<std::pair<DWORD, CString>> processes;
    SnapshotProcesses(processes);
    for (const auto& process : processes) {
        if (process.first == processId)
            return process.second;
    }
    return CString();
}

// The path of the first module of the process whose path holds the executable's
// name after its first character.
CString FindExecutableModulePath(DWORD processId, const CString& exeName)
{
    CKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot || exeName.IsEmpty())
        return CString();
    CString upperName = exeName;
    upperName.MakeUpper();
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    for (BOOL more = ::Module32FirstW(snapshot.Get(), &module); more;
         more = ::Module32NextW(snapshot.Get(), &module)) {
        module.szExePath[MAX_PATH - 1] = L'\0';
        CString upperPath = module.szExePath;
        upperPath.MakeUpper();
        if (upperPath.Find(upperName.GetString()) > 0)
            return CString(module.szExePath);
    }
    return CString();
}

bool LessPathNoCase(const CString& a, const CString& b)
{
    return a.CompareNoCase(b) < 0;
}

bool EqualPathNoCase(const CString& a, const CString& b)
{
    return a.CompareNoCase(b) == 0;
}
} // namespace

CString GetProcessImagePath(DWORD processId)
{
    if (processId == 0)
        return CString();
    CString path = PathFromProcessApi(processId);
    if (!path.IsEmpty())
        return path;
    return ExeNameFromSnapshot(processId);
}

int PreloadProcessApiLibraries()
{
    int loaded = 0;
    if (::LoadLibraryW(L"psapi.dll"))
        ++loaded;
    if (::LoadLibraryW(L"Ntdll.dll"))
        ++loaded;
    return loaded;
}

bool ListProcessPaths(std::vector<CString>& paths, bool sortUnique)
{
    paths.clear();
    std::vector<std::pair<DWORD, CString>> processes;
    if (!SnapshotProcesses(processes))
        return false;
    std::sort(processes.begin(), processes.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    for (const auto& process : processes) {
        CString path = FindExecutableModulePath(process.first, process.second);
        if (path.IsEmpty() || path.Find(L'\\') < 0)
            continue;
        paths.push_back(path);
    }

    if (sortUnique) {
        std::sort(paths.begin(), paths.end(), LessPathNoCase);
        paths.erase(std::unique(paths.begin(), paths.end(), EqualPathNoCase), paths.end());
    }
    return true;
}
