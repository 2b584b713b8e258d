#include "online/ProgramFilePaths.h"

#include "common/PathFunctions.h"
#include "common/WellKnownNames.h"

#include <windows.h>

#include <string>

namespace
{
const wchar_t kCoreDllName[] = L"Scrivolanter.dll";

CString CurrentFolder()
{
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
        return CString();
    std::wstring buffer(needed, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(needed, buffer.data());
    if (length == 0 || length >= needed)
        return CString();
    return CString(buffer.c_str(), static_cast<int>(length));
}
} // namespace

CString OwnExePath()
{
    return GetModuleFilePath();
}

CString EditorExePath()
{
    return GetEditorExePath();
}

CString WaiterExePath()
{
    return GetWaiterExePath();
}

CString WelcomeExePath()
{
    return GetWelcomeExePath();
}

CString LogReportPath()
{
    return GetLogReportPath();
}

CString SelectCoreDllPath(bool debuggerAttached, const CString& currentFolder, const CString& programFolder)
{
    if (debuggerAttached && !currentFolder.IsEmpty()) {
        const CString local = AddTrailingBackslash(currentFolder) + kCoreDllName;
        if (FileExists(local))
            return local;
    }
    return AddTrailingBackslash(programFolder) + kCoreDllName;
}

CString GetCoreDllPath()
{
    const bool debugger = ::IsDebuggerPresent() != FALSE;
    return SelectCoreDllPath(debugger, debugger ? CurrentFolder() : CString(), GetProgramFolder());
}
